// SPDX-License-Identifier: MIT
#include "picture_file.h"

#include <QIODevice>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace quenrow {

namespace {
constexpr int kDotsPerInch = 96;
}

bool writeSvg(QIODevice &out, const VectorPicture &picture, const PaintSteps &paint)
{
    QSvgGenerator svg;
    svg.setOutputDevice(&out);
    svg.setSize(picture.size);
    svg.setViewBox(QRect(QPoint(0, 0), picture.size));
    svg.setResolution(kDotsPerInch);
    svg.setTitle(picture.title.toHtmlEscaped()); // QSvgGenerator writes it into the XML unescaped
    svg.setDescription(picture.description.toHtmlEscaped());
    return paint(svg, 1);
}

bool writePdf(QIODevice &out, const VectorPicture &picture, const PaintSteps &paint)
{
    QPdfWriter pdf(&out);
    pdf.setResolution(kDotsPerInch);
    pdf.setPageSize(QPageSize(QSizeF(picture.size) * 72.0 / kDotsPerInch, QPageSize::Point,
                              QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setTitle(picture.title);
    pdf.setCreator(QStringLiteral("Quenrow"));
    // The page is rounded to whole points: the drawing is scaled to fill it.
    const qreal page = pdf.pageLayout().fullRectPoints().width() * kDotsPerInch / 72.0;
    return paint(pdf, page / picture.size.width());
}

bool writePng(QIODevice &out, QImage image, qreal ratio)
{
    const int dotsPerMeter = qRound(kDotsPerInch * ratio / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image.save(&out, "PNG");
}

} // namespace quenrow

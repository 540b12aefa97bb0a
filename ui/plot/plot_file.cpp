// SPDX-License-Identifier: MIT
#include "plot_file.h"

#include <QIODevice>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "draw_plot.h"
#include "image_surface.h"
#include "picture_box.h"

namespace quenrow {

namespace {

constexpr int kDotsPerInch = 96; // point sizes mean what they mean on the window's image

void paintPlot(QPainter &painter, const MaterialTable &table, const PictureBox &box, qreal ratio)
{
    {
        ImageSurface surface(painter);
        drawPlotImage(surface, table);
    }
    box.paintMarkers(painter, QPointF(0, 0), ratio);
}

} // namespace

const std::vector<FileKind> &plotFileKinds()
{
    static const std::vector<FileKind> kinds{
        {QObject::tr("SVG drawing (*.svg)"), {QStringLiteral("svg")}},
        {QObject::tr("PDF document (*.pdf)"), {QStringLiteral("pdf")}},
        {QObject::tr("PNG image (*.png)"), {QStringLiteral("png")}},
    };
    return kinds;
}

QImage plotImage(const MaterialTable &table, const PictureBox &box, qreal ratio)
{
    QImage image = PictureBox::newImage(ratio);
    QPainter painter(&image);
    paintPlot(painter, table, box, ratio);
    return image;
}

bool writePlot(QIODevice &out, PlotFormat format, const MaterialTable &table, const PictureBox &box,
               const QString &title, qreal pngRatio)
{
    const int side = PictureBox::kInner;
    switch (format) {
    case PlotFormat::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&out);
        svg.setSize(QSize(side, side));
        svg.setViewBox(QRect(0, 0, side, side));
        svg.setResolution(kDotsPerInch);
        svg.setTitle(title.toHtmlEscaped()); // written into the XML as it is given
        svg.setDescription(QStringLiteral("Proton stopping powers, drawn by Quenrow"));
        QPainter painter;
        if (!painter.begin(&svg))
            return false;
        paintPlot(painter, table, box, 1);
        return painter.end();
    }
    case PlotFormat::Pdf: {
        QPdfWriter pdf(&out);
        pdf.setResolution(kDotsPerInch);
        pdf.setPageSize(QPageSize(QSizeF(side, side) * 72.0 / kDotsPerInch, QPageSize::Point,
                                  QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Quenrow"));
        QPainter painter;
        if (!painter.begin(&pdf))
            return false;
        // The page is a whole number of points, a third of a pixel larger.
        const qreal page = pdf.pageLayout().fullRectPoints().width() * kDotsPerInch / 72.0;
        painter.scale(page / side, page / side);
        paintPlot(painter, table, box, 1);
        return painter.end();
    }
    case PlotFormat::Png: {
        QImage image = plotImage(table, box, pngRatio);
        // Prints at the window's size, sharper.
        const int dotsPerMeter = qRound(kDotsPerInch * pngRatio / 0.0254);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
        return image.save(&out, "PNG");
    }
    }
    return false;
}

} // namespace quenrow

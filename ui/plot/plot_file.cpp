// SPDX-License-Identifier: MIT
#include "plot_file.h"

#include <QPainter>

#include "draw_plot.h"
#include "image_surface.h"
#include "picture_box.h"
#include "ui/picture_file.h"

namespace quenrow {

namespace {

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
    const VectorPicture picture{QSize(PictureBox::kInner, PictureBox::kInner), title,
                                QStringLiteral("Proton stopping powers, drawn by Quenrow")};
    const auto paint = [&](QPaintDevice &device, qreal scale) {
        QPainter painter;
        if (!painter.begin(&device))
            return false;
        painter.scale(scale, scale);
        paintPlot(painter, table, box, 1);
        return painter.end();
    };
    switch (format) {
    case PlotFormat::Svg:
        return writeSvg(out, picture, paint);
    case PlotFormat::Pdf:
        return writePdf(out, picture, paint);
    case PlotFormat::Png:
        return writePng(out, plotImage(table, box, pngRatio), pngRatio);
    }
    return false;
}

} // namespace quenrow

// SPDX-License-Identifier: MIT
#include "kept_pixels.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace quenrow {

bool copiesExactlyAt(qreal ratio)
{
    return ratio == 1 || ratio == 2;
}

bool copiesExactly(const QPainter &painter)
{
    const QTransform &shift = painter.transform();
    return painter.device() && copiesExactlyAt(painter.device()->devicePixelRatio()) &&
           shift.type() <= QTransform::TxTranslate &&
           shift.dx() == std::floor(shift.dx()) && shift.dy() == std::floor(shift.dy());
}

QImage paintedImage(const QRect &rect, qreal ratio, const QColor &fill,
                    const std::function<void(QPainter &)> &draw)
{
    QImage image(rect.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(fill);
    QPainter painter(&image);
    painter.translate(-rect.topLeft());
    draw(painter);
    return image;
}

bool makeOpaque(QImage &image)
{
    if (image.format() != QImage::Format_ARGB32_Premultiplied)
        return false;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        if (!std::all_of(row, row + image.width(), [](QRgb pixel) { return qAlpha(pixel) == 255; }))
            return false;
    }
    // Opaque premultiplied pixels are RGB32 pixels byte for byte.
    return image.reinterpretAsFormat(QImage::Format_RGB32);
}

std::optional<QRgb> opaqueFill(const QWidget &widget)
{
    const QBrush &fill = widget.palette().brush(widget.backgroundRole());
    if (!widget.autoFillBackground() || fill.style() != Qt::SolidPattern || fill.color().alpha() != 255)
        return std::nullopt;
    return fill.color().rgba();
}

} // namespace quenrow

// SPDX-License-Identifier: MIT
#include "panel_cache_style.h"

#include <QPainter>
#include <QStyleOptionFrame>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace quenrow {

namespace {

constexpr std::size_t kMaxPanels = 32; // two boxes, a few states each

bool opaque(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        if (!std::all_of(row, row + image.width(), [](QRgb pixel) { return qAlpha(pixel) == 255; }))
            return false;
    }
    return true;
}

} // namespace

PanelCacheStyle::PanelCacheStyle(QStyle *base) : QProxyStyle(base) {}

void PanelCacheStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                    QPainter *painter, const QWidget *widget) const
{
    const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option);
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 0;
    // Copied only where a copy gives the same pixels: over the box's own
    // opaque fill, on whole device pixels, with nothing but a shift.
    const bool copyable =
        element == PE_PanelLineEdit && frame && widget && widget->autoFillBackground() &&
        painter->device() == widget && (ratio == 1 || ratio == 2) &&
        painter->transform().type() <= QTransform::TxTranslate &&
        painter->transform().dx() == std::floor(painter->transform().dx()) &&
        painter->transform().dy() == std::floor(painter->transform().dy()) &&
        widget->palette().brush(widget->backgroundRole()).style() == Qt::SolidPattern &&
        widget->palette().color(widget->backgroundRole()).alpha() == 255 &&
        option->rect == widget->rect();
    if (!copyable) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const QRgb background = widget->palette().color(widget->backgroundRole()).rgba();
    auto found = std::find_if(panels_.begin(), panels_.end(), [&](const Panel &panel) {
        return panel.size == option->rect.size() && panel.ratio == ratio &&
               panel.state == option->state && panel.palette == option->palette.cacheKey() &&
               panel.background == background && panel.lineWidth == frame->lineWidth;
    });
    if (found == panels_.end()) {
        QImage image(option->rect.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(QColor::fromRgba(background));
        {
            QPainter panelPainter(&image);
            panelPainter.translate(-option->rect.topLeft());
            QProxyStyle::drawPrimitive(element, option, &panelPainter, widget);
        }
        if (!opaque(image)) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        if (panels_.size() >= kMaxPanels)
            panels_.clear();
        panels_.push_back({option->rect.size(), ratio, option->state, option->palette.cacheKey(),
                           background, frame->lineWidth, std::move(image)});
        found = std::prev(panels_.end());
    }
    painter->drawImage(option->rect.topLeft(), found->image);
}

} // namespace quenrow

// SPDX-License-Identifier: MIT
#include "panel_cache_style.h"

#include <QPainter>
#include <QStyleOptionFrame>
#include <QWidget>

#include <algorithm>

#include "ui/kept_pixels.h"

namespace quenrow {

namespace {

constexpr std::size_t kMaxPanels = 32; // two boxes, a few states each

} // namespace

PanelCacheStyle::PanelCacheStyle(QStyle *base) : QProxyStyle(base) {}

void PanelCacheStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                    QPainter *painter, const QWidget *widget) const
{
    const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option);
    // Copied only over the box's own opaque fill, where a copy is exact.
    const std::optional<QRgb> fill = widget ? opaqueFill(*widget) : std::nullopt;
    if (element != PE_PanelLineEdit || !frame || !fill || painter->device() != widget ||
        !copiesExactly(*painter) || option->rect != widget->rect()) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const qreal ratio = painter->device()->devicePixelRatio();
    const QRgb background = *fill;
    auto found = std::find_if(panels_.begin(), panels_.end(), [&](const Panel &panel) {
        return panel.image.deviceIndependentSize() == option->rect.size() &&
               panel.image.devicePixelRatio() == ratio && panel.state == option->state &&
               panel.palette == option->palette.cacheKey() &&
               panel.background == background && panel.lineWidth == frame->lineWidth;
    });
    if (found == panels_.end()) {
        QImage image = paintedImage(option->rect, ratio, QColor::fromRgba(background),
                                    [&](QPainter &panelPainter) {
                                        QProxyStyle::drawPrimitive(element, option,
                                                                   &panelPainter, widget);
                                    });
        if (!makeOpaque(image)) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        if (panels_.size() >= kMaxPanels)
            panels_.clear();
        panels_.push_back({option->state, option->palette.cacheKey(), background,
                           frame->lineWidth, std::move(image)});
        found = std::prev(panels_.end());
    }
    painter->drawImage(option->rect.topLeft(), found->image);
}

} // namespace quenrow

// SPDX-License-Identifier: MIT
// Quenrow: a style that keeps the text boxes' drawn frames.
#pragma once

#include <QImage>
#include <QProxyStyle>

#include <vector>

namespace quenrow {

// The style draws a text box's frame as an antialiased rounded outline, which
// was most of the cost of repainting the readout boxes on each row change.
// An opaque box's frame depends on nothing but its size, state and palette,
// so each look is drawn once over the box's background and then copied.
class PanelCacheStyle final : public QProxyStyle {
public:
    explicit PanelCacheStyle(QStyle *base);

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;

private:
    struct Panel {
        State state;
        qint64 palette;
        QRgb background;
        int lineWidth;
        QImage image;
    };
    mutable std::vector<Panel> panels_;
};

} // namespace quenrow

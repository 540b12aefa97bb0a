// SPDX-License-Identifier: MIT
#include "banded_scroll_bar.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QStyleOptionSlider>

#include <algorithm>
#include <vector>

#include "ui/kept_pixels.h"

namespace quenrow {

namespace {

constexpr int kBandDevicePixels = 80; // below Qt's threshold of 96 rows
// A sweep over the plot takes the slider through every value, and each value
// brings two to five bands of its own; at 1x that is about 2 MB.
constexpr qsizetype kMaxKeptBytes = 8 << 20;

} // namespace

BandedScrollBar::BandedScrollBar(Qt::Orientation orientation, QWidget *parent)
    : QScrollBar(orientation, parent)
{
}

void BandedScrollBar::mousePressEvent(QMouseEvent *event)
{
    pressed_ = true;
    QScrollBar::mousePressEvent(event);
}

void BandedScrollBar::mouseReleaseEvent(QMouseEvent *event)
{
    QScrollBar::mouseReleaseEvent(event);
    pressed_ = event->buttons() != Qt::NoButton;
}

void BandedScrollBar::paintEvent(QPaintEvent *event)
{
    const bool plainState = orientation() == Qt::Vertical && !pressed_ && !isSliderDown() &&
                            !underMouse() &&
                            !style()->styleHint(QStyle::SH_ScrollBar_Transient, nullptr, this);
    if (plainState && paintInBands(event->rect()))
        return;
    QScrollBar::paintEvent(event);
}

bool BandedScrollBar::paintInBands(const QRect &area)
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_All; // nothing hovered or pressed: as QScrollBar sets it
    const QRect slider =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    const qreal ratio = devicePixelRatio();
    // At fractional densities bands would begin inside device pixels.
    if (!copiesExactlyAt(ratio))
        return false;
    const Look look{style(), option.rect.size(), ratio, option.palette.cacheKey(), option.state};
    if (!(look == look_)) {
        bands_.clear();
        keptBytes_ = 0;
        look_ = look;
    }
    // Not part of the look: a sweep reaches both ends, and must not drop
    // the bands each time it does.
    const bool atMinimum = option.minimum == option.sliderValue;
    const bool atMaximum = option.maximum == option.sliderValue;

    // Bands on a grid from the top, so that a band away from the slider is
    // the same band with the same pixels at any value.
    const int height = std::max(1, static_cast<int>(kBandDevicePixels / ratio));
    std::vector<std::pair<QPoint, QImage>> shown; // images are shared, not copied
    for (int top = area.top() / height * height; top <= area.bottom(); top += height) {
        const QRect rect(0, top, width(), std::min(height, this->height() - top));
        // Where the slider stands relative to a band it reaches, its
        // antialiased edge taken as a pixel or two past its rectangle.
        const QRect part = slider.adjusted(-2, -2, 2, 2).intersects(rect)
                               ? slider.translated(0, -top)
                               : QRect();
        auto found = std::find_if(bands_.begin(), bands_.end(), [&](const Band &band) {
            return band.rect == rect && band.slider == part && band.atMinimum == atMinimum &&
                   band.atMaximum == atMaximum;
        });
        if (found == bands_.end()) {
            QImage image = paintedImage(rect, ratio, Qt::transparent, [&](QPainter &painter) {
                style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &painter, this);
            });
            if (!makeOpaque(image)) {
                // The style leaves something to what lies under the bar:
                // have that painted again first.
                if (testAttribute(Qt::WA_OpaquePaintEvent)) {
                    setAttribute(Qt::WA_OpaquePaintEvent, false);
                    update();
                }
                return false;
            }
            if (keptBytes_ + image.sizeInBytes() > kMaxKeptBytes) {
                bands_.clear();
                keptBytes_ = 0;
            }
            keptBytes_ += image.sizeInBytes();
            bands_.push_back({rect, part, atMinimum, atMaximum, image});
            shown.emplace_back(rect.topLeft(), std::move(image));
        } else {
            shown.emplace_back(rect.topLeft(), found->image);
        }
    }
    QPainter painter(this);
    for (const auto &[topLeft, image] : shown)
        painter.drawImage(topLeft, image);
    // Seen to cover the whole bar: Qt need not paint the list's frame and the
    // window under it first, as it did on every scroll.
    setAttribute(Qt::WA_OpaquePaintEvent);
    return true;
}

} // namespace quenrow

// SPDX-License-Identifier: MIT
#include "readout_box.h"

#include <QPainter>
#include <QStyleOptionFrame>

#include "ui/kept_pixels.h"

namespace quenrow {

namespace {

// Both columns' 132 values, twice over, at 2x (32 KB a look there).
constexpr qsizetype kMaxKeptBytes = 8 << 20;

} // namespace

ReadoutBox::ReadoutBox(QWidget *parent) : QLineEdit(parent)
{
    // Painted here, not in the paint event: Qt refuses to render a widget
    // from inside its own paint event.
    connect(this, &QLineEdit::textChanged, this, &ReadoutBox::keepText);
}

std::optional<ReadoutBox::Look> ReadoutBox::keptLook() const
{
    if (keeping_ || hasFocus() || hasSelectedText() || echoMode() != Normal ||
        (displayText().isEmpty() && !placeholderText().isEmpty()))
        return std::nullopt;
    const std::optional<QRgb> fill = opaqueFill(*this);
    if (!fill || !copiesExactlyAt(devicePixelRatio()))
        return std::nullopt;
    QStyleOptionFrame option;
    initStyleOption(&option);
    return Look{style(), size(),        devicePixelRatio(), option.palette.cacheKey(),
                *fill,   option.state, font(),             alignment()};
}

void ReadoutBox::paintEvent(QPaintEvent *event)
{
    if (keptLook() == look_) {
        const auto found = images_.constFind(displayText());
        if (found != images_.cend()) {
            QPainter painter(this);
            painter.drawImage(QPoint(0, 0), *found);
            return;
        }
    }
    QLineEdit::paintEvent(event);
}

void ReadoutBox::keepText()
{
    const std::optional<Look> look = keptLook();
    if (!look || !isVisible())
        return;
    if (!(*look == look_)) {
        images_.clear();
        keptBytes_ = 0;
        look_ = *look;
    }
    // Text wider than the box is scrolled to where the cursor last was.
    if (images_.contains(displayText()) || !textFits())
        return;
    QImage image = paintedImage(rect(), look->ratio, QColor::fromRgba(look->fill),
                                [&](QPainter &painter) {
                                    keeping_ = true;
                                    render(&painter, QPoint(), QRegion(), {});
                                    keeping_ = false;
                                });
    if (!makeOpaque(image))
        return;
    if (keptBytes_ + image.sizeInBytes() > kMaxKeptBytes) {
        images_.clear();
        keptBytes_ = 0;
    }
    keptBytes_ += image.sizeInBytes();
    images_.insert(displayText(), std::move(image));
}

bool ReadoutBox::textFits() const
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this)
                               .marginsRemoved(textMargins());
    const QFontMetrics metrics = fontMetrics();
    // With room to spare for the glyphs' bearings and QLineEdit's own margins.
    const int needed = metrics.horizontalAdvance(displayText()) - metrics.minLeftBearing() -
                       metrics.minRightBearing() + 2 * metrics.averageCharWidth();
    return needed <= contents.width();
}

} // namespace quenrow

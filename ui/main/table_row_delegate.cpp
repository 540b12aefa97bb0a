// SPDX-License-Identifier: MIT
#include "table_row_delegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QStyle>

#include "ui/kept_pixels.h"

namespace quenrow {

const QStaticText &TableRowDelegate::layoutOf(int row, const QString &text,
                                              const QFont &font) const
{
    if (font != font_) {
        rows_.clear();
        font_ = font;
    }
    if (static_cast<std::size_t>(row) >= rows_.size())
        rows_.resize(static_cast<std::size_t>(row) + 1);
    QStaticText &layout = rows_[static_cast<std::size_t>(row)];
    if (layout.text() != text || layout.text().isNull()) {
        layout.setText(text);
        layout.setTextFormat(Qt::PlainText);
        layout.prepare(QTransform(), font);
    }
    return layout;
}

void TableRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QWidget *widget = item.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    // The text's place as the style computes it: a margin either side, centred vertically.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect textRect = item.rect.adjusted(margin, 0, -margin, 0);
    const bool plain = item.features == QStyleOptionViewItem::HasDisplay && item.icon.isNull() &&
                       item.displayAlignment == (Qt::AlignLeft | Qt::AlignVCenter) &&
                       item.direction == Qt::LeftToRight && item.backgroundBrush.style() == Qt::NoBrush;
    if (!plain || item.text.isEmpty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QStaticText &text = layoutOf(index.row(), item.text, item.font);
    const QSizeF size = text.size();
    if (size.width() > textRect.width()) { // elided by the style
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }

    // A row over the list's plain background is the same pixels whenever its
    // text, state and size are: those are kept and copied, on whole device
    // pixels only.
    const auto *view = qobject_cast<const QAbstractItemView *>(widget);
    const QWidget *viewport = view ? view->viewport() : nullptr;
    const std::optional<QRgb> fill = viewport ? opaqueFill(*viewport) : std::nullopt;
    if (!fill || painter->device() != viewport || view->alternatingRowColors() ||
        !copiesExactly(*painter)) {
        paintRow(painter, item, text, textRect, style);
        return;
    }
    const qreal ratio = painter->device()->devicePixelRatio();
    const QRgb background = *fill;
    const std::uint64_t key = (std::uint64_t(index.row()) << 32) | std::uint32_t(item.state);
    RowImage &kept = images_[key];
    kept.lastUse = ++uses_;
    if (kept.image.isNull() || kept.text != item.text ||
        kept.image.deviceIndependentSize() != item.rect.size() ||
        kept.image.devicePixelRatio() != ratio || kept.palette != item.palette.cacheKey() ||
        kept.background != background || kept.font != item.font) {
        QImage image = paintedImage(item.rect, ratio, QColor::fromRgba(background),
                                    [&](QPainter &rowPainter) {
                                        paintRow(&rowPainter, item, text, textRect, style);
                                    });
        if (!makeOpaque(image)) { // the style cleared pixels of the fill
            bytes_ -= kept.image.sizeInBytes();
            images_.erase(key);
            paintRow(painter, item, text, textRect, style);
            return;
        }
        bytes_ += image.sizeInBytes() - (kept.image.isNull() ? 0 : kept.image.sizeInBytes());
        kept = {item.text, item.palette.cacheKey(), background, item.font, std::move(image), uses_};
        dropOldest(key);
    }
    painter->drawImage(item.rect.topLeft(), kept.image);
}

void TableRowDelegate::paintRow(QPainter *painter, QStyleOptionViewItem item,
                                const QStaticText &text, const QRect &textRect,
                                const QStyle *style) const
{
    item.text.clear(); // the text is drawn below, from its kept layout
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);

    QPalette::ColorGroup group =
        item.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(item.state & QStyle::State_Active))
        group = QPalette::Inactive;
    const QPalette::ColorRole role =
        item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text;
    const QSizeF size = text.size();
    const QRect layoutRect = QStyle::alignedRect(
        Qt::LeftToRight, Qt::AlignVCenter,
        QSize(static_cast<int>(size.width()), static_cast<int>(size.height())), textRect);
    painter->save();
    painter->setClipRect(item.rect);
    painter->setPen(item.palette.color(group, role));
    painter->setFont(item.font);
    painter->drawStaticText(QPointF(textRect.x(), layoutRect.top()), text);
    painter->restore();
}

void TableRowDelegate::dropOldest(std::uint64_t keep) const
{
    while (bytes_ > kMaxBytes && images_.size() > 1) {
        auto oldest = images_.end();
        for (auto it = images_.begin(); it != images_.end(); ++it)
            if (it->first != keep && (oldest == images_.end() || it->second.lastUse < oldest->second.lastUse))
                oldest = it;
        bytes_ -= oldest->second.image.sizeInBytes();
        images_.erase(oldest);
    }
}

} // namespace quenrow

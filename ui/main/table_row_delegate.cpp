// SPDX-License-Identifier: MIT
#include "table_row_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

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

    item.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    QPalette::ColorGroup group =
        item.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(item.state & QStyle::State_Active))
        group = QPalette::Inactive;
    const QPalette::ColorRole role =
        item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text;
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

} // namespace quenrow

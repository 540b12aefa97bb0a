// SPDX-License-Identifier: MIT
// Quenrow: paints the table list's rows from text laid out once per row.
#pragma once

#include <vector>

#include <QFont>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace quenrow {

// The style lays out and shapes a row's text three times each time it paints
// the row, which made a row change under the pointer cost several times the
// crosshair's own repaint. Here the style paints the row's panel and focus
// frame as always, and the text comes from a layout kept per row. Rows the
// simple path does not cover (elided, decorated) are left to the style.
class TableRowDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    const QStaticText &layoutOf(int row, const QString &text, const QFont &font) const;

    mutable std::vector<QStaticText> rows_;
    mutable QFont font_;
};

} // namespace quenrow

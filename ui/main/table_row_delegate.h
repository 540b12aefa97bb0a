// SPDX-License-Identifier: MIT
// Quenrow: paints the table list's rows from text laid out once per row.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include <QFont>
#include <QImage>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace quenrow {

// The style lays out and shapes a row's text three times each time it paints
// the row, which made a row change under the pointer cost several times the
// crosshair's own repaint. Here the style paints the row's panel and focus
// frame as always, the text comes from a layout kept per row, and the painted
// row is kept for the next time it is shown in the same state. Rows the
// simple path does not cover (elided, decorated) are left to the style.
class TableRowDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    const QStaticText &layoutOf(int row, const QString &text, const QFont &font) const;
    void paintRow(QPainter *painter, QStyleOptionViewItem item, const QStaticText &text,
                  const QRect &textRect, const QStyle *style) const;
    void dropOldest(std::uint64_t keep) const;

    mutable std::vector<QStaticText> rows_;
    mutable QFont font_;

    // Painted rows, by row and state; the least recently used go first.
    struct RowImage {
        QString text;
        qint64 palette = 0;
        QRgb background = 0;
        QFont font;
        QImage image;
        std::uint64_t lastUse = 0;
    };
    static constexpr qsizetype kMaxBytes = 8 << 20; // every row in both states, at 1x
    mutable std::unordered_map<std::uint64_t, RowImage> images_;
    mutable qsizetype bytes_ = 0;
    mutable std::uint64_t uses_ = 0;
};

} // namespace quenrow

// SPDX-License-Identifier: MIT
// Quenrow: a scroll bar that paints in short bands.
#pragma once

#include <QImage>
#include <QScrollBar>
#include <QStyle>

#include <vector>

namespace quenrow {

// Qt's raster engine hands any fill of more than 95 pixel rows to its GUI
// thread pool and waits for it. The style's scroll bar is a few such fills,
// and on a busy two-core machine the wait made the table list's scroll bar,
// repainted whenever a row change under the pointer scrolls the list, cost
// more than everything else in the move. Drawn in bands of fewer rows, the
// same fills stay on the calling thread, and the bands away from the slider
// are kept for the next value. The bands give the style's own pixels: it
// paints every pixel of the bar opaquely, which is checked for each band, and
// a bar under the pointer or pressed (whose look depends on state QScrollBar
// keeps to itself) is painted by QScrollBar as usual.
class BandedScrollBar final : public QScrollBar {
public:
    explicit BandedScrollBar(Qt::Orientation orientation, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool paintInBands(const QRect &area);

    // What the bar's pixels depend on besides the slider's place.
    struct Look {
        const QStyle *style = nullptr;
        QSize size;
        qreal ratio = 0;
        qint64 palette = 0;
        QStyle::State state;
        bool operator==(const Look &) const = default;
    };
    // A band's pixels, kept with the part of the slider that lies in it and
    // whether the value stood at an end (the arrows there look disabled).
    struct Band {
        QRect rect;
        QRect slider;
        bool atMinimum = false, atMaximum = false;
        QImage image;
    };

    bool pressed_ = false;
    Look look_;
    std::vector<Band> bands_;
    qsizetype keptBytes_ = 0;
};

} // namespace quenrow

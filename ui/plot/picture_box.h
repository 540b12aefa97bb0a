// SPDX-License-Identifier: MIT
// Quenrow: the plot surface of the plot window, with its two marker lines.
#pragma once

#include <QImage>
#include <QWidget>

#include <array>
#include <map>
#include <optional>

namespace quenrow {

class PictureBox;

// A line control on the picture box; end points in user coordinates, single
// precision, as set and read back by the handlers.
class LineControl {
public:
    LineControl(PictureBox *owner, float x1, float y1, float x2, float y2);

    float x1() const { return x1_; }
    float y1() const { return y1_; }
    float x2() const { return x2_; }
    float y2() const { return y2_; }
    bool isVisible() const { return visible_; }

    void setX1(float value) { change(x1_, value); }
    void setY1(float value) { change(y1_, value); }
    void setX2(float value) { change(x2_, value); }
    void setY2(float value) { change(y2_, value); }
    void setVisible(bool visible);

    // Pixels this line covers in its owner's widget coordinates.
    QRect strip() const;

private:
    void change(float &member, float value);

    PictureBox *owner_;
    float x1_, y1_, x2_, y2_;
    bool visible_ = true;
};

// The device pixels Qt lights drawing a line from `a` to `b` with a
// one-pixel pen at `ratio` device pixels a pixel, in device pixels from the
// origin `a` and `b` are given from, when they form one rectangle: so for a
// marker line, which runs straight across or down. Found by drawing the line
// near the origin, since a shift by whole device pixels lights the same
// pixels shifted; only at densities 1 and 2, where a whole pixel of the
// painter is a whole device pixel. With `kept`, the pixels are kept there
// by the line's place within a device pixel and its length, and found again.
using KeptLinePixels = std::map<std::array<double, 5>, std::optional<QRect>>;
std::optional<QRect> linePixels(QPointF a, QPointF b, qreal ratio,
                                KeptLinePixels *kept = nullptr);

class PictureBox : public QWidget {
    Q_OBJECT
public:
    static constexpr int kInner = 525; // drawable pixels each way
    static constexpr int kBorder = 2;

    explicit PictureBox(QWidget *parent = nullptr);

    // The persistent image, 525 x 525 logical pixels at the screen's density.
    QImage &image() { return image_; }
    const QImage &image() const { return image_; }

    LineControl &line1() { return line1_; }
    LineControl &line2() { return line2_; }

    // User coordinates to widget pixels (inner area offset by the border).
    static QPointF toWidget(double x, double y);

signals:
    void mouseMoved(float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void drawBorder(QPainter &painter);
    void fillPixels(QPainter &painter, const QRect &pixels, const QColor &colour) const;

    QImage image_;
    LineControl line1_;
    LineControl line2_;
    KeptLinePixels linePixels_;
};

} // namespace quenrow

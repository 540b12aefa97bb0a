// SPDX-License-Identifier: MIT
// Quenrow: the plot surface of the plot window, with its two marker lines.
#pragma once

#include <QImage>
#include <QWidget>

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

    // User coordinates to widget pixels (inner area offset by the border),
    // on a screen of `ratio` device pixels a pixel.
    static QPointF toWidget(double x, double y, qreal ratio = 1);

    // A blank inner area at `ratio` device pixels a pixel, at 96 dpi so that
    // point sizes mean what they mean on a 96 dpi screen.
    static QImage newImage(qreal ratio);

    // The visible marker lines as the box paints them, on a painter whose
    // inner area starts at `origin`, at `ratio` device pixels a pixel.
    void paintMarkers(QPainter &painter, QPointF origin, qreal ratio) const;

signals:
    void mouseMoved(float x, float y);
    // The window moved to a screen of another density: the image is blank
    // again at the new density, for the owner to draw anew.
    void densityChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void drawBorder(QPainter &painter);
    static void drawMarker(QPainter &painter, const LineControl &line, QPointF origin, qreal ratio);

    QImage image_;
    LineControl line1_;
    LineControl line2_;
};

} // namespace quenrow

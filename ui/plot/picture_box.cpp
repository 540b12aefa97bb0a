// SPDX-License-Identifier: MIT
#include "picture_box.h"

#include <QMouseEvent>
#include <QPainter>

#include "data/plot_geometry.h"

namespace quenrow {

namespace {

const QColor kBackground(0, 0, 128);
const QColor kMarker(255, 255, 0);

// Logical dpi of the image: point sizes then mean what they mean on a 96 dpi screen.
constexpr int kDotsPerMeter96 = 3780;

} // namespace

LineControl::LineControl(PictureBox *owner, float x1, float y1, float x2, float y2)
    : owner_(owner), x1_(x1), y1_(y1), x2_(x2), y2_(y2)
{}

void LineControl::setVisible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    owner_->update(strip());
}

void LineControl::change(float &member, float value)
{
    if (member == value)
        return;
    // Repaint where the line was and where it now is, nothing else.
    const QRect before = strip();
    member = value;
    if (visible_)
        owner_->update(before | strip());
}

QRect LineControl::strip() const
{
    const QPointF a = PictureBox::toWidget(x1_, y1_);
    const QPointF b = PictureBox::toWidget(x2_, y2_);
    return QRectF(a, b).normalized().toAlignedRect().adjusted(-2, -2, 2, 2);
}

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent),
      // End points as designed in twips: (3120, 263)-(3120, 7162) and (653, 4680)-(7657, 4680).
      line1_(this, 5.67105f, 18.39867f, 5.67105f, 0.00133f),
      line2_(this, 0.00086f, 6.62f, 16.09895f, 6.62f)
{
    setFixedSize(kInner + 2 * kBorder, kInner + 2 * kBorder);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    const qreal ratio = devicePixelRatioF();
    image_ = QImage(QSize(kInner, kInner) * ratio, QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    image_.setDotsPerMeterX(kDotsPerMeter96);
    image_.setDotsPerMeterY(kDotsPerMeter96);
    image_.fill(kBackground);
}

QPointF PictureBox::toWidget(double x, double y)
{
    return {kBorder + UserScale::toPixelX(x), kBorder + UserScale::toPixelY(y)};
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this); // clipped to the event's region by Qt
    const int outer = kInner + 2 * kBorder;
    // Sunken border: dark above and left, light below and right.
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(0, 0, outer - 2, 0);
    painter.drawLine(0, 0, 0, outer - 2);
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawLine(1, 1, outer - 3, 1);
    painter.drawLine(1, 1, 1, outer - 3);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(0, outer - 1, outer - 1, outer - 1);
    painter.drawLine(outer - 1, 0, outer - 1, outer - 1);
    painter.setPen(palette().color(QPalette::Midlight));
    painter.drawLine(1, outer - 2, outer - 2, outer - 2);
    painter.drawLine(outer - 2, 1, outer - 2, outer - 2);

    // Rectangle by rectangle: under a rectangle clip Qt copies the image's
    // rows and a marker's pixels in one go; under the region of a pointer
    // move it works scanline by scanline through the region's spans, handing
    // them to its fill threads, several times slower. Same pixels either way.
    painter.setPen(QPen(kMarker, 1));
    for (const QRect &rect : event->region()) {
        painter.setClipRect(rect);
        painter.drawImage(QPoint(kBorder, kBorder), image_);
        for (const LineControl *line : {&line1_, &line2_})
            if (line->isVisible())
                painter.drawLine(toWidget(line->x1(), line->y1()),
                                 toWidget(line->x2(), line->y2()));
    }
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF at = event->position() - QPointF(kBorder, kBorder);
    emit mouseMoved(static_cast<float>(UserScale::fromPixelX(at.x())),
                    static_cast<float>(UserScale::fromPixelY(at.y())));
}

} // namespace quenrow

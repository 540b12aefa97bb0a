// SPDX-License-Identifier: MIT
#include "picture_box.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

#include "data/plot_geometry.h"

namespace quenrow {

namespace {

const QColor kBackground(0, 0, 128);
const QColor kMarker(255, 255, 0);

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
    image_ = newImage(devicePixelRatio());
}

QImage PictureBox::newImage(qreal ratio)
{
    QImage image(QSize(kInner, kInner) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.setDotsPerMeterX(kDotsPerMeter96);
    image.setDotsPerMeterY(kDotsPerMeter96);
    image.fill(kBackground);
    return image;
}

QPointF PictureBox::toWidget(double x, double y, qreal ratio)
{
    return {kBorder + UserScale::toPixelX(x, ratio), kBorder + UserScale::toPixelY(y, ratio)};
}

void PictureBox::drawBorder(QPainter &painter)
{
    const int outer = kInner + 2 * kBorder;
    // Sunken: dark above and left, light below and right. Filled as
    // rectangles, so that every device pixel of the border is painted at any
    // density (the box paints opaquely: nothing lies under it).
    const std::pair<QPalette::ColorRole, QRect> edges[] = {
        {QPalette::Dark, QRect(0, 0, outer - 1, 1)},
        {QPalette::Dark, QRect(0, 0, 1, outer - 1)},
        {QPalette::Shadow, QRect(1, 1, outer - 3, 1)},
        {QPalette::Shadow, QRect(1, 1, 1, outer - 3)},
        {QPalette::Light, QRect(0, outer - 1, outer, 1)},
        {QPalette::Light, QRect(outer - 1, 0, 1, outer)},
        {QPalette::Midlight, QRect(1, outer - 2, outer - 2, 1)},
        {QPalette::Midlight, QRect(outer - 2, 1, 1, outer - 2)},
    };
    for (const auto &[role, edge] : edges)
        painter.fillRect(edge, palette().color(role));
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    if (image_.devicePixelRatio() != devicePixelRatio()) {
        image_ = newImage(devicePixelRatio());
        emit densityChanged();
    }
    QPainter painter(this); // clipped to the event's region by Qt
    drawBorder(painter);
    // Rectangle by rectangle, markers too: under a rectangle clip Qt copies
    // the image's rows in one go; under the many-rectangle region of a
    // pointer move it works span by span, several times slower. Same pixels
    // either way.
    const QPoint origin(kBorder, kBorder);
    for (const QRect &rect : event->region()) {
        painter.setClipRect(rect);
        painter.drawImage(origin, image_);
        paintMarkers(painter, origin, devicePixelRatio());
    }
}

void PictureBox::drawMarker(QPainter &painter, const LineControl &line, QPointF origin, qreal ratio)
{
    painter.drawLine(origin + QPointF(UserScale::toPixelX(line.x1(), ratio),
                                      UserScale::toPixelY(line.y1(), ratio)),
                     origin + QPointF(UserScale::toPixelX(line.x2(), ratio),
                                      UserScale::toPixelY(line.y2(), ratio)));
}

void PictureBox::paintMarkers(QPainter &painter, QPointF origin, qreal ratio) const
{
    painter.setPen(QPen(kMarker, 1));
    for (const LineControl *line : {&line1_, &line2_})
        if (line->isVisible())
            drawMarker(painter, *line, origin, ratio);
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF at = event->position() - QPointF(kBorder, kBorder);
    emit mouseMoved(static_cast<float>(UserScale::fromPixelX(at.x())),
                    static_cast<float>(UserScale::fromPixelY(at.y())));
}

} // namespace quenrow

// SPDX-License-Identifier: MIT
#include "picture_box.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "data/plot_geometry.h"
#include "ui/kept_pixels.h"

namespace quenrow {

namespace {

const QColor kBackground(0, 0, 128);
const QColor kMarker(255, 255, 0);

constexpr int kScratchMargin = 4; // device pixels around a line drawn to find its pixels
constexpr std::size_t kMaxLinePlaces = 4096;

// Where `a` and `b` lie, in device pixels, after a shift by whole device
// pixels that brings the nearer corner of their box to the scratch margin.
struct ShiftedLine {
    QPoint shift;
    QPointF a, b;
};

ShiftedLine shiftedLine(QPointF a, QPointF b, qreal ratio)
{
    // Exact: ratio is 1 or 2, and a whole number is taken off.
    const QPointF deviceA = a * ratio, deviceB = b * ratio;
    const QPoint shift(static_cast<int>(std::floor(std::min(deviceA.x(), deviceB.x()))) - kScratchMargin,
                       static_cast<int>(std::floor(std::min(deviceA.y(), deviceB.y()))) - kScratchMargin);
    return {shift, deviceA - QPointF(shift), deviceB - QPointF(shift)};
}

// The pixels drawn for the shifted line, from the shift's origin.
std::optional<QRect> shiftedLinePixels(const ShiftedLine &line, qreal ratio)
{
    const QSize size(static_cast<int>(std::ceil(std::max(line.a.x(), line.b.x()))) + kScratchMargin,
                     static_cast<int>(std::ceil(std::max(line.a.y(), line.b.y()))) + kScratchMargin);
    QImage scratch(size, QImage::Format_RGB32);
    scratch.fill(Qt::black);
    scratch.setDevicePixelRatio(ratio);
    {
        QPainter painter(&scratch);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawLine(line.a / ratio, line.b / ratio);
    }
    const QRgb lit = qRgb(255, 255, 255);
    QRect pixels;
    for (int y = 0; y < scratch.height(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(scratch.constScanLine(y));
        for (int x = 0; x < scratch.width(); ++x)
            if (row[x] == lit)
                pixels |= QRect(x, y, 1, 1);
    }
    // One rectangle, all of it drawn, none of it cut off by the scratch's edges.
    if (pixels.isEmpty() || !scratch.rect().adjusted(1, 1, -1, -1).contains(pixels))
        return std::nullopt;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(scratch.constScanLine(y));
        if (!std::all_of(row + pixels.left(), row + pixels.right() + 1,
                         [&](QRgb pixel) { return pixel == lit; }))
            return std::nullopt;
    }
    return pixels;
}

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

std::optional<QRect> linePixels(QPointF a, QPointF b, qreal ratio, KeptLinePixels *kept)
{
    if (!copiesExactlyAt(ratio))
        return std::nullopt;
    const ShiftedLine line = shiftedLine(a, b, ratio);
    std::optional<QRect> pixels;
    if (kept) {
        const std::array<double, 5> place{ratio, line.a.x(), line.a.y(), line.b.x(), line.b.y()};
        auto found = kept->find(place);
        if (found == kept->end()) {
            if (kept->size() >= kMaxLinePlaces)
                kept->clear();
            found = kept->emplace(place, shiftedLinePixels(line, ratio)).first;
        }
        pixels = found->second;
    } else {
        pixels = shiftedLinePixels(line, ratio);
    }
    if (!pixels)
        return std::nullopt;
    return pixels->translated(line.shift);
}

QPointF PictureBox::toWidget(double x, double y)
{
    return {kBorder + UserScale::toPixelX(x), kBorder + UserScale::toPixelY(y)};
}

void PictureBox::drawBorder(QPainter &painter)
{
    const int outer = kInner + 2 * kBorder;
    const qreal ratio = devicePixelRatio();
    const auto line = [&](QPalette::ColorRole role, int x1, int y1, int x2, int y2) {
        const QColor colour = palette().color(role);
        if (const std::optional<QRect> pixels =
                linePixels(QPointF(x1, y1), QPointF(x2, y2), ratio, &linePixels_))
            fillPixels(painter, *pixels, colour);
        else {
            painter.setPen(colour);
            painter.drawLine(x1, y1, x2, y2);
        }
    };
    // Sunken: dark above and left, light below and right.
    line(QPalette::Dark, 0, 0, outer - 2, 0);
    line(QPalette::Dark, 0, 0, 0, outer - 2);
    line(QPalette::Shadow, 1, 1, outer - 3, 1);
    line(QPalette::Shadow, 1, 1, 1, outer - 3);
    line(QPalette::Light, 0, outer - 1, outer - 1, outer - 1);
    line(QPalette::Light, outer - 1, 0, outer - 1, outer - 1);
    line(QPalette::Midlight, 1, outer - 2, outer - 2, outer - 2);
    line(QPalette::Midlight, outer - 2, 1, outer - 2, outer - 2);
}

void PictureBox::fillPixels(QPainter &painter, const QRect &pixels, const QColor &colour) const
{
    const qreal ratio = devicePixelRatio();
    painter.fillRect(QRectF(QPointF(pixels.topLeft()) / ratio, QSizeF(pixels.size()) / ratio),
                     colour);
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this); // clipped to the event's region by Qt
    // The border lies outside the image, and a marker move repaints only
    // well inside it: clipped away, its lines would still cost a pass each.
    // One pixel of slack covers rounding at fractional screen scales.
    const QRect image(kBorder, kBorder, kInner, kInner);
    if (!image.adjusted(1, 1, -1, -1).contains(event->region().boundingRect()))
        drawBorder(painter);

    // Rectangle by rectangle: under a rectangle clip Qt copies the image's
    // rows and a marker's pixels in one go; under the region of a pointer
    // move it works scanline by scanline through the region's spans, handing
    // them to its fill threads, several times slower. Same pixels either way.
    // Qt steps along a line pixel by pixel; a marker's pixels are one
    // rectangle, found once for its place within a device pixel, and filled.
    const qreal ratio = devicePixelRatio();
    const auto markerPixels = [&](const LineControl &line) -> std::optional<QRect> {
        if (!line.isVisible())
            return std::nullopt;
        return linePixels(toWidget(line.x1(), line.y1()), toWidget(line.x2(), line.y2()), ratio,
                          &linePixels_);
    };
    const std::optional<QRect> pixels[] = {markerPixels(line1_), markerPixels(line2_)};
    const LineControl *lines[] = {&line1_, &line2_};
    painter.setPen(QPen(kMarker, 1));
    for (const QRect &rect : event->region()) {
        painter.setClipRect(rect);
        painter.drawImage(QPoint(kBorder, kBorder), image_);
        for (int i = 0; i < 2; ++i) {
            const LineControl &line = *lines[i];
            if (!line.isVisible() || !line.strip().intersects(rect))
                continue;
            if (pixels[i])
                fillPixels(painter, *pixels[i], kMarker);
            else
                painter.drawLine(toWidget(line.x1(), line.y1()), toWidget(line.x2(), line.y2()));
        }
    }
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF at = event->position() - QPointF(kBorder, kBorder);
    emit mouseMoved(static_cast<float>(UserScale::fromPixelX(at.x())),
                    static_cast<float>(UserScale::fromPixelY(at.y())));
}

} // namespace quenrow

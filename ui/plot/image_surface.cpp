// SPDX-License-Identifier: MIT
#include "image_surface.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "data/plot_geometry.h"
#include "ui/look.h"

namespace quenrow {

enum class Figure { Line, Rectangle, FilledRectangle };

namespace {

QColor colorOf(int index)
{
    const Rgb rgb = paletteColor(index);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QPointF pixel(double x, double y)
{
    return {UserScale::toPixelX(x), UserScale::toPixelY(y)};
}

const QColor kForeground(255, 255, 255);
const QColor kBackground(0, 0, 128);

// What a cached drawing depends on besides its own arguments.
struct ImageShape {
    int width, height;
    qreal ratio;
    QImage::Format format;
    bool operator==(const ImageShape &) const = default;
};

ImageShape shapeOf(const QImage &image)
{
    return {image.width(), image.height(), image.devicePixelRatio(), image.format()};
}

// FNV-1a over the bytes of each value mixed in.
class KeyHash {
public:
    template <typename... Values>
    explicit KeyHash(const Values &...values)
    {
        (mix(values), ...);
    }
    void mix(const ImageShape &shape)
    {
        mix(shape.width), mix(shape.height), mix(shape.ratio), mix(static_cast<int>(shape.format));
    }
    template <typename Value>
    void mix(const Value &value)
    {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof value);
        hash_ = (hash_ ^ bits) * 0x100000001b3u;
    }
    operator std::size_t() const { return static_cast<std::size_t>(hash_); }

private:
    std::uint64_t hash_ = 0xcbf29ce484222325u;
};

// The painter draws straight into the image's buffer; writing into that same
// buffer, not a detached copy, keeps both on the same pixels. Taken once for
// many rows: a vertical grid line is a run of one pixel on each of 460 rows.
class WritableRows {
public:
    explicit WritableRows(const QImage &image)
        : bits_(const_cast<uchar *>(image.constBits())), stride_(image.bytesPerLine())
    {}
    QRgb *operator[](int y) const { return reinterpret_cast<QRgb *>(bits_ + y * stride_); }

private:
    uchar *bits_;
    qsizetype stride_;
};

// An aliased figure (a line, a rectangle's outline, a filled rectangle) in
// one opaque colour replaces the pixels it covers whatever lay under them, so
// what it writes depends only on its arguments, the pen and the image's
// geometry. The grid and legend lines, the masks and the frame are the same
// in every plot, and the stroker makes them most of DrawPlot's time: Qt draws
// each once into a scratch image, the pixels it wrote are kept, and later
// plots write exactly those. Curves come through lineTo() and are always
// stroked. Painting happens on the GUI thread only, so the cache is unlocked.
struct FigureKey {
    Figure figure;
    float x1, y1, x2, y2;
    int colour, penWidth;
    ImageShape shape;
    bool operator==(const FigureKey &) const = default;
};

struct FigureKeyHash {
    std::size_t operator()(const FigureKey &key) const
    {
        return KeyHash(static_cast<int>(key.figure), key.x1, key.y1, key.x2, key.y2, key.colour,
                       key.penWidth, key.shape);
    }
};

struct Run {
    int y, x, length; // device pixels
};

struct FigurePixels {
    QRgb value = 0;
    std::vector<Run> runs;
};

constexpr std::size_t kMaxCachedFigures = 4096; // a plot has 158

std::unordered_map<FigureKey, FigurePixels, FigureKeyHash> &figureCache()
{
    static std::unordered_map<FigureKey, FigurePixels, FigureKeyHash> cache;
    return cache;
}

bool writableAsRgb(const QImage &image)
{
    return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32 ||
           image.format() == QImage::Format_ARGB32_Premultiplied;
}

// Draws the figure alone, with `pen` and `brush`, into a scratch image of the
// same geometry and reads back what Qt wrote within `bounds` (logical pixels)
// and a margin for the pen; false (draw it normally) unless that is the pen's
// one colour.
bool findFigurePixels(const QImage &image, const QPen &pen, const QBrush &brush,
                      const QRectF &bounds, const std::function<void(QPainter &)> &draw,
                      FigurePixels &out)
{
    static QImage scratch;
    if (scratch.size() != image.size() || scratch.format() != image.format() ||
        scratch.devicePixelRatio() != image.devicePixelRatio()) {
        scratch = QImage(image.size(), image.format());
        scratch.setDevicePixelRatio(image.devicePixelRatio());
    }
    // Round caps and joins reach half the pen width past the ends; two pixels spare.
    const qreal ratio = image.devicePixelRatio();
    const int margin = static_cast<int>(std::ceil(pen.widthF() * ratio)) + 2;
    const QRect box = QRect(QPoint(static_cast<int>(std::floor(bounds.left() * ratio)) - margin,
                                   static_cast<int>(std::floor(bounds.top() * ratio)) - margin),
                            QPoint(static_cast<int>(std::ceil(bounds.right() * ratio)) + margin,
                                   static_cast<int>(std::ceil(bounds.bottom() * ratio)) + margin))
                          .intersected(scratch.rect());
    const QRgb wanted = pen.color().rgba();
    if (brush.style() != Qt::NoBrush && brush.color().rgba() != wanted)
        return false;
    const QRgb untouched = wanted ^ 0x00ffffffu;
    for (int y = box.top(); y <= box.bottom(); ++y)
        std::fill_n(reinterpret_cast<QRgb *>(scratch.scanLine(y)) + box.left(), box.width(),
                    untouched);
    {
        QPainter painter(&scratch);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(pen);
        painter.setBrush(brush);
        draw(painter);
    }
    out.value = wanted;
    out.runs.clear();
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(scratch.constScanLine(y));
        for (int x = box.left(); x <= box.right();) {
            if (row[x] == untouched) {
                ++x;
                continue;
            }
            const int start = x;
            for (; x <= box.right() && row[x] != untouched; ++x)
                if (row[x] != wanted)
                    return false;
            out.runs.push_back({y, start, x - start});
        }
    }
    return true;
}

// Text is the other large part of DrawPlot, and every plot prints the same
// texts at the same places. What Qt draws for a text depends on its inputs and
// on the pixels under it, so a text is kept with the pixels it found and the
// pixels it left, and is written from the cache only where it finds the same
// pixels again. A text whose ink reached past its box is never cached.
struct TextKey {
    std::string text;
    double points;
    float x, y;
    ImageShape shape;
    bool operator==(const TextKey &) const = default;
};

struct TextKeyHash {
    std::size_t operator()(const TextKey &key) const
    {
        return KeyHash(std::hash<std::string>()(key.text), key.points, key.x, key.y, key.shape);
    }
};

struct TextPixels {
    bool cacheable = false;
    QRect box; // device pixels
    std::vector<QRgb> before, after;
    double lineHeight = 0, advance = 0; // logical pixels
};

constexpr std::size_t kMaxCachedTexts = 1024; // a plot has 48

std::unordered_map<TextKey, TextPixels, TextKeyHash> &textCache()
{
    static std::unordered_map<TextKey, TextPixels, TextKeyHash> cache;
    return cache;
}

std::vector<QRgb> pixelsIn(const QImage &image, const QRect &box)
{
    std::vector<QRgb> pixels;
    pixels.reserve(static_cast<std::size_t>(box.width()) * static_cast<std::size_t>(box.height()));
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y)) + box.left();
        pixels.insert(pixels.end(), row, row + box.width());
    }
    return pixels;
}

bool samePixels(const QImage &image, const QRect &box, const std::vector<QRgb> &pixels)
{
    const QRgb *expected = pixels.data();
    for (int y = box.top(); y <= box.bottom(); ++y, expected += box.width()) {
        const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y)) + box.left();
        if (!std::equal(row, row + box.width(), expected))
            return false;
    }
    return true;
}

// The bounding rectangle of the pixels in `area` that differ from `before`.
QRect changedIn(const QImage &image, const QRect &area, const std::vector<QRgb> &before)
{
    QRect changed;
    const QRgb *old = before.data();
    for (int y = area.top(); y <= area.bottom(); ++y, old += area.width()) {
        const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y)) + area.left();
        for (int x = 0; x < area.width(); ++x)
            if (row[x] != old[x])
                changed |= QRect(area.left() + x, y, 1, 1);
    }
    return changed;
}

// The part `box` of pixels taken from `area`.
std::vector<QRgb> croppedTo(const std::vector<QRgb> &pixels, const QRect &area, const QRect &box)
{
    std::vector<QRgb> part;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const auto start = pixels.begin() + (y - area.top()) * area.width() + (box.left() - area.left());
        part.insert(part.end(), start, start + box.width());
    }
    return part;
}

} // namespace

ImageSurface::ImageSurface(QImage &image) : image_(image), painter_(&image_)
{
    painter_.setRenderHint(QPainter::Antialiasing, false);
    font_ = timesFont(12);
    font_.setPointSizeF(12);
}

ImageSurface::~ImageSurface()
{
    flushCurve();
}

// A curve is 131 short wide segments. Stroked one call each, Qt sets up a
// stroke and a fill per segment, which was most of DrawPlot's time; one call
// for the whole curve fills the union of the same segment outlines, so the
// same pixels (compared on every bundled, hostile and fuzz file, and on 600
// random tables, at 1, 1.5 and 2 device pixels per pixel).
void ImageSurface::flushCurve()
{
    if (curve_.empty())
        return;
    usePen(curveColour_);
    painter_.drawLines(curve_.data(), static_cast<int>(curve_.size()));
    curve_.clear();
}

void ImageSurface::clear()
{
    flushCurve();
    painter_.fillRect(QRectF(0, 0, UserScale::pixels, UserScale::pixels), kBackground);
}

void ImageSurface::setPenWidth(int pixels)
{
    flushCurve();
    penWidth_ = pixels;
}

void ImageSurface::usePen(int colour)
{
    painter_.setPen(QPen(colorOf(colour), penWidth_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void ImageSurface::drawFigure(Figure figure, float x1, float y1, float x2, float y2, int colour,
                              const QRectF &bounds, const std::function<void(QPainter &)> &draw)
{
    const auto setUp = [&] {
        usePen(colour);
        painter_.setBrush(figure == Figure::FilledRectangle ? QBrush(colorOf(colour))
                                                            : QBrush(Qt::NoBrush));
    };
    const auto drawHere = [&] {
        setUp();
        draw(painter_);
        painter_.setBrush(Qt::NoBrush);
    };
    if (!writableAsRgb(image_)) {
        drawHere();
        return;
    }
    auto &cache = figureCache();
    const FigureKey key{figure, x1, y1, x2, y2, colour, penWidth_, shapeOf(image_)};
    auto found = cache.find(key);
    if (found == cache.end()) {
        setUp();
        FigurePixels pixels;
        if (cache.size() >= kMaxCachedFigures ||
            !findFigurePixels(image_, painter_.pen(), painter_.brush(), bounds, draw, pixels)) {
            drawHere();
            return;
        }
        painter_.setBrush(Qt::NoBrush);
        found = cache.emplace(key, std::move(pixels)).first;
    }
    // Every other operation sets its own pen, so a hit leaves the pen alone.
    const WritableRows rows(image_);
    const QRgb value = found->second.value;
    for (const Run &run : found->second.runs) {
        QRgb *start = rows[run.y] + run.x;
        if (run.length == 1) // most runs: the vertical lines'
            *start = value;
        else
            std::fill_n(start, run.length, value);
    }
}

void ImageSurface::line(float x1, float y1, float x2, float y2, int colour)
{
    flushCurve();
    x_ = x2;
    y_ = y2;
    const QPointF a = pixel(x1, y1);
    const QPointF b = pixel(x2, y2);
    drawFigure(Figure::Line, x1, y1, x2, y2, colour, QRectF(a, b).normalized(),
               [&](QPainter &painter) { painter.drawLine(a, b); });
}

void ImageSurface::lineTo(float x, float y, int colour)
{
    if (!curve_.empty() && colour != curveColour_)
        flushCurve();
    curveColour_ = colour;
    curve_.emplace_back(pixel(x_, y_), pixel(x, y));
    x_ = x;
    y_ = y;
}

void ImageSurface::point(float x, float y)
{
    flushCurve();
    painter_.setPen(QPen(kForeground, penWidth_, Qt::SolidLine, Qt::RoundCap));
    painter_.drawPoint(pixel(x, y));
    x_ = x;
    y_ = y;
}

QRectF ImageSurface::rectOf(float x1, float y1, float x2, float y2) const
{
    return QRectF(pixel(x1, y1), pixel(x2, y2)).normalized();
}

void ImageSurface::rectangle(float x1, float y1, float x2, float y2, int colour)
{
    flushCurve();
    const QRectF rect = rectOf(x1, y1, x2, y2);
    drawFigure(Figure::Rectangle, x1, y1, x2, y2, colour, rect,
               [&](QPainter &painter) { painter.drawRect(rect); });
}

void ImageSurface::filledRectangle(float x1, float y1, float x2, float y2, int colour)
{
    flushCurve();
    const QRectF rect = rectOf(x1, y1, x2, y2);
    drawFigure(Figure::FilledRectangle, x1, y1, x2, y2, colour, rect,
               [&](QPainter &painter) { painter.drawRect(rect); });
}

void ImageSurface::setCurrentPosition(float x, float y)
{
    x_ = x;
    y_ = y;
}

void ImageSurface::setFontSize(double points)
{
    font_.setPointSizeF(points);
}

void ImageSurface::print(std::string_view text, bool endLine)
{
    flushCurve();
    TextKey key{std::string(text), font_.pointSizeF(), static_cast<float>(x_),
                static_cast<float>(y_), shapeOf(image_)};
    auto &cache = textCache();
    auto found = writableAsRgb(image_) ? cache.find(key) : cache.end();
    if (found != cache.end() && found->second.cacheable &&
        samePixels(image_, found->second.box, found->second.before)) {
        const TextPixels &pixels = found->second;
        const QRgb *source = pixels.after.data();
        const WritableRows rows(image_);
        for (int y = pixels.box.top(); y <= pixels.box.bottom(); ++y, source += pixels.box.width())
            std::copy_n(source, pixels.box.width(), rows[y] + pixels.box.left());
        advance(pixels.lineHeight, pixels.advance, endLine);
        return;
    }

    const QString string = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    painter_.setFont(font_);
    const QFontMetricsF metrics(font_, &image_);
    const QPointF topLeft = pixel(x_, y_);
    const QPointF origin(topLeft.x(), topLeft.y() + metrics.ascent());
    TextPixels pixels;
    pixels.lineHeight = metrics.height();
    pixels.advance = metrics.horizontalAdvance(string);
    // A text found to ink past its box does so every time: it is not watched again.
    const bool watch = writableAsRgb(image_) && (found == cache.end()
                                                      ? cache.size() < kMaxCachedTexts
                                                      : found->second.cacheable);
    QRect area; // the box and a margin of a line's height, to see where the ink went
    if (watch) {
        const qreal ratio = image_.devicePixelRatio();
        const QRectF ink = metrics.boundingRect(string).translated(origin);
        pixels.box = QRectF(ink.topLeft() * ratio, ink.size() * ratio)
                         .toAlignedRect()
                         .adjusted(-2, -2, 2, 2)
                         .intersected(image_.rect());
        const int margin = static_cast<int>(std::ceil(pixels.lineHeight * ratio));
        area = pixels.box.adjusted(-margin, -margin, margin, margin).intersected(image_.rect());
    }
    const std::vector<QRgb> before = area.isEmpty() ? std::vector<QRgb>() : pixelsIn(image_, area);

    painter_.setPen(kForeground);
    painter_.drawText(origin, string);
    advance(pixels.lineHeight, pixels.advance, endLine);

    if (area.isEmpty() || pixels.box.isEmpty())
        return;
    const QRect changed = changedIn(image_, area, before);
    pixels.cacheable = changed.isNull() || pixels.box.contains(changed);
    if (pixels.cacheable) {
        pixels.before = croppedTo(before, area, pixels.box);
        pixels.after = pixelsIn(image_, pixels.box);
    }
    cache.insert_or_assign(std::move(key), std::move(pixels));
}

void ImageSurface::advance(double lineHeight, double width, bool endLine)
{
    if (endLine) {
        x_ = UserScale::left;
        y_ += lineHeight * UserScale::height / UserScale::pixels;
    } else {
        x_ += width * UserScale::width / UserScale::pixels;
    }
}

} // namespace quenrow

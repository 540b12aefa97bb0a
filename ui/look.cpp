// SPDX-License-Identifier: MIT
#include "look.h"

#include <algorithm>
#include <cmath>

#include <QEvent>
#include <QFontMetrics>
#include <QResizeEvent>
#include <QStringDecoder>
#include <QStringList>
#include <QScreen>
#include <QWindow>
#include <QTextDocument>
#include <QWidget>

namespace quenrow {

namespace {

QFont fontOf(const char *family, double points)
{
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    return font;
}

} // namespace

void registerFontSubstitutions()
{
    // The layouts were designed for these Windows fonts; ask for them by name
    // and let the free look-alikes stand in.
    const QStringList gothic{QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                             QStringLiteral("DejaVu Sans Mono")};
    const QStringList pGothic{QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
                              QStringLiteral("DejaVu Sans")};
    const QStringList times{QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")};
    QFont::insertSubstitutions(QStringLiteral("MS Gothic"), gothic);
    QFont::insertSubstitutions(QStringLiteral("MS PGothic"), pGothic);
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"), times);
}

QFont gothicFont(double points)
{
    QFont font = fontOf("MS Gothic", points);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

namespace {

// Sets the font for the widget's density now, and again whenever its window
// moves to another screen (its window handle exists once it is shown).
class GothicFontFollower final : public QObject {
public:
    GothicFontFollower(QWidget *widget, double points)
        : QObject(widget), widget_(widget), points_(points)
    {
        fit();
        widget->window()->installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        // Its window handle exists once it is shown; from then on the window
        // says when it changes screen, and nothing more is needed here.
        QWindow *window = widget_->window()->windowHandle();
        if (event->type() == QEvent::Show && window) {
            widget_->window()->removeEventFilter(this);
            connect(window, &QWindow::screenChanged, this, &GothicFontFollower::fit);
            fit();
        }
        return false;
    }

private:
    void fit()
    {
        QFont font = gothicFont(points_);
        // Fixed-pitch table text needs no shaping: the same glyphs, laid out
        // without HarfBuzz on every repaint of the list.
        font.setStyleStrategy(
            widget_->devicePixelRatio() <= 1
                ? QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferNoShaping)
                : QFont::PreferNoShaping);
        widget_->setFont(font);
    }

    QWidget *widget_;
    double points_;
};

} // namespace

void useGothicFont(QWidget *widget, double points)
{
    new GothicFontFollower(widget, points);
}

QFont pGothicFont(double points)
{
    QFont font = fontOf("MS PGothic", points);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

QFont timesFont(double points, bool italic)
{
    QFont font = fontOf("Times New Roman", points);
    font.setStyleHint(QFont::Serif);
    font.setItalic(italic);
    return font;
}

QLabel *messageLine(QWidget *parent, const char *name)
{
    QLabel *label = place(new QLabel(parent), name, QRect());
    label->setAccessibleName(QString());
    label->setWordWrap(true);
    label->setMinimumHeight(2 * label->fontMetrics().lineSpacing());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kProblemText);
    label->setPalette(palette);
    return label;
}

QRect twips(int left, int top, int width, int height)
{
    auto px = [](int t) { return static_cast<int>(std::lround(t / 15.0)); };
    return QRect(px(left), px(top), px(width), px(height));
}

QString fileText(const std::string &bytes)
{
    // Table rows are plain ASCII: GO turns 132 of them into list rows.
    const bool plain = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return (c >= 0x20 && c < 0x7f) || c == '\t'; });
    if (plain)
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    // Stateless: a lead byte at the very end is an error too, not a
    // sequence held back for more input (which dropped it).
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (utf8.hasError())
        text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    for (QChar &c : text)
        if (c.unicode() < 0x20 && c != QLatin1Char('\t'))
            c = QChar::ReplacementCharacter;
    return withoutBidiControls(std::move(text));
}

QString withoutBidiControls(QString text)
{
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if ((u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E ||
            u == 0x200F || u == 0x061C)
            c = QChar::ReplacementCharacter;
    }
    return text;
}

QString plainToolTip(const QString &given)
{
    const QString text = withoutBidiControls(given);
    // Left alone where Qt would show it as plain text anyway, so the
    // program's own tooltips keep their look.
    if (!Qt::mightBeRichText(text))
        return text;
    // Escaped, on one line as a plain tooltip would be.
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

void setPlainWindowTitle(QWidget *window, const QString &title)
{
    constexpr qsizetype kLongest = 160;
    QString escaped = withoutBidiControls(title);
    if (escaped.size() > kLongest) {
        qsizetype head = kLongest / 2;
        qsizetype tail = kLongest - head - 1;
        if (escaped[head - 1].isHighSurrogate())
            --head;
        if (escaped[escaped.size() - tail].isLowSurrogate())
            --tail;
        escaped = escaped.left(head) + QChar(0x2026) + escaped.right(tail);
    }
    escaped.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
    window->setWindowTitle(escaped);
}

QString boxText(const QString &text)
{
    constexpr qsizetype kMaxLines = 12;
    constexpr qsizetype kMaxChars = 400;
    constexpr int kLongestRun = 32;
    const QChar ellipsis(0x2026);

    QStringList lines = withoutBidiControls(text).split(QLatin1Char('\n'));
    if (lines.size() > kMaxLines)
        lines = lines.mid(0, kMaxLines / 2) + QStringList{QString(ellipsis)} +
                lines.mid(lines.size() - (kMaxLines / 2 - 1));
    QString shown = lines.join(QLatin1Char('\n'));
    if (shown.size() > kMaxChars) {
        qsizetype head = kMaxChars / 2;
        qsizetype tail = kMaxChars - head - 1;
        if (shown[head - 1].isHighSurrogate())
            --head;
        if (shown[shown.size() - tail].isLowSurrogate())
            --tail;
        shown = shown.left(head) + ellipsis + shown.right(tail);
    }
    // A path or a name without blanks cannot wrap, and would widen the box
    // past the screen: a zero-width space lets it.
    QString out;
    out.reserve(shown.size() + shown.size() / kLongestRun);
    int run = 0;
    for (QChar c : shown) {
        if (c.isSpace()) {
            run = 0;
        } else if (run >= kLongestRun && !c.isLowSurrogate()) {
            out += QChar(0x200B);
            run = 0;
        }
        if (!c.isSpace())
            ++run;
        out += c;
    }
    return out;
}

void ElidedLabel::setFullText(const QString &text)
{
    full_ = withoutBidiControls(text);
    setPlainToolTip(this, boxText(full_));
    elide();
    updateGeometry();
}

QSize ElidedLabel::sizeHint() const
{
    // Room for a name of about forty characters; a longer one is cut.
    constexpr int kSizedFor = 40;
    const QFontMetrics metrics = fontMetrics();
    const int wanted =
        metrics.horizontalAdvance(full_.left(kSizedFor + 1)) + 2 * margin() + 2 * frameWidth() + 1;
    return QSize(std::min(wanted, kSizedFor * metrics.averageCharWidth()),
                 QLabel::sizeHint().height());
}

QSize ElidedLabel::minimumSizeHint() const
{
    return QSize(fontMetrics().horizontalAdvance(QChar(0x2026)) * 4,
                 QLabel::minimumSizeHint().height());
}

void ElidedLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::elide()
{
    // No screen shows more than a few hundred characters of one line: the
    // text measured is cut to that first, however long the name.
    constexpr qsizetype kMeasured = 1000;
    QString text = full_;
    if (text.size() > kMeasured)
        text = text.left(kMeasured / 2) + QChar(0x2026) + text.right(kMeasured / 2);
    const int room = contentsRect().width() - 2 * margin();
    setText(fontMetrics().elidedText(text, Qt::ElideMiddle, std::max(room, 0)));
}

} // namespace quenrow

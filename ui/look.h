// SPDX-License-Identifier: MIT
// Quenrow: fonts, twip layout and file text as the windows show them.
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QRect>
#include <QString>
#include <QWidget>

#include <string>
#include <type_traits>

namespace quenrow {

// Sizes are in points at 96 dpi, so the fixed layouts keep their proportions
// whatever the screen reports.
QFont gothicFont(double points);                     // fixed pitch (MS Gothic; IPAGothic here)
QFont pGothicFont(double points);                    // proportional (MS PGothic; IPAPGothic here)
QFont timesFont(double points, bool italic = false); // Times New Roman; Liberation Serif

void registerFontSubstitutions();

// Gives `widget` the fixed-pitch font at `points`. At one device pixel a
// pixel the stand-in, antialiased, draws "." as a two-pixel mark dipping
// below the baseline that reads as a comma; there it is drawn without
// antialiasing, crisp like the bitmap font it stands in for. On denser
// screens it stays antialiased. Chosen again when the window changes screen.
void useGothicFont(QWidget *widget, double points);

// Layouts are given in twips, 15 to the pixel.
QRect twips(int left, int top, int width, int height);

// Names a control as the layout does (object and accessible name, so screen
// readers and tests find it) and puts it at `rect`.
template <class W>
W *place(W *widget, const char *name, const QRect &rect)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(QString::fromLatin1(name));
    widget->setGeometry(rect);
    // A label never takes its text for markup, whoever sets it later.
    if constexpr (std::is_base_of_v<QLabel, W>)
        widget->setTextFormat(Qt::PlainText);
    return widget;
}

// The colour of a problem: a message, or an entry that cannot be used.
inline const QColor kProblemText{176, 0, 0};

// A tool window's message line: plain, wrapped, in the problem colour, two
// lines kept free so that a message does not push the rest about.
QLabel *messageLine(QWidget *parent, const char *name);

// 8-bit file text for display: UTF-8 where it is valid, else Latin-1;
// control characters shown as U+FFFD so a stray NUL cannot cut the text.
QString fileText(const std::string &bytes);

// `text` with its bidirectional controls shown as U+FFFD: an override or an
// isolate in a file name would otherwise reorder what the user reads
// ("\u202Egnp.psp" shown as "psp.png"), and what stands around it.
QString withoutBidiControls(QString text);

// Text from outside the program (file contents, file names, paths, system
// messages) is shown as the characters it holds, never as markup: Qt guesses
// rich text from a leading tag or an "&lt;". Tooltips and window captions
// are set only through these; labels through place(); boxes through
// showWarning.
QString plainToolTip(const QString &text);

template <class T>
void setPlainToolTip(T *target, const QString &text)
{
    target->setToolTip(plainToolTip(text));
}

// A caption shows "[*]" as it stands instead of as the modified mark, and
// at most a line's worth of characters, cut in the middle.
void setPlainWindowTitle(QWidget *window, const QString &title);

// A heading of outside text: one line, cut in the middle to the width the
// layout gives it, whole in its tooltip. It never asks for more width than
// a short name needs, so a long one cannot widen its window.
class ElidedLabel : public QLabel {
public:
    using QLabel::QLabel;
    void setFullText(const QString &text);
    const QString &fullText() const { return full_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void elide();
    QString full_;
};

// What a message box shows of `text`: at most a dozen lines and 400
// characters, cut in the middle, with a break allowed in every long run of
// non-blanks, so the box fits on any screen.
QString boxText(const QString &text);

} // namespace quenrow

// SPDX-License-Identifier: MIT
#include "message.h"

#include <QMessageBox>

#include "ui/look.h"

namespace quenrow {

namespace {

void showWarningBox(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kProgramTitle), QString(),
                    QMessageBox::Ok, parent);
    // Warnings quote file names and fields: never markup, never larger than the screen.
    box.setTextFormat(Qt::PlainText);
    const QString plain = withoutBidiControls(text);
    const QString shown = boxText(plain);
    box.setText(shown);
    if (QString(shown).remove(QChar(0x200B)) != plain)
        box.setDetailedText(plain); // it was cut
    box.exec();
}

WarningHandler &currentHandler()
{
    static WarningHandler handler = showWarningBox;
    return handler;
}

} // namespace

void showWarning(QWidget *parent, const QString &text)
{
    currentHandler()(parent, text);
}

WarningHandler setWarningHandler(WarningHandler handler)
{
    WarningHandler previous = std::move(currentHandler());
    currentHandler() = handler ? std::move(handler) : WarningHandler(showWarningBox);
    return previous;
}

} // namespace quenrow

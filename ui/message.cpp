// SPDX-License-Identifier: MIT
#include "message.h"

#include <QMessageBox>

namespace quenrow {

namespace {

void showWarningBox(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kProgramTitle), text, QMessageBox::Ok,
                    parent);
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

// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QStyleFactory>

#include "ui/look.h"
#include "ui/main/form1.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setApplicationName(QStringLiteral("Quenrow"));
    QApplication::setDesktopFileName(QStringLiteral("quenrow"));
    quenrow::registerFontSubstitutions();

    quenrow::Form1 form;
    form.show();
    return app.exec();
}

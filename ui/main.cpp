// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QStyleFactory>

#include "data/data_directory.h"
#include "ui/look.h"
#include "ui/main/form1.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setApplicationName(QStringLiteral("Quenrow"));
    QApplication::setDesktopFileName(QStringLiteral("quenrow"));
    quenrow::registerFontSubstitutions();

    // ./quenrow-data when there is one, else the installed copy.
    quenrow::Form1 form(quenrow::findDataDirectory());
    form.show();
    return app.exec();
}

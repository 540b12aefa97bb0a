// SPDX-License-Identifier: MIT
#include "form3.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "ui/look.h"

namespace quenrow {

namespace {

struct Credit {
    const char *name;
    const char *text;
    int left, top, width, height; // twips
    double points;
};

constexpr Credit kCredits[] = {
    {"Label1", "Data from", 240, 240, 960, 255, 11.25},
    {"Label3", "Stopping-Power and Range Tables for", 480, 600, 3675, 285, 12},
    {"Label5", "Electrons, Protons, and Helium Ions.", 1680, 840, 3555, 285, 12},
    {"Label7", "M. J. Berger, J. S. Coursey, M. A. Zucker and J. Chang", 480, 1200, 4815, 285, 12},
    {"Label2", "NISTIR-4999", 600, 1680, 1260, 285, 12},
    {"Label4", "National Institute of Standards and Technology", 600, 2040, 4575, 285, 12},
    {"Label6", "physics.nist.gov/Star", 600, 2400, 2190, 285, 12},
};

} // namespace

Form3::Form3() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Form3"));
    setPlainWindowTitle(this, QStringLiteral("mu"));
    setGeometry(83, 200, 396, 196);
    setFixedSize(396, 196);
    setAutoFillBackground(true);

    for (const Credit &credit : kCredits) {
        auto *label = place(new QLabel(QString::fromLatin1(credit.text), this), credit.name,
                            twips(credit.left, credit.top, credit.width, credit.height));
        label->setFont(timesFont(credit.points, true));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // Sized to fit: a wider stand-in font must not cut the text.
        label->resize(label->sizeHint().expandedTo(label->size()));
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, palette.color(QPalette::ButtonText));
        label->setPalette(palette);
    }

    Command1 = place(new QPushButton(QStringLiteral("Close"), this), "Command1",
                     twips(4920, 2400, 855, 375));
    Command1->setFont(timesFont(9.75, true));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &QWidget::hide);
    setFocusProxy(Command1);
}

void Form3::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect frame = twips(0, 0, 5895, 2895);
    painter.setPen(Qt::white);
    painter.drawRect(frame.translated(twips(10, 10, 0, 0).topLeft()).adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(frame.translated(twips(25, 25, 0, 0).topLeft()).adjusted(0, 0, -1, -1));
}

void Form3::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        hide();
    else
        QWidget::keyPressEvent(event);
}

} // namespace quenrow

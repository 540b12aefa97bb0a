// SPDX-License-Identifier: MIT
// Quenrow: the about window, crediting the source of the tables.
#pragma once

#include <QWidget>

class QPushButton;

namespace quenrow {

class Form3 : public QWidget {
    Q_OBJECT
public:
    Form3();

    QPushButton *Command1;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace quenrow

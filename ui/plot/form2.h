// SPDX-License-Identifier: MIT
// Quenrow: the plot window.
#pragma once

#include <QWidget>

#include "data/material.h"
#include "picture_box.h"

namespace quenrow {

class Form2 : public QWidget {
    Q_OBJECT
public:
    // Created hidden, showing `material` (null before the first load).
    explicit Form2(MaterialPtr material);
    // The material the plot and the cursor readout answer for from now on.
    void setMaterial(MaterialPtr material) { material_ = std::move(material); }

    PictureBox *Picture1;

    LineControl &Line1() { return Picture1->line1(); }
    LineControl &Line2() { return Picture1->line2(); }

    // Redraws the whole plot from the table, hides both markers, shows the window.
    void DrawPlot();

    // Names proposed for saving are `stem` (the data file's name) with the ending.
    void setSaveName(const QString &stem) { saveName_ = stem; }
    // Asks for a file name and writes the plot as shown, markers included.
    void savePlot();

signals:
    // The cursor readout picked table row `row` (1..132).
    void rowUnderPointer(int row);
    // Ctrl+L or the context menu asked for the calculator.
    void calculatorRequested();
    // Ctrl+B or the context menu asked for the beam through layers.
    void layersRequested();

private:
    void paintPlot();
    void Picture1_MouseMove(float x, float y);
    void setPointerShape(Qt::CursorShape shape);

    MaterialPtr material_;
    QImage grid_; // background and grid, drawn once at the image's density
    bool plotted_ = false;
    QString saveName_;
};

} // namespace quenrow

// SPDX-License-Identifier: MIT
// Quenrow: the main window, with the load, the energy entry and the row selection.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include <QPointer>
#include <QWidget>

#include "data/material.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace quenrow {

class CalculatorWindow;
class CompareWindow;
class LayersWindow;
class Form2;
class Form3;

class Form1 : public QWidget {
    Q_OBJECT
public:
    // The data folder, or why there is none (findDataDirectory's answer):
    // then the lists stay empty and a warning says so.
    explicit Form1(std::variant<std::filesystem::path, std::string> dataDirectory);
    ~Form1() override;

    QListWidget *File1;
    QListWidget *File2;
    QLineEdit *Text1;
    QLineEdit *Text2;
    QLineEdit *Text3;
    QLineEdit *Text4;
    QPushButton *Command1;
    QPushButton *Command2;
    QPushButton *Command3;
    QLabel *Picture1;
    QListWidget *List1;

    // The loaded material; null before the first load.
    const MaterialPtr &material() const { return material_; }
    const std::string &selectedFile() const { return selectedFile_; }

    // The plot and about windows, or null while they do not exist.
    Form2 *plotWindow() const;
    Form3 *aboutWindow() const;
    CalculatorWindow *calculatorWindow() const;

    // Creates the plot window hidden if it does not exist (it is never shown here).
    Form2 *ensurePlotWindow();

    // Loads a material file from anywhere, as GO does for the selected one:
    // false, with the usual warning, when it is refused (nothing changes then).
    bool loadFile(const std::filesystem::path &path);

    // Shows the calculator, made on first use, with the energy typed in Text3.
    void openCalculator();
    // Shows the beam-through-layers window, made on first use.
    void openLayers();
    LayersWindow *layersWindow() const;

    // Shows the compare window, made on first use, offering the loaded material.
    void openCompare();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildLabels();
    void addCalculatorHooks();
    void startUp();
    void fillFileLists();

    void File_Click(QListWidget *list);
    void showPreview(const std::string &materialName, double density);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Text3_Enter();
    void Text3_Click();
    void List1_Click();

    void copyRow();
    void copyTable();
    void saveTable();
    void selectRowFromPlot(int row);
    void showRow(int row);

    std::filesystem::path dataDirectory_;
    std::string noDataDirectory_; // why there is none, when there is none
    MaterialPtr material_;
    std::string selectedFile_;
    bool loading_ = false;
    bool closing_ = false;
    QPointer<Form2> plot_;
    QPointer<Form3> about_;
    QPointer<CalculatorWindow> calculator_;
    QPointer<CompareWindow> compare_; // a child window: it ends with this one
    QPointer<LayersWindow> layers_;
};

} // namespace quenrow

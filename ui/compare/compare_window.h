// SPDX-License-Identifier: MIT
// Quenrow: the compare window. Several materials' curves of one quantity on
// one plot, or their ratios to a reference material, drawn by QCustomPlot.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <QWidget>

#include "data/compare.h"
#include "ui/save_file.h"

class QCheckBox;
class QComboBox;
class QCustomPlot;
class QIODevice;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace quenrow {

enum class CompareFileFormat { Png, Svg, Pdf };

class CompareWindow : public QWidget {
    Q_OBJECT
public:
    // Offers every material file of `dataDirectory`.
    explicit CompareWindow(const std::filesystem::path &dataDirectory, QWidget *parent = nullptr);

    // The material loaded in the main window, the same one: offered first,
    // and chosen when nothing else is.
    void offerLoaded(const MaterialPtr &material);

    // Adds or removes a material's curve, as ticking it in the list does.
    void setChosen(const std::string &fileName, bool chosen);
    std::vector<std::string> chosenFiles() const;

    QLineEdit *findBox;
    QListWidget *materialList; // checkable, one entry a file
    QComboBox *quantityBox;    // in the order of kComparedQuantities
    QComboBox *unitsBox;       // mass, linear
    QCheckBox *relativeBox;
    QComboBox *referenceBox; // file names
    QCheckBox *logYBox;
    QCheckBox *screenColoursBox; // files keep the dark screen colours
    QCustomPlot *plot;
    QLabel *readout;

    CompareChoice choice() const;
    // The reference while "Relative to" is ticked and it loaded, else null.
    const MaterialPtr &reference() const { return reference_; }

    // The readout for a pointer at `energy` (MeV); none outside the axis.
    void showReadout(std::optional<double> energy);

    // The plot as a file, white unless the screen colours are kept; the
    // values as valuesAsCsv writes them.
    bool writePlot(QIODevice &out, CompareFileFormat format);
    std::string valuesText() const;

    void savePlot();
    void saveValues();
    void copyImage();
    void copyValues();
    void resetView();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildPlot();
    void addActions();
    void fillMaterialList(const std::filesystem::path &dataDirectory);
    void filterList(const QString &text);
    void itemChanged(QListWidgetItem *item);
    void referenceChanged();
    void choiceChanged();
    void redraw();
    void fitValueAxis();
    void applyColours(bool dark);
    QListWidgetItem *itemFor(const std::string &fileName) const;
    // The material of `fileName`, read on first use; null (after a warning
    // naming the reason) when it cannot be read.
    MaterialPtr material(const std::string &fileName);

    std::filesystem::path dataDirectory_;
    std::map<std::string, MaterialPtr> loaded_;
    std::vector<std::string> chosen_; // in the order chosen, the curves' order
    MaterialPtr reference_;
    QString notes_;         // why some curves are missing
    QString folderProblem_; // why the data folder could not be listed
    QWidget *pointerLine_ = nullptr;
    bool updating_ = false;
};

} // namespace quenrow

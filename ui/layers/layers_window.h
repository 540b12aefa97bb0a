// SPDX-License-Identifier: MIT
// Quenrow: a proton beam through a stack of layers, answered as the user
// types: the energy out of each layer, its water-equivalent thickness, or the
// energy the beam needs.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <QStringList>
#include <QWidget>

#include "data/stack.h"

class QComboBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace quenrow {

class LayersWindow : public QWidget {
    Q_OBJECT
public:
    enum class Beam { EnergyIn, EnergyOut, WaterDepth };
    enum LayerColumn { MaterialColumn, ThicknessColumn, UnitColumn, DensityColumn };

    // Materials and liquid water come from `dataDirectory`; the stack and the
    // beam of the last session come back.
    explicit LayersWindow(const std::filesystem::path &dataDirectory);
    ~LayersWindow() override;

    QComboBox *beamModeBox;
    QLineEdit *beamBox;
    QLabel *beamUnitLabel;
    QLabel *summaryLabel; // the energy needed, or what leaves the stack
    QTableWidget *layerTable;
    QPushButton *addButton, *removeButton, *duplicateButton, *upButton, *downButton;
    QPushButton *openButton, *saveButton, *copyButton, *saveResultsButton;
    QTableWidget *resultTable;
    QLabel *messageLabel;

    // The editors of layer `row`.
    QComboBox *materialBox(int row) const;
    QLineEdit *thicknessBox(int row) const;
    QComboBox *unitBox(int row) const;
    QLineEdit *densityBox(int row) const;
    int layerCount() const;

    void addLayer();
    void removeLayer();
    void duplicateLayer();
    void moveLayer(int by);
    void openStack();
    void saveStack();
    void copyResults();
    void saveResults();

    // The layers as a stack file writes them; a material not found keeps its text.
    std::vector<WrittenLayer> writtenLayers() const;
    void setLayers(const std::vector<WrittenLayer> &layers);
    // The results as copied (tab-separated); empty while there are none.
    QString resultsText() const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct MaterialChoice {
        std::string file; // bare file name in the data folder
        QString shown;    // "ALUMINUM  013-Aluminum.ps"
        double density = 0;
    };

    void buildBeam(QGridLayout *grid);
    void buildButtons(QHBoxLayout *row);
    void listMaterials();
    void insertLayerRow(int row, const WrittenLayer &layer);
    int currentLayer() const;
    void fixTabOrder();
    std::optional<int> choiceFor(const QString &text) const;
    std::variant<LayerMaterial, std::string> material(const std::string &file);
    void materialChosen(int row);
    void recompute();
    void showResults(const StackResult &result, const std::vector<std::string> &names);
    void clearResults(const QString &message, QWidget *culprit);
    QWidget *editorFor(const StackError &error) const;
    void remember() const;
    void restore();

    std::filesystem::path dataDirectory_;
    std::vector<MaterialChoice> choices_;
    std::map<std::string, std::variant<LayerMaterial, std::string>> loaded_;
    StackWater water_;
    QString waterProblem_;
    std::optional<StackResult> result_;
    std::vector<std::string> resultNames_; // files, for copies
    QStringList shownNames_;               // materials' names, for the table
    QWidget *culprit_ = nullptr;           // the editor shown in red
};

} // namespace quenrow

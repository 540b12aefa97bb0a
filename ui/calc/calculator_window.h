// SPDX-License-Identifier: MIT
// Quenrow: the calculator, a tool window that answers for the loaded
// material at any energy or range, as the user types.
#pragma once

#include <array>
#include <filesystem>
#include <optional>

#include <QWidget>

#include "data/calculator_results.h"
#include "data/calculator.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace quenrow {

class ElidedLabel;

class CalculatorWindow : public QWidget {
    Q_OBJECT
public:
    // Liquid water, the reference of the ratio, is read from `dataDirectory` once.
    explicit CalculatorWindow(const std::filesystem::path &dataDirectory);

    // The material to answer for; what is typed is looked up again in it.
    void setMaterial(MaterialPtr material);

    // Puts `text` in the energy box and looks it up, as if typed there.
    void setEnergyText(const QString &text);

    ElidedLabel *materialLabel; // the loaded material and its density
    QLineEdit *energyBox;
    QLineEdit *rangeBox;
    QComboBox *rangeColumnBox; // CSDA, projected
    QComboBox *rangeUnitBox;   // g/cm2, cm
    QLabel *messageLabel;      // why the last input has no answer
    QLabel *notesLabel;        // why some values are missing

    QLabel *valueLabel(ResultRow row, int unitColumn) const
    {
        return values_[static_cast<int>(row)][unitColumn];
    }

    // The result block as Ctrl+C copies it; empty while there is no result.
    QString resultsText() const;
    void copyResults();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Input { Energy, Range };

    void buildInputs(QGridLayout *grid);
    void buildResults(QGridLayout *grid);
    void setInputsEnabled(bool enabled);
    void lookUp();
    std::optional<RowValues> lookUpEnergy();
    std::optional<RowValues> lookUpRange();
    void showResults(const RowValues &row);
    void clearResults(const QString &message);
    RangeColumn rangeColumn() const;
    bool rangeInCentimetres() const;

    MaterialPtr material_;
    WaterReference water_;
    Input typedIn_ = Input::Energy;
    std::optional<CalculatorResults> results_;
    std::array<std::array<QLabel *, kUnitColumns>, kResultRowCount> values_{};
};

} // namespace quenrow

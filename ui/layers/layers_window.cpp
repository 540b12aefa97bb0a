// SPDX-License-Identifier: MIT
#include "layers_window.h"

#include <algorithm>
#include <cmath>

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTableWidget>
#include <QVBoxLayout>

#include "data/calculator.h"
#include "data/material_directory.h"
#include "data/number_format.h"
#include "ui/look.h"
#include "ui/message.h"
#include "ui/save_file.h"

namespace quenrow {

namespace {

constexpr char16_t kNone = 0x2013; // en dash: a layer the beam never reaches

const std::vector<WrittenLayer> kFirstStack = {
    {"013-Aluminum.ps", {5, ThicknessUnit::Millimetre}, {}},
    {"Polymethyl_methacrylate.psp", {2, ThicknessUnit::Centimetre}, 1.18},
    {"Water_liquid.psp", {10, ThicknessUnit::Centimetre}, {}},
};

// For display: messages name files and paths, outside text shown as fileText
// shows it (line breaks too, so not for text that leaves the window).
QString displayed(const std::string &text)
{
    return fileText(text);
}

QString number(double value)
{
    return displayed(formatScientific(value));
}

QLabel *plainLabel(QWidget *parent, const char *name, const QString &text = {})
{
    return place(new QLabel(text, parent), name, QRect());
}

std::optional<double> typedNumber(const QString &text)
{
    return readPlainNumber(text.trimmed().toStdString());
}

QString unitShown(ThicknessUnit unit)
{
    return unit == ThicknessUnit::Micrometre ? QStringLiteral("\u00B5m")
                                             : QString::fromLatin1(unitText(unit));
}

void setProblem(QWidget *editor, bool problem)
{
    QPalette palette = editor->palette();
    palette.setColor(QPalette::Text,
                     problem ? kProblemText : QGuiApplication::palette().color(QPalette::Text));
    editor->setPalette(palette);
}

QString settingsFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("layers.ini"));
}

} // namespace

LayersWindow::LayersWindow(const std::filesystem::path &dataDirectory)
    : QWidget(nullptr, Qt::Window), dataDirectory_(dataDirectory)
{
    setObjectName(QStringLiteral("Layers"));
    setPlainWindowTitle(this, QStringLiteral("Beam through layers"));

    auto *layout = new QVBoxLayout(this);
    auto *beam = new QGridLayout;
    buildBeam(beam);
    layout->addLayout(beam);

    layerTable = place(new QTableWidget(0, 4, this), "layerTable", QRect());
    layerTable->setAccessibleName(QStringLiteral("Layers, from the beam's side"));
    layerTable->setHorizontalHeaderLabels({QStringLiteral("Material"), QStringLiteral("Thickness"),
                                           QStringLiteral("Unit"),
                                           QStringLiteral("Density (g/cm3)")});
    layerTable->horizontalHeader()->setSectionResizeMode(MaterialColumn, QHeaderView::Stretch);
    layerTable->setSelectionMode(QAbstractItemView::NoSelection);
    layerTable->setTabKeyNavigation(false);
    layerTable->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(layerTable, 2);

    auto *buttons = new QHBoxLayout;
    buildButtons(buttons);
    layout->addLayout(buttons);

    messageLabel = messageLine(this, "messageLabel");
    layout->addWidget(messageLabel);

    summaryLabel = plainLabel(this, "summaryLabel");
    layout->addWidget(summaryLabel);

    resultTable =
        place(new QTableWidget(0, 1 + int(layerQuantities().size()), this), "resultTable", QRect());
    resultTable->setAccessibleName(QStringLiteral("Results"));
    QStringList headings{QStringLiteral("Layer")};
    for (const LayerQuantityInfo &quantity : layerQuantities())
        headings << QString::fromLatin1(quantity.heading) + QStringLiteral(" (") +
                        QString::fromLatin1(quantity.unit) + QLatin1Char(')');
    resultTable->setHorizontalHeaderLabels(headings);
    resultTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    resultTable->setTextElideMode(Qt::ElideMiddle);
    resultTable->setWordWrap(false);
    resultTable->verticalHeader()->hide();
    // Widths fixed once, wide enough for any value: a new value asks for no new layout.
    const int valueWidth = fontMetrics().horizontalAdvance(QStringLiteral("-0.000E+000")) + 16;
    for (int column = 1; column < resultTable->columnCount(); ++column)
        resultTable->setColumnWidth(
            column, std::max(valueWidth, fontMetrics().horizontalAdvance(headings[column]) + 16));
    resultTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    resultTable->addAction(tr("Copy results"), QKeySequence::Copy, this, &LayersWindow::copyResults)
        ->setShortcutContext(Qt::WidgetShortcut);
    layout->addWidget(resultTable, 3);

    layout->addWidget(plainLabel(this, "caveatLabel", QString::fromLatin1(kCsdaCaveat)));

    listMaterials();
    auto water = material(kWaterFileName);
    if (auto *loaded = std::get_if<LayerMaterial>(&water))
        water_.material = *loaded;
    else
        waterProblem_ = displayed(std::get<std::string>(water)) +
                        QStringLiteral(" Liquid water is the reference of every result.");
    restore();
    resize(920, 640);
}

LayersWindow::~LayersWindow()
{
    remember();
}

void LayersWindow::buildBeam(QGridLayout *grid)
{
    beamModeBox = place(new QComboBox(this), "beamModeBox", QRect());
    beamModeBox->setAccessibleName(QStringLiteral("What the beam value is"));
    beamModeBox->addItem(QStringLiteral("Energy going in"), int(Beam::EnergyIn));
    beamModeBox->addItem(QStringLiteral("Energy wanted out of the stack"), int(Beam::EnergyOut));
    beamModeBox->addItem(QStringLiteral("Water depth to reach behind the stack"),
                         int(Beam::WaterDepth));
    beamBox = place(new QLineEdit(this), "beamBox", QRect());
    beamBox->setAccessibleName(QStringLiteral("Beam value"));
    beamUnitLabel = plainLabel(this, "beamUnitLabel", QStringLiteral("MeV"));
    auto *label = plainLabel(this, "beamLabel", tr("&Beam"));
    label->setBuddy(beamModeBox);
    grid->addWidget(label, 0, 0);
    grid->addWidget(beamModeBox, 0, 1);
    grid->addWidget(beamBox, 0, 2);
    grid->addWidget(beamUnitLabel, 0, 3);
    grid->setColumnStretch(4, 1);

    connect(beamBox, &QLineEdit::textEdited, this, &LayersWindow::recompute);
    connect(beamModeBox, &QComboBox::currentIndexChanged, this, [this] {
        const bool depth = Beam(beamModeBox->currentData().toInt()) == Beam::WaterDepth;
        beamUnitLabel->setText(depth ? QStringLiteral("cm") : QStringLiteral("MeV"));
        recompute();
    });
}

void LayersWindow::buildButtons(QHBoxLayout *row)
{
    auto button = [&](const char *name, const QString &text, const QKeySequence &keys,
                      auto handler) {
        auto *b = place(new QPushButton(text, this), name, QRect());
        b->setAccessibleName(QString(text).remove(QLatin1Char('&')));
        connect(b, &QPushButton::clicked, this, handler);
        if (!keys.isEmpty()) {
            auto *action = new QAction(this);
            action->setShortcut(keys);
            connect(action, &QAction::triggered, this, handler);
            addAction(action);
            setPlainToolTip(b, keys.toString(QKeySequence::NativeText));
        }
        row->addWidget(b);
        return b;
    };
    addButton = button("addButton", tr("&Add"), QKeySequence(Qt::CTRL | Qt::Key_N),
                       &LayersWindow::addLayer);
    removeButton =
        button("removeButton", tr("&Remove"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete),
               &LayersWindow::removeLayer);
    duplicateButton =
        button("duplicateButton", tr("D&uplicate"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D),
               &LayersWindow::duplicateLayer);
    upButton = button("upButton", tr("Move u&p"), QKeySequence(Qt::CTRL | Qt::Key_Up),
                      [this] { moveLayer(-1); });
    downButton = button("downButton", tr("Move do&wn"), QKeySequence(Qt::CTRL | Qt::Key_Down),
                        [this] { moveLayer(1); });
    row->addStretch();
    openButton =
        button("openButton", tr("&Open stack..."), QKeySequence::Open, &LayersWindow::openStack);
    saveButton =
        button("saveButton", tr("&Save stack as..."), QKeySequence::Save, &LayersWindow::saveStack);
    copyButton = button("copyButton", tr("&Copy results"),
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &LayersWindow::copyResults);
    saveResultsButton =
        button("saveResultsButton", tr("Save resul&ts as..."),
               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), &LayersWindow::saveResults);
}

void LayersWindow::listMaterials()
{
    auto listing = listDirectoryFiles(dataDirectory_);
    if (auto *reason = std::get_if<std::string>(&listing)) {
        messageLabel->setText(QStringLiteral("Cannot read the data folder: ") + displayed(*reason));
        return;
    }
    for (const std::string &file : materialFileNames(std::get<std::vector<std::string>>(listing))) {
        const auto header = readMaterialHeader(materialPath(dataDirectory_, file));
        if (const auto *read = std::get_if<MaterialHeader>(&header))
            choices_.push_back(
                {file, fileText(read->name).trimmed() + QStringLiteral("  ") + fileText(file),
                 read->density});
    }
}

std::variant<LayerMaterial, std::string> LayersWindow::material(const std::string &file)
{
    auto found = loaded_.find(file);
    if (found == loaded_.end())
        found = loaded_.emplace(file, loadLayerMaterial(materialPath(dataDirectory_, file))).first;
    return found->second;
}

// A typed or saved name: the shown text, the file, the material's name, or a
// part of it that only one material has.
std::optional<int> LayersWindow::choiceFor(const QString &text) const
{
    const QString wanted = text.trimmed();
    if (wanted.isEmpty())
        return std::nullopt;
    std::optional<int> partly;
    int partlyCount = 0;
    for (int i = 0; i < int(choices_.size()); ++i) {
        const MaterialChoice &choice = choices_[size_t(i)];
        const QString file = fileText(choice.file);
        const QString name = choice.shown.left(choice.shown.size() - file.size() - 2);
        if (choice.shown == wanted || file == wanted ||
            name.compare(wanted, Qt::CaseInsensitive) == 0 ||
            QFileInfo(file).completeBaseName().compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
        if (choice.shown.contains(wanted, Qt::CaseInsensitive)) {
            partly = i;
            ++partlyCount;
        }
    }
    return partlyCount == 1 ? partly : std::nullopt;
}

QComboBox *LayersWindow::materialBox(int row) const
{
    return static_cast<QComboBox *>(layerTable->cellWidget(row, MaterialColumn));
}
QLineEdit *LayersWindow::thicknessBox(int row) const
{
    return static_cast<QLineEdit *>(layerTable->cellWidget(row, ThicknessColumn));
}
QComboBox *LayersWindow::unitBox(int row) const
{
    return static_cast<QComboBox *>(layerTable->cellWidget(row, UnitColumn));
}
QLineEdit *LayersWindow::densityBox(int row) const
{
    return static_cast<QLineEdit *>(layerTable->cellWidget(row, DensityColumn));
}
int LayersWindow::layerCount() const
{
    return layerTable->rowCount();
}

void LayersWindow::insertLayerRow(int row, const WrittenLayer &layer)
{
    layerTable->insertRow(row);
    auto *materialEdit = new QComboBox;
    materialEdit->setEditable(true);
    materialEdit->setInsertPolicy(QComboBox::NoInsert);
    materialEdit->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    materialEdit->setMinimumContentsLength(16);
    for (const MaterialChoice &choice : choices_)
        materialEdit->addItem(choice.shown);
    materialEdit->completer()->setFilterMode(Qt::MatchContains);
    materialEdit->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    materialEdit->completer()->setCompletionMode(QCompleter::PopupCompletion);
    const auto choice = choiceFor(displayed(layer.material));
    materialEdit->setProperty("choice", choice.value_or(-1));
    if (choice) {
        materialEdit->setCurrentIndex(*choice);
        materialEdit->setProperty("file", displayed(choices_[size_t(*choice)].file));
    } else {
        materialEdit->setCurrentIndex(-1);
        materialEdit->setEditText(displayed(layer.material));
    }
    setPlainToolTip(materialEdit, materialEdit->currentText());
    materialEdit->lineEdit()->setCursorPosition(0); // a long name shows its start

    auto *thickness = new QLineEdit(displayed(formatGeneral(layer.thickness.value)));
    auto *unit = new QComboBox;
    for (ThicknessUnit u : kThicknessUnits)
        unit->addItem(unitShown(u), int(u));
    unit->setCurrentIndex(unit->findData(int(layer.thickness.unit)));
    auto *density = new QLineEdit;
    if (layer.density)
        density->setText(displayed(formatGeneral(*layer.density)));
    else if (choice)
        density->setText(displayed(formatGeneral(choices_[size_t(*choice)].density)));

    layerTable->setCellWidget(row, MaterialColumn, materialEdit);
    layerTable->setCellWidget(row, ThicknessColumn, thickness);
    layerTable->setCellWidget(row, UnitColumn, unit);
    layerTable->setCellWidget(row, DensityColumn, density);

    connect(materialEdit, &QComboBox::currentTextChanged, this, [this, materialEdit] {
        for (int r = 0; r < layerCount(); ++r)
            if (materialBox(r) == materialEdit)
                materialChosen(r);
    });
    connect(thickness, &QLineEdit::textEdited, this, &LayersWindow::recompute);
    connect(density, &QLineEdit::textEdited, this, &LayersWindow::recompute);
    connect(unit, &QComboBox::currentIndexChanged, this, &LayersWindow::recompute);
}

// A new material brings its file's density.
void LayersWindow::materialChosen(int row)
{
    QComboBox *box = materialBox(row);
    setPlainToolTip(box, box->currentText());
    const auto choice = choiceFor(box->currentText());
    box->setProperty("choice", choice.value_or(-1)); // read on every keystroke elsewhere
    if (choice) {
        const QString file = displayed(choices_[size_t(*choice)].file);
        if (box->property("file").toString() != file) {
            box->setProperty("file", file);
            densityBox(row)->setText(displayed(formatGeneral(choices_[size_t(*choice)].density)));
        }
    }
    recompute();
}

void LayersWindow::fixTabOrder()
{
    QWidget *previous = beamBox;
    for (int row = 0; row < layerCount(); ++row) {
        const QString layer = QStringLiteral("Layer %1 ").arg(row + 1);
        materialBox(row)->setAccessibleName(layer + QStringLiteral("material"));
        thicknessBox(row)->setAccessibleName(layer + QStringLiteral("thickness"));
        unitBox(row)->setAccessibleName(layer + QStringLiteral("thickness unit"));
        densityBox(row)->setAccessibleName(layer + QStringLiteral("density in g/cm3"));
        for (int column = MaterialColumn; column <= DensityColumn; ++column) {
            QWidget *next = layerTable->cellWidget(row, column);
            setTabOrder(previous, next);
            previous = next;
        }
    }
    for (QWidget *next : std::initializer_list<QWidget *>{
             addButton, removeButton, duplicateButton, upButton, downButton, openButton, saveButton,
             copyButton, saveResultsButton, resultTable}) {
        setTabOrder(previous, next);
        previous = next;
    }
}

int LayersWindow::currentLayer() const
{
    for (int row = 0; row < layerCount(); ++row)
        for (int column = MaterialColumn; column <= DensityColumn; ++column) {
            QWidget *cell = layerTable->cellWidget(row, column);
            if (cell && (cell == focusWidget() || cell->isAncestorOf(focusWidget())))
                return row;
        }
    return layerTable->currentRow() >= 0 ? layerTable->currentRow() : layerCount() - 1;
}

std::vector<WrittenLayer> LayersWindow::writtenLayers() const
{
    std::vector<WrittenLayer> layers;
    for (int row = 0; row < layerCount(); ++row) {
        WrittenLayer layer;
        const auto choice = choiceFor(materialBox(row)->currentText());
        layer.material =
            choice ? choices_[size_t(*choice)].file : materialBox(row)->currentText().toStdString();
        layer.thickness = {typedNumber(thicknessBox(row)->text()).value_or(NAN),
                           ThicknessUnit(unitBox(row)->currentData().toInt())};
        const auto density = typedNumber(densityBox(row)->text());
        if (!choice || !density ||
            formatGeneral(*density) != formatGeneral(choices_[size_t(*choice)].density))
            layer.density = density.value_or(NAN);
        layers.push_back(std::move(layer));
    }
    return layers;
}

void LayersWindow::setLayers(const std::vector<WrittenLayer> &layers)
{
    layerTable->setRowCount(0);
    for (const WrittenLayer &layer : layers)
        insertLayerRow(layerCount(), layer);
    fixTabOrder();
    recompute();
}

void LayersWindow::addLayer()
{
    const int row = layerCount() ? currentLayer() + 1 : 0;
    insertLayerRow(row, {kWaterFileName, {1, ThicknessUnit::Centimetre}, {}});
    fixTabOrder();
    recompute();
    materialBox(row)->setFocus();
    materialBox(row)->lineEdit()->selectAll();
}

void LayersWindow::removeLayer()
{
    if (!layerCount())
        return;
    const int row = currentLayer();
    layerTable->removeRow(row);
    fixTabOrder();
    recompute();
    if (layerCount())
        materialBox(std::min(row, layerCount() - 1))->setFocus();
    else
        addButton->setFocus();
}

void LayersWindow::duplicateLayer()
{
    if (!layerCount())
        return;
    const int row = currentLayer();
    const auto layers = writtenLayers();
    insertLayerRow(row + 1, layers[size_t(row)]);
    // Text that is not a number yet is copied as it stands.
    thicknessBox(row + 1)->setText(thicknessBox(row)->text());
    densityBox(row + 1)->setText(densityBox(row)->text());
    fixTabOrder();
    recompute();
    materialBox(row + 1)->setFocus();
}

void LayersWindow::moveLayer(int by)
{
    const int row = currentLayer(), to = row + by;
    if (row < 0 || to < 0 || to >= layerCount())
        return;
    const int column = [&] {
        for (int c = MaterialColumn; c <= DensityColumn; ++c)
            if (layerTable->cellWidget(row, c)->isAncestorOf(focusWidget()) ||
                layerTable->cellWidget(row, c) == focusWidget())
                return c;
        return int(MaterialColumn);
    }();
    const QString thickness = thicknessBox(row)->text(), density = densityBox(row)->text();
    const WrittenLayer layer = writtenLayers()[size_t(row)];
    layerTable->removeRow(row);
    insertLayerRow(to, layer);
    thicknessBox(to)->setText(thickness);
    densityBox(to)->setText(density);
    fixTabOrder();
    recompute();
    layerTable->cellWidget(to, column)->setFocus();
}

void LayersWindow::recompute()
{
    if (culprit_)
        setProblem(culprit_, false);
    culprit_ = nullptr;
    summaryLabel->clear();
    if (!waterProblem_.isEmpty())
        return clearResults(waterProblem_, nullptr);

    std::vector<Layer> layers;
    std::vector<std::string> names;
    QStringList shown;
    for (int row = 0; row < layerCount(); ++row) {
        const QString where = QStringLiteral("Layer %1: ").arg(row + 1);
        QComboBox *box = materialBox(row);
        const int choice = box->property("choice").toInt();
        if (choice < 0)
            return clearResults(where + QStringLiteral("no material matches \"") +
                                    box->currentText() +
                                    QStringLiteral("\"; choose one from the list."),
                                box->lineEdit());
        const MaterialChoice &chosen = choices_[size_t(choice)];
        const auto loaded = material(chosen.file);
        if (auto *why = std::get_if<std::string>(&loaded))
            return clearResults(where + displayed(*why), box->lineEdit());
        const auto thickness = typedNumber(thicknessBox(row)->text());
        if (!thickness)
            return clearResults(where + QStringLiteral("the thickness is not a number."),
                                thicknessBox(row));
        const auto density = typedNumber(densityBox(row)->text());
        if (!density)
            return clearResults(where + QStringLiteral("the density is not a number."),
                                densityBox(row));
        layers.push_back({std::get<LayerMaterial>(loaded),
                          chosen.file,
                          {*thickness, ThicknessUnit(unitBox(row)->currentData().toInt())},
                          *density});
        names.push_back(chosen.file);
        shown.push_back(chosen.shown.left(chosen.shown.size() - fileText(chosen.file).size() - 2));
    }
    shownNames_ = shown;

    const QString typed = beamBox->text();
    if (typed.trimmed().isEmpty())
        return clearResults(QString(), nullptr);
    const auto value = typedNumber(typed);
    if (!value)
        return clearResults(QStringLiteral("The beam value is not a number."), beamBox);

    // Asked backwards, the energy needed is found first and then sent through.
    double energyIn = *value;
    const Beam beam = Beam(beamModeBox->currentData().toInt());
    if (beam != Beam::EnergyIn) {
        double energyOut = *value;
        if (beam == Beam::WaterDepth) {
            const auto reached = energyForWaterDepth(water_, *value);
            if (auto *error = std::get_if<StackError>(&reached))
                return clearResults(displayed(error->message), beamBox);
            energyOut = std::get<double>(reached);
        }
        const auto needed = energyNeededFor(layers, energyOut);
        if (auto *error = std::get_if<StackError>(&needed))
            return clearResults(displayed(error->message), editorFor(*error));
        energyIn = std::get<double>(needed);
        summaryLabel->setText(QStringLiteral("Energy needed going in: ") + number(energyIn) +
                              QStringLiteral(" MeV"));
    }

    const auto result = throughStack(layers, water_, energyIn);
    if (auto *error = std::get_if<StackError>(&result))
        return clearResults(displayed(error->message), editorFor(*error));
    showResults(std::get<StackResult>(result), names);
}

QWidget *LayersWindow::editorFor(const StackError &error) const
{
    if (!error.layer)
        return beamBox;
    const int row = int(*error.layer);
    return error.input == StackError::Input::Density ? densityBox(row) : thicknessBox(row);
}

void LayersWindow::showResults(const StackResult &result, const std::vector<std::string> &names)
{
    result_ = result;
    resultNames_ = names;
    messageLabel->clear();
    const int layers = int(names.size());
    if (resultTable->rowCount() != layers + 1)
        resultTable->setRowCount(layers + 1);
    auto set = [&](int row, int column, const QString &text) {
        QTableWidgetItem *item = resultTable->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            item->setTextAlignment(column ? Qt::AlignRight | Qt::AlignVCenter
                                          : Qt::AlignLeft | Qt::AlignVCenter);
            resultTable->setItem(row, column, item);
        }
        if (item->text() != text)
            item->setText(text);
    };
    for (int row = 0; row < layers; ++row) {
        const QString name =
            QString::number(row + 1) + QStringLiteral("  ") + shownNames_[size_t(row)];
        set(row, 0, name);
        setPlainToolTip(resultTable->item(row, 0), name);
        const auto quantities = layerQuantities();
        for (int column = 1; column <= int(quantities.size()); ++column) {
            if (size_t(row) >= result.layers.size()) {
                set(row, column, QString(QChar(kNone)));
                continue;
            }
            const auto value =
                valueOf(result.layers[size_t(row)], quantities[size_t(column - 1)].quantity);
            set(row, column, value ? number(*value) : QString());
        }
    }
    // The stack as one layer.
    const LayerResult totals{result.energyIn, result.energyOut,          result.energyLost,
                             result.wet,      result.residualWaterRange, std::nullopt};
    set(layers, 0, QStringLiteral("Stack"));
    for (int column = 1; column <= int(layerQuantities().size()); ++column) {
        const auto value = valueOf(totals, layerQuantities()[size_t(column - 1)].quantity);
        set(layers, column, value ? number(*value) : QString());
    }

    if (Beam(beamModeBox->currentData().toInt()) != Beam::EnergyIn)
        return;
    if (result.stoppedIn)
        summaryLabel->setText(
            QStringLiteral("The beam stops in layer %1, ").arg(*result.stoppedIn + 1) +
            number(*result.layers[*result.stoppedIn].stopDepth) + QStringLiteral(" cm into it."));
    else
        summaryLabel->setText(QStringLiteral("It leaves the stack with ") +
                              number(result.energyOut) + QStringLiteral(" MeV, enough for ") +
                              number(result.residualWaterRange) +
                              QStringLiteral(" cm of water behind it."));
}

void LayersWindow::clearResults(const QString &message, QWidget *culprit)
{
    // An answer to an earlier input must never be read as this one's.
    result_.reset();
    resultNames_.clear();
    resultTable->setRowCount(0);
    summaryLabel->clear();
    messageLabel->setText(message);
    culprit_ = culprit;
    if (culprit_)
        setProblem(culprit_, true);
}

QString LayersWindow::resultsText() const
{
    if (!result_)
        return QString();
    return QString::fromStdString(
        stackResultsText(*result_, resultNames_, TableFileFormat::TabSeparated));
}

void LayersWindow::copyResults()
{
    const QString text = resultsText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void LayersWindow::saveResults()
{
    if (!result_) {
        showWarning(this, QStringLiteral("There are no results to save."));
        return;
    }
    const auto target = askSaveTarget(this, tr("Save results as"), QStringLiteral("layers"),
                                      {{QStringLiteral("CSV (*.csv)"), {QStringLiteral("csv")}}});
    if (!target)
        return;
    const std::string text =
        stackResultsText(*result_, resultNames_, TableFileFormat::CommaSeparated);
    saveFile(this, target->path, [&](QIODevice &file) {
        return file.write(text.data(), qint64(text.size())) == qint64(text.size());
    });
}

void LayersWindow::saveStack()
{
    const auto layers = writtenLayers();
    for (std::size_t i = 0; i < layers.size(); ++i)
        if (std::isnan(layers[i].thickness.value) ||
            (layers[i].density && std::isnan(*layers[i].density))) {
            showWarning(this,
                        QStringLiteral("Layer %1 has a thickness or density that is not a number; "
                                       "the stack was not saved.")
                            .arg(i + 1));
            return;
        }
    const auto target = askSaveTarget(this, tr("Save stack as"), QStringLiteral("stack"),
                                      {{QStringLiteral("Quenrow stack (*.stack *.txt)"),
                                        {QStringLiteral("stack"), QStringLiteral("txt")}}});
    if (!target)
        return;
    const std::string text = stackText(layers);
    saveFile(this, target->path, [&](QIODevice &file) {
        return file.write(text.data(), qint64(text.size())) == qint64(text.size());
    });
}

void LayersWindow::openStack()
{
    const QString path = askOpenPath(
        this, tr("Open stack"), QStringLiteral("Quenrow stack (*.stack *.txt);;All files (*)"));
    if (path.isEmpty())
        return;
    auto read = readStackFile(path.toStdString());
    if (auto *why = std::get_if<std::string>(&read)) {
        showWarning(this, displayed(*why));
        return;
    }
    setLayers(std::get<std::vector<WrittenLayer>>(read));
}

void LayersWindow::remember() const
{
    QSettings settings(settingsFile(), QSettings::IniFormat);
    const auto layers = writtenLayers();
    bool complete = true;
    for (const WrittenLayer &layer : layers)
        complete = complete && !std::isnan(layer.thickness.value) &&
                   !(layer.density && std::isnan(*layer.density));
    if (complete)
        settings.setValue(QStringLiteral("stack"), QString::fromStdString(stackText(layers)));
    settings.setValue(QStringLiteral("beam"), beamModeBox->currentIndex());
    settings.setValue(QStringLiteral("value"), beamBox->text());
}

void LayersWindow::restore()
{
    QSettings settings(settingsFile(), QSettings::IniFormat);
    beamModeBox->setCurrentIndex(
        std::clamp(settings.value(QStringLiteral("beam"), 0).toInt(), 0, 2));
    beamBox->setText(settings.value(QStringLiteral("value"), QStringLiteral("150")).toString());
    std::vector<WrittenLayer> layers = kFirstStack;
    if (settings.contains(QStringLiteral("stack"))) {
        // A stack that no longer reads is dropped rather than shown half.
        auto read = parseStack(settings.value(QStringLiteral("stack")).toString().toStdString());
        if (auto *stack = std::get_if<std::vector<WrittenLayer>>(&read))
            layers = *stack;
    }
    setLayers(layers);
}

void LayersWindow::closeEvent(QCloseEvent *event)
{
    remember();
    event->accept();
}

void LayersWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

} // namespace quenrow

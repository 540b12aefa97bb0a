// SPDX-License-Identifier: MIT
#include "calculator_window.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "data/number_format.h"
#include "data/quantity.h"
#include "ui/look.h"

namespace quenrow {

namespace {

constexpr char16_t kUnavailable = 0x2013; // en dash, for a value the file cannot give

QString fromUtf8(const std::string &text)
{
    return QString::fromStdString(text);
}

// Named for tests; a screen reader reads what it shows.
QLabel *plainLabel(QWidget *parent, const std::string &name, const QString &text = {})
{
    QLabel *label = place(new QLabel(text, parent), name.c_str(), QRect());
    label->setAccessibleName(QString());
    return label;
}

// A value alone means nothing to a screen reader: its name says what it is.
void setValue(QLabel *label, const QString &quantity, const char *unit, const QString &value)
{
    label->setText(value);
    QString name = quantity;
    if (*unit)
        name += QStringLiteral(" in ") + QLatin1String(unit);
    const QString read = value.isEmpty()                ? QStringLiteral("none")
                         : value == QChar(kUnavailable) ? QStringLiteral("unavailable")
                                                        : value;
    label->setAccessibleName(name + QStringLiteral(": ") + read);
}

// Wide enough for any value, so the block does not move as values change.
int valueWidth(const QWidget *widget)
{
    return widget->fontMetrics().horizontalAdvance(QStringLiteral("-0.000E+000")) + 4;
}

// With the file's own digits (hydrogen's 8.3748E-05, not 0.000084).
QString densityAsWritten(const Material &material)
{
    return material.densityText.empty() ? fromUtf8(formatDensity(material.density))
                                        : fileText(material.densityText);
}

const QString kNoMaterial =
    QStringLiteral("No material is loaded: choose one in the main window and press GO.");

} // namespace

CalculatorWindow::CalculatorWindow(const std::filesystem::path &dataDirectory)
    : QWidget(nullptr, Qt::Tool), water_(loadWater(dataDirectory))
{
    setObjectName(QStringLiteral("Calculator"));
    setPlainWindowTitle(this, QStringLiteral("Calculator"));

    auto *layout = new QVBoxLayout(this);
    materialLabel = place(new ElidedLabel(this), "materialLabel", QRect());
    materialLabel->setAccessibleName(QString());
    materialLabel->setFullText(kNoMaterial);
    layout->addWidget(materialLabel);

    auto *inputs = new QGridLayout;
    buildInputs(inputs);
    layout->addLayout(inputs);

    messageLabel = messageLine(this, "messageLabel");
    layout->addWidget(messageLabel);

    auto *results = new QGridLayout;
    buildResults(results);
    layout->addLayout(results);

    notesLabel = plainLabel(this, "notesLabel");
    notesLabel->setWordWrap(true);
    layout->addWidget(notesLabel);
    layout->addStretch();

    addAction(tr("Copy results"), QKeySequence::Copy, this, &CalculatorWindow::copyResults);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    setInputsEnabled(false);
    clearResults(QString());
}

void CalculatorWindow::buildInputs(QGridLayout *grid)
{
    energyBox = place(new QLineEdit(this), "energyBox", QRect());
    energyBox->setAccessibleName(QStringLiteral("Energy in MeV"));
    auto *energyLabel = plainLabel(this, "energyLabel", tr("&Energy"));
    energyLabel->setBuddy(energyBox);
    grid->addWidget(energyLabel, 0, 0);
    grid->addWidget(energyBox, 0, 1);
    grid->addWidget(plainLabel(this, "energyUnit", QStringLiteral("MeV")), 0, 2);

    rangeBox = place(new QLineEdit(this), "rangeBox", QRect());
    rangeBox->setAccessibleName(QStringLiteral("Range"));
    auto *rangeLabel = plainLabel(this, "rangeLabel", tr("&Range"));
    rangeLabel->setBuddy(rangeBox);
    rangeColumnBox = place(new QComboBox(this), "rangeColumnBox", QRect());
    rangeColumnBox->setAccessibleName(QStringLiteral("Range column"));
    rangeColumnBox->addItem(QStringLiteral("CSDA"), static_cast<int>(RangeColumn::Csda));
    rangeColumnBox->addItem(QStringLiteral("projected"), static_cast<int>(RangeColumn::Projected));
    rangeUnitBox = place(new QComboBox(this), "rangeUnitBox", QRect());
    rangeUnitBox->setAccessibleName(QStringLiteral("Range unit"));
    rangeUnitBox->addItems({QStringLiteral("g/cm2"), QStringLiteral("cm")});
    grid->addWidget(rangeLabel, 1, 0);
    grid->addWidget(rangeBox, 1, 1);
    grid->addWidget(rangeUnitBox, 1, 2);
    grid->addWidget(rangeColumnBox, 1, 3);
    grid->setColumnStretch(1, 1);

    connect(energyBox, &QLineEdit::textEdited, this, [this] {
        typedIn_ = Input::Energy;
        lookUp();
    });
    connect(rangeBox, &QLineEdit::textEdited, this, [this] {
        typedIn_ = Input::Range;
        lookUp();
    });
    // A new column or unit reads the typed value anew.
    for (QComboBox *box : {rangeColumnBox, rangeUnitBox})
        connect(box, &QComboBox::currentIndexChanged, this, &CalculatorWindow::lookUp);
    for (QLineEdit *box : {energyBox, rangeBox})
        box->installEventFilter(this);
    setTabOrder(energyBox, rangeBox);
    setTabOrder(rangeBox, rangeUnitBox);
    setTabOrder(rangeUnitBox, rangeColumnBox);
}

void CalculatorWindow::buildResults(QGridLayout *grid)
{
    grid->addWidget(plainLabel(this, "massHeading", tr("Mass units")), 0, 1, 1, 2);
    grid->addWidget(plainLabel(this, "linearHeading", tr("Linear units")), 0, 3, 1, 4);
    const int width = valueWidth(this);
    for (int q = 0; q < kResultRowCount; ++q) {
        const ResultRowLayout &layout = resultRows()[q];
        const QString quantity = QString::fromLatin1(layout.name);
        grid->addWidget(plainLabel(this, std::string(layout.key) + "Name", quantity), q + 1, 0);
        for (int column = 0; column < kUnitColumns; ++column) {
            const char *unit = layout.units[column];
            if (!unit)
                continue;
            const std::string name = layout.key + std::string("Value") + char('0' + column);
            QLabel *value = plainLabel(this, name);
            value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            // A fixed size keeps a new value from asking the whole block for a new layout.
            value->setFixedSize(width, value->fontMetrics().height() + 2);
            values_[q][column] = value;
            grid->addWidget(value, q + 1, 1 + 2 * column);
            grid->addWidget(plainLabel(this, name + "Unit", QString::fromLatin1(unit)), q + 1,
                            2 + 2 * column);
        }
    }
    grid->setHorizontalSpacing(8);
}

void CalculatorWindow::setMaterial(MaterialPtr material)
{
    material_ = std::move(material);
    const QString name = fileText(material_->name());
    const QString densityText = densityAsWritten(*material_) + QStringLiteral(" g/cm3");
    setPlainWindowTitle(this, QStringLiteral("Calculator - ") + name + QStringLiteral(", ") +
                                  densityText);
    materialLabel->setFullText(name + QStringLiteral("   density ") + densityText);
    setInputsEnabled(true);
    lookUp();
}

void CalculatorWindow::setInputsEnabled(bool enabled)
{
    for (QWidget *input :
         std::initializer_list<QWidget *>{energyBox, rangeBox, rangeColumnBox, rangeUnitBox})
        input->setEnabled(enabled);
}

void CalculatorWindow::setEnergyText(const QString &text)
{
    energyBox->setText(text);
    typedIn_ = Input::Energy;
    lookUp();
}

RangeColumn CalculatorWindow::rangeColumn() const
{
    return static_cast<RangeColumn>(rangeColumnBox->currentData().toInt());
}

bool CalculatorWindow::rangeInCentimetres() const
{
    return rangeUnitBox->currentIndex() == 1;
}

void CalculatorWindow::lookUp()
{
    if (!material_) {
        clearResults(QString());
        return;
    }
    const auto row = typedIn_ == Input::Energy ? lookUpEnergy() : lookUpRange();
    if (row)
        showResults(*row);
}

// Each lookup fills the other box, or empties it with the results.
std::optional<RowValues> CalculatorWindow::lookUpEnergy()
{
    const QString text = energyBox->text();
    rangeBox->clear();
    if (text.trimmed().isEmpty()) {
        clearResults(QString());
        return std::nullopt;
    }
    const std::string typed = text.toStdString();
    const auto energy = readTypedNumber(typed, quantityInfo(Quantity::Energy).unit);
    if (!energy) {
        clearResults(fromUtf8(notANumber(typed)));
        return std::nullopt;
    }
    auto result = interpolateRow(*material_, *energy);
    if (auto *error = std::get_if<LookupError>(&result)) {
        clearResults(fromUtf8(error->message));
        return std::nullopt;
    }
    const auto &row = std::get<RowValues>(result);
    if (auto range = shownRange(row, rangeColumn(), rangeInCentimetres(), material_->density))
        rangeBox->setText(fromUtf8(formatScientific(*range)));
    return row;
}

std::optional<RowValues> CalculatorWindow::lookUpRange()
{
    const QString text = rangeBox->text();
    energyBox->clear();
    if (text.trimmed().isEmpty()) {
        clearResults(QString());
        return std::nullopt;
    }
    const std::string typed = text.toStdString();
    const auto typedRange = readTypedNumber(typed, rangeInCentimetres() ? "cm" : "g/cm2");
    if (!typedRange) {
        clearResults(fromUtf8(notANumber(typed)));
        return std::nullopt;
    }
    double range = *typedRange;
    if (rangeInCentimetres()) {
        auto mass = massRange(range, material_->density);
        if (auto *problem = std::get_if<std::string>(&mass)) {
            clearResults(fromUtf8(*problem));
            return std::nullopt;
        }
        range = std::get<double>(mass);
    }
    auto result = energyForRange(*material_, rangeColumn(), range);
    if (auto *error = std::get_if<LookupError>(&result)) {
        clearResults(fromUtf8(error->message));
        return std::nullopt;
    }
    const auto &row = std::get<RowValues>(result);
    energyBox->setText(fromUtf8(formatScientific(row.energy)));
    return row;
}

void CalculatorWindow::showResults(const RowValues &row)
{
    results_ = describeResults(*material_, row, water_);
    for (int q = 0; q < kResultRowCount; ++q)
        for (int column = 0; column < kUnitColumns; ++column)
            if (QLabel *label = values_[q][column]) {
                const auto &value = results_->values[q][column];
                setValue(label, QString::fromLatin1(resultRows()[q].name),
                         resultRows()[q].units[column],
                         value ? fromUtf8(*value) : QString(QChar(kUnavailable)));
            }
    QStringList notes;
    for (const std::string &note : results_->notes)
        notes << fromUtf8(note);
    notesLabel->setText(notes.join(QLatin1Char('\n')));
    messageLabel->clear();
}

void CalculatorWindow::clearResults(const QString &message)
{
    // An answer to an earlier input must never be read as this one's.
    results_.reset();
    for (int q = 0; q < kResultRowCount; ++q)
        for (int column = 0; column < kUnitColumns; ++column)
            if (QLabel *label =
                    values_[q][column]) // setText, unlike clear(), skips an unchanged text
                setValue(label, QString::fromLatin1(resultRows()[q].name),
                         resultRows()[q].units[column], QString());
    notesLabel->setText(QString());
    // A message may quote what was typed: cut, and free to wrap anywhere.
    messageLabel->setText(boxText(message));
}

QString CalculatorWindow::resultsText() const
{
    if (!results_ || !material_)
        return QString();
    return fromUtf8(resultsAsTabSeparated(fileText(material_->name()).toStdString(),
                                          densityAsWritten(*material_).toStdString(), *results_));
}

void CalculatorWindow::copyResults()
{
    const QString text = resultsText();
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void CalculatorWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

bool CalculatorWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Ctrl+C in a box copies its selection, if it has one, else the results.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        auto *box = static_cast<QLineEdit *>(watched);
        if (!box->hasSelectedText()) {
            copyResults();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quenrow

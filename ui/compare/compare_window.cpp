// SPDX-License-Identifier: MIT
#include "compare_window.h"

#include <algorithm>
#include <cmath>

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <qcustomplot.h>

#include "data/material_directory.h"
#include "ui/look.h"
#include "ui/message.h"
#include "ui/picture_file.h"

namespace quenrow {

namespace {

constexpr double kLowestShown = 0.001;      // MeV: 1 keV
constexpr double kHighestShown = 10000;     // MeV: 10 GeV
constexpr int kFileRole = Qt::UserRole;     // the file name, as std::string bytes
constexpr int kNameRole = Qt::UserRole + 1; // the material's name, for finding

// Okabe and Ito's colour-blind-safe palette. Its black is drawn white on the
// dark screen.
const QColor kPalette[] = {QColor(0xE6, 0x9F, 0x00), QColor(0x56, 0xB4, 0xE9),
                           QColor(0x00, 0x9E, 0x73), QColor(0xF0, 0xE4, 0x42),
                           QColor(0x00, 0x72, 0xB2), QColor(0xD5, 0x5E, 0x00),
                           QColor(0xCC, 0x79, 0xA7), QColor(0x00, 0x00, 0x00)};
constexpr int kPaletteSize = sizeof kPalette / sizeof kPalette[0];
// Past the palette, each round of colours gets its own dashes.
const Qt::PenStyle kDashes[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                Qt::DashDotDotLine};

struct Colours {
    QColor background, text, grid, subGrid, pointer;
};
const Colours kScreen{QColor(16, 20, 32), QColor(225, 228, 235), QColor(72, 78, 96),
                      QColor(40, 45, 60), QColor(160, 165, 175)};
const Colours kPrint{Qt::white, Qt::black, QColor(200, 200, 200), QColor(232, 232, 232),
                     QColor(120, 120, 120)};

QPen curvePen(int index, bool dark)
{
    QColor colour = kPalette[index % kPaletteSize];
    if (dark && colour == Qt::black)
        colour = Qt::white;
    QPen pen(colour, 2);
    pen.setStyle(kDashes[(index / kPaletteSize) % std::size(kDashes)]);
    return pen;
}

QString fromUtf8(const std::string &text)
{
    return QString::fromStdString(text);
}

std::string fileOf(const QListWidgetItem *item)
{
    return item->data(kFileRole).toString().toStdString();
}

template <class W>
W *named(W *widget, const char *name, const QString &accessible)
{
    place(widget, name, QRect());
    widget->setAccessibleName(accessible);
    return widget;
}

const std::vector<FileKind> &plotKinds()
{
    static const std::vector<FileKind> kinds{
        {QObject::tr("PNG image (*.png)"), {QStringLiteral("png")}},
        {QObject::tr("SVG drawing (*.svg)"), {QStringLiteral("svg")}},
        {QObject::tr("PDF document (*.pdf)"), {QStringLiteral("pdf")}},
    };
    return kinds;
}

const std::vector<FileKind> &valueKinds()
{
    static const std::vector<FileKind> kinds{
        {QObject::tr("CSV file (*.csv)"), {QStringLiteral("csv")}}};
    return kinds;
}

} // namespace

CompareWindow::CompareWindow(const std::filesystem::path &dataDirectory, QWidget *parent)
    : QWidget(parent, Qt::Window), dataDirectory_(dataDirectory)
{
    setObjectName(QStringLiteral("CompareWindow"));
    setPlainWindowTitle(this, tr("Compare materials - Quenrow"));
    buildControls();
    buildPlot();
    addActions();
    fillMaterialList(dataDirectory);
    choiceChanged();
    resize(1100, 680);
}

void CompareWindow::buildControls()
{
    findBox = named(new QLineEdit(this), "findBox", tr("Find a material"));
    findBox->setPlaceholderText(tr("Type part of a name"));
    findBox->setClearButtonEnabled(true);
    materialList = named(new QListWidget(this), "materialList", tr("Materials"));
    quantityBox = named(new QComboBox(this), "quantityBox", tr("Quantity"));
    for (Quantity quantity : kComparedQuantities)
        quantityBox->addItem(QString::fromLatin1(quantityInfo(quantity).name));
    quantityBox->setCurrentIndex(
        int(std::find(kComparedQuantities.begin(), kComparedQuantities.end(),
                      Quantity::TotalStoppingPower) -
            kComparedQuantities.begin()));
    unitsBox = named(new QComboBox(this), "unitsBox", tr("Units"));
    unitsBox->addItems({tr("Mass, as the tables"), tr("Linear, from the density")});
    relativeBox = named(new QCheckBox(tr("&Relative to"), this), "relativeBox", tr("Relative to"));
    referenceBox = named(new QComboBox(this), "referenceBox", tr("Reference material"));
    logYBox =
        named(new QCheckBox(tr("&Logarithmic y axis"), this), "logYBox", tr("Logarithmic y axis"));
    screenColoursBox = named(new QCheckBox(tr("&Dark colours in files"), this), "screenColoursBox",
                             tr("Dark colours in saved and copied images"));
    readout = place(new QLabel(this), "readout", QRect());
    readout->setAccessibleName(tr("Values under the pointer"));
    readout->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A fixed size: a pointer move changes its text, never the layout.
    readout->setFixedSize(330, readout->fontMetrics().lineSpacing() * 16);
    readout->setTextInteractionFlags(Qt::TextSelectableByMouse);
    readout->setWordWrap(true);

    auto *find = place(new QLabel(tr("&Find:"), this), "findLabel", QRect());
    find->setAccessibleName(QString()); // its box has the name
    find->setBuddy(findBox);
    auto *quantity = place(new QLabel(tr("&Quantity:"), this), "quantityLabel", QRect());
    quantity->setAccessibleName(QString()); // its box has the name
    quantity->setBuddy(quantityBox);
    auto *units = place(new QLabel(tr("&Units:"), this), "unitsLabel", QRect());
    units->setAccessibleName(QString()); // its box has the name
    units->setBuddy(unitsBox);

    auto *form = new QFormLayout;
    form->addRow(quantity, quantityBox);
    form->addRow(units, unitsBox);
    auto *relativeRow = new QHBoxLayout;
    relativeRow->addWidget(relativeBox);
    relativeRow->addWidget(referenceBox, 1);

    auto *reset = named(new QPushButton(tr("Reset &view"), this), "resetButton", tr("Reset view"));
    auto *save =
        named(new QPushButton(tr("&Save plot..."), this), "savePlotButton", tr("Save plot"));
    auto *values =
        named(new QPushButton(tr("Save val&ues..."), this), "saveValuesButton", tr("Save values"));
    connect(reset, &QPushButton::clicked, this, &CompareWindow::resetView);
    connect(save, &QPushButton::clicked, this, &CompareWindow::savePlot);
    connect(values, &QPushButton::clicked, this, &CompareWindow::saveValues);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(reset);
    buttons->addWidget(save);
    buttons->addWidget(values);

    auto *side = new QVBoxLayout;
    auto *findRow = new QHBoxLayout;
    findRow->addWidget(find);
    findRow->addWidget(findBox);
    side->addLayout(findRow);
    side->addWidget(materialList, 1);
    side->addLayout(form);
    side->addLayout(relativeRow);
    side->addWidget(logYBox);
    side->addWidget(screenColoursBox);
    side->addLayout(buttons);
    side->addWidget(readout);

    plot = new QCustomPlot(this);
    plot->setObjectName(QStringLiteral("plot"));
    plot->setAccessibleName(tr("Compare plot"));
    plot->setFocusPolicy(Qt::StrongFocus);
    plot->setMinimumSize(480, 360);

    auto *layout = new QHBoxLayout(this);
    auto *sideWidget = new QWidget(this);
    sideWidget->setLayout(side);
    sideWidget->setFixedWidth(330);
    side->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(sideWidget);
    layout->addWidget(plot, 1);

    connect(findBox, &QLineEdit::textChanged, this, &CompareWindow::filterList);
    connect(materialList, &QListWidget::itemChanged, this, &CompareWindow::itemChanged);
    connect(quantityBox, &QComboBox::currentIndexChanged, this, &CompareWindow::choiceChanged);
    connect(unitsBox, &QComboBox::currentIndexChanged, this, &CompareWindow::choiceChanged);
    connect(relativeBox, &QCheckBox::toggled, this, &CompareWindow::referenceChanged);
    connect(referenceBox, &QComboBox::currentIndexChanged, this, &CompareWindow::referenceChanged);
    connect(logYBox, &QCheckBox::toggled, this, &CompareWindow::redraw);
}

void CompareWindow::buildPlot()
{
    auto logTicker = QSharedPointer<QCPAxisTickerLog>::create();
    plot->xAxis->setScaleType(QCPAxis::stLogarithmic);
    plot->xAxis->setTicker(logTicker);
    plot->xAxis->setNumberFormat(QStringLiteral("eb"));
    plot->xAxis->setNumberPrecision(0);
    plot->xAxis->setLabel(
        tr("Proton kinetic energy (%1)").arg(QLatin1String(quantityInfo(Quantity::Energy).unit)));
    plot->xAxis->grid()->setSubGridVisible(true);
    plot->yAxis->grid()->setSubGridVisible(true);
    // The legend goes under the axes, so it never hides a curve.
    plot->plotLayout()->addElement(1, 0, plot->legend);
    plot->plotLayout()->setRowStretchFactor(1, 0.001);
    plot->legend->setFillOrder(QCPLegend::foColumnsFirst);
    plot->legend->setWrap(2);
    plot->legend->setVisible(true);
    plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    plot->setNoAntialiasingOnDrag(false);
    plot->setPlottingHint(QCP::phFastPolylines); // one polyline a curve, not a line a segment

    // The pointer's line is a thin child widget over the plot: moving it
    // repaints only the strips it leaves and enters, and files and copies,
    // drawn by QCustomPlot, leave it out.
    pointerLine_ = new QWidget(plot);
    pointerLine_->setObjectName(QStringLiteral("pointerLine"));
    pointerLine_->setAttribute(Qt::WA_TransparentForMouseEvents);
    pointerLine_->setAutoFillBackground(true);
    pointerLine_->hide();
    plot->xAxis->setRange(kLowestShown, kHighestShown);

    plot->setMouseTracking(true);
    connect(plot, &QCustomPlot::mouseMove, this, [this](QMouseEvent *event) {
        const QPointF at = event->position();
        if (plot->axisRect()->rect().contains(at.toPoint()))
            showReadout(plot->xAxis->pixelToCoord(at.x()));
        else
            showReadout(std::nullopt);
    });
    // A plain drag pans; with Shift it draws the rectangle to zoom into.
    connect(plot, &QCustomPlot::mousePress, this, [this](QMouseEvent *event) {
        plot->setSelectionRectMode(event->modifiers() & Qt::ShiftModifier ? QCP::srmZoom
                                                                          : QCP::srmNone);
    });
    // Zoom and pan move the curves from under the line.
    connect(plot->xAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), this,
            [this] { showReadout(std::nullopt); });
    plot->installEventFilter(this);
    applyColours(true);
}

void CompareWindow::addActions()
{
    const auto add = [this](const QString &text, const QKeySequence &keys,
                            void (CompareWindow::*slot)()) {
        auto *action = new QAction(text, this);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
        plot->addAction(action);
    };
    add(tr("Copy image"), QKeySequence::Copy, &CompareWindow::copyImage);
    add(tr("Copy values"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
        &CompareWindow::copyValues);
    add(tr("Save plot as..."), QKeySequence::Save, &CompareWindow::savePlot);
    add(tr("Save values as..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
        &CompareWindow::saveValues);
    add(tr("Reset view"), QKeySequence(Qt::CTRL | Qt::Key_0), &CompareWindow::resetView);
    plot->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *find = new QAction(tr("Find a material"), this);
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, [this] {
        findBox->setFocus();
        findBox->selectAll();
    });
    addAction(find);
}

void CompareWindow::fillMaterialList(const std::filesystem::path &dataDirectory)
{
    auto listing = listDirectoryFiles(dataDirectory);
    if (const auto *reason = std::get_if<std::string>(&listing)) {
        folderProblem_ = tr("The data folder \"%1\" cannot be read: %2.")
                             .arg(fileText(dataDirectory.string()), fromUtf8(*reason));
        return;
    }
    const auto &names = std::get<std::vector<std::string>>(listing);
    QSignalBlocker blockList(materialList), blockReference(referenceBox);
    for (const char *extension : {".ps", ".psp"}) {
        for (const std::string &file : withExtension(names, extension)) {
            const QString shown = fileText(file);
            auto *item = new QListWidgetItem(shown, materialList);
            item->setData(kFileRole, fromUtf8(file));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
            if (auto header = readMaterialHeader(materialPath(dataDirectory, file));
                const auto *read = std::get_if<MaterialHeader>(&header)) {
                item->setData(kNameRole, fileText(read->name));
                setPlainToolTip(item, fileText(read->name));
            }
            referenceBox->addItem(shown, fromUtf8(file));
        }
    }
    const int water = referenceBox->findData(QString::fromLatin1("Water_liquid.psp"));
    referenceBox->setCurrentIndex(std::max(water, 0));
}

QListWidgetItem *CompareWindow::itemFor(const std::string &fileName) const
{
    for (int i = 0; i < materialList->count(); ++i)
        if (fileOf(materialList->item(i)) == fileName)
            return materialList->item(i);
    return nullptr;
}

void CompareWindow::offerLoaded(const MaterialPtr &material)
{
    const std::string &fileName = material->fileName;
    QListWidgetItem *item = itemFor(fileName);
    if (!item)
        return;
    // A curve already shown keeps the material it was drawn from.
    loaded_.emplace(fileName, material);
    {
        QSignalBlocker block(materialList);
        materialList->insertItem(0, materialList->takeItem(materialList->row(item)));
    }
    materialList->setCurrentItem(item);
    if (chosen_.empty())
        setChosen(fileName, true);
}

void CompareWindow::setChosen(const std::string &fileName, bool chosen)
{
    if (QListWidgetItem *item = itemFor(fileName))
        item->setCheckState(chosen ? Qt::Checked : Qt::Unchecked); // itemChanged does the rest
}

std::vector<std::string> CompareWindow::chosenFiles() const
{
    return chosen_;
}

void CompareWindow::filterList(const QString &text)
{
    for (int i = 0; i < materialList->count(); ++i) {
        QListWidgetItem *item = materialList->item(i);
        const bool found = item->text().contains(text, Qt::CaseInsensitive) ||
                           item->data(kNameRole).toString().contains(text, Qt::CaseInsensitive);
        item->setHidden(!found);
    }
    // Space in the list ticks what is found, not a hidden entry.
    QListWidgetItem *current = materialList->currentItem();
    if (!current || current->isHidden())
        for (int i = 0; i < materialList->count(); ++i)
            if (!materialList->item(i)->isHidden()) {
                materialList->setCurrentItem(materialList->item(i));
                break;
            }
}

void CompareWindow::itemChanged(QListWidgetItem *item)
{
    const std::string file = fileOf(item);
    const auto at = std::find(chosen_.begin(), chosen_.end(), file);
    const bool chosen = item->checkState() == Qt::Checked;
    if (chosen == (at != chosen_.end()))
        return;
    if (!chosen) {
        chosen_.erase(at);
    } else if (material(file)) {
        chosen_.push_back(file);
    } else {
        QSignalBlocker block(materialList);
        item->setCheckState(Qt::Unchecked);
        return;
    }
    redraw();
}

MaterialPtr CompareWindow::material(const std::string &fileName)
{
    if (auto found = loaded_.find(fileName); found != loaded_.end())
        return found->second;
    auto read = loadCompared(materialPath(dataDirectory_, fileName));
    if (const auto *reason = std::get_if<std::string>(&read)) {
        showWarning(this, fromUtf8(*reason));
        return nullptr;
    }
    return loaded_[fileName] = std::get<MaterialPtr>(read);
}

CompareChoice CompareWindow::choice() const
{
    return {kComparedQuantities[std::clamp(quantityBox->currentIndex(), 0,
                                           int(kComparedQuantities.size()) - 1)],
            unitsBox->currentIndex() == 1 ? UnitSystem::Linear : UnitSystem::Mass};
}

void CompareWindow::referenceChanged()
{
    reference_ = nullptr;
    if (relativeBox->isChecked()) {
        reference_ = material(referenceBox->currentData().toString().toStdString());
        if (!reference_) {
            QSignalBlocker block(relativeBox);
            relativeBox->setChecked(false);
        }
    }
    choiceChanged();
}

void CompareWindow::choiceChanged()
{
    {
        QSignalBlocker block(logYBox);
        logYBox->setChecked(wantsLogAxis(choice(), reference_ != nullptr));
    }
    redraw();
}

void CompareWindow::redraw()
{
    const CompareChoice shown = choice();
    const bool logY = logYBox->isChecked();
    plot->clearGraphs();
    QStringList notes;
    if (!folderProblem_.isEmpty())
        notes << folderProblem_;
    for (std::size_t i = 0; i < chosen_.size(); ++i) {
        const MaterialPtr &m = loaded_.at(chosen_[i]);
        const Series series = seriesOf(m, reference_, shown);
        QCPGraph *graph = plot->addGraph();
        graph->setName(fileText(m->name()));
        graph->setPen(curvePen(int(i), true));
        QVector<double> energies(series.energy.begin(), series.energy.end());
        QVector<double> values(series.value.begin(), series.value.end());
        graph->setData(energies, values, true);
        if (auto reason = unavailableReason(m, shown))
            notes << fileText(m->name()) + QStringLiteral(": ") + fromUtf8(*reason);
    }
    if (reference_)
        if (auto reason = unavailableReason(reference_, shown))
            notes << tr("Reference ") + fileText(reference_->name()) + QStringLiteral(": ") +
                         fromUtf8(*reason);
    plot->yAxis->setScaleType(logY ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    if (logY) {
        auto ticker = QSharedPointer<QCPAxisTickerLog>::create();
        plot->yAxis->setTicker(ticker);
        plot->yAxis->setNumberFormat(QStringLiteral("eb"));
        plot->yAxis->setNumberPrecision(0);
    } else {
        plot->yAxis->setTicker(QSharedPointer<QCPAxisTicker>::create());
        plot->yAxis->setNumberFormat(QStringLiteral("gb"));
        plot->yAxis->setNumberPrecision(6);
    }
    plot->yAxis->setLabel(fileText(valueHeading(shown, reference_)));
    fitValueAxis();
    notes_ = notes.join(QLatin1Char('\n'));
    readout->setText(notes_);
    plot->replot();
}

void CompareWindow::fitValueAxis()
{
    QCPAxis *y = plot->yAxis;
    const bool log = y->scaleType() == QCPAxis::stLogarithmic;
    const auto domain = log ? QCP::sdPositive : QCP::sdBoth;
    std::optional<QCPRange> range;
    for (int i = 0; i < plot->graphCount(); ++i) {
        bool found = false;
        const QCPRange values = plot->graph(i)->getValueRange(found, domain);
        if (found)
            range = range ? QCPRange(std::min(range->lower, values.lower),
                                     std::max(range->upper, values.upper))
                          : values;
    }
    if (!range)
        return;
    // A flat curve (a material against itself) still gets an axis to sit on.
    if (range->size() <= 1e-3 * std::abs(range->center()))
        *range = QCPRange(range->center() * 0.95, range->center() * 1.05);
    y->setRange(*range);
    y->scaleRange(log ? 1.15 : 1.1);
}

void CompareWindow::resetView()
{
    plot->xAxis->setRange(kLowestShown, kHighestShown);
    fitValueAxis();
    plot->replot();
}

void CompareWindow::showReadout(std::optional<double> energy)
{
    if (!energy || !(*energy >= kLowestShown && *energy <= kHighestShown)) {
        if (pointerLine_->isVisible()) {
            pointerLine_->hide();
            readout->setText(notes_);
        }
        return;
    }
    const CompareChoice shown = choice();
    const QString unit = reference_ ? QString() : fromUtf8(unitText(shown));
    QString text = tr("Energy %1 %2")
                       .arg(QString::number(*energy, 'g', 4),
                            QLatin1String(quantityInfo(Quantity::Energy).unit));
    for (const std::string &file : chosen_) {
        const MaterialPtr &m = loaded_.at(file);
        const auto value = shownAt(m, reference_, shown, *energy);
        text += QLatin1Char('\n') + fileText(m->name()) + QStringLiteral(": ") +
                (value ? QString::number(*value, 'g', 5) +
                             (unit.isEmpty() ? QString() : QLatin1Char(' ') + unit)
                       : QString(QChar(0x2013)));
    }
    if (!notes_.isEmpty())
        text += QStringLiteral("\n\n") + notes_;
    readout->setText(text);
    const QRect frame = plot->axisRect()->rect();
    pointerLine_->setGeometry(int(std::lround(plot->xAxis->coordToPixel(*energy))), frame.top(), 1,
                              frame.height());
    pointerLine_->show();
}

void CompareWindow::applyColours(bool dark)
{
    const Colours &c = dark ? kScreen : kPrint;
    plot->setBackground(c.background);
    plot->axisRect()->setBackground(c.background);
    for (QCPAxis *axis : {plot->xAxis, plot->yAxis, plot->xAxis2, plot->yAxis2}) {
        axis->setBasePen(QPen(c.text));
        axis->setTickPen(QPen(c.text));
        axis->setSubTickPen(QPen(c.text));
        axis->setTickLabelColor(c.text);
        axis->setLabelColor(c.text);
        axis->grid()->setPen(QPen(c.grid, 0, Qt::SolidLine));
        axis->grid()->setSubGridPen(QPen(c.subGrid, 0, Qt::SolidLine));
        axis->grid()->setZeroLinePen(Qt::NoPen);
    }
    plot->legend->setBrush(c.background);
    plot->legend->setBorderPen(Qt::NoPen);
    plot->legend->setTextColor(c.text);
    if (dark) {
        QPalette line = pointerLine_->palette();
        line.setColor(QPalette::Window, c.pointer);
        pointerLine_->setPalette(line);
    }
    for (int i = 0; i < plot->graphCount(); ++i)
        plot->graph(i)->setPen(curvePen(i, dark));
}

bool CompareWindow::writePlot(QIODevice &out, CompareFileFormat format)
{
    const bool print = !screenColoursBox->isChecked();
    if (print)
        applyColours(false);
    const int width = plot->width(), height = plot->height();
    const QString title = plot->yAxis->label();
    const VectorPicture picture{QSize(width, height), title,
                                QStringLiteral("Materials compared, drawn by Quenrow")};
    const auto paint = [&](QPaintDevice &device, qreal scale) {
        QCPPainter painter;
        if (!painter.begin(&device))
            return false;
        painter.setMode(QCPPainter::pmVectorized);
        painter.scale(scale, scale);
        plot->toPainter(&painter, width, height);
        return painter.end();
    };
    bool written = false;
    switch (format) {
    case CompareFileFormat::Png:
        written = writePng(out, plot->toPixmap(width, height, 2.0).toImage(), 2.0);
        break;
    case CompareFileFormat::Svg:
        written = writeSvg(out, picture, paint);
        break;
    case CompareFileFormat::Pdf:
        written = writePdf(out, picture, paint);
        break;
    }
    if (print)
        applyColours(true);
    plot->replot(QCustomPlot::rpQueuedReplot);
    return written;
}

std::string CompareWindow::valuesText() const
{
    std::vector<MaterialPtr> materials;
    for (const std::string &file : chosen_)
        materials.push_back(loaded_.at(file));
    return valuesAsCsv(materials, reference_, choice());
}

void CompareWindow::savePlot()
{
    const auto target = askSaveTarget(this, tr("Save plot as"), tr("compare"), plotKinds());
    if (!target)
        return;
    const auto format = static_cast<CompareFileFormat>(target->kind);
    saveFile(this, target->path, [&](QIODevice &out) { return writePlot(out, format); });
}

void CompareWindow::saveValues()
{
    const auto target = askSaveTarget(this, tr("Save values as"), tr("compare"), valueKinds());
    if (!target)
        return;
    const std::string text = valuesText();
    saveFile(this, target->path, [&](QIODevice &out) {
        return out.write(text.data(), qint64(text.size())) == qint64(text.size());
    });
}

void CompareWindow::copyImage()
{
    const bool print = !screenColoursBox->isChecked();
    if (print)
        applyColours(false);
    const QImage image = plot->toPixmap(plot->width(), plot->height(), 2.0).toImage();
    if (print)
        applyColours(true);
    plot->replot(QCustomPlot::rpQueuedReplot);
    QGuiApplication::clipboard()->setImage(image);
}

void CompareWindow::copyValues()
{
    QGuiApplication::clipboard()->setText(fromUtf8(valuesText()));
}

bool CompareWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == plot && event->type() == QEvent::Leave)
        showReadout(std::nullopt);
    if (watched == plot && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        QCPAxis *x = plot->xAxis, *y = plot->yAxis;
        switch (key->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            x->scaleRange(0.8);
            y->scaleRange(0.8);
            break;
        case Qt::Key_Minus:
            x->scaleRange(1.25);
            y->scaleRange(1.25);
            break;
        case Qt::Key_Left:
        case Qt::Key_Right: {
            // A tenth of the shown range, in the axis's own scale.
            const double step = key->key() == Qt::Key_Left ? -0.1 : 0.1;
            const QCPRange r = x->range();
            const double factor = std::pow(r.upper / r.lower, step);
            x->setRange(r.lower * factor, r.upper * factor);
            break;
        }
        case Qt::Key_Up:
        case Qt::Key_Down: {
            const double step = key->key() == Qt::Key_Down ? -0.1 : 0.1;
            const QCPRange r = y->range();
            if (y->scaleType() == QCPAxis::stLogarithmic) {
                const double factor = std::pow(r.upper / r.lower, step);
                y->setRange(r.lower * factor, r.upper * factor);
            } else {
                y->moveRange(r.size() * step);
            }
            break;
        }
        case Qt::Key_Home:
            resetView();
            return true;
        default:
            return false;
        }
        plot->replot();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace quenrow

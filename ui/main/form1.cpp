// SPDX-License-Identifier: MIT
#include "form1.h"

#include <memory>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>

#include "data/lookup.h"
#include "data/material_directory.h"
#include "data/number_format.h"
#include "data/plot_geometry.h"
#include "data/table_export.h"
#include "ui/about/form3.h"
#include "ui/calc/calculator_window.h"
#include "ui/compare/compare_window.h"
#include "ui/layers/layers_window.h"
#include "ui/look.h"
#include "ui/message.h"
#include "ui/plot/form2.h"
#include "ui/save_file.h"

// The icons live in a static library, whose resource initialiser the linker
// would otherwise drop.
static void initAssets()
{
    Q_INIT_RESOURCE(assets);
}

namespace quenrow {

namespace {

constexpr double kMarkerThreshold = 100; // MeV: rows above it leave the plot alone
constexpr int kFileNameRole = Qt::UserRole;

// Once something is chosen a file list keeps one entry highlighted: Ctrl on
// the highlighted entry chooses it again instead of clearing the list.
class FileList : public QListWidget {
public:
    using QListWidget::QListWidget;

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override
    {
        const auto flags = QListWidget::selectionCommand(index, event);
        if (flags & QItemSelectionModel::Deselect)
            return (flags & ~QItemSelectionModel::Deselect) | QItemSelectionModel::ClearAndSelect;
        return flags;
    }
};

const QColor kHeadingText(0, 0, 192);
const QColor kEntryBackground(192, 255, 255);
const QColor kCaptionBackground(255, 255, 192);
const QColor kButtonGreen(0, 128, 0);

enum class LabelStyle { Heading, CaptionBox };

struct PlacedLabel {
    const char *name;
    const char *caption;
    int left, top, width, height; // twips
    double points;
    LabelStyle style;
};

// The window's static texts, as laid out. Label17..19 are indexed groups.
constexpr PlacedLabel kLabels[] = {
    {"Label2", "Z-", 240, 240, 255, 285, 12, LabelStyle::Heading},
    {"Label1", "Elements", 540, 240, 825, 285, 12, LabelStyle::Heading},
    {"Label3", "Compounds and Mixtures", 1890, 240, 2385, 285, 12, LabelStyle::Heading},
    {"Label23", "Proton", 4680, 0, 615, 255, 11.25, LabelStyle::Heading},
    {"Label28", "kinetic", 4710, 180, 585, 255, 11.25, LabelStyle::Heading},
    {"Label8", "energy", 4710, 360, 615, 255, 11.25, LabelStyle::Heading},
    {"Label7", "MeV", 4905, 600, 495, 255, 11.25, LabelStyle::Heading},
    {"Label9", "Stopping Power", 6135, 0, 1485, 285, 12, LabelStyle::Heading},
    {"Label10", "Electronic", 5640, 180, 825, 225, 9.75, LabelStyle::Heading},
    {"Label14", "(Collision)", 5670, 360, 855, 225, 9.75, LabelStyle::Heading},
    {"Label12", "Nuclear", 6690, 300, 735, 255, 11.25, LabelStyle::Heading},
    {"Label13", "Total", 7680, 300, 465, 255, 11.25, LabelStyle::Heading},
    {"Label29", "MeV", 6450, 600, 495, 255, 11.25, LabelStyle::Heading},
    {"Label17_1", "cm", 6975, 600, 285, 255, 11.25, LabelStyle::Heading},
    {"Label19_1", "2", 7260, 600, 105, 225, 9, LabelStyle::Heading},
    {"Label18_1", "/g", 7350, 600, 195, 255, 11.25, LabelStyle::Heading},
    {"Label16", "Range", 9015, 120, 585, 255, 11.25, LabelStyle::Heading},
    {"Label22", "CSDA", 8520, 360, 525, 225, 9.75, LabelStyle::Heading},
    {"Label24", "Projected", 9360, 360, 855, 255, 11.25, LabelStyle::Heading},
    {"Label17_3", "g/cm", 9150, 600, 465, 255, 11.25, LabelStyle::Heading},
    {"Label19_3", "2", 9660, 600, 105, 225, 9, LabelStyle::Heading},
    {"Label11", "Proton kinetic energy", 4680, 8040, 2895, 285, 9.75, LabelStyle::CaptionBox},
    {"Label26", "MeV", 9120, 8040, 1455, 285, 9.75, LabelStyle::CaptionBox},
    {"Label25", "Total stopping power", 4680, 8400, 2895, 285, 9.75, LabelStyle::CaptionBox},
    {"Label27", "MeV cm2/g", 9120, 8400, 1455, 285, 9.75, LabelStyle::CaptionBox},
};

void setBackground(QWidget *widget, QPalette::ColorRole role, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::All, role, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(role == QPalette::Window);
}

QPushButton *iconButton(QWidget *parent, const char *name, const QRect &rect, const char *icon,
                        const QString &toolTip)
{
    auto *button = place(new QPushButton(parent), name, rect);
    button->setIcon(QIcon(QString::fromLatin1(icon)));
    button->setIconSize(QSize(32, 32));
    setPlainToolTip(button, toolTip);
    return button;
}

QLineEdit *textBox(QWidget *parent, const char *name, const QRect &rect)
{
    auto *box = place(new QLineEdit(parent), name, rect);
    box->setAlignment(Qt::AlignCenter);
    return box;
}

// "Water_liquid.psp" -> "Water_liquid", to which a save adds its own ending.
QString saveStem(const std::string &fileName)
{
    return QFileInfo(fileText(fileName)).completeBaseName();
}

// "1,5": a decimal point typed in a comma-decimal habit, which the leading
// number would read as 1 without a word.
bool hasDecimalComma(const QString &typed)
{
    static const QRegularExpression comma(QStringLiteral(
        "^[ \\t\\n]*[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eEdD][+-]?[0-9]+)?(?<=[0-9]),[0-9]"));
    return comma.match(typed).hasMatch();
}

void setTextIfChanged(QLineEdit *box, const QString &text)
{
    if (box->text() != text)
        box->setText(text);
}

} // namespace

Form1::Form1(std::variant<std::filesystem::path, std::string> dataDirectory)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint)
{
    if (auto *folder = std::get_if<std::filesystem::path>(&dataDirectory))
        dataDirectory_ = std::move(*folder);
    else
        noDataDirectory_ = std::get<std::string>(dataDirectory);
    initAssets();
    setObjectName(QStringLiteral("Form1"));
    setPlainWindowTitle(this, QString::fromLatin1(kProgramTitle));
    setWindowIcon(QIcon(QStringLiteral(":/assets/pennant.xpm")));
    setFixedSize(719, 585);
    setFont(gothicFont(9.75));
    buildLabels();
    buildControls();
    addCalculatorHooks();
    startUp();
}

Form1::~Form1()
{
    // The plot and about windows have no owner; they end with this one.
    delete plot_.data();
    delete about_.data();
    delete calculator_.data();
    delete layers_.data();
}

void Form1::buildLabels()
{
    for (const PlacedLabel &layout : kLabels) {
        auto *label = place(new QLabel(QString::fromLatin1(layout.caption), this), layout.name,
                            twips(layout.left, layout.top, layout.width, layout.height));
        label->setFont(timesFont(layout.points));
        QPalette palette = label->palette();
        if (layout.style == LabelStyle::Heading) {
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            palette.setColor(QPalette::WindowText, kHeadingText);
            // Sized to fit its text, centred where the design centred it, so a
            // wider stand-in font never cuts a heading.
            const QRect designed = label->geometry();
            QRect fitted(QPoint(0, designed.top()), label->sizeHint().expandedTo(designed.size()));
            fitted.moveLeft(designed.center().x() - fitted.width() / 2);
            label->setGeometry(fitted);
        } else {
            label->setAlignment(Qt::AlignCenter);
            label->setFrameStyle(QFrame::Box | QFrame::Plain);
            label->setAutoFillBackground(true);
            palette.setColor(QPalette::Window, kCaptionBackground);
            palette.setColor(QPalette::WindowText, palette.color(QPalette::ButtonText));
        }
        label->setPalette(palette);
    }
}

void Form1::buildControls()
{
    File1 = place(new FileList(this), "File1", twips(120, 600, 1695, 6165));
    File2 = place(new FileList(this), "File2", twips(1920, 600, 2535, 6165));
    for (QListWidget *list : {File1, File2}) {
        list->setFont(pGothicFont(11.25));
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        connect(list, &QListWidget::itemSelectionChanged, this, [this, list] { File_Click(list); });
        // A click on the entry that is still highlighted after the other list
        // was used previews it again: the list used last wins.
        connect(list, &QListWidget::itemClicked, this, [this, list](QListWidgetItem *item) {
            if (item->data(kFileNameRole).toByteArray().toStdString() != selectedFile_)
                File_Click(list);
        });
    }

    Text1 = textBox(this, "Text1", twips(120, 6960, 4335, 285));
    Text2 = textBox(this, "Text2", twips(1080, 7320, 2295, 285));
    for (QLineEdit *box : {Text1, Text2}) {
        box->setCursor(Qt::ArrowCursor);
        useGothicFont(box, 9.75);
    }

    Command3 = iconButton(this, "Command3", twips(120, 7320, 855, 615), ":/assets/question.xpm",
                          QStringLiteral(" 出典 "));
    Command2 = iconButton(this, "Command2", twips(3480, 7680, 855, 735), ":/assets/ok.xpm",
                          QStringLiteral(" GO "));
    Command1 = iconButton(this, "Command1", twips(120, 8040, 855, 615), ":/assets/exit.xpm",
                          QStringLiteral(" bye "));
    for (QPushButton *button : {Command2, Command1})
        setBackground(button, QPalette::Button, kButtonGreen);
    for (QPushButton *button : {Command1, Command2, Command3})
        button->setAutoDefault(true); // Enter presses a focused button, as Space does
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);

    Picture1 = place(new QLabel(this), "Picture1", twips(2160, 7920, 480, 480));
    Picture1->setPixmap(QPixmap(QStringLiteral(":/assets/dog.xpm")));
    setPlainToolTip(Picture1, QStringLiteral(" さわるな ! "));

    List1 = place(new QListWidget(this), "List1", twips(4680, 840, 5895, 7080));
    useGothicFont(List1, 9);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    List1->setUniformItemSizes(true);
    {
        QPalette palette = List1->palette();
        palette.setColor(QPalette::Base, Qt::white);
        palette.setColor(QPalette::Text, Qt::black);
        List1->setPalette(palette);
    }
    connect(List1, &QListWidget::itemSelectionChanged, this, &Form1::List1_Click);

    // Copy and save act on the table only while it has the focus.
    List1->addAction(tr("Copy row"), QKeySequence::Copy, this, &Form1::copyRow)
        ->setShortcutContext(Qt::WidgetShortcut);
    List1->addAction(tr("Copy table"), this, &Form1::copyTable);
    List1->addAction(tr("Save table as..."), QKeySequence::Save, this, &Form1::saveTable)
        ->setShortcutContext(Qt::WidgetShortcut);
    List1->setContextMenuPolicy(Qt::ActionsContextMenu);

    Text3 = textBox(this, "Text3", twips(7560, 8040, 1575, 285));
    Text4 = textBox(this, "Text4", twips(7560, 8400, 1575, 285));
    for (QLineEdit *box : {Text3, Text4}) {
        box->setFont(pGothicFont(9.75));
        setBackground(box, QPalette::Base, kEntryBackground);
        // Opaque, with the window's colour in the frame's rounded corners, so
        // that a new value repaints the box alone and not what lies under it.
        box->setBackgroundRole(QPalette::Window);
        box->setAutoFillBackground(true);
    }
    connect(Text3, &QLineEdit::returnPressed, this, &Form1::Text3_Enter);
    Text3->installEventFilter(this);
    List1->installEventFilter(this); // its own Ctrl+C would copy the display text

    QWidget *order[] = {File1, File2, Command2, Text1,    Text2,
                        List1, Text3, Text4,    Command1, Command3};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void Form1::startUp()
{
    selectedFile_.clear();
    fillFileLists();
    for (QLineEdit *box : {Text1, Text2, Text3, Text4})
        box->setText(QString());
    Text3->setEnabled(false);
    Text4->setEnabled(false);
    File1->setFocus();
}

void Form1::fillFileLists()
{
    const auto warnLater = [this](const QString &text) {
        // Once the window is up, so that the box has something to stand on.
        QMetaObject::invokeMethod(
            this, [this, text] { showWarning(this, text); }, Qt::QueuedConnection);
    };
    if (!noDataDirectory_.empty()) {
        warnLater(fileText(noDataDirectory_));
        return;
    }
    // Both lists show the same folder: it is read once.
    auto listing = listDirectoryFiles(dataDirectory_);
    if (auto *reason = std::get_if<std::string>(&listing)) {
        std::error_code ignored;
        const auto shown = std::filesystem::absolute(dataDirectory_, ignored).string();
        warnLater(tr("The data folder \"%1\" cannot be read (%2).")
                      .arg(fileText(shown), QString::fromStdString(*reason)));
        return;
    }
    const auto &names = std::get<std::vector<std::string>>(listing);
    for (const auto &[list, extension] :
         {std::pair{File1, kElementExtension}, std::pair{File2, kCompoundExtension}}) {
        for (const std::string &name : withExtension(names, extension)) {
            auto *item = new QListWidgetItem(fileText(name), list);
            setPlainToolTip(item, item->text()); // the lists are narrower than most names
            // The name as the file system has it: the shown text may not round-trip.
            item->setData(kFileNameRole, QByteArray::fromStdString(name));
        }
    }
}

void Form1::File_Click(QListWidget *list)
{
    const QList<QListWidgetItem *> selected = list->selectedItems();
    if (selected.isEmpty())
        return;
    selectedFile_ = selected.first()->data(kFileNameRole).toByteArray().toStdString();
    auto header = readMaterialHeader(materialPath(dataDirectory_, selectedFile_));
    if (auto *error = std::get_if<ReadError>(&header)) {
        // The preview names the file GO would load, even one it cannot read.
        // Its one field is the density: a failure tied to a field is there.
        Text1->setText(selected.first()->text());
        Text2->setText(error->field > 0 ? QStringLiteral("ρ= not a number")
                                        : QStringLiteral("ρ= ?"));
        showWarning(this, QString::fromStdString(describe(*error)));
        return;
    }
    const auto &[materialName, density] = std::get<MaterialHeader>(header);
    showPreview(materialName, density);
}

void Form1::showPreview(const std::string &materialName, double density)
{
    setTextIfChanged(Text1, fileText(materialName));
    setTextIfChanged(Text2, QStringLiteral("ρ= ") + QString::fromStdString(formatGeneral(density)) +
                                QStringLiteral(" g/cm3"));
}

void Form1::Command1_Click()
{
    close();
}

void Form1::closeEvent(QCloseEvent *event)
{
    closing_ = true;
    if (plot_)
        plot_->close();
    if (about_)
        about_->close();
    if (calculator_)
        calculator_->close();
    if (layers_)
        layers_->close();
    event->accept();
    QApplication::quit();
}

void Form1::Command2_Click()
{
    // A press that arrives at one of the load's pauses is dropped.
    if (loading_)
        return;
    if (File1->selectedItems().isEmpty() && File2->selectedItems().isEmpty()) {
        showWarning(this, QStringLiteral("Select material"));
        return;
    }
    loadFile(materialPath(dataDirectory_, selectedFile_));
}

bool Form1::loadFile(const std::filesystem::path &path)
{
    if (loading_)
        return false;
    const std::string fileName = path.filename().string();
    // The whole file is read and checked first: a bad file changes nothing.
    auto loaded = loadMaterial(path);
    if (auto *error = std::get_if<ReadError>(&loaded)) {
        showWarning(this, QString::fromStdString(describe(*error)));
        return false;
    }
    auto material = std::get<MaterialPtr>(std::move(loaded));
    // The file may have been replaced since it was clicked: the preview
    // shows what is loaded, not what was there. (A file clicked at the
    // pauses below keeps its own.)
    showPreview(material->name(), material->density);
    loading_ = true;
    struct Reset {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{loading_};

    Text3->setText(QString());
    Text4->setText(QString());
    Text3->setEnabled(true);
    Text4->setEnabled(true);
    List1->clear();
    material_ = material;
    if (plot_)
        plot_->setMaterial(material_);
    QCoreApplication::processEvents();
    if (closing_)
        return false; // the user ended the program at the pause

    QStringList rows;
    rows.reserve(kRowCount);
    for (int k = 1; k <= kRowCount; ++k)
        rows << QLatin1Char(' ') + fileText(material->table.rowText[k]);
    List1->addItems(rows);
    QCoreApplication::processEvents();
    if (closing_)
        return false;

    Form2 *plot = ensurePlotWindow();
    plot->setSaveName(saveStem(fileName));
    setPlainWindowTitle(plot, QStringLiteral("  ") + fileText(material->name()) +
                                  QStringLiteral("     Density = ") +
                                  QString::fromStdString(formatDensity(material->density)) +
                                  QStringLiteral("[g/cm3]"));
    plot->DrawPlot();
    if (calculator_)
        calculator_->setMaterial(material);
    if (compare_)
        compare_->offerLoaded(material);
    return true;
}

Form2 *Form1::plotWindow() const
{
    return plot_;
}
Form3 *Form1::aboutWindow() const
{
    return about_;
}

Form2 *Form1::ensurePlotWindow()
{
    if (!plot_) {
        plot_ = new Form2(material_);
        connect(plot_, &Form2::rowUnderPointer, this, &Form1::selectRowFromPlot);
        connect(plot_, &Form2::calculatorRequested, this, &Form1::openCalculator);
        connect(plot_, &Form2::layersRequested, this, &Form1::openLayers);
    }
    return plot_;
}

void Form1::addCalculatorHooks()
{
    QAction *calculator = addAction(tr("Calculator..."), QKeySequence(Qt::CTRL | Qt::Key_L), this,
                                    &Form1::openCalculator);
    QAction *layers = addAction(tr("Beam through layers..."), QKeySequence(Qt::CTRL | Qt::Key_B),
                                this, &Form1::openLayers);
    QAction *compare = addAction(tr("Compare materials..."), QKeySequence(Qt::CTRL | Qt::Key_M),
                                 this, &Form1::openCompare);
    List1->addAction(calculator);
    List1->addAction(layers);
    List1->addAction(compare);
    for (QLineEdit *box : {Text3, Text4}) {
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this,
                [box, calculator, layers, compare](QPoint at) {
                    std::unique_ptr<QMenu> menu(box->createStandardContextMenu());
                    menu->addSeparator();
                    menu->addAction(calculator);
                    menu->addAction(layers);
                    menu->addAction(compare);
                    menu->exec(box->mapToGlobal(at));
                });
    }
}

void Form1::openCalculator()
{
    if (!calculator_) {
        calculator_ = new CalculatorWindow(dataDirectory_);
        if (material_)
            calculator_->setMaterial(material_);
    }
    if (!Text3->text().isEmpty())
        calculator_->setEnergyText(Text3->text());
    calculator_->show();
    calculator_->raise();
    calculator_->activateWindow();
    calculator_->energyBox->setFocus();
}

void Form1::openCompare()
{
    if (!compare_)
        compare_ = new CompareWindow(dataDirectory_, this);
    if (material_)
        compare_->offerLoaded(material_);
    compare_->show();
    compare_->raise();
    compare_->activateWindow();
}

void Form1::openLayers()
{
    if (!layers_)
        layers_ = new LayersWindow(dataDirectory_);
    layers_->show();
    layers_->raise();
    layers_->activateWindow();
    layers_->beamBox->setFocus();
}

LayersWindow *Form1::layersWindow() const
{
    return layers_;
}

CalculatorWindow *Form1::calculatorWindow() const
{
    return calculator_;
}

void Form1::Command3_Click()
{
    if (!about_)
        about_ = new Form3();
    about_->show();
    about_->raise();
    about_->activateWindow();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text3 && event->type() == QEvent::MouseButtonPress && Text3->isEnabled())
        Text3_Click();
    if (watched == List1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Copy)) {
            copyRow();
            return true;
        }
        // Tabbing in makes row 1 current without selecting it; Down would
        // then skip it.
        if ((key->key() == Qt::Key_Down || key->key() == Qt::Key_Space) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && List1->count() > 0 &&
            List1->selectedItems().isEmpty()) {
            List1->setCurrentRow(0);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::Text3_Click()
{
    Text3->setText(QString());
    Text4->setText(QString());
}

void Form1::Text3_Enter()
{
    if (!material_)
        return;
    const QString typed = Text3->text();
    if (hasDecimalComma(typed)) {
        showWarning(this, tr("\"%1\" has a decimal comma: type the energy with a decimal point.")
                              .arg(typed.trimmed()));
        Text3->setText(QString());
        Text4->setText(QString());
        return;
    }
    const double energy = parseNumber(typed.toStdString());
    const auto total = interpolateTotal(*material_, energy);
    if (!total) {
        showWarning(this, QStringLiteral("This value is out of range."));
        Text3->setText(QString());
        Text4->setText(QString());
        return;
    }
    Text4->setText(QString::fromStdString(formatScientific(*total)));
    Form2 *plot = ensurePlotWindow();
    plot->Line1().setX1(static_cast<float>(MarkerX(energy)));
    plot->Line1().setX2(plot->Line1().x1());
    plot->Line2().setY1(static_cast<float>(MarkerY(*total)));
    plot->Line2().setY2(plot->Line2().y1());
    plot->Line1().setVisible(true);
    plot->Line2().setVisible(true);
}

void Form1::List1_Click()
{
    const QList<QListWidgetItem *> selected = List1->selectedItems();
    if (!selected.isEmpty())
        showRow(List1->row(selected.first()) + 1);
}

void Form1::showRow(int row)
{
    if (row < 1 || row > kRowCount || !material_)
        return;
    const MaterialTable &table = material_->table;
    const double energy = table.energy[row];
    // The cursor readout re-selects the same row on most pointer moves.
    setTextIfChanged(Text3, QString::fromStdString(formatScientific(energy)));
    setTextIfChanged(Text4,
                     QString::fromStdString(formatScientific(table.totalStoppingPower(row))));
    if (energy <= kMarkerThreshold) {
        const double x = MarkerX(energy);
        Form2 *plot = ensurePlotWindow();
        plot->Line1().setX1(static_cast<float>(x));
        plot->Line1().setX2(static_cast<float>(x));
        plot->Line1().setVisible(true);
    }
}

void Form1::copyRow()
{
    const QList<QListWidgetItem *> selected = List1->selectedItems();
    if (!selected.isEmpty() && material_)
        QGuiApplication::clipboard()->setText(
            fileText(material_->table.rowText[List1->row(selected.first()) + 1]));
}

void Form1::copyTable()
{
    if (List1->count() == kRowCount && material_)
        QGuiApplication::clipboard()->setText(
            QString::fromStdString(tableAsTabSeparated(*material_)));
}

void Form1::saveTable()
{
    if (List1->count() != kRowCount || !material_)
        return;
    static const std::vector<FileKind> kinds{
        {tr("CSV (*.csv)"), {QStringLiteral("csv")}},
        {tr("Tab-separated text (*.txt *.tsv)"), {QStringLiteral("txt"), QStringLiteral("tsv")}},
    };
    const auto target =
        askSaveTarget(this, tr("Save table as"), saveStem(material_->fileName), kinds);
    if (!target)
        return;
    const std::string text =
        tableAsFile(*material_, target->kind == 0 ? TableFileFormat::CommaSeparated
                                                  : TableFileFormat::TabSeparated);
    saveFile(this, target->path, [&](QIODevice &out) {
        return out.write(text.data(), static_cast<qint64>(text.size())) ==
               static_cast<qint64>(text.size());
    });
}

void Form1::selectRowFromPlot(int row)
{
    // During a load the list may not hold this row yet.
    if (row < 1 || row > List1->count())
        return;
    QListWidgetItem *item = List1->item(row - 1);
    if (item->isSelected())
        showRow(row); // keeps the vertical line on the row, as a fresh selection would
    else
        List1->setCurrentItem(item);
}

} // namespace quenrow

// SPDX-License-Identifier: MIT
#include "form2.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

#include "data/plot_geometry.h"
#include "draw_plot.h"
#include "image_surface.h"
#include "plot_file.h"
#include "ui/look.h"

namespace quenrow {

Form2::Form2(MaterialPtr material)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      Picture1(new PictureBox(this)), material_(std::move(material))
{
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose); // closing throws away drawing, title and lines
    setPlainWindowTitle(this, QString());
    setGeometry(620, 42, 543, 542);
    setFixedSize(543, 542);

    place(Picture1, "Picture1", QRect(QPoint(8, 8), Picture1->size()));
    connect(Picture1, &PictureBox::mouseMoved, this, &Form2::Picture1_MouseMove);
    connect(Picture1, &PictureBox::densityChanged, this, [this] {
        if (plotted_)
            paintPlot();
    });

    Picture1->addAction(tr("Copy plot"), this, [this] {
        // What is on screen, markers included, at the screen's pixel density.
        QGuiApplication::clipboard()->setPixmap(Picture1->grab(QRect(
            PictureBox::kBorder, PictureBox::kBorder, PictureBox::kInner, PictureBox::kInner)));
    });
    Picture1->addAction(tr("Save plot as..."), QKeySequence::Save, this, &Form2::savePlot);
    Picture1->addAction(tr("Calculator..."), QKeySequence(Qt::CTRL | Qt::Key_L), this,
                        &Form2::calculatorRequested);
    Picture1->addAction(tr("Beam through layers..."), QKeySequence(Qt::CTRL | Qt::Key_B), this,
                        &Form2::layersRequested);
    Picture1->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void Form2::paintPlot()
{
    QImage &image = Picture1->image();
    if (grid_.isNull() || grid_.devicePixelRatio() != image.devicePixelRatio()) {
        grid_ = PictureBox::newImage(image.devicePixelRatio());
        ImageSurface surface(grid_);
        drawPlotGrid(surface);
    }
    image = grid_; // painting below detaches it
    ImageSurface surface(image);
    drawPlotMaterial(surface, material_->table);
    plotted_ = true;
}

void Form2::DrawPlot()
{
    paintPlot();
    Line1().setVisible(false);
    Line2().setVisible(false);
    show();
    raise();
    // Painted now: queued, the plot would wait behind the main window's
    // repaint of the list GO has just refilled, which takes longer. Before
    // the window's first expose this does nothing and the expose paints it.
    Picture1->repaint();
}

void Form2::savePlot()
{
    if (!plotted_)
        return;
    const auto target = askSaveTarget(this, tr("Save plot as"), saveName_, plotFileKinds());
    if (!target)
        return;
    const auto format = static_cast<PlotFormat>(target->kind);
    // Twice the screen's density at least, so that it prints sharply.
    const qreal pngRatio = 2 * Picture1->devicePixelRatio();
    saveFile(this, target->path, [&](QIODevice &out) {
        return writePlot(out, format, material_->table, *Picture1, windowTitle().trimmed(),
                         pngRatio);
    });
}

void Form2::setPointerShape(Qt::CursorShape shape)
{
    // Each change is a request to the window system; most moves keep the shape.
    if (Picture1->cursor().shape() != shape)
        Picture1->setCursor(shape);
}

void Form2::Picture1_MouseMove(float x, float y)
{
    if (!insidePlotFrame(x, y)) {
        setPointerShape(Qt::ArrowCursor);
        Line1().setVisible(false);
        Line2().setVisible(false);
        return;
    }
    setPointerShape(Qt::CrossCursor);
    Line1().setX1(x);
    Line1().setX2(Line1().x1());
    Line2().setY1(y);
    Line2().setY2(y);
    Line1().setVisible(true);
    Line2().setVisible(true);
    if (material_)
        emit rowUnderPointer(nearestRow(material_->table, x));
}

} // namespace quenrow

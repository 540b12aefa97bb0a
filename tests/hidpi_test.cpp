// SPDX-License-Identifier: MIT
// The plot on a screen of twice the usual pixel density: the image is drawn
// at full resolution and every mapping stays in logical pixels.
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

#include "data/plot_geometry.h"
#include "qt_support.h"
#include "test_support.h"
#include "ui/look.h"
#include "ui/main/form1.h"
#include "ui/plot/draw_plot.h"
#include "ui/plot/form2.h"
#include "ui/plot/image_surface.h"

using namespace quenrow;

class HighDensityTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        registerFontSubstitutions();
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
    }

    void plotIsDrawnAtTwiceThePixels()
    {
        test::WarningRecorder warnings;
        Form1 form(test::bundledDataDirectory());
        QCOMPARE(form.size(), QSize(719, 585));
        QVERIFY(test::loadFile(form, QStringLiteral("Water_liquid.psp")));
        Form2 *plot = form.plotWindow();
        const QImage &image = plot->Picture1->image();
        QCOMPARE(image.devicePixelRatio(), 2.0);
        QCOMPARE(image.size(), QSize(1050, 1050));
        QCOMPARE(plot->Picture1->size(), QSize(529, 529));
        // Frame corners at twice their logical place, within two device pixels.
        for (const QPointF corner : {QPointF(43.5, 477.5), QPointF(510.5, 17.5)}) {
            bool white = false;
            for (int dx = -2; dx <= 2; ++dx)
                for (int dy = -2; dy <= 2; ++dy)
                    white |= image.pixelColor(QPoint(qRound(corner.x() * 2) + dx,
                                                     qRound(corner.y() * 2) + dy)) == Qt::white;
            QVERIFY(white);
        }
        // A one-pixel grid line is two device pixels wide, not a blurred upscale.
        const int gridX = qRound(UserScale::toPixelX(std::log(10.0)) * 2);
        const int y = qRound(UserScale::toPixelY(3.2) * 2);
        int grey = 0;
        for (int x = gridX - 3; x <= gridX + 3; ++x)
            grey += image.pixelColor(x, y) == QColor(128, 128, 128);
        QCOMPARE(grey, 2);
    }

    void plotIsDrawnAgainAtANewDensity()
    {
        // As if the window had just come from a screen of one device pixel a pixel.
        test::WarningRecorder warnings;
        Form1 form(test::bundledDataDirectory());
        QVERIFY(test::loadFile(form, QStringLiteral("Water_liquid.psp")));
        PictureBox *box = form.plotWindow()->Picture1;
        box->image() = PictureBox::newImage(1);
        box->grab();
        QCOMPARE(box->image().devicePixelRatio(), 2.0);
        QImage whole = PictureBox::newImage(2);
        {
            ImageSurface surface(whole);
            drawPlotImage(surface, form.material()->table);
        }
        QVERIFY(box->image() == whole);
    }

    void pointerAndMarkersStayExact()
    {
        test::WarningRecorder warnings;
        Form1 form(test::bundledDataDirectory());
        QVERIFY(test::loadFile(form, QStringLiteral("Water_liquid.psp")));
        Form2 *plot = form.plotWindow();
        const MaterialTable &table = form.material()->table;
        for (int row : {1, 40, 90, 131}) {
            const QPointF at = PictureBox::toWidget(MarkerX(table.energy[row]), 5);
            QMouseEvent move(QEvent::MouseMove, at, plot->Picture1->mapToGlobal(at), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(plot->Picture1, &move);
            QCOMPARE(form.List1->currentRow(), row - 1);
        }
        form.List1->setCurrentRow(10);
        QCOMPARE(plot->Line1().x1(), static_cast<float>(MarkerX(table.energy[11])));
    }
};

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    HighDensityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "hidpi_test.moc"

// SPDX-License-Identifier: MIT
// Under X11: what the server shows of each window is what the window paints,
// after pointer sweeps over the plot that move the markers, refill the
// readout and scroll the table list. Run under Xvfb by ctest.
#include <cmath>

#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include "data/plot_geometry.h"
#include "qt_support.h"
#include "test_support.h"
#include "ui/look.h"
#include "ui/main/form1.h"
#include "ui/plot/form2.h"
#include "ui/plot/picture_box.h"

using namespace quenrow;

namespace {

// Where `shown` and `painted` first differ, or "" when they do not.
QString firstDifference(const QImage &shown, const QImage &painted)
{
    if (shown.size() != painted.size())
        return QStringLiteral("sizes differ");
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != painted.pixel(x, y))
                return QStringLiteral("at (%1, %2)").arg(x).arg(y);
    return {};
}

} // namespace

class X11Test : public QObject {
    Q_OBJECT

    void compareWithTheServer(QWidget *window, const char *when)
    {
        QCoreApplication::processEvents(); // the idle work after a repaint too
        const QImage shown = window->screen()
                                 ->grabWindow(window->winId())
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
        const QImage painted = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QString difference = firstDifference(shown, painted);
        QVERIFY2(difference.isEmpty(),
                 qPrintable(window->objectName() + " " + when + ": " + difference));
    }

private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X display");
        registerFontSubstitutions();
    }

    void theServerShowsWhatTheWindowsPaint()
    {
        Form1 form(test::bundledDataDirectory());
        form.move(0, 0);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(test::loadFile(form, QStringLiteral("Water_liquid.psp")));
        Form2 *plot = form.plotWindow();
        QVERIFY(plot);
        plot->move(form.frameGeometry().right() + 40, 0); // side by side, nothing covered
        QVERIFY(QTest::qWaitForWindowExposed(plot));
        form.Command2->setFocus(); // no blinking text cursor in the grabs
        compareWithTheServer(&form, "after GO");

        QWindow *window = plot->windowHandle();
        const QPointF low = PictureBox::toWidget(0, 0);
        const QPointF high = PictureBox::toWidget(kFrameRight, kFrameTop);
        constexpr int kMoves = 240;
        for (int i = 0; i <= kMoves; ++i) {
            // Across and back, on a wave, so that rows change and the list scrolls.
            const double t = i <= kMoves / 2 ? 2.0 * i / kMoves : 2.0 - 2.0 * i / kMoves;
            const double wave = 0.5 + 0.4 * std::sin(i / 9.0);
            const QPoint at(int(std::lround(low.x() + t * (high.x() - low.x()))),
                            int(std::lround(high.y() + wave * (low.y() - high.y()))));
            QTest::mouseMove(window, plot->Picture1->mapTo(plot, at));
            if (i % 40 == 0) {
                const QByteArray when = "after move " + QByteArray::number(i);
                compareWithTheServer(&form, when);
                compareWithTheServer(plot, when);
            }
        }
        QVERIFY(form.List1->currentRow() >= 0);
        compareWithTheServer(&form, "after the sweeps");
        compareWithTheServer(plot, "after the sweeps");

        // GO again with a row shown: the load clears the boxes and the
        // scrolled list at its pauses, and the list is laid out after it.
        form.Command2->click();
        QTRY_COMPARE(form.List1->count(), 132);
        QTest::qWait(50);
        compareWithTheServer(&form, "after GO with a row shown");
        compareWithTheServer(plot, "after GO with a row shown");
    }
};

QTEST_MAIN(X11Test)
#include "x11_test.moc"

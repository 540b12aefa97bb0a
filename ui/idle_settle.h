// SPDX-License-Identifier: MIT
// Quenrow: the X server's hold on a window's shared-memory pixels, settled
// while the program is idle instead of at the next paint.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace quenrow {

// Under X11, Qt hands a window's new pixels to the server in shared memory.
// Before it paints over pixels the server may still be reading, it waits for
// a round trip to the server, and a pointer move repaints the very pixels the
// last move put there: every move waited 0.1 to 0.3 ms (under Xvfb on this
// machine) before it could paint. A settler waits for that round trip right
// after each repaint of its window, once the event loop has nothing else to
// do, so that the next repaint finds the pixels free.
//
// It asks Qt's backing store for the wait as a paint of `parts`: widgets that
// are never scrolled, whose pixels the program has always painted itself,
// which the paint leaves as they are. Only on the xcb platform, for an opaque
// window that is shown.
class IdleSettle final : public QObject {
public:
    IdleSettle(QWidget *window, QList<QWidget *> parts);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void customEvent(QEvent *event) override;

private:
    QPointer<QWidget> window_;
    QList<QPointer<QWidget>> parts_;
    bool pending_ = false;
};

} // namespace quenrow

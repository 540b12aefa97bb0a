// SPDX-License-Identifier: MIT
#include "idle_settle.h"

#include <QBackingStore>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QRegion>
#include <QWindow>

namespace quenrow {

namespace {

const QEvent::Type kSettle = static_cast<QEvent::Type>(QEvent::registerEventType());

} // namespace

IdleSettle::IdleSettle(QWidget *window, QList<QWidget *> parts) : QObject(window), window_(window)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return; // elsewhere nothing waits like this
    for (QWidget *part : parts) {
        parts_ << part;
        part->installEventFilter(this);
    }
}

bool IdleSettle::eventFilter(QObject *, QEvent *event)
{
    // A part's paint is put to the server right after it; settle after that.
    if (event->type() == QEvent::Paint && !pending_) {
        pending_ = true;
        QCoreApplication::postEvent(this, new QEvent(kSettle), Qt::LowEventPriority);
    }
    return false;
}

void IdleSettle::customEvent(QEvent *event)
{
    if (event->type() != kSettle)
        return;
    pending_ = false;
    QWidget *window = window_;
    if (!window || !window->isVisible() || !window->windowHandle() ||
        !window->windowHandle()->isExposed() || window->windowHandle()->format().hasAlpha())
        return;
    // A backing store still to be resized is left to the next repaint, which
    // resizes it and paints it all.
    QBackingStore *store = window->backingStore();
    if (!store || store->size().isEmpty() || store->size() != window->size())
        return;
    QRegion region;
    for (const QPointer<QWidget> &part : parts_)
        if (part && part->isVisible())
            region += QRect(part->mapTo(window, QPoint(0, 0)), part->size());
    if (region.isEmpty())
        return;
    store->beginPaint(region);
    store->endPaint();
}

} // namespace quenrow

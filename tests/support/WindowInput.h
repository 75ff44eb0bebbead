#pragma once

// Clicks and keys given to a window as the window system gives them: to the window, which hands
// them to the control under the pointer or with the focus, the application's own handling
// (focus by click, shortcuts, event filters on the window) included.

#include <QCoreApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QProcess>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <cstdlib>

namespace windowtest {

constexpr QPoint kCentre(-1, -1);

// A point of a widget (its centre by default) in the coordinates of its window.
inline QPoint InWindow(QWidget* widget, QPoint point = kCentre)
{
    return widget->mapTo(widget->window(), point == kCentre ? widget->rect().center() : point);
}

// A click: the press is handled, and what it set going has run, before the release comes.
inline void Click(QWidget* widget, QPoint point = kCentre)
{
    QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {}, InWindow(widget, point));
}

// A press and its release that arrive together, as a quick click does while the program is
// busy: both are queued before either is handled. `throughWindow` false sends them to the
// widget itself rather than to its window.
inline void QuickClick(QWidget* widget, QPoint point = kCentre, bool throughWindow = true)
{
    if (point == kCentre)
        point = widget->rect().center();
    QObject* target = throughWindow ? static_cast<QObject*>(widget->window()->windowHandle()) : widget;
    const QPointF local = throughWindow ? QPointF(InWindow(widget, point)) : QPointF(point);
    const QPointF global = widget->mapToGlobal(QPointF(point));
    auto* press = new QMouseEvent(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    auto* release = new QMouseEvent(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QSpontaneKeyEvent::setSpontaneous(press);
    QSpontaneKeyEvent::setSpontaneous(release);
    QCoreApplication::postEvent(target, press);
    QCoreApplication::postEvent(target, release);
    QCoreApplication::processEvents();
}

// The wheel turned over a point of a widget (up when `notches` is positive), by the X server
// itself (xdotool), so that the turns reach the program as the user's do: to the window, which
// hands them to the control under the pointer, the focus the wheel gives included.
inline bool Wheel(QWidget* widget, int notches, QPoint point = kCentre)
{
    const QPoint global = widget->mapToGlobal(point == kCentre ? widget->rect().center() : point);
    const auto xdotool = [](const QStringList& arguments) {
        return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
    };
    if (!xdotool({QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y())}) ||
        !QTest::qWaitFor([&] { return QCursor::pos() == global; }, 2000))
        return false;
    if (!xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(std::abs(notches)),
                  QStringLiteral("--delay"), QStringLiteral("10"), notches > 0 ? QStringLiteral("4") : QStringLiteral("5")}))
        return false;
    QTest::qWait(200);  // the turns have arrived and been handled
    return true;
}

inline void Key(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(window->windowHandle(), key, modifiers);
}

// Keys typed into the window; it hands them to the control with the focus.
inline void Type(QWidget* window, const QString& keys)
{
    for (const QChar c : keys)
        QTest::keyClick(window->windowHandle(), c.toLatin1());
}

}  // namespace windowtest

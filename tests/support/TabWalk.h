#pragma once

// A window walked with Tab and Shift+Tab as a user without a mouse walks it: which control has
// the focus, and the controls the keys lead to in turn.

#include "WindowInput.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QStringList>
#include <QWidget>

#include <algorithm>

namespace windowtest {

// The control with the focus, by its object name; a cell editor counts as its grid.
inline QString FocusName()
{
    QWidget* focus = QApplication::focusWidget();
    for (QWidget* w = focus; w; w = w->parentWidget())
        if (qobject_cast<QAbstractItemView*>(w))
            return w->objectName();
    return focus ? focus->objectName() : QStringLiteral("(none)");
}

// The controls that Tab (Shift+Tab when `forward` is false) leads to from the one with the
// focus, each once in the order they are met, up to the one that leads back to the start. The
// cells of a grid walked on the way count as the grid. A control met twice before the start
// comes back ends the list with "again"; one that keeps the focus for `maxKeys` presses ends it
// with a note saying so.
inline QStringList TabWalk(QWidget* window, bool forward, int maxKeys = 200)
{
    QStringList met{FocusName()};
    for (int i = 0; i < maxKeys; ++i) {
        if (forward)
            Key(window, Qt::Key_Tab);
        else
            Key(window, Qt::Key_Backtab, Qt::ShiftModifier);
        const QString now = FocusName();
        if (now == met.last())
            continue;
        if (now == met.first())
            return met;
        if (met.contains(now)) {
            met << now + QStringLiteral(" again");
            return met;
        }
        met << now;
    }
    met << QStringLiteral("(kept by %1 for %2 keys)").arg(met.last()).arg(maxKeys);
    return met;
}

// The walk back: the same controls from the same start, the others in the opposite order.
inline QStringList Reversed(const QStringList& walk)
{
    QStringList back = walk.mid(1);
    std::reverse(back.begin(), back.end());
    back.prepend(walk.value(0));
    return back;
}

}  // namespace windowtest

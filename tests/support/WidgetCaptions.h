#pragma once

// The captions of a window's controls as they are drawn. Buttons, group boxes and labels with a
// buddy read a lone "&" as the mark of a keyboard shortcut and do not draw it, and draw "&&" as
// one "&"; other labels draw their text as it stands. These programs have no such shortcuts, so
// every "&" of their captions must be drawn.

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QStringList>
#include <QWidget>

namespace widgettest {

// The caption a control holds, and whether it reads shortcut marks in it.
inline QString CaptionOf(const QWidget* control, bool* marks = nullptr)
{
    bool withMarks = true;
    QString caption;
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        caption = button->text();
    } else if (const auto* box = qobject_cast<const QGroupBox*>(control)) {
        caption = box->title();
    } else if (const auto* label = qobject_cast<const QLabel*>(control)) {
        caption = label->text();
        withMarks = label->buddy() != nullptr;
    }
    if (marks)
        *marks = withMarks;
    return caption;
}

// The caption of a control as the user reads it; empty for a control without one.
inline QString ShownCaption(const QWidget* control)
{
    bool marks = false;
    const QString caption = CaptionOf(control, &marks);
    if (!marks)
        return caption;
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && ++i >= caption.size())
            break;
        shown += caption.at(i);
    }
    return shown;
}

// Every caption in the window that is not drawn as it reads, as "caption as set -> as drawn".
inline QStringList MisdrawnAmpersands(const QWidget* window)
{
    QStringList misdrawn;
    const QList<QWidget*> controls = window->findChildren<QWidget*>();
    for (const QWidget* control : controls) {
        bool marks = false;
        const QString caption = CaptionOf(control, &marks);
        const bool wrong = marks ? QString(caption).remove(QStringLiteral("&&")).contains(u'&')
                                 : caption.contains(QStringLiteral("&&"));
        if (wrong)
            misdrawn << caption + QStringLiteral(" -> ") + ShownCaption(control);
    }
    return misdrawn;
}

}  // namespace widgettest

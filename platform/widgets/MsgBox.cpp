#include "MsgBox.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>
#include <cstdio>

namespace MsgBox {

namespace {
Hook& CurrentHook()
{
    static Hook hook;
    return hook;
}


// A box breaks a line that is wider than half the screen, even where the box could show it
// whole. A line of a message may be a command to type as it stands: the box is made as wide
// as its widest line instead, up to the widest a box may be with its icon and margins; only a
// line wider than that is broken.
void KeepLinesWhole(QMessageBox& box, const QString& text)
{
    auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
    const QScreen* screen = box.screen();
    if (!label || !screen)
        return;
    const QFontMetrics metrics(label->font());
    int widest = 0;
    for (const QString& line : text.split(u'\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const int screenWidth = screen->availableGeometry().width();
    const int boxLimit = screenWidth <= 1024 ? screenWidth : std::min(screenWidth - 480, 1000);
    const int iconAndMargins = 120;
    label->setMinimumWidth(std::max(0, std::min(widest + 4, boxLimit - iconAndMargins)));
}

QList<int> AnswersOf(int style)
{
    switch (style & 7) {
    case vbOKCancel: return {vbOK, vbCancel};
    case vbAbortRetryIgnore: return {vbAbort, vbRetry, vbIgnore};
    case vbYesNoCancel: return {vbYes, vbNo, vbCancel};
    case vbYesNo: return {vbYes, vbNo};
    case vbRetryCancel: return {vbRetry, vbCancel};
    default: return {vbOK};
    }
}

QMessageBox::StandardButton ButtonOf(int answer)
{
    switch (answer) {
    case vbOK: return QMessageBox::Ok;
    case vbCancel: return QMessageBox::Cancel;
    case vbAbort: return QMessageBox::Abort;
    case vbRetry: return QMessageBox::Retry;
    case vbIgnore: return QMessageBox::Ignore;
    case vbYes: return QMessageBox::Yes;
    case vbNo: return QMessageBox::No;
    default: return QMessageBox::Ok;
    }
}
}  // namespace

bool Unattended()
{
    const QString mode = qEnvironmentVariable("CORVANTIS_MESSAGE_BOXES");
    if (mode.compare(QStringLiteral("log"), Qt::CaseInsensitive) == 0)
        return true;
    if (mode.compare(QStringLiteral("show"), Qt::CaseInsensitive) == 0)
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform.compare(QStringLiteral("offscreen"), Qt::CaseInsensitive) == 0
           || platform.compare(QStringLiteral("minimal"), Qt::CaseInsensitive) == 0;
}

void SetHook(Hook hook)
{
    CurrentHook() = std::move(hook);
}

int DefaultAnswer(int style)
{
    const QList<int> answers = AnswersOf(style);
    const int which = (style >> 8) & 3;
    return answers.value(which, answers.first());
}

int Show(QWidget* parent, const QString& prompt, int style, const QString& title)
{
    const QString caption = title.isEmpty() ? QCoreApplication::applicationName() : title;
    if (CurrentHook())
        return CurrentHook()(prompt, style, caption);
    if (Unattended()) {
        QString line = prompt;
        line.replace(QStringLiteral("\r\n"), QStringLiteral(" / "));
        std::fprintf(stderr, "Message box: %s | %s\n", qUtf8Printable(caption), qUtf8Printable(line));
        std::fflush(stderr);
        return DefaultAnswer(style);
    }

    QMessageBox box(parent);
    box.setWindowTitle(caption);
    // Messages break their lines with CR LF; the box shows one line break for each.
    QString shown = prompt;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    box.setTextFormat(Qt::PlainText);
    box.setText(shown);
    KeepLinesWhole(box, shown);
    switch (style & 0x70) {
    case vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vbInformation: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    const QList<int> answers = AnswersOf(style);
    for (int answer : answers)
        box.addButton(ButtonOf(answer));
    box.setDefaultButton(ButtonOf(DefaultAnswer(style)));
    if (answers.contains(vbCancel))
        box.setEscapeButton(ButtonOf(vbCancel));
    else if (answers.contains(vbNo))
        box.setEscapeButton(ButtonOf(vbNo));
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (int answer : answers)
        if (clicked && clicked == box.button(ButtonOf(answer)))
            return answer;
    return answers.contains(vbCancel) ? int(vbCancel) : answers.last();
}

}  // namespace MsgBox

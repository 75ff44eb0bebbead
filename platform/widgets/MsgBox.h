#pragma once

#include <QString>
#include <functional>

class QWidget;

// Message boxes with the runtime's button and icon values, so that the values clsSetup passes
// with its Message event work unchanged.
namespace MsgBox {

enum Style {
    vbOKOnly = 0, vbOKCancel = 1, vbAbortRetryIgnore = 2, vbYesNoCancel = 3, vbYesNo = 4, vbRetryCancel = 5,
    vbCritical = 16, vbQuestion = 32, vbExclamation = 48, vbInformation = 64,
    vbDefaultButton1 = 0, vbDefaultButton2 = 256, vbDefaultButton3 = 512,
};
enum Answer { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

// Answers a box instead of showing it: gets the text, the style value and the title and
// returns the answer. Window tests install one; an empty function shows boxes again.
using Hook = std::function<int(const QString& prompt, int style, const QString& title)>;
void SetHook(Hook hook);

// The answer a box gives when its default button is pressed.
int DefaultAnswer(int style);

// Whether no one can answer a box: the environment variable CORVANTIS_MESSAGE_BOXES is "log"
// (unattended runs), or the program runs on a platform that shows nothing (offscreen or
// minimal, as a service does) and the variable is not "show".
bool Unattended();

// Shows a modal box and returns the answer. An empty title stands for the program's own
// title. Unattended, no box opens: the box is written to the standard error stream as one line
// beginning "Message box: " and answered with its default button.
int Show(QWidget* parent, const QString& prompt, int style, const QString& title = QString());

}  // namespace MsgBox

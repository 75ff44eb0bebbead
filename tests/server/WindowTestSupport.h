#pragma once

#include "MsgBox.h"
#include "ServerTestSupport.h"
#include "frmTessarinMobileClient.h"

#include <QStringList>
#include <QTest>

#include <memory>

namespace servertest {

// Records every message box the window would show and answers it: with `answer` when set,
// otherwise with the box's default button.
struct BoxRecorder {
    QStringList texts;
    QStringList titles;
    int answer = 0;
    BoxRecorder()
    {
        MsgBox::SetHook([this](const QString& prompt, int style, const QString& title) {
            texts << prompt;
            titles << title;
            return answer != 0 ? answer : MsgBox::DefaultAnswer(style);
        });
    }
    ~BoxRecorder() { MsgBox::SetHook({}); }
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;
    bool Saw(const QString& text) const { return texts.contains(text); }
};

// A window on an installation, with a lock of its own.
inline std::unique_ptr<frmTessarinMobileClient> MakeWindow(const QString& programFolder, const QString& lockFolder,
                                                           const QStringList& arguments = {})
{
    ServerWindowOptions options;
    options.programFolder = programFolder;
    options.lockFilePath = lockFolder + QStringLiteral("/server.lock");
    options.arguments = arguments;
    return std::make_unique<frmTessarinMobileClient>(options);
}

// Shows the window and waits for the end of its start-up; true when it runs on.
inline bool StartWindow(frmTessarinMobileClient& window, int timeoutMs = 15000)
{
    window.show();
    (void)QTest::qWaitFor([&] { return window.IsStarted() || window.IsUnloaded(); }, timeoutMs);
    return window.IsStarted() && !window.IsUnloaded();
}

}  // namespace servertest

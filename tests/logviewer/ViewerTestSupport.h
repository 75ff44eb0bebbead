#pragma once

#include "Fixtures.h"
#include "MsgBox.h"
#include "frmTessarinMobileLog.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QUrl>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// What the viewer's tests, its benchmark and its screenshot command share: an installation
// folder ending in CALDERWICK/Corvantis over an embedded database, request-log rows written by
// the server's own request-log code, and a window started on it.
namespace viewertest {

// One request as the server logs it: the request arrives at `requested` and is answered at
// `responded` (an invalid time: no answer was logged).
struct LoggedRequest {
    QDateTime requested;
    QString ipAddress;
    QString requestJSON;
    QDateTime responded;
    QString responseJSON;
};

// A request text as a mobile sends it, with its password.
QString RequestText(const QString& action, const QString& mobileNo, const QString& userID = QString(),
                    const QString& folderName = QString());

// A temporary installation: <tmp>/CALDERWICK/Corvantis with a settings file, one company
// database under <tmp>/data, and that folder's credentials in this process's settings store
// (which the caller has isolated first, see fixtures::IsolateUserSettings).
class Installation {
public:
    explicit Installation(bool withSettingsFile = true);
    bool IsValid() const { return m_ok; }
    QString ProgramFolder() const { return m_program; }
    QString DataFolder() const { return m_data; }
    QString Root() const { return m_dir.path(); }

    // Writes the requests through clsSetup.InsertRequest and clsSetup.UpdateRequest with the
    // clock set to each request's times (the clock runs free again afterwards); the RequestIDs.
    QList<qint32> Log(const QList<LoggedRequest>& requests) const;
    // Runs SQLite statements on the request-log database (master.sqlite).
    void ExecOnLog(const QString& sql) const;

private:
    QTemporaryDir m_dir;
    QString m_program;
    QString m_data;
    bool m_ok = false;
};

// A window on an installation, with a lock of its own in `lockFolder`.
std::unique_ptr<frmTessarinMobileLog> MakeWindow(const QString& programFolder, const QString& lockFolder);
// Shows the window and waits for the end of its start-up; true when it runs on.
bool StartWindow(frmTessarinMobileLog& window, int timeoutMs = 15000);
// Starts the window and makes it the active one, as the user's window is; true when it runs on.
bool StartActiveWindow(frmTessarinMobileLog& window);

// The text of one column of the rows on show, as the grid shows them, top to bottom.
QStringList GridColumn(const frmTessarinMobileLog& window, int col);

// Takes the folder the shell is asked to open (set it with QDesktopServices::setUrlHandler).
class FolderOpener : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void Open(const QUrl& url) { opened << url; }
};

// Records every message box and answers it with its default button.
struct BoxRecorder {
    QStringList texts;
    QList<int> styles;
    QStringList titles;
    BoxRecorder();
    ~BoxRecorder();
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;
};

}  // namespace viewertest

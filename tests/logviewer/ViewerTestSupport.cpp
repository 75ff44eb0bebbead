#include "ViewerTestSupport.h"

#include "clock/Clock.h"
#include "clsSetup.h"

#include <QDir>
#include <QTableView>
#include <QTest>

#include <sqlite3.h>
#include <stdexcept>

namespace viewertest {

QString RequestText(const QString& action, const QString& mobileNo, const QString& userID, const QString& folderName)
{
    QString text = QStringLiteral("{\"Action\":\"") + action + QStringLiteral("\",\"MobileNo\":\"") + mobileNo + QLatin1Char('"');
    if (!userID.isEmpty())
        text += QStringLiteral(",\"UserID\":\"") + userID + QStringLiteral("\",\"Password\":\"pemo\"");
    if (!folderName.isEmpty())
        text += QStringLiteral(",\"FolderName\":\"") + folderName + QLatin1Char('"');
    return text + QStringLiteral("}<EOF>");
}

Installation::Installation(bool withSettingsFile)
{
    if (!m_dir.isValid())
        return;
    m_program = m_dir.path() + QStringLiteral("/CALDERWICK/Corvantis");
    m_data = m_dir.path() + QStringLiteral("/data");
    QDir().mkpath(m_program);
    QDir().mkpath(m_data);
    {
        fixtures::CompanyDatabase company(m_data, QStringLiteral("TESTCO"));
        company.AddCompany();
    }
    fixtures::StoreCredentials(m_data);
    if (withSettingsFile)
        fixtures::WriteSettingsFile(m_program);
    m_ok = true;
}

QList<qint32> Installation::Log(const QList<LoggedRequest>& requests) const
{
    clsSetup setup(m_program);
    if (!setup.CheckLogData())
        throw std::runtime_error("the request-log table could not be made");
    QList<qint32> ids;
    for (const LoggedRequest& request : requests) {
        platform::Clock::Set(request.requested);
        const qint32 id = setup.InsertRequest(request.ipAddress, request.requestJSON);
        if (id < 0)
            throw std::runtime_error("a request could not be logged");
        if (request.responded.isValid()) {
            platform::Clock::Set(request.responded);
            setup.UpdateRequest(id, request.responseJSON);
        }
        ids << id;
    }
    platform::Clock::Reset();
    return ids;
}

void Installation::ExecOnLog(const QString& sql) const
{
    sqlite3* db = nullptr;
    const QByteArray path = QDir(m_data).filePath(QStringLiteral("master.sqlite")).toUtf8();
    if (sqlite3_open(path.constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("master.sqlite could not be opened");
    }
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (rc != SQLITE_OK)
        throw std::runtime_error(message);
}

std::unique_ptr<frmTessarinMobileLog> MakeWindow(const QString& programFolder, const QString& lockFolder)
{
    LogViewerOptions options;
    options.programFolder = programFolder;
    options.lockFilePath = lockFolder + QStringLiteral("/viewer.lock");
    return std::make_unique<frmTessarinMobileLog>(options);
}

bool StartWindow(frmTessarinMobileLog& window, int timeoutMs)
{
    window.show();
    (void)QTest::qWaitFor([&] { return window.IsStarted() || window.IsUnloaded(); }, timeoutMs);
    return window.IsStarted() && !window.IsUnloaded();
}

bool StartActiveWindow(frmTessarinMobileLog& window)
{
    if (!StartWindow(window))
        return false;
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

QStringList GridColumn(const frmTessarinMobileLog& window, int col)
{
    QStringList texts;
    const QAbstractItemModel* model = window.Grid()->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->data(model->index(row, col), Qt::DisplayRole).toString();
    return texts;
}

BoxRecorder::BoxRecorder()
{
    MsgBox::SetHook([this](const QString& prompt, int style, const QString& title) {
        texts << prompt;
        styles << style;
        titles << title;
        return MsgBox::DefaultAnswer(style);
    });
}

BoxRecorder::~BoxRecorder()
{
    MsgBox::SetHook({});
}

}  // namespace viewertest

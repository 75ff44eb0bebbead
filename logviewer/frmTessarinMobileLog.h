#pragma once

#include "LogGrid.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class clsSetup;
class QLockFile;
class QPushButton;
class QTableView;
class QTimer;

// How a window is started: the delivered program takes the defaults; tests name their own
// folder and lock.
struct LogViewerOptions {
    QString programFolder;  // empty: the folder of the running program
    QString lockFilePath;   // empty: the per-user lock of the running copy
};

// The main and only window of Lodrevin: the request-log rows of a date range in a grid with a
// filter bar and sortable headings, and the request and reply of a row in the memo window. All
// reading, sorting and filtering is done by the window's own settings object; the grid shows
// that object's row list.
class frmTessarinMobileLog : public QWidget {
    Q_OBJECT
public:
    using Options = LogViewerOptions;

    explicit frmTessarinMobileLog(const Options& options = Options(), QWidget* parent = nullptr);
    ~frmTessarinMobileLog() override;

    // The data field of each grid column, in column order.
    static const QStringList& DataFields();
    static const QStringList& Headings();

    // --- state for the program and for tests
    bool IsUnloaded() const { return m_unloaded; }
    bool IsStarted() const { return m_started; }
    int ExitCode() const { return m_exitCode; }
    clsSetup* GetSetup() const { return Setup.get(); }
    logviewer::LogDateEdit* TDBDate(int index) const;
    QPushButton* Command(int index) const;
    QTableView* Grid() const { return m_grid; }
    logviewer::FilterHeader* FilterBar() const { return m_filterBar; }
    logviewer::LogGridModel* GridModel() const { return m_model; }
    QTimer* Timer() const { return m_tmrTimer; }
    int CurrentColumn() const { return m_currentColumn; }
    // The column whose heading carries a sort picture (-1: none) and its key.
    int PictureColumn() const;
    QString PictureKey() const { return m_pictureKey; }
    int PictureWidth() const;
    // The filter as the filter bar stands: one term per column joined by "|", or "" when every
    // term is empty.
    QString LogViewerFilterText() const;
    QStringList FilterTerms() const;

public slots:
    void cmdCommand_Click(int Index);
    void TDBDate_ValidateDateRange(int Index, bool* Cancel);
    void TDBGrid_ShowRequestAndResponse(int Index, int ColIndex);
    void TDBGrid_SortByColumn(int Index, int ColIndex);
    void TDBGrid_RestartFilterTimer(int Index);
    void tmrTimer_Timer();
    // A close asked from outside the program (a stop signal): the window closes as by its
    // Exit button, once the boxes and the memo window open over it are closed.
    void CloseFromOutside();

signals:
    // The start-up of the first activation ended: true when the window runs on.
    void StartupFinished(bool ok);
    // The window has been unloaded; the program ends with ExitCode().
    void Unloaded(int exitCode);

protected:
    void showEvent(class QShowEvent* event) override;
    void closeEvent(class QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void Form_Load();
    void Form_Activate();
    void Form_Unload();
    void CloseForm(int exitCode = 0);
    void LoadLogData();
    void OpenLogFolder();
    void ShowSortImage();
    void ClearSortImage();
    void ClearFilterText();
    void SetCurrentColumn(int col);
    void ShowRuntimeError(long number, const QString& description);
    void ShowFailure(const QString& text);

    void Setup_Message(const QString& pMsgSource, const QString& pMsgDataField, qint32 pMsgNumber,
                       const QString& pMsgDescription, qint32 pMsgButton, qint32 pCancelButton, bool* pCancel,
                       bool pSetFocus);
    void Setup_ShowEvents(const QString& pText);
    void Setup_RebindGrid();

    Options m_options;
    std::unique_ptr<clsSetup> Setup;
    std::unique_ptr<QLockFile> m_instanceLock;

    logviewer::LogDateEdit* m_TDBDate[2] = {nullptr, nullptr};
    QPushButton* m_cmdCommand[3] = {nullptr, nullptr, nullptr};
    QTableView* m_grid = nullptr;
    logviewer::FilterHeader* m_filterBar = nullptr;
    logviewer::LogGridModel* m_model = nullptr;
    QTimer* m_tmrTimer = nullptr;
    logviewer::ImageList m_imgMain;
    QList<int> m_columnWidths;
    QString m_pictureKey;
    int m_currentColumn = 0;
    // The failure a read of the log reported while it ran ("" when none).
    QString m_readFailure;
    bool m_reading = false;

    bool m_started = false;
    bool m_activating = false;
    bool m_unloaded = false;
    int m_exitCode = 0;
};

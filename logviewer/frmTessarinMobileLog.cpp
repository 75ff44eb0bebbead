#include "frmTessarinMobileLog.h"

#include "LogFonts.h"
#include "MsgBox.h"
#include "PressedByEnter.h"
#include "clock/Clock.h"
#include "clsSetup.h"
#include "core/RuntimeError.h"
#include "frmMemo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QTableView>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <iterator>

#ifndef LODREVIN_VERSION
#define LODREVIN_VERSION "1.1.2"
#endif

using platform::RuntimeError;

namespace {
const QString kRequestAndResponse = QStringLiteral("RequestAndResponse");
const QString kSortDesc = QStringLiteral("ImgSortDesc");
const QString kSortAsc = QStringLiteral("ImgSortAsc");

QString DefaultLockFilePath()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    return QDir::tempPath() + QStringLiteral("/TessarinMobileLog-") + user + QStringLiteral(".lock");
}

// The column that opens the memo window, found by its data field.
int ButtonColumn()
{
    const QStringList& fields = frmTessarinMobileLog::DataFields();
    for (int col = 0; col < fields.size(); ++col)
        if (fields.at(col).compare(kRequestAndResponse, Qt::CaseInsensitive) == 0)
            return col;
    return -1;
}
}  // namespace

const QStringList& frmTessarinMobileLog::DataFields()
{
    static const QStringList fields = {
        QStringLiteral("RequestID"), QStringLiteral("RequestDateTime"), QStringLiteral("Action"),
        QStringLiteral("MobileNo"),  QStringLiteral("UserID"),          QStringLiteral("FolderName"),
        QStringLiteral("IPAddress"), QStringLiteral("ResponseDateTime"), kRequestAndResponse,
    };
    return fields;
}

const QStringList& frmTessarinMobileLog::Headings()
{
    static const QStringList headings = {
        QStringLiteral("RequestID"),  QStringLiteral("Request DateTime"), QStringLiteral("Action"),
        QStringLiteral("Mobile No."), QStringLiteral("User ID"),          QStringLiteral("Folder Name"),
        QStringLiteral("IP Address"), QStringLiteral("Response DateTime"), QStringLiteral("Request & Response"),
    };
    return headings;
}

// --- load ----------------------------------------------------------------------------------

frmTessarinMobileLog::frmTessarinMobileLog(const Options& options, QWidget* parent) : QWidget(parent), m_options(options)
{
    if (m_options.programFolder.isEmpty())
        m_options.programFolder = QCoreApplication::applicationDirPath();
    if (m_options.lockFilePath.isEmpty())
        m_options.lockFilePath = DefaultLockFilePath();
    BuildControls();
    Form_Load();
}

frmTessarinMobileLog::~frmTessarinMobileLog()
{
    if (!m_unloaded)
        Form_Unload();
}

void frmTessarinMobileLog::BuildControls()
{
    setObjectName(QStringLiteral("frmTessarinMobileLog"));
    setWindowTitle(QStringLiteral("Tessarin Mobile SQL Log"));
    setFont(logviewer::WindowFont(9));

    auto* dateFrame = new QFrame(this);
    dateFrame->setFrameShape(QFrame::StyledPanel);
    auto* dates = new QHBoxLayout(dateFrame);
    const QString labels[2] = {QStringLiteral("Start Date : "), QStringLiteral("Last Date : ")};
    const QString dateTips[2] = {QStringLiteral("Enter Start Date from which you want to get Log Data."),
                                 QStringLiteral("Enter End Date Upto which you want to get Log Data.")};
    for (int i = 0; i < 2; ++i) {
        dates->addWidget(new QLabel(labels[i], dateFrame));
        m_TDBDate[i] = new logviewer::LogDateEdit(dateFrame);
        m_TDBDate[i]->setObjectName(QStringLiteral("TDBDate%1").arg(i));
        m_TDBDate[i]->setToolTip(dateTips[i]);
        m_TDBDate[i]->setMinimumWidth(120);
        connect(m_TDBDate[i], &logviewer::LogDateEdit::ValidateRequested, this,
                [this, i](bool* cancel) { TDBDate_ValidateDateRange(i, cancel); });
        connect(m_TDBDate[i], &logviewer::LogDateEdit::NotADate, this, [this](const QString& typed) {
            if (!m_unloaded)
                MsgBox::Show(this, typed + QStringLiteral(" is not a date. Type a date as dd/mm/yyyy or dd/mm/yy."),
                             MsgBox::vbExclamation, windowTitle());
        });
        dates->addWidget(m_TDBDate[i]);
        dates->addSpacing(12);
    }

    const QString captions[3] = {QStringLiteral("Exit"), QStringLiteral("Get Log Data"), QStringLiteral("Open Log Folder")};
    const QString tips[3] = {QStringLiteral("Click to Exit from Application."),
                             QStringLiteral("Click to Get Log of Data data received and sent."),
                             QStringLiteral("Click to open Log Folder to view log files for details Log error if any.")};
    for (int i = 0; i < 3; ++i) {
        m_cmdCommand[i] = new QPushButton(captions[i], this);
        m_cmdCommand[i]->setObjectName(QStringLiteral("cmdCommand%1").arg(i));
        m_cmdCommand[i]->setToolTip(tips[i]);
        PressedByEnter(m_cmdCommand[i]);
        connect(m_cmdCommand[i], &QPushButton::clicked, this, [this, i] { cmdCommand_Click(i); });
    }
    // Exit closes the window whatever the date boxes hold.
    logviewer::LogDateEdit::SetCausesValidation(m_cmdCommand[0], false);
    dates->addWidget(m_cmdCommand[1]);
    dates->addWidget(m_cmdCommand[2]);
    dates->addStretch();

    auto* gridFrame = new QFrame(this);
    gridFrame->setFrameShape(QFrame::StyledPanel);
    auto* gridLayout = new QVBoxLayout(gridFrame);
    m_grid = new QTableView(gridFrame);
    m_grid->setObjectName(QStringLiteral("TDBGrid0"));
    m_filterBar = new logviewer::FilterHeader(m_grid);
    m_filterBar->setObjectName(QStringLiteral("TDBGrid0FilterBar"));
    m_grid->setHorizontalHeader(m_filterBar);
    m_model = new logviewer::LogGridModel(this);
    m_model->SetHeaders(Headings());
    m_grid->setModel(m_model);
    m_grid->setSortingEnabled(false);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the rows for the next control, as it leaves any other; the arrows, Home, End
    // and the page keys move among the cells.
    m_grid->setTabKeyNavigation(false);
    m_grid->installEventFilter(this);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setWordWrap(false);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    m_filterBar->setSectionResizeMode(QHeaderView::Interactive);
    m_filterBar->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int buttonColumn = ButtonColumn();
    m_filterBar->SetFilterColumns(static_cast<int>(DataFields().size()), {buttonColumn});
    m_grid->setItemDelegateForColumn(buttonColumn, new logviewer::ButtonDelegate(m_grid));
    m_columnWidths = {80, 150, 130, 110, 90, 130, 120, 150, 140};
    for (int col = 0; col < m_columnWidths.size(); ++col)
        m_grid->setColumnWidth(col, m_columnWidths.at(col));
    connect(m_grid->horizontalScrollBar(), &QScrollBar::valueChanged, m_filterBar, &logviewer::FilterHeader::AdjustPositions);
    connect(m_filterBar, &QHeaderView::sectionClicked, this, [this](int col) { TDBGrid_SortByColumn(0, col); });
    connect(m_filterBar, &logviewer::FilterHeader::FilterChanged, this, [this](int col) {
        SetCurrentColumn(col);
        TDBGrid_RestartFilterTimer(0);
    });
    connect(m_filterBar, &logviewer::FilterHeader::FilterFocused, this, [this](int col) { SetCurrentColumn(col); });
    connect(m_grid, &QTableView::clicked, this, [this](const QModelIndex& index) {
        m_currentColumn = index.column();
        TDBGrid_ShowRequestAndResponse(0, index.column());
    });
    gridLayout->addWidget(m_grid);

    m_tmrTimer = new QTimer(this);
    m_tmrTimer->setObjectName(QStringLiteral("tmrTimer"));
    m_tmrTimer->setInterval(500);
    connect(m_tmrTimer, &QTimer::timeout, this, &frmTessarinMobileLog::tmrTimer_Timer);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(m_cmdCommand[0]);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(dateFrame);
    layout->addWidget(gridFrame, 1);
    layout->addLayout(bottom);
    resize(1180, 600);
}

logviewer::LogDateEdit* frmTessarinMobileLog::TDBDate(int index) const
{
    return index >= 0 && index < 2 ? m_TDBDate[index] : nullptr;
}

QPushButton* frmTessarinMobileLog::Command(int index) const
{
    return index >= 0 && index < 3 ? m_cmdCommand[index] : nullptr;
}

void frmTessarinMobileLog::Form_Load()
{
    Setup = std::make_unique<clsSetup>(m_options.programFolder);
    connect(Setup.get(), &clsSetup::Message, this, &frmTessarinMobileLog::Setup_Message);
    connect(Setup.get(), &clsSetup::ShowEvents, this, &frmTessarinMobileLog::Setup_ShowEvents);
    connect(Setup.get(), &clsSetup::RebindGrid, this, &frmTessarinMobileLog::Setup_RebindGrid);

    // One running copy per user, whatever its folder.
    auto lock = std::make_unique<QLockFile>(m_options.lockFilePath);
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        MsgBox::Show(this, QStringLiteral("Tessarin Mobile Log is already running."), MsgBox::vbExclamation, windowTitle());
        CloseForm(1);
        return;
    }
    m_instanceLock = std::move(lock);

    const QString literal = QStringLiteral("CALDERWICK/Corvantis");
    const QString folder = QDir::fromNativeSeparators(m_options.programFolder);
    if (folder.right(literal.size()).toUpper() != literal.toUpper()) {
        MsgBox::Show(this, QStringLiteral("Application must be in CALDERWICK\\Corvantis Folder."), MsgBox::vbExclamation,
                     QString());
        CloseForm(1);
        return;
    }
    m_started = false;
}

// --- activation ----------------------------------------------------------------------------

void frmTessarinMobileLog::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_started && !m_activating && !m_unloaded)
        QMetaObject::invokeMethod(this, &frmTessarinMobileLog::Form_Activate, Qt::QueuedConnection);
}

void frmTessarinMobileLog::Form_Activate()
{
    if (m_started || m_activating || m_unloaded)
        return;
    m_activating = true;
    bool ok = false;
    try {
        const QStringList parts = QStringLiteral(LODREVIN_VERSION).split(QLatin1Char('.'));
        const QString version = QStringLiteral("%1.%2.%3")
                                    .arg(parts.value(0).toInt())
                                    .arg(parts.value(1).toInt())
                                    .arg(parts.value(2).toInt());
        if (!windowTitle().endsWith(QStringLiteral(" (") + version + QLatin1Char(')')))
            setWindowTitle(windowTitle() + QStringLiteral(" (") + version + QLatin1Char(')'));
        if (!Setup->GetSettings() || m_unloaded) {
            CloseForm(1);
        } else if (!Setup->GetCompanyList() || m_unloaded) {
            CloseForm(1);
        } else if (!Setup->CheckLogData() || m_unloaded) {
            CloseForm(1);
        } else {
            const QDate today = platform::Clock::Today();
            m_TDBDate[0]->setDate(today);
            m_TDBDate[1]->setDate(today);
            Setup_RebindGrid();
            m_started = true;
            ok = true;
        }
    } catch (const RuntimeError& e) {
        ShowRuntimeError(e.Number(), e.Description());
    } catch (const std::exception& e) {
        ShowRuntimeError(0, QString::fromLocal8Bit(e.what()));
    }
    m_activating = false;
    emit StartupFinished(ok && !m_unloaded);
}

// --- closing -------------------------------------------------------------------------------

void frmTessarinMobileLog::closeEvent(QCloseEvent* event)
{
    CloseForm(0);
    event->accept();
}

void frmTessarinMobileLog::CloseFromOutside()
{
    if (m_unloaded)
        return;
    // The settings object goes with the close, so nothing that runs an event loop of its own
    // (a box, the memo window) may still be under way: it is closed first, as by its Esc key,
    // and the close follows once its loop has returned to its caller.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        QTimer::singleShot(10, this, &frmTessarinMobileLog::CloseFromOutside);
        return;
    }
    CloseForm(0);
}

void frmTessarinMobileLog::CloseForm(int exitCode)
{
    if (m_unloaded)
        return;
    m_exitCode = exitCode;
    Form_Unload();
    hide();
    emit Unloaded(m_exitCode);
}

void frmTessarinMobileLog::Form_Unload()
{
    m_unloaded = true;
    m_tmrTimer->stop();
    m_model->SetTable(nullptr);
    if (Setup)
        Setup->disconnect(this);
    Setup.reset();
    if (m_instanceLock)
        m_instanceLock->unlock();
    m_instanceLock.reset();
}

// --- boxes ---------------------------------------------------------------------------------

void frmTessarinMobileLog::ShowRuntimeError(long number, const QString& description)
{
    MsgBox::Show(this, QString::number(number) + QStringLiteral(" - ") + description, MsgBox::vbCritical, windowTitle());
}

void frmTessarinMobileLog::ShowFailure(const QString& text)
{
    MsgBox::Show(this, text, MsgBox::vbCritical, windowTitle());
}

void frmTessarinMobileLog::Setup_Message(const QString&, const QString&, qint32, const QString& pMsgDescription,
                                         qint32 pMsgButton, qint32 pCancelButton, bool* pCancel, bool)
{
    const int answer = MsgBox::Show(this, pMsgDescription, pMsgButton, windowTitle());
    if (pCancel)
        *pCancel = answer == pCancelButton;
}

void frmTessarinMobileLog::Setup_ShowEvents(const QString& pText)
{
    // Status lines have no place in this window; only a failure of the read under way is kept,
    // to be shown once the read has ended.
    if (m_reading && m_readFailure.isEmpty())
        m_readFailure = pText;
}

// --- commands ------------------------------------------------------------------------------

void frmTessarinMobileLog::cmdCommand_Click(int Index)
{
    if (m_unloaded || Index < 0 || Index >= static_cast<int>(std::size(m_cmdCommand)))
        return;
    // While a date box refuses its date, a click that reached a button all the same does
    // nothing (Exit, which asks no date box, goes on).
    if (logviewer::LogDateEdit::CausesValidation(m_cmdCommand[Index]) &&
        (m_TDBDate[0]->Refuses() || m_TDBDate[1]->Refuses()))
        return;
    switch (Index) {
    case 0: CloseForm(0); break;
    case 1: LoadLogData(); break;
    case 2: OpenLogFolder(); break;
    default: break;
    }
}

void frmTessarinMobileLog::LoadLogData()
{
    ClearFilterText();
    m_tmrTimer->stop();  // the cleared bar needs no filter run
    m_readFailure.clear();
    m_reading = true;
    Setup->GetLogData(m_TDBDate[0]->date(), m_TDBDate[1]->date());
    m_reading = false;
    if (!m_readFailure.isEmpty())
        ShowFailure(m_readFailure);
}

void frmTessarinMobileLog::OpenLogFolder()
{
    const QString folder = QDir(m_options.programFolder).filePath(QStringLiteral("LogFiles"));
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        MsgBox::Show(this, QStringLiteral("Unable to open folder ") + QDir::toNativeSeparators(folder) + QLatin1Char('.'),
                     MsgBox::vbExclamation, windowTitle());
}

void frmTessarinMobileLog::TDBDate_ValidateDateRange(int Index, bool* Cancel)
{
    const QDate today = platform::Clock::Today();
    const QDate start = m_TDBDate[0]->date();
    const QDate last = m_TDBDate[1]->date();
    if (Index == 0) {
        if (start > today || start > last)
            *Cancel = true;
    } else if (Index == 1) {
        if (last > today || last < start)
            *Cancel = true;
    }
}

// --- keyboard ------------------------------------------------------------------------------

bool frmTessarinMobileLog::focusNextPrevChild(bool next)
{
    // Tab goes round the controls in the order they stand on screen: the dates and the two
    // buttons beside them, the filter bar (entered at its first cell going forward, its last
    // going back; the bar moves between its own cells), the rows, and Exit at the bottom.
    QWidget* focus = QApplication::focusWidget();
    QWidget* const stops[] = {m_TDBDate[0], m_TDBDate[1], m_cmdCommand[1], m_cmdCommand[2], m_filterBar, m_grid,
                              m_cmdCommand[0]};
    const int count = static_cast<int>(std::size(stops));
    int at = -1;
    // The bar lies inside the rows' view, and comes first in the list: it is asked first.
    for (int i = 0; i < count && focus; ++i) {
        if (stops[i] == focus || stops[i]->isAncestorOf(focus)) {
            at = i;
            break;
        }
    }
    if (at < 0)
        return QWidget::focusNextPrevChild(next);
    for (int step = 1; step < count; ++step) {
        QWidget* to = stops[(at + (next ? step : count - step)) % count];
        if (to == m_filterBar) {
            // The first cell on show going forward, the last going back.
            QLineEdit* cell = nullptr;
            for (int v = 0; v < m_filterBar->count() && !(cell && next); ++v) {
                QLineEdit* shown = m_filterBar->Cell(m_filterBar->logicalIndex(v));
                if (shown && shown->isVisibleTo(this) && shown->isEnabled())
                    cell = shown;
            }
            to = cell;
        }
        if (!to || !to->isEnabled() || !to->isVisibleTo(this))
            continue;
        to->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    return true;
}

bool frmTessarinMobileLog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        // Space or Enter on a row's button does what a click on it does.
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool press = key->key() == Qt::Key_Space || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const QModelIndex current = m_grid->currentIndex();
        if (press && !(key->modifiers() & ~Qt::KeypadModifier) && current.isValid() &&
            current.column() == ButtonColumn()) {
            m_currentColumn = current.column();
            TDBGrid_ShowRequestAndResponse(0, current.column());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// --- grid ----------------------------------------------------------------------------------

void frmTessarinMobileLog::TDBGrid_ShowRequestAndResponse(int, int ColIndex)
{
    if (ColIndex < 0 || ColIndex >= DataFields().size() || DataFields().at(ColIndex) != kRequestAndResponse)
        return;
    const QModelIndex current = m_grid->currentIndex();
    if (!current.isValid())
        return;
    const qint32 requestID = m_model->data(m_model->index(current.row(), 0), Qt::EditRole).toInt();
    m_readFailure.clear();
    m_reading = true;
    const QString text = Setup->GetRequestAndResponse(requestID);
    m_reading = false;
    if (!m_readFailure.isEmpty()) {
        ShowFailure(m_readFailure);
        return;
    }
    if (text.isEmpty()) {
        ShowFailure(QStringLiteral("Request ID ") + QString::number(requestID) + QStringLiteral(" is not in the log."));
        return;
    }
    frmMemo memo;
    memo.GetMemo(text, QStringLiteral("Request and Response Text"), false, false);
}

void frmTessarinMobileLog::TDBGrid_SortByColumn(int, int ColIndex)
{
    try {
        if (ColIndex < 0 || ColIndex > m_model->columnCount() - 1)
            return;
        if (DataFields().value(ColIndex).compare(kRequestAndResponse, Qt::CaseInsensitive) == 0)
            return;
        qint16 col = static_cast<qint16>(ColIndex);
        Setup->Sort(col);
    } catch (const RuntimeError& e) {
        ShowRuntimeError(e.Number(), e.Description());
    }
}

void frmTessarinMobileLog::TDBGrid_RestartFilterTimer(int)
{
    m_tmrTimer->stop();
    m_tmrTimer->start();
}

QStringList frmTessarinMobileLog::FilterTerms() const
{
    QStringList terms;
    for (int col = 0; col < DataFields().size(); ++col)
        terms << (DataFields().at(col).compare(kRequestAndResponse, Qt::CaseInsensitive) == 0 ? QString()
                                                                                               : m_filterBar->Text(col));
    return terms;
}

QString frmTessarinMobileLog::LogViewerFilterText() const
{
    const QStringList terms = FilterTerms();
    for (const QString& term : terms)
        if (!term.isEmpty())
            return terms.join(QLatin1Char('|'));
    return QString();
}

void frmTessarinMobileLog::tmrTimer_Timer()
{
    try {
        m_tmrTimer->stop();
        const QStringList terms = FilterTerms();
        const bool any = std::any_of(terms.begin(), terms.end(), [](const QString& t) { return !t.isEmpty(); });
        const int remembered = m_currentColumn;
        // Typing goes on in the filter cell; a user who has left the filter bar meanwhile
        // (Tab into the rows, a click elsewhere) keeps the focus where it went.
        const bool typing = m_filterBar->isAncestorOf(QApplication::focusWidget());
        // The terms go over one per column, so that a "|" typed into a cell stays in that cell.
        Setup->SetFilter(any ? terms : QStringList());
        SetCurrentColumn(remembered);
        if (QLineEdit* cell = m_filterBar->Cell(remembered)) {
            if (typing && !cell->hasFocus())
                cell->setFocus(Qt::OtherFocusReason);
        }
    } catch (const RuntimeError& e) {
        ShowRuntimeError(e.Number(), e.Description());
    }
}

void frmTessarinMobileLog::ClearFilterText()
{
    try {
        for (int col = 0; col < DataFields().size(); ++col)
            m_filterBar->ClearText(col);
    } catch (const RuntimeError& e) {
        ShowRuntimeError(e.Number(), e.Description());
    }
}

void frmTessarinMobileLog::SetCurrentColumn(int col)
{
    m_currentColumn = col;
    if (m_model->rowCount() == 0)
        return;
    const int row = std::max(0, m_grid->currentIndex().row());
    m_grid->setCurrentIndex(m_model->index(row, col));
}

int frmTessarinMobileLog::PictureWidth() const
{
    return m_imgMain.Width(kSortDesc);
}

int frmTessarinMobileLog::PictureColumn() const
{
    for (int col = 0; col < m_model->columnCount(); ++col)
        if (m_model->HasHeadingPicture(col))
            return col;
    return -1;
}

void frmTessarinMobileLog::Setup_RebindGrid()
{
    if (!Setup)
        return;
    // The grid keeps its column layout across the rebind.
    for (int col = 0; col < m_columnWidths.size(); ++col)
        if (m_filterBar->count() > col)
            m_columnWidths[col] = m_grid->columnWidth(col);
    m_model->SetTable(&Setup->xLogData);
    for (int col = 0; col < m_columnWidths.size(); ++col)
        m_grid->setColumnWidth(col, m_columnWidths.at(col));
    ClearSortImage();
    ShowSortImage();
    m_filterBar->AdjustPositions();
}

void frmTessarinMobileLog::ClearSortImage()
{
    try {
        const int col = PictureColumn();
        if (col < 0)
            return;
        m_grid->setColumnWidth(col, m_grid->columnWidth(col) - m_imgMain.Width(kSortDesc));
        m_model->SetHeadingPicture(col, QIcon());
        m_pictureKey.clear();
    } catch (const RuntimeError& e) {
        ShowRuntimeError(e.Number(), e.Description());
    }
}

void frmTessarinMobileLog::ShowSortImage()
{
    try {
        const int col = Setup->nSortColumnNo;
        if (col < 0 || col >= m_model->columnCount())
            throw RuntimeError(9, QStringLiteral("Subscript out of range"), QStringLiteral("ShowSortImage"));
        if (!m_model->HasHeadingPicture(col))
            m_grid->setColumnWidth(col, m_grid->columnWidth(col) + m_imgMain.Width(kSortDesc));
        m_pictureKey = Setup->eSortOrder == 0 ? kSortAsc : kSortDesc;
        m_model->SetHeadingPicture(col, m_imgMain.Picture(m_pictureKey));
        SetCurrentColumn(col);
    } catch (const RuntimeError& e) {
        ShowRuntimeError(e.Number(), e.Description());
    }
}

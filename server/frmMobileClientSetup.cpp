#include "frmMobileClientSetup.h"

#include "MsgBox.h"
#include "PressedByEnter.h"
#include "TabWalkGrid.h"

#include "clsSetup.h"
#include "core/RuntimeError.h"
#include "table/XArrayDBModel.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>
#include <QVersionNumber>

#include <algorithm>
#include <iterator>
#include <numeric>

namespace {

// Columns of the lists, as clsSetup keeps them.
constexpr int MobileNoCol = 0, IMEINoCol = 1, AllowedCompaniesCol = 2, LockedCol = 3, LastStatusCol = 4;
constexpr int SelectedCol = 0, DatabaseNameCol = 4, LocationCol = 1;

// A grid whose pending cell edit can be written into its table on demand, as the save does
// before it reads the mobiles. Enter works as in a spreadsheet: it ends the edit under way and
// moves down a row (staying on the last); it is never passed on to the dialog. Tab walks the
// cells and leaves the grid after the last one.
class SetupGrid : public TabWalkGrid {
public:
    using TabWalkGrid::TabWalkGrid;
    void CommitPendingEdit()
    {
        if (QWidget* editor = indexWidget(currentIndex())) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }

    // How the columns are sized: each as wide as its heading and the `typical` text of its
    // values at least (the ticks of `ticks` as their heading), and the text columns share the
    // width the grid has beyond that, in proportion to what they need.
    void SetColumnLooks(const QStringList& typical, const QSet<int>& ticks)
    {
        m_typical = typical;
        m_ticks = ticks;
        horizontalHeader()->setStretchLastSection(false);
        horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        // Headings in bold for the selected row would need more room than they are given.
        horizontalHeader()->setHighlightSections(false);
        connect(model(), &QAbstractItemModel::modelReset, this, &SetupGrid::FitColumns);
        FitColumns();
    }

    // The width that shows every heading and typical value, with the row numbers (of up to
    // three digits) and a vertical scroll bar.
    int NeededWidth() const
    {
        const QList<int> needs = ColumnNeeds();
        const int rowNumbers = verticalHeader()->isHidden()
                                   ? 0
                                   : std::max(verticalHeader()->sizeHint().width(),
                                              verticalHeader()->fontMetrics().horizontalAdvance(QStringLiteral("999")) + 8);
        return std::accumulate(needs.begin(), needs.end(), 0) + 2 * frameWidth() + rowNumbers +
               verticalScrollBar()->sizeHint().width();
    }

    QSize sizeHint() const override
    {
        QSize size = QTableView::sizeHint();
        size.setWidth(std::max(size.width(), NeededWidth()));
        return size;
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QTableView::resizeEvent(event);  // the viewport's size, scroll bars taken off
        FitColumns();
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
            TabWalkGrid::keyPressEvent(event);
            return;
        }
        // Enter in an editor reaches the grid too; the editor ends itself and moves down then.
        if (state() != EditingState)
            MoveDown();
        event->accept();
    }
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override
    {
        TabWalkGrid::closeEditor(editor, hint);
        // The delegate ends an edit with this hint when Enter was pressed in it.
        if (hint == QAbstractItemDelegate::SubmitModelCache)
            MoveDown();
    }

private:
    QList<int> ColumnNeeds() const
    {
        QList<int> needs;
        if (!model())
            return needs;
        const QFontMetrics metrics(font());
        // The room the delegate leaves beside a cell's text, and a little air.
        const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 6;
        for (int col = 0; col < model()->columnCount(); ++col) {
            const int value = m_ticks.contains(col) ? style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this)
                                                    : metrics.horizontalAdvance(m_typical.value(col));
            needs << std::max(horizontalHeader()->sectionSizeHint(col), value + margin);
        }
        return needs;
    }

    void FitColumns()
    {
        if (m_fitting || !model())
            return;
        m_fitting = true;
        const QList<int> needs = ColumnNeeds();
        int textNeeds = 0;
        for (int col = 0; col < needs.size(); ++col)
            if (!m_ticks.contains(col))
                textNeeds += needs.at(col);
        const int spare = std::max(0, viewport()->width() - std::accumulate(needs.begin(), needs.end(), 0));
        int given = 0, lastText = -1;
        for (int col = 0; col < needs.size(); ++col) {
            int width = needs.at(col);
            if (!m_ticks.contains(col) && textNeeds > 0) {
                const int share = static_cast<int>(static_cast<qint64>(spare) * needs.at(col) / textNeeds);
                width += share;
                given += share;
                lastText = col;
            }
            setColumnWidth(col, width);
        }
        if (lastText >= 0)
            setColumnWidth(lastText, columnWidth(lastText) + spare - given);
        m_fitting = false;
    }

    void MoveDown()
    {
        const QModelIndex current = currentIndex();
        const QModelIndex below = current.sibling(current.row() + 1, current.column());
        if (below.isValid())
            setCurrentIndex(below);
    }

    QStringList m_typical;
    QSet<int> m_ticks;
    bool m_fitting = false;
};

bool AllDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// The port a text names, or 0 when it names none.
int PortOf(const QString& text)
{
    const QString t = text.trimmed();
    if (!AllDigits(t))
        return 0;
    bool ok = false;
    const uint value = t.toUInt(&ok);
    return (ok && value >= 1 && value <= 65535) ? static_cast<int>(value) : 0;
}

// The four parts of a dotted address, or an empty list when the text is none.
QList<int> AddressOf(const QString& text)
{
    const QStringList parts = text.trimmed().split(u'.');
    if (parts.size() != 4)
        return {};
    QList<int> values;
    for (const QString& part : parts) {
        bool ok = false;
        const uint value = part.toUInt(&ok);
        if (!AllDigits(part) || !ok || value > 255)
            return {};
        values << static_cast<int>(value);
    }
    return values;
}

// Two port texts name the same port ("0080" and "80" do); texts that name no port are
// compared as they stand.
bool SamePort(const QString& a, const QString& b)
{
    const int pa = PortOf(a), pb = PortOf(b);
    if (pa && pb)
        return pa == pb;
    return a.trimmed() == b.trimmed();
}

bool SameAddress(const QString& a, const QString& b)
{
    const QList<int> va = AddressOf(a), vb = AddressOf(b);
    if (!va.isEmpty() && !vb.isEmpty())
        return va == vb;
    return a.trimmed() == b.trimmed();
}

// A text that reads as a number: digits with a sign before them and a decimal point among them
// at most.
bool IsNumber(const QString& text)
{
    QString t = text;
    if (t.startsWith(u'-') || t.startsWith(u'+'))
        t.remove(0, 1);
    const qsizetype point = t.indexOf(u'.');
    if (point >= 0)
        t.remove(point, 1);
    return AllDigits(t);
}

QString CanonicalAddress(const QString& text)
{
    const QList<int> parts = AddressOf(text);
    if (parts.isEmpty())
        return text.trimmed();
    QStringList out;
    for (int p : parts)
        out << QString::number(p);
    return out.join(u'.');
}

// The blocked prefixes as the address test reads them: entries trimmed, empty ones dropped
// (an empty entry would otherwise be a prefix of every address).
QString CanonicalBlockList(const QString& text)
{
    QStringList entries;
    for (const QString& entry : text.split(u','))
        if (!entry.trimmed().isEmpty())
            entries << entry.trimmed();
    return entries.join(u',');
}

bool IsMobileNo(const QString& text)
{
    const QString t = text.trimmed();
    const QString digits = t.startsWith(u'+') ? t.mid(1) : t;
    return AllDigits(digits) && t.size() >= 10;
}

QString SelectedLocationsKey(const platform::XArrayDB& locations)
{
    QStringList selected;
    for (int r = locations.LowerBound(1); r <= locations.UpperBound(1); ++r)
        if (locations.Value(r, SelectedCol).toBool())
            selected << locations.Value(r, LocationCol).toString();
    return selected.join(u'|');
}

void ClearColumn(platform::XArrayDB& table, int col, const QVariant& value)
{
    for (int r = table.LowerBound(1); r <= table.UpperBound(1); ++r)
        table.SetValue(r, col, value);
}

}  // namespace

frmMobileClientSetup::frmMobileClientSetup(clsSetup* setup, QWidget* parent) : frmMobileClientSetup(*setup, parent) {}

frmMobileClientSetup::frmMobileClientSetup(clsSetup& setup, QWidget* parent) : QDialog(parent), m_setup(setup)
{
    setObjectName(QStringLiteral("frmMobileClientSetup"));
    setFont(QFont(QStringLiteral("Tahoma")));
    BuildControls();

    QString versionText = QCoreApplication::applicationVersion();
#ifdef CORVANTIS_VERSION
    if (versionText.isEmpty())
        versionText = QStringLiteral(CORVANTIS_VERSION);
#endif
    const QVersionNumber version = QVersionNumber::fromString(versionText);
    setWindowTitle(QStringLiteral("Tessarin Mobile SQL Client Setup (%1.%2.%3)")
                       .arg(version.majorVersion())
                       .arg(version.minorVersion())
                       .arg(version.microVersion()));

    m_mobiles = m_setup.xMobiles;
    m_mobilesAtOpen = m_setup.xMobiles;
    m_companies = m_setup.xCompanies;
    ClearColumn(m_companies, SelectedCol, false);
    m_locations = m_setup.xLocations;
    m_locationsLookedUp = SelectedLocationsKey(m_locations);

    ShowSettings();
    SetAutoStartCaption(m_setup.lStaticIP);
    // Wide enough for every heading and a typical value of the lists; the two lists side by
    // side share what the dialog gains in the measure of what they need.
    m_upperLists->setStretch(0, m_gridLocations->sizeHint().width());
    m_upperLists->setStretch(1, m_gridCompany->sizeHint().width());
    resize(sizeHint().expandedTo(QSize(860, 620)));

    connect(qApp, &QApplication::focusChanged, this, &frmMobileClientSetup::OnFocusChanged);
}

frmMobileClientSetup::~frmMobileClientSetup()
{
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    // The lists behind the grids are members and go before the grids do. A cell edit still
    // open would otherwise be written into them when the dialog hides on its way out (it is
    // destroyed while shown when the program ends with it open); the grids let go of them now
    // and drop such an edit.
    for (platform::XArrayDBModel* model : {m_locationsModel, m_companyModel, m_mobileModel})
        model->SetTable(nullptr);
}

bool frmMobileClientSetup::GetSetting(clsSetup& pSetup, QWidget* parent)
{
    frmMobileClientSetup dialog(pSetup, parent);
    return dialog.exec() == QDialog::Accepted;
}

void frmMobileClientSetup::BuildControls()
{
    auto* top = new QGridLayout;

    m_check[0] = new QCheckBox(QStringLiteral("Static IP Address : "));
    m_check[0]->setToolTip(QStringLiteral("Click & Select if you have Static IP Address."));
    m_check[1] = new QCheckBox(QStringLiteral("Only Current Year :"));
    m_check[1]->setToolTip(QStringLiteral("Click & Select if you want to allow only current year company."));
    m_check[2] = new QCheckBox;

    struct Field {
        const char* caption;
        const char* tip;
    };
    const Field fields[5] = {
        {"Local Port : ", "Enter Local Port to Accept Incomming Connection."},
        {"Server IP Address : ", "Enter Mobile Server IP Address to connect."},
        {"Server Port : ", "Enter Mobile Server Remote Port to Connect."},
        {"Dongle No : ", "Enter Dongle No. (account number of this installation) to Login to Mobile Server."},
        {"Block IPs : ", "Enter IP Address or it's initial address seperated by comma to be blocked."},
    };
    for (int i = 0; i < 5; ++i) {
        m_label[i] = new QLabel(QString::fromLatin1(fields[i].caption));
        m_text[i] = new QLineEdit;
        m_label[i]->setToolTip(QString::fromLatin1(fields[i].tip));
        m_text[i]->setToolTip(QString::fromLatin1(fields[i].tip));
        m_label[i]->setBuddy(m_text[i]);
        m_label[i]->setObjectName(QStringLiteral("Label(%1)").arg(i));
        m_text[i]->setObjectName(QStringLiteral("Text(%1)").arg(i));
    }
    for (int i = 0; i < 3; ++i)
        m_check[i]->setObjectName(QStringLiteral("Check(%1)").arg(i));

    top->addWidget(m_check[0], 0, 0, 1, 2);
    top->addWidget(m_label[0], 1, 0);
    top->addWidget(m_text[0], 1, 1);
    top->addWidget(m_label[1], 0, 2);
    top->addWidget(m_text[1], 0, 3);
    top->addWidget(m_label[2], 1, 2);
    top->addWidget(m_text[2], 1, 3);
    top->addWidget(m_label[3], 2, 2);
    top->addWidget(m_text[3], 2, 3);
    top->addWidget(m_check[1], 2, 0, 1, 2);
    top->addWidget(m_check[2], 3, 0, 1, 4);
    top->addWidget(m_label[4], 4, 0);
    top->addWidget(m_text[4], 4, 1, 1, 3);

    for (int i = 0; i < 3; ++i)
        connect(m_check[i], &QCheckBox::clicked, this, [this, i](bool checked) { Check_Click(i, checked); });

    // Each list with the text of a typical value of its columns: a folder, a company name of
    // thirty characters and its year's dates, a twelve-digit mobile number and a fifteen-digit
    // IMEI number with its dashes.
    auto makeGrid = [this](const QString& name, platform::XArrayDBModel*& model, const QStringList& headers,
                           const QSet<int>& ticks, const QStringList& typical) {
        auto* grid = new SetupGrid;
        grid->setObjectName(name);
        model = new platform::XArrayDBModel(this);
        model->SetHeaders(headers);
        model->SetBooleanColumns(ticks);
        grid->setModel(model);
        grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        grid->setSelectionMode(QAbstractItemView::SingleSelection);
        grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed);
        grid->setWordWrap(false);
        grid->SetColumnLooks(typical, ticks);
        return grid;
    };
    m_gridLocations = makeGrid(QStringLiteral("TDBGrid(0)"), m_locationsModel,
                               {QStringLiteral("Selected"), QStringLiteral("Location")}, {SelectedCol},
                               {QString(), QStringLiteral("D:\\Tessarin4\\Companies")});
    m_gridCompany = makeGrid(QStringLiteral("TDBGCompany"), m_companyModel,
                             {QStringLiteral("Selected"), QStringLiteral("Company Name"), QStringLiteral("Start Date"),
                              QStringLiteral("Last Date"), QStringLiteral("Database Name")},
                             {SelectedCol},
                             {QString(), QStringLiteral("Sahyadri Agro Products Pvt Ltd"), QStringLiteral("2026-04-01"),
                              QStringLiteral("2027-03-31"), QStringLiteral("DEMO2026")});
    m_gridMobile = makeGrid(QStringLiteral("TDBGMobile"), m_mobileModel,
                            {QStringLiteral("Mobile No"), QStringLiteral("IMEI No. / Device ID"),
                             QStringLiteral("Allowed Companies"), QStringLiteral("Locked"), QStringLiteral("Last Status")},
                            {LockedCol},
                            {QStringLiteral("919876543210"), QStringLiteral("35-209900-176148-1"),
                             QStringLiteral("DEMO2026|ABC2024"), QString(), QString()});

    m_locationsModel->SetEditableColumns({SelectedCol});
    // The allowed companies are chosen with the ticks of the company grid, not typed.
    m_mobileModel->SetEditableColumns({MobileNoCol, IMEINoCol, LockedCol, LastStatusCol});

    connect(m_locationsModel, &platform::XArrayDBModel::CellEdited, this, [this] { m_settingChanged = true; });
    connect(m_mobileModel, &platform::XArrayDBModel::CellEdited, this, [this] { m_settingChanged = true; });
    connect(m_companyModel, &platform::XArrayDBModel::CellEdited, this, [this](int, int col) {
        m_settingChanged = true;
        if (col == SelectedCol)
            WriteAllowedCompanies();
    });
    connect(m_gridMobile->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { ShowAllowedCompanies(); });
    m_gridMobile->installEventFilter(this);

    m_addMobile = new QPushButton(QStringLiteral("Add Mobile"));
    m_addMobile->setObjectName(QStringLiteral("cmdAddMobile"));
    m_addMobile->setToolTip(QStringLiteral("Click to Add a Mobile No. to be allowed to access data."));
    m_deleteMobile = new QPushButton(QStringLiteral("Delete Mobile"));
    m_deleteMobile->setObjectName(QStringLiteral("cmdDeleteMobile"));
    m_deleteMobile->setToolTip(QStringLiteral("Click to Delete the selected Mobile No. (Ctrl+D)."));
    // No button of the dialog is pressed by Enter given to a field or a list: it must not add,
    // delete, save or cancel by accident. A button with the focus takes Enter as Space.
    for (QPushButton* button : {m_addMobile, m_deleteMobile}) {
        button->setAutoDefault(false);
        PressedByEnter(button);
    }
    connect(m_addMobile, &QPushButton::clicked, this, [this] { AddMobile(); });
    connect(m_deleteMobile, &QPushButton::clicked, this, [this] { DeleteMobile(); });

    auto group = [](const QString& title, QWidget* grid, QLayout* extra = nullptr) {
        auto* box = new QGroupBox(title);
        auto* layout = new QVBoxLayout(box);
        layout->addWidget(grid);
        if (extra)
            layout->addLayout(extra);
        return box;
    };
    auto* mobileButtons = new QHBoxLayout;
    mobileButtons->addWidget(m_addMobile);
    mobileButtons->addWidget(m_deleteMobile);
    mobileButtons->addStretch();

    m_upperLists = new QHBoxLayout;
    m_upperLists->addWidget(group(QStringLiteral("Select Folder Location to allow access"), m_gridLocations));
    m_upperLists->addWidget(group(QStringLiteral("Select Company Allowed to Mobile"), m_gridCompany));
    auto* lists = new QVBoxLayout;
    lists->addLayout(m_upperLists);
    // "&" stands for itself here, not for a shortcut key.
    lists->addWidget(group(QStringLiteral("Enter Mobile No. && It's IMEINo to be allowed to access data."), m_gridMobile,
                           mobileButtons));

    m_command[1] = new QPushButton(QStringLiteral("Save Settings"));
    m_command[1]->setToolTip(QStringLiteral("Click to Save Settings"));
    m_command[0] = new QPushButton(QStringLiteral("Cancel Settings"));
    m_command[0]->setToolTip(QStringLiteral("Click to Cancel Settings Changed"));
    auto* commands = new QHBoxLayout;
    commands->addStretch();
    for (int i : {1, 0}) {
        m_command[i]->setObjectName(QStringLiteral("Command(%1)").arg(i));
        m_command[i]->setAutoDefault(false);
        m_command[i]->setDefault(false);
        PressedByEnter(m_command[i]);
        connect(m_command[i], &QPushButton::clicked, this, [this, i] { Command_Click(i); });
        commands->addWidget(m_command[i]);
    }

    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addLayout(lists, 1);
    main->addLayout(commands);

    // Tab meets the fields and ticks at the top as they are read, row by row and left to right
    // (the boxes of the mode not chosen are off and skipped); the lists and the buttons follow
    // in the order they were laid out.
    QWidget* const readingOrder[] = {m_check[0], m_text[1], m_text[0], m_text[2],
                                     m_check[1], m_text[3], m_check[2], m_text[4]};
    for (size_t i = 1; i < std::size(readingOrder); ++i)
        setTabOrder(readingOrder[i - 1], readingOrder[i]);
}

void frmMobileClientSetup::ShowSettings()
{
    m_check[0]->setChecked(m_setup.lStaticIP);
    m_check[1]->setChecked(m_setup.lCurrentYearOnly);
    m_check[2]->setChecked(m_setup.lAutoStart);
    m_text[0]->setText(m_setup.cLocalPort);
    m_text[1]->setText(m_setup.cRemoteIP);
    m_text[2]->setText(m_setup.cRemotePort);
    m_text[3]->setText(m_setup.cDongleNo);
    m_text[4]->setText(m_setup.cBlockIPs);
    BindGrids(0);
    SetConnectionControls();
}

void frmMobileClientSetup::BindGrids(int pType)
{
    if (pType == 0 || pType == 1)
        m_locationsModel->SetTable(&m_locations);
    if (pType == 0 || pType == 3)
        m_companyModel->SetTable(&m_companies);
    if (pType == 0 || pType == 2) {
        const int current = CurrentMobileRow();
        m_mobileModel->SetTable(&m_mobiles);
        // A new binding loses the current row; keep the one the user was on (or the first).
        const int rows = m_mobileModel->rowCount();
        if (rows > 0)
            m_gridMobile->setCurrentIndex(m_mobileModel->index(std::clamp(current, 0, rows - 1), MobileNoCol));
        else
            ShowAllowedCompanies();
    }
}

void frmMobileClientSetup::SetConnectionControls()
{
    const bool listening = m_check[0]->isChecked();
    m_label[0]->setEnabled(listening);
    m_text[0]->setEnabled(listening);
    // The server address and its port serve only the relay. The account number stays open in
    // both modes: it is kept in the settings whichever mode is chosen.
    for (int i = 1; i <= 2; ++i) {
        m_label[i]->setEnabled(!listening);
        m_text[i]->setEnabled(!listening);
    }
}

void frmMobileClientSetup::SetAutoStartCaption(bool pStaticIP)
{
    if (pStaticIP) {
        m_check[2]->setText(QStringLiteral("Auto Accept connection when Application Starts :"));
        m_check[2]->setToolTip(
            QStringLiteral("Click & Select if you want to automatically accept connection when application starts."));
    } else {
        m_check[2]->setText(QStringLiteral("Auto Login to Server when Application Starts :"));
        m_check[2]->setToolTip(
            QStringLiteral("Click & Select if you want to automatically Login to Server when application starts."));
    }
}

QMessageBox::StandardButton frmMobileClientSetup::Ask(const QString& text, QMessageBox::Icon icon,
                                                      QMessageBox::StandardButtons buttons,
                                                      QMessageBox::StandardButton defaultButton, bool withCaption)
{
    MessageRequest request;
    request.text = text;
    request.title = withCaption ? windowTitle() : QString();
    request.icon = icon;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    if (MessageHook)
        return MessageHook(request);

    // The program's message boxes take the runtime's button and icon values.
    int style = MsgBox::vbOKOnly;
    if (buttons == (QMessageBox::Ok | QMessageBox::Cancel))
        style = MsgBox::vbOKCancel;
    else if (buttons == (QMessageBox::Yes | QMessageBox::No))
        style = MsgBox::vbYesNo;
    switch (icon) {
    case QMessageBox::Critical: style |= MsgBox::vbCritical; break;
    case QMessageBox::Question: style |= MsgBox::vbQuestion; break;
    case QMessageBox::Warning: style |= MsgBox::vbExclamation; break;
    case QMessageBox::Information: style |= MsgBox::vbInformation; break;
    default: break;
    }
    if (defaultButton == QMessageBox::Cancel || defaultButton == QMessageBox::No)
        style |= MsgBox::vbDefaultButton2;
    switch (MsgBox::Show(this, text, style, request.title)) {
    case MsgBox::vbOK: return QMessageBox::Ok;
    case MsgBox::vbCancel: return QMessageBox::Cancel;
    case MsgBox::vbYes: return QMessageBox::Yes;
    case MsgBox::vbNo: return QMessageBox::No;
    default: return QMessageBox::NoButton;
    }
}

bool frmMobileClientSetup::ConfirmConnectionChange()
{
    return Ask(QStringLiteral("You have changed connection parameter.\r\nIt will reset current connection if any."),
               QMessageBox::Warning, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel, false) ==
           QMessageBox::Ok;
}

void frmMobileClientSetup::Command_Click(int Index)
{
    if (Index == 1) {
        // The field being left when Save was pressed is tested first, as leaving it would.
        if (m_pendingText >= 0) {
            const int i = m_pendingText;
            if (!Text_Validate(i)) {
                m_text[i]->setFocus(Qt::OtherFocusReason);
                return;
            }
            m_pendingText = (QApplication::focusWidget() == m_text[i]) ? i : -1;
        }
        if (!ValidateSettings())
            return;

        // What is in use now, put back when the file cannot be written: settings that are
        // not saved are never the ones in use.
        const bool staticIP = m_setup.lStaticIP, currentYear = m_setup.lCurrentYearOnly, autoStart = m_setup.lAutoStart;
        const bool connectionChanged = m_setup.lConnectionParemeterChanged;
        const QString localPort = m_setup.cLocalPort, remoteIP = m_setup.cRemoteIP, remotePort = m_setup.cRemotePort;
        const QString dongleNo = m_setup.cDongleNo, blockIPs = m_setup.cBlockIPs;
        const platform::XArrayDB mobiles = m_setup.xMobiles, locations = m_setup.xLocations;

        CollectSettings();
        if (m_setup.SaveSettings()) {
            m_settingChanged = false;
            QDialog::accept();
            return;
        }
        m_setup.lStaticIP = staticIP;
        m_setup.lCurrentYearOnly = currentYear;
        m_setup.lAutoStart = autoStart;
        m_setup.lConnectionParemeterChanged = connectionChanged;
        m_setup.cLocalPort = localPort;
        m_setup.cRemoteIP = remoteIP;
        m_setup.cRemotePort = remotePort;
        m_setup.cDongleNo = dongleNo;
        m_setup.cBlockIPs = blockIPs;
        m_setup.xMobiles = mobiles;
        m_setup.xLocations = locations;
        return;
    }

    if (Ask(QStringLiteral("Really you want to cancel settings."), QMessageBox::Question,
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No, false) != QMessageBox::Yes)
        return;
    // Nothing reached the settings in use; dropping the dialog's copies is all there is to do.
    m_settingChanged = false;
    QDialog::reject();
}

bool frmMobileClientSetup::SettingChanged() const
{
    // The lists and the switches tell their changes as the user makes them; a text field
    // counts as changed when Save would store another value than the one in use.
    if (m_settingChanged)
        return true;
    return !SamePort(m_text[0]->text(), m_setup.cLocalPort) || !SameAddress(m_text[1]->text(), m_setup.cRemoteIP) ||
           !SamePort(m_text[2]->text(), m_setup.cRemotePort) || m_text[3]->text().trimmed() != m_setup.cDongleNo ||
           CanonicalBlockList(m_text[4]->text()) != m_setup.cBlockIPs;
}

void frmMobileClientSetup::reject()
{
    if (SettingChanged() &&
        Ask(QStringLiteral("You have not saved setting.\r\nReally you want to close exit."), QMessageBox::Question,
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No, true) != QMessageBox::Yes)
        return;
    m_settingChanged = false;
    QDialog::reject();
}

void frmMobileClientSetup::Check_Click(int Index, bool checked)
{
    // QCheckBox::clicked comes only from the user, never from a value set by code.
    switch (Index) {
    case 1:
        if (checked != m_setup.lCurrentYearOnly)
            m_settingChanged = true;
        break;
    case 2:
        if (checked != m_setup.lAutoStart)
            m_settingChanged = true;
        break;
    case 0:
        SetConnectionControls();
        if (checked != m_setup.lStaticIP) {
            if (!ConfirmConnectionChange()) {
                m_check[0]->setChecked(!checked);
                SetConnectionControls();
            }
            m_settingChanged = true;
        }
        SetAutoStartCaption(m_check[0]->isChecked());
        break;
    default:
        break;
    }
}

bool frmMobileClientSetup::Text_Validate(int Index)
{
    const QString text = m_text[Index]->text().trimmed();
    if (text != m_text[Index]->text())
        m_text[Index]->setText(text);

    bool cancel = false;
    switch (Index) {
    case 0:
    case 2:
        cancel = !ValidatePort(text);
        break;
    case 1:
        cancel = !ValidateIPAddress(text);
        break;
    case 3:
        cancel = !m_check[0]->isChecked() && !ValidateDongleNo(text);
        break;
    default:
        break;
    }

    const bool connectionFieldChanged = (Index == 0 && !cancel && !SamePort(text, m_setup.cLocalPort)) ||
                                        (Index == 1 && !SameAddress(text, m_setup.cRemoteIP)) ||
                                        (Index == 2 && !SamePort(text, m_setup.cRemotePort));
    if (connectionFieldChanged) {
        m_settingChanged = true;
        if (!ConfirmConnectionChange())
            cancel = true;
    }
    return !cancel;
}

bool frmMobileClientSetup::IsInside(const QWidget* widget, const QWidget* container) const
{
    return widget && (widget == container || container->isAncestorOf(widget));
}

void frmMobileClientSetup::OnFocusChanged(QWidget* old, QWidget* now)
{
    if (!now || now->window() != this)
        return;  // a message box or another window took the focus: nothing is being left
    if (m_testingField)
        return;  // the dialog itself moves the focus while a field is tested

    int j = -1;
    for (int i = 0; i < 5; ++i)
        if (now == m_text[i])
            j = i;

    if (!old || old->window() != this) {
        // The dialog became active again; the focus is where it was.
        if (j >= 0 && m_pendingText < 0)
            m_pendingText = j;
        return;
    }

    if (IsInside(old, m_gridLocations) && !IsInside(now, m_gridLocations))
        OnLocationsLeft();

    // Save tests the field itself; Cancel throws the changes away and tests nothing.
    if (m_pendingText >= 0 && m_pendingText != j && now != m_command[0] && now != m_command[1]) {
        const int i = m_pendingText;
        QPointer<QWidget> target = now;
        // The field keeps the focus while its test and questions run, so that the focus comes
        // back to it after a message and stays there when the test fails.
        m_testingField = true;
        m_text[i]->setFocus(Qt::OtherFocusReason);
        const bool passed = Text_Validate(i);
        if (passed && target)
            target->setFocus(Qt::OtherFocusReason);
        m_testingField = false;
        if (!passed)
            return;
        m_pendingText = -1;
    }
    if (j >= 0)
        m_pendingText = j;
}

bool frmMobileClientSetup::ValidatePort(const QString& text)
{
    if (!IsNumber(text) || text.size() < 4 || text.size() > 5) {
        Ask(QStringLiteral("Port must be numeric and length must be 4 or 5 digit."), QMessageBox::Warning,
            QMessageBox::Ok, QMessageBox::Ok, false);
        return false;
    }
    // Four or five characters still let through ports that no socket can listen on or connect
    // to ("0000", "65536", "-123"): the server would fail to start with them.
    if (!PortOf(text)) {
        Ask(QStringLiteral("Port must be a whole number from 1 to 65535."), QMessageBox::Warning, QMessageBox::Ok,
            QMessageBox::Ok, false);
        return false;
    }
    return true;
}

bool frmMobileClientSetup::ValidateIPAddress(const QString& text)
{
    const QStringList parts = text.split(u'.');
    if (parts.size() != 4) {
        Ask(QStringLiteral("IP Address must be in 999.999.999.999 format."), QMessageBox::Warning, QMessageBox::Ok,
            QMessageBox::Ok, false);
        return false;
    }
    for (const QString& part : parts) {
        // A part is a number when it is digits alone, or a minus sign and digits (a value
        // below 0, refused by the range test).
        const bool negative = part.startsWith(u'-') && AllDigits(part.mid(1));
        if (!AllDigits(part) && !negative) {
            Ask(QStringLiteral("IP Address must be numeric and without any space character."), QMessageBox::Warning,
                QMessageBox::Ok, QMessageBox::Ok, false);
            return false;
        }
        bool ok = false;
        const uint value = part.toUInt(&ok);
        if (negative || !ok || value > 255) {
            Ask(QStringLiteral("IP Address must between 0 to 255."), QMessageBox::Warning, QMessageBox::Ok,
                QMessageBox::Ok, false);
            return false;
        }
    }
    return true;
}

bool frmMobileClientSetup::ValidateDongleNo(const QString& text)
{
    if (!text.trimmed().isEmpty())
        return true;
    Ask(QStringLiteral("Dongle No. must not be blank."), QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok, false);
    return false;
}

bool frmMobileClientSetup::ValidateSettings()
{
    auto failField = [this](int i) {
        if (m_text[i]->isEnabled())
            m_text[i]->setFocus(Qt::OtherFocusReason);
        return false;
    };
    try {
        const bool listening = m_check[0]->isChecked();
        const QString localPort = m_text[0]->text().trimmed();
        const QString remoteIP = m_text[1]->text().trimmed();
        const QString remotePort = m_text[2]->text().trimmed();
        if (listening) {
            if (!ValidatePort(localPort))
                return failField(0);
            // The relay's values are saved too; a changed one must be sound as well.
            if (!SameAddress(remoteIP, m_setup.cRemoteIP) && !ValidateIPAddress(remoteIP))
                return failField(1);
            if (!SamePort(remotePort, m_setup.cRemotePort) && !ValidatePort(remotePort))
                return failField(2);
        } else {
            if (!ValidateIPAddress(remoteIP))
                return failField(1);
            if (!ValidatePort(remotePort))
                return failField(2);
            if (!ValidateDongleNo(m_text[3]->text()))
                return failField(3);
            if (!SamePort(localPort, m_setup.cLocalPort) && !ValidatePort(localPort))
                return failField(0);
        }

        CommitMobileEdit();
        if (m_mobiles.RowCount() == 0) {
            Ask(QStringLiteral("No Allowed Mobile Nos are found."), QMessageBox::Warning, QMessageBox::Ok,
                QMessageBox::Ok, true);
            return false;
        }
        for (int r = m_mobiles.LowerBound(1); r <= m_mobiles.UpperBound(1); ++r) {
            if (!IsMobileNo(m_mobiles.Value(r, MobileNoCol).toString())) {
                m_gridMobile->setCurrentIndex(m_mobileModel->index(r - m_mobiles.LowerBound(1), MobileNoCol));
                Ask(QStringLiteral("Blank or Invalid Mobile No."), QMessageBox::Warning, QMessageBox::Ok,
                    QMessageBox::Ok, true);
                return false;
            }
        }
        return true;
    } catch (const platform::RuntimeError& e) {
        Ask(QStringLiteral("%1-%2").arg(e.Number()).arg(e.Description()), QMessageBox::Warning, QMessageBox::Ok,
            QMessageBox::Ok, true);
        return false;
    }
}

void frmMobileClientSetup::CollectSettings()
{
    const bool staticIP = m_check[0]->isChecked();
    // The ports are kept as typed: "0080" stays "0080", which the port rule takes again.
    const QString localPort = m_text[0]->text().trimmed();
    const QString remoteIP = CanonicalAddress(m_text[1]->text());
    const QString remotePort = m_text[2]->text().trimmed();

    if (staticIP != m_setup.lStaticIP || !SamePort(localPort, m_setup.cLocalPort) ||
        !SameAddress(remoteIP, m_setup.cRemoteIP) || !SamePort(remotePort, m_setup.cRemotePort))
        m_setup.lConnectionParemeterChanged = true;

    m_setup.lStaticIP = staticIP;
    m_setup.cLocalPort = localPort;
    m_setup.cRemoteIP = remoteIP;
    m_setup.cRemotePort = remotePort;
    m_setup.cDongleNo = m_text[3]->text().trimmed();
    m_setup.lCurrentYearOnly = m_check[1]->isChecked();
    m_setup.lAutoStart = m_check[2]->isChecked();
    m_setup.cBlockIPs = CanonicalBlockList(m_text[4]->text());

    // The mobiles as edited, with an IMEI number that a mobile registered by logging in while
    // the dialog was open kept, unless the user typed or cleared one for that mobile.
    platform::XArrayDB mobiles = m_mobiles;
    auto firstRowOf = [](const platform::XArrayDB& table, const QString& mobileNo) {
        for (int r = table.LowerBound(1); r <= table.UpperBound(1); ++r)
            if (table.Value(r, MobileNoCol).toString().trimmed() == mobileNo)
                return r;
        return -1;
    };
    for (int r = mobiles.LowerBound(1); r <= mobiles.UpperBound(1); ++r) {
        const QString mobileNo = mobiles.Value(r, MobileNoCol).toString().trimmed();
        const QString imei = mobiles.Value(r, IMEINoCol).toString().trimmed();
        mobiles.SetValue(r, MobileNoCol, mobileNo);
        mobiles.SetValue(r, IMEINoCol, imei);
        mobiles.SetValue(r, AllowedCompaniesCol, mobiles.Value(r, AllowedCompaniesCol).toString());
        mobiles.SetValue(r, LockedCol, mobiles.Value(r, LockedCol).toBool());
        mobiles.SetValue(r, LastStatusCol, mobiles.Value(r, LastStatusCol).toString());
        if (!imei.isEmpty())
            continue;
        const int atOpen = firstRowOf(m_mobilesAtOpen, mobileNo);
        const int live = firstRowOf(m_setup.xMobiles, mobileNo);
        if (atOpen >= 0 && live >= 0 && m_mobilesAtOpen.Value(atOpen, IMEINoCol).toString().trimmed().isEmpty()) {
            const QString registered = m_setup.xMobiles.Value(live, IMEINoCol).toString().trimmed();
            if (!registered.isEmpty())
                mobiles.SetValue(r, IMEINoCol, registered);
        }
    }
    m_setup.xMobiles = mobiles;
    m_setup.xLocations = m_locations;
}

void frmMobileClientSetup::CommitMobileEdit()
{
    static_cast<SetupGrid*>(m_gridMobile)->CommitPendingEdit();
}

int frmMobileClientSetup::CurrentMobileRow() const
{
    const QModelIndex current = m_gridMobile->currentIndex();
    if (!current.isValid() || current.row() >= m_mobiles.RowCount())
        return -1;
    return current.row();
}

void frmMobileClientSetup::AddMobile()
{
    CommitMobileEdit();
    const int r = m_mobiles.AppendRow();
    m_mobiles.SetValue(r, MobileNoCol, QString());
    m_mobiles.SetValue(r, IMEINoCol, QString());
    m_mobiles.SetValue(r, AllowedCompaniesCol, QString());
    m_mobiles.SetValue(r, LockedCol, false);
    m_mobiles.SetValue(r, LastStatusCol, QString());
    m_settingChanged = true;
    m_mobileModel->Rebind();
    const QModelIndex index = m_mobileModel->index(r - m_mobiles.LowerBound(1), MobileNoCol);
    m_gridMobile->setFocus(Qt::OtherFocusReason);
    m_gridMobile->setCurrentIndex(index);
    m_gridMobile->edit(index);
}

void frmMobileClientSetup::DeleteMobile()
{
    const int row = CurrentMobileRow();
    if (row < 0)
        return;
    if (Ask(QStringLiteral("Really you want to delete row."), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
            QMessageBox::No, false) != QMessageBox::Yes)
        return;
    static_cast<SetupGrid*>(m_gridMobile)->CommitPendingEdit();
    m_mobiles.Delete(1, m_mobiles.LowerBound(1) + row);
    m_settingChanged = true;
    m_mobileModel->Rebind();
    const int rows = m_mobileModel->rowCount();
    if (rows > 0)
        m_gridMobile->setCurrentIndex(m_mobileModel->index(std::min(row, rows - 1), MobileNoCol));
    else
        ShowAllowedCompanies();
}

void frmMobileClientSetup::ShowAllowedCompanies()
{
    // The ticks always stand for the current mobile; without one there is nothing to tick.
    const int row = CurrentMobileRow();
    m_companyModel->SetEditableColumns(row >= 0 ? QSet<int>{SelectedCol} : QSet<int>{});
    if (m_companies.RowCount() == 0)
        return;
    ClearColumn(m_companies, SelectedCol, false);
    if (row >= 0) {
        const QString allowed = m_mobiles.Value(m_mobiles.LowerBound(1) + row, AllowedCompaniesCol).toString();
        for (const QString& name : allowed.split(u'|')) {
            if (name.isEmpty())
                continue;
            const int found = m_companies.Find(m_companies.LowerBound(1), DatabaseNameCol, name, false);
            if (found >= 0)
                m_companies.SetValue(found, SelectedCol, true);
        }
    }
    BindGrids(3);
}

void frmMobileClientSetup::WriteAllowedCompanies()
{
    const int row = CurrentMobileRow();
    if (row < 0)
        return;
    QStringList names;
    for (int r = m_companies.LowerBound(1); r <= m_companies.UpperBound(1); ++r)
        if (m_companies.Value(r, SelectedCol).toBool())
            names << m_companies.Value(r, DatabaseNameCol).toString();
    m_mobiles.SetValue(m_mobiles.LowerBound(1) + row, AllowedCompaniesCol, names.join(u'|'));
    const QModelIndex cell = m_mobileModel->index(row, AllowedCompaniesCol);
    emit m_mobileModel->dataChanged(cell, cell);
}

void frmMobileClientSetup::OnLocationsLeft()
{
    // The company list is read again only when the choice of locations changed.
    const QString key = SelectedLocationsKey(m_locations);
    if (key == m_locationsLookedUp)
        return;
    m_locationsLookedUp = key;
    // A failed look-up has shown its message; the list on show stays as it was.
    if (!m_setup.GetCompanyList())
        return;
    m_companies = m_setup.xCompanies;
    ClearColumn(m_companies, SelectedCol, false);
    BindGrids(3);
    ShowAllowedCompanies();
}

bool frmMobileClientSetup::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_gridMobile && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Ctrl+D alone deletes the current mobile; the key goes on to the grid either way.
        if (key->key() == Qt::Key_D && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier)
            DeleteMobile();
    }
    return QDialog::eventFilter(watched, event);
}

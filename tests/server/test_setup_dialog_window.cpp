// The setup dialog on an X display with a window manager, driven through its window as the user
// drives it (clicks and keys go to the window, the close box closes it): Enter in the mobile
// list, the widths of the lists at the dialog's default size and as it grows, the captions that
// hold an "&", the question before changes are thrown away, the port rule of both port boxes on
// leaving the box and on Save, and the dialog walked with the keys alone: the Tab order, Tab out
// of the lists, the buttons pressed from the keys and Esc.

#include "MsgBox.h"
#include "SetupDialogTestSupport.h"
#include "WidgetCaptions.h"
#include "TabWalk.h"
#include "WindowInput.h"
#include "table/XArrayDBModel.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QWindow>

using namespace setuptest;
using namespace windowtest;

namespace {

const QString kImei = QStringLiteral("35-209900-176148-1");             // 15 digits with their dashes
const QString kLongMobileNo = QStringLiteral("919876543210");          // 12 digits
const QString kLongCompany = QStringLiteral("Maharashtra Steel Traders Ltd.");  // 30 characters

// A click on a cell of a grid, as the user makes it.
void ClickCell(QTableView* grid, int row, int col)
{
    Click(grid->viewport(), grid->visualRect(grid->model()->index(row, col)).center());
}

// The text columns of a grid: those that are not ticks.
QList<int> TextColumns(QTableView* grid)
{
    QList<int> columns;
    const QAbstractItemModel* model = grid->model();
    for (int col = 0; col < model->columnCount(); ++col)
        if (!model->data(model->index(0, col), Qt::CheckStateRole).isValid())
            columns << col;
    return columns;
}

QList<int> Widths(QTableView* grid)
{
    QList<int> widths;
    for (int col = 0; col < grid->model()->columnCount(); ++col)
        widths << grid->columnWidth(col);
    return widths;
}

// What of a grid cannot be read as it stands: a heading narrower than its text, a cell
// narrower than its text, or a column that lies beyond the grid's visible width.
QStringList Unreadable(QTableView* grid)
{
    QStringList problems;
    const QHeaderView* header = grid->horizontalHeader();
    const QAbstractItemModel* model = grid->model();
    const QFontMetrics metrics(grid->font());
    const int textMargin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    if (grid->horizontalScrollBar()->maximum() > 0)
        problems << QStringLiteral("a horizontal scroll bar");
    for (int col = 0; col < model->columnCount(); ++col) {
        const QString heading = model->headerData(col, Qt::Horizontal).toString();
        if (header->sectionSize(col) < header->sectionSizeHint(col))
            problems << QStringLiteral("heading \"%1\": %2 of %3").arg(heading).arg(header->sectionSize(col)).arg(header->sectionSizeHint(col));
        if (header->sectionViewportPosition(col) + header->sectionSize(col) > grid->viewport()->width())
            problems << QStringLiteral("heading \"%1\" beyond the visible width").arg(heading);
        for (int row = 0; row < model->rowCount(); ++row) {
            const QString text = model->data(model->index(row, col)).toString();
            const int needed = metrics.horizontalAdvance(text) + 2 * textMargin;
            if (!text.isEmpty() && grid->columnWidth(col) < needed)
                problems << QStringLiteral("\"%1\": %2 of %3").arg(text).arg(grid->columnWidth(col)).arg(needed);
        }
    }
    return problems;
}

// Gives a grid the focus with a click on its first row, then goes to a cell with the keys.
void GoToCell(QWidget* window, QTableView* grid, int row, int col)
{
    ClickCell(grid, 0, 1);  // column 1 holds text in each list of the dialog: a click ticks nothing
    QVERIFY(QTest::qWaitFor([&] { return grid->hasFocus(); }, 2000));
    Key(window, Qt::Key_Home, Qt::ControlModifier);
    for (int r = 0; r < row; ++r)
        Key(window, Qt::Key_Down);
    for (int c = 0; c < col; ++c)
        Key(window, Qt::Key_Right);
    QCOMPARE(grid->currentIndex(), grid->model()->index(row, col));
}

void AddLocation(platform::XArrayDB& locations, const QString& folder)
{
    const int r = locations.AppendRow();
    locations.SetValue(r, 0, true);
    locations.SetValue(r, 1, folder);
}

}  // namespace

class TestSetupDialogWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        QCoreApplication::setApplicationVersion(QStringLiteral("3.4.5"));
        // The boxes of the settings object ("Settings saved successfully.") are answered as
        // no one is there to answer them.
        MsgBox::SetHook([](const QString&, int style, const QString&) { return MsgBox::DefaultAnswer(style); });
    }
    void cleanupTestCase() { MsgBox::SetHook({}); }

    // --- Enter in the mobile list -----------------------------------------------------------

    // Enter ends an edit and moves down a row, as in a spreadsheet; it never adds a mobile.
    void enterMovesDown_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("on a cell not being edited") << "cell";
        QTest::newRow("ending an edit") << "edit";
        QTest::newRow("in a field") << "field";
    }
    void enterMovesDown()
    {
        QFETCH(QString, where);
        Installation inst;
        Dialog d(*inst.setup);
        QVERIFY(d.open());
        QTableView* grid = d.mobiles();
        if (where == QLatin1String("field")) {
            Click(d.text(4));
            QVERIFY(QTest::qWaitFor([&] { return d.text(4)->hasFocus(); }, 2000));
            Key(&d.dlg, Qt::Key_Return);
            QCOMPARE(grid->model()->rowCount(), 2);
            QVERIFY(d.text(4)->hasFocus());
        } else {
            const int col = where == QLatin1String("edit") ? 1 : 0;
            ClickCell(grid, 0, col);
            QVERIFY(QTest::qWaitFor([&] { return grid->hasFocus(); }, 2000));
            QCOMPARE(grid->currentIndex(), grid->model()->index(0, col));
            if (where == QLatin1String("edit")) {
                Type(&d.dlg, QStringLiteral("IMEI-9"));
                QVERIFY(grid->indexWidget(grid->currentIndex()));
            }
            Key(&d.dlg, Qt::Key_Return);
            QTRY_COMPARE(grid->currentIndex(), grid->model()->index(1, col));
            QVERIFY(!grid->indexWidget(grid->model()->index(0, col)));
            QCOMPARE(grid->model()->rowCount(), 2);
            if (where == QLatin1String("edit"))
                QCOMPARE(d.dlg.EditedMobiles().Value(0, 1).toString(), QStringLiteral("IMEI-9"));
            // On the last row Enter stays there.
            for (int i = 0; i < 3; ++i)
                Key(&d.dlg, Qt::Key_Return);
            QTest::qWait(50);
            QCOMPARE(grid->currentIndex(), grid->model()->index(1, col));
            QCOMPARE(grid->model()->rowCount(), 2);
        }
        QCOMPARE(d.dlg.EditedMobiles().RowCount(), 2);
        QVERIFY(d.dlg.isVisible());

        // The list saves as it stands.
        Click(d.command(1));
        QCOMPARE(d.texts().filter(kBadMobile), QStringList());
        QCOMPARE(d.dlg.result(), int(QDialog::Accepted));
        QCOMPARE(Column(inst.setup->xMobiles, 0), QStringList({"9876543210", "9123456789"}));
    }

    // --- the keys alone ---------------------------------------------------------------------

    // Tab and Shift+Tab meet every control in the order it stands on the dialog, left to right
    // and top to bottom, and come round to the first: the lists are walked cell by cell and
    // left after their last cell (their first, going back). The boxes of the mode not chosen are
    // off and skipped.
    void tabOrder_data()
    {
        QTest::addColumn<bool>("listening");
        QTest::addColumn<QStringList>("order");
        const QStringList lists{"TDBGrid(0)", "TDBGCompany", "TDBGMobile", "cmdAddMobile", "cmdDeleteMobile",
                                "Command(1)", "Command(0)"};
        QTest::newRow("listening") << true << QStringList{"Check(0)", "Text(0)", "Check(1)", "Text(3)", "Check(2)", "Text(4)"} + lists;
        QTest::newRow("relay") << false << QStringList{"Check(0)", "Text(1)", "Text(2)", "Check(1)", "Text(3)", "Check(2)", "Text(4)"} + lists;
    }
    void tabOrder()
    {
        QFETCH(bool, listening);
        QFETCH(QStringList, order);
        Installation inst(listening);
        AddLocation(inst.setup->xLocations, QStringLiteral("D:\\Tessarin4\\Data"));
        Dialog d(*inst.setup);
        QVERIFY(d.open());
        QCOMPARE(FocusName(), order.first());
        // Compared as text, so that a failure shows the whole walk.
        QCOMPARE(TabWalk(&d.dlg, true).join(QStringLiteral(" > ")), order.join(QStringLiteral(" > ")));
        QCOMPARE(TabWalk(&d.dlg, false).join(QStringLiteral(" > ")), Reversed(order).join(QStringLiteral(" > ")));
        // Walking asks nothing and changes nothing.
        QCOMPARE(d.texts(), QStringList());
        QVERIFY(!d.dlg.SettingChanged());
    }

    // In a list Tab walks the cells of a row and goes on to the next row, so that a mobile is
    // typed in one go; Tab on the last cell and Shift+Tab on the first leave the list for the
    // next or the previous control, and Ctrl+Tab and Ctrl+Shift+Tab leave it from any cell. An
    // edit under way is kept when the list is left. The current cell stays where it was.
    void tabLeavesTheLists_data()
    {
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("typed");  // typed into the cell first: an edit under way
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("focus");  // the control with the focus afterwards
        QTest::addColumn<int>("toRow");      // the current cell afterwards
        QTest::addColumn<int>("toCol");
        const int tab = Qt::Key_Tab, backtab = Qt::Key_Backtab;
        const int none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
        const QString mobiles = QStringLiteral("TDBGMobile"), companies = QStringLiteral("TDBGCompany"),
                      locations = QStringLiteral("TDBGrid(0)");

        // The mobiles: two rows of five cells; Mobile No, IMEI No and Last Status are typed.
        QTest::newRow("mobiles: Tab on a cell walks to the next") << mobiles << 0 << 1 << "" << tab << none << mobiles << 0 << 2;
        QTest::newRow("mobiles: Tab at a row's end goes to the next row") << mobiles << 0 << 4 << "" << tab << none << mobiles << 1 << 0;
        QTest::newRow("mobiles: Shift+Tab at a row's start goes to the row above") << mobiles << 1 << 0 << "" << backtab << shift << mobiles << 0 << 4;
        QTest::newRow("mobiles: Tab in an edit keeps it and walks on") << mobiles << 0 << 0 << "9811111111" << tab << none << mobiles << 0 << 1;
        QTest::newRow("mobiles: Tab on the last cell") << mobiles << 1 << 4 << "" << tab << none << "cmdAddMobile" << 1 << 4;
        QTest::newRow("mobiles: Tab in an edit of the last cell") << mobiles << 1 << 4 << "Called" << tab << none << "cmdAddMobile" << 1 << 4;
        QTest::newRow("mobiles: Shift+Tab on the first cell") << mobiles << 0 << 0 << "" << backtab << shift << companies << 0 << 0;
        QTest::newRow("mobiles: Shift+Tab in an edit of the first cell") << mobiles << 0 << 0 << "9811111111" << backtab << shift << companies << 0 << 0;
        QTest::newRow("mobiles: Ctrl+Tab on a middle cell") << mobiles << 0 << 2 << "" << tab << ctrl << "cmdAddMobile" << 0 << 2;
        QTest::newRow("mobiles: Ctrl+Tab in an edit of a middle cell") << mobiles << 0 << 1 << "IMEI-7" << tab << ctrl << "cmdAddMobile" << 0 << 1;
        QTest::newRow("mobiles: Ctrl+Shift+Tab on a middle cell") << mobiles << 1 << 2 << "" << backtab << (ctrl | shift) << companies << 1 << 2;
        QTest::newRow("mobiles: Ctrl+Shift+Tab in an edit of a middle cell") << mobiles << 1 << 1 << "IMEI-8" << backtab << (ctrl | shift) << companies << 1 << 1;

        // The companies: three rows of five cells, the tick the only one changed.
        QTest::newRow("companies: Tab on a cell walks to the next") << companies << 1 << 4 << "" << tab << none << companies << 2 << 0;
        QTest::newRow("companies: Tab on the last cell") << companies << 2 << 4 << "" << tab << none << mobiles << 2 << 4;
        QTest::newRow("companies: Shift+Tab on the first cell") << companies << 0 << 0 << "" << backtab << shift << locations << 0 << 0;
        QTest::newRow("companies: Ctrl+Tab on a middle cell") << companies << 1 << 2 << "" << tab << ctrl << mobiles << 1 << 2;
        QTest::newRow("companies: Ctrl+Shift+Tab on a middle cell") << companies << 1 << 2 << "" << backtab << (ctrl | shift) << locations << 1 << 2;

        // The locations: one row of a tick and a folder.
        QTest::newRow("locations: Tab on the last cell") << locations << 0 << 1 << "" << tab << none << companies << 0 << 1;
        QTest::newRow("locations: Shift+Tab on the first cell") << locations << 0 << 0 << "" << backtab << shift << "Text(4)" << 0 << 0;
        QTest::newRow("locations: Ctrl+Tab on the first cell") << locations << 0 << 0 << "" << tab << ctrl << companies << 0 << 0;
    }
    void tabLeavesTheLists()
    {
        QFETCH(QString, grid);
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, typed);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, focus);
        QFETCH(int, toRow);
        QFETCH(int, toCol);
        Installation inst;
        AddLocation(inst.setup->xLocations, QStringLiteral("D:\\Tessarin4\\Data"));
        Dialog d(*inst.setup);
        QVERIFY(d.open());
        QTableView* view = d.grid(grid);
        GoToCell(&d.dlg, view, row, col);
        if (QTest::currentTestFailed())
            return;
        const QModelIndex start = view->model()->index(row, col);
        if (!typed.isEmpty()) {
            Type(&d.dlg, typed);
            QVERIFY(view->indexWidget(start));
        }

        Key(&d.dlg, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QTest::qWait(20);
        QCOMPARE(FocusName(), focus);
        QCOMPARE(view->currentIndex(), view->model()->index(toRow, toCol));
        if (!typed.isEmpty()) {
            QTRY_VERIFY(!view->indexWidget(start));
            QCOMPARE(view->model()->data(start).toString(), typed);
        }
        if (focus != grid) {
            // Left for good: no editor stays open behind the focus.
            QTRY_VERIFY(!view->findChild<QLineEdit*>());
            QCOMPARE(QApplication::focusWidget(), d.get<QWidget>(focus));
        }
        // Leaving for a button presses nothing.
        QCOMPARE(d.dlg.EditedMobiles().RowCount(), 2);
        QCOMPARE(d.texts(), QStringList());
        QVERIFY(d.dlg.isVisible());
    }

    // A button with the focus is pressed by Space, and by Enter as well; Enter elsewhere presses
    // no button (see enterMovesDown).
    void buttonsFromTheKeys_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("question");  // asked, and answered Yes
        QTest::addColumn<int>("mobiles");       // mobiles in the list afterwards
        QTest::addColumn<int>("result");        // -1: the dialog stays open
        const struct {
            const char* name;
            int key;
            int modifiers;
        } keys[] = {{"Space", Qt::Key_Space, Qt::NoModifier}, {"Return", Qt::Key_Return, Qt::NoModifier},
                    {"Enter", Qt::Key_Enter, Qt::KeypadModifier}};
        for (const auto& k : keys) {
            const int key = k.key | k.modifiers;
            QTest::addRow("%s on Add Mobile", k.name) << "cmdAddMobile" << key << "" << 3 << -1;
            QTest::addRow("%s on Delete Mobile", k.name) << "cmdDeleteMobile" << key << kDeleteQuestion << 1 << -1;
            QTest::addRow("%s on Save Settings", k.name) << "Command(1)" << key << "" << 2 << int(QDialog::Accepted);
            QTest::addRow("%s on Cancel Settings", k.name) << "Command(0)" << key << kCancelQuestion << 2 << int(QDialog::Rejected);
        }
    }
    void buttonsFromTheKeys()
    {
        QFETCH(QString, button);
        QFETCH(int, key);
        QFETCH(QString, question);
        QFETCH(int, mobiles);
        QFETCH(int, result);
        Installation inst;
        Dialog d(*inst.setup);
        QVERIFY(d.open());
        QPushButton* pressed = d.get<QPushButton>(button);
        pressed->setFocus(Qt::TabFocusReason);
        QVERIFY(QTest::qWaitFor([&] { return pressed->hasFocus(); }, 2000));
        Key(&d.dlg, Qt::Key(key & ~Qt::KeyboardModifierMask), Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask));
        QTest::qWait(20);
        QCOMPARE(d.texts(), question.isEmpty() ? QStringList() : QStringList{question});
        QCOMPARE(d.dlg.EditedMobiles().RowCount(), mobiles);
        if (result < 0) {
            QVERIFY(d.dlg.isVisible());
        } else {
            QTRY_VERIFY(!d.dlg.isVisible());
            QCOMPARE(d.dlg.result(), result);
        }
    }

    // Esc closes the dialog without saving from any control, asking first when something was
    // changed; in an edit under way it first drops the edit.
    void escapeClosesWithoutSaving_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("typed");  // typed into the control first
        QTest::addColumn<QStringList>("asked");
        QTest::newRow("a box, unchanged") << "Text(4)" << "" << QStringList();
        QTest::newRow("a box, changed") << "Text(4)" << "10.0." << QStringList{kCloseQuestion};
        QTest::newRow("a tick") << "Check(1)" << "" << QStringList();
        QTest::newRow("a button") << "Command(1)" << "" << QStringList();
        QTest::newRow("the mobiles") << "TDBGMobile" << "" << QStringList();
        QTest::newRow("the mobiles, an edit under way") << "TDBGMobile" << "IMEI-5" << QStringList();
    }
    void escapeClosesWithoutSaving()
    {
        QFETCH(QString, control);
        QFETCH(QString, typed);
        QFETCH(QStringList, asked);
        Installation inst;
        const QByteArray file = ReadFile(inst.file());
        Dialog d(*inst.setup);
        QVERIFY(d.open());
        QWidget* widget = d.get<QWidget>(control);
        if (auto* grid = qobject_cast<QTableView*>(widget)) {
            GoToCell(&d.dlg, grid, 0, 1);
            if (QTest::currentTestFailed())
                return;
        } else {
            widget->setFocus(Qt::TabFocusReason);
            QVERIFY(QTest::qWaitFor([&] { return widget->hasFocus(); }, 2000));
        }
        if (!typed.isEmpty())
            Type(&d.dlg, typed);
        if (control == QLatin1String("TDBGMobile") && !typed.isEmpty()) {
            // The first Esc drops the edit and leaves the dialog open.
            Key(&d.dlg, Qt::Key_Escape);
            QTest::qWait(20);
            QVERIFY(d.dlg.isVisible());
            QCOMPARE(d.dlg.EditedMobiles().Value(0, 1).toString(), QStringLiteral("IMEI-1"));
        }
        Key(&d.dlg, Qt::Key_Escape);
        QTRY_VERIFY(!d.dlg.isVisible());
        QCOMPARE(d.texts(), asked);
        QCOMPARE(d.dlg.result(), int(QDialog::Rejected));
        QCOMPARE(inst.setup->cBlockIPs, QString());
        QCOMPARE(ReadFile(inst.file()), file);
    }

    // The dialog may go while a cell is being edited, as when the program is ended with the
    // dialog open: the edit goes with it, and nothing is written into the lists the dialog has
    // let go.
    void goneWithAnEditUnderWay()
    {
        Installation inst;
        {
            Dialog d(*inst.setup);
            QVERIFY(d.open());
            GoToCell(&d.dlg, d.mobiles(), 0, 1);
            if (QTest::currentTestFailed())
                return;
            Type(&d.dlg, QStringLiteral("IMEI-5"));
            QVERIFY(d.mobiles()->indexWidget(d.mobiles()->currentIndex()));
        }
        QCoreApplication::processEvents();
        QCOMPARE(Column(inst.setup->xMobiles, 1), QStringList({"IMEI-1", ""}));
    }

    // --- widths -----------------------------------------------------------------------------

    // At the default size every heading and a typical value can be read; when the dialog grows
    // the text columns share what it gains and the ticks keep their width.
    void widthsOfTheLists()
    {
        Installation inst;
        AddMobileRow(inst.setup->xMobiles, kLongMobileNo, kImei, QStringLiteral("ABC2024|PQR2024|XYZ"), true,
                     QStringLiteral("Login successful"));
        AddCompanyRow(inst.setup->xCompanies, kLongCompany, QStringLiteral("MSTL2024"));
        const int location = inst.setup->xLocations.AppendRow();
        inst.setup->xLocations.SetValue(location, 0, true);
        inst.setup->xLocations.SetValue(location, 1, QStringLiteral("D:\\Tessarin4\\Data"));
        Dialog d(*inst.setup);
        QVERIFY(d.open());
        QTableView* grids[] = {d.grid(QStringLiteral("TDBGrid(0)")), d.companies(), d.mobiles()};
        for (QTableView* grid : grids)
            QVERIFY2(Unreadable(grid).isEmpty(), qPrintable(grid->objectName() + QStringLiteral(": ") + Unreadable(grid).join(u';')));

        QList<QList<int>> before;
        for (QTableView* grid : grids)
            before << Widths(grid);
        d.dlg.resize(d.dlg.width() + 300, d.dlg.height());
        QTest::qWait(100);
        QTRY_VERIFY(Widths(d.mobiles()) != before.at(2));
        for (int g = 0; g < 3; ++g) {
            QTableView* grid = grids[g];
            const QList<int> after = Widths(grid);
            const QList<int> text = TextColumns(grid);
            for (int col = 0; col < after.size(); ++col) {
                if (text.contains(col))
                    QVERIFY2(after.at(col) > before.at(g).at(col), qPrintable(grid->objectName() + QString::number(col)));
                else
                    QCOMPARE(after.at(col), before.at(g).at(col));
            }
            QVERIFY2(Unreadable(grid).isEmpty(), qPrintable(grid->objectName() + QStringLiteral(": ") + Unreadable(grid).join(u';')));
        }
    }

    // --- captions ---------------------------------------------------------------------------

    void ampersandsAreShown()
    {
        Installation inst;
        Dialog d(*inst.setup);
        QVERIFY(d.open());
        QStringList headings;
        for (const QGroupBox* box : d.dlg.findChildren<QGroupBox*>())
            headings << widgettest::ShownCaption(box);
        QCOMPARE(headings, QStringList({"Select Folder Location to allow access", "Select Company Allowed to Mobile",
                                        "Enter Mobile No. & It's IMEINo to be allowed to access data."}));
        QCOMPARE(widgettest::MisdrawnAmpersands(&d.dlg), QStringList());
    }

    // --- the port rule ----------------------------------------------------------------------

    // A port is four or five digits; one that no socket can use (0, above 65535) is refused
    // with the range. Both port boxes, left with Tab and saved with the text still in the box.
    void portRule_data()
    {
        QTest::addColumn<bool>("listening");
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");  // empty: taken
        for (const bool listening : {true, false}) {
            const int box = listening ? 0 : 2;
            const char* name = listening ? "local port" : "server port";
            QTest::addRow("%s 80", name) << listening << box << "80" << kPortMessage;
            QTest::addRow("%s 0", name) << listening << box << "0" << kPortMessage;
            QTest::addRow("%s blank", name) << listening << box << "" << kPortMessage;
            QTest::addRow("%s six digits", name) << listening << box << "123456" << kPortMessage;
            QTest::addRow("%s letters", name) << listening << box << "11a5" << kPortMessage;
            QTest::addRow("%s 0080", name) << listening << box << "0080" << QString();
            QTest::addRow("%s 1176", name) << listening << box << "1176" << QString();
            QTest::addRow("%s 65535", name) << listening << box << "65535" << QString();
            QTest::addRow("%s 65536", name) << listening << box << "65536" << kPortRange;
            QTest::addRow("%s 99999", name) << listening << box << "99999" << kPortRange;
            QTest::addRow("%s 0000", name) << listening << box << "0000" << kPortRange;
            QTest::addRow("%s -123", name) << listening << box << "-123" << kPortRange;
        }
    }
    void portRule()
    {
        QFETCH(bool, listening);
        QFETCH(int, box);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        const bool refused = !message.isEmpty();

        // Left with Tab: a refused port keeps the focus in its box; a taken one (changed)
        // asks the connection question and lets the focus go.
        {
            Installation inst(listening);
            Dialog d(*inst.setup);
            QVERIFY(d.open());
            Click(d.text(box));
            QVERIFY(QTest::qWaitFor([&] { return d.text(box)->hasFocus(); }, 2000));
            Key(&d.dlg, Qt::Key_A, Qt::ControlModifier);
            if (typed.isEmpty())
                Key(&d.dlg, Qt::Key_Delete);
            else
                Type(&d.dlg, typed);
            QCOMPARE(d.text(box)->text(), typed);
            Key(&d.dlg, Qt::Key_Tab);
            QTest::qWait(50);
            if (refused) {
                QCOMPARE(d.texts().value(0), message);
                QVERIFY(d.text(box)->hasFocus());
            } else {
                QCOMPARE(d.texts(), QStringList{kConfirm});
                QVERIFY(!d.text(box)->hasFocus());
            }
        }
        // Saved with the text still in the box: a refused port keeps the dialog open and the
        // settings file as it was.
        {
            Installation inst(listening);
            const QByteArray file = ReadFile(inst.file());
            Dialog d(*inst.setup);
            QVERIFY(d.open());
            d.text(box)->setFocus();
            QVERIFY(QTest::qWaitFor([&] { return d.text(box)->hasFocus(); }, 2000));
            d.text(box)->setText(typed);
            Click(d.command(1));
            QTest::qWait(50);
            if (refused) {
                QCOMPARE(d.texts().value(0), message);
                QVERIFY(d.dlg.isVisible());
                QCOMPARE(ReadFile(inst.file()), file);
            } else {
                QCOMPARE(d.texts().filter(QStringLiteral("Port")), QStringList());
                QTRY_VERIFY(!d.dlg.isVisible());
                QCOMPARE(listening ? inst.setup->cLocalPort : inst.setup->cRemotePort, typed);
            }
        }
    }

    // --- closing with changes ---------------------------------------------------------------

    // The close box asks before it throws away any change; a change taken back again is none.
    void closeBoxAsksAfterAnyChange_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("asks");
        QTest::newRow("Dongle No") << 3 << "D-7" << true;
        QTest::newRow("Block IPs") << 4 << "10.0." << true;
        QTest::newRow("Dongle No typed as it was") << 3 << "D-1" << false;
        QTest::newRow("Block IPs, blanks only") << 4 << "  " << false;
    }
    void closeBoxAsksAfterAnyChange()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(bool, asks);
        Installation inst;
        const QByteArray file = ReadFile(inst.file());
        Dialog d(*inst.setup);
        QVERIFY(d.open());
        Click(d.text(field));
        QVERIFY(QTest::qWaitFor([&] { return d.text(field)->hasFocus(); }, 2000));
        Key(&d.dlg, Qt::Key_A, Qt::ControlModifier);
        Type(&d.dlg, typed);
        QCOMPARE(d.text(field)->text(), typed);

        d.answers << QMessageBox::No;
        d.dlg.windowHandle()->close();
        if (asks) {
            QCOMPARE(d.texts(), QStringList{kCloseQuestion});
            QCOMPARE(d.shown[0].icon, QMessageBox::Question);
            QCOMPARE(d.shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
            QCOMPARE(d.shown[0].defaultButton, QMessageBox::No);
            QCOMPARE(d.shown[0].title, d.dlg.windowTitle());
            QVERIFY(d.dlg.isVisible());
            QCOMPARE(d.text(field)->text(), typed);  // No keeps the dialog with the change
            d.answers.clear();
            d.answers << QMessageBox::Yes;
            d.dlg.windowHandle()->close();
            QCOMPARE(d.texts().size(), 2);
        } else {
            QCOMPARE(d.texts(), QStringList());
        }
        QTRY_VERIFY(!d.dlg.isVisible());
        QCOMPARE(inst.setup->cDongleNo, QStringLiteral("D-1"));
        QCOMPARE(inst.setup->cBlockIPs, QString());
        QCOMPARE(ReadFile(inst.file()), file);
    }
};

QTEST_MAIN(TestSetupDialogWindow)
#include "test_setup_dialog_window.moc"

#pragma once

// What the setup dialog's window tests share: an installation whose settings file lives in a
// temporary folder, and the real dialog on its clsSetup with every message box answered by the
// test.

#include "Fixtures.h"
#include "clsSetup.h"
#include "frmMobileClientSetup.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace setuptest {

using Request = frmMobileClientSetup::MessageRequest;

const QString kConfirm = QStringLiteral("You have changed connection parameter.\r\nIt will reset current connection if any.");
const QString kPortMessage = QStringLiteral("Port must be numeric and length must be 4 or 5 digit.");
const QString kPortRange = QStringLiteral("Port must be a whole number from 1 to 65535.");
const QString kFormat = QStringLiteral("IP Address must be in 999.999.999.999 format.");
const QString kSpace = QStringLiteral("IP Address must be numeric and without any space character.");
const QString kRange = QStringLiteral("IP Address must between 0 to 255.");
const QString kDongle = QStringLiteral("Dongle No. must not be blank.");
const QString kNoMobiles = QStringLiteral("No Allowed Mobile Nos are found.");
const QString kBadMobile = QStringLiteral("Blank or Invalid Mobile No.");
const QString kCancelQuestion = QStringLiteral("Really you want to cancel settings.");
const QString kCloseQuestion = QStringLiteral("You have not saved setting.\r\nReally you want to close exit.");
const QString kDeleteQuestion = QStringLiteral("Really you want to delete row.");

inline QDateTime Day(int y, int m, int d)
{
    return QDateTime(QDate(y, m, d), QTime(0, 0));
}

inline void AddMobileRow(platform::XArrayDB& t, const QString& no, const QString& imei, const QString& allowed,
                  bool locked = false, const QString& status = QString())
{
    const int r = t.AppendRow();
    t.SetValue(r, 0, no);
    t.SetValue(r, 1, imei);
    t.SetValue(r, 2, allowed);
    t.SetValue(r, 3, locked);
    t.SetValue(r, 4, status);
}

inline void AddCompanyRow(platform::XArrayDB& t, const QString& name, const QString& db)
{
    fixtures::ListCompany(t, db, name, Day(2024, 4, 1), Day(2025, 3, 31));
}

inline QStringList Column(const platform::XArrayDB& t, int col)
{
    QStringList out;
    for (int r = t.LowerBound(1); r <= t.UpperBound(1); ++r)
        out << t.Value(r, col).toString();
    return out;
}

inline QStringList Sorted(const QString& joined)
{
    QStringList parts = joined.split(u'|', Qt::SkipEmptyParts);
    parts.sort();
    return parts;
}

// Clicks a check box on its indicator, as the user does.
inline void ClickBox(QCheckBox* box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

inline QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One installation: a program folder with a settings file holding two mobiles, and a
// company list of three companies (as the company look-up would have left it).
struct Installation {
    QTemporaryDir dir;
    std::unique_ptr<clsSetup> setup;

    explicit Installation(bool staticIP = true)
    {
        setup = std::make_unique<clsSetup>(dir.path());
        setup->GetSettings();  // no file yet: the defaults
        setup->lStaticIP = staticIP;
        setup->cLocalPort = QStringLiteral("1175");
        setup->cRemoteIP = QStringLiteral("192.168.1.200");
        setup->cRemotePort = QStringLiteral("3175");
        setup->cDongleNo = QStringLiteral("D-1");
        AddMobileRow(setup->xMobiles, QStringLiteral("9876543210"), QStringLiteral("IMEI-1"), QStringLiteral("ABC2024|XYZ"));
        AddMobileRow(setup->xMobiles, QStringLiteral("9123456789"), QString(), QString());
        QVERIFY(setup->SaveSettings());
        QVERIFY(setup->GetSettings());
        AddCompanyRow(setup->xCompanies, QStringLiteral("Abc Traders"), QStringLiteral("ABC2024"));
        AddCompanyRow(setup->xCompanies, QStringLiteral("Pqr Industries"), QStringLiteral("PQR2024"));
        AddCompanyRow(setup->xCompanies, QStringLiteral("Xyz Exports"), QStringLiteral("XYZ"));
    }
    QString file() const { return setup->SettingsFilePath(); }
};

// The dialog with its boxes answered by the test: each box is recorded, and answered with the
// next queued answer, or else with OK for an OK box and Yes for a question.
struct Dialog {
    frmMobileClientSetup dlg;
    QList<Request> shown;
    QList<QMessageBox::StandardButton> answers;

    explicit Dialog(clsSetup& setup) : dlg(setup)
    {
        dlg.MessageHook = [this](const Request& r) {
            shown << r;
            if (!answers.isEmpty())
                return answers.takeFirst();
            return (r.buttons & QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Yes;
        };
    }
    bool open()
    {
        dlg.show();
        return QTest::qWaitForWindowActive(&dlg);
    }
    QStringList texts() const
    {
        QStringList out;
        for (const Request& r : shown)
            out << r.text;
        return out;
    }
    template <typename T>
    T* get(const QString& name) const
    {
        return dlg.findChild<T*>(name);
    }
    QCheckBox* check(int i) const { return get<QCheckBox>(QStringLiteral("Check(%1)").arg(i)); }
    QLineEdit* text(int i) const { return get<QLineEdit>(QStringLiteral("Text(%1)").arg(i)); }
    QLabel* label(int i) const { return get<QLabel>(QStringLiteral("Label(%1)").arg(i)); }
    QPushButton* command(int i) const { return get<QPushButton>(QStringLiteral("Command(%1)").arg(i)); }
    QTableView* grid(const QString& name) const { return get<QTableView>(name); }
    QTableView* mobiles() const { return grid(QStringLiteral("TDBGMobile")); }
    QTableView* companies() const { return grid(QStringLiteral("TDBGCompany")); }

    // Types into a box and leaves it for another control, as the user does.
    void type(int i, const QString& value, QWidget* next = nullptr)
    {
        text(i)->setFocus();
        text(i)->setText(value);
        (next ? next : check(1))->setFocus();
        QCoreApplication::processEvents();
    }
    void selectMobile(int row) { mobiles()->setCurrentIndex(mobiles()->model()->index(row, 0)); }
    void tick(int companyRow, bool on)
    {
        QAbstractItemModel* m = companies()->model();
        QVERIFY(m->setData(m->index(companyRow, 0), on ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole));
    }
    QStringList ticked() const
    {
        QStringList out;
        QAbstractItemModel* m = companies()->model();
        for (int r = 0; r < m->rowCount(); ++r)
            if (m->data(m->index(r, 0), Qt::CheckStateRole).toInt() == Qt::Checked)
                out << m->data(m->index(r, 4)).toString();
        return out;
    }
};


}  // namespace setuptest

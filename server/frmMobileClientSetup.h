#pragma once

#include "table/XArrayDB.h"

#include <QDialog>
#include <QMessageBox>
#include <QString>
#include <functional>

class QCheckBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class clsSetup;

namespace platform {
class XArrayDBModel;
}

// The setup dialog of the server: connection mode, ports and address, the installation's
// account number (DongleNo), blocked addresses, the two start-up switches, and the lists of
// folder locations, companies and allowed mobiles.
//
// The dialog works on its own copies: the fields live in the controls and the three lists in
// tables of the dialog, so nothing the user types reaches the running server before Save has
// tested it and the settings file has been written. Save copies the tested values into the
// `clsSetup` it was given and calls `clsSetup::SaveSettings`; when that fails the settings in
// use are put back as they were. Cancel, or closing the dialog and discarding, leaves
// `clsSetup` untouched.
//
// exec() returns QDialog::Accepted exactly when the settings were saved. After a save
// `clsSetup::lConnectionParemeterChanged` is True when the mode, the local port, the server
// address or the server port really changed (it is never cleared here: the window clears it
// once it has closed the connections).
class frmMobileClientSetup : public QDialog {
    Q_OBJECT
public:
    // One message box the dialog wants to show. `title` is the dialog's caption for the boxes
    // that carry it, and empty for the boxes without a title of their own (the program's).
    struct MessageRequest {
        QString text;
        QString title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };
    using MessageHandler = std::function<QMessageBox::StandardButton(const MessageRequest&)>;

    explicit frmMobileClientSetup(clsSetup& setup, QWidget* parent = nullptr);
    explicit frmMobileClientSetup(clsSetup* setup, QWidget* parent = nullptr);
    ~frmMobileClientSetup() override;

    // Shows the dialog modally on `pSetup`; true when the settings were saved.
    static bool GetSetting(clsSetup& pSetup, QWidget* parent = nullptr);

    // When set, every message box of the dialog goes here instead of to the screen, and the
    // button returned is taken as the user's answer. Otherwise the boxes go through MsgBox.
    MessageHandler MessageHook;

    // True when the user changed something that closing the dialog would throw away: a list,
    // a switch, or a field that no longer holds the setting in use.
    bool SettingChanged() const;

    // The lists as edited so far (they reach `clsSetup` only at Save).
    const platform::XArrayDB& EditedMobiles() const { return m_mobiles; }
    const platform::XArrayDB& EditedCompanies() const { return m_companies; }
    const platform::XArrayDB& EditedLocations() const { return m_locations; }

    // The row of the mobile grid that is current, or -1 when there is none.
    int CurrentMobileRow() const;

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ShowSettings();
    void BindGrids(int pType);
    void SetConnectionControls();
    void SetAutoStartCaption(bool pStaticIP);
    bool ConfirmConnectionChange();
    QMessageBox::StandardButton Ask(const QString& text, QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton, bool withCaption);

    void Command_Click(int Index);
    void Check_Click(int Index, bool checked);
    bool Text_Validate(int Index);
    void OnFocusChanged(QWidget* old, QWidget* now);

    bool ValidateSettings();
    bool ValidatePort(const QString& text);
    bool ValidateIPAddress(const QString& text);
    bool ValidateDongleNo(const QString& text);
    void CollectSettings();
    void CommitMobileEdit();

    void AddMobile();
    void DeleteMobile();
    void ShowAllowedCompanies();
    void WriteAllowedCompanies();
    void OnLocationsLeft();
    bool IsInside(const QWidget* widget, const QWidget* container) const;

    clsSetup& m_setup;
    bool m_settingChanged = false;
    int m_pendingText = -1;  // the text box being left whose test has not run yet
    bool m_testingField = false;

    platform::XArrayDB m_mobiles;
    platform::XArrayDB m_companies;
    platform::XArrayDB m_locations;
    platform::XArrayDB m_mobilesAtOpen;  // to keep IMEI numbers the server registers meanwhile
    QString m_locationsLookedUp;         // the location choice the company list was read for

    QCheckBox* m_check[3] = {};
    QLabel* m_label[5] = {};
    QLineEdit* m_text[5] = {};
    QPushButton* m_command[2] = {};
    QPushButton* m_addMobile = nullptr;
    QPushButton* m_deleteMobile = nullptr;
    QHBoxLayout* m_upperLists = nullptr;  // the locations and the companies, side by side
    QTableView* m_gridLocations = nullptr;
    QTableView* m_gridCompany = nullptr;
    QTableView* m_gridMobile = nullptr;
    platform::XArrayDBModel* m_locationsModel = nullptr;
    platform::XArrayDBModel* m_companyModel = nullptr;
    platform::XArrayDBModel* m_mobileModel = nullptr;
};

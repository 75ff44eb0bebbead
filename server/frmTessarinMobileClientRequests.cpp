// Request routing: the request log, the mobile login and its 12-hour rule, the relay's login
// answers, the folder rule and the hand-off of data requests to a clsClient.
#include "frmTessarinMobileClient.h"

#include "EngineSupport.h"
#include "HandlingScope.h"
#include "ServerText.h"
#include "clsClient.h"
#include "clsSetup.h"
#include "core/RuntimeError.h"
#include "core/WholeNumber.h"
#include "store/UserSettings.h"
#include "clock/Clock.h"

#include <QFileInfo>

using platform::JsonObject;
using platform::RuntimeError;
using namespace server_text;

namespace {

const QString kNotLoggedIn = QStringLiteral("Login Time expired or you are not logged in.");

// A member read as a 16-bit integer: empty is 0, a number is rounded, other text (a
// non-finite number's text included) is a run-time error.
qint16 IntegerOf(const JsonObject& object, const QString& name)
{
    const QString text = object.StringOf(name).trimmed();
    if (text.isEmpty())
        return 0;
    return platform::Integer16(platform::NumberFromText(text));
}

// The number of hour boundaries between two times on the wall clock.
qint64 HoursBetween(const QDateTime& from, const QDateTime& to)
{
    return from.date().daysTo(to.date()) * 24 + (to.time().hour() - from.time().hour());
}

}  // namespace

void frmTessarinMobileClient::SendFormatError(qint16 slot, const QString& action, const QString& mobileNo, long number,
                                              const QString& description, bool markClose)
{
    if (markClose)
        ClientActions.insert(slot, QStringLiteral("Close"));
    SendReply(slot, clsClient::ReplyText(action, mobileNo, 0,
                                         QStringLiteral("Not a proper JSON Format.") + kCrLf + QStringLiteral("Err No.")
                                             + QString::number(number) + QStringLiteral(" - ") + description));
}

void frmTessarinMobileClient::ProcessRequest(qint16 slot, const QString& text)
{
    HandlingScope scope(this);
    try {
        JsonObject request;
        request.Load(text);
        const QString action = GetRequestAction(slot, request);
        const qint32 requestID = Setup->InsertRequest(m_tcp->RemoteHostIP(slot), text, request);
        QByteArray reply;  // the engine's, in UTF-8; the replies sent on the way are not logged as the response
        if (action.toUpper() == QStringLiteral("LOGIN")) {
            if (IsRelaySlot(slot))
                HandleServerLoginReply(slot, request);
            else
                HandleMobileLogin(slot, request);
        } else {
            if (IsRelaySlot(slot)) {
                if (!CheckRelayRequest(slot, request))
                    return;
            } else if (!CheckLoginSession(slot, request)) {
                return;
            }
            if (!ValidateRequest(slot, request))
                return;
            ClientActions.insert(slot, action);
            {
                clsClient client;
                client.lTestingMode = m_testingMode;
                client.Setup = Setup.get();
                reply = client.Answer(request);
            }
            SendUtf8Reply(slot, reply);
        }
        if (requestID >= 1)
            Setup->UpdateRequestUtf8(requestID, reply);
    } catch (const RuntimeError& e) {
        SendFormatError(slot, QString(), QString(), e.Number(), e.Description(), false);
    } catch (const std::exception& e) {
        SendFormatError(slot, QString(), QString(), 0, QString::fromLocal8Bit(e.what()), false);
    }
}

QString frmTessarinMobileClient::GetRequestAction(qint16 slot, const JsonObject& request)
{
    const QString action = request.StringOf(QStringLiteral("Action"));
    ClientActions.insert(slot, action);
    return action;
}

// --- listening mode: the mobile's login ------------------------------------------------------

void frmTessarinMobileClient::HandleMobileLogin(qint16 slot, const JsonObject& request)
{
    QString mobileNo;
    QString imeiNo;
    QString message;
    try {
        mobileNo = request.StringOf(QStringLiteral("MobileNo"));
        imeiNo = request.StringOf(QStringLiteral("IMEINo"));
        ShowEvent(QStringLiteral("Login Request Received for Mobile No.") + Shown(mobileNo) + QStringLiteral(" Client Index : ")
                  + QString::number(slot) + QStringLiteral(" IMEI No.") + Shown(imeiNo));
        if (GetTCPIndex(mobileNo) != 0) {
            message = QStringLiteral("Mobile No. is already connected.");
        } else if (CheckMobileNo(mobileNo, imeiNo)) {
            m_tcp->SetTag(slot, mobileNo);
            MobileIndexes.insert(mobileNo.toUpper(), slot);
            ClientActions.insert(slot, QStringLiteral("Login"));
            RegisterIMEINo(mobileNo, imeiNo);
            RecordLoginSession(mobileNo, imeiNo);
            SendReply(slot, clsClient::ReplyText(QStringLiteral("Login"), mobileNo, 1, QStringLiteral("Success"),
                                                 {QStringLiteral("Android"), cAndroidVersion, QStringLiteral("iOS"), cIOSVersion}));
            ShowEvent(QStringLiteral("Login Accepted for Mobile No.") + Shown(mobileNo) + QStringLiteral(" Client Index : ")
                      + QString::number(slot));
            return;
        } else {
            message = QStringLiteral("Mobile Lock or Not Allowed or IMEI No. not registered.");
        }
    } catch (const RuntimeError& e) {
        message = QStringLiteral("Error No.") + platform::ErrorLine(e);
    } catch (const std::exception& e) {
        message = QStringLiteral("Error No.0-") + QString::fromLocal8Bit(e.what());
    }
    ShowEvent(QStringLiteral("Login Rejected for Mobile No.") + Shown(mobileNo) + QStringLiteral(" Client Index : ")
              + QString::number(slot) + QStringLiteral(" Message : ") + Shown(message));
    ClientActions.insert(slot, QStringLiteral("Close"));
    SendReply(slot, clsClient::ReplyText(QStringLiteral("Login"), mobileNo, 0, message,
                                         {QStringLiteral("Android"), cAndroidVersion, QStringLiteral("iOS"), cIOSVersion}));
}

bool frmTessarinMobileClient::CheckMobileNo(const QString& pMobileNo, const QString& pIMEINo) const
{
    const platform::XArrayDB& mobiles = *xMobiles;
    for (int row = mobiles.LowerBound(1); row <= mobiles.UpperBound(1); ++row) {
        if (mobiles.Value(row, 0).toString() != pMobileNo || ValueIsTrue(mobiles.Value(row, 3)))
            continue;
        const QString stored = engine::TrimBlanks(mobiles.Value(row, 1).toString());
        if (stored.isEmpty() || stored == pIMEINo)
            return true;
    }
    return false;
}

qint16 frmTessarinMobileClient::GetTCPIndex(const QString& pMobileNo) const
{
    return MobileIndexes.value(pMobileNo.toUpper(), 0);
}

void frmTessarinMobileClient::RegisterIMEINo(const QString& mobileNo, const QString& imeiNo)
{
    platform::XArrayDB& mobiles = *xMobiles;
    for (int row = mobiles.LowerBound(1); row <= mobiles.UpperBound(1); ++row) {
        if (mobiles.Value(row, 0).toString() != mobileNo || !engine::TrimBlanks(mobiles.Value(row, 1).toString()).isEmpty())
            continue;
        const bool changed = mobiles.Value(row, 1).toString() != imeiNo;
        mobiles.SetValue(row, 1, imeiNo);
        if (m_dialogOpen)
            m_registeredWhileDialogOpen.insert(mobileNo, imeiNo);
        if (changed)
            SaveRegisteredIMEINo(mobileNo, imeiNo);
        return;
    }
}

// The first IMEI number of a mobile goes into the settings file at once, touching nothing else
// in it, so that neither a crash nor a setup dialog that is cancelled (which reloads the file)
// nor one that is open with other edits can lose it. When the file cannot take it, the
// settings are marked changed and are saved whole when the window closes.
void frmTessarinMobileClient::SaveRegisteredIMEINo(const QString& mobileNo, const QString& imeiNo)
{
    try {
        const QString path = Setup->SettingsFilePath();
        if (!QFileInfo::exists(path))
            throw RuntimeError(platform::err::FileNotFound, QStringLiteral("File not found"));
        platform::ojson document = platform::ojson::parse(platform::json::Utf8(Setup->ReadFromTextFile(path)));
        bool written = false;
        if (document.is_object() && document.contains("Mobiles") && document["Mobiles"].is_array()) {
            for (auto& entry : document["Mobiles"]) {
                if (!entry.is_array() || entry.size() < 2 || !entry[0].is_string())
                    continue;
                if (platform::json::FromUtf8(entry[0].get<std::string>()) != mobileNo)
                    continue;
                const QString stored = entry[1].is_string() ? platform::json::FromUtf8(entry[1].get<std::string>()) : QString();
                if (!engine::TrimBlanks(stored).isEmpty())
                    continue;
                entry[1] = platform::json::Utf8(imeiNo);
                written = true;
                break;
            }
        }
        if (!written)
            throw RuntimeError(platform::err::ItemNotFound,
                               QStringLiteral("Mobile No. without IMEI No. not found in the settings file"));
        JsonObject settings;
        settings.Load(platform::json::FromUtf8(document.dump()));
        Setup->WriteTextFile(path, settings.Emit(false));
        ShowEvent(QStringLiteral("IMEI No. Registered for Mobile No.") + Shown(mobileNo) + QStringLiteral(" IMEI No.")
                  + Shown(imeiNo));
    } catch (const RuntimeError& e) {
        Setup->lSettingChanged = true;
        ShowEvent(QStringLiteral("Unable to save IMEI No. of Mobile No.") + Shown(mobileNo) + QStringLiteral(" Error No.")
                  + QString::number(e.Number()) + QStringLiteral(" - ") + e.Description());
    } catch (const std::exception& e) {
        Setup->lSettingChanged = true;
        ShowEvent(QStringLiteral("Unable to save IMEI No. of Mobile No.") + Shown(mobileNo) + QStringLiteral(" Error No.0 - ")
                  + QString::fromLocal8Bit(e.what()));
    }
}

void frmTessarinMobileClient::RecordLoginSession(const QString& mobileNo, const QString& imeiNo)
{
    int found = -1;
    for (int row = xLoginSessions.LowerBound(1); row <= xLoginSessions.UpperBound(1); ++row) {
        if (xLoginSessions.Value(row, 0).toString() == mobileNo && xLoginSessions.Value(row, 1).toString() == imeiNo) {
            found = row;
            break;
        }
    }
    if (found < 0)
        found = xLoginSessions.AppendRow();
    xLoginSessions.SetValue(found, 0, mobileNo);
    xLoginSessions.SetValue(found, 1, imeiNo);
    xLoginSessions.SetValue(found, 2, platform::Clock::Now());
}

// --- listening mode: the 12-hour rule and the folder rule -------------------------------------

bool frmTessarinMobileClient::CheckLoginSession(qint16 slot, const JsonObject& request)
{
    try {
        const QString action = request.StringOf(QStringLiteral("Action"));
        const QString mobileNo = request.StringOf(QStringLiteral("MobileNo"));
        const QString imeiNo = request.StringOf(QStringLiteral("IMEINo"));
        const QDateTime now = platform::Clock::Now();
        bool passed = false;
        for (int row = xLoginSessions.LowerBound(1); row <= xLoginSessions.UpperBound(1) && !passed; ++row) {
            if (xLoginSessions.Value(row, 0).toString() == mobileNo && xLoginSessions.Value(row, 1).toString() == imeiNo
                && HoursBetween(xLoginSessions.Value(row, 2).toDateTime(), now) < 12)
                passed = true;
        }
        // The mobile itself is checked again: one locked, removed or given another IMEI number
        // since it logged in is no longer admitted by its old login.
        if (passed && !CheckMobileNo(mobileNo, imeiNo))
            passed = false;
        if (passed) {
            m_tcp->SetTag(slot, mobileNo);
            MobileIndexes.insert(mobileNo.toUpper(), slot);
            ClientActions.insert(slot, QStringLiteral("Login"));
            return true;
        }
        ClientActions.insert(slot, QStringLiteral("Close"));
        SendReply(slot, clsClient::ReplyText(action, mobileNo, 0, kNotLoggedIn));
        return false;
    } catch (const RuntimeError& e) {
        SendFormatError(slot, QString(), QString(), e.Number(), e.Description(), true);
    } catch (const std::exception& e) {
        SendFormatError(slot, QString(), QString(), 0, QString::fromLocal8Bit(e.what()), true);
    }
    return false;
}

bool frmTessarinMobileClient::ValidateRequest(qint16 slot, const JsonObject& request)
{
    // A relay connection serves its mobile for as long as it stays open, so a refusal there
    // does not close it.
    const bool closeOnRefusal = !IsRelaySlot(slot);
    try {
        const QString action = request.StringOf(QStringLiteral("Action"));
        const QString mobileNo = request.StringOf(QStringLiteral("MobileNo"));
        if (action.toUpper() == QStringLiteral("COMPANYLIST"))
            return true;
        if (Setup->IsFolderAllowed(request))
            return true;
        if (closeOnRefusal)
            ClientActions.insert(slot, QStringLiteral("Close"));
        SendReply(slot, clsClient::ReplyText(action, mobileNo, 0, QStringLiteral("Passed Folder Not Allowed.")));
        return false;
    } catch (const RuntimeError& e) {
        SendFormatError(slot, QString(), QString(), e.Number(), e.Description(), closeOnRefusal);
    } catch (const std::exception& e) {
        SendFormatError(slot, QString(), QString(), 0, QString::fromLocal8Bit(e.what()), closeOnRefusal);
    }
    return false;
}

// --- relay mode -----------------------------------------------------------------------------

void frmTessarinMobileClient::HandleServerLoginReply(qint16 slot, const JsonObject& request)
{
    QString action;
    QString mobileNo;
    try {
        action = request.StringOf(QStringLiteral("Action"));
        mobileNo = request.StringOf(QStringLiteral("MobileNo"));
        const qint16 status = IntegerOf(request, QStringLiteral("Status"));
        QString message = request.StringOf(QStringLiteral("Message"));
        // The connection was opened for one mobile; an answer naming another binds nothing.
        const QString slotMobileNo = m_tcp->Tag(slot);
        const QString answeredFor = mobileNo.isEmpty() ? slotMobileNo : mobileNo;
        if (status == 1 && answeredFor == slotMobileNo) {
            ShowEvent(QStringLiteral("Login to Server Successful for Mobile No.") + Shown(answeredFor)
                      + QStringLiteral(" Client Index : ") + QString::number(slot));
            MobileIndexes.insert(answeredFor.toUpper(), slot);
            m_tcp->SetTag(slot, answeredFor);
            m_relayBound.insert(slot);
        } else {
            if (status == 1)
                message = QStringLiteral("The answer is for another Mobile No. than this connection's ") + slotMobileNo
                          + QLatin1Char('.');
            ShowEvent(QStringLiteral("Login to Server Rejected for Mobile No.") + Shown(mobileNo)
                      + QStringLiteral(" Client Index : ") + QString::number(slot) + QStringLiteral(" Message : ")
                      + Shown(message));
            m_relayBound.remove(slot);
        }
    } catch (const RuntimeError& e) {
        SendFormatError(slot, action, mobileNo, e.Number(), e.Description(), false);
    } catch (const std::exception& e) {
        SendFormatError(slot, action, mobileNo, 0, QString::fromLocal8Bit(e.what()), false);
    }
}

// A relay connection answers only for the mobile it was logged in for, once the relay has
// accepted that login, and only while that mobile is still registered, unlocked and with the
// IMEI number it was logged in with.
bool frmTessarinMobileClient::CheckRelayRequest(qint16 slot, const JsonObject& request)
{
    const QString action = request.StringOf(QStringLiteral("Action"));
    const QString mobileNo = request.StringOf(QStringLiteral("MobileNo"));
    const bool admitted = m_relayBound.contains(slot) && mobileNo == m_tcp->Tag(slot)
                          && CheckMobileNo(mobileNo, m_relayIMEINo.value(slot));
    if (admitted)
        return true;
    ShowEvent(QStringLiteral("Request Refused for Mobile No.") + Shown(mobileNo) + QStringLiteral(" Client Index : ")
              + QString::number(slot) + QStringLiteral(" Message : ") + kNotLoggedIn);
    SendReply(slot, clsClient::ReplyText(action, mobileNo, 0, kNotLoggedIn));
    return false;
}

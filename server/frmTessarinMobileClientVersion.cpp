// The current versions of the mobile apps, fetched once at start-up from the maker's site,
// with a copy kept in the program folder for the times the site does not answer with the file.
#include "frmTessarinMobileClient.h"

#include "EngineSupport.h"
#include "MsgBox.h"
#include "ServerText.h"
#include "clsSetup.h"
#include "core/RuntimeError.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

using platform::RuntimeError;
using namespace server_text;

QString frmTessarinMobileClient::VersionFilePath() const
{
    return m_options.programFolder + QStringLiteral("/MobileAppVersion.txt");
}

void frmTessarinMobileClient::GetMobileAppVersions()
{
    try {
        // The changing query value keeps caches on the way from answering with an old copy.
        const QString address = CalderwickURL() + QStringLiteral("/MobileAppVersion.txt") + QStringLiteral("?nocache=")
                                + QString::number(TimeOfDay(), 'f', 3);
        QNetworkAccessManager manager;
        QNetworkRequest request{QUrl(address)};
        request.setTransferTimeout(m_limits.nVersionTimeoutMs);
        QNetworkReply* reply = manager.get(request);
        if (!reply->isFinished()) {
            QEventLoop loop;
            connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
            connect(this, &frmTessarinMobileClient::Unloaded, &loop, &QEventLoop::quit);
            loop.exec();
        }
        if (m_unloaded) {
            reply->abort();
            reply->deleteLater();
            return;
        }
        const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        const QByteArray body = reply->readAll();
        const int networkError = reply->error();
        const QString errorText = reply->errorString();
        reply->deleteLater();
        if (!statusAttribute.isValid())
            throw RuntimeError(networkError, errorText);

        QString text;
        if (statusAttribute.toInt() == 200) {
            text = QString::fromUtf8(body);
            // The fetched file is used even when its copy cannot be kept.
            try {
                Setup->WriteTextFile(VersionFilePath(), text);
            } catch (const RuntimeError& e) {
                ShowEvent(QStringLiteral("Unable to save mobile app version file ") + VersionFilePath()
                          + QStringLiteral(" Error No.") + QString::number(e.Number()) + QStringLiteral(" - ")
                          + e.Description());
            }
        } else {
            text = Setup->ReadFromTextFile(VersionFilePath());
        }

        const QStringList lines = engine::TrimBlanks(text).split(kCrLf);
        for (const QString& rawLine : lines) {
            const QString line = engine::TrimBlanks(rawLine);
            if (line.isEmpty())
                continue;
            const QStringList parts = line.split(QLatin1Char('='));
            const QString key = engine::TrimBlanks(parts.at(0)).toUpper();
            if (key != QStringLiteral("ANDROIDVERSION") && key != QStringLiteral("IOSVERSION"))
                continue;
            if (parts.size() < 2)
                throw RuntimeError(platform::err::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
            if (key == QStringLiteral("ANDROIDVERSION"))
                cAndroidVersion = engine::TrimBlanks(parts.at(1));
            else
                cIOSVersion = engine::TrimBlanks(parts.at(1));
        }
    } catch (const RuntimeError& e) {
        ShowMessage(QStringLiteral("Error getting mobile Version App file.") + kCrLf + QString::number(e.Number())
                        + QLatin1Char('-') + e.Description(),
                    MsgBox::vbCritical, Caption());
    }
}

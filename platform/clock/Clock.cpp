#include "Clock.h"

#include <QFile>
#include <QString>

#include <limits>

namespace platform {

namespace {
QDateTime g_fixed;

QDateTime FromFile()
{
    static const QByteArray path = qgetenv("CORVANTIS_CLOCK_FILE");
    if (path.isEmpty())
        return {};
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString line = QString::fromUtf8(file.readLine()).trimmed();
    return QDateTime::fromString(line, Qt::ISODate);
}
}  // namespace

QDateTime Clock::Now()
{
    if (g_fixed.isValid())
        return g_fixed;
    const QDateTime fromFile = FromFile();
    if (fromFile.isValid())
        return fromFile;
    // Whole seconds, as the stored times carry no fraction. The local date-time of a second is
    // made once: every text-log line asks for it, and making it asks the time zone.
    thread_local qint64 second = std::numeric_limits<qint64>::min();
    thread_local QDateTime made;
    const qint64 now = QDateTime::currentMSecsSinceEpoch() / 1000;
    if (now != second) {
        made = QDateTime::fromMSecsSinceEpoch(now * 1000);  // no fraction left to cut
        second = now;
    }
    return made;
}

QDate Clock::Today()
{
    return Now().date();
}

void Clock::Set(const QDateTime& now)
{
    g_fixed = now;
}

void Clock::Reset()
{
    g_fixed = QDateTime();
}

}  // namespace platform

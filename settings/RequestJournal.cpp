#include "RequestJournal.h"

#include "database/Value.h"

#include <QFile>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr qsizetype kHeader = 6;                 // length (4) and checksum (2)
constexpr quint32 kLargestBody = 256u << 20;     // anything longer is damage, not a record

QString SystemError(const QString& what)
{
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

void PutText(QByteArray& out, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    char size[4];
    qToLittleEndian<quint32>(static_cast<quint32>(utf8.size()), size);
    out.append(size, 4);
    out.append(utf8);
}

// Reads the fields of a body in order; any read past its end marks the body damaged.
class BodyReader {
public:
    explicit BodyReader(const QByteArray& body) : m_body(body) {}
    bool ok() const { return m_ok && m_at == m_body.size(); }
    char Byte()
    {
        if (m_at + 1 > m_body.size())
            return Fail(), '\0';
        return m_body.at(m_at++);
    }
    quint32 Number()
    {
        if (m_at + 4 > m_body.size())
            return Fail(), 0u;
        const quint32 value = qFromLittleEndian<quint32>(m_body.constData() + m_at);
        m_at += 4;
        return value;
    }
    QString Text()
    {
        const quint32 size = Number();
        if (!m_ok || size > static_cast<quint32>(m_body.size() - m_at))
            return Fail(), QString();
        const QString text = QString::fromUtf8(m_body.constData() + m_at, size);
        m_at += size;
        return text;
    }

private:
    void Fail() { m_ok = false; }
    const QByteArray& m_body;
    qsizetype m_at = 0;
    bool m_ok = true;
};
}  // namespace

RequestJournal::~RequestJournal()
{
    Close();
}

QByteArray RequestJournal::Encode(const Record& record)
{
    // The header's place is kept and filled once the body is written behind it.
    QByteArray out(kHeader, Qt::Uninitialized);
    out.reserve(kHeader + 64 + record.text.size() * 3);
    out.append(static_cast<char>(record.kind));
    char ticket[4];
    qToLittleEndian<quint32>(static_cast<quint32>(record.ticket), ticket);
    out.append(ticket, 4);
    PutText(out, platform::db::convert::DateTimeText(record.time));
    if (record.kind == Record::Request) {
        for (const QString* field : {&record.action, &record.mobileNo, &record.userID, &record.folderName, &record.ipAddress})
            PutText(out, *field);
    }
    PutText(out, record.text);
    const QByteArrayView body = QByteArrayView(out).sliced(kHeader);
    qToLittleEndian<quint32>(static_cast<quint32>(body.size()), out.data());
    qToLittleEndian<quint16>(qChecksum(body), out.data() + 4);
    return out;
}

std::vector<RequestJournal::Record> RequestJournal::Decode(const QByteArray& bytes, qsizetype* goodLength)
{
    std::vector<Record> records;
    qsizetype at = 0;
    while (bytes.size() - at >= kHeader) {
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at);
        const quint16 checksum = qFromLittleEndian<quint16>(bytes.constData() + at + 4);
        if (size == 0 || size > kLargestBody || size > static_cast<quint32>(bytes.size() - at - kHeader))
            break;
        const QByteArray body = bytes.mid(at + kHeader, size);
        if (qChecksum(body) != checksum)
            break;
        BodyReader reader(body);
        Record record;
        const char kind = reader.Byte();
        if (kind != Record::Request && kind != Record::Reply && kind != Record::Mark)
            break;
        record.kind = static_cast<Record::Kind>(kind);
        record.ticket = static_cast<qint32>(reader.Number());
        bool timeOk = false;
        record.time = platform::db::convert::ParseDateTime(reader.Text(), &timeOk);
        if (record.kind == Record::Request) {
            for (QString* field : {&record.action, &record.mobileNo, &record.userID, &record.folderName, &record.ipAddress})
                *field = reader.Text();
        }
        record.text = reader.Text();
        if (!reader.ok() || !timeOk)
            break;
        records.push_back(std::move(record));
        at += kHeader + size;
    }
    if (goodLength)
        *goodLength = at;
    return records;
}

bool RequestJournal::Open(const QString& path, QString* error)
{
    Close();
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) {
        *error = SystemError(path);
        return false;
    }
    // Two programs on one journal would move each other's records.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        *error = SystemError(path);
        ::close(fd);
        return false;
    }
    struct stat info {};
    QByteArray bytes;
    QFile file;
    if (::fstat(fd, &info) != 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)
        || (bytes = file.readAll()).size() != info.st_size) {
        // Records that cannot be read must not be emptied away later.
        *error = path + QStringLiteral(": cannot be read");
        ::close(fd);
        return false;
    }
    qsizetype good = 0;
    m_found = Decode(bytes, &good);
    // A damaged tail is cut off so that what is appended from now on can be read back.
    if (good < bytes.size() && ::ftruncate(fd, good) != 0) {
        *error = SystemError(path);
        ::close(fd);
        m_found.clear();
        return false;
    }
    m_fd = fd;
    m_path = path;
    return true;
}

void RequestJournal::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_found.clear();
}

bool RequestJournal::Append(const Record& record, QString* error)
{
    const QByteArray bytes = Encode(record);
    const ssize_t written = ::write(m_fd, bytes.constData(), static_cast<size_t>(bytes.size()));
    if (written == bytes.size())
        return true;
    if (written < 0) {
        *error = SystemError(m_path);
    } else {
        *error = m_path + QStringLiteral(": the disk took part of a record only");
        // The part written would end the journal for a reader; it goes.
        struct stat info {};
        if (::fstat(m_fd, &info) == 0 && ::ftruncate(m_fd, info.st_size - written) != 0)
            *error += QStringLiteral(" and could not be cut off");
    }
    return false;
}

bool RequestJournal::Clear(QString* error)
{
    if (::ftruncate(m_fd, 0) == 0)
        return true;
    *error = SystemError(m_path);
    return false;
}

#include "RequestJournal.h"

#include "database/Value.h"

#include <QFile>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {
constexpr qsizetype kHeader = 6;                 // length (4) and checksum (2)
constexpr quint32 kLargestBody = 256u << 20;     // anything longer is damage, not a record

QString SystemError(const QString& what)
{
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

void PutSize(QByteArray& out, qsizetype size)
{
    char bytes[4];
    qToLittleEndian<quint32>(static_cast<quint32>(size), bytes);
    out.append(bytes, 4);
}

void PutText(QByteArray& out, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    PutSize(out, utf8.size());
    out.append(utf8);
}

// The tables of the ISO 3309 CRC (reflected polynomial 0x8408) that qChecksum computes: t[k][b]
// is the step for a byte b followed by k more bytes.
struct CrcTables {
    quint16 t[8][256];
    constexpr CrcTables() : t{}
    {
        for (int b = 0; b < 256; ++b) {
            quint16 crc = static_cast<quint16>(b);
            for (int i = 0; i < 8; ++i)
                crc = (crc & 1) ? static_cast<quint16>((crc >> 1) ^ 0x8408) : static_cast<quint16>(crc >> 1);
            t[0][b] = crc;
        }
        for (int k = 1; k < 8; ++k)
            for (int b = 0; b < 256; ++b)
                t[k][b] = static_cast<quint16>((t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFF]);
    }
};
constexpr CrcTables kCrc;

// The head of a record (length, checksum and every field but the text's bytes), its text, and
// the checksum over both: written with one writev, so the text is not copied.
struct Parts {
    QByteArray head;
    QByteArrayView text;
};

Parts Split(const RequestJournal::Record& record, QByteArray& converted)
{
    Parts parts;
    QByteArray& out = parts.head;
    if (record.HasUtf8()) {
        parts.text = record.Utf8View();
    } else {
        converted = record.text.toUtf8();
        parts.text = converted;
    }
    out = QByteArray(kHeader, Qt::Uninitialized);
    out.reserve(kHeader + 96);
    out.append(static_cast<char>(record.kind));
    char ticket[4];
    qToLittleEndian<quint32>(static_cast<quint32>(record.ticket), ticket);
    out.append(ticket, 4);
    PutText(out, platform::db::convert::DateTimeText(record.time));
    if (record.kind == RequestJournal::Record::Request) {
        for (const QString* field : {&record.action, &record.mobileNo, &record.userID, &record.folderName, &record.ipAddress})
            PutText(out, *field);
    }
    PutSize(out, parts.text.size());
    const QByteArrayView fields = QByteArrayView(out).sliced(kHeader);
    const quint16 state = RequestJournal::ChecksumStep(RequestJournal::ChecksumStep(0xFFFF, fields), parts.text);
    qToLittleEndian<quint32>(static_cast<quint32>(fields.size() + parts.text.size()), out.data());
    qToLittleEndian<quint16>(static_cast<quint16>(~state), out.data() + 4);
    return parts;
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

quint16 RequestJournal::ChecksumStep(quint16 state, QByteArrayView bytes)
{
    const auto& t = kCrc.t;
    const auto* p = reinterpret_cast<const uchar*>(bytes.data());
    qsizetype n = bytes.size();
    quint32 crc = state;
    for (; n >= 8; n -= 8, p += 8) {
        crc = t[7][(p[0] ^ crc) & 0xFF] ^ t[6][(p[1] ^ (crc >> 8)) & 0xFF] ^ t[5][p[2]] ^ t[4][p[3]] ^ t[3][p[4]]
              ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    }
    for (; n > 0; --n, ++p)
        crc = (crc >> 8) ^ t[0][(crc ^ *p) & 0xFF];
    return static_cast<quint16>(crc);
}

QByteArray RequestJournal::Encode(const Record& record)
{
    QByteArray converted;
    const Parts parts = Split(record, converted);
    QByteArray out = parts.head;
    out.append(parts.text);
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
        if (static_cast<quint16>(~ChecksumStep(0xFFFF, body)) != checksum)
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
    QByteArray converted;
    const Parts parts = Split(record, converted);
    iovec pieces[2] = {{const_cast<char*>(parts.head.constData()), static_cast<size_t>(parts.head.size())},
                       {const_cast<char*>(parts.text.data()), static_cast<size_t>(parts.text.size())}};
    const qsizetype total = parts.head.size() + parts.text.size();
    const ssize_t written = ::writev(m_fd, pieces, 2);
    if (written == total)
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

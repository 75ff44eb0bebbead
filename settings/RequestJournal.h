#pragma once

#include "database/Value.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <vector>

// An append-only file that holds the request log's rows until they are moved into the log
// table in one transaction. A record is one write (writev), so a request and its reply are on disk
// (in the system's file cache) before the engine runs and before the reply leaves, at the cost
// of a system call instead of a database commit each.
//
// A record: a 4-byte little-endian length of the body, a 2-byte checksum of the body, the body.
// A record cut short or damaged (the program stopped in the middle of a write, or the machine
// lost power) ends the journal: it and anything after it are dropped when the file is opened.
class RequestJournal {
public:
    struct Record {
        // A mark is written just before a move commits; its text is the highest row of the
        // table before the move, so that a program stopped after the commit and before the
        // file was emptied can tell that the move went through.
        enum Kind : char { Request = 'Q', Reply = 'R', Mark = 'M' };
        Kind kind = Request;
        qint32 ticket = 0;   // pairs a reply with its request
        QDateTime time;      // to the second, as the log table keeps it
        QString action, mobileNo, userID, folderName, ipAddress;  // a request's columns
        QString text;        // the request (password masked) or the reply
        // A reply taken as the bytes the server sent instead of `text`: their first utf8Size
        // bytes in UTF-8 (the rest is the message's end mark), shared with the reply, not copied.
        QByteArray utf8;
        qsizetype utf8Size = 0;
        bool HasUtf8() const { return !utf8.isNull(); }
        QByteArrayView Utf8View() const { return QByteArrayView(utf8.constData(), utf8Size); }
        QString Text() const { return HasUtf8() ? QString::fromUtf8(Utf8View()) : text; }
        // The text as a value to bind: the UTF-8 bytes as they are (shared while the record lives).
        platform::db::Value TextValue() const
        {
            return HasUtf8() ? platform::db::Value::FromUtf8(QByteArray::fromRawData(utf8.constData(), utf8Size))
                             : platform::db::Value(text);
        }
    };

    RequestJournal() = default;
    ~RequestJournal();
    RequestJournal(const RequestJournal&) = delete;
    RequestJournal& operator=(const RequestJournal&) = delete;

    // Opens (or makes) the file and reads the records it holds; a damaged tail is cut off.
    // False with the reason in *error when the file cannot be used, or is in use by another
    // program.
    bool Open(const QString& path, QString* error);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    QString Path() const { return m_path; }
    // The records found by Open, in order.
    const std::vector<Record>& Found() const { return m_found; }
    void ForgetFound() { m_found.clear(); }

    // One record, one write; false (with errno's text in *error) when it did not all go.
    bool Append(const Record& record, QString* error);
    // Empties the file once its records are in the table.
    bool Clear(QString* error);

    // The bytes of one record and the records of a journal's bytes (up to the first damaged one).
    static QByteArray Encode(const Record& record);
    // qChecksum (CRC-16, ISO 3309) continued over more bytes: `state` starts at 0xFFFF, and the
    // checksum is ~state. The same figure eight bytes a step, for a reply of megabytes.
    static quint16 ChecksumStep(quint16 state, QByteArrayView bytes);
    static std::vector<Record> Decode(const QByteArray& bytes, qsizetype* goodLength = nullptr);

private:
    int m_fd = -1;
    QString m_path;
    std::vector<Record> m_found;
};

#include "SqliteBackend.h"

#include "DatabaseError.h"
#include "Rows.h"
#include "SqliteFunctions.h"
#include "TsqlTranslator.h"
#include "TsqlTokenizer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QUrl>
#include <algorithm>
#include <unordered_map>
#include <utility>
#include <sqlite3.h>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define CORVANTIS_CLEAR_UPPER_STATE 1
#endif

namespace platform::db {

namespace {

#ifdef CORVANTIS_CLEAR_UPPER_STATE
__attribute__((target("avx"))) void ZeroUpper()
{
    _mm256_zeroupper();
}
#endif

// Qt's string hashing (QHash<QString>) can leave the upper halves of the AVX registers in use;
// until they are cleared every SSE instruction of SQLite's byte code engine pays a transition
// penalty, which doubles the time of a statement over a large table. Clearing them costs one
// instruction, so it is done before each statement runs.
void ClearUpperRegisterState()
{
#ifdef CORVANTIS_CLEAR_UPPER_STATE
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx)
        ZeroUpper();
#endif
}

const QString kMaster = QStringLiteral("master");
constexpr int kBusyTimeoutMs = 5000;

[[noreturn]] void LoginFailed(const QString& database)
{
    throw DatabaseError(err::ProviderError,
                        QStringLiteral("Cannot open database \"%1\" requested by the login. The login failed.").arg(database));
}

// A database name is a file name in the folder: nothing that could reach outside it or that
// a file system treats specially.
bool IsSafeDatabaseName(const QString& name)
{
    if (name.isEmpty() || name.size() > 128 || name.trimmed() != name || name.startsWith(QLatin1Char('.'))
        || name.endsWith(QLatin1Char('.')) || name.contains(QLatin1String("..")))
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':')
            || c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('"') || c == QLatin1Char('<')
            || c == QLatin1Char('>') || c == QLatin1Char('|') || c == QChar(0x7F))
            return false;
    }
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "COM1", "COM2", "COM3", "COM4", "COM5", "COM6",
                                          "COM7", "COM8", "COM9", "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6",
                                          "LPT7", "LPT8", "LPT9"};
    const QString stem = name.section(QLatin1Char('.'), 0, 0);
    for (const char* d : devices)
        if (stem.compare(QLatin1String(d), Qt::CaseInsensitive) == 0)
            return false;
    return true;
}

const QString kSuffix = QStringLiteral(".sqlite");

// The database files of a folder: name (as the file spells it) -> path.
QList<QPair<QString, QString>> DatabaseFiles(const QString& folder)
{
    QList<QPair<QString, QString>> files;
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QString& entry : entries) {
        if (entry.size() <= kSuffix.size() || !entry.endsWith(kSuffix, Qt::CaseInsensitive))
            continue;
        const QString name = entry.chopped(kSuffix.size());
        if (IsSafeDatabaseName(name))
            files.append({name, dir.filePath(entry)});
    }
    return files;
}

// Finds <name>.sqlite in the folder without regard to case (SQL Server's names are not case
// sensitive); an exact match wins. Empty when there is none.
QPair<QString, QString> FindDatabaseFile(const QString& folder, const QString& name)
{
    if (!IsSafeDatabaseName(name))
        return {};
    QPair<QString, QString> found;
    for (const auto& file : DatabaseFiles(folder)) {
        if (file.first == name)
            return file;
        if (found.first.isEmpty() && file.first.compare(name, Qt::CaseInsensitive) == 0)
            found = file;
    }
    return found;
}

long NumberFor(int rc)
{
    switch (rc & 0xFF) {
    case SQLITE_ERROR:
    case SQLITE_CONSTRAINT:
    case SQLITE_MISMATCH:
    case SQLITE_RANGE:
    case SQLITE_TOOBIG:
        return err::SyntaxError;
    default:
        return err::ProviderError;
    }
}

enum class ReadKind { Auto, DateTime, Boolean, Integer, Decimal, Text };

// What the declared type of a result column says its values are.
ReadKind KindOfDeclared(const char* declared)
{
    if (!declared || !*declared)
        return ReadKind::Auto;
    // Looked at for every column of every statement run: the name is searched in place, in
    // ASCII upper case, as the upper-cased copy was.
    const auto has = [declared](const char* word) {
        for (const char* at = declared; *at; ++at) {
            const char* a = at;
            const char* w = word;
            while (*w && *a && (*a >= 'a' && *a <= 'z' ? *a - 'a' + 'A' : *a) == *w) {
                ++a;
                ++w;
            }
            if (!*w)
                return true;
        }
        return false;
    };
    if (has("DATE") || has("TIME"))
        return ReadKind::DateTime;
    if (has("BIT") || has("BOOL"))
        return ReadKind::Boolean;
    if (has("INT"))
        return ReadKind::Integer;
    if (has("REAL") || has("FLOA") || has("DOUB") || has("NUM") || has("DEC") || has("MONEY"))
        return ReadKind::Decimal;
    if (has("CHAR") || has("TEXT") || has("CLOB"))
        return ReadKind::Text;
    return ReadKind::Auto;
}

// Making a local QDateTime asks the C library for the time zone each time, which costs more
// than reading the row; the dates of a company repeat (a ledger has a few hundred days), so each
// connection keeps the ones it has made, with their texts once they are asked for.
class DateCache {
public:
    static constexpr size_t kLargest = 4096;

    // The entry of the parts; null when the cache is full.
    const DateEntry* Find(const sqlite::DateParts& d)
    {
        const qint64 key = ((((static_cast<qint64>(d.year) * 13 + d.month) * 32 + d.day) * 24 + d.hour) * 60 + d.minute) * 60 + d.second;
        const auto it = m_dates.find(key);
        if (it != m_dates.end())
            return &it->second;
        if (m_dates.size() >= kLargest)
            return nullptr;
        DateEntry& entry = m_dates[key];
        entry.Set(Make(d));
        return &entry;
    }
    static QDateTime Make(const sqlite::DateParts& d)
    {
        return QDateTime(QDate(d.year, d.month, d.day), QTime(d.hour, d.minute, d.second));
    }
    // Starts again once full (entries are only held while a row is read).
    void Trim()
    {
        if (m_dates.size() >= kLargest)
            m_dates.clear();
    }

private:
    std::unordered_map<qint64, DateEntry> m_dates;  // its elements stay where they are
};

bool EqualsNoCase(const char* p, int n, const char* word)
{
    int i = 0;
    for (; i < n && word[i]; ++i) {
        char c = p[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != word[i])
            return false;
    }
    return i == n && !word[i];
}

bool IsAscii(const char* p, int n)
{
    for (int i = 0; i < n; ++i)
        if (static_cast<unsigned char>(p[i]) >= 0x80)
            return false;
    return true;
}

// A column of the current row as SQLite gives it: its storage class and value.
struct RawValue {
    int type = SQLITE_NULL;
    qint64 integer = 0;
    double real = 0;
    const char* text = nullptr;  // a text or blob; null for one SQLite gives as none
    int size = 0;
};

RawValue RawOf(sqlite3_stmt* st, int i)
{
    RawValue raw;
    raw.type = sqlite3_column_type(st, i);
    switch (raw.type) {
    case SQLITE_NULL: break;
    case SQLITE_INTEGER: raw.integer = sqlite3_column_int64(st, i); break;
    case SQLITE_FLOAT: raw.real = sqlite3_column_double(st, i); break;
    default:
        raw.text = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
        raw.size = sqlite3_column_bytes(st, i);
        break;
    }
    return raw;
}

// What a column of the current row holds as the typed reader takes it: by its storage class and,
// for a text, the declared type (a date's text becomes a date, a flag's word a Boolean). A date
// beyond a full cache takes `spare`.
void Decode(const RawValue& raw, ReadKind kind, DateCache& dates, Cell& out, DateEntry& spare)
{
    out = Cell();
    switch (raw.type) {
    case SQLITE_NULL: return;
    case SQLITE_INTEGER: {
        const qint64 v = raw.integer;
        if (kind == ReadKind::Boolean) {
            out.type = ValueType::Boolean;
            out.flag = v != 0;
        } else if (kind == ReadKind::Decimal) {
            out.type = ValueType::Decimal;
            out.decimal = static_cast<double>(v);
        } else {
            out.type = ValueType::Integer;
            out.integer = v;
        }
        return;
    }
    case SQLITE_FLOAT: {
        const double v = raw.real;
        if (kind == ReadKind::Boolean) {
            out.type = ValueType::Boolean;
            out.flag = v != 0.0;
        } else {
            out.type = ValueType::Decimal;
            out.decimal = v;
        }
        return;
    }
    default: break;
    }
    const char* p = raw.text;
    const int n = raw.size;
    out.type = ValueType::Text;
    if (!p)
        return;
    out.text = p;
    out.size = n;
    const auto asDate = [&](const sqlite::DateParts& d) {
        out.type = ValueType::DateTime;
        out.date = dates.Find(d);
        if (!out.date) {
            spare.Set(DateCache::Make(d));
            out.date = &spare;
        }
    };
    sqlite::DateParts d;
    switch (kind) {
    case ReadKind::DateTime:
        if (sqlite::ParseCanonical(p, n, d))
            return asDate(d);
        if (n > 0 && sqlite::ParseDateText(QString::fromUtf8(p, n), d))
            return asDate(d);
        break;
    case ReadKind::Boolean:
        if (EqualsNoCase(p, n, "true") || (n == 1 && p[0] == '1')) {
            out.type = ValueType::Boolean;
            out.flag = true;
            return;
        }
        if (EqualsNoCase(p, n, "false") || (n == 1 && p[0] == '0')) {
            out.type = ValueType::Boolean;
            out.flag = false;
            return;
        }
        break;
    case ReadKind::Auto:
        // Computed dates (CONVERT, DATEADD) come back as the storage text.
        if (sqlite::ParseCanonical(p, n, d))
            return asDate(d);
        break;
    default: break;
    }
    out.ascii = IsAscii(p, n);
}

// The Value of a decoded column.
Value ValueOf(const Cell& cell)
{
    switch (cell.type) {
    case ValueType::Null: return Value();
    case ValueType::Boolean: return Value(cell.flag);
    case ValueType::Integer: return Value(cell.integer);
    case ValueType::Decimal: return Value(cell.decimal);
    case ValueType::Text: return Value(cell.text ? QString::fromUtf8(cell.text, cell.size) : QString());
    case ValueType::DateTime: return Value(cell.date->Moment());
    }
    return Value();
}

Value ReadCell(sqlite3_stmt* st, int i, ReadKind kind, DateCache& dates)
{
    Cell cell;
    DateEntry spare;
    Decode(RawOf(st, i), kind, dates, cell, spare);
    return ValueOf(cell);
}

// What follows a statement in a text, past the blanks and semicolons that end it.
const char* PastBlanks(const char* p, const char* end)
{
    while (p < end && (*p == ' ' || *p == '\n' || *p == '\r' || *p == '\t' || *p == ';'))
        ++p;
    return p;
}

// A statement that changes rows, whose changes count towards the rows affected.
bool ChangesRows(sqlite3_stmt* st)
{
    if (sqlite3_stmt_readonly(st))
        return false;
    const char* sql = sqlite3_sql(st);
    while (sql && (*sql == ' ' || *sql == '\n' || *sql == '\r' || *sql == '\t'))
        ++sql;
    if (!sql)
        return false;
    const QByteArray head = QByteArray(sql, 7).toUpper();
    return head.startsWith("INSERT") || head.startsWith("UPDATE") || head.startsWith("DELETE") || head.startsWith("REPLACE");
}

// One compiled statement; values are bound in place (dates as their storage text), so nothing
// of the statement is parsed or planned again when it runs.
class SqlitePrepared final : public PreparedStatement {
public:
    SqlitePrepared(sqlite3* db, sqlite3_stmt* st) : m_db(db), m_st(st) {}
    ~SqlitePrepared() override { sqlite3_finalize(m_st); }

    long Execute(const std::vector<Value>& values) override
    {
        sqlite3_reset(m_st);
        sqlite3_clear_bindings(m_st);
        std::vector<QByteArray> texts;
        texts.reserve(values.size());
        for (size_t i = 0; i < values.size(); ++i) {
            const int at = static_cast<int>(i) + 1;
            const Value& v = values[i];
            switch (v.Type()) {
            case ValueType::Null: sqlite3_bind_null(m_st, at); break;
            case ValueType::Boolean: sqlite3_bind_int64(m_st, at, v.ToBool() ? 1 : 0); break;
            case ValueType::Integer: sqlite3_bind_int64(m_st, at, v.ToInteger()); break;
            case ValueType::Decimal: sqlite3_bind_double(m_st, at, v.ToDouble()); break;
            case ValueType::DateTime:
                texts.push_back(convert::DateTimeText(v.ToDateTime()).toUtf8());
                sqlite3_bind_text(m_st, at, texts.back().constData(), static_cast<int>(texts.back().size()), SQLITE_STATIC);
                break;
            case ValueType::Text:
                if (const QByteArray* utf8 = v.Utf8()) {
                    sqlite3_bind_text(m_st, at, utf8->constData(), static_cast<int>(utf8->size()), SQLITE_STATIC);
                    break;
                }
                texts.push_back(v.ToText().toUtf8());
                sqlite3_bind_text(m_st, at, texts.back().constData(), static_cast<int>(texts.back().size()), SQLITE_STATIC);
                break;
            }
        }
        ClearUpperRegisterState();
        int rc;
        while ((rc = sqlite3_step(m_st)) == SQLITE_ROW) {
        }
        const long changes = ChangesRows(m_st) ? static_cast<long>(sqlite3_changes(m_db)) : 0;
        sqlite3_reset(m_st);
        sqlite3_clear_bindings(m_st);
        if (rc != SQLITE_DONE)
            throw DatabaseError(NumberFor(rc), QStringLiteral("[SQLite] ") + QString::fromUtf8(sqlite3_errmsg(m_db)));
        return changes;
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_st;
};

class SqliteBackend final : public Backend, public sqlite::Catalog {
    friend class SqliteRows;

public:
    SqliteBackend(const QString& folder, const QString& database, sqlite3* db)
        : m_folder(folder), m_database(database), m_db(db)
    {
        sqlite::RegisterFunctions(m_db, this);
    }

    ~SqliteBackend() override
    {
        for (auto& kept : m_kept)
            sqlite3_finalize(kept.statement);
        for (sqlite3* reader : std::as_const(m_readers))
            sqlite3_close_v2(reader);
        sqlite3_close_v2(m_db);
    }

    ResultSet Query(const QString& sql) override
    {
        ResultSet result;
        long changes = 0;
        Run(sql, &result, &changes);
        return result;
    }

    long Execute(const QString& sql) override
    {
        long changes = 0;
        Run(sql, nullptr, &changes);
        return changes;
    }

    std::unique_ptr<Rows> OpenRows(const QString& sql, RowsRead read) override;
    std::unique_ptr<Rows> OpenRows(const Statement& statement, RowsRead read) override;

    std::unique_ptr<PreparedStatement> Prepare(const QString& sql) override
    {
        const Translation t = TranslateTsql(sql, m_database);
        EnsureAttached(t.databases);
        const QByteArray utf8 = t.sql.toUtf8();
        sqlite3_stmt* st = nullptr;
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v3(m_db, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_PREPARE_PERSISTENT, &st,
                                          &tail);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(st);
            Fail(rc);
        }
        if (!st)
            throw DatabaseError(err::SyntaxError, QStringLiteral("[SQLite] The statement to prepare is empty."));
        return std::make_unique<SqlitePrepared>(m_db, st);
    }

    qint64 LastInsertId() override { return sqlite3_last_insert_rowid(m_db); }

    bool ReadyForReuse() override
    {
        if (!sqlite3_get_autocommit(m_db))
            return false;
        for (sqlite3_stmt* st = sqlite3_next_stmt(m_db, nullptr); st; st = sqlite3_next_stmt(m_db, st))
            if (sqlite3_stmt_busy(st))
                return false;
        return true;
    }

    Dialect dialect() const override { return Dialect(Engine::Sqlite); }
    QString DatabaseName() const override { return m_database; }

    // ---- catalog -------------------------------------------------------------------------

    QString CurrentDatabase() const override { return m_database; }

    std::optional<QString> DatabaseNameOf(qint64 id) override
    {
        const auto it = m_names.constFind(id);
        if (it == m_names.constEnd())
            return std::nullopt;
        return *it;
    }

    std::optional<qint64> ObjectId(const QString& name) override
    {
        const QStringList parts = SplitName(name);
        if (parts.isEmpty() || parts.size() > 4)
            return std::nullopt;
        const QString object = parts.last();
        const QString db = parts.size() >= 3 ? parts.at(parts.size() - 3) : QString();
        sqlite3* handle = m_db;
        QString schema = QStringLiteral("main");
        QString database = m_database;
        if (!db.isEmpty() && db.compare(m_database, Qt::CaseInsensitive) != 0) {
            database = db;
            const auto attached = FindAttached(db);
            if (attached != m_attached.end()) {
                schema = attached->alias;
            } else {
                handle = Reader(db);
                if (!handle)
                    return std::nullopt;
            }
        }
        const QByteArray sql = QByteArray("SELECT rowid FROM ") + tsql::QuoteIdentifier(schema).toUtf8()
            + ".sqlite_master WHERE type IN ('table', 'view', 'trigger') AND name = ?1 COLLATE NOCASE";
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(handle, sql.constData(), -1, &st, nullptr) != SQLITE_OK) {
            sqlite3_finalize(st);
            return std::nullopt;
        }
        const QByteArray utf8 = object.toUtf8();
        sqlite3_bind_text(st, 1, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
        std::optional<qint64> id;
        if (sqlite3_step(st) == SQLITE_ROW)
            id = DatabaseId(database) * 1000000 + sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
        return id;
    }

private:
    // The pieces of OpenRows.
    bool ReadWhole(const Translation& t) const;
    std::unique_ptr<Rows> StoredResult(const Translation& t);
    sqlite3_stmt* CompileOne(const Translation& t, bool& kept);
    std::unique_ptr<Rows> FirstStep(sqlite3_stmt* st, bool kept, RowsRead read);
    struct Attachment {
        QString key;    // lower case
        QString alias;
        quint64 used = 0;
    };

    QString m_folder;
    QString m_database;
    sqlite3* m_db;
    std::vector<Attachment> m_attached;
    quint64 m_clock = 0;
    QHash<QString, qint64> m_ids;      // lower-case name -> database id
    QHash<qint64, QString> m_names;    // database id -> name as the file spells it
    qint64 m_nextId = 5;               // after master, tempdb, model and msdb
    QHash<QString, sqlite3*> m_readers;

    DateCache m_dates;
    int m_openRows = 0;  // rows being read (SqliteRows) on this connection

    // Statements compiled for earlier requests, kept by their text: a pooled connection answers
    // the same few statements over and over, and compiling one costs more than running it.
    struct KeptStatement {
        QByteArray text;
        sqlite3_stmt* statement = nullptr;
        quint64 used = 0;
        // Handed out and not yet given back. A statement whose rows are done is not busy to
        // SQLite, yet the rows that hold it may still be read or given back later.
        bool inUse = false;
    };
    static constexpr size_t kKeptStatements = 32;
    static constexpr qsizetype kLongestKeptText = 16 * 1024;
    std::vector<KeptStatement> m_kept;
    quint64 m_keptClock = 0;

    // The kept statement for this whole text (one statement), idle and reset, or null.
    sqlite3_stmt* TakeKept(const QByteArray& text)
    {
        for (auto& kept : m_kept) {
            if (kept.text == text && !kept.inUse && !sqlite3_stmt_busy(kept.statement)) {
                kept.used = ++m_keptClock;
                kept.inUse = true;
                return kept.statement;
            }
        }
        return nullptr;
    }

    // Keeps a statement that was the whole text; the least recently used idle one makes room.
    bool Keep(const QByteArray& text, sqlite3_stmt* st)
    {
        if (text.size() > kLongestKeptText)
            return false;
        if (m_kept.size() >= kKeptStatements) {
            auto oldest = m_kept.end();
            for (auto it = m_kept.begin(); it != m_kept.end(); ++it)
                if (!it->inUse && !sqlite3_stmt_busy(it->statement) && (oldest == m_kept.end() || it->used < oldest->used))
                    oldest = it;
            if (oldest == m_kept.end())
                return false;
            sqlite3_finalize(oldest->statement);
            m_kept.erase(oldest);
        }
        m_kept.push_back({text, st, ++m_keptClock, true});
        return true;
    }

    // Done with a statement: a kept one is reset for its next use, any other freed.
    void Release(sqlite3_stmt* st, bool kept)
    {
        if (!kept) {
            sqlite3_finalize(st);
            return;
        }
        sqlite3_reset(st);
        for (auto& k : m_kept)
            if (k.statement == st)
                k.inUse = false;
    }

    [[noreturn]] void Fail(int rc, const QString& prefix = QString()) const
    {
        throw DatabaseError(NumberFor(rc), QStringLiteral("[SQLite] ") + prefix + QString::fromUtf8(sqlite3_errmsg(m_db)));
    }

    static QStringList SplitName(const QString& name)
    {
        QStringList parts;
        for (const tsql::Token& t : tsql::Tokenize(name)) {
            if (t.kind == tsql::TokenKind::Dot)
                continue;
            if (!t.IsIdentifier())
                return {};
            parts << t.Name();
        }
        return parts;
    }

    qint64 DatabaseId(const QString& name)
    {
        const QString key = name.toLower();
        const auto it = m_ids.constFind(key);
        if (it != m_ids.constEnd())
            return *it;
        const qint64 id = key == kMaster ? 1 : m_nextId++;
        m_ids.insert(key, id);
        m_names.insert(id, name);
        return id;
    }

    std::vector<Attachment>::iterator FindAttached(const QString& db)
    {
        const QString key = db.toLower();
        return std::find_if(m_attached.begin(), m_attached.end(), [&](const Attachment& a) { return a.key == key; });
    }

    // A read-only handle on another database of the folder, for OBJECT_ID; kept while the
    // connection lives.
    sqlite3* Reader(const QString& db)
    {
        const QString key = db.toLower();
        const auto it = m_readers.constFind(key);
        if (it != m_readers.constEnd())
            return *it;
        const auto file = FindDatabaseFile(m_folder, db);
        if (file.first.isEmpty())
            return nullptr;
        sqlite3* handle = nullptr;
        if (sqlite3_open_v2(QFileInfo(file.second).absoluteFilePath().toUtf8().constData(), &handle, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK) {
            sqlite3_close_v2(handle);
            return nullptr;
        }
        sqlite3_busy_timeout(handle, kBusyTimeoutMs);
        m_readers.insert(key, handle);
        return handle;
    }

    void Exec(const char* sql)
    {
        char* message = nullptr;
        const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, &message);
        sqlite3_free(message);
        if (rc != SQLITE_OK)
            Fail(rc);
    }

    void Detach(std::vector<Attachment>::iterator it)
    {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(m_db, "DETACH DATABASE ?1", -1, &st, nullptr);
        const QByteArray alias = it->alias.toUtf8();
        sqlite3_bind_text(st, 1, alias.constData(), static_cast<int>(alias.size()), SQLITE_TRANSIENT);
        const int rc = sqlite3_step(st);
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            Fail(rc);
        m_attached.erase(it);
    }

    // Attaches the databases a statement names, detaching those used longest ago when the
    // limit would be passed. A database file is never created by attaching it.
    void EnsureAttached(const QStringList& dbs)
    {
        const int limit = sqlite3_limit(m_db, SQLITE_LIMIT_ATTACHED, -1);
        QStringList needed;
        for (const QString& db : dbs)
            needed << db.toLower();
        for (const QString& db : dbs) {
            const auto found = FindAttached(db);
            if (found != m_attached.end()) {
                found->used = ++m_clock;
                continue;
            }
            while (static_cast<int>(m_attached.size()) >= limit) {
                auto victim = m_attached.end();
                for (auto it = m_attached.begin(); it != m_attached.end(); ++it)
                    if (!needed.contains(it->key) && (victim == m_attached.end() || it->used < victim->used))
                        victim = it;
                if (victim == m_attached.end())
                    throw DatabaseError(err::ProviderError,
                                        QStringLiteral("[SQLite] A statement may name at most %1 other databases.").arg(limit));
                Detach(victim);
            }
            const auto file = FindDatabaseFile(m_folder, db);
            if (file.first.isEmpty())
                throw DatabaseError(err::SyntaxError,
                                    QStringLiteral("[SQLite] Database '%1' does not exist. Make sure that the name is entered correctly.").arg(db));
            const QByteArray uri = QUrl::fromLocalFile(QFileInfo(file.second).absoluteFilePath()).toEncoded() + "?mode=rw";
            const QByteArray alias = AttachedSchemaName(db).toUtf8();
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(m_db, "ATTACH DATABASE ?1 AS ?2", -1, &st, nullptr);
            sqlite3_bind_text(st, 1, uri.constData(), static_cast<int>(uri.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 2, alias.constData(), static_cast<int>(alias.size()), SQLITE_TRANSIENT);
            const int rc = sqlite3_step(st);
            sqlite3_finalize(st);
            if (rc != SQLITE_DONE)
                Fail(rc);
            m_attached.push_back({db.toLower(), QString::fromUtf8(alias), ++m_clock});
            DatabaseId(file.first);
        }
    }

    // Sys.Master_Files: one row per database file of the folder, master with the logical name
    // "master", every other (company) database with the product's "Tessarin". Ids stay the same
    // for the life of the connection.
    void RefreshMasterFiles()
    {
        Exec("CREATE TEMP TABLE IF NOT EXISTS sys_master_files (database_id INTEGER, file_id INTEGER, type INTEGER, "
             "type_desc TEXT, data_space_id INTEGER, name TEXT COLLATE NOCASE, physical_name TEXT COLLATE NOCASE, "
             "state INTEGER, state_desc TEXT, size INTEGER); DELETE FROM temp.sys_master_files;");
        QList<QPair<qint64, QPair<QString, QString>>> rows;
        for (const auto& file : DatabaseFiles(m_folder))
            rows.append({DatabaseId(file.first), file});
        std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db,
                               "INSERT INTO temp.sys_master_files (database_id, file_id, type, type_desc, data_space_id, "
                               "name, physical_name, state, state_desc, size) VALUES (?1, 1, 0, 'ROWS', 1, ?2, ?3, 0, 'ONLINE', ?4)",
                               -1, &st, nullptr) != SQLITE_OK) {
            sqlite3_finalize(st);
            Fail(sqlite3_errcode(m_db));
        }
        for (const auto& row : rows) {
            const bool master = row.second.first.compare(kMaster, Qt::CaseInsensitive) == 0;
            const QByteArray logical = master ? QByteArray("master") : QByteArray("Tessarin");
            const QByteArray path = QDir::toNativeSeparators(QFileInfo(row.second.second).absoluteFilePath()).toUtf8();
            sqlite3_bind_int64(st, 1, row.first);
            sqlite3_bind_text(st, 2, logical.constData(), static_cast<int>(logical.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 3, path.constData(), static_cast<int>(path.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int64(st, 4, QFileInfo(row.second.second).size() / 8192);
            const int rc = sqlite3_step(st);
            sqlite3_reset(st);
            if (rc != SQLITE_DONE) {
                sqlite3_finalize(st);
                Fail(rc);
            }
        }
        sqlite3_finalize(st);
    }

    void Run(const QString& sql, ResultSet* result, long* changes) { Run(TranslateTsql(sql, m_database), result, changes); }

    void Run(const Translation& t, ResultSet* result, long* changes)
    {
        if (t.usesMasterFiles)
            RefreshMasterFiles();
        const int limit = sqlite3_limit(m_db, SQLITE_LIMIT_ATTACHED, -1);
        if (t.databases.size() > limit && !t.unionArms.isEmpty()) {
            // More databases than can be attached at once: the arms run in groups that fit,
            // their rows joined in order.
            bool first = true;
            for (int k = 0; k < t.unionArms.size();) {
                QStringList dbs;
                QStringList arms;
                while (k < t.unionArms.size()) {
                    QStringList merged = dbs;
                    for (const QString& d : t.armDatabases.at(k))
                        if (!merged.contains(d, Qt::CaseInsensitive))
                            merged << d;
                    if (!arms.isEmpty() && merged.size() > limit)
                        break;
                    dbs = merged;
                    arms << t.unionArms.at(k);
                    ++k;
                }
                EnsureAttached(dbs);
                ResultSet part;
                RunText(arms.join(QStringLiteral("\nUNION ALL\n")).toUtf8(), result ? &part : nullptr, changes);
                if (result) {
                    if (first)
                        result->columns = part.columns;
                    for (auto& row : part.rows)
                        result->rows.push_back(std::move(row));
                }
                first = false;
            }
            return;
        }
        EnsureAttached(t.databases);
        RunText(t.sql.toUtf8(), result, changes);
    }

    void RunText(const QByteArray& utf8, ResultSet* result, long* changes)
    {
        if (m_openRows == 0)
            m_dates.Trim();
        const char* tail = utf8.constData();
        const char* end = tail + utf8.size();
        while (tail < end) {
            sqlite3_stmt* st = tail == utf8.constData() ? TakeKept(utf8) : nullptr;
            bool kept = st != nullptr;
            int rc = SQLITE_OK;
            if (kept) {
                tail = end;
            } else {
                const char* next = nullptr;
                rc = sqlite3_prepare_v2(m_db, tail, static_cast<int>(end - tail), &st, &next);
                if (rc != SQLITE_OK) {
                    sqlite3_finalize(st);
                    Fail(rc);
                }
                // A text of one statement (trailing blanks aside) is kept for the next time.
                const bool whole = tail == utf8.constData();
                tail = PastBlanks(next, end);
                if (st && whole && tail == end)
                    kept = Keep(utf8, st);
            }
            if (!st)
                continue;
            ClearUpperRegisterState();
            // The columns are read after the first step: a kept statement whose tables changed
            // since it was compiled is compiled again by that step.
            rc = sqlite3_step(st);
            const int columns = sqlite3_column_count(st);
            if (columns > 0 && result) {
                ResultSet rs;
                std::vector<ReadKind> kinds(static_cast<size_t>(columns));
                rs.columns.reserve(columns);
                for (int i = 0; i < columns; ++i) {
                    rs.columns << QString::fromUtf8(sqlite3_column_name(st, i));
                    kinds[static_cast<size_t>(i)] = KindOfDeclared(sqlite3_column_decltype(st, i));
                }
                for (; rc == SQLITE_ROW; rc = sqlite3_step(st)) {
                    std::vector<Value> row;
                    row.reserve(static_cast<size_t>(columns));
                    for (int i = 0; i < columns; ++i)
                        row.push_back(ReadCell(st, i, kinds[static_cast<size_t>(i)], m_dates));
                    rs.rows.push_back(std::move(row));
                    ClearUpperRegisterState();  // the values were made by Qt code
                }
                if (rc == SQLITE_DONE)
                    *result = std::move(rs);
            } else {
                while (rc == SQLITE_ROW)
                    rc = sqlite3_step(st);
            }
            if (rc != SQLITE_DONE) {
                const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
                Release(st, kept);
                throw DatabaseError(NumberFor(rc), QStringLiteral("[SQLite] ") + message);
            }
            if (changes && ChangesRows(st))
                *changes += static_cast<long>(sqlite3_changes(m_db));
            Release(st, kept);
        }
    }
};

// The rows of one statement read as it steps: a column is decoded when it is first read on a
// row, its text left where SQLite holds it. The statement goes back to the connection (kept or
// freed) after the last row, or when the rows are dropped. Read whole, the rows' values are
// copied out as SQLite gives them while the statement runs to its end, and decoded the same way.
class SqliteRows final : public Rows {
public:
    SqliteRows(SqliteBackend& owner, sqlite3_stmt* st, bool kept, int firstStep, RowsRead read)
        : m_owner(owner), m_st(st), m_kept(kept), m_rc(firstStep), m_columns(sqlite3_column_count(st))
    {
        ++m_owner.m_openRows;
        const size_t columns = static_cast<size_t>(m_columns);
        m_names.reserve(m_columns);
        m_kinds.resize(columns);
        for (int i = 0; i < m_columns; ++i) {
            m_names << QString::fromUtf8(sqlite3_column_name(st, i));
            m_kinds[static_cast<size_t>(i)] = KindOfDeclared(sqlite3_column_decltype(st, i));
        }
        m_cells.resize(columns);
        m_cellRow.assign(columns, 0);
        m_spares.resize(columns);
        if (read == RowsRead::Whole)
            ReadWhole();
    }
    ~SqliteRows() override { Finish(); }

    int ColumnCount() const override { return m_columns; }
    QString ColumnName(int column) const override { return m_names.value(column); }

    bool Next() override
    {
        if (m_whole) {
            if (m_row <= m_storedRows)  // one past the last once they are all read
                ++m_row;
            return m_row <= m_storedRows;
        }
        if (m_done)
            return false;
        if (m_started) {
            ClearUpperRegisterState();  // the last row's values went through Qt code
            m_rc = sqlite3_step(m_st);
        }
        m_started = true;
        if (m_rc == SQLITE_ROW) {
            ++m_row;
            return true;
        }
        const int rc = m_rc;
        const QString message = rc == SQLITE_DONE ? QString() : QString::fromUtf8(sqlite3_errmsg(m_owner.m_db));
        Finish();
        if (rc != SQLITE_DONE)
            throw DatabaseError(NumberFor(rc), QStringLiteral("[SQLite] ") + message);
        return false;
    }

    Value At(int column) override { return ValueOf(CellAt(column)); }

protected:
    const Cell& CellAt(int column) override
    {
        const bool onRow = m_whole ? m_row >= 1 && m_row <= m_storedRows : m_started && !m_done;
        if (!onRow)
            throw DatabaseError(err::NoCurrentRecord,
                                QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                                               "Requested operation requires a current record."));
        if (column < 0 || column >= m_columns)
            throw DatabaseError(err::ItemNotFound,
                                QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal."));
        const size_t c = static_cast<size_t>(column);
        if (m_cellRow[c] != m_row) {
            Decode(m_whole ? StoredRaw(column) : RawOf(m_st, column), m_kinds[c], m_owner.m_dates, m_cells[c], m_spares[c]);
            m_cellRow[c] = m_row;
        }
        return m_cells[c];
    }

private:
    // A value copied out: its text lies in the rows' bytes at `at`.
    struct Stored {
        RawValue raw;
        qsizetype at = -1;  // -1: no text
    };

    void ReadWhole()
    {
        m_whole = true;
        for (int rc = m_rc; rc != SQLITE_DONE; rc = sqlite3_step(m_st)) {
            if (rc != SQLITE_ROW) {
                const QString message = QString::fromUtf8(sqlite3_errmsg(m_owner.m_db));
                Finish();
                throw DatabaseError(NumberFor(rc), QStringLiteral("[SQLite] ") + message);
            }
            for (int i = 0; i < m_columns; ++i) {
                Stored value{RawOf(m_st, i)};
                if (value.raw.text) {
                    value.at = m_bytes.size();
                    m_bytes.append(value.raw.text, value.raw.size);
                    value.raw.text = nullptr;
                }
                m_stored.push_back(value);
            }
            ++m_storedRows;
        }
        Finish();
    }

    RawValue StoredRaw(int column) const
    {
        const Stored& value = m_stored[static_cast<size_t>((m_row - 1) * static_cast<quint64>(m_columns)) + static_cast<size_t>(column)];
        RawValue raw = value.raw;
        if (value.at >= 0)
            raw.text = m_bytes.constData() + value.at;
        return raw;
    }

    void Finish()
    {
        if (m_done)
            return;
        m_done = true;
        --m_owner.m_openRows;
        m_owner.Release(m_st, m_kept);
    }

    SqliteBackend& m_owner;
    sqlite3_stmt* m_st;
    bool m_kept;
    int m_rc;
    bool m_started = false;
    bool m_done = false;
    int m_columns;
    QStringList m_names;
    std::vector<ReadKind> m_kinds;
    std::vector<Cell> m_cells;
    std::vector<quint64> m_cellRow;  // the row each cell was decoded for (rows count from 1)
    std::vector<DateEntry> m_spares;
    quint64 m_row = 0;
    // Read whole:
    bool m_whole = false;
    std::vector<Stored> m_stored;
    QByteArray m_bytes;
    quint64 m_storedRows = 0;
};

// A literal as the statement's text spells it, bound in its place: a string (its content) or a
// whole number. Anything else (a NUL in the string, a sign, a fraction, a number too big for
// 64 bits) is not bound: the statement then runs as its text.
struct BoundLiteral {
    bool number = false;
    qint64 integer = 0;
    QByteArray text;
};

bool BindableLiteral(const QString& spelled, BoundLiteral& bound)
{
    const std::vector<tsql::Token> tokens = tsql::Tokenize(spelled);
    if (tokens.size() != 1)
        return false;
    const tsql::Token& t = tokens.front();
    if (t.kind == tsql::TokenKind::String || t.kind == tsql::TokenKind::NString) {
        // A literal left open (its closing quote missing or doubled) is for the text to refuse.
        qsizetype quotes = 0;
        for (qsizetype i = t.text.size() - 1; i > (t.kind == tsql::TokenKind::NString ? 1 : 0) && t.text.at(i) == u'\''; --i)
            ++quotes;
        if (quotes % 2 == 0)
            return false;
        const QString value = t.StringValue();
        if (value.contains(QChar(0)))
            return false;
        bound.text = value.toUtf8();
        return true;
    }
    if (t.kind != tsql::TokenKind::Number)
        return false;
    if (std::any_of(t.text.cbegin(), t.text.cend(), [](QChar c) { return c < u'0' || c > u'9'; }))
        return false;
    bool ok = false;
    bound.integer = t.text.toLongLong(&ok);
    bound.number = true;
    return ok;
}

// The catalog's rows are made before the statement runs, and a union over more databases than
// can be attached runs in parts: those are read whole.
bool SqliteBackend::ReadWhole(const Translation& t) const
{
    return t.usesMasterFiles || t.databases.size() > sqlite3_limit(m_db, SQLITE_LIMIT_ATTACHED, -1);
}

std::unique_ptr<Rows> SqliteBackend::StoredResult(const Translation& t)
{
    ResultSet result;
    long changes = 0;
    Run(t, &result, &changes);
    return std::make_unique<StoredRows>(std::move(result));
}

// The compiled statement of a translated text that is one statement, kept or new, its
// databases attached; null for a batch or a text of no statement.
sqlite3_stmt* SqliteBackend::CompileOne(const Translation& t, bool& kept)
{
    EnsureAttached(t.databases);
    if (m_openRows == 0)
        m_dates.Trim();
    const QByteArray utf8 = t.sql.toUtf8();
    sqlite3_stmt* st = TakeKept(utf8);
    kept = st != nullptr;
    if (st)
        return st;
    const char* end = utf8.constData() + utf8.size();
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), static_cast<int>(utf8.size()), &st, &tail);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(st);
        Fail(rc);
    }
    if (!st || (tail && PastBlanks(tail, end) < end)) {
        sqlite3_finalize(st);
        return nullptr;
    }
    kept = Keep(utf8, st);
    return st;
}

// The first step of a compiled statement, and the rows that follow it.
std::unique_ptr<Rows> SqliteBackend::FirstStep(sqlite3_stmt* st, bool kept, RowsRead read)
{
    ClearUpperRegisterState();
    // As in RunText, the columns are read after the first step.
    const int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
        Release(st, kept);
        throw DatabaseError(NumberFor(rc), QStringLiteral("[SQLite] ") + message);
    }
    if (sqlite3_column_count(st) == 0) {
        Release(st, kept);
        return std::make_unique<StoredRows>(ResultSet());
    }
    return std::make_unique<SqliteRows>(*this, st, kept, rc, read);
}

std::unique_ptr<Rows> SqliteBackend::OpenRows(const QString& sql, RowsRead read)
{
    const Translation t = TranslateTsql(sql, m_database);
    if (ReadWhole(t))
        return StoredResult(t);
    bool kept = false;
    sqlite3_stmt* st = CompileOne(t, kept);
    if (!st)  // a batch, or no statement at all: its rows as the batch gives them
        return StoredResult(t);
    return FirstStep(st, kept, read);
}

// Statements that differ only in their literals share one translation and one compiled
// statement; each literal is bound where its parameter stands. A statement whose literals
// cannot all be bound so, each in a comparison, runs as the whole text.
std::unique_ptr<Rows> SqliteBackend::OpenRows(const Statement& statement, RowsRead read)
{
    if (!statement.HasLiterals())
        return OpenRows(statement.Joined(), read);
    const std::vector<QString> spelled = statement.Literals();
    std::vector<BoundLiteral> bound(spelled.size());
    for (size_t i = 0; i < spelled.size(); ++i)
        if (!statement.Compared(i) || !BindableLiteral(spelled[i], bound[i]))
            return OpenRows(statement.Joined(), read);
    // A text the parameters do not fit (a value where SQLite takes none) runs as the whole text,
    // which then succeeds or fails as it would.
    bool kept = false;
    sqlite3_stmt* st = nullptr;
    try {
        const Translation t = TranslateTsql(statement.Marked(), m_database);
        if (ReadWhole(t))
            return OpenRows(statement.Joined(), read);
        st = CompileOne(t, kept);
    } catch (const DatabaseError&) {
    }
    if (!st)
        return OpenRows(statement.Joined(), read);
    // Each parameter must have come through the translation as it went in, once, and take its
    // value.
    const int count = static_cast<int>(bound.size());
    bool marked = sqlite3_bind_parameter_count(st) == count;
    for (int i = 0; marked && i < count; ++i) {
        const char* name = sqlite3_bind_parameter_name(st, i + 1);
        const BoundLiteral& value = bound[static_cast<size_t>(i)];
        marked = name && QByteArray(name) == "?" + QByteArray::number(i + 1)
                 && (value.number ? sqlite3_bind_int64(st, i + 1, value.integer)
                                  : sqlite3_bind_text(st, i + 1, value.text.constData(), static_cast<int>(value.text.size()),
                                                      SQLITE_TRANSIENT))
                        == SQLITE_OK;
    }
    if (!marked) {
        Release(st, kept);
        return OpenRows(statement.Joined(), read);
    }
    return FirstStep(st, kept, read);
}

}  // namespace

std::unique_ptr<Backend> OpenSqlite(const QString& folder, const QString& database)
{
    const QFileInfo dir(folder);
    if (folder.isEmpty() || !dir.isDir())
        throw DatabaseError(err::ProviderError,
                            QStringLiteral("[SQLite] The database folder \"%1\" does not exist.").arg(QDir::toNativeSeparators(folder)));
    if (!IsSafeDatabaseName(database))
        LoginFailed(database);
    const QString absolute = dir.absoluteFilePath();
    auto file = FindDatabaseFile(absolute, database);
    const bool master = database.compare(kMaster, Qt::CaseInsensitive) == 0;
    // A connection serves one request at a time on the thread that handles it (the programs run
    // no other threads), so SQLite need not take the connection's lock on every call: each value
    // a row is read by is one call.
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
    if (file.first.isEmpty()) {
        if (!master)
            LoginFailed(database);
        // The server's own database is made on first use; a company database never is.
        file = {kMaster, QDir(absolute).filePath(kMaster + kSuffix)};
        flags |= SQLITE_OPEN_CREATE;
    }
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFileInfo(file.second).absoluteFilePath().toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString();
        sqlite3_close_v2(db);
        throw DatabaseError(err::ProviderError,
                            QStringLiteral("Cannot open database \"%1\" requested by the login. The login failed. (%2)").arg(database, message));
    }
    if (flags & SQLITE_OPEN_CREATE) {
        // The request log is the server's record: nobody but its owner may change it.
        const QString path = QFileInfo(file.second).absoluteFilePath();
        QFile::setPermissions(path, QFile::permissions(path) & ~(QFileDevice::WriteGroup | QFileDevice::WriteOther));
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // A file that is not a database is refused now rather than at the first statement.
    char* message = nullptr;
    if (sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
        sqlite3_free(message);
        sqlite3_close_v2(db);
        throw DatabaseError(err::ProviderError,
                            QStringLiteral("Cannot open database \"%1\" requested by the login. The login failed. (%2)").arg(database, text));
    }
    if (!master) {
        // A company database is read far more than it is written, and its statements read ledger
        // rows scattered over the whole file (the lines of some days, of some accounts). Read
        // through a memory map, a page costs no system call and no copy into the connection's
        // small page cache, and the pages are shared by every connection kept to the database.
        // The first GiB of the file is mapped; the rest is read as before.
        sqlite3_exec(db, "PRAGMA mmap_size=1073741824", nullptr, nullptr, nullptr);
    }
    if (master) {
        // The server writes the request log while the log viewer reads it.
        sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        // Every request writes two log statements; in WAL mode NORMAL still survives a crash of
        // the program (only a power cut can lose the last few rows) and does not wait for the
        // disk on every commit.
        sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    }
    return std::make_unique<SqliteBackend>(absolute, file.first, db);
}

}  // namespace platform::db

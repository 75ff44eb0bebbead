#include "TsqlTranslator.h"

#include "DatabaseError.h"
#include "SqliteFunctions.h"
#include "TsqlTokenizer.h"

#include <QHash>
#include <QMutex>
#include <QSet>
#include <vector>

namespace platform::db {

using namespace tsql;

namespace {

[[noreturn]] void Refuse(const QString& message)
{
    throw DatabaseError(err::SyntaxError, QStringLiteral("[SQLite] ") + message);
}

bool IsCompound(const Token& t)
{
    return t.IsWord("UNION") || t.IsWord("EXCEPT") || t.IsWord("INTERSECT");
}

bool IsIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') || c == QLatin1Char('#')
        || c == QLatin1Char('@');
}

bool Same(const QString& a, const char* b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

// Words that can stand in a CHECK expression without being a column.
const QSet<QString>& ExpressionKeywords()
{
    static const QSet<QString> words = {
        QStringLiteral("AND"), QStringLiteral("OR"), QStringLiteral("NOT"), QStringLiteral("IS"),
        QStringLiteral("NULL"), QStringLiteral("LIKE"), QStringLiteral("GLOB"), QStringLiteral("IN"),
        QStringLiteral("BETWEEN"), QStringLiteral("CASE"), QStringLiteral("WHEN"), QStringLiteral("THEN"),
        QStringLiteral("ELSE"), QStringLiteral("END"), QStringLiteral("ESCAPE"), QStringLiteral("COLLATE"),
        QStringLiteral("EXISTS"), QStringLiteral("TRUE"), QStringLiteral("FALSE"), QStringLiteral("AS"),
        QStringLiteral("SELECT"), QStringLiteral("FROM"), QStringLiteral("WHERE"), QStringLiteral("DISTINCT"),
        QStringLiteral("ALL"), QStringLiteral("ASC"), QStringLiteral("DESC"), QStringLiteral("NOCASE"),
        QStringLiteral("BINARY"), QStringLiteral("RTRIM"), QStringLiteral("CURRENT_TIMESTAMP"),
    };
    return words;
}

// The kinds of column the typed reader tells apart.
enum class ColumnKind { Text, Integer, Real, Bit, Date, Blob, Other };

// T-SQL type names that SQLite would give the wrong affinity or that mark a table written for
// SQL Server.
const QHash<QString, ColumnKind>& TsqlTypes()
{
    static const QHash<QString, ColumnKind> types = {
        {QStringLiteral("char"), ColumnKind::Text},          {QStringLiteral("varchar"), ColumnKind::Text},
        {QStringLiteral("nchar"), ColumnKind::Text},         {QStringLiteral("nvarchar"), ColumnKind::Text},
        {QStringLiteral("ntext"), ColumnKind::Text},         {QStringLiteral("sysname"), ColumnKind::Text},
        {QStringLiteral("uniqueidentifier"), ColumnKind::Text}, {QStringLiteral("xml"), ColumnKind::Text},
        {QStringLiteral("int"), ColumnKind::Integer},        {QStringLiteral("smallint"), ColumnKind::Integer},
        {QStringLiteral("tinyint"), ColumnKind::Integer},    {QStringLiteral("bigint"), ColumnKind::Integer},
        {QStringLiteral("money"), ColumnKind::Real},         {QStringLiteral("smallmoney"), ColumnKind::Real},
        {QStringLiteral("decimal"), ColumnKind::Real},       {QStringLiteral("numeric"), ColumnKind::Real},
        {QStringLiteral("float"), ColumnKind::Real},         {QStringLiteral("smalldatetime"), ColumnKind::Date},
        {QStringLiteral("datetime2"), ColumnKind::Date},     {QStringLiteral("datetimeoffset"), ColumnKind::Date},
        {QStringLiteral("varbinary"), ColumnKind::Blob},     {QStringLiteral("binary"), ColumnKind::Blob},
        {QStringLiteral("image"), ColumnKind::Blob},
    };
    return types;
}

// Names SQLite itself also takes; in a table written for SQL Server they are mapped too.
const QHash<QString, ColumnKind>& CommonTypes()
{
    static const QHash<QString, ColumnKind> types = {
        {QStringLiteral("text"), ColumnKind::Text},     {QStringLiteral("integer"), ColumnKind::Integer},
        {QStringLiteral("real"), ColumnKind::Real},     {QStringLiteral("bit"), ColumnKind::Bit},
        {QStringLiteral("datetime"), ColumnKind::Date}, {QStringLiteral("date"), ColumnKind::Date},
        {QStringLiteral("blob"), ColumnKind::Blob},
    };
    return types;
}

QString SqliteTypeOf(ColumnKind kind)
{
    switch (kind) {
    case ColumnKind::Text: return QStringLiteral("TEXT");
    case ColumnKind::Integer: return QStringLiteral("INTEGER");
    case ColumnKind::Real: return QStringLiteral("REAL");
    case ColumnKind::Bit: return QStringLiteral("BIT");
    case ColumnKind::Date: return QStringLiteral("DATETIME");
    case ColumnKind::Blob: return QStringLiteral("BLOB");
    case ColumnKind::Other: break;
    }
    return {};
}

QString MapCollation(const QString& name)
{
    if (Same(name, "NOCASE") || Same(name, "BINARY") || Same(name, "RTRIM"))
        return name.toUpper();
    // SQL Server collations: *_CS_* are case-sensitive, the rest (CI) are not.
    return name.contains(QLatin1String("_CS"), Qt::CaseInsensitive) || name.endsWith(QLatin1String("_BIN"), Qt::CaseInsensitive)
               || name.endsWith(QLatin1String("_BIN2"), Qt::CaseInsensitive)
        ? QStringLiteral("BINARY")
        : QStringLiteral("NOCASE");
}

struct TableName {
    QString prefix;    // "schema". for another database, else empty
    QString text;      // the table's name as written
    QString plain;     // without delimiters
    QString database;  // the database it lives in
};

struct ColumnDef {
    QString nameText, name;
    QString typeText;  // as written
    QString typeBase;  // lower case, without arguments
    bool typeQuoted = false;
    QStringList typeArgs;
    bool identity = false, notNull = false, pk = false, pkAuto = false, unique = false;
    QString pkOrder, pkConflict;
    int defaultBegin = -1, defaultEnd = -1;
    QString collate;
    QStringList extra;
};

class Translator {
public:
    Translator(const std::vector<Token>& tokens, const QString& current) : T(tokens), m_current(current) {}

    Translation Run()
    {
        Translation result;
        const auto statements = Split();
        QStringList dbs;
        m_dbs = &dbs;
        QStringList parts;
        for (const auto& [b, e] : statements) {
            const QString s = Statement(b, e).trimmed();
            if (!s.isEmpty())
                parts << s;
        }
        result.sql = parts.isEmpty() ? QString() : parts.join(QStringLiteral(";\n")) + QLatin1Char(';');
        result.databases = dbs;
        result.usesMasterFiles = m_usesMasterFiles;
        if (statements.size() == 1)
            Arms(statements.front().first, statements.front().second, result);
        return result;
    }

private:
    const std::vector<Token>& T;
    QString m_current;
    QStringList* m_dbs = nullptr;
    bool m_usesMasterFiles = false;
    QString m_rowPrefix;        // "NEW." while writing the condition of a CHECK trigger
    QStringList m_rowColumns;   // the columns that condition names
    bool m_ddlDefault = false;  // writing a column default

    int Size() const { return static_cast<int>(T.size()); }

    // The partner of the parenthesis at i when it lies inside [i, e), else -1.
    int Close(int i, int e) const
    {
        const int m = T[static_cast<size_t>(i)].match;
        return m > i && m < e ? m : -1;
    }

    const Token& At(int i) const { return T[static_cast<size_t>(i)]; }
    bool WordAt(int i, int e, const char* w) const { return i >= 0 && i < e && At(i).IsWord(w); }

    static void Put(QString& out, const Token& tok, const QString& text)
    {
        if (!out.isEmpty() && !text.isEmpty()) {
            const QChar last = out.back();
            if ((tok.spaceBefore && !last.isSpace()) || (IsIdentChar(last) && IsIdentChar(text.front())))
                out += QLatin1Char(' ');
        }
        out += text;
    }

    void AddDatabase(const QString& db)
    {
        for (const QString& d : *m_dbs)
            if (d.compare(db, Qt::CaseInsensitive) == 0)
                return;
        m_dbs->append(db);
    }

    bool IsCurrent(const QString& db) const { return db.isEmpty() || db.compare(m_current, Qt::CaseInsensitive) == 0; }

    QString SchemaPrefix(const QString& db)
    {
        if (IsCurrent(db))
            return {};
        AddDatabase(db);
        return QuoteIdentifier(AttachedSchemaName(db)) + QLatin1Char('.');
    }

    // ---- statements ------------------------------------------------------------------------

    // T-SQL batches need no semicolons: a statement also ends where the next one begins.
    std::vector<std::pair<int, int>> Split() const
    {
        std::vector<std::pair<int, int>> out;
        const int n = Size();
        int start = 0, prev = -1;
        QString first;
        bool seenUpdate = false, seenSet = false, seenValues = false, seenSelect = false;
        auto close = [&](int end) {
            if (end > start)
                out.emplace_back(start, end);
            first.clear();
            seenUpdate = seenSet = seenValues = seenSelect = false;
            prev = -1;
        };
        static const QSet<QString> starters = {
            QStringLiteral("INSERT"), QStringLiteral("DELETE"), QStringLiteral("UPDATE"), QStringLiteral("CREATE"),
            QStringLiteral("ALTER"), QStringLiteral("DROP"), QStringLiteral("EXEC"), QStringLiteral("EXECUTE"),
            QStringLiteral("DECLARE"), QStringLiteral("TRUNCATE"), QStringLiteral("PRINT"), QStringLiteral("USE"),
            QStringLiteral("BEGIN"), QStringLiteral("COMMIT"), QStringLiteral("ROLLBACK"),
        };
        static const QSet<QString> notAfter = {
            QStringLiteral("ON"), QStringLiteral("DO"), QStringLiteral("OF"), QStringLiteral("FOR"), QStringLiteral("OR"),
            QStringLiteral("INSTEAD"), QStringLiteral("BEFORE"), QStringLiteral("AFTER"), QStringLiteral("CONFLICT"),
        };
        static const QSet<QString> selectAfter = {QStringLiteral("UNION"), QStringLiteral("ALL"), QStringLiteral("EXCEPT"),
                                                  QStringLiteral("INTERSECT")};
        for (int j = 0; j < n;) {
            const Token& t = At(j);
            if (t.kind == TokenKind::Semicolon) {
                close(j);
                start = ++j;
                continue;
            }
            if (t.IsWord("GO")) {
                close(j);
                start = ++j;
                continue;
            }
            if (j == start) {
                first = t.kind == TokenKind::Word ? t.text.toUpper() : QString();
                if (first == QLatin1String("CREATE") && IsTrigger(j)) {
                    const int end = TriggerEnd(j);
                    close(end);
                    start = j = end;
                    continue;
                }
                seenUpdate = first == QLatin1String("UPDATE");
            } else if (t.kind == TokenKind::Word) {
                const QString w = t.text.toUpper();
                const QString p = prev >= 0 && At(prev).kind == TokenKind::Word ? At(prev).text.toUpper() : QString();
                bool split = false;
                if (starters.contains(w)) {
                    // ON DELETE, DO UPDATE, INSERT OR ..., ON CONFLICT ROLLBACK stay inside
                    const bool dml = w == QLatin1String("INSERT") || w == QLatin1String("DELETE")
                        || w == QLatin1String("UPDATE") || w == QLatin1String("ROLLBACK");
                    split = !(dml && notAfter.contains(p));
                    if (!split && w == QLatin1String("UPDATE"))
                        seenUpdate = true;
                } else if (w == QLatin1String("SET")) {
                    split = !(seenUpdate && !seenSet);
                    if (!split)
                        seenSet = true;
                } else if (w == QLatin1String("VALUES")) {
                    seenValues = true;
                } else if (w == QLatin1String("SELECT")) {
                    // INSERT ... SELECT is one statement; INSERT ... VALUES (...) SELECT and
                    // INSERT ... SELECT ... SELECT are two.
                    const bool insertBody = first == QLatin1String("INSERT") && !seenValues && !seenSelect;
                    split = !selectAfter.contains(p) && !insertBody && first != QLatin1String("WITH")
                        && first != QLatin1String("CREATE") && first != QLatin1String("DECLARE")
                        && first != QLatin1String("EXPLAIN");
                }
                if (split) {
                    close(j);
                    start = j;
                    continue;
                }
                if (w == QLatin1String("SELECT"))
                    seenSelect = true;
            }
            prev = j;
            j = t.kind == TokenKind::LParen && t.match > j ? t.match + 1 : j + 1;
        }
        close(n);
        return out;
    }

    bool IsTrigger(int j) const
    {
        ++j;
        while (j < Size() && (At(j).IsWord("TEMP") || At(j).IsWord("TEMPORARY")))
            ++j;
        return j < Size() && At(j).IsWord("TRIGGER");
    }

    // A native trigger runs to the END of its body (CASE ... END inside it counted out).
    int TriggerEnd(int j) const
    {
        bool body = false;
        int cases = 0;
        for (; j < Size(); ++j) {
            const Token& t = At(j);
            if (!body) {
                body = t.IsWord("BEGIN");
                continue;
            }
            if (t.IsWord("CASE")) {
                ++cases;
            } else if (t.IsWord("END")) {
                if (cases > 0)
                    --cases;
                else
                    return j + 1;
            }
        }
        return Size();
    }

    QString Statement(int b, int e)
    {
        const Token& t0 = At(b);
        if (t0.IsWord("SET")) {
            // Session options (ANSI_NULLS, QUOTED_IDENTIFIER, NOCOUNT, DATEFORMAT ...) have no
            // SQLite counterpart and need none.
            if (b + 1 < e && At(b + 1).kind == TokenKind::Variable)
                Refuse(QStringLiteral("Variables are not supported: %1").arg(At(b + 1).text));
            return {};
        }
        if (t0.IsWord("PRINT"))
            return {};
        if (t0.IsWord("CREATE")) {
            int j = b + 1;
            while (j < e && (At(j).IsWord("UNIQUE") || At(j).IsWord("CLUSTERED") || At(j).IsWord("NONCLUSTERED")
                             || At(j).IsWord("TEMP") || At(j).IsWord("TEMPORARY")))
                ++j;
            if (WordAt(j, e, "TABLE"))
                return CreateTable(b, e);
            if (WordAt(j, e, "INDEX"))
                return CreateIndex(b, e);
            if (WordAt(j, e, "TRIGGER"))
                return Verbatim(b, e);
        }
        if (t0.IsWord("ALTER") && WordAt(b + 1, e, "TABLE"))
            return AlterTable(b, e);
        if (t0.IsWord("EXEC") || t0.IsWord("EXECUTE"))
            return Exec(b, e);
        if (t0.IsWord("BEGIN") || t0.IsWord("COMMIT") || t0.IsWord("ROLLBACK")) {
            if (b + 1 >= e || WordAt(b + 1, e, "TRAN") || WordAt(b + 1, e, "TRANSACTION") || WordAt(b + 1, e, "WORK"))
                return t0.text.toUpper();
            return Verbatim(b, e);
        }
        return EmitStr(b, e);
    }

    QString Verbatim(int b, int e) const
    {
        QString out;
        for (int i = b; i < e; ++i)
            Put(out, At(i), At(i).text);
        return out;
    }

    // The arms of a top-level UNION ALL, each translated on its own.
    void Arms(int b, int e, Translation& result)
    {
        if (!(At(b).IsWord("SELECT") || At(b).kind == TokenKind::LParen))
            return;
        std::vector<int> ops;
        for (int j = b; j < e;) {
            const Token& t = At(j);
            if (IsCompound(t)) {
                if (!(t.IsWord("UNION") && WordAt(j + 1, e, "ALL")))
                    return;
                ops.push_back(j);
                j += 2;
                continue;
            }
            j = t.kind == TokenKind::LParen && Close(j, e) > 0 ? Close(j, e) + 1 : j + 1;
        }
        if (ops.empty())
            return;
        // An ORDER BY after the last arm orders the whole union: it cannot be run in parts.
        for (int j = ops.back() + 2; j < e;) {
            if (At(j).IsWord("ORDER"))
                return;
            j = At(j).kind == TokenKind::LParen && Close(j, e) > 0 ? Close(j, e) + 1 : j + 1;
        }
        QStringList* saved = m_dbs;
        int armStart = b;
        for (size_t k = 0; k <= ops.size(); ++k) {
            const int armEnd = k < ops.size() ? ops[k] : e;
            QStringList dbs;
            m_dbs = &dbs;
            result.unionArms << EmitStr(armStart, armEnd).trimmed();
            result.armDatabases << dbs;
            if (k < ops.size())
                armStart = ops[k] + 2;
        }
        m_dbs = saved;
    }

    // ---- expressions -------------------------------------------------------------------

    QString EmitStr(int b, int e)
    {
        QString out;
        EmitInto(out, b, e);
        return out;
    }

    void EmitInto(QString& out, int b, int e)
    {
        for (int i = b; i < e;)
            i = EmitOne(out, i, b, e);
    }

    int EmitOne(QString& out, int i, int b, int e)
    {
        const Token& t = At(i);
        switch (t.kind) {
        case TokenKind::String: Put(out, t, SpellOutNul(t.text, false)); return i + 1;
        case TokenKind::NString: Put(out, t, SpellOutNul(t.text.mid(1), false)); return i + 1;
        case TokenKind::SysVariable: {
            const QString u = t.text.toUpper();
            if (u == QLatin1String("@@IDENTITY"))
                Put(out, t, QStringLiteral("last_insert_rowid()"));
            else if (u == QLatin1String("@@ROWCOUNT"))
                Put(out, t, QStringLiteral("changes()"));
            else if (u == QLatin1String("@@VERSION"))
                Put(out, t, QStringLiteral("sqlite_version()"));
            else
                Refuse(QStringLiteral("%1 is not supported.").arg(t.text));
            return i + 1;
        }
        case TokenKind::Variable: Refuse(QStringLiteral("Must declare the scalar variable \"%1\".").arg(t.text));
        case TokenKind::LParen: return EmitGroup(out, i, b, e);
        case TokenKind::Operator:
            if (t.text == QLatin1String("!<"))
                Put(out, t, QStringLiteral(">="));
            else if (t.text == QLatin1String("!>"))
                Put(out, t, QStringLiteral("<="));
            else
                Put(out, t, t.text);
            return i + 1;
        case TokenKind::Quoted: return EmitName(out, i, e);
        case TokenKind::Word: return EmitWord(out, i, b, e);
        default: Put(out, t, t.text); return i + 1;
        }
    }

    bool AfterCompound(int i) const
    {
        if (i <= 0)
            return false;
        if (IsCompound(At(i - 1)))
            return true;
        return At(i - 1).IsWord("ALL") && i > 1 && IsCompound(At(i - 2));
    }

    int EmitGroup(QString& out, int i, int b, int e)
    {
        const Token& t = At(i);
        const int close = Close(i, e);
        if (close < 0) {  // unbalanced: leave it to SQLite to report
            Put(out, t, QStringLiteral("("));
            EmitInto(out, i + 1, e);
            return e;
        }
        bool arm = false;
        if (i + 1 < close && WordAt(i + 1, close, "SELECT")) {
            const bool nextCompound = close + 1 < e && IsCompound(At(close + 1));
            const bool atStart = i == b || At(i - 1).kind == TokenKind::LParen;
            // SQLite takes no parentheses around the arms of a compound select.
            arm = AfterCompound(i) || (nextCompound && atStart);
        }
        Put(out, t, arm ? QStringLiteral("SELECT * FROM (") : QStringLiteral("("));
        EmitInto(out, i + 1, close);
        out += QLatin1Char(')');
        return close + 1;
    }

    int EmitWord(QString& out, int i, int b, int e)
    {
        const Token& t = At(i);
        if (i + 1 < e && At(i + 1).kind == TokenKind::LParen) {
            const int next = EmitFunction(out, i, e);
            if (next >= 0)
                return next;
            Put(out, t, t.text);
            return i + 1;
        }
        if (t.IsWord("SELECT"))
            return EmitSelect(out, i, b, e);
        if (t.IsWord("CURRENT_TIMESTAMP")) {
            Put(out, t, Now());
            return i + 1;
        }
        return EmitName(out, i, e);
    }

    QString Now() const
    {
        // A column default must not depend on this connection's functions: the file is opened by
        // other programs too. The statement's own "now" comes from the program clock.
        return m_ddlDefault ? QStringLiteral("datetime('now','localtime')") : QStringLiteral("getdate()");
    }

    std::vector<std::pair<int, int>> Args(int b, int e) const
    {
        std::vector<std::pair<int, int>> args;
        if (b >= e)
            return args;
        int start = b;
        for (int j = b; j < e;) {
            if (At(j).kind == TokenKind::Comma) {
                args.emplace_back(start, j);
                start = ++j;
                continue;
            }
            j = At(j).kind == TokenKind::LParen && Close(j, e) > 0 ? Close(j, e) + 1 : j + 1;
        }
        args.emplace_back(start, e);
        return args;
    }

    // A type as CONVERT and CAST name it: "nvarchar(10)", "datetime", "decimal(18,2)".
    QString TypeText(int b, int e) const
    {
        QString s;
        for (int j = b; j < e; ++j) {
            const Token& t = At(j);
            if (t.IsIdentifier() && !s.isEmpty() && IsIdentChar(s.back()))
                s += QLatin1Char(' ');
            s += t.IsIdentifier() ? t.Name() : t.text;
        }
        return s.toLower();
    }

    int EmitFunction(QString& out, int i, int e)
    {
        const Token& t = At(i);
        const int open = i + 1;
        const int close = Close(open, e);
        if (close < 0)
            return -1;
        const QString u = t.text.toUpper();
        const auto args = Args(open + 1, close);
        auto argText = [&](size_t k) { return EmitStr(args[k].first, args[k].second).trimmed(); };
        auto call = [&](const QString& name) {
            Put(out, t, name + QLatin1Char('('));
            EmitInto(out, open + 1, close);
            out += QLatin1Char(')');
            return close + 1;
        };
        if (u == QLatin1String("ISNULL"))
            return call(QStringLiteral("ifnull"));
        if (u == QLatin1String("LEFT")) {
            if (args.size() != 2)
                Refuse(QStringLiteral("The left function requires 2 argument(s)."));
            Put(out, t, QStringLiteral("substr(") + argText(0) + QStringLiteral(", 1, ") + argText(1) + QLatin1Char(')'));
            return close + 1;
        }
        if (u == QLatin1String("RIGHT"))
            return call(QStringLiteral("tsql_right"));
        if (u == QLatin1String("LEN")) {
            if (args.size() != 1)
                Refuse(QStringLiteral("The len function requires 1 argument(s)."));
            // LEN does not count trailing blanks.
            Put(out, t, QStringLiteral("length(rtrim(") + argText(0) + QStringLiteral("))"));
            return close + 1;
        }
        if (u == QLatin1String("SUBSTRING"))
            return call(QStringLiteral("substr"));
        if (u == QLatin1String("GETDATE") || u == QLatin1String("SYSDATETIME") || u == QLatin1String("CURRENT_TIMESTAMP")) {
            Put(out, t, Now());
            return close + 1;
        }
        if (u == QLatin1String("DATEADD") || u == QLatin1String("DATEDIFF") || u == QLatin1String("DATEPART")) {
            if (args.empty())
                Refuse(QStringLiteral("The %1 function requires arguments.").arg(t.text));
            QString s = t.text.toLower() + QLatin1Char('(');
            const auto [pb, pe] = args[0];
            if (pe == pb + 1 && At(pb).IsIdentifier())
                s += QuoteString(At(pb).Name().toLower());  // a bare datepart keyword
            else
                s += argText(0);
            for (size_t k = 1; k < args.size(); ++k)
                s += QStringLiteral(", ") + argText(k);
            Put(out, t, s + QLatin1Char(')'));
            return close + 1;
        }
        if (u == QLatin1String("CONVERT") || u == QLatin1String("TRY_CONVERT")) {
            if (args.size() < 2 || args.size() > 3)
                Refuse(QStringLiteral("The convert function requires 2 or 3 arguments."));
            QString s = QStringLiteral("tsql_convert(") + QuoteString(TypeText(args[0].first, args[0].second))
                + QStringLiteral(", ") + argText(1);
            if (args.size() == 3)
                s += QStringLiteral(", ") + argText(2);
            Put(out, t, s + QLatin1Char(')'));
            return close + 1;
        }
        if (u == QLatin1String("CAST") || u == QLatin1String("TRY_CAST")) {
            int as = -1;
            for (int j = open + 1; j < close;) {
                if (At(j).IsWord("AS"))
                    as = j;
                j = At(j).kind == TokenKind::LParen && Close(j, close) > 0 ? Close(j, close) + 1 : j + 1;
            }
            if (as < 0)
                Refuse(QStringLiteral("Incorrect syntax near 'CAST'."));
            Put(out, t, QStringLiteral("tsql_convert(") + QuoteString(TypeText(as + 1, close)) + QStringLiteral(", ")
                            + EmitStr(open + 1, as).trimmed() + QLatin1Char(')'));
            return close + 1;
        }
        if (u == QLatin1String("OBJECT_ID") || u == QLatin1String("DB_NAME"))
            return call(t.text.toLower());
        return -1;
    }

    int EmitSelect(QString& out, int i, int b, int e)
    {
        Q_UNUSED(b);
        int end = i + 1;
        while (end < e) {
            const Token& x = At(end);
            if (x.kind == TokenKind::LParen && Close(end, e) > 0) {
                end = Close(end, e) + 1;
                continue;
            }
            if (IsCompound(x) || x.kind == TokenKind::Semicolon)
                break;
            ++end;
        }
        int j = i + 1;
        while (j < end && (At(j).IsWord("DISTINCT") || At(j).IsWord("ALL")))
            ++j;
        if (!WordAt(j, end, "TOP")) {
            Put(out, At(i), At(i).text);
            EmitInto(out, i + 1, end);
            return end;
        }
        // TOP n becomes LIMIT n at the end of the same select.
        QString limit;
        int k = j + 1;
        if (k < end && At(k).kind == TokenKind::LParen && Close(k, end) > 0) {
            limit = QLatin1Char('(') + EmitStr(k + 1, Close(k, end)).trimmed() + QLatin1Char(')');
            k = Close(k, end) + 1;
        } else if (k < end && At(k).kind == TokenKind::Number) {
            limit = At(k).text;
            ++k;
        } else {
            Refuse(QStringLiteral("Incorrect syntax near 'TOP'."));
        }
        if (WordAt(k, end, "PERCENT") || WordAt(k, end, "WITH"))
            Refuse(QStringLiteral("TOP with PERCENT or WITH TIES is not supported."));
        // In an arm of a compound select, the limit must apply to that arm alone.
        const bool compound = (end < e && IsCompound(At(end))) || AfterCompound(i);
        Put(out, At(i), compound ? QStringLiteral("SELECT * FROM (SELECT") : QStringLiteral("SELECT"));
        for (int m = i + 1; m < j; ++m)
            Put(out, At(m), At(m).text);
        EmitInto(out, k, end);
        out += QStringLiteral(" LIMIT ") + limit;
        if (compound)
            out += QLatin1Char(')');
        return end;
    }

    // The parts of a dotted name starting at i: token indices, -1 for an empty part (db..t).
    std::vector<int> NameParts(int i, int e, int* next) const
    {
        std::vector<int> parts{i};
        int j = i + 1;
        while (j + 1 < e && At(j).kind == TokenKind::Dot) {
            if (At(j + 1).IsIdentifier()) {
                parts.push_back(j + 1);
                j += 2;
            } else if (At(j + 1).kind == TokenKind::Dot && j + 2 < e && At(j + 2).IsIdentifier()) {
                parts.push_back(-1);
                parts.push_back(j + 2);
                j += 3;
            } else {
                break;
            }
        }
        *next = j;
        return parts;
    }

    // [] names nothing.
    void RequireNames(const std::vector<int>& parts) const
    {
        for (const int p : parts)
            if (p >= 0 && At(p).kind == TokenKind::Quoted && At(p).Name().isEmpty())
                Refuse(QStringLiteral("An object or column name is missing or empty."));
    }

    QString PartName(const std::vector<int>& parts, size_t k) const
    {
        return k < parts.size() && parts[k] >= 0 ? At(parts[k]).Name() : QString();
    }

    // A catalog view of SQL Server, or empty.
    QString CatalogView(const QString& name)
    {
        if (Same(name, "master_files")) {
            m_usesMasterFiles = true;
            return QStringLiteral("temp.") + QLatin1String(tsqlnames::MasterFilesTable);
        }
        if (Same(name, "extended_properties"))
            return QLatin1String(tsqlnames::ExtendedPropertiesTable);
        return {};
    }

    int EmitName(QString& out, int i, int e)
    {
        int next = i + 1;
        const std::vector<int> parts = NameParts(i, e, &next);
        const size_t n = parts.size();
        RequireNames(parts);
        QString result;
        size_t rest = n;  // parts after the object that follow as they stand (a column)
        if (n >= 3 && (parts[1] < 0 || Same(PartName(parts, 1), "dbo") || Same(PartName(parts, 1), "sys"))) {
            // db.dbo.table[.column]
            const QString view = Same(PartName(parts, 1), "sys") ? CatalogView(PartName(parts, 2)) : QString();
            result = !view.isEmpty() ? view : SchemaPrefix(PartName(parts, 0)) + At(parts[2]).text;
            rest = 3;
        } else if (n >= 2 && (Same(PartName(parts, 0), "dbo") || Same(PartName(parts, 0), "sys"))) {
            const QString view = Same(PartName(parts, 0), "sys") ? CatalogView(PartName(parts, 1)) : QString();
            result = !view.isEmpty() ? view : At(parts[1]).text;
            rest = 2;
        } else if (n == 1 && !m_rowPrefix.isEmpty()
                   && (At(i).kind == TokenKind::Quoted || !ExpressionKeywords().contains(At(i).text.toUpper()))) {
            result = m_rowPrefix + At(i).text;
            if (!m_rowColumns.contains(At(i).Name(), Qt::CaseInsensitive))
                m_rowColumns << At(i).Name();
            rest = 1;
        } else {
            result = At(i).text;
            rest = 1;
        }
        for (size_t k = rest; k < n; ++k)
            result += QLatin1Char('.') + (parts[k] >= 0 ? At(parts[k]).text : QString());
        Put(out, At(i), result);
        return next;
    }

    TableName ParseTableName(int j, int e, int* next)
    {
        TableName tn;
        if (j >= e || !At(j).IsIdentifier())
            Refuse(QStringLiteral("Incorrect syntax: a table name is missing."));
        const std::vector<int> parts = NameParts(j, e, next);
        RequireNames(parts);
        const int last = parts.back();
        QString db;
        if (parts.size() >= 3)
            db = PartName(parts, parts.size() - 3);
        tn.prefix = SchemaPrefix(db);
        tn.text = At(last).text;
        tn.plain = At(last).Name();
        tn.database = IsCurrent(db) ? m_current : db;
        return tn;
    }

    // ---- DDL ---------------------------------------------------------------------------

    static bool IsConstraintWord(const Token& t)
    {
        static const char* const words[] = {"CONSTRAINT", "PRIMARY", "UNIQUE", "CHECK", "FOREIGN", "NOT", "NULL",
                                            "DEFAULT", "IDENTITY", "COLLATE", "REFERENCES", "GENERATED", "AS"};
        if (t.kind != TokenKind::Word)
            return false;
        for (const char* w : words)
            if (t.IsWord(w))
                return true;
        return false;
    }

    ColumnKind KindOf(const ColumnDef& c) const
    {
        const QString base = c.typeBase.section(QLatin1Char(' '), 0, 0);
        if (TsqlTypes().contains(base))
            return TsqlTypes().value(base);
        if (CommonTypes().contains(base))
            return CommonTypes().value(base);
        return ColumnKind::Other;
    }

    bool IsTsqlColumn(const ColumnDef& c) const
    {
        return c.typeQuoted || c.identity || TsqlTypes().contains(c.typeBase.section(QLatin1Char(' '), 0, 0));
    }

    // The declared length of a text column, -1 for none or max.
    int LengthOf(const ColumnDef& c) const
    {
        if (KindOf(c) != ColumnKind::Text || c.typeArgs.isEmpty())
            return -1;
        bool ok = false;
        const int n = c.typeArgs.first().toInt(&ok);
        return ok && n > 0 ? n : -1;
    }

    ColumnDef ParseColumn(int cb, int ce)
    {
        ColumnDef c;
        c.nameText = At(cb).text;
        c.name = At(cb).Name();
        int k = cb + 1;
        if (k < ce && At(k).IsIdentifier() && !IsConstraintWord(At(k))) {
            c.typeQuoted = At(k).kind == TokenKind::Quoted;
            c.typeBase = At(k).Name().toLower();
            c.typeText = At(k).text;
            ++k;
            while (k < ce && (At(k).IsWord("VARYING") || At(k).IsWord("PRECISION") || At(k).IsWord("UNSIGNED"))) {
                c.typeBase += QLatin1Char(' ') + At(k).text.toLower();
                c.typeText += QLatin1Char(' ') + At(k).text;
                ++k;
            }
            if (k < ce && At(k).kind == TokenKind::LParen && Close(k, ce) > 0) {
                const int m = Close(k, ce);
                for (const auto& [ab, ae] : Args(k + 1, m))
                    c.typeArgs << TypeText(ab, ae);
                c.typeText += QLatin1Char('(') + c.typeArgs.join(QLatin1Char(',')) + QLatin1Char(')');
                k = m + 1;
            }
        }
        QString constraintName;
        while (k < ce) {
            const Token& x = At(k);
            if (x.IsWord("CONSTRAINT") && k + 1 < ce) {
                constraintName = At(k + 1).text;
                k += 2;
            } else if (x.IsWord("IDENTITY")) {
                c.identity = true;
                ++k;
                if (k < ce && At(k).kind == TokenKind::LParen && Close(k, ce) > 0)
                    k = Close(k, ce) + 1;
            } else if (x.IsWord("NOT") && WordAt(k + 1, ce, "NULL")) {
                c.notNull = true;
                k += 2;
            } else if (x.IsWord("NOT") && WordAt(k + 1, ce, "FOR")) {
                k += 3;  // NOT FOR REPLICATION
            } else if (x.IsWord("NULL")) {
                ++k;
            } else if (x.IsWord("DEFAULT") && k + 1 < ce) {
                ++k;
                c.defaultBegin = k;
                if (At(k).kind == TokenKind::LParen && Close(k, ce) > 0)
                    k = Close(k, ce) + 1;
                else if (At(k).kind == TokenKind::Operator && k + 1 < ce)
                    k += 2;
                else
                    ++k;
                c.defaultEnd = k;
                constraintName.clear();
            } else if (x.IsWord("PRIMARY")) {
                c.pk = true;
                k += WordAt(k + 1, ce, "KEY") ? 2 : 1;
                while (k < ce) {
                    if (At(k).IsWord("CLUSTERED") || At(k).IsWord("NONCLUSTERED")) {
                        ++k;
                    } else if (At(k).IsWord("ASC") || At(k).IsWord("DESC")) {
                        c.pkOrder = At(k).text.toUpper();
                        ++k;
                    } else if (At(k).IsWord("AUTOINCREMENT")) {
                        c.pkAuto = true;
                        ++k;
                    } else if (At(k).IsWord("ON") && WordAt(k + 1, ce, "CONFLICT") && k + 2 < ce) {
                        c.pkConflict = QStringLiteral("ON CONFLICT ") + At(k + 2).text;
                        k += 3;
                    } else {
                        break;
                    }
                }
                constraintName.clear();
            } else if (x.IsWord("UNIQUE")) {
                c.unique = true;
                ++k;
                while (k < ce && (At(k).IsWord("CLUSTERED") || At(k).IsWord("NONCLUSTERED")))
                    ++k;
                constraintName.clear();
            } else if (x.IsWord("CHECK") && k + 1 < ce && At(k + 1).kind == TokenKind::LParen && Close(k + 1, ce) > 0) {
                const int m = Close(k + 1, ce);
                c.extra << (constraintName.isEmpty() ? QString() : QStringLiteral("CONSTRAINT ") + constraintName + QLatin1Char(' '))
                        + QStringLiteral("CHECK (") + EmitStr(k + 2, m).trimmed() + QLatin1Char(')');
                constraintName.clear();
                k = m + 1;
            } else if (x.IsWord("COLLATE") && k + 1 < ce) {
                c.collate = MapCollation(At(k + 1).Name());
                k += 2;
            } else if (x.IsWord("ROWGUIDCOL") || x.IsWord("SPARSE") || x.IsWord("FILESTREAM") || x.IsWord("PERSISTED")
                       || x.IsWord("CLUSTERED") || x.IsWord("NONCLUSTERED")) {
                ++k;
            } else {
                // REFERENCES, GENERATED and anything else: as SQLite reads it.
                c.extra << EmitStr(k, ce).trimmed();
                k = ce;
            }
        }
        return c;
    }

    // A column default: dates and flags in their stored form, "now" that does not depend on
    // this connection.
    QString DefaultSql(const ColumnDef& c, ColumnKind kind)
    {
        int db = c.defaultBegin, de = c.defaultEnd;
        while (de - db >= 2 && At(db).kind == TokenKind::LParen && At(db).match == de - 1) {
            ++db;
            --de;
        }
        if (de == db + 1) {
            const Token& v = At(db);
            if (kind == ColumnKind::Date && (v.kind == TokenKind::String || v.kind == TokenKind::NString)) {
                sqlite::DateParts d;
                if (sqlite::ParseDateText(v.StringValue(), d))
                    return QStringLiteral("('") + sqlite::FormatCanonical(d) + QStringLiteral("')");
            }
            if (kind == ColumnKind::Bit) {
                const QString s = v.kind == TokenKind::Number ? v.text : v.StringValue();
                if (s == QLatin1String("1") || Same(s, "true"))
                    return QStringLiteral("('True')");
                if (s == QLatin1String("0") || Same(s, "false"))
                    return QStringLiteral("('False')");
            }
        }
        m_ddlDefault = true;
        const QString expr = EmitStr(db, de).trimmed();
        m_ddlDefault = false;
        return QLatin1Char('(') + expr + QLatin1Char(')');
    }

    QString ColumnSql(const ColumnDef& c, bool tsqlStyle, bool identityKey)
    {
        const ColumnKind kind = KindOf(c);
        QString s = c.nameText;
        QString type = c.typeText;
        if (tsqlStyle && kind != ColumnKind::Other)
            type = SqliteTypeOf(kind);
        if (identityKey)
            type = QStringLiteral("INTEGER");
        if (!type.isEmpty())
            s += QLatin1Char(' ') + type;
        if (identityKey) {
            s += QStringLiteral(" PRIMARY KEY AUTOINCREMENT");
        } else if (c.pk) {
            s += QStringLiteral(" PRIMARY KEY");
            if (!c.pkOrder.isEmpty())
                s += QLatin1Char(' ') + c.pkOrder;
            if (!c.pkConflict.isEmpty())
                s += QLatin1Char(' ') + c.pkConflict;
            if (c.pkAuto)
                s += QStringLiteral(" AUTOINCREMENT");
        }
        if (c.notNull)
            s += QStringLiteral(" NOT NULL");
        if (c.unique)
            s += QStringLiteral(" UNIQUE");
        if (c.defaultBegin >= 0)
            s += QStringLiteral(" DEFAULT ") + DefaultSql(c, kind);
        if (!c.collate.isEmpty())
            s += QStringLiteral(" COLLATE ") + c.collate;
        else if (tsqlStyle && (kind == ColumnKind::Text || kind == ColumnKind::Bit))
            s += QStringLiteral(" COLLATE NOCASE");  // SQL Server compares text without regard to case
        for (const QString& x : c.extra)
            s += QLatin1Char(' ') + x;
        return s;
    }

    QString CreateTable(int b, int e)
    {
        int j = b + 1;
        bool temp = false;
        while (j < e && !At(j).IsWord("TABLE")) {
            temp = temp || At(j).IsWord("TEMP") || At(j).IsWord("TEMPORARY");
            ++j;
        }
        ++j;
        bool ifNotExists = false;
        if (WordAt(j, e, "IF") && WordAt(j + 1, e, "NOT") && WordAt(j + 2, e, "EXISTS")) {
            ifNotExists = true;
            j += 3;
        }
        TableName tn = ParseTableName(j, e, &j);
        if (j >= e || At(j).kind != TokenKind::LParen || Close(j, e) < 0)
            return EmitStr(b, e);  // CREATE TABLE ... AS SELECT
        const int open = j, close = Close(j, e);

        bool tsqlStyle = false;
        QStringList options;
        bool withoutRowid = false;
        for (int k = close + 1; k < e;) {
            if (At(k).IsWord("ON") || At(k).IsWord("TEXTIMAGE_ON") || At(k).IsWord("FILESTREAM_ON")) {
                tsqlStyle = true;
                k += 2;
                if (k < e && At(k).kind == TokenKind::LParen && Close(k, e) > 0)
                    k = Close(k, e) + 1;
            } else if (At(k).IsWord("WITH") && k + 1 < e && At(k + 1).kind == TokenKind::LParen && Close(k + 1, e) > 0) {
                tsqlStyle = true;
                k = Close(k + 1, e) + 1;
            } else if (At(k).IsWord("WITHOUT") && WordAt(k + 1, e, "ROWID")) {
                options << QStringLiteral("WITHOUT ROWID");
                withoutRowid = true;
                k += 2;
            } else if (At(k).IsWord("STRICT")) {
                options << QStringLiteral("STRICT");
                ++k;
            } else {
                ++k;
            }
        }

        std::vector<ColumnDef> columns;
        QStringList constraints;
        QStringList pkColumns;
        QString pkSql;
        for (const auto& [eb, ee] : Args(open + 1, close)) {
            if (eb >= ee)
                continue;
            int k = eb;
            QString name;
            if (At(k).IsWord("CONSTRAINT") && k + 1 < ee) {
                name = At(k + 1).text;
                k += 2;
            }
            if (At(k).IsWord("PRIMARY") || At(k).IsWord("UNIQUE")) {
                const bool primary = At(k).IsWord("PRIMARY");
                k += primary && WordAt(k + 1, ee, "KEY") ? 2 : 1;
                while (k < ee && (At(k).IsWord("CLUSTERED") || At(k).IsWord("NONCLUSTERED"))) {
                    tsqlStyle = true;
                    ++k;
                }
                if (k >= ee || At(k).kind != TokenKind::LParen || Close(k, ee) < 0)
                    Refuse(QStringLiteral("Incorrect syntax near '%1'.").arg(primary ? QStringLiteral("PRIMARY KEY") : QStringLiteral("UNIQUE")));
                const int m = Close(k, ee);
                QStringList cols;
                for (const auto& [cb, cend] : Args(k + 1, m)) {
                    if (cb >= cend)
                        continue;
                    QString col = At(cb).text;
                    if (primary)
                        pkColumns << At(cb).Name();
                    if (cb + 1 < cend && (At(cb + 1).IsWord("ASC") || At(cb + 1).IsWord("DESC")))
                        col += QLatin1Char(' ') + At(cb + 1).text.toUpper();
                    cols << col;
                }
                for (int r = m + 1; r < ee; ++r)
                    if (At(r).IsWord("WITH") || At(r).IsWord("ON"))
                        tsqlStyle = true;
                const QString sql = (primary ? QStringLiteral("PRIMARY KEY (") : QStringLiteral("UNIQUE (")) + cols.join(QStringLiteral(", ")) + QLatin1Char(')');
                if (primary)
                    pkSql = sql;
                else
                    constraints << sql;
                continue;
            }
            if (At(k).IsWord("CHECK") || At(k).IsWord("FOREIGN")) {
                constraints << (name.isEmpty() ? QString() : QStringLiteral("CONSTRAINT ") + name + QLatin1Char(' '))
                        + EmitStr(k, ee).trimmed();
                continue;
            }
            ColumnDef c = ParseColumn(eb, ee);
            if (IsTsqlColumn(c))
                tsqlStyle = true;
            columns.push_back(c);
        }

        // An IDENTITY column that is the primary key becomes the rowid, numbered upwards and
        // never reused, as SQL Server's identity is.
        int identityKey = -1;
        for (size_t k = 0; k < columns.size(); ++k) {
            const ColumnDef& c = columns[k];
            if (c.identity && (c.pk || (pkColumns.size() == 1 && pkColumns.first().compare(c.name, Qt::CaseInsensitive) == 0)))
                identityKey = static_cast<int>(k);
        }
        QStringList elements;
        for (size_t k = 0; k < columns.size(); ++k)
            elements << ColumnSql(columns[k], tsqlStyle, static_cast<int>(k) == identityKey);
        if (!pkSql.isEmpty() && identityKey < 0)
            elements << pkSql;
        elements << constraints;

        QStringList statements;
        statements << QStringLiteral("CREATE ") + (temp ? QStringLiteral("TEMP ") : QString()) + QStringLiteral("TABLE ")
                + (ifNotExists ? QStringLiteral("IF NOT EXISTS ") : QString()) + tn.prefix + tn.text + QStringLiteral(" (")
                + elements.join(QStringLiteral(", ")) + QLatin1Char(')') + (options.isEmpty() ? QString() : QLatin1Char(' ') + options.join(QStringLiteral(", ")));
        if (tsqlStyle)
            statements << TableTriggers(tn, columns, temp, ifNotExists, withoutRowid);
        return statements.join(QStringLiteral(";\n"));
    }

    // SQL Server refuses a text longer than its column, and stores a datetime whatever text
    // form it was given in; the triggers do the same here.
    QStringList TableTriggers(const TableName& tn, const std::vector<ColumnDef>& columns, bool temp, bool ifNotExists,
                              bool withoutRowid)
    {
        QStringList out;
        const QString create = QStringLiteral("CREATE ") + (temp ? QStringLiteral("TEMP ") : QString()) + QStringLiteral("TRIGGER ")
            + (ifNotExists ? QStringLiteral("IF NOT EXISTS ") : QString());
        QString lengthBody;
        QStringList dateColumns;
        for (const ColumnDef& c : columns) {
            const int length = LengthOf(c);
            if (length > 0) {
                const QString message = QStringLiteral("String or binary data would be truncated in table '%1.dbo.%2', column '%3'.")
                                            .arg(tn.database, tn.plain, c.name);
                lengthBody += QStringLiteral("SELECT RAISE(ABORT, ") + QuoteString(message) + QStringLiteral(") WHERE length(NEW.")
                    + c.nameText + QStringLiteral(") > ") + QString::number(length) + QStringLiteral("; ");
            }
            if (KindOf(c) == ColumnKind::Date)
                dateColumns << c.nameText;
        }
        if (!lengthBody.isEmpty()) {
            for (const char* op : {"INSERT", "UPDATE"}) {
                const QString name = QStringLiteral("TR_%1_Length_%2").arg(tn.plain, QLatin1String(op));
                out << create + tn.prefix + QuoteIdentifier(name) + QStringLiteral(" BEFORE ") + QLatin1String(op)
                        + QStringLiteral(" ON ") + tn.text + QStringLiteral(" FOR EACH ROW BEGIN ") + lengthBody + QStringLiteral("END");
            }
        }
        if (!dateColumns.isEmpty() && !withoutRowid) {
            QString body;
            for (const QString& col : dateColumns) {
                const QString canonical = QStringLiteral(
                    "substr(%1, 7, 4) || '-' || substr(%1, 1, 2) || '-' || substr(%1, 4, 2) || ' ' || "
                    "CASE WHEN length(%1) >= 19 THEN substr(%1, 12, 8) WHEN length(%1) >= 16 THEN substr(%1, 12, 5) || ':00' "
                    "ELSE '00:00:00' END").arg(col);
                body += QStringLiteral("UPDATE ") + tn.text + QStringLiteral(" SET ") + col + QStringLiteral(" = ") + canonical
                    + QStringLiteral(" WHERE rowid = NEW.rowid AND ") + col
                    + QStringLiteral(" GLOB '[0-9][0-9]/[0-9][0-9]/[0-9][0-9][0-9][0-9]*'; ");
            }
            out << create + tn.prefix + QuoteIdentifier(QStringLiteral("TR_%1_Dates_INSERT").arg(tn.plain))
                    + QStringLiteral(" AFTER INSERT ON ") + tn.text + QStringLiteral(" FOR EACH ROW BEGIN ") + body + QStringLiteral("END");
            out << create + tn.prefix + QuoteIdentifier(QStringLiteral("TR_%1_Dates_UPDATE").arg(tn.plain))
                    + QStringLiteral(" AFTER UPDATE OF ") + dateColumns.join(QStringLiteral(", ")) + QStringLiteral(" ON ") + tn.text
                    + QStringLiteral(" FOR EACH ROW BEGIN ") + body + QStringLiteral("END");
        }
        return out;
    }

    QString CreateIndex(int b, int e)
    {
        int j = b + 1;
        bool unique = false;
        while (j < e && !At(j).IsWord("INDEX")) {
            unique = unique || At(j).IsWord("UNIQUE");
            ++j;
        }
        ++j;
        bool ifNotExists = false;
        if (WordAt(j, e, "IF") && WordAt(j + 1, e, "NOT") && WordAt(j + 2, e, "EXISTS")) {
            ifNotExists = true;
            j += 3;
        }
        if (j >= e || !At(j).IsIdentifier())
            Refuse(QStringLiteral("Incorrect syntax near 'INDEX'."));
        const QString indexName = At(j).text;
        ++j;
        if (!WordAt(j, e, "ON"))
            Refuse(QStringLiteral("Incorrect syntax near '%1'.").arg(indexName));
        ++j;
        const TableName tn = ParseTableName(j, e, &j);
        if (j >= e || At(j).kind != TokenKind::LParen || Close(j, e) < 0)
            Refuse(QStringLiteral("Incorrect syntax near '%1'.").arg(tn.plain));
        const int close = Close(j, e);
        const QString columns = EmitStr(j + 1, close).trimmed();
        QString where;
        for (int k = close + 1; k < e;) {
            if (At(k).IsWord("WHERE")) {
                int end = k + 1;
                while (end < e && !At(end).IsWord("WITH") && !(At(end).IsWord("ON") && end > k + 1))
                    end = At(end).kind == TokenKind::LParen && Close(end, e) > 0 ? Close(end, e) + 1 : end + 1;
                where = QStringLiteral(" WHERE ") + EmitStr(k + 1, end).trimmed();
                k = end;
            } else {
                // INCLUDE (...), WITH (...), ON [PRIMARY]: storage options without a counterpart
                k = At(k).kind == TokenKind::LParen && Close(k, e) > 0 ? Close(k, e) + 1 : k + 1;
            }
        }
        return QStringLiteral("CREATE ") + (unique ? QStringLiteral("UNIQUE ") : QString()) + QStringLiteral("INDEX ")
            + (ifNotExists ? QStringLiteral("IF NOT EXISTS ") : QString()) + tn.prefix + indexName + QStringLiteral(" ON ")
            + tn.text + QStringLiteral(" (") + columns + QLatin1Char(')') + where;
    }

    QString AlterTable(int b, int e)
    {
        int j = b + 2;
        const TableName tn = ParseTableName(j, e, &j);
        bool withCheck = true;
        if (WordAt(j, e, "WITH") && (WordAt(j + 1, e, "CHECK") || WordAt(j + 1, e, "NOCHECK"))) {
            withCheck = At(j + 1).IsWord("CHECK");
            j += 2;
        }
        // Enabling or disabling a constraint: the triggers are always on.
        if ((WordAt(j, e, "CHECK") || WordAt(j, e, "NOCHECK")) && WordAt(j + 1, e, "CONSTRAINT"))
            return {};
        if (WordAt(j, e, "ADD")) {
            ++j;
            QString name;
            if (WordAt(j, e, "CONSTRAINT") && j + 1 < e) {
                name = At(j + 1).Name();
                j += 2;
            }
            if (WordAt(j, e, "CHECK") && j + 1 < e && At(j + 1).kind == TokenKind::LParen && Close(j + 1, e) > 0) {
                const int m = Close(j + 1, e);
                if (name.isEmpty())
                    name = QStringLiteral("CK__%1__%2").arg(tn.plain).arg(qHash(Verbatim(j + 2, m)), 8, 16, QLatin1Char('0'));
                return CheckTriggers(tn, name, j + 2, m, withCheck);
            }
            if (WordAt(j, e, "PRIMARY") || WordAt(j, e, "UNIQUE")) {
                int k = j + 1;
                while (k < e && At(k).kind == TokenKind::Word)
                    ++k;
                if (k >= e || At(k).kind != TokenKind::LParen || Close(k, e) < 0)
                    Refuse(QStringLiteral("Incorrect syntax near 'ADD'."));
                if (name.isEmpty())
                    name = QStringLiteral("UQ__%1").arg(tn.plain);
                return QStringLiteral("CREATE UNIQUE INDEX ") + tn.prefix + QuoteIdentifier(name) + QStringLiteral(" ON ") + tn.text
                    + QStringLiteral(" (") + EmitStr(k + 1, Close(k, e)).trimmed() + QLatin1Char(')');
            }
            if (WordAt(j, e, "FOREIGN"))
                return {};  // foreign keys are not enforced by this database
            if (WordAt(j, e, "DEFAULT"))
                Refuse(QStringLiteral("ALTER TABLE ... ADD DEFAULT is not supported."));
            QStringList out;
            for (const auto& [cb, ce] : Args(j, e)) {
                if (cb >= ce)
                    continue;
                int k = cb;
                if (WordAt(k, ce, "COLUMN"))
                    ++k;
                const ColumnDef c = ParseColumn(k, ce);
                out << QStringLiteral("ALTER TABLE ") + tn.prefix + tn.text + QStringLiteral(" ADD COLUMN ") + ColumnSql(c, IsTsqlColumn(c), false);
            }
            return out.join(QStringLiteral(";\n"));
        }
        if (WordAt(j, e, "DROP") && WordAt(j + 1, e, "CONSTRAINT") && j + 2 < e) {
            const QString name = At(j + 2).Name();
            return QStringLiteral("DROP TRIGGER IF EXISTS %1%2;\nDROP TRIGGER IF EXISTS %1%3;\nDROP INDEX IF EXISTS %1%4")
                .arg(tn.prefix, QuoteIdentifier(name + QStringLiteral("_Insert")), QuoteIdentifier(name + QStringLiteral("_Update")),
                     QuoteIdentifier(name));
        }
        if (WordAt(j, e, "DROP") && WordAt(j + 1, e, "COLUMN") && j + 2 < e)
            return QStringLiteral("ALTER TABLE ") + tn.prefix + tn.text + QStringLiteral(" DROP COLUMN ") + At(j + 2).text;
        if (WordAt(j, e, "ALTER"))
            Refuse(QStringLiteral("ALTER TABLE ... ALTER COLUMN is not supported."));
        return QStringLiteral("ALTER TABLE ") + tn.prefix + tn.text + QLatin1Char(' ') + EmitStr(j, e).trimmed();
    }

    // A CHECK constraint added to an existing table: the rows there are tested now, new and
    // changed rows by triggers, with SQL Server's words.
    QString CheckTriggers(const TableName& tn, const QString& name, int eb, int ee, bool withCheck)
    {
        m_rowPrefix = QStringLiteral("NEW.");
        m_rowColumns.clear();
        const QString rowCondition = EmitStr(eb, ee).trimmed();
        m_rowPrefix.clear();
        const QStringList columns = m_rowColumns;
        const QString condition = EmitStr(eb, ee).trimmed();
        auto message = [&](const char* op) {
            QString m = QStringLiteral("The %1 statement conflicted with the CHECK constraint \"%2\". The conflict occurred in database \"%3\", table \"dbo.%4\"")
                            .arg(QLatin1String(op), name, tn.database, tn.plain);
            if (columns.size() == 1)
                m += QStringLiteral(", column '%1'").arg(columns.first());
            return m + QLatin1Char('.');
        };
        QStringList out;
        if (withCheck)
            out << QStringLiteral("SELECT tsql_raise(") + QuoteString(message("ALTER TABLE")) + QStringLiteral(") FROM ") + tn.prefix
                    + tn.text + QStringLiteral(" WHERE NOT (") + condition + QStringLiteral(") LIMIT 1");
        for (const char* op : {"INSERT", "UPDATE"}) {
            const QString trigger = name + (QLatin1String(op) == QLatin1String("INSERT") ? QStringLiteral("_Insert") : QStringLiteral("_Update"));
            out << QStringLiteral("CREATE TRIGGER ") + tn.prefix + QuoteIdentifier(trigger) + QStringLiteral(" BEFORE ") + QLatin1String(op)
                    + QStringLiteral(" ON ") + tn.text + QStringLiteral(" FOR EACH ROW WHEN NOT (") + rowCondition
                    + QStringLiteral(") BEGIN SELECT RAISE(ABORT, ") + QuoteString(message(op)) + QStringLiteral("); END");
        }
        return out.join(QStringLiteral(";\n"));
    }

    // Extended properties are kept in a table of their own so that they can be read back.
    QString Exec(int b, int e)
    {
        int j = b + 1;
        if (j >= e || !At(j).IsIdentifier())
            Refuse(QStringLiteral("Incorrect syntax near 'EXEC'."));
        const std::vector<int> parts = NameParts(j, e, &j);
        const QString proc = At(parts.back()).Name().toLower();
        const bool add = proc == QLatin1String("sp_addextendedproperty");
        const bool update = proc == QLatin1String("sp_updateextendedproperty");
        const bool drop = proc == QLatin1String("sp_dropextendedproperty");
        if (!add && !update && !drop)
            Refuse(QStringLiteral("Could not find stored procedure '%1'.").arg(At(parts.back()).Name()));
        QStringList order = {QStringLiteral("name"), QStringLiteral("value"), QStringLiteral("level0type"),
                             QStringLiteral("level0name"), QStringLiteral("level1type"), QStringLiteral("level1name"),
                             QStringLiteral("level2type"), QStringLiteral("level2name")};
        if (drop)
            order.removeAt(1);
        QHash<QString, QString> values;
        int position = 0;
        for (const auto& [ab, ae] : Args(j, e)) {
            if (ab >= ae)
                continue;
            QString key;
            int vb = ab;
            if (At(ab).kind == TokenKind::Variable && ab + 1 < ae && At(ab + 1).text == QLatin1String("=")) {
                key = At(ab).text.mid(1).toLower();
                vb = ab + 2;
            } else {
                key = order.value(position);
            }
            ++position;
            if (!order.contains(key))
                Refuse(QStringLiteral("%1 has no parameter named @%2.").arg(proc, key));
            if (ae != vb + 1)
                Refuse(QStringLiteral("Incorrect syntax near '%1'.").arg(proc));
            const Token& v = At(vb);
            if (v.kind == TokenKind::String || v.kind == TokenKind::NString)
                values.insert(key, QuoteString(v.StringValue()));
            else if (v.kind == TokenKind::Number)
                values.insert(key, v.text);
            else if (v.IsWord("NULL"))
                values.insert(key, QStringLiteral("NULL"));
            else
                Refuse(QStringLiteral("Incorrect syntax near '%1'.").arg(v.text));
        }
        if (!values.contains(QStringLiteral("name")))
            Refuse(QStringLiteral("Procedure %1 expects parameter '@name', which was not supplied.").arg(proc));
        const QString table = QLatin1String(tsqlnames::ExtendedPropertiesTable);
        const QStringList keys = {QStringLiteral("name"), QStringLiteral("level0type"), QStringLiteral("level0name"),
                                  QStringLiteral("level1type"), QStringLiteral("level1name"), QStringLiteral("level2type"),
                                  QStringLiteral("level2name")};
        QStringList out;
        out << QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (name TEXT COLLATE NOCASE NOT NULL, value TEXT, "
                              "level0type TEXT COLLATE NOCASE NOT NULL DEFAULT '', level0name TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
                              "level1type TEXT COLLATE NOCASE NOT NULL DEFAULT '', level1name TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
                              "level2type TEXT COLLATE NOCASE NOT NULL DEFAULT '', level2name TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
                              "PRIMARY KEY (name, level0type, level0name, level1type, level1name, level2type, level2name))")
                   .arg(table);
        auto level = [&](const QString& key) {
            const QString v = values.value(key);
            return v.isEmpty() || v == QLatin1String("NULL") ? QStringLiteral("''") : v;
        };
        QStringList where;
        for (const QString& key : keys)
            where << key + QStringLiteral(" = ") + level(key);
        if (add) {
            QStringList vals;
            vals << values.value(QStringLiteral("name")) << values.value(QStringLiteral("value"), QStringLiteral("NULL"));
            for (int k = 1; k < keys.size(); ++k)
                vals << level(keys.at(k));
            out << QStringLiteral("INSERT INTO %1 (name, value, level0type, level0name, level1type, level1name, level2type, level2name) VALUES (%2)")
                       .arg(table, vals.join(QStringLiteral(", ")));
        } else if (update) {
            out << QStringLiteral("UPDATE %1 SET value = %2 WHERE %3")
                       .arg(table, values.value(QStringLiteral("value"), QStringLiteral("NULL")), where.join(QStringLiteral(" AND ")));
        } else {
            out << QStringLiteral("DELETE FROM %1 WHERE %2").arg(table, where.join(QStringLiteral(" AND ")));
        }
        return out.join(QStringLiteral(";\n"));
    }
};

}  // namespace

QString AttachedSchemaName(const QString& database)
{
    if (Same(database, "main") || Same(database, "temp"))
        return QStringLiteral("db_") + database;
    return database;
}

Translation TranslateTsql(const QString& tsql, const QString& currentDatabase)
{
    static QMutex mutex;
    static QHash<QString, Translation> cache;
    const QString key = currentDatabase.toLower() + QChar(0x1F) + tsql;
    {
        QMutexLocker lock(&mutex);
        const auto it = cache.constFind(key);
        if (it != cache.constEnd())
            return *it;
    }
    const std::vector<Token> tokens = Tokenize(tsql);
    Translation t = Translator(tokens, currentDatabase).Run();
    if (tsql.size() > 8192)  // request texts with their JSON: seen once
        return t;
    QMutexLocker lock(&mutex);
    if (cache.size() >= 512)
        cache.clear();
    cache.insert(key, t);
    return t;
}

}  // namespace platform::db

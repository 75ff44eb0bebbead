// corvantis-sql: runs one T-SQL statement against a database the way the system reaches it
// (the embedded folder with its translation, or a server through ODBC) and prints the rows.
#include "core/RuntimeError.h"
#include "database/Connection.h"
#include "database/ConnectionString.h"
#include "database/Recordset.h"
#include "database/Value.h"
#include "ToolSupport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace db = platform::db;

namespace {

const char* const kDescription =
    "Runs one T-SQL statement, given as the argument or read from standard input, and prints\n"
    "its rows: a line of column names, then one line per row, values separated by tabs, null\n"
    "as NULL, dates as yyyy-MM-dd HH:mm:ss (a tab or line break inside a value is written \\t,\n"
    "\\n or \\r). A statement that begins with SELECT, WITH, VALUES, PRAGMA or EXEC is read for\n"
    "its rows; any other prints the number of rows it changed: \"<n> row(s) affected\".\n"
    "\n"
    "The database is named by --server (and --database, master when not given), or by a\n"
    "complete --connection text; one of the two is required. A server named sqlite:<folder>\n"
    "is the embedded database in that folder, with the statement translated as the system\n"
    "translates it; any other server is a SQL Server reached through ODBC. A --connection text\n"
    "with Driver= or DSN= goes to ODBC as it stands, e.g.\n"
    "  --connection \"Driver={SQLite3};Database=/path/file.db;\"\n"
    "--server, --database, --user and --password replace those keys of a --connection text.\n"
    "Put -- before a statement that itself begins with \"--\".\n"
    "\n"
    "Exit status: 0 on success, 1 when the database reports an error (printed on standard\n"
    "error as \"Error <number>-<description>\"), 2 when the command line is wrong.";

// The first word of the statement, past blanks, comments and opening brackets.
QString FirstKeyword(const QString& sql)
{
    qsizetype i = 0;
    const qsizetype n = sql.size();
    while (i < n) {
        const QChar c = sql.at(i);
        if (c.isSpace() || c == QLatin1Char('(') || c == QLatin1Char(';')) {
            ++i;
        } else if (sql.mid(i, 2) == QLatin1String("--")) {
            const qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? n : end + 1;
        } else if (sql.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else {
            break;
        }
    }
    qsizetype j = i;
    while (j < n && (sql.at(j).isLetterOrNumber() || sql.at(j) == QLatin1Char('_')))
        ++j;
    return sql.mid(i, j - i).toUpper();
}

bool ReturnsRows(const QString& sql)
{
    static const QStringList keywords = {QStringLiteral("SELECT"), QStringLiteral("WITH"), QStringLiteral("VALUES"),
                                         QStringLiteral("PRAGMA"), QStringLiteral("EXEC"), QStringLiteral("EXECUTE")};
    return keywords.contains(FirstKeyword(sql));
}

QString Cell(const db::Value& value)
{
    switch (value.Type()) {
    case db::ValueType::Null: return QStringLiteral("NULL");
    case db::ValueType::DateTime: return db::convert::DateTimeText(value.ToDateTime());
    default: break;
    }
    QString text = value.ToText();
    text.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return text;
}

int UsageError(const QString& message)
{
    tool::Err() << message << Qt::endl << "Try 'corvantis-sql --help'." << Qt::endl;
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvantis-sql"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addHelpOption();
    const QCommandLineOption connectionOption(QStringLiteral("connection"), QStringLiteral("A complete connection text."),
                                              QStringLiteral("text"));
    const QCommandLineOption serverOption(QStringLiteral("server"),
                                          QStringLiteral("The server: sqlite:<folder> or a SQL Server name."),
                                          QStringLiteral("S"));
    const QCommandLineOption databaseOption(QStringLiteral("database"), QStringLiteral("The database (default master)."),
                                            QStringLiteral("D"));
    const QCommandLineOption userOption(QStringLiteral("user"), QStringLiteral("The SQL Server login."), QStringLiteral("U"));
    const QCommandLineOption passwordOption(QStringLiteral("password"), QStringLiteral("The login's password."),
                                            QStringLiteral("P"));
    parser.addOptions({connectionOption, serverOption, databaseOption, userOption, passwordOption});
    parser.addPositionalArgument(QStringLiteral("statement"),
                                 QStringLiteral("The T-SQL statement; read from standard input when not given."),
                                 QStringLiteral("[statement]"));
    if (!parser.parse(QCoreApplication::arguments()))
        return UsageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        tool::Out() << parser.helpText() << Qt::flush;
        return 0;
    }

    // The connection text: a --connection text given alone is used as it stands (ODBC
    // drivers differ in the quoting they take); the other options replace its keys.
    QString text = parser.value(connectionOption);
    const bool overrides = parser.isSet(serverOption) || parser.isSet(databaseOption) || parser.isSet(userOption)
                        || parser.isSet(passwordOption);
    if (overrides || text.isEmpty()) {
        db::ConnectionString cs = db::ConnectionString::Parse(text);
        if (parser.isSet(serverOption))
            cs.Set(QStringLiteral("Server"), parser.value(serverOption));
        if (parser.isSet(databaseOption))
            cs.Set(QStringLiteral("Database"), parser.value(databaseOption));
        else if (!cs.Has(QStringLiteral("Database")) && !cs.Has(QStringLiteral("Driver")) && !cs.Has(QStringLiteral("DSN")))
            cs.Set(QStringLiteral("Database"), QStringLiteral("master"));
        if (parser.isSet(userOption))
            cs.Set(QStringLiteral("User ID"), parser.value(userOption));
        if (parser.isSet(passwordOption))
            cs.Set(QStringLiteral("Password"), parser.value(passwordOption));
        if (cs.Get(QStringLiteral("Server")).trimmed().isEmpty() && !cs.Has(QStringLiteral("Driver"))
            && !cs.Has(QStringLiteral("DSN")))
            return UsageError(QStringLiteral("--server or --connection is required."));
        text = cs.ToText();
    }

    QString sql = parser.positionalArguments().join(QLatin1Char(' '));
    if (parser.positionalArguments().isEmpty() && !tool::ReadStandardInput(sql))
        return UsageError(QStringLiteral("Standard input cannot be read."));
    if (sql.trimmed().isEmpty())
        return UsageError(QStringLiteral("No statement given."));

    QTextStream& out = tool::Out();
    try {
        db::Connection cn;
        cn.Open(text);
        if (!ReturnsRows(sql)) {
            const long affected = cn.Execute(sql);
            out << (affected < 0 ? 0 : affected) << " row(s) affected" << Qt::endl;
            return 0;
        }
        db::Recordset rs;
        rs.Open(sql, cn);
        if (rs.FieldCount() == 0) {
            out << "0 row(s) affected" << Qt::endl;
            return 0;
        }
        QStringList names;
        for (int i = 0; i < rs.FieldCount(); ++i)
            names << rs.FieldName(i);
        out << names.join(QLatin1Char('\t')) << '\n';
        for (const auto& row : rs.Rows().rows) {
            QStringList cells;
            for (const db::Value& value : row)
                cells << Cell(value);
            out << cells.join(QLatin1Char('\t')) << '\n';
        }
        out.flush();
    } catch (const platform::RuntimeError& e) {
        out.flush();
        tool::PrintError(e);
        return 1;
    } catch (const std::exception& e) {
        out.flush();
        tool::PrintError(platform::RuntimeError(platform::err::ProviderError, QString::fromLocal8Bit(e.what())));
        return 1;
    }
    return 0;
}

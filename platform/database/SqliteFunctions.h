#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

struct sqlite3;

namespace platform::db::sqlite {

// A date and time of day to the second, as the embedded database stores it.
struct DateParts {
    int year = 1900, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// The storage text "YYYY-MM-DD HH:MM:SS" of exactly 19 characters; a cheap test, no allocation.
bool ParseCanonical(const char* text, int length, DateParts& out);
// A date text as T-SQL takes it: ISO ("YYYY-MM-DD[ HH:MM[:SS[.fff]]]", also with "T", or
// "YYYYMMDD"), or month-first ("mm/dd/yyyy[ hh:mm[:ss]][ AM|PM]"); style 103, 104 and 105 read
// day-first with "/", "." and "-"; a time alone is a time on 1900-01-01.
bool ParseDateText(const QString& text, DateParts& out, int style = 0);
QString FormatCanonical(const DateParts& d);
// The same 19 characters and a terminating zero into out[20].
void WriteCanonical(const DateParts& d, char* out);
bool IsValid(const DateParts& d);

// Days since 1970-01-01 of a civil date, and back.
qint64 DaysFromCivil(int year, int month, int day);
void CivilFromDays(qint64 days, int& year, int& month, int& day);

// The dateparts of DATEADD, DATEDIFF and DATEPART.
enum class DatePart { Year, Quarter, Month, DayOfYear, Day, Week, Weekday, Hour, Minute, Second, Millisecond, Invalid };
DatePart ParseDatePart(const QString& name);

// SQL Server's date arithmetic: month and year steps keep the day, clamped to the last day of
// the target month; the rest move the instant. False when the result is out of range.
bool DateAdd(DatePart part, qint64 number, const DateParts& date, DateParts& out);
// The number of part boundaries crossed going from a to b (negative when b is before a).
qint64 DateDiff(DatePart part, const DateParts& a, const DateParts& b);
qint64 DatePartOf(DatePart part, const DateParts& d);

// What the functions need of the connection they are registered on.
class Catalog {
public:
    virtual ~Catalog() = default;
    // OBJECT_ID of a one-, two- or three-part name; nothing when no such table, view or trigger.
    virtual std::optional<qint64> ObjectId(const QString& name) = 0;
    // DB_NAME of a database id handed out by Sys.Master_Files; nothing for an unknown id.
    virtual std::optional<QString> DatabaseNameOf(qint64 id) = 0;
    virtual QString CurrentDatabase() const = 0;
};

// Registers getdate, dateadd, datediff, datepart, year, month, day, tsql_convert, tsql_right,
// charindex, tsql_raise, object_id and db_name on the connection.
void RegisterFunctions(sqlite3* db, Catalog* catalog);

}  // namespace platform::db::sqlite

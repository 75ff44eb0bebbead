#include "SqliteFunctions.h"

#include "Value.h"
#include "clock/Clock.h"

#include <QByteArray>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <sqlite3.h>

namespace platform::db::sqlite {

namespace {

qint64 FloorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

qint64 FloorMod(qint64 a, qint64 b)
{
    return a - FloorDiv(a, b) * b;
}

bool IsLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

qint64 SecondsOf(const DateParts& d)
{
    return DaysFromCivil(d.year, d.month, d.day) * 86400 + d.hour * 3600 + d.minute * 60 + d.second;
}

DateParts FromSeconds(qint64 seconds)
{
    DateParts d;
    const qint64 days = FloorDiv(seconds, 86400);
    qint64 rest = seconds - days * 86400;
    CivilFromDays(days, d.year, d.month, d.day);
    d.hour = static_cast<int>(rest / 3600);
    rest %= 3600;
    d.minute = static_cast<int>(rest / 60);
    d.second = static_cast<int>(rest % 60);
    return d;
}

// Days since 1900-01-01 (with a fraction for the time), the way SQL Server turns a number into
// a datetime.
bool FromSerial(double serial, DateParts& out)
{
    if (!std::isfinite(serial) || std::fabs(serial) > 3.0e6)
        return false;
    const qint64 base = DaysFromCivil(1900, 1, 1) * 86400;
    out = FromSeconds(base + static_cast<qint64>(std::llround(serial * 86400.0)));
    return IsValid(out);
}

// A small cursor over a date text.
struct Scanner {
    const QString& s;
    int i = 0;
    bool AtEnd() const { return i >= s.size(); }
    QChar Peek() const { return AtEnd() ? QChar() : s.at(i); }
    int Number(int maxDigits, int* digits)
    {
        int value = 0, n = 0;
        while (!AtEnd() && n < maxDigits && s.at(i).isDigit()) {
            value = value * 10 + s.at(i).digitValue();
            ++i;
            ++n;
        }
        *digits = n;
        return value;
    }
    void SkipSpaces()
    {
        while (!AtEnd() && s.at(i).isSpace())
            ++i;
    }
};

bool ParseTime(Scanner& sc, DateParts& out)
{
    int digits = 0;
    out.hour = sc.Number(2, &digits);
    if (digits == 0 || sc.Peek() != QLatin1Char(':'))
        return false;
    ++sc.i;
    out.minute = sc.Number(2, &digits);
    if (digits != 2)
        return false;
    out.second = 0;
    if (sc.Peek() == QLatin1Char(':')) {
        ++sc.i;
        out.second = sc.Number(2, &digits);
        if (digits != 2)
            return false;
        if (sc.Peek() == QLatin1Char('.') || sc.Peek() == QLatin1Char(',')) {
            ++sc.i;
            sc.Number(9, &digits);
        }
    }
    sc.SkipSpaces();
    if (!sc.AtEnd()) {
        const QString rest = sc.s.mid(sc.i).toUpper();
        if (rest == QLatin1String("AM") || rest == QLatin1String("PM")) {
            if (out.hour < 1 || out.hour > 12)
                return false;
            if (out.hour == 12)
                out.hour = 0;
            if (rest == QLatin1String("PM"))
                out.hour += 12;
            sc.i = static_cast<int>(sc.s.size());
        }
    }
    return true;
}

int FullYear(int year, int digits)
{
    if (digits == 2)
        return year < 50 ? 2000 + year : 1900 + year;
    return year;
}

}  // namespace

qint64 DaysFromCivil(int y, int m, int d)
{
    // Howard Hinnant's days_from_civil.
    y -= m <= 2;
    const qint64 era = FloorDiv(y, 400);
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(qint64 z, int& year, int& month, int& day)
{
    z += 719468;
    const qint64 era = FloorDiv(z, 146097);
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

bool IsValid(const DateParts& d)
{
    return d.year >= 1 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1
        && d.day <= DaysInMonth(d.year, d.month) && d.hour >= 0 && d.hour < 24 && d.minute >= 0
        && d.minute < 60 && d.second >= 0 && d.second < 60;
}

bool ParseCanonical(const char* p, int n, DateParts& out)
{
    if (n != 19 || p[4] != '-' || p[7] != '-' || p[10] != ' ' || p[13] != ':' || p[16] != ':')
        return false;
    static const int digitsAt[] = {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18};
    for (int i : digitsAt)
        if (p[i] < '0' || p[i] > '9')
            return false;
    auto two = [p](int i) { return (p[i] - '0') * 10 + (p[i + 1] - '0'); };
    out.year = two(0) * 100 + two(2);
    out.month = two(5);
    out.day = two(8);
    out.hour = two(11);
    out.minute = two(14);
    out.second = two(17);
    return IsValid(out);
}

bool ParseDateText(const QString& text, DateParts& out, int style)
{
    const QString t = text.trimmed();
    Scanner sc{t};
    out = DateParts();
    int digits = 0;
    const int first = sc.Number(8, &digits);
    if (digits == 0)
        return false;
    if (sc.Peek() == QLatin1Char(':')) {  // a time alone
        sc.i = 0;
        out = DateParts();
        return ParseTime(sc, out) && sc.AtEnd() && IsValid(out);
    }
    if (digits == 8) {  // yyyymmdd
        out.year = first / 10000;
        out.month = first / 100 % 100;
        out.day = first % 100;
    } else {
        const QChar sep = sc.Peek();
        if (sep != QLatin1Char('-') && sep != QLatin1Char('/') && sep != QLatin1Char('.'))
            return false;
        ++sc.i;
        int d2 = 0, d3 = 0;
        const int second = sc.Number(4, &d2);
        if (d2 == 0 || sc.Peek() != sep)
            return false;
        ++sc.i;
        const int third = sc.Number(4, &d3);
        if (d3 == 0)
            return false;
        if (digits == 4) {  // year first
            out.year = first;
            out.month = second;
            out.day = third;
        } else if (d3 == 4 || d3 == 2) {
            const bool dayFirst = style == 103 || style == 3 || style == 104 || style == 4 || style == 105 || style == 5;
            out.year = FullYear(third, d3);
            out.month = dayFirst ? second : first;
            out.day = dayFirst ? first : second;
        } else {
            return false;
        }
    }
    if (!sc.AtEnd()) {
        const QChar c = sc.Peek();
        if (c != QLatin1Char(' ') && c != QLatin1Char('T'))
            return false;
        ++sc.i;
        sc.SkipSpaces();
        if (!sc.AtEnd() && (!ParseTime(sc, out) || !sc.AtEnd()))
            return false;
    }
    return IsValid(out);
}

void WriteCanonical(const DateParts& d, char* out)
{
    // Written by hand: this runs once per row of a statement that computes dates.
    auto two = [](char* p, int v) {
        p[0] = static_cast<char>('0' + v / 10 % 10);
        p[1] = static_cast<char>('0' + v % 10);
    };
    two(out, d.year / 100);
    two(out + 2, d.year % 100);
    out[4] = '-';
    two(out + 5, d.month);
    out[7] = '-';
    two(out + 8, d.day);
    out[10] = ' ';
    two(out + 11, d.hour);
    out[13] = ':';
    two(out + 14, d.minute);
    out[16] = ':';
    two(out + 17, d.second);
    out[19] = '\0';
}

QString FormatCanonical(const DateParts& d)
{
    char buffer[20];
    WriteCanonical(d, buffer);
    return QString::fromLatin1(buffer, 19);
}

DatePart ParseDatePart(const QString& name)
{
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("year") || n == QLatin1String("yy") || n == QLatin1String("yyyy"))
        return DatePart::Year;
    if (n == QLatin1String("quarter") || n == QLatin1String("qq") || n == QLatin1String("q"))
        return DatePart::Quarter;
    if (n == QLatin1String("month") || n == QLatin1String("mm") || n == QLatin1String("m"))
        return DatePart::Month;
    if (n == QLatin1String("dayofyear") || n == QLatin1String("dy") || n == QLatin1String("y"))
        return DatePart::DayOfYear;
    if (n == QLatin1String("day") || n == QLatin1String("dd") || n == QLatin1String("d"))
        return DatePart::Day;
    if (n == QLatin1String("week") || n == QLatin1String("wk") || n == QLatin1String("ww"))
        return DatePart::Week;
    if (n == QLatin1String("weekday") || n == QLatin1String("dw") || n == QLatin1String("w"))
        return DatePart::Weekday;
    if (n == QLatin1String("hour") || n == QLatin1String("hh"))
        return DatePart::Hour;
    if (n == QLatin1String("minute") || n == QLatin1String("mi") || n == QLatin1String("n"))
        return DatePart::Minute;
    if (n == QLatin1String("second") || n == QLatin1String("ss") || n == QLatin1String("s"))
        return DatePart::Second;
    if (n == QLatin1String("millisecond") || n == QLatin1String("ms"))
        return DatePart::Millisecond;
    return DatePart::Invalid;
}

bool DateAdd(DatePart part, qint64 number, const DateParts& date, DateParts& out)
{
    if (std::llabs(number) > 400000000000LL)
        return false;
    switch (part) {
    case DatePart::Year:
    case DatePart::Quarter:
    case DatePart::Month: {
        const qint64 months = number * (part == DatePart::Year ? 12 : part == DatePart::Quarter ? 3 : 1);
        const qint64 total = static_cast<qint64>(date.year) * 12 + (date.month - 1) + months;
        const qint64 year = FloorDiv(total, 12);
        if (year < 1 || year > 9999)
            return false;
        out = date;
        out.year = static_cast<int>(year);
        out.month = static_cast<int>(FloorMod(total, 12)) + 1;
        out.day = std::min(date.day, DaysInMonth(out.year, out.month));
        return true;
    }
    case DatePart::DayOfYear:
    case DatePart::Day:
    case DatePart::Weekday:
    case DatePart::Week: {
        const qint64 days = number * (part == DatePart::Week ? 7 : 1);
        out = FromSeconds(SecondsOf(date) + days * 86400);
        return IsValid(out);
    }
    case DatePart::Hour: out = FromSeconds(SecondsOf(date) + number * 3600); return IsValid(out);
    case DatePart::Minute: out = FromSeconds(SecondsOf(date) + number * 60); return IsValid(out);
    case DatePart::Second: out = FromSeconds(SecondsOf(date) + number); return IsValid(out);
    case DatePart::Millisecond: out = FromSeconds(SecondsOf(date) + number / 1000); return IsValid(out);
    case DatePart::Invalid: return false;
    }
    return false;
}

qint64 DateDiff(DatePart part, const DateParts& a, const DateParts& b)
{
    switch (part) {
    case DatePart::Year: return b.year - a.year;
    case DatePart::Quarter: return (b.year - a.year) * 4 + ((b.month - 1) / 3 - (a.month - 1) / 3);
    case DatePart::Month: return (b.year - a.year) * 12 + (b.month - a.month);
    case DatePart::DayOfYear:
    case DatePart::Day:
    case DatePart::Weekday:
        return DaysFromCivil(b.year, b.month, b.day) - DaysFromCivil(a.year, a.month, a.day);
    case DatePart::Week:
        // Weeks begin on Sunday; 1970-01-04 was one.
        return FloorDiv(DaysFromCivil(b.year, b.month, b.day) + 4, 7) - FloorDiv(DaysFromCivil(a.year, a.month, a.day) + 4, 7);
    case DatePart::Hour: return FloorDiv(SecondsOf(b), 3600) - FloorDiv(SecondsOf(a), 3600);
    case DatePart::Minute: return FloorDiv(SecondsOf(b), 60) - FloorDiv(SecondsOf(a), 60);
    case DatePart::Second: return SecondsOf(b) - SecondsOf(a);
    case DatePart::Millisecond: return (SecondsOf(b) - SecondsOf(a)) * 1000;
    case DatePart::Invalid: return 0;
    }
    return 0;
}

qint64 DatePartOf(DatePart part, const DateParts& d)
{
    const qint64 days = DaysFromCivil(d.year, d.month, d.day);
    const qint64 weekday = FloorMod(days + 4, 7) + 1;  // Sunday 1 .. Saturday 7
    switch (part) {
    case DatePart::Year: return d.year;
    case DatePart::Quarter: return (d.month - 1) / 3 + 1;
    case DatePart::Month: return d.month;
    case DatePart::DayOfYear: return days - DaysFromCivil(d.year, 1, 1) + 1;
    case DatePart::Day: return d.day;
    case DatePart::Week: {
        const qint64 jan1 = DaysFromCivil(d.year, 1, 1);
        const qint64 jan1Weekday = FloorMod(jan1 + 4, 7) + 1;
        return (days - jan1 + jan1Weekday - 1) / 7 + 1;
    }
    case DatePart::Weekday: return weekday;
    case DatePart::Hour: return d.hour;
    case DatePart::Minute: return d.minute;
    case DatePart::Second: return d.second;
    case DatePart::Millisecond: return 0;
    case DatePart::Invalid: return 0;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// The functions registered on each connection.

namespace {

const char kDateConversionFailed[] = "Conversion failed when converting date and/or time from character string.";

QString TextOf(sqlite3_value* v)
{
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return p ? QString::fromUtf8(p, sqlite3_value_bytes(v)) : QString();
}

void ResultText(sqlite3_context* ctx, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void ResultError(sqlite3_context* ctx, const QString& message)
{
    const QByteArray utf8 = message.toUtf8();
    sqlite3_result_error(ctx, utf8.constData(), static_cast<int>(utf8.size()));
}

// Reads a date argument. False with isNull set for NULL; false with an error set when the value
// is not a date.
bool ArgDate(sqlite3_context* ctx, sqlite3_value* v, DateParts& out, bool& isNull, int style = 0)
{
    isNull = false;
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        isNull = true;
        return false;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        if (FromSerial(sqlite3_value_double(v), out))
            return true;
        sqlite3_result_error(ctx, "Arithmetic overflow error converting expression to data type datetime.", -1);
        return false;
    default: {
        const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
        const int n = sqlite3_value_bytes(v);
        if (p && ParseCanonical(p, n, out))
            return true;
        if (p && ParseDateText(QString::fromUtf8(p, n), out, style))
            return true;
        sqlite3_result_error(ctx, kDateConversionFailed, -1);
        return false;
    }
    }
}

void ResultCanonical(sqlite3_context* ctx, const DateParts& d)
{
    char buffer[20];
    WriteCanonical(d, buffer);
    sqlite3_result_text(ctx, buffer, 19, SQLITE_TRANSIENT);
}

// The datepart argument, parsed once per statement: it is nearly always a constant.
bool ArgPart(sqlite3_context* ctx, int arg, sqlite3_value* v, const char* function, DatePart& part)
{
    if (const auto* cached = static_cast<const DatePart*>(sqlite3_get_auxdata(ctx, arg))) {
        part = *cached;
        return true;
    }
    part = ParseDatePart(TextOf(v));
    if (part == DatePart::Invalid) {
        ResultError(ctx, QStringLiteral("'%1' is not a recognized %2 option.").arg(TextOf(v), QLatin1String(function)));
        return false;
    }
    sqlite3_set_auxdata(ctx, arg, new DatePart(part), [](void* p) { delete static_cast<DatePart*>(p); });
    return true;
}

void FnGetDate(sqlite3_context* ctx, int, sqlite3_value**)
{
    ResultText(ctx, Clock::Now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

void FnDateAdd(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    DatePart part;
    if (!ArgPart(ctx, 0, argv[0], "dateadd", part))
        return;
    if (sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const double n = sqlite3_value_double(argv[1]);
    DateParts d, out;
    bool isNull = false;
    if (!ArgDate(ctx, argv[2], d, isNull)) {
        if (isNull)
            sqlite3_result_null(ctx);
        return;
    }
    if (!std::isfinite(n) || !DateAdd(part, static_cast<qint64>(std::trunc(n)), d, out)) {
        sqlite3_result_error(ctx, "Adding a value to a 'datetime' column caused an overflow.", -1);
        return;
    }
    ResultCanonical(ctx, out);
}

void FnDateDiff(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    DatePart part;
    if (!ArgPart(ctx, 0, argv[0], "datediff", part))
        return;
    DateParts a, b;
    bool nullA = false, nullB = false;
    const bool okA = ArgDate(ctx, argv[1], a, nullA);
    if (!okA && !nullA)
        return;
    const bool okB = ArgDate(ctx, argv[2], b, nullB);
    if (!okB && !nullB)
        return;
    if (nullA || nullB) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int64(ctx, DateDiff(part, a, b));
}

void PartOf(sqlite3_context* ctx, DatePart part, sqlite3_value* v)
{
    DateParts d;
    bool isNull = false;
    if (!ArgDate(ctx, v, d, isNull)) {
        if (isNull)
            sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int64(ctx, DatePartOf(part, d));
}

void FnDatePart(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    DatePart part;
    if (ArgPart(ctx, 0, argv[0], "datepart", part))
        PartOf(ctx, part, argv[1]);
}

void FnYear(sqlite3_context* ctx, int, sqlite3_value** argv) { PartOf(ctx, DatePart::Year, argv[0]); }
void FnMonth(sqlite3_context* ctx, int, sqlite3_value** argv) { PartOf(ctx, DatePart::Month, argv[0]); }
void FnDay(sqlite3_context* ctx, int, sqlite3_value** argv) { PartOf(ctx, DatePart::Day, argv[0]); }

// A date as CONVERT(varchar, date, style) writes it, into buffer; 0 for a style it does not know.
int FormatStyled(const DateParts& d, int style, char* buffer, size_t size)
{
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const bool century = style >= 100 || style == 20 || style == 21 || style == 23 || style == 26;
    const int y = century ? d.year : d.year % 100;
    const int yw = century ? 4 : 2;
    const char* mon = months[d.month - 1];
    switch (style % 100) {
    case 0: {
        const int h12 = d.hour % 12 == 0 ? 12 : d.hour % 12;
        return std::snprintf(buffer, size, "%s %2d %04d %2d:%02d%s", mon, d.day, d.year, h12, d.minute, d.hour < 12 ? "AM" : "PM");
    }
    case 1: return std::snprintf(buffer, size, "%02d/%02d/%0*d", d.month, d.day, yw, y);
    case 2: return std::snprintf(buffer, size, "%0*d.%02d.%02d", yw, y, d.month, d.day);
    case 3: return std::snprintf(buffer, size, "%02d/%02d/%0*d", d.day, d.month, yw, y);
    case 4: return std::snprintf(buffer, size, "%02d.%02d.%0*d", d.day, d.month, yw, y);
    case 5: return std::snprintf(buffer, size, "%02d-%02d-%0*d", d.day, d.month, yw, y);
    case 6: return std::snprintf(buffer, size, "%02d %s %0*d", d.day, mon, yw, y);
    case 7: return std::snprintf(buffer, size, "%s %02d, %0*d", mon, d.day, yw, y);
    case 8: return std::snprintf(buffer, size, "%02d:%02d:%02d", d.hour, d.minute, d.second);
    case 10: return std::snprintf(buffer, size, "%02d-%02d-%0*d", d.month, d.day, yw, y);
    case 11: return std::snprintf(buffer, size, "%0*d/%02d/%02d", yw, y, d.month, d.day);
    case 12: return std::snprintf(buffer, size, "%0*d%02d%02d", yw, y, d.month, d.day);
    case 20: return std::snprintf(buffer, size, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute, d.second);
    case 21: return std::snprintf(buffer, size, "%04d-%02d-%02d %02d:%02d:%02d.000", d.year, d.month, d.day, d.hour, d.minute, d.second);
    case 23: return std::snprintf(buffer, size, "%04d-%02d-%02d", d.year, d.month, d.day);
    case 26: return std::snprintf(buffer, size, "%04d-%02d-%02dT%02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute, d.second);
    default: return 0;
    }
}

bool TextIsBool(const QString& t, bool& value)
{
    const QString s = t.trimmed();
    if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
        value = true;
        return true;
    }
    if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
        value = false;
        return true;
    }
    bool ok = false;
    const double d = s.toDouble(&ok);
    if (ok)
        value = d != 0.0;
    return ok;
}

void ConversionFailed(sqlite3_context* ctx, const QString& value, const QString& type)
{
    ResultError(ctx, QStringLiteral("Conversion failed when converting the varchar value '%1' to data type %2.").arg(value, type));
}

// The target of CONVERT or CAST, read once per statement from its text ("datetime",
// "nvarchar(10)", "decimal(18,2)", "bit").
struct ConvertTarget {
    enum Kind { Date, DateOnly, Time, Text, Integer, Real, Bit, Other } kind = Other;
    QString name;
    int length = -1;  // text: characters kept, -1 for all
    bool pad = false;  // char(n), nchar(n)
    int scale = -1;   // decimal places to round to, -1 for none
};

ConvertTarget ParseTarget(const QString& text)
{
    ConvertTarget t;
    const QString type = text.toLower().remove(QLatin1Char(' '));
    const int paren = static_cast<int>(type.indexOf(QLatin1Char('(')));
    const QString base = paren < 0 ? type : type.left(paren);
    const QStringList args = paren < 0 ? QStringList() : type.mid(paren + 1).remove(QLatin1Char(')')).split(QLatin1Char(','));
    t.name = base;
    auto is = [&](std::initializer_list<const char*> names) {
        for (const char* n : names)
            if (base == QLatin1String(n))
                return true;
        return false;
    };
    if (is({"datetime", "smalldatetime", "datetime2", "datetimeoffset"})) {
        t.kind = ConvertTarget::Date;
    } else if (is({"date"})) {
        t.kind = ConvertTarget::DateOnly;
    } else if (is({"time"})) {
        t.kind = ConvertTarget::Time;
    } else if (is({"varchar", "nvarchar", "char", "nchar", "sysname"})) {
        t.kind = ConvertTarget::Text;
        t.length = 30;  // CONVERT's length when none is given
        if (!args.isEmpty())
            t.length = args.first() == QLatin1String("max") ? -1 : args.first().toInt();
        t.pad = is({"char", "nchar"});
    } else if (is({"text", "ntext"})) {
        t.kind = ConvertTarget::Text;
    } else if (is({"int", "integer", "bigint", "smallint", "tinyint"})) {
        t.kind = ConvertTarget::Integer;
    } else if (is({"decimal", "numeric"})) {
        t.kind = ConvertTarget::Real;
        t.scale = args.size() > 1 ? args.at(1).toInt() : 0;
    } else if (is({"money", "smallmoney"})) {
        t.kind = ConvertTarget::Real;
        t.scale = 4;
    } else if (is({"float", "real", "double"})) {
        t.kind = ConvertTarget::Real;
    } else if (is({"bit"})) {
        t.kind = ConvertTarget::Bit;
    }
    return t;
}

void ResultTextFitted(sqlite3_context* ctx, const ConvertTarget& target, QString text)
{
    if (target.length >= 0) {
        text.truncate(target.length);
        if (target.pad)
            text = text.leftJustified(target.length, QLatin1Char(' '));
    }
    ResultText(ctx, text);
}

void FnConvert(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    const auto* cached = static_cast<const ConvertTarget*>(sqlite3_get_auxdata(ctx, 0));
    ConvertTarget local;
    if (!cached) {
        local = ParseTarget(TextOf(argv[0]));
        auto* stored = new ConvertTarget(local);
        sqlite3_set_auxdata(ctx, 0, stored, [](void* p) { delete static_cast<ConvertTarget*>(p); });
        cached = sqlite3_get_auxdata(ctx, 0) ? stored : &local;
    }
    const ConvertTarget& target = *cached;
    sqlite3_value* v = argv[1];
    const int style = argc > 2 && sqlite3_value_type(argv[2]) != SQLITE_NULL ? sqlite3_value_int(argv[2]) : -1;
    const int vt = sqlite3_value_type(v);
    if (vt == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    switch (target.kind) {
    case ConvertTarget::Date:
    case ConvertTarget::DateOnly:
    case ConvertTarget::Time: {
        DateParts d;
        bool isNull = false;
        if (!ArgDate(ctx, v, d, isNull, style))
            return;
        if (target.kind == ConvertTarget::DateOnly)
            d.hour = d.minute = d.second = 0;
        if (target.kind == ConvertTarget::Time) {
            char buffer[16];
            sqlite3_result_text(ctx, buffer, FormatStyled(d, 108, buffer, sizeof buffer), SQLITE_TRANSIENT);
        } else {
            ResultCanonical(ctx, d);
        }
        return;
    }
    case ConvertTarget::Text: {
        if (vt == SQLITE_INTEGER) {
            ResultTextFitted(ctx, target, QString::number(sqlite3_value_int64(v)));
            return;
        }
        if (vt == SQLITE_FLOAT) {
            ResultTextFitted(ctx, target, convert::NumberText(sqlite3_value_double(v)));
            return;
        }
        // A date in its storage form is written in the style asked for.
        const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
        const int n = sqlite3_value_bytes(v);
        DateParts d;
        if (style >= 0 && p && ParseCanonical(p, n, d)) {
            char buffer[40];
            int length = FormatStyled(d, style, buffer, sizeof buffer);
            if (length > 0) {
                if (target.length >= 0 && length > target.length)
                    length = target.length;  // the styles are ASCII
                if (!target.pad || length == target.length) {
                    sqlite3_result_text(ctx, buffer, length, SQLITE_TRANSIENT);
                    return;
                }
                ResultTextFitted(ctx, target, QString::fromLatin1(buffer, length));
                return;
            }
        }
        QString text = p ? QString::fromUtf8(p, n) : QString();
        if (style >= 0 && ParseDateText(text, d)) {
            char buffer[40];
            const int length = FormatStyled(d, style, buffer, sizeof buffer);
            if (length > 0)
                text = QString::fromLatin1(buffer, length);
        }
        ResultTextFitted(ctx, target, text);
        return;
    }
    case ConvertTarget::Integer: {
        if (vt == SQLITE_INTEGER) {
            sqlite3_result_int64(ctx, sqlite3_value_int64(v));
        } else if (vt == SQLITE_FLOAT) {
            sqlite3_result_int64(ctx, static_cast<qint64>(std::trunc(sqlite3_value_double(v))));
        } else {
            const QString t = TextOf(v).trimmed();
            bool ok = false;
            const qint64 i = t.isEmpty() ? 0 : t.toLongLong(&ok);
            bool b = false;
            if (t.isEmpty() || ok)
                sqlite3_result_int64(ctx, i);
            else if (TextIsBool(t, b) && !t.contains(QLatin1Char('.')))
                sqlite3_result_int64(ctx, b ? 1 : 0);
            else
                ConversionFailed(ctx, t, target.name);
        }
        return;
    }
    case ConvertTarget::Real: {
        double d = 0;
        if (vt == SQLITE_INTEGER || vt == SQLITE_FLOAT) {
            d = sqlite3_value_double(v);
        } else {
            const QString t = TextOf(v).trimmed();
            bool ok = false;
            d = t.toDouble(&ok);
            if (!ok) {
                ResultError(ctx, QStringLiteral("Error converting data type varchar to %1.").arg(target.name));
                return;
            }
        }
        if (target.scale >= 0) {
            // A decimal literal such as 2.345 is held a little below its value; nudge by a few
            // units in the last place so that it rounds as the decimal it stands for.
            const double p = std::pow(10.0, target.scale);
            const double scaled = d * p;
            d = std::round(scaled + std::copysign(std::fabs(scaled) * 8 * DBL_EPSILON, scaled)) / p;
        }
        sqlite3_result_double(ctx, d);
        return;
    }
    case ConvertTarget::Bit: {
        bool b = false;
        if (vt == SQLITE_INTEGER || vt == SQLITE_FLOAT) {
            b = sqlite3_value_double(v) != 0.0;
        } else if (!TextIsBool(TextOf(v), b)) {
            ConversionFailed(ctx, TextOf(v), target.name);
            return;
        }
        // Flags are stored and compared as the words True and False.
        sqlite3_result_text(ctx, b ? "True" : "False", -1, SQLITE_STATIC);
        return;
    }
    case ConvertTarget::Other: break;
    }
    sqlite3_result_value(ctx, v);
}

void FnRight(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const qint64 n = sqlite3_value_int64(argv[1]);
    if (n < 0) {
        sqlite3_result_error(ctx, "Invalid length parameter passed to the right function.", -1);
        return;
    }
    const QString t = TextOf(argv[0]);
    ResultText(ctx, n >= t.size() ? t : t.right(static_cast<qsizetype>(n)));
}

void FnCharIndex(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString needle = TextOf(argv[0]);
    const QString hay = TextOf(argv[1]);
    qint64 start = argc > 2 ? sqlite3_value_int64(argv[2]) : 1;
    if (start < 1)
        start = 1;
    if (needle.isEmpty()) {
        sqlite3_result_int64(ctx, 0);
        return;
    }
    const qsizetype at = hay.indexOf(needle, static_cast<qsizetype>(start - 1), Qt::CaseInsensitive);
    sqlite3_result_int64(ctx, at < 0 ? 0 : at + 1);
}

void FnRaise(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    ResultError(ctx, TextOf(argv[0]));
}

void FnObjectId(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    auto* catalog = static_cast<Catalog*>(sqlite3_user_data(ctx));
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const std::optional<qint64> id = catalog->ObjectId(TextOf(argv[0]));
    if (id)
        sqlite3_result_int64(ctx, *id);
    else
        sqlite3_result_null(ctx);
}

void FnDbName(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    auto* catalog = static_cast<Catalog*>(sqlite3_user_data(ctx));
    if (argc == 0) {
        ResultText(ctx, catalog->CurrentDatabase());
        return;
    }
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const std::optional<QString> name = catalog->DatabaseNameOf(sqlite3_value_int64(argv[0]));
    if (name)
        ResultText(ctx, *name);
    else
        sqlite3_result_null(ctx);
}

}  // namespace

void RegisterFunctions(sqlite3* db, Catalog* catalog)
{
    struct Entry {
        const char* name;
        int args;
        bool deterministic;
        void (*fn)(sqlite3_context*, int, sqlite3_value**);
        bool catalogData;
    };
    // getdate is marked deterministic so that SQLite evaluates it once per statement, as SQL
    // Server does, instead of once per row.
    static const Entry entries[] = {
        {"getdate", 0, true, FnGetDate, false},
        {"dateadd", 3, true, FnDateAdd, false},
        {"datediff", 3, true, FnDateDiff, false},
        {"datepart", 2, true, FnDatePart, false},
        {"year", 1, true, FnYear, false},
        {"month", 1, true, FnMonth, false},
        {"day", 1, true, FnDay, false},
        {"tsql_convert", 2, true, FnConvert, false},
        {"tsql_convert", 3, true, FnConvert, false},
        {"tsql_right", 2, true, FnRight, false},
        {"charindex", 2, true, FnCharIndex, false},
        {"charindex", 3, true, FnCharIndex, false},
        {"tsql_raise", 1, false, FnRaise, false},
        {"object_id", 1, false, FnObjectId, true},
        {"object_id", 2, false, FnObjectId, true},
        {"db_name", 0, false, FnDbName, true},
        {"db_name", 1, false, FnDbName, true},
    };
    for (const Entry& e : entries) {
        const int flags = SQLITE_UTF8 | (e.deterministic ? SQLITE_DETERMINISTIC : 0);
        sqlite3_create_function_v2(db, e.name, e.args, flags, e.catalogData ? catalog : nullptr, e.fn, nullptr,
                                   nullptr, nullptr);
    }
}

}  // namespace platform::db::sqlite

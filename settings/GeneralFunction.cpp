#include "GeneralFunction.h"

#include <algorithm>

#include "core/RuntimeError.h"
#include "database/Value.h"
#include "text/Ansi.h"

namespace GeneralFunction {

namespace {
// The counters of these procedures are 16-bit.
constexpr qsizetype kMaxLength = 32767;

[[noreturn]] void Overflow()
{
    throw platform::RuntimeError(platform::err::Overflow, QStringLiteral("Overflow"), QStringLiteral("GeneralFunction"));
}

[[noreturn]] void InvalidCode()
{
    throw platform::RuntimeError(platform::err::InvalidProcedureCall, QStringLiteral("Invalid procedure call or argument"),
                                 QStringLiteral("GeneralFunction"));
}

// The single-byte code of a character; one the code page lacks counts as "?", as the
// runtime's conversion to ANSI makes it.
int CodeOf(QChar c)
{
    const int code = platform::ansi::CodeOf(c);
    return code < 0 ? '?' : code;
}

QChar CharOf(int code)
{
    if (code < 0 || code > 255)
        InvalidCode();
    return platform::ansi::CharOf(code);
}

int DigitValue(QChar c, bool present)
{
    if (!present)
        return 0;
    const int code = CodeOf(c);
    if (code > '9')
        return code - 55;
    if (code >= '0')
        return code - '0';
    return 0;
}
}  // namespace

QString EncodeText(const QString& pText, bool pPlainHex, qint16 pShift)
{
    if (pText.size() >= kMaxLength)
        Overflow();
    QString hex;
    hex.reserve(pText.size() * 2);
    for (const QChar c : pText)
        hex += QString::number(CodeOf(c), 16).toUpper();
    if (pPlainHex)
        return hex;
    if (hex.size() >= kMaxLength)
        Overflow();
    QString shifted;
    shifted.reserve(hex.size());
    for (const QChar c : hex)
        shifted += CharOf(CodeOf(c) + pShift);
    return shifted;
}

QString DecodeText(const QString& pText, bool pPlainHex, qint16 pShift)
{
    if (pText.size() >= kMaxLength)
        Overflow();
    QString hex;
    if (pPlainHex) {
        hex = pText;
    } else {
        hex.reserve(pText.size());
        for (const QChar c : pText)
            hex += CharOf(CodeOf(c) - pShift);
    }
    QString result;
    result.reserve(hex.size() / 2 + 1);
    for (qsizetype i = 0; i < hex.size(); i += 2) {
        const bool hasSecond = i + 1 < hex.size();
        const int value = 16 * DigitValue(hex.at(i), true) + DigitValue(hasSecond ? hex.at(i + 1) : QChar(), hasSecond);
        result += value == 0 ? QChar(u'0') : CharOf(value);
    }
    return result;
}

QString QuoteSQL(const QString& pText)
{
    QString quoted = pText;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return quoted;
}

namespace {
bool IsControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}
}  // namespace

bool HasInvisible(QStringView text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return IsControl(c.unicode()); });
}

QString VisibleText(const QString& pText)
{
    if (!HasInvisible(pText))
        return pText;
    QString shown;
    shown.reserve(pText.size() + 8);
    for (const QChar c : pText) {
        const char16_t u = c.unicode();
        if (!IsControl(u))
            shown += c;
        else if (u == u'\r')
            shown += QStringLiteral("\\r");
        else if (u == u'\n')
            shown += QStringLiteral("\\n");
        else if (u == u'\t')
            shown += QStringLiteral("\\t");
        else if (u <= 0xFF)
            shown += QStringLiteral("\\x") + QString::number(u, 16).toUpper().rightJustified(2, QLatin1Char('0'));
        else
            shown += QStringLiteral("\\u") + QString::number(u, 16).toUpper().rightJustified(4, QLatin1Char('0'));
    }
    return shown;
}

QString VariantText(const QVariant& pValue)
{
    if (!pValue.isValid() || pValue.isNull())
        return QString();
    switch (pValue.typeId()) {
    case QMetaType::QString:
        return pValue.toString();
    case QMetaType::Bool:
        return pValue.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float:
        return platform::db::convert::NumberText(pValue.toDouble());
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return platform::db::Value::FromVariant(pValue).ToText();
    default:
        return pValue.toString();
    }
}

QString ReplaceParameters(const QString& pTemplate, const QVariantList& pPairs)
{
    QString text = pTemplate;
    for (qsizetype i = 0; i < pPairs.size(); i += 2) {
        if (i + 1 >= pPairs.size())
            throw platform::RuntimeError(platform::err::SubscriptOutOfRange, QStringLiteral("Subscript out of range"),
                                         QStringLiteral("GeneralFunction"));
        const QString placeholder = QLatin1Char('@') + VariantText(pPairs.at(i));
        text.replace(placeholder, VariantText(pPairs.at(i + 1)), Qt::CaseInsensitive);
    }
    return text;
}

}  // namespace GeneralFunction

#include "Ansi.h"

#include <cstring>

namespace platform::ansi {

namespace {
// Codes 0x80-0x9F of Windows-1252; 0 marks the five codes the code page leaves undefined,
// which decode to the C1 control of the same number.
constexpr char16_t kHigh[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};
}  // namespace

QChar CharOf(int code)
{
    if (code >= 0x80 && code <= 0x9F && kHigh[code - 0x80] != 0)
        return QChar(kHigh[code - 0x80]);
    return QChar(static_cast<char16_t>(code & 0xFF));
}

int CodeOf(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return u;
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == u)
            return 0x80 + i;
        if (kHigh[i] == 0 && u == 0x80 + i)
            return u;
    }
    return -1;
}

QByteArray Encode(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;  // one character outside the code page, one "?"
        const int code = CodeOf(c);
        out.append(code < 0 ? '?' : static_cast<char>(code));
    }
    return out;
}

QByteArray EncodeUtf8(const QByteArray& utf8)
{
    // ASCII is the same in both, and a reply is ASCII but for a name or a narration now and then:
    // eight bytes are looked at a time.
    const char* p = utf8.constData();
    const char* end = p + utf8.size();
    for (; end - p >= 8; p += 8) {
        quint64 word;
        std::memcpy(&word, p, sizeof word);
        if (word & 0x8080808080808080ULL)
            return Encode(QString::fromUtf8(utf8));
    }
    for (; p < end; ++p)
        if (static_cast<unsigned char>(*p) >= 0x80)
            return Encode(QString::fromUtf8(utf8));
    return utf8;
}

QString Decode(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char b : bytes)
        out.append(CharOf(static_cast<unsigned char>(b)));
    return out;
}

}  // namespace platform::ansi

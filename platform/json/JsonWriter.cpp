#include "JsonWriter.h"

#include "Json.h"

#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

namespace platform {

void JsonWriter::Number(double value)
{
    if (!std::isfinite(value)) {
        Null();
        return;
    }
    // The rounding can carry the largest numbers past the largest double: not finite either.
    const double rounded = json::Significant(value);
    if (!std::isfinite(rounded)) {
        Null();
        return;
    }
    if (rounded == std::trunc(rounded) && std::fabs(rounded) < 9.0e18) {
        Integer(static_cast<qint64>(rounded));
        return;
    }
    Separate();
    // The digits nlohmann's serializer writes for a number that is not whole.
    char buffer[64];
    char* end = nlohmann::detail::to_chars(buffer, buffer + sizeof buffer, rounded);
    m_text.append(buffer, end - buffer);
}

void JsonWriter::Integer(qint64 value)
{
    Separate();
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    m_text.append(buffer, result.ptr - buffer);
}

// The escapes of nlohmann's serializer (without ensure_ascii): the quotation mark, the reverse
// solidus and the control characters; every other byte of valid UTF-8 goes as it is.
void JsonWriter::AppendString(std::string_view utf8)
{
    static constexpr char kHex[] = "0123456789abcdef";
    m_text.append('"');
    const char* p = utf8.data();
    const char* end = p + utf8.size();
    const char* run = p;  // the start of the bytes that need no escape
    for (; p < end; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        m_text.append(run, p - run);
        run = p + 1;
        switch (c) {
        case '"': m_text.append("\\\"", 2); break;
        case '\\': m_text.append("\\\\", 2); break;
        case '\b': m_text.append("\\b", 2); break;
        case '\t': m_text.append("\\t", 2); break;
        case '\n': m_text.append("\\n", 2); break;
        case '\f': m_text.append("\\f", 2); break;
        case '\r': m_text.append("\\r", 2); break;
        default: {
            const char escape[6] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
            m_text.append(escape, 6);
            break;
        }
        }
    }
    m_text.append(run, end - run);
    m_text.append('"');
}

}  // namespace platform

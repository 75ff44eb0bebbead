#include "JsonWriter.h"

#include "Json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

namespace platform {

void JsonWriter::Grow(qsizetype count)
{
    // Four times the room each time: a reply of megabytes is copied by fewer reallocations.
    const qsizetype room = std::max<qsizetype>({m_text.size() * 4, m_size + count, 4096});
    m_text.resize(room);
    m_bytes = m_text.data();
}

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
    Append(buffer, end - buffer);
}

void JsonWriter::Integer(qint64 value)
{
    Separate();
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    Append(buffer, result.ptr - buffer);
}

// The escapes of nlohmann's serializer (without ensure_ascii): the quotation mark, the reverse
// solidus and the control characters; every other byte of valid UTF-8 goes as it is.
void JsonWriter::AppendString(std::string_view utf8)
{
    static constexpr char kHex[] = "0123456789abcdef";
    Append('"');
    const char* p = utf8.data();
    const char* end = p + utf8.size();
    const char* run = p;  // the start of the bytes that need no escape
    for (; p < end; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        Append(run, p - run);
        run = p + 1;
        switch (c) {
        case '"': Append("\\\"", 2); break;
        case '\\': Append("\\\\", 2); break;
        case '\b': Append("\\b", 2); break;
        case '\t': Append("\\t", 2); break;
        case '\n': Append("\\n", 2); break;
        case '\f': Append("\\f", 2); break;
        case '\r': Append("\\r", 2); break;
        default: {
            const char escape[6] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
            Append(escape, 6);
            break;
        }
        }
    }
    Append(run, end - run);
    Append('"');
}

}  // namespace platform

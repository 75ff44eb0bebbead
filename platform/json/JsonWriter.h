#pragma once

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace platform {

// Compact JSON text written front to back, byte for byte as JsonObject::Emit writes the same
// document (compact): names and texts escaped alike, numbers as json::Number makes them. A reply
// with thousands of rows is written straight into one buffer, without a document of objects to
// build, index and walk again.
//
// The caller keeps to the order of a document: a name before each member of an object, one value
// after it. Names are written as given: an object never holds a name twice (JsonObject would keep
// the first place and the last value; the writer cannot go back).
class JsonWriter {
public:
    JsonWriter() = default;

    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }

    // The name of the next member of the open object.
    void Name(std::string_view utf8)
    {
        Separate();
        AppendString(utf8);
        Append(':');
        m_named = true;
    }
    // A literal name is the code's own: plain ASCII with nothing to escape, written as it is.
    template <size_t N>
    void Name(const char (&literal)[N])
    {
        Q_ASSERT(std::none_of(literal, literal + N - 1, [](char c) { return c < 0x20 || c == '"' || c == '\\'; }));
        Separate();
        if (m_size + static_cast<qsizetype>(N) + 2 > m_text.size())
            Grow(static_cast<qsizetype>(N) + 2);
        char* at = m_bytes + m_size;
        *at++ = '"';
        std::memcpy(at, literal, N - 1);
        at += N - 1;
        *at++ = '"';
        *at++ = ':';
        m_size = at - m_bytes;
        m_named = true;
    }
    void Name(const QString& name) { Name(AsView(name.toUtf8())); }

    // Values: in an array, or after a name.
    void String(std::string_view utf8)  // valid UTF-8
    {
        Separate();
        AppendString(utf8);
    }
    template <size_t N>
    void String(const char (&literal)[N]) { String(std::string_view(literal, N - 1)); }
    void String(const QString& text) { String(AsView(text.toUtf8())); }
    void Number(double value);   // as json::Number: 15 significant digits, a whole number without a fraction
    void Integer(qint64 value);
    void Bool(bool value)
    {
        Separate();
        if (value)
            Append("true", 4);
        else
            Append("false", 5);
    }
    void Null()
    {
        Separate();
        Append("null", 4);
    }

    // A member in one call, named by a literal.
    template <size_t N, typename T>
    void String(const char (&name)[N], const T& text) { Name(name); String(text); }
    template <size_t N>
    void Number(const char (&name)[N], double value) { Name(name); Number(value); }
    template <size_t N>
    void Integer(const char (&name)[N], qint64 value) { Name(name); Integer(value); }
    template <size_t N>
    void Bool(const char (&name)[N], bool value) { Name(name); Bool(value); }

    // Bytes after the document, as they are (a message's end mark).
    void Raw(std::string_view bytes) { Append(bytes.data(), static_cast<qsizetype>(bytes.size())); }

    // The text so far.
    QByteArray Text() const { return m_text.left(m_size); }
    QByteArray TakeText()
    {
        m_text.resize(m_size);
        if (m_text.capacity() > 2 * m_size + 4096)
            m_text.squeeze();  // the room grown ahead is given back before the text is handed on
        m_size = 0;
        m_bytes = nullptr;
        return std::move(m_text);
    }

    static std::string_view AsView(const QByteArray& bytes) { return {bytes.constData(), static_cast<size_t>(bytes.size())}; }

private:
    // Before a value or a name: a comma after the level's earlier element.
    void Separate()
    {
        if (m_named) {
            m_named = false;
            return;
        }
        if (!m_levels.empty()) {
            if (m_levels.back())
                Append(',');
            m_levels.back() = true;
        }
    }
    void Open(char bracket)
    {
        Separate();
        Append(bracket);
        m_levels.push_back(false);
    }
    void Close(char bracket)
    {
        m_levels.pop_back();
        Append(bracket);
    }
    void AppendString(std::string_view utf8);
    // The buffer grows ahead of the text (m_text's size is its room; m_size the text's length),
    // so that a value is copied in without a check of its own by QByteArray.
    void Append(const char* bytes, qsizetype count)
    {
        if (count == 0)
            return;
        if (m_size + count > m_text.size())
            Grow(count);
        std::memcpy(m_bytes + m_size, bytes, static_cast<size_t>(count));
        m_size += count;
    }
    void Append(char c)
    {
        if (m_size + 1 > m_text.size())
            Grow(1);
        m_bytes[m_size++] = c;
    }
    void Grow(qsizetype count);

    QByteArray m_text;
    char* m_bytes = nullptr;  // m_text's bytes
    qsizetype m_size = 0;
    std::vector<char> m_levels;  // for each open object or array: whether it holds an element yet
    bool m_named = false;        // a name was written and waits for its value
};

}  // namespace platform

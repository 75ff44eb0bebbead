#pragma once

#include <QByteArray>
#include <QString>

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
    JsonWriter() { m_text.reserve(4096); }

    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }

    // The name of the next member of the open object.
    void Name(std::string_view utf8)
    {
        Separate();
        AppendString(utf8);
        m_text.append(':');
        m_named = true;
    }
    void Name(const char* utf8) { Name(std::string_view(utf8)); }
    void Name(const QString& name) { Name(AsView(name.toUtf8())); }

    // Values: in an array, or after a name.
    void String(std::string_view utf8)  // valid UTF-8
    {
        Separate();
        AppendString(utf8);
    }
    void String(const char* utf8) { String(std::string_view(utf8)); }
    void String(const QString& text) { String(AsView(text.toUtf8())); }
    void Number(double value);   // as json::Number: 15 significant digits, a whole number without a fraction
    void Integer(qint64 value);
    void Bool(bool value)
    {
        Separate();
        m_text.append(value ? "true" : "false");
    }
    void Null()
    {
        Separate();
        m_text.append("null");
    }

    // A member in one call.
    void String(const char* name, std::string_view utf8) { Name(name); String(utf8); }
    void String(const char* name, const char* utf8) { Name(name); String(utf8); }
    void String(const char* name, const QString& text) { Name(name); String(text); }
    void Number(const char* name, double value) { Name(name); Number(value); }
    void Integer(const char* name, qint64 value) { Name(name); Integer(value); }
    void Bool(const char* name, bool value) { Name(name); Bool(value); }

    // The text so far.
    const QByteArray& Text() const { return m_text; }
    QByteArray TakeText() { return std::move(m_text); }

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
                m_text.append(',');
            m_levels.back() = true;
        }
    }
    void Open(char bracket)
    {
        Separate();
        m_text.append(bracket);
        m_levels.push_back(false);
    }
    void Close(char bracket)
    {
        m_levels.pop_back();
        m_text.append(bracket);
    }
    void AppendString(std::string_view utf8);

    QByteArray m_text;
    std::vector<bool> m_levels;  // for each open object or array: whether it holds an element yet
    bool m_named = false;        // a name was written and waits for its value
};

}  // namespace platform

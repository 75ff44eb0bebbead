#pragma once

#include <QString>
#include <memory>
#include <nlohmann/json.hpp>

namespace platform {

using ojson = nlohmann::ordered_json;

// Member and element types, numbered as the original JSON control numbers them.
enum class JsonType { Missing = -1, String = 1, Number = 2, Object = 3, Array = 4, Boolean = 5, Null = 6 };

class JsonArray;

// A JSON node handle: a shared document and the path of one object or array inside it.
// Handles stay valid while the document grows (the path is resolved on every use), so a
// row can be added to an array, fetched again by its index and filled member by member.
class JsonNode {
protected:
    JsonNode();
    JsonNode(std::shared_ptr<ojson> root, ojson::json_pointer path);
    ojson& node() const;
    bool exists() const;

    std::shared_ptr<ojson> m_root;
    ojson::json_pointer m_path;

    friend class JsonObject;
    friend class JsonArray;
};

class JsonObject : public JsonNode {
public:
    JsonObject();  // a new, empty object in a document of its own

    // Loads text; a trailing "<EOF>" (any case) and surrounding blanks are ignored. Text that
    // is not a JSON object leaves an empty object and returns false.
    bool Load(const QString& text);
    // Compact text (replies) or indented text (settings file, viewer).
    QString Emit(bool compact = true) const;

    int Size() const;
    QString NameAt(int index) const;
    bool HasMember(const QString& name) const;
    JsonType TypeOf(const QString& name) const;
    // A string as it is, a number or Boolean as its text, anything else (missing, null) as "".
    QString StringOf(const QString& name) const;
    JsonObject ObjectOf(const QString& name) const;  // invalid handle when not an object
    JsonArray ArrayOf(const QString& name) const;    // invalid handle when not an array
    bool IsValid() const { return exists() && node().is_object(); }

    // Members are added at the end, in call order. Adding a name that exists replaces its
    // value in place.
    void AddString(const QString& name, const QString& value);
    void AddNumber(const QString& name, double value);
    void AddInteger(const QString& name, qint64 value);
    void AddBool(const QString& name, bool value);
    void AddNull(const QString& name);
    JsonObject AddObject(const QString& name);
    JsonArray AddArray(const QString& name);
    void AddArrayCopy(const QString& name, const JsonArray& source);
    void AddObjectCopy(const QString& name, const JsonObject& source);

    const ojson& json() const { return node(); }

private:
    JsonObject(std::shared_ptr<ojson> root, ojson::json_pointer path) : JsonNode(std::move(root), std::move(path)) {}
    void set(const QString& name, ojson value);
    friend class JsonArray;
};

class JsonArray : public JsonNode {
public:
    JsonArray();  // a new, empty array in a document of its own

    int Size() const;
    JsonType TypeAt(int index) const;
    QString StringAt(int index) const;
    JsonObject ObjectAt(int index) const;
    JsonArray ArrayAt(int index) const;
    bool IsValid() const { return exists() && node().is_array(); }

    JsonObject AddObject();  // at the end
    JsonArray AddArray();    // at the end
    void AddString(const QString& value);
    void AddNumber(double value);
    void AddBool(bool value);
    void InsertString(int index, const QString& value);
    void AddObjectCopy(const JsonObject& source);

    QString Emit(bool compact = true) const;
    const ojson& json() const { return node(); }

private:
    JsonArray(std::shared_ptr<ojson> root, ojson::json_pointer path) : JsonNode(std::move(root), std::move(path)) {}
    friend class JsonObject;
};

namespace json {
// A finite number rounded to 15 significant digits (the nearest double to its 15-digit text).
double Significant(double value);
// The number as the system writes it: 15 significant digits, a whole number without a fraction.
ojson Number(double value);
// Text of a scalar as StringOf gives it.
QString ScalarText(const ojson& value);
std::string Utf8(const QString& text);
QString FromUtf8(const std::string& text);
}  // namespace json

}  // namespace platform

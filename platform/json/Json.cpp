#include "Json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>
#include <vector>

namespace platform {

namespace json {

std::string Utf8(const QString& text)
{
    return text.toStdString();
}

QString FromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

double Significant(double value)
{
    // Amounts and quantities have at most three decimals. A value that is the nearest double to a
    // number of thousandths k (|k| < 10^15, so at most 15 digits) prints to 15 digits as that number
    // and reads back as itself, so the text round trip can be left out; anything else takes it.
    const double thousandths = std::nearbyint(value * 1000.0);
    if (std::fabs(thousandths) < 1e15 && thousandths / 1000.0 == value)
        return value;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return std::strtod(buffer, nullptr);
}

ojson Number(double value)
{
    if (!std::isfinite(value))
        return ojson(nullptr);
    const double rounded = Significant(value);
    if (rounded == std::trunc(rounded) && std::fabs(rounded) < 9.0e18)
        return ojson(static_cast<std::int64_t>(rounded));
    return ojson(rounded);
}

QString ScalarText(const ojson& value)
{
    switch (value.type()) {
    case ojson::value_t::string:
        return FromUtf8(value.get_ref<const std::string&>());
    case ojson::value_t::boolean:
        return value.get<bool>() ? QStringLiteral("true") : QStringLiteral("false");
    case ojson::value_t::number_integer:
    case ojson::value_t::number_unsigned:
    case ojson::value_t::number_float:
        return FromUtf8(value.dump());
    default:
        return QString();
    }
}

static JsonType TypeOfValue(const ojson& value)
{
    switch (value.type()) {
    case ojson::value_t::string: return JsonType::String;
    case ojson::value_t::boolean: return JsonType::Boolean;
    case ojson::value_t::number_integer:
    case ojson::value_t::number_unsigned:
    case ojson::value_t::number_float: return JsonType::Number;
    case ojson::value_t::object: return JsonType::Object;
    case ojson::value_t::array: return JsonType::Array;
    case ojson::value_t::null: return JsonType::Null;
    default: return JsonType::Missing;
    }
}

static QString Dump(const ojson& value, bool compact)
{
    return FromUtf8(value.dump(compact ? -1 : 2, ' ', false, ojson::error_handler_t::replace));
}

}  // namespace json

// --- JsonNode ----------------------------------------------------------------------------

JsonNode::JsonNode() : m_root(std::make_shared<ojson>(ojson::object())) {}

JsonNode::JsonNode(std::shared_ptr<ojson> root, ojson::json_pointer path)
    : m_root(std::move(root)), m_path(std::move(path))
{
}

bool JsonNode::exists() const
{
    return m_root && m_root->contains(m_path);
}

ojson& JsonNode::node() const
{
    static ojson invalid;
    if (!exists()) {
        invalid = ojson();
        return invalid;
    }
    return (*m_root)[m_path];
}

// --- JsonObject --------------------------------------------------------------------------

JsonObject::JsonObject() = default;

namespace {

// Builds a document from the parser's events. The ordered object keeps its members in a list
// and finds a name by walking it, so a parser filling it member by member takes time that
// grows with the square of the member count (a request with 60,000 members took seconds).
// Here every object under construction has a hash index of its names beside it: each member
// is found or appended in constant time. A repeated name keeps its first place and takes the
// later value, as the ordered object does.
class OrderedBuilder : public nlohmann::json_sax<ojson> {
public:
    explicit OrderedBuilder(ojson& root) : m_root(root) {}

    bool null() override { return Put(nullptr); }
    bool boolean(bool value) override { return Put(value); }
    bool number_integer(number_integer_t value) override { return Put(value); }
    bool number_unsigned(number_unsigned_t value) override { return Put(value); }
    bool number_float(number_float_t value, const string_t&) override { return Put(value); }
    bool string(string_t& value) override { return Put(std::move(value)); }
    bool binary(binary_t& value) override { return Put(ojson::binary(std::move(value))); }

    bool start_object(std::size_t) override
    {
        ojson* node = Place(ojson::object());
        m_stack.push_back({node, {}});
        return true;
    }
    bool key(string_t& name) override
    {
        Level& level = m_stack.back();
        ojson::object_t::Container& members = level.node->get_ref<ojson::object_t&>();
        const auto found = level.index.find(name);
        if (found != level.index.end()) {
            m_next = &members[found->second].second;
        } else {
            level.index.emplace(name, members.size());
            members.emplace_back(std::move(name), nullptr);
            m_next = &members.back().second;
        }
        return true;
    }
    bool end_object() override
    {
        m_stack.pop_back();
        return true;
    }
    bool start_array(std::size_t) override
    {
        ojson* node = Place(ojson::array());
        m_stack.push_back({node, {}});
        return true;
    }
    bool end_array() override
    {
        m_stack.pop_back();
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

private:
    struct Level {
        ojson* node;
        std::unordered_map<std::string, std::size_t> index;  // objects only
    };

    // Where the next value goes: the document itself, the member named last, or the end of the
    // array being filled.
    ojson* Place(ojson&& value)
    {
        if (m_stack.empty()) {
            m_root = std::move(value);
            return &m_root;
        }
        ojson* parent = m_stack.back().node;
        if (parent->is_array()) {
            parent->get_ref<ojson::array_t&>().push_back(std::move(value));
            return &parent->get_ref<ojson::array_t&>().back();
        }
        *m_next = std::move(value);
        return m_next;
    }
    bool Put(ojson&& value)
    {
        Place(std::move(value));
        return true;
    }

    ojson& m_root;
    std::vector<Level> m_stack;
    ojson* m_next = nullptr;
};

}  // namespace

bool JsonObject::Load(const QString& text)
{
    QString body = text.trimmed();
    if (body.endsWith(QLatin1String("<EOF>"), Qt::CaseInsensitive))
        body.chop(5);
    ojson parsed;
    OrderedBuilder builder(parsed);
    if (!ojson::sax_parse(json::Utf8(body), &builder))
        parsed = ojson();
    const bool ok = parsed.is_object();
    if (exists())
        node() = ok ? std::move(parsed) : ojson::object();
    return ok;
}

QString JsonObject::Emit(bool compact) const
{
    return json::Dump(node(), compact);
}

int JsonObject::Size() const
{
    const ojson& n = node();
    return n.is_object() ? static_cast<int>(n.size()) : 0;
}

QString JsonObject::NameAt(int index) const
{
    const ojson& n = node();
    if (!n.is_object() || index < 0 || index >= static_cast<int>(n.size()))
        return QString();
    auto it = n.begin();
    std::advance(it, index);
    return json::FromUtf8(it.key());
}

bool JsonObject::HasMember(const QString& name) const
{
    const ojson& n = node();
    return n.is_object() && n.contains(json::Utf8(name));
}

JsonType JsonObject::TypeOf(const QString& name) const
{
    const ojson& n = node();
    if (!n.is_object())
        return JsonType::Missing;
    auto it = n.find(json::Utf8(name));
    return it == n.end() ? JsonType::Missing : json::TypeOfValue(*it);
}

QString JsonObject::StringOf(const QString& name) const
{
    const ojson& n = node();
    if (!n.is_object())
        return QString();
    auto it = n.find(json::Utf8(name));
    return it == n.end() ? QString() : json::ScalarText(*it);
}

JsonObject JsonObject::ObjectOf(const QString& name) const
{
    JsonObject child(m_root, m_path / json::Utf8(name));
    return child;
}

JsonArray JsonObject::ArrayOf(const QString& name) const
{
    return JsonArray(m_root, m_path / json::Utf8(name));
}

void JsonObject::set(const QString& name, ojson value)
{
    ojson& n = node();
    if (!n.is_object())
        return;
    n[json::Utf8(name)] = std::move(value);
}

void JsonObject::AddString(const QString& name, const QString& value) { set(name, json::Utf8(value)); }
void JsonObject::AddNumber(const QString& name, double value) { set(name, json::Number(value)); }
void JsonObject::AddInteger(const QString& name, qint64 value) { set(name, static_cast<std::int64_t>(value)); }
void JsonObject::AddBool(const QString& name, bool value) { set(name, value); }
void JsonObject::AddNull(const QString& name) { set(name, nullptr); }

JsonObject JsonObject::AddObject(const QString& name)
{
    set(name, ojson::object());
    return ObjectOf(name);
}

JsonArray JsonObject::AddArray(const QString& name)
{
    set(name, ojson::array());
    return ArrayOf(name);
}

void JsonObject::AddArrayCopy(const QString& name, const JsonArray& source)
{
    set(name, source.IsValid() ? source.node() : ojson::array());
}

void JsonObject::AddObjectCopy(const QString& name, const JsonObject& source)
{
    set(name, source.IsValid() ? source.node() : ojson::object());
}

// --- JsonArray ---------------------------------------------------------------------------

JsonArray::JsonArray() : JsonNode(std::make_shared<ojson>(ojson::array()), ojson::json_pointer()) {}

int JsonArray::Size() const
{
    const ojson& n = node();
    return n.is_array() ? static_cast<int>(n.size()) : 0;
}

JsonType JsonArray::TypeAt(int index) const
{
    const ojson& n = node();
    if (!n.is_array() || index < 0 || index >= static_cast<int>(n.size()))
        return JsonType::Missing;
    return json::TypeOfValue(n[static_cast<size_t>(index)]);
}

QString JsonArray::StringAt(int index) const
{
    const ojson& n = node();
    if (!n.is_array() || index < 0 || index >= static_cast<int>(n.size()))
        return QString();
    return json::ScalarText(n[static_cast<size_t>(index)]);
}

JsonObject JsonArray::ObjectAt(int index) const
{
    return JsonObject(m_root, m_path / static_cast<std::size_t>(index < 0 ? 0 : index));
}

JsonArray JsonArray::ArrayAt(int index) const
{
    return JsonArray(m_root, m_path / static_cast<std::size_t>(index < 0 ? 0 : index));
}

JsonObject JsonArray::AddObject()
{
    ojson& n = node();
    if (!n.is_array())
        return JsonObject(m_root, m_path / std::string("\x01invalid"));
    n.push_back(ojson::object());
    return ObjectAt(static_cast<int>(n.size()) - 1);
}

JsonArray JsonArray::AddArray()
{
    ojson& n = node();
    if (!n.is_array())
        return JsonArray(m_root, m_path / std::string("\x01invalid"));
    n.push_back(ojson::array());
    return ArrayAt(static_cast<int>(n.size()) - 1);
}

void JsonArray::AddString(const QString& value)
{
    ojson& n = node();
    if (n.is_array())
        n.push_back(json::Utf8(value));
}

void JsonArray::AddNumber(double value)
{
    ojson& n = node();
    if (n.is_array())
        n.push_back(json::Number(value));
}

void JsonArray::AddBool(bool value)
{
    ojson& n = node();
    if (n.is_array())
        n.push_back(value);
}

void JsonArray::InsertString(int index, const QString& value)
{
    ojson& n = node();
    if (!n.is_array())
        return;
    const auto size = static_cast<int>(n.size());
    const int at = index < 0 ? 0 : (index > size ? size : index);
    n.insert(n.begin() + at, json::Utf8(value));
}

void JsonArray::AddObjectCopy(const JsonObject& source)
{
    ojson& n = node();
    if (n.is_array())
        n.push_back(source.IsValid() ? source.node() : ojson::object());
}

QString JsonArray::Emit(bool compact) const
{
    return json::Dump(node(), compact);
}

}  // namespace platform

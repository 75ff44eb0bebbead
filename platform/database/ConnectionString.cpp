#include "ConnectionString.h"

namespace platform::db {

ConnectionString ConnectionString::Parse(const QString& text)
{
    ConnectionString result;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && (text.at(i) == QLatin1Char(';') || text.at(i).isSpace()))
            ++i;
        if (i >= n)
            break;
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        if (eq < 0)
            break;
        const QString key = text.mid(i, eq - i).trimmed();
        i = eq + 1;
        while (i < n && text.at(i) == QLatin1Char(' '))
            ++i;
        QString value;
        const QChar open = i < n ? text.at(i) : QChar();
        if (open == QLatin1Char('{') || open == QLatin1Char('"') || open == QLatin1Char('\'')) {
            // A braced or quoted value runs to its closing brace or quote; a doubled one stands
            // for itself. What follows it up to the next ";" is passed over.
            const QChar close = open == QLatin1Char('{') ? QLatin1Char('}') : open;
            ++i;
            while (i < n) {
                if (text.at(i) == close) {
                    if (i + 1 < n && text.at(i + 1) == close) {
                        value += close;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += text.at(i++);
            }
            while (i < n && text.at(i) != QLatin1Char(';'))
                ++i;
        } else {
            const qsizetype end = text.indexOf(QLatin1Char(';'), i);
            value = text.mid(i, end < 0 ? -1 : end - i).trimmed();
            i = end < 0 ? n : end;
        }
        result.Set(key, value);
    }
    return result;
}

QString ConnectionString::Get(const QString& key) const
{
    for (const auto& item : m_items)
        if (item.first.compare(key, Qt::CaseInsensitive) == 0)
            return item.second;
    return {};
}

bool ConnectionString::Has(const QString& key) const
{
    for (const auto& item : m_items)
        if (item.first.compare(key, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void ConnectionString::Set(const QString& key, const QString& value)
{
    for (auto& item : m_items) {
        if (item.first.compare(key, Qt::CaseInsensitive) == 0) {
            item.second = value;
            return;
        }
    }
    m_items.append({key, value});
}

QString ConnectionString::BraceQuote(const QString& value)
{
    QString escaped = value;
    escaped.replace(QLatin1Char('}'), QStringLiteral("}}"));
    return QLatin1Char('{') + escaped + QLatin1Char('}');
}

QString ConnectionString::ToOdbc() const
{
    QString out;
    for (const auto& item : m_items)
        out += item.first + QLatin1Char('=') + BraceQuote(item.second) + QLatin1Char(';');
    return out;
}

QString ConnectionString::ToText() const
{
    QString out;
    for (const auto& item : m_items) {
        const QString& v = item.second;
        const bool quote = v.contains(QLatin1Char(';')) || v.contains(QLatin1Char('{')) || v.contains(QLatin1Char('}'))
                        || v.startsWith(QLatin1Char('"')) || v.startsWith(QLatin1Char('\'')) || v != v.trimmed();
        out += item.first + QLatin1Char('=') + (quote ? BraceQuote(v) : v) + QLatin1Char(';');
    }
    return out;
}

}  // namespace platform::db

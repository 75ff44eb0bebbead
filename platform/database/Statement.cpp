#include "Statement.h"

namespace platform::db {

QString Statement::Joined() const
{
    if (m_pieces.size() == 1)
        return m_pieces.front();
    qsizetype length = 0;
    for (const QString& piece : m_pieces)
        length += piece.size();
    QString text;
    text.reserve(length);
    for (const QString& piece : m_pieces)
        text += piece;
    return text;
}

QString Statement::Marked() const
{
    qsizetype length = 0;
    for (const QString& piece : m_pieces)
        length += piece.size();
    QString text;
    text.reserve(length + 4 * static_cast<qsizetype>(m_literals.size()));
    size_t next = 0;
    for (size_t i = 0; i < m_pieces.size(); ++i) {
        if (next < m_literals.size() && m_literals[next] == static_cast<int>(i)) {
            ++next;
            text += QLatin1Char('?');
            text += QString::number(next);
        } else {
            text += m_pieces[i];
        }
    }
    return text;
}

std::vector<QString> Statement::Literals() const
{
    std::vector<QString> literals;
    literals.reserve(m_literals.size());
    for (const int i : m_literals)
        literals.push_back(m_pieces[static_cast<size_t>(i)]);
    return literals;
}

bool Statement::Compared(size_t literal) const
{
    const int at = m_literals.at(literal);
    if (at == 0 || (literal > 0 && m_literals[literal - 1] == at - 1))
        return false;  // nothing, or another literal, before it
    const QString& before = m_pieces[static_cast<size_t>(at - 1)];
    qsizetype end = before.size();
    while (end > 0 && before.at(end - 1).isSpace())
        --end;
    if (end == 0)
        return false;
    const QChar last = before.at(end - 1);
    return last == u'=' || last == u'<' || last == u'>';
}

}  // namespace platform::db

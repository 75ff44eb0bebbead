#include "TsqlTokenizer.h"

#include <QStringList>

namespace platform::db::tsql {

namespace {

bool IsWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('#');
}

bool IsWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') || c == QLatin1Char('#')
        || c == QLatin1Char('@');
}

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

}  // namespace

bool Token::IsWord(const char* upper) const
{
    return kind == TokenKind::Word && text.compare(QLatin1String(upper), Qt::CaseInsensitive) == 0;
}

QString Token::Name() const
{
    if (kind != TokenKind::Quoted || text.size() < 2)
        return text;
    const QChar open = text.front();
    const QChar close = open == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
    QString inner = text.mid(1, text.size() - 2);
    inner.replace(QString(2, close), QString(close));
    return inner;
}

QString Token::StringValue() const
{
    QString t = text;
    if (kind == TokenKind::NString)
        t.remove(0, 1);
    if (t.size() >= 2 && t.startsWith(QLatin1Char('\'')) && t.endsWith(QLatin1Char('\'')))
        t = t.mid(1, t.size() - 2);
    else if (t.startsWith(QLatin1Char('\'')))
        t.remove(0, 1);
    t.replace(QLatin1String("''"), QLatin1String("'"));
    return t;
}

QString QuoteString(const QString& value)
{
    QString v = value;
    v.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + v + QLatin1Char('\'');
}

QString QuoteIdentifier(const QString& name)
{
    QString v = name;
    v.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + v + QLatin1Char('"');
}

QString SpellOutNul(const QString& literal, bool sqlServer)
{
    const QChar nul(0);
    if (!literal.contains(nul))
        return literal;
    const bool national = literal.startsWith(QLatin1Char('N'), Qt::CaseInsensitive);
    QString body = literal.mid(national ? 2 : 1);
    if (body.endsWith(QLatin1Char('\'')))
        body.chop(1);
    const QString quote = sqlServer && national ? QStringLiteral("N'") : QStringLiteral("'");
    const QString joint = sqlServer ? (national ? QStringLiteral("'+NCHAR(0)+") : QStringLiteral("'+CHAR(0)+"))
                                    : QStringLiteral("'||char(0)||");
    QString out = QStringLiteral("(");
    const QStringList pieces = body.split(nul);
    for (int i = 0; i < pieces.size(); ++i) {
        out += quote + pieces.at(i);
        out += i + 1 < pieces.size() ? joint : QStringLiteral("'");
    }
    return out + QLatin1Char(')');
}

QString SpellOutNulInLiterals(const QString& sql, bool sqlServer)
{
    if (!sql.contains(QChar(0)))
        return sql;
    QString out;
    out.reserve(sql.size() + 32);
    for (const Token& token : Tokenize(sql)) {
        if (token.spaceBefore)
            out += QLatin1Char(' ');
        const bool literal = token.kind == TokenKind::String || token.kind == TokenKind::NString;
        out += literal ? SpellOutNul(token.text, sqlServer) : token.text;
    }
    return out;
}

std::vector<Token> Tokenize(const QString& sql)
{
    std::vector<Token> tokens;
    std::vector<int> open;
    const int n = static_cast<int>(sql.size());
    int i = 0;
    bool space = false;
    auto push = [&](TokenKind kind, int start, int end) {
        tokens.push_back(Token{kind, sql.mid(start, end - start), space, -1});
        space = false;
    };
    while (i < n) {
        const QChar c = sql.at(i);
        if (c.isSpace()) {
            space = true;
            ++i;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
            while (i < n && sql.at(i) != QLatin1Char('\n'))
                ++i;
            space = true;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && sql.at(i + 1) == QLatin1Char('*')) {
            int depth = 0;
            while (i < n) {
                if (sql.at(i) == QLatin1Char('/') && i + 1 < n && sql.at(i + 1) == QLatin1Char('*')) {
                    ++depth;
                    i += 2;
                } else if (sql.at(i) == QLatin1Char('*') && i + 1 < n && sql.at(i + 1) == QLatin1Char('/')) {
                    i += 2;
                    if (--depth == 0)
                        break;
                } else {
                    ++i;
                }
            }
            space = true;
            continue;
        }
        const int start = i;
        if (c == QLatin1Char('\'') || ((c == QLatin1Char('N') || c == QLatin1Char('n')) && i + 1 < n
                                        && sql.at(i + 1) == QLatin1Char('\''))) {
            const TokenKind kind = c == QLatin1Char('\'') ? TokenKind::String : TokenKind::NString;
            i += kind == TokenKind::String ? 1 : 2;
            while (i < n) {
                if (sql.at(i) == QLatin1Char('\'')) {
                    if (i + 1 < n && sql.at(i + 1) == QLatin1Char('\'')) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            push(kind, start, i);
            continue;
        }
        if (c == QLatin1Char('[') || c == QLatin1Char('"')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
            ++i;
            while (i < n) {
                if (sql.at(i) == close) {
                    if (i + 1 < n && sql.at(i + 1) == close) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            push(TokenKind::Quoted, start, i);
            continue;
        }
        if (IsDigit(c) || (c == QLatin1Char('.') && i + 1 < n && IsDigit(sql.at(i + 1)))) {
            if (c == QLatin1Char('0') && i + 1 < n && (sql.at(i + 1) == QLatin1Char('x') || sql.at(i + 1) == QLatin1Char('X'))) {
                i += 2;
                while (i < n && (IsDigit(sql.at(i)) || QStringLiteral("abcdefABCDEF").contains(sql.at(i))))
                    ++i;
            } else {
                while (i < n && IsDigit(sql.at(i)))
                    ++i;
                if (i < n && sql.at(i) == QLatin1Char('.')) {
                    ++i;
                    while (i < n && IsDigit(sql.at(i)))
                        ++i;
                }
                if (i < n && (sql.at(i) == QLatin1Char('e') || sql.at(i) == QLatin1Char('E'))) {
                    int j = i + 1;
                    if (j < n && (sql.at(j) == QLatin1Char('+') || sql.at(j) == QLatin1Char('-')))
                        ++j;
                    if (j < n && IsDigit(sql.at(j))) {
                        i = j;
                        while (i < n && IsDigit(sql.at(i)))
                            ++i;
                    }
                }
            }
            push(TokenKind::Number, start, i);
            continue;
        }
        if (c == QLatin1Char('@')) {
            const bool sys = i + 1 < n && sql.at(i + 1) == QLatin1Char('@');
            i += sys ? 2 : 1;
            while (i < n && IsWordChar(sql.at(i)))
                ++i;
            push(sys ? TokenKind::SysVariable : TokenKind::Variable, start, i);
            continue;
        }
        if (IsWordStart(c)) {
            while (i < n && IsWordChar(sql.at(i)) && sql.at(i) != QLatin1Char('@'))
                ++i;
            push(TokenKind::Word, start, i);
            continue;
        }
        switch (c.unicode()) {
        case '(':
            open.push_back(static_cast<int>(tokens.size()));
            push(TokenKind::LParen, start, ++i);
            continue;
        case ')':
            push(TokenKind::RParen, start, ++i);
            if (!open.empty()) {
                const int o = open.back();
                open.pop_back();
                tokens[static_cast<size_t>(o)].match = static_cast<int>(tokens.size()) - 1;
                tokens.back().match = o;
            }
            continue;
        case ',': push(TokenKind::Comma, start, ++i); continue;
        case '.': push(TokenKind::Dot, start, ++i); continue;
        case ';': push(TokenKind::Semicolon, start, ++i); continue;
        default: break;
        }
        static const char* const twoChar[] = {"<>", "<=", ">=", "!=", "!<", "!>", "||", "==", "<<", ">>"};
        bool done = false;
        if (i + 1 < n) {
            const QString two = sql.mid(i, 2);
            for (const char* op : twoChar) {
                if (two == QLatin1String(op)) {
                    i += 2;
                    push(TokenKind::Operator, start, i);
                    done = true;
                    break;
                }
            }
        }
        if (done)
            continue;
        ++i;
        push(QStringLiteral("=<>+-*/%!~&|^").contains(c) ? TokenKind::Operator : TokenKind::Other, start, i);
    }
    return tokens;
}

}  // namespace platform::db::tsql

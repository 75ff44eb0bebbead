#pragma once

#include <QString>
#include <vector>

namespace platform::db::tsql {

enum class TokenKind {
    Word,         // a bare word: keyword, function or identifier (letters, digits, _, $, #)
    Quoted,       // [bracketed] or "double-quoted" identifier; text keeps its delimiters
    String,       // '...' with '' escapes; text keeps the quotes
    NString,      // N'...'; text keeps the N and the quotes
    Number,       // 12, 1.5, .5, 1e3, 0x1F
    Variable,     // @name
    SysVariable,  // @@name
    Operator,     // = <> <= >= != !< !> || + - * / % < > ! ~ & | ^
    LParen,
    RParen,
    Comma,
    Dot,
    Semicolon,
    Other,        // any other character
};

struct Token {
    TokenKind kind;
    QString text;
    bool spaceBefore = false;  // whitespace or a comment stood before it
    int match = -1;            // for parentheses: the index of the partner (-1 when unbalanced)

    bool IsWord(const char* upper) const;  // a bare word, compared without regard to case
    bool IsIdentifier() const { return kind == TokenKind::Word || kind == TokenKind::Quoted; }
    // The identifier's name without delimiters (brackets, quotes) and with escapes undone.
    QString Name() const;
    // The content of a string literal (without N, quotes, and with '' undone).
    QString StringValue() const;
};

// Splits T-SQL into tokens. Whitespace and comments (-- to the end of the line, nested /* */)
// are dropped and recorded as spaceBefore on the next token. Parentheses are matched.
std::vector<Token> Tokenize(const QString& sql);

// A string literal for SQLite: the text in single quotes with quotes doubled.
QString QuoteString(const QString& value);
// An identifier for SQLite in double quotes.
QString QuoteIdentifier(const QString& name);

// A database engine reads a statement only up to its first NUL character, so a NUL inside a
// string literal would cut the statement short there. The literal (its text as tokenized,
// with or without N) is spelled instead as its pieces joined by CHAR(0), in parentheses:
// 'a<NUL>b' becomes ('a'||char(0)||'b') for SQLite, ('a'+CHAR(0)+'b') for SQL Server.
// A literal without NUL is returned as it is.
QString SpellOutNul(const QString& literal, bool sqlServer);
// The same for every string literal of a statement text; the text comes back unchanged when
// it holds no NUL, otherwise rebuilt from its tokens (comments dropped).
QString SpellOutNulInLiterals(const QString& sql, bool sqlServer);

}  // namespace platform::db::tsql

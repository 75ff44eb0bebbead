#pragma once

#include <QString>
#include <vector>

namespace platform::db {

// A statement's text in pieces, some of which are literal values as the text spells them
// ('text' with its quotes doubled, or a whole number). The text is the pieces one after the
// other. A backend that can bind values compiles the statement once with a parameter in place
// of each literal and binds the literals, so that statements that differ only in those values
// are parsed and planned once; any other backend runs the text.
class Statement {
public:
    Statement() = default;
    Statement(const QString& text) : m_pieces{text} {}  // NOLINT: a text is a statement

    Statement& Text(const QString& piece)
    {
        m_pieces.push_back(piece);
        return *this;
    }
    Statement& Literal(const QString& spelled)
    {
        m_literals.push_back(static_cast<int>(m_pieces.size()));
        m_pieces.push_back(spelled);
        return *this;
    }

    bool HasLiterals() const { return !m_literals.empty(); }
    // The whole text, the literals written in.
    QString Joined() const;
    // The text with the n-th literal (from 1) written as the parameter ?n.
    QString Marked() const;
    // The literals in order, as spelled.
    std::vector<QString> Literals() const;
    // Whether the n-th literal (from 0) stands right after a comparison (=, <>, !=, <, >, <=,
    // >=): there a value bound in its place means what the literal means. Elsewhere it may not
    // (ORDER BY 2 names a column; an unnamed column of the select list is named by its text).
    bool Compared(size_t literal) const;

private:
    std::vector<QString> m_pieces;
    std::vector<int> m_literals;  // the indexes of the pieces that are literals
};

}  // namespace platform::db

#pragma once

#include <QString>
#include <QStringView>
#include <vector>

struct SqlToken
{
    enum class Kind {
        Whitespace,
        Comment,    // -- to end of line, or /* */ (nesting, as SQL Server reads it)
        String,     // 'it''s' or N'...'
        QuotedName, // "name" or [name]
        Number,     // 12, 1.5, 2e3
        Word,       // identifiers and keywords
        Variable,   // @name
        Punct       // operators and punctuation, one to two characters
    };

    Kind kind;
    qsizetype start;
    qsizetype length;

    [[nodiscard]] bool isSignificant() const
    {
        return kind != Kind::Whitespace && kind != Kind::Comment;
    }
};

// Splits SQL Server text into tokens the way SQL Server reads it. Every character of the
// input belongs to exactly one token, so joining the tokens gives the text back unchanged.
// Throws Failure for an unterminated string, quoted name or comment.
class SqlTokenizer
{
public:
    [[nodiscard]] static std::vector<SqlToken> tokenize(QStringView sql);
};

#pragma once

#include "db/SqlDialect.h"

#include <QString>
#include <QStringView>
#include <vector>

struct SqlToken
{
    enum class Kind {
        Whitespace,
        Comment,    // -- to end of line, or /* */ (nesting on SQL Server, not on SQLite)
        String,     // 'it''s' or N'...'
        QuotedName, // "name" or [name]; on SQLite also `name`
        Number,     // 12, 1.5, 2e3
        Word,       // identifiers and keywords
        Parameter,  // a value supplied apart from the text: @name, ?, ?3, :name, $name, #name
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

// Splits SQL text into tokens the way the engine of the given dialect reads it: where a
// comment ends, whether comments nest, which characters quote a name and which begin a
// parameter differ, and a check that reads the text otherwise than the engine can be
// deceived. Every character of the input belongs to exactly one token, so joining the tokens
// gives the text back unchanged. Throws Failure for an unterminated string, quoted name or
// comment.
class SqlTokenizer
{
public:
    [[nodiscard]] static std::vector<SqlToken>
    tokenize(QStringView sql, SqlDialect dialect = SqlDialect::SqlServer);
};

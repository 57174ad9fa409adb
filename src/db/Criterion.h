#pragma once

#include <QString>
#include <QVariant>
#include <vector>

class ResultTable;

// A result set criterion, as used for Filter and for the forward search:
//   field = 'text'   field <> 5   field like 'O''Ha%'   field is null
// combined with AND, OR and parentheses. Field names are matched without regard to case and
// text is compared without regard to case; '' inside a quoted value is one apostrophe; % and
// * in a like pattern stand for any run of characters. Compiled once against a table, then
// tested row by row. A malformed criterion or an unknown field throws Failure.
class Criterion
{
public:
    [[nodiscard]] static Criterion parse(const QString &text, const ResultTable &table);

    [[nodiscard]] bool matches(const ResultTable &table, int row) const;

private:
    enum class Op {
        Equal,
        NotEqual,
        Less,
        LessEqual,
        Greater,
        GreaterEqual,
        Like,
        NotLike,
        IsNull,
        IsNotNull,
        And,
        Or
    };
    struct Node
    {
        Op op = Op::Equal;
        int left = -1; // child nodes of And / Or
        int right = -1;
        int column = -1;
        QVariant value;  // QString or double
        QString pattern; // like, folded to lower case
    };

    class Parser;
    bool test(const ResultTable &table, int row, int node) const;
    static bool likeMatch(QStringView text, QStringView pattern);

    std::vector<Node> m_nodes;
    int m_root = -1;
};

#include "db/Criterion.h"

#include "db/Failure.h"
#include "db/ResultTable.h"
#include "db/SqlTokenizer.h"

using namespace Qt::StringLiterals;

class Criterion::Parser
{
public:
    Parser(const QString &text, const ResultTable &table, Criterion &out)
        : m_text(text), m_table(table), m_out(out)
    {
        try {
            for (const SqlToken &t : SqlTokenizer::tokenize(text)) {
                if (t.isSignificant())
                    m_tokens.push_back(t);
            }
        } catch (const Failure &e) {
            fail(e.description());
        }
    }

    int parse()
    {
        if (m_tokens.empty())
            fail(u"the criterion is empty"_s);
        const int root = parseOr();
        if (m_pos < m_tokens.size())
            fail(u"unexpected %1"_s.arg(current()));
        return root;
    }

private:
    [[noreturn]] void fail(const QString &why) const
    {
        throw Failure(u"Invalid criterion \"%1\": %2"_s.arg(m_text, why),
                      Failure::recordsetSource());
    }
    QString current() const
    {
        if (m_pos >= m_tokens.size())
            return u"end"_s;
        return u"'"_s + text(m_pos) + u"'"_s;
    }
    QString text(size_t k) const { return m_text.mid(m_tokens[k].start, m_tokens[k].length); }
    bool isWord(QStringView w) const
    {
        return m_pos < m_tokens.size() && m_tokens[m_pos].kind == SqlToken::Kind::Word &&
               text(m_pos).compare(w, Qt::CaseInsensitive) == 0;
    }
    bool isPunct(QStringView p) const
    {
        return m_pos < m_tokens.size() && m_tokens[m_pos].kind == SqlToken::Kind::Punct &&
               text(m_pos) == p;
    }
    static Node combine(Op op, int left, int right)
    {
        Node node;
        node.op = op;
        node.left = left;
        node.right = right;
        return node;
    }
    int add(Node node)
    {
        // Testing a row descends the tree; a criterion is a few comparisons, not thousands.
        if (m_out.m_nodes.size() >= 1000)
            fail(u"the criterion has too many comparisons"_s);
        m_out.m_nodes.push_back(std::move(node));
        return int(m_out.m_nodes.size()) - 1;
    }

    int parseOr()
    {
        int left = parseAnd();
        while (isWord(u"OR")) {
            ++m_pos;
            const int right = parseAnd();
            left = add(combine(Op::Or, left, right));
        }
        return left;
    }

    int parseAnd()
    {
        int left = parseFactor();
        while (isWord(u"AND")) {
            ++m_pos;
            const int right = parseFactor();
            left = add(combine(Op::And, left, right));
        }
        return left;
    }

    int parseFactor()
    {
        if (isPunct(u"(")) {
            ++m_pos;
            if (++m_nesting > 64)
                fail(u"the criterion nests parentheses too deeply"_s);
            const int inner = parseOr();
            --m_nesting;
            if (!isPunct(u")"))
                fail(u"')' expected instead of %1"_s.arg(current()));
            ++m_pos;
            return inner;
        }
        return parseComparison();
    }

    int parseComparison()
    {
        if (m_pos >= m_tokens.size() || (m_tokens[m_pos].kind != SqlToken::Kind::Word &&
                                         m_tokens[m_pos].kind != SqlToken::Kind::QuotedName))
            fail(u"a field name was expected instead of %1"_s.arg(current()));
        QString field = text(m_pos);
        if (m_tokens[m_pos].kind == SqlToken::Kind::QuotedName)
            field = field.mid(1, field.size() - 2);
        const int column = m_table.columnIndex(field);
        if (column < 0)
            fail(u"the result set has no field %1"_s.arg(field));
        ++m_pos;

        Node node;
        node.op = Op::Equal;
        node.column = column;
        if (isWord(u"IS")) {
            ++m_pos;
            node.op = Op::IsNull;
            if (isWord(u"NOT")) {
                ++m_pos;
                node.op = Op::IsNotNull;
            }
            if (!isWord(u"NULL"))
                fail(u"NULL expected after IS"_s);
            ++m_pos;
            return add(node);
        }
        if (isWord(u"NOT")) {
            ++m_pos;
            if (!isWord(u"LIKE"))
                fail(u"LIKE expected after NOT"_s);
            node.op = Op::NotLike;
            ++m_pos;
        } else if (isWord(u"LIKE")) {
            node.op = Op::Like;
            ++m_pos;
        } else {
            static const std::pair<QStringView, Op> ops[] = {
                {u"=", Op::Equal},        {u"<>", Op::NotEqual},  {u"!=", Op::NotEqual},
                {u"<", Op::Less},         {u"<=", Op::LessEqual}, {u">", Op::Greater},
                {u">=", Op::GreaterEqual}};
            bool found = false;
            for (const auto &[symbol, op] : ops) {
                if (isPunct(symbol)) {
                    node.op = op;
                    found = true;
                    break;
                }
            }
            if (!found)
                fail(u"a comparison was expected instead of %1"_s.arg(current()));
            ++m_pos;
        }
        node.value = parseValue();
        if (node.op == Op::Like || node.op == Op::NotLike) {
            node.pattern = node.value.toString().toCaseFolded();
        } else if (node.value.isNull()) {
            node.op = node.op == Op::Equal      ? Op::IsNull
                      : node.op == Op::NotEqual ? Op::IsNotNull
                                                : node.op;
            if (node.op != Op::IsNull && node.op != Op::IsNotNull)
                fail(u"NULL can only be compared with = or <>"_s);
        }
        return add(node);
    }

    QVariant parseValue()
    {
        if (m_pos >= m_tokens.size())
            fail(u"a value was expected at the end"_s);
        const SqlToken &t = m_tokens[m_pos];
        QString raw = text(m_pos);
        if (t.kind == SqlToken::Kind::String) {
            ++m_pos;
            if (raw.front() != u'\'')
                raw.remove(0, 1); // N'...'
            return QVariant(raw.mid(1, raw.size() - 2).replace(u"''"_s, u"'"_s));
        }
        bool negative = false;
        if (isPunct(u"-")) {
            negative = true;
            ++m_pos;
        }
        if (m_pos < m_tokens.size() && m_tokens[m_pos].kind == SqlToken::Kind::Number) {
            const double d = text(m_pos).toDouble();
            ++m_pos;
            return QVariant(negative ? -d : d);
        }
        if (!negative && isWord(u"NULL")) {
            ++m_pos;
            return QVariant();
        }
        fail(u"a quoted text or a number was expected instead of %1"_s.arg(current()));
    }

    const QString &m_text;
    const ResultTable &m_table;
    Criterion &m_out;
    std::vector<SqlToken> m_tokens;
    size_t m_pos = 0;
    int m_nesting = 0;
};

Criterion Criterion::parse(const QString &text, const ResultTable &table)
{
    Criterion c;
    c.m_root = Parser(text, table, c).parse();
    return c;
}

bool Criterion::matches(const ResultTable &table, int row) const
{
    return test(table, row, m_root);
}

bool Criterion::likeMatch(QStringView text, QStringView pattern)
{
    // Iterative wildcard match with backtracking to the last star.
    qsizetype t = 0, p = 0, starP = -1, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == u'%' || pattern[p] == u'*')) {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (starP >= 0) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && (pattern[p] == u'%' || pattern[p] == u'*'))
        ++p;
    return p == pattern.size();
}

bool Criterion::test(const ResultTable &table, int row, int index) const
{
    const Node &n = m_nodes[size_t(index)];
    switch (n.op) {
    case Op::And:
        return test(table, row, n.left) && test(table, row, n.right);
    case Op::Or:
        return test(table, row, n.left) || test(table, row, n.right);
    case Op::IsNull:
        return table.isNull(n.column, row);
    case Op::IsNotNull:
        return !table.isNull(n.column, row);
    case Op::Like:
    case Op::NotLike: {
        if (table.isNull(n.column, row))
            return false;
        const bool match = likeMatch(table.text(n.column, row).toCaseFolded(), n.pattern);
        return n.op == Op::Like ? match : !match;
    }
    default:
        break;
    }
    if (table.isNull(n.column, row))
        return false;

    // Numbers compare as numbers when both sides are numeric; everything else as text,
    // without regard to case.
    int order;
    const ResultTable::Type type = table.columnType(n.column);
    const bool numericColumn =
        type == ResultTable::Type::Integer || type == ResultTable::Type::Real;
    bool valueIsNumber = n.value.typeId() == QMetaType::Double;
    double valueNumber = n.value.toDouble(&valueIsNumber);
    bool cellIsNumber = numericColumn;
    double cellNumber = 0.0;
    if (numericColumn) {
        cellNumber = table.number(n.column, row);
    } else if (valueIsNumber && n.value.typeId() == QMetaType::Double) {
        cellNumber = table.text(n.column, row).trimmed().toDouble(&cellIsNumber);
    } else {
        cellIsNumber = false;
    }
    if (cellIsNumber && valueIsNumber) {
        order = cellNumber < valueNumber ? -1 : cellNumber > valueNumber ? 1 : 0;
    } else {
        order =
            QString::compare(table.text(n.column, row), n.value.toString(), Qt::CaseInsensitive);
    }
    switch (n.op) {
    case Op::Equal:
        return order == 0;
    case Op::NotEqual:
        return order != 0;
    case Op::Less:
        return order < 0;
    case Op::LessEqual:
        return order <= 0;
    case Op::Greater:
        return order > 0;
    case Op::GreaterEqual:
        return order >= 0;
    default:
        return false;
    }
}

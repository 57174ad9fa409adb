#include "presentation/Expression.h"

#include "db/Failure.h"
#include "db/SqlTokenizer.h"

using namespace Qt::StringLiterals;

// Recursive descent: sum := product (("+"|"-") product)*; product := unary (("*"|"/") unary)*;
// unary := "-" unary | primary; primary := number | name | "(" sum ")".
class Expression::Parser
{
public:
    Parser(const QString &text, Expression &out) : m_text(text), m_out(out)
    {
        for (const SqlToken &t : SqlTokenizer::tokenize(text)) {
            if (t.isSignificant())
                m_tokens.push_back(t);
        }
    }

    void parse()
    {
        sum();
        if (m_pos < m_tokens.size())
            fail(u"unexpected '%1'"_s.arg(token()));
        if (m_depth > 30)
            fail(u"the expression is nested too deeply"_s);
    }

private:
    [[noreturn]] void fail(const QString &why) const
    {
        throw Failure(u"Computed column \"%1\": %2"_s.arg(m_text, why), Failure::layoutSource());
    }
    QString token() const
    {
        return m_pos < m_tokens.size() ? m_text.mid(m_tokens[m_pos].start, m_tokens[m_pos].length)
                                       : u"end"_s;
    }
    bool accept(QStringView p)
    {
        if (m_pos < m_tokens.size() && m_tokens[m_pos].kind == SqlToken::Kind::Punct &&
            token() == p) {
            ++m_pos;
            return true;
        }
        return false;
    }
    void emit(Op op, double number = 0, int name = -1)
    {
        m_out.m_program.push_back({op, number, name});
        m_depth += (op == Op::Number || op == Op::Name)   ? 1
                   : (op == Op::Negate || op == Op::Abs) ? 0
                                                         : -1;
        m_maxDepth = std::max(m_maxDepth, m_depth);
        if (m_maxDepth > 30)
            fail(u"the expression is too long"_s);
    }

    void sum()
    {
        product();
        for (;;) {
            if (accept(u"+")) {
                product();
                emit(Op::Add);
            } else if (accept(u"-")) {
                product();
                emit(Op::Subtract);
            } else {
                return;
            }
        }
    }
    void product()
    {
        unary();
        for (;;) {
            if (accept(u"*")) {
                unary();
                emit(Op::Multiply);
            } else if (accept(u"/")) {
                unary();
                emit(Op::Divide);
            } else {
                return;
            }
        }
    }
    void unary()
    {
        if (accept(u"-")) {
            descend();
            unary();
            --m_nesting;
            emit(Op::Negate);
            return;
        }
        primary();
    }
    // Each parenthesis and each sign descends once; real layouts nest a few deep.
    void descend()
    {
        if (++m_nesting > 64)
            fail(u"the expression is nested too deeply"_s);
    }
    void primary()
    {
        if (m_pos >= m_tokens.size())
            fail(u"a value is missing at the end"_s);
        const SqlToken &t = m_tokens[m_pos];
        if (accept(u"(")) {
            descend();
            sum();
            --m_nesting;
            if (!accept(u")"))
                fail(u"')' expected instead of '%1'"_s.arg(token()));
            return;
        }
        if (t.kind == SqlToken::Kind::Number) {
            emit(Op::Number, token().toDouble());
            ++m_pos;
            return;
        }
        // abs(...): a change measured against an earlier figure that may be below zero.
        if (t.kind == SqlToken::Kind::Word && token().compare(u"abs", Qt::CaseInsensitive) == 0 &&
            m_pos + 1 < m_tokens.size() && m_tokens[m_pos + 1].kind == SqlToken::Kind::Punct &&
            m_text.mid(m_tokens[m_pos + 1].start, m_tokens[m_pos + 1].length) == u"(") {
            ++m_pos;
            primary();
            emit(Op::Abs);
            return;
        }
        if (t.kind == SqlToken::Kind::Word || t.kind == SqlToken::Kind::QuotedName) {
            QString name = token();
            if (t.kind == SqlToken::Kind::QuotedName)
                name = name.mid(1, name.size() - 2);
            qsizetype index = -1;
            for (qsizetype i = 0; i < m_out.m_names.size(); ++i) {
                if (m_out.m_names[i].compare(name, Qt::CaseInsensitive) == 0)
                    index = i;
            }
            if (index < 0) {
                m_out.m_names.append(name);
                index = m_out.m_names.size() - 1;
            }
            emit(Op::Name, 0, int(index));
            ++m_pos;
            return;
        }
        fail(u"a number or a column name was expected instead of '%1'"_s.arg(token()));
    }

    const QString &m_text;
    Expression &m_out;
    std::vector<SqlToken> m_tokens;
    size_t m_pos = 0;
    int m_depth = 0;
    int m_maxDepth = 0;
    int m_nesting = 0;
};

Expression Expression::parse(const QString &text)
{
    Expression e;
    try {
        Parser(text, e).parse();
    } catch (const Failure &f) {
        if (f.source() == Failure::layoutSource())
            throw;
        throw Failure(u"Computed column \"%1\": %2"_s.arg(text, f.description()),
                      Failure::layoutSource());
    }
    return e;
}

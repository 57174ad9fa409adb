#include "db/SqlTranslator.h"

#include "db/Failure.h"
#include "db/SelectListNames.h"
#include "db/SqlTokenizer.h"

#include <QSet>
#include <map>

using namespace Qt::StringLiterals;

namespace {

[[noreturn]] void fail(const QString &message)
{
    throw Failure(message, Failure::translationSource());
}

const QSet<QString> &writingWords()
{
    static const QSet<QString> words{
        u"INSERT"_s,  u"UPDATE"_s,  u"DELETE"_s,     u"MERGE"_s,     u"DROP"_s,
        u"CREATE"_s,  u"ALTER"_s,   u"TRUNCATE"_s,   u"EXEC"_s,      u"EXECUTE"_s,
        u"INTO"_s,    u"GRANT"_s,   u"REVOKE"_s,     u"DENY"_s,      u"BACKUP"_s,
        u"RESTORE"_s, u"ATTACH"_s,  u"DETACH"_s,     u"PRAGMA"_s,    u"VACUUM"_s,
        u"REINDEX"_s, u"DECLARE"_s, u"WAITFOR"_s,    u"SHUTDOWN"_s,  u"KILL"_s,
        u"DBCC"_s,    u"BULK"_s,    u"OPENROWSET"_s, u"OPENQUERY"_s, u"OPENDATASOURCE"_s};
    return words;
}

// Words that may stand before "(" without being a function name.
const QSet<QString> &keywordsBeforeParen()
{
    static const QSet<QString> words{
        u"SELECT"_s,    u"FROM"_s,  u"WHERE"_s,  u"AND"_s,  u"OR"_s,      u"NOT"_s,   u"IN"_s,
        u"EXISTS"_s,    u"ON"_s,    u"JOIN"_s,   u"AS"_s,   u"BETWEEN"_s, u"LIKE"_s,  u"IS"_s,
        u"WHEN"_s,      u"THEN"_s,  u"ELSE"_s,   u"CASE"_s, u"HAVING"_s,  u"UNION"_s, u"ALL"_s,
        u"DISTINCT"_s,  u"BY"_s,    u"VALUES"_s, u"WITH"_s, u"ANY"_s,     u"SOME"_s,  u"EXCEPT"_s,
        u"INTERSECT"_s, u"OUTER"_s, u"INNER"_s,  u"CROSS"_s};
    return words;
}

// Functions that mean the same on SQL Server and SQLite (ISNULL and LEFT are rewritten).
const QSet<QString> &portableFunctions()
{
    static const QSet<QString> words{u"COUNT"_s, u"SUM"_s,      u"AVG"_s,    u"MIN"_s,   u"MAX"_s,
                                     u"ABS"_s,   u"COALESCE"_s, u"NULLIF"_s, u"UPPER"_s, u"LOWER"_s,
                                     u"LTRIM"_s, u"RTRIM"_s,    u"ISNULL"_s, u"LEFT"_s};
    return words;
}

const QSet<QString> &fromClauseEnds()
{
    static const QSet<QString> words{u"WHERE"_s, u"GROUP"_s,  u"ORDER"_s,     u"HAVING"_s,
                                     u"UNION"_s, u"EXCEPT"_s, u"INTERSECT"_s, u"OPTION"_s,
                                     u"FOR"_s,   u"WINDOW"_s, u"LIMIT"_s};
    return words;
}

const QSet<QString> &comparisonOperators()
{
    static const QSet<QString> ops{u"="_s, u"<>"_s, u"!="_s, u"<"_s, u">"_s, u"<="_s, u">="_s};
    return ops;
}

class Translation
{
public:
    Translation(const QString &sql, SqlDialect target, SqlTranslator::LeftFunction left)
        : m_sql(sql), m_target(target), m_left(left), m_tokens(SqlTokenizer::tokenize(sql))
    {
        for (int i = 0; i < int(m_tokens.size()); ++i) {
            if (m_tokens[size_t(i)].isSignificant())
                m_sig.push_back(i);
        }
        matchParens();
    }

    TranslatedSql run()
    {
        checkReadOnly();
        TranslatedSql result;
        result.selectNames = SelectListNames::extract(m_sql, m_tokens);
        if (m_target == SqlDialect::SqlServer) {
            result.text = m_sql;
            return result;
        }
        rewriteTokens();
        processLevel(0, int(m_sig.size()));
        result.text = emit();
        return result;
    }

private:
    // --- token helpers, by position in the list of significant tokens -------------------
    const SqlToken &tok(int s) const { return m_tokens[size_t(m_sig[size_t(s)])]; }
    QStringView text(int s) const
    {
        const SqlToken &t = tok(s);
        return QStringView(m_sql).mid(t.start, t.length);
    }
    QString upper(int s) const { return text(s).toString().toUpper(); }
    bool isWord(int s, QStringView w) const
    {
        return s >= 0 && s < int(m_sig.size()) && tok(s).kind == SqlToken::Kind::Word &&
               text(s).compare(w, Qt::CaseInsensitive) == 0;
    }
    bool isPunct(int s, QStringView p) const
    {
        return s >= 0 && s < int(m_sig.size()) && tok(s).kind == SqlToken::Kind::Punct &&
               text(s) == p;
    }
    QString describe(int s) const
    {
        return s < int(m_sig.size()) ? u"'"_s + text(s).toString() + u"'"_s : u"the end"_s;
    }

    void matchParens()
    {
        m_match.assign(m_sig.size(), -1);
        std::vector<int> open;
        for (int s = 0; s < int(m_sig.size()); ++s) {
            if (isPunct(s, u"(")) {
                open.push_back(s);
            } else if (isPunct(s, u")")) {
                if (open.empty())
                    fail(u"Unbalanced parentheses: ')' at character %1 has no '('"_s.arg(
                        tok(s).start + 1));
                m_match[size_t(open.back())] = s;
                m_match[size_t(s)] = open.back();
                open.pop_back();
            }
        }
        if (!open.empty())
            fail(u"Unbalanced parentheses: '(' at character %1 is never closed"_s.arg(
                tok(open.back()).start + 1));
    }

    // --- the statement may only read ----------------------------------------------------
    void checkReadOnly() const
    {
        if (m_sig.empty())
            fail(u"The statement is empty"_s);
        int first = 0;
        while (first < int(m_sig.size()) && isPunct(first, u"("))
            ++first;
        if (!isWord(first, u"SELECT") && !isWord(first, u"WITH"))
            fail(u"Only a SELECT statement can be run; the statement begins with %1"_s.arg(
                describe(first)));
        for (int s = 0; s < int(m_sig.size()); ++s) {
            if (isPunct(s, u";") && s != int(m_sig.size()) - 1)
                fail(u"Only one statement can be run at a time"_s);
            if (tok(s).kind == SqlToken::Kind::Word && writingWords().contains(upper(s)))
                fail(u"Only reading statements can be run; %1 is not allowed"_s.arg(
                    text(s).toString().toUpper()));
        }
    }

    // --- token-by-token rewrites for SQLite ---------------------------------------------
    void rewriteTokens()
    {
        for (int s = 0; s < int(m_sig.size()); ++s) {
            const SqlToken &t = tok(s);
            switch (t.kind) {
            case SqlToken::Kind::String:
                if (text(s).front() != u'\'')
                    m_replace[m_sig[size_t(s)]] = text(s).mid(1).toString(); // N'..'
                if (isPunct(s - 1, u"+") || isPunct(s + 1, u"+"))
                    fail(u"Text joined with '+' cannot be run on the embedded database"_s);
                break;
            case SqlToken::Kind::Variable:
                fail(u"Variables such as %1 are not supported"_s.arg(text(s).toString()));
            case SqlToken::Kind::Punct:
                if (text(s) == u"!<" || text(s) == u"!>" || text(s) == u"::" || text(s) == u"||" ||
                    text(s) == u"{" || text(s) == u"}")
                    fail(u"The operator %1 is not supported on the embedded database"_s.arg(
                        text(s).toString()));
                break;
            case SqlToken::Kind::Number:
                if (text(s) == u"0" && s + 1 < int(m_sig.size()) &&
                    tok(s + 1).start == t.start + t.length &&
                    tok(s + 1).kind == SqlToken::Kind::Word &&
                    text(s + 1).startsWith(u'x', Qt::CaseInsensitive))
                    fail(u"Binary literals (0x...) are not supported"_s);
                break;
            case SqlToken::Kind::Word:
                rewriteWord(s);
                break;
            default:
                break;
            }
        }
    }

    void rewriteWord(int s)
    {
        const QString w = upper(s);
        if (w == u"TOP" && (isWord(s - 1, u"SELECT") || isWord(s - 1, u"DISTINCT")))
            fail(u"SELECT TOP is not supported on the embedded database"_s);
        if (w == u"APPLY")
            fail(u"APPLY is not supported on the embedded database"_s);
        if (!isPunct(s + 1, u"(") || keywordsBeforeParen().contains(w))
            return;
        if (isWord(s - 1, u"JOIN") || isWord(s - 1, u"FROM"))
            fail(u"Table-valued functions such as %1 are not supported"_s.arg(text(s).toString()));
        if (!portableFunctions().contains(w))
            fail(u"The function %1 is not supported on the embedded database"_s.arg(
                text(s).toString()));
        const int index = m_sig[size_t(s)];
        if (w == u"ISNULL") {
            m_replace[index] = u"IFNULL"_s;
        } else if (w == u"LEFT") {
            checkLeftComparison(s);
            if (m_left == SqlTranslator::LeftFunction::Registered) {
                m_replace[index] = SqlTranslator::registeredLeftName();
            } else {
                m_replace[index] = u"substr"_s;
                const int comma = topLevelComma(s + 1);
                if (comma < 0)
                    fail(u"LEFT needs two arguments"_s);
                m_after[m_sig[size_t(comma)]] += u" 1,"_s;
            }
        }
    }

    int topLevelComma(int open) const
    {
        for (int s = open + 1; s < m_match[size_t(open)]; ++s) {
            if (isPunct(s, u"("))
                s = m_match[size_t(s)];
            else if (isPunct(s, u","))
                return s;
        }
        return -1;
    }

    // SQL Server compares LEFT's text with a number by converting the text to a number, and
    // fails when it is not numeric; SQLite would compare text with a number and never match.
    void checkLeftComparison(int s) const
    {
        const int close = m_match[size_t(s + 1)];
        auto isCompare = [&](int k) {
            return k >= 0 && k < int(m_sig.size()) && tok(k).kind == SqlToken::Kind::Punct &&
                   comparisonOperators().contains(text(k).toString());
        };
        auto isNumber = [&](int k) {
            return k >= 0 && k < int(m_sig.size()) && tok(k).kind == SqlToken::Kind::Number;
        };
        if ((isCompare(close + 1) && (isNumber(close + 2) || isNumber(close + 3))) ||
            (isCompare(s - 1) && isNumber(s - 2)))
            fail(u"LEFT(...) compared with a number cannot be run on the embedded database; "
                 u"write the number in quotes"_s);
    }

    // --- structure: joins ---------------------------------------------------------------
    struct Span
    {
        int first;
        int last;
        bool isJoin;
    };

    void processLevel(int begin, int end)
    {
        int s = begin;
        while (s < end) {
            if (isPunct(s, u"(")) {
                processLevel(s + 1, m_match[size_t(s)]);
                s = m_match[size_t(s)] + 1;
            } else if (isWord(s, u"FROM")) {
                s = processFrom(s + 1, end);
            } else {
                ++s;
            }
        }
    }

    int processFrom(int begin, int end)
    {
        int clauseEnd = begin;
        while (clauseEnd < end) {
            if (isPunct(clauseEnd, u"(")) {
                clauseEnd = m_match[size_t(clauseEnd)] + 1;
                continue;
            }
            if (isPunct(clauseEnd, u";") || (tok(clauseEnd).kind == SqlToken::Kind::Word &&
                                             fromClauseEnds().contains(upper(clauseEnd))))
                break;
            ++clauseEnd;
        }
        int itemStart = begin;
        for (int s = begin; s <= clauseEnd; ++s) {
            if (s < clauseEnd && isPunct(s, u"(")) {
                s = m_match[size_t(s)];
                continue;
            }
            if (s == clauseEnd || isPunct(s, u",")) {
                if (s == itemStart)
                    fail(u"A table is missing in the FROM clause before %1"_s.arg(describe(s)));
                parseJoinChain(itemStart, s);
                itemStart = s + 1;
            }
        }
        return clauseEnd;
    }

    bool isJoinStart(int s) const
    {
        if (isWord(s, u"JOIN") || isWord(s, u"INNER") || isWord(s, u"CROSS") || isWord(s, u"FULL"))
            return true;
        return (isWord(s, u"LEFT") || isWord(s, u"RIGHT")) && !isPunct(s + 1, u"(");
    }

    // Consumes a join operator; returns true for CROSS JOIN, which takes no ON.
    bool consumeJoinOperator(int &s, int end)
    {
        bool cross = false;
        if (isWord(s, u"CROSS")) {
            cross = true;
            ++s;
        } else if (isWord(s, u"INNER")) {
            ++s;
        } else if (isWord(s, u"LEFT") || isWord(s, u"RIGHT") || isWord(s, u"FULL")) {
            ++s;
            if (isWord(s, u"OUTER"))
                ++s;
        }
        if (s >= end || !isWord(s, u"JOIN"))
            fail(u"JOIN expected before %1"_s.arg(describe(s)));
        ++s;
        return cross;
    }

    Span parseTableSource(int &s, int end)
    {
        if (s >= end)
            fail(u"A table is missing after JOIN"_s);
        const int first = s;
        if (isPunct(s, u"(")) {
            processLevel(s + 1, m_match[size_t(s)]);
            s = m_match[size_t(s)] + 1;
        } else if (tok(s).kind == SqlToken::Kind::Word ||
                   tok(s).kind == SqlToken::Kind::QuotedName) {
            ++s;
            while (isPunct(s, u".") && s + 1 < end) {
                s += 2;
            }
        } else {
            fail(u"A table name was expected in the FROM clause, not %1"_s.arg(describe(s)));
        }
        if (isWord(s, u"AS"))
            ++s;
        if (s < end && !isJoinStart(s) && !isWord(s, u"ON") &&
            (tok(s).kind == SqlToken::Kind::Word || tok(s).kind == SqlToken::Kind::QuotedName))
            ++s; // alias
        if (s < end && !isJoinStart(s) && !isWord(s, u"ON"))
            fail(u"The FROM clause is not understood at %1"_s.arg(describe(s)));
        return {first, s - 1, false};
    }

    // A condition runs to the next join operator or ON of the same level.
    int parseCondition(int &s, int end)
    {
        const int first = s;
        while (s < end && !isJoinStart(s) && !isWord(s, u"ON")) {
            if (isPunct(s, u"(")) {
                processLevel(s + 1, m_match[size_t(s)]);
                s = m_match[size_t(s)];
            }
            ++s;
        }
        if (s == first)
            fail(u"ON has no condition before %1"_s.arg(describe(s)));
        return s - 1;
    }

    // One operand on the right of a JOIN, with the joins nested inside it: SQL Server pairs
    // each ON with the nearest JOIN that has none, so "B JOIN C ON c1" nests in
    // "A JOIN B JOIN C ON c1 ON c2".
    Span parseRightOperand(int &s, int end)
    {
        Span node = parseTableSource(s, end);
        while (s < end && isJoinStart(s))
            node = joinOnto(node, s, end);
        return node;
    }

    Span joinOnto(Span left, int &s, int end)
    {
        if (consumeJoinOperator(s, end)) {
            const Span right = parseTableSource(s, end);
            return {left.first, right.last, true};
        }
        const Span right = parseRightOperand(s, end);
        if (!isWord(s, u"ON"))
            fail(u"JOIN without ON before %1"_s.arg(describe(s)));
        ++s;
        const int conditionEnd = parseCondition(s, end);
        if (right.isJoin) {
            m_before[m_sig[size_t(right.first)]] += u"("_s;
            m_after[m_sig[size_t(right.last)]] += u")"_s;
        }
        return {left.first, conditionEnd, true};
    }

    void parseJoinChain(int begin, int end)
    {
        int s = begin;
        Span left = parseTableSource(s, end);
        while (s < end && isJoinStart(s))
            left = joinOnto(left, s, end);
        if (s < end) {
            if (isWord(s, u"ON"))
                fail(u"ON without a matching JOIN at character %1"_s.arg(tok(s).start + 1));
            fail(u"The FROM clause is not understood at %1"_s.arg(describe(s)));
        }
    }

    // --- output -------------------------------------------------------------------------
    QString emit() const
    {
        QString out;
        out.reserve(m_sql.size() + 32);
        for (int i = 0; i < int(m_tokens.size()); ++i) {
            const SqlToken &t = m_tokens[size_t(i)];
            if (auto it = m_before.find(i); it != m_before.end())
                out += it->second;
            if (auto it = m_replace.find(i); it != m_replace.end())
                out += it->second;
            else
                out += QStringView(m_sql).mid(t.start, t.length);
            if (auto it = m_after.find(i); it != m_after.end())
                out += it->second;
            // "1AND": SQLite refuses a number run into a word; SQL Server reads two tokens.
            if (t.kind == SqlToken::Kind::Number && i + 1 < int(m_tokens.size()) &&
                m_tokens[size_t(i + 1)].kind == SqlToken::Kind::Word &&
                m_after.find(i) == m_after.end())
                out += u' ';
        }
        return out;
    }

    const QString &m_sql;
    SqlDialect m_target;
    SqlTranslator::LeftFunction m_left;
    std::vector<SqlToken> m_tokens;
    std::vector<int> m_sig;   // indices of significant tokens
    std::vector<int> m_match; // matching parenthesis, by significant position
    std::map<int, QString> m_replace;
    std::map<int, QString> m_before;
    std::map<int, QString> m_after;
};

} // namespace

TranslatedSql SqlTranslator::translate(const QString &sql, SqlDialect target, LeftFunction left)
{
    return Translation(sql, target, left).run();
}

QString SqlTranslator::registeredLeftName()
{
    return u"nvr_left"_s;
}

#include "db/SqlTranslator.h"

#include "db/Failure.h"
#include "db/SelectListNames.h"
#include "db/SqlTokenizer.h"

#include <QSet>
#include <map>
#include <set>

using namespace Qt::StringLiterals;

namespace {

[[noreturn]] void fail(const QString &message)
{
    throw Failure(message, Failure::translationSource());
}

// SQL Server's reserved words that a reading SELECT may use. Every other reserved word, and
// every word below that begins a statement, is refused: SQL Server runs statements one after
// another without semicolons, so what is accepted is decided by what a SELECT is made of.
const QSet<QString> &readingReservedWords()
{
    static const QSet<QString> words{
        u"ALL"_s,       u"AND"_s,      u"ANY"_s,         u"AS"_s,
        u"ASC"_s,       u"BETWEEN"_s,  u"BY"_s,          u"CASE"_s,
        u"COALESCE"_s,  u"COLLATE"_s,  u"CONVERT"_s,     u"CROSS"_s,
        u"CURRENT_DATE"_s, u"CURRENT_TIME"_s, u"CURRENT_TIMESTAMP"_s, u"DESC"_s,
        u"DISTINCT"_s,  u"ELSE"_s,     u"END"_s,         u"ESCAPE"_s,
        u"EXCEPT"_s,    u"EXISTS"_s,   u"FROM"_s,        u"FULL"_s,
        u"GROUP"_s,     u"HAVING"_s,   u"IN"_s,          u"INNER"_s,
        u"INTERSECT"_s, u"IS"_s,       u"JOIN"_s,        u"LEFT"_s,
        u"LIKE"_s,      u"NOT"_s,      u"NULL"_s,        u"NULLIF"_s,
        u"ON"_s,        u"OR"_s,       u"ORDER"_s,       u"OUTER"_s,
        u"OVER"_s,      u"PERCENT"_s,  u"PIVOT"_s,       u"RIGHT"_s,
        u"SELECT"_s,    u"SOME"_s,     u"THEN"_s,        u"TOP"_s,
        u"TRY_CONVERT"_s, u"UNION"_s,  u"UNPIVOT"_s,     u"WHEN"_s,
        u"WHERE"_s,     u"WITH"_s,     u"WITHIN"_s};
    return words;
}

const QSet<QString> &reservedWords()
{
    static const QSet<QString> words = [] {
        QSet<QString> w{
            u"ADD"_s, u"ALTER"_s, u"AUTHORIZATION"_s, u"BACKUP"_s, u"BEGIN"_s, u"BREAK"_s,
            u"BROWSE"_s, u"BULK"_s, u"CASCADE"_s, u"CHECK"_s, u"CHECKPOINT"_s, u"CLOSE"_s,
            u"CLUSTERED"_s, u"COLUMN"_s, u"COMMIT"_s, u"COMPUTE"_s, u"CONSTRAINT"_s,
            u"CONTAINS"_s, u"CONTAINSTABLE"_s, u"CONTINUE"_s, u"CREATE"_s, u"CURRENT"_s,
            u"CURRENT_USER"_s, u"CURSOR"_s, u"DATABASE"_s, u"DBCC"_s, u"DEALLOCATE"_s,
            u"DECLARE"_s, u"DEFAULT"_s, u"DELETE"_s, u"DENY"_s, u"DISK"_s, u"DISTRIBUTED"_s,
            u"DOUBLE"_s, u"DROP"_s, u"DUMP"_s, u"ERRLVL"_s, u"EXEC"_s, u"EXECUTE"_s, u"EXIT"_s,
            u"EXTERNAL"_s, u"FETCH"_s, u"FILE"_s, u"FILLFACTOR"_s, u"FOR"_s, u"FOREIGN"_s,
            u"FREETEXT"_s, u"FREETEXTTABLE"_s, u"FUNCTION"_s, u"GOTO"_s, u"GRANT"_s,
            u"HOLDLOCK"_s, u"IDENTITY"_s, u"IDENTITY_INSERT"_s, u"IDENTITYCOL"_s, u"IF"_s,
            u"INDEX"_s, u"INSERT"_s, u"INTO"_s, u"KEY"_s, u"KILL"_s, u"LINENO"_s, u"LOAD"_s,
            u"MERGE"_s, u"NATIONAL"_s, u"NOCHECK"_s, u"NONCLUSTERED"_s, u"OF"_s, u"OFF"_s,
            u"OFFSETS"_s, u"OPEN"_s, u"OPENDATASOURCE"_s, u"OPENQUERY"_s, u"OPENROWSET"_s,
            u"OPENXML"_s, u"OPTION"_s, u"PLAN"_s, u"PRECISION"_s, u"PRIMARY"_s, u"PRINT"_s,
            u"PROC"_s, u"PROCEDURE"_s, u"PUBLIC"_s, u"RAISERROR"_s, u"READ"_s, u"READTEXT"_s,
            u"RECONFIGURE"_s, u"REFERENCES"_s, u"REPLICATION"_s, u"RESTORE"_s, u"RESTRICT"_s,
            u"RETURN"_s, u"REVERT"_s, u"REVOKE"_s, u"ROLLBACK"_s, u"ROWCOUNT"_s,
            u"ROWGUIDCOL"_s, u"RULE"_s, u"SAVE"_s, u"SCHEMA"_s, u"SECURITYAUDIT"_s,
            u"SEMANTICKEYPHRASETABLE"_s, u"SEMANTICSIMILARITYDETAILSTABLE"_s,
            u"SEMANTICSIMILARITYTABLE"_s, u"SESSION_USER"_s, u"SET"_s, u"SETUSER"_s,
            u"SHUTDOWN"_s, u"STATISTICS"_s, u"SYSTEM_USER"_s, u"TABLE"_s, u"TABLESAMPLE"_s,
            u"TEXTSIZE"_s, u"TO"_s, u"TRAN"_s, u"TRANSACTION"_s, u"TRIGGER"_s, u"TRUNCATE"_s,
            u"TSEQUAL"_s, u"UNIQUE"_s, u"UPDATE"_s, u"UPDATETEXT"_s, u"USE"_s, u"USER"_s,
            u"VALUES"_s, u"VARYING"_s, u"VIEW"_s, u"WAITFOR"_s, u"WHILE"_s, u"WRITETEXT"_s};
        w.unite(readingReservedWords());
        return w;
    }();
    return words;
}

// Words that are not reserved but begin a statement that is no SELECT: SQL Server's service
// broker and error statements, SQLite's statements.
const QSet<QString> &statementWords()
{
    static const QSet<QString> words{
        u"RECEIVE"_s, u"SEND"_s,    u"MOVE"_s,      u"GET"_s,     u"THROW"_s,   u"ENABLE"_s,
        u"DISABLE"_s, u"CONVERSATION"_s, u"ATTACH"_s, u"DETACH"_s, u"PRAGMA"_s, u"VACUUM"_s,
        u"REINDEX"_s, u"ANALYZE"_s, u"SAVEPOINT"_s, u"RELEASE"_s, u"RETURNING"_s};
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

// The translation descends once per parenthesis and per JOIN nested on the right; real queries
// nest a handful deep, and the limit keeps a hostile statement from exhausting the stack.
constexpr int maxNesting = 200;

class Translation
{
public:
    Translation(const QString &sql, SqlDialect target, SqlTranslator::LeftFunction left)
        : m_sql(sql), m_target(target), m_left(left),
          m_tokens(SqlTokenizer::tokenize(sql, target))
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
        if (m_target == SqlDialect::Sqlite) {
            rewriteTokens();
            processLevel(0, int(m_sig.size()));
        }
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
                if (open.size() > size_t(maxNesting))
                    fail(u"The statement nests parentheses more than %1 deep"_s.arg(maxNesting));
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
        const int count = int(m_sig.size());
        for (int s = 0; s < count; ++s) {
            const SqlToken &t = tok(s);
            if (t.kind == SqlToken::Kind::Parameter)
                fail(u"Parameters and variables such as %1 cannot be used: nothing supplies their "
                     u"value; write the value into the statement"_s.arg(text(s).toString()));
            if (isPunct(s, u";") && s != count - 1)
                fail(u"Only one statement can be run at a time"_s);
            // A driver that processes escapes reads "{" anywhere but inside a string literal,
            // quoted names included.
            if (t.kind != SqlToken::Kind::String &&
                (text(s).contains(u'{') || text(s).contains(u'}')))
                fail(u"ODBC escape sequences ({...}) cannot be run"_s);
            if (t.kind != SqlToken::Kind::Word)
                continue;
            const QString w = upper(s);
            const bool reserved = reservedWords().contains(w);
            if ((reserved && !readingReservedWords().contains(w)) ||
                (statementWords().contains(w) && !isPunct(s + 1, u"(")) ||
                (w == u"REPLACE"_s && !isPunct(s + 1, u"(")))
                fail(u"Only reading statements can be run; %1 is not allowed"_s.arg(w));
        }
        checkShape();
    }

    // One SELECT, optionally after WITH and its common table expressions; further SELECTs
    // only inside parentheses or after UNION, EXCEPT and INTERSECT.
    void checkShape() const
    {
        const int count = int(m_sig.size());
        int s = 0;
        if (isWord(s, u"WITH")) {
            ++s;
            if (isWord(s, u"RECURSIVE"))
                ++s;
            for (;;) {
                if (s >= count || (tok(s).kind != SqlToken::Kind::Word &&
                                   tok(s).kind != SqlToken::Kind::QuotedName))
                    fail(u"A name of a common table expression was expected, not %1"_s.arg(
                        describe(s)));
                m_cteNames.insert(s);
                ++s;
                if (isPunct(s, u"("))
                    s = m_match[size_t(s)] + 1;
                if (!isWord(s, u"AS"))
                    fail(u"AS was expected in WITH, not %1"_s.arg(describe(s)));
                ++s;
                if (isWord(s, u"NOT"))
                    ++s;
                if (isWord(s, u"MATERIALIZED"))
                    ++s;
                if (!isPunct(s, u"(") || !isWord(s + 1, u"SELECT"))
                    fail(u"A common table expression must be a SELECT in parentheses"_s);
                s = m_match[size_t(s)] + 1;
                if (!isPunct(s, u","))
                    break;
                ++s;
            }
        }
        int first = s;
        while (isPunct(first, u"("))
            ++first;
        if (!isWord(first, u"SELECT"))
            fail(u"Only a SELECT statement can be run; the statement begins with %1"_s.arg(
                describe(first)));
        for (int k = 0; k < count; ++k) {
            if (!isWord(k, u"SELECT") || k == first)
                continue;
            const bool afterSetOperator = isWord(k - 1, u"UNION") || isWord(k - 1, u"EXCEPT") ||
                                          isWord(k - 1, u"INTERSECT") ||
                                          (isWord(k - 1, u"ALL") && isWord(k - 2, u"UNION"));
            if (!isPunct(k - 1, u"(") && !afterSetOperator)
                fail(u"Only one statement can be run at a time; a second SELECT begins at "
                     u"character %1"_s.arg(tok(k).start + 1));
        }
        // Nothing may follow a statement wrapped whole in parentheses but a set operator.
        for (int k = s; k < count; ++k) {
            if (!isPunct(k, u"(") || !(k == s || isWord(k - 1, u"UNION") || isWord(k - 1, u"ALL") ||
                                       isWord(k - 1, u"EXCEPT") || isWord(k - 1, u"INTERSECT")))
                continue;
            const int close = m_match[size_t(k)];
            if (!isWord(k + 1, u"SELECT") && !isPunct(k + 1, u"("))
                continue;
            const int after = close + 1;
            if (after < count && !isPunct(after, u";") && !isWord(after, u"UNION") &&
                !isWord(after, u"EXCEPT") && !isWord(after, u"INTERSECT") &&
                !isWord(after, u"ORDER") && !isPunct(after, u")"))
                fail(u"Only one statement can be run at a time; %1 follows a whole query"_s.arg(
                    describe(after)));
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
        if (!isPunct(s + 1, u"(") || keywordsBeforeParen().contains(w) || m_cteNames.count(s))
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
        if (++m_joinNesting > maxNesting)
            fail(u"The statement nests joins more than %1 deep"_s.arg(maxNesting));
        Span node = parseTableSource(s, end);
        while (s < end && isJoinStart(s))
            node = joinOnto(node, s, end);
        --m_joinNesting;
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
    // The statement re-rendered from the checked tokens only: every comment becomes a space
    // and the closing ";" goes, so that no driver can find in it what the check did not see.
    QString emit() const
    {
        QString out;
        out.reserve(m_sql.size() + 32);
        const int closing = isPunct(int(m_sig.size()) - 1, u";") ? m_sig.back() : -1;
        for (int i = 0; i < int(m_tokens.size()); ++i) {
            const SqlToken &t = m_tokens[size_t(i)];
            if (t.kind == SqlToken::Kind::Comment) {
                out += u' ';
                continue;
            }
            if (i == closing)
                continue;
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
    int m_joinNesting = 0;
    mutable std::set<int> m_cteNames; // significant positions of WITH's names, found by the check
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

#include "db/SqlTokenizer.h"

#include "db/Failure.h"

using namespace Qt::StringLiterals;

namespace {

[[noreturn]] void fail(const QString &what, qsizetype at)
{
    throw Failure(u"%1 starting at character %2 of the statement"_s.arg(what).arg(at + 1),
                  Failure::translationSource());
}

// Position just past the quote that closes a quoted text starting at from; a doubled quote is
// one quote inside the text when doubling is allowed. -1 when the text never closes.
qsizetype closingQuote(QStringView sql, qsizetype from, QChar quote, bool doubling = true)
{
    qsizetype i = from;
    while (i < sql.size()) {
        if (sql[i] == quote) {
            if (doubling && i + 1 < sql.size() && sql[i + 1] == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return -1;
}

// The lexical rules of one dialect.
class Lexer
{
public:
    Lexer(QStringView sql, SqlDialect dialect)
        : m_sql(sql), m_sqlite(dialect == SqlDialect::Sqlite)
    {
    }

    std::vector<SqlToken> run()
    {
        std::vector<SqlToken> tokens;
        const qsizetype n = m_sql.size();
        qsizetype i = 0;
        while (i < n) {
            const qsizetype start = i;
            const SqlToken::Kind kind = next(i);
            tokens.push_back({kind, start, i - start});
        }
        return tokens;
    }

private:
    static bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
    QChar at(qsizetype k) const { return k < m_sql.size() ? m_sql[k] : QChar(); }

    // SQLite takes only ASCII white space as space and every other non-ASCII character as
    // part of a name.
    bool isSpace(QChar c) const
    {
        if (m_sqlite)
            return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
        return c.isSpace();
    }
    bool isWordStart(QChar c) const
    {
        if (m_sqlite)
            return (c.unicode() < 128 && c.isLetter()) || c == u'_' ||
                   (c.unicode() >= 128 && !isSpace(c));
        return c.isLetter() || c == u'_' || c == u'#';
    }
    bool isWordPart(QChar c) const
    {
        if (m_sqlite)
            return isWordStart(c) || isDigit(c) || c == u'$';
        return c.isLetterOrNumber() || c == u'_' || c == u'#' || c == u'$' || c == u'@';
    }
    // SQLite reads a name after @, :, $ and # as a parameter; SQL Server reads @name as a
    // variable, $ followed by digits as money, and drivers take :name for a parameter.
    bool isParameterStart(qsizetype i) const
    {
        const QChar c = m_sql[i];
        if (c == u'?' || c == u'@')
            return true;
        if (c == u'$')
            return isWordPart(at(i + 1)) || isDigit(at(i + 1));
        if (c == u':' || (m_sqlite && c == u'#'))
            return isWordPart(at(i + 1)) || isDigit(at(i + 1));
        return false;
    }

    SqlToken::Kind next(qsizetype &i) const
    {
        const qsizetype n = m_sql.size();
        const qsizetype start = i;
        const QChar c = m_sql[i];

        if (isSpace(c)) {
            while (i < n && isSpace(m_sql[i]))
                ++i;
            return SqlToken::Kind::Whitespace;
        }
        if (c == u'-' && at(i + 1) == u'-') {
            // SQLite ends the comment at a line feed only; on SQL Server a carriage return
            // ends it too, so that no text after one is taken for a comment by mistake.
            while (i < n && m_sql[i] != u'\n' && (m_sqlite || m_sql[i] != u'\r'))
                ++i;
            return SqlToken::Kind::Comment;
        }
        if (c == u'/' && at(i + 1) == u'*') {
            blockComment(i);
            return SqlToken::Kind::Comment;
        }
        if (c == u'\'' || ((c == u'N' || c == u'n') && at(i + 1) == u'\'')) {
            i = closingQuote(m_sql, i + (c == u'\'' ? 1 : 2), u'\'');
            if (i < 0)
                fail(u"Unterminated string literal"_s, start);
            return SqlToken::Kind::String;
        }
        if (c == u'"' || c == u'[' || (m_sqlite && c == u'`')) {
            const QChar close = c == u'[' ? u']' : c;
            // SQLite ends [name] at the first "]"; SQL Server reads "]]" as one "]".
            i = closingQuote(m_sql, i + 1, close, !(m_sqlite && c == u'['));
            if (i < 0)
                fail(u"Unterminated quoted name"_s, start);
            return SqlToken::Kind::QuotedName;
        }
        if (isDigit(c) || (c == u'.' && isDigit(at(i + 1)))) {
            // SQL Server ends a number at the first character that cannot continue it, so
            // "1AND" is the number 1 followed by the word AND.
            while (i < n && isDigit(m_sql[i]))
                ++i;
            if (at(i) == u'.') {
                ++i;
                while (i < n && isDigit(m_sql[i]))
                    ++i;
            }
            if ((at(i) == u'e' || at(i) == u'E') &&
                (isDigit(at(i + 1)) ||
                 ((at(i + 1) == u'+' || at(i + 1) == u'-') && isDigit(at(i + 2))))) {
                i += 2;
                while (i < n && isDigit(m_sql[i]))
                    ++i;
            }
            return SqlToken::Kind::Number;
        }
        if (isParameterStart(i)) {
            ++i;
            while (i < n && (isWordPart(m_sql[i]) || isDigit(m_sql[i])))
                ++i;
            return SqlToken::Kind::Parameter;
        }
        if (isWordStart(c)) {
            while (i < n && isWordPart(m_sql[i]))
                ++i;
            return SqlToken::Kind::Word;
        }
        static const QStringView twoChar[] = {u"<=", u">=", u"<>", u"!=",
                                              u"!<", u"!>", u"||", u"::"};
        i += 1;
        for (QStringView op : twoChar) {
            if (m_sql.mid(start, 2) == op) {
                i = start + 2;
                break;
            }
        }
        return SqlToken::Kind::Punct;
    }

    // SQL Server nests /* */ comments; SQLite ends one at the first "*/". An unterminated
    // comment is refused on both, although SQLite would run it to the end of the text.
    void blockComment(qsizetype &i) const
    {
        const qsizetype n = m_sql.size();
        const qsizetype start = i;
        int depth = 0;
        do {
            if (m_sql[i] == u'/' && at(i + 1) == u'*' && (depth == 0 || !m_sqlite)) {
                ++depth;
                i += 2;
            } else if (m_sql[i] == u'*' && at(i + 1) == u'/') {
                --depth;
                i += 2;
            } else {
                ++i;
            }
        } while (depth > 0 && i < n);
        if (depth > 0)
            fail(u"Unterminated comment"_s, start);
    }

    QStringView m_sql;
    bool m_sqlite;
};

} // namespace

std::vector<SqlToken> SqlTokenizer::tokenize(QStringView sql, SqlDialect dialect)
{
    return Lexer(sql, dialect).run();
}

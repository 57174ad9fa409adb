#include "db/SqlTokenizer.h"

#include "db/Failure.h"

using namespace Qt::StringLiterals;

namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'#';
}

bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'#' || c == u'$' || c == u'@';
}

[[noreturn]] void fail(const QString &what, qsizetype at)
{
    throw Failure(u"%1 starting at character %2 of the statement"_s.arg(what).arg(at + 1),
                  Failure::translationSource());
}

// Position just past the quote that closes a quoted text starting at from; a doubled quote is
// one quote inside the text. -1 when the text never closes.
qsizetype closingQuote(QStringView sql, qsizetype from, QChar quote)
{
    qsizetype i = from;
    while (i < sql.size()) {
        if (sql[i] == quote) {
            if (i + 1 < sql.size() && sql[i + 1] == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return -1;
}

} // namespace

std::vector<SqlToken> SqlTokenizer::tokenize(QStringView sql)
{
    std::vector<SqlToken> tokens;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto at = [&](qsizetype k) { return k < n ? sql[k] : QChar(); };

    while (i < n) {
        const qsizetype start = i;
        const QChar c = sql[i];
        SqlToken::Kind kind;

        if (c.isSpace()) {
            while (i < n && sql[i].isSpace())
                ++i;
            kind = SqlToken::Kind::Whitespace;
        } else if (c == u'-' && at(i + 1) == u'-') {
            while (i < n && sql[i] != u'\n')
                ++i;
            kind = SqlToken::Kind::Comment;
        } else if (c == u'/' && at(i + 1) == u'*') {
            int depth = 0;
            do {
                if (sql[i] == u'/' && at(i + 1) == u'*') {
                    ++depth;
                    i += 2;
                } else if (sql[i] == u'*' && at(i + 1) == u'/') {
                    --depth;
                    i += 2;
                } else {
                    ++i;
                }
            } while (depth > 0 && i < n);
            if (depth > 0)
                fail(u"Unterminated comment"_s, start);
            kind = SqlToken::Kind::Comment;
        } else if (c == u'\'' || ((c == u'N' || c == u'n') && at(i + 1) == u'\'')) {
            i = closingQuote(sql, i + (c == u'\'' ? 1 : 2), u'\'');
            if (i < 0)
                fail(u"Unterminated string literal"_s, start);
            kind = SqlToken::Kind::String;
        } else if (c == u'"' || c == u'[') {
            i = closingQuote(sql, i + 1, c == u'"' ? u'"' : u']');
            if (i < 0)
                fail(u"Unterminated quoted name"_s, start);
            kind = SqlToken::Kind::QuotedName;
        } else if (c.isDigit() || (c == u'.' && at(i + 1).isDigit())) {
            // SQL Server ends a number at the first character that cannot continue it, so
            // "1AND" is the number 1 followed by the word AND.
            while (i < n && sql[i].isDigit())
                ++i;
            if (at(i) == u'.') {
                ++i;
                while (i < n && sql[i].isDigit())
                    ++i;
            }
            if ((at(i) == u'e' || at(i) == u'E') &&
                (at(i + 1).isDigit() ||
                 ((at(i + 1) == u'+' || at(i + 1) == u'-') && at(i + 2).isDigit()))) {
                i += 2;
                while (i < n && sql[i].isDigit())
                    ++i;
            }
            kind = SqlToken::Kind::Number;
        } else if (c == u'@') {
            ++i;
            while (i < n && isWordPart(sql[i]))
                ++i;
            kind = SqlToken::Kind::Variable;
        } else if (isWordStart(c)) {
            while (i < n && isWordPart(sql[i]))
                ++i;
            kind = SqlToken::Kind::Word;
        } else {
            static const QStringView twoChar[] = {u"<=", u">=", u"<>", u"!=",
                                                  u"!<", u"!>", u"||", u"::"};
            i += 1;
            for (QStringView op : twoChar) {
                if (sql.mid(start, 2) == op) {
                    i = start + 2;
                    break;
                }
            }
            kind = SqlToken::Kind::Punct;
        }
        tokens.push_back({kind, start, i - start});
    }
    return tokens;
}

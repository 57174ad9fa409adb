#include "db/SelectListNames.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace {

QString unquote(QStringView name)
{
    if (name.size() >= 2 &&
        (name.front() == u'"' || name.front() == u'[' || name.front() == u'`')) {
        const QChar close = name.front() == u'[' ? u']' : name.front();
        QString inner = name.mid(1, name.size() - 2).toString();
        inner.replace(QString(2, close), QString(close));
        return inner;
    }
    return name.toString();
}

bool isKeyword(QStringView word)
{
    static const QSet<QString> words{u"END"_s,  u"NULL"_s, u"AND"_s,  u"OR"_s,   u"NOT"_s,
                                     u"THEN"_s, u"ELSE"_s, u"WHEN"_s, u"CASE"_s, u"IS"_s};
    return words.contains(word.toString().toUpper());
}

} // namespace

QStringList SelectListNames::extract(const QString &sql, const std::vector<SqlToken> &tokens)
{
    std::vector<const SqlToken *> sig;
    for (const SqlToken &t : tokens) {
        if (t.isSignificant())
            sig.push_back(&t);
    }
    auto text = [&](size_t k) { return QStringView(sql).mid(sig[k]->start, sig[k]->length); };
    auto isWord = [&](size_t k, QStringView w) {
        return k < sig.size() && sig[k]->kind == SqlToken::Kind::Word &&
               text(k).compare(w, Qt::CaseInsensitive) == 0;
    };

    // The first SELECT outside any parentheses (after a WITH's definitions).
    size_t s = 0;
    int depth = 0;
    for (; s < sig.size(); ++s) {
        if (text(s) == u"(")
            ++depth;
        else if (text(s) == u")")
            --depth;
        else if (depth == 0 && isWord(s, u"SELECT"))
            break;
    }
    if (s >= sig.size())
        return {};
    ++s;
    if (isWord(s, u"DISTINCT") || isWord(s, u"ALL"))
        ++s;
    if (isWord(s, u"TOP"))
        s += 2;

    QStringList names;
    std::vector<size_t> item;
    auto finishItem = [&]() {
        if (item.empty())
            return;
        const size_t last = item.back();
        const SqlToken::Kind kind = sig[last]->kind;
        QString name;
        if (text(last) == u"*") {
            name = u"*"_s;
        } else if (kind == SqlToken::Kind::Word || kind == SqlToken::Kind::QuotedName) {
            if (item.size() == 1) {
                name = unquote(text(last));
            } else {
                const QStringView before = text(item[item.size() - 2]);
                bool dottedName = true;
                for (size_t k = 0; k < item.size(); ++k) {
                    const bool namePart = (k % 2 == 0);
                    const SqlToken::Kind kk = sig[item[k]]->kind;
                    if (namePart !=
                            (kk == SqlToken::Kind::Word || kk == SqlToken::Kind::QuotedName) ||
                        (!namePart && text(item[k]) != u"."))
                        dottedName = false;
                }
                if (dottedName) {
                    name = unquote(text(last));
                } else if (before.compare(u"AS", Qt::CaseInsensitive) == 0) {
                    name = unquote(text(last));
                } else {
                    const SqlToken::Kind bk = sig[item[item.size() - 2]]->kind;
                    // "expr alias": the alias follows a closing parenthesis, a literal or a
                    // name; after an operator or a dot the last word belongs to the expression.
                    const bool aliasFollows =
                        before == u")" || bk == SqlToken::Kind::Number ||
                        bk == SqlToken::Kind::String ||
                        ((bk == SqlToken::Kind::Word || bk == SqlToken::Kind::QuotedName) &&
                         !isKeyword(text(last)));
                    if (aliasFollows && !isKeyword(text(last)))
                        name = unquote(text(last));
                }
            }
        }
        names.append(name);
        item.clear();
    };

    depth = 0;
    for (; s < sig.size(); ++s) {
        const QStringView t = text(s);
        if (depth == 0) {
            if (sig[s]->kind == SqlToken::Kind::Word &&
                (isWord(s, u"FROM") || isWord(s, u"UNION") || isWord(s, u"EXCEPT") ||
                 isWord(s, u"INTERSECT") || isWord(s, u"ORDER") || isWord(s, u"WHERE") ||
                 isWord(s, u"GROUP")))
                break;
            if (t == u";" || t == u")")
                break;
            if (t == u",") {
                finishItem();
                continue;
            }
        }
        if (t == u"(")
            ++depth;
        else if (t == u")")
            --depth;
        item.push_back(s);
    }
    finishItem();
    return names;
}

QStringList SelectListNames::resolve(const QStringList &queryNames, const QStringList &engineNames)
{
    QStringList result = engineNames;
    const qsizetype wildcards = queryNames.count(u"*"_s);
    if (queryNames.isEmpty())
        return result;
    if (wildcards == 0 && queryNames.size() != engineNames.size())
        return result;
    if (wildcards > 0 && queryNames.size() - wildcards > engineNames.size())
        return result;

    // Items before the first wildcard name the first columns, items after the last name the
    // last columns.
    const qsizetype firstWild = queryNames.indexOf(u"*"_s);
    const qsizetype lastWild = queryNames.lastIndexOf(u"*"_s);
    const qsizetype head = wildcards == 0 ? queryNames.size() : firstWild;
    for (qsizetype i = 0; i < head; ++i) {
        if (!queryNames[i].isEmpty())
            result[i] = queryNames[i];
    }
    if (wildcards > 0) {
        const qsizetype tail = queryNames.size() - lastWild - 1;
        for (qsizetype k = 0; k < tail; ++k) {
            const QString &name = queryNames[lastWild + 1 + k];
            if (!name.isEmpty())
                result[engineNames.size() - tail + k] = name;
        }
    }
    return result;
}

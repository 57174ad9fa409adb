#include "host/AccessKeys.h"

using namespace Qt::StringLiterals;

namespace AccessKeys {

QStringList assign(const QStringList &texts, QSet<QChar> taken)
{
    QStringList marked;
    for (const QString &text : texts) {
        int chosen = -1;
        // Word initials first: they are what a user guesses.
        for (int pass = 0; pass < 2 && chosen < 0; ++pass) {
            for (int i = 0; i < text.size(); ++i) {
                const QChar c = text[i];
                const bool initial = i == 0 || !text[i - 1].isLetterOrNumber();
                if (!c.isLetterOrNumber() || (pass == 0 && !initial) ||
                    taken.contains(c.toLower()))
                    continue;
                chosen = i;
                break;
            }
        }
        QString result;
        for (int i = 0; i < text.size(); ++i) {
            if (i == chosen)
                result += u'&';
            result += text[i] == u'&' ? u"&&"_s : QString(text[i]);
        }
        if (chosen >= 0)
            taken.insert(text[chosen].toLower());
        marked.append(result);
    }
    return marked;
}

QChar of(const QString &text)
{
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] != u'&')
            return text[i + 1].toLower();
        ++i; // an ampersand written out
    }
    return {};
}

} // namespace AccessKeys

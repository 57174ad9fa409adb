#include "db/OdbcConnectionString.h"

#include <algorithm>

using namespace Qt::StringLiterals;

OdbcConnectionString::OdbcConnectionString(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        while (i < n && (text[i] == u';' || text[i] == u' ' || text[i] == u'\t'))
            ++i;
        if (i >= n)
            break;
        const qsizetype eq = text.indexOf(u'=', i);
        const qsizetype semicolon = text.indexOf(u';', i);
        QString key;
        QString value; // null for a part without "=", kept as it stands for the driver to judge
        qsizetype end;
        if (eq < 0 || (semicolon >= 0 && semicolon < eq)) {
            end = semicolon < 0 ? n : semicolon;
            key = text.mid(i, end - i);
        } else {
            key = text.mid(i, eq - i);
            const qsizetype j = eq + 1;
            if (j < n && text[j] == u'{') {
                // {value} may hold ";" and "}}" stands for "}"; what follows the closing brace
                // up to the next ";" is ignored, as the driver manager ignores it.
                qsizetype k = j + 1;
                while (k < n && !(text[k] == u'}' && (k + 1 >= n || text[k + 1] != u'}')))
                    k += text[k] == u'}' ? 2 : 1;
                value = text.mid(j, qMin(k + 1, n) - j);
                const qsizetype next = text.indexOf(u';', qMin(k + 1, n));
                end = next < 0 ? n : next;
            } else {
                end = semicolon < 0 ? n : semicolon;
                value = text.mid(j, end - j);
                if (value.isNull())
                    value = u""_s;
            }
        }
        set(key, value);
        i = end;
    }
}

QString OdbcConnectionString::value(const QString &key) const
{
    for (const auto &[k, v] : m_attributes) {
        if (k.compare(key, Qt::CaseInsensitive) == 0) {
            if (v.startsWith(u'{') && v.endsWith(u'}') && v.size() >= 2)
                return v.mid(1, v.size() - 2).replace(u"}}"_s, u"}"_s);
            return v;
        }
    }
    return {};
}

bool OdbcConnectionString::contains(const QString &key) const
{
    return std::any_of(m_attributes.begin(), m_attributes.end(), [&](const auto &a) {
        return a.first.compare(key, Qt::CaseInsensitive) == 0;
    });
}

void OdbcConnectionString::set(const QString &key, const QString &value)
{
    std::erase_if(m_attributes,
                  [&](const auto &a) { return a.first.compare(key, Qt::CaseInsensitive) == 0; });
    m_attributes.emplace_back(key, value);
}

QString OdbcConnectionString::toString() const
{
    QStringList parts;
    for (const auto &[k, v] : m_attributes)
        parts.append(v.isNull() ? k : k + u'=' + v);
    return parts.join(u';') + u';';
}

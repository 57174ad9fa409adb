#include "db/SqlText.h"

using namespace Qt::StringLiterals;

namespace SqlText {

QString literalInside(const QString &text)
{
    return QString(text).replace(u"'"_s, u"''"_s);
}

} // namespace SqlText

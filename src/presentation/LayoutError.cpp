#include "presentation/LayoutError.h"

using namespace Qt::StringLiterals;

LayoutError::LayoutError(const QString &file, const QString &where, const QString &message)
    : Failure(u"Report layout %1, at %2: %3"_s.arg(file, where, message), Failure::layoutSource()),
      m_file(file), m_where(where), m_message(message)
{
}


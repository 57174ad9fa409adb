#include "presentation/ReportObject.h"

#include "db/Failure.h"

using namespace Qt::StringLiterals;

namespace {

ReportObject::Kind kindOf(ObjectType type)
{
    switch (type) {
    case ObjectType::Text:
        return ReportObject::Kind::Text;
    case ObjectType::Field:
    case ObjectType::Summary:
    case ObjectType::Special:
    case ObjectType::Parameter:
        return ReportObject::Kind::Field;
    case ObjectType::Box:
        return ReportObject::Kind::Box;
    case ObjectType::Line:
    case ObjectType::Chart:
        break;
    }
    return ReportObject::Kind::Other;
}

} // namespace

ReportObject::ReportObject(const LayoutObject &layout)
    : m_layout(layout), m_kind(kindOf(layout.type)), m_text(layout.text),
      m_backColor(layout.backColor), m_fillColor(layout.fillColor)
{
}

void ReportObject::SetText(const QString &text)
{
    if (m_kind != Kind::Text)
        throw Failure(u"The report object %1 is not a text object"_s.arg(Name()),
                      Failure::engineSource());
    m_text = text;
}

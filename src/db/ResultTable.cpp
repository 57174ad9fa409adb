#include "db/ResultTable.h"

#include <charconv>
#include <stdexcept>

using namespace Qt::StringLiterals;

ResultTable::ResultTable(const QStringList &columnNames)
{
    m_columns.resize(size_t(columnNames.size()));
    for (qsizetype i = 0; i < columnNames.size(); ++i) {
        m_columns[size_t(i)].name = columnNames[i];
        const QString key = columnNames[i].toLower();
        if (!m_index.contains(key))
            m_index.insert(key, int(i));
    }
}

QStringList ResultTable::columnNames() const
{
    QStringList names;
    for (const Column &c : m_columns)
        names.append(c.name);
    return names;
}

int ResultTable::columnIndex(QStringView name) const
{
    return m_index.value(name.toString().toLower(), -1);
}

// Makes the column ready to take a value of the incoming type, converting what it holds
// when the type changes: integers widen to reals; any other mix keeps each value's own type.
ResultTable::Column &ResultTable::convert(Column &c, Type incoming)
{
    if (incoming == Type::Null)
        return c;
    if (c.type == Type::Null) {
        const size_t n = c.size();
        c.type = incoming;
        switch (incoming) {
        case Type::Integer:
        case Type::Date:
        case Type::DateTime:
            c.ints.assign(n, 0);
            break;
        case Type::Real:
            c.reals.assign(n, 0.0);
            break;
        case Type::Text:
            c.texts.assign(n, 0);
            break;
        case Type::Variant:
            c.variants.assign(n, QVariant());
            break;
        case Type::Null:
            break;
        }
        return c;
    }
    if (c.type == Type::Integer && incoming == Type::Real) {
        c.reals.reserve(c.ints.capacity());
        for (qint64 v : c.ints)
            c.reals.push_back(double(v));
        std::vector<qint64>().swap(c.ints);
        c.type = Type::Real;
        return c;
    }
    if (c.type == Type::Real && incoming == Type::Integer)
        return c; // stored as a real
    if (c.type != Type::Variant)
        toVariant(c);
    return c;
}

void ResultTable::toVariant(Column &c)
{
    std::vector<QVariant> variants;
    variants.reserve(c.size());
    for (size_t r = 0; r < c.size(); ++r)
        variants.push_back(cellVariant(c, r));
    c.variants.swap(variants);
    std::vector<qint64>().swap(c.ints);
    std::vector<double>().swap(c.reals);
    std::vector<uint32_t>().swap(c.texts);
    c.type = Type::Variant;
}

void ResultTable::appendNull(int column)
{
    Column &c = m_columns[size_t(column)];
    c.nulls.push_back(true);
    switch (c.type) {
    case Type::Integer:
    case Type::Date:
    case Type::DateTime:
        c.ints.push_back(0);
        break;
    case Type::Real:
        c.reals.push_back(0.0);
        break;
    case Type::Text:
        c.texts.push_back(0);
        break;
    case Type::Variant:
        c.variants.emplace_back();
        break;
    case Type::Null:
        break;
    }
}

void ResultTable::appendInteger(int column, qint64 value)
{
    Column &c = prepare(column, Type::Integer);
    c.nulls.push_back(false);
    m_rawBytes += 8;
    if (c.type == Type::Real)
        c.reals.push_back(double(value));
    else if (c.type == Type::Variant)
        c.variants.emplace_back(value);
    else
        c.ints.push_back(value);
}

void ResultTable::appendReal(int column, double value)
{
    Column &c = prepare(column, Type::Real);
    c.nulls.push_back(false);
    m_rawBytes += 8;
    if (c.type == Type::Variant)
        c.variants.emplace_back(value);
    else
        c.reals.push_back(value);
}

void ResultTable::appendText(int column, std::string_view utf8)
{
    Column &c = prepare(column, Type::Text);
    c.nulls.push_back(false);
    m_rawBytes += utf8.size();
    if (c.type == Type::Variant) {
        c.variants.emplace_back(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
        return;
    }
    // A column whose first texts are mostly different (ids, names, addresses) will go on that
    // way: keep them as they come instead of looking each one up.
    if (c.texts.size() == 2048 && c.pool.deduplicates() && c.pool.size() > 1024)
        c.pool.stopDeduplicating();
    c.texts.push_back(c.pool.intern(utf8));
}

void ResultTable::appendDate(int column, QDate value)
{
    if (!value.isValid()) {
        appendNull(column);
        return;
    }
    Column &c = prepare(column, Type::Date);
    c.nulls.push_back(false);
    m_rawBytes += 8;
    if (c.type == Type::Variant)
        c.variants.emplace_back(value);
    else
        c.ints.push_back(value.toJulianDay());
}

void ResultTable::appendDateTime(int column, const QDateTime &value)
{
    if (!value.isValid()) {
        appendNull(column);
        return;
    }
    Column &c = prepare(column, Type::DateTime);
    c.nulls.push_back(false);
    m_rawBytes += 8;
    if (c.type == Type::Variant)
        c.variants.emplace_back(value);
    else
        c.ints.push_back(QDateTime(value.date(), value.time(), Qt::UTC).toMSecsSinceEpoch());
}

void ResultTable::appendVariant(int column, const QVariant &value)
{
    if (value.isNull()) {
        appendNull(column);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        appendInteger(column, value.toLongLong());
        return;
    case QMetaType::Bool:
        appendInteger(column, value.toBool() ? 1 : 0);
        return;
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        appendReal(column, value.toDouble());
        return;
    case QMetaType::QString: {
        const QByteArray utf8 = value.toString().toUtf8();
        appendText(column, std::string_view(utf8.constData(), size_t(utf8.size())));
        return;
    }
    case QMetaType::QDate:
        appendDate(column, value.toDate());
        return;
    case QMetaType::QDateTime:
        appendDateTime(column, value.toDateTime());
        return;
    default:
        break;
    }
    Column &c = prepare(column, Type::Variant);
    c.nulls.push_back(false);
    m_rawBytes += 8;
    c.variants.push_back(value);
}

void ResultTable::finish()
{
    m_rowCount = m_columns.empty() ? 0 : int(m_columns.front().size());
    for (Column &c : m_columns) {
        if (int(c.size()) != m_rowCount)
            throw std::logic_error("result columns of different lengths");
        c.pool.finish();
        c.ints.shrink_to_fit();
        c.reals.shrink_to_fit();
        c.texts.shrink_to_fit();
        c.nulls.shrink_to_fit();
    }
}

QVariant ResultTable::cellVariant(const Column &c, size_t row)
{
    if (c.nulls[row])
        return QVariant();
    switch (c.type) {
    case Type::Integer:
        return QVariant(c.ints[row]);
    case Type::Real:
        return QVariant(c.reals[row]);
    case Type::Text:
        return QVariant(c.pool.string(c.texts[row]));
    case Type::Date:
        return QVariant(QDate::fromJulianDay(c.ints[row]));
    case Type::DateTime:
        return QVariant(QDateTime::fromMSecsSinceEpoch(c.ints[row], Qt::UTC));
    case Type::Variant:
        return c.variants[row];
    case Type::Null:
        break;
    }
    return QVariant();
}

QVariant ResultTable::value(int column, int row) const
{
    return cellVariant(m_columns[size_t(column)], size_t(row));
}

double ResultTable::number(int column, int row) const
{
    const Column &c = m_columns[size_t(column)];
    const size_t r = size_t(row);
    if (c.nulls[r])
        return 0.0;
    switch (c.type) {
    case Type::Integer:
        return double(c.ints[r]);
    case Type::Real:
        return c.reals[r];
    case Type::Text: {
        const std::string_view v = c.pool.view(c.texts[r]);
        double d = 0.0;
        std::from_chars(v.data(), v.data() + v.size(), d);
        return d;
    }
    case Type::Variant:
        return c.variants[r].toDouble();
    default:
        return 0.0;
    }
}

QString ResultTable::formatReal(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString ResultTable::text(int column, int row) const
{
    const Column &c = m_columns[size_t(column)];
    const size_t r = size_t(row);
    if (c.nulls[r])
        return QString();
    switch (c.type) {
    case Type::Integer:
        return QString::number(c.ints[r]);
    case Type::Real:
        return formatReal(c.reals[r]);
    case Type::Text:
        return c.pool.string(c.texts[r]);
    case Type::Date:
        return QDate::fromJulianDay(c.ints[r]).toString(Qt::ISODate);
    case Type::DateTime: {
        const QDateTime dt = QDateTime::fromMSecsSinceEpoch(c.ints[r], Qt::UTC);
        return dt.time() == QTime(0, 0) ? dt.date().toString(Qt::ISODate)
                                        : dt.toString(u"yyyy-MM-dd HH:mm:ss"_s);
    }
    case Type::Variant: {
        const QVariant &v = c.variants[r];
        if (v.typeId() == QMetaType::Double)
            return formatReal(v.toDouble());
        return v.toString();
    }
    case Type::Null:
        break;
    }
    return QString();
}

bool ResultTable::sameValue(int column, int rowA, int rowB) const
{
    const Column &c = m_columns[size_t(column)];
    const size_t a = size_t(rowA);
    const size_t b = size_t(rowB);
    if (c.nulls[a] || c.nulls[b])
        return c.nulls[a] == c.nulls[b];
    switch (c.type) {
    case Type::Integer:
    case Type::Date:
    case Type::DateTime:
        return c.ints[a] == c.ints[b];
    case Type::Real:
        return c.reals[a] == c.reals[b];
    case Type::Text:
        return c.texts[a] == c.texts[b] ||
               (!c.pool.deduplicates() && c.pool.view(c.texts[a]) == c.pool.view(c.texts[b]));
    case Type::Variant:
        return c.variants[a] == c.variants[b];
    case Type::Null:
        return true;
    }
    return true;
}

size_t ResultTable::byteSize() const
{
    size_t bytes = sizeof(*this);
    for (const Column &c : m_columns) {
        bytes += sizeof(Column) + c.nulls.capacity() / 8 + c.ints.capacity() * sizeof(qint64) +
                 c.reals.capacity() * sizeof(double) + c.texts.capacity() * sizeof(uint32_t) +
                 c.pool.byteSize() + c.variants.capacity() * sizeof(QVariant);
    }
    return bytes;
}

#include "RecordSet.h"

#include "SqlText.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

using namespace Qt::StringLiterals;

const QVariant TRecordSet::s_null;

void TRecordSet::clear()
{
    m_fields.clear();
    m_cells.clear();
    m_order.clear();
    m_sortOrder.clear();
    m_keyColumn = -1;
}

bool TRecordSet::fill(QSqlQuery &query, QString *error)
{
    clear();
    const QSqlRecord rec = query.record();
    for (int i = 0; i < rec.count(); ++i) {
        const QSqlField f = rec.field(i);
        m_fields.append(Field{f.name(), QMetaType::Type(f.metaType().id()), f.isAutoValue()});
    }
    const int columns = fieldCount();
    while (query.next()) {
        for (int c = 0; c < columns; ++c)
            m_cells.push_back(query.value(c));
    }
    if (query.lastError().isValid()) {
        if (error)
            *error = query.lastError().text();
        clear();
        return false;
    }
    // Computed columns carry no declared type; take it from the first value that has one.
    for (int c = 0; c < columns; ++c) {
        Field &f = m_fields[c];
        if (f.type != QMetaType::UnknownType && f.type != QMetaType::QString)
            continue;
        const std::size_t rows = columns ? m_cells.size() / std::size_t(columns) : 0;
        for (std::size_t r = 0; r < rows; ++r) {
            const QVariant &v = m_cells[r * std::size_t(columns) + std::size_t(c)];
            if (!v.isNull()) {
                if (f.type == QMetaType::UnknownType || v.typeId() != QMetaType::QString)
                    f.type = QMetaType::Type(v.typeId());
                break;
            }
        }
        if (f.type == QMetaType::UnknownType)
            f.type = QMetaType::QString;
    }
    resetOrder();
    chooseKeyField();
    return true;
}

void TRecordSet::setFields(const QList<Field> &fields)
{
    clear();
    m_fields = fields;
    chooseKeyField();
}

void TRecordSet::appendRow(const QList<QVariant> &values)
{
    for (int c = 0; c < fieldCount(); ++c)
        m_cells.push_back(c < values.size() ? values.at(c) : QVariant());
    m_order.push_back(int(m_order.size()));
}

QStringList TRecordSet::fieldNames() const
{
    QStringList names;
    names.reserve(m_fields.size());
    for (const Field &f : m_fields)
        names.append(f.name);
    return names;
}

int TRecordSet::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

const QVariant &TRecordSet::value(int row, int column) const
{
    if (row < 0 || row >= recordCount() || column < 0 || column >= fieldCount())
        return s_null;
    return m_cells[std::size_t(m_order[std::size_t(row)]) * std::size_t(fieldCount()) + std::size_t(column)];
}

const QVariant &TRecordSet::fetchedValue(int fetchedRow, int column) const
{
    if (fetchedRow < 0 || fetchedRow >= recordCount() || column < 0 || column >= fieldCount())
        return s_null;
    return m_cells[std::size_t(fetchedRow) * std::size_t(fieldCount()) + std::size_t(column)];
}

QVariant TRecordSet::value(int row, const QString &fieldName) const
{
    return value(row, fieldIndex(fieldName));
}

namespace {

// Numbers compare as numbers, everything else as text without case (as the database does).
int compareValues(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return int(!a.isNull()) - int(!b.isNull());
    const auto isNumber = [](const QVariant &v) {
        switch (v.typeId()) {
        case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong:
        case QMetaType::ULongLong: case QMetaType::Double: case QMetaType::Float:
        case QMetaType::Bool:
            return true;
        default:
            return false;
        }
    };
    if (isNumber(a) && isNumber(b)) {
        const double x = a.toDouble();
        const double y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return a.toString().compare(b.toString(), Qt::CaseInsensitive);
}

} // namespace

bool TRecordSet::sort(const QString &order)
{
    const QString s = order.trimmed();
    if (s.isEmpty()) {
        resetOrder();
        m_sortOrder.clear();
        return true;
    }
    QString name = s;
    bool descending = false;
    if (s.endsWith(u" DESC"_s, Qt::CaseInsensitive)) {
        name = s.chopped(5).trimmed();
        descending = true;
    } else if (s.endsWith(u" ASC"_s, Qt::CaseInsensitive)) {
        name = s.chopped(4).trimmed();
    }
    const int column = fieldIndex(name);
    if (column < 0)
        return false;
    resetOrder();
    const std::size_t columns = std::size_t(fieldCount());
    std::stable_sort(m_order.begin(), m_order.end(), [&](int x, int y) {
        const int c = compareValues(m_cells[std::size_t(x) * columns + std::size_t(column)],
                                    m_cells[std::size_t(y) * columns + std::size_t(column)]);
        return descending ? c > 0 : c < 0;
    });
    m_sortOrder = descending ? name + u" DESC"_s : name;
    return true;
}

QString TRecordSet::keyField() const
{
    return m_keyColumn >= 0 ? m_fields.at(m_keyColumn).name : QString();
}

void TRecordSet::setKeyField(const QString &name)
{
    m_keyColumn = fieldIndex(name);
}

QVariant TRecordSet::bookmark(int row) const
{
    if (row < 0 || row >= recordCount())
        return {};
    if (m_keyColumn < 0)
        return m_order[std::size_t(row)];
    return value(row, m_keyColumn);
}

int TRecordSet::findBookmark(const QVariant &bookmark) const
{
    if (!bookmark.isValid() || bookmark.isNull())
        return -1;
    for (int r = 0; r < recordCount(); ++r) {
        const QVariant v = m_keyColumn < 0 ? QVariant(m_order[std::size_t(r)]) : value(r, m_keyColumn);
        if (!v.isNull() && compareValues(v, bookmark) == 0)
            return r;
    }
    return -1;
}

void TRecordSet::chooseKeyField()
{
    m_keyColumn = -1;
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).autoValue) {
            m_keyColumn = i;
            return;
        }
    }
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).name.endsWith(u"Index"_s, Qt::CaseInsensitive)) {
            m_keyColumn = i;
            return;
        }
    }
}

void TRecordSet::resetOrder()
{
    const std::size_t rows = fieldCount() ? m_cells.size() / std::size_t(fieldCount()) : 0;
    m_order.resize(rows);
    for (std::size_t i = 0; i < rows; ++i)
        m_order[i] = int(i);
}

// ---------------------------------------------------------------------------

QString TsvCell(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return SqlText::PlainNumber(value.toDouble());
    case QMetaType::Bool:
        return value.toBool() ? u"1"_s : u"0"_s;
    case QMetaType::QDate:
        return SqlText::DateText(value.toDate());
    default:
        break;
    }
    QString text = value.toString();
    text.replace(u'\\', u"\\\\"_s);
    text.replace(u'\t', u"\\t"_s);
    text.replace(u'\n', u"\\n"_s);
    text.replace(u'\r', u"\\r"_s);
    return text;
}

QString ToTsv(const TRecordSet &rows, const QStringList &fields)
{
    QList<int> columns;
    QStringList header;
    if (fields.isEmpty()) {
        for (int c = 0; c < rows.fieldCount(); ++c) {
            columns << c;
            header << rows.field(c).name;
        }
    } else {
        for (const QString &f : fields) {
            columns << rows.fieldIndex(f);
            header << f;
        }
    }
    QString out = header.join(u'\t') + u'\n';
    for (int r = 0; r < rows.recordCount(); ++r) {
        for (qsizetype i = 0; i < columns.size(); ++i) {
            if (i)
                out += u'\t';
            out += TsvCell(rows.value(r, columns.at(i)));
        }
        out += u'\n';
    }
    return out;
}

// ---------------------------------------------------------------------------

TQuery::TQuery(QObject *parent)
    : QObject(parent)
{
}

bool TQuery::setRecNo(int row)
{
    if (!m_open || row < 0 || row >= recordCount())
        return false;
    if (row != m_current) {
        m_current = row;
        Q_EMIT currentChanged(row);
    }
    return true;
}

bool TQuery::next()
{
    if (eof())
        return false;
    m_current += 1;
    Q_EMIT currentChanged(m_current);
    return !eof();
}

QVariant TQuery::fieldValue(const QString &name) const
{
    if (eof())
        return {};
    return m_rows.value(m_current, name);
}

QVariant TQuery::bookmark() const
{
    return eof() ? QVariant() : m_rows.bookmark(m_current);
}

bool TQuery::gotoBookmark(const QVariant &bookmark)
{
    const int row = m_rows.findBookmark(bookmark);
    return row >= 0 && setRecNo(row);
}

bool TQuery::sort(const QString &order)
{
    if (!m_open)
        return false;
    const QVariant mark = bookmark();
    if (!m_rows.sort(order))
        return false;
    const int row = m_rows.findBookmark(mark);
    m_current = row >= 0 ? row : (recordCount() > 0 ? 0 : -1);
    Q_EMIT sorted();
    Q_EMIT currentChanged(m_current);
    return true;
}

void TQuery::close()
{
    const bool wasOpen = m_open;
    m_open = false;
    m_current = -1;
    m_rows.clear();
    if (wasOpen)
        Q_EMIT closed();
}

void TQuery::setResult(const QString &sql, TRecordSet rows)
{
    m_sql = sql;
    m_rows = std::move(rows);
    m_open = true;
    m_current = m_rows.recordCount() > 0 ? 0 : -1;
    Q_EMIT opened();
    Q_EMIT currentChanged(m_current);
}

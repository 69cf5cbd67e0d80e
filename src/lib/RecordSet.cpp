#include "RecordSet.h"

#include "SqlText.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

using namespace Qt::StringLiterals;

// --- one column -----------------------------------------------------------------------------

QVariant TColumnData::get(std::size_t row) const
{
    if (m_null[row])
        return QVariant();
    switch (m_kind) {
    case Integer:
        return QVariant(qlonglong(m_ints[row]));
    case Real:
        return QVariant(m_reals[row]);
    case Text:
        return QVariant(m_texts[row]);
    case Mixed:
        return m_variants[row];
    case Empty:
        break;
    }
    return QVariant();
}

double TColumnData::number(std::size_t row) const
{
    if (m_null[row])
        return 0.0;
    switch (m_kind) {
    case Integer:
        return double(m_ints[row]);
    case Real:
        return m_reals[row];
    case Mixed: {
        const QVariant &v = m_variants[row];
        return v.typeId() == QMetaType::QString ? 0.0 : v.toDouble();
    }
    default:
        return 0.0;
    }
}

void TColumnData::fillTo(std::size_t rows)
{
    switch (m_kind) {
    case Integer:
        m_ints.resize(rows);
        break;
    case Real:
        m_reals.resize(rows);
        break;
    case Text:
        m_texts.resize(rows);
        break;
    case Mixed:
        m_variants.resize(rows);
        break;
    case Empty:
        break;
    }
}

void TColumnData::becomeMixed()
{
    std::vector<QVariant> variants;
    variants.reserve(m_null.capacity());
    for (std::size_t r = 0; r < size(); ++r)
        variants.push_back(get(r));
    m_variants = std::move(variants);
    m_ints = {};
    m_reals = {};
    m_texts = {};
    m_kind = Mixed;
}

void TColumnData::reserve(std::size_t rows)
{
    m_null.reserve(rows);
}

void TColumnData::appendNull()
{
    m_null.push_back(true);
    fillTo(m_null.size());
}

void TColumnData::appendInteger(qint64 value)
{
    if (m_kind == Empty) {
        m_kind = Integer;
        fillTo(size());
    }
    if (m_kind == Real) {
        appendReal(double(value));
        return;
    }
    if (m_kind != Integer) {
        if (m_kind != Mixed)
            becomeMixed();
        m_null.push_back(false);
        m_variants.emplace_back(qlonglong(value));
        return;
    }
    m_null.push_back(false);
    m_ints.push_back(value);
}

void TColumnData::appendReal(double value)
{
    if (m_kind == Empty) {
        m_kind = Real;
        fillTo(size());
    }
    if (m_kind == Integer) {
        // A column of numbers that turns out to hold reals: all of it becomes real.
        m_reals.assign(m_ints.begin(), m_ints.end());
        m_ints = {};
        m_kind = Real;
    }
    if (m_kind != Real) {
        if (m_kind != Mixed)
            becomeMixed();
        m_null.push_back(false);
        m_variants.emplace_back(value);
        return;
    }
    m_null.push_back(false);
    m_reals.push_back(value);
}

void TColumnData::appendText(QString value)
{
    if (m_kind == Empty) {
        m_kind = Text;
        fillTo(size());
    }
    if (m_kind != Text) {
        if (m_kind != Mixed)
            becomeMixed();
        m_null.push_back(false);
        m_variants.emplace_back(std::move(value));
        return;
    }
    m_null.push_back(false);
    m_texts.push_back(std::move(value));
}

void TColumnData::append(const QVariant &value)
{
    if (!value.isValid() || value.isNull()) {
        appendNull();
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Long:
    case QMetaType::Short:
        appendInteger(value.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        appendReal(value.toDouble());
        return;
    case QMetaType::QString:
        appendText(value.toString());
        return;
    default:
        break;
    }
    if (m_kind != Mixed) {
        if (m_kind == Empty) {
            m_kind = Mixed;
            fillTo(size());
        } else {
            becomeMixed();
        }
    }
    m_null.push_back(false);
    m_variants.push_back(value);
}

void TColumnData::keep(const std::vector<bool> &flags)
{
    std::size_t out = 0;
    for (std::size_t r = 0; r < size(); ++r) {
        if (!flags[r])
            continue;
        m_null[out] = m_null[r];
        switch (m_kind) {
        case Integer:
            m_ints[out] = m_ints[r];
            break;
        case Real:
            m_reals[out] = m_reals[r];
            break;
        case Text:
            m_texts[out] = std::move(m_texts[r]);
            break;
        case Mixed:
            m_variants[out] = std::move(m_variants[r]);
            break;
        case Empty:
            break;
        }
        ++out;
    }
    m_null.resize(out);
    fillTo(out);
}

namespace {

int compareVariants(const QVariant &a, const QVariant &b)
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

int TColumnData::compare(std::size_t a, std::size_t b) const
{
    if (m_null[a] || m_null[b])
        return int(!m_null[a]) - int(!m_null[b]);
    switch (m_kind) {
    case Integer:
        return m_ints[a] < m_ints[b] ? -1 : (m_ints[a] > m_ints[b] ? 1 : 0);
    case Real:
        return m_reals[a] < m_reals[b] ? -1 : (m_reals[a] > m_reals[b] ? 1 : 0);
    case Text:
        return m_texts[a].compare(m_texts[b], Qt::CaseInsensitive);
    case Mixed:
        return compareVariants(m_variants[a], m_variants[b]);
    case Empty:
        break;
    }
    return 0;
}

// --- the record set ------------------------------------------------------------------------

void TRecordSet::clear()
{
    m_fields.clear();
    m_columns.clear();
    m_order.clear();
    m_sortOrder.clear();
    m_keyColumn = -1;
}

bool TRecordSet::fill(QSqlQuery &query, QString *error)
{
    clear();
    const QSqlRecord rec = query.record();
    QList<Field> fields;
    for (int i = 0; i < rec.count(); ++i) {
        const QSqlField f = rec.field(i);
        fields.append(Field{f.name(), QMetaType::Type(f.metaType().id()), f.isAutoValue()});
    }
    setFields(fields);
    const int columns = fieldCount();
    while (query.next()) {
        for (int c = 0; c < columns; ++c)
            m_columns[std::size_t(c)].append(query.value(c));
        endRow();
    }
    if (query.lastError().isValid()) {
        if (error)
            *error = query.lastError().text();
        clear();
        return false;
    }
    finishAppending();
    return true;
}

void TRecordSet::inferTypes()
{
    // Computed columns carry no declared type: take it from what they hold.
    for (int c = 0; c < fieldCount(); ++c) {
        Field &f = m_fields[c];
        if (f.type != QMetaType::UnknownType)
            continue;
        switch (m_columns[std::size_t(c)].kind()) {
        case TColumnData::Integer:
            f.type = QMetaType::LongLong;
            break;
        case TColumnData::Real:
            f.type = QMetaType::Double;
            break;
        default:
            f.type = QMetaType::QString;
            break;
        }
    }
}

void TRecordSet::finishAppending()
{
    inferTypes();
    chooseKeyField();
}

void TRecordSet::setFields(const QList<Field> &fields)
{
    clear();
    m_fields = fields;
    m_columns.resize(std::size_t(fields.size()));
    chooseKeyField();
}

void TRecordSet::appendRow(const QList<QVariant> &values)
{
    for (int c = 0; c < fieldCount(); ++c)
        m_columns[std::size_t(c)].append(c < values.size() ? values.at(c) : QVariant());
    endRow();
}

int TRecordSet::addRealField(const QString &name, const std::vector<double> &values)
{
    TColumnData column;
    column.reserve(values.size());
    for (double v : values)
        column.appendReal(v);
    m_columns.push_back(std::move(column));
    m_fields.append(Field{name, QMetaType::Double, false});
    return fieldCount() - 1;
}

void TRecordSet::removeField(int column)
{
    if (column < 0 || column >= fieldCount())
        return;
    const QString key = keyField();
    m_fields.removeAt(column);
    m_columns.erase(m_columns.begin() + column);
    m_keyColumn = fieldIndex(key);
    if (key.isEmpty())
        m_keyColumn = -1;
}

void TRecordSet::keepRows(const std::vector<bool> &flags)
{
    for (TColumnData &c : m_columns)
        c.keep(flags);
    const std::size_t rows = m_columns.empty() ? std::size_t(std::count(flags.begin(), flags.end(), true))
                                               : m_columns.front().size();
    m_order.resize(rows);
    resetOrder();
    m_sortOrder.clear();
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

QVariant TRecordSet::value(int row, int column) const
{
    if (row < 0 || row >= recordCount() || column < 0 || column >= fieldCount())
        return QVariant();
    return m_columns[std::size_t(column)].get(std::size_t(m_order[std::size_t(row)]));
}

QVariant TRecordSet::fetchedValue(int fetchedRow, int column) const
{
    if (fetchedRow < 0 || fetchedRow >= recordCount() || column < 0 || column >= fieldCount())
        return QVariant();
    return m_columns[std::size_t(column)].get(std::size_t(fetchedRow));
}

QVariant TRecordSet::value(int row, const QString &fieldName) const
{
    return value(row, fieldIndex(fieldName));
}

double TRecordSet::number(int row, int column) const
{
    if (row < 0 || row >= recordCount() || column < 0 || column >= fieldCount())
        return 0.0;
    return m_columns[std::size_t(column)].number(std::size_t(m_order[std::size_t(row)]));
}

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
    const TColumnData &data = m_columns[std::size_t(column)];
    std::stable_sort(m_order.begin(), m_order.end(), [&](int x, int y) {
        const int c = data.compare(std::size_t(x), std::size_t(y));
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
        if (!v.isNull() && compareVariants(v, bookmark) == 0)
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
    const std::size_t rows = m_columns.empty() ? m_order.size() : m_columns.front().size();
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

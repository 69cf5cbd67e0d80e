#pragma once

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

class QSqlQuery;

// One column of a record set, stored by kind: integers, reals or texts in plain arrays (texts
// that repeat share one string), or variants when a column mixes kinds.
class TColumnData
{
public:
    enum Kind { Empty, Integer, Real, Text, Mixed };

    Kind kind() const { return m_kind; }
    std::size_t size() const { return m_null.size(); }
    bool isNull(std::size_t row) const { return m_null[row]; }
    QVariant get(std::size_t row) const;
    double number(std::size_t row) const; // 0 for null and text

    void appendNull();
    void appendInteger(qint64 value);
    void appendReal(double value);
    void appendText(QString value);
    void append(const QVariant &value);
    void reserve(std::size_t rows);
    // Keeps the rows whose flag is set.
    void keep(const std::vector<bool> &flags);

    // -1, 0, 1; nulls first, numbers as numbers, text without case.
    int compare(std::size_t a, std::size_t b) const;

private:
    void becomeMixed();
    void fillTo(std::size_t rows);

    Kind m_kind = Empty;
    std::vector<bool> m_null;
    std::vector<qint64> m_ints;
    std::vector<double> m_reals;
    std::vector<QString> m_texts;
    std::vector<QVariant> m_variants;
};

// All rows of one result, fetched once and kept in memory: fields by name, record count,
// bookmarks (the value of a key field) and a client-side sort that never refetches.
class TRecordSet
{
public:
    struct Field
    {
        QString name;
        QMetaType::Type type = QMetaType::UnknownType;
        bool autoValue = false;
    };

    void clear();
    // Reads every remaining row of an executed query. False with the driver's text on error.
    bool fill(QSqlQuery &query, QString *error = nullptr);
    // For builders and tests: define fields, then append rows of fieldCount() values.
    void setFields(const QList<Field> &fields);
    void appendRow(const QList<QVariant> &values);
    // The same a cell at a time, for readers: fieldCount() cells, then endRow().
    TColumnData &column(int index) { return m_columns[std::size_t(index)]; }
    void endRow() { m_order.push_back(int(m_order.size())); }
    // After the last row: types of computed fields from their values, and the key field.
    void finishAppending();

    // Adds a computed field at the end with one value per fetched row.
    int addRealField(const QString &name, const std::vector<double> &values);
    void removeField(int column);
    // Keeps the fetched rows whose flag is set (the sort is reset).
    void keepRows(const std::vector<bool> &flags);

    int fieldCount() const { return int(m_fields.size()); }
    const Field &field(int column) const { return m_fields.at(column); }
    QStringList fieldNames() const;
    // Case-insensitive like the database's own names; -1 when missing. The first match wins.
    int fieldIndex(const QString &name) const;

    int recordCount() const { return int(m_order.size()); }
    // Rows are addressed in the current sort order.
    QVariant value(int row, int column) const;
    QVariant value(int row, const QString &fieldName) const;
    // Rows in the order the statement returned them, whatever the current sort.
    QVariant fetchedValue(int fetchedRow, int column) const;
    // The number in a cell (0 for null or text), without making a variant.
    double number(int row, int column) const;

    // Stable sort on one field, "Name" or "Name DESC"; an empty order restores the fetched order.
    // Nulls sort first ascending. False (and no change) for an unknown field.
    bool sort(const QString &order);
    QString sortOrder() const { return m_sortOrder; }

    // The key field that bookmarks hold: the auto-number field when the result has one, else
    // the first field whose name ends in "Index", else none (bookmarks are then row numbers).
    QString keyField() const;
    void setKeyField(const QString &name);
    QVariant bookmark(int row) const;
    // Row of a bookmark in the current order, or -1 when no row has it any more.
    int findBookmark(const QVariant &bookmark) const;

private:
    void inferTypes();
    void chooseKeyField();
    void resetOrder();

    QList<Field> m_fields;
    std::vector<TColumnData> m_columns; // in fetched order
    std::vector<int> m_order;           // current order -> fetched row
    QString m_sortOrder;
    int m_keyColumn = -1;
};

// Tab-separated text: a header line of field names, then one line per row in the current
// order. Numbers are plain decimals with a point, null is empty, and tab, line breaks and
// backslash inside text are written as \t, \n, \r and \\.
QString TsvCell(const QVariant &value);
QString ToTsv(const TRecordSet &rows, const QStringList &fields = QStringList());

// A query component: the statement it was opened with (one line, the program's dialect), its
// rows and a current row. Frames and dialogs own one each; TShareDM::OpenQuery runs them.
class TQuery : public QObject
{
    Q_OBJECT
public:
    explicit TQuery(QObject *parent = nullptr);

    QString sql() const { return m_sql; }
    bool isOpen() const { return m_open; }
    int recordCount() const { return m_open ? m_rows.recordCount() : 0; }
    bool isEmpty() const { return recordCount() == 0; }
    const TRecordSet &records() const { return m_rows; }

    // Current row (-1 when closed or empty).
    int recNo() const { return m_current; }
    bool setRecNo(int row);
    bool first() { return setRecNo(0); }
    bool next();
    bool eof() const { return !m_open || m_current < 0 || m_current >= recordCount(); }

    // Value of a field on the current row; null when closed, empty or the field is missing.
    QVariant fieldValue(const QString &name) const;
    QString fieldText(const QString &name) const { return fieldValue(name).toString(); }
    bool hasField(const QString &name) const { return m_open && m_rows.fieldIndex(name) >= 0; }

    QVariant bookmark() const;
    bool gotoBookmark(const QVariant &bookmark);

    bool sort(const QString &order);
    QString sortOrder() const { return m_rows.sortOrder(); }

    void close();
    // Used by TShareDM::OpenQuery: replaces statement and rows and moves to the first row.
    void setResult(const QString &sql, TRecordSet rows);
    void setStatement(const QString &sql) { m_sql = sql; }

Q_SIGNALS:
    void opened();
    void closed();
    void sorted();
    void currentChanged(int row);

private:
    QString m_sql;
    TRecordSet m_rows;
    bool m_open = false;
    int m_current = -1;
};

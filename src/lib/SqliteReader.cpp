#include "SqliteReader.h"

#include "RecordSet.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlDriver>

#include <sqlite3.h>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

sqlite3 *handleOf(const QSqlDatabase &db)
{
    if (!db.isOpen() || !db.driver())
        return nullptr;
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(v.data());
}

QMetaType::Type typeOfDeclaration(const char *declared)
{
    if (!declared)
        return QMetaType::UnknownType;
    const QByteArray d = QByteArray(declared).toLower();
    if (d.contains("bool"))
        return QMetaType::Bool;
    if (d.contains("int"))
        return QMetaType::LongLong;
    if (d.contains("real") || d.contains("floa") || d.contains("doub") || d.contains("numeric") || d.contains("decimal"))
        return QMetaType::Double;
    if (d.contains("blob"))
        return QMetaType::QByteArray;
    return QMetaType::QString;
}

// Texts that repeat in a column (kinds, books, names) are made once and shared.
class TextCache
{
public:
    QString get(const char *bytes, int size)
    {
        if (m_disabled || size > 64)
            return QString::fromUtf8(bytes, size);
        const QByteArray key = QByteArray::fromRawData(bytes, size);
        const auto it = m_map.constFind(key);
        if (it != m_map.constEnd())
            return it.value();
        QString text = QString::fromUtf8(bytes, size);
        if (m_map.size() >= 4096) {
            m_disabled = true; // mostly distinct values: caching only costs
            m_map.clear();
            return text;
        }
        m_map.insert(QByteArray(bytes, size), text);
        return text;
    }

private:
    QHash<QByteArray, QString> m_map;
    bool m_disabled = false;
};

} // namespace

bool CanReadSqliteRows(const QSqlDatabase &db)
{
    return handleOf(db) != nullptr;
}

bool ReadSqliteRows(const QSqlDatabase &db, const QString &sql, TRecordSet *rows, QString *error, int *changes)
{
    sqlite3 *handle = handleOf(db);
    if (!handle) {
        if (error)
            *error = u"not an open SQLite connection"_s;
        return false;
    }
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &stmt, &tail) != SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(handle));
        sqlite3_finalize(stmt);
        return false;
    }
    if (!stmt) { // only blanks or a comment
        rows->setFields({});
        return true;
    }
    const int columns = sqlite3_column_count(stmt);
    QList<TRecordSet::Field> fields;
    for (int c = 0; c < columns; ++c) {
        TRecordSet::Field f;
        f.name = QString::fromUtf8(sqlite3_column_name(stmt, c));
        f.type = typeOfDeclaration(sqlite3_column_decltype(stmt, c));
        const char *table = sqlite3_column_table_name(stmt, c);
        const char *origin = sqlite3_column_origin_name(stmt, c);
        const char *database = sqlite3_column_database_name(stmt, c);
        int primaryKey = 0, autoIncrement = 0;
        if (table && origin
            && sqlite3_table_column_metadata(handle, database, table, origin, nullptr, nullptr, nullptr, &primaryKey,
                                             &autoIncrement)
                   == SQLITE_OK)
            f.autoValue = primaryKey && f.type == QMetaType::LongLong;
        fields.append(f);
    }
    rows->setFields(fields);
    std::vector<TextCache> caches(std::size_t(columns > 0 ? columns : 0));
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            TColumnData &column = rows->column(c);
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_INTEGER:
                column.appendInteger(sqlite3_column_int64(stmt, c));
                break;
            case SQLITE_FLOAT:
                column.appendReal(sqlite3_column_double(stmt, c));
                break;
            case SQLITE_TEXT: {
                const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
                column.appendText(caches[std::size_t(c)].get(bytes, sqlite3_column_bytes(stmt, c)));
                break;
            }
            case SQLITE_BLOB:
                column.append(QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(stmt, c)),
                                                  sqlite3_column_bytes(stmt, c))));
                break;
            default:
                column.appendNull();
                break;
            }
        }
        rows->endRow();
    }
    if (rc != SQLITE_DONE) {
        if (error)
            *error = QString::fromUtf8(sqlite3_errmsg(handle));
        sqlite3_finalize(stmt);
        rows->clear();
        return false;
    }
    if (changes)
        *changes = sqlite3_changes(handle);
    sqlite3_finalize(stmt);
    rows->finishAppending();
    return true;
}

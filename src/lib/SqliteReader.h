#pragma once

#include <QString>

class QSqlDatabase;
class TRecordSet;

// Reads a statement's rows straight from an SQLite connection into a record set: the same
// values the Qt driver yields (integers as qlonglong, reals as double, text as QString, null
// as a null variant), without its per-cell overhead. Repeated texts within a column share one
// string. Returns false with the engine's message when the statement fails; a statement that
// returns no rows leaves an empty record set.
bool ReadSqliteRows(const QSqlDatabase &db, const QString &sql, TRecordSet *rows, QString *error, int *changes = nullptr);

// Whether `db` is an open SQLite connection this reader can use.
bool CanReadSqliteRows(const QSqlDatabase &db);

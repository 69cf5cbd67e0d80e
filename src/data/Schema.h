#pragma once

#include <QString>
#include <QStringList>

class QSqlDatabase;

// The data file: its five tables, how a new one is made and how one is checked.
namespace Schema {

inline constexpr int Version = 1;
// PRAGMA application_id of our files: "QYBK". Files made by hand may carry 0.
inline constexpr int ApplicationId = 0x5159424B;

struct Table
{
    QString name;
    QStringList columns; // the columns every screen relies on; other columns may exist
};
const QList<Table> &Tables();

// Date columns hold yyyy-MM-dd text.
bool IsDateField(const QString &fieldName);

// The statements that create an empty data file (tables, relations, indexes).
QStringList CreateStatements();

// Creates a new data file with the reserved users, starter input lists and one book.
// Refuses an existing file; leaves nothing behind when it fails.
bool CreateDataFile(const QString &fileName, QString *error);

enum class Health { Ok, NotDataFile, Damaged, Incomplete };
// Problems found on an open connection (empty when the file is sound). `full` runs
// integrity_check instead of quick_check. *health tells the kind of the first problem.
QStringList Verify(const QSqlDatabase &db, bool full, Health *health = nullptr);

// Opens `fileName` read-only on a private connection and verifies it (quick check).
bool IsDataFile(const QString &fileName, QString *error);

// The starter content of a new file (also used by the demo data).
QStringList StarterReasons();
QStringList StarterClerks();
QStringList StarterPayMethods();

} // namespace Schema

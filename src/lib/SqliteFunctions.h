#pragma once

#include <QString>

class QSqlDatabase;

// Registers the Jet functions SQLite lacks on an open QSQLITE connection: year(d), month(d),
// day(d) and datepart(interval, d), over dates stored as 'yyyy-MM-dd' text (optionally with a
// time). NULL or unparsable dates give NULL. Returns false with a reason when the connection
// is not an open SQLite connection or the registration fails.
bool registerJetFunctions(const QSqlDatabase &db, QString *error = nullptr);

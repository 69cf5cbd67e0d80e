#pragma once

#include <QString>

// The statements are written in the Jet (Access) SQL dialect; this one translator turns them
// into text the engine in use understands, so every caller keeps a single statement text.
namespace JetSql {

enum class Dialect { SQLite, PostgreSQL };

// Rewrites one statement of the Jet dialect for the target engine. Never throws; text it does
// not understand passes through unchanged (the engine then reports the error).
//
// Rewritten: #date# literals, iif(), IsNull(x), InStr() (case-insensitive, and as a condition
// when it stands alone), & and text + (concatenation), True/False, "text" literals, [names],
// string aliases (as '名称'), and references to an alias defined earlier in the same select
// list. Everything else, including whitespace, is kept character for character.
QString translate(const QString &jet, Dialect dialect = Dialect::SQLite);

} // namespace JetSql

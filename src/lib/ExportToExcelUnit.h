#pragma once

#include <QList>
#include <QString>

class TRecordSet;

// Writes the rows of a result into a real .xlsx workbook: a title row with the grid's on-screen
// titles, then the rows in the order the statement returned them, one bordered table in one font.
namespace ExportToExcelUnit {

// The spreadsheet's column letters: 1 -> "A", 27 -> "AA", 256 -> "IV", 16384 -> "XFD".
// Empty outside 1..16384 (the .xlsx limit).
QString ExcelColumnName(int column1Based);

struct ExportColumn
{
    QString FieldName;
    QString Title; // written as given, a two-level title keeps its "|"
};

// Writes every row of `rows` in fetched order (any client-side sort is ignored) for `columns`, in
// that order, to `fileName` (replaced if it exists; a failed export leaves it untouched).
// Numbers stay numbers, text stays text even when it looks like a number, dates (QDate values or
// columns holding only "yyyy-MM-dd" text) become real dates, nulls become empty cells.
// False with a message in `error` when there is no column, a field is not in `rows`, the sheet
// would exceed 16384 columns or 1048576 rows, or the file cannot be written.
bool ExportRecordSet(const TRecordSet &rows, const QList<ExportColumn> &columns, const QString &fileName,
    QString *error = nullptr, const QString &fontName = QStringLiteral("宋体"));

} // namespace ExportToExcelUnit

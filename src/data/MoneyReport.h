#pragma once

#include <QString>

class TQuery;
class TRecordSet;
class TShareDM;

// The rows of the income and expense report with their running balance "MoneyBalance": for
// each voucher shown, income minus expense of every voucher of the base filter that comes at or
// before it in running order (date, then index), rounded to the cent. The base filter (the user
// restriction included) applies to the balance, the date filter only to the rows shown.
//
// Computed as: the date range of the rows shown; the balance brought forward to its first day
// (one aggregate over the index); the rows of that range in order, summed up as they come. The
// work grows with the vouchers of the range, not with the square of all vouchers.
bool RunMoneyReport(TShareDM &dm, const QString &base, const QString &date, TRecordSet *rows, QString *error);

// Opens a query with the report's rows as OpenQuery does: a failure leaves it closed and marks
// the run as having a failed statement. Its statement text is the report's single-statement
// definition (ReportStatements::MoneyReport).
void OpenMoneyReport(TShareDM &dm, TQuery &query, const QString &base, const QString &date);

#pragma once

#include <QDate>
#include <QString>

// Building blocks of the statement text. Every typed value that goes between quotes passes
// QuotedStr, and every date goes through DateText, so a name like O'Brien is one literal
// everywhere and all fragments write dates the same way.
namespace SqlText {

// 'text' with every single quote doubled.
QString QuotedStr(const QString &text);

// The program's short date text (yyyy-MM-dd); also the form dates are stored in.
QString DateText(const QDate &date);
// Parses a stored or typed date text; an invalid QDate when it is none.
QDate ParseDate(const QString &text);

// Condition fragments: each starts with its connector Prefix (normally " and ").
QString InStrCondition(const QString &field, const QString &value, const QString &prefix);
QString BetweenDatesCondition(const QString &field, const QString &fromText, const QString &toText,
                              const QString &prefix);
QString UpToDateCondition(const QString &field, const QString &dateText, const QString &prefix);
QString OnDateCondition(const QString &field, const QString &dateText, const QString &prefix);
// Strictly before the date: the vouchers whose balance is brought forward.
QString BeforeDateCondition(const QString &field, const QString &dateText, const QString &prefix);
// " and «field»='«value»'" with the value quoted; the visibility filter and exact matches.
QString EqualsCondition(const QString &field, const QString &value, const QString &prefix);

// A number as plain decimal text with a point, no exponent and no grouping
// (1234.5 -> "1234.5", 1e21 -> "1000000000000000000000").
QString PlainNumber(double value);

} // namespace SqlText

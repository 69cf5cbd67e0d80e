#pragma once

#include <QDate>
#include <QString>

// A realistic data set for trying the program and for the benchmarks: books, customers,
// input lists, three users with different rights, income and expense vouchers, receivables
// and payables with partial settlements, spread over ten years.
struct TDemoOptions
{
    int vouchers = 1000;        // income and expense vouchers, settlements included
    int getPays = -1;           // receivables and payables; -1: a tenth of the vouchers
    quint32 seed = 1;
    QDate end = QDate::currentDate(); // the last day with data
    int years = 10;
};

struct TDemoStats
{
    int books = 0;
    int vouchers = 0;
    int settlements = 0;
    int getPays = 0;
    int users = 0;
};

// Creates `fileName` (which must not exist) and fills it. Same options, same data.
bool CreateDemoFile(const QString &fileName, const TDemoOptions &options, TDemoStats *stats, QString *error);

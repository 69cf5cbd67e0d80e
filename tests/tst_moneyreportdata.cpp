#include "DataModule.h"
#include "DemoData.h"
#include "MoneyReport.h"
#include "ReportStatements.h"
#include "TestSupport.h"

#include <QTest>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

struct Voucher
{
    qint64 index;
    QString date, kind, book, admin;
    double sum;
};

// The running balance the way a person would work it out: every voucher of the base set in
// (date, index) order, summed up one after the other.
QList<QPair<qint64, double>> expectedRows(const QList<Voucher> &all, const std::function<bool(const Voucher &)> &base,
                                          const std::function<bool(const Voucher &)> &shown)
{
    QList<Voucher> sorted = all;
    std::sort(sorted.begin(), sorted.end(), [](const Voucher &a, const Voucher &b) {
        return a.date != b.date ? a.date < b.date : a.index < b.index;
    });
    QList<QPair<qint64, double>> rows;
    double running = 0;
    for (const Voucher &v : std::as_const(sorted)) {
        if (!base(v))
            continue;
        running += v.kind == u"财务收入"_s ? v.sum : -v.sum;
        if (shown(v))
            rows.append({v.index, std::round(running * 100.0) / 100.0});
    }
    return rows;
}

} // namespace

class TestMoneyReportData : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void balance_data();
    void balance();
    void agreesWithTheSingleStatement();
    void emptyResultKeepsTheFields();
    void failureIsSwallowedLikeOpenQuery();

private:
    TestSupport::TProgramFolder m_folder;
    std::unique_ptr<TShareDM> m_dm;
    QList<Voucher> m_all;
};

void TestMoneyReportData::initTestCase()
{
    TDemoOptions options;
    options.vouchers = 3000;
    options.seed = 11;
    options.end = QDate(2024, 6, 30);
    options.years = 2;
    QString error;
    QVERIFY2(CreateDemoFile(m_folder.dataFile(), options, nullptr, &error), qPrintable(error));
    m_dm = std::make_unique<TShareDM>(m_folder.path());
    QVERIFY(m_dm->OpenDataFile(m_folder.dataFile(), false, &error));
    TRecordSet rows;
    QVERIFY(m_dm->RunQuery(u"select * from MoneyRecord"_s, &rows, &error));
    for (int r = 0; r < rows.recordCount(); ++r)
        m_all.append({rows.value(r, u"MoneyIndex"_s).toLongLong(), rows.value(r, u"MoneyDate"_s).toString(),
                      rows.value(r, u"MoneyKind"_s).toString(), rows.value(r, u"MoneyBook"_s).toString(),
                      rows.value(r, u"MoneyAdmin"_s).toString(), rows.value(r, u"MoneySum"_s).toDouble()});
    QCOMPARE(m_all.size(), 3000);
}

using Filter = std::function<bool(const Voucher &)>;
Q_DECLARE_METATYPE(Filter)

void TestMoneyReportData::balance_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("date");
    QTest::addColumn<Filter>("inBase");
    QTest::addColumn<Filter>("isShown");
    const Filter all = [](const Voucher &) { return true; };
    const Filter cashier = [](const Voucher &v) { return v.admin == u"出纳"_s; };
    const Filter banks = [](const Voucher &v) { return v.book.contains(u"银行"_s); };
    const Filter day = [](const Voucher &v) { return v.date == u"2024-03-15"_s; };
    const Filter march = [](const Voucher &v) { return v.date >= u"2024-03-01"_s && v.date <= u"2024-03-31"_s; };
    const Filter upTo = [](const Voucher &v) { return v.date <= u"2023-12-31"_s; };
    const Filter twoDays = [](const Voucher &v) { return v.date == u"2023-05-02"_s || v.date == u"2024-02-01"_s; };
    const QString a = u" and "_s;
    QTest::newRow("everything") << QString() << QString() << all << all;
    QTest::newRow("one day") << QString() << SqlText::OnDateCondition(u"MoneyDate"_s, u"2024-03-15"_s, a) << all << day;
    QTest::newRow("a month") << QString()
                             << SqlText::BetweenDatesCondition(u"MoneyDate"_s, u"2024-03-01"_s, u"2024-03-31"_s, a) << all
                             << march;
    QTest::newRow("up to a date") << QString() << SqlText::UpToDateCondition(u"MoneyDate"_s, u"2023-12-31"_s, a) << all
                                  << upTo;
    QTest::newRow("user without review right") << u" and MoneyAdmin='出纳'"_s
                                               << SqlText::OnDateCondition(u"MoneyDate"_s, u"2024-03-15"_s, a) << cashier
                                               << day;
    QTest::newRow("books, everything") << SqlText::InStrCondition(u"MoneyBook"_s, u"银行"_s, a) << QString() << banks
                                       << all;
    QTest::newRow("books and user, a month")
        << SqlText::InStrCondition(u"MoneyBook"_s, u"银行"_s, a) + u" and MoneyAdmin='出纳'"_s
        << SqlText::BetweenDatesCondition(u"MoneyDate"_s, u"2024-03-01"_s, u"2024-03-31"_s, a)
        << Filter([](const Voucher &v) { return v.book.contains(u"银行"_s) && v.admin == u"出纳"_s; }) << march;
    // Days far apart: the vouchers between them count in the balance but are not shown.
    QTest::newRow("two separate days") << QString()
                                       << u" and (MoneyDate = #2023-05-02# or MoneyDate = #2024-02-01#)"_s << all
                                       << twoDays;
}

void TestMoneyReportData::balance()
{
    QFETCH(QString, base);
    QFETCH(QString, date);
    QFETCH(Filter, inBase);
    QFETCH(Filter, isShown);
    const auto expected = expectedRows(m_all, inBase, isShown);
    QVERIFY(!expected.isEmpty());
    TRecordSet rows;
    QString error;
    QVERIFY2(RunMoneyReport(*m_dm, base, date, &rows, &error), qPrintable(error));
    QCOMPARE(rows.recordCount(), int(expected.size()));
    const int index = rows.fieldIndex(u"MoneyIndex"_s);
    const int balance = rows.fieldIndex(u"MoneyBalance"_s);
    for (int r = 0; r < rows.recordCount(); ++r) {
        QCOMPARE(rows.value(r, index).toLongLong(), expected.at(r).first);
        QCOMPARE(rows.value(r, balance).toDouble(), expected.at(r).second);
    }
    // The signed amount and the split into income and expense.
    const int in = rows.fieldIndex(u"MoneyIn"_s), out = rows.fieldIndex(u"MoneyOut"_s),
              sum2 = rows.fieldIndex(u"MoneySum2"_s);
    for (int r = 0; r < rows.recordCount(); ++r) {
        QCOMPARE(rows.value(r, in).toDouble() - rows.value(r, out).toDouble(), rows.value(r, sum2).toDouble());
        QVERIFY(rows.value(r, in).toDouble() >= 0 && rows.value(r, out).toDouble() >= 0);
    }
    QCOMPARE(rows.fieldIndex(u"MoneyShown"_s), -1);
}

void TestMoneyReportData::agreesWithTheSingleStatement()
{
    // The statement that defines the report (the classic correlated running sum, run on a
    // small range) and the one the program runs give the same rows and figures.
    const QString a = u" and "_s;
    const QString base = u" and MoneyAdmin='管理员'"_s;
    const QString date = SqlText::BetweenDatesCondition(u"MoneyDate"_s, u"2024-06-01"_s, u"2024-06-30"_s, a);
    const QString correlated =
        u"select *,iif(MoneyKind='财务收入',MoneySum,0) as MoneyIn,iif(MoneyKind='财务支出',MoneySum,0) as MoneyOut,"
        "iif(MoneyKind='财务收入',MoneySum,-MoneySum) as MoneySum2,(select Round(Sum(iif(MoneyKind='财务收入',MoneySum,"
        "-MoneySum)),2) from MoneyRecord as t2 where ((t2.MoneyDate=t1.MoneyDate and t2.MoneyIndex<=t1.MoneyIndex) or"
        " (t2.MoneyDate<t1.MoneyDate)) "_s
        + base + u") as MoneyBalance from MoneyRecord as t1 where 0=0 "_s + base + date
        + u" Order by MoneyDate,MoneyIndex"_s;
    TRecordSet reference, window, program;
    QString error;
    QVERIFY2(m_dm->RunQuery(correlated, &reference, &error), qPrintable(error));
    QVERIFY2(m_dm->RunQuery(ReportStatements::MoneyReport(base, date), &window, &error), qPrintable(error));
    QVERIFY2(RunMoneyReport(*m_dm, base, date, &program, &error), qPrintable(error));
    QVERIFY(reference.recordCount() > 10);
    QCOMPARE(program.fieldNames(), reference.fieldNames());
    QCOMPARE(window.fieldNames(), reference.fieldNames());
    QCOMPARE(ToTsv(program), ToTsv(reference));
    QCOMPARE(ToTsv(window), ToTsv(reference));
}

void TestMoneyReportData::emptyResultKeepsTheFields()
{
    TRecordSet rows;
    QString error;
    QVERIFY(RunMoneyReport(*m_dm, QString(), SqlText::OnDateCondition(u"MoneyDate"_s, u"1999-01-01"_s, u" and "_s), &rows,
                           &error));
    QCOMPARE(rows.recordCount(), 0);
    for (const QString &f : ReportStatements::MoneyReportFields())
        QVERIFY2(rows.fieldIndex(f) >= 0, qPrintable(f));
}

void TestMoneyReportData::failureIsSwallowedLikeOpenQuery()
{
    TShareDM dm(m_folder.path());
    QString error;
    QVERIFY(dm.OpenDataFile(m_folder.dataFile(), false, &error));
    TQuery q;
    OpenMoneyReport(dm, q, u" and NoSuchColumn=1"_s, QString());
    QVERIFY(!q.isOpen());
    QVERIFY(dm.QueryFailed());
    QVERIFY(q.sql().contains(u"NoSuchColumn"_s));
}

QTEST_GUILESS_MAIN(TestMoneyReportData)
#include "tst_moneyreportdata.moc"

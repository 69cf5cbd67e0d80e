#include "FilterList.h"
#include "SqlText.h"
#include "xUtils.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestSqlText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fragments_data();
    void fragments();
    void quoting_data();
    void quoting();
    void incrementSerial_data();
    void incrementSerial();
    void plainNumber_data();
    void plainNumber();
    void dates();
    void filterList();
};

void TestSqlText::fragments_data()
{
    QTest::addColumn<QString>("fragment");
    QTest::addColumn<QString>("expected");
    const QString a = u" and "_s;
    // The connector and the fragment's own leading blank give the double spaces.
    QTest::newRow("instr") << SqlText::InStrCondition(u"MoneySerial"_s, u"SZ-20240105"_s, a)
                           << u" and  InStr(MoneySerial,'SZ-20240105')"_s;
    QTest::newRow("instr chinese") << SqlText::InStrCondition(u"MoneyBook"_s, u"现金"_s, a)
                                   << u" and  InStr(MoneyBook,'现金')"_s;
    QTest::newRow("instr quote") << SqlText::InStrCondition(u"MoneyUser"_s, u"老王's店"_s, a)
                                 << u" and  InStr(MoneyUser,'老王''s店')"_s;
    QTest::newRow("between") << SqlText::BetweenDatesCondition(u"MoneyDate"_s, u"2009-01-01"_s, u"2009-01-31"_s, a)
                             << u" and MoneyDate between #2009-01-01# and #2009-01-31#"_s;
    QTest::newRow("up to") << SqlText::UpToDateCondition(u"GetPayDate"_s, u"2009-01-05"_s, a)
                           << u" and GetPayDate <= #2009-01-05#"_s;
    QTest::newRow("on") << SqlText::OnDateCondition(u"MoneyDate"_s, u"2009-01-05"_s, a)
                        << u" and MoneyDate = #2009-01-05#"_s;
    QTest::newRow("equals") << SqlText::EqualsCondition(u"MoneyAdmin"_s, u"O'Brien"_s, a)
                            << u" and MoneyAdmin='O''Brien'"_s;
    QTest::newRow("other prefix") << SqlText::OnDateCondition(u"MoneyDate"_s, u"2009-01-05"_s, u" or "_s)
                                  << u" or MoneyDate = #2009-01-05#"_s;
}

void TestSqlText::fragments()
{
    QFETCH(QString, fragment);
    QFETCH(QString, expected);
    QCOMPARE(fragment, expected);
}

void TestSqlText::quoting_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("plain") << u"现金"_s << u"'现金'"_s;
    QTest::newRow("empty") << QString() << u"''"_s;
    QTest::newRow("apostrophe") << u"O'Brien"_s << u"'O''Brien'"_s;
    QTest::newRow("only quotes") << u"''"_s << u"''''''"_s;
    QTest::newRow("hash and percent") << u"#1 100%"_s << u"'#1 100%'"_s;
}

void TestSqlText::quoting()
{
    QFETCH(QString, text);
    QFETCH(QString, quoted);
    QCOMPARE(SqlText::QuotedStr(text), quoted);
}

void TestSqlText::incrementSerial_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("next");
    QTest::newRow("plain") << u"SZ-20240105001"_s << u"SZ-20240105002"_s;
    QTest::newRow("carry") << u"SZ-20240105009"_s << u"SZ-20240105010"_s;
    QTest::newRow("into the date") << u"SZ-20240105999"_s << u"SZ-20240106000"_s;
    QTest::newRow("letter and digit") << u"SZ-20240105A9"_s << u"SZ-20240105B0"_s;
    QTest::newRow("lower z wraps") << u"ab-z"_s << u"ac-a"_s;
    QTest::newRow("upper Z wraps") << u"AZ"_s << u"BA"_s;
    QTest::newRow("other chars carry") << u"9-9"_s << u"0-0"_s;
    QTest::newRow("whole wrap") << u"99"_s << u"00"_s;
    QTest::newRow("chinese passed over") << u"单9"_s << u"单0"_s;
    QTest::newRow("receivable") << u"DS20090105001"_s << u"DS20090105002"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestSqlText::incrementSerial()
{
    QFETCH(QString, serial);
    QFETCH(QString, next);
    QCOMPARE(IncrementSerial(serial), next);
}

void TestSqlText::plainNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("int") << 1234.0 << u"1234"_s;
    QTest::newRow("cents") << 1234.5 << u"1234.5"_s;
    QTest::newRow("negative") << -0.05 << u"-0.05"_s;
    QTest::newRow("large, no exponent") << 1e21 << u"1000000000000000000000"_s;
    QTest::newRow("small, no exponent") << 0.0001 << u"0.0001"_s;
    QTest::newRow("negative zero") << -0.0 << u"0"_s;
}

void TestSqlText::plainNumber()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(SqlText::PlainNumber(value), text);
}

void TestSqlText::dates()
{
    QCOMPARE(SqlText::DateText(QDate(2009, 1, 5)), u"2009-01-05"_s);
    QCOMPARE(SqlText::ParseDate(u"2009-01-05"_s), QDate(2009, 1, 5));
    QCOMPARE(SqlText::ParseDate(u"2009-1-5"_s), QDate(2009, 1, 5));
    QVERIFY(!SqlText::ParseDate(u"2009-02-30"_s).isValid());
    QVERIFY(!SqlText::ParseDate(u"yesterday"_s).isValid());
}

void TestSqlText::filterList()
{
    TFilterList list;
    QCOMPARE(list.value(u"MoneyDateFilter"_s), QString());
    list.setValue(u"MoneyBaseFilter"_s, u" and MoneyKind='财务收入'"_s);
    list.setValue(u"MoneyDateFilter"_s, u" and MoneyDate = #2009-01-05#"_s);
    list.setValue(u"MoneyBaseFilter"_s, u" and MoneyKind='财务支出'"_s); // replaces in place
    QCOMPARE(list.lines(), (QStringList{u"MoneyBaseFilter= and MoneyKind='财务支出'"_s,
                                        u"MoneyDateFilter= and MoneyDate = #2009-01-05#"_s}));
    list.setValue(u"MoneyBaseFilter"_s, QString()); // empty removes the line
    QVERIFY(!list.contains(u"MoneyBaseFilter"_s));
    QCOMPARE(list.count(), 1);
    QCOMPARE(list.value(u"moneydatefilter"_s), u" and MoneyDate = #2009-01-05#"_s);
}

QTEST_GUILESS_MAIN(TestSqlText)
#include "tst_sqltext.moc"

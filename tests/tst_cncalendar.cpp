#include "CnCalendar.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QTest>
#include <QTimeZone>

#include <cmath>

using namespace Qt::StringLiterals;
using CnCalendar::LunarDate;

namespace {

// Expected texts are spelled out in full here rather than composed as the library does, so the
// reference is independent of the library's digit rules.
const QStringList kTermNames = {
    u"立春"_s, u"雨水"_s, u"惊蛰"_s, u"春分"_s, u"清明"_s, u"谷雨"_s, u"立夏"_s, u"小满"_s,
    u"芒种"_s, u"夏至"_s, u"小暑"_s, u"大暑"_s, u"立秋"_s, u"处暑"_s, u"白露"_s, u"秋分"_s,
    u"寒露"_s, u"霜降"_s, u"立冬"_s, u"小雪"_s, u"大雪"_s, u"冬至"_s, u"小寒"_s, u"大寒"_s,
};
const QStringList kMonthNames = {u"一月"_s, u"二月"_s, u"三月"_s, u"四月"_s,
                                 u"五月"_s, u"六月"_s, u"七月"_s, u"八月"_s,
                                 u"九月"_s, u"十月"_s, u"十一月"_s, u"十二月"_s};
const QStringList kDayNames = {
    QString(), u"初二"_s, u"初三"_s, u"初四"_s, u"初五"_s, u"初六"_s, u"初七"_s, u"初八"_s,
    u"初九"_s, u"初十"_s, u"十一"_s, u"十二"_s, u"十三"_s, u"十四"_s, u"十五"_s, u"十六"_s,
    u"十七"_s, u"十八"_s, u"十九"_s, u"二十"_s, u"廿一"_s, u"廿二"_s, u"廿三"_s, u"廿四"_s,
    u"廿五"_s, u"廿六"_s, u"廿七"_s, u"廿八"_s, u"廿九"_s, u"三十"_s,
};
const QString kCycle = u"甲子乙丑丙寅丁卯戊辰己巳庚午辛未壬申癸酉甲戌乙亥丙子丁丑戊寅己卯庚辰辛巳"
                       u"壬午癸未甲申乙酉丙戌丁亥戊子己丑庚寅辛卯壬辰癸巳甲午乙未丙申丁酉戊戌己亥"
                       u"庚子辛丑壬寅癸卯甲辰乙巳丙午丁未戊申己酉庚戌辛亥壬子癸丑甲寅乙卯丙辰丁巳"
                       u"戊午己未庚申辛酉壬戌癸亥"_s;
const QString kAnimals = u"鼠牛虎兔龙蛇马羊猴鸡狗猪"_s;

int Mod(int a, int n)
{
    return ((a % n) + n) % n;
}

QList<QStringList> ReadTable(const QString &name)
{
    QFile file(qEnvironmentVariable("QY_TEST_DATA") + u"/cncalendar/"_s + name);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QList<QStringList> rows;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (!line.isEmpty() && !line.startsWith(u'#'))
            rows.append(line.split(u' ', Qt::SkipEmptyParts));
    }
    return rows;
}

double JulianDay(const QDateTime &utc)
{
    return static_cast<double>(utc.toMSecsSinceEpoch()) / 86400000.0 + 2440587.5;
}

} // namespace

class TestCnCalendar : public QObject
{
    Q_OBJECT

private:
    // Reference calendar from the committed tables.
    QHash<qint64, LunarDate> m_lunar; // by Julian day number
    QHash<qint64, int> m_terms;       // term index by Julian day number
    QHash<int, QDate> m_springStart;  // 立春 by Gregorian year

private slots:
    void initTestCase();
    void wholeRangeMatchesReference();
    void termDatesMatchReference();
    void dayText_data();
    void dayText();
    void yearCaption_data();
    void yearCaption();
    void toLunar_data();
    void toLunar();
    void outsideRange();
    void calendarLine();
    void moments_data();
    void moments();
    void meeusNewMoonExample();
};

void TestCnCalendar::initTestCase()
{
    const QList<QStringList> years = ReadTable(u"lunar_years.txt"_s);
    QVERIFY2(!years.isEmpty(), "lunar_years.txt missing; is QY_TEST_DATA set?");
    QDate expectedStart;
    for (const QStringList &row : years) {
        QVERIFY2(row.size() == 15 || row.size() == 16, qPrintable(row.join(u' ')));
        const int year = row[0].toInt();
        const QDate newYear = QDate::fromString(row[1], Qt::ISODate);
        const int leapMonth = row[2].toInt();
        QCOMPARE(row.size() - 3, leapMonth ? 13 : 12);
        if (expectedStart.isValid())
            QCOMPARE(newYear, expectedStart); // consecutive years leave no gap
        QDate day = newYear;
        int month = 1;
        bool leap = false;
        for (qsizetype i = 3; i < row.size(); ++i) {
            const int length = row[i].toInt();
            QVERIFY(length == 29 || length == 30);
            for (int d = 1; d <= length; ++d) {
                m_lunar.insert(day.toJulianDay(), LunarDate{year, month, d, leap});
                day = day.addDays(1);
            }
            if (month == leapMonth && !leap) {
                leap = true;
            } else {
                leap = false;
                ++month;
            }
        }
        expectedStart = day;
    }

    // The year's 11th and 12th months run into January of the next Gregorian year and
    // belong to the lunar year they started in; nothing more to do for them.
    const QList<QStringList> terms = ReadTable(u"solar_terms.txt"_s);
    QVERIFY(!terms.isEmpty());
    for (const QStringList &row : terms) {
        QCOMPARE(row.size(), 25);
        const int year = row[0].toInt();
        for (int i = 0; i < 24; ++i) {
            const QString &mmdd = row[i + 1];
            const QDate date(year, mmdd.left(2).toInt(), mmdd.mid(2).toInt());
            QVERIFY(date.isValid());
            m_terms.insert(date.toJulianDay(), i);
            if (i == 0)
                m_springStart.insert(year, date);
        }
    }
}

void TestCnCalendar::wholeRangeMatchesReference()
{
    QStringList mismatches;
    int compared = 0;
    const auto report = [&](const QDate &date, const QString &what, const QString &got,
                            const QString &want) {
        if (mismatches.size() < 10)
            mismatches.append(date.toString(Qt::ISODate) + u' ' + what + u": got " + got
                              + u", expected " + want);
        else if (mismatches.size() == 10)
            mismatches.append(u"..."_s);
    };
    const auto lunarText = [](const LunarDate &l) {
        return u"%1/%2%3/%4"_s.arg(l.year).arg(l.leap ? u"闰"_s : QString()).arg(l.month).arg(l.day);
    };

    for (QDate date(1980, 1, 1); date <= QDate(2099, 12, 31); date = date.addDays(1)) {
        ++compared;
        const qint64 jdn = date.toJulianDay();
        QVERIFY2(m_lunar.contains(jdn), qPrintable(date.toString(Qt::ISODate)));
        const LunarDate want = m_lunar.value(jdn);
        const int wantTerm = m_terms.value(jdn, -1);

        const std::optional<LunarDate> got = CnCalendar::ToLunar(date);
        if (!got)
            report(date, u"ToLunar"_s, u"nothing"_s, lunarText(want));
        else if (!(*got == want))
            report(date, u"ToLunar"_s, lunarText(*got), lunarText(want));

        const int gotTerm = CnCalendar::SolarTermOn(date);
        if (gotTerm != wantTerm)
            report(date, u"SolarTermOn"_s, QString::number(gotTerm), QString::number(wantTerm));

        QString wantText;
        if (wantTerm >= 0)
            wantText = kTermNames[wantTerm];
        else if (want.day == 1)
            wantText = (want.leap ? u"闰"_s : QString()) + kMonthNames[want.month - 1];
        else
            wantText = kDayNames[want.day - 1];
        const QString gotText = CnCalendar::DayText(date);
        if (gotText != wantText)
            report(date, u"DayText"_s, gotText, wantText);

        const int y = date.year();
        const int counted = date < m_springStart.value(y) ? y - 1 : y;
        const QString wantCaption = kCycle.mid(Mod(counted - 4, 60) * 2, 2) + kAnimals[Mod(y - 4, 12)]
                                    + u"年"_s;
        const QString gotCaption = CnCalendar::YearCaption(date);
        if (gotCaption != wantCaption)
            report(date, u"YearCaption"_s, gotCaption, wantCaption);
    }
    QCOMPARE(compared, 43830);
    QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(u'\n')));
}

void TestCnCalendar::termDatesMatchReference()
{
    for (int year = 1980; year <= 2099; ++year) {
        for (int i = 0; i < 24; ++i) {
            const QDate date = CnCalendar::SolarTermDate(year, i);
            QVERIFY2(date.isValid() && date.year() == year && m_terms.value(date.toJulianDay(), -1) == i,
                     qPrintable(u"%1 %2 → %3"_s.arg(year).arg(kTermNames[i], date.toString(Qt::ISODate))));
        }
    }
}

void TestCnCalendar::dayText_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("text");

    QTest::newRow("大寒 2009") << QDate(2009, 1, 20) << u"大寒"_s;
    QTest::newRow("day 26") << QDate(2009, 1, 21) << u"廿六"_s;
    QTest::newRow("term on a lunar 1st: 处暑 = 七月初一") << QDate(1987, 8, 24) << u"处暑"_s;
    QTest::newRow("term on a lunar 1st: 冬至 = 十一月初一") << QDate(1984, 12, 22) << u"冬至"_s;
    QTest::newRow("leap 6th month 1987") << QDate(1987, 7, 26) << u"闰六月"_s;
    QTest::newRow("day before 闰六月") << QDate(1987, 7, 25) << u"三十"_s;
    QTest::newRow("leap 11th month 2033") << QDate(2033, 12, 22) << u"闰十一月"_s;
    QTest::newRow("leap 2nd month 2023") << QDate(2023, 3, 22) << u"闰二月"_s;
    QTest::newRow("month 11") << QDate(1981, 11, 26) << u"十一月"_s;
    QTest::newRow("month 12") << QDate(1980, 1, 18) << u"十二月"_s;
    QTest::newRow("new year 2027 (new moon 23:56)") << QDate(2027, 2, 6) << u"一月"_s;
    QTest::newRow("eve of new year 2027") << QDate(2027, 2, 5) << u"廿九"_s;
    QTest::newRow("new year 2030 (new moon 00:07)") << QDate(2030, 2, 3) << u"一月"_s;
    QTest::newRow("eve of new year 2030") << QDate(2030, 2, 2) << u"三十"_s;
    QTest::newRow("5th month 2013 (new moon 23:56)") << QDate(2013, 6, 8) << u"五月"_s;
    QTest::newRow("9th month 2057 (new moon seconds before midnight)") << QDate(2057, 9, 28) << u"九月"_s;
    QTest::newRow("7th month 2097 (new moon seconds before midnight)") << QDate(2097, 8, 7) << u"七月"_s;
    QTest::newRow("day 9") << QDate(2009, 2, 3) << u"初九"_s;
    QTest::newRow("day 10 of a leap month") << QDate(2004, 3, 30) << u"初十"_s;
    QTest::newRow("day 11") << QDate(2005, 5, 18) << u"十一"_s;
    QTest::newRow("day 20") << QDate(2099, 12, 31) << u"二十"_s;
}

void TestCnCalendar::dayText()
{
    QFETCH(QDate, date);
    QFETCH(QString, text);
    QCOMPARE(CnCalendar::DayText(date), text);
}

void TestCnCalendar::yearCaption_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("caption");

    QTest::newRow("before 立春: old name, new animal") << QDate(2009, 1, 20) << u"戊子牛年"_s;
    QTest::newRow("after the lunar new year, before 立春") << QDate(2009, 2, 3) << u"戊子牛年"_s;
    QTest::newRow("立春 2009") << QDate(2009, 2, 4) << u"己丑牛年"_s;
    QTest::newRow("1 January") << QDate(1985, 1, 1) << u"甲子牛年"_s;
    QTest::newRow("立春 1985") << QDate(1985, 2, 4) << u"乙丑牛年"_s;
    QTest::newRow("2000 dragon after 立春") << QDate(2000, 2, 4) << u"庚辰龙年"_s;
    QTest::newRow("lunar 2033 month 12 in 2034") << QDate(2034, 1, 20) << u"癸丑虎年"_s;
    QTest::newRow("first day of the range") << QDate(1980, 1, 1) << u"己未猴年"_s;
    QTest::newRow("last day of the range") << QDate(2099, 12, 31) << u"己未羊年"_s;
}

void TestCnCalendar::yearCaption()
{
    QFETCH(QDate, date);
    QFETCH(QString, caption);
    QCOMPARE(CnCalendar::YearCaption(date), caption);
}

void TestCnCalendar::toLunar_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<bool>("leap");

    QTest::newRow("1980-01-01 in lunar 1979's 11th month") << QDate(1980, 1, 1) << 1979 << 11 << 14 << false;
    QTest::newRow("闰六月 1987") << QDate(1987, 7, 26) << 1987 << 6 << 1 << true;
    QTest::newRow("七月 1987 follows it") << QDate(1987, 8, 24) << 1987 << 7 << 1 << false;
    QTest::newRow("闰十一月 2033 belongs to 2033") << QDate(2033, 12, 22) << 2033 << 11 << 1 << true;
    QTest::newRow("new year 2027") << QDate(2027, 2, 6) << 2027 << 1 << 1 << false;
    QTest::newRow("new year 2030") << QDate(2030, 2, 3) << 2030 << 1 << 1 << false;
    QTest::newRow("2009-01-21") << QDate(2009, 1, 21) << 2008 << 12 << 26 << false;
}

void TestCnCalendar::toLunar()
{
    QFETCH(QDate, date);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(bool, leap);
    const std::optional<LunarDate> lunar = CnCalendar::ToLunar(date);
    QVERIFY(lunar.has_value());
    QCOMPARE(lunar->year, year);
    QCOMPARE(lunar->month, month);
    QCOMPARE(lunar->day, day);
    QCOMPARE(lunar->leap, leap);
}

void TestCnCalendar::outsideRange()
{
    const QDate before = CnCalendar::FirstSupportedDate().addDays(-1);
    const QDate after = CnCalendar::LastSupportedDate().addDays(1);
    QVERIFY(CnCalendar::FirstSupportedDate() <= QDate(1980, 1, 1));
    QVERIFY(CnCalendar::LastSupportedDate() >= QDate(2099, 12, 31));
    for (const QDate &date : {QDate(), QDate(2023, 2, 30), before, after}) {
        QVERIFY(!CnCalendar::ToLunar(date).has_value());
        QCOMPARE(CnCalendar::SolarTermOn(date), -1);
        QVERIFY(CnCalendar::DayText(date).isEmpty());
        QVERIFY(CnCalendar::YearCaption(date).isEmpty());
    }
    QVERIFY(CnCalendar::ToLunar(CnCalendar::FirstSupportedDate()).has_value());
    QVERIFY(CnCalendar::ToLunar(CnCalendar::LastSupportedDate()).has_value());
    QVERIFY(!CnCalendar::SolarTermDate(2000, -1).isValid());
    QVERIFY(!CnCalendar::SolarTermDate(2000, 24).isValid());
    QVERIFY(!CnCalendar::SolarTermDate(before.year(), 0).isValid());
    QVERIFY(!CnCalendar::SolarTermDate(after.year(), 0).isValid());
    QVERIFY(CnCalendar::SolarTermName(24).isEmpty());
    QVERIFY(CnCalendar::LunarDayText(LunarDate{2000, 13, 1, false}).isEmpty());
    QVERIFY(CnCalendar::LunarDayText(LunarDate{2000, 1, 31, false}).isEmpty());
}

void TestCnCalendar::calendarLine()
{
    QCOMPARE(CnCalendar::CalendarLine(QDate(2009, 1, 21)), u"2009-01-21\t廿六\t戊子牛年"_s);
    QCOMPARE(CnCalendar::CalendarLine(QDate(2009, 2, 4)), u"2009-02-04\t立春\t己丑牛年"_s);
}

// Published moments (UT, to the minute) of equinoxes, solstices and new moons.
void TestCnCalendar::moments_data()
{
    QTest::addColumn<bool>("newMoon");
    QTest::addColumn<int>("year");  // term year, or lunation number for a new moon
    QTest::addColumn<int>("index"); // term index
    QTest::addColumn<QDateTime>("utc");

    const auto utc = [](int y, int mo, int d, int h, int mi) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi), QTimeZone::utc());
    };
    QTest::newRow("March equinox 2000") << false << 2000 << 3 << utc(2000, 3, 20, 7, 35);
    QTest::newRow("June solstice 2000") << false << 2000 << 9 << utc(2000, 6, 21, 1, 48);
    QTest::newRow("September equinox 2000") << false << 2000 << 15 << utc(2000, 9, 22, 17, 28);
    QTest::newRow("December solstice 2000") << false << 2000 << 21 << utc(2000, 12, 21, 13, 37);
    QTest::newRow("new moon 2000-01-06") << true << 0 << 0 << utc(2000, 1, 6, 18, 14);
    QTest::newRow("new moon 2027-02-06") << true << 335 << 0 << utc(2027, 2, 6, 15, 56);
    QTest::newRow("new moon 2030-02-02") << true << 372 << 0 << utc(2030, 2, 2, 16, 7);
}

void TestCnCalendar::moments()
{
    QFETCH(bool, newMoon);
    QFETCH(int, year);
    QFETCH(int, index);
    QFETCH(QDateTime, utc);
    const double local = newMoon ? CnCalendar::Astro::NewMoonJdLocal(year)
                                 : CnCalendar::Astro::SolarTermJdLocal(year, index);
    const double seconds = (local - 8.0 / 24.0 - JulianDay(utc)) * 86400.0;
    // Half a minute of rounding in the published time, plus the computation's own error.
    QVERIFY2(std::abs(seconds) < 60, qPrintable(QString::number(seconds)));
}

// Meeus, "Astronomical Algorithms", example 49.a: the new moon of 1977 February.
void TestCnCalendar::meeusNewMoonExample()
{
    QVERIFY(std::abs(CnCalendar::Astro::NewMoonJdTT(-283) - 2443192.65118) < 1e-5);
}

QTEST_GUILESS_MAIN(TestCnCalendar)
#include "tst_cncalendar.moc"

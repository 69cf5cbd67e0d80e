#pragma once

#include <QDate>
#include <QString>

#include <optional>

// The Chinese lunisolar calendar (农历) and the 24 solar terms, computed from the Sun's and the
// Moon's positions in China Standard Time (UTC+8). Valid from FirstSupportedDate() to
// LastSupportedDate(): 1980-01-01 .. 2100-12-31.
namespace CnCalendar {

struct LunarDate
{
    int year = 0;  // Gregorian year in which this lunar year's 正月 begins
    int month = 0; // 1..12
    int day = 0;   // 1..30
    bool leap = false;

    friend bool operator==(const LunarDate &, const LunarDate &) = default;
};

QDate FirstSupportedDate();
QDate LastSupportedDate();

// nullopt outside the supported range.
std::optional<LunarDate> ToLunar(QDate date);

// 0..23 counted from 立春 (0 立春, 1 雨水, ... 21 冬至, 22 小寒, 23 大寒); -1 when no term falls
// on that date or the date is outside the supported range.
int SolarTermOn(QDate date);

// Local (UTC+8) date of term `index` (0 = 立春) in Gregorian year `year`; 小寒 and 大寒 (22, 23)
// are the ones of January of that year. Invalid date for an index outside 0..23 or a year
// outside the supported range.
QDate SolarTermDate(int year, int index);

// "立春" … "大寒"; empty for an index outside 0..23.
QString SolarTermName(int index);

// Text of a lunar day: the month name on day 1 ("一月", "闰四月", "十二月"), else "初二" … "三十".
// Empty for an invalid lunar date.
QString LunarDayText(const LunarDate &lunar);

// The term name when a term falls on the date, else LunarDayText; empty outside the range.
QString DayText(QDate date);

// Sexagenary name counted from 立春 of the date's Gregorian year, the animal of that Gregorian
// year itself, then "年": 2009-01-20 → "戊子牛年", 2009-02-04 → "己丑牛年". Empty outside the range.
QString YearCaption(QDate date);

// "yyyy-MM-dd\t<DayText>\t<YearCaption>", one line for command-line listings.
QString CalendarLine(QDate date);

// The astronomy underneath, exposed for tests. Times are Julian days; "TT" ones are in
// Terrestrial Time, "local" ones in UTC+8.
namespace Astro {
double DeltaTSeconds(double decimalYear);
double ApparentSolarLongitude(double jdTT); // degrees, 0 <= x < 360
double SolarTermJdLocal(int year, int index);
double NewMoonJdTT(int lunation);           // lunation 0 = the new moon of 2000-01-06
double NewMoonJdLocal(int lunation);
} // namespace Astro

} // namespace CnCalendar

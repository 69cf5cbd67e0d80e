#include "CnCalendar.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <span>
#include <vector>

using namespace Qt::StringLiterals;

namespace CnCalendar {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegToRad = kPi / 180.0;
constexpr double kJ2000 = 2451545.0;
constexpr double kBeijingOffsetDays = 8.0 / 24.0;

// Supported Gregorian years. 1979 is left out on purpose: its 大寒 falls about a second before
// midnight, and published tables disagree on its date.
constexpr int kFirstYear = 1980;
constexpr int kLastYear = 2100;

double NormalizeDegrees(double x)
{
    x = std::fmod(x, 360.0);
    return x < 0 ? x + 360.0 : x;
}

// ---- Sun: VSOP87 (Bretagnon & Francou 1988) for the Earth, truncated as in Meeus,
// "Astronomical Algorithms" (2nd ed.), appendix III. Amplitudes in 1e-8 rad / 1e-8 AU.

struct VsopTerm
{
    double a;
    double b;
    double c;
};

constexpr VsopTerm kL0[] = {
    {175347046, 0, 0},         {3341656, 4.6692568, 6283.0758500}, {34894, 4.6261, 12566.1517},
    {3497, 2.7441, 5753.3849}, {3418, 2.8289, 3.5231},             {3136, 3.6277, 77713.7715},
    {2676, 4.4181, 7860.4194}, {2343, 6.1352, 3930.2097},          {1324, 0.7425, 11506.7698},
    {1273, 2.0371, 529.6910},  {1199, 1.1096, 1577.3435},          {990, 5.233, 5884.927},
    {902, 2.045, 26.298},      {857, 3.508, 398.149},              {780, 1.179, 5223.694},
    {753, 2.533, 5507.553},    {505, 4.583, 18849.228},            {492, 4.205, 775.523},
    {357, 2.920, 0.067},       {317, 5.849, 11790.629},            {284, 1.899, 796.298},
    {271, 0.315, 10977.079},   {243, 0.345, 5486.778},             {206, 4.806, 2544.314},
    {205, 1.869, 5573.143},    {202, 2.458, 6069.777},             {156, 0.833, 213.299},
    {132, 3.411, 2942.463},    {126, 1.083, 20.775},               {115, 0.645, 0.980},
    {103, 0.636, 4694.003},    {102, 0.976, 15720.839},            {102, 4.267, 7.114},
    {99, 6.21, 2146.17},       {98, 0.68, 155.42},                 {86, 5.98, 161000.69},
    {85, 1.30, 6275.96},       {85, 3.67, 71430.70},               {80, 1.81, 17260.15},
    {79, 3.04, 12036.46},      {75, 1.76, 5088.63},                {74, 3.50, 3154.69},
    {74, 4.68, 801.82},        {70, 0.83, 9437.76},                {62, 3.98, 8827.39},
    {61, 1.82, 7084.90},       {57, 2.78, 6286.60},                {56, 4.39, 14143.50},
    {56, 3.47, 6279.55},       {52, 0.19, 12139.55},               {52, 1.33, 1748.02},
    {51, 0.28, 5856.48},       {49, 0.49, 1194.45},                {41, 5.37, 8429.24},
    {41, 2.40, 19651.05},      {39, 6.17, 10447.39},               {37, 6.04, 10213.29},
    {37, 2.57, 1059.38},       {36, 1.71, 2352.87},                {36, 1.78, 6812.77},
    {33, 0.59, 17789.85},      {30, 0.44, 83996.85},               {30, 2.74, 1349.87},
    {25, 3.16, 4690.48},
};
constexpr VsopTerm kL1[] = {
    {628331966747, 0, 0},    {206059, 2.678235, 6283.075850}, {4303, 2.6351, 12566.1517},
    {425, 1.590, 3.523},     {119, 5.796, 26.298},            {109, 2.966, 1577.344},
    {93, 2.59, 18849.23},    {72, 1.14, 529.69},              {68, 1.87, 398.15},
    {67, 4.41, 5507.55},     {59, 2.89, 5223.69},             {56, 2.17, 155.42},
    {45, 0.40, 796.30},      {36, 0.47, 775.52},              {29, 2.65, 7.11},
    {21, 5.34, 0.98},        {19, 1.85, 5486.78},             {19, 4.97, 213.30},
    {17, 2.99, 6275.96},     {16, 0.03, 2544.31},             {16, 1.43, 2146.17},
    {15, 1.21, 10977.08},    {12, 2.83, 1748.02},             {12, 3.26, 5088.63},
    {12, 5.27, 1194.45},     {12, 2.08, 4694.00},             {11, 0.77, 553.57},
    {10, 1.30, 6286.60},     {10, 4.24, 1349.87},             {9, 2.70, 242.73},
    {9, 5.64, 951.72},       {8, 5.30, 2352.87},              {6, 2.65, 9437.76},
    {6, 4.67, 4690.48},
};
constexpr VsopTerm kL2[] = {
    {52919, 0, 0},       {8720, 1.0721, 6283.0758}, {309, 0.867, 12566.152}, {27, 0.05, 3.52},
    {16, 5.19, 26.30},   {16, 3.68, 155.42},        {10, 0.76, 18849.23},    {9, 2.06, 77713.77},
    {7, 0.83, 775.52},   {5, 4.66, 1577.34},        {4, 1.03, 7.11},         {4, 3.44, 5573.14},
    {3, 5.14, 796.30},   {3, 6.05, 5507.55},        {3, 1.19, 242.73},       {3, 6.12, 529.69},
    {3, 0.31, 398.15},   {3, 2.28, 553.57},         {2, 4.38, 5223.69},      {2, 3.75, 0.98},
};
constexpr VsopTerm kL3[] = {
    {289, 5.844, 6283.076}, {35, 0, 0},        {17, 5.49, 12566.15}, {3, 5.20, 155.42},
    {1, 4.72, 3.52},        {1, 5.30, 18849.23}, {1, 5.97, 242.73},
};
constexpr VsopTerm kL4[] = {{114, 3.142, 0}, {8, 4.13, 6283.08}, {1, 3.84, 12566.15}};
constexpr VsopTerm kL5[] = {{1, 3.14, 0}};

constexpr VsopTerm kR0[] = {
    {100013989, 0, 0},         {1670700, 3.0984635, 6283.0758500}, {13956, 3.05525, 12566.15170},
    {3084, 5.1985, 77713.7715}, {1628, 1.1739, 5753.3849},          {1576, 2.8469, 7860.4194},
    {925, 5.453, 11506.770},   {542, 4.564, 3930.210},             {472, 3.661, 5884.927},
    {346, 0.964, 5507.553},    {329, 5.900, 5223.694},             {307, 0.299, 5573.143},
    {243, 4.273, 11790.629},   {212, 5.847, 1577.344},             {186, 5.022, 10977.079},
    {175, 3.012, 18849.228},   {110, 5.055, 5486.778},             {98, 0.89, 6069.78},
    {86, 5.69, 15720.84},      {86, 1.27, 161000.69},              {65, 0.27, 17260.15},
    {63, 0.92, 529.69},        {57, 2.01, 83996.85},               {56, 5.24, 71430.70},
    {49, 3.25, 2544.31},       {47, 2.58, 775.52},                 {45, 5.54, 9437.76},
    {43, 6.01, 6275.96},       {39, 5.36, 4694.00},                {38, 2.39, 8827.39},
    {37, 0.83, 19651.05},      {37, 4.90, 12139.55},               {36, 1.67, 12036.46},
    {35, 1.84, 2942.46},       {33, 0.24, 7084.90},                {32, 0.18, 5088.63},
    {32, 1.78, 398.15},        {28, 1.21, 6286.60},                {28, 1.90, 6279.55},
    {26, 4.59, 10447.39},
};
constexpr VsopTerm kR1[] = {
    {103019, 1.107490, 6283.075850}, {1721, 1.0644, 12566.1517}, {702, 3.142, 0},
    {32, 1.02, 18849.23},            {31, 2.84, 5507.55},        {25, 1.32, 5223.69},
    {18, 1.42, 1577.34},             {10, 5.91, 10977.08},       {9, 1.42, 6275.96},
    {9, 0.27, 5486.78},
};
constexpr VsopTerm kR2[] = {
    {4359, 5.7846, 6283.0758}, {124, 5.579, 12566.152}, {12, 3.14, 0},
    {9, 3.63, 77713.77},       {6, 1.87, 5573.14},      {3, 5.47, 18849.23},
};
constexpr VsopTerm kR3[] = {{145, 4.273, 6283.076}, {7, 3.92, 12566.15}};
constexpr VsopTerm kR4[] = {{4, 2.56, 6283.08}};

double VsopSum(std::span<const VsopTerm> terms, double tau)
{
    double sum = 0;
    for (const VsopTerm &t : terms)
        sum += t.a * std::cos(t.b + t.c * tau);
    return sum;
}

// Evaluates a series of powers of tau: s0 + s1 tau + s2 tau^2 + ..., in units of 1e-8.
template <size_t N>
double VsopSeries(const std::array<std::span<const VsopTerm>, N> &series, double tau)
{
    double result = 0;
    for (size_t i = N; i-- > 0;)
        result = result * tau + VsopSum(series[i], tau);
    return result * 1e-8;
}

// ---- Nutation in longitude: the IAU 1980 series (Meeus table 22.A), the terms above 0.0005".

struct NutationTerm
{
    signed char d, m, mp, f, om;
    double psi0; // 0.0001"
    double psi1; // 0.0001" per century
};

constexpr NutationTerm kNutation[] = {
    {0, 0, 0, 0, 1, -171996, -174.2}, {-2, 0, 0, 2, 2, -13187, -1.6}, {0, 0, 0, 2, 2, -2274, -0.2},
    {0, 0, 0, 0, 2, 2062, 0.2},       {0, 1, 0, 0, 0, 1426, -3.4},    {0, 0, 1, 0, 0, 712, 0.1},
    {-2, 1, 0, 2, 2, -517, 1.2},      {0, 0, 0, 2, 1, -386, -0.4},    {0, 0, 1, 2, 2, -301, 0},
    {-2, -1, 0, 2, 2, 217, -0.5},     {-2, 0, 1, 0, 0, -158, 0},      {-2, 0, 0, 2, 1, 129, 0.1},
    {0, 0, -1, 2, 2, 123, 0},         {2, 0, 0, 0, 0, 63, 0},         {0, 0, 1, 0, 1, 63, 0.1},
    {2, 0, -1, 2, 2, -59, 0},         {0, 0, -1, 0, 1, -58, -0.1},    {0, 0, 1, 2, 1, -51, 0},
    {-2, 0, 2, 0, 0, 48, 0},          {0, 0, -2, 2, 1, 46, 0},        {2, 0, 0, 2, 2, -38, 0},
    {0, 0, 2, 2, 2, -31, 0},          {0, 0, 2, 0, 0, 29, 0},         {-2, 0, 1, 2, 2, 29, 0},
    {0, 0, 0, 2, 0, 26, 0},           {-2, 0, 0, 2, 0, -22, 0},       {0, 0, -1, 2, 1, 21, 0},
    {0, 2, 0, 0, 0, 17, -0.1},        {2, 0, -1, 0, 1, 16, 0},        {-2, 2, 0, 2, 2, -16, 0.1},
    {0, 1, 0, 0, 1, -15, 0},          {-2, 0, 1, 0, 1, -13, 0},       {0, -1, 0, 0, 1, -12, 0},
    {0, 0, 2, -2, 0, 11, 0},          {2, 0, -1, 2, 1, -10, 0},       {2, 0, 1, 2, 2, -8, 0},
    {0, 1, 0, 2, 2, 7, 0},            {-2, 1, 1, 0, 0, -7, 0},        {0, -1, 0, 2, 2, -7, 0},
    {2, 0, 0, 2, 1, -7, 0},           {2, 0, 1, 0, 0, 6, 0},          {-2, 0, 2, 2, 2, 6, 0},
    {-2, 0, 1, 2, 1, 6, 0},           {2, 0, -2, 0, 1, -6, 0},        {2, 0, 0, 0, 1, -6, 0},
};

double NutationInLongitudeDegrees(double t)
{
    const double d = 297.85036 + 445267.111480 * t - 0.0019142 * t * t + t * t * t / 189474.0;
    const double m = 357.52772 + 35999.050340 * t - 0.0001603 * t * t - t * t * t / 300000.0;
    const double mp = 134.96298 + 477198.867398 * t + 0.0086972 * t * t + t * t * t / 56250.0;
    const double f = 93.27191 + 483202.017538 * t - 0.0036825 * t * t + t * t * t / 327270.0;
    const double om = 125.04452 - 1934.136261 * t + 0.0020708 * t * t + t * t * t / 450000.0;
    double psi = 0;
    for (const NutationTerm &n : kNutation) {
        const double arg = n.d * d + n.m * m + n.mp * mp + n.f * f + n.om * om;
        psi += (n.psi0 + n.psi1 * t) * std::sin(arg * kDegToRad);
    }
    return psi * 1e-4 / 3600.0;
}

// ---- Moon: the true new moon of Meeus chapter 49, with its periodic and planetary terms.

struct PhaseTerm
{
    double coefficient;
    int ePower; // power of E, the eccentricity factor
    signed char m, mp, f, om;
};

constexpr PhaseTerm kNewMoonTerms[] = {
    {-0.40720, 0, 0, 1, 0, 0}, {0.17241, 1, 1, 0, 0, 0},  {0.01608, 0, 0, 2, 0, 0},
    {0.01039, 0, 0, 0, 2, 0},  {0.00739, 1, -1, 1, 0, 0}, {-0.00514, 1, 1, 1, 0, 0},
    {0.00208, 2, 2, 0, 0, 0},  {-0.00111, 0, 0, 1, -2, 0}, {-0.00057, 0, 0, 1, 2, 0},
    {0.00056, 1, 1, 2, 0, 0},  {-0.00042, 0, 0, 3, 0, 0}, {0.00042, 1, 1, 0, 2, 0},
    {0.00038, 1, 1, 0, -2, 0}, {-0.00024, 1, -1, 2, 0, 0}, {-0.00017, 0, 0, 0, 0, 1},
    {-0.00007, 0, 2, 1, 0, 0}, {0.00004, 0, 0, 2, -2, 0}, {0.00004, 0, 3, 0, 0, 0},
    {0.00003, 0, 1, 1, -2, 0}, {0.00003, 0, 0, 2, 2, 0},  {-0.00003, 0, 1, 1, 2, 0},
    {0.00003, 0, -1, 1, 2, 0}, {-0.00002, 0, -1, 1, -2, 0}, {-0.00002, 0, 1, 3, 0, 0},
    {0.00002, 0, 0, 4, 0, 0},
};

struct PlanetaryTerm
{
    double a0, a1, amplitude;
};

// A1 also has a -0.009173 T^2 term, added where it is used.
constexpr PlanetaryTerm kPlanetaryTerms[] = {
    {299.77, 0.107408, 0.000325}, {251.88, 0.016321, 0.000165}, {251.83, 26.651886, 0.000164},
    {349.42, 36.412478, 0.000126}, {84.66, 18.206239, 0.000110}, {141.74, 53.303771, 0.000062},
    {207.14, 2.453732, 0.000060}, {154.84, 7.306860, 0.000056}, {34.52, 27.261239, 0.000047},
    {207.19, 0.121824, 0.000042}, {291.34, 1.844379, 0.000040}, {161.72, 24.198154, 0.000037},
    {239.56, 25.513099, 0.000035}, {331.55, 3.592518, 0.000023},
};

double DecimalYear(double jd)
{
    return 2000.0 + (jd - kJ2000) / 365.25;
}

double TTToLocal(double jdTT)
{
    return jdTT - Astro::DeltaTSeconds(DecimalYear(jdTT)) / 86400.0 + kBeijingOffsetDays;
}

// Local Julian day (midnight at .5) -> civil day number of that local date.
qint64 LocalDayNumber(double jdLocal)
{
    return static_cast<qint64>(std::floor(jdLocal + 0.5));
}

// Apparent solar longitude of term `index`, counted from 立春 at 315 degrees.
double TermLongitude(int index)
{
    return NormalizeDegrees(315.0 + 15.0 * index);
}

// ---- The calendar built once over the supported years.

struct Month
{
    qint64 start; // day number of the local day of the new moon
    int year;
    int number;
    bool leap;
};

struct Calendar
{
    std::vector<Month> months;                 // in order; the last one only marks the end
    std::vector<std::array<qint64, 24>> terms; // day numbers, per year from kFirstYear - 1
    qint64 firstDay = 0;
    qint64 lastDay = 0;

    int TermIndexOn(qint64 day, int year) const
    {
        const auto idx = static_cast<size_t>(year - (kFirstYear - 1));
        if (idx >= terms.size())
            return -1;
        const auto &row = terms[idx];
        const auto it = std::find(row.begin(), row.end(), day);
        return it == row.end() ? -1 : static_cast<int>(it - row.begin());
    }
};

Calendar BuildCalendar()
{
    Calendar cal;
    // Terms for one year more on each side than the range: the lunar months at its ends need the
    // winter solstice before and after them.
    const int termFirst = kFirstYear - 1;
    const int termLast = kLastYear + 1;
    for (int y = termFirst; y <= termLast; ++y) {
        std::array<qint64, 24> row{};
        for (int i = 0; i < 24; ++i)
            row[static_cast<size_t>(i)] = LocalDayNumber(Astro::SolarTermJdLocal(y, i));
        cal.terms.push_back(row);
    }

    // New moons from well before the first winter solstice to well after the last one.
    std::vector<qint64> moons;
    const auto lunationNear = [](int year) {
        return static_cast<int>(std::floor((year - 2000) * 12.3685));
    };
    for (int k = lunationNear(termFirst) - 2; k <= lunationNear(termLast + 1) + 2; ++k)
        moons.push_back(LocalDayNumber(Astro::NewMoonJdLocal(k)));

    std::vector<qint64> principal; // every principal term (中气) in order
    for (const auto &row : cal.terms)
        for (size_t i = 1; i < 24; i += 2)
            principal.push_back(row[i]);
    std::sort(principal.begin(), principal.end());
    const auto hasPrincipalTerm = [&](qint64 from, qint64 to) {
        const auto it = std::lower_bound(principal.begin(), principal.end(), from);
        return it != principal.end() && *it < to;
    };
    // Index of the month (new moon) that holds a given day.
    const auto monthHolding = [&](qint64 day) {
        return static_cast<size_t>(std::upper_bound(moons.begin(), moons.end(), day) - moons.begin()) - 1;
    };

    // One sui at a time: from the month holding a winter solstice (month 11) to the next one.
    for (int y = termFirst; y < termLast; ++y) {
        const size_t a = monthHolding(cal.terms[static_cast<size_t>(y - termFirst)][21]);
        const size_t b = monthHolding(cal.terms[static_cast<size_t>(y + 1 - termFirst)][21]);
        size_t leapIndex = 0;
        if (b - a == 13) {
            for (size_t i = a + 1; i < b; ++i) {
                if (!hasPrincipalTerm(moons[i], moons[i + 1])) {
                    leapIndex = i;
                    break;
                }
            }
        }
        int number = 11;
        for (size_t i = a; i < b; ++i) {
            const bool leap = i == leapIndex;
            if (i != a && !leap)
                number = number % 12 + 1;
            cal.months.push_back(Month{moons[i], 0, number, leap});
        }
    }
    // Sentinel: where the last month ends.
    const size_t end = monthHolding(cal.terms.back()[21]);
    cal.months.push_back(Month{moons[end], 0, 0, false});

    // The lunar year is the Gregorian year in which its 正月 begins.
    int year = 0;
    for (const Month &m : cal.months) {
        if (m.number == 1 && !m.leap) {
            year = QDate::fromJulianDay(m.start).year();
            break;
        }
    }
    --year;
    for (Month &m : cal.months) {
        if (m.number == 1 && !m.leap)
            year = QDate::fromJulianDay(m.start).year();
        m.year = year;
    }

    cal.firstDay = QDate(kFirstYear, 1, 1).toJulianDay();
    cal.lastDay = QDate(kLastYear, 12, 31).toJulianDay();
    Q_ASSERT(cal.months.front().start <= cal.firstDay && cal.months.back().start > cal.lastDay);
    return cal;
}

const Calendar &TheCalendar()
{
    static const Calendar cal = BuildCalendar();
    return cal;
}

bool InRange(QDate date)
{
    if (!date.isValid())
        return false;
    const Calendar &cal = TheCalendar();
    const qint64 day = date.toJulianDay();
    return day >= cal.firstDay && day <= cal.lastDay;
}

const QString &Digit(int n) // 1..10
{
    static const QStringList digits = {u"一"_s, u"二"_s, u"三"_s, u"四"_s, u"五"_s,
                                       u"六"_s, u"七"_s, u"八"_s, u"九"_s, u"十"_s};
    return digits[n - 1];
}

} // namespace

// ---- Astronomy

double Astro::DeltaTSeconds(double y)
{
    // Espenak & Meeus (NASA, 2006) polynomial fits and their extrapolation.
    if (y < 1961) {
        const double t = y - 1950;
        return 29.07 + 0.407 * t - t * t / 233 + t * t * t / 2547;
    }
    if (y < 1986) {
        const double t = y - 1975;
        return 45.45 + 1.067 * t - t * t / 260 - t * t * t / 718;
    }
    if (y < 2005) {
        const double t = y - 2000;
        return 63.86 + 0.3345 * t - 0.060374 * t * t + 0.0017275 * t * t * t
               + 0.000651814 * t * t * t * t + 0.00002373599 * t * t * t * t * t;
    }
    if (y < 2050) {
        const double t = y - 2000;
        return 62.92 + 0.32217 * t + 0.005589 * t * t;
    }
    const double u = (y - 1820) / 100;
    if (y < 2150)
        return -20 + 32 * u * u - 0.5628 * (2150 - y);
    return -20 + 32 * u * u;
}

double Astro::ApparentSolarLongitude(double jdTT)
{
    const double tau = (jdTT - kJ2000) / 365250.0;
    const std::array<std::span<const VsopTerm>, 6> lSeries = {kL0, kL1, kL2, kL3, kL4, kL5};
    const std::array<std::span<const VsopTerm>, 5> rSeries = {kR0, kR1, kR2, kR3, kR4};
    const double l = VsopSeries(lSeries, tau);
    const double r = VsopSeries(rSeries, tau);
    // Geocentric, from the VSOP frame to FK5, then nutation and aberration.
    double lambda = l / kDegToRad + 180.0;
    lambda += -0.09033 / 3600.0;
    lambda += NutationInLongitudeDegrees(tau * 10.0);
    lambda += -20.4898 / 3600.0 / r;
    return NormalizeDegrees(lambda);
}

double Astro::SolarTermJdLocal(int year, int index)
{
    const double target = TermLongitude(index);
    // The Sun is near longitude 280 at the start of January.
    const double dayOfYear = NormalizeDegrees(target - 280.0) * 365.2422 / 360.0;
    double jd = static_cast<double>(QDate(year, 1, 1).toJulianDay()) - 0.5 + dayOfYear;
    for (int i = 0; i < 20; ++i) {
        double diff = target - ApparentSolarLongitude(jd);
        diff -= 360.0 * std::round(diff / 360.0);
        const double step = diff * 365.2422 / 360.0;
        jd += step;
        if (std::abs(step) < 1e-8)
            break;
    }
    return TTToLocal(jd);
}

double Astro::NewMoonJdTT(int lunation)
{
    const double k = lunation;
    const double t = k / 1236.85;
    const double t2 = t * t;
    const double t3 = t2 * t;
    const double t4 = t3 * t;
    double jde = 2451550.09766 + 29.530588861 * k + 0.00015437 * t2 - 0.000000150 * t3
                 + 0.00000000073 * t4;
    const double e = 1 - 0.002516 * t - 0.0000074 * t2;
    const double m = (2.5534 + 29.10535670 * k - 0.0000014 * t2 - 0.00000011 * t3) * kDegToRad;
    const double mp = (201.5643 + 385.81693528 * k + 0.0107582 * t2 + 0.00001238 * t3
                       - 0.000000058 * t4)
                      * kDegToRad;
    const double f = (160.7108 + 390.67050284 * k - 0.0016118 * t2 - 0.00000227 * t3
                      + 0.000000011 * t4)
                     * kDegToRad;
    const double om = (124.7746 - 1.56375588 * k + 0.0020672 * t2 + 0.00000215 * t3) * kDegToRad;
    for (const PhaseTerm &p : kNewMoonTerms) {
        const double arg = p.m * m + p.mp * mp + p.f * f + p.om * om;
        jde += p.coefficient * std::pow(e, p.ePower) * std::sin(arg);
    }
    bool first = true;
    for (const PlanetaryTerm &p : kPlanetaryTerms) {
        double a = p.a0 + p.a1 * k;
        if (first)
            a -= 0.009173 * t2;
        first = false;
        jde += p.amplitude * std::sin(a * kDegToRad);
    }
    return jde;
}

double Astro::NewMoonJdLocal(int lunation)
{
    return TTToLocal(NewMoonJdTT(lunation));
}

// ---- Calendar

QDate FirstSupportedDate()
{
    return QDate(kFirstYear, 1, 1);
}

QDate LastSupportedDate()
{
    return QDate(kLastYear, 12, 31);
}

std::optional<LunarDate> ToLunar(QDate date)
{
    if (!InRange(date))
        return std::nullopt;
    const Calendar &cal = TheCalendar();
    const qint64 day = date.toJulianDay();
    const auto it = std::upper_bound(cal.months.begin(), cal.months.end(), day,
                                     [](qint64 d, const Month &m) { return d < m.start; });
    const Month &m = *(it - 1);
    return LunarDate{m.year, m.number, static_cast<int>(day - m.start) + 1, m.leap};
}

int SolarTermOn(QDate date)
{
    if (!InRange(date))
        return -1;
    return TheCalendar().TermIndexOn(date.toJulianDay(), date.year());
}

QDate SolarTermDate(int year, int index)
{
    if (year < kFirstYear || year > kLastYear || index < 0 || index > 23)
        return {};
    const auto &row = TheCalendar().terms[static_cast<size_t>(year - (kFirstYear - 1))];
    return QDate::fromJulianDay(row[static_cast<size_t>(index)]);
}

QString SolarTermName(int index)
{
    static const QStringList names = {
        u"立春"_s, u"雨水"_s, u"惊蛰"_s, u"春分"_s, u"清明"_s, u"谷雨"_s, u"立夏"_s, u"小满"_s,
        u"芒种"_s, u"夏至"_s, u"小暑"_s, u"大暑"_s, u"立秋"_s, u"处暑"_s, u"白露"_s, u"秋分"_s,
        u"寒露"_s, u"霜降"_s, u"立冬"_s, u"小雪"_s, u"大雪"_s, u"冬至"_s, u"小寒"_s, u"大寒"_s,
    };
    return index >= 0 && index < names.size() ? names[index] : QString();
}

QString LunarDayText(const LunarDate &lunar)
{
    const int m = lunar.month;
    const int d = lunar.day;
    if (m < 1 || m > 12 || d < 1 || d > 30)
        return {};
    if (d == 1) {
        const QString name = m <= 10 ? Digit(m) : u"十"_s + Digit(m - 10);
        return (lunar.leap ? u"闰"_s : QString()) + name + u"月"_s;
    }
    if (d <= 10)
        return u"初"_s + Digit(d);
    if (d < 20)
        return u"十"_s + Digit(d - 10);
    if (d == 20)
        return u"二十"_s;
    if (d < 30)
        return u"廿"_s + Digit(d - 20);
    return u"三十"_s;
}

QString DayText(QDate date)
{
    const int term = SolarTermOn(date);
    if (term >= 0)
        return SolarTermName(term);
    const std::optional<LunarDate> lunar = ToLunar(date);
    return lunar ? LunarDayText(*lunar) : QString();
}

QString YearCaption(QDate date)
{
    if (!InRange(date))
        return {};
    static const QStringList stems = {u"甲"_s, u"乙"_s, u"丙"_s, u"丁"_s, u"戊"_s,
                                      u"己"_s, u"庚"_s, u"辛"_s, u"壬"_s, u"癸"_s};
    static const QStringList branches = {u"子"_s, u"丑"_s, u"寅"_s, u"卯"_s, u"辰"_s, u"巳"_s,
                                         u"午"_s, u"未"_s, u"申"_s, u"酉"_s, u"戌"_s, u"亥"_s};
    static const QStringList animals = {u"鼠"_s, u"牛"_s, u"虎"_s, u"兔"_s, u"龙"_s, u"蛇"_s,
                                        u"马"_s, u"羊"_s, u"猴"_s, u"鸡"_s, u"狗"_s, u"猪"_s};
    const int y = date.year();
    const int counted = date < SolarTermDate(y, 0) ? y - 1 : y;
    const auto mod = [](int a, int n) { return ((a % n) + n) % n; };
    const int cycle = mod(counted - 4, 60);
    return stems[cycle % 10] + branches[cycle % 12] + animals[mod(y - 4, 12)] + u"年"_s;
}

QString CalendarLine(QDate date)
{
    return date.toString(u"yyyy-MM-dd"_s) + u'\t' + DayText(date) + u'\t' + YearCaption(date);
}

} // namespace CnCalendar

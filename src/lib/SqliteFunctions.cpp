#include "SqliteFunctions.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {

struct StoredDate
{
    QDate date;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Reads up to maxDigits (at least one) decimal digits at p[i].
bool readNumber(const unsigned char *p, int n, int &i, int maxDigits, int &out)
{
    const int start = i;
    int v = 0;
    while (i < n && i - start < maxDigits && p[i] >= '0' && p[i] <= '9')
        v = v * 10 + (p[i++] - '0');
    out = v;
    return i > start;
}

// 'yyyy-MM-dd' (or yyyy-M-d), optionally followed by ' ' or 'T' and H:mm[:ss[.fff]], as the
// program and Qt's SQLite driver store dates.
bool parseStoredDate(sqlite3_value *value, StoredDate &out)
{
    if (sqlite3_value_type(value) != SQLITE_TEXT)
        return false;
    const unsigned char *p = sqlite3_value_text(value);
    const int n = sqlite3_value_bytes(value);
    if (!p)
        return false;
    int i = 0;
    int y = 0, m = 0, d = 0;
    if (!readNumber(p, n, i, 4, y) || i != 4 || i >= n || (p[i] != '-' && p[i] != '/'))
        return false;
    const unsigned char sep = p[i++];
    if (!readNumber(p, n, i, 2, m) || i >= n || p[i] != sep)
        return false;
    ++i;
    if (!readNumber(p, n, i, 2, d))
        return false;
    out.date = QDate(y, m, d);
    if (!out.date.isValid())
        return false;
    out.hour = out.minute = out.second = 0;
    if (i == n)
        return true;
    if (p[i] != ' ' && p[i] != 'T')
        return false;
    ++i;
    if (!readNumber(p, n, i, 2, out.hour) || i >= n || p[i] != ':')
        return false;
    ++i;
    if (!readNumber(p, n, i, 2, out.minute))
        return false;
    if (i < n && p[i] == ':') {
        ++i;
        if (!readNumber(p, n, i, 2, out.second))
            return false;
        if (i < n && p[i] == '.') {
            ++i;
            int frac = 0;
            if (!readNumber(p, n, i, 9, frac))
                return false;
        }
    }
    return i == n && out.hour < 24 && out.minute < 60 && out.second < 60;
}

enum class Part { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

int partOf(const StoredDate &s, Part part)
{
    const QDate &d = s.date;
    switch (part) {
    case Part::Year:
        return d.year();
    case Part::Quarter:
        return (d.month() - 1) / 3 + 1;
    case Part::Month:
        return d.month();
    case Part::DayOfYear:
        return d.dayOfYear();
    case Part::Day:
        return d.day();
    case Part::Weekday: // 1 = Sunday
        return d.dayOfWeek() % 7 + 1;
    case Part::Week: { // weeks start on Sunday; week 1 holds 1 January
        const int jan1 = QDate(d.year(), 1, 1).dayOfWeek() % 7;
        return (d.dayOfYear() - 1 + jan1) / 7 + 1;
    }
    case Part::Hour:
        return s.hour;
    case Part::Minute:
        return s.minute;
    case Part::Second:
        return s.second;
    }
    return 0;
}

void resultPart(sqlite3_context *ctx, sqlite3_value *value, Part part)
{
    StoredDate s;
    if (!parseStoredDate(value, s)) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int(ctx, partOf(s, part));
}

// The part a year/month/day function returns rides in the function's user data.
void datePartFixed(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    resultPart(ctx, argv[0], *static_cast<const Part *>(sqlite3_user_data(ctx)));
}

void datePart(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const char *iv = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    static const struct
    {
        const char *name;
        Part part;
    } intervals[] = {
        {"yyyy", Part::Year}, {"q", Part::Quarter}, {"m", Part::Month},   {"y", Part::DayOfYear},
        {"d", Part::Day},     {"w", Part::Weekday}, {"ww", Part::Week},   {"h", Part::Hour},
        {"n", Part::Minute},  {"s", Part::Second},
    };
    for (const auto &entry : intervals) {
        if (iv && sqlite3_stricmp(iv, entry.name) == 0) {
            resultPart(ctx, argv[1], entry.part);
            return;
        }
    }
    sqlite3_result_error(ctx, "datepart: unknown interval", -1);
}

} // namespace

bool registerJetFunctions(const QSqlDatabase &db, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QSqlDriver *driver = db.driver();
    const QVariant handle = driver ? driver->handle() : QVariant();
    if (!handle.isValid() || std::strcmp(handle.typeName(), "sqlite3*") != 0)
        return fail(u"not an SQLite connection"_s);
    sqlite3 *h = *static_cast<sqlite3 *const *>(handle.constData());
    if (!h)
        return fail(u"the SQLite connection is not open"_s);

    // SQLite hands these back through sqlite3_user_data().
    static Part year = Part::Year, month = Part::Month, day = Part::Day;
    static const struct
    {
        const char *name;
        int args;
        Part *part;
    } functions[] = {
        {"year", 1, &year}, {"month", 1, &month}, {"day", 1, &day}, {"datepart", 2, nullptr},
    };
    constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    for (const auto &f : functions) {
        const int rc = sqlite3_create_function_v2(h, f.name, f.args, flags, f.part,
                                                  f.part ? datePartFixed : datePart, nullptr, nullptr,
                                                  nullptr);
        if (rc != SQLITE_OK)
            return fail(u"cannot register %1(): %2"_s.arg(QLatin1StringView(f.name),
                                                          QString::fromUtf8(sqlite3_errmsg(h))));
    }
    return true;
}

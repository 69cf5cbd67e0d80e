#include "InputText.h"

#include "DisplayFormat.h"

#include "AnsiText.h"

#include <QHash>
#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>

using namespace Qt::StringLiterals;

namespace InputText {

namespace {

struct InitialRange
{
    int first;
    int last;
    char16_t letter;
};

// First-level GB2312 characters are ordered by pinyin, so each initial owns one run of
// area-position codes. I, U and V begin no syllable and own none.
constexpr std::array<InitialRange, 23> kInitialRanges { {
    { 1601, 1636, u'A' },
    { 1637, 1832, u'B' },
    { 1833, 2077, u'C' },
    { 2078, 2273, u'D' },
    { 2274, 2301, u'E' },
    { 2302, 2432, u'F' },
    { 2433, 2593, u'G' },
    { 2594, 2786, u'H' },
    { 2787, 3105, u'J' },
    { 3106, 3211, u'K' },
    { 3212, 3471, u'L' },
    { 3472, 3634, u'M' },
    { 3635, 3722, u'N' },
    { 3723, 3729, u'O' },
    { 3730, 3857, u'P' },
    { 3858, 4026, u'Q' },
    { 4027, 4085, u'R' },
    { 4086, 4389, u'S' },
    { 4390, 4557, u'T' },
    { 4558, 4683, u'W' },
    { 4684, 4924, u'X' },
    { 4925, 5248, u'Y' },
    { 5249, 5589, u'Z' },
} };

bool IsAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Digits and points as they stand; 0 unless they read as one number.
double ParseDigitsAndPoints(const QString &digits)
{
    if (digits.count(u'.') > 1 || !std::any_of(digits.cbegin(), digits.cend(), IsAsciiDigit))
        return 0;
    bool ok = false;
    const double value = QLocale::c().toDouble(digits, &ok);
    return ok && std::isfinite(value) ? value : 0;
}

// The conversion costs microseconds a character and the customer list works out the initials
// of every name each time it is filled; the answer for a character never changes.
int AreaCode(QChar c)
{
    thread_local QHash<char16_t, int> known;
    const auto found = known.constFind(c.unicode());
    if (found != known.cend())
        return *found;
    const int code = AnsiText::Gb2312AreaCode(c);
    known.insert(c.unicode(), code);
    return code;
}

bool IsPlaceholder(QChar c)
{
    return c == u'#' || c == u'0' || c == u',' || c == u'.';
}

} // namespace

QString PinyinInitials(const QString &text)
{
    QString initials;
    initials.reserve(text.size());
    for (const QChar c : text) {
        // ASCII is the same single byte in every code page; a lone surrogate half never
        // becomes a GB2312 pair.
        if (c.unicode() < 0x80 || c.isSurrogate()) {
            initials.append(c);
            continue;
        }
        const int code = AreaCode(c);
        if (code < 0) {
            initials.append(c);
            continue;
        }
        const auto range = std::find_if(kInitialRanges.cbegin(), kInitialRanges.cend(),
            [code](const InitialRange &r) { return code >= r.first && code <= r.last; });
        if (range != kInitialRanges.cend())
            initials.append(QChar(range->letter));
    }
    return initials;
}

RemarkAmountResult RemarkAmount(const QString &remark)
{
    if (remark.isEmpty())
        return {};
    QString copy = remark;
    copy.replace(u'￥', u'$');
    if (!copy.endsWith(u'$'))
        return {};
    copy.replace(u'，', u',');

    QStringList pieces;
    QString piece;
    for (const QChar c : std::as_const(copy)) {
        if (c == u' ' || c == u'$' || c == u',') {
            if (!piece.isEmpty())
                pieces.append(piece);
            piece.clear();
        } else {
            piece.append(c);
        }
    }
    if (!piece.isEmpty())
        pieces.append(piece);

    if (pieces.isEmpty())
        return { RemarkAmountResult::Action::Clear, 0 };
    double sum = 0;
    for (const QString &p : std::as_const(pieces))
        sum += ParseDigitsAndPoints(DigitsAndPoints(p));
    return { RemarkAmountResult::Action::Set, sum };
}

bool AcceptsNumberKey(const QString &currentText, QChar key)
{
    if (key == QChar(7) || key == QChar(8) || key == QChar(9))
        return true;
    if (IsAsciiDigit(key))
        return true;
    if (key == u'.')
        return !currentText.contains(u'.');
    return false;
}

QString DigitsAndPoints(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (IsAsciiDigit(c) || c == u'.')
            kept.append(c);
    }
    return kept;
}

QString CleanNumberText(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    bool hasPoint = false;
    for (const QChar c : text) {
        if (IsAsciiDigit(c)) {
            kept.append(c);
        } else if (c == u'.' && !hasPoint) {
            kept.append(c);
            hasPoint = true;
        }
    }
    return kept;
}

double NumberValue(const QString &text)
{
    return ParseDigitsAndPoints(DigitsAndPoints(text));
}

QString PlainNumber(double value)
{
    if (!std::isfinite(value))
        return QString();
    return FormatDisplayNumber(value, QString());
}

QString FormatNumber(double value, const QString &displayFormat, int decimalPlaces)
{
    if (!std::isfinite(value))
        return QString();
    // No picture of its own: grouping and up to DecimalPlaces decimals (",#.##" for 2).
    QString format = displayFormat.section(u';', 0, 0);
    if (std::find_if(format.cbegin(), format.cend(), IsPlaceholder) == format.cend())
        format = u",#."_s + QString(std::max(decimalPlaces, 0), u'#');
    return FormatDisplayNumber(value, format);
}

} // namespace InputText

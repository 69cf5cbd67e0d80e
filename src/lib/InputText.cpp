#include "InputText.h"

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

QString GroupThousands(const QString &digits)
{
    QString grouped;
    grouped.reserve(digits.size() + digits.size() / 3);
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped.append(u',');
        grouped.append(digits.at(i));
    }
    return grouped;
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
    // Fifteen significant digits hide the binary noise of sums such as 0.1 + 0.2; the
    // shortest fixed form then gives the digits without an exponent.
    const double rounded = QString::number(value, 'g', 15).toDouble();
    if (rounded == 0)
        return u"0"_s;
    return QString::number(rounded, 'f', QLocale::FloatingPointShortest);
}

QString FormatNumber(double value, const QString &displayFormat, int decimalPlaces)
{
    if (!std::isfinite(value))
        return QString();

    QString format = displayFormat.section(u';', 0, 0);
    const auto first = std::find_if(format.cbegin(), format.cend(), IsPlaceholder);
    if (first == format.cend())
        format = u",#."_s + QString(std::max(decimalPlaces, 0), u'#');
    const qsizetype firstPlaceholder = std::find_if(format.cbegin(), format.cend(), IsPlaceholder) - format.cbegin();
    const qsizetype lastPlaceholder
        = format.crend() - std::find_if(format.crbegin(), format.crend(), IsPlaceholder) - 1;
    const QString prefix = format.left(firstPlaceholder);
    const QString suffix = format.mid(lastPlaceholder + 1);
    const QString body = format.mid(firstPlaceholder, lastPlaceholder - firstPlaceholder + 1);

    const qsizetype point = body.indexOf(u'.');
    const QString integerPattern = point < 0 ? body : body.left(point);
    const QString fractionPattern = point < 0 ? QString() : body.mid(point + 1);
    const bool grouping = integerPattern.contains(u',');
    const qsizetype minInteger = std::max<qsizetype>(1, integerPattern.count(u'0'));
    const qsizetype minFraction = fractionPattern.count(u'0');
    const qsizetype maxFraction = minFraction + fractionPattern.count(u'#');

    const QString plain = PlainNumber(std::abs(value));
    const qsizetype plainPoint = plain.indexOf(u'.');
    QString integer = plainPoint < 0 ? plain : plain.left(plainPoint);
    QString fraction = plainPoint < 0 ? QString() : plain.mid(plainPoint + 1);

    if (fraction.size() > maxFraction) {
        const bool roundUp = fraction.at(maxFraction) >= u'5';
        fraction.truncate(maxFraction);
        if (roundUp) {
            QString all = integer + fraction;
            qsizetype i = all.size() - 1;
            for (; i >= 0; --i) {
                if (all.at(i) != u'9') {
                    all[i] = QChar(all.at(i).unicode() + 1);
                    break;
                }
                all[i] = u'0';
            }
            if (i < 0)
                all.prepend(u'1');
            integer = all.left(all.size() - maxFraction);
            fraction = all.right(maxFraction);
        }
    }
    while (fraction.size() > minFraction && fraction.endsWith(u'0'))
        fraction.chop(1);
    while (fraction.size() < minFraction)
        fraction.append(u'0');

    while (integer.size() > 1 && integer.startsWith(u'0'))
        integer.remove(0, 1);
    while (integer.size() < minInteger)
        integer.prepend(u'0');

    // No "-0" when the value rounds away.
    const auto nonZero = [](QChar c) { return c != u'0'; };
    const bool negative = value < 0
        && (std::any_of(integer.cbegin(), integer.cend(), nonZero)
            || std::any_of(fraction.cbegin(), fraction.cend(), nonZero));
    QString shown = negative ? u"-"_s : QString();
    shown += prefix + (grouping ? GroupThousands(integer) : integer);
    if (!fraction.isEmpty())
        shown += u'.' + fraction;
    return shown + suffix;
}

} // namespace InputText

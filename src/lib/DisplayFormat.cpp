#include "DisplayFormat.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {


// |value| as decimal digits, 15 significant digits like the money the program shows.
struct DecimalText
{
    QString intPart; // no leading zeros, may be empty
    QString frac;
};

DecimalText ToDecimal(double magnitude)
{
    if (magnitude == 0.0)
        return {};
    const QString e = QString::number(magnitude, 'e', 14); // d.dddddddddddddde±XX
    const qsizetype ePos = e.indexOf(u'e');
    QString digits = e.left(ePos);
    digits.remove(u'.');
    const int intDigits = e.mid(ePos + 1).toInt() + 1;
    DecimalText d;
    if (intDigits <= 0) {
        d.frac = QString(-intDigits, u'0') + digits;
    } else if (intDigits >= digits.size()) {
        d.intPart = digits + QString(intDigits - digits.size(), u'0');
    } else {
        d.intPart = digits.left(intDigits);
        d.frac = digits.mid(intDigits);
    }
    return d;
}

// Half away from zero, on the decimal digits (so 1.005 rounds to 1.01 as it reads).
void RoundDecimal(DecimalText &d, int maxDecimals)
{
    if (d.frac.size() <= maxDecimals)
        return;
    const bool up = d.frac.at(maxDecimals) >= u'5';
    d.frac.truncate(maxDecimals);
    if (!up)
        return;
    QString all = d.intPart + d.frac;
    qsizetype i = all.size() - 1;
    for (; i >= 0; --i) {
        if (all.at(i) == u'9') {
            all[i] = u'0';
        } else {
            all[i] = QChar(all.at(i).unicode() + 1);
            break;
        }
    }
    if (i < 0)
        all.prepend(u'1');
    d.intPart = all.left(all.size() - d.frac.size());
    d.frac = all.right(d.frac.size());
}

// Fixed-point text of |value|; maxDecimals < 0 keeps every significant digit.
QString FixedText(double magnitude, int minInt, int minDecimals, int maxDecimals, bool group, bool *isZero)
{
    DecimalText d = ToDecimal(magnitude);
    if (maxDecimals >= 0)
        RoundDecimal(d, maxDecimals);
    while (d.frac.size() > minDecimals && d.frac.endsWith(u'0'))
        d.frac.chop(1);
    while (d.frac.size() < minDecimals)
        d.frac.append(u'0');
    qsizetype lead = 0;
    while (lead < d.intPart.size() && d.intPart.at(lead) == u'0')
        ++lead;
    d.intPart.remove(0, lead);
    *isZero = d.intPart.isEmpty() && std::all_of(d.frac.cbegin(), d.frac.cend(), [](QChar c) { return c == u'0'; });
    while (d.intPart.size() < std::max(minInt, 1))
        d.intPart.prepend(u'0');
    if (group) {
        for (qsizetype pos = d.intPart.size() - 3; pos > 0; pos -= 3)
            d.intPart.insert(pos, u',');
    }
    return d.frac.isEmpty() ? d.intPart : d.intPart + u'.' + d.frac;
}

struct Picture
{
    QString prefix;
    QString suffix;
    int minInt = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
    bool group = false;
    bool hasDigits = false;
};

Picture ParsePicture(const QString &section)
{
    Picture p;
    bool inFraction = false;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section.at(i);
        if (c == u'"' || c == u'\'') {
            qsizetype end = section.indexOf(c, i + 1);
            if (end < 0)
                end = section.size();
            (p.hasDigits ? p.suffix : p.prefix) += section.mid(i + 1, end - i - 1);
            i = end;
        } else if (c == u'0' || c == u'#') {
            p.hasDigits = true;
            p.suffix.clear(); // text between digit places has no place to go
            if (inFraction) {
                ++p.maxDecimals;
                if (c == u'0')
                    ++p.minDecimals;
            } else if (c == u'0') {
                ++p.minInt;
            }
        } else if (c == u'.') {
            p.hasDigits = true;
            inFraction = true;
        } else if (c == u',') {
            if (!inFraction)
                p.group = true;
        } else {
            (p.hasDigits ? p.suffix : p.prefix) += c;
        }
    }
    return p;
}

QStringList SplitSections(const QString &format)
{
    QStringList sections;
    QString current;
    QChar quote;
    for (const QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';') {
            sections.append(current);
            current.clear();
            continue;
        }
        current += c;
    }
    sections.append(current);
    return sections;
}

} // namespace

QString FormatDisplayNumber(double value, const QString &format)
{
    if (!std::isfinite(value))
        return QString::number(value);
    bool zero = false;
    if (format.isEmpty()) {
        const QString text = FixedText(std::fabs(value), 1, 0, -1, false, &zero);
        return value < 0 && !zero ? u'-' + text : text;
    }

    // printf-like: %m (yuan), %n (grouped), %f, %d, %g with an optional precision
    static const QRegularExpression printfLike(u"^%-?\\d*(?:\\.(\\d+))?([mnfdgMNFDG])$"_s);
    const QRegularExpressionMatch m = printfLike.match(format);
    if (m.hasMatch()) {
        const QChar kind = m.captured(2).at(0).toLower();
        const int precision = m.hasCaptured(1) ? std::min(m.captured(1).toInt(), 18) : 2;
        QString text;
        if (kind == u'g')
            text = FixedText(std::fabs(value), 1, 0, -1, false, &zero);
        else if (kind == u'd')
            text = FixedText(std::fabs(value), 1, 0, 0, false, &zero);
        else
            text = FixedText(std::fabs(value), 1, precision, precision, kind != u'f', &zero);
        if (kind == u'm')
            text.prepend(u'\u00A5');
        return value < 0 && !zero ? u'-' + text : text;
    }

    const QStringList sections = SplitSections(format);
    QString section = sections.at(0);
    bool withSign = true;
    if (value < 0 && sections.size() >= 2 && !sections.at(1).isEmpty()) {
        section = sections.at(1);
        withSign = false;
    } else if (value == 0 && sections.size() >= 3 && !sections.at(2).isEmpty()) {
        section = sections.at(2);
    }
    const Picture p = ParsePicture(section);
    if (!p.hasDigits)
        return p.prefix + p.suffix;
    const QString digits = FixedText(std::fabs(value), p.minInt, p.minDecimals, p.maxDecimals, p.group, &zero);
    const QString sign = withSign && value < 0 && !zero ? u"-"_s : QString();
    return sign + p.prefix + digits + p.suffix;
}


#include "SqlText.h"

#include <QLocale>

using namespace Qt::StringLiterals;

namespace SqlText {

QString QuotedStr(const QString &text)
{
    QString result = text;
    result.replace(u'\'', u"''"_s);
    return u'\'' + result + u'\'';
}

QString DateText(const QDate &date)
{
    return date.toString(u"yyyy-MM-dd"_s);
}

QDate ParseDate(const QString &text)
{
    const QString t = text.trimmed().left(10);
    QDate d = QDate::fromString(t, u"yyyy-MM-dd"_s);
    if (!d.isValid())
        d = QDate::fromString(t, u"yyyy-M-d"_s);
    return d;
}

QString InStrCondition(const QString &field, const QString &value, const QString &prefix)
{
    return prefix + u" InStr("_s + field + u',' + QuotedStr(value) + u')';
}

QString BetweenDatesCondition(const QString &field, const QString &fromText, const QString &toText,
                              const QString &prefix)
{
    return prefix + field + u" between #"_s + fromText + u"# and #"_s + toText + u'#';
}

QString UpToDateCondition(const QString &field, const QString &dateText, const QString &prefix)
{
    return prefix + field + u" <= #"_s + dateText + u'#';
}

QString OnDateCondition(const QString &field, const QString &dateText, const QString &prefix)
{
    return prefix + field + u" = #"_s + dateText + u'#';
}

QString BeforeDateCondition(const QString &field, const QString &dateText, const QString &prefix)
{
    return prefix + field + u" < #"_s + dateText + u'#';
}

QString EqualsCondition(const QString &field, const QString &value, const QString &prefix)
{
    return prefix + field + u'=' + QuotedStr(value);
}

QString PlainNumber(double value)
{
    if (value == 0.0)
        return u"0"_s; // also folds -0
    return QLocale::c().toString(value, 'f', QLocale::FloatingPointShortest);
}

} // namespace SqlText

#include "FilterList.h"

#include <QStringList>

QString TFilterList::value(const QString &name) const
{
    const int i = indexOf(name);
    return i >= 0 ? m_lines.at(i).second : QString();
}

void TFilterList::setValue(const QString &name, const QString &value)
{
    const int i = indexOf(name);
    if (value.isEmpty()) {
        if (i >= 0)
            m_lines.removeAt(i);
    } else if (i >= 0) {
        m_lines[i].second = value;
    } else {
        m_lines.append({name, value});
    }
}

QStringList TFilterList::lines() const
{
    QStringList out;
    for (const auto &line : m_lines)
        out.append(line.first + QLatin1Char('=') + line.second);
    return out;
}

int TFilterList::indexOf(const QString &name) const
{
    // Names compare without case, as the list class they come from does.
    for (int i = 0; i < m_lines.size(); ++i) {
        if (m_lines.at(i).first.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

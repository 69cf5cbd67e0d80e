#pragma once

#include <QList>
#include <QPair>
#include <QString>

// The name=value list each report frame owns. Values are condition fragments that begin with
// " and "; reading a missing name gives empty text and writing empty text removes the line.
class TFilterList
{
public:
    QString value(const QString &name) const;
    void setValue(const QString &name, const QString &value);
    bool contains(const QString &name) const { return indexOf(name) >= 0; }
    void clear() { m_lines.clear(); }
    int count() const { return int(m_lines.size()); }
    // "name=value" lines in order, for display and tests.
    QStringList lines() const;

private:
    int indexOf(const QString &name) const;
    QList<QPair<QString, QString>> m_lines;
};

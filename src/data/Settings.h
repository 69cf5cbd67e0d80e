#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariant>

// The program's flat settings store (organisation "QYBook", application "1.0", user scope).
// Reads never store anything; each write is flushed at once and reports whether it stuck.
class TSettingsStore
{
public:
    struct Key
    {
        QString name;
        QMetaType::Type type;
        QVariant defaultValue;
    };
    // Every key the program uses, with its type and the default a read falls back to.
    static const QList<Key> &Keys();
    static QVariant DefaultOf(const QString &name);

    explicit TSettingsStore(const QString &organization = QStringLiteral("QYBook"),
                            const QString &application = QStringLiteral("1.0"));

    bool ReadBoolSetting(const QString &name, bool defaultValue) const;
    QString ReadStringSetting(const QString &name, const QString &defaultValue) const;
    bool WriteBoolSetting(const QString &name, bool value);
    bool WriteStringSetting(const QString &name, const QString &value);

    QString FileName() const;
    QString LastError() const { return m_lastError; }

private:
    bool write(const QString &name, const QVariant &value);

    QString m_organization;
    QString m_application;
    QString m_lastError;
};

#include "Settings.h"

#include <QCoreApplication>
#include <QSettings>

using namespace Qt::StringLiterals;

const QList<TSettingsStore::Key> &TSettingsStore::Keys()
{
    static const QList<Key> keys = {
        {u"AutoBackup"_s, QMetaType::Bool, true},
        {u"AutoPath"_s, QMetaType::QString, QString()},
        {u"FinanceQutory"_s, QMetaType::Bool, false},
        {u"SoftSkin"_s, QMetaType::QString, u"Office 2007 Blue"_s},
        {u"LastLogin"_s, QMetaType::QString, u"出纳"_s},
        {u"LastMoneyBook"_s, QMetaType::QString, QString()},
        {u"LastMoneyUser"_s, QMetaType::QString, QString()},
        {u"LastMoneyReason"_s, QMetaType::QString, QString()},
        {u"LastMoneyClerk"_s, QMetaType::QString, QString()},
        {u"LastMoneyPay"_s, QMetaType::QString, QString()},
        {u"LastGetPayBook"_s, QMetaType::QString, QString()},
        {u"LastGetPayUser"_s, QMetaType::QString, QString()},
        {u"LastGetPayReason"_s, QMetaType::QString, QString()},
        {u"LastGetPayClerk"_s, QMetaType::QString, QString()},
        {u"CompanyName"_s, QMetaType::QString, QString()},
        {u"CompanyAddr"_s, QMetaType::QString, QString()},
        {u"CompanyPhone"_s, QMetaType::QString, QString()},
        {u"CompanyFax"_s, QMetaType::QString, QString()},
    };
    return keys;
}

QVariant TSettingsStore::DefaultOf(const QString &name)
{
    for (const Key &k : Keys()) {
        if (k.name == name)
            return k.defaultValue;
    }
    return {};
}

TSettingsStore::TSettingsStore(const QString &organization, const QString &application)
    : m_organization(organization)
    , m_application(application)
{
}

bool TSettingsStore::ReadBoolSetting(const QString &name, bool defaultValue) const
{
    const QSettings s(QSettings::NativeFormat, QSettings::UserScope, m_organization, m_application);
    const QVariant v = s.value(name);
    if (!v.isValid())
        return defaultValue;
    // Stored as integers; also accept the words an edited file may hold.
    bool isNumber = false;
    const int n = v.toString().toInt(&isNumber);
    return isNumber ? n != 0 : v.toBool();
}

QString TSettingsStore::ReadStringSetting(const QString &name, const QString &defaultValue) const
{
    const QSettings s(QSettings::NativeFormat, QSettings::UserScope, m_organization, m_application);
    const QVariant v = s.value(name);
    return v.isValid() ? v.toString() : defaultValue;
}

bool TSettingsStore::WriteBoolSetting(const QString &name, bool value)
{
    return write(name, value ? 1 : 0);
}

bool TSettingsStore::WriteStringSetting(const QString &name, const QString &value)
{
    return write(name, value);
}

QString TSettingsStore::FileName() const
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, m_organization, m_application).fileName();
}

bool TSettingsStore::write(const QString &name, const QVariant &value)
{
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, m_organization, m_application);
    if (!s.isWritable()) {
        m_lastError = QCoreApplication::translate("TSettingsStore", "设置文件无法写入：%1").arg(s.fileName());
        return false;
    }
    s.setValue(name, value);
    s.sync();
    if (s.status() != QSettings::NoError) {
        m_lastError = QCoreApplication::translate("TSettingsStore", "设置无法保存到：%1").arg(s.fileName());
        return false;
    }
    m_lastError.clear();
    return true;
}

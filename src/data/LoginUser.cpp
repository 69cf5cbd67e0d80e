#include "LoginUser.h"

#include "Cipher.h"
#include "RecordSet.h"
#include "SqlText.h"

using namespace Qt::StringLiterals;

TLoginUser TLoginUser::FromRecord(const TRecordSet &rows, int row)
{
    TLoginUser u;
    u.UserName = rows.value(row, u"UserName"_s).toString();
    u.UserSetting = rows.value(row, u"UserSetting"_s).toBool();
    u.UserModify = rows.value(row, u"UserModify"_s).toBool();
    u.UserDelete = rows.value(row, u"UserDelete"_s).toBool();
    u.UserCreate = rows.value(row, u"UserCreate"_s).toBool();
    u.UserCheck = rows.value(row, u"UserCheck"_s).toBool();
    u.UserRestore = rows.value(row, u"UserRestore"_s).toBool();
    return u;
}

QString TLoginUser::RestrictMoney() const
{
    return UserCheck ? QString() : SqlText::EqualsCondition(u"MoneyAdmin"_s, UserName, u" and "_s);
}

QString TLoginUser::RestrictGetPay() const
{
    return UserCheck ? QString() : SqlText::EqualsCondition(u"GetPayAdmin"_s, UserName, u" and "_s);
}

QString TLoginUser::RestrictBook() const
{
    return UserCheck ? QString() : SqlText::EqualsCondition(u"BookAdmin"_s, UserName, u" and "_s);
}

bool TLoginUser::PasswordMatches(const QString &storedKey, const QString &typed, QString *error)
{
    if (storedKey.isEmpty())
        return typed.isEmpty();
    const std::optional<QString> plain = Cipher::DecryptText(storedKey, error);
    return plain && *plain == typed;
}

bool TLoginUser::IsReserved(const QString &userName)
{
    return userName == AdminName() || userName == CashierName();
}

QString TLoginUser::AdminName()
{
    return u"管理员"_s;
}

QString TLoginUser::CashierName()
{
    return u"出纳"_s;
}

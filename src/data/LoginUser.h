#pragma once

#include <QString>

class TRecordSet;

// The logged-in user: his name and six rights. One record for the whole run, replaced as a
// whole at each successful login.
struct TLoginUser
{
    QString UserName;
    bool UserSetting = false;
    bool UserModify = false;
    bool UserDelete = false;
    bool UserCreate = false;
    bool UserCheck = false;
    bool UserRestore = false;

    // Fills name and rights from row `row` of a LoginUser result.
    static TLoginUser FromRecord(const TRecordSet &rows, int row);

    // Visibility: without UserCheck a user sees only the rows stamped with his name. Each
    // returns the fragment to append (" and MoneyAdmin='name'"), or empty text.
    QString RestrictMoney() const;
    QString RestrictGetPay() const;
    QString RestrictBook() const;

    // The password test of the login: an empty stored key accepts only an empty password;
    // otherwise the deciphered key must equal the typed text exactly. A stored key that is
    // not valid cipher text fails with *error set.
    static bool PasswordMatches(const QString &storedKey, const QString &typed, QString *error = nullptr);

    // The reserved users that always exist and keep their rights.
    static bool IsReserved(const QString &userName);
    static QString AdminName();   // "管理员"
    static QString CashierName(); // "出纳"
};

#include "TestSupport.h"

#include "DataModule.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace TestSupport {

TProgramFolder::TProgramFolder()
    : m_dir(QDir::tempPath() + u"/qybook-test-XXXXXX"_s)
{
}

QString TProgramFolder::path() const
{
    return m_dir.path() + u'/';
}

QString TProgramFolder::filePath(const QString &name) const
{
    return path() + name;
}

bool TProgramFolder::createDataFile(QString *error) const
{
    return Schema::CreateDataFile(dataFile(), error);
}

void ResetSettings()
{
    QSettings(QSettings::NativeFormat, QSettings::UserScope, u"QYBook"_s, u"1.0"_s).clear();
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QSettings(QSettings::NativeFormat, QSettings::UserScope, exe).clear();
}

AdminResult RunAdmin(const QStringList &arguments, const QByteArray &input)
{
    AdminResult r;
    QProcess p;
    const QString admin = qEnvironmentVariable("QY_ADMIN");
    p.start(admin, arguments);
    if (!p.waitForStarted(10000)) {
        r.err = u"cannot start "_s + admin;
        return r;
    }
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

bool AddFixture(TShareDM &dm, QString *error)
{
    // Days 2009-01-04 .. 2009-01-06; two books; MoneyIndex follows insertion order.
    const QStringList statements = {
        u"insert into Book (BookName, BookKind, BookAdmin) values ('现金', '现金', '管理员')"_s,
        u"insert into Book (BookName, BookKind, BookAdmin) values ('现金2', '现金', '出纳')"_s,
        u"insert into Book (BookName, BookKind, BookAdmin) values ('工商银行', '银行', '管理员')"_s,
        u"insert into GetPayRecord (GetPaySerial, GetPayKind, GetPayDate, GetPayBook, GetPayUser, GetPaySum, GetPayAdmin)"
        " values ('DS20090104001', '待收记账', '2009-01-04', '现金', '张三', 1000, '管理员')"_s,
        u"insert into GetPayRecord (GetPaySerial, GetPayKind, GetPayDate, GetPayBook, GetPayUser, GetPaySum, GetPayAdmin)"
        " values ('DF20090105001', '待付记账', '2009-01-05', '工商银行', '李四', 500, '出纳')"_s,
        u"insert into MoneyRecord (MoneySerial, MoneyKind, MoneyDate, MoneyBook, MoneyUser, MoneySum, MoneyReason, MoneyPay, MoneyAdmin)"
        " values ('SZ-20090104001', '财务收入', '2009-01-04', '现金', '张三', 100, '销售收入', '现金', '管理员')"_s,
        u"insert into MoneyRecord (MoneySerial, MoneyKind, MoneyDate, MoneyBook, MoneyUser, MoneySum, MoneyReason, MoneyPay, MoneyAdmin)"
        " values ('SZ-20090105001', '财务支出', '2009-01-05', '现金2', 'O''Brien', 30.5, '房租', '现金', '出纳')"_s,
        u"insert into MoneyRecord (MoneySerial, MoneyKind, MoneyDate, MoneyBook, MoneyUser, MoneySum, MoneyReason, MoneyPay, MoneyAdmin, MoneyGetPay)"
        " values ('SZ-20090105002', '财务收入', '2009-01-05', '现金', '张三', 300, '销售收入', '现金', '管理员', 1)"_s,
        u"insert into MoneyRecord (MoneySerial, MoneyKind, MoneyDate, MoneyBook, MoneyUser, MoneySum, MoneyReason, MoneyPay, MoneyAdmin)"
        " values ('SZ-20090104002', '财务支出', '2009-01-04', '工商银行', '老王''s店', 20, '水电费', '刷卡', '管理员')"_s,
        u"insert into MoneyRecord (MoneySerial, MoneyKind, MoneyDate, MoneyBook, MoneyUser, MoneySum, MoneyReason, MoneyPay, MoneyAdmin, MoneyGetPay)"
        " values ('SZ-20090106001', '财务收入', '2009-01-06', '现金', '张三', 200, '销售收入', '现金', '出纳', 1)"_s,
        u"insert into MoneyRecord (MoneySerial, MoneyKind, MoneyDate, MoneyBook, MoneyUser, MoneySum, MoneyReason, MoneyPay, MoneyAdmin, MoneyGetPay)"
        " values ('SZ-20090106002', '财务支出', '2009-01-06', '工商银行', '李四', 120, '进货支出', '银行转账', '出纳', 2)"_s,
    };
    for (const QString &sql : statements) {
        int affected = 0;
        QString why;
        if (!dm.RunCommand(sql, &affected, &why) || affected != 1) {
            if (error)
                *error = why + u" ["_s + sql + u']';
            return false;
        }
    }
    return true;
}

bool LogIn(TShareDM &dm, const QString &user)
{
    TRecordSet rows;
    QString error;
    if (!dm.RunQuery(u"select * from LoginUser where UserName="_s + SqlText::QuotedStr(user), &rows, &error)
        || rows.recordCount() != 1)
        return false;
    dm.LoginUser() = TLoginUser::FromRecord(rows, 0);
    dm.SetLoggedIn(true);
    return true;
}

std::unique_ptr<TShareDM> OpenFixture(const TProgramFolder &folder, bool exclusive, QString *error)
{
    if (!folder.createDataFile(error))
        return nullptr;
    auto dm = std::make_unique<TShareDM>(folder.path());
    if (!dm->OpenDataFile(folder.dataFile(), exclusive, error) || !AddFixture(*dm, error))
        return nullptr;
    return dm;
}

} // namespace TestSupport

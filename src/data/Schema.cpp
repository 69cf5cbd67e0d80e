#include "Schema.h"

#include "SqliteFunctions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

#include <atomic>

using namespace Qt::StringLiterals;

namespace Schema {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Schema", text);
}

QString uniqueConnectionName(const QString &stem)
{
    static std::atomic<int> counter{0};
    return stem + QString::number(++counter);
}

// A date column: yyyy-MM-dd text and nothing else, so comparisons on whole days hold.
QString dateColumn(const QString &name)
{
    return name + u" TEXT NOT NULL CHECK (" + name
           + u" GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]')";
}

} // namespace

const QList<Table> &Tables()
{
    static const QList<Table> tables = {
        {u"Book"_s, {u"BookIndex"_s, u"BookName"_s, u"BookKind"_s, u"BookAdmin"_s}},
        {u"MoneyRecord"_s,
         {u"MoneyIndex"_s, u"MoneySerial"_s, u"MoneyKind"_s, u"MoneyDate"_s, u"MoneyBook"_s, u"MoneyUser"_s,
          u"MoneySum"_s, u"MoneyReason"_s, u"MoneyClerk"_s, u"MoneyPay"_s, u"MoneyRemark"_s, u"MoneyAdmin"_s,
          u"MoneyGetPay"_s}},
        {u"GetPayRecord"_s,
         {u"GetPayIndex"_s, u"GetPaySerial"_s, u"GetPayKind"_s, u"GetPayDate"_s, u"GetPayBook"_s, u"GetPayUser"_s,
          u"GetPaySum"_s, u"GetPayClerk"_s, u"GetPayReason"_s, u"GetPayRemark"_s, u"GetPayAdmin"_s}},
        {u"LoginUser"_s,
         {u"UserName"_s, u"UserKey"_s, u"UserCheck"_s, u"UserCreate"_s, u"UserModify"_s, u"UserDelete"_s,
          u"UserRestore"_s, u"UserSetting"_s}},
        {u"Parameter"_s, {u"ParameterName"_s, u"ParameterValue"_s}},
    };
    return tables;
}

bool IsDateField(const QString &fieldName)
{
    return fieldName.compare(u"MoneyDate"_s, Qt::CaseInsensitive) == 0
           || fieldName.compare(u"GetPayDate"_s, Qt::CaseInsensitive) == 0;
}

QStringList CreateStatements()
{
    const QString text = u" TEXT NOT NULL DEFAULT '' COLLATE NOCASE"_s;
    return {
        u"CREATE TABLE Book ("
        "BookIndex INTEGER PRIMARY KEY AUTOINCREMENT,"
        "BookName TEXT NOT NULL COLLATE NOCASE UNIQUE CHECK (BookName <> ''),"
        "BookKind"_s + text + u",BookAdmin"_s + text + u')',

        u"CREATE TABLE GetPayRecord ("
        "GetPayIndex INTEGER PRIMARY KEY AUTOINCREMENT,"
        "GetPaySerial TEXT NOT NULL COLLATE NOCASE UNIQUE,"
        "GetPayKind TEXT NOT NULL CHECK (GetPayKind IN ('待收记账','待付记账')),"_s
            + dateColumn(u"GetPayDate"_s)
            + u",GetPayBook TEXT COLLATE NOCASE REFERENCES Book(BookName) ON DELETE CASCADE ON UPDATE CASCADE,"
              "GetPayUser"_s + text + u",GetPaySum REAL NOT NULL DEFAULT 0,GetPayClerk"_s + text
            + u",GetPayReason"_s + text + u",GetPayRemark"_s + text + u",GetPayAdmin"_s + text + u')',

        u"CREATE TABLE MoneyRecord ("
        "MoneyIndex INTEGER PRIMARY KEY AUTOINCREMENT,"
        "MoneySerial TEXT NOT NULL COLLATE NOCASE UNIQUE,"
        "MoneyKind TEXT NOT NULL CHECK (MoneyKind IN ('财务收入','财务支出')),"_s
            + dateColumn(u"MoneyDate"_s)
            + u",MoneyBook TEXT COLLATE NOCASE REFERENCES Book(BookName) ON DELETE CASCADE ON UPDATE CASCADE,"
              "MoneyUser"_s + text + u",MoneySum REAL NOT NULL DEFAULT 0,MoneyReason"_s + text + u",MoneyClerk"_s
            + text + u",MoneyPay"_s + text + u",MoneyRemark"_s + text + u",MoneyAdmin"_s + text
            + u",MoneyGetPay INTEGER REFERENCES GetPayRecord(GetPayIndex) ON DELETE CASCADE)"_s,

        u"CREATE TABLE LoginUser ("
        "UserIndex INTEGER PRIMARY KEY AUTOINCREMENT,"
        "UserName TEXT NOT NULL COLLATE NOCASE UNIQUE CHECK (UserName <> ''),"
        "UserKey TEXT NOT NULL DEFAULT '',"
        "UserCheck BOOLEAN NOT NULL DEFAULT 0,"
        "UserCreate BOOLEAN NOT NULL DEFAULT 0,"
        "UserModify BOOLEAN NOT NULL DEFAULT 0,"
        "UserDelete BOOLEAN NOT NULL DEFAULT 0,"
        "UserRestore BOOLEAN NOT NULL DEFAULT 0,"
        "UserSetting BOOLEAN NOT NULL DEFAULT 0)"_s,

        u"CREATE TABLE Parameter ("
        "ParameterIndex INTEGER PRIMARY KEY AUTOINCREMENT,"
        "ParameterName TEXT NOT NULL COLLATE NOCASE,"
        "ParameterValue TEXT NOT NULL COLLATE NOCASE)"_s,

        // The running order, the date filters, the book balances, the settlements and the
        // per-user restriction. Kind and amount ride along so that balances and period sums
        // are read from the index alone.
        u"CREATE INDEX MoneyRecordDate ON MoneyRecord (MoneyDate, MoneyIndex, MoneyKind, MoneySum)"_s,
        u"CREATE INDEX MoneyRecordBook ON MoneyRecord (MoneyBook, MoneyDate, MoneyKind, MoneySum)"_s,
        u"CREATE INDEX MoneyRecordGetPay ON MoneyRecord (MoneyGetPay, MoneyDate, MoneyKind, MoneySum)"_s,
        u"CREATE INDEX MoneyRecordUser ON MoneyRecord (MoneyUser)"_s,
        u"CREATE INDEX MoneyRecordAdmin ON MoneyRecord (MoneyAdmin, MoneyDate, MoneyKind, MoneySum)"_s,
        u"CREATE INDEX GetPayRecordDate ON GetPayRecord (GetPayDate, GetPayKind, GetPaySum)"_s,
        u"CREATE INDEX GetPayRecordBook ON GetPayRecord (GetPayBook)"_s,
        u"CREATE INDEX GetPayRecordUser ON GetPayRecord (GetPayUser)"_s,
        u"CREATE INDEX GetPayRecordAdmin ON GetPayRecord (GetPayAdmin)"_s,
        u"CREATE INDEX BookAdmin ON Book (BookAdmin)"_s,
        u"CREATE INDEX ParameterNameValue ON Parameter (ParameterName, ParameterValue)"_s,

        u"PRAGMA application_id = "_s + QString::number(ApplicationId),
        u"PRAGMA user_version = "_s + QString::number(Version),
    };
}

QStringList StarterReasons()
{
    return {u"销售收入"_s, u"服务收入"_s, u"其他收入"_s, u"进货支出"_s, u"房租"_s, u"水电费"_s,
            u"工资"_s,     u"办公用品"_s, u"交通费"_s,   u"餐饮费"_s,   u"其他支出"_s};
}

QStringList StarterClerks()
{
    return {u"本人"_s};
}

QStringList StarterPayMethods()
{
    return {u"现金"_s, u"银行转账"_s, u"微信支付"_s, u"支付宝"_s, u"刷卡"_s};
}

bool CreateDataFile(const QString &fileName, QString *error)
{
    const auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    const QFileInfo info(fileName);
    if (info.exists())
        return fail(tr("文件已经存在，不会覆盖：%1").arg(fileName));
    if (!info.absoluteDir().exists())
        return fail(tr("文件夹不存在：%1").arg(info.absolutePath()));

    const QString name = uniqueConnectionName(u"qy-create-"_s);
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(info.absoluteFilePath());
        if (!db.open()) {
            problem = db.lastError().text();
        } else {
            QSqlQuery q(db);
            const auto run = [&](const QString &sql) {
                if (!problem.isEmpty())
                    return;
                if (!q.exec(sql))
                    problem = q.lastError().text() + u" ["_s + sql + u']';
            };
            run(u"PRAGMA foreign_keys = ON"_s);
            run(u"BEGIN"_s);
            for (const QString &sql : CreateStatements())
                run(sql);

            const auto addUser = [&](const QString &user, bool all) {
                if (!problem.isEmpty())
                    return;
                q.prepare(u"INSERT INTO LoginUser (UserName, UserKey, UserCheck, UserCreate, UserModify, UserDelete,"
                          " UserRestore, UserSetting) VALUES (?, '', ?, 1, 1, ?, ?, ?)"_s);
                q.addBindValue(user);
                q.addBindValue(all);
                q.addBindValue(all);
                q.addBindValue(all);
                q.addBindValue(all);
                if (!q.exec())
                    problem = q.lastError().text();
            };
            addUser(u"管理员"_s, true);
            addUser(u"出纳"_s, false);

            const auto addParameters = [&](const QString &list, const QStringList &values) {
                for (const QString &v : values) {
                    if (!problem.isEmpty())
                        return;
                    q.prepare(u"INSERT INTO Parameter (ParameterName, ParameterValue) VALUES (?, ?)"_s);
                    q.addBindValue(list);
                    q.addBindValue(v);
                    if (!q.exec())
                        problem = q.lastError().text();
                }
            };
            addParameters(u"收支种类"_s, StarterReasons());
            addParameters(u"业务员"_s, StarterClerks());
            addParameters(u"支付方式"_s, StarterPayMethods());
            run(u"INSERT INTO Book (BookName, BookKind, BookAdmin) VALUES ('日常账簿', '现金', '管理员')"_s);
            run(u"COMMIT"_s);
            q.finish();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!problem.isEmpty()) {
        QFile::remove(info.absoluteFilePath());
        QFile::remove(info.absoluteFilePath() + u"-journal"_s);
        return fail(tr("无法创建数据文件 %1：%2").arg(fileName, problem));
    }
    return true;
}

QStringList Verify(const QSqlDatabase &db, bool full, Health *health)
{
    QStringList problems;
    QSqlQuery q(db);
    const auto mark = [&](Health h) {
        if (health && problems.isEmpty())
            *health = h;
    };
    if (health)
        *health = Health::Ok;

    // Anything that is not an SQLite database fails on its first read.
    if (!q.exec(u"PRAGMA application_id"_s) || !q.next()) {
        mark(Health::NotDataFile);
        problems << tr("不是青柚流水帐的数据文件（%1）").arg(q.lastError().text());
        return problems;
    }
    const int appId = q.value(0).toInt();
    if (appId != 0 && appId != ApplicationId) {
        mark(Health::NotDataFile);
        problems << tr("不是青柚流水帐的数据文件（application_id %1）").arg(appId);
        return problems;
    }

    q.exec(full ? u"PRAGMA integrity_check"_s : u"PRAGMA quick_check"_s);
    QStringList integrity;
    while (q.next())
        integrity << q.value(0).toString();
    if (q.lastError().isValid())
        integrity << q.lastError().text();
    if (integrity != QStringList{u"ok"_s}) {
        mark(Health::Damaged);
        problems << tr("数据文件已损坏：%1").arg(integrity.mid(0, 5).join(u"; "_s));
    }

    for (const Table &t : Tables()) {
        const QSqlRecord rec = db.record(t.name);
        if (rec.isEmpty()) {
            mark(Health::NotDataFile);
            problems << tr("缺少数据表 %1").arg(t.name);
            continue;
        }
        for (const QString &c : t.columns) {
            if (rec.indexOf(c) < 0) {
                mark(Health::NotDataFile);
                problems << tr("数据表 %1 缺少字段 %2").arg(t.name, c);
            }
        }
    }
    if (!problems.isEmpty())
        return problems;

    // The relations the program relies on to delete vouchers with their book and settlements
    // with their receivable or payable.
    struct Relation
    {
        QString table, column, parent;
    };
    const QList<Relation> relations = {{u"MoneyRecord"_s, u"MoneyBook"_s, u"Book"_s},
                                       {u"GetPayRecord"_s, u"GetPayBook"_s, u"Book"_s},
                                       {u"MoneyRecord"_s, u"MoneyGetPay"_s, u"GetPayRecord"_s}};
    for (const Relation &r : relations) {
        bool found = false;
        q.exec(u"PRAGMA foreign_key_list("_s + r.table + u')');
        while (q.next()) {
            const QSqlRecord rec = q.record();
            if (q.value(rec.indexOf(u"from"_s)).toString().compare(r.column, Qt::CaseInsensitive) == 0
                && q.value(rec.indexOf(u"table"_s)).toString().compare(r.parent, Qt::CaseInsensitive) == 0
                && q.value(rec.indexOf(u"on_delete"_s)).toString() == u"CASCADE"_s)
                found = true;
        }
        if (!found) {
            mark(Health::Incomplete);
            problems << tr("缺少关系：%1.%2 → %3（级联删除）").arg(r.table, r.column, r.parent);
        }
    }

    if (q.exec(u"PRAGMA foreign_keys"_s) && q.next() && q.value(0).toInt() != 1) {
        mark(Health::Incomplete);
        problems << tr("连接没有启用外键约束");
    }

    q.exec(u"PRAGMA foreign_key_check"_s);
    int orphans = 0;
    QString firstOrphan;
    while (q.next()) {
        if (orphans++ == 0)
            firstOrphan = q.value(0).toString() + u" rowid "_s + q.value(1).toString();
    }
    if (orphans > 0) {
        mark(Health::Damaged);
        problems << tr("有 %1 行违反外键约束（第一行：%2）").arg(orphans).arg(firstOrphan);
    }
    return problems;
}

bool IsDataFile(const QString &fileName, QString *error)
{
    const auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (!QFileInfo(fileName).isFile())
        return fail(tr("文件不存在：%1").arg(fileName));
    const QString name = uniqueConnectionName(u"qy-probe-"_s);
    QStringList problems;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(fileName);
        db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        if (!db.open()) {
            problems << db.lastError().text();
        } else {
            QSqlQuery(db).exec(u"PRAGMA foreign_keys = ON"_s);
            problems = Verify(db, false);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!problems.isEmpty())
        return fail(tr("%1 不是可用的数据文件：%2").arg(fileName, problems.join(u"；"_s)));
    return true;
}

} // namespace Schema

#include "DataModule.h"
#include "Schema.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using TestSupport::RunAdmin;
using TestSupport::TProgramFolder;

class TestAdmin : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void usage_data();
    void usage();
    void initAndCheck();
    void passwd();
    void backup();
    void restore();
    void demo();
    void sql();
    void reportMoney();
    void calendar();
    void bench();

private:
    std::unique_ptr<TProgramFolder> m_folder;
};

void TestAdmin::init()
{
    m_folder = std::make_unique<TProgramFolder>();
    QVERIFY(m_folder->isValid());
}

void TestAdmin::usage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("nothing") << QStringList();
    QTest::newRow("unknown command") << QStringList{u"frobnicate"_s};
    QTest::newRow("init without file") << QStringList{u"init"_s};
    QTest::newRow("unknown option") << QStringList{u"check"_s, u"x.qy"_s, u"--fast"_s};
    QTest::newRow("demo count not a number") << QStringList{u"demo"_s, u"x.qy"_s, u"--vouchers"_s, u"many"_s};
    QTest::newRow("demo option without value") << QStringList{u"demo"_s, u"x.qy"_s, u"--seed"_s};
    QTest::newRow("demo bad end date") << QStringList{u"demo"_s, u"x.qy"_s, u"--end"_s, u"2024-02-30"_s};
}

void TestAdmin::usage()
{
    QFETCH(QStringList, arguments);
    const auto r = RunAdmin(arguments);
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.err.contains(u"用法"_s));
    QVERIFY(!QFile::exists(u"x.qy"_s));
}

void TestAdmin::initAndCheck()
{
    const QString file = m_folder->filePath(u"新账.qy"_s);
    auto r = RunAdmin({u"init"_s, file});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(Schema::IsDataFile(file, nullptr));
    r = RunAdmin({u"init"_s, file});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.err.contains(u"不会覆盖"_s));
    r = RunAdmin({u"init"_s, m_folder->filePath(u"missing/x.qy"_s)});
    QCOMPARE(r.exitCode, 1);

    r = RunAdmin({u"check"_s, file});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.out.contains(u"LoginUser 2"_s));
    QVERIFY(r.out.contains(u"Book 1"_s));

    QFile junk(m_folder->filePath(u"junk.qy"_s));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("plain text, not a data file");
    junk.close();
    r = RunAdmin({u"check"_s, junk.fileName()});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.err.contains(u"不是青柚流水帐的数据文件"_s));
    r = RunAdmin({u"check"_s, m_folder->filePath(u"none.qy"_s)});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.err.contains(u"不存在"_s));
}

void TestAdmin::passwd()
{
    QVERIFY(m_folder->createDataFile());
    const QString file = m_folder->dataFile();
    const auto storedKey = [&] {
        TShareDM dm;
        dm.OpenDataFile(file);
        TRecordSet rows;
        QString error;
        dm.RunQuery(u"select UserKey from LoginUser where UserName='管理员'"_s, &rows, &error);
        return rows.value(0, 0).toString();
    };
    auto r = RunAdmin({u"passwd"_s, file, u"管理员"_s, u"--password-stdin"_s}, "新密码123\n");
    QCOMPARE(r.exitCode, 0);
    QVERIFY(TLoginUser::PasswordMatches(storedKey(), u"新密码123"_s));

    // Blanks at either end would be lost by the stored form: refused, old password kept.
    r = RunAdmin({u"passwd"_s, file, u"管理员"_s, u"--password-stdin"_s}, " padded \n");
    QCOMPARE(r.exitCode, 1);
    QVERIFY(TLoginUser::PasswordMatches(storedKey(), u"新密码123"_s));

    r = RunAdmin({u"passwd"_s, file, u"老板"_s, u"--password-stdin"_s}, "x\n");
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.err.contains(u"没有这个用户"_s));

    // An empty line clears the password.
    r = RunAdmin({u"passwd"_s, file, u"管理员"_s, u"--password-stdin"_s}, "\n");
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(storedKey(), QString());

    r = RunAdmin({u"passwd"_s, m_folder->filePath(u"none.qy"_s), u"管理员"_s, u"--password-stdin"_s}, "x\n");
    QCOMPARE(r.exitCode, 1);
}

void TestAdmin::backup()
{
    QVERIFY(m_folder->createDataFile());
    const QString dir = m_folder->filePath(u"备份"_s);
    QVERIFY(QDir().mkpath(dir));
    auto r = RunAdmin({u"backup"_s, m_folder->dataFile(), dir});
    QCOMPARE(r.exitCode, 0);
    const QString expected = QDir(dir).filePath(TShareDM::ProposedBackupName(QDate::currentDate()) + u".qy"_s);
    QVERIFY2(Schema::IsDataFile(expected, nullptr), qPrintable(r.out + r.err));
    QVERIFY(r.out.contains(expected));

    r = RunAdmin({u"backup"_s, m_folder->dataFile(), m_folder->filePath(u"a.qy"_s)});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(Schema::IsDataFile(m_folder->filePath(u"a.qy"_s), nullptr));

    r = RunAdmin({u"backup"_s, m_folder->dataFile(), m_folder->filePath(u"no/such/dir/b.qy"_s)});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(!r.err.isEmpty());
    r = RunAdmin({u"backup"_s, m_folder->filePath(u"none.qy"_s), dir});
    QCOMPARE(r.exitCode, 1);
}

void TestAdmin::restore()
{
    QVERIFY(m_folder->createDataFile());
    const QString file = m_folder->dataFile();
    const QString backup = m_folder->filePath(u"backup.qy"_s);
    QCOMPARE(RunAdmin({u"backup"_s, file, backup}).exitCode, 0);
    {
        TShareDM dm;
        QVERIFY(dm.OpenDataFile(file));
        QCOMPARE(dm.ExecSQL(u"delete from Book"_s), 1);
    }
    const auto books = [&](const QString &f) {
        TShareDM dm;
        dm.OpenDataFile(f);
        TRecordSet rows;
        QString error;
        dm.RunQuery(u"select count(*) from Book"_s, &rows, &error);
        return rows.value(0, 0).toInt();
    };

    // Not while the program has the file open.
    {
        TShareDM running;
        QVERIFY(running.OpenDataFile(file, true));
        const auto r = RunAdmin({u"restore"_s, backup, file});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains(u"正在被"_s));
        QCOMPARE(books(file), 0);
    }
    QFile junk(m_folder->filePath(u"junk.qy"_s));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("junk");
    junk.close();
    auto r = RunAdmin({u"restore"_s, junk.fileName(), file});
    QCOMPARE(r.exitCode, 1);
    // A target that is not a data file is not overwritten.
    r = RunAdmin({u"restore"_s, backup, junk.fileName()});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(QFileInfo(junk.fileName()).size(), qint64(4));

    r = RunAdmin({u"restore"_s, backup, file});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(books(file), 1);
    QCOMPARE(books(file + u".before-restore"_s), 0);
    // Restoring into a folder that has no data file yet.
    r = RunAdmin({u"restore"_s, backup, m_folder->filePath(u"fresh.qy"_s)});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(books(m_folder->filePath(u"fresh.qy"_s)), 1);
}

void TestAdmin::demo()
{
    const QString a = m_folder->filePath(u"a.qy"_s);
    const QString b = m_folder->filePath(u"b.qy"_s);
    const QStringList options{u"--vouchers"_s, u"2000"_s, u"--seed"_s, u"42"_s, u"--end"_s, u"2024-06-30"_s};
    auto r = RunAdmin(QStringList{u"demo"_s, a} + options);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(RunAdmin(QStringList{u"demo"_s, b} + options).exitCode, 0);
    QCOMPARE(RunAdmin({u"check"_s, a}).exitCode, 0);

    const QString all = u"select * from MoneyRecord order by MoneyIndex"_s;
    const auto ra = RunAdmin({u"sql"_s, a, all});
    QCOMPARE(ra.out, RunAdmin({u"sql"_s, b, all}).out); // same seed, same data
    QCOMPARE(ra.out.count(u'\n'), 2001);

    const auto stats = RunAdmin({u"sql"_s, a,
                                 u"select count(*) as n, min(MoneyDate) as first, max(MoneyDate) as last,"
                                 " count(distinct MoneyAdmin) as admins, count(distinct MoneyBook) as books,"
                                 " Sum(iif(MoneyGetPay>0,1,0)) as settlements from MoneyRecord"_s});
    const QStringList v = stats.out.split(u'\n').at(1).split(u'\t');
    QCOMPARE(v.at(0), u"2000"_s);
    QVERIFY(v.at(1) >= u"2014-07-01"_s);
    QCOMPARE(v.at(2) <= u"2024-06-30"_s, true);
    QCOMPARE(v.at(3), u"3"_s);
    QVERIFY(v.at(4).toInt() > 10);
    QVERIFY(v.at(5).toInt() > 0);
    // Settlements never exceed what they settle, and no voucher has a serial of another day.
    const auto over = RunAdmin({u"sql"_s, a,
                                u"select count(*) from (select GetPayIndex, GetPaySum, Sum(MoneySum) as s from GetPayRecord,"
                                " MoneyRecord where MoneyGetPay=GetPayIndex group by GetPayIndex, GetPaySum) as t"
                                " where s > GetPaySum + 0.001"_s});
    QCOMPARE(over.out.split(u'\n').at(1), u"0"_s);
    const auto serials = RunAdmin({u"sql"_s, a,
                                   u"select count(*) from MoneyRecord where substr(MoneySerial,4,8) <> replace(MoneyDate,'-','')"_s});
    QCOMPARE(serials.out.split(u'\n').at(1), u"0"_s);

    r = RunAdmin(QStringList{u"demo"_s, a} + options);
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.err.contains(u"不会覆盖"_s));
}

void TestAdmin::sql()
{
    QVERIFY(m_folder->createDataFile());
    const QString file = m_folder->dataFile();
    {
        TShareDM dm;
        QVERIFY(dm.OpenDataFile(file));
        QString error;
        QVERIFY2(TestSupport::AddFixture(dm, &error), qPrintable(error));
    }
    auto r = RunAdmin({u"sql"_s, file,
                       u"select MoneySerial, MoneyDate, MoneyUser, MoneySum, MoneyGetPay from MoneyRecord where 0=0"
                       "  and  InStr(MoneyUser,'o''b') and MoneyDate <= #2009-01-05#"_s});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, u"MoneySerial\tMoneyDate\tMoneyUser\tMoneySum\tMoneyGetPay\n"
                    "SZ-20090105001\t2009-01-05\tO'Brien\t30.5\t\n"_s);

    r = RunAdmin({u"sql"_s, file, u"select nonsense from Nowhere"_s});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.err.contains(u"Nowhere"_s));
    QVERIFY(r.out.isEmpty());

    r = RunAdmin({u"sql"_s, file, u"delete from MoneyRecord where MoneyDate = #2009-01-06#"_s});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(r.err.contains(u"2"_s));
    r = RunAdmin({u"sql"_s, m_folder->filePath(u"none.qy"_s), u"select 1"_s});
    QCOMPARE(r.exitCode, 1);
}

void TestAdmin::reportMoney()
{
    QVERIFY(m_folder->createDataFile());
    const QString file = m_folder->dataFile();
    {
        TShareDM dm;
        QVERIFY(dm.OpenDataFile(file));
        QString error;
        QVERIFY2(TestSupport::AddFixture(dm, &error), qPrintable(error));
    }
    auto r = RunAdmin({u"report"_s, u"money"_s, file});
    QCOMPARE(r.exitCode, 0);
    QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines.at(0), u"MoneyIndex\tMoneySerial\tMoneyDate\tMoneyBook\tMoneyUser\tMoneyIn\tMoneyOut\tMoneySum2"
                          "\tMoneyBalance\tMoneyClerk\tMoneyReason\tMoneyPay\tMoneyRemark"_s);
    QCOMPARE(lines.at(1), u"1\tSZ-20090104001\t2009-01-04\t现金\t张三\t100\t0\t100\t100\t\t销售收入\t现金\t"_s);
    QVERIFY(lines.at(6).startsWith(u"6\tSZ-20090106002\t2009-01-06\t工商银行\t李四\t0\t120\t-120\t429.5\t"_s));

    // One day, as a user without the review right sees it.
    r = RunAdmin({u"report"_s, u"money"_s, file, u"--user"_s, u"出纳"_s, u"--date"_s, u" and MoneyDate = #2009-01-06#"_s});
    QCOMPARE(r.exitCode, 0);
    lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(1).section(u'\t', 8, 8), u"169.5"_s);
    QCOMPARE(lines.at(2).section(u'\t', 8, 8), u"49.5"_s);
    r = RunAdmin({u"report"_s, u"money"_s, file, u"--base"_s, u" and  InStr(MoneyBook,'现金')"_s});
    QCOMPARE(r.out.split(u'\n', Qt::SkipEmptyParts).last().section(u'\t', 8, 8), u"569.5"_s);

    r = RunAdmin({u"report"_s, u"money"_s, file, u"--user"_s, u"老板"_s});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.err.contains(u"没有这个用户"_s));
    r = RunAdmin({u"report"_s, u"money"_s, file, u"--base"_s, u" and Nope=1"_s});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(RunAdmin({u"report"_s, u"getpay"_s, file}).exitCode, 2);
}

void TestAdmin::calendar()
{
    auto r = RunAdmin({u"calendar"_s, u"2009-01-20"_s, u"2009-01-21"_s});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, u"2009-01-20\t大寒\t戊子牛年\n2009-01-21\t廿六\t戊子牛年\n"_s);
    r = RunAdmin({u"calendar"_s, u"2009-02-04"_s, u"2009-02-04"_s});
    QCOMPARE(r.out, u"2009-02-04\t立春\t己丑牛年\n"_s);
    QCOMPARE(RunAdmin({u"calendar"_s, u"2009-01-21"_s, u"2009-01-20"_s}).exitCode, 2);
    QCOMPARE(RunAdmin({u"calendar"_s, u"2009-13-01"_s, u"2009-12-31"_s}).exitCode, 2);
    QCOMPARE(RunAdmin({u"calendar"_s, u"1979-12-31"_s, u"1980-01-01"_s}).exitCode, 1);
    r = RunAdmin({u"calendar"_s, u"1980-01-01"_s, u"2099-12-31"_s});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out.count(u'\n'), int(QDate(1980, 1, 1).daysTo(QDate(2099, 12, 31))) + 1);
}

void TestAdmin::bench()
{
    const QString file = m_folder->filePath(u"bench.qy"_s);
    QCOMPARE(RunAdmin({u"demo"_s, file, u"--vouchers"_s, u"3000"_s, u"--end"_s, u"2024-06-30"_s}).exitCode, 0);
    auto r = RunAdmin({u"bench"_s, file, u"--runs"_s, u"1"_s});
    QCOMPARE(r.exitCode, 0);
    for (const QString &line : {u"收支单据报表，全部单据"_s, u"收支单据报表，一天的单据"_s, u"账簿总览"_s,
                                u"三个财务状况面板"_s, u"待收待付单据报表"_s})
        QVERIFY2(r.out.contains(line), qPrintable(r.out));
    QVERIFY(r.out.contains(u"日期：2024-06-30"_s));
    r = RunAdmin({u"bench"_s, file, u"--sql"_s, u"select * from Nowhere"_s});
    QCOMPARE(r.exitCode, 1);
}

QTEST_GUILESS_MAIN(TestAdmin)
#include "tst_admin.moc"

#include "DataModule.h"
#include "Schema.h"
#include "TestSupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;
using TestSupport::TProgramFolder;

namespace {

// Scalar result of a statement on the module's connection.
QVariant scalar(TShareDM &dm, const QString &sql)
{
    TRecordSet rows;
    QString error;
    if (!dm.RunQuery(sql, &rows, &error) || rows.recordCount() == 0) {
        qWarning("%s: %s", qPrintable(sql), qPrintable(error));
        return {};
    }
    return rows.value(0, 0);
}

} // namespace

class TestDataModule : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void openErrors_data();
    void openErrors();
    void connectionString();
    void exclusiveLock();
    void failedStatements();
    void cascades();
    void renameCarriesOver();
    void typedValuesWithQuotes();
    void distinctValues();
    void nextSerial_data();
    void nextSerial();
    void valueTaken();
    void postRow();
    void settings();
    void loginUser();

private:
    std::unique_ptr<TProgramFolder> m_folder;
    std::unique_ptr<TShareDM> m_dm;
};

void TestDataModule::init()
{
    TestSupport::ResetSettings();
    m_dm.reset();
    m_folder = std::make_unique<TProgramFolder>();
    QString error;
    m_dm = TestSupport::OpenFixture(*m_folder, false, &error);
    QVERIFY2(m_dm, qPrintable(error));
}

void TestDataModule::openErrors_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("expected");
    QTest::newRow("missing") << u"missing"_s << int(TShareDM::OpenError::Missing);
    QTest::newRow("text file") << u"text"_s << int(TShareDM::OpenError::NotDataFile);
    QTest::newRow("empty file") << u"empty"_s << int(TShareDM::OpenError::NotDataFile);
    QTest::newRow("other database") << u"other"_s << int(TShareDM::OpenError::NotDataFile);
    QTest::newRow("lost table") << u"droptable"_s << int(TShareDM::OpenError::NotDataFile);
    QTest::newRow("damaged") << u"damaged"_s << int(TShareDM::OpenError::Damaged);
}

void TestDataModule::openErrors()
{
    QFETCH(QString, kind);
    QFETCH(int, expected);
    const QString file = m_folder->filePath(u"x.qy"_s);
    if (kind == u"text"_s) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("this is not a database, just some text\n");
    } else if (kind == u"empty"_s) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
    } else if (kind == u"other"_s || kind == u"droptable"_s) {
        if (kind == u"other"_s) {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other"_s);
            db.setDatabaseName(file);
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(u"create table t (a)"_s));
            db.close();
        } else {
            QVERIFY(Schema::CreateDataFile(file, nullptr));
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"other"_s);
            db.setDatabaseName(file);
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(u"drop table Parameter"_s));
            db.close();
        }
        QSqlDatabase::removeDatabase(u"other"_s);
    } else if (kind == u"damaged"_s) {
        // A real file with two of its table pages overwritten.
        m_dm->CloseConnection();
        QFile::copy(m_folder->dataFile(), file);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.size() > 8 * 4096);
        f.seek(2 * 4096);
        f.write(QByteArray(2 * 4096, '\x5a'));
        f.close();
    }
    TShareDM dm(m_folder->path());
    QString error;
    TShareDM::OpenError code = TShareDM::OpenError::None;
    QVERIFY(!dm.OpenDataFile(file, false, &error, &code));
    QCOMPARE(int(code), expected);
    QVERIFY(!error.isEmpty());
    QVERIFY(!dm.IsConnected());
    if (kind == u"missing"_s)
        QVERIFY2(!QFile::exists(file), "opening must never create the data file");
    // Nothing goes on without a connection.
    TQuery q;
    dm.OpenQuery(q, u"select * from Book"_s);
    QVERIFY(!q.isOpen());
    QVERIFY(dm.QueryFailed());
}

void TestDataModule::connectionString()
{
    const QString cs = BuildJetConnectionString(u"/data/QYBook.qy"_s, u"Pelmarosti"_s);
    QCOMPARE(cs, u"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/data/QYBook.qy;Jet OLEDB:Database Password=Pelmarosti"_s);
    QCOMPARE(ConnectionStringValue(cs, u"data source"_s), u"/data/QYBook.qy"_s);
    QCOMPARE(ConnectionStringValue(cs, u"Provider"_s), u"Microsoft.Jet.OLEDB.4.0"_s);
    QCOMPARE(ConnectionStringValue(cs, u"User ID"_s), QString());

    TShareDM dm(m_folder->path());
    QString error;
    QVERIFY2(dm.OpenConnection(BuildJetConnectionString(m_folder->dataFile(), TShareDM::DatabasePassword()), false, &error),
             qPrintable(error));
    QCOMPARE(dm.DataFileName(), QFileInfo(m_folder->dataFile()).absoluteFilePath());
    QCOMPARE(dm.DefaultDataFile(), m_folder->path() + u"QYBook.qy"_s);
    QVERIFY(dm.GetAppPath().endsWith(u'/'));
}

void TestDataModule::exclusiveLock()
{
    m_dm->CloseConnection();
    TShareDM first(m_folder->path());
    TShareDM second(m_folder->path());
    QString error;
    TShareDM::OpenError code = TShareDM::OpenError::None;
    QVERIFY(first.OpenDataFile(m_folder->dataFile(), true, &error));
    QVERIFY(!second.OpenDataFile(m_folder->dataFile(), true, &error, &code));
    QCOMPARE(code, TShareDM::OpenError::Locked);
    // Reading alongside (the admin tool) is still possible.
    QVERIFY(second.OpenDataFile(m_folder->dataFile(), false, &error));
    second.CloseConnection();
    first.CloseConnection();
    QVERIFY2(second.OpenDataFile(m_folder->dataFile(), true, &error), qPrintable(error));
}

void TestDataModule::failedStatements()
{
    TQuery q;
    QVERIFY(!m_dm->QueryFailed());
    QCOMPARE(m_dm->ExecSQL(u"delete from MoneyRecord where MoneyIndex=999"_s), 0);
    QVERIFY2(!m_dm->QueryFailed(), "a delete that matches nothing is not a failure");

    m_dm->OpenQuery(q, u"select * from NoSuchTable"_s);
    QVERIFY(!q.isOpen());
    QCOMPARE(q.sql(), u"select * from NoSuchTable"_s);
    QVERIFY(m_dm->QueryFailed());
    QVERIFY(!m_dm->LastSqlError().isEmpty());
    QVERIFY(q.fieldValue(u"BookName"_s).isNull());

    // Once set, the flag stays for the rest of the run.
    m_dm->SetQueryFailed(false);
    m_dm->OpenQuery(q, u"select * from Book"_s);
    QVERIFY(q.isOpen());
    QVERIFY(m_dm->QueryFailed());
    QCOMPARE(m_dm->ExecSQL(u"delete from Nope"_s), 0);

    // A statement with a typed apostrophe left unquoted fails instead of doing something else.
    m_dm->OpenQuery(q, u"select * from MoneyRecord where MoneyUser='O'Brien'"_s);
    QVERIFY(!q.isOpen());
}

void TestDataModule::cascades()
{
    TShareDM &dm = *m_dm;
    const auto count = [&](const QString &sql) { return scalar(dm, sql).toInt(); };
    QCOMPARE(count(u"select count(*) from MoneyRecord"_s), 6);

    // A settlement deleted: its receivable stays, with more outstanding.
    QCOMPARE(dm.ExecSQL(u"delete from MoneyRecord where MoneySerial='SZ-20090106001'"_s), 1);
    QCOMPARE(count(u"select count(*) from GetPayRecord where GetPayIndex=1"_s), 1);
    QCOMPARE(scalar(dm, u"select GetPaySum - (select Sum(MoneySum) from MoneyRecord where MoneyGetPay=1) from GetPayRecord where GetPayIndex=1"_s).toDouble(), 700.0);

    // A receivable deleted: its settlements go with it, other vouchers stay.
    QCOMPARE(dm.ExecSQL(u"delete from GetPayRecord where GetPayIndex=1"_s), 1);
    QCOMPARE(count(u"select count(*) from MoneyRecord where MoneyGetPay=1"_s), 0);
    QCOMPARE(count(u"select count(*) from MoneyRecord"_s), 4);

    // A book deleted: its vouchers of both kinds go, including the payable's settlements.
    QCOMPARE(dm.ExecSQL(u"delete from Book where BookName='工商银行'"_s), 1);
    QCOMPARE(count(u"select count(*) from MoneyRecord where MoneyBook='工商银行'"_s), 0);
    QCOMPARE(count(u"select count(*) from GetPayRecord"_s), 0);
    QCOMPARE(count(u"select count(*) from MoneyRecord"_s), 2);

    // Clearing keeps users and input lists.
    const int users = count(u"select count(*) from LoginUser"_s);
    const int params = count(u"select count(*) from Parameter"_s);
    QVERIFY(dm.ClearData() >= 1);
    QCOMPARE(count(u"select count(*) from Book"_s), 0);
    QCOMPARE(count(u"select count(*) from MoneyRecord"_s), 0);
    QCOMPARE(count(u"select count(*) from LoginUser"_s), users);
    QCOMPARE(count(u"select count(*) from Parameter"_s), params);
    QVERIFY(users >= 2 && params > 0);
    QVERIFY(!dm.QueryFailed());
}

void TestDataModule::renameCarriesOver()
{
    QCOMPARE(m_dm->ExecSQL(u"update Book set BookName='现金账' where BookName='现金'"_s), 1);
    QCOMPARE(scalar(*m_dm, u"select count(*) from MoneyRecord where MoneyBook='现金账'"_s).toInt(), 3);
    QCOMPARE(scalar(*m_dm, u"select count(*) from GetPayRecord where GetPayBook='现金账'"_s).toInt(), 1);
    // A voucher cannot point at a book that does not exist.
    QCOMPARE(m_dm->ExecSQL(u"update MoneyRecord set MoneyBook='不存在' where MoneyIndex=1"_s), 0);
    QVERIFY(m_dm->QueryFailed());
}

void TestDataModule::typedValuesWithQuotes()
{
    TShareDM &dm = *m_dm;
    QString error;
    for (const QString &name : {u"O'Brien"_s, u"老王's店"_s}) {
        const qint64 key = dm.PostRow(u"Book"_s, u"BookIndex"_s, 0,
                                      {{u"BookName"_s, name}, {u"BookKind"_s, u"现金"_s}, {u"BookAdmin"_s, u"管理员"_s}},
                                      &error);
        QVERIFY2(key > 0, qPrintable(error));
        TQuery q;
        dm.OpenQuery(q, u"select * from Book where 0=0"_s + SqlText::EqualsCondition(u"BookName"_s, name, u" and "_s));
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.fieldText(u"BookName"_s), name);
        dm.OpenQuery(q, u"select * from Book where 0=0"_s + SqlText::InStrCondition(u"BookName"_s, name.right(3), u" and "_s));
        QCOMPARE(q.recordCount(), 1);
        QVERIFY(dm.ValueTaken(u"Book"_s, u"BookName"_s, name, 0));
        QVERIFY(!dm.ValueTaken(u"Book"_s, u"BookName"_s, name, key));
    }
    // The fixture's customers with quotes are found by substring.
    TQuery q;
    dm.OpenQuery(q, u"select * from MoneyRecord where 0=0"_s + SqlText::InStrCondition(u"MoneyUser"_s, u"'s店"_s, u" and "_s));
    QCOMPARE(q.recordCount(), 1);
    QVERIFY(!dm.QueryFailed());
}

void TestDataModule::distinctValues()
{
    TShareDM &dm = *m_dm;
    QCOMPARE(TShareDM::DistinctListSql(u"Book"_s, u"BookName"_s, QString()),
             u"select distinct BookName from Book where 0=0  Order by BookName"_s);

    // The prefill comes first; a value equal to it (without case) is not added again.
    dm.ExecSQL(u"insert into Book (BookName) values ('全部')"_s);
    QStringList books = dm.DistinctValues(u"Book"_s, u"BookName"_s, QString(), u"全部"_s);
    QCOMPARE(books.first(), u"全部"_s);
    QCOMPARE(books.count(u"全部"_s), 1);
    QCOMPARE(books.size(), 5);

    QStringList list{u"old"_s};
    dm.LoadDistinctValues(list, u"select distinct MoneyPay from MoneyRecord Order by MoneyPay"_s, false,
                          u"a, b;  c|d,,现金"_s, u"MoneyPay"_s);
    QCOMPARE(list, (QStringList{u"old"_s, u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"现金"_s, u"刷卡"_s, u"银行转账"_s}));

    dm.ExecSQL(u"insert into Parameter (ParameterName, ParameterValue) values ('支付方式', 'CASH'), ('支付方式', 'cash')"_s);
    const QStringList pays = dm.ParameterValues(u"支付方式"_s, QString());
    QCOMPARE(pays.filter(QRegularExpression(u"^cash$"_s, QRegularExpression::CaseInsensitiveOption)).size(), 1);
    QVERIFY(pays.contains(u"微信支付"_s));
    QVERIFY(dm.ParameterValues(u"没有这个列表"_s, QString()).isEmpty());
}

void TestDataModule::nextSerial_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first of the day") << QStringList() << u"SZ-20240105001"_s;
    QTest::newRow("gap") << QStringList{u"SZ-20240105001"_s, u"SZ-20240105007"_s} << u"SZ-20240105008"_s;
    QTest::newRow("carry") << QStringList{u"SZ-20240105009"_s} << u"SZ-20240105010"_s;
    QTest::newRow("into the date") << QStringList{u"SZ-20240105999"_s} << u"SZ-20240106000"_s;
    QTest::newRow("typed letter") << QStringList{u"SZ-20240105002"_s, u"SZ-20240105A9"_s} << u"SZ-20240105B0"_s;
    QTest::newRow("stem inside") << QStringList{u"SZ-20240105003"_s, u"X-SZ-20240105050"_s} << u"X-SZ-20240105051"_s;
    QTest::newRow("other days ignored") << QStringList{u"SZ-20240104005"_s, u"SZ-20240106009"_s} << u"SZ-20240105001"_s;
}

void TestDataModule::nextSerial()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, expected);
    for (const QString &s : existing) {
        QString error;
        QVERIFY2(m_dm->PostRow(u"MoneyRecord"_s, u"MoneyIndex"_s, 0,
                               {{u"MoneySerial"_s, s}, {u"MoneyKind"_s, u"财务收入"_s},
                                {u"MoneyDate"_s, QDate(2024, 1, 5)}, {u"MoneyBook"_s, u"现金"_s}},
                               &error) > 0,
                 qPrintable(error));
    }
    QCOMPARE(m_dm->NextSerial(u"MoneyRecord"_s, u"MoneySerial"_s, QDate(2024, 1, 5), u"SZ-"_s, 3), expected);
    // Each prefix keeps its own daily sequence.
    QCOMPARE(m_dm->NextSerial(u"GetPayRecord"_s, u"GetPaySerial"_s, QDate(2009, 1, 5), u"DS"_s, 3), u"DS20090105001"_s);
    QCOMPARE(m_dm->NextSerial(u"GetPayRecord"_s, u"GetPaySerial"_s, QDate(2009, 1, 5), u"DF"_s, 3), u"DF20090105002"_s);
    QVERIFY(!m_dm->QueryFailed());
}

void TestDataModule::valueTaken()
{
    TShareDM &dm = *m_dm;
    QCOMPARE(dm.KeyField(u"MoneyRecord"_s), u"MoneyIndex"_s);
    QCOMPARE(dm.KeyField(u"GetPayRecord"_s), u"GetPayIndex"_s);
    // A new voucher may not take a used serial, whatever its case.
    QVERIFY(dm.ValueTaken(u"MoneyRecord"_s, u"MoneySerial"_s, u"SZ-20090104001"_s, 0));
    QVERIFY(dm.ValueTaken(u"MoneyRecord"_s, u"MoneySerial"_s, u"sz-20090104001"_s, 0));
    QVERIFY(!dm.ValueTaken(u"MoneyRecord"_s, u"MoneySerial"_s, u"SZ-20090104009"_s, 0));
    // Editing voucher 1 without changing its serial passes; taking voucher 2's does not.
    QVERIFY(!dm.ValueTaken(u"MoneyRecord"_s, u"MoneySerial"_s, u"SZ-20090104001"_s, 1));
    QVERIFY(dm.ValueTaken(u"MoneyRecord"_s, u"MoneySerial"_s, u"SZ-20090105001"_s, 1));
    // A row that is gone is not compared against.
    QVERIFY(!dm.ValueTaken(u"MoneyRecord"_s, u"MoneySerial"_s, u"SZ-20090105001"_s, 999));
    QVERIFY(dm.ValueTaken(u"LoginUser"_s, u"UserName"_s, u"管理员"_s, 0));
}

void TestDataModule::postRow()
{
    TShareDM &dm = *m_dm;
    QString error;
    const qint64 key = dm.PostRow(u"MoneyRecord"_s, u"MoneyIndex"_s, 0,
                                  {{u"MoneySerial"_s, u"SZ-20090107001"_s}, {u"MoneyKind"_s, u"财务支出"_s},
                                   {u"MoneyDate"_s, QDateTime(QDate(2009, 1, 7), QTime(13, 45))},
                                   {u"MoneyBook"_s, u"现金"_s}, {u"MoneySum"_s, 12.34}, {u"MoneyClerk"_s, QString()},
                                   {u"MoneyGetPay"_s, QVariant()}},
                                  &error);
    QVERIFY2(key > 0, qPrintable(error));
    TQuery q;
    dm.OpenQuery(q, u"select * from MoneyRecord where MoneyIndex="_s + QString::number(key));
    QCOMPARE(q.fieldText(u"MoneyDate"_s), u"2009-01-07"_s); // no time of day
    QCOMPARE(q.fieldValue(u"MoneySum"_s).toDouble(), 12.34);
    QCOMPARE(q.fieldValue(u"MoneyClerk"_s).toString(), QString(u""_s));
    QVERIFY(!q.fieldValue(u"MoneyClerk"_s).isNull());
    QVERIFY(q.fieldValue(u"MoneyGetPay"_s).isNull());

    QCOMPARE(dm.PostRow(u"MoneyRecord"_s, u"MoneyIndex"_s, key, {{u"MoneySum"_s, 99.5}}, &error), key);
    QCOMPARE(scalar(dm, u"select MoneySum from MoneyRecord where MoneyIndex="_s + QString::number(key)).toDouble(), 99.5);

    // Errors come back as text, nothing half-written.
    QCOMPARE(dm.PostRow(u"MoneyRecord"_s, u"MoneyIndex"_s, 4242, {{u"MoneySum"_s, 1}}, &error), qint64(-1));
    QVERIFY(!error.isEmpty());
    QCOMPARE(dm.PostRow(u"MoneyRecord"_s, u"MoneyIndex"_s, 0,
                        {{u"MoneySerial"_s, u"SZ-20090104001"_s}, {u"MoneyKind"_s, u"财务收入"_s},
                         {u"MoneyDate"_s, QDate(2009, 1, 4)}, {u"MoneyBook"_s, u"现金"_s}},
                        &error),
             qint64(-1));
    QCOMPARE(dm.PostRow(u"MoneyRecord"_s, u"MoneyIndex"_s, 0,
                        {{u"MoneySerial"_s, u"SZ-X"_s}, {u"MoneyKind"_s, u"财务收入"_s},
                         {u"MoneyDate"_s, u"5.1.2009"_s}, {u"MoneyBook"_s, u"现金"_s}},
                        &error),
             qint64(-1));
    QCOMPARE(dm.PostRow(u"MoneyRecord; drop table Book"_s, u"MoneyIndex"_s, 0, {{u"MoneySum"_s, 1}}, &error), qint64(-1));
    QCOMPARE(scalar(dm, u"select count(*) from MoneyRecord"_s).toInt(), 7);
    // Posting errors are reported to the caller, not swallowed into the failure flag.
    QVERIFY(!dm.QueryFailed());
}

void TestDataModule::settings()
{
    TShareDM &dm = *m_dm;
    // Defaults of the table, and a read stores nothing.
    QCOMPARE(TSettingsStore::DefaultOf(u"SoftSkin"_s).toString(), u"Office 2007 Blue"_s);
    QCOMPARE(TSettingsStore::DefaultOf(u"LastLogin"_s).toString(), u"出纳"_s);
    QCOMPARE(TSettingsStore::DefaultOf(u"AutoBackup"_s).toBool(), true);
    QCOMPARE(TSettingsStore::DefaultOf(u"FinanceQutory"_s).toBool(), false);
    QCOMPARE(TSettingsStore::Keys().size(), 18);
    QCOMPARE(dm.ReadStringSetting(u"LastLogin"_s, u"出纳"_s), u"出纳"_s);
    QCOMPARE(dm.ReadBoolSetting(u"AutoBackup"_s, true), true);
    QSettings raw(QSettings::NativeFormat, QSettings::UserScope, u"QYBook"_s, u"1.0"_s);
    QVERIFY(raw.allKeys().isEmpty());

    QVERIFY(dm.WriteBoolSetting(u"AutoBackup"_s, false));
    QVERIFY(dm.WriteStringSetting(u"CompanyName"_s, u"老王's店"_s));
    raw.sync();
    QCOMPARE(raw.value(u"AutoBackup"_s).toInt(), 0); // booleans as integers
    TShareDM other(m_folder->path());
    QCOMPARE(other.ReadBoolSetting(u"AutoBackup"_s, true), false);
    QCOMPARE(other.ReadStringSetting(u"CompanyName"_s, QString()), u"老王's店"_s);
    QVERIFY(other.WriteBoolSetting(u"AutoBackup"_s, true));
    QCOMPARE(dm.ReadBoolSetting(u"AutoBackup"_s, false), true);
}

void TestDataModule::loginUser()
{
    const QString stored = TShareDM::EncryptText(u"Secret1"_s);
    QVERIFY(TLoginUser::PasswordMatches(QString(), QString()));
    QVERIFY(!TLoginUser::PasswordMatches(QString(), u"x"_s));
    QVERIFY(TLoginUser::PasswordMatches(stored, u"Secret1"_s));
    QVERIFY(!TLoginUser::PasswordMatches(stored, u"secret1"_s));
    QVERIFY(!TLoginUser::PasswordMatches(stored, QString()));
    QString error;
    QVERIFY(!TLoginUser::PasswordMatches(u"XYZ"_s, u"x"_s, &error));
    QVERIFY(!error.isEmpty());

    // The user record from the table, and what he may see.
    TRecordSet rows;
    QVERIFY(m_dm->RunQuery(u"select * from LoginUser where UserName='出纳'"_s, &rows, &error));
    TLoginUser cashier = TLoginUser::FromRecord(rows, 0);
    QCOMPARE(cashier.UserName, u"出纳"_s);
    QVERIFY(cashier.UserCreate && cashier.UserModify);
    QVERIFY(!cashier.UserCheck && !cashier.UserDelete && !cashier.UserRestore && !cashier.UserSetting);
    QCOMPARE(cashier.RestrictMoney(), u" and MoneyAdmin='出纳'"_s);
    QCOMPARE(cashier.RestrictGetPay(), u" and GetPayAdmin='出纳'"_s);
    QCOMPARE(cashier.RestrictBook(), u" and BookAdmin='出纳'"_s);
    cashier.UserName = u"O'Brien"_s;
    QCOMPARE(cashier.RestrictMoney(), u" and MoneyAdmin='O''Brien'"_s);
    QVERIFY(m_dm->RunQuery(u"select * from LoginUser where UserName='管理员'"_s, &rows, &error));
    const TLoginUser admin = TLoginUser::FromRecord(rows, 0);
    QVERIFY(admin.UserCheck && admin.UserCreate && admin.UserModify && admin.UserDelete && admin.UserRestore
            && admin.UserSetting);
    QCOMPARE(admin.RestrictMoney(), QString());

    // A password set through the module is what the login test accepts.
    QVERIFY(m_dm->SetUserKey(u"出纳"_s, u"管理123"_s, &error));
    QVERIFY(!m_dm->SetUserKey(u"nobody"_s, u"x"_s, &error));
    const QString key = scalar(*m_dm, u"select UserKey from LoginUser where UserName='出纳'"_s).toString();
    QVERIFY(TLoginUser::PasswordMatches(key, u"管理123"_s));
}

QTEST_GUILESS_MAIN(TestDataModule)
#include "tst_datamodule.moc"

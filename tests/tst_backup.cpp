#include "DataModule.h"
#include "Schema.h"
#include "TestSupport.h"
#include "xUtils.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>

using namespace Qt::StringLiterals;
using TestSupport::TProgramFolder;

namespace {

int voucherCount(const QString &file)
{
    TShareDM dm;
    QString error;
    if (!dm.OpenDataFile(file, false, &error))
        return -1;
    TRecordSet rows;
    dm.RunQuery(u"select count(*) from MoneyRecord"_s, &rows, &error);
    return rows.value(0, 0).toInt();
}

QStringList backupFiles(const QString &dir)
{
    return QDir(dir).entryList({u"*.qy"_s}, QDir::Files, QDir::Name);
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void manualBackup();
    void backupRefusals();
    void ring();
    void ringWithinOneSecond();
    void failedBackupKeepsSlot();
    void ringSwitchedOff();
    void settingIniFallback();
    void automaticBackupAtExit_data();
    void automaticBackupAtExit();
    void restoreIsStaged();
    void restoreRefusals();
    void stagedFileCheckedAgain();

private:
    std::unique_ptr<TProgramFolder> m_folder;
    std::unique_ptr<TShareDM> m_dm;
};

void TestBackup::init()
{
    TestSupport::ResetSettings();
    m_dm.reset();
    m_folder = std::make_unique<TProgramFolder>();
    QString error;
    m_dm = TestSupport::OpenFixture(*m_folder, true, &error);
    QVERIFY2(m_dm, qPrintable(error));
    m_dm->CreateMaintenance();
}

void TestBackup::manualBackup()
{
    TAccessDatabase *m = m_dm->Maintenance();
    QCOMPARE(QFileInfo(m->DataSource()).canonicalFilePath(), QFileInfo(m_folder->dataFile()).canonicalFilePath());
    QCOMPARE(m->AutoExt, u".qy"_s);
    const QString target = m_folder->filePath(u"copy.qy"_s);
    QVERIFY2(m->Backup(target), qPrintable(m->LastError()));
    QVERIFY(Schema::IsDataFile(target, nullptr));
    QCOMPARE(voucherCount(target), 6);

    // A later backup to the same name replaces it with the newer data.
    m_dm->ExecSQL(u"delete from MoneyRecord where MoneyGetPay is null"_s);
    QVERIFY2(m->Backup(target), qPrintable(m->LastError()));
    QCOMPARE(voucherCount(target), 3);
    QCOMPARE(backupFiles(m_folder->path()), (QStringList{u"QYBook.qy"_s, u"copy.qy"_s})); // no temporaries left
    QCOMPARE(TShareDM::ProposedBackupName(QDate(2024, 1, 5)), u"青柚流水帐备份2024-01-05"_s);
}

void TestBackup::backupRefusals()
{
    TAccessDatabase *m = m_dm->Maintenance();
    QVERIFY(!m->Backup(m_folder->filePath(u"no/such/folder/x.qy"_s)));
    QVERIFY(m->LastError().contains(u"不存在"_s));
    QFile plain(m_folder->filePath(u"plain.txt"_s));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    QVERIFY(!m->Backup(m_folder->filePath(u"plain.txt/x.qy"_s)));
    // Never over the live data file.
    QVERIFY(!m->Backup(m_folder->dataFile()));
    QCOMPARE(voucherCount(m_folder->dataFile()), 6);
}

void TestBackup::ring()
{
    TAccessDatabase *m = m_dm->Maintenance();
    const QString dir = m_folder->filePath(u"ring/deeper"_s); // missing folders are made
    m->BackupDirectory = dir;
    m->AutoPrefix = u"qybook"_s;
    QDateTime t(QDate(2024, 1, 5), QTime(18, 30, 12));
    m->SetClock([&t] { return t; });
    QStringList written;
    for (int run = 1; run <= 11; ++run) {
        written << m->RunAutoBackup();
        QVERIFY2(!written.last().isEmpty(), qPrintable(m->LastError()));
        t = t.addSecs(60);
    }
    QCOMPARE(QFileInfo(written.first()).fileName(), u"qybook_240105183012_1.qy"_s);
    QCOMPARE(QFileInfo(written.at(10)).fileName(), u"qybook_240105184012_1.qy"_s);
    const QStringList files = backupFiles(dir);
    QCOMPARE(files.size(), 10);
    QVERIFY(!QFile::exists(written.first())); // the oldest went when its slot was reused
    for (int i = 1; i <= 10; ++i)
        QVERIFY(QFile::exists(written.at(i)));
    QCOMPARE(m->Book().read(u"LastBackupNumber"_s), u"1"_s);
    QCOMPARE(m->Book().read(u"LastBackupFile1"_s), written.at(10));
    QCOMPARE(m->Book().read(u"LastBackupFile2"_s), written.at(1));
    QCOMPARE(voucherCount(written.at(10)), 6);
}

void TestBackup::ringWithinOneSecond()
{
    // Eleven runs in the same second: the eleventh file has the first one's name and must survive.
    TAccessDatabase *m = m_dm->Maintenance();
    m->BackupDirectory = m_folder->filePath(u"ring"_s);
    const QDateTime t(QDate(2024, 1, 5), QTime(18, 30, 12));
    m->SetClock([t] { return t; });
    QString last;
    for (int run = 1; run <= 11; ++run)
        last = m->RunAutoBackup();
    QVERIFY(QFile::exists(last));
    QCOMPARE(backupFiles(m->BackupDirectory).size(), 10);
}

void TestBackup::failedBackupKeepsSlot()
{
    TAccessDatabase *m = m_dm->Maintenance();
    m->BackupDirectory = m_folder->filePath(u"ring"_s);
    m->AutoNumber = 1;
    const QString first = m->RunAutoBackup();
    QVERIFY(QFile::exists(first));
    m_dm->CloseConnection(); // the next copy cannot be made
    QTest::qWait(1100);      // a new time stamp
    QCOMPARE(m->RunAutoBackup(), QString());
    QVERIFY2(QFile::exists(first), "a failed run must not cost the slot's previous backup");
    QCOMPARE(m->Book().read(u"LastBackupFile1"_s), first);
    QCOMPARE(m->Book().read(u"LastBackupNumber"_s), u"1"_s);
}

void TestBackup::ringSwitchedOff()
{
    TAccessDatabase *m = m_dm->Maintenance();
    m->BackupDirectory = m_folder->filePath(u"ring"_s);
    m->AutoBackup = false;
    QCOMPARE(m->RunAutoBackup(), QString());
    QVERIFY(!QDir(m->BackupDirectory).exists());
    QCOMPARE(m->Book().read(u"LastBackupNumber"_s), QString());
    // No folder configured: nothing is written anywhere (in particular not at the root).
    m->AutoBackup = true;
    m->BackupDirectory.clear();
    QCOMPARE(m->RunAutoBackup(), QString());
    QCOMPARE(m->Book().read(u"LastBackupNumber"_s), QString());
}

void TestBackup::settingIniFallback()
{
    // A configuration folder that cannot be used: a plain file stands where it should be.
    const QString blocked = m_folder->filePath(u"blocked"_s);
    QFile f(blocked);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, blocked);
    TBackupBook book(m_folder->path(), u"qybook"_s);
    book.write(u"LastBackupNumber"_s, u"4"_s);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, qEnvironmentVariable("XDG_CONFIG_HOME"));
    QCOMPARE(book.location(), m_folder->filePath(u"Setting.ini"_s));
    QSettings ini(m_folder->filePath(u"Setting.ini"_s), QSettings::IniFormat);
    QCOMPARE(ini.value(u"Config/LastBackupNumber"_s).toString(), u"4"_s);
}

void TestBackup::automaticBackupAtExit_data()
{
    QTest::addColumn<bool>("loggedIn");
    QTest::addColumn<bool>("statementFailed");
    QTest::addColumn<bool>("autoBackup");
    QTest::addColumn<bool>("pathSet");
    QTest::addColumn<bool>("expected");
    QTest::newRow("clean run") << true << false << true << true << true;
    QTest::newRow("no login") << false << false << true << true << false;
    QTest::newRow("failed statement") << true << true << true << true << false;
    QTest::newRow("switched off") << true << false << false << true << false;
    QTest::newRow("no folder") << true << false << true << false << false;
}

void TestBackup::automaticBackupAtExit()
{
    QFETCH(bool, loggedIn);
    QFETCH(bool, statementFailed);
    QFETCH(bool, autoBackup);
    QFETCH(bool, pathSet);
    QFETCH(bool, expected);
    const QString dir = m_folder->filePath(u"auto"_s);
    m_dm->WriteBoolSetting(u"AutoBackup"_s, autoBackup);
    if (pathSet)
        m_dm->WriteStringSetting(u"AutoPath"_s, dir);
    m_dm->SetLoggedIn(loggedIn);
    if (statementFailed)
        m_dm->ExecSQL(u"delete from NoSuchTable"_s);
    m_dm.reset(); // the program ends
    const QStringList files = backupFiles(dir);
    QCOMPARE(files.size(), expected ? 1 : 0);
    if (expected) {
        QVERIFY(files.first().startsWith(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + u'_'));
        QVERIFY(files.first().endsWith(u"_1.qy"_s));
        QCOMPARE(voucherCount(QDir(dir).filePath(files.first())), 6);
    }
}

void TestBackup::restoreIsStaged()
{
    TAccessDatabase *m = m_dm->Maintenance();
    const QString backup = m_folder->filePath(u"backup.qy"_s);
    QVERIFY(m->Backup(backup));
    m_dm->ExecSQL(u"delete from MoneyRecord"_s);

    QVERIFY2(m->Restore(backup), qPrintable(m->LastError()));
    const QString staged = TAccessDatabase::StagedRestoreName(m_folder->dataFile());
    QVERIFY(QFile::exists(staged));
    // The open connection keeps working on the data it had.
    TQuery q;
    m_dm->OpenQuery(q, u"select count(*) as n from MoneyRecord"_s);
    QCOMPARE(q.fieldValue(u"n"_s).toInt(), 0);

    // The next start puts the restored data in place and keeps what it replaced.
    m_dm.reset();
    bool applied = false;
    QString error;
    QVERIFY2(TAccessDatabase::ApplyStagedRestore(m_folder->dataFile(), &Schema::IsDataFile, &applied, &error),
             qPrintable(error));
    QVERIFY(applied);
    QVERIFY(!QFile::exists(staged));
    QCOMPARE(voucherCount(m_folder->dataFile()), 6);
    QCOMPARE(voucherCount(TAccessDatabase::PreviousDataName(m_folder->dataFile())), 0);
    // Nothing staged: nothing happens.
    QVERIFY(TAccessDatabase::ApplyStagedRestore(m_folder->dataFile(), &Schema::IsDataFile, &applied, &error));
    QVERIFY(!applied);
}

void TestBackup::restoreRefusals()
{
    TAccessDatabase *m = m_dm->Maintenance();
    const QString staged = TAccessDatabase::StagedRestoreName(m_folder->dataFile());
    const QString junk = m_folder->filePath(u"junk.qy"_s);
    QFile f(junk);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("not a backup");
    f.close();
    QVERIFY(!m->Restore(junk));
    QVERIFY(!m->LastError().isEmpty());
    QVERIFY(!m->Restore(m_folder->filePath(u"missing.qy"_s)));
    QVERIFY(!m->Restore(m_folder->dataFile()));
    QVERIFY(!QFile::exists(staged));
    QCOMPARE(voucherCount(m_folder->dataFile()), 6);
}

void TestBackup::stagedFileCheckedAgain()
{
    // A staged file damaged before the next start is set aside; the data file stays.
    const QString staged = TAccessDatabase::StagedRestoreName(m_folder->dataFile());
    QFile f(staged);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("garbage");
    f.close();
    m_dm.reset();
    bool applied = true;
    QString error;
    QVERIFY(!TAccessDatabase::ApplyStagedRestore(m_folder->dataFile(), &Schema::IsDataFile, &applied, &error));
    QVERIFY(!applied);
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(staged));
    QVERIFY(QFile::exists(staged + u"-rejected"_s));
    QCOMPARE(voucherCount(m_folder->dataFile()), 6);
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"

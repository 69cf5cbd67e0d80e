#include "xUtils.h"

#include "SqlText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

QString IncrementSerial(const QString &serial)
{
    QString s = serial;
    for (qsizetype i = s.size() - 1; i >= 0; --i) {
        const char16_t c = s.at(i).unicode();
        char16_t next = c;
        if (c >= u'a' && c <= u'z')
            next = c == u'z' ? u'a' : char16_t(c + 1);
        else if (c >= u'A' && c <= u'Z')
            next = c == u'Z' ? u'A' : char16_t(c + 1);
        else if (c >= u'0' && c <= u'9')
            next = c == u'9' ? u'0' : char16_t(c + 1);
        s[i] = QChar(next);
        if (next > c)
            break; // stepped without wrapping: no carry
    }
    return s;
}

namespace {

QString defaultAppPath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath() + u'/';
    return QDir::currentPath() + u'/';
}

QString defaultExeBaseName()
{
    if (QCoreApplication::instance())
        return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return u"qybook"_s;
}

QString withSlash(const QString &path)
{
    return path.endsWith(u'/') ? path : path + u'/';
}

bool syncFile(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace

// ---------------------------------------------------------------------------

TBackupBook::TBackupBook(const QString &appPath, const QString &exeBaseName)
    : m_appPath(withSlash(appPath))
    , m_exeBaseName(exeBaseName)
{
}

// The settings store is used only when it can be read and written; otherwise every read and
// write goes to Setting.ini, so the two never hold different numbers.
QString TBackupBook::read(const QString &name) const
{
    QSettings primary(QSettings::NativeFormat, QSettings::UserScope, m_exeBaseName);
    if (primary.status() == QSettings::NoError && primary.isWritable()) {
        m_location = primary.fileName();
        return primary.value(name).toString();
    }
    QSettings ini(m_appPath + u"Setting.ini"_s, QSettings::IniFormat);
    m_location = ini.fileName();
    return ini.value(u"Config/"_s + name).toString();
}

void TBackupBook::write(const QString &name, const QString &value)
{
    {
        QSettings primary(QSettings::NativeFormat, QSettings::UserScope, m_exeBaseName);
        if (primary.status() == QSettings::NoError && primary.isWritable()) {
            primary.setValue(name, value);
            primary.sync();
            if (primary.status() == QSettings::NoError) {
                m_location = primary.fileName();
                return;
            }
        }
    }
    QSettings ini(m_appPath + u"Setting.ini"_s, QSettings::IniFormat);
    ini.setValue(u"Config/"_s + name, value);
    ini.sync();
    m_location = ini.fileName();
}

// ---------------------------------------------------------------------------

TDatabase::TDatabase(const QString &appPath, const QString &exeBaseName)
    : m_book(appPath.isEmpty() ? defaultAppPath() : appPath,
             exeBaseName.isEmpty() ? defaultExeBaseName() : exeBaseName)
{
    const QString app = withSlash(appPath.isEmpty() ? defaultAppPath() : appPath);
    BackupDirectory = app + u"Backup/"_s;
    AutoPrefix = exeBaseName.isEmpty() ? defaultExeBaseName() : exeBaseName;
}

TDatabase::~TDatabase() = default;

void TDatabase::SetConnection(const QString &connectionName)
{
    m_connectionName = connectionName;
}

bool TDatabase::Backup(const QString &)
{
    return false;
}

bool TDatabase::Restore(const QString &)
{
    return false;
}

QString TDatabase::RunAutoBackup()
{
    // An empty folder setting must not turn into the file system root.
    if (!AutoBackup || BackupDirectory.trimmed().isEmpty())
        return QString();
    const QString dir = withSlash(QDir::fromNativeSeparators(BackupDirectory));
    if (!QDir(dir).exists() && !QDir().mkpath(dir)) {
        setLastError(QCoreApplication::translate("TDatabase", "无法创建备份文件夹：%1").arg(dir));
        return QString();
    }

    bool ok = false;
    int n = m_book.read(u"LastBackupNumber"_s).toInt(&ok);
    n = ok ? n + 1 : 1;
    if (n > AutoNumber || n < 1)
        n = 1;

    const QDateTime now = m_clock ? m_clock() : QDateTime::currentDateTime();
    const QString fileName = dir + AutoPrefix + u'_' + now.toString(u"yyMMddHHmmss"_s) + u'_'
                             + QString::number(n) + AutoExt;
    const bool written = Backup(fileName);

    // The number advances even when the copy failed; the slot's old file goes only once the
    // new one exists, so a failed run loses no backup.
    m_book.write(u"LastBackupNumber"_s, QString::number(n));
    if (!written)
        return QString();
    const QString slotKey = u"LastBackupFile"_s + QString::number(n);
    const QString previous = m_book.read(slotKey);
    if (!previous.isEmpty() && QFileInfo(previous).absoluteFilePath() != QFileInfo(fileName).absoluteFilePath())
        QFile::remove(previous);
    m_book.write(slotKey, fileName);
    return fileName;
}

// ---------------------------------------------------------------------------

QString DatabaseFilePath(const QString &connectionName)
{
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (!db.isOpen())
        return QString();
    QSqlQuery q(db);
    if (q.exec(u"PRAGMA database_list"_s)) {
        while (q.next()) {
            if (q.value(1).toString() == u"main"_s)
                return q.value(2).toString();
        }
    }
    return db.databaseName();
}

bool SnapshotDatabase(const QString &connectionName, const QString &fileName, QString *error)
{
    const auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (!db.isOpen())
        return fail(QCoreApplication::translate("TDatabase", "数据库没有打开。"));

    const QFileInfo target(fileName);
    const QString live = QFileInfo(DatabaseFilePath(connectionName)).canonicalFilePath();
    if (target.exists() && !live.isEmpty() && target.canonicalFilePath() == live)
        return fail(QCoreApplication::translate("TDatabase", "不能把数据备份到正在使用的数据文件本身。"));
    if (!target.absoluteDir().exists())
        return fail(QCoreApplication::translate("TDatabase", "备份文件夹不存在：%1").arg(target.absolutePath()));

    static std::atomic<int> counter{0};
    const QString temp = target.absolutePath() + u"/."_s + target.fileName() + u".tmp-"_s
                         + QString::number(QCoreApplication::applicationPid()) + u'-'
                         + QString::number(++counter);
    QFile::remove(temp);

    QSqlQuery q(db);
    if (!q.exec(u"VACUUM INTO "_s + SqlText::QuotedStr(temp))) {
        const QString text = q.lastError().text();
        QFile::remove(temp);
        return fail(QCoreApplication::translate("TDatabase", "备份失败：%1").arg(text));
    }
    q.finish();
    if (!syncFile(temp)) {
        QFile::remove(temp);
        return fail(QCoreApplication::translate("TDatabase", "备份文件无法写入磁盘：%1").arg(fileName));
    }
    // rename(2) replaces an existing target in one step.
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(temp);
        return fail(QCoreApplication::translate("TDatabase", "无法写入备份文件 %1：%2").arg(fileName, reason));
    }
    syncFile(target.absolutePath());
    return true;
}

// ---------------------------------------------------------------------------

TAccessDatabase::TAccessDatabase(const QString &appPath, const QString &exeBaseName)
    : TDatabase(appPath, exeBaseName)
{
}

void TAccessDatabase::SetConnection(const QString &connectionName)
{
    TDatabase::SetConnection(connectionName);
    m_dataSource = DatabaseFilePath(connectionName);
}

bool TAccessDatabase::Backup(const QString &fileName)
{
    QString error;
    if (!SnapshotDatabase(m_connectionName, fileName, &error)) {
        setLastError(error);
        return false;
    }
    return true;
}

QString TAccessDatabase::StagedRestoreName(const QString &dataFile)
{
    return dataFile + u".restore"_s;
}

QString TAccessDatabase::PreviousDataName(const QString &dataFile)
{
    return dataFile + u".before-restore"_s;
}

bool TAccessDatabase::Restore(const QString &fileName)
{
    if (m_dataSource.isEmpty()) {
        setLastError(QCoreApplication::translate("TDatabase", "数据库没有打开。"));
        return false;
    }
    QString error;
    if (!StageRestore(fileName, m_dataSource, m_validator, &error)) {
        setLastError(error);
        return false;
    }
    return true;
}

bool TAccessDatabase::StageRestore(const QString &source, const QString &dataFile, const Validator &validator,
                                   QString *error)
{
    const auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (!QFileInfo(source).isFile())
        return fail(QCoreApplication::translate("TDatabase", "文件不存在：%1").arg(source));
    if (QFileInfo::exists(dataFile) && QFileInfo(source).canonicalFilePath() == QFileInfo(dataFile).canonicalFilePath())
        return fail(QCoreApplication::translate("TDatabase", "不能用正在使用的数据文件本身来恢复。"));
    QString why;
    if (validator && !validator(source, &why))
        return fail(why);
    // Copy through a private read-only connection: the staged file is a clean snapshot even if
    // the source is a data file that another program has open.
    static std::atomic<int> counter{0};
    const QString name = u"qy-restore-"_s + QString::number(++counter);
    bool ok = false;
    {
        QSqlDatabase src = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        src.setDatabaseName(source);
        src.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        if (!src.open())
            why = src.lastError().text();
        else
            ok = SnapshotDatabase(name, StagedRestoreName(dataFile), &why);
        src.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok || fail(why);
}

bool TAccessDatabase::ApplyStagedRestore(const QString &dataFile, const Validator &validator, bool *applied,
                                         QString *error)
{
    if (applied)
        *applied = false;
    const QString staged = StagedRestoreName(dataFile);
    if (!QFileInfo::exists(staged))
        return true;
    QString why;
    if (validator && !validator(staged, &why)) {
        const QString rejected = staged + u"-rejected"_s;
        QFile::remove(rejected);
        QFile::rename(staged, rejected);
        if (error)
            *error = QCoreApplication::translate("TDatabase", "待恢复的数据文件无效，已放弃恢复（保存为 %1）：%2")
                         .arg(rejected, why);
        return false;
    }
    // Keep the data being replaced, with its journal so it stays consistent.
    const QString previous = PreviousDataName(dataFile);
    QFile::remove(previous);
    QFile::remove(previous + u"-journal"_s);
    if (QFileInfo::exists(dataFile) && !QFile::rename(dataFile, previous)) {
        if (error)
            *error = QCoreApplication::translate("TDatabase", "无法替换数据文件：%1").arg(dataFile);
        return false;
    }
    if (QFileInfo::exists(dataFile + u"-journal"_s))
        QFile::rename(dataFile + u"-journal"_s, previous + u"-journal"_s);
    if (std::rename(QFile::encodeName(staged).constData(), QFile::encodeName(dataFile).constData()) != 0) {
        QFile::rename(previous, dataFile); // put the old data back
        if (error)
            *error = QCoreApplication::translate("TDatabase", "无法替换数据文件：%1").arg(dataFile);
        return false;
    }
    syncFile(QFileInfo(dataFile).absolutePath());
    if (applied)
        *applied = true;
    return true;
}

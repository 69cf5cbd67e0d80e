#include "DataModule.h"

#include "Cipher.h"
#include "JetSql.h"
#include "Schema.h"
#include "SqliteReader.h"
#include "SqliteFunctions.h"
#include "xUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// Statements are kept on one line, as the export's re-select relies on.
QString singleLine(const QString &sql)
{
    QString s = sql;
    s.replace(u"\r\n"_s, u" "_s);
    s.replace(u'\n', u' ');
    s.replace(u'\r', u' ');
    return s;
}

bool isIdentifier(const QString &name)
{
    static const QRegularExpression re(u"^[A-Za-z_][A-Za-z0-9_]*$"_s);
    return re.match(name).hasMatch();
}

} // namespace

QString BuildJetConnectionString(const QString &fileName, const QString &password)
{
    return u"Provider=Microsoft.Jet.OLEDB.4.0;Data Source="_s + fileName + u";Jet OLEDB:Database Password="_s
           + password;
}

QString ConnectionStringValue(const QString &connectionString, const QString &key)
{
    const QStringList parts = connectionString.split(u';');
    for (const QString &part : parts) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq > 0 && part.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return part.mid(eq + 1).trimmed();
    }
    return QString();
}

TShareDM::TShareDM(const QString &appPath, QObject *parent)
    : QObject(parent)
    , m_appPath(appPath.isEmpty() ? QCoreApplication::applicationDirPath() : appPath)
    , m_connectionName(u"qybook-"_s + QString::number(reinterpret_cast<quintptr>(this), 16))
    , m_workDate(QDate::currentDate())
{
    m_appPath = QDir::fromNativeSeparators(m_appPath);
    if (!m_appPath.endsWith(u'/'))
        m_appPath += u'/';
}

TShareDM::~TShareDM()
{
    if (m_maintenance) {
        // Only a run that logged in and ran every statement cleanly is worth keeping.
        if (m_loggedIn && IsConnected() && !m_queryFailed) {
            m_maintenance->AutoBackup = ReadBoolSetting(u"AutoBackup"_s, true);
            m_maintenance->BackupDirectory = ReadStringSetting(u"AutoPath"_s, QString());
            m_maintenance->RunAutoBackup();
        }
        m_maintenance.reset();
    }
    CloseConnection();
}

// --- connection --------------------------------------------------------------------------

bool TShareDM::fail(OpenError code, const QString &text, QString *error, OpenError *codeOut)
{
    if (error)
        *error = text;
    if (codeOut)
        *codeOut = code;
    CloseConnection();
    return false;
}

bool TShareDM::OpenConnection(const QString &connectionString, bool exclusive, QString *error, OpenError *code)
{
    CloseConnection();
    if (code)
        *code = OpenError::None;
    const QString file = ConnectionStringValue(connectionString, u"Data Source"_s);
    if (file.isEmpty())
        return fail(OpenError::Other, tr("连接字符串没有指定数据文件。"), error, code);
    const QFileInfo info(file);
    if (!info.isFile())
        return fail(OpenError::Missing, tr("数据文件不存在：%1").arg(file), error, code);
    const QString path = info.absoluteFilePath();

    if (exclusive) {
        m_lock = std::make_unique<QLockFile>(path + u".lock"_s);
        if (!m_lock->tryLock(0)) {
            m_lock.reset();
            return fail(OpenError::Locked, tr("数据文件正在被另一个青柚流水帐程序使用：%1").arg(file), error, code);
        }
    }

    // Checks run on a local handle; it must be gone before a failure removes the connection.
    OpenError problem = OpenError::None;
    QString text;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_connectionName);
        // mode=rw: never create a missing file behind our back.
        db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + u"?mode=rw"_s);
        db.setConnectOptions(u"QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"_s);
        QString why;
        if (!db.open()) {
            problem = OpenError::Other;
            text = tr("无法打开数据文件 %1：%2").arg(file, db.lastError().text());
        } else if (!registerJetFunctions(db, &why)) {
            problem = OpenError::Other;
            text = tr("无法准备数据库连接：%1").arg(why);
        } else {
            QSqlQuery q(db);
            q.exec(u"PRAGMA foreign_keys = ON"_s);
            q.exec(u"PRAGMA synchronous = FULL"_s);
            // Ten years of vouchers fit in memory: keep the pages rather than reread them.
            q.exec(u"PRAGMA cache_size = -65536"_s);
            q.finish();
            Schema::Health health = Schema::Health::Ok;
            const QStringList problems = Schema::Verify(db, false, &health);
            if (!problems.isEmpty()) {
                problem = health == Schema::Health::Damaged ? OpenError::Damaged : OpenError::NotDataFile;
                text = problem == OpenError::Damaged ? tr("数据文件已损坏：%1\n%2").arg(file, problems.join(u'\n'))
                                                     : tr("%1 不是青柚流水帐的数据文件：\n%2").arg(file, problems.join(u'\n'));
            }
        }
    }
    if (problem != OpenError::None)
        return fail(problem, text, error, code);
    m_dataFile = path;
    return true;
}

bool TShareDM::OpenDataFile(const QString &fileName, bool exclusive, QString *error, OpenError *code)
{
    return OpenConnection(BuildJetConnectionString(fileName, DatabasePassword()), exclusive, error, code);
}

void TShareDM::CloseConnection()
{
    ADOQueryTemp.close();
    ADOQueryTemp2.close();
    m_scratch.close();
    if (QSqlDatabase::contains(m_connectionName)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_connectionName);
    }
    m_dataFile.clear();
    m_lock.reset();
}

bool TShareDM::IsConnected() const
{
    return QSqlDatabase::contains(m_connectionName) && QSqlDatabase::database(m_connectionName, false).isOpen();
}

QSqlDatabase TShareDM::Database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

QString TShareDM::LastFixedDrive()
{
    return QDir::homePath() + u'/';
}

// --- maintenance ---------------------------------------------------------------------------

void TShareDM::CreateMaintenance()
{
    m_maintenance = std::make_unique<TAccessDatabase>(m_appPath);
    m_maintenance->SetConnection(m_connectionName);
    m_maintenance->AutoExt = u".qy"_s;
    m_maintenance->SetValidator(&Schema::IsDataFile);
}

QString TShareDM::ProposedBackupName(const QDate &today)
{
    return u"青柚流水帐备份"_s + today.toString(u"yyyy-MM-dd"_s);
}

// --- settings --------------------------------------------------------------------------------

bool TShareDM::ReadBoolSetting(const QString &name, bool defaultValue) const
{
    return m_settings.ReadBoolSetting(name, defaultValue);
}

QString TShareDM::ReadStringSetting(const QString &name, const QString &defaultValue) const
{
    return m_settings.ReadStringSetting(name, defaultValue);
}

bool TShareDM::WriteBoolSetting(const QString &name, bool value)
{
    return m_settings.WriteBoolSetting(name, value);
}

bool TShareDM::WriteStringSetting(const QString &name, const QString &value)
{
    return m_settings.WriteStringSetting(name, value);
}

// --- statements ------------------------------------------------------------------------------

bool TShareDM::RunQuery(const QString &sql, TRecordSet *rows, QString *error)
{
    if (!IsConnected()) {
        if (error)
            *error = tr("数据库没有打开。");
        return false;
    }
    const QString translated = JetSql::translate(sql);
    TRecordSet local;
    TRecordSet &target = rows ? *rows : local;
    // SQLite: straight from the engine, without the generic driver's per-cell cost.
    if (CanReadSqliteRows(Database()))
        return ReadSqliteRows(Database(), translated, &target, error);
    QSqlQuery q(Database());
    q.setForwardOnly(true);
    if (!q.exec(translated)) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    if (!q.isSelect()) {
        target.clear();
        return true;
    }
    return target.fill(q, error);
}

bool TShareDM::RunCommand(const QString &sql, int *rowsAffected, QString *error)
{
    if (rowsAffected)
        *rowsAffected = 0;
    if (!IsConnected()) {
        if (error)
            *error = tr("数据库没有打开。");
        return false;
    }
    QSqlQuery q(Database());
    if (!q.exec(JetSql::translate(sql))) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    if (rowsAffected)
        *rowsAffected = q.numRowsAffected();
    return true;
}

void TShareDM::OpenQuery(TQuery &query, const QString &sql)
{
    query.close();
    const QString line = singleLine(sql);
    TRecordSet rows;
    QString error;
    if (RunQuery(line, &rows, &error)) {
        query.setResult(line, std::move(rows));
        return;
    }
    query.setStatement(line);
    NoteFailedStatement(error, line);
}

void TShareDM::NoteFailedStatement(const QString &error, const QString &sql)
{
    m_lastSqlError = error;
    SetQueryFailed(true);
    qWarning("statement failed: %s [%s]", qPrintable(error), qPrintable(sql));
}

int TShareDM::ExecSQL(const QString &sql)
{
    int affected = 0;
    QString error;
    if (RunCommand(singleLine(sql), &affected, &error))
        return affected;
    NoteFailedStatement(error, sql);
    return 0;
}

qint64 TShareDM::PostRow(const QString &table, const QString &keyField, qint64 keyValue,
                         const QList<TFieldValue> &values, QString *error)
{
    const auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return qint64(-1);
    };
    if (!IsConnected())
        return fail(tr("数据库没有打开。"));
    if (!isIdentifier(table) || !isIdentifier(keyField) || values.isEmpty())
        return fail(tr("无效的表或字段。"));
    QStringList names;
    for (const TFieldValue &v : values) {
        if (!isIdentifier(v.name))
            return fail(tr("无效的字段名：%1").arg(v.name));
        names << v.name;
    }
    const auto bindable = [](const TFieldValue &v) -> QVariant {
        // Dates are stored as yyyy-MM-dd text without a time of day.
        if (v.value.typeId() == QMetaType::QDate)
            return SqlText::DateText(v.value.toDate());
        if (v.value.typeId() == QMetaType::QDateTime && Schema::IsDateField(v.name))
            return SqlText::DateText(v.value.toDateTime().date());
        // Text columns hold empty text, never null.
        if (v.value.typeId() == QMetaType::QString && v.value.toString().isNull())
            return QString(u""_s);
        return v.value;
    };

    QSqlQuery q(Database());
    if (keyValue == 0) {
        QStringList marks;
        for (qsizetype i = 0; i < names.size(); ++i)
            marks << u"?"_s;
        q.prepare(u"INSERT INTO "_s + table + u" ("_s + names.join(u", "_s) + u") VALUES ("_s
                  + marks.join(u", "_s) + u')');
        for (const TFieldValue &v : values)
            q.addBindValue(bindable(v));
        if (!q.exec())
            return fail(q.lastError().text());
        return q.lastInsertId().toLongLong();
    }
    QStringList sets;
    for (const QString &n : names)
        sets << n + u" = ?"_s;
    q.prepare(u"UPDATE "_s + table + u" SET "_s + sets.join(u", "_s) + u" WHERE "_s + keyField + u" = ?"_s);
    for (const TFieldValue &v : values)
        q.addBindValue(bindable(v));
    q.addBindValue(keyValue);
    if (!q.exec())
        return fail(q.lastError().text());
    if (q.numRowsAffected() < 1)
        return fail(tr("要修改的记录已经不存在。"));
    return keyValue;
}

// --- lists, checks and serials -----------------------------------------------------------------

void TShareDM::LoadDistinctValues(QStringList &strings, const QString &sql, bool clear, const QString &prefill,
                                  const QString &field)
{
    if (clear)
        strings.clear();
    static const QRegularExpression separators(u"[,;|]"_s);
    const QStringList items = prefill.split(separators);
    for (const QString &item : items) {
        qsizetype start = 0;
        while (start < item.size() && item.at(start) == u' ')
            ++start;
        const QString text = item.mid(start);
        if (!text.isEmpty())
            strings.append(text);
    }
    OpenQuery(m_scratch, sql);
    if (!m_scratch.isOpen())
        return;
    const TRecordSet &rows = m_scratch.records();
    const int column = rows.fieldIndex(field);
    for (int r = 0; r < rows.recordCount(); ++r) {
        const QString value = rows.value(r, column).toString();
        if (!value.isEmpty() && !strings.contains(value, Qt::CaseInsensitive))
            strings.append(value);
    }
    m_scratch.close();
}

QString TShareDM::DistinctListSql(const QString &table, const QString &field, const QString &condition)
{
    return u"select distinct "_s + field + u" from "_s + table + u" where 0=0 "_s + condition + u" Order by "_s
           + field;
}

QStringList TShareDM::DistinctValues(const QString &table, const QString &field, const QString &condition,
                                     const QString &prefill)
{
    QStringList values;
    LoadDistinctValues(values, DistinctListSql(table, field, condition), true, prefill, field);
    return values;
}

QString TShareDM::ParameterCondition(const QString &parameterName)
{
    return SqlText::EqualsCondition(u"ParameterName"_s, parameterName, u" and "_s);
}

QStringList TShareDM::ParameterValues(const QString &parameterName, const QString &prefill)
{
    return DistinctValues(u"Parameter"_s, u"ParameterValue"_s, ParameterCondition(parameterName), prefill);
}

QString TShareDM::KeyField(const QString &table) const
{
    if (!IsConnected())
        return QString();
    const QSqlDatabase db = Database();
    const QSqlRecord rec = db.record(table);
    for (int i = 0; i < rec.count(); ++i) {
        if (rec.field(i).isAutoValue())
            return rec.fieldName(i);
    }
    const QSqlIndex pk = db.primaryIndex(table);
    return pk.isEmpty() ? QString() : pk.fieldName(0);
}

bool TShareDM::ValueTaken(const QString &table, const QString &field, const QString &text, qint64 keyValue)
{
    if (keyValue != 0) {
        const QString key = KeyField(table);
        if (!key.isEmpty()) {
            OpenQuery(m_scratch, u"select "_s + field + u" from "_s + table + u" where "_s + key + u'='
                                     + QString::number(keyValue));
            if (m_scratch.isEmpty())
                return false; // the row is gone: nothing to compare against
            const bool unchanged = m_scratch.fieldText(field) == text;
            m_scratch.close();
            if (unchanged)
                return false;
        }
    }
    OpenQuery(m_scratch, u"select "_s + field + u" from "_s + table + u" where "_s + field + u'='
                             + SqlText::QuotedStr(text));
    const bool taken = m_scratch.recordCount() > 0;
    m_scratch.close();
    return taken;
}

QString TShareDM::NextSerial(const QString &table, const QString &field, const QDate &date, const QString &prefix,
                             int digits)
{
    const QString stem = prefix + date.toString(u"yyyyMMdd"_s);
    OpenQuery(m_scratch, u"select "_s + field + u" from "_s + table + u" where 0=0 "_s
                             + SqlText::InStrCondition(field, stem, u" and "_s) + u" Order by "_s + field
                             + u" desc"_s);
    QString result;
    if (m_scratch.recordCount() > 0)
        result = IncrementSerial(m_scratch.fieldText(field));
    else
        result = stem + QStringLiteral("%1").arg(1, digits, 10, QLatin1Char('0'));
    m_scratch.close();
    return result;
}

bool TShareDM::SetUserKey(const QString &userName, const QString &password, QString *error)
{
    if (!IsConnected()) {
        if (error)
            *error = tr("数据库没有打开。");
        return false;
    }
    QSqlQuery q(Database());
    q.prepare(u"UPDATE LoginUser SET UserKey = ? WHERE UserName = ?"_s);
    q.addBindValue(password.isEmpty() ? QString(u""_s) : EncryptText(password));
    q.addBindValue(userName);
    if (!q.exec()) {
        if (error)
            *error = q.lastError().text();
        return false;
    }
    if (q.numRowsAffected() < 1) {
        if (error)
            *error = tr("没有这个用户：%1").arg(userName);
        return false;
    }
    return true;
}

// --- cipher ------------------------------------------------------------------------------------

QString TShareDM::EncryptText(const QString &text)
{
    return Cipher::EncryptText(text);
}

std::optional<QString> TShareDM::DecryptText(const QString &stored, QString *error)
{
    return Cipher::DecryptText(stored, error);
}

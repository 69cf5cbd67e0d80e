#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

// One odometer step of a voucher number: from the last character leftwards a digit steps
// 0..9 and a letter a..z / A..Z, wrapping; other characters are passed over. The walk stops at
// the first character that stepped without wrapping ("SZ-20240105A9" -> "SZ-20240105B0").
QString IncrementSerial(const QString &serial);

// Where the automatic-backup ring keeps its numbers: a settings file named after the program,
// or "Setting.ini" (section Config) beside the program when that store cannot be used.
class TBackupBook
{
public:
    TBackupBook(const QString &appPath, const QString &exeBaseName);

    QString read(const QString &name) const;
    void write(const QString &name, const QString &value);
    // The file the values went to last (for messages and tests).
    QString location() const { return m_location; }

private:
    QString m_appPath;
    QString m_exeBaseName;
    mutable QString m_location;
};

// Knows how to back up and restore the database a connection points to, and runs the ring of
// automatic backups when the program ends.
class TDatabase
{
public:
    // appPath ends with '/'; both default to the running program's folder and base name.
    explicit TDatabase(const QString &appPath = QString(), const QString &exeBaseName = QString());
    virtual ~TDatabase();
    TDatabase(const TDatabase &) = delete;
    TDatabase &operator=(const TDatabase &) = delete;

    bool AutoBackup = true;
    int AutoNumber = 10;
    QString BackupDirectory; // default: program folder + "Backup/"
    QString AutoPrefix;      // default: program base name
    QString AutoExt = QStringLiteral(".backup");

    virtual void SetConnection(const QString &connectionName);
    QString Connection() const { return m_connectionName; }
    virtual QString GetDatabaseName() const { return QString(); }
    virtual bool Backup(const QString &fileName);
    virtual bool Restore(const QString &fileName);

    // The ring: the next slot gets a new file; the slot's previous file goes only once the new
    // one exists. Does nothing unless AutoBackup is on and the folder exists or can be made.
    // Returns the file written, or empty text.
    QString RunAutoBackup();

    QString LastError() const { return m_lastError; }
    TBackupBook &Book() { return m_book; }
    // Tests pin the clock that names the backup files.
    void SetClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

protected:
    void setLastError(const QString &text) { m_lastError = text; }
    QString m_connectionName;

private:
    TBackupBook m_book;
    QString m_lastError;
    std::function<QDateTime()> m_clock;
};

// The local data file. Backups are consistent snapshots taken through the open connection
// (never a copy of a file that is open for writing); a restore is checked and staged beside the
// data file and replaces it at the next start.
class TAccessDatabase : public TDatabase
{
public:
    using Validator = std::function<bool(const QString &fileName, QString *error)>;

    explicit TAccessDatabase(const QString &appPath = QString(), const QString &exeBaseName = QString());

    void SetConnection(const QString &connectionName) override;
    QString GetDatabaseName() const override { return m_dataSource; }
    QString DataSource() const { return m_dataSource; }
    bool Backup(const QString &fileName) override;
    bool Restore(const QString &fileName) override;

    // Decides whether a file is a data file; the restore refuses anything else.
    void SetValidator(Validator validator) { m_validator = std::move(validator); }

    // Checks `source` and writes a clean copy of it beside `dataFile` as the staged restore.
    static bool StageRestore(const QString &source, const QString &dataFile, const Validator &validator,
                             QString *error);
    static QString StagedRestoreName(const QString &dataFile);
    static QString PreviousDataName(const QString &dataFile);
    // At start, before the data file is opened: a staged restore that passes the validator
    // replaces the data file; the replaced file is kept as PreviousDataName. Returns false with
    // a message when a staged file was there but could not be applied (the data file is then
    // untouched). *applied tells whether a restore took place.
    static bool ApplyStagedRestore(const QString &dataFile, const Validator &validator, bool *applied,
                                   QString *error);

private:
    QString m_dataSource;
    Validator m_validator;
};

// The file behind the main database of an open connection (whatever form its name was given in).
QString DatabaseFilePath(const QString &connectionName);

// Writes a consistent snapshot of the database on `connectionName` to `fileName`, through a
// temporary file in the same folder that is renamed over the target only when complete.
bool SnapshotDatabase(const QString &connectionName, const QString &fileName, QString *error);

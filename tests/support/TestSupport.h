#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class TShareDM;

namespace TestSupport {

// A throw-away program folder: the place of the data file, Setting.ini and the backups.
class TProgramFolder
{
public:
    TProgramFolder();
    bool isValid() const { return m_dir.isValid(); }
    // With a trailing '/'.
    QString path() const;
    QString filePath(const QString &name) const;
    QString dataFile() const { return filePath(QStringLiteral("QYBook.qy")); }
    // Creates a fresh data file (init) in the folder; false with the reason in *error.
    bool createDataFile(QString *error = nullptr) const;

private:
    QTemporaryDir m_dir;
};

// Forgets every setting the program may have written under the test's own config folder.
void ResetSettings();

// Runs qybook-admin (the binary CTest points QY_ADMIN at) and waits for it.
struct AdminResult
{
    int exitCode = -1;
    QString out;
    QString err;
};
AdminResult RunAdmin(const QStringList &arguments, const QByteArray &input = QByteArray());

// A small set of rows for the tests: books, vouchers of both kinds on a few days, a receivable
// and a payable with settlements. Returns false with the failing statement in *error.
bool AddFixture(TShareDM &dm, QString *error = nullptr);

// Makes `user` the logged-in user of the data module (as a successful login does).
bool LogIn(TShareDM &dm, const QString &user);

// A fresh data file in `folder` with the fixture rows, opened by a new data module (exclusive:
// the way the program itself holds it). Null with the reason in *error.
std::unique_ptr<TShareDM> OpenFixture(const TProgramFolder &folder, bool exclusive = false, QString *error = nullptr);

} // namespace TestSupport

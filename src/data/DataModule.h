#pragma once

#include "LoginUser.h"
#include "RecordSet.h"
#include "Settings.h"
#include "SqlText.h"

#include <QDate>
#include <QObject>
#include <QSqlDatabase>
#include <QStringList>
#include <QUrl>
#include <QVariant>

#include <functional>

#include <memory>
#include <optional>

class QComboBox;
class QLineEdit;
class QLockFile;
class QWidget;
class TAccessDatabase;
class TReportGrid;

// Message box kinds, buttons and results as the screens use them.
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation };
enum TMsgDlgButton { mbYes = 0x1, mbNo = 0x2, mbOK = 0x4, mbCancel = 0x8 };
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<file>;Jet OLEDB:Database Password=<password>"
QString BuildJetConnectionString(const QString &fileName, const QString &password);
// The value of one key of such a string ("Data Source"), compared without case; empty if absent.
QString ConnectionStringValue(const QString &connectionString, const QString &key);

// One column value of a row written by TShareDM::PostRow.
struct TFieldValue
{
    QString name;
    QVariant value;
};

// The shared data module: the one connection, its scratch queries, the settings store, the
// run-time flags, the logged-in user and the operations every screen and the admin tool share.
class TShareDM : public QObject
{
    Q_OBJECT
public:
    // appPath is the program folder (default: the executable's folder).
    explicit TShareDM(const QString &appPath = QString(), QObject *parent = nullptr);
    // Runs the automatic backup when a user logged in, the connection is open and no
    // statement failed; always frees the maintenance object and closes the connection.
    ~TShareDM() override;

    // --- connection ---------------------------------------------------------------------
    enum class OpenError { None, Missing, Locked, NotDataFile, Damaged, Other };
    // Opens the data file named by a connection string. The file is never created. With
    // `exclusive` the file is also locked against a second program (and against a restore
    // by the admin tool) until the connection closes.
    bool OpenConnection(const QString &connectionString, bool exclusive = false, QString *error = nullptr,
                        OpenError *code = nullptr);
    bool OpenDataFile(const QString &fileName, bool exclusive = false, QString *error = nullptr,
                      OpenError *code = nullptr);
    void CloseConnection();
    bool IsConnected() const;
    QString ConnectionName() const { return m_connectionName; }
    QSqlDatabase Database() const;
    QString DataFileName() const { return m_dataFile; }

    QString GetAppPath() const { return m_appPath; }
    // The data file of the program folder.
    QString DefaultDataFile() const { return m_appPath + QStringLiteral("QYBook.qy"); }
    static QString DatabasePassword() { return QStringLiteral("Pelmarosti"); }
    // No drive letters here: the user's home folder, ending with '/'.
    static QString LastFixedDrive();

    // --- run-time flags -----------------------------------------------------------------
    QDate WorkDate() const { return m_workDate; }
    void SetWorkDate(const QDate &date) { m_workDate = date; }
    bool QueryFailed() const { return m_queryFailed; }
    void SetQueryFailed(bool value) { m_queryFailed = m_queryFailed || value; }
    bool LoggedIn() const { return m_loggedIn; }
    void SetLoggedIn(bool value) { m_loggedIn = value; }
    TLoginUser &LoginUser() { return m_loginUser; }
    const TLoginUser &LoginUser() const { return m_loginUser; }

    // --- maintenance ----------------------------------------------------------------------
    void CreateMaintenance();
    TAccessDatabase *Maintenance() const { return m_maintenance.get(); }
    // The file name proposed by "备份数据": 青柚流水帐备份yyyy-MM-dd
    static QString ProposedBackupName(const QDate &today);
    // "delete from Book": every book with its vouchers; users and input lists stay.
    int ClearData() { return ExecSQL(QStringLiteral("delete from Book")); }

    // --- settings store -------------------------------------------------------------------
    bool ReadBoolSetting(const QString &name, bool defaultValue) const;
    QString ReadStringSetting(const QString &name, const QString &defaultValue) const;
    bool WriteBoolSetting(const QString &name, bool value);
    bool WriteStringSetting(const QString &name, const QString &value);
    TSettingsStore &Settings() { return m_settings; }

    // --- statements -----------------------------------------------------------------------
    // Runs a statement into a query component. A failure is swallowed: the query stays
    // closed, QueryFailed is set for the rest of the run and LastSqlError tells why.
    void OpenQuery(TQuery &query, const QString &sql);
    // Runs a statement that returns no rows; the rows it changed, 0 on failure (QueryFailed set).
    int ExecSQL(const QString &sql);
    // The same without swallowing: for the admin tool and callers that report errors.
    bool RunQuery(const QString &sql, TRecordSet *rows, QString *error);
    bool RunCommand(const QString &sql, int *rowsAffected, QString *error);
    QString LastSqlError() const { return m_lastSqlError; }
    // Records a statement failure the way OpenQuery does (for operations built on RunQuery).
    void NoteFailedStatement(const QString &error, const QString &sql);

    // Inserts (keyValue 0) or updates the row `keyValue` of `table` with bound values.
    // Returns the row's key, or -1 with *error set.
    qint64 PostRow(const QString &table, const QString &keyField, qint64 keyValue,
                   const QList<TFieldValue> &values, QString *error = nullptr);

    // The general scratch queries of the screens; their results last until the next use.
    TQuery ADOQueryTemp;
    TQuery ADOQueryTemp2;

    // --- lists, checks and serials ----------------------------------------------------------
    // Appends Prefill's items (split at ',', ';' and '|'), then the Field values of the rows of
    // `sql` that are not empty and not yet present (compared without case).
    void LoadDistinctValues(QStringList &strings, const QString &sql, bool clear, const QString &prefill,
                            const QString &field);
    // The statement behind FillDistinctList: distinct values of Field, ordered.
    static QString DistinctListSql(const QString &table, const QString &field, const QString &condition);
    // The values FillDistinctList puts into a list control.
    QStringList DistinctValues(const QString &table, const QString &field, const QString &condition,
                               const QString &prefill);
    // The values of one input list ("收支种类", "业务员", "支付方式").
    QStringList ParameterValues(const QString &parameterName, const QString &prefill);
    static QString ParameterCondition(const QString &parameterName);

    // The query of CheckUnique: true when `text` is already used in Field by a row other than
    // the one being edited (keyValue; 0 for a new row). An unchanged value of the edited row
    // is never reported.
    bool ValueTaken(const QString &table, const QString &field, const QString &text, qint64 keyValue);
    // The auto-number key column of a table.
    QString KeyField(const QString &table) const;

    // Prefix + date as yyyyMMdd + counter: the day's greatest serial stepped once, or the
    // counter 1 with `digits` digits when the day has none.
    QString NextSerial(const QString &table, const QString &field, const QDate &date, const QString &prefix,
                       int digits);

    // Condition fragments (one implementation in SqlText; here for the screens' convenience).
    static QString InStrCondition(const QString &field, const QString &value, const QString &prefix)
    {
        return SqlText::InStrCondition(field, value, prefix);
    }
    static QString BetweenDatesCondition(const QString &field, const QString &fromText, const QString &toText,
                                         const QString &prefix)
    {
        return SqlText::BetweenDatesCondition(field, fromText, toText, prefix);
    }
    static QString UpToDateCondition(const QString &field, const QString &dateText, const QString &prefix)
    {
        return SqlText::UpToDateCondition(field, dateText, prefix);
    }
    static QString OnDateCondition(const QString &field, const QString &dateText, const QString &prefix)
    {
        return SqlText::OnDateCondition(field, dateText, prefix);
    }

    // Stores a user's password enciphered (empty text: no password). False when the user does
    // not exist or the write failed.
    bool SetUserKey(const QString &userName, const QString &password, QString *error = nullptr);

    // --- widget-facing operations (defined with the forms, in the GUI library) ---------------
    // A modal message box with Chinese captions; returns the TModalResult of the pressed button
    // (closing it counts as Cancel). Tests answer it through SetNextMessageBoxAnswer.
    int ShowMessageBox(const QString &msg, TMsgDlgType type, int buttons, int helpCtx = 0);
    // Fills a combo box or list widget with the distinct values of a column (prefill first);
    // the first item is selected when there is one.
    void FillDistinctList(QWidget *control, const QString &table, const QString &field, const QString &condition,
                          const QString &prefill, bool clear);
    void FillParameterList(QComboBox *combo, const QString &parameterName, const QString &prefill);
    // The input checks: false (the command ends) after a balloon at the control, which gets the
    // focus with its text selected.
    bool CheckUnique(QLineEdit *edit, const QString &table, const QString &field, const QString &message,
                     qint64 keyValue);
    bool RequireText(QWidget *control, const QString &message, int icon = 1, const QString &title = QString());
    // Resets an editor: date pickers to today, pick-only lists to their first item, editable
    // lists and edits emptied.
    void ClearInputs(QWidget *form);
    static void SetControlsEnabled(const QList<QWidget *> &controls, bool value);
    static void SetControlsHint(const QList<QWidget *> &controls, const QString &hint);
    // The voucher rights: false after telling the user he lacks the right.
    bool CheckCreateRight();
    bool CheckModifyRight();
    bool CheckDeleteRight();
    // The balloon tip at a control; an empty title with an icon becomes "青柚流水帐".
    void ShowBalloon(QWidget *control, const QString &text, int icon, const QString &title);
    QObject *Balloon() const { return m_balloon.get(); }
    // "备份数据" and "恢复数据": ask for a file, do it, report. RestoreData returns true when the
    // user wants to restart now.
    void BackupDataAs();
    bool RestoreData();
    // The report grids' shared operations: the title-click sort (ascending, descending,
    // unsorted, on the rows already fetched) and a column bound to a field of the grid's
    // query (nothing when the query lacks the field). The striped rows are the grid's own
    // drawing (StripedRowColor).
    void SortByTitle(TReportGrid *grid, int column);
    bool AddGridColumn(TReportGrid *grid, const QString &fieldName, const QString &caption, int width, bool visible,
                       int footerValueType, const QString &displayFormat);

    // "导出Excel": the grid's visible data columns, under their on-screen titles, in the order
    // the statement returned the rows, written to a workbook that opens in the desktop's
    // spreadsheet program. Nothing for a closed or empty grid or fewer than two columns.
    // Returns the file written (empty when nothing was exported).
    QString ExportGrid(TReportGrid *grid);
    // The folder exported workbooks go to.
    static QString ExportFolder();

    // File and folder pickers (tests answer them through SetNextFileName; empty text = cancelled).
    QString GetSaveFileName(const QString &title, const QString &proposedName, const QString &filter,
                            const QString &defaultSuffix);
    QString GetOpenFileName(const QString &title, const QString &filter);
    QString GetExistingDirectory(const QString &title, const QString &start);

    // Opens a web page or a help page in the desktop's program for it (tests replace the opener).
    bool OpenUrl(const QUrl &url);
    std::function<bool(const QUrl &)> UrlOpener;
    QList<QUrl> OpenedUrls() const { return m_openedUrls; }

    // Hooks for tests: the next message boxes and pickers are answered without being shown.
    void SetNextMessageBoxAnswer(int result) { m_nextAnswers.append(result); }
    void SetNextFileName(const QString &fileName) { m_nextFileNames.append(fileName); }
    QStringList MessageLog() const { return m_messageLog; }
    void ClearMessageLog() { m_messageLog.clear(); }
    // The filter of the backup and restore file dialogs.
    static QString FileFilter() { return QStringLiteral("QYBook Database Files(*.qy)"); }

    // --- password cipher ------------------------------------------------------------------
    static QString EncryptText(const QString &text);
    static std::optional<QString> DecryptText(const QString &stored, QString *error = nullptr);

private:
    bool fail(OpenError code, const QString &text, QString *error, OpenError *codeOut);

    QString m_appPath;
    QString m_connectionName;
    QString m_dataFile;
    QDate m_workDate;
    bool m_queryFailed = false;
    bool m_loggedIn = false;
    QString m_lastSqlError;
    TLoginUser m_loginUser;
    TSettingsStore m_settings;
    std::unique_ptr<TAccessDatabase> m_maintenance;
    std::unique_ptr<QLockFile> m_lock;
    // The module's own scratch query for lists, checks and serials.
    TQuery m_scratch;
    // The balloon tip, made by the GUI side on first use.
    std::unique_ptr<QObject> m_balloon;
    QList<int> m_nextAnswers;
    QStringList m_nextFileNames;
    QStringList m_messageLog;
    QList<QUrl> m_openedUrls;
};

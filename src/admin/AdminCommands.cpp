#include "AdminCommands.h"

#include "CnCalendar.h"
#include "DataModule.h"
#include "DemoData.h"
#include "MoneyReport.h"
#include "ReportStatements.h"
#include "Schema.h"
#include "SqliteFunctions.h"
#include "xUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <functional>

#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace AdminCommands {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qybook-admin", text);
}

// Splits "--name value" options (and bare "--flag" switches) from positional arguments.
struct Args
{
    QStringList positional;
    QMap<QString, QString> options;
    QStringList flags;
    QString error;

    Args(const QStringList &arguments, const QStringList &valueOptions, const QStringList &flagOptions)
    {
        for (qsizetype i = 0; i < arguments.size(); ++i) {
            const QString &a = arguments.at(i);
            if (a.startsWith(u"--"_s)) {
                const QString name = a.mid(2);
                if (valueOptions.contains(name)) {
                    if (i + 1 >= arguments.size()) {
                        error = tr("选项 %1 缺少取值").arg(a);
                        return;
                    }
                    options.insert(name, arguments.at(++i));
                } else if (flagOptions.contains(name)) {
                    flags << name;
                } else {
                    error = tr("未知选项 %1").arg(a);
                    return;
                }
            } else {
                positional << a;
            }
        }
    }
};

int usageError(Io &io, const QString &message)
{
    io.err << u"qybook-admin: "_s << message << u'\n' << Usage();
    return 2;
}

int failure(Io &io, const QString &message)
{
    io.err << u"qybook-admin: "_s << message << u'\n';
    return 1;
}

// Opens a data file for a command; the message says what is wrong with it.
bool openData(TShareDM &dm, const QString &file, Io &io)
{
    QString error;
    if (!dm.OpenDataFile(file, false, &error)) {
        io.err << u"qybook-admin: "_s << error << u'\n';
        return false;
    }
    return true;
}

int cmdInit(const QStringList &arguments, Io &io)
{
    const Args args(arguments, {}, {});
    if (!args.error.isEmpty() || args.positional.size() != 1)
        return usageError(io, args.error.isEmpty() ? tr("用法：init FILE") : args.error);
    QString error;
    if (!Schema::CreateDataFile(args.positional.at(0), &error))
        return failure(io, error);
    io.out << tr("已创建数据文件：%1").arg(QFileInfo(args.positional.at(0)).absoluteFilePath()) << u'\n';
    return 0;
}

int cmdCheck(const QStringList &arguments, Io &io)
{
    const Args args(arguments, {}, {});
    if (!args.error.isEmpty() || args.positional.size() != 1)
        return usageError(io, args.error.isEmpty() ? tr("用法：check FILE") : args.error);
    const QString file = args.positional.at(0);
    if (!QFileInfo(file).isFile())
        return failure(io, tr("数据文件不存在：%1").arg(file));

    QStringList problems;
    QStringList counts;
    const QString name = u"qy-admin-check"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(file);
        db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        if (!db.open()) {
            problems << db.lastError().text();
        } else {
            QSqlQuery q(db);
            q.exec(u"PRAGMA foreign_keys = ON"_s);
            problems = Schema::Verify(db, true);
            if (problems.isEmpty()) {
                for (const Schema::Table &t : Schema::Tables()) {
                    if (q.exec(u"SELECT count(*) FROM "_s + t.name) && q.next())
                        counts << t.name + u' ' + q.value(0).toString();
                }
            }
            q.finish();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!problems.isEmpty()) {
        io.err << tr("数据文件有问题：%1").arg(file) << u'\n';
        for (const QString &p : problems)
            io.err << u"  - "_s << p << u'\n';
        return 1;
    }
    io.out << tr("数据文件正常：%1").arg(file) << u'\n';
    for (const QString &c : counts)
        io.out << u"  "_s << c << u'\n';
    return 0;
}

// Reads one line from the terminal without echo (or plainly when input is not a terminal).
QString readSecret(Io &io, const QString &prompt, bool interactive)
{
    if (!interactive)
        return io.in.readLine();
    io.err << prompt;
    io.err.flush();
    termios old{};
    const bool tty = ::tcgetattr(STDIN_FILENO, &old) == 0;
    if (tty) {
        termios quiet = old;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    const QString line = io.in.readLine();
    if (tty)
        ::tcsetattr(STDIN_FILENO, TCSANOW, &old);
    io.err << u'\n';
    return line;
}

int cmdPasswd(const QStringList &arguments, Io &io)
{
    const Args args(arguments, {}, {u"password-stdin"_s});
    if (!args.error.isEmpty() || args.positional.size() != 2)
        return usageError(io, args.error.isEmpty() ? tr("用法：passwd FILE USER [--password-stdin]") : args.error);
    const QString file = args.positional.at(0);
    const QString user = args.positional.at(1);
    TShareDM dm;
    if (!openData(dm, file, io))
        return 1;
    TRecordSet rows;
    QString error;
    if (!dm.RunQuery(u"select UserName from LoginUser where UserName="_s + SqlText::QuotedStr(user), &rows, &error))
        return failure(io, error);
    if (rows.recordCount() == 0)
        return failure(io, tr("没有这个用户：%1").arg(user));

    const bool fromStdin = args.flags.contains(u"password-stdin"_s);
    const bool interactive = !fromStdin && ::isatty(STDIN_FILENO);
    const QString password = readSecret(io, tr("新密码（留空表示不设密码）："), interactive);
    if (interactive) {
        const QString again = readSecret(io, tr("再输入一次："), true);
        if (again != password)
            return failure(io, tr("两次输入的密码不一致，密码没有修改。"));
    }
    // The stored form loses leading and trailing blanks, so such a password could never be typed.
    if (password != password.trimmed())
        return failure(io, tr("密码的开头和结尾不能是空格，密码没有修改。"));
    if (!dm.SetUserKey(rows.value(0, 0).toString(), password, &error))
        return failure(io, error);
    io.out << (password.isEmpty() ? tr("用户【%1】的密码已清除。").arg(user) : tr("用户【%1】的密码已修改。").arg(user))
           << u'\n';
    return 0;
}

int cmdBackup(const QStringList &arguments, Io &io)
{
    const Args args(arguments, {}, {});
    if (!args.error.isEmpty() || args.positional.size() != 2)
        return usageError(io, args.error.isEmpty() ? tr("用法：backup FILE DEST") : args.error);
    QString dest = args.positional.at(1);
    // A folder gets the name the program proposes.
    if (QFileInfo(dest).isDir())
        dest = QDir(dest).filePath(TShareDM::ProposedBackupName(QDate::currentDate()) + u".qy"_s);
    TShareDM dm;
    if (!openData(dm, args.positional.at(0), io))
        return 1;
    dm.CreateMaintenance();
    if (!dm.Maintenance()->Backup(dest))
        return failure(io, dm.Maintenance()->LastError());
    io.out << tr("数据备份成功：%1").arg(QFileInfo(dest).absoluteFilePath()) << u'\n';
    return 0;
}

int cmdRestore(const QStringList &arguments, Io &io)
{
    const Args args(arguments, {}, {});
    if (!args.error.isEmpty() || args.positional.size() != 2)
        return usageError(io, args.error.isEmpty() ? tr("用法：restore SOURCE FILE") : args.error);
    const QString source = args.positional.at(0);
    const QString file = QFileInfo(args.positional.at(1)).absoluteFilePath();
    if (!QFileInfo(file).absoluteDir().exists())
        return failure(io, tr("文件夹不存在：%1").arg(QFileInfo(file).absolutePath()));
    QString error;
    if (QFileInfo::exists(file) && !Schema::IsDataFile(file, &error))
        return failure(io, tr("目标不是数据文件，不会覆盖它。%1").arg(error));

    // The program holds this lock while it has the file open.
    QLockFile lock(file + u".lock"_s);
    if (!lock.tryLock(0))
        return failure(io, tr("数据文件正在被青柚流水帐使用，请先退出程序：%1").arg(file));
    if (!TAccessDatabase::StageRestore(source, file, &Schema::IsDataFile, &error))
        return failure(io, error);
    const bool hadData = QFileInfo::exists(file);
    bool applied = false;
    if (!TAccessDatabase::ApplyStagedRestore(file, &Schema::IsDataFile, &applied, &error))
        return failure(io, error);
    io.out << tr("数据恢复成功：%1").arg(file) << u'\n';
    if (hadData)
        io.out << tr("原来的数据保存在：%1").arg(TAccessDatabase::PreviousDataName(file)) << u'\n';
    return 0;
}

int cmdDemo(const QStringList &arguments, Io &io)
{
    const Args args(arguments, {u"vouchers"_s, u"seed"_s, u"end"_s, u"getpays"_s}, {});
    if (!args.error.isEmpty() || args.positional.size() != 1)
        return usageError(io, args.error.isEmpty()
                                  ? tr("用法：demo FILE --vouchers N [--seed S] [--end yyyy-MM-dd] [--getpays M]")
                                  : args.error);
    TDemoOptions options;
    bool ok = true;
    if (args.options.contains(u"vouchers"_s))
        options.vouchers = args.options.value(u"vouchers"_s).toInt(&ok);
    if (!ok || options.vouchers < 0 || options.vouchers > 10'000'000)
        return usageError(io, tr("--vouchers 需要 0 到 10000000 之间的整数"));
    if (args.options.contains(u"seed"_s))
        options.seed = args.options.value(u"seed"_s).toUInt(&ok);
    if (!ok)
        return usageError(io, tr("--seed 需要一个非负整数"));
    if (args.options.contains(u"getpays"_s)) {
        options.getPays = args.options.value(u"getpays"_s).toInt(&ok);
        if (!ok || options.getPays < 0 || options.getPays > 1'000'000)
            return usageError(io, tr("--getpays 需要 0 到 1000000 之间的整数"));
    }
    if (args.options.contains(u"end"_s)) {
        options.end = SqlText::ParseDate(args.options.value(u"end"_s));
        if (!options.end.isValid())
            return usageError(io, tr("--end 需要 yyyy-MM-dd 格式的日期"));
    }
    QElapsedTimer timer;
    timer.start();
    TDemoStats stats;
    QString error;
    if (!CreateDemoFile(args.positional.at(0), options, &stats, &error))
        return failure(io, error);
    io.out << tr("已生成演示数据：%1").arg(QFileInfo(args.positional.at(0)).absoluteFilePath()) << u'\n'
           << tr("  账簿 %1 个，收支单据 %2 张（其中结算 %3 张），待收待付 %4 张，用户 %5 个，用时 %6 秒")
                  .arg(stats.books)
                  .arg(stats.vouchers)
                  .arg(stats.settlements)
                  .arg(stats.getPays)
                  .arg(stats.users)
                  .arg(double(timer.elapsed()) / 1000.0, 0, 'f', 1)
           << u'\n';
    return 0;
}

int cmdSql(const QStringList &arguments, Io &io)
{
    const Args args(arguments, {}, {});
    if (!args.error.isEmpty() || args.positional.size() != 2)
        return usageError(io, args.error.isEmpty() ? tr("用法：sql FILE \"STATEMENT\"") : args.error);
    TShareDM dm;
    if (!openData(dm, args.positional.at(0), io))
        return 1;
    const QString statement = args.positional.at(1);
    const QString head = statement.trimmed().section(u' ', 0, 0).toLower();
    QString error;
    if (head == u"select"_s || head == u"pragma"_s || head == u"with"_s) {
        TRecordSet rows;
        if (!dm.RunQuery(statement, &rows, &error))
            return failure(io, error);
        io.out << ToTsv(rows);
        return 0;
    }
    int affected = 0;
    if (!dm.RunCommand(statement, &affected, &error))
        return failure(io, error);
    io.err << tr("已影响 %1 行").arg(affected) << u'\n';
    return 0;
}

int cmdCalendar(const QStringList &arguments, Io &io)
{
    const Args args(arguments, {}, {});
    if (!args.error.isEmpty() || args.positional.size() != 2)
        return usageError(io, args.error.isEmpty() ? tr("用法：calendar FROM TO（日期格式 yyyy-MM-dd）") : args.error);
    const QDate from = SqlText::ParseDate(args.positional.at(0));
    const QDate to = SqlText::ParseDate(args.positional.at(1));
    if (!from.isValid() || !to.isValid())
        return usageError(io, tr("日期须为 yyyy-MM-dd 格式"));
    if (from > to)
        return usageError(io, tr("开始日期晚于结束日期"));
    if (from < CnCalendar::FirstSupportedDate() || to > CnCalendar::LastSupportedDate())
        return failure(io, tr("农历只支持 %1 到 %2")
                               .arg(SqlText::DateText(CnCalendar::FirstSupportedDate()),
                                    SqlText::DateText(CnCalendar::LastSupportedDate())));
    for (QDate d = from; d <= to; d = d.addDays(1))
        io.out << CnCalendar::CalendarLine(d) << u'\n';
    return 0;
}

// Times one way of getting rows, best of `runs`.
struct Timing
{
    double best = 0;
    int rows = 0;
    QString error;
};

// One way of getting rows; reports how many it got.
using RowSource = std::function<bool(int *rows, QString *error)>;

Timing timeRows(const RowSource &source, int runs)
{
    Timing t;
    t.best = 1e9;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!source(&t.rows, &t.error))
            return t;
        t.best = std::min(t.best, double(timer.nsecsElapsed()) / 1e6);
    }
    return t;
}

int cmdBench(const QStringList &arguments, Io &io)
{
    const Args args(arguments, {u"date"_s, u"runs"_s, u"sql"_s}, {});
    if (!args.error.isEmpty() || args.positional.size() != 1)
        return usageError(io, args.error.isEmpty() ? tr("用法：bench FILE [--date yyyy-MM-dd] [--runs N] [--sql STATEMENT]")
                                                   : args.error);
    TShareDM dm;
    QElapsedTimer openTimer;
    openTimer.start();
    if (!openData(dm, args.positional.at(0), io))
        return 1;
    const double openMs = double(openTimer.nsecsElapsed()) / 1e6;
    const int runs = std::max(1, args.options.value(u"runs"_s, u"3"_s).toInt());
    QDate day = SqlText::ParseDate(args.options.value(u"date"_s));
    if (!day.isValid()) {
        TRecordSet last;
        QString error;
        dm.RunQuery(u"select max(MoneyDate) from MoneyRecord"_s, &last, &error);
        day = SqlText::ParseDate(last.value(0, 0).toString());
        if (!day.isValid())
            day = QDate::currentDate();
    }
    const QString d = SqlText::DateText(day);
    const QString a = u" and "_s;
    const auto statements = [&dm](const QStringList &list) -> RowSource {
        return [&dm, list](int *count, QString *error) {
            *count = 0;
            for (const QString &sql : list) {
                TRecordSet rows;
                if (!dm.RunQuery(sql, &rows, error))
                    return false;
                *count += rows.recordCount();
            }
            return true;
        };
    };
    const auto statement = [&statements](const QString &sql) { return statements({sql}); };
    const auto moneyReport = [&dm](const QString &base, const QString &date) -> RowSource {
        return [&dm, base, date](int *count, QString *error) {
            TRecordSet rows;
            const bool ok = RunMoneyReport(dm, base, date, &rows, error);
            *count = rows.recordCount();
            return ok;
        };
    };
    struct Case
    {
        QString name;
        RowSource source;
        double budget;
    };
    QList<Case> cases = {
        {tr("收支单据报表，全部单据（含累计）"), moneyReport(QString(), QString()), 300},
        {tr("收支单据报表，一天的单据"), moneyReport(QString(), SqlText::OnDateCondition(u"MoneyDate"_s, d, a)), 50},
        {tr("收支单据报表，一天，无审查权的用户"),
         moneyReport(u" and MoneyAdmin='出纳'"_s, SqlText::OnDateCondition(u"MoneyDate"_s, d, a)), 50},
        {tr("账簿总览"),
         statement(ReportStatements::BookBalances(QString(), SqlText::UpToDateCondition(u"MoneyDate"_s, d, a),
                                                  SqlText::UpToDateCondition(u"GetPayDate"_s, d, a))),
         100},
        {tr("待收待付单据报表，全部"),
         statement(ReportStatements::GetPayReport(QString(), SqlText::UpToDateCondition(u"MoneyDate"_s, d, a))), 300},
    };
    // The three summary panels: five aggregates each for the day, the month and the quarter.
    cases.append({tr("三个财务状况面板（15 个汇总）"),
                  statements(ReportStatements::PeriodSummaryFor(0, day, QString(), QString())
                             + ReportStatements::PeriodSummaryFor(1, day, QString(), QString())
                             + ReportStatements::PeriodSummaryFor(2, day, QString(), QString())),
                  100});
    // One statement of the caller's instead of the standard set.
    if (args.options.contains(u"sql"_s))
        cases = {{tr("指定语句"), statement(args.options.value(u"sql"_s)), 0}};
    io.out << tr("数据文件：%1（打开并检查用时 %2 ms）").arg(dm.DataFileName()).arg(openMs, 0, 'f', 1) << u'\n'
           << tr("日期：%1，每项取 %2 次中最快的一次").arg(d).arg(runs) << u'\n';
    for (const Case &c : cases) {
        const Timing t = timeRows(c.source, runs);
        if (!t.error.isEmpty())
            return failure(io, c.name + u": "_s + t.error);
        const bool ok = c.budget <= 0 || t.best <= c.budget;
        io.out << QStringLiteral("%1\t%2 ms\t%3 行\t%4\t%5")
                      .arg(c.name)
                      .arg(t.best, 0, 'f', 1)
                      .arg(t.rows)
                      .arg(c.budget > 0 ? tr("预算 %1 ms").arg(c.budget, 0, 'f', 0) : QString())
                      .arg(c.budget > 0 ? (ok ? tr("达标") : tr("超出")) : QString())
               << u'\n';
    }
    return 0;
}

int cmdReport(const QStringList &arguments, Io &io)
{
    const Args args(arguments, {u"user"_s, u"base"_s, u"date"_s}, {});
    if (!args.error.isEmpty() || args.positional.size() != 2 || args.positional.at(0) != u"money"_s)
        return usageError(io, args.error.isEmpty()
                                  ? tr("用法：report money FILE [--user NAME] [--base FRAGMENT] [--date FRAGMENT]")
                                  : args.error);
    TShareDM dm;
    if (!openData(dm, args.positional.at(1), io))
        return 1;
    QString base = args.options.value(u"base"_s);
    QString error;
    if (args.options.contains(u"user"_s)) {
        const QString name = args.options.value(u"user"_s);
        TRecordSet users;
        if (!dm.RunQuery(u"select * from LoginUser where UserName="_s + SqlText::QuotedStr(name), &users, &error))
            return failure(io, error);
        if (users.recordCount() == 0)
            return failure(io, tr("没有这个用户：%1").arg(name));
        // His visibility: without the review right only the vouchers he entered.
        base += TLoginUser::FromRecord(users, 0).RestrictMoney();
    }
    TRecordSet rows;
    if (!RunMoneyReport(dm, base, args.options.value(u"date"_s), &rows, &error))
        return failure(io, error);
    io.out << ToTsv(rows, QStringList{u"MoneyIndex"_s} + ReportStatements::MoneyReportFields());
    return 0;
}

} // namespace

QString Usage()
{
    return tr("用法：qybook-admin 命令 参数…\n"
              "  init FILE                       新建一个空的数据文件\n"
              "  check FILE                      检查数据文件的结构和完整性\n"
              "  passwd FILE USER [--password-stdin]\n"
              "                                  设置用户的登录密码（留空表示不设密码）\n"
              "  backup FILE DEST                把数据备份到文件或文件夹 DEST\n"
              "  restore SOURCE FILE             用备份 SOURCE 替换数据文件 FILE（程序须已退出）\n"
              "  demo FILE --vouchers N [--seed S] [--end yyyy-MM-dd] [--getpays M]\n"
              "                                  生成演示数据文件\n"
              "  sql FILE \"STATEMENT\"            执行一条语句，结果以制表符分隔输出\n"
              "  report money FILE [--user NAME] [--base FRAGMENT] [--date FRAGMENT]\n"
              "                                  输出收支单据报表（含累计），以制表符分隔\n"
              "  bench FILE [--date yyyy-MM-dd] [--runs N] [--sql STATEMENT]\n"
              "                                  测量各报表的用时（对照性能预算）\n"
              "  calendar FROM TO                逐日列出农历日和干支年（日期格式 yyyy-MM-dd）\n");
}

int Run(const QStringList &arguments, Io io)
{
    if (arguments.isEmpty())
        return usageError(io, tr("缺少命令"));
    const QString command = arguments.first();
    const QStringList rest = arguments.mid(1);
    if (command == u"init"_s)
        return cmdInit(rest, io);
    if (command == u"check"_s)
        return cmdCheck(rest, io);
    if (command == u"passwd"_s)
        return cmdPasswd(rest, io);
    if (command == u"backup"_s)
        return cmdBackup(rest, io);
    if (command == u"restore"_s)
        return cmdRestore(rest, io);
    if (command == u"demo"_s)
        return cmdDemo(rest, io);
    if (command == u"sql"_s)
        return cmdSql(rest, io);
    if (command == u"report"_s)
        return cmdReport(rest, io);
    if (command == u"bench"_s)
        return cmdBench(rest, io);
    if (command == u"calendar"_s)
        return cmdCalendar(rest, io);
    if (command == u"help"_s || command == u"--help"_s || command == u"-h"_s) {
        io.out << Usage();
        return 0;
    }
    return usageError(io, tr("未知命令 %1").arg(command));
}

} // namespace AdminCommands

#include "DemoData.h"

#include "Schema.h"
#include "SqlText.h"
#include "SqliteFunctions.h"
#include "xUtils.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <random>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString kIncome = u"财务收入"_s;
const QString kExpense = u"财务支出"_s;
const QString kGet = u"待收记账"_s;
const QString kPay = u"待付记账"_s;

struct DemoUser
{
    QString name;
    bool check, create, modify, del, restore, setting;
    int weight; // share of the vouchers he enters
};

struct Voucher
{
    QDate date;
    bool income = true;
    QString book, user, reason, clerk, pay, remark, admin;
    double sum = 0;
    qint64 getPay = 0; // settled receivable/payable, 0 for none
};

class Generator
{
public:
    explicit Generator(quint32 seed) : m_rng(seed) {}

    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    double real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(m_rng); }
    bool chance(double p) { return real(0, 1) < p; }
    template<typename T>
    const T &pick(const QList<T> &list) { return list.at(uniform(0, int(list.size()) - 1)); }
    // Amounts spread over orders of magnitude, in whole cents.
    double amount(double lo, double hi)
    {
        const double v = std::exp(real(std::log(lo), std::log(hi)));
        return std::round(v * 100.0) / 100.0;
    }

private:
    std::mt19937 m_rng;
};

QStringList customerNames(Generator &g)
{
    const QStringList surnames = {u"王"_s, u"李"_s, u"张"_s, u"刘"_s, u"陈"_s, u"杨"_s, u"黄"_s, u"赵"_s,
                                  u"吴"_s, u"周"_s, u"徐"_s, u"孙"_s, u"马"_s, u"朱"_s, u"胡"_s, u"郭"_s,
                                  u"何"_s, u"林"_s, u"罗"_s, u"高"_s, u"郑"_s, u"梁"_s, u"谢"_s, u"宋"_s};
    const QStringList given = {u"伟"_s,   u"芳"_s,   u"娜"_s,   u"秀英"_s, u"敏"_s,   u"静"_s,   u"丽"_s,
                               u"强"_s,   u"磊"_s,   u"军"_s,   u"洋"_s,   u"勇"_s,   u"艳"_s,   u"杰"_s,
                               u"娟"_s,   u"涛"_s,   u"明"_s,   u"超"_s,   u"秀兰"_s, u"霞"_s,   u"平"_s,
                               u"刚"_s,   u"桂英"_s, u"建华"_s, u"志强"_s, u"海燕"_s, u"晓东"_s, u"国庆"_s};
    const QStringList places = {u"东方"_s, u"华兴"_s, u"鑫源"_s, u"宏达"_s, u"顺发"_s, u"金诚"_s,
                                u"永盛"_s, u"恒通"_s, u"佳美"_s, u"新世纪"_s, u"利民"_s, u"锦华"_s};
    const QStringList trades = {u"商贸有限公司"_s, u"五金店"_s,   u"超市"_s,   u"餐饮店"_s,  u"物流公司"_s,
                                u"建材经营部"_s,   u"服装店"_s,   u"文具店"_s, u"电器行"_s,  u"食品厂"_s};
    QStringList names;
    while (names.size() < 240) {
        const QString n = g.pick(surnames) + g.pick(given);
        if (!names.contains(n))
            names << n;
    }
    while (names.size() < 320) {
        const QString n = g.pick(places) + g.pick(trades);
        if (!names.contains(n))
            names << n;
    }
    names << u"老王's店"_s << u"O'Brien Trading"_s << u"Zs Trade"_s;
    return names;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("DemoData", text);
}

} // namespace

bool CreateDemoFile(const QString &fileName, const TDemoOptions &options, TDemoStats *stats, QString *error)
{
    if (options.vouchers < 0 || options.years < 1 || !options.end.isValid()) {
        if (error)
            *error = tr("演示数据的参数无效。");
        return false;
    }
    if (!Schema::CreateDataFile(fileName, error))
        return false;

    Generator g(options.seed);
    const QDate first = options.end.addYears(-options.years).addDays(1);
    const int days = int(first.daysTo(options.end)) + 1;

    const QList<DemoUser> users = {
        {u"管理员"_s, true, true, true, true, true, true, 5},
        {u"出纳"_s, false, true, true, false, false, false, 3},
        {u"记账员"_s, false, true, false, false, false, false, 2},
    };
    struct BookDef
    {
        QString name, kind, admin;
        double weight;
    };
    const QList<BookDef> books = {
        {u"日常账簿"_s, u"现金"_s, u"管理员"_s, 8},    {u"现金账"_s, u"现金"_s, u"出纳"_s, 10},
        {u"工商银行"_s, u"银行"_s, u"管理员"_s, 8},    {u"建设银行"_s, u"银行"_s, u"管理员"_s, 6},
        {u"农业银行"_s, u"银行"_s, u"出纳"_s, 4},      {u"招商银行"_s, u"银行"_s, u"管理员"_s, 5},
        {u"微信零钱"_s, u"电子钱包"_s, u"出纳"_s, 7},  {u"支付宝"_s, u"电子钱包"_s, u"出纳"_s, 7},
        {u"一号门店"_s, u"门店"_s, u"记账员"_s, 6},    {u"二号门店"_s, u"门店"_s, u"记账员"_s, 5},
        {u"网店"_s, u"门店"_s, u"管理员"_s, 5},        {u"批发部"_s, u"门店"_s, u"管理员"_s, 4},
        {u"仓库"_s, u"其他"_s, u"管理员"_s, 2},        {u"家庭开支"_s, u"家庭"_s, u"管理员"_s, 4},
        {u"装修工程"_s, u"项目"_s, u"管理员"_s, 1},    {u"车辆费用"_s, u"其他"_s, u"出纳"_s, 2},
        {u"员工备用金"_s, u"现金"_s, u"出纳"_s, 2},    {u"老王's店"_s, u"门店"_s, u"记账员"_s, 2},
        {u"项目甲"_s, u"项目"_s, u"管理员"_s, 1},      {u"项目乙"_s, u"项目"_s, u"管理员"_s, 1},
    };
    const QStringList incomeReasons = {u"销售收入"_s, u"服务收入"_s, u"其他收入"_s, u"利息收入"_s, u"租金收入"_s};
    const QStringList expenseReasons = {u"进货支出"_s, u"房租"_s,   u"水电费"_s,   u"工资"_s,
                                        u"办公用品"_s, u"交通费"_s, u"餐饮费"_s,   u"其他支出"_s,
                                        u"维修费"_s,   u"通讯费"_s, u"广告费"_s};
    const QStringList clerks = {u"本人"_s, u"张伟"_s, u"王芳"_s, u"李娜"_s, u"刘洋"_s, u"陈静"_s};
    const QStringList pays = Schema::StarterPayMethods();
    const QStringList remarks = {QString(), QString(), QString(), QString(), u"月结"_s, u"含税"_s,
                                 u"发票已开"_s, u"现金支付"_s, u"饭10 车5.5"_s, u"急件"_s, u"已对账"_s};
    const QStringList customers = customerNames(g);

    std::vector<double> bookWeights;
    for (const BookDef &b : books)
        bookWeights.push_back(b.weight);
    std::discrete_distribution<int> bookDist(bookWeights.begin(), bookWeights.end());
    std::vector<int> userWeights;
    for (const DemoUser &u : users)
        userWeights.push_back(u.weight);
    std::discrete_distribution<int> userDist(userWeights.begin(), userWeights.end());
    std::mt19937 pickRng(options.seed ^ 0x9E3779B9u);

    // Receivables and payables first; their settlements count among the vouchers.
    const int getPayCount = options.getPays >= 0 ? options.getPays : options.vouchers / 10;
    struct GetPay
    {
        QDate date;
        bool receivable;
        QString book, user, reason, clerk, remark, admin;
        double sum;
    };
    std::vector<GetPay> getPays;
    getPays.reserve(std::size_t(getPayCount));
    for (int i = 0; i < getPayCount; ++i) {
        GetPay gp;
        gp.date = first.addDays(g.uniform(0, days - 1));
        gp.receivable = g.chance(0.55);
        gp.book = books.at(bookDist(pickRng)).name;
        gp.user = g.pick(customers);
        gp.reason = gp.receivable ? g.pick(incomeReasons) : g.pick(expenseReasons);
        gp.clerk = g.pick(clerks);
        gp.remark = g.pick(remarks);
        gp.admin = users.at(userDist(pickRng)).name;
        gp.sum = g.amount(100, 50000);
        getPays.push_back(gp);
    }
    std::stable_sort(getPays.begin(), getPays.end(), [](const GetPay &a, const GetPay &b) { return a.date < b.date; });

    std::vector<Voucher> vouchers;
    vouchers.reserve(std::size_t(options.vouchers));
    for (std::size_t i = 0; i < getPays.size() && int(vouchers.size()) < options.vouchers; ++i) {
        const GetPay &gp = getPays[i];
        // Most are partly or wholly settled, some not at all.
        const int parts = g.uniform(0, 3);
        double left = gp.sum;
        QDate when = gp.date;
        for (int p = 0; p < parts && left > 0.0 && int(vouchers.size()) < options.vouchers; ++p) {
            when = when.addDays(g.uniform(1, 90));
            if (when > options.end)
                break;
            Voucher v;
            v.date = when;
            v.income = gp.receivable;
            v.book = gp.book;
            v.user = gp.user;
            v.reason = gp.reason;
            v.clerk = gp.clerk;
            v.pay = g.pick(pays);
            v.admin = g.chance(0.8) ? gp.admin : users.at(userDist(pickRng)).name;
            v.sum = (p == parts - 1 && g.chance(0.5)) ? left : std::round(left * g.real(0.2, 0.7) * 100.0) / 100.0;
            v.remark = u"结算"_s;
            v.getPay = qint64(i) + 1; // keys are assigned in insertion order
            left = std::round((left - v.sum) * 100.0) / 100.0;
            vouchers.push_back(v);
        }
    }
    const int settlements = int(vouchers.size());
    while (int(vouchers.size()) < options.vouchers) {
        Voucher v;
        v.date = first.addDays(g.uniform(0, days - 1));
        v.income = g.chance(0.48);
        v.book = books.at(bookDist(pickRng)).name;
        v.user = g.chance(0.85) ? g.pick(customers) : QString();
        v.reason = v.income ? g.pick(incomeReasons) : g.pick(expenseReasons);
        v.clerk = g.chance(0.9) ? g.pick(clerks) : QString();
        v.pay = g.pick(pays);
        v.remark = g.pick(remarks);
        v.admin = users.at(userDist(pickRng)).name;
        v.sum = v.income ? g.amount(10, 30000) : g.amount(5, 20000);
        vouchers.push_back(v);
    }
    // Entered day by day, so keys follow the dates as they do in real use.
    std::stable_sort(vouchers.begin(), vouchers.end(), [](const Voucher &a, const Voucher &b) { return a.date < b.date; });

    static std::atomic<int> counter{0};
    const QString connection = u"qy-demo-"_s + QString::number(++counter);
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, connection);
        db.setDatabaseName(fileName);
        if (!db.open()) {
            problem = db.lastError().text();
        } else {
            QSqlQuery q(db);
            const auto check = [&](bool ok) {
                if (!ok && problem.isEmpty())
                    problem = q.lastError().text();
                return problem.isEmpty();
            };
            // Text columns hold empty text, never null.
            const auto bindText = [&q](const QString &v) { q.addBindValue(v.isNull() ? QString(u""_s) : v); };
            check(q.exec(u"PRAGMA foreign_keys = ON"_s));
            check(q.exec(u"BEGIN"_s));
            check(q.exec(u"DELETE FROM Book"_s));
            check(q.exec(u"DELETE FROM LoginUser"_s));

            check(q.prepare(u"INSERT INTO LoginUser (UserName, UserKey, UserCheck, UserCreate, UserModify, UserDelete,"
                            " UserRestore, UserSetting) VALUES (?, '', ?, ?, ?, ?, ?, ?)"_s));
            for (const DemoUser &u : users) {
                q.addBindValue(u.name);
                q.addBindValue(u.check);
                q.addBindValue(u.create);
                q.addBindValue(u.modify);
                q.addBindValue(u.del);
                q.addBindValue(u.restore);
                q.addBindValue(u.setting);
                if (!check(q.exec()))
                    break;
            }
            check(q.prepare(u"INSERT INTO Parameter (ParameterName, ParameterValue) VALUES (?, ?)"_s));
            const auto addList = [&](const QString &list, const QStringList &values, const QStringList &existing) {
                for (const QString &v : values) {
                    if (existing.contains(v))
                        continue;
                    q.addBindValue(list);
                    q.addBindValue(v);
                    if (!check(q.exec()))
                        return;
                }
            };
            addList(u"收支种类"_s, incomeReasons + expenseReasons, Schema::StarterReasons());
            addList(u"业务员"_s, clerks, Schema::StarterClerks());

            check(q.prepare(u"INSERT INTO Book (BookName, BookKind, BookAdmin) VALUES (?, ?, ?)"_s));
            for (const BookDef &b : books) {
                q.addBindValue(b.name);
                q.addBindValue(b.kind);
                q.addBindValue(b.admin);
                if (!check(q.exec()))
                    break;
            }

            QHash<QString, QString> lastSerial; // stem -> greatest serial so far
            const auto nextSerial = [&](const QString &prefix, const QDate &date) {
                const QString stem = prefix + date.toString(u"yyyyMMdd"_s);
                QString &last = lastSerial[stem];
                last = last.isEmpty() ? stem + u"001"_s : IncrementSerial(last);
                return last;
            };

            check(q.prepare(u"INSERT INTO GetPayRecord (GetPayIndex, GetPaySerial, GetPayKind, GetPayDate, GetPayBook,"
                            " GetPayUser, GetPaySum, GetPayClerk, GetPayReason, GetPayRemark, GetPayAdmin)"
                            " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s));
            // Keys are given so that settlements made before their sort can point at them.
            std::vector<std::pair<QDate, qint64>> order;
            for (std::size_t i = 0; i < getPays.size() && problem.isEmpty(); ++i) {
                const GetPay &gp = getPays[i];
                q.addBindValue(qint64(i) + 1);
                q.addBindValue(nextSerial(gp.receivable ? u"DS"_s : u"DF"_s, gp.date));
                q.addBindValue(gp.receivable ? kGet : kPay);
                q.addBindValue(SqlText::DateText(gp.date));
                bindText(gp.book);
                bindText(gp.user);
                q.addBindValue(gp.sum);
                bindText(gp.clerk);
                bindText(gp.reason);
                bindText(gp.remark);
                bindText(gp.admin);
                check(q.exec());
            }

            check(q.prepare(u"INSERT INTO MoneyRecord (MoneySerial, MoneyKind, MoneyDate, MoneyBook, MoneyUser, MoneySum,"
                            " MoneyReason, MoneyClerk, MoneyPay, MoneyRemark, MoneyAdmin, MoneyGetPay)"
                            " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s));
            for (const Voucher &v : vouchers) {
                if (!problem.isEmpty())
                    break;
                q.addBindValue(nextSerial(u"SZ-"_s, v.date));
                q.addBindValue(v.income ? kIncome : kExpense);
                q.addBindValue(SqlText::DateText(v.date));
                bindText(v.book);
                bindText(v.user);
                q.addBindValue(v.sum);
                bindText(v.reason);
                bindText(v.clerk);
                bindText(v.pay);
                bindText(v.remark);
                bindText(v.admin);
                q.addBindValue(v.getPay > 0 ? QVariant(v.getPay) : QVariant(QMetaType(QMetaType::LongLong)));
                check(q.exec());
            }
            if (problem.isEmpty())
                check(q.exec(u"COMMIT"_s));
            else
                q.exec(u"ROLLBACK"_s);
            if (problem.isEmpty())
                check(q.exec(u"ANALYZE"_s));
            q.finish();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!problem.isEmpty()) {
        QFile::remove(fileName);
        QFile::remove(fileName + u"-journal"_s);
        if (error)
            *error = tr("无法生成演示数据：%1").arg(problem);
        return false;
    }
    if (stats) {
        stats->books = int(books.size());
        stats->vouchers = int(vouchers.size());
        stats->settlements = settlements;
        stats->getPays = int(getPays.size());
        stats->users = int(users.size());
    }
    return true;
}

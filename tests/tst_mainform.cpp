#include "BookHouseFrame.h"
#include "DataModule.h"
#include "FinanceStatFrame.h"
#include "GetPayReportFrame.h"
#include "LoginForm.h"
#include "MainForm.h"
#include "MoneyCustomStatFrame.h"
#include "MoneyEditorForm.h"
#include "MoneyReportFrame.h"
#include "MoneySearchForm.h"
#include "ReportGrid.h"
#include "SpTBXNumberEdit.h"
#include "Skins.h"
#include "SpTBXMonthDate.h"
#include "TestSupport.h"
#include "TestSupportGui.h"
#include "UserGuideFrame.h"
#include "xUtils.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTest>

using namespace Qt::StringLiterals;

class TestMainForm : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void missingDataFile();
    void unusableDataFile();
    void cancelledLoginEndsProgram();
    void loginShowsUserAndBooks();
    void reLoginAndRights();
    void calendarRewritesFilters();
    void showTab();
    void refreshStatIsQueued();
    void summaryPanels();
    void layoutSurvivesRestart();
    void unknownSkinFallsBack();
    void backupRestoreAndClear();
    void statusItemsAndGuide();
    void sideBars();
    void voucherWorkflow();

private:
    // Starts the window and logs in through the real dialog; empty user cancels.
    void start(const QString &user, const QString &password = QString());
    void relogin(const QString &user, const QString &password = QString());
    std::unique_ptr<TestSupport::TProgramFolder> m_folder;
    std::unique_ptr<TShareDM> m_dm;
    std::unique_ptr<TFormMain> m_form;
    QList<QUrl> m_opened;
};

void TestMainForm::init()
{
    TestSupport::ResetSettings();
    m_folder = std::make_unique<TestSupport::TProgramFolder>();
    TestSupport::UseHome(m_folder->filePath(u"home"_s));
    QString error;
    QVERIFY2(m_folder->createDataFile(&error), qPrintable(error));
    {
        TShareDM dm(m_folder->path());
        QVERIFY(dm.OpenDataFile(m_folder->dataFile()));
        QVERIFY2(TestSupport::AddFixture(dm, &error), qPrintable(error));
        QVERIFY(dm.SetUserKey(u"管理员"_s, u"admin"_s));
    }
    m_dm = std::make_unique<TShareDM>(m_folder->path());
    m_opened.clear();
    m_dm->UrlOpener = [this](const QUrl &url) {
        m_opened << url;
        return true;
    };
}

void TestMainForm::cleanup()
{
    m_form.reset();
    m_dm.reset();
}

void TestMainForm::start(const QString &user, const QString &password)
{
    m_form = std::make_unique<TFormMain>(*m_dm);
    TestSupport::WhenShown<TFormLogin>([user, password](TFormLogin *login) {
        if (user.isEmpty()) {
            QTest::mouseClick(login->btnCancel, Qt::LeftButton);
            return;
        }
        login->cbxUserName->setCurrentIndex(login->cbxUserName->findText(user));
        login->edUserKey->setText(password);
        QTest::mouseClick(login->btnOK, Qt::LeftButton);
    });
    m_form->show();
    QTRY_VERIFY(m_form->Started());
    QTRY_VERIFY(user.isEmpty() ? !m_form->isVisible() : m_dm->LoggedIn());
}

void TestMainForm::relogin(const QString &user, const QString &password)
{
    TestSupport::WhenShown<TFormLogin>([user, password](TFormLogin *login) {
        if (user.isEmpty()) {
            QTest::mouseClick(login->btnCancel, Qt::LeftButton);
            return;
        }
        login->cbxUserName->setCurrentIndex(login->cbxUserName->findText(user));
        login->edUserKey->setText(password);
        QTest::mouseClick(login->btnOK, Qt::LeftButton);
    });
    m_form->ActionReLogin->trigger();
}

void TestMainForm::missingDataFile()
{
    QFile::remove(m_folder->dataFile());
    m_dm->SetNextMessageBoxAnswer(mrOk);
    m_form = std::make_unique<TFormMain>(*m_dm);
    m_form->show();
    QTRY_VERIFY(!m_form->isVisible());
    QCOMPARE(m_dm->MessageLog(), QStringList{u"数据库文件丢失！"_s});
    QVERIFY(!m_form->FormLogin->isVisible());
    QVERIFY(!m_dm->IsConnected());
    QVERIFY(!QFile::exists(m_folder->dataFile())); // never made behind the user's back
}

void TestMainForm::unusableDataFile()
{
    QFile f(m_folder->dataFile());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("this is not a database at all");
    f.close();
    m_dm->SetNextMessageBoxAnswer(mrOk);
    m_form = std::make_unique<TFormMain>(*m_dm);
    m_form->show();
    QTRY_VERIFY(!m_form->isVisible());
    QCOMPARE(m_dm->MessageLog().size(), 1);
    QVERIFY(m_dm->MessageLog().first().contains(u"不是青柚流水帐的数据文件"_s));
    QVERIFY(!m_dm->LoggedIn());
}

void TestMainForm::cancelledLoginEndsProgram()
{
    start(QString());
    QVERIFY(!m_dm->LoggedIn());
    // No automatic backup after a cancelled login.
    m_dm->WriteStringSetting(u"AutoPath"_s, m_folder->filePath(u"auto"_s));
    m_form.reset();
    m_dm.reset();
    QVERIFY(QDir(m_folder->filePath(u"auto"_s)).entryList(QDir::Files).isEmpty());
}

void TestMainForm::loginShowsUserAndBooks()
{
    start(u"出纳"_s);
    QCOMPARE(m_form->windowTitle(), u"青柚流水帐"_s);
    QCOMPARE(m_form->tbxItemLoginUser->text(), u"当前用户：出纳"_s);
    QCOMPARE(m_form->SpTBXTabControl1->tabText(m_form->SpTBXTabControl1->currentIndex()), u"账簿管理"_s);
    QVERIFY(m_form->TFrameBookHouse1->LoadCount() >= 1);
    // The cashier sees only his own book.
    QCOMPARE(m_form->TFrameBookHouse1->Books.recordCount(), 1);
    QCOMPARE(m_form->TFrameBookHouse1->Books.fieldText(u"BookName"_s), u"现金2"_s);
    QTRY_VERIFY(m_form->RefreshStatCount() >= 1);
    QVERIFY(m_dm->Maintenance());
    QVERIFY(!m_dm->QueryFailed());
    // The first start wrote the backup folder and made it.
    const QString autoPath = m_dm->ReadStringSetting(u"AutoPath"_s, QString());
    QCOMPARE(autoPath, m_folder->filePath(u"home"_s) + u"/青柚流水帐备份"_s);
    QVERIFY(QDir(autoPath).exists());

    // Closing writes the automatic backup there.
    m_form->close();
    m_form.reset();
    m_dm.reset();
    QCOMPARE(QDir(autoPath).entryList({u"*.qy"_s}, QDir::Files).size(), 1);
}

void TestMainForm::reLoginAndRights()
{
    start(u"出纳"_s);
    QVERIFY(!m_form->ActionClearData->isEnabled());
    QVERIFY(!m_form->ActionRestoreData->isEnabled());

    relogin(QString()); // cancelled: the cashier stays
    QCOMPARE(m_dm->LoginUser().UserName, u"出纳"_s);
    QCOMPARE(m_form->tbxItemLoginUser->text(), u"当前用户：出纳"_s);

    relogin(u"管理员"_s, u"admin"_s);
    QCOMPARE(m_form->tbxItemLoginUser->text(), u"当前用户：管理员"_s);
    QVERIFY(m_form->ActionClearData->isEnabled());
    QVERIFY(m_form->ActionRestoreData->isEnabled());
    QCOMPARE(m_form->TFrameBookHouse1->Books.recordCount(), 4);

    // Rights are the user's; the name alone gates clearing.
    QCOMPARE(m_dm->ExecSQL(u"insert into LoginUser (UserName, UserCheck, UserCreate, UserModify, UserDelete,"
                           " UserRestore, UserSetting) values ('总经理', 1, 1, 1, 1, 1, 1)"_s),
             1);
    relogin(u"总经理"_s);
    QVERIFY(m_form->ActionRestoreData->isEnabled());
    QVERIFY(!m_form->ActionClearData->isEnabled());

    // A user without the create right gets the message and no editor.
    relogin(u"出纳"_s);
    m_dm->LoginUser().UserCreate = false;
    m_dm->SetNextMessageBoxAnswer(mrOk);
    m_dm->ClearMessageLog();
    m_form->ActionMoneyIn->trigger();
    QCOMPARE(m_dm->MessageLog(), QStringList{u"你不具有没有【单据新增】权限"_s});
}

void TestMainForm::calendarRewritesFilters()
{
    m_form = std::make_unique<TFormMain>(*m_dm);
    // Before login: only the filter lists change.
    m_form->SpTBXMonthDate1->SetDate(QDate(2009, 1, 5));
    QCOMPARE(m_form->SelectedDate(), QDate(2009, 1, 5));
    QCOMPARE(m_form->TFrameMoneyReport1->FilterList.lines(), QStringList{u"MoneyDateFilter= and MoneyDate = #2009-01-05#"_s});
    QCOMPARE(m_form->TFrameGetPayReport1->FilterList.lines(),
             (QStringList{u"GetPayFilter= and GetPayDate = #2009-01-05#"_s, u"MoneyFilter= and MoneyDate <= #2009-01-05#"_s}));
    QCOMPARE(m_form->TFrameCustomStat1->FilterList.lines(),
             (QStringList{u"MoneyDateFilter= and MoneyDate <= #2009-01-05#"_s,
                          u"GetPayRecordFilter= and GetPayDate <= #2009-01-05#"_s}));
    QCoreApplication::processEvents();
    QCOMPARE(m_form->TFrameBookHouse1->LoadCount(), 0);
    QCOMPARE(m_form->RefreshStatCount(), 0);

    // A base filter set by a drill-down is emptied by the next pick.
    m_form->TFrameMoneyReport1->FilterList.setValue(u"MoneyBaseFilter"_s, u" and MoneyKind='财务收入'"_s);
    start(u"管理员"_s, u"admin"_s);
    m_form->ShowTab(u"收支单据报表"_s);
    const int refreshes = m_form->TFrameMoneyReport1->RefreshCount();
    const int stats = m_form->RefreshStatCount();
    m_form->SpTBXMonthDate1->SetDate(QDate(2009, 1, 6));
    QTRY_COMPARE(m_form->TFrameMoneyReport1->RefreshCount(), refreshes + 1);
    QTRY_COMPARE(m_form->RefreshStatCount(), stats + 1);
    QCOMPARE(m_form->TFrameMoneyReport1->ADOQueryMoneyReport.recordCount(), 2);
    QCOMPARE(m_form->TFrameMoneyReport1->FilterList.value(u"MoneyBaseFilter"_s), QString());
}

void TestMainForm::showTab()
{
    start(u"管理员"_s, u"admin"_s);
    TFrameBookHouse *books = m_form->TFrameBookHouse1;
    TFrameGetPayReport *getPay = m_form->TFrameGetPayReport1;
    int loads = books->LoadCount();
    m_form->ShowTab(u"账簿管理"_s); // already active: reloaded once
    QCOMPARE(books->LoadCount(), loads + 1);
    const int getPayLoads = getPay->RefreshCount();
    m_form->ShowTab(u"待收待付单据报表"_s);
    QCOMPARE(m_form->SpTBXTabControl1->currentWidget(), m_form->SpTBXTabSheet1);
    QCOMPARE(getPay->RefreshCount(), getPayLoads + 1);
    QCOMPARE(getPay->ADOQueryGetPayReport.isOpen(), true);
    m_form->ShowTab(u"没有这一页"_s);
    QCOMPARE(m_form->SpTBXTabControl1->currentWidget(), m_form->SpTBXTabSheet1);
    QCOMPARE(getPay->RefreshCount(), getPayLoads + 1);
    loads = books->LoadCount();
    m_form->ShowTab(u"账簿管理"_s);
    QCOMPARE(books->LoadCount(), loads + 1);
}

void TestMainForm::refreshStatIsQueued()
{
    start(u"出纳"_s);
    QTRY_VERIFY(m_form->RefreshStatCount() >= 1);
    const int before = m_form->RefreshStatCount();
    m_form->PostRefreshStat();
    m_form->PostRefreshStat();
    QCOMPARE(m_form->RefreshStatCount(), before); // posted, not sent
    QTRY_COMPARE(m_form->RefreshStatCount(), before + 2);
}

void TestMainForm::summaryPanels()
{
    start(u"管理员"_s, u"admin"_s);
    m_form->SpTBXMonthDate1->SetDate(QDate(2009, 1, 5));
    QTRY_VERIFY(m_form->TFrameFinanceStat1->lblMoneyIn->text() == u"¥300.00"_s);
    TFrameFinanceStat *day = m_form->TFrameFinanceStat1;
    TFrameFinanceStat *month = m_form->FrameFinanceStat1;
    QCOMPARE(day->capMoneyIn->text(), u"当日收入："_s);
    QCOMPARE(month->capMoneyIn->text(), u"本月收入："_s);
    QCOMPARE(m_form->FrameFinanceStat2->capMoneyIn->text(), u"本季收入："_s);
    QCOMPARE(day->lblMoneyOut->text(), u"¥30.50"_s);
    QCOMPARE(day->lblMoneyBalance->text(), u"¥349.50"_s);      // 100 - 20 + 300 - 30.5
    QCOMPARE(month->lblMoneyIn->text(), u"¥600.00"_s);
    QCOMPARE(month->lblMoneyBalance->text(), u"¥429.50"_s);    // up to 31 January
    QCOMPARE(day->lblGetSum->text(), u"¥0.00"_s);
    QCOMPARE(day->lblPaySum->text(), u"¥500.00"_s);
    QCOMPARE(day->lblGetRealSum->text(), u"¥300.00"_s);
    QCOMPARE(day->lblGetBalance->text(), u"¥700.00"_s);
    QCOMPARE(month->lblGetBalance->text(), u"¥500.00"_s);
    QCOMPARE(month->lblPayBalance->text(), u"¥380.00"_s);
    QCOMPARE(day->lblMoneyIn->toolTip(), u"2009-01-05,财务总收入"_s);
    QCOMPARE(month->lblMoneyIn->toolTip(), u"时间段2009-01-01~2009-01-31,财务总收入"_s);
    QCOMPARE(month->lblMoneyBalance->toolTip(), u"截止2009-01-31,财务收支总余额"_s);
    QCOMPARE(TFrameFinanceStat::HintDates(month->lblMoneyIn, 1), u"2009-01-31"_s);

    // A figure opens the report behind it.
    month->lblGetRealSumClick();
    QCOMPARE(m_form->SpTBXTabControl1->currentWidget(), m_form->SpTBXTabSheet2);
    QCOMPARE(m_form->TFrameMoneyReport1->FilterList.value(u"MoneyBaseFilter"_s),
             u" and MoneyIndex in (3,5) and MoneyKind='财务收入'"_s);
    QCOMPARE(m_form->TFrameMoneyReport1->ADOQueryMoneyReport.recordCount(), 2);
    day->lblPayBalanceClick();
    QCOMPARE(m_form->SpTBXTabControl1->currentWidget(), m_form->SpTBXTabSheet1);
    QCOMPARE(m_form->TFrameGetPayReport1->FilterList.value(u"GetPayFilter"_s),
             u" and GetPayKind='待付记账' and GetPayDate <= #2009-01-05#"_s);

    // The cashier sees only his own figures.
    relogin(u"出纳"_s);
    QTRY_COMPARE(day->lblMoneyIn->text(), u"¥0.00"_s);
    QCOMPARE(day->lblMoneyOut->text(), u"¥30.50"_s);
}

void TestMainForm::layoutSurvivesRestart()
{
    start(u"出纳"_s);
    // First start: the quarter panel hidden, the default look.
    QVERIFY(m_form->PanelQuarterStat->isHidden());
    QCOMPARE(Skins::CurrentSkin(), u"Office 2007 Blue"_s);
    m_form->ActionQutory->trigger();
    QVERIFY(!m_form->PanelQuarterStat->isHidden());
    m_form->SkinMenu->actions().at(2)->trigger(); // Office 2007 Black
    QCOMPARE(Skins::CurrentSkin(), u"Office 2007 Black"_s);
    m_form->close();
    QCOMPARE(m_dm->ReadBoolSetting(u"FinanceQutory"_s, false), true);
    QCOMPARE(m_dm->ReadStringSetting(u"SoftSkin"_s, QString()), u"Office 2007 Black"_s);
    QVERIFY(QFile::exists(m_folder->filePath(u"Postion.ini"_s)));

    m_form.reset();
    m_dm.reset();
    m_dm = std::make_unique<TShareDM>(m_folder->path());
    start(u"出纳"_s);
    QVERIFY(!m_form->PanelQuarterStat->isHidden());
    QVERIFY(m_form->ActionQutory->isChecked());
    QCOMPARE(Skins::CurrentSkin(), u"Office 2007 Black"_s);
}

void TestMainForm::unknownSkinFallsBack()
{
    m_dm->WriteStringSetting(u"SoftSkin"_s, u"Windows 95"_s);
    start(u"出纳"_s);
    QCOMPARE(Skins::CurrentSkin(), u"Office 2007 Blue"_s);
    QVERIFY(m_form->SkinMenu->actions().at(1)->isChecked());
}

void TestMainForm::backupRestoreAndClear()
{
    start(u"管理员"_s, u"admin"_s);
    const QString backup = m_folder->filePath(u"手工备份.qy"_s);
    m_dm->SetNextFileName(backup);
    m_dm->SetNextMessageBoxAnswer(mrOk);
    m_form->ActionBackupData->trigger();
    QVERIFY(QFile::exists(backup));
    QCOMPARE(m_dm->MessageLog().last(), u"恭喜您：数据备份成功！\r\n备份路径："_s + backup);

    // Clearing: a warning first; Cancel keeps everything.
    m_dm->SetNextMessageBoxAnswer(mrCancel);
    m_form->ActionClearData->trigger();
    QCOMPARE(m_dm->MessageLog().last(), u"确定要清空当前数据？\n\r警告：数据清空后无法恢复！！"_s);
    TQuery q;
    m_dm->OpenQuery(q, u"select count(*) as n from MoneyRecord"_s);
    QCOMPARE(q.fieldValue(u"n"_s).toInt(), 6);
    m_dm->SetNextMessageBoxAnswer(mrYes);
    m_form->ActionClearData->trigger();
    m_dm->OpenQuery(q, u"select (select count(*) from Book) + (select count(*) from MoneyRecord) as n,"
                       " (select count(*) from LoginUser) as u"_s);
    QCOMPARE(q.fieldValue(u"n"_s).toInt(), 0);
    QCOMPARE(q.fieldValue(u"u"_s).toInt(), 2);
    QCOMPARE(m_form->TFrameBookHouse1->Books.recordCount(), 0);

    // Restore: staged, then the restart question; Yes ends the program.
    m_dm->SetNextFileName(backup);
    m_dm->SetNextMessageBoxAnswer(mrYes);
    m_form->ActionRestoreData->trigger();
    QCOMPARE(m_dm->MessageLog().last(), u"恭喜您：数据恢复成功，但要重启软件数据才会生效。是否现在重启软件？"_s);
    QVERIFY(QFile::exists(TAccessDatabase::StagedRestoreName(m_dm->DataFileName())));
    QTRY_VERIFY(!m_form->isVisible());
    m_form.reset();
    m_dm.reset();

    // The next start puts the backup in place.
    m_dm = std::make_unique<TShareDM>(m_folder->path());
    m_dm->SetNextMessageBoxAnswer(mrOk); // "数据已从备份恢复"
    start(u"管理员"_s, u"admin"_s);
    m_dm->OpenQuery(q, u"select count(*) as n from MoneyRecord"_s);
    QCOMPARE(q.fieldValue(u"n"_s).toInt(), 6);
    QVERIFY(m_dm->MessageLog().first().startsWith(u"数据已从备份恢复"_s));
}

void TestMainForm::statusItemsAndGuide()
{
    start(u"出纳"_s);
    QCOMPARE(m_form->SpTBXItem5->text(), u"官方网站："_s + TFormMain::HomePage());
    m_dm->SetNextMessageBoxAnswer(mrOk);
    QTest::mouseClick(m_form->SpTBXItem22, Qt::LeftButton);
    QCOMPARE(QGuiApplication::clipboard()->text(), TFormMain::SupportEmail());
    QCOMPARE(m_dm->MessageLog().last(), u"E-mail:"_s + TFormMain::SupportEmail() + u"已经复制到粘贴板"_s);
    QTest::mouseClick(m_form->SpTBXItem5, Qt::LeftButton);
    QCOMPARE(m_opened.last(), QUrl(TFormMain::HomePage()));

    // The guide opens its pages from the program folder, whatever the current directory.
    QDir::setCurrent(QDir::tempPath());
    QLabel *link = m_form->TFrameUserGuide1->Link(5);
    QCOMPARE(link->text(), u"用户及权限设置"_s);
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(m_opened.last(), QUrl::fromLocalFile(m_folder->path() + u"UserGuide/权限设置.htm"_s));
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(link, &enter);
    QVERIFY(link->font().underline());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(link, &leave);
    QVERIFY(!link->font().underline());
    QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
}

void TestMainForm::sideBars()
{
    start(u"出纳"_s);
    QVERIFY(m_form->ActionLeft->isChecked());
    m_form->ActionLeft->trigger();
    QVERIFY(m_form->PanelSystime->isHidden());
    QVERIFY(m_form->PanelGuide->isHidden());
    QVERIFY(!m_form->ActionLeft->isChecked());
    m_form->ActionLeft->trigger();
    QVERIFY(!m_form->PanelSystime->isHidden());
    QVERIFY(m_form->ActionLeft->isChecked());
    // The panels hidden through the view menu stay hidden when the side comes back.
    m_form->ActionDay->trigger();
    QVERIFY(m_form->PanelDayStat->isHidden());
    QTest::mouseClick(m_form->Splitter2, Qt::LeftButton);
    QVERIFY(m_form->PanelMonthStat->isHidden());
    QVERIFY(!m_form->ActionRight->isChecked());
    QTest::mouseClick(m_form->Splitter2, Qt::LeftButton);
    QVERIFY(!m_form->PanelMonthStat->isHidden());
    QVERIFY(m_form->PanelDayStat->isHidden());
}

void TestMainForm::voucherWorkflow()
{
    start(u"管理员"_s, u"admin"_s);
    m_form->ShowTab(u"收支单据报表"_s);
    TFrameMoneyReport *report = m_form->TFrameMoneyReport1;
    QCOMPARE(report->DBGridEh1->RowCount(), 0); // today has no vouchers yet

    // Toolbar: a new income voucher for today.
    const int stats = m_form->RefreshStatCount();
    TestSupport::WhenShown<TFormMoneyEditor>([](TFormMoneyEditor *editor) {
        QCOMPARE(editor->windowTitle(), u"财务收入"_s);
        editor->cbxMoneyBook->setCurrentIndex(editor->cbxMoneyBook->findText(u"现金"_s));
        editor->edMoneySum->setText(u"1234.5"_s);
        editor->cbxMoneyReason->setCurrentIndex(0);
        editor->cbxMoneyPay->setCurrentIndex(0);
        editor->ActionSaveMoney->trigger();
    });
    m_form->ActionMoneyIn->trigger();
    QCOMPARE(report->DBGridEh1->RowCount(), 1);
    QCOMPARE(report->DBGridEh1->CellText(0, 4), u"1,234.50"_s);
    QTRY_VERIFY(m_form->RefreshStatCount() > stats); // the summaries follow
    QTRY_COMPARE(m_form->TFrameFinanceStat1->lblMoneyIn->text(), u"¥1,234.50"_s);

    // The filter dialog: everything in January 2009.
    m_dm->SetWorkDate(QDate(2009, 1, 15));
    TestSupport::WhenShown<TFormMoneySearch>([](TFormMoneySearch *search) {
        search->cbDateCheck->click();
        QTest::mouseClick(search->btnOK, Qt::LeftButton);
    });
    report->btnSearchClick();
    QCOMPARE(report->DBGridEh1->RowCount(), 6);

    // Double click: change, then delete.
    report->ADOQueryMoneyReport.setRecNo(0);
    TestSupport::WhenShown<TFormMoneyEditor>([](TFormMoneyEditor *editor) {
        editor->edMoneySum->setText(u"150"_s);
        editor->ActionSaveMoney->trigger();
    });
    report->DBGridEh1DblClick();
    QCOMPARE(report->DBGridEh1->CellText(0, 4), u"150.00"_s);
    report->ADOQueryMoneyReport.setRecNo(1);
    m_dm->SetNextMessageBoxAnswer(mrYes);
    TestSupport::WhenShown<TFormMoneyEditor>([](TFormMoneyEditor *editor) { editor->ActionDeleteMoney->trigger(); });
    report->DBGridEh1DblClick();
    QCOMPARE(report->DBGridEh1->RowCount(), 5);

    // The column layout survives the restart.
    TReportGrid *grid = report->DBGridEh1;
    grid->SetColumnWidth(grid->ColumnIndexOfField(u"MoneyBook"_s), 123);
    m_form->close();
    m_form.reset();
    m_dm.reset();
    m_dm = std::make_unique<TShareDM>(m_folder->path());
    start(u"管理员"_s, u"admin"_s);
    grid = m_form->TFrameMoneyReport1->DBGridEh1;
    QCOMPARE(grid->Column(grid->ColumnIndexOfField(u"MoneyBook"_s)).Width, 123);
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"

#include "MainForm.h"

#include "AppImages.h"
#include "BookHouseFrame.h"
#include "DataModule.h"
#include "FinanceStatFrame.h"
#include "GetPayReportFrame.h"
#include "LoginForm.h"
#include "MoneyCustomStatFrame.h"
#include "MoneyEditorForm.h"
#include "MoneySearchForm.h"
#include "MoneyReportFrame.h"
#include "Schema.h"
#include "Skins.h"
#include "SpTBXMonthDate.h"
#include "UserGuideFrame.h"
#include "xUtils.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// A dock title with the caption and a button that folds the panel to its title.
class TDockTitle : public QWidget
{
public:
    explicit TDockTitle(QDockWidget *dock)
        : QWidget(dock)
        , m_dock(dock)
    {
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(6, 2, 2, 2);
        m_caption = new QLabel(dock->windowTitle(), this);
        QFont f = m_caption->font();
        f.setBold(true);
        m_caption->setFont(f);
        m_button = new QToolButton(this);
        m_button->setAutoRaise(true);
        m_button->setFixedSize(16, 16);
        m_button->setToolTip(u"最小化"_s);
        m_button->setArrowType(Qt::UpArrow);
        layout->addWidget(m_caption, 1);
        layout->addWidget(m_button);
        QObject::connect(m_button, &QToolButton::clicked, this, [this] { SetMinimized(!Minimized()); });
    }
    bool Minimized() const { return m_dock->widget() && m_dock->widget()->isHidden(); }
    void SetMinimized(bool minimized)
    {
        if (!m_dock->widget())
            return;
        m_dock->widget()->setVisible(!minimized);
        m_button->setArrowType(minimized ? Qt::DownArrow : Qt::UpArrow);
        m_button->setToolTip(minimized ? u"还原"_s : u"最小化"_s);
    }

private:
    QDockWidget *m_dock;
    QLabel *m_caption;
    QToolButton *m_button;
};

QDockWidget *makePanel(QMainWindow *window, const QString &name, const QString &caption, QWidget *content)
{
    auto *dock = new QDockWidget(caption, window);
    dock->setObjectName(name);
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    dock->setWidget(content);
    dock->setTitleBarWidget(new TDockTitle(dock));
    return dock;
}

// Only when a browser is set up; never in a headless run.
bool browserConfigured()
{
    if (QGuiApplication::platformName() == u"offscreen"_s || QGuiApplication::platformName() == u"minimal"_s)
        return false;
    if (!qEnvironmentVariableIsEmpty("BROWSER"))
        return true;
    QProcess p;
    p.start(u"xdg-settings"_s, {u"get"_s, u"default-web-browser"_s});
    if (!p.waitForFinished(1500))
        return false;
    return p.exitCode() == 0 && !p.readAllStandardOutput().trimmed().isEmpty();
}

const char *kDockArea(Qt::DockWidgetArea area)
{
    switch (area) {
    case Qt::LeftDockWidgetArea:
        return "Left";
    case Qt::RightDockWidgetArea:
        return "Right";
    case Qt::TopDockWidgetArea:
        return "Top";
    case Qt::BottomDockWidgetArea:
        return "Bottom";
    default:
        return "None";
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------

TSplitterBar::TSplitterBar(Qt::ArrowType pointing, QWidget *parent)
    : QWidget(parent)
    , m_pointing(pointing)
{
    setFixedWidth(7);
    setCursor(Qt::PointingHandCursor);
    setToolTip(u"点击收起"_s);
}

void TSplitterBar::SetCollapsed(bool collapsed)
{
    m_collapsed = collapsed;
    setToolTip(collapsed ? u"点击展开"_s : u"点击收起"_s);
    update();
}

void TSplitterBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QColor base = palette().color(QPalette::Window);
    QLinearGradient g(0, 0, width(), 0);
    g.setColorAt(0, base.lighter(112));
    g.setColorAt(1, base.darker(108));
    p.fillRect(rect(), g);
    p.setPen(base.darker(130));
    p.drawLine(0, 0, 0, height());
    p.drawLine(width() - 1, 0, width() - 1, height());
    // A small arrow in the middle pointing where a click moves the side.
    const bool left = (m_pointing == Qt::LeftArrow) != m_collapsed;
    const int cy = height() / 2;
    QPolygon arrow;
    if (left)
        arrow << QPoint(1, cy) << QPoint(5, cy - 5) << QPoint(5, cy + 5);
    else
        arrow << QPoint(5, cy) << QPoint(1, cy - 5) << QPoint(1, cy + 5);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(palette().color(QPalette::WindowText));
    p.setPen(Qt::NoPen);
    p.drawPolygon(arrow);
}

void TSplitterBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

// ---------------------------------------------------------------------------------------------

TFormMain::TFormMain(TShareDM &dm, QWidget *parent)
    : QMainWindow(parent)
    , m_dm(dm)
{
    FormCreate();
}

TFormMain::~TFormMain()
{
    // Closing the window from the base destructor hides the docks; their signals must not
    // reach this half-destroyed window any more.
    const QList<QDockWidget *> docks = findChildren<QDockWidget *>();
    for (QDockWidget *dock : docks)
        disconnect(dock, nullptr, this, nullptr);
    disconnect(SpTBXTabControl1, nullptr, this, nullptr);
    disconnect(SpTBXMonthDate1, nullptr, this, nullptr);
}

QString TFormMain::HomePage()
{
    return u"https://www.qybook.example/"_s;
}

QString TFormMain::SupportEmail()
{
    return u"support@qybook.example"_s;
}

void TFormMain::FormCreate()
{
    setObjectName(u"FormMain"_s);
    setWindowIcon(AppImages::AppIcon());
    resize(900, 540);
    setMinimumSize(850, 540);
    setDockNestingEnabled(true);
    m_selectedDate = QDate::currentDate();

    createActions();
    createMenus();
    createCentre();
    createDocks();
    createStatusBar();

    // Every dialog is made once and reused.
    FormLogin = new TFormLogin(m_dm, this);
    FormMoneyEditor = new TFormMoneyEditor(m_dm, this);
    FormMoneySearch = new TFormMoneySearch(m_dm, this);
    connect(FormMoneyEditor, &TFormMoneyEditor::RefreshStatRequested, this, &TFormMain::PostRefreshStat);
    TFrameMoneyReport1->SetDialogs(FormMoneyEditor, FormMoneySearch);

    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen && screen->availableGeometry().width() >= 800) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    } else {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    TFrameFinanceStat1->SetPeriodKind(0);
    FrameFinanceStat1->SetPeriodKind(1);
    FrameFinanceStat2->SetPeriodKind(2);
    UpdateActions();
}

void TFormMain::createActions()
{
    const auto make = [this](const char *name, const QString &caption, int image) {
        auto *a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        if (image >= 0)
            a->setIcon(AppImages::Icon32(image));
        return a;
    };
    ActionMoneyIn = make("ActionMoneyIn", u"财务收入"_s, 0);
    ActionMoneyOut = make("ActionMoneyOut", u"财务支出"_s, 1);
    ActionGet = make("ActionGet", u"待收记账"_s, 2);
    ActionPay = make("ActionPay", u"待付记账"_s, 3);
    ActionLeft = make("ActionLeft", u"左侧栏"_s, 10);
    ActionRight = make("ActionRight", u"右侧栏"_s, 11);
    ActionExit = make("ActionExit", u"退出系统"_s, 12);
    ActionReLogin = make("ActionReLogin", u"重新登录"_s, -1);
    ActionBackupData = make("ActionBackupData", u"备份数据"_s, -1);
    ActionRestoreData = make("ActionRestoreData", u"恢复数据"_s, -1);
    ActionClearData = make("ActionClearData", u"清空数据"_s, -1);
    ActionSetting = make("ActionSetting", u"参数设置"_s, -1);
    ActiontSysExit = make("ActiontSysExit", u"退出系统"_s, -1);
    ActionTime = make("ActionTime", u"系统时间"_s, -1);
    ActionGuide = make("ActionGuide", u"操作指南"_s, -1);
    ActionDay = make("ActionDay", u"当日财务状况"_s, -1);
    ActionMonth = make("ActionMonth", u"本月财务状况"_s, -1);
    ActionQutory = make("ActionQutory", u"本季度财务状况"_s, -1);
    for (QAction *a : {ActionLeft, ActionRight, ActionTime, ActionGuide, ActionDay, ActionMonth, ActionQutory})
        a->setCheckable(true);

    connect(ActionMoneyIn, &QAction::triggered, this, &TFormMain::ActionMoneyInExecute);
    connect(ActionMoneyOut, &QAction::triggered, this, &TFormMain::ActionMoneyOutExecute);
    connect(ActionGet, &QAction::triggered, this, &TFormMain::ActionGetExecute);
    connect(ActionPay, &QAction::triggered, this, &TFormMain::ActionPayExecute);
    connect(ActionLeft, &QAction::triggered, this, [this] { ToggleSide(Qt::LeftDockWidgetArea); });
    connect(ActionRight, &QAction::triggered, this, [this] { ToggleSide(Qt::RightDockWidgetArea); });
    connect(ActionExit, &QAction::triggered, this, &QWidget::close);
    connect(ActiontSysExit, &QAction::triggered, this, &QWidget::close);
    connect(ActionReLogin, &QAction::triggered, this, &TFormMain::ActionReLoginExecute);
    connect(ActionBackupData, &QAction::triggered, this, &TFormMain::ActionBackupDataExecute);
    connect(ActionRestoreData, &QAction::triggered, this, &TFormMain::ActionRestoreDataExecute);
    connect(ActionClearData, &QAction::triggered, this, &TFormMain::ActionClearDataExecute);
    connect(ActionSetting, &QAction::triggered, this, &TFormMain::ActionSettingExecute);
}

void TFormMain::createMenus()
{
    QMenu *system = menuBar()->addMenu(u"系统"_s);
    system->addAction(ActionReLogin);
    system->addSeparator();
    system->addAction(ActionBackupData);
    system->addAction(ActionRestoreData);
    system->addAction(ActionClearData);
    system->addSeparator();
    SkinMenu = system->addMenu(u"更换皮肤"_s);
    SkinGroup = new QActionGroup(this);
    for (const QString &skin : Skins::SkinNames()) {
        QAction *a = SkinMenu->addAction(skin);
        a->setCheckable(true);
        a->setData(skin);
        SkinGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, skin] { ApplySkin(skin); });
    }
    system->addAction(ActionSetting);
    system->addSeparator();
    system->addAction(ActiontSysExit);

    QMenu *view = menuBar()->addMenu(u"查看"_s);
    for (QAction *a : {ActionTime, ActionGuide, ActionDay, ActionMonth, ActionQutory})
        view->addAction(a);
    QMenu *help = menuBar()->addMenu(u"帮助"_s);
    SpTBXItem7 = help->addAction(u"在线服务"_s);
    connect(SpTBXItem7, &QAction::triggered, this, &TFormMain::SpTBXItem5Click);
    // The states follow the user and the panels whenever a menu opens.
    for (QMenu *m : {system, view, help})
        connect(m, &QMenu::aboutToShow, this, &TFormMain::UpdateActions);

    Toolbar1 = addToolBar(u"工具栏"_s);
    Toolbar1->setObjectName(u"Toolbar1"_s);
    Toolbar1->setIconSize(QSize(32, 32));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->setMovable(false);
    Toolbar1->addAction(ActionMoneyIn);
    Toolbar1->addAction(ActionMoneyOut);
    Toolbar1->addAction(ActionGet);
    Toolbar1->addAction(ActionPay);
    Toolbar1->addSeparator();
    Toolbar1->addAction(ActionLeft);
    Toolbar1->addAction(ActionRight);
    Toolbar1->addSeparator();
    Toolbar1->addAction(ActionExit);
}

void TFormMain::createCentre()
{
    auto *centre = new QWidget(this);
    auto *layout = new QHBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Splitter1 = new TSplitterBar(Qt::LeftArrow, centre);
    Splitter1->setObjectName(u"Splitter1"_s);
    Splitter2 = new TSplitterBar(Qt::RightArrow, centre);
    Splitter2->setObjectName(u"Splitter2"_s);
    connect(Splitter1, &TSplitterBar::clicked, this, [this] { ToggleSide(Qt::LeftDockWidgetArea); });
    connect(Splitter2, &TSplitterBar::clicked, this, [this] { ToggleSide(Qt::RightDockWidgetArea); });

    SpTBXTabControl1 = new QTabWidget(centre);
    SpTBXTabControl1->setObjectName(u"SpTBXTabControl1"_s);
    SpTBXTabControl1->setIconSize(QSize(20, 20));
    TFrameBookHouse1 = new TFrameBookHouse(m_dm, this);
    TFrameMoneyReport1 = new TFrameMoneyReport(m_dm, this);
    TFrameGetPayReport1 = new TFrameGetPayReport(m_dm, this);
    TFrameCustomStat1 = new TFrameCustomStat(m_dm, this);
    SpTBXTabSheet3 = TFrameBookHouse1;
    SpTBXTabSheet2 = TFrameMoneyReport1;
    SpTBXTabSheet1 = TFrameGetPayReport1;
    SpTBXTabSheet4 = TFrameCustomStat1;
    SpTBXTabControl1->addTab(SpTBXTabSheet3, AppImages::Icon32(6), u"账簿管理"_s);
    SpTBXTabControl1->addTab(SpTBXTabSheet2, AppImages::Icon32(7), u"收支单据报表"_s);
    SpTBXTabControl1->addTab(SpTBXTabSheet1, AppImages::Icon32(8), u"待收待付单据报表"_s);
    SpTBXTabControl1->addTab(SpTBXTabSheet4, AppImages::Icon32(9), u"财务统计"_s);
    SpTBXTabControl1->setCurrentIndex(0);
    connect(SpTBXTabControl1, &QTabWidget::currentChanged, this, &TFormMain::SpTBXTabControl1ActiveTabChange);

    layout->addWidget(Splitter1);
    layout->addWidget(SpTBXTabControl1, 1);
    layout->addWidget(Splitter2);
    setCentralWidget(centre);
}

void TFormMain::createDocks()
{
    SpTBXMonthDate1 = new TSpTBXMonthDate(this);
    SpTBXMonthDate1->setObjectName(u"SpTBXMonthDate1"_s);
    TFrameUserGuide1 = new TFrameUserGuide(m_dm, this);
    PanelSystime = makePanel(this, u"PanelSystime"_s, u"系统时间"_s, SpTBXMonthDate1);
    PanelGuide = makePanel(this, u"PanelGuide"_s, u"操作指南"_s, TFrameUserGuide1);
    addDockWidget(Qt::LeftDockWidgetArea, PanelSystime);
    splitDockWidget(PanelSystime, PanelGuide, Qt::Vertical);

    TFrameFinanceStat1 = new TFrameFinanceStat(m_dm, this, this);
    FrameFinanceStat1 = new TFrameFinanceStat(m_dm, this, this);
    FrameFinanceStat2 = new TFrameFinanceStat(m_dm, this, this);
    TFrameFinanceStat1->setObjectName(u"TFrameFinanceStat1"_s);
    FrameFinanceStat1->setObjectName(u"FrameFinanceStat1"_s);
    FrameFinanceStat2->setObjectName(u"FrameFinanceStat2"_s);
    PanelDayStat = makePanel(this, u"PanelDayStat"_s, u"当日财务状况"_s, TFrameFinanceStat1);
    PanelMonthStat = makePanel(this, u"PanelMonthStat"_s, u"本月财务状况"_s, FrameFinanceStat1);
    PanelQuarterStat = makePanel(this, u"PanelQuarterStat"_s, u"本季度财务状况"_s, FrameFinanceStat2);
    addDockWidget(Qt::RightDockWidgetArea, PanelDayStat);
    splitDockWidget(PanelDayStat, PanelMonthStat, Qt::Vertical);
    splitDockWidget(PanelMonthStat, PanelQuarterStat, Qt::Vertical);
    resizeDocks({PanelSystime, PanelDayStat}, {185, 152}, Qt::Horizontal);
    resizeDocks({PanelSystime, PanelGuide}, {230, 160}, Qt::Vertical);

    const QList<QPair<QAction *, QDockWidget *>> views = {
        {ActionTime, PanelSystime}, {ActionGuide, PanelGuide}, {ActionDay, PanelDayStat},
        {ActionMonth, PanelMonthStat}, {ActionQutory, PanelQuarterStat}};
    for (const auto &[action, dock] : views) {
        QDockWidget *panel = dock;
        connect(action, &QAction::triggered, this, [this, panel](bool checked) {
            panel->setVisible(checked);
            UpdateActions();
        });
        connect(panel, &QDockWidget::visibilityChanged, this, &TFormMain::UpdateActions);
    }
    connect(SpTBXMonthDate1, &TSpTBXMonthDate::DateChanged, this, &TFormMain::SpTBXMonthDate1DateChanged);
}

void TFormMain::createStatusBar()
{
    tbxItemLoginUser = new QLabel(u"当前用户："_s, this);
    tbxItemLoginUser->setObjectName(u"tbxItemLoginUser"_s);
    tbxItemLoginUser->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    tbxItemLoginUser->setMinimumWidth(140);
    SpTBXItem5 = new QLabel(this);
    SpTBXItem5->setObjectName(u"SpTBXItem5"_s);
    SpTBXItem22 = new QLabel(u"Email："_s + SupportEmail(), this);
    SpTBXItem22->setObjectName(u"SpTBXItem22"_s);
    for (QLabel *l : {SpTBXItem5, SpTBXItem22}) {
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
    }
    SpTBXItem5->setToolTip(u"打开官方网站"_s);
    SpTBXItem22->setToolTip(u"复制邮件地址"_s);
    statusBar()->addWidget(tbxItemLoginUser);
    statusBar()->addPermanentWidget(SpTBXItem5);
    statusBar()->addPermanentWidget(SpTBXItem22);
    // The clickable items are labels; their clicks come through this window's event filter.
}

bool TFormMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == SpTBXItem5)
            SpTBXItem5Click();
        else if (watched == SpTBXItem22)
            SpTBXItem22Click();
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- showing, closing and the start sequence ---------------------------------------------------

void TFormMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_started) {
        m_started = true;
        // After the window is on screen, as the first show handler of the program.
        QMetaObject::invokeMethod(this, &TFormMain::StartSequence, Qt::QueuedConnection);
    }
}

void TFormMain::StartSequence()
{
    m_started = true;
    if (QRandomGenerator::global()->bounded(5) == 3 && browserConfigured())
        m_dm.OpenUrl(QUrl(HomePage()));
    setWindowTitle(u"青柚流水帐"_s);
    RestoreLayout();

    const QString file = m_dm.DefaultDataFile();
    // A restore chosen in the last run takes effect now, before the file is opened.
    bool applied = false;
    QString error;
    if (!TAccessDatabase::ApplyStagedRestore(file, &Schema::IsDataFile, &applied, &error))
        m_dm.ShowMessageBox(error, mtError, mbOK);
    else if (applied)
        m_dm.ShowMessageBox(u"数据已从备份恢复。\r\n原来的数据保存在："_s
                                + QDir::toNativeSeparators(TAccessDatabase::PreviousDataName(file)),
                            mtInformation, mbOK);

    if (!QFileInfo::exists(file)) {
        m_dm.ShowMessageBox(u"数据库文件丢失！"_s, mtInformation, mbOK);
        close();
        return;
    }
    if (m_dm.IsConnected())
        m_dm.CloseConnection();
    if (!m_dm.OpenConnection(BuildJetConnectionString(file, TShareDM::DatabasePassword()), true, &error)) {
        m_dm.ShowMessageBox(error, mtError, mbOK);
        close();
        return;
    }
    m_dm.CreateMaintenance();
    if (!LoginStep())
        close();
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    SaveLayout();
    event->accept();
}

bool TFormMain::LoginStep()
{
    if (FormLogin->exec() != QDialog::Accepted)
        return false;
    ShowTab(u"账簿管理"_s);
    RefreshActiveTab();
    PostRefreshStat();
    tbxItemLoginUser->setText(u"当前用户："_s + m_dm.LoginUser().UserName);
    UpdateActions();
    return true;
}

// --- tabs, calendar and the summary message ------------------------------------------------------

void TFormMain::RefreshActiveTab()
{
    // Nothing to show before a user logged in.
    if (!m_dm.LoggedIn())
        return;
    QWidget *active = SpTBXTabControl1->currentWidget();
    if (active == SpTBXTabSheet1)
        TFrameGetPayReport1->RefreshReport();
    else if (active == SpTBXTabSheet2)
        TFrameMoneyReport1->RefreshReport();
    else if (active == SpTBXTabSheet3)
        TFrameBookHouse1->LoadBooks();
    else if (active == SpTBXTabSheet4)
        TFrameCustomStat1->BuildStatistics();
}

void TFormMain::ShowTab(const QString &caption)
{
    for (int i = 0; i < SpTBXTabControl1->count(); ++i) {
        if (SpTBXTabControl1->tabText(i) != caption)
            continue;
        if (SpTBXTabControl1->currentIndex() == i)
            RefreshActiveTab();
        else
            SpTBXTabControl1->setCurrentIndex(i); // the tab change reloads it
        return;
    }
}

void TFormMain::SpTBXTabControl1ActiveTabChange(int)
{
    RefreshActiveTab();
}

void TFormMain::SpTBXMonthDate1DateChanged(const QDate &date)
{
    m_selectedDate = date;
    const QString d = SqlText::DateText(date);
    const QString a = u" and "_s;
    TFrameMoneyReport1->FilterList.setValue(u"MoneyBaseFilter"_s, QString());
    TFrameMoneyReport1->FilterList.setValue(u"MoneyDateFilter"_s, SqlText::OnDateCondition(u"MoneyDate"_s, d, a));
    TFrameGetPayReport1->FilterList.setValue(u"GetPayFilter"_s, SqlText::OnDateCondition(u"GetPayDate"_s, d, a));
    TFrameGetPayReport1->FilterList.setValue(u"MoneyFilter"_s, SqlText::UpToDateCondition(u"MoneyDate"_s, d, a));
    TFrameCustomStat1->FilterList.setValue(u"MoneyBaseFilter"_s, QString());
    TFrameCustomStat1->FilterList.setValue(u"MoneyDateFilter"_s, SqlText::UpToDateCondition(u"MoneyDate"_s, d, a));
    TFrameCustomStat1->FilterList.setValue(u"GetPayRecordFilter"_s, SqlText::UpToDateCondition(u"GetPayDate"_s, d, a));
    if (m_dm.LoggedIn() && !m_reloadPending) {
        // The calendar may report one pick twice; the reports reload once per pick.
        m_reloadPending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_reloadPending = false;
                RefreshActiveTab();
                PostRefreshStat();
            },
            Qt::QueuedConnection);
    }
}

void TFormMain::PostRefreshStat()
{
    QCoreApplication::postEvent(this, new QEvent(QEvent::Type(WM_REFRESHSTAT)));
}

void TFormMain::customEvent(QEvent *event)
{
    if (int(event->type()) != WM_REFRESHSTAT) {
        QMainWindow::customEvent(event);
        return;
    }
    TFrameFinanceStat1->RefreshSummary();
    FrameFinanceStat1->RefreshSummary();
    FrameFinanceStat2->RefreshSummary();
    ++m_refreshStatCount;
    Q_EMIT SummaryRefreshed();
}

// --- layout ----------------------------------------------------------------------------------------

QString TFormMain::LayoutFile() const
{
    return m_dm.GetAppPath() + u"Postion.ini"_s;
}

void TFormMain::RestoreLayout()
{
    SpTBXItem5->setText(u"官方网站："_s + HomePage());
    QString path = m_dm.ReadStringSetting(u"AutoPath"_s, QString());
    if (path.isEmpty()) {
        path = TShareDM::LastFixedDrive() + u"青柚流水帐"_s + u"备份"_s;
        m_dm.WriteStringSetting(u"AutoPath"_s, path);
        QDir().mkpath(path);
    }
    PanelQuarterStat->setVisible(m_dm.ReadBoolSetting(u"FinanceQutory"_s, false));

    if (QFileInfo::exists(LayoutFile())) {
        QSettings ini(LayoutFile(), QSettings::IniFormat);
        if (ini.status() == QSettings::NoError) {
            restoreState(ini.value(u"FormMain/State"_s).toByteArray());
            const QList<QDockWidget *> docks = findChildren<QDockWidget *>();
            for (QDockWidget *dock : docks) {
                const QString group = u"FormMain."_s + dock->objectName() + u'/';
                if (ini.contains(group + u"Visible"_s))
                    dock->setVisible(ini.value(group + u"Visible"_s).toBool());
                if (auto *title = dynamic_cast<TDockTitle *>(dock->titleBarWidget()))
                    title->SetMinimized(ini.value(group + u"Minimized"_s, false).toBool());
            }
            m_leftWidth = ini.value(u"FormMain.Splitter1/SplitterRestorePos"_s, m_leftWidth).toInt();
            m_rightWidth = ini.value(u"FormMain.Splitter2/SplitterRestorePos"_s, m_rightWidth).toInt();
            const auto collapsed = [&](const QString &key, QList<QDockWidget *> &list, TSplitterBar *bar) {
                const QStringList names = ini.value(key + u"/CollapsedPanels"_s).toStringList();
                if (!ini.value(key + u"/Collapsed"_s, false).toBool())
                    return;
                list.clear();
                for (const QString &n : names) {
                    if (auto *dock = findChild<QDockWidget *>(n))
                        list << dock;
                }
                bar->SetCollapsed(true);
            };
            collapsed(u"FormMain.Splitter1"_s, m_collapsedLeft, Splitter1);
            collapsed(u"FormMain.Splitter2"_s, m_collapsedRight, Splitter2);
        }
    }
    ApplySkin(m_dm.ReadStringSetting(u"SoftSkin"_s, u"Office 2007 Blue"_s));
    m_dm.SetWorkDate(QDate::currentDate());
    TFrameMoneyReport1->LoadColumnLayout();
    TFrameGetPayReport1->LoadColumnLayout();
    UpdateActions();
}

void TFormMain::SaveLayout()
{
    m_dm.WriteStringSetting(u"SoftSkin"_s, Skins::CurrentSkin());
    m_dm.WriteBoolSetting(u"FinanceQutory"_s, !PanelQuarterStat->isHidden());

    QSettings ini(LayoutFile(), QSettings::IniFormat);
    ini.clear();
    ini.setValue(u"FormMain/State"_s, saveState());
    const QList<QDockWidget *> docks = findChildren<QDockWidget *>();
    for (QDockWidget *dock : docks) {
        const QString group = u"FormMain."_s + dock->objectName() + u'/';
        ini.setValue(group + u"Visible"_s, !dock->isHidden());
        ini.setValue(group + u"DockedTo"_s, QString::fromLatin1(kDockArea(dockWidgetArea(dock))));
        ini.setValue(group + u"Floating"_s, dock->isFloating());
        if (auto *title = dynamic_cast<TDockTitle *>(dock->titleBarWidget()))
            ini.setValue(group + u"Minimized"_s, title->Minimized());
    }
    const auto side = [&](const QString &key, Qt::DockWidgetArea area, int width, const QList<QDockWidget *> &list) {
        ini.setValue(key + u"/SplitterRestorePos"_s, width);
        ini.setValue(key + u"/Collapsed"_s, SideCollapsed(area));
        QStringList names;
        for (QDockWidget *d : list)
            names << d->objectName();
        ini.setValue(key + u"/CollapsedPanels"_s, names);
    };
    side(u"FormMain.Splitter1"_s, Qt::LeftDockWidgetArea, m_leftWidth, m_collapsedLeft);
    side(u"FormMain.Splitter2"_s, Qt::RightDockWidgetArea, m_rightWidth, m_collapsedRight);
    ini.sync();
    TFrameMoneyReport1->SaveColumnLayout();
    TFrameGetPayReport1->SaveColumnLayout();
}

void TFormMain::ApplySkin(const QString &name)
{
    const QString applied = Skins::ApplySkin(name);
    for (QAction *a : SkinGroup->actions())
        a->setChecked(a->data().toString() == applied);
    SpTBXMonthDate1->SetSkinName(applied);
}

// --- side docks ----------------------------------------------------------------------------------

QList<QDockWidget *> TFormMain::Docks(Qt::DockWidgetArea area) const
{
    QList<QDockWidget *> out;
    const QList<QDockWidget *> docks = findChildren<QDockWidget *>();
    for (QDockWidget *d : docks) {
        if (!d->isFloating() && dockWidgetArea(d) == area)
            out << d;
    }
    return out;
}

bool TFormMain::SideCollapsed(Qt::DockWidgetArea area) const
{
    return (area == Qt::LeftDockWidgetArea ? Splitter1 : Splitter2)->Collapsed();
}

void TFormMain::ToggleSide(Qt::DockWidgetArea area)
{
    const bool left = area == Qt::LeftDockWidgetArea;
    TSplitterBar *bar = left ? Splitter1 : Splitter2;
    QList<QDockWidget *> &hidden = left ? m_collapsedLeft : m_collapsedRight;
    int &width = left ? m_leftWidth : m_rightWidth;
    if (!bar->Collapsed()) {
        hidden.clear();
        for (QDockWidget *d : Docks(area)) {
            if (!d->isHidden()) {
                hidden << d;
                width = d->width();
            }
        }
        for (QDockWidget *d : std::as_const(hidden))
            d->hide();
        bar->SetCollapsed(true);
    } else {
        const QList<QDockWidget *> panels = hidden.isEmpty() ? Docks(area) : hidden;
        for (QDockWidget *d : panels)
            d->show();
        if (!panels.isEmpty())
            resizeDocks({panels.first()}, {width}, Qt::Horizontal);
        hidden.clear();
        bar->SetCollapsed(false);
    }
    UpdateActions();
}

void TFormMain::UpdateActions()
{
    const TLoginUser &user = m_dm.LoginUser();
    ActionRestoreData->setEnabled(user.UserRestore);
    ActionClearData->setEnabled(user.UserName == TLoginUser::AdminName());
    // The settings dialog and the receivable/payable editor are not in this version yet: their
    // commands stay off and say so rather than open nothing.
    ActionSetting->setEnabled(false);
    ActionSetting->setToolTip(u"参数设置将在后续版本中提供"_s);
    ActionGet->setEnabled(false);
    ActionPay->setEnabled(false);
    ActionGet->setToolTip(u"待收待付记账将在后续版本中提供"_s);
    ActionPay->setToolTip(ActionGet->toolTip());
    ActionLeft->setChecked(!SideCollapsed(Qt::LeftDockWidgetArea));
    ActionRight->setChecked(!SideCollapsed(Qt::RightDockWidgetArea));
    ActionTime->setChecked(!PanelSystime->isHidden());
    ActionGuide->setChecked(!PanelGuide->isHidden());
    ActionDay->setChecked(!PanelDayStat->isHidden());
    ActionMonth->setChecked(!PanelMonthStat->isHidden());
    ActionQutory->setChecked(!PanelQuarterStat->isHidden());
}

// --- commands ----------------------------------------------------------------------------------------

void TFormMain::SpTBXItem5Click()
{
    m_dm.OpenUrl(QUrl(HomePage()));
}

void TFormMain::SpTBXItem22Click()
{
    QGuiApplication::clipboard()->setText(SupportEmail());
    m_dm.ShowMessageBox(u"E-mail:"_s + SupportEmail() + u"已经复制到粘贴板"_s, mtInformation, mbOK);
}

void TFormMain::OpenMoneyEditor(const QString &kind)
{
    if (!m_dm.CheckCreateRight())
        return;
    FormMoneyEditor->VoucherKind = kind;
    FormMoneyEditor->OpenMode = 0;
    if (FormMoneyEditor->exec() == QDialog::Accepted)
        RefreshActiveTab();
}

void TFormMain::ActionMoneyInExecute()
{
    OpenMoneyEditor(u"财务收入"_s);
}

void TFormMain::ActionMoneyOutExecute()
{
    OpenMoneyEditor(u"财务支出"_s);
}

void TFormMain::ActionGetExecute()
{
    // Off until the receivable/payable editor is part of the program (see UpdateActions).
}

void TFormMain::ActionPayExecute()
{
}

void TFormMain::ActionReLoginExecute()
{
    LoginStep();
}

void TFormMain::ActionBackupDataExecute()
{
    m_dm.BackupDataAs();
}

void TFormMain::ActionRestoreDataExecute()
{
    if (!m_dm.LoginUser().UserRestore)
        return;
    if (m_dm.RestoreData())
        QTimer::singleShot(0, this, &QWidget::close); // the program ends normally, backup included
}

void TFormMain::ActionClearDataExecute()
{
    if (m_dm.LoginUser().UserName != TLoginUser::AdminName())
        return;
    if (m_dm.ShowMessageBox(u"确定要清空当前数据？\n\r警告：数据清空后无法恢复！！"_s, mtWarning, mbYes | mbCancel) != mrYes)
        return;
    m_dm.ClearData();
    // Not showing vouchers that no longer exist.
    RefreshActiveTab();
    PostRefreshStat();
}

void TFormMain::ActionSettingExecute()
{
    // Off until the settings dialog is part of the program (see UpdateActions).
}

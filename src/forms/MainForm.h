#pragma once

#include <QDate>
#include <QMainWindow>

class QAction;
class QActionGroup;
class QDockWidget;
class QLabel;
class QMenu;
class QTabWidget;
class QToolBar;
class TFormLogin;
class TFormMoneyEditor;
class TFormMoneySearch;
class TFrameBookHouse;
class TFrameCustomStat;
class TFrameFinanceStat;
class TFrameGetPayReport;
class TFrameMoneyReport;
class TFrameUserGuide;
class TShareDM;
class TSpTBXMonthDate;
class TSplitterBar;

// The main window: menus and toolbar that start every command, the calendar and guide on the
// left, the three period summaries on the right and the four report tabs in the centre. It
// owns the picked date, rewrites the report filters on every date change and recomputes the
// summaries when WM_REFRESHSTAT arrives.
class TFormMain : public QMainWindow
{
    Q_OBJECT
public:
    // The private message that makes the summary panels recompute (posted, never sent).
    static constexpr int WM_REFRESHSTAT = 34777;

    explicit TFormMain(TShareDM &dm, QWidget *parent = nullptr);
    ~TFormMain() override;

    TShareDM &DataModule() const { return m_dm; }
    QDate SelectedDate() const { return m_selectedDate; }

    void ShowTab(const QString &caption);
    void RefreshActiveTab();
    void RestoreLayout();
    void SaveLayout();
    // The login step: true when a user logged in (a cancelled re-login keeps the user).
    bool LoginStep();
    void PostRefreshStat();
    // The start sequence of the first show (public for tests that drive it step by step).
    void StartSequence();
    bool Started() const { return m_started; }
    // Re-evaluates the enabled and checked states of the actions.
    void UpdateActions();

    static QString HomePage();
    static QString SupportEmail();

    // Components, named as the program's documentation names them.
    QAction *ActionMoneyIn, *ActionMoneyOut, *ActionGet, *ActionPay, *ActionLeft, *ActionRight, *ActionExit;
    QAction *ActionReLogin, *ActionBackupData, *ActionRestoreData, *ActionClearData, *ActionSetting, *ActiontSysExit;
    QAction *ActionTime, *ActionGuide, *ActionDay, *ActionMonth, *ActionQutory;
    QAction *SpTBXItem7 = nullptr; // "在线服务"
    QMenu *SkinMenu = nullptr;
    QActionGroup *SkinGroup = nullptr;
    QToolBar *Toolbar1 = nullptr;
    QDockWidget *PanelSystime, *PanelGuide, *PanelDayStat, *PanelMonthStat, *PanelQuarterStat;
    TSpTBXMonthDate *SpTBXMonthDate1 = nullptr;
    TFrameUserGuide *TFrameUserGuide1 = nullptr;
    TFrameFinanceStat *TFrameFinanceStat1 = nullptr, *FrameFinanceStat1 = nullptr, *FrameFinanceStat2 = nullptr;
    QTabWidget *SpTBXTabControl1 = nullptr;
    QWidget *SpTBXTabSheet3, *SpTBXTabSheet2, *SpTBXTabSheet1, *SpTBXTabSheet4;
    TFrameBookHouse *TFrameBookHouse1 = nullptr;
    TFrameMoneyReport *TFrameMoneyReport1 = nullptr;
    TFrameGetPayReport *TFrameGetPayReport1 = nullptr;
    TFrameCustomStat *TFrameCustomStat1 = nullptr;
    TSplitterBar *Splitter1 = nullptr, *Splitter2 = nullptr;
    QLabel *tbxItemLoginUser = nullptr, *SpTBXItem5 = nullptr, *SpTBXItem22 = nullptr;
    TFormLogin *FormLogin = nullptr;
    TFormMoneyEditor *FormMoneyEditor = nullptr;
    TFormMoneySearch *FormMoneySearch = nullptr;

    int RefreshStatCount() const { return m_refreshStatCount; }

Q_SIGNALS:
    // After a refresh of the summary panels (tests wait for it).
    void SummaryRefreshed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void customEvent(QEvent *event) override;

private:
    void FormCreate();
    void createActions();
    void createMenus();
    void createDocks();
    void createCentre();
    void createStatusBar();
    void SpTBXTabControl1ActiveTabChange(int index);
    void SpTBXMonthDate1DateChanged(const QDate &date);
    void ToggleSide(Qt::DockWidgetArea area);
    bool SideCollapsed(Qt::DockWidgetArea area) const;
    QList<QDockWidget *> Docks(Qt::DockWidgetArea area) const;
    void SpTBXItem5Click();
    void SpTBXItem22Click();
    void ActionMoneyInExecute();
    void ActionMoneyOutExecute();
    void OpenMoneyEditor(const QString &kind);
    void ActionGetExecute();
    void ActionPayExecute();
    void ActionReLoginExecute();
    void ActionBackupDataExecute();
    void ActionRestoreDataExecute();
    void ActionClearDataExecute();
    void ActionSettingExecute();
    void ApplySkin(const QString &name);
    QString LayoutFile() const;

    TShareDM &m_dm;
    QDate m_selectedDate;
    bool m_started = false;
    bool m_reloadPending = false;
    int m_refreshStatCount = 0;
    // Docks hidden by collapsing a side, to bring back on restore.
    QList<QDockWidget *> m_collapsedLeft, m_collapsedRight;
    int m_leftWidth = 185, m_rightWidth = 152;
};

// The thin clickable bar between a side dock and the centre that collapses and restores it.
class TSplitterBar : public QWidget
{
    Q_OBJECT
public:
    TSplitterBar(Qt::ArrowType pointing, QWidget *parent = nullptr);
    void SetCollapsed(bool collapsed);
    bool Collapsed() const { return m_collapsed; }
Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    Qt::ArrowType m_pointing;
    bool m_collapsed = false;
};

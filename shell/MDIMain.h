#pragma once

#include "shell/WindowRegistry.h"

#include <QMainWindow>

#include <functional>

class PictureMdiArea;
class QAbstractButton;
class QAction;
class ReportControl;
class QKeyEvent;
class QLabel;
class QMdiArea;
class QMenu;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;

// The main window: the frame every child window opens in, with the program's menus, toolbar and status bar, and the
// one instance of each window (see WindowRegistry).
class MDIMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit MDIMain(QWidget* parent = nullptr);
    ~MDIMain() override;

    // The program's one main window (nullptr before it is made and after it is gone).
    static MDIMain* instance();

    QMdiArea* mdiArea() const;
    WindowRegistry* windows() const { return m_windows; }

    // The one instance of a window class: implicit load (hidden), show (load or bring up), unload, is-loaded.
    template <class T> T* child() { return m_windows->load<T>(); }
    template <class T> T* showChild() { return m_windows->show<T>(); }
    template <class T> bool unloadChild() { return m_windows->unload<T>(); }
    template <class T> bool isLoaded() const { return m_windows->isLoaded<T>(); }
    void showCustomerWindow();
    void showParameterWindow();
    void connectSurveyWindows();

    // Opening a window from the main window: hourglass, "Opening Form..." in panel 1 when asked for, the steps,
    // then "" and the normal cursor.
    void opening(bool showOpeningText, const std::function<void()>& steps);
    template <class T> T* openChild(bool showOpeningText)
    {
        T* window = nullptr;
        opening(showOpeningText, [&] { window = showChild<T>(); });
        return window;
    }

    // Panel 1 of the status bar: what the program is busy with, "" when idle.
    void setStatusText(const QString& text);
    QString statusText() const;
    QString clockText() const;
    // The hourglass is a state of the main window (and the child windows in it), not a stack.
    void setBusy(bool busy);
    bool isBusy() const;

    // Menu items and toolbar entries carry the names the rest of the program knows them by.
    QMenu* mnuFile = nullptr;
    QAction* mnuCusAndResp = nullptr;
    QAction* mnuPrameter = nullptr;
    QAction* mnuSettings = nullptr;
    QAction* mnuDash = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuSurveyDefine = nullptr;
    QAction* mnuNewSurvey = nullptr;
    QAction* mnuEditSurvey = nullptr;
    QAction* mnuEmailSurveys = nullptr;
    QMenu* mnuFeedBack = nullptr;
    QAction* mnuObjective = nullptr;
    QAction* mnuReadMultipleFiles = nullptr;
    QMenu* mnuAnalysis = nullptr;
    QAction* mnuSurveyResponseAnalysis = nullptr;
    QAction* mnuSatisfactionOverviewAnalysis = nullptr;
    QAction* mnuImprovementPlanAnalysis = nullptr;
    QAction* mnuSatisfactionIndex = nullptr;
    QAction* mnuPerformanceMatrix = nullptr;
    QAction* mnuImprovementPlan = nullptr;
    QAction* mnuSearch = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuGettingStarted = nullptr;
    QAction* mnuDralHelp = nullptr;
    QAction* mnuDash5 = nullptr;
    QAction* mnuAbout = nullptr;
    // Never in the menu bar: shown as a context menu.
    QMenu* mnuEdit = nullptr;
    QAction* mnuDelete = nullptr;
    QMenu* mnuUpdateStatus = nullptr;
    QAction* mnucomplete = nullptr;
    QAction* mnunotcomplete = nullptr;

    QToolBar* tlbHold = nullptr;
    // The toolbar's buttons, by key "Customer" (with its drop-down menu), "Close" and "terminate".
    QAction* btnCustomer = nullptr;
    QAction* btnClose = nullptr;
    QAction* btnTerminate = nullptr;
    QToolButton* btnCustomerButton = nullptr;
    // The drop-down menu of "Customer", entries by key "Customer", "Parameter", "Question", "ObjAndDesc",
    // "Improvement".
    QMenu* mnuOpenForm = nullptr;
    QAction* btnmCustomer = nullptr;
    QAction* btnmParameter = nullptr;
    QAction* btnmQuestion = nullptr;
    QAction* btnmObjAndDesc = nullptr;
    QAction* btnmImprovement = nullptr;

    QStatusBar* stsBar = nullptr;
    // The report control the analysis windows print through.
    ReportControl* crpReport = nullptr;

    // Handlers.
    void mnuCusAndResp_Click();
    void mnuPrameter_Click();
    void mnuObjective_Click();
    void mnuReadMultipleFiles_Click();
    void mnuExit_Click();
    void mnuGettingStarted_Click();
    void mnuDralHelp_Click();
    void mnuDelete_Click();
    void mnucomplete_Click();
    void mnunotcomplete_Click();
    void tlbHold_ButtonClick(const QString& key);
    void tlbHold_ButtonMenuClick(const QString& key);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The active child window's one button whose underlined letter the key is, if any.
    QAbstractButton* mnemonicButton(QObject* receiver, const QKeyEvent* key) const;
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void connectHandlers();
    void updateClock();
    void endProgram();

    PictureMdiArea* m_mdiArea = nullptr;
    WindowRegistry* m_windows = nullptr;
    QLabel* m_panelText = nullptr;
    QLabel* m_panelTime = nullptr;
    QTimer* m_clock = nullptr;
};

// The program's one main window.
MDIMain* mdiMain();

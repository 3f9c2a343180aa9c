#include "shell/MDIMain.h"

#include "analysis/frmDateToDate.h"
#include "analysis/frmDtoDActionPlan.h"
#include "analysis/frmDtoDSatisfactionOverview.h"
#include "analysis/frmImprovementPlan.h"
#include "analysis/frmPerformanceMatrix.h"
#include "analysis/frmSatisfactionIndex.h"
#include "analysis/frmSearch.h"
#include "feedback/frmFeedBackObj.h"
#include "feedback/frmReading.h"
#include "masterdata/frmCustomer.h"
#include "masterdata/frmParameter.h"
#include "platform/files/Picture.h"
#include "shell/Progress.h"
#include "surveys/SurveyWindows.h"
#include "surveys/frmEditExistingSurvey.h"
#include "surveys/frmLogDetails.h"
#include "surveys/frmNewSurvey.h"
#include "surveys/frmSelectSurvey.h"

#include "platform/dialogs/MsgBox.h"
#include "platform/help/HelpWindow.h"
#include "platform/report/ReportControl.h"
#include "shell/HelpTopics.h"
#include "shell/PictureMdiArea.h"
#include "shell/frmAboutUs.h"
#include "shell/frmSetting.h"
#include "shell/gblGlobal.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace
{

MDIMain* s_instance = nullptr;

const QString openingFormText = QStringLiteral("Opening Form...");

// Positions and sizes are given in twips, 15 to a pixel.
constexpr int twips(int value)
{
    return value / 15;
}

QAction* menuItem(QMenu* menu, QAction*& member, const char* name, const QString& caption,
                  const QKeySequence& shortcut = QKeySequence())
{
    member = menu->addAction(caption);
    member->setObjectName(QLatin1String(name));
    member->setShortcut(shortcut);
    // Enabled when its window is built and its handler connected.
    member->setEnabled(false);
    return member;
}

QMenu* topMenu(QMenuBar* bar, QMenu*& member, const char* name, const QString& caption)
{
    member = bar->addMenu(caption);
    member->setObjectName(QLatin1String(name));
    return member;
}

QAction* separator(QMenu* menu, QAction*& member, const char* name)
{
    member = menu->addSeparator();
    member->setObjectName(QLatin1String(name));
    return member;
}

QAction* dropDownEntry(QMenu* menu, QAction*& member, const char* name, const QString& caption, const QString& key)
{
    member = menu->addAction(caption);
    member->setObjectName(QLatin1String(name));
    member->setData(key);
    member->setEnabled(false);
    return member;
}

QIcon picture(const QString& fileName)
{
    return QIcon(QPixmap::fromImage(Picture::read(programFile(fileName))));
}

} // namespace

MDIMain* MDIMain::instance()
{
    return s_instance;
}

MDIMain* mdiMain()
{
    return MDIMain::instance();
}

MDIMain::MDIMain(QWidget* parent) : QMainWindow(parent)
{
    s_instance = this;
    setObjectName(QStringLiteral("MDIMain"));
    setWindowTitle(QStringLiteral("Quorvane"));
    setWindowIcon(picture(QStringLiteral("logo.png")));
    m_mdiArea = new PictureMdiArea(this);
    m_mdiArea->setObjectName(QStringLiteral("m_mdiArea"));
    m_mdiArea->setPicture(QPixmap::fromImage(Picture::read(programFile(QStringLiteral("background.png")))));
    setCentralWidget(m_mdiArea);
    m_windows = new WindowRegistry(m_mdiArea, this);
    m_windows->setObjectName(QStringLiteral("m_windows"));
    crpReport = new ReportControl(this);
    crpReport->setObjectName(QStringLiteral("crpReport"));

    buildToolBar();
    buildStatusBar();
    buildMenus();
    connectHandlers();
    connectSurveyWindows();
    // The normal size; the window starts maximised, as the status bar's panels are laid out for a full screen.
    resize(1024, 720);
    setWindowState(windowState() | Qt::WindowMaximized);
    // Every window reports progress through Progress; panel 1 shows it.
    Progress::setTextSink([this](const QString& text) { m_panelText->setText(text); });
    // Alt and a letter goes to the active window's own button before the menu with the same letter.
    qApp->installEventFilter(this);
}

MDIMain::~MDIMain()
{
    if (s_instance == this) {
        s_instance = nullptr;
        Progress::setTextSink({});
        SurveyWindows::useDefaults();
    }
}

QAbstractButton* MDIMain::mnemonicButton(QObject* receiver, const QKeyEvent* key) const
{
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::AltModifier || key->key() < Qt::Key_0 ||
        key->key() > Qt::Key_Z || !receiver->isWidgetType() || static_cast<QWidget*>(receiver)->window() != this)
        return nullptr;
    const QMdiSubWindow* active = m_mdiArea->activeSubWindow();
    if (!active || !active->widget())
        return nullptr;
    const QKeySequence wanted(Qt::ALT | Qt::Key(key->key()));
    QAbstractButton* found = nullptr;
    for (QAbstractButton* button : active->widget()->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(active) || !button->isEnabled() || QKeySequence::mnemonic(button->text()) != wanted)
            continue;
        // Two buttons with one letter are left to Qt, which moves between them.
        if (found)
            return nullptr;
        found = button;
    }
    return found;
}

bool MDIMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (QAbstractButton* button = mnemonicButton(watched, key)) {
            // Taking the override keeps the menu's shortcut from firing; the key press that follows presses the button.
            if (event->type() == QEvent::ShortcutOverride) {
                event->accept();
            } else {
                button->setFocus(Qt::ShortcutFocusReason);
                button->click();
            }
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

QMdiArea* MDIMain::mdiArea() const
{
    return m_mdiArea;
}

void MDIMain::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    topMenu(bar, mnuFile, "mnuFile", QStringLiteral("&File"));
    menuItem(mnuFile, mnuCusAndResp, "mnuCusAndResp", QStringLiteral("&Customer And Respondent"),
             QKeySequence(Qt::CTRL | Qt::Key_U));
    menuItem(mnuFile, mnuPrameter, "mnuPrameter", QStringLiteral("&Parameter"), QKeySequence(Qt::CTRL | Qt::Key_P));
    menuItem(mnuFile, mnuSettings, "mnuSettings", QStringLiteral("&Settings"));
    separator(mnuFile, mnuDash, "mnuDash");
    menuItem(mnuFile, mnuExit, "mnuExit", QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q));

    topMenu(bar, mnuSurveyDefine, "mnuSurveyDefine", QStringLiteral("&Define Survey"));
    menuItem(mnuSurveyDefine, mnuNewSurvey, "mnuNewSurvey", QStringLiteral("&New Survey"),
             QKeySequence(Qt::CTRL | Qt::Key_N));
    menuItem(mnuSurveyDefine, mnuEditSurvey, "mnuEditSurvey", QStringLiteral("&Edit Survey"),
             QKeySequence(Qt::CTRL | Qt::Key_E));
    menuItem(mnuSurveyDefine, mnuEmailSurveys, "mnuEmailSurveys", QStringLiteral("Email &Surveys"),
             QKeySequence(Qt::CTRL | Qt::Key_M));

    topMenu(bar, mnuFeedBack, "mnuFeedBack", QStringLiteral("FeedBac&k"));
    menuItem(mnuFeedBack, mnuObjective, "mnuObjective", QStringLiteral("&Survey"), QKeySequence(Qt::CTRL | Qt::Key_O));
    menuItem(mnuFeedBack, mnuReadMultipleFiles, "mnuReadMultipleFiles", QStringLiteral("&Read Multiple Files"),
             QKeySequence(Qt::CTRL | Qt::Key_R));

    topMenu(bar, mnuAnalysis, "mnuAnalysis", QStringLiteral("&Analysis"));
    menuItem(mnuAnalysis, mnuSurveyResponseAnalysis, "mnuSurveyResponseAnalysis",
             QStringLiteral("&Survey Response Analysis"));
    menuItem(mnuAnalysis, mnuSatisfactionOverviewAnalysis, "mnuSatisfactionOverviewAnalysis",
             QStringLiteral("Satisfaction &Overview Analysis"));
    mnuSatisfactionOverviewAnalysis->setVisible(false);
    menuItem(mnuAnalysis, mnuImprovementPlanAnalysis, "mnuImprovementPlanAnalysis",
             QStringLiteral("Improvement Plan &Analysis"));
    menuItem(mnuAnalysis, mnuSatisfactionIndex, "mnuSatisfactionIndex", QStringLiteral("Satisfaction &Index"));
    menuItem(mnuAnalysis, mnuPerformanceMatrix, "mnuPerformanceMatrix", QStringLiteral("&Performance Matrix"));

    // Top-level items without sub-items.
    mnuImprovementPlan = bar->addAction(QStringLiteral("&Improvement Tracking"));
    mnuImprovementPlan->setObjectName(QStringLiteral("mnuImprovementPlan"));
    mnuImprovementPlan->setEnabled(false);
    mnuSearch = bar->addAction(QStringLiteral("&Search"));
    mnuSearch->setObjectName(QStringLiteral("mnuSearch"));
    mnuSearch->setEnabled(false);

    topMenu(bar, mnuHelp, "mnuHelp", QStringLiteral("&Help"));
    menuItem(mnuHelp, mnuGettingStarted, "mnuGettingStarted", QStringLiteral("&Getting Started"));
    menuItem(mnuHelp, mnuDralHelp, "mnuDralHelp", QStringLiteral("&Contents"), QKeySequence(Qt::Key_F1));
    separator(mnuHelp, mnuDash5, "mnuDash5");
    menuItem(mnuHelp, mnuAbout, "mnuAbout", QStringLiteral("Abo&ut"), QKeySequence(Qt::CTRL | Qt::Key_D));

    topMenu(bar, mnuEdit, "mnuEdit", QStringLiteral("&Edit"));
    mnuEdit->menuAction()->setVisible(false);
    menuItem(mnuEdit, mnuDelete, "mnuDelete", QStringLiteral("&Delete"));
    mnuUpdateStatus = mnuEdit->addMenu(QStringLiteral("&Update Status"));
    mnuUpdateStatus->setObjectName(QStringLiteral("mnuUpdateStatus"));
    menuItem(mnuUpdateStatus, mnucomplete, "mnucomplete", QStringLiteral("Complete"));
    menuItem(mnuUpdateStatus, mnunotcomplete, "mnunotcomplete", QStringLiteral("Not Complete"));
}

void MDIMain::buildToolBar()
{
    tlbHold = addToolBar(QStringLiteral("tlbHold"));
    tlbHold->setObjectName(QStringLiteral("tlbHold"));
    tlbHold->setMovable(false);
    tlbHold->setFloatable(false);
    tlbHold->setIconSize(QSize(24, 24));
    tlbHold->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tlbHold->toggleViewAction()->setVisible(false);

    mnuOpenForm = new QMenu(this);
    mnuOpenForm->setObjectName(QStringLiteral("mnuOpenForm"));
    dropDownEntry(mnuOpenForm, btnmCustomer, "btnmCustomer", QStringLiteral("&Customer And Respondent"),
                  QStringLiteral("Customer"));
    dropDownEntry(mnuOpenForm, btnmParameter, "btnmParameter", QStringLiteral("&Parameter"),
                  QStringLiteral("Parameter"));
    dropDownEntry(mnuOpenForm, btnmQuestion, "btnmQuestion", QStringLiteral("&New/Edit Survey"),
                  QStringLiteral("Question"));
    mnuOpenForm->addSeparator();
    dropDownEntry(mnuOpenForm, btnmObjAndDesc, "btnmObjAndDesc", QStringLiteral("&Survey"),
                  QStringLiteral("ObjAndDesc"));
    dropDownEntry(mnuOpenForm, btnmImprovement, "btnmImprovement", QStringLiteral("&Improvement Plan"),
                  QStringLiteral("Improvement"));

    btnCustomer = new QAction(picture(QStringLiteral("openform.png")), QString(), this);
    btnCustomer->setObjectName(QStringLiteral("btnCustomer"));
    btnCustomer->setToolTip(QStringLiteral("Open Form"));
    btnCustomer->setData(QStringLiteral("Customer"));
    btnCustomer->setMenu(mnuOpenForm);
    btnCustomer->setEnabled(false);
    tlbHold->addAction(btnCustomer);
    btnCustomerButton = qobject_cast<QToolButton*>(tlbHold->widgetForAction(btnCustomer));
    btnCustomerButton->setObjectName(QStringLiteral("btnCustomerButton"));
    btnCustomerButton->setPopupMode(QToolButton::MenuButtonPopup);

    btnClose = tlbHold->addAction(picture(QStringLiteral("closeform.png")), QString());
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setToolTip(QStringLiteral("Close Form"));
    btnClose->setData(QStringLiteral("Close"));

    btnTerminate = tlbHold->addAction(picture(QStringLiteral("endproject.png")), QString());
    btnTerminate->setObjectName(QStringLiteral("btnTerminate"));
    btnTerminate->setToolTip(QStringLiteral("End Project"));
    btnTerminate->setData(QStringLiteral("terminate"));
}

void MDIMain::buildStatusBar()
{
    stsBar = statusBar();
    stsBar->setObjectName(QStringLiteral("stsBar"));
    stsBar->setSizeGripEnabled(true);

    m_panelText = new QLabel(stsBar);
    m_panelText->setObjectName(QStringLiteral("m_panelText"));
    m_panelText->setMinimumWidth(twips(2000));
    m_panelText->setContentsMargins(4, 0, 4, 0);
    stsBar->addWidget(m_panelText, 1);

    auto* clockPicture = new QLabel(stsBar);
    clockPicture->setObjectName(QStringLiteral("clockPicture"));
    clockPicture->setPixmap(QPixmap::fromImage(Picture::read(programFile(QStringLiteral("clock.png")))));
    m_panelTime = new QLabel(stsBar);
    m_panelTime->setObjectName(QStringLiteral("m_panelTime"));
    m_panelTime->setMinimumWidth(twips(2540) - 24);
    m_panelTime->setAlignment(Qt::AlignCenter);
    stsBar->addPermanentWidget(clockPicture);
    stsBar->addPermanentWidget(m_panelTime);

    m_clock = new QTimer(this);
    m_clock->setObjectName(QStringLiteral("m_clock"));
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &MDIMain::updateClock);
    m_clock->start();
    updateClock();
}

void MDIMain::connectHandlers()
{
    // A named handler where opening takes more than showing the window, the window's own opening otherwise.
    const auto wire = [this](QAction* item, auto handler) {
        item->setEnabled(true);
        connect(item, &QAction::triggered, this, handler);
    };
    wire(mnuCusAndResp, &MDIMain::mnuCusAndResp_Click);
    wire(mnuPrameter, &MDIMain::mnuPrameter_Click);
    wire(mnuSettings, [this] { openChild<frmSetting>(false); });
    wire(mnuNewSurvey, [this] { openChild<frmSelectSurvey>(true); });
    wire(mnuEditSurvey, [this] { openChild<frmEditExistingSurvey>(true); });
    wire(mnuEmailSurveys, [this] { openChild<frmLogDetails>(true); });
    wire(mnuSurveyResponseAnalysis, [this] { openChild<frmDateToDate>(true); });
    // Stays hidden; a trigger from code still opens its window.
    wire(mnuSatisfactionOverviewAnalysis, [this] { openChild<frmDtoDSatisfactionOverview>(true); });
    wire(mnuImprovementPlanAnalysis, [this] { openChild<frmDtoDActionPlan>(false); });
    wire(mnuSatisfactionIndex, [this] { openChild<frmSatisfactionIndex>(true); });
    wire(mnuPerformanceMatrix, [this] { openChild<frmPerformanceMatrix>(true); });
    wire(mnuObjective, &MDIMain::mnuObjective_Click);
    wire(mnuReadMultipleFiles, &MDIMain::mnuReadMultipleFiles_Click);
    wire(mnuExit, &MDIMain::mnuExit_Click);
    wire(mnuGettingStarted, &MDIMain::mnuGettingStarted_Click);
    wire(mnuDralHelp, &MDIMain::mnuDralHelp_Click);
    wire(mnuAbout, [this] { openChild<frmAboutUs>(false); });
    wire(mnuImprovementPlan, [this] { openChild<frmImprovementPlan>(true); });
    wire(mnuSearch, [this] { openChild<frmSearch>(true); });
    wire(mnuDelete, &MDIMain::mnuDelete_Click);
    wire(mnucomplete, &MDIMain::mnucomplete_Click);
    wire(mnunotcomplete, &MDIMain::mnunotcomplete_Click);
    // "&New/Edit Survey" starts where Define Survey > New Survey does.
    for (QAction* entry : {btnCustomer, btnmCustomer, btnmParameter, btnmQuestion, btnmObjAndDesc, btnmImprovement})
        entry->setEnabled(true);

    for (QAction* button : {btnCustomer, btnClose, btnTerminate})
        connect(button, &QAction::triggered, this, [this, button] { tlbHold_ButtonClick(button->data().toString()); });
    connect(mnuOpenForm, &QMenu::triggered, this,
            [this](QAction* entry) { tlbHold_ButtonMenuClick(entry->data().toString()); });
}

void MDIMain::opening(bool showOpeningText, const std::function<void()>& steps)
{
    setBusy(true);
    if (showOpeningText)
        setStatusText(openingFormText);
    steps();
    if (showOpeningText)
        setStatusText(QString());
    setBusy(false);
}

void MDIMain::setStatusText(const QString& text)
{
    Progress::setText(text);
}

QString MDIMain::statusText() const
{
    return m_panelText->text();
}

QString MDIMain::clockText() const
{
    return m_panelTime->text();
}

void MDIMain::updateClock()
{
    m_panelTime->setText(QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat));
}

void MDIMain::setBusy(bool busy)
{
    Progress::setBusy(busy);
}

bool MDIMain::isBusy() const
{
    return Progress::busy();
}

void MDIMain::showCustomerWindow()
{
    frmCustomer* window = showChild<frmCustomer>();
    if (window && !window->txtCustomerDtls->isHidden())
        window->txtCustomerDtls->setFocus();
}

void MDIMain::showParameterWindow()
{
    frmParameter* window = showChild<frmParameter>();
    if (window) {
        window->txtParameterDtls->setVisible(true);
        window->txtParameterDtls->setFocus();
    }
}

void MDIMain::mnuCusAndResp_Click()
{
    opening(true, [this] {
        unloadChild<frmParameter>();
        showCustomerWindow();
    });
}

void MDIMain::mnuPrameter_Click()
{
    opening(true, [this] {
        unloadChild<frmCustomer>();
        showParameterWindow();
    });
}

// The survey windows reach each other through the main window's one instance of each.
void MDIMain::connectSurveyWindows()
{
    SurveyWindows::selectSurvey = [this] { return m_windows->find<frmSelectSurvey>(); };
    SurveyWindows::editExistingSurvey = [this] { return m_windows->find<frmEditExistingSurvey>(); };
    SurveyWindows::loadedNewSurvey = [this] { return m_windows->find<frmNewSurvey>(); };
    SurveyWindows::newSurvey = [this] { return m_windows->load<frmNewSurvey>(); };
    SurveyWindows::show = [this](QWidget* window) { m_windows->showWindow(window); };
    SurveyWindows::unload = [](QWidget* window) { WindowRegistry::unloadWindow(window); };
}

void MDIMain::mnuObjective_Click()
{
    opening(true, [this] {
        frmFeedBackObj* window = showChild<frmFeedBackObj>();
        if (window && !window->txtDtls->isHidden())
            window->txtDtls->setFocus();
    });
}

void MDIMain::mnuReadMultipleFiles_Click()
{
    opening(false, [this] {
        gPasteForNewSurvey = false;
        showChild<frmReading>();
    });
}

void MDIMain::mnuExit_Click()
{
    close();
}

void MDIMain::mnuGettingStarted_Click()
{
    const QString path = programFile(HelpWindow::presentationFileName());
    const auto notRun = [path] {
        MsgBox::show(QStringLiteral("Error running ") + path + QStringLiteral("...") + QStringLiteral("\r\n") +
                         QStringLiteral("Please ensure that you have a PDF viewer installed."),
                     MsgBox::Information, QStringLiteral("Quorvane"));
    };
    if (!HelpWindow::openPresentation(path, notRun))
        notRun();
}

void MDIMain::mnuDralHelp_Click()
{
    HelpTopics::showContents(this);
}

// The improvement-tracking window's context menu.
void MDIMain::mnuDelete_Click()
{
    if (MsgBox::show(QStringLiteral("Do you want to delete"), MsgBox::YesNo, QString::fromLatin1(kMessageTitle)) !=
        MsgBox::Yes)
        return;
    frmImprovementPlan* window = child<frmImprovementPlan>();
    window->toDeleteActionForSelectedCustomer();
    window->toFillListView();
}

void MDIMain::mnucomplete_Click()
{
    frmImprovementPlan* window = child<frmImprovementPlan>();
    window->StatusMode = 1;
    window->toupdateStatus();
}

void MDIMain::mnunotcomplete_Click()
{
    frmImprovementPlan* window = child<frmImprovementPlan>();
    window->StatusMode = 2;
    window->toupdateStatus();
}

void MDIMain::tlbHold_ButtonClick(const QString& key)
{
    setBusy(true);
    if (key == QLatin1String("Close")) {
        // The master-data and working windows only; survey, log, analysis and search windows stay open.
        for (const char* name : {"frmCustomer", "frmParameter", "frmFeedBackObj", "frmImprovementPlan"})
            m_windows->unload(name);
    } else if (key == QLatin1String("Customer")) {
        showCustomerWindow();
    } else if (key == QLatin1String("terminate")) {
        if (connectionIsOpen())
            toCloseConnection();
        endProgram();
    }
    setStatusText(QString());
    setBusy(false);
}

void MDIMain::tlbHold_ButtonMenuClick(const QString& key)
{
    // No window is unloaded first.
    opening(true, [this, &key] {
        if (key == QLatin1String("Customer"))
            showCustomerWindow();
        else if (key == QLatin1String("Parameter"))
            showParameterWindow();
        else if (key == QLatin1String("Question"))
            showChild<frmSelectSurvey>();
        else if (key == QLatin1String("ObjAndDesc"))
            showChild<frmFeedBackObj>();
        else if (key == QLatin1String("Improvement"))
            showChild<frmImprovementPlan>();
    });
}

void MDIMain::closeEvent(QCloseEvent* event)
{
    setStatusText(QString());
    if (connectionIsOpen()) {
        // The program ends at once, without the child windows' own close handling.
        toCloseConnection();
        endProgram();
        event->accept();
        return;
    }
    // Otherwise the child windows unload as usual, and the program ends when the last window has gone.
    if (!m_windows->unloadAll()) {
        event->ignore();
        return;
    }
    event->accept();
}

void MDIMain::endProgram()
{
    QCoreApplication::exit(0);
}

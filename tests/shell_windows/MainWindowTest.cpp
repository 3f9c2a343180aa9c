#include "MainWindowFixture.h"
#include "TestWindows.h"

#include "analysis/frmSearch.h"
#include "masterdata/frmCustomer.h"
#include "masterdata/frmParameter.h"
#include "platform/desktop/Desktop.h"
#include "platform/help/HelpDocument.h"
#include "platform/help/HelpWindow.h"
#include "shell/HelpTopics.h"
#include "shell/frmAboutUs.h"
#include "shell/frmSetting.h"
#include "shell/gblGlobal.h"
#include "surveys/frmEditExistingSurvey.h"
#include "surveys/frmLogDetails.h"
#include "surveys/frmNewSurvey.h"
#include "surveys/frmSelectSurvey.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTime>
#include <QToolBar>
#include <QToolButton>

namespace
{

using MainWindow = MainWindowFixture;

// The menus as the user sees them: visible items only, "-" for a separator, the shortcut after a tab.
void walk(QMenu* menu, const QString& indent, QStringList& lines)
{
    for (QAction* item : menu->actions()) {
        if (!item->isVisible())
            continue;
        if (item->isSeparator()) {
            lines << indent + QStringLiteral("-");
            continue;
        }
        QString line = indent + item->text();
        if (!item->shortcut().isEmpty())
            line += QLatin1Char('\t') + item->shortcut().toString(QKeySequence::PortableText);
        lines << line;
        if (item->menu())
            walk(item->menu(), indent + QStringLiteral("  "), lines);
    }
}

QStringList visibleMenuTree(QMenuBar* bar)
{
    QStringList lines;
    for (QAction* top : bar->actions()) {
        if (!top->isVisible())
            continue;
        lines << top->text();
        if (top->menu())
            walk(top->menu(), QStringLiteral("  "), lines);
    }
    return lines;
}

void pressKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

} // namespace

TEST_F(MainWindow, MenuBarShowsTheWholeTreeInOrderWithAccessKeysAndShortcuts)
{
    const QStringList expected = {
        QStringLiteral("&File"),
        QStringLiteral("  &Customer And Respondent\tCtrl+U"),
        QStringLiteral("  &Parameter\tCtrl+P"),
        QStringLiteral("  &Settings"),
        QStringLiteral("  -"),
        QStringLiteral("  E&xit\tCtrl+Q"),
        QStringLiteral("&Define Survey"),
        QStringLiteral("  &New Survey\tCtrl+N"),
        QStringLiteral("  &Edit Survey\tCtrl+E"),
        QStringLiteral("  Email &Surveys\tCtrl+M"),
        QStringLiteral("FeedBac&k"),
        QStringLiteral("  &Survey\tCtrl+O"),
        QStringLiteral("  &Read Multiple Files\tCtrl+R"),
        QStringLiteral("&Analysis"),
        QStringLiteral("  &Survey Response Analysis"),
        QStringLiteral("  Improvement Plan &Analysis"),
        QStringLiteral("  Satisfaction &Index"),
        QStringLiteral("  &Performance Matrix"),
        QStringLiteral("&Improvement Tracking"),
        QStringLiteral("&Search"),
        QStringLiteral("&Help"),
        QStringLiteral("  &Getting Started"),
        QStringLiteral("  &Contents\tF1"),
        QStringLiteral("  -"),
        QStringLiteral("  Abo&ut\tCtrl+D"),
    };
    EXPECT_EQ(visibleMenuTree(main()->menuBar()), expected);

    // The hidden context menu is built, with its items, for the windows that pop it up.
    ASSERT_NE(main()->mnuEdit, nullptr);
    EXPECT_FALSE(main()->mnuEdit->menuAction()->isVisible());
    EXPECT_EQ(main()->mnuEdit->title(), QStringLiteral("&Edit"));
    QStringList editItems;
    walk(main()->mnuEdit, QString(), editItems);
    EXPECT_EQ(editItems, (QStringList{QStringLiteral("&Delete"), QStringLiteral("&Update Status"),
                                      QStringLiteral("  Complete"), QStringLiteral("  Not Complete")}));
    // Defined, but never on the Analysis menu.
    ASSERT_NE(main()->mnuSatisfactionOverviewAnalysis, nullptr);
    EXPECT_EQ(main()->mnuSatisfactionOverviewAnalysis->text(), QStringLiteral("Satisfaction &Overview Analysis"));
    EXPECT_FALSE(main()->mnuSatisfactionOverviewAnalysis->isVisible());
}

TEST_F(MainWindow, ToolbarHasThreePictureButtonsAndTheOpenFormDropDown)
{
    QToolBar* toolbar = main()->findChild<QToolBar*>(QStringLiteral("tlbHold"));
    ASSERT_NE(toolbar, nullptr);
    QStringList tips;
    for (QAction* button : toolbar->actions()) {
        EXPECT_TRUE(button->text().isEmpty());
        EXPECT_FALSE(button->icon().isNull()) << button->toolTip().toStdString();
        tips << button->toolTip() + QLatin1Char('=') + button->data().toString();
    }
    EXPECT_EQ(tips, (QStringList{QStringLiteral("Open Form=Customer"), QStringLiteral("Close Form=Close"),
                                 QStringLiteral("End Project=terminate")}));
    EXPECT_EQ(main()->btnCustomerButton->popupMode(), QToolButton::MenuButtonPopup);
    QStringList entries;
    for (QAction* entry : main()->mnuOpenForm->actions())
        entries << (entry->isSeparator() ? QStringLiteral("-")
                                         : entry->text() + QLatin1Char('=') + entry->data().toString());
    EXPECT_EQ(entries,
              (QStringList{QStringLiteral("&Customer And Respondent=Customer"), QStringLiteral("&Parameter=Parameter"),
                           QStringLiteral("&New/Edit Survey=Question"), QStringLiteral("-"),
                           QStringLiteral("&Survey=ObjAndDesc"), QStringLiteral("&Improvement Plan=Improvement")}));
}

TEST_F(MainWindow, ShortcutsFireTheirItemsAndF1OpensTheContentsFromAnyWindow)
{
    pressKey(main(), Qt::Key_D, Qt::ControlModifier);
    ASSERT_TRUE(main()->isLoaded<frmAboutUs>());
    EXPECT_TRUE(main()->child<frmAboutUs>()->isVisible());
    main()->unloadChild<frmAboutUs>();

    pressKey(main(), Qt::Key_F1);
    ASSERT_NE(HelpWindow::instance(), nullptr);
    EXPECT_TRUE(HelpWindow::instance()->isVisible());
    EXPECT_EQ(HelpWindow::instance()->currentTopic(), HelpDocument::contentsId);
    EXPECT_FALSE(main()->isBusy());

    // From inside a child window, and after another topic was open.
    HelpWindow::showTopic(programFile(HelpWindow::helpFileName()), HelpTopics::frmSearch);
    ASSERT_NE(HelpWindow::instance()->currentTopic(), HelpDocument::contentsId);
    QApplication::setActiveWindow(main());
    ASSERT_TRUE(QTest::qWaitForWindowActive(main()));
    TestWindow* child = main()->showChild<TestWindow>();
    child->txtName->setFocus();
    pressKey(child->txtName, Qt::Key_F1);
    EXPECT_EQ(HelpWindow::instance()->currentTopic(), HelpDocument::contentsId);
    EXPECT_TRUE(main()->isLoaded<TestWindow>());
    HelpWindow::instance()->close();
}

TEST_F(MainWindow, EveryWindowsHelpTopicExistsAndTheTwoSurveyWindowsShareOne)
{
    const QList<int> topics = {HelpTopics::frmCustomer,
                               HelpTopics::frmParameter,
                               HelpTopics::frmFeedBackObj,
                               HelpTopics::frmImprovementPlan,
                               HelpTopics::frmDateToDate,
                               HelpTopics::frmDtoDSatisfactionOverview,
                               HelpTopics::frmDtoDActionPlan,
                               HelpTopics::frmSatisfactionIndex,
                               HelpTopics::frmPerformanceMatrix,
                               HelpTopics::frmSearch,
                               HelpTopics::frmReading,
                               HelpTopics::frmSelectSurvey,
                               HelpTopics::frmEditExistingSurvey,
                               HelpTopics::frmLogDetails};
    QStringList opened;
    for (int topic : topics) {
        HelpTopics::showTopic(main(), topic);
        ASSERT_NE(HelpWindow::instance(), nullptr);
        EXPECT_NE(HelpWindow::instance()->currentTopic(), HelpDocument::contentsId) << topic;
        EXPECT_FALSE(main()->isBusy());
        opened << HelpWindow::instance()->currentTopic();
    }
    EXPECT_EQ(QSet<QString>(opened.begin(), opened.end()).size(), topics.size());
    EXPECT_EQ(HelpTopics::frmNewSurvey, HelpTopics::frmSelectSurvey);
    EXPECT_TRUE(MsgBox::shown().isEmpty());
    HelpWindow::instance()->close();
}

TEST_F(MainWindow, GettingStartedOpensThePresentationOrSaysWhatIsMissing)
{
    const QString path = programFile(HelpWindow::presentationFileName());
    main()->mnuGettingStarted->trigger();
    EXPECT_EQ(Desktop::openedFiles(), QStringList{path});
    EXPECT_TRUE(MsgBox::shown().isEmpty());

    const QString message = QStringLiteral("Error running ") + path +
                            QStringLiteral("...\r\nPlease ensure that you have a PDF viewer installed.");
    Desktop::setOpenResult(false);
    main()->mnuGettingStarted->trigger();
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown()[0].text, message);
    EXPECT_EQ(MsgBox::shown()[0].style, 64);
    EXPECT_EQ(MsgBox::shown()[0].title, QStringLiteral("Quorvane"));

    Desktop::setOpenResult(true);
    ASSERT_TRUE(QFile::remove(path));
    main()->mnuGettingStarted->trigger();
    ASSERT_EQ(MsgBox::shown().size(), 2);
    EXPECT_EQ(MsgBox::shown()[1].text, message);
}

TEST_F(MainWindow, StatusBarCarriesTheProgressTextAndTheTimeOfDay)
{
    // The clock shows the time of day as it was when it last ticked; on a busy machine that tick may lie a while
    // back, so any minute since the window was made will do.
    const QTime shown = QLocale::system().toTime(main()->clockText(), QLocale::ShortFormat);
    ASSERT_TRUE(shown.isValid()) << main()->clockText().toStdString();
    int behind = shown.secsTo(QTime::currentTime());
    if (behind < -43200)
        behind += 86400; // across midnight
    EXPECT_TRUE(behind >= -60 && behind < 300) << main()->clockText().toStdString();
    EXPECT_EQ(main()->statusText(), QString());
    main()->setStatusText(QStringLiteral("Saving Respondent......"));
    EXPECT_EQ(main()->statusText(), QStringLiteral("Saving Respondent......"));

    // Busy is a state: setting it twice needs one reset.
    main()->setBusy(true);
    main()->setBusy(true);
    EXPECT_TRUE(main()->isBusy());
    main()->setBusy(false);
    EXPECT_FALSE(main()->isBusy());
}

TEST_F(MainWindow, StartsMaximisedAndScrollsToChildWindowsBeyondItsArea)
{
    EXPECT_TRUE(main()->windowState().testFlag(Qt::WindowMaximized));
    main()->showNormal();
    main()->resize(1024, 720);
    QMdiArea* area = main()->mdiArea();
    QMdiSubWindow* frame = main()->windows()->frameOf(main()->showChild<TestWindow>());
    ASSERT_NE(frame, nullptr);
    QTest::qWait(0);
    EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(area->verticalScrollBar()->isVisible());

    // Placed for a larger screen, beyond the right and bottom edges: scrolling brings the whole window into view.
    frame->move(area->viewport()->width() - 40, area->viewport()->height() - 40);
    // The area lays its scroll bars out from the event queue.
    QTRY_VERIFY_WITH_TIMEOUT(area->horizontalScrollBar()->isVisible(), 20000);
    EXPECT_TRUE(area->verticalScrollBar()->isVisible());
    for (QScrollBar* bar : {area->horizontalScrollBar(), area->verticalScrollBar()})
        bar->setValue(bar->maximum());
    EXPECT_TRUE(area->viewport()->rect().contains(frame->geometry()));
}

TEST_F(MainWindow, WindowsPlacedByTheScreenOpenInsideASmallerArea)
{
    main()->showNormal();
    main()->resize(700, 560);
    QTest::qWait(0);
    const QRect room = main()->mdiArea()->viewport()->rect();
    // Inside on each axis where it fits; at the left or top edge where it does not.
    const auto placed = [](int at, int size, int space) {
        return size > space ? at == 0 : at >= 0 && at + size <= space;
    };
    for (QAction* opens : {main()->mnuCusAndResp, main()->mnuImprovementPlan, main()->mnuSearch}) {
        opens->trigger();
        const QRect frame = main()->mdiArea()->activeSubWindow()->geometry();
        EXPECT_TRUE(placed(frame.x(), frame.width(), room.width()) && placed(frame.y(), frame.height(), room.height()))
            << opens->objectName().toStdString() << " at " << frame.x() << "," << frame.y() << " in " << room.width()
            << "x" << room.height();
    }
}

TEST_F(MainWindow, ClosingWithTheConnectionOpenEndsAtOnceWithoutTheChildWindowsCloseHandling)
{
    TestWindow* child = main()->showChild<TestWindow>();
    main()->setStatusText(QStringLiteral("Working..."));
    TestWindow::closesEverywhere = 0;
    EXPECT_EQ(runUntilEnd([this] { QTest::keyClick(main(), Qt::Key_Q, Qt::ControlModifier); }), 0);
    EXPECT_FALSE(main()->isVisible());
    EXPECT_FALSE(connectionIsOpen());
    EXPECT_EQ(main()->statusText(), QString());
    EXPECT_EQ(TestWindow::closesEverywhere, 0);
    EXPECT_EQ(child->closes, 0);
}

TEST_F(MainWindow, ClosingWithoutAConnectionUnloadsTheChildWindowsFirst)
{
    toCloseConnection();
    QPointer<TestWindow> child = main()->showChild<TestWindow>();
    child->refuseClose = true;
    main()->mnuExit->trigger();
    // A child that refuses keeps the main window open.
    EXPECT_TRUE(main()->isVisible());
    EXPECT_EQ(child->closes, 1);

    child->refuseClose = false;
    EXPECT_TRUE(main()->close());
    EXPECT_EQ(child->closes, 2);
    EXPECT_FALSE(main()->isVisible());
    EXPECT_FALSE(main()->isLoaded<TestWindow>());
}

TEST_F(MainWindow, TerminateClosesTheConnectionAndEndsTheProgram)
{
    EXPECT_EQ(runUntilEnd([this] { main()->btnTerminate->trigger(); }), 0);
    EXPECT_FALSE(connectionIsOpen());
    EXPECT_FALSE(main()->isBusy());
}

TEST_F(MainWindow, MasterDataWindowsReplaceEachOtherOnlyThroughTheMenus)
{
    main()->mnuCusAndResp->trigger();
    ASSERT_TRUE(main()->isLoaded<frmCustomer>());
    EXPECT_FALSE(main()->isBusy());
    EXPECT_TRUE(main()->statusText().isEmpty());

    // "&Parameter" closes the customer window.
    main()->mnuPrameter->trigger();
    EXPECT_FALSE(main()->isLoaded<frmCustomer>());
    ASSERT_TRUE(main()->isLoaded<frmParameter>());
    EXPECT_TRUE(main()->child<frmParameter>()->txtParameterDtls->isVisible());

    // The toolbar's "Customer" leaves the parameter window open.
    main()->btnCustomer->trigger();
    EXPECT_TRUE(main()->isLoaded<frmCustomer>());
    EXPECT_TRUE(main()->isLoaded<frmParameter>());

    // Its drop-down opens either window without closing the other.
    main()->unloadChild<frmCustomer>();
    main()->btnmCustomer->trigger();
    EXPECT_TRUE(main()->isLoaded<frmCustomer>());
    EXPECT_TRUE(main()->isLoaded<frmParameter>());

    // "Close" unloads both master-data windows and leaves the others.
    main()->mnuSettings->trigger();
    main()->btnClose->trigger();
    EXPECT_FALSE(main()->isLoaded<frmCustomer>());
    EXPECT_FALSE(main()->isLoaded<frmParameter>());
    EXPECT_TRUE(main()->isLoaded<frmSetting>());
}

TEST_F(MainWindow, SurveyMenusOpenTheChooserWhichLeadsToTheCompositionWindow)
{
    run(QStringLiteral("insert into customer (custname) values ('Acme')"));
    run(QStringLiteral("insert into respondent (custid, respondentname) values (1, 'Ann')"));
    main()->mnuEditSurvey->trigger();
    EXPECT_TRUE(main()->isLoaded<frmEditExistingSurvey>());
    main()->mnuEmailSurveys->trigger();
    EXPECT_TRUE(main()->isLoaded<frmLogDetails>());
    main()->mnuNewSurvey->trigger();
    frmSelectSurvey* chooser = main()->child<frmSelectSurvey>();
    ASSERT_NE(chooser, nullptr);
    ASSERT_GT(chooser->lstRespondent->count(), 0);
    chooser->lstRespondent->setCurrentRow(0);
    chooser->cmdBlankSurvey->click();
    ASSERT_TRUE(main()->isLoaded<frmNewSurvey>());
    frmNewSurvey* composer = main()->child<frmNewSurvey>();
    EXPECT_TRUE(composer->isVisible());
    EXPECT_EQ(composer->window(), main()->window());
}

// Alt and a letter that the active window's own button underlines presses that button, not the menu with the letter;
// a letter no button of the window uses still opens its menu.
TEST_F(MainWindow, AltAndAButtonsLetterPressesTheActiveWindowsButton)
{
    main()->mnuSearch->setEnabled(true);
    main()->mnuCusAndResp->trigger();
    frmCustomer* w = main()->child<frmCustomer>();
    ASSERT_TRUE(w);
    QSignalSpy saved(w->cmdSaveCustomer, &QAbstractButton::clicked);
    QSignalSpy help(w->cmdHelp, &QAbstractButton::clicked);
    pressKey(QApplication::focusWidget() ? QApplication::focusWidget() : w, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(saved.count(), 1);
    EXPECT_FALSE(main()->isLoaded<frmSearch>());
    pressKey(w->cmdSaveCustomer, Qt::Key_H, Qt::AltModifier);
    EXPECT_EQ(help.count(), 1);

    pressKey(w->cmdSaveCustomer, Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(main()->mnuFile->isVisible());
    main()->mnuFile->close();
}

#include "MainWindowFixture.h"
#include "TestWindows.h"

#include "shell/frmAboutUs.h"
#include "shell/frmSetting.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>

namespace
{

using Registry = MainWindowFixture;

} // namespace

TEST_F(Registry, ImplicitLoadMakesOneHiddenInstanceThatShowingBringsUp)
{
    TestWindow* loaded = main()->child<TestWindow>();
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(main()->isLoaded<TestWindow>());
    EXPECT_FALSE(loaded->isVisible());
    EXPECT_EQ(loaded->loads, 1);
    EXPECT_EQ(main()->child<TestWindow>(), loaded);

    EXPECT_EQ(main()->showChild<TestWindow>(), loaded);
    EXPECT_TRUE(loaded->isVisible());
    QMdiSubWindow* frame = main()->windows()->frameOf(loaded);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(main()->mdiArea()->activeSubWindow(), frame);

    // Shown again from behind another window: the same instance comes up, not loaded a second time.
    main()->showChild<OtherTestWindow>();
    EXPECT_NE(main()->mdiArea()->activeSubWindow(), frame);
    frame->showMinimized();
    EXPECT_EQ(main()->showChild<TestWindow>(), loaded);
    EXPECT_EQ(main()->mdiArea()->activeSubWindow(), frame);
    EXPECT_FALSE(frame->isMinimized());
    EXPECT_EQ(loaded->loads, 1);
    EXPECT_EQ(main()->mdiArea()->subWindowList().size(), 2);
}

TEST_F(Registry, UnloadingRunsTheCloseHandlingAndForgetsTheWindowAtOnce)
{
    QPointer<TestWindow> first = main()->showChild<TestWindow>();
    EXPECT_TRUE(main()->unloadChild<TestWindow>());
    EXPECT_EQ(first->closes, 1);
    EXPECT_FALSE(main()->isLoaded<TestWindow>());
    TestWindow* second = main()->showChild<TestWindow>();
    EXPECT_NE(second, first.data());
    EXPECT_EQ(second->loads, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(main()->child<TestWindow>(), second);

    // Closed by its frame, as the user does: unloaded too.
    main()->windows()->frameOf(second)->close();
    EXPECT_FALSE(main()->isLoaded<TestWindow>());

    // A window that refuses to close stays loaded and shown.
    TestWindow* stubborn = main()->showChild<TestWindow>();
    stubborn->refuseClose = true;
    EXPECT_FALSE(main()->unloadChild<TestWindow>());
    EXPECT_EQ(main()->child<TestWindow>(), stubborn);
    EXPECT_TRUE(stubborn->isVisible());
    stubborn->refuseClose = false;

    // Unloading a window that is not loaded does nothing, and does not load it.
    EXPECT_TRUE(main()->unloadChild<OtherTestWindow>());
    EXPECT_FALSE(main()->isLoaded<OtherTestWindow>());
}

TEST_F(Registry, EscClosesAChildWindowEvenFromAnEditorButNotFromADialogOfItsOwn)
{
    TestWindow* window = main()->showChild<TestWindow>();
    window->txtName->setFocus();
    QTest::keyClick(window->txtName, Qt::Key_Escape);
    EXPECT_FALSE(main()->isLoaded<TestWindow>());
    EXPECT_EQ(window->closes, 1);

    // A grid's cell editor would swallow Esc to end the edit.
    window = main()->showChild<TestWindow>();
    window->grdItems->setCurrentCell(0, 0);
    window->grdItems->editItem(window->grdItems->item(0, 0));
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(editor, window->grdItems);
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_FALSE(main()->isLoaded<TestWindow>());

    // Esc in a dialog that a child window opened closes the dialog only.
    window = main()->showChild<TestWindow>();
    QDialog dialog(window);
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(main()->isLoaded<TestWindow>());

    // The same holds for the windows that are not in the work area.
    main()->showChild<frmAboutUs>();
    QTest::keyClick(main()->child<frmAboutUs>()->cmdClose, Qt::Key_Escape);
    EXPECT_FALSE(main()->isLoaded<frmAboutUs>());
    // Esc on the main window itself closes nothing.
    QTest::keyClick(main(), Qt::Key_Escape);
    EXPECT_TRUE(main()->isVisible());
    EXPECT_TRUE(main()->isLoaded<TestWindow>());
}

TEST_F(Registry, ActivationRunsWhenAnotherChildWindowHandsItOver)
{
    TestWindow* first = main()->showChild<TestWindow>();
    EXPECT_EQ(first->activations, 1);
    OtherTestWindow* second = main()->showChild<OtherTestWindow>();
    EXPECT_EQ(second->activations, 1);
    main()->showChild<TestWindow>();
    EXPECT_EQ(first->activations, 2);
    // Bringing up the window that is already active is no new activation.
    main()->showChild<TestWindow>();
    EXPECT_EQ(first->activations, 2);
}

TEST_F(Registry, OpeningAWindowShowsOpeningFormAndTheHourglassMeanwhile)
{
    TestWindow* window = main()->openChild<TestWindow>(true);
    EXPECT_EQ(window->statusAtLoad, QStringLiteral("Opening Form..."));
    EXPECT_TRUE(window->busyAtLoad);
    EXPECT_EQ(main()->statusText(), QString());
    EXPECT_FALSE(main()->isBusy());
    main()->unloadChild<TestWindow>();

    main()->setStatusText(QString());
    window = main()->openChild<TestWindow>(false);
    EXPECT_EQ(window->statusAtLoad, QString());
    EXPECT_TRUE(window->busyAtLoad);
    EXPECT_FALSE(main()->isBusy());
}

TEST_F(Registry, ToolbarCloseLeavesTheOtherWindowsOpen)
{
    main()->showChild<TestWindow>();
    main()->mnuSettings->trigger();
    main()->mnuAbout->trigger();
    main()->setStatusText(QStringLiteral("Working..."));
    main()->btnClose->trigger();
    EXPECT_TRUE(main()->child<TestWindow>()->isVisible());
    EXPECT_TRUE(main()->isLoaded<frmSetting>());
    EXPECT_TRUE(main()->child<frmSetting>()->isVisible());
    EXPECT_TRUE(main()->isLoaded<frmAboutUs>());
    EXPECT_EQ(main()->statusText(), QString());
    EXPECT_FALSE(main()->isBusy());
}

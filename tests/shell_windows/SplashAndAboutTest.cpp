#include "MainWindowFixture.h"

#include "shell/frmAboutUs.h"
#include "shell/frmSplash.h"
#include "shell/gblGlobal.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>

namespace
{

// The splash window leads on to this; it counts how often it is shown.
class NextWindow : public QWidget
{
public:
    int shows = 0;

protected:
    void showEvent(QShowEvent* event) override
    {
        ++shows;
        QWidget::showEvent(event);
    }
};

class Splash : public AppFixture
{
protected:
    NextWindow next;
};

using About = MainWindowFixture;

} // namespace

TEST_F(Splash, ClickLeadsOnToTheMainWindowOnceAndEndsTheModalDisplay)
{
    frmSplash splash(&next);
    EXPECT_EQ(splash.lblCompanyName->text(), QStringLiteral("Example Trading Ltd"));
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(splash.Timer1->isActive());
    EXPECT_EQ(splash.Timer1->interval(), 4000);
    // A click anywhere on the face: the labels cover much of it.
    QTimer::singleShot(50, &splash, [&] { QTest::mouseClick(splash.lblCompanyName, Qt::LeftButton); });
    EXPECT_EQ(splash.exec(), QDialog::Accepted);
    EXPECT_FALSE(splash.isVisible());
    EXPECT_TRUE(next.isVisible());
    EXPECT_EQ(next.shows, 1);
    EXPECT_FALSE(splash.Timer1->isActive());

    // Nothing later shows it again.
    next.hide();
    QTest::mouseClick(splash.Frame1, Qt::LeftButton);
    splash.Timer1_Timer();
    EXPECT_FALSE(next.isVisible());
    EXPECT_EQ(next.shows, 1);
}

TEST_F(Splash, AnyKeyLeadsOnToTheMainWindowSoTheProgramNeverRunsWithoutOne)
{
    gCompanyName.clear();
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_A, Qt::Key_Return}) {
        NextWindow shown;
        frmSplash splash(&shown);
        EXPECT_EQ(splash.lblCompanyName->text(), QString());
        splash.show();
        QTest::keyClick(&splash, key);
        EXPECT_FALSE(splash.isVisible()) << key;
        EXPECT_EQ(shown.shows, 1) << key;
        EXPECT_FALSE(splash.Timer1->isActive()) << key;
    }
}

TEST_F(Splash, WithoutInputTheMainWindowShowsAfterFourSeconds)
{
    frmSplash splash(&next);
    splash.show();
    QTest::qWait(3500);
    EXPECT_TRUE(splash.isVisible());
    EXPECT_FALSE(next.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(next.isVisible(), 1500);
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(next.shows, 1);
}

TEST_F(About, ShowsTheCompanyNameCentredOnTheScreenAndClosesByButtonOrEsc)
{
    gCompanyName = QStringLiteral("Smith, Jones & Co");
    main()->mnuAbout->trigger();
    frmAboutUs* about = main()->child<frmAboutUs>();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About Velquist"));
    EXPECT_EQ(about->lblCompanyname->text(), QStringLiteral("Smith, Jones & Co"));
    // Its own window beside the work area, not a child window inside it.
    EXPECT_TRUE(about->isWindow());
    EXPECT_EQ(main()->windows()->frameOf(about), nullptr);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(about->pos(), QPoint((screen.width() - about->width()) / 2, (screen.height() - about->height()) / 2));

    // Opened again while open: the same window.
    QTest::keyClick(main(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(main()->child<frmAboutUs>(), about);

    QTest::mouseClick(about->cmdClose, Qt::LeftButton);
    EXPECT_FALSE(main()->isLoaded<frmAboutUs>());

    gCompanyName.clear();
    main()->mnuAbout->trigger();
    about = main()->child<frmAboutUs>();
    EXPECT_EQ(about->lblCompanyname->text(), QString());
    QTest::keyClick(about, Qt::Key_Escape);
    EXPECT_FALSE(main()->isLoaded<frmAboutUs>());
}

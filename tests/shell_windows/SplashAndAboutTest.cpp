#include "MainWindowFixture.h"

#include "shell/frmAboutUs.h"
#include "shell/frmSplash.h"
#include "shell/gblGlobal.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>

#include <functional>

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

// Posted before the modal display starts, the action runs while the window is being shown (as input or an early
// timer arrives on a busy machine); passed on through the queue a few times, it runs later, inside the modal loop.
void post(int hops, const std::function<void()>& action)
{
    QMetaObject::invokeMethod(
        qApp, [hops, action] { hops > 1 ? post(hops - 1, action) : action(); }, Qt::QueuedConnection);
}

using About = MainWindowFixture;

} // namespace

TEST_F(Splash, TimerRunsFromShowingAndLeadsOnOnce)
{
    frmSplash splash(&next);
    EXPECT_EQ(splash.lblCompanyName->text(), QStringLiteral("Example Trading Ltd"));
    EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(splash.Timer1->interval(), 4000);
    EXPECT_TRUE(splash.Timer1->isSingleShot());
    EXPECT_FALSE(splash.Timer1->isActive());
    splash.show();
    EXPECT_TRUE(splash.Timer1->isActive());

    // The timer's own firing leads on (made due at once rather than waited for).
    splash.Timer1->start(0);
    QTRY_VERIFY_WITH_TIMEOUT(next.isVisible(), 60000);
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(next.shows, 1);

    // Nothing later shows it again.
    next.hide();
    QTest::mouseClick(splash.Frame1, Qt::LeftButton);
    splash.Timer1_Timer();
    EXPECT_FALSE(next.isVisible());
    EXPECT_EQ(next.shows, 1);
}

TEST_F(Splash, ModalDisplayEndsWithTheMainWindowWhateverOrderTimerClickAndKeyArriveIn)
{
    using Input = std::function<void(frmSplash&)>;
    const Input timer = [](frmSplash& s) { s.Timer1_Timer(); };
    // A click anywhere on the face: the labels cover much of it.
    const Input click = [](frmSplash& s) { QTest::mouseClick(s.lblCompanyName, Qt::LeftButton); };
    const Input key = [](frmSplash& s) { QTest::keyClick(&s, Qt::Key_Space); };
    const QList<QList<Input>> orders = {{timer, click, key}, {timer, key, click}, {click, timer, key},
                                        {click, key, timer}, {key, timer, click}, {key, click, timer}};
    for (const int hops : {1, 3}) {
        for (qsizetype o = 0; o < orders.size(); ++o) {
            SCOPED_TRACE(testing::Message() << "order " << o << ", hops " << hops);
            NextWindow shown;
            frmSplash splash(&shown);
            post(hops, [&] {
                for (const Input& in : orders[o])
                    in(splash);
            });
            EXPECT_EQ(splash.exec(), QDialog::Accepted);
            EXPECT_FALSE(splash.isVisible());
            EXPECT_TRUE(shown.isVisible());
            EXPECT_EQ(shown.shows, 1);
            EXPECT_FALSE(splash.Timer1->isActive());
        }
    }
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
    // Centred as a whole, frame included, by exact halves (rounded only to the pixel).
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect whole = about->frameGeometry();
    ASSERT_NE(whole.size(), about->size()) << "the platform gives the window no frame";
    EXPECT_EQ(whole.topLeft(),
              QPoint(qRound((screen.width() - whole.width()) / 2.0), qRound((screen.height() - whole.height()) / 2.0)));

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

#include "MainWindowFixture.h"

#include "shell/frmSetting.h"
#include "shell/gblGlobal.h"

#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>

namespace
{

class Setting : public MainWindowFixture
{
protected:
    int stored() const
    {
        return value(QStringLiteral("select checkeduser from setting where setting='UserDefine'")).toInt();
    }

    // On the button's circle: the button is wider than its text, and a click beside the text does nothing.
    static void choose(QRadioButton* option)
    {
        QTest::mouseClick(option, Qt::LeftButton, Qt::NoModifier, QPoint(8, option->height() / 2));
        EXPECT_TRUE(option->isChecked());
    }

    frmSetting* openSettings()
    {
        main()->mnuSettings->trigger();
        frmSetting* window = main()->child<frmSetting>();
        EXPECT_TRUE(window->isVisible());
        return window;
    }
};

} // namespace

TEST_F(Setting, TheChoiceRoundTripsThroughTheDatabase)
{
    frmSetting* window = openSettings();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("XLS File Name Setting"));
    EXPECT_TRUE(window->opnSystemDefined->isChecked());
    EXPECT_FALSE(window->opnUserDefined->isChecked());

    choose(window->opnUserDefined);
    QTest::mouseClick(window->cmdOK, Qt::LeftButton);
    EXPECT_FALSE(main()->isLoaded<frmSetting>());
    EXPECT_EQ(stored(), 1);
    EXPECT_TRUE(frmSetting::toGetSetting());

    window = openSettings();
    EXPECT_TRUE(window->opnUserDefined->isChecked());
    choose(window->opnSystemDefined);
    QTest::mouseClick(window->cmdOK, Qt::LeftButton);
    EXPECT_EQ(stored(), 0);
    EXPECT_FALSE(frmSetting::toGetSetting());
    window = openSettings();
    EXPECT_TRUE(window->opnSystemDefined->isChecked());
    EXPECT_EQ(rows(QStringLiteral("select * from setting")).size(), 1);
    EXPECT_TRUE(MsgBox::shown().isEmpty());
}

TEST_F(Setting, EscOrClosingTheWindowSavesNothing)
{
    frmSetting* window = openSettings();
    choose(window->opnUserDefined);
    QTest::keyClick(window->opnUserDefined, Qt::Key_Escape);
    EXPECT_FALSE(main()->isLoaded<frmSetting>());
    EXPECT_EQ(stored(), 0);

    window = openSettings();
    EXPECT_TRUE(window->opnSystemDefined->isChecked());
    choose(window->opnUserDefined);
    main()->windows()->frameOf(window)->close();
    EXPECT_EQ(stored(), 0);
}

TEST_F(Setting, ReadingTheSettingNeitherShowsNorNeedsTheWindow)
{
    run(QStringLiteral("update setting set checkeduser=1"));
    EXPECT_TRUE(frmSetting::toGetSetting());
    EXPECT_FALSE(main()->isLoaded<frmSetting>());
    // On the loaded instance, as the survey windows call it.
    EXPECT_TRUE(main()->child<frmSetting>()->toGetSetting());
    EXPECT_FALSE(main()->child<frmSetting>()->isVisible());
    EXPECT_TRUE(main()->child<frmSetting>()->opnUserDefined->isChecked());

    // A closed connection is opened again first.
    toCloseConnection();
    EXPECT_TRUE(frmSetting::toGetSetting());
    EXPECT_TRUE(connectionIsOpen());
}

TEST_F(Setting, AMissingRowReadsAsProgramNamedAndIsReportedWhenSaving)
{
    run(QStringLiteral("delete from setting"));
    EXPECT_FALSE(frmSetting::toGetSetting());
    frmSetting* window = openSettings();
    EXPECT_TRUE(window->opnSystemDefined->isChecked());
    choose(window->opnUserDefined);
    QTest::mouseClick(window->cmdOK, Qt::LeftButton);
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown()[0].style, 16);
    EXPECT_TRUE(MsgBox::shown()[0].text.contains(QStringLiteral("could not be saved")));
    EXPECT_EQ(rows(QStringLiteral("select * from setting")).size(), 0);
    EXPECT_FALSE(frmSetting::toGetSetting());
}

TEST_F(Setting, AProviderErrorIsShownAndReadsAsProgramNamed)
{
    run(QStringLiteral("drop table setting"));
    EXPECT_FALSE(frmSetting::toGetSetting());
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_TRUE(MsgBox::shown()[0].text.startsWith(QStringLiteral("Error : ")));
    EXPECT_EQ(MsgBox::shown()[0].style, 0);
}

#pragma once

#include "platform/dialogs/MsgBox.h"
#include "shell/MDIMain.h"
#include "support/AppFixture.h"

#include <QApplication>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// A program folder, the shared connection and a shown, active main window.
class MainWindowFixture : public AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        MsgBox::clearRecords();
        m_main = std::make_unique<MDIMain>();
        m_main->show();
        QApplication::setActiveWindow(m_main.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_main.get()));
    }

    void TearDown() override
    {
        m_main.reset();
        AppFixture::TearDown();
    }

    MDIMain* main() const { return m_main.get(); }

    // Runs the action inside an event loop; the result is 0 when the program's end stopped the loop, -1 when it
    // was still running a second later.
    static int runUntilEnd(const std::function<void()>& action)
    {
        QEventLoop loop;
        QTimer::singleShot(0, &loop, action);
        QTimer::singleShot(1000, &loop, [&loop] { loop.exit(-1); });
        return loop.exec();
    }

    std::unique_ptr<MDIMain> m_main;
};

#include "DistributionFixture.h"

#include "surveys/distribution/DistributionStore.h"
#include "surveys/frmLogDetails.h"
#include "surveys/frmMessage.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace
{

const QChar Typographic(0x2019);

class StandardMessage : public DistributionFixture
{
protected:
    QVariantList stored() const
    {
        return rows(QStringLiteral("select customerid, standardmessage from standardmessage order by rowid"));
    }

    // Opens the message window from the log window's button and acts on it while it is up; returns what the box
    // showed when it opened.
    QString withMessageWindow(frmLogDetails* log, const std::function<void(frmMessage*)>& act)
    {
        QString shown;
        bool reached = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<frmMessage*>(QApplication::activeModalWidget());
            reached = dialog != nullptr;
            if (!dialog)
                return;
            shown = dialog->txtMessage->toPlainText();
            act(dialog);
            // Whatever the action, the window must be gone now: a window still up fails the test.
            if (dialog->isVisible()) {
                ADD_FAILURE() << "the message window is still open";
                dialog->reject();
            }
        });
        log->cmdStandardMessage->click();
        EXPECT_TRUE(reached);
        return shown;
    }
};

} // namespace

TEST_F(StandardMessage, StoresByTheApostropheAndBlankRulesAndReadsBackTrimmed)
{
    EXPECT_EQ(DistributionStore::toGetStandardMessage(QStringLiteral("Acme")), QString());

    DistributionStore::toWriteStandardMessage(QStringLiteral("Acme"), QStringLiteral("It's late  "));
    EXPECT_EQ(stored(),
              (QVariantList{QVariantList{1, QStringLiteral("It") + Typographic + QStringLiteral("s late  ")}}));
    EXPECT_EQ(DistributionStore::toGetStandardMessage(QStringLiteral("Acme")),
              QStringLiteral("It") + Typographic + QStringLiteral("s late"));

    // Without an apostrophe the outer blanks go; line breaks inside stay. One row per customer.
    DistributionStore::toWriteStandardMessage(QStringLiteral("acme"), QStringLiteral("  Dear all,\nplease reply.  "));
    EXPECT_EQ(stored(), (QVariantList{QVariantList{1, QStringLiteral("Dear all,\nplease reply.")}}));
    DistributionStore::toWriteStandardMessage(QStringLiteral("Zenith"), QStringLiteral("Z"));
    EXPECT_EQ(stored().size(), 2);
    EXPECT_EQ(DistributionStore::toGetStandardMessage(QStringLiteral("Zenith")), QStringLiteral("Z"));

    // No customer of that name: nothing is stored, and nothing is read.
    DistributionStore::toWriteStandardMessage(QStringLiteral("Nobody"), QStringLiteral("lost"));
    DistributionStore::toWriteStandardMessage(QString(), QStringLiteral("lost"));
    EXPECT_EQ(stored().size(), 2);
    EXPECT_EQ(value(QStringLiteral("select count(*) from standardmessage where customerid=0")).toInt(), 0);
    EXPECT_EQ(DistributionStore::toGetStandardMessage(QStringLiteral("Nobody")), QString());
    EXPECT_TRUE(MsgBox::shown().isEmpty());
}

TEST_F(StandardMessage, TheWindowShowsAndSavesTheSelectedCustomersMessage)
{
    frmLogDetails* log = openLog();
    // A customer without a message: an empty box; typing and saving stores it.
    EXPECT_EQ(withMessageWindow(log,
                                [](frmMessage* m) {
                                    EXPECT_EQ(m->windowTitle(), QStringLiteral("Define Standard Message"));
                                    QTest::keyClicks(m->txtMessage, QStringLiteral("It's late  "));
                                    m->cmdSave->click();
                                }),
              QString());
    EXPECT_EQ(value(QStringLiteral("select standardmessage from standardmessage where customerid=1")).toString(),
              QStringLiteral("It") + Typographic + QStringLiteral("s late  "));

    // Shown trimmed next time; Esc leaves the stored text as it was.
    EXPECT_EQ(withMessageWindow(log,
                                [](frmMessage* m) {
                                    m->txtMessage->selectAll();
                                    QTest::keyClicks(m->txtMessage, QStringLiteral("Something else"));
                                    QTest::keyClick(m->txtMessage, Qt::Key_Escape);
                                }),
              QStringLiteral("It") + Typographic + QStringLiteral("s late"));
    EXPECT_EQ(value(QStringLiteral("select standardmessage from standardmessage where customerid=1")).toString(),
              QStringLiteral("It") + Typographic + QStringLiteral("s late  "));

    // A blank text stores nothing and closes the window.
    withMessageWindow(log, [](frmMessage* m) {
        m->txtMessage->setPlainText(QStringLiteral("   "));
        m->cmdSave->click();
    });
    EXPECT_EQ(value(QStringLiteral("select count(*) from standardmessage")).toInt(), 1);

    // The window works on whichever customer the log window has selected.
    log->cmbCustomer->setCurrentIndex(1);
    EXPECT_EQ(withMessageWindow(log,
                                [](frmMessage* m) {
                                    m->txtMessage->setPlainText(QStringLiteral("For Zenith\nwith thanks"));
                                    m->cmdSave->click();
                                }),
              QString());
    EXPECT_EQ(value(QStringLiteral("select standardmessage from standardmessage where customerid=2")).toString(),
              QStringLiteral("For Zenith\nwith thanks"));
    EXPECT_EQ(value(QStringLiteral("select count(*) from standardmessage")).toInt(), 2);
}

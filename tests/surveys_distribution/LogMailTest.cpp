#include "DistributionFixture.h"

#include "platform/desktop/ToolRun.h"
#include "surveys/frmLogDetails.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace
{

class LogMail : public DistributionFixture
{
protected:
    void SetUp() override
    {
        DistributionFixture::SetUp();
        addLog(QStringLiteral("Acme"), QStringLiteral("Ann"), QStringLiteral("A1.xlsx"), d1);
        addLog(QStringLiteral("Acme"), QStringLiteral("Bob"), QStringLiteral("B1.xlsx"), d1);
        addLog(QStringLiteral("Acme"), QStringLiteral("Cy"), QStringLiteral("C1.xlsx"), d1);
        addLog(QStringLiteral("Acme"), QStringLiteral("Dee"), QStringLiteral("D1.xlsx"), d2);
        addLog(QStringLiteral("Acme"), QStringLiteral("Ann"), QStringLiteral("A2.xlsx"), d2);
        w = openLog();
    }
    QStringList sent(const char* option) const
    {
        QStringList list;
        for (const QStringList& call : mail->calls())
            list << MailRecorder::option(call, QLatin1String(option));
        return list;
    }
    frmLogDetails* w = nullptr;
};

} // namespace

TEST_F(LogMail, EachSelectedWorkbookGoesToItsRespondentInListOrder)
{
    run(QStringLiteral("insert into standardmessage (customerid, standardmessage) values (1, '  Please rate us.  ')"));
    select(w, {4, 0, 2, 3, 1});
    w->cmdmail->click();

    EXPECT_TRUE(MsgBox::shown().isEmpty());
    ASSERT_EQ(mail->calls().size(), 5);
    EXPECT_EQ(sent("--attach"),
              (QStringList{programFile(QStringLiteral("A1.xlsx")), programFile(QStringLiteral("B1.xlsx")),
                           programFile(QStringLiteral("C1.xlsx")), programFile(QStringLiteral("D1.xlsx")),
                           programFile(QStringLiteral("A2.xlsx"))}));
    // An empty or missing address becomes the placeholder; an address that reads as an option stays an address.
    EXPECT_EQ(sent("--to"), (QStringList{QStringLiteral("ann@acme.example"), QStringLiteral("No email address found"),
                                         QStringLiteral("-cy@acme.example"), QStringLiteral("No email address found"),
                                         QStringLiteral("ann@acme.example")}));
    EXPECT_EQ(sent("--subject"), QStringList(5, QStringLiteral("Pellorin Survey")));
    EXPECT_EQ(sent("--body"), QStringList(5, QStringLiteral("Please rate us.")));
    EXPECT_FALSE(w->mMapiPresent);
}

TEST_F(LogMail, RespondentsSharingANameEachGetTheirOwnWorkbook)
{
    run(QStringLiteral("insert into respondent (custid, respondentname, emailid) values "
                       "(1, 'Ann Carter', 'buyer@acme.example'), (1, 'Ann Carter', 'engineer@acme.example')"));
    const QVariant engineer = value(QStringLiteral("select respondentid from respondent where emailid like 'eng%'"));
    const QVariant buyer = value(QStringLiteral("select respondentid from respondent where emailid like 'buy%'"));
    run(QStringLiteral("insert into log (custname, respname, xlsfilename, sdate, respid) values "
                       "('Acme', 'Ann Carter', 'E.xlsx', ?, ?), ('Acme', 'Ann Carter', 'B.xlsx', ?, ?)"),
        {iso(d1), engineer, iso(d1), buyer});
    writeFile(programFile(QStringLiteral("E.xlsx")));
    writeFile(programFile(QStringLiteral("B.xlsx")));
    w->toFillListView();
    select(w, {5, 6});
    w->cmdmail->click();
    EXPECT_EQ(sent("--to"),
              (QStringList{QStringLiteral("engineer@acme.example"), QStringLiteral("buyer@acme.example")}));
}

TEST_F(LogMail, AnAddressThatIsNotOnePlainAddressIsNotHandedOver)
{
    // Two recipients in one, and a value that a client's compose string would take as an attachment.
    run(QStringLiteral(
        "update respondent set emailid='bob@acme.example, eve@evil.example' where respondentname='Bob'"));
    run(QStringLiteral("update respondent set emailid=? where respondentname='Dee'"),
        {QStringLiteral("dee@acme.example',attachment='/etc/passwd")});
    select(w, {0, 1, 3, 4});
    w->cmdmail->click();

    // Each is said, naming the respondent; the others are still mailed.
    ASSERT_EQ(MsgBox::shown().size(), 2);
    EXPECT_EQ(MsgBox::shown()[0].text,
              QStringLiteral("Cannot send E-Mail....The email address of Bob is not one plain address..."));
    EXPECT_EQ(MsgBox::shown()[0].style, 16);
    EXPECT_EQ(MsgBox::shown()[0].title, QStringLiteral("Quorvane v2.1"));
    EXPECT_TRUE(MsgBox::shown()[1].text.contains(QLatin1String(" of Dee ")));
    EXPECT_EQ(sent("--to"), (QStringList{QStringLiteral("ann@acme.example"), QStringLiteral("ann@acme.example")}));
}

TEST_F(LogMail, ACustomerWithoutAMessageSendsADot)
{
    select(w, {0});
    w->cmdmail->click();
    run(QStringLiteral("insert into standardmessage (customerid, standardmessage) values (1, '    ')"));
    w->cmdmail->click();
    EXPECT_EQ(sent("--body"), (QStringList{QStringLiteral("."), QStringLiteral(".")}));

    // Nothing selected: no hand-over and no message.
    select(w, {});
    w->cmdmail->click();
    EXPECT_EQ(mail->calls().size(), 2);
    EXPECT_TRUE(MsgBox::shown().isEmpty());
}

TEST_F(LogMail, WithoutAMailClientNothingIsSent)
{
    select(w, {0, 1});
    mail->removeHandOver();
    w->cmdmail->click();
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown()[0].text,
              QStringLiteral("Cannot send E-Mail....There is no Default Mail Client Installed on your PC..."));
    EXPECT_EQ(MsgBox::shown()[0].style, MsgBox::Critical);
    EXPECT_EQ(MsgBox::shown()[0].title, QStringLiteral("Quorvane v2.1"));

    // A desktop that names no mail program counts as none.
    MsgBox::clearRecords();
    mail = std::make_unique<MailRecorder>();
    mail->setHandler(QString());
    w->cmdmail->click();
    EXPECT_EQ(MsgBox::shown().size(), 1);
    EXPECT_TRUE(mail->calls().isEmpty());
}

TEST_F(LogMail, AMovedWorkbookIsLocatedUnderItsOwnName)
{
    QTemporaryDir elsewhere;
    const QString moved = elsewhere.filePath(QStringLiteral("B1.xlsx"));
    ASSERT_TRUE(QFile::rename(programFile(QStringLiteral("B1.xlsx")), moved));
    writeFile(elsewhere.filePath(QStringLiteral("c1.xlsx")));
    QFile::remove(programFile(QStringLiteral("C1.xlsx")));

    select(w, {0, 1, 4});
    MsgBox::setNextFileName(moved);
    w->cmdmail->click();
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown()[0].text,
              QStringLiteral("B1.xlsx file not found in the Home directory..Kindly locate the file to attach"));
    EXPECT_EQ(MsgBox::shown()[0].style, MsgBox::Information);
    EXPECT_EQ(sent("--attach"),
              (QStringList{programFile(QStringLiteral("A1.xlsx")), moved, programFile(QStringLiteral("A2.xlsx"))}));

    // A name that differs only in letter case is the wrong file, and the run ends there.
    MsgBox::clearRecords();
    select(w, {2, 4});
    MsgBox::setNextFileName(elsewhere.filePath(QStringLiteral("c1.xlsx")));
    w->cmdmail->click();
    EXPECT_EQ(boxTexts().last(), QStringLiteral("Wrong Survey file selected....."));
    EXPECT_EQ(MsgBox::shown().last().style, MsgBox::Critical);
    EXPECT_EQ(mail->calls().size(), 3);
}

TEST_F(LogMail, CancellingTheLocateDialogEndsTheRun)
{
    QFile::remove(programFile(QStringLiteral("B1.xlsx")));
    select(w, {0, 1, 2});
    MsgBox::setNextFileName(QString());
    w->cmdmail->click();
    EXPECT_EQ(boxTexts().last(), QStringLiteral("Process cancelled..."));
    EXPECT_EQ(sent("--attach"), QStringList{programFile(QStringLiteral("A1.xlsx"))});
}

TEST_F(LogMail, AFailedHandOverIsShownWithItsReasonAndEndsTheRun)
{
    mail->fail(3, QStringLiteral("xdg-email: no method available for opening 'mailto:'"));
    select(w, {0, 1});
    w->cmdmail->click();
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_TRUE(boxTexts()[0].contains(QLatin1String("no method available"))) << boxTexts()[0].toStdString();
    EXPECT_EQ(MsgBox::shown()[0].style, MsgBox::OkOnly);
    EXPECT_EQ(MsgBox::shown()[0].title, QString());
    EXPECT_EQ(mail->calls().size(), 1);
}

TEST_F(LogMail, AHandOverThatFailsAfterItWasTakenAsDoneIsShownNamingItsRecipient)
{
    const int grace = ToolRun::gracePeriod();
    ToolRun::setGracePeriod(100);
    mail->failLate(3, QStringLiteral("xdg-email: no method available for opening 'mailto:'"));
    select(w, {0, 2});
    w->cmdmail->click();
    ToolRun::setGracePeriod(grace);
    // Both were still running at the end of the grace period: taken as handed over, for now.
    EXPECT_EQ(mail->calls().size(), 2);
    EXPECT_TRUE(MsgBox::shown().isEmpty());

    mail->release();
    EXPECT_TRUE(QTest::qWaitFor([] { return MsgBox::shown().size() >= 2; }, 60000));
    ASSERT_EQ(MsgBox::shown().size(), 2);
    QStringList texts = boxTexts();
    texts.sort();
    EXPECT_TRUE(texts[0].startsWith(QLatin1String("The message to -cy@acme.example could not be handed")))
        << texts[0].toStdString();
    EXPECT_TRUE(texts[1].startsWith(QLatin1String("The message to ann@acme.example could not be handed")))
        << texts[1].toStdString();
    EXPECT_TRUE(texts[1].contains(QLatin1String("no method available"))) << texts[1].toStdString();
    EXPECT_EQ(MsgBox::shown()[0].style, MsgBox::OkOnly);
}

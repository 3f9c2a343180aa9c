#include "DistributionFixture.h"

#include "platform/grid/FlexGrid.h"
#include "surveys/SurveyStore.h"
#include "surveys/distribution/SurveyDistribution.h"
#include "surveys/frmEditExistingSurvey.h"
#include "surveys/frmNewSurvey.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace
{

class SurveyButtons : public DistributionFixture
{
protected:
    void SetUp() override
    {
        DistributionFixture::SetUp();
        storeSurvey(QStringLiteral("Acme"), QStringLiteral("Ann"), d1,
                    {QStringLiteral("Speed of reply"), QStringLiteral("Comments")});
        storeSurvey(QStringLiteral("Acme"), QStringLiteral("Cy"), d1, {QStringLiteral("On time")});
        storeSurvey(QStringLiteral("Acme"), QStringLiteral("Ann"), d2, {QStringLiteral("Courtesy")});
        // Ann's answer of an earlier survey, which the report shows beside the question.
        run(QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveyid, surveydate, weightage, "
                           "score) values (?, 1, 0, '2030-01-10', 4, 7)"),
            {respondentId(QStringLiteral("Ann"))});
    }

    frmNewSurvey* openNew(const QString& customer, const QString& respondent, const QDate& date)
    {
        auto* w = new frmNewSurvey;
        w->Form_Load();
        w->toLoadSurvey(SurveyKey{customer, respondent, date});
        w->show();
        return w;
    }
    static void selectRow(QListWidget* list, const QString& text)
    {
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->text() == text)
                list->setCurrentRow(i);
    }
    QVariantList logRow(const QString& respondent) const
    {
        return rows(QStringLiteral("select custname, respname, xlsfilename, sdate from log where respname=?"),
                    {respondent})
            .value(0)
            .toList();
    }
};

} // namespace

TEST_F(SurveyButtons, TheSelectionNamesRespondentCustomerAndDateAsTheyAre)
{
    EXPECT_EQ(
        SurveyDistribution::selectionFormula(QStringLiteral("Front Desk"), QStringLiteral("North Works"),
                                             QDate(2002, 3, 5)),
        QStringLiteral("{reportlinktable.respondentname} = ['Front Desk'] and "
                       "{reportlinktable.custname}=['North Works'] and {reportlinktable.sdate}=date(2002,03,05)"));
    const QString name = QStringLiteral("O") + QChar(0x2019) + QStringLiteral("Hara");
    EXPECT_TRUE(SurveyDistribution::selectionFormula(name, name, QDate(2001, 12, 31))
                    .endsWith(QStringLiteral("=['") + name +
                              QStringLiteral("'] and {reportlinktable.sdate}=date(2001,"
                                             "12,31)")));
}

TEST_F(SurveyButtons, TheReportHoldsTheSurveyOnShowAndNothingElse)
{
    frmNewSurvey* w = openNew(QStringLiteral("Acme"), QStringLiteral("Ann"), d1);
    ASSERT_TRUE(w->cmdPrint->isEnabled());
    w->cmdPrint->click();

    ASSERT_EQ(ReportControl::runs().size(), 1);
    const ReportControl::Run r = ReportControl::runs()[0];
    EXPECT_EQ(r.windowTitle, QStringLiteral("Quorvane v2.1 Survey Report"));
    EXPECT_EQ(r.windowState, ReportControl::Maximized);
    EXPECT_EQ(QFileInfo(r.reportFileName).fileName(), QStringLiteral("rptrating.rpt"));
    EXPECT_EQ(r.selectionFormula,
              SurveyDistribution::selectionFormula(QStringLiteral("Ann"), QStringLiteral("Acme"), d1));
    EXPECT_EQ(r.rowCount, 2);
    const QString text = pdfText(r.pdf);
    EXPECT_TRUE(text.contains(QLatin1String("Harbour Quality Ltd"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QLatin1String("Speed of reply")));
    EXPECT_TRUE(text.contains(QLatin1String("Comments")));
    EXPECT_FALSE(text.contains(QLatin1String("On time")));  // another respondent's survey
    EXPECT_FALSE(text.contains(QLatin1String("Courtesy"))); // another date's survey
    // The previous weightage and score of the first question.
    const QString speedLine = text.split(QLatin1Char('\n')).filter(QLatin1String("Speed of reply")).value(0);
    EXPECT_TRUE(speedLine.contains(QLatin1String("4")) && speedLine.contains(QLatin1String("7")))
        << speedLine.toStdString();
    EXPECT_TRUE(MsgBox::shown().isEmpty());
    EXPECT_EQ(Progress::text(), QString());
    EXPECT_FALSE(Progress::busy());

    // The existing-survey window prints its selected survey under its own title.
    frmEditExistingSurvey* e = openEditor();
    selectRow(e->lstRespondent, QStringLiteral("Cy"));
    ASSERT_EQ(e->respondentName(), QStringLiteral("Cy"));
    e->cmdPrint->click();
    ASSERT_EQ(ReportControl::runs().size(), 2);
    EXPECT_EQ(ReportControl::runs()[1].windowTitle, QStringLiteral("Pellorin Survey Report"));
    const QString cy = pdfText(ReportControl::runs()[1].pdf);
    EXPECT_TRUE(cy.contains(QLatin1String("On time")));
    EXPECT_FALSE(cy.contains(QLatin1String("Speed of reply")));
}

TEST_F(SurveyButtons, ASurveyWithoutQuestionsIsNotPrinted)
{
    run(QStringLiteral("insert into reportlinktable (question) values ('kept')"));
    frmNewSurvey* w = openNew(QStringLiteral("Zenith"), QStringLiteral("Zed"), d2);
    ASSERT_EQ(w->grdParamAndQuest->rows(), 2);
    w->cmdPrint->click();
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown()[0].text, QStringLiteral("No records selected to Print for Date - ") +
                                           w->lblSurveyDate->text() +
                                           QStringLiteral(".....Kindly Add Question(s) and proceed"));
    EXPECT_EQ(MsgBox::shown()[0].style, 524352);
    EXPECT_EQ(MsgBox::shown()[0].title, QStringLiteral("Quorvane v2.1"));
    EXPECT_TRUE(ReportControl::runs().isEmpty());
    EXPECT_EQ(value(QStringLiteral("select question from reportlinktable")).toString(), QStringLiteral("kept"));
    EXPECT_FALSE(Progress::busy());
}

TEST_F(SurveyButtons, EMailExportsLogsAndHandsTheWorkbookToTheRespondent)
{
    run(QStringLiteral("insert into standardmessage (customerid, standardmessage) values (1, ?)"),
        {QStringLiteral("  Dear Ann,\n\"please\" rate us & reply.  ")});
    frmNewSurvey* w = openNew(QStringLiteral("Acme"), QStringLiteral("Ann"), d1);
    ASSERT_TRUE(w->cmdmail->isEnabled());
    w->cmdmail->click();

    const QVariantList log = logRow(QStringLiteral("Ann"));
    ASSERT_EQ(log.size(), 4);
    const QString fileName = log[2].toString();
    EXPECT_TRUE(QFileInfo(programFile(fileName)).isFile());
    EXPECT_EQ(w->mFileName, fileName);
    EXPECT_FALSE(w->mMailMode);
    ASSERT_EQ(mail->calls().size(), 1);
    const QStringList call = mail->calls()[0];
    EXPECT_EQ(MailRecorder::option(call, QStringLiteral("--subject")), QStringLiteral("Pellorin Survey"));
    EXPECT_EQ(MailRecorder::option(call, QStringLiteral("--body")),
              QStringLiteral("Dear Ann,\n\"please\" rate us & reply."));
    EXPECT_EQ(MailRecorder::option(call, QStringLiteral("--attach")),
              QFileInfo(programFile(fileName)).absoluteFilePath());
    EXPECT_EQ(MailRecorder::option(call, QStringLiteral("--to")), QStringLiteral("ann@acme.example"));
    // The export's own question whether to show the file is not asked.
    EXPECT_TRUE(MsgBox::shown().isEmpty()) << MsgBox::shown().value(0).text.toStdString();
    EXPECT_EQ(Progress::text(), QString());
}

TEST_F(SurveyButtons, TheEditorMailsItsSelectedRespondent)
{
    frmEditExistingSurvey* e = openEditor();
    selectRow(e->lstRespondent, QStringLiteral("Cy"));
    e->cmdmail->click();
    ASSERT_EQ(mail->calls().size(), 1);
    const QStringList call = mail->calls()[0];
    EXPECT_EQ(MailRecorder::option(call, QStringLiteral("--to")), QStringLiteral("-cy@acme.example"));
    // No standard message: an empty text, left out of the hand-over.
    EXPECT_FALSE(call.contains(QStringLiteral("--body")));
    EXPECT_EQ(MailRecorder::option(call, QStringLiteral("--attach")),
              programFile(logRow(QStringLiteral("Cy")).value(2).toString()));
}

TEST_F(SurveyButtons, WithoutAMailClientTheWorkbookIsStillExportedAndLogged)
{
    mail->removeHandOver();
    frmNewSurvey* w = openNew(QStringLiteral("Acme"), QStringLiteral("Ann"), d1);
    w->cmdmail->click();
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown()[0].text,
              QStringLiteral("Cannot send E-Mail....There is no Default Mail Client Installed on your PC..."));
    EXPECT_EQ(MsgBox::shown()[0].style, MsgBox::Critical);
    EXPECT_EQ(MsgBox::shown()[0].title, QStringLiteral("Quorvane v2.1"));
    const QVariantList log = logRow(QStringLiteral("Ann"));
    ASSERT_EQ(log.size(), 4);
    EXPECT_TRUE(QFileInfo(programFile(log[2].toString())).isFile());
}

TEST_F(SurveyButtons, NoHandOverWithoutQuestionsAndNoRecipientWithoutAnAddress)
{
    // Only the blank grid row: nothing visible happens.
    frmNewSurvey* blank = openNew(QStringLiteral("Zenith"), QStringLiteral("Zed"), d2);
    blank->cmdmail->click();
    EXPECT_TRUE(MsgBox::shown().isEmpty());
    EXPECT_TRUE(logFiles().isEmpty());
    EXPECT_TRUE(mail->calls().isEmpty());

    // Without an address, stored as Null (Dee) or as empty text (Bob): handed over alike, with no recipient.
    for (const QString& respondent : {QStringLiteral("Dee"), QStringLiteral("Bob")}) {
        storeSurvey(QStringLiteral("Acme"), respondent, d1, {QStringLiteral("Courtesy")});
        openNew(QStringLiteral("Acme"), respondent, d1)->cmdmail->click();
        EXPECT_EQ(logRow(respondent).size(), 4);
    }
    EXPECT_TRUE(MsgBox::shown().isEmpty());
    ASSERT_EQ(mail->calls().size(), 2);
    for (const QStringList& call : mail->calls())
        EXPECT_FALSE(call.contains(QStringLiteral("--to")));

    // An address that is not one plain address: said, naming the respondent, and nothing handed over; the
    // workbook stays exported and logged.
    run(QStringLiteral("update respondent set emailid='Cy <cy@acme.example>' where respondentname='Cy'"));
    storeSurvey(QStringLiteral("Acme"), QStringLiteral("Cy"), d1, {QStringLiteral("Courtesy")});
    openNew(QStringLiteral("Acme"), QStringLiteral("Cy"), d1)->cmdmail->click();
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown()[0].text,
              QStringLiteral("Cannot send E-Mail....The email address of Cy is not one plain address..."));
    EXPECT_EQ(MsgBox::shown()[0].style, 16);
    EXPECT_EQ(mail->calls().size(), 2);
    EXPECT_EQ(logRow(QStringLiteral("Cy")).size(), 4);

    // A failed hand-over is shown with its reason.
    MsgBox::clearRecords();
    mail->fail(4, QStringLiteral("xdg-email: mail program failed"));
    frmNewSurvey* ann = openNew(QStringLiteral("Acme"), QStringLiteral("Ann"), d1);
    ann->cmdmail->click();
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_TRUE(MsgBox::shown()[0].text.contains(QLatin1String("mail program failed")));
}

// Workbooks exported by the program, filled in and saved by other programs, read back by our reader.

#include "ExportFixture.h"

#include "feedback/ReturnedWorkbookStore.h"
#include "feedback/SurveyWorkbookReader.h"
#include "platform/dialogs/MsgBox.h"

#include <QFile>
#include <QTemporaryDir>

namespace
{

const QString kFixtures = QStringLiteral(QUORVANE_TESTS_DIR "/data/workbooks/");

class RoundTripTest : public ExportFixture
{
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        // Fixed ids, so that the kept re-saved files stay readable against them.
        m_custid = addCustomer(QStringLiteral("Northwind"), 3);
        m_customer = QStringLiteral("Northwind");
        m_respid = addRespondent(m_custid, m_respondent, 12);
        m_surveyid = addSurvey(m_custid, m_date, 7);
        const int service = addParameter(QStringLiteral("Service"));
        const int support = addParameter(QStringLiteral("Support"));
        m_scored1 = addQuestion(service, QStringLiteral("Were we on time?"), true);
        m_scored2 = addQuestion(service, QStringLiteral("Were we polite?"), true);
        m_written = addQuestion(support, QStringLiteral("What should we change?"), false);
        m_unanswered = addQuestion(support, QStringLiteral("Anything else?"), false);
        addToSurvey(m_respid, m_surveyid, {m_scored1, m_scored2, m_written, m_unanswered});
    }

    // The respondent's part, as openpyxl does it: entry cells of each block filled, then saved.
    QString exportAndFill()
    {
        MsgBox::setNextAnswer(MsgBox::No);
        EXPECT_TRUE(exportSurvey());
        const QString path = workbook(m_lastFileName);
        python(QStringLiteral("import sys, openpyxl\n"
                              "wb = openpyxl.load_workbook(sys.argv[1])\n"
                              "ws = wb['Sheet1']\n"
                              "ws['C14'] = 7; ws['D14'] = 9\n"
                              "ws['C16'] = 4; ws['D16'] = 10\n"
                              "ws['D18'] = 6; ws['B19'] = 'Faster replies, please & <thanks>'\n"
                              "ws['D21'] = 2\n"
                              "wb.save(sys.argv[1])\n"),
               {path});
        return path;
    }

    static void expectReturnedAnswers(const QString& path, int scored1, int scored2, int written, int unanswered)
    {
        SurveyWorkbookReader::Content content;
        QString error;
        ASSERT_TRUE(SurveyWorkbookReader::read(path, &content, &error)) << error.toStdString();
        EXPECT_EQ(content.respondentId, 12);
        EXPECT_EQ(content.surveyDate, QDate(2024, 3, 15));
        EXPECT_EQ(content.questionCount, 4);
        EXPECT_EQ(content.surveyId, 7);
        ASSERT_EQ(content.answers.size(), 4);
        const auto& a = content.answers;
        EXPECT_EQ(a[0].questionId, scored1);
        EXPECT_EQ(a[0].score, "7");
        EXPECT_EQ(a[0].weightage, "9");
        EXPECT_EQ(a[1].questionId, scored2);
        EXPECT_EQ(a[1].score, "4");
        EXPECT_EQ(a[1].weightage, "10");
        EXPECT_EQ(a[2].questionId, written);
        EXPECT_EQ(a[2].weightage, "6");
        EXPECT_EQ(a[2].answer, "Faster replies, please & <thanks>");
        EXPECT_TRUE(a[2].hasAnswer());
        EXPECT_EQ(a[3].questionId, unanswered);
        EXPECT_EQ(a[3].weightage, "2");
        EXPECT_FALSE(a[3].hasAnswer());
    }

    // The workbook through the reading road: every answer stored as the respondent gave it.
    void expectStoredAnswers(const QString& path)
    {
        MsgBox::clearRecords();
        ASSERT_TRUE(ReturnedWorkbookStore().XLSWrite(path, QFileInfo(path).fileName()));
        EXPECT_TRUE(messages().isEmpty()) << messages().join(u'\n').toStdString();
        const auto stored = [this](const char* table, const char* last) {
            return value(QStringLiteral("select group_concat(questionid || '|' || respondentid || '|' || surveydate || "
                                        "'|' || surveyid || '|' || weightage || '|' || ifnull(%2, 'NULL'), ';') "
                                        "from (select * from %1 order by questionid)")
                             .arg(QLatin1String(table), QLatin1String(last)))
                .toString();
        };
        const QString tail = QStringLiteral("|12|2024-03-15|7|");
        EXPECT_EQ(stored("feedbackobjective", "score"), QString::number(m_scored1) + tail + QStringLiteral("9|7;") +
                                                            QString::number(m_scored2) + tail + QStringLiteral("10|4"));
        EXPECT_EQ(stored("feedbackdescriptive", "Description"),
                  QString::number(m_written) + tail + QStringLiteral("6|Faster replies, please & <thanks>;") +
                      QString::number(m_unanswered) + tail + QStringLiteral("2|NULL"));
    }

    // A scored question made descriptive after the export: its two-row block is read as a descriptive answer with
    // no written text, and the next block is still found.
    void expectRetypedQuestionRead(const QString& path)
    {
        run(QStringLiteral("update questions set Type=0 where questionid=?"), {m_scored1});
        ASSERT_TRUE(ReturnedWorkbookStore().XLSWrite(path, QFileInfo(path).fileName()));
        EXPECT_EQ(value(QStringLiteral("select weightage || '|' || ifnull(Description, 'NULL') "
                                       "from feedbackdescriptive where questionid=?"),
                        {m_scored1}),
                  QStringLiteral("9|NULL"));
        EXPECT_EQ(value(QStringLiteral("select weightage || '|' || score from feedbackobjective where questionid=?"),
                        {m_scored2}),
                  QStringLiteral("10|4"));
        EXPECT_EQ(value(QStringLiteral("select count(*) from feedbackdescriptive")).toInt(), 3);
    }

    int m_scored1 = 0;
    int m_scored2 = 0;
    int m_written = 0;
    int m_unanswered = 0;
};

TEST_F(RoundTripTest, FilledInByOpenpyxlAndReadBack)
{
    const QString path = exportAndFill();
    expectReturnedAnswers(path, m_scored1, m_scored2, m_written, m_unanswered);
    expectStoredAnswers(path);
}

TEST_F(RoundTripTest, ScoredQuestionMadeDescriptiveAfterTheExport)
{
    expectRetypedQuestionRead(exportAndFill());
}

TEST_F(RoundTripTest, ResavedByLibreOfficeAndReadBack)
{
    const QString path = exportAndFill();
    QTemporaryDir out;
    // LibreOffice re-saves the workbook as it would for a respondent.
    const QString resaved = convertWithLibreOffice(path, QStringLiteral("xlsx"), out.path());
    if (resaved.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    expectReturnedAnswers(resaved, m_scored1, m_scored2, m_written, m_unanswered);
    expectStoredAnswers(resaved);
    expectRetypedQuestionRead(resaved);
    if (qEnvironmentVariableIsSet("QUORVANE_KEEP_FIXTURES"))
        QFile::copy(resaved, kFixtures + QStringLiteral("returned-libreoffice.xlsx"));
}

TEST_F(RoundTripTest, KeptLibreOfficeWorkbookStillReads)
{
    // Question ids 1..4 in the order of SetUp, in a fresh database.
    expectReturnedAnswers(kFixtures + QStringLiteral("returned-libreoffice.xlsx"), 1, 2, 3, 4);
    EXPECT_EQ(m_scored1, 1);
    EXPECT_EQ(m_unanswered, 4);
}

TEST_F(RoundTripTest, TemplateIsRefusedWhateverItsLetterCase)
{
    EXPECT_TRUE(SurveyWorkbookReader::isTemplate(QStringLiteral("/home/a/Template.xlsx")));
    EXPECT_TRUE(SurveyWorkbookReader::isTemplate(QStringLiteral("TEMPLATE.XLSX")));
    EXPECT_FALSE(SurveyWorkbookReader::isTemplate(QStringLiteral("template.xlsx.bak")));
    EXPECT_FALSE(SurveyWorkbookReader::isTemplate(QStringLiteral("7312.xlsx")));
}

TEST(ReaderPromptTest, OnlyBlanksAroundThePromptMeanNoAnswer)
{
    SurveyWorkbookReader::Answer a;
    a.answer = QStringLiteral("  Type your Answer here ");
    EXPECT_FALSE(a.hasAnswer());
    a.answer = QStringLiteral("Type your Answer here\n");
    EXPECT_TRUE(a.hasAnswer());
    a.answer = QStringLiteral("type your answer here");
    EXPECT_TRUE(a.hasAnswer());
}

} // namespace

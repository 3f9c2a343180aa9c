// Read In of the feedback window: the respondent's logged workbook into the answer tables and the grid.

#include "ReturnedWorkbook.h"
#include "feedback/FeedbackFixture.h"

#include "platform/grid/FlexGrid.h"
#include "shell/Progress.h"

#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>

namespace
{

class ReadIn : public FeedbackFixture
{
protected:
    void SetUp() override
    {
        FeedbackFixture::SetUp();
        run(QStringLiteral("insert into log (custname, respname, respid, surveyid, sdate, xlsfilename, Status) "
                           "values ('Acme', 'Ann', 1, 1, ?, 'Acme_Ann.xlsx', 0)"),
            {iso(d1)});
        m_window = open<frmFeedBackObj>();
        MsgBox::clearRecords();
    }

    // Ann's answers of d1, filled in: questions 1 and 3 scored, 2 and 4 written.
    QString workbook(const QString& path) const
    {
        return ReturnedWorkbook(1, d1, 1)
            .scored(1, 7, 8)
            .descriptive(2, 4, QStringLiteral("Faster replies"))
            .scored(3, 9, 10)
            .descriptive(4, 2, QStringLiteral("Type your Answer here"))
            .save(path);
    }
    QStringList gridAnswers() const
    {
        QStringList cells;
        for (int r = 1; r < m_window->grdDtls->rows(); ++r)
            cells << QStringList{m_window->grdDtls->textMatrix(r, 2), m_window->grdDtls->textMatrix(r, 3),
                                 m_window->grdDtls->textMatrix(r, 4)}
                         .join(u'|');
        return cells;
    }
    int logStatus() const { return value(QStringLiteral("select Status from log")).toInt(); }
    QStringList shownTexts() const
    {
        QStringList texts;
        for (const MsgBox::Shown& s : MsgBox::shown())
            texts << s.text;
        return texts;
    }
    void locateNext(const QString& path)
    {
        MsgBox::setNextFileName(path);
        m_window->cmdRead->click();
    }

    std::unique_ptr<frmFeedBackObj> m_window;
};

const QStringList kRead = {"7|8|", "4||Faster replies", "9|10|", "2||"};

TEST_F(ReadIn, LoggedWorkbookInTheProgramsFolderIsReadWithoutADialog)
{
    workbook(QDir(folder()).filePath(QStringLiteral("Acme_Ann.xlsx")));
    m_window->cmdRead->click();
    EXPECT_TRUE(MsgBox::fileDialogsShown().isEmpty());
    EXPECT_TRUE(shownTexts().isEmpty()) << shownTexts().join(u'\n').toStdString();
    EXPECT_EQ(gridAnswers(), kRead);
    EXPECT_EQ(answer(QStringLiteral("feedbackdescriptive"), 1, 4, d1), QStringList({"2", "NULL", "1"}));
    EXPECT_EQ(logStatus(), 1);
    EXPECT_FALSE(m_window->FullPath);
    EXPECT_EQ(Progress::text(), QString());
}

TEST_F(ReadIn, NoLoggedWorkbookForTheChosenRespondentAndDate)
{
    clickEntry(m_window->lstRespname, QStringLiteral("Bob"));
    const QString before = snapshot();
    m_window->cmdRead->click();
    EXPECT_EQ(shownTexts(), QStringList({"There is no Survey File Exported for the Selected Repondent and Selected "
                                         "Survey Date..."}));
    EXPECT_EQ(MsgBox::shown().first().style, MsgBox::Information);
    EXPECT_TRUE(MsgBox::fileDialogsShown().isEmpty());
    EXPECT_EQ(snapshot(), before);
}

TEST_F(ReadIn, AMissingWorkbookIsLocatedByItsLoggedName)
{
    QTemporaryDir elsewhere;
    const QString located = workbook(QDir(elsewhere.path()).filePath(QStringLiteral("Acme_Ann.xlsx")));
    workbook(QDir(elsewhere.path()).filePath(QStringLiteral("acme_ann.xlsx")));

    // Cancelling or choosing the template ends quietly, and the log row stays unread.
    locateNext(QString());
    locateNext(QDir(folder()).filePath(QStringLiteral("template.xlsx")));
    EXPECT_TRUE(shownTexts().isEmpty());
    EXPECT_EQ(logStatus(), 0);
    // Another name, even one that differs in letter case only, is refused with the logged one.
    locateNext(QDir(elsewhere.path()).filePath(QStringLiteral("acme_ann.xlsx")));
    EXPECT_EQ(shownTexts(), QStringList({"You have not specified the Correct XLS file.....The orignal file is - "
                                         "Acme_Ann.xlsx Please locate the same XLS file"}));
    EXPECT_EQ(MsgBox::shown().first().style, MsgBox::Critical);
    EXPECT_EQ(logStatus(), 0);
    EXPECT_EQ(answer(QStringLiteral("feedbackobjective"), 1, 1, d1), QStringList({"0 rows"}));

    locateNext(located);
    EXPECT_EQ(MsgBox::fileDialogsShown().size(), 4);
    EXPECT_EQ(gridAnswers(), kRead);
    EXPECT_EQ(logStatus(), 1);
    EXPECT_TRUE(m_window->FullPath);

    // Once the workbook lies in the program's folder, it is read from there without a dialog.
    QFile::copy(located, QDir(folder()).filePath(QStringLiteral("Acme_Ann.xlsx")));
    m_window->cmdRead->click();
    EXPECT_EQ(MsgBox::fileDialogsShown().size(), 4);
    EXPECT_FALSE(m_window->FullPath);
}

} // namespace

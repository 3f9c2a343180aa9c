// "Read Xls File": choosing, listing and importing many returned workbooks.

#include "ReadingFixture.h"

#include "feedback/frmReading.h"
#include "shell/MDIMain.h"
#include "shell/Progress.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>

namespace
{

const QDate kDate(2024, 3, 15);

class ReadingWindowTest : public ReadingFixture
{
protected:
    void SetUp() override
    {
        ReadingFixture::SetUp();
        m_window = std::make_unique<frmReading>();
        m_window->Form_Load();
    }

    // Lists the paths as the file dialog hands them back.
    void browse(const QStringList& paths)
    {
        MsgBox::setNextFileNames(paths);
        m_window->cmdBrowse_Click();
    }
    QStringList entries() const
    {
        QStringList texts;
        for (int i = 0; i < m_window->lstXlsFiles->count(); ++i)
            texts << m_window->lstXlsFiles->item(i)->text();
        return texts;
    }
    void select(const QList<int>& rows)
    {
        m_window->lstXlsFiles->clearSelection();
        for (int row : rows)
            m_window->lstXlsFiles->item(row)->setSelected(true);
    }
    QStringList details() const
    {
        return {m_window->lblCustName->text(), m_window->lblRespName->text(), m_window->lblSDate->text()};
    }
    // A workbook for question 1 with that weightage, logged under its name.
    QString returned(const QString& name, int weightage)
    {
        addLog(name);
        return ReturnedWorkbook(12, kDate, 7).scored(1, weightage, 5).save(path(name));
    }

    std::unique_ptr<frmReading> m_window;
};

TEST_F(ReadingWindowTest, BrowseListsTheChosenPathsButTheTemplate)
{
    browse({path("b 1.xlsx"), path("Template.xlsx"), path("a.xlsx"), path("template.xlsx")});
    EXPECT_EQ(entries(), QStringList({path("b 1.xlsx"), path("a.xlsx")}));
    ASSERT_EQ(MsgBox::fileDialogsShown().size(), 1);
    EXPECT_TRUE(MsgBox::fileDialogsShown().first().multiple);
    EXPECT_TRUE(MsgBox::fileDialogsShown().first().filter.endsWith(QStringLiteral("|*.xlsx")));

    // Cancelling keeps the list; a new choice replaces it.
    browse({});
    EXPECT_EQ(entries().size(), 2);
    browse({path("c.xlsx")});
    EXPECT_EQ(entries(), QStringList({path("c.xlsx")}));
    browse({path("Template.xlsx")});
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(ReadingWindowTest, DetailsOfTheOneSelectedEntry)
{
    addLog(QStringLiteral("O'Brien 1.xlsx"), QStringLiteral("O\u2019Brien & Sons"));
    browse({path("7312.xlsx"), path("O'Brien 1.xlsx"), path("unlogged.xlsx")});
    select({1});
    EXPECT_EQ(details()[0], QStringLiteral("O\u2019Brien & Sons"));
    EXPECT_EQ(details()[1], QStringLiteral("Ann Lee"));
    EXPECT_FALSE(details()[2].isEmpty());
    select({0, 1});
    EXPECT_EQ(details(), QStringList({"", "", ""}));
    // Ctrl-click that deselects the current entry leaves the other one selected: its details are shown.
    m_window->lstXlsFiles->setCurrentRow(1, QItemSelectionModel::Deselect);
    EXPECT_EQ(m_window->lstXlsFiles->currentRow(), 1);
    EXPECT_EQ(details()[0], QStringLiteral("Harbour Instruments"));
    select({2});
    EXPECT_EQ(details(), QStringList({"", "", ""}));
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(ReadingWindowTest, ImportNeedsEntriesAndASelection)
{
    const QString file = ReturnedWorkbook(12, kDate, 7).scored(1, 5, 5).save(path("7312.xlsx"));
    const QString before = snapshot();
    m_window->cmdImport_Click();
    browse({file});
    select({});
    m_window->cmdImport_Click();
    EXPECT_EQ(messages(),
              QStringList({"No Xls files present in the List to Import", "Select one or more file(s) to import"}));
    EXPECT_EQ(MsgBox::shown().first().style, MsgBox::Information);
    EXPECT_EQ(MsgBox::shown().first().title, QStringLiteral("Quorvane v2.1"));
    EXPECT_EQ(snapshot(), before);
}

TEST_F(ReadingWindowTest, OnlyTheSelectedEntriesAreReadInListOrder)
{
    // The same answer in five workbooks: the last one read wins.
    QStringList files;
    for (int i = 1; i <= 5; ++i)
        files << returned(QStringLiteral("w%1.xlsx").arg(i), i);
    browse(files);
    select({3, 1});
    m_window->cmdImport_Click();
    EXPECT_EQ(messages(), QStringList({"Import Done...."}));
    EXPECT_EQ(objective(), QStringList({"1|12|2024-03-15|7|4|5"}));
    EXPECT_EQ(value(QStringLiteral("select group_concat(Status, '') from (select Status from log where xlsfilename "
                                   "like 'w%' order by xlsfilename)"))
                  .toString(),
              QStringLiteral("01010"));
    EXPECT_EQ(Progress::text(), QString());
    EXPECT_FALSE(Progress::busy());
}

TEST_F(ReadingWindowTest, AFailingWorkbookDoesNotStopTheOthers)
{
    const QString first = returned(QStringLiteral("w1.xlsx"), 1);
    addLog(QStringLiteral("w2.xlsx"));
    QFile broken(path(QStringLiteral("w2.xlsx")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("PK but no workbook");
    broken.close();
    addLog(QStringLiteral("w3.xlsx"));
    const QString third =
        ReturnedWorkbook(12, kDate, 7).descriptive(4, 3, QStringLiteral("Fine")).save(path("w3.xlsx"));
    browse({first, broken.fileName(), third});
    select({0, 1, 2});
    m_window->cmdImport_Click();

    ASSERT_EQ(messages().size(), 2);
    EXPECT_TRUE(messages()[0].contains(QStringLiteral("w2.xlsx")));
    EXPECT_EQ(MsgBox::shown()[0].style, MsgBox::OkOnly);
    EXPECT_EQ(messages()[1], QStringLiteral("Import Done...."));
    EXPECT_EQ(objective().size(), 1);
    EXPECT_EQ(descriptive(), QStringList({"4|12|2024-03-15|7|3|Fine"}));
    // The workbook that could not be read is not marked read.
    EXPECT_EQ(logStatus(QStringLiteral("w1.xlsx")), 1);
    EXPECT_EQ(logStatus(QStringLiteral("w2.xlsx")), 0);
    EXPECT_EQ(logStatus(QStringLiteral("w3.xlsx")), 1);
}

TEST_F(ReadingWindowTest, OpenedFromTheFeedbackMenu)
{
    m_window.reset();
    MDIMain main;
    gPasteForNewSurvey = true;
    ASSERT_TRUE(main.mnuReadMultipleFiles->isEnabled());
    main.mnuReadMultipleFiles->trigger();
    EXPECT_FALSE(gPasteForNewSurvey);
    auto* window = main.windows()->find<frmReading>();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Read Xls File"));
    main.mnuReadMultipleFiles->trigger();
    EXPECT_EQ(main.windows()->find<frmReading>(), window);
}

} // namespace

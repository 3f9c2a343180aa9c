// Returned workbooks read into the answer tables: by the reading road itself, many at once through "Read Xls File",
// or one through Read In of the feedback window.

#include "feedback/ReturnedWorkbookStore.h"
#include "feedback/frmFeedBackObj.h"
#include "feedback/frmReading.h"
#include "platform/desktop/ToolRun.h"
#include "platform/workbook/Workbook.h"
#include "shell/ConnectionPolicy.h"
#include "support/FileSizeLimit.h"
#include "support/OtherProgram.h"
#include "support/ProgramFixture.h"
#include "support/SpecialFiles.h"

#include <QLabel>
#include <QSqlQuery>

#include <chrono>
#include <future>
#include <thread>

namespace
{

// A returned workbook laid out as the export lays it out: header ids in column I (I4 the number of blocks), blocks
// from row 14.
class Returned
{
public:
    Returned(const QVariant& respondent, const QDate& date, const QVariant& survey)
    {
        for (const auto& [row, value] : {std::pair{2, respondent}, {3, QVariant(date)}, {5, survey}})
            m_sheet->setValue(row, 9, value);
    }
    Returned& scored(const QVariant& id, const QVariant& weightage, const QVariant& score)
    {
        return block(id, weightage, 0, 3, score, 2);
    }
    Returned& written(const QVariant& id, const QVariant& weightage, const QVariant& answer)
    {
        return block(id, weightage, 1, 2, answer, 3);
    }
    QString save(const QString& path)
    {
        m_sheet->setValue(4, 9, m_blocks);
        m_sheet->protect(QString::fromLatin1(kDatabasePassword));
        EXPECT_TRUE(m_book->saveAs(path)) << m_book->errorString().toStdString();
        return path;
    }

private:
    Returned& block(const QVariant& id, const QVariant& weightage, int below, int column, const QVariant& answer,
                    int rows)
    {
        m_sheet->setValue(m_row, 9, id);
        m_sheet->setValue(m_row, 4, weightage);
        m_sheet->setValue(m_row + below, column, answer);
        m_row += rows;
        ++m_blocks;
        return *this;
    }

    std::unique_ptr<Workbook> m_book = Workbook::createNew();
    Worksheet* m_sheet = m_book->sheet(QStringLiteral("Sheet1"));
    int m_row = 14;
    int m_blocks = 0;
};

// Harbour Instruments (3) with Ann Lee (12) and her survey 7 of 2024-03-15: scored questions 1, 2, 3 and 6, written
// 4 and 5; her workbook "Ann_Lee.xlsx" logged, unread.
class Reading : public ProgramFixture
{
protected:
    const QDate day{2024, 3, 15};

    void SetUp() override
    {
        ProgramFixture::SetUp();
        run("insert into customer (custid, custname) values (3, 'Harbour Instruments')");
        run("insert into respondent (respondentid, custid, respondentname) values (12, 3, 'Ann Lee')");
        run("insert into survey (surveyid, sdate, custid) values (7, '2024-03-15', 3)");
        for (int id = 1; id <= 6; ++id)
            question("Service", QStringLiteral("Question %1").arg(id), id != 4 && id != 5);
        addLog("Ann_Lee.xlsx");
    }

    void addLog(const QString& fileName, const QString& custName = QStringLiteral("Harbour Instruments"))
    {
        run("insert into log (custname, respname, xlsfilename, sdate, surveyid, respid, Status) values (?, 'Ann Lee', "
            "?, '2024-03-15', 7, 12, 0)",
            {custName, fileName});
    }
    int logStatus(const QString& fileName = QStringLiteral("Ann_Lee.xlsx")) const
    {
        return value("select Status from log where xlsfilename=?", {fileName}).toInt();
    }
    QString path(const QString& name) const { return QDir(folder()).filePath(name); }
    static bool read(const QString& path, const QString& logName = QStringLiteral("Ann_Lee.xlsx"))
    {
        return ReturnedWorkbookStore().XLSWrite(path, logName);
    }
    // Stored answers as "question|respondent|date|survey|weightage|score" (or description), by question.
    QStringList objective() const
    {
        return table("select questionid, respondentid, surveydate, surveyid, weightage, score from feedbackobjective "
                     "order by questionid, rowid");
    }
    QStringList descriptive() const
    {
        return table("select questionid, respondentid, surveydate, surveyid, weightage, Description from "
                     "feedbackdescriptive order by questionid, rowid");
    }
};

// "Read Xls File", opened from the menu.
class ReadingWindow : public Reading
{
protected:
    void SetUp() override
    {
        Reading::SetUp();
        gPasteForNewSurvey = true;
        w = open<frmReading>(main()->mnuReadMultipleFiles);
        ASSERT_NE(w, nullptr);
    }
    // Lists the paths as the file dialog hands them back.
    void browse(const QStringList& paths)
    {
        MsgBox::setNextFileNames(paths);
        w->cmdBrowse_Click();
    }
    void select(const QList<int>& rows)
    {
        w->lstXlsFiles->clearSelection();
        for (int row : rows)
            w->lstXlsFiles->item(row)->setSelected(true);
    }
    QStringList details() const { return {w->lblCustName->text(), w->lblRespName->text(), w->lblSDate->text()}; }

    frmReading* w = nullptr;
};

} // namespace

TEST_F(Reading, EveryBlockIsStoredAsTheCellsHoldIt)
{
    // Three scored and two written questions (I4 = 5): blocks on rows 14 to 25, rows up to 30 examined. Values out
    // of the typed range are kept.
    const QString file = Returned(12, day, 7)
                             .scored(1, "7.5", "6.5")
                             .scored(2, QVariant(), QVariant())
                             .written(4, 3, "  Type your Answer here ")
                             .scored(3, 12, " -2.5 ")
                             .written(5, QVariant(), "  It's \"fine\", \\ 'réally'\n✓ ")
                             .save(path("Ann_Lee.xlsx"));
    const auto bytes = [&file] {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray before = bytes();
    ASSERT_TRUE(read(file));
    EXPECT_EQ(objective(), QStringList({"1|12|2024-03-15|7|8|6", "2|12|2024-03-15|7|0|0", "3|12|2024-03-15|7|12|-2"}));
    EXPECT_EQ(descriptive(),
              QStringList({"4|12|2024-03-15|7|3|NULL", "5|12|2024-03-15|7|0|  It's \"fine\", \\ 'réally'\n✓ "}));
    EXPECT_EQ(logStatus(), 1);
    EXPECT_TRUE(messages().isEmpty()) << messages().join(u'\n').toStdString();
    EXPECT_EQ(bytes(), before);
}

TEST_F(Reading, ReadingAgainReplacesTheAnswersUnderTheSameKey)
{
    // A typed answer of the same key, and answers of another date and respondent, beside the workbook's. The prompt
    // in other letter case is an answer. A file name without a log row is read and marks nothing.
    run("insert into respondent (respondentid, custid, respondentname) values (13, 3, 'Bo Ek')");
    answer(12, 1, day, 1, 1);
    answer(12, 1, QDate(2023, 1, 1), 2, 2);
    answer(13, 1, day, 3, 3);
    ASSERT_TRUE(read(Returned(12, day, 7).scored(1, 5, 6).written(4, 1, "First").save(path("a.xlsx")), "a.xlsx"));
    ASSERT_TRUE(read(Returned(12, day, 7)
                         .scored(1, 9, 10)
                         .written(4, 2, "type your answer here")
                         .scored(3, 1, 1)
                         .scored(3, 2, 2) // the same question twice: the later block wins
                         .scored(1, 4, 4)
                         .save(path("a.xlsx")),
                     "a.xlsx"));
    EXPECT_EQ(objective(), QStringList({"1|12|2024-03-15|7|4|4", "1|12|2023-01-01|0|2|2", "1|13|2024-03-15|0|3|3",
                                        "3|12|2024-03-15|7|2|2"}));
    EXPECT_EQ(descriptive(), QStringList({"4|12|2024-03-15|7|2|type your answer here"}));
    EXPECT_EQ(value("select sum(Status) from log").toInt(), 0);
}

TEST_F(Reading, BlocksAreFoundByTheLayoutWhateverBecameOfTheirQuestions)
{
    // Exported when question 2 was written (3 rows) and 4 scored (2 rows); 9 and 10 have been deleted since.
    ASSERT_TRUE(read(Returned(12, day, 7)
                         .written(9, 5, "Lost with its question")
                         .scored(1, 7, 8)
                         .written(2, 6, "Type your Answer here")
                         .scored(4, 3, 9)
                         .scored(6, 2, 1)
                         .scored(10, 1, 1)
                         .save(path("a.xlsx"))));
    EXPECT_EQ(objective(), QStringList({"1|12|2024-03-15|7|7|8", "2|12|2024-03-15|7|6|0", "6|12|2024-03-15|7|2|1"}));
    // A scored block read as written has no answer cell of its own: the empty cell below it is no answer.
    EXPECT_EQ(descriptive(), QStringList({"4|12|2024-03-15|7|3|NULL"}));
    // The answers without a question are told once for the workbook; the rest of it counts as read.
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown().first().text,
              path("a.xlsx") + ": 2 answer(s) have no question in the database any more; they are not stored.");
    EXPECT_EQ(MsgBox::shown().first().title, "Quorvane v2.1");
    EXPECT_EQ(logStatus(), 1);
}

TEST_F(Reading, CellsThatAreNoIdsOrNumbers)
{
    // Header ids that are no whole numbers (or none a table can hold): nothing stored, the log row left unread.
    for (const auto& [respondent, survey] :
         {std::pair<QVariant, QVariant>{"Ann", 7}, {12, "7.5"}, {12.5, 7}, {12, QVariant()}, {"4294967308", 7}}) {
        MsgBox::clearRecords();
        EXPECT_FALSE(read(Returned(respondent, day, survey).scored(1, 5, 5).save(path("h.xlsx"))));
        ASSERT_EQ(messages().size(), 1);
        EXPECT_TRUE(messages().first().contains("h.xlsx")) << messages().first().toStdString();
    }
    EXPECT_EQ(logStatus(), 0);
    EXPECT_TRUE(objective().isEmpty());

    // A block whose id is no whole number fails alone, with a message naming its cell; a weightage or score that
    // is no 16-bit number leaves its answer unwritten without a word.
    MsgBox::clearRecords();
    ASSERT_TRUE(read(Returned(" 12 ", day, "7")
                         .scored("one", 5, 5)
                         .scored(1, "ten", 5)
                         .scored(2, 5, 40000)
                         .scored(3, 5, "1e1")
                         .scored(6, -32768, 32767)
                         .save(path("b.xlsx"))));
    EXPECT_EQ(messages(),
              QStringList({path("b.xlsx") + ": cell I14 does not hold a question's id; its answer is not read."}));
    EXPECT_EQ(objective(), QStringList({"3|12|2024-03-15|7|5|10", "6|12|2024-03-15|7|-32768|32767"}));
    EXPECT_EQ(logStatus(), 1);
}

TEST_F(Reading, AFailingStatementShowsItsOwnErrorsAndTheRestIsStored)
{
    // Respondent 99 does not exist: each of its answers is refused on its own, one box per refusal; an answer of
    // the next workbook is stored all the same, and nothing of the earlier failures is shown again.
    ASSERT_TRUE(read(Returned(99, day, 7).scored(1, 5, 5).scored(2, 6, 6).save(path("a.xlsx"))));
    ASSERT_EQ(messages().size(), 2);
    for (const QString& m : messages())
        EXPECT_TRUE(m.startsWith("Error : ") && m.count("Error") == 1) << m.toStdString();
    // Not all of its answers are stored: its log row stays unread, so that reading it again completes it.
    EXPECT_EQ(logStatus(), 0);
    MsgBox::clearRecords();
    ASSERT_TRUE(read(Returned(12, day, 7).scored(1, 5, 5).save(path("b.xlsx"))));
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(objective(), QStringList({"1|12|2024-03-15|7|5|5"}));
}

TEST_F(ReadingWindow, BrowseListsTheChosenPathsButTheTemplateAndImportNeedsASelection)
{
    EXPECT_FALSE(gPasteForNewSurvey);
    const QString before = snapshot();
    w->cmdImport_Click();
    browse({path("b 1.xlsx"), path("Template.xlsx"), path("a.xlsx"), path("template.xlsx")});
    EXPECT_EQ(texts(w->lstXlsFiles), QStringList({path("b 1.xlsx"), path("a.xlsx")}));
    ASSERT_EQ(MsgBox::fileDialogsShown().size(), 1);
    EXPECT_TRUE(MsgBox::fileDialogsShown().first().multiple);
    EXPECT_TRUE(MsgBox::fileDialogsShown().first().filter.endsWith("|*.xlsx"));
    // Cancelling keeps the list; a new choice replaces it.
    browse({});
    EXPECT_EQ(w->lstXlsFiles->count(), 2);
    browse({Returned(12, day, 7).scored(1, 5, 5).save(path("Ann_Lee.xlsx"))});
    EXPECT_EQ(texts(w->lstXlsFiles), QStringList({path("Ann_Lee.xlsx")}));
    select({});
    w->cmdImport_Click();
    EXPECT_EQ(messages(),
              QStringList({"No Xls files present in the List to Import", "Select one or more file(s) to import"}));
    EXPECT_EQ(snapshot(), before);
}

TEST_F(ReadingWindow, DetailsOfTheOneSelectedEntry)
{
    addLog("O'Brien 1.xlsx", "O\u2019Brien & Sons");
    browse({path("Ann_Lee.xlsx"), path("O'Brien 1.xlsx"), path("unlogged.xlsx")});
    select({1});
    EXPECT_EQ(details(), QStringList({"O\u2019Brien & Sons", "Ann Lee", shown(day)}));
    select({0, 1});
    EXPECT_EQ(details(), QStringList({"", "", ""}));
    // Ctrl-click that deselects the current entry leaves the other one selected: its details are shown.
    w->lstXlsFiles->setCurrentRow(1, QItemSelectionModel::Deselect);
    EXPECT_EQ(details()[0], "Harbour Instruments");
    select({2});
    EXPECT_EQ(details(), QStringList({"", "", ""}));
}

TEST_F(ReadingWindow, SelectedEntriesAreReadInListOrderPastOneThatFails)
{
    // One answer in five workbooks, the third broken: the last one read wins.
    QStringList files;
    for (int i = 1; i <= 5; ++i) {
        addLog(QStringLiteral("w%1.xlsx").arg(i));
        files << Returned(12, day, 7).scored(1, i, 5).save(path(QStringLiteral("w%1.xlsx").arg(i)));
    }
    QFile broken(files[2]);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("PK but no workbook");
    broken.close();
    browse(files);
    select({3, 2, 1});
    w->cmdImport_Click();

    ASSERT_EQ(messages().size(), 2);
    EXPECT_TRUE(messages()[0].contains("w3.xlsx"));
    EXPECT_EQ(messages()[1], "Import Done....");
    EXPECT_EQ(objective(), QStringList({"1|12|2024-03-15|7|4|5"}));
    // The workbook that could not be read is not marked read.
    EXPECT_EQ(value("select group_concat(Status, '') from (select Status from log where xlsfilename like 'w%' order "
                    "by xlsfilename)")
                  .toString(),
              "01010");
    EXPECT_TRUE(idle());
}

TEST_F(ReadingWindow, TheDatabasesFilesDevicesAndPipesAreRefusedAndTheRunGoesOn)
{
    const QString shm = dbPath() + "-shm";
    const int locks = int(locksHeldOn(shm).size());
    ASSERT_GT(locks, 0);
    ASSERT_TRUE(QFile::link(shm, path("shm.xlsx")));
    ASSERT_TRUE(QFile::link("/dev/zero", path("zero.xlsx")));
    PipeWithWatchdog pipe(path("pipe.xlsx"));
    ASSERT_TRUE(pipe.made());
    const QStringList refused = {dbPath(), path("shm.xlsx"), path("zero.xlsx"), path("pipe.xlsx")};
    browse(QStringList{Returned(12, day, 7).scored(1, 5, 6).save(path("Ann_Lee.xlsx"))} + refused +
           QStringList{Returned(12, day, 7).scored(2, 7, 8).save(path("second.xlsx"))});
    w->lstXlsFiles->selectAll();
    QTest::mouseClick(w->cmdImport, Qt::LeftButton);

    EXPECT_EQ(objective(), QStringList({"1|12|2024-03-15|7|5|6", "2|12|2024-03-15|7|7|8"}));
    ASSERT_EQ(messages().size(), refused.size() + 1) << messages().join('\n').toStdString();
    for (qsizetype i = 0; i < refused.size(); ++i)
        EXPECT_TRUE(messages()[i].startsWith("Cannot open " + refused[i] + ": ")) << messages()[i].toStdString();
    EXPECT_EQ(messages().last(), "Import Done....");
    EXPECT_FALSE(pipe.released());
    EXPECT_EQ(locksHeldOn(shm).size(), locks) << "the connection lost its locks on the database";
}

TEST_F(Reading, ReadInTakesTheLoggedWorkbookFromTheProgramsFolderOrLocatedByItsName)
{
    ask(12, day, {1, 4});
    auto w = open<frmFeedBackObj>();
    QTemporaryDir elsewhere;
    const QString located = Returned(12, day, 7)
                                .scored(1, 7, 8)
                                .written(4, 2, "Type your Answer here")
                                .save(QDir(elsewhere.path()).filePath("Ann_Lee.xlsx"));
    const QString otherCase = QDir(elsewhere.path()).filePath("ann_lee.xlsx");
    QFile::copy(located, otherCase);
    const auto locate = [&](const QString& file) {
        MsgBox::setNextFileName(file);
        w->cmdRead->click();
    };

    // Cancelling or choosing the template ends quietly, and the log row stays unread.
    locate(QString());
    locate(path("template.xlsx"));
    EXPECT_TRUE(messages().isEmpty());
    // Another name, even one that differs in letter case only, is refused with the logged one.
    locate(otherCase);
    EXPECT_EQ(messages(), QStringList({"You have not specified the Correct XLS file.....The orignal file is - "
                                       "Ann_Lee.xlsx Please locate the same XLS file"}));
    EXPECT_EQ(logStatus(), 0);
    EXPECT_TRUE(objective().isEmpty());

    locate(located);
    EXPECT_EQ(cells(w->grdDtls).mid(2, 6), QStringList({"7", "2", "8", "", "", ""}));
    EXPECT_EQ(descriptive(), QStringList({"4|12|2024-03-15|7|2|NULL"}));
    EXPECT_EQ(logStatus(), 1);
    EXPECT_TRUE(w->FullPath);

    // Once the workbook lies in the program's folder, it is read from there without a dialog.
    run("delete from feedbackobjective");
    QFile::copy(located, path("Ann_Lee.xlsx"));
    w->cmdRead->click();
    EXPECT_EQ(MsgBox::fileDialogsShown().size(), 4);
    EXPECT_EQ(objective().size(), 1);
    EXPECT_FALSE(w->FullPath);
    EXPECT_TRUE(idle());
}

TEST_F(Reading, AnotherProgramsLockIsWaitedOutOrTheWorkbookIsLeftForLater)
{
    const QString a = Returned(12, day, 7).scored(1, 5, 5).save(path("Ann_Lee.xlsx"));
    addLog("b.xlsx");
    const QString b = Returned(12, day.addDays(1), 7).scored(2, 6, 6).save(path("b.xlsx"));

    // Locked when the run starts and given up while it waits (the wait is long enough for any machine).
    {
        BusyWait wait(120000);
        // The lock is held by a thread of its own, with its own connection, and given up a moment later.
        std::promise<bool> taken;
        std::thread holder([&taken, path = dbPath()] {
            OtherProgram other(path);
            taken.set_value(other.lock());
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            other.release();
        });
        EXPECT_TRUE(taken.get_future().get());
        ReturnedWorkbookStore store;
        const bool stored = store.XLSWrite(a, "Ann_Lee.xlsx");
        holder.join();
        EXPECT_TRUE(stored);
    }
    EXPECT_TRUE(messages().isEmpty()) << messages().join(u'\n').toStdString();
    EXPECT_EQ(objective(), QStringList({"1|12|2024-03-15|7|5|5"}));
    EXPECT_EQ(logStatus(), 1);

    // Held beyond the wait: that workbook is told once and left whole for later; the next one is stored.
    run("delete from feedbackobjective");
    run("update log set Status=0");
    {
        BusyWait wait(50);
        OtherProgram other(dbPath());
        ReturnedWorkbookStore store;
        ASSERT_TRUE(other.lock());
        EXPECT_FALSE(store.XLSWrite(a, "Ann_Lee.xlsx"));
        other.release();
        EXPECT_TRUE(store.XLSWrite(b, "b.xlsx"));
    }
    EXPECT_EQ(messages(), QStringList({a + ": the database is locked by another program. Nothing of this workbook is "
                                           "stored; read it again later."}));
    EXPECT_EQ(objective(), QStringList({"2|12|2024-03-16|7|6|6"}));
    EXPECT_EQ(logStatus(), 0);
    EXPECT_EQ(logStatus("b.xlsx"), 1);
}

TEST_F(ReadingWindow, ADatabaseThatCannotBeWrittenStopsTheRunWithOneMessage)
{
    QStringList files;
    for (int i = 1; i <= 3; ++i) {
        addLog(QStringLiteral("w%1.xlsx").arg(i));
        files << Returned(12, day, 7).scored(i, i, 5).save(path(QStringLiteral("w%1.xlsx").arg(i)));
    }
    // The second workbook finds the database refusing every write.
    {
        ReturnedWorkbookStore store;
        EXPECT_TRUE(store.XLSWrite(files[0], "w1.xlsx"));
        QSqlQuery(gConnection()).exec("PRAGMA query_only=1");
        EXPECT_FALSE(store.XLSWrite(files[1], "w2.xlsx"));
        EXPECT_TRUE(store.stopped());
        EXPECT_FALSE(store.XLSWrite(files[2], "w3.xlsx"));
        store.finish({files[2]});
    }
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().first().startsWith("Reading stopped at " + files[1])) << messages().first().toStdString();
    EXPECT_TRUE(messages().first().endsWith("not stored:\r\nw2.xlsx\r\nw3.xlsx")) << messages().first().toStdString();
    EXPECT_EQ(objective(), QStringList({"1|12|2024-03-15|7|1|5"}));
    EXPECT_EQ(value("select group_concat(Status, '') from (select Status from log where xlsfilename like 'w%' order "
                    "by xlsfilename)")
                  .toString(),
              "100");

    // Through the window: the one message, and no "Import Done....".
    run("update log set Status=0");
    MsgBox::clearRecords();
    browse(files);
    select({0, 1, 2});
    w->cmdImport_Click();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().first().startsWith("Reading stopped at " + files[0])) << messages().first().toStdString();
    EXPECT_EQ(count("feedbackobjective"), 1);
    EXPECT_EQ(value("select sum(Status) from log").toInt(), 0);
    EXPECT_TRUE(idle());
}

TEST_F(ReadingWindow, ACommitThatCannotBeWrittenNamesTheFirstWorkbookItTookAlong)
{
    QStringList files;
    for (int i = 1; i <= 3; ++i) {
        addLog(QStringLiteral("w%1.xlsx").arg(i));
        files << Returned(12, day, 7).scored(i, i, 5).save(path(QStringLiteral("w%1.xlsx").arg(i)));
    }
    browse(files);
    select({0, 1, 2});
    {
        // The answers wait in memory; the disk refuses them at the commit.
        FileSizeLimit full(0);
        w->cmdImport_Click();
    }
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().first().startsWith("Reading stopped at " + files[0] + ": the database cannot be written ("))
        << messages().first().toStdString();
    EXPECT_TRUE(messages().first().endsWith("not stored:\r\nw1.xlsx\r\nw2.xlsx\r\nw3.xlsx"))
        << messages().first().toStdString();
    EXPECT_EQ(count("feedbackobjective"), 0);
    EXPECT_EQ(value("select sum(Status) from log").toInt(), 0);
    EXPECT_TRUE(idle());
}

TEST_F(ReadingWindow, NoWriteLockIsHeldWhileAMessageIsShown)
{
    // Every box of a run that has stored something: the notice of a workbook, the reader's failure, "Import Done".
    QList<bool> lockedOut;
    OtherProgram other(dbPath());
    MsgBox::setBeforeShow([&] { lockedOut << other.lockedOut(); });
    addLog("w1.xlsx");
    const QString broken = path("broken.xlsx");
    QFile(broken).open(QIODevice::WriteOnly);
    browse({Returned(12, day, 7).scored(1, 5, 5).scored(99, 1, 1).save(path("w1.xlsx")), broken,
            Returned(12, day, 7).scored(2, 5, 5).save(path("w2.xlsx"))});
    select({0, 1, 2});
    w->cmdImport_Click();
    MsgBox::setBeforeShow(&ConnectionPolicy::beforeMessage);
    EXPECT_EQ(messages().size(), 3);
    EXPECT_EQ(lockedOut, QList<bool>({false, false, false}));
    EXPECT_EQ(count("feedbackobjective"), 2);
}

TEST_F(ReadingWindow, ABoxDuringARunLosesNoWorkbookAndALateHandOverFailureWaitsForItsEnd)
{
    QStringList files;
    for (int i = 1; i <= 4; ++i) {
        addLog(QStringLiteral("w%1.xlsx").arg(i));
        files << Returned(12, day, 7).scored(i == 4 ? 6 : i, 5, 5).save(path(QStringLiteral("w%1.xlsx").arg(i)));
    }
    // A box between two workbooks may undo what the run holds: each workbook is stored or named.
    {
        ReturnedWorkbookStore store;
        store.XLSWrite(files[0], "w1.xlsx");
        MsgBox::show(QStringLiteral("Meanwhile"));
        store.XLSWrite(files[1], "w2.xlsx");
        store.XLSWrite(files[2], "w3.xlsx");
    }
    for (int i = 1; i <= 3; ++i)
        EXPECT_NE(value("select count(*) from feedbackobjective where questionid=?", {i}).toInt(),
                  int(messages().join(u'\n').contains(QStringLiteral("w%1.xlsx").arg(i))))
            << i;

    // A hand-over tool that outlasts its grace period, then ends in failure before the run turns the event loop.
    run("delete from feedbackobjective");
    MsgBox::clearRecords();
    QTemporaryDir dir;
    const int grace = ToolRun::gracePeriod();
    ToolRun::setGracePeriod(100);
    const QStringList script = {"-c", "echo $$ > \"$0\"; while [ ! -e \"$1\" ]; do sleep 0.05; done; exit 3",
                                dir.filePath("pid"), dir.filePath("go")};
    EXPECT_TRUE(ToolRun::run("sh", script, [](const ToolRun::Outcome&) { MsgBox::show(QStringLiteral("late")); }).ok);
    ToolRun::setGracePeriod(grace);
    QFile(dir.filePath("go")).open(QIODevice::WriteOnly);
    const auto ended = [&dir] {
        QFile pid(dir.filePath("pid")), stat;
        if (!pid.open(QIODevice::ReadOnly))
            return false;
        stat.setFileName("/proc/" + QString::fromLatin1(pid.readAll()).trimmed() + "/stat");
        return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
    };
    for (int turns = 0; !ended() && turns < 6000; ++turns)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));

    browse(files);
    w->lstXlsFiles->selectAll();
    w->cmdImport_Click();
    EXPECT_EQ(count("feedbackobjective"), 4);
    EXPECT_TRUE(QTest::qWaitFor([] { return MsgBox::shown().size() >= 2; }, 60000));
    EXPECT_EQ(messages(), QStringList({"Import Done....", "late"}));
}

TEST_F(Reading, AWorkbookWithNoAnswersChangesNoStoredAnswerAndIsNamed)
{
    ask(12, day, {1, 4});
    answer(12, 1, day, 7, 8, 7);
    answer(12, 4, day, 2, "Kept", 7);
    const QStringList stored = objective() + descriptive();
    Returned(12, day, 7)
        .scored(1, QVariant(), " ")
        .written(4, QVariant(), "Type your Answer here")
        .save(path("Ann_Lee.xlsx"));
    // Read In: a notice naming the file; the grid shows what is stored.
    auto w = open<frmFeedBackObj>();
    w->cmdRead->click();
    EXPECT_EQ(messages(), QStringList({"The file \"Ann_Lee.xlsx\" holds no answers yet. Nothing was stored."}));
    EXPECT_EQ(objective() + descriptive(), stored);
    EXPECT_EQ(cells(w->grdDtls).mid(2, 6), QStringList({"7", "2", "8", "", "", "Kept"}));
    EXPECT_EQ(logStatus(), 1);

    // A run lists such workbooks and reads on; a workbook with one answer stores its blank block as 0 and 0.
    MsgBox::clearRecords();
    {
        ReturnedWorkbookStore store;
        store.XLSWrite(path("Ann_Lee.xlsx"), "Ann_Lee.xlsx");
        store.XLSWrite(
            Returned(12, day, 7).scored(1, QVariant(), QVariant()).written(4, 0, "Fine").save(path("b.xlsx")),
            "b.xlsx");
        store.XLSWrite(Returned(12, day, 7).save(path("c.xlsx")), "c.xlsx");
    }
    EXPECT_EQ(messages(), QStringList({"These files hold no answers yet. Nothing was stored from them:\r\n"
                                       "Ann_Lee.xlsx\r\nc.xlsx"}));
    EXPECT_EQ(objective() + descriptive(), QStringList({"1|12|2024-03-15|7|0|0", "4|12|2024-03-15|7|0|Fine"}));
}

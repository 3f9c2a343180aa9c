// Returned workbooks through the reading road into the answer tables.

#include "ReadingFixture.h"

#include "feedback/ReturnedWorkbookStore.h"

#include <QCryptographicHash>

namespace
{

const QDate kDate(2024, 3, 15);

class StoreTest : public ReadingFixture
{
protected:
    static bool read(const QString& path, const QString& logName = QStringLiteral("7312.xlsx"))
    {
        ReturnedWorkbookStore store;
        return store.XLSWrite(path, logName);
    }
    static QByteArray digest(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                           : QByteArray();
    }
};

TEST_F(StoreTest, EveryBlockIsStoredAsTheCellsHoldIt)
{
    // Three scored and two descriptive questions (I4 = 5): blocks on rows 14 to 25, rows up to 30 examined.
    // Values out of the typed range are kept.
    const QString file = ReturnedWorkbook(12, kDate, 7)
                             .scored(1, QStringLiteral("7.5"), QStringLiteral("6.5"))
                             .scored(2, QVariant(), QVariant())
                             .descriptive(4, 3, QStringLiteral("  Type your Answer here "))
                             .scored(3, 12, QStringLiteral(" -2.5 "))
                             .descriptive(5, QVariant(), QStringLiteral("  It's \"fine\", \\ 'réally'\n✓ "))
                             .save(path(QStringLiteral("7312.xlsx")));
    const QByteArray before = digest(file);
    ASSERT_TRUE(read(file));

    EXPECT_EQ(objective(), QStringList({"1|12|2024-03-15|7|8|6", "2|12|2024-03-15|7|0|0", "3|12|2024-03-15|7|12|-2"}));
    EXPECT_EQ(descriptive(),
              QStringList({"4|12|2024-03-15|7|3|NULL", "5|12|2024-03-15|7|0|  It's \"fine\", \\ 'réally'\n✓ "}));
    EXPECT_EQ(logStatus(QStringLiteral("7312.xlsx")), 1);
    EXPECT_TRUE(messages().isEmpty()) << messages().join(u'\n').toStdString();
    EXPECT_EQ(digest(file), before);
}

TEST_F(StoreTest, ReadingAgainReplacesTheAnswersUnderTheSameKey)
{
    // A typed answer of the same key, and answers of another date and respondent, beside the workbook's. The prompt
    // in other letter case is an answer.
    run(QStringLiteral("insert into respondent (respondentid, custid, respondentname) values (13, 3, 'Bo Ek')"));
    run(QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveyid, surveydate, weightage, "
                       "score) values (12, 1, 0, '2024-03-15', 1, 1), (12, 1, 0, '2023-01-01', 2, 2), "
                       "(13, 1, 0, '2024-03-15', 3, 3)"));
    ASSERT_TRUE(read(ReturnedWorkbook(12, kDate, 7)
                         .scored(1, 5, 6)
                         .descriptive(4, 1, QStringLiteral("First"))
                         .save(path(QStringLiteral("a.xlsx")))));
    ASSERT_TRUE(read(ReturnedWorkbook(12, kDate, 7)
                         .scored(1, 9, 10)
                         .descriptive(4, 2, QStringLiteral("type your answer here"))
                         .scored(3, 1, 1)
                         .scored(3, 2, 2) // the same question twice: the later block wins
                         .scored(1, 4, 4)
                         .save(path(QStringLiteral("a.xlsx")))));

    EXPECT_EQ(objective(), QStringList({"1|12|2024-03-15|7|4|4", "1|12|2023-01-01|0|2|2", "1|13|2024-03-15|0|3|3",
                                        "3|12|2024-03-15|7|2|2"}));
    EXPECT_EQ(descriptive(), QStringList({"4|12|2024-03-15|7|2|type your answer here"}));
}

TEST_F(StoreTest, BlocksAreFoundByTheLayoutWhateverBecameOfTheirQuestions)
{
    // Exported when question 2 was descriptive (3 rows) and 4 scored (2 rows); 9 has been deleted since.
    const QString file = ReturnedWorkbook(12, kDate, 7)
                             .descriptive(9, 5, QStringLiteral("Lost with its question"))
                             .scored(1, 7, 8)
                             .descriptive(2, 6, QStringLiteral("Type your Answer here"))
                             .scored(4, 3, 9)
                             .scored(6, 2, 1)
                             .save(path(QStringLiteral("a.xlsx")));
    ASSERT_TRUE(read(file));
    EXPECT_EQ(objective(), QStringList({"1|12|2024-03-15|7|7|8", "2|12|2024-03-15|7|6|0", "6|12|2024-03-15|7|2|1"}));
    // A scored block read as descriptive has no answer cell of its own: the empty cell below it is no answer.
    EXPECT_EQ(descriptive(), QStringList({"4|12|2024-03-15|7|3|NULL"}));
    EXPECT_EQ(value(QStringLiteral("select count(*) from feedbackdescriptive where questionid=9")).toInt(), 0);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(StoreTest, CellsThatAreNoIdsOrNumbers)
{
    // Header ids that are no whole numbers (or none a table can hold): nothing stored, the log row left unread.
    for (const auto& [respondent, survey] : {std::pair<QVariant, QVariant>{QStringLiteral("Ann"), 7},
                                             {12, QStringLiteral("7.5")},
                                             {12.5, 7},
                                             {12, QVariant()},
                                             {QStringLiteral("4294967308"), 7}}) {
        MsgBox::clearRecords();
        EXPECT_FALSE(read(ReturnedWorkbook(respondent, kDate, survey).scored(1, 5, 5).save(path("h.xlsx"))));
        ASSERT_EQ(messages().size(), 1);
        EXPECT_TRUE(messages().first().contains(QStringLiteral("h.xlsx"))) << messages().first().toStdString();
        EXPECT_EQ(MsgBox::shown().first().style, MsgBox::OkOnly);
    }
    EXPECT_EQ(logStatus(QStringLiteral("7312.xlsx")), 0);
    EXPECT_TRUE(objective().isEmpty());

    // A block whose id is no whole number fails alone, with a message naming its cell; a weightage or score that
    // is no 16-bit number leaves its answer unwritten without a word.
    MsgBox::clearRecords();
    ASSERT_TRUE(read(ReturnedWorkbook(QStringLiteral(" 12 "), kDate, QStringLiteral("7"))
                         .scored(QStringLiteral("one"), 5, 5)
                         .scored(1, QStringLiteral("ten"), 5)
                         .scored(2, 5, 40000)
                         .scored(3, 5, QStringLiteral("1e1"))
                         .scored(6, -32768, 32767)
                         .save(path("b.xlsx"))));
    EXPECT_EQ(messages(), QStringList({path("b.xlsx") + QStringLiteral(": cell I14 does not hold a question's id; "
                                                                       "its answer is not read.")}));
    EXPECT_EQ(objective(), QStringList({"3|12|2024-03-15|7|5|10", "6|12|2024-03-15|7|-32768|32767"}));
    EXPECT_EQ(logStatus(QStringLiteral("7312.xlsx")), 1);
}

TEST_F(StoreTest, AFailingStatementShowsItsOwnErrorsAndTheRestIsStored)
{
    // Respondent 99 does not exist: each of its answers is refused on its own, one box per refusal; an answer of
    // the next workbook is stored all the same, and nothing of the earlier failures is shown again.
    ASSERT_TRUE(read(ReturnedWorkbook(99, kDate, 7).scored(1, 5, 5).scored(2, 6, 6).save(path("a.xlsx"))));
    ASSERT_EQ(messages().size(), 2);
    for (const QString& m : messages())
        EXPECT_TRUE(m.startsWith(QStringLiteral("Error : ")) && m.count(QStringLiteral("Error")) == 1)
            << m.toStdString();
    MsgBox::clearRecords();
    ASSERT_TRUE(read(ReturnedWorkbook(12, kDate, 7).scored(1, 5, 5).save(path("b.xlsx"))));
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(objective(), QStringList({"1|12|2024-03-15|7|5|5"}));
}

TEST_F(StoreTest, AFileNameWithNoLogRowIsReadAndMarksNothing)
{
    EXPECT_TRUE(read(ReturnedWorkbook(12, kDate, 7).scored(1, 5, 5).save(path("x.xlsx")), QStringLiteral("x.xlsx")));
    EXPECT_EQ(value(QStringLiteral("select sum(Status) from log")).toInt(), 0);
    EXPECT_EQ(objective().size(), 1);
}

} // namespace

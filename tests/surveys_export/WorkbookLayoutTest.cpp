// The exported workbook as a second reader (openpyxl) sees it.

#include "ExportFixture.h"

#include "platform/desktop/Desktop.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/workbook/Workbook.h"
#include "surveys/export/SurveyExport.h"

#include <QFile>
#include <QJsonArray>

namespace
{

class WorkbookLayoutTest : public ExportFixture
{
protected:
    QJsonObject cell(const QJsonObject& book, const QString& ref) const
    {
        return book.value(QStringLiteral("cells")).toObject().value(ref).toObject();
    }
    QJsonValue v(const QJsonObject& book, const QString& ref) const
    {
        return cell(book, ref).value(QStringLiteral("v"));
    }
    bool locked(const QJsonObject& book, const QString& ref) const
    {
        return cell(book, ref).value(QStringLiteral("locked")).toBool();
    }
    QStringList unlockedCells(const QJsonObject& book, int firstRow, int lastRow) const
    {
        QStringList result;
        for (int r = firstRow; r <= lastRow; ++r)
            for (QChar c : QStringLiteral("ABCDEFGHI"))
                if (!locked(book, QStringLiteral("%1%2").arg(c).arg(r)))
                    result << QStringLiteral("%1%2").arg(c).arg(r);
        return result;
    }
};

TEST_F(WorkbookLayoutTest, ThreeScoredQuestionsOfOneParameterFillRows14To19)
{
    const int p = addParameter(QStringLiteral("Service"));
    const QList<int> ids = {addQuestion(p, QStringLiteral("Were we on time?"), true),
                            addQuestion(p, QStringLiteral("Were we polite?"), true),
                            addQuestion(p, QStringLiteral("Were we clear?"), true)};
    addToSurvey(m_respid, m_surveyid, ids);
    ASSERT_TRUE(exportSurvey());

    const QJsonObject book = openpyxl(workbook(m_lastFileName));
    EXPECT_EQ(v(book, "A14").toString(), "Service");
    for (const char* ref : {"A15", "A16", "A17", "A18", "A19", "I15", "I17", "I19", "B20", "I20"})
        EXPECT_TRUE(v(book, ref).isNull()) << ref;
    EXPECT_EQ(v(book, "I14").toInt(), ids[0]);
    EXPECT_EQ(v(book, "I16").toInt(), ids[1]);
    EXPECT_EQ(v(book, "I18").toInt(), ids[2]);
    EXPECT_EQ(v(book, "B16").toString(), "Were we polite?");
    EXPECT_EQ(v(book, "I4").toInt(), 3);
    EXPECT_EQ(unlockedCells(book, 14, 40), QStringList({"C14", "D14", "C16", "D16", "C18", "D18"}));
    EXPECT_EQ(cell(book, "B14").value("border").toString(), "FFFF0000");
    EXPECT_EQ(cell(book, "C14").value("border").toString(), "FF000000");
    EXPECT_TRUE(cell(book, "B14").value("wrap").toBool());
}

TEST_F(WorkbookLayoutTest, HeaderIsWrittenLockedAndTheSheetProtectedWithThePassword)
{
    const int p = addParameter(QStringLiteral("Service"));
    addToSurvey(m_respid, m_surveyid, {addQuestion(p, QStringLiteral("Were we on time?"), true)});
    ASSERT_TRUE(exportSurvey());

    const QJsonObject book = openpyxl(workbook(m_lastFileName));
    EXPECT_EQ(v(book, "A1").toString(), "Quorvane Test Ltd");
    EXPECT_EQ(v(book, "H1").toString(), "2024-04-02");
    EXPECT_EQ(v(book, "B3").toString(), "Pellorin Survey");
    EXPECT_EQ(v(book, "B8").toString(), "Customer Name : Harbour Instruments");
    EXPECT_EQ(v(book, "B9").toString(), "Respondent Name : Ann Lee");
    EXPECT_EQ(v(book, "I1").toInt(), m_custid);
    EXPECT_EQ(v(book, "I2").toInt(), m_respid);
    EXPECT_EQ(v(book, "I3").toString(), "2024-03-15");
    EXPECT_EQ(v(book, "I5").toInt(), m_surveyid);
    for (const char* ref : {"A1", "H1", "B3", "B8", "B9", "I1", "I2", "I3", "I5"})
        EXPECT_TRUE(locked(book, ref)) << ref;
    EXPECT_TRUE(book.value("protected").toBool());
    const QByteArray hash =
        python("from openpyxl.utils.protection import hash_password; print(hash_password('wubtej'))").trimmed();
    EXPECT_EQ(book.value("password").toString(), QString::fromLatin1(hash));
    EXPECT_TRUE(book.value("hidden_i").toBool());
    EXPECT_EQ(v(book, "C12").toString(), "Score"); // the template's captions stay
}

TEST_F(WorkbookLayoutTest, DescriptiveBlockAndParametersInNameOrderWithPreviousValues)
{
    const int delivery = addParameter(QStringLiteral("Delivery"));
    const int billing = addParameter(QStringLiteral("Billing"));
    const int d1 = addQuestion(delivery, QStringLiteral("Anything to add about delivery?"), false);
    const int d2 = addQuestion(delivery, QStringLiteral("Was it on time?"), true);
    const int b1 = addQuestion(billing, QStringLiteral("Were invoices right?"), true);
    const int b2 = addQuestion(billing, QStringLiteral("Were prices clear?"), true);
    // Survey order: Delivery's descriptive question first, Billing's second question before its first.
    addToSurvey(m_respid, m_surveyid, {d1, d2, b2, b1});
    const QDate earlier(2023, 9, 1);
    addObjective(m_respid, b2, earlier, 6, 0);
    addObjective(m_respid, d2, earlier, 0, 8);
    addDescriptive(m_respid, d1, earlier, 4);
    ASSERT_TRUE(exportSurvey());

    const QJsonObject book = openpyxl(workbook(m_lastFileName));
    // Billing (rows 14..17) before Delivery (rows 18..22); within one, the survey's order.
    EXPECT_EQ(v(book, "A14").toString(), "Billing");
    EXPECT_EQ(v(book, "I14").toInt(), b2);
    EXPECT_EQ(v(book, "I16").toInt(), b1);
    EXPECT_EQ(v(book, "A18").toString(), "Delivery");
    EXPECT_EQ(v(book, "I18").toInt(), d1);
    EXPECT_EQ(v(book, "I21").toInt(), d2);
    EXPECT_TRUE(v(book, "A16").isNull());
    EXPECT_TRUE(v(book, "A21").isNull());

    // Previous values: weightage 6 with score 0, score 8 with weightage 0, never answered: empty.
    EXPECT_EQ(v(book, "F14").toInt(), 6);
    EXPECT_TRUE(v(book, "E14").isNull());
    EXPECT_TRUE(v(book, "E16").isNull());
    EXPECT_TRUE(v(book, "F16").isNull());
    EXPECT_EQ(v(book, "E21").toInt(), 8);
    EXPECT_TRUE(v(book, "F21").isNull());
    EXPECT_EQ(v(book, "F18").toInt(), 4);

    // The descriptive block: question, weightage cell, prompt below, spacer row.
    EXPECT_EQ(v(book, "B18").toString(), "Anything to add about delivery?");
    EXPECT_EQ(cell(book, "B18").value("border").toString(), "FF000080");
    EXPECT_EQ(v(book, "B19").toString(), "Type your Answer here");
    EXPECT_EQ(cell(book, "B19").value("font").toString(), "FF000080");
    EXPECT_EQ(cell(book, "B19").value("border").toString(), "FF0000FF");
    EXPECT_TRUE(cell(book, "B19").value("wrap").toBool());
    EXPECT_TRUE(v(book, "B20").isNull());
    EXPECT_TRUE(cell(book, "C18").value("border").isNull());
    EXPECT_TRUE(cell(book, "E18").value("border").isNull());
    EXPECT_EQ(unlockedCells(book, 14, 40), QStringList({"C14", "D14", "C16", "D16", "D18", "B19", "C21", "D21"}));
    EXPECT_EQ(v(book, "I4").toInt(), 4);
}

TEST_F(WorkbookLayoutTest, ReexportAfterRemovingQuestionsLeavesNothingOfTheOldBlocks)
{
    const int p = addParameter(QStringLiteral("Service"));
    const int q1 = addQuestion(p, QStringLiteral("Kept"), true);
    const int q2 = addQuestion(p, QStringLiteral("Removed text"), false);
    const int q3 = addQuestion(p, QStringLiteral("Removed too"), true);
    addToSurvey(m_respid, m_surveyid, {q1, q2, q3});
    ASSERT_TRUE(exportSurvey());
    const QString name = m_lastFileName;
    run(QStringLiteral("delete from responquesindex where questionid in (?, ?)"), {q2, q3});

    MsgBox::setNextAnswer(MsgBox::Yes); // overwrite
    MsgBox::setNextAnswer(MsgBox::No);  // view
    ASSERT_TRUE(exportSurvey());
    EXPECT_EQ(m_lastFileName, name);

    const QJsonObject book = openpyxl(workbook(name));
    EXPECT_EQ(v(book, "I14").toInt(), q1);
    EXPECT_EQ(v(book, "I4").toInt(), 1);
    for (int r = 15; r <= 40; ++r)
        for (QChar c : QStringLiteral("ABCDEFGI")) {
            const QString ref = QStringLiteral("%1%2").arg(c).arg(r);
            EXPECT_TRUE(v(book, ref).isNull()) << ref.toStdString();
            EXPECT_TRUE(locked(book, ref)) << ref.toStdString();
            EXPECT_TRUE(cell(book, ref).value("border").isNull()) << ref.toStdString();
        }
}

TEST_F(WorkbookLayoutTest, TextsWithMarkupApostrophesAndControlCharactersArriveIntact)
{
    m_customer = QStringLiteral("O'Brien & <Sons>");
    m_custid = addCustomer(m_customer);
    m_respid = addRespondent(m_custid, m_respondent);
    m_surveyid = addSurvey(m_custid, m_date);
    const int p = addParameter(QStringLiteral("Q&A <1>"));
    const QString text = QStringLiteral("Tab\there, bell\x07 and \"quotes\" & 'ticks' </c>");
    addToSurvey(m_respid, m_surveyid, {addQuestion(p, text, true)});
    ASSERT_TRUE(exportSurvey());

    const QJsonObject book = openpyxl(workbook(m_lastFileName));
    EXPECT_EQ(v(book, "B8").toString(), "Customer Name : O'Brien & <Sons>");
    EXPECT_EQ(v(book, "A14").toString(), "Q&A <1>");
    // openpyxl leaves the format's escape of a control character as it stands; spreadsheet programs and our
    // own reader turn it back into the character.
    EXPECT_EQ(v(book, "B14").toString(), QString(text).replace(QChar(7), QLatin1String("_x0007_")));
    std::unique_ptr<Workbook> ours = Workbook::open(workbook(m_lastFileName));
    ASSERT_TRUE(ours);
    EXPECT_EQ(ours->sheet("Sheet1")->text(14, 2), text);
    EXPECT_EQ(value("select count(*) from log where custname=?", {m_customer}).toInt(), 1);
}

} // namespace

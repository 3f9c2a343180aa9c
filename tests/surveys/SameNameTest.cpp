#include "SurveyFixture.h"

#include "platform/workbook/Workbook.h"
#include "platform/workbook/Worksheet.h"
#include "surveys/frmEditExistingSurvey.h"
#include "surveys/frmNewSurvey.h"
#include "surveys/frmPasteSurvey.h"
#include "surveys/frmSelectSurvey.h"

#include <QDateEdit>
#include <QFile>
#include <QListWidget>
#include <QPushButton>

namespace
{

using SameName = SurveyFixture;

// The user clicks the second of the two "Ann Carter" entries.
void pickSecond(QListWidget* list)
{
    const QList<QListWidgetItem*> found = list->findItems(QStringLiteral("Ann Carter"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 2);
    list->setCurrentItem(found[1]);
}

void pickDate(QListWidget* list, const QDate& date)
{
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->data(Qt::UserRole).toDate() == date)
            list->setCurrentRow(i);
}

} // namespace

TEST_F(SameName, EverySurveyWindowWorksOnTheChosenRespondentOfTheName)
{
    // Two Ann Carter of Acme (ids 3 and 4), told apart by their designations; the first has a survey on d1.
    run(QStringLiteral("insert into respondent (custid, respondentname, respondentdesignation) values "
                       "(1, 'Ann Carter', 'Buyer'), (1, 'Ann Carter', 'Engineer')"));
    const int first = 3;
    const int second = 4;
    run(QStringLiteral("insert into survey (sdate, custid) values (?, 1)"), {iso(d1)});
    run(QStringLiteral(
        "insert into responquesindex (respondentid, questionid, surveyid, \"Order\") values (3, 2, 1, 1)"));
    const QStringList firstSurvey = {QStringLiteral("Service/Courtesy")};
    const QStringList composed = {QStringLiteral("Quality/Finish"), QStringLiteral("Delivery/Notes")};
    ASSERT_EQ(stored(first, d1), firstSurvey);

    // Composed through the chooser: a new survey, although the first one has a survey on that date.
    Desktop::setToday(d1);
    auto* chooser = new frmSelectSurvey;
    chooser->Form_Load();
    pickSecond(chooser->lstRespondent);
    QTest::mouseClick(chooser->cmdBlankSurvey, Qt::LeftButton);
    frmNewSurvey* w = SurveyWindows::loadedNewSurvey();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("New Survey"));
    for (const QString& entry : composed) {
        w->grdParamAndQuest->setRow(w->grdParamAndQuest->rows() - 1);
        selectInTree(w->trvParameter, entry.section(u'/', 0, 0), entry.section(u'/', 1));
        QTest::keyClick(w->trvParameter, Qt::Key_Return);
    }
    EXPECT_EQ(stored(second, d1), composed);

    // Exported: the workbook and its log row carry the second one's id.
    MsgBox::setNextAnswer(MsgBox::No);
    QTest::mouseClick(w->cmdExport, Qt::LeftButton);
    EXPECT_EQ(value(QStringLiteral("select group_concat(respid) from log")).toInt(), second);
    const QString workbook = programFile(value(QStringLiteral("select xlsfilename from log")).toString());
    std::unique_ptr<Workbook> book = Workbook::open(workbook);
    ASSERT_TRUE(book && book->sheet(QStringLiteral("Sheet1")));
    EXPECT_EQ(book->sheet(QStringLiteral("Sheet1"))->value(2, 9).toInt(), second);

    // Copied from the second one's d1 to d2 through the chooser.
    chooser->dtSDate->setDate(d2);
    SurveyWindows::runPaste = [&](frmPasteSurvey& d) {
        pickSecond(d.lstRespondent);
        pickDate(d.lstSurvetDates, d1);
        QTest::mouseClick(d.cmdPaste, Qt::LeftButton);
    };
    QTest::mouseClick(chooser->cmdExistingSurvey, Qt::LeftButton);
    EXPECT_EQ(stored(second, d2), composed);
    EXPECT_EQ(gridEntries(w->grdParamAndQuest), composed);

    // The exported date deleted in the editor: only the second one's rows of d1 go.
    auto* e = new frmEditExistingSurvey;
    e->Form_Load();
    pickSecond(e->lstRespondent);
    pickDate(e->lstSurvetDates, d1);
    EXPECT_EQ(gridEntries(e->grdParamAndQuest), composed);
    MsgBox::setNextAnswer(MsgBox::Yes);
    QTest::keyClick(e->lstSurvetDates, Qt::Key_Delete);
    EXPECT_TRUE(stored(second, d1).isEmpty());
    EXPECT_EQ(stored(second, d2), composed);
    EXPECT_EQ(stored(first, d1), firstSurvey);
    EXPECT_TRUE(stored(first, d2).isEmpty());
    EXPECT_EQ(count(QStringLiteral("log")), 0);
    EXPECT_TRUE(QFile::exists(workbook));
}

TEST_F(SameName, CopyLeavesOutTheSurveyDateOfTheRespondentBeingSurveyedOnly)
{
    // Both Ann Carter of Acme (ids 3 and 4) were surveyed on d1; the second one's survey of d1 is being made.
    run(QStringLiteral("insert into respondent (custid, respondentname) values (1, 'Ann Carter'), (1, 'Ann Carter')"));
    run(QStringLiteral("insert into survey (sdate, custid) values (?, 1)"), {iso(d1)});
    run(QStringLiteral("insert into responquesindex (respondentid, questionid, surveyid, \"Order\") values "
                       "(3, 2, 1, 1), (4, 2, 1, 1)"));
    Desktop::setToday(d1);
    auto* chooser = new frmSelectSurvey;
    chooser->Form_Load();
    pickSecond(chooser->lstRespondent);
    QStringList offered;
    SurveyWindows::runPaste = [&](frmPasteSurvey& d) {
        for (QListWidgetItem* entry : d.lstRespondent->findItems(QStringLiteral("Ann Carter"), Qt::MatchExactly)) {
            d.lstRespondent->setCurrentItem(entry);
            offered << QString::number(d.lstSurvetDates->count());
        }
    };
    QTest::mouseClick(chooser->cmdExistingSurvey, Qt::LeftButton);
    // The first one's survey of d1 may be copied; the second one's own is not offered.
    EXPECT_EQ(offered, QStringList({QStringLiteral("1"), QStringLiteral("0")}));
}

#include "SurveyFixture.h"

#include "shell/MDIMain.h"
#include "surveys/frmNewSurvey.h"
#include "surveys/frmSelectSurvey.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace
{

class Compose : public SurveyFixture
{
protected:
    frmSelectSurvey* openChooser(const QString& respondent = QStringLiteral("Ann"), const QDate& date = {})
    {
        Desktop::setToday(d1);
        auto* chooser = new frmSelectSurvey;
        chooser->Form_Load();
        chooser->show();
        const auto found = chooser->lstRespondent->findItems(respondent, Qt::MatchExactly);
        if (!found.isEmpty())
            chooser->lstRespondent->setCurrentItem(found.first());
        if (date.isValid())
            chooser->dtSDate->setDate(date);
        return chooser;
    }
    frmNewSurvey* openBlank(frmSelectSurvey* chooser)
    {
        QTest::mouseClick(chooser->cmdBlankSurvey, Qt::LeftButton);
        return SurveyWindows::loadedNewSurvey();
    }
    void addByEnter(frmNewSurvey* w, const QString& p, const QString& q)
    {
        selectInTree(w->trvParameter, p, q);
        QTest::keyClick(w->trvParameter, Qt::Key_Return);
    }
};

} // namespace

TEST_F(Compose, ChooserFillsAndCascades)
{
    frmSelectSurvey* chooser = openChooser();
    EXPECT_EQ(chooser->windowTitle(), QStringLiteral("Select"));
    EXPECT_EQ(chooser->dtSDate->date(), d1);
    ASSERT_EQ(chooser->cmbCustomer->count(), 2);
    EXPECT_EQ(chooser->cmbCustomer->currentText(), QStringLiteral("Acme"));
    EXPECT_EQ(chooser->lstRespondent->count(), 2);

    // A customer without respondents: nothing to select, and neither button opens or stores anything.
    chooser->cmbCustomer->setCurrentIndex(1);
    EXPECT_EQ(chooser->lstRespondent->count(), 0);
    EXPECT_EQ(chooser->lstRespondent->currentRow(), -1);
    const QString before = snapshot();
    QTest::mouseClick(chooser->cmdBlankSurvey, Qt::LeftButton);
    QTest::mouseClick(chooser->cmdExistingSurvey, Qt::LeftButton);
    EXPECT_EQ(SurveyWindows::loadedNewSurvey(), nullptr);
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(boxes().isEmpty());

    chooser->cmbCustomer->setCurrentIndex(0);
    EXPECT_EQ(chooser->lstRespondent->currentItem()->text(), QStringLiteral("Ann"));
}

TEST_F(Compose, AddingByEveryGestureKeepsPositionsWithoutGaps)
{
    frmNewSurvey* w = openBlank(openChooser());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("New Survey"));
    EXPECT_EQ(w->grdParamAndQuest->rows(), 2);
    EXPECT_EQ(w->lblCustomerName->text(), QStringLiteral("Acme"));
    EXPECT_EQ(w->lblRespondentName->text(), QStringLiteral("Ann"));
    EXPECT_EQ(count(QStringLiteral("survey")), 0);

    addByEnter(w, QStringLiteral("Service"), QStringLiteral("Courtesy"));
    EXPECT_EQ(w->grdParamAndQuest->rows(), 3);
    EXPECT_EQ(count(QStringLiteral("survey")), 1);

    // Double click with the blank row current appends.
    w->grdParamAndQuest->setRow(w->grdParamAndQuest->rows() - 1);
    selectInTree(w->trvParameter, QStringLiteral("Quality"), QStringLiteral("Finish"));
    const QRect rect = w->trvParameter->visualItemRect(w->trvParameter->currentItem());
    QTest::mouseDClick(w->trvParameter->viewport(), Qt::LeftButton, {}, rect.center());
    // A drop on the grid with row 1 current inserts before it.
    w->grdParamAndQuest->setRow(1);
    selectInTree(w->trvParameter, QStringLiteral("Delivery"), QStringLiteral("On time"));
    dragFromTree(w->trvParameter, w->grdParamAndQuest, true);
    EXPECT_FALSE(gDroppedOnGrid);
    // A drag that ends elsewhere adds nothing.
    selectInTree(w->trvParameter, QStringLiteral("Delivery"), QStringLiteral("Notes"));
    dragFromTree(w->trvParameter, w->grdParamAndQuest, false);

    const QStringList expected = {QStringLiteral("Delivery/On time"), QStringLiteral("Service/Courtesy"),
                                  QStringLiteral("Quality/Finish")};
    EXPECT_EQ(stored(QStringLiteral("Ann"), d1), expected);
    EXPECT_EQ(gridEntries(w->grdParamAndQuest), expected);
    EXPECT_EQ(positions(QStringLiteral("Ann"), d1), oneTo(3));
    EXPECT_EQ(count(QStringLiteral("survey")), 1);

    // The same question again changes nothing; the same text under another parameter is another question.
    const QString before = snapshot();
    addByEnter(w, QStringLiteral("Service"), QStringLiteral("Courtesy"));
    EXPECT_EQ(snapshot(), before);
    addByEnter(w, QStringLiteral("Service"), QStringLiteral("Speed of reply"));
    addByEnter(w, QStringLiteral("Quality"), QStringLiteral("Speed of reply"));
    EXPECT_EQ(positions(QStringLiteral("Ann"), d1), oneTo(5));
    EXPECT_TRUE(boxes().isEmpty());

    // A parameter item is ignored here; with nothing selected Add says so.
    selectInTree(w->trvParameter, QStringLiteral("Quality"));
    w->cmdAdd_Click();
    EXPECT_TRUE(boxes().isEmpty());
    w->trvParameter->setCurrentItem(nullptr);
    w->cmdAdd_Click();
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].text, QStringLiteral("Select a Question to add"));
    EXPECT_EQ(boxes()[0].style, 16);
    EXPECT_EQ(boxes()[0].title, QStringLiteral("Quorvane v2.1"));

    // From the eighth row on, the grid scrolls towards the last question.
    w->grdParamAndQuest->setFixedHeight(90);
    w->grdParamAndQuest->setRow(w->grdParamAndQuest->rows() - 1);
    addByEnter(w, QStringLiteral("Delivery"), QStringLiteral("Packaging"));
    EXPECT_EQ(w->grdParamAndQuest->rows(), 8);
    EXPECT_GT(w->grdParamAndQuest->topRow(), 1);
    EXPECT_EQ(Progress::text(), QString());
}

TEST_F(Compose, RemovingAndSavingRenumber)
{
    storeSurvey(
        QStringLiteral("Ann"), d1,
        {QStringLiteral("Service/Courtesy"), QStringLiteral("Quality/Finish"), QStringLiteral("Delivery/Notes")});
    // Positions with gaps, as a copy may leave them, are made 1..n by the next save.
    run(QStringLiteral("update responquesindex set \"Order\" = \"Order\" * 10"));
    MsgBox::setNextAnswer(MsgBox::Yes);
    frmNewSurvey* w = openBlank(openChooser());
    ASSERT_EQ(w->grdParamAndQuest->rows(), 5);

    // Double click on row 2 removes it.
    w->grdParamAndQuest->setRow(2);
    emit w->grdParamAndQuest->dblClick();
    EXPECT_EQ(stored(QStringLiteral("Ann"), d1),
              QStringList({QStringLiteral("Service/Courtesy"), QStringLiteral("Delivery/Notes")}));
    EXPECT_EQ(positions(QStringLiteral("Ann"), d1), oneTo(2));

    // The blank last row of a list is left alone.
    const QString before = snapshot();
    w->grdParamAndQuest->setRow(w->grdParamAndQuest->rows() - 1);
    w->cmdRemove_Click();
    EXPECT_EQ(snapshot(), before);

    w->grdParamAndQuest->setRow(1);
    w->cmdRemove_Click();
    w->grdParamAndQuest->setRow(1);
    w->cmdRemove_Click();
    EXPECT_EQ(w->grdParamAndQuest->rows(), 2);
    EXPECT_TRUE(stored(QStringLiteral("Ann"), d1).isEmpty());
    // Removing on an empty survey stores the empty list and keeps the survey row.
    w->cmdRemove_Click();
    EXPECT_EQ(count(QStringLiteral("survey")), 1);
    EXPECT_EQ(Progress::text(), QString());
}

TEST_F(Compose, ReopeningAsksAndSharesTheSurveyRow)
{
    storeSurvey(QStringLiteral("Ann"), d1, {QStringLiteral("Service/Courtesy"), QStringLiteral("Quality/Finish")});
    frmSelectSurvey* chooser = openChooser();

    MsgBox::setNextAnswer(MsgBox::No);
    const QString before = snapshot();
    QTest::mouseClick(chooser->cmdBlankSurvey, Qt::LeftButton);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].text, QStringLiteral("Survey already exists for Selected Survey Date,Customer and "
                                              "Respondent....\r\nDo you wish to Edit the same Survey....Press "
                                              "'Yes' to continue"));
    EXPECT_EQ(boxes()[0].style, 68);
    EXPECT_EQ(boxes()[0].title, QStringLiteral("Quorvane v2.1"));
    EXPECT_EQ(SurveyWindows::loadedNewSurvey(), nullptr);
    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(gPastePending);

    MsgBox::setNextAnswer(MsgBox::Yes);
    frmNewSurvey* w = openBlank(chooser);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Edit Selected Survey"));
    EXPECT_EQ(gridEntries(w->grdParamAndQuest),
              QStringList({QStringLiteral("Service/Courtesy"), QStringLiteral("Quality/Finish")}));

    // Bob on the same date: asked per respondent, so a new survey, on the shared survey row.
    chooser->lstRespondent->setCurrentRow(1);
    MsgBox::clearRecords();
    openBlank(chooser);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("New Survey"));
    EXPECT_EQ(w->lblRespondentName->text(), QStringLiteral("Bob"));
    EXPECT_EQ(w->grdParamAndQuest->rows(), 2);
    addByEnter(w, QStringLiteral("Delivery"), QStringLiteral("Notes"));
    EXPECT_EQ(count(QStringLiteral("survey")), 1);
    EXPECT_EQ(stored(QStringLiteral("Bob"), d1), QStringList({QStringLiteral("Delivery/Notes")}));
    EXPECT_EQ(stored(QStringLiteral("Ann"), d1),
              QStringList({QStringLiteral("Service/Courtesy"), QStringLiteral("Quality/Finish")}));
}

TEST_F(Compose, MovesSwapNeighboursOfThisSurveyOnly)
{
    const QStringList three = {QStringLiteral("Service/Courtesy"), QStringLiteral("Quality/Finish"),
                               QStringLiteral("Delivery/Notes")};
    storeSurvey(QStringLiteral("Ann"), d1, three);
    storeSurvey(QStringLiteral("Ann"), d2, three);
    MsgBox::setNextAnswer(MsgBox::Yes);
    frmNewSurvey* w = openBlank(openChooser());
    FlexGrid* g = w->grdParamAndQuest;
    const QString before = snapshot();

    g->setRow(1);
    QTest::mouseClick(w->cmdUpward, Qt::LeftButton);
    g->setRow(3);
    QTest::mouseClick(w->cmdDownward, Qt::LeftButton);
    g->setRow(4); // the blank row
    QTest::mouseClick(w->cmdUpward, Qt::LeftButton);
    QTest::mouseClick(w->cmdDownward, Qt::LeftButton);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(g->row(), 4);

    g->setRow(2);
    QTest::mouseClick(w->cmdUpward, Qt::LeftButton);
    EXPECT_EQ(g->row(), 1);
    const QStringList swapped = {QStringLiteral("Quality/Finish"), QStringLiteral("Service/Courtesy"),
                                 QStringLiteral("Delivery/Notes")};
    EXPECT_EQ(stored(QStringLiteral("Ann"), d1), swapped);
    EXPECT_EQ(gridEntries(g), swapped);
    EXPECT_EQ(positions(QStringLiteral("Ann"), d1), oneTo(3));
    EXPECT_EQ(stored(QStringLiteral("Ann"), d2), three);

    g->setRow(2);
    QTest::mouseClick(w->cmdDownward, Qt::LeftButton);
    EXPECT_EQ(g->row(), 3);
    EXPECT_EQ(g->textMatrix(4, 1), QString());
    EXPECT_EQ(stored(QStringLiteral("Ann"), d1).last(), QStringLiteral("Service/Courtesy"));
    EXPECT_EQ(Progress::text(), QString());
}

TEST_F(Compose, MoveOnAStaleGridNeitherDuplicatesNorLosesAPosition)
{
    storeSurvey(
        QStringLiteral("Ann"), d1,
        {QStringLiteral("Service/Courtesy"), QStringLiteral("Quality/Finish"), QStringLiteral("Delivery/Notes")});
    MsgBox::setNextAnswer(MsgBox::Yes);
    frmNewSurvey* w = openBlank(openChooser());
    // Another window reorders the survey behind this one's back.
    run(QStringLiteral("update responquesindex set \"Order\" = 4 - \"Order\""));
    const QStringList reordered = {QStringLiteral("Delivery/Notes"), QStringLiteral("Quality/Finish"),
                                   QStringLiteral("Service/Courtesy")};
    // Row 1 still shows Service/Courtesy, which is now the last: there is nothing below it to swap with.
    w->grdParamAndQuest->setRow(1);
    w->cmdDownward_Click();
    EXPECT_EQ(stored(QStringLiteral("Ann"), d1), reordered);
    EXPECT_EQ(positions(QStringLiteral("Ann"), d1), oneTo(3));
    // Row 2 shows Quality/Finish, stored second: it swaps with the one stored below it, and the grid catches up.
    w->grdParamAndQuest->setRow(2);
    w->cmdDownward_Click();
    EXPECT_EQ(stored(QStringLiteral("Ann"), d1),
              QStringList({QStringLiteral("Delivery/Notes"), QStringLiteral("Service/Courtesy"),
                           QStringLiteral("Quality/Finish")}));
    EXPECT_EQ(positions(QStringLiteral("Ann"), d1), oneTo(3));
    EXPECT_EQ(gridEntries(w->grdParamAndQuest), stored(QStringLiteral("Ann"), d1));
    EXPECT_EQ(w->grdParamAndQuest->row(), 3);
}

TEST_F(Compose, FailedMoveLeavesTheSurveyAsItWas)
{
    storeSurvey(QStringLiteral("Ann"), d1, {QStringLiteral("Service/Courtesy"), QStringLiteral("Quality/Finish")});
    MsgBox::setNextAnswer(MsgBox::Yes);
    frmNewSurvey* w = openBlank(openChooser());
    run(QStringLiteral("create trigger refuse before update on responquesindex when new.\"Order\" = 1 "
                       "begin select raise(abort, 'refused'); end"));
    const QString before = snapshot();
    w->grdParamAndQuest->setRow(2);
    w->cmdUpward_Click();
    EXPECT_EQ(snapshot(), before);
    ASSERT_EQ(boxes().size(), 2); // the reopening question, then the error
    EXPECT_TRUE(boxes()[1].text.startsWith(QStringLiteral("Error : ")));
}

TEST_F(Compose, DatesKeepTheirCentury)
{
    const QDate old(1925, 3, 4);
    frmNewSurvey* w = openBlank(openChooser(QStringLiteral("Ann"), old));
    EXPECT_TRUE(w->lblSurveyDate->text().contains(QStringLiteral("1925")));
    addByEnter(w, QStringLiteral("Service"), QStringLiteral("Courtesy"));
    EXPECT_EQ(value(QStringLiteral("select sdate from survey")).toString(), QStringLiteral("1925-03-04"));
}

TEST_F(Compose, EscClosesTheWindows)
{
    // Esc is the main window's, for every window it holds.
    MDIMain main;
    main.show();
    Desktop::setToday(d1);
    frmSelectSurvey* chooser = main.showChild<frmSelectSurvey>();
    chooser->lstRespondent->setCurrentRow(0);
    QPointer<frmNewSurvey> w = openBlank(chooser);
    QTest::keyClick(w->trvParameter, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull());
    EXPECT_EQ(SurveyWindows::loadedNewSurvey(), nullptr);
    QTest::keyClick(chooser->lstRespondent, Qt::Key_Escape);
    EXPECT_EQ(SurveyWindows::selectSurvey(), nullptr);
}

TEST_F(Compose, TreeListsEachParameterOnceWithItsKindsOfQuestion)
{
    // A second parameter of the same name (as renaming can leave) shows under the first.
    run(QStringLiteral("insert into parameter (parametername) values ('SERVICE')"));
    run(QStringLiteral("insert into questions (question, Type, paramid) values ('Extra', 1, 4)"));
    frmNewSurvey* w = openBlank(openChooser());
    ParameterTree* tree = w->trvParameter;
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    QTreeWidgetItem* service = tree->topLevelItem(0);
    EXPECT_EQ(service->text(0), QStringLiteral("Service"));
    ASSERT_EQ(service->childCount(), 5);
    EXPECT_EQ(service->child(4)->text(0), QStringLiteral("Extra"));
    const qint64 scored = service->child(0)->icon(0).cacheKey();
    EXPECT_EQ(service->child(1)->icon(0).cacheKey(), scored);
    EXPECT_NE(service->child(2)->icon(0).cacheKey(), scored); // "Comments" is descriptive
    EXPECT_NE(service->icon(0).cacheKey(), scored);

    // Labels are never edited.
    tree->setCurrentItem(service->child(0));
    QTest::keyClick(tree, Qt::Key_F2);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(service->child(0)).center());
    EXPECT_EQ(tree->findChild<QLineEdit*>(), nullptr);
    EXPECT_EQ(service->child(0)->text(0), QStringLiteral("Speed of reply"));
}

TEST_F(Compose, ExportButtonWritesTheWorkbookAndLogsIt)
{
    storeSurvey(QStringLiteral("Ann"), d1, {QStringLiteral("Service/Courtesy"), QStringLiteral("Delivery/Notes")});
    MsgBox::setNextAnswer(MsgBox::Yes);
    frmNewSurvey* w = openBlank(openChooser());
    ASSERT_TRUE(w->cmdExport->isEnabled());
    MsgBox::setNextAnswer(MsgBox::No); // do not open the workbook afterwards
    w->cmdExport->click();
    ASSERT_FALSE(w->mFileName.isEmpty());
    EXPECT_TRUE(QFile::exists(programFile(w->mFileName)));
    EXPECT_EQ(value(QStringLiteral("select count(*) from log where xlsfilename=?"), {w->mFileName}).toInt(), 1);
    EXPECT_FALSE(w->mMailMode);
    EXPECT_EQ(Progress::text(), QString());
}

TEST_F(Compose, ChooserOpensTheRespondentShownChosen)
{
    frmSelectSurvey* chooser = openChooser();
    QListWidget* list = chooser->lstRespondent;
    // Bob chosen; Ctrl+click on him and a press below the entries leave him chosen.
    clickEntry(list, 1);
    clickEntry(list, 1, Qt::ControlModifier);
    clickEntry(list, -1);
    ASSERT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->selectedItems().first()->text(), QStringLiteral("Bob"));
    // Ann made the list's current entry without being chosen: Bob's survey opens all the same.
    list->selectionModel()->setCurrentIndex(list->model()->index(0, 0), QItemSelectionModel::NoUpdate);
    frmNewSurvey* w = openBlank(chooser);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->survey().respondentId, respondentId(QStringLiteral("Bob")));
    addByEnter(w, QStringLiteral("Service"), QStringLiteral("Courtesy"));
    EXPECT_EQ(stored(QStringLiteral("Bob"), d1), QStringList{QStringLiteral("Service/Courtesy")});
    EXPECT_TRUE(stored(QStringLiteral("Ann"), d1).isEmpty());
}

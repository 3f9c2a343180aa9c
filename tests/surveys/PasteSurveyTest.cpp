#include "SurveyFixture.h"

#include "surveys/frmEditExistingSurvey.h"
#include "surveys/frmNewSurvey.h"
#include "surveys/frmPasteSurvey.h"
#include "surveys/frmSelectSurvey.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <functional>

namespace
{

class PasteSurvey : public SurveyFixture
{
protected:
    const QStringList five = {QStringLiteral("Service/Courtesy"), QStringLiteral("Quality/Finish"),
                              QStringLiteral("Delivery/Notes"), QStringLiteral("Service/Comments"),
                              QStringLiteral("Quality/Defects")};

    // Answers the modal copy window: the test picks the source and presses a button.
    void whenCopyOpens(std::function<void(frmPasteSurvey&)> drive)
    {
        SurveyWindows::runPaste = [this, drive](frmPasteSurvey& dialog) {
            ++m_opened;
            dialog.show();
            drive(dialog);
            if (dialog.isVisible())
                dialog.reject();
            m_copyRowsAtClose = count(QStringLiteral("copydetails"));
        };
    }
    static void pick(frmPasteSurvey& d, const QString& respondent, const QDate& date)
    {
        d.lstRespondent->setCurrentItem(d.lstRespondent->findItems(respondent, Qt::MatchExactly).first());
        for (int i = 0; i < d.lstSurvetDates->count(); ++i)
            if (d.lstSurvetDates->item(i)->data(Qt::UserRole).toDate() == date)
                d.lstSurvetDates->setCurrentRow(i);
    }
    frmSelectSurvey* openChooser(const QString& respondent)
    {
        auto* c = new frmSelectSurvey;
        c->Form_Load();
        c->show();
        c->lstRespondent->setCurrentItem(c->lstRespondent->findItems(respondent, Qt::MatchExactly).first());
        c->dtSDate->setDate(d2);
        return c;
    }

    int m_opened = 0;
    int m_copyRowsAtClose = -1;
};

} // namespace

TEST_F(PasteSurvey, ImportAppendsOnlyMissingQuestionsAndHandsBackToTheEditor)
{
    storeSurvey(QStringLiteral("Bob"), d1, five);
    storeSurvey(QStringLiteral("Ann"), d2, {QStringLiteral("Delivery/Notes"), QStringLiteral("Service/Courtesy")});
    frmEditExistingSurvey* editor = openEditor();
    editor->lstSurvetDates->setCurrentRow(0);
    ASSERT_EQ(editor->surveyDate(), d2);
    QPointer<frmSelectSurvey> chooser = openChooser(QStringLiteral("Ann"));

    whenCopyOpens([this](frmPasteSurvey& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Existing Survey..."));
        EXPECT_EQ(d.txtRespondent->text(), QStringLiteral("Ann"));
        EXPECT_FALSE(d.txtCustomer->isVisible());
        EXPECT_EQ(d.pos(), QPoint(33, 67));
        pick(d, QStringLiteral("Bob"), d1);
        EXPECT_EQ(gridEntries(d.grdParamAndQuest), five);
        QTest::mouseClick(d.cmdPaste, Qt::LeftButton);
        EXPECT_FALSE(d.isVisible());
    });
    QTest::mouseClick(editor->cmdCopy, Qt::LeftButton);
    EXPECT_EQ(m_opened, 1);
    EXPECT_FALSE(gPasteForNewSurvey);
    EXPECT_EQ(stored(QStringLiteral("Ann"), d2),
              QStringList({QStringLiteral("Delivery/Notes"), QStringLiteral("Service/Courtesy"),
                           QStringLiteral("Quality/Finish"), QStringLiteral("Service/Comments"),
                           QStringLiteral("Quality/Defects")}));
    EXPECT_EQ(positions(QStringLiteral("Ann"), d2), oneTo(5));
    EXPECT_EQ(gridEntries(editor->grdParamAndQuest), stored(QStringLiteral("Ann"), d2));
    EXPECT_EQ(stored(QStringLiteral("Bob"), d1), five);
    EXPECT_EQ(m_copyRowsAtClose, 0);
    // The chooser is unloaded at the end of an import into an existing survey.
    EXPECT_EQ(SurveyWindows::selectSurvey(), nullptr);

    // Importing a survey into itself adds nothing.
    const QString before = snapshot();
    whenCopyOpens([](frmPasteSurvey& d) {
        pick(d, QStringLiteral("Ann"), QDate(2031, 6, 1));
        d.cmdPaste_Click();
    });
    editor->cmdCopy_Click();
    EXPECT_EQ(snapshot(), before);
}

TEST_F(PasteSurvey, CopyFromTheChooserOpensTheCopiedSurveyWithoutAsking)
{
    storeSurvey(QStringLiteral("Bob"), d1, five.mid(0, 3));
    storeSurvey(QStringLiteral("Ann"), d2, {QStringLiteral("Quality/Durability")});
    storeSurvey(QStringLiteral("Ann"), d1, {QStringLiteral("Quality/Durability")});
    frmSelectSurvey* chooser = openChooser(QStringLiteral("Ann"));
    whenCopyOpens([this](frmPasteSurvey& d) {
        // The survey being composed (Ann on d2) is not offered as its own source.
        pick(d, QStringLiteral("Ann"), d1);
        EXPECT_EQ(d.lstSurvetDates->count(), 1);
        pick(d, QStringLiteral("Bob"), d1);
        QTest::mouseClick(d.cmdPaste, Qt::LeftButton);
    });
    QTest::mouseClick(chooser->cmdExistingSurvey, Qt::LeftButton);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_FALSE(gPastePending);
    frmNewSurvey* w = SurveyWindows::loadedNewSurvey();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Edit Selected Survey"));
    EXPECT_EQ(w->lblRespondentName->text(), QStringLiteral("Ann"));
    EXPECT_EQ(gridEntries(w->grdParamAndQuest), stored(QStringLiteral("Ann"), d2));
    EXPECT_EQ(stored(QStringLiteral("Ann"), d2).size(), 4);
    EXPECT_EQ(positions(QStringLiteral("Ann"), d2), oneTo(4));
    EXPECT_EQ(m_copyRowsAtClose, 0);

    // A second press of the button asks again.
    MsgBox::setNextAnswer(MsgBox::No);
    QTest::mouseClick(chooser->cmdBlankSurvey, Qt::LeftButton);
    EXPECT_EQ(boxes().size(), 1);
}

TEST_F(PasteSurvey, NewSurveyGetsTheSourceInOrderAndItsSurveyRow)
{
    storeSurvey(QStringLiteral("Bob"), d1, five.mid(0, 3));
    frmSelectSurvey* chooser = openChooser(QStringLiteral("Ann"));
    // Import from the composition window of a survey not yet stored.
    QTest::mouseClick(chooser->cmdBlankSurvey, Qt::LeftButton);
    frmNewSurvey* w = SurveyWindows::loadedNewSurvey();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(surveyId(d2), 0);
    whenCopyOpens([](frmPasteSurvey& d) {
        pick(d, QStringLiteral("Bob"), QDate(2031, 3, 14));
        d.cmdPaste_Click();
    });
    QTest::mouseClick(w->cmdCopy, Qt::LeftButton);
    EXPECT_NE(surveyId(d2), 0);
    EXPECT_EQ(stored(QStringLiteral("Ann"), d2), five.mid(0, 3));
    EXPECT_EQ(gridEntries(w->grdParamAndQuest), five.mid(0, 3));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Edit Selected Survey"));
}

TEST_F(PasteSurvey, NothingToCopyOrAFailedCopyKeepsTheWindowOpen)
{
    storeSurvey(QStringLiteral("Bob"), d1, five);
    storeSurvey(QStringLiteral("Ann"), d2, {QStringLiteral("Quality/Durability")});
    frmEditExistingSurvey* editor = openEditor();
    editor->lstSurvetDates->setCurrentRow(0);
    whenCopyOpens([this](frmPasteSurvey& d) {
        // Bob's dates listed, none chosen: the grid shows none of his questions, and Ok asks for a date.
        pick(d, QStringLiteral("Bob"), QDate());
        d.lstSurvetDates->clearSelection();
        EXPECT_EQ(d.grdParamAndQuest->rows(), 2);
        EXPECT_TRUE(d.grdParamAndQuest->textMatrix(1, 1).isEmpty());
        gPastePending = true;
        d.cmdPaste_Click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(gPastePending);
        ASSERT_EQ(boxes().size(), 1);
        EXPECT_EQ(boxes()[0].text, QStringLiteral("Select a Survey Date to import...."));
        EXPECT_EQ(boxes()[0].style, 16);

        // The third question is refused by the database: nothing of the copy stays, and nothing is handed back.
        run(QStringLiteral("create trigger refuse before insert on responquesindex when "
                           "(select count(*) from responquesindex) >= 8 begin select raise(abort, 'full'); end"));
        const QString before = snapshot();
        pick(d, QStringLiteral("Bob"), QDate(2031, 3, 14));
        d.cmdPaste_Click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(snapshot(), before);
        EXPECT_TRUE(boxes().last().text.startsWith(QStringLiteral("Error : ")));
        QTest::keyClick(d.lstRespondent, Qt::Key_Escape);
        EXPECT_FALSE(d.isVisible());
    });
    editor->cmdCopy_Click();
    EXPECT_EQ(m_copyRowsAtClose, 0);
    EXPECT_EQ(stored(QStringLiteral("Ann"), d2), QStringList({QStringLiteral("Quality/Durability")}));
}

TEST_F(PasteSurvey, ARespondentGoneMeanwhileIsReportedAndNothingIsCopied)
{
    storeSurvey(QStringLiteral("Bob"), d1, five);
    storeSurvey(QStringLiteral("Ann"), d2, {QStringLiteral("Quality/Durability")});
    frmEditExistingSurvey* editor = openEditor();
    editor->lstSurvetDates->setCurrentRow(0);
    const QString nothing = QStringLiteral("Nothing was imported.");
    whenCopyOpens([&](frmPasteSurvey& d) {
        pick(d, QStringLiteral("Bob"), d1);
        // The target respondent is renamed while the window is open, then the source respondent deleted.
        run(QStringLiteral("update respondent set respondentname='Anne' where respondentname='Ann'"));
        QString before = snapshot();
        gPastePending = true;
        QTest::mouseClick(d.cmdPaste, Qt::LeftButton);
        EXPECT_TRUE(d.isVisible());
        EXPECT_FALSE(gPastePending);
        EXPECT_EQ(snapshot(), before);
        ASSERT_EQ(boxes().size(), 1);
        EXPECT_EQ(boxes()[0].text, notFoundBox(QStringLiteral("to import into"), QStringLiteral("Ann"), d2, nothing));
        EXPECT_EQ(boxes()[0].title, QString());

        run(QStringLiteral("update respondent set respondentname='Ann' where respondentname='Anne'"));
        run(QStringLiteral("delete from respondent where respondentname='Bob'"));
        before = snapshot();
        QTest::mouseClick(d.cmdPaste, Qt::LeftButton);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(boxes().last().text,
                  notFoundBox(QStringLiteral("to import from"), QStringLiteral("Bob"), d1, nothing));
    });
    editor->cmdCopy_Click();
}

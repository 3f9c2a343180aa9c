#include "analysis/frmImprovementPlan.h"
#include "support/ProgramFixture.h"

#include <QAction>
#include <QMenu>
#include <QRadioButton>

namespace
{

// Three customers, "today" fixed, the window opened from the toolbar.
class ImprovementPlan : public ProgramFixture
{
protected:
    const QDate today{2031, 5, 20};
    const QDate d1{2031, 1, 2};
    const QDate d2{2031, 1, 10};

    void SetUp() override
    {
        ProgramFixture::SetUp();
        Desktop::setToday(today);
        for (const char* name : {"Cedar", "Acme", "Birch"})
            customer(QLatin1String(name));
        w = open<frmImprovementPlan>(main()->btnmImprovement);
        ASSERT_NE(w, nullptr);
    }
    // Every action as "customer|date|text|target|status", by customer name and date.
    QStringList actions() const
    {
        return table(QStringLiteral("select custname, \"Date\", Action, targetdate, Status from action "
                                    "order by custname, \"Date\""));
    }

    frmImprovementPlan* w = nullptr;
};

} // namespace

TEST_F(ImprovementPlan, SaveStoresOneActionPerSelectedCustomerAndOverwritesOnTheSameDate)
{
    w->txtDescription->setText("   ");
    w->cmdSave->click();
    EXPECT_EQ(messages(), QStringList{"Enter the description to save......."});
    EXPECT_TRUE(actions().isEmpty());

    ASSERT_EQ(w->lstCusName->currentItem()->text(), "Acme");
    click(w->lstCusName, "Birch");
    click(w->lstCusName, "Cedar");
    w->dtdate->setDate(d1);
    w->dttargetDate->setDate(d2);
    w->txtDescription->clear();
    QTest::keyClicks(w->txtDescription, "  Call the customer's buyer  ");
    w->opnComplete->click();
    w->cmdSave->click();
    // With an apostrophe the description is trimmed and the apostrophe turned; without one, it is kept as typed.
    const QString row = "|" + iso(d1) + "|Call the customer\u2019s buyer|" + iso(d2) + "|1";
    EXPECT_EQ(actions(), QStringList({"Acme" + row, "Birch" + row, "Cedar" + row}));
    // The same customers and date again: overwritten, none added.
    w->txtDescription->setText("  Replies within a day  ");
    w->opnNotComplete->click();
    w->cmdSave->click();
    const QString again = "|" + iso(d1) + "|  Replies within a day  |" + iso(d2) + "|0";
    EXPECT_EQ(actions(), QStringList({"Acme" + again, "Birch" + again, "Cedar" + again}));
}

TEST_F(ImprovementPlan, ListsTheCurrentCustomersActionsByDateAndLoadsThemIntoTheFields)
{
    action("Acme", d2, "Later action", true);
    action("Acme", d1, "Earlier action");
    action("Birch", d1, "Birch action");
    w->toFillListView();
    // By the date itself, though the later date's text sorts first.
    EXPECT_EQ(texts(w->lsvDtls, 1), (QStringList{shown(d1), shown(d2)}));
    EXPECT_EQ(texts(w->lsvDtls, 3), (QStringList{"Not Complete", "Complete"}));

    QTreeWidgetItem* row = w->lsvDtls->topLevelItem(1);
    QTest::mouseClick(w->lsvDtls->viewport(), Qt::LeftButton, {}, w->lsvDtls->visualItemRect(row).center());
    EXPECT_EQ(w->txtDescription->text(), "Later action");
    EXPECT_EQ(w->dtdate->date(), d2);
    EXPECT_TRUE(w->opnComplete->isChecked());

    // A second customer picked: blank fields, today's dates.
    click(w->lstCusName, "Birch");
    EXPECT_EQ(w->txtDescription->text(), QString());
    EXPECT_EQ(w->dtdate->date(), today);
    EXPECT_TRUE(w->opnNotComplete->isChecked());

    // Acme unpicked: Birch, left alone, is the customer shown, with its action of the plan date.
    w->dtdate->setDate(d1);
    click(w->lstCusName, "Acme");
    EXPECT_EQ(texts(w->lsvDtls, 0), QStringList{"Birch action"});
    EXPECT_EQ(w->txtDescription->text(), "Birch action");
    w->dtdate->setDate(d2);
    w->dtdate_CloseUp();
    EXPECT_EQ(w->txtDescription->text(), QString());
}

TEST_F(ImprovementPlan, PopupAndDeleteKeyActOnEverySelectedCustomer)
{
    QTest::mouseClick(w->lsvDtls->viewport(), Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_FALSE(main()->mnuEdit->isVisible());

    for (const QString c : {"Acme", "Birch", "Cedar"})
        action(c, d1, c + " plan");
    action("Acme", d2, "Acme second");
    w->toFillListView();
    click(w->lstCusName, "Birch");
    QTreeWidgetItem* first = w->lsvDtls->topLevelItem(0);
    QTest::mouseClick(w->lsvDtls->viewport(), Qt::RightButton, {}, w->lsvDtls->visualItemRect(first).center());
    EXPECT_TRUE(main()->mnuEdit->isVisible());
    main()->mnuEdit->hide();

    main()->mnucomplete->trigger();
    const QString statuses = QStringLiteral("select group_concat(Status) from (select Status from action "
                                            "order by custname, \"Date\")");
    EXPECT_EQ(value(statuses), "1,0,1,0");
    w->lsvDtls->topLevelItem(0)->setSelected(true);
    main()->mnunotcomplete->trigger();
    EXPECT_EQ(value(statuses), "0,0,0,0");

    // Delete, by the key in either list as from the popup: No keeps the rows; Yes removes the selected customers'
    // actions of the selected dates. Without a selected action the key does nothing.
    w->lsvDtls->topLevelItem(0)->setSelected(true);
    MsgBox::setNextAnswer(MsgBox::No);
    QTest::keyClick(w->lsvDtls, Qt::Key_Delete);
    EXPECT_EQ(messages(), QStringList{"Do you want to delete"});
    EXPECT_EQ(actions().size(), 4);
    w->lsvDtls->clearSelection();
    QTest::keyClick(w->lstCusName, Qt::Key_Delete);
    EXPECT_EQ(messages().size(), 1);
    w->lsvDtls->topLevelItem(0)->setSelected(true);
    MsgBox::setNextAnswer(MsgBox::Yes);
    QTest::keyClick(w->lstCusName, Qt::Key_Delete);
    EXPECT_EQ(actions(), (QStringList{"Acme|" + iso(d2) + "|Acme second|" + iso(d2.addMonths(1)) + "|0",
                                      "Cedar|" + iso(d1) + "|Cedar plan|" + iso(d1.addMonths(1)) + "|0"}));
    // The list keeps the customer it showed while that one stays selected: Acme, first selected.
    EXPECT_EQ(texts(w->lsvDtls, 0), QStringList{"Acme second"});
}

TEST_F(ImprovementPlan, KeysAndMouseActOnlyOnTheCustomerAndActionShownChosen)
{
    const QDate jan5{2031, 1, 5};
    const QDate jan6{2031, 1, 6};
    action("Acme", jan5, "first");
    action("Acme", jan6, "second");
    action("Birch", jan5, "Birch plan");
    w->toFillListView();
    const QString rows = QStringLiteral("select custname, Action from action order by custname, \"Date\"");

    // Down moves the customer list's current entry only: Acme stays the customer listed and saved for.
    QTest::keyClick(w->lstCusName, Qt::Key_Down);
    // A click fills the fields; Down in the action list moves them on with the chosen row.
    QTest::mouseClick(w->lsvDtls->viewport(), Qt::LeftButton, {},
                      w->lsvDtls->visualItemRect(w->lsvDtls->topLevelItem(0)).center());
    EXPECT_EQ(w->txtDescription->text(), "first");
    QTest::keyClick(w->lsvDtls, Qt::Key_Down);
    EXPECT_EQ(w->txtDescription->text(), "second");
    EXPECT_EQ(w->dtdate->date(), jan6);
    w->txtDescription->setText("second revised");
    w->cmdSave->click();
    EXPECT_EQ(table(rows), (QStringList{"Acme|first", "Acme|second revised", "Birch|Birch plan"}));
    EXPECT_EQ(texts(w->lsvDtls, 0), (QStringList{"first", "second revised"}));

    // The row shown chosen is the one deleted, of the customer listed.
    QTest::mouseClick(w->lsvDtls->viewport(), Qt::LeftButton, {},
                      w->lsvDtls->visualItemRect(w->lsvDtls->topLevelItem(0)).center());
    MsgBox::setNextAnswer(MsgBox::Yes);
    main()->mnuDelete->trigger();
    EXPECT_EQ(table(rows), (QStringList{"Acme|second revised", "Birch|Birch plan"}));
    EXPECT_EQ(texts(w->lsvDtls, 0), QStringList{"second revised"});
}

// After a status change the chosen row stays chosen and the status buttons show what is stored, keeping a typed
// description; Save then stores that status. After a delete nothing is chosen and the fields are blank.
TEST_F(ImprovementPlan, StatusChangeAndDeleteLeaveTheFieldsShowingWhatIsStored)
{
    action("Acme", d1, "Call the buyer");
    action("Acme", d2, "Send the checklist");
    w->toFillListView();
    QTreeWidgetItem* row = w->lsvDtls->topLevelItem(0);
    const QPoint at = w->lsvDtls->visualItemRect(row).center();
    // Right-click on the row, then "&Update Status" by its mnemonic and its first entry, "Complete".
    const auto popup = [&](const QList<Qt::Key>& keys) {
        QTest::mouseClick(w->lsvDtls->viewport(), Qt::RightButton, {}, at);
        for (Qt::Key key : keys)
            QTest::keyClick(QApplication::activePopupWidget(), key);
    };

    QTest::mouseClick(w->lsvDtls->viewport(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(w->opnNotComplete->isChecked());
    popup({Qt::Key_U, Qt::Key_Return});
    EXPECT_EQ(texts(w->lsvDtls, 3), (QStringList{"Complete", "Not Complete"}));
    EXPECT_TRUE(w->lsvDtls->topLevelItem(0)->isSelected());
    EXPECT_TRUE(w->opnComplete->isChecked());
    QTest::keyClick(w->txtDescription, Qt::Key_End);
    QTest::keyClicks(w->txtDescription, " today");
    w->cmdSave->click();
    EXPECT_EQ(actions().value(0), "Acme|" + iso(d1) + "|Call the buyer today|" + iso(d1.addMonths(1)) + "|1");

    // Typed before the change: kept, and saved with the new status.
    QTest::mouseClick(w->lsvDtls->viewport(), Qt::LeftButton, {}, at);
    QTest::keyClick(w->txtDescription, Qt::Key_End);
    QTest::keyClicks(w->txtDescription, " again");
    popup({Qt::Key_U, Qt::Key_Down, Qt::Key_Return});
    EXPECT_EQ(w->txtDescription->text(), "Call the buyer today again");
    EXPECT_TRUE(w->opnNotComplete->isChecked());
    w->cmdSave->click();
    EXPECT_EQ(actions().value(0), "Acme|" + iso(d1) + "|Call the buyer today again|" + iso(d1.addMonths(1)) + "|0");

    MsgBox::setNextAnswer(MsgBox::Yes);
    popup({Qt::Key_D});
    EXPECT_EQ(texts(w->lsvDtls, 0), QStringList{"Send the checklist"});
    EXPECT_TRUE(w->lsvDtls->selectedItems().isEmpty());
    EXPECT_EQ(w->txtDescription->text(), QString());
    EXPECT_EQ(w->dtdate->date(), today);
    EXPECT_TRUE(w->opnNotComplete->isChecked());
}

// Every month's date shows whole in both date columns.
TEST_F(ImprovementPlan, ListedDatesShowWhole)
{
    for (int month = 1; month <= 12; ++month)
        action("Acme", QDate(2031, month, 10), "Plan");
    w->toFillListView();
    QStyleOptionViewItem option;
    option.initFrom(w->lsvDtls);
    for (int i = 0; i < w->lsvDtls->topLevelItemCount(); ++i) {
        for (int column : {1, 2}) {
            const QModelIndex index = w->lsvDtls->model()->index(i, column);
            EXPECT_LE(w->lsvDtls->itemDelegate()->sizeHint(option, index).width(), w->lsvDtls->columnWidth(column))
                << index.data().toString().toStdString();
        }
    }
}

#include "TrackingFixture.h"

#include "platform/dialogs/MsgBox.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

namespace
{

using ImprovementPlan = TrackingFixture;

} // namespace

TEST_F(ImprovementPlan, SaveStoresOneActionPerSelectedCustomerAndOverwritesOnTheSameDate)
{
    frmImprovementPlan* w = openPlan();
    ASSERT_EQ(w->lstCusName->currentItem()->text(), QStringLiteral("Acme"));
    clickCustomer(w, QStringLiteral("Birch"));
    clickCustomer(w, QStringLiteral("Cedar"));
    w->dtdate->setDate(d1);
    w->dttargetDate->setDate(d2);
    QTest::keyClicks(w->txtDescription, QStringLiteral("Faster replies"));
    w->opnComplete->click();
    w->cmdSave->click();
    const QString row = "|" + iso(d1) + "|Faster replies|" + iso(d2) + "|1";
    EXPECT_EQ(actions(), (QStringList{"Acme" + row, "Birch" + row, "Cedar" + row}));

    // The same customers and date again: overwritten, none added.
    w->txtDescription->setText(QStringLiteral("Replies within a day"));
    w->opnNotComplete->click();
    w->cmdSave->click();
    const QString again = "|" + iso(d1) + "|Replies within a day|" + iso(d2) + "|0";
    EXPECT_EQ(actions(), (QStringList{"Acme" + again, "Birch" + again, "Cedar" + again}));
}

TEST_F(ImprovementPlan, DescriptionIsRequiredTrimmedWithAnApostropheAndKeptAsTypedWithout)
{
    frmImprovementPlan* w = openPlan();
    w->txtDescription->setText(QStringLiteral("   "));
    w->cmdSave->click();
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown()[0].text, QStringLiteral("Enter the description to save......."));
    EXPECT_EQ(MsgBox::shown()[0].title, QStringLiteral("Quorvane v2.1"));
    EXPECT_TRUE(actions().isEmpty());

    w->dtdate->setDate(d1);
    w->txtDescription->setText(QStringLiteral("  Call the customer's buyer  "));
    w->cmdSave->click();
    w->dtdate->setDate(d2);
    w->txtDescription->setText(QStringLiteral("  Call the buyer  "));
    w->cmdSave->click();
    EXPECT_EQ(listed(w, 0),
              (QStringList{QStringLiteral("Call the customer\u2019s buyer"), QStringLiteral("  Call the buyer  ")}));
}

TEST_F(ImprovementPlan, ListsTheCurrentCustomersActionsByDateAndLoadsThemIntoTheFields)
{
    addAction(QStringLiteral("Acme"), d2, QStringLiteral("Later action"), 1);
    addAction(QStringLiteral("Acme"), d1, QStringLiteral("Earlier action"));
    addAction(QStringLiteral("Birch"), d1, QStringLiteral("Birch action"));
    frmImprovementPlan* w = openPlan();
    // By the date itself, though the later date's text sorts first.
    EXPECT_EQ(listed(w, 1), (QStringList{ValueFormat::formatDate(d1), ValueFormat::formatDate(d2)}));
    EXPECT_EQ(listed(w, 3), (QStringList{QStringLiteral("Not Complete"), QStringLiteral("Complete")}));

    QTreeWidgetItem* row = w->lsvDtls->topLevelItem(1);
    QTest::mouseClick(w->lsvDtls->viewport(), Qt::LeftButton, {}, w->lsvDtls->visualItemRect(row).center());
    EXPECT_EQ(w->txtDescription->text(), QStringLiteral("Later action"));
    EXPECT_EQ(w->dtdate->date(), d2);
    EXPECT_TRUE(w->opnComplete->isChecked());

    // A second customer picked: blank fields, today's dates.
    clickCustomer(w, QStringLiteral("Birch"));
    EXPECT_EQ(w->txtDescription->text(), QString());
    EXPECT_EQ(w->dtdate->date(), today);
    EXPECT_TRUE(w->opnNotComplete->isChecked());

    // Acme unpicked: Birch, left alone, is the customer shown, with its action of the plan date.
    w->dtdate->setDate(d1);
    clickCustomer(w, QStringLiteral("Acme"));
    EXPECT_EQ(listed(w, 0), QStringList{QStringLiteral("Birch action")});
    EXPECT_EQ(w->txtDescription->text(), QStringLiteral("Birch action"));
    w->dtdate->setDate(d2);
    w->dtdate_CloseUp();
    EXPECT_EQ(w->txtDescription->text(), QString());
}

TEST_F(ImprovementPlan, PopupOverAListWithRowsActsOnEverySelectedCustomer)
{
    main()->btnmImprovement->trigger();
    frmImprovementPlan* w = main()->windows()->find<frmImprovementPlan>();
    ASSERT_NE(w, nullptr);
    QTest::mouseClick(w->lsvDtls->viewport(), Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_FALSE(main()->mnuEdit->isVisible());

    for (const QString& c : {QStringLiteral("Acme"), QStringLiteral("Birch"), QStringLiteral("Cedar")})
        addAction(c, d1, c + QStringLiteral(" plan"));
    addAction(QStringLiteral("Acme"), d2, QStringLiteral("Acme second"));
    w->toFillListView();
    clickCustomer(w, QStringLiteral("Birch"));
    QTreeWidgetItem* first = w->lsvDtls->topLevelItem(0);
    QTest::mouseClick(w->lsvDtls->viewport(), Qt::RightButton, {}, w->lsvDtls->visualItemRect(first).center());
    EXPECT_TRUE(main()->mnuEdit->isVisible());
    main()->mnuEdit->hide();

    main()->mnucomplete->trigger();
    const QString statuses = QStringLiteral("select group_concat(Status) from (select Status from action "
                                            "order by custname, \"Date\")");
    EXPECT_EQ(value(statuses), QStringLiteral("1,0,1,0"));
    EXPECT_EQ(w->StatusMode, 0);
    w->lsvDtls->topLevelItem(0)->setSelected(true);
    main()->mnunotcomplete->trigger();
    EXPECT_EQ(value(statuses), QStringLiteral("0,0,0,0"));

    // Delete: No keeps the rows; Yes removes the selected customers' actions of the selected dates.
    w->lsvDtls->topLevelItem(0)->setSelected(true);
    MsgBox::setNextAnswer(MsgBox::No);
    main()->mnuDelete->trigger();
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown()[0].text, QStringLiteral("Do you want to delete"));
    EXPECT_EQ(MsgBox::shown()[0].style, MsgBox::YesNo);
    EXPECT_EQ(actions().size(), 4);
    MsgBox::setNextAnswer(MsgBox::Yes);
    main()->mnuDelete->trigger();
    EXPECT_EQ(actions(), (QStringList{"Acme|" + iso(d2) + "|Acme second|" + iso(d2.addDays(30)) + "|0",
                                      "Cedar|" + iso(d1) + "|Cedar plan|" + iso(d1.addDays(30)) + "|0"}));
    EXPECT_EQ(w->lsvDtls->topLevelItemCount(), 0);
}

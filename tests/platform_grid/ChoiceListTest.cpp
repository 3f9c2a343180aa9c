#include "platform/lists/ChoiceList.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

QPoint at(ChoiceList& list, int row)
{
    return list.visualItemRect(list.item(row)).center();
}

} // namespace

TEST(ChoiceList, KeepsItsChoiceAndGivesTheChosenEntryNotTheCurrentOne)
{
    ChoiceList list;
    list.addItems({QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cy")});
    list.resize(200, 160); // room below the last entry
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    EXPECT_EQ(list.chosenItem(), nullptr);
    EXPECT_EQ(list.chosenRow(), -1);

    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at(list, 1));
    EXPECT_EQ(list.chosenRow(), 1);
    QSignalSpy changes(&list, &QListWidget::itemSelectionChanged);

    // A press on no entry, Ctrl+click and Ctrl+Space on the chosen entry: the choice stays.
    const QPoint below(20, list.viewport()->height() - 5);
    ASSERT_EQ(list.itemAt(below), nullptr);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, below);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, at(list, 1));
    QTest::keyClick(&list, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(list.chosenRow(), 1);
    EXPECT_EQ(changes.count(), 0);

    // Keys and Ctrl+click move the choice.
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(list.chosenRow(), 2);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, at(list, 0));
    EXPECT_EQ(list.chosenItem()->text(), QStringLiteral("Ann"));
    EXPECT_EQ(list.selectedItems().size(), 1);

    // The current entry moved from code is not the chosen one; code may still clear the choice.
    list.selectionModel()->setCurrentIndex(list.model()->index(2, 0), QItemSelectionModel::NoUpdate);
    EXPECT_EQ(list.chosenItem()->text(), QStringLiteral("Ann"));
    list.clearSelection();
    EXPECT_EQ(list.chosenItem(), nullptr);
}

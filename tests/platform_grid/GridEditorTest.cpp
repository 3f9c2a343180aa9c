#include "platform/grid/GridEditor.h"
#include "platform/grid/FlexGrid.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

// A window as the editing windows build theirs: a control before the grid, the grid with its floating editor,
// a button after it. Columns 1 to 4 take the keys, column 2 is locked, column 5 holds the key.
class GridEditorTab : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(600, 200);
        before = new QLineEdit(&window);
        grid = new FlexGrid(&window);
        grid->setGeometry(0, 30, 600, 150);
        grid->setCols(6);
        grid->setRows(3);
        editor = new QLineEdit(&window);
        after = new QPushButton(QStringLiteral("After"), &window);
        after->move(0, 180);
        GridEditor::Options options;
        options.lastEditable = 4;
        options.lastMovedOver = 4;
        gridEditor = new GridEditor(grid, editor, options, &window);
        gridEditor->editableCell = [](int, int col) { return col != 2; };
        grid->setTextMatrix(1, 2, QStringLiteral("locked"));

        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        gridEditor->place(1, 1);
        editor->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), editor);
    }

    // Keys go where the user's would: to whatever has the focus.
    static void type(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    static void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(QApplication::focusWidget(), k, modifiers);
    }
    std::pair<int, int> at() const { return {grid->row(), grid->col()}; }

    QWidget window;
    QLineEdit* before = nullptr;
    FlexGrid* grid = nullptr;
    QLineEdit* editor = nullptr;
    QPushButton* after = nullptr;
    GridEditor* gridEditor = nullptr;
};

} // namespace

TEST_F(GridEditorTab, TabAndShiftTabWalkTheEditableCellsOfTheRowWithWhatWasTyped)
{
    type(QStringLiteral("Acme"));
    key(Qt::Key_Tab);
    EXPECT_EQ(at(), std::pair(1, 3)); // the locked column is passed over
    EXPECT_EQ(QApplication::focusWidget(), editor);
    type(QStringLiteral("1 Main St"));
    key(Qt::Key_Tab);
    type(QStringLiteral("x"));
    EXPECT_EQ(grid->textMatrix(1, 1), QStringLiteral("Acme"));
    EXPECT_EQ(grid->textMatrix(1, 2), QStringLiteral("locked"));
    EXPECT_EQ(grid->textMatrix(1, 3), QStringLiteral("1 Main St"));
    EXPECT_EQ(grid->textMatrix(1, 4), QStringLiteral("x"));

    // Shift+Tab as the keyboard sends it (Backtab) and as a Tab with Shift held.
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(at(), std::pair(1, 3));
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(at(), std::pair(1, 1));
    EXPECT_EQ(editor->text(), QStringLiteral("Acme"));
    EXPECT_EQ(QApplication::focusWidget(), editor);
    EXPECT_EQ(grid->rows(), 3);
}

TEST_F(GridEditorTab, TabPastTheLastOrFirstEditableCellLeavesTheGridWithTheCellStored)
{
    // Rows follow each other; the focus leaves only at the grid's two ends, to the controls the window names,
    // whatever its focus chain holds (here the wrong way round).
    QWidget::setTabOrder(after, editor);
    QWidget::setTabOrder(editor, before);
    gridEditor->leaveTo(before, after);
    QList<GridEditor::RowMove> moves;
    gridEditor->rowMoved = [&moves](GridEditor::RowMove why) { moves << why; };
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);
    ASSERT_EQ(at(), std::pair(1, 4));
    type(QStringLiteral("last"));
    key(Qt::Key_Tab);
    EXPECT_EQ(at(), std::pair(2, 1));
    EXPECT_EQ(QApplication::focusWidget(), editor);
    type(QStringLiteral("next"));
    key(Qt::Key_Tab);
    EXPECT_EQ(at(), std::pair(2, 3)); // the locked column is passed over here too
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), after);
    EXPECT_EQ(at(), std::pair(2, 4));

    gridEditor->place(1, 2);
    editor->setFocus();
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(at(), std::pair(1, 4));
    EXPECT_EQ(editor->text(), QStringLiteral("last"));
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(at(), std::pair(1, 1));
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), before);
    type(QStringLiteral("!"));
    EXPECT_EQ(grid->textMatrix(1, 1), QString());
    EXPECT_EQ(grid->textMatrix(1, 4), QStringLiteral("last"));
    EXPECT_EQ(grid->textMatrix(2, 1), QStringLiteral("next"));
    EXPECT_EQ(moves, (QList{GridEditor::RowMove::Enter, GridEditor::RowMove::Up}));
    EXPECT_EQ(grid->rows(), 3);
}

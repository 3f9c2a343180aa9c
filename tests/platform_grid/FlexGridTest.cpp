#include "platform/grid/FlexGrid.h"
#include "platform/grid/FlexGridDelegate.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

// A grid laid out as the master-data windows lay theirs out: heading row, selector column, data, hidden key.
class FlexGridTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        grid.setCols(4);
        grid.setRows(30);
        for (int c = 1; c < 3; ++c)
            grid.setTextMatrix(0, c, QStringLiteral("Heading %1").arg(c));
        for (int r = 1; r < grid.rows(); ++r) {
            grid.setTextMatrix(r, 1, QStringLiteral("name %1").arg(r));
            grid.setTextMatrix(r, 2, QStringLiteral("town %1").arg(r));
            grid.setTextMatrix(r, 3, QString::number(100 + r));
        }
        grid.setColWidth(0, 300);
        grid.setColWidth(1, 1500);
        grid.setColWidth(2, 1800);
        grid.setColWidth(3, 0);
        grid.resize(400, 200);
    }

    void show()
    {
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }

    // The cell's rectangle as the scrolling area draws it, in the grid's own coordinates.
    QRect drawnRect(int row, int col) const
    {
        const QRect r = grid.visualRect(grid.model()->index(row, col));
        return r.translated(grid.viewport()->pos());
    }

    QRect reportedRect()
    {
        return {grid.cellLeft() / 15, grid.cellTop() / 15, grid.cellWidth() / 15, grid.cellHeight() / 15};
    }

    QPoint centreOf(int row, int col) const { return grid.visualRect(grid.model()->index(row, col)).center(); }

    QWidget* heading() const { return grid.horizontalHeader()->viewport(); }

    FlexGrid grid;
};

TEST(FlexGridDefaults, AreThoseOfTheFlexGrid)
{
    FlexGrid grid;
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(grid.cols(), 2);
    EXPECT_EQ(grid.fixedRows(), 1);
    EXPECT_EQ(grid.fixedCols(), 1);
    EXPECT_EQ(grid.row(), 1);
    EXPECT_EQ(grid.col(), 1);
    EXPECT_EQ(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(grid.horizontalHeader()->isHidden()); // the heading strip draws the fixed row
    EXPECT_TRUE(grid.verticalHeader()->isHidden());
}

TEST_F(FlexGridTest, RowColTextAndTextMatrixAddressTheSameCells)
{
    grid.setRow(0);
    grid.setCol(2);
    EXPECT_EQ(grid.text(), "Heading 2");
    grid.setText(QStringLiteral("Town"));
    EXPECT_EQ(grid.textMatrix(0, 2), "Town");

    grid.setCol(0);
    grid.setRow(5);
    EXPECT_EQ(grid.row(), 5);
    EXPECT_EQ(grid.col(), 0);
    grid.setText(QStringLiteral("*"));
    EXPECT_EQ(grid.textMatrix(5, 0), "*");

    grid.setCol(1);
    EXPECT_EQ(grid.text(), "name 5");
    EXPECT_EQ(grid.currentRow(), 5); // the table's own current cell follows
    EXPECT_EQ(grid.currentColumn(), 1);

    // Cells outside the grid are neither read nor written, and the current cell stays.
    grid.setRow(30);
    grid.setCol(-1);
    grid.setTextMatrix(30, 1, QStringLiteral("x"));
    EXPECT_EQ(grid.row(), 5);
    EXPECT_EQ(grid.col(), 1);
    EXPECT_EQ(grid.textMatrix(30, 1), "");
    EXPECT_EQ(grid.rows(), 30);
}

TEST_F(FlexGridTest, RowsAndColsKeepTheCellsThatRemain)
{
    grid.setRow(20);
    grid.setRows(10);
    EXPECT_EQ(grid.row(), 9); // the current row moves into the grid
    EXPECT_EQ(grid.textMatrix(9, 1), "name 9");
    grid.setRows(12);
    EXPECT_EQ(grid.textMatrix(9, 2), "town 9");
    EXPECT_EQ(grid.textMatrix(10, 1), ""); // new rows are blank, not the old ones back
    EXPECT_EQ(grid.textMatrix(0, 1), "Heading 1");

    grid.setCol(3);
    grid.setCols(2);
    EXPECT_EQ(grid.col(), 1);
    grid.setCols(4);
    EXPECT_EQ(grid.textMatrix(1, 1), "name 1");
    EXPECT_EQ(grid.textMatrix(1, 3), "");

    // The heading row stays fixed through every change of size.
    grid.setRows(1);
    grid.setRows(3);
    EXPECT_TRUE(grid.isRowHidden(0));
    EXPECT_FALSE(grid.isRowHidden(1));
    EXPECT_FALSE(grid.isRowHidden(2));
}

TEST_F(FlexGridTest, RemoveItemShiftsTheRowsBelowUp)
{
    grid.setRow(29);
    grid.removeItem(3);
    EXPECT_EQ(grid.rows(), 29);
    EXPECT_EQ(grid.textMatrix(2, 1), "name 2");
    EXPECT_EQ(grid.textMatrix(3, 1), "name 4");
    EXPECT_EQ(grid.textMatrix(3, 3), "104"); // the key travels with its row
    EXPECT_EQ(grid.textMatrix(28, 1), "name 29");
    EXPECT_EQ(grid.row(), 28);
    EXPECT_EQ(grid.textMatrix(0, 2), "Heading 2");
    EXPECT_TRUE(grid.isRowHidden(0));
    EXPECT_FALSE(grid.isRowHidden(1));

    grid.removeItem(40);
    EXPECT_EQ(grid.rows(), 29);
}

TEST_F(FlexGridTest, ColWidthIsInTwipsAndZeroHidesTheColumn)
{
    EXPECT_EQ(grid.colWidth(1), 1500);
    EXPECT_EQ(grid.columnWidth(1), 100);
    EXPECT_EQ(grid.colWidth(0), 300);
    grid.setColWidth(1, 1234); // to the nearest pixel
    EXPECT_EQ(grid.columnWidth(1), 82);
    EXPECT_EQ(grid.colWidth(1), 1230);
    grid.setColWidth(1, 97); // narrower than Qt's usual minimum section
    EXPECT_EQ(grid.columnWidth(1), 6);

    EXPECT_EQ(grid.colWidth(3), 0);
    EXPECT_TRUE(grid.isColumnHidden(3));
    EXPECT_EQ(grid.textMatrix(5, 3), "105"); // hidden, still readable
    grid.setColWidth(3, 600);
    EXPECT_FALSE(grid.isColumnHidden(3));
    EXPECT_EQ(grid.colWidth(3), 600);
}

TEST_F(FlexGridTest, CellFormatsBelongToTheCurrentCell)
{
    // As the layout procedures do it: every heading cell centred and bold, one at a time.
    for (int c = 0; c < grid.cols(); ++c) {
        grid.setCol(c);
        grid.setRow(0);
        EXPECT_EQ(grid.cellAlignment(), FlexGrid::AlignGeneral);
        grid.setCellAlignment(FlexGrid::AlignCenterCenter);
        grid.setCellFontBold(true);
    }
    EXPECT_EQ(grid.row(), 0);
    EXPECT_EQ(grid.col(), 3);
    grid.setCol(1);
    EXPECT_EQ(grid.cellAlignment(), 4);
    EXPECT_TRUE(grid.cellFontBold());
    grid.setRow(1);
    EXPECT_EQ(grid.cellAlignment(), 9);
    EXPECT_FALSE(grid.cellFontBold());
    EXPECT_EQ(grid.text(), "name 1"); // formats leave the text alone

    grid.setCellBackColor(QColor(192, 192, 192));
    EXPECT_EQ(grid.cellBackColor(), QColor(192, 192, 192));
    grid.setCellBackColor(Qt::white);
    EXPECT_EQ(grid.cellBackColor(), QColor(Qt::white));
    grid.setCol(2);
    EXPECT_FALSE(grid.cellBackColor().isValid());

    // A blank cell takes formats too (cells are made on first use).
    grid.setRow(0);
    grid.setCol(0);
    EXPECT_EQ(grid.textMatrix(0, 0), "");
    EXPECT_TRUE(grid.cellFontBold());
}

TEST(FlexGridAlignment, FollowsThePlatformNumbers)
{
    EXPECT_EQ(FlexGridDelegate::alignmentFor(0, "a"), Qt::AlignLeft | Qt::AlignTop);
    EXPECT_EQ(FlexGridDelegate::alignmentFor(1, "a"), Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(FlexGridDelegate::alignmentFor(4, "a"), Qt::AlignHCenter | Qt::AlignVCenter);
    EXPECT_EQ(FlexGridDelegate::alignmentFor(5, "a"), Qt::AlignHCenter | Qt::AlignBottom);
    EXPECT_EQ(FlexGridDelegate::alignmentFor(6, "a"), Qt::AlignRight | Qt::AlignTop);
    EXPECT_EQ(FlexGridDelegate::alignmentFor(8, "a"), Qt::AlignRight | Qt::AlignBottom);
    EXPECT_EQ(FlexGridDelegate::alignmentFor(9, "4.00"), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(FlexGridDelegate::alignmentFor(9, QLocale().toString(8.5, 'f', 2)), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(FlexGridDelegate::alignmentFor(9, "Wt"), Qt::AlignLeft | Qt::AlignVCenter);
}

TEST_F(FlexGridTest, CellRectangleIsWhereTheCellIsDrawn)
{
    show();
    grid.setRow(3);
    grid.setCol(2);
    EXPECT_EQ(reportedRect(), drawnRect(3, 2));
    EXPECT_EQ(grid.cellLeft() % 15, 0);

    // The heading row sits above the first data row, which starts right under it.
    grid.setRow(0);
    const QRect heading = reportedRect();
    grid.setRow(1);
    EXPECT_EQ(reportedRect(), drawnRect(1, 2));
    EXPECT_EQ(heading.left(), reportedRect().left());
    EXPECT_EQ(heading.height(), reportedRect().height());
    EXPECT_EQ(heading.bottom() + 2, reportedRect().top()); // one grid line between them

    grid.setTopRow(10);
    EXPECT_EQ(grid.topRow(), 10);
    grid.setRow(12);
    EXPECT_EQ(reportedRect(), drawnRect(12, 2));
    grid.setRow(10);
    EXPECT_EQ(reportedRect().top(), grid.viewport()->y()); // the top row is right under the heading
    grid.setRow(0);
    EXPECT_EQ(reportedRect(), heading); // the heading row does not scroll
}

TEST_F(FlexGridTest, CellRectangleBringsACellScrolledAwayBackIntoView)
{
    show();
    grid.setCol(1);
    grid.setRow(2);
    grid.setTopRow(20);
    ASSERT_EQ(grid.topRow(), 20);
    QSignalSpy scrolled(&grid, &FlexGrid::scrolled);
    const QRect rect = reportedRect();
    EXPECT_EQ(rect, drawnRect(2, 1));
    EXPECT_TRUE(grid.viewport()->geometry().contains(rect));
    EXPECT_EQ(scrolled.count(), 1);

    // A hidden column reports no width.
    grid.setCol(3);
    EXPECT_EQ(grid.cellWidth(), 0);
}

TEST_F(FlexGridTest, TopRowCanBringTheLastRowsToTheTop)
{
    show();
    grid.setTopRow(28); // the composition window scrolls its last question row to the top
    EXPECT_EQ(grid.topRow(), 28);
    grid.setTopRow(29);
    EXPECT_EQ(grid.topRow(), 29);
    grid.setRow(29);
    EXPECT_EQ(reportedRect(), drawnRect(29, 1));
    EXPECT_EQ(reportedRect().top(), grid.viewport()->y());
    grid.setTopRow(0); // fixed rows never scroll
    EXPECT_EQ(grid.topRow(), 29);
    grid.setTopRow(1);
    EXPECT_EQ(grid.topRow(), 1);

    // Without more rows than fit, nothing scrolls.
    grid.setRows(4);
    EXPECT_EQ(grid.topRow(), 1);
    grid.setTopRow(3);
    EXPECT_EQ(grid.topRow(), 1);
}

TEST_F(FlexGridTest, ScrollIsRaisedForEveryScrollAndNothingElse)
{
    show();
    QSignalSpy scrolled(&grid, &FlexGrid::scrolled);
    grid.setRow(2);
    grid.setTextMatrix(2, 1, QStringLiteral("x"));
    grid.setColWidth(2, 900);
    EXPECT_EQ(scrolled.count(), 0);

    grid.verticalScrollBar()->setValue(5); // the user drags the scroll bar
    EXPECT_EQ(scrolled.count(), 1);
    EXPECT_EQ(grid.topRow(), 6);
    grid.setTopRow(12);
    EXPECT_EQ(scrolled.count(), 2);

    QTest::keyClick(grid.verticalScrollBar(), Qt::Key_PageDown);
    EXPECT_EQ(scrolled.count(), 3);
    grid.setColWidth(2, 6000);
    EXPECT_EQ(scrolled.count(), 3);
    grid.horizontalScrollBar()->setValue(1);
    EXPECT_EQ(scrolled.count(), 4);

    // A grid cut short scrolls back at once, before a window places its editor.
    grid.setTopRow(25);
    scrolled.clear();
    grid.setRows(10);
    EXPECT_EQ(scrolled.count(), 1);
    const int top = grid.topRow();
    EXPECT_GT(top, 1);
    EXPECT_LT(top, 9); // the last full page, not the last row alone
    grid.setRow(top);
    EXPECT_EQ(reportedRect().top(), grid.viewport()->y()); // a whole row at the top
    grid.setRow(9);
    EXPECT_EQ(scrolled.count(), 1);
}

TEST_F(FlexGridTest, MouseDownFindsThePressedCellAlreadyCurrent)
{
    show();
    int rowSeen = -1;
    int colSeen = -1;
    int mouseRowSeen = -1;
    QObject::connect(&grid, &FlexGrid::mouseDown, &grid,
                     [&](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                         rowSeen = grid.row();
                         colSeen = grid.col();
                         mouseRowSeen = grid.mouseRow();
                         EXPECT_EQ(button, Qt::LeftButton);
                         EXPECT_EQ(x % 15, 0);
                         EXPECT_GT(y, 0);
                     });
    QSignalSpy clicks(&grid, &FlexGrid::click);

    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, centreOf(4, 2));
    EXPECT_EQ(rowSeen, 4);
    EXPECT_EQ(colSeen, 2);
    EXPECT_EQ(mouseRowSeen, 4);
    EXPECT_EQ(clicks.count(), 0); // Click comes with the release
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, centreOf(4, 2));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(grid.mouseCol(), 2);
}

TEST_F(FlexGridTest, PressesOnFixedCellsLeaveTheCurrentCell)
{
    show();
    grid.setRow(3);
    grid.setCol(1);
    QSignalSpy downs(&grid, &FlexGrid::mouseDown);
    QSignalSpy clicks(&grid, &FlexGrid::click);

    QTest::mouseClick(heading(), Qt::LeftButton, {}, QPoint(grid.columnViewportPosition(2) + 5, 3));
    EXPECT_EQ(grid.mouseRow(), 0);
    EXPECT_EQ(grid.mouseCol(), 2);
    EXPECT_EQ(grid.row(), 3);
    EXPECT_EQ(grid.col(), 1);

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centreOf(6, 0));
    EXPECT_EQ(grid.mouseRow(), 6);
    EXPECT_EQ(grid.mouseCol(), 0);
    EXPECT_EQ(grid.row(), 3);
    EXPECT_EQ(grid.col(), 1);

    // The heading strip keeps the heading row in view: after scrolling a press there is still on row 0.
    grid.setTopRow(15);
    QTest::mouseClick(heading(), Qt::LeftButton, {}, QPoint(grid.columnViewportPosition(1) + 5, 3));
    EXPECT_EQ(grid.mouseRow(), 0);
    EXPECT_EQ(downs.count(), 3);
    EXPECT_EQ(clicks.count(), 3);
}

// The details grid of the performance matrix has no fixed column; a grid may have no fixed row either.
TEST_F(FlexGridTest, WithoutFixedCellsEveryCellTakesThePress)
{
    grid.setFixedCols(0);
    show();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centreOf(6, 0));
    EXPECT_EQ(grid.row(), 6);
    EXPECT_EQ(grid.col(), 0);

    grid.setFixedRows(0);
    EXPECT_TRUE(grid.horizontalHeader()->isHidden());
    EXPECT_FALSE(grid.isRowHidden(0));
    EXPECT_EQ(grid.topRow(), 0);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centreOf(0, 1));
    EXPECT_EQ(grid.row(), 0);
    EXPECT_EQ(grid.text(), "Heading 1");
    EXPECT_EQ(reportedRect(), drawnRect(0, 1));
    EXPECT_EQ(reportedRect().top(), grid.viewport()->y());
}

TEST_F(FlexGridTest, ClickAndDblClickComeFromTheMouseOnly)
{
    show();
    QSignalSpy clicks(&grid, &FlexGrid::click);
    QSignalSpy doubles(&grid, &FlexGrid::dblClick);
    grid.setRow(5);
    grid.setCol(2);
    EXPECT_EQ(clicks.count(), 0);

    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, centreOf(7, 1));
    EXPECT_EQ(doubles.count(), 1);
    EXPECT_EQ(grid.row(), 7);
    EXPECT_EQ(grid.col(), 1);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centreOf(8, 1));
    EXPECT_EQ(doubles.count(), 1);
    EXPECT_EQ(grid.row(), 8);

    // No cell editor of Qt's own opens, whatever the user does on a cell.
    grid.setFocus();
    QTest::keyClicks(&grid, QStringLiteral("abc"));
    QTest::keyClick(&grid, Qt::Key_F2);
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_EQ(grid.findChild<QLineEdit*>(), nullptr);
    EXPECT_EQ(grid.textMatrix(8, 1), "name 8");
    EXPECT_EQ(grid.row(), 8); // typing does not search the cells either
}

TEST_F(FlexGridTest, KeysOnTheGridStayOffTheFixedCells)
{
    show();
    grid.setRow(1);
    grid.setCol(1);
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_Left);
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(grid.row(), 1);
    EXPECT_EQ(grid.col(), 1);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(grid.row(), 2);
}

TEST_F(FlexGridTest, DropsCountAnywhereOnTheGridInManualMode)
{
    show();
    QSignalSpy drops(&grid, &FlexGrid::oleDragDrop);
    auto drop = [&](QWidget* target) {
        QMimeData data;
        data.setText(QStringLiteral("question"));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &dropped);
        return std::make_pair(enter.isAccepted(), dropped.dropAction());
    };

    EXPECT_FALSE(drop(grid.viewport()).first);
    EXPECT_EQ(drops.count(), 0);

    grid.setOleDropMode(FlexGrid::OleDropManual);
    const auto [accepted, action] = drop(grid.viewport());
    EXPECT_TRUE(accepted);
    EXPECT_EQ(action, Qt::CopyAction); // a move would let the source remove its item
    EXPECT_EQ(drops.count(), 1);
    drop(heading());
    EXPECT_EQ(drops.count(), 2);
    EXPECT_EQ(grid.textMatrix(1, 1), "name 1"); // dropping writes nothing into the cells
}

TEST(FlexGridLarge, FiveThousandRowsFillAndRemoveCorrectly)
{
    FlexGrid grid;
    grid.setCols(5);
    grid.setRows(5001);
    for (int r = 1; r < grid.rows(); ++r)
        for (int c = 1; c < grid.cols(); ++c)
            grid.setTextMatrix(r, c, QStringLiteral("%1,%2").arg(r).arg(c));
    EXPECT_EQ(grid.textMatrix(1, 1), "1,1");
    EXPECT_EQ(grid.textMatrix(2500, 3), "2500,3");
    EXPECT_EQ(grid.textMatrix(5000, 4), "5000,4");
    grid.removeItem(1);
    EXPECT_EQ(grid.rows(), 5000);
    EXPECT_EQ(grid.textMatrix(1, 1), "2,1");
    EXPECT_EQ(grid.textMatrix(4999, 4), "5000,4");
    grid.resize(400, 300);
    grid.show();
    grid.setTopRow(4998);
    EXPECT_EQ(grid.topRow(), 4998);
}

TEST_F(FlexGridTest, HeadingRowLooksFixedAndStaysOnTop)
{
    show();
    grid.setTopRow(20);
    const QImage image = grid.grab().toImage();
    const QPalette palette = grid.palette();
    const int x = grid.viewport()->x() + grid.columnViewportPosition(2) + grid.columnWidth(2) - 4;
    const int headingY = grid.horizontalHeader()->y() + 3;
    const int dataY = grid.viewport()->y() + grid.rowHeight(20) + 3;
    EXPECT_EQ(image.pixelColor(x, headingY), palette.color(QPalette::Button));
    EXPECT_EQ(image.pixelColor(x, dataY), palette.color(QPalette::Base));
    // The selector column is drawn as a fixed column.
    EXPECT_EQ(image.pixelColor(grid.viewport()->x() + 2, dataY), palette.color(QPalette::Button));
}

} // namespace

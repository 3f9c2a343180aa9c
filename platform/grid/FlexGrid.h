#pragma once

#include <QColor>
#include <QTableWidget>

class FlexGridHeading;
class QDropEvent;

// A table widget with the flex-grid semantics the windows are written against. Row and column numbers are the
// grid's own: row 0 is the heading row, an ordinary row of the grid that TextMatrix, Row, CellFontBold and the
// rest address like any other. The first FixedRows rows and FixedCols columns are drawn in heading style and
// cannot be made current by the mouse; the fixed rows stay at the top while the other rows scroll. Qt's own
// headers are not shown and Qt's own cell editing is off: the windows float a line edit over the current cell.
//
// Names as the windows use them, and their members here (measures in twips, 15 to the pixel):
//   Rows, Cols, FixedRows, FixedCols   rows(), setRows(), cols(), setCols(), fixedRows(), ..., setFixedCols()
//   Row, Col                           row(), setRow(), col(), setCol(): the current cell; setting it from code
//                                      never raises Click
//   Text, TextMatrix(row, col)         text(), setText(), textMatrix(), setTextMatrix()
//   ColWidth(col)                      colWidth(), setColWidth(); width 0 hides the column
//   CellLeft, CellTop, CellWidth,      cellLeft(), cellTop(), cellWidth(), cellHeight(): the current cell's
//   CellHeight                         rectangle relative to the grid's own top left corner, so the grid's
//                                      Left + CellLeft is the cell's left in the parent; reading them first
//                                      scrolls the current cell into view
//   CellAlignment, CellFontBold,       cellAlignment(), setCellAlignment() (Align values), cellFontBold(),
//   CellBackColor                      setCellFontBold(), cellBackColor(), setCellBackColor()
//   MouseRow, MouseCol                 mouseRow(), mouseCol(): the cell under the last mouse press, -1 outside
//   TopRow                             topRow(), setTopRow(): the first scrolling row in view
//   RemoveItem(row)                    removeItem()
//   OLEDropMode                        oleDropMode(), setOleDropMode()
//   events Click, DblClick, MouseDown  click(), dblClick(), mouseDown(button, shift, x, y): MouseDown comes
//                                      with the pressed cell already current; x and y in twips
//   Scroll                             scrolled(), on every change of the scrolled position
//   DragDrop, OLEDragDrop              oleDragDrop(), a drop anywhere on the grid in manual drop mode
class FlexGrid : public QTableWidget
{
    Q_OBJECT

public:
    static constexpr int TwipsPerPixel = 15;

    enum Align {
        AlignLeftTop = 0,
        AlignLeftCenter = 1,
        AlignLeftBottom = 2,
        AlignCenterTop = 3,
        AlignCenterCenter = 4,
        AlignCenterBottom = 5,
        AlignRightTop = 6,
        AlignRightCenter = 7,
        AlignRightBottom = 8,
        AlignGeneral = 9, // text to the left, numbers to the right
    };
    enum OleDropMode { OleDropNone = 0, OleDropManual = 1 };
    // Item data roles that carry the cell formats.
    enum Role { FontBoldRole = Qt::UserRole + 100, AlignmentRole };

    explicit FlexGrid(QWidget* parent = nullptr);

    int rows() const { return rowCount(); }
    void setRows(int n);
    int cols() const { return columnCount(); }
    void setCols(int n);
    int fixedRows() const { return m_fixedRows; }
    void setFixedRows(int n);
    int fixedCols() const { return m_fixedCols; }
    void setFixedCols(int n);

    using QTableWidget::row;
    int row() const { return m_row; }
    void setRow(int r);
    int col() const { return m_col; }
    void setCol(int c);

    QString text() const { return textMatrix(m_row, m_col); }
    void setText(const QString& text) { setTextMatrix(m_row, m_col, text); }
    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);

    int colWidth(int col) const;
    void setColWidth(int col, int twips);

    int cellLeft() { return currentCellRect().x() * TwipsPerPixel; }
    int cellTop() { return currentCellRect().y() * TwipsPerPixel; }
    int cellWidth() { return currentCellRect().width() * TwipsPerPixel; }
    int cellHeight() { return currentCellRect().height() * TwipsPerPixel; }

    int cellAlignment() const;
    void setCellAlignment(int align);
    bool cellFontBold() const;
    void setCellFontBold(bool bold);
    QColor cellBackColor() const; // invalid when the cell has no colour of its own
    void setCellBackColor(const QColor& color);

    int mouseRow() const { return m_mouseRow; }
    int mouseCol() const { return m_mouseCol; }

    int topRow() const;
    void setTopRow(int r);

    void removeItem(int row);

    int oleDropMode() const { return m_oleDropMode; }
    void setOleDropMode(int mode);

    // Height of every row in pixels, the fixed ones included.
    int rowPixelHeight() const;

signals:
    void click();
    void dblClick();
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void scrolled();
    void oleDragDrop();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyboardSearch(const QString& search) override;
    void changeEvent(QEvent* event) override;

private:
    friend class FlexGridHeading;

    QTableWidgetItem* ensureItem(int row, int col);
    const QTableWidgetItem* currentItem() const { return item(m_row, m_col); }
    bool isFixed(int row, int col) const { return row < m_fixedRows || col < m_fixedCols; }
    void applyFixedRows(int previousFixedRows);
    void afterResize();
    void makeCurrent(int row, int col);
    QRect currentCellRect();

    // Shared by the scrolling area and the heading strip.
    void pressAt(int row, int col, QMouseEvent* event, QPoint gridPos);
    void releaseAt(QMouseEvent* event);
    void doubleClickAt(int row, int col);
    bool acceptDrag(QDropEvent* event);
    void paintFixedCell(QPainter* painter, const QRect& rect, int row, int col);

    FlexGridHeading* m_heading = nullptr;
    int m_fixedRows = 1;
    int m_fixedCols = 1;
    int m_row = 1;
    int m_col = 1;
    int m_mouseRow = -1;
    int m_mouseCol = -1;
    int m_oleDropMode = OleDropNone;
    bool m_pressed = false;
    bool m_afterDoubleClick = false;
    bool m_relayout = false;
};

#include "platform/grid/FlexGrid.h"

#include "platform/grid/FlexGridDelegate.h"
#include "platform/grid/FlexGridHeading.h"

#include <QDropEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <utility>

FlexGrid::FlexGrid(QWidget* parent) : QTableWidget(parent)
{
    m_heading = new FlexGridHeading(this);
    setHorizontalHeader(m_heading);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(rowPixelHeight());
    setItemDelegate(new FlexGridDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setWordWrap(false);
    setDragEnabled(false);

    // Changes to the fixed rows must reach the heading strip, which is not a view of its own rows.
    connect(model(), &QAbstractItemModel::dataChanged, this, [this](const QModelIndex& topLeft) {
        if (topLeft.row() < m_fixedRows)
            m_heading->viewport()->update();
    });

    setRows(2);
    setCols(2);
    makeCurrent(1, 1);
}

int FlexGrid::rowPixelHeight() const
{
    return fontMetrics().height() + 8;
}

void FlexGrid::setRows(int n)
{
    if (n < 0 || n == rowCount())
        return;
    setRowCount(n);
    applyFixedRows(m_fixedRows);
    afterResize();
}

void FlexGrid::setCols(int n)
{
    if (n < 0 || n == columnCount())
        return;
    setColumnCount(n);
    afterResize();
}

void FlexGrid::setFixedRows(int n)
{
    if (n < 0 || n == m_fixedRows)
        return;
    const int previous = m_fixedRows;
    m_fixedRows = n;
    applyFixedRows(previous);
    m_heading->setVisible(m_fixedRows > 0);
    if (m_row < m_fixedRows && m_fixedRows < rowCount())
        makeCurrent(m_fixedRows, m_col);
    afterResize();
    updateGeometries(); // the heading strip's height
    viewport()->update();
}

void FlexGrid::setFixedCols(int n)
{
    if (n < 0 || n == m_fixedCols)
        return;
    m_fixedCols = n;
    if (m_col < m_fixedCols && m_fixedCols < columnCount())
        makeCurrent(m_row, m_fixedCols);
    viewport()->update();
    m_heading->viewport()->update();
}

// The fixed rows are hidden from the scrolling area and drawn by the heading strip instead.
void FlexGrid::applyFixedRows(int previousFixedRows)
{
    const int last = std::min(rowCount(), std::max(previousFixedRows, m_fixedRows));
    for (int r = 0; r < last; ++r)
        setRowHidden(r, r < m_fixedRows);
    m_heading->viewport()->update();
}

// Keeps the current cell inside the grid and brings the scroll range up to date at once, so that a
// Scroll caused by the new size is raised now and not later, after a window has placed its editor.
void FlexGrid::afterResize()
{
    const int r = std::clamp(m_row, 0, std::max(0, rowCount() - 1));
    const int c = std::clamp(m_col, 0, std::max(0, columnCount() - 1));
    if (rowCount() > 0 && columnCount() > 0 && (r != m_row || c != m_col || currentIndex() != model()->index(r, c)))
        makeCurrent(r, c);
    else {
        m_row = r;
        m_col = c;
    }
    executeDelayedItemsLayout();
}

void FlexGrid::makeCurrent(int row, int col)
{
    m_row = row;
    m_col = col;
    setCurrentCell(row, col);
}

void FlexGrid::setRow(int r)
{
    if (r >= 0 && r < rowCount())
        makeCurrent(r, m_col);
}

void FlexGrid::setCol(int c)
{
    if (c >= 0 && c < columnCount())
        makeCurrent(m_row, c);
}

QString FlexGrid::textMatrix(int row, int col) const
{
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text() : QString();
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        return;
    if (QTableWidgetItem* it = item(row, col))
        it->setText(text);
    else if (!text.isEmpty()) // cells are made on first use, so large grids fill quickly
        setItem(row, col, new QTableWidgetItem(text));
}

QTableWidgetItem* FlexGrid::ensureItem(int row, int col)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        return nullptr;
    QTableWidgetItem* it = item(row, col);
    if (!it) {
        it = new QTableWidgetItem;
        setItem(row, col, it);
    }
    return it;
}

int FlexGrid::colWidth(int col) const
{
    if (col < 0 || col >= columnCount() || isColumnHidden(col))
        return 0;
    return columnWidth(col) * TwipsPerPixel;
}

void FlexGrid::setColWidth(int col, int twips)
{
    if (col < 0 || col >= columnCount() || twips < 0)
        return;
    const int pixels = int(std::lround(double(twips) / TwipsPerPixel));
    // A zero-width section can still take a click or the keyboard cursor; hiding it cannot.
    setColumnHidden(col, pixels == 0);
    if (pixels > 0)
        setColumnWidth(col, pixels);
    // Qt brings the scroll range up to date only later, on a timer.
    updateGeometries();
}

QRect FlexGrid::currentCellRect()
{
    executeDelayedItemsLayout();
    if (m_row < 0 || m_row >= rowCount() || m_col < 0 || m_col >= columnCount())
        return {};
    if (isVisible())
        scrollTo(model()->index(m_row, m_col));
    // Like visualRect(): the grid line at the right and bottom belongs to the neighbours.
    const int line = showGrid() ? 1 : 0;
    const int x = viewport()->x() + columnViewportPosition(m_col);
    const int width = isColumnHidden(m_col) ? 0 : columnWidth(m_col) - line;
    if (m_row < m_fixedRows)
        return {x, m_heading->y() + m_row * rowPixelHeight(), width, rowPixelHeight() - line};
    return {x, viewport()->y() + rowViewportPosition(m_row), width, rowHeight(m_row) - line};
}

int FlexGrid::cellAlignment() const
{
    const QTableWidgetItem* it = currentItem();
    const QVariant align = it ? it->data(AlignmentRole) : QVariant();
    return align.isValid() ? align.toInt() : int(AlignGeneral);
}

void FlexGrid::setCellAlignment(int align)
{
    if (align < AlignLeftTop || align > AlignGeneral)
        return;
    if (QTableWidgetItem* it = ensureItem(m_row, m_col))
        it->setData(AlignmentRole, align);
}

bool FlexGrid::cellFontBold() const
{
    const QTableWidgetItem* it = currentItem();
    return it && it->data(FontBoldRole).toBool();
}

void FlexGrid::setCellFontBold(bool bold)
{
    if (QTableWidgetItem* it = ensureItem(m_row, m_col))
        it->setData(FontBoldRole, bold);
}

QColor FlexGrid::cellBackColor() const
{
    const QTableWidgetItem* it = currentItem();
    const QVariant brush = it ? it->data(Qt::BackgroundRole) : QVariant();
    return brush.isValid() ? brush.value<QBrush>().color() : QColor();
}

void FlexGrid::setCellBackColor(const QColor& color)
{
    if (QTableWidgetItem* it = ensureItem(m_row, m_col))
        it->setData(Qt::BackgroundRole, color.isValid() ? QVariant(QBrush(color)) : QVariant());
}

int FlexGrid::topRow() const
{
    const int r = rowAt(0);
    return r >= 0 ? r : m_fixedRows;
}

void FlexGrid::setTopRow(int r)
{
    if (r < m_fixedRows || r >= rowCount())
        return;
    executeDelayedItemsLayout();
    // Scrolling is by whole rows over the rows that are not fixed.
    verticalScrollBar()->setValue(r - m_fixedRows);
}

void FlexGrid::removeItem(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    removeRow(row);
    applyFixedRows(m_fixedRows);
    afterResize();
}

void FlexGrid::setOleDropMode(int mode)
{
    m_oleDropMode = mode == OleDropManual ? OleDropManual : OleDropNone;
    viewport()->setAcceptDrops(m_oleDropMode == OleDropManual);
}

void FlexGrid::pressAt(int row, int col, QMouseEvent* event, QPoint gridPos)
{
    m_mouseRow = row;
    m_mouseCol = col;
    m_pressed = true;
    if (row >= 0 && col >= 0 && !isFixed(row, col))
        makeCurrent(row, col);
    emit mouseDown(event->button(), event->modifiers(), gridPos.x() * TwipsPerPixel, gridPos.y() * TwipsPerPixel);
}

void FlexGrid::releaseAt(QMouseEvent* event)
{
    const bool pressed = std::exchange(m_pressed, false);
    // The release that ends a double click is no click of its own.
    if (pressed && event->button() == Qt::LeftButton && !std::exchange(m_afterDoubleClick, false))
        emit click();
}

void FlexGrid::doubleClickAt(int row, int col)
{
    m_mouseRow = row;
    m_mouseCol = col;
    m_pressed = true;
    m_afterDoubleClick = true;
    if (row >= 0 && col >= 0 && !isFixed(row, col))
        makeCurrent(row, col);
    emit dblClick();
}

void FlexGrid::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    pressAt(rowAt(pos.y()), columnAt(pos.x()), event, viewport()->mapTo(this, pos));
}

void FlexGrid::mouseReleaseEvent(QMouseEvent* event)
{
    releaseAt(event);
}

void FlexGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    doubleClickAt(rowAt(pos.y()), columnAt(pos.x()));
}

// Dragging the mouse does not move the current cell or extend a selection.
void FlexGrid::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
}

bool FlexGrid::acceptDrag(QDropEvent* event)
{
    if (m_oleDropMode != OleDropManual) {
        event->ignore();
        return false;
    }
    // A copy, so that the source never removes what was dragged from it.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

void FlexGrid::dragEnterEvent(QDragEnterEvent* event)
{
    acceptDrag(event);
}

void FlexGrid::dragMoveEvent(QDragMoveEvent* event)
{
    acceptDrag(event);
}

void FlexGrid::dropEvent(QDropEvent* event)
{
    if (acceptDrag(event))
        emit oleDragDrop();
}

void FlexGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableWidget::currentChanged(current, previous);
    if (current.isValid()) {
        m_row = current.row();
        m_col = current.column();
    }
}

void FlexGrid::scrollContentsBy(int dx, int dy)
{
    QTableWidget::scrollContentsBy(dx, dy);
    QScrollBar* bar = verticalScrollBar();
    if (dy != 0 && bar->maximum() > 0 && bar->value() == bar->maximum()) {
        // Qt shows a full last page at the end of the range; here the end is the last row at the top.
        verticalHeader()->setOffsetToSectionPosition(bar->value());
        viewport()->update();
    }
    if ((dx != 0 || dy != 0) && !m_relayout)
        emit scrolled();
}

void FlexGrid::updateGeometries()
{
    QScrollBar* bar = verticalScrollBar();
    const int top = bar->value();
    const int left = horizontalScrollBar()->value();
    {
        QScopedValueRollback<bool> relayout(m_relayout, true);
        QTableWidget::updateGeometries();
        // Once the rows overflow, the last row may scroll up to the top, as the windows expect of TopRow;
        // a grid cut short below its top row shows its last full page.
        const int lastPage = bar->maximum();
        if (lastPage > 0)
            bar->setMaximum(std::max(lastPage, rowCount() - m_fixedRows - 1));
        bar->setValue(top <= bar->maximum() ? top : lastPage);
        // Qt may have left a part of a row at the top for its own last page; a flex grid starts with a whole row.
        if (bar->maximum() > 0 && verticalHeader()->offset() != verticalHeader()->sectionPosition(topRow())) {
            verticalHeader()->setOffsetToSectionPosition(bar->value());
            viewport()->update();
        }
    }
    if (bar->value() != top || horizontalScrollBar()->value() != left)
        emit scrolled();
}

QModelIndex FlexGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex next = QTableWidget::moveCursor(action, modifiers);
    if (next.isValid() && next.column() < m_fixedCols)
        return model()->index(next.row(), std::min(m_fixedCols, columnCount() - 1));
    return next;
}

// Typing on the grid itself selects nothing.
void FlexGrid::keyboardSearch(const QString&) {}

void FlexGrid::changeEvent(QEvent* event)
{
    QTableWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        verticalHeader()->setDefaultSectionSize(rowPixelHeight());
        m_heading->updateGeometry();
        updateGeometries();
    }
}

void FlexGrid::paintFixedCell(QPainter* painter, const QRect& rect, int row, int col)
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = rect;
    const QModelIndex index = model()->index(row, col);
    itemDelegateForIndex(index)->paint(painter, option, index);
    if (showGrid()) {
        const int gridHint = style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this);
        painter->save();
        painter->setPen(QColor::fromRgba(static_cast<QRgb>(gridHint)));
        painter->drawLine(rect.topRight(), rect.bottomRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->restore();
    }
}

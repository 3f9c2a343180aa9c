#include "platform/grid/FlexGridHeading.h"

#include "platform/grid/FlexGrid.h"

#include <QMouseEvent>
#include <QPainter>

FlexGridHeading::FlexGridHeading(FlexGrid* grid) : QHeaderView(Qt::Horizontal, grid), m_grid(grid)
{
    setSectionsClickable(false);
    setHighlightSections(false);
    setMinimumSectionSize(0);
    viewport()->setAcceptDrops(true);
}

QSize FlexGridHeading::sizeHint() const
{
    return {QHeaderView::sizeHint().width(), m_grid->fixedRows() * m_grid->rowPixelHeight()};
}

int FlexGridHeading::rowAtY(int y) const
{
    const int r = y / m_grid->rowPixelHeight();
    return y >= 0 && r < m_grid->fixedRows() ? r : -1;
}

void FlexGridHeading::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    painter.fillRect(event->rect(), m_grid->palette().base());
    const int height = m_grid->rowPixelHeight();
    for (int c = 0; c < count(); ++c) {
        if (isSectionHidden(c) || sectionSize(c) == 0)
            continue;
        const int x = sectionViewportPosition(c);
        if (x > event->rect().right() || x + sectionSize(c) <= event->rect().left())
            continue;
        for (int r = 0; r < m_grid->fixedRows(); ++r)
            m_grid->paintFixedCell(&painter, QRect(x, r * height, sectionSize(c), height), r, c);
    }
}

void FlexGridHeading::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    m_grid->pressAt(rowAtY(pos.y()), logicalIndexAt(pos.x()), event, viewport()->mapTo(m_grid, pos));
}

void FlexGridHeading::mouseReleaseEvent(QMouseEvent* event)
{
    m_grid->releaseAt(event);
}

void FlexGridHeading::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    m_grid->doubleClickAt(rowAtY(pos.y()), logicalIndexAt(pos.x()));
}

// No resizing or moving of columns by the mouse.
void FlexGridHeading::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
}

void FlexGridHeading::dragEnterEvent(QDragEnterEvent* event)
{
    m_grid->acceptDrag(event);
}

void FlexGridHeading::dragMoveEvent(QDragMoveEvent* event)
{
    m_grid->acceptDrag(event);
}

void FlexGridHeading::dropEvent(QDropEvent* event)
{
    if (m_grid->acceptDrag(event))
        emit m_grid->oleDragDrop();
}

#include "surveys/ParameterTree.h"

#include "platform/lists/ChoiceList.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>

ParameterTree::ParameterTree(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

QIcon ParameterTree::scoredIcon()
{
    // Three rising bars: a question answered with a score.
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QColor(0x1e, 0x6b, 0x2a));
    p.setBrush(QColor(0x4c, 0xaf, 0x50));
    p.drawRect(1, 9, 3, 5);
    p.drawRect(6, 5, 3, 9);
    p.drawRect(11, 1, 3, 13);
    return QIcon(pixmap);
}

QIcon ParameterTree::descriptiveIcon()
{
    // A written page: a question answered in words.
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QColor(0x60, 0x60, 0x60));
    p.setBrush(Qt::white);
    p.drawRect(2, 1, 11, 13);
    p.setPen(QColor(0x3a, 0x6e, 0xa5));
    for (int y = 4; y <= 11; y += 3)
        p.drawLine(4, y, 11, y);
    return QIcon(pixmap);
}

QItemSelectionModel::SelectionFlags ParameterTree::selectionCommand(const QModelIndex& index, const QEvent* event) const
{
    return ChoiceList::keepChoice(QTreeWidget::selectionCommand(index, event), index, event);
}

void ParameterTree::mousePressEvent(QMouseEvent* event)
{
    // Add takes the chosen node: a press beside the nodes does not take it away.
    if (ChoiceList::pressesNoEntry(this, event)) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void ParameterTree::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeWidget::mouseDoubleClickEvent(event);
    emit dblClick();
}

void ParameterTree::keyPressEvent(QKeyEvent* event)
{
    // Enter is the window's gesture for adding; the view's own handling of it would only open the item.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit keyDown(13);
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
    emit keyDown(event->key());
}

void ParameterTree::startDrag(Qt::DropActions supportedActions)
{
    // The drag runs to its end here; whoever listens learns afterwards whether the grid took the drop.
    QTreeWidget::startDrag(supportedActions | Qt::CopyAction);
    emit oleCompleteDrag();
}

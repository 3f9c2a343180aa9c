#include "platform/lists/ChoiceList.h"

#include <QMouseEvent>

ChoiceList::ChoiceList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
}

QListWidgetItem* ChoiceList::chosenItem() const
{
    const QList<QListWidgetItem*> chosen = selectedItems();
    return chosen.isEmpty() ? nullptr : chosen.first();
}

int ChoiceList::chosenRow() const
{
    QListWidgetItem* item = chosenItem();
    return item ? row(item) : -1;
}

QItemSelectionModel::SelectionFlags ChoiceList::keepChoice(QItemSelectionModel::SelectionFlags command,
                                                           const QModelIndex& index, const QEvent* event)
{
    // Only the user's input is held back; code that sets the current entry keeps Qt's own effect.
    if (!event || command == QItemSelectionModel::NoUpdate)
        return command;
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    // Whatever the modifiers, the entry the user reached is chosen, never un-chosen.
    if (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    return command;
}

bool ChoiceList::pressesNoEntry(const QAbstractItemView* view, const QMouseEvent* event)
{
    return !view->indexAt(event->position().toPoint()).isValid();
}

QItemSelectionModel::SelectionFlags ChoiceList::selectionCommand(const QModelIndex& index, const QEvent* event) const
{
    return keepChoice(QListWidget::selectionCommand(index, event), index, event);
}

void ChoiceList::mousePressEvent(QMouseEvent* event)
{
    // A press on no entry (below the last one, say) leaves the choice as it is.
    if (pressesNoEntry(this, event)) {
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QListWidget::mousePressEvent(event);
}

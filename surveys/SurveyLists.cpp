#include "surveys/SurveyLists.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>

namespace SurveyLists
{

QString chosenText(const QComboBox* list)
{
    const int i = list->currentIndex();
    return i >= 0 ? list->itemText(i) : QString();
}

QString selectedText(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

QDate selectedDate(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? QDate() : selected.first()->data(Qt::UserRole).toDate();
}

void refill(QComboBox* list, const QStringList& names)
{
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(names);
    list->setCurrentIndex(-1);
}

void refill(QListWidget* list, const QStringList& names)
{
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(names);
}

} // namespace SurveyLists

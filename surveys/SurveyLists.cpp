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

void addDate(QListWidget* list, const QDate& date)
{
    auto* item = new QListWidgetItem(SurveyStore::dateText(date), list);
    item->setData(Qt::UserRole, date);
}

int selectedId(const QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? 0 : selected.first()->data(Qt::UserRole).toInt();
}

bool selectRespondent(QListWidget* list, const QString& name, int id)
{
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        if (id != 0 ? item->data(Qt::UserRole).toInt() == id : item->text() == name) {
            list->setCurrentItem(item);
            return true;
        }
    }
    return false;
}

void refill(QComboBox* list, const QStringList& names)
{
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItems(names);
    list->setCurrentIndex(-1);
}

void refill(QListWidget* list, const QList<SurveyStore::Respondent>& respondents)
{
    const QSignalBlocker blocker(list);
    list->clear();
    for (const SurveyStore::Respondent& r : respondents) {
        auto* item = new QListWidgetItem(r.name, list);
        item->setData(Qt::UserRole, r.id);
    }
}

} // namespace SurveyLists

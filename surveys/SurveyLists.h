#pragma once

#include "surveys/SurveyStore.h"

#include <QDate>
#include <QString>
#include <QStringList>

class QComboBox;
class QListWidget;

// The customer, respondent and date lists the survey windows cascade through: what is chosen in them, and
// refilling them without running their click handlers.
namespace SurveyLists
{

QString chosenText(const QComboBox* list);
QString selectedText(const QListWidget* list);
// Date lists keep each entry's date beside its text, so no date is read back from text.
QDate selectedDate(const QListWidget* list);
// Appends an entry showing the date as the system's short date.
void addDate(QListWidget* list, const QDate& date);

// Respondent lists keep each entry's id beside its name, so no respondent is found again by a name that two
// may share. 0 when nothing is selected.
int selectedId(const QListWidget* list);
// Selects the entry of that id, or, for id 0, the first entry of that name. False when there is none.
bool selectRespondent(QListWidget* list, const QString& name, int id);

// Refills a customer list, or a respondent list, with nothing chosen.
void refill(QComboBox* list, const QStringList& names);
void refill(QListWidget* list, const QList<SurveyStore::Respondent>& respondents);

} // namespace SurveyLists

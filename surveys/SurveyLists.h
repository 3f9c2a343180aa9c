#pragma once

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

// Refills a customer list with nothing chosen.
void refill(QComboBox* list, const QStringList& names);
void refill(QListWidget* list, const QStringList& names);

} // namespace SurveyLists

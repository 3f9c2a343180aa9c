#pragma once

#include "shell/gblGlobal.h"

#include "analysis/AnalysisArithmetic.h"

#include <QString>

#include <functional>

class ChartControl;
class QComboBox;
class ProviderError;
class QListWidget;
class QSqlQuery;
class QWidget;

// What the satisfaction-index and performance-matrix windows share: their customer and survey-date lists, their
// collapsing height, and printing a chart with its report.
namespace ChartWindows
{

constexpr const char* kTitle = kMessageTitle;

// A name as the database compares names: letters A to Z without regard to case, every other character as it is.
QString nameKey(const QString& name);

// Walks rows of (key, weightage, score) and hands each run of rows whose keys match to `group`: the run's first key
// and its answers in row order.
void forEachGroup(QSqlQuery& query, const std::function<QString(const QVariant&)>& keyOf,
                  const std::function<void(const QVariant& key, const QList<StoredAnswer>& answers)>& group);

// A window's height as its layout gives it, in twips with the caption and borders counted; and the height in
// pixels that leaves for the window's own contents.
void setFormHeight(QWidget* form, int twips);
int contentHeight(int twips);

// Every customer's name, in the order they were added. Errors: the normal pointer, then the connection's errors.
void fillCustomers(QComboBox* list);
// The customer's survey dates, earliest first, as short dates; each entry keeps its date. Nothing is selected.
void fillSurveyDates(QListWidget* list, const QString& customerName);

// The drawing procedures' own report of a failure: the first error's number, " : " and its description.
void showFirstError(const ProviderError& error);

// Saves the chart as drawn into the program's folder as a bitmap (the report shows it) and puts it on the
// clipboard, then prints the report through the main window's report control. A picture that cannot be saved is
// reported and nothing is printed, so the report never shows an older picture.
void printChart(ChartControl* chart, const QString& pictureName, const QString& reportName, const QString& title);

} // namespace ChartWindows

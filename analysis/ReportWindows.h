#pragma once

#include <QString>

#include <functional>

class QComboBox;
class QDateEdit;
class QRect;
class QWidget;

// What the survey-response, satisfaction-overview and improvement-plan windows share: the customer list, the date
// pickers and printing through the main window's report control.
namespace ReportWindows
{

// Every customer's name in table order, nothing chosen. Errors: the connection's errors, then the list stays empty.
void toFillCustomerList(QComboBox* list);

// The Report button: the hourglass and "Generating Report....." around the steps when there are customers; the
// status text and pointer are restored however the steps end.
void generating(const QComboBox* customers, const std::function<void()>& steps);

// A date picker at its place, showing the system's short date with a four-digit year, with a calendar to pick from.
QDateEdit* makeDatePicker(QWidget* parent, const char* name, const QRect& geometry);

// A text of a selection formula: in apostrophes, or in double quotes when the text holds an apostrophe, so that a
// name such as O'Brien can never end the text early.
QString formulaText(const QString& text);

// Runs a report through the main window's report control: password, data file, report file, company name, the
// selection (when given), the title, maximised, Action 1, and the selection cleared for the next run. A failure is
// shown by the control with its reason; false when nothing was shown.
bool printReport(const QString& reportFileName, const QString& windowTitle, const QString& selectionFormula = {});

} // namespace ReportWindows

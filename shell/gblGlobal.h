#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

class QWidget;
class ProviderError;

// Program-wide state and the procedures every window shares.

// The shared connection on the data source "dral" (a named connection; closed until toOpenConnection succeeds).
QSqlDatabase gConnection();
extern const char* const kConnectionName;
extern const char* const kDataSourceName; // "dral"
extern const char* const kDatabasePassword;

// The title of the program's own validation, confirmation and notice messages.
inline constexpr const char kMessageTitle[] = "Quorvane v2.1";

extern QString gDatabasePath;
extern QString gCompanyName;

// Hand-over state between windows.
extern bool gDroppedOnGrid;
extern bool gPastePending;
extern bool gPasteForNewSurvey;
extern bool gSearchOpenFeedback;
extern bool gSearchOpenImprovement;
extern int gSearchItemIndex;
extern bool gFromSearch;
extern QString gSearchHitId;

// The folder of the executable: database, template, workbooks, report definitions, pictures, help.
QString programFolder();
QString programFile(const QString& name);
void setProgramFolder(const QString& folder); // tests: a fresh folder per test; "" returns to the executable's

// Start-up. Returns false when the program is to end at once (before any window shows).
enum class StartupResult { Continue, EndProgram };
StartupResult Main();

// Finds the database file (or lets the user locate it) and registers the data source for it.
StartupResult toCreateDSN(const QString& dsnName, QString& databasePath);
void toOpenConnection();
bool connectionIsOpen();
// The connection test of every data procedure: reopen the shared connection when it is closed.
void toTestConnection();
// Closes and releases the shared connection (shut-down).
void toCloseConnection();

// The common error handler: one box per error record ("Error : " + number + CR LF + description).
void toShowConnectionErrors(const ProviderError& error);
void toShowConnectionErrors(const ProviderError& error, const QString& prefix);

// Typed apostrophes become U+2019; "" (the empty value) when the text holds none.
QString toReplaceQuote(const QString& text);
// The caller's pattern: the typed text with every apostrophe turned into U+2019.
QString toStoredText(const QString& text);
// Centres a window across the screen and over the given share of the screen's height (the upper 85 per cent
// unless a window places itself otherwise).
void toCenterForm(QWidget* form, double heightShare = 0.85);
// Moves a child window's frame to where it was placed by the screen's size, but inside the main window's area,
// which may be smaller: pulled back inside where it fits, so that its buttons start within reach; a frame larger
// than the area keeps its top left.
void placeWithinArea(QWidget* frame, int left, int top);
int toGetCustomerID(const QString& name);

// The company name, an installation setting kept in the program's folder.
QString toReadCompanyName();

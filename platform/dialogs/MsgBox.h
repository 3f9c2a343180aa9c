#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// Message boxes and file dialogs by the platform's style numbers. Tests switch on the seam: nothing is shown,
// every box and dialog is recorded, and the answers are taken from queues filled ahead of time.
namespace MsgBox
{

// Style flags (combined by addition, as the callers write them).
enum Style : int {
    OkOnly = 0,
    OkCancel = 1,
    YesNo = 4,
    RetryCancel = 5,
    Critical = 16,
    Information = 64,
    DefaultButton2 = 256, // the second button (No, Cancel) is the one Return presses
    RightAlign = 524288,
};

// Answers.
enum Answer : int { Ok = 1, Cancel = 2, Retry = 4, Yes = 6, No = 7 };

struct Shown {
    QString text;
    int style = 0;
    QString title;
};

// Shows a message box; an empty title stands for the program's name. Returns the button pressed.
int show(const QString& text, int style = OkOnly, const QString& title = QString());

// Run before every message box, shown or answered by the seam alike (the program ends its write transaction there).
void setBeforeShow(std::function<void()> hook);

struct FileDialogShown {
    bool save = false;
    QString title;
    QString directory;
    QString filter;
    bool multiple = false;
    bool confirmOverwrite = false; // a save dialog that asks before replacing an existing file
};

// File dialogs; the result is the chosen path, or "" when cancelled.
QString getOpenFileName(const QString& title, const QString& directory, const QString& filter);
// A caller that checks the chosen name itself passes confirmOverwrite false, so that the user is asked only once.
QString getSaveFileName(const QString& title, const QString& directory, const QString& filter,
                        bool confirmOverwrite = true);
// An open dialog in which several files can be chosen at once; the chosen paths, none when cancelled.
QStringList getOpenFileNames(const QString& title, const QString& directory, const QString& filter);

// The platform's filter ("Caption|pattern|Caption|pattern") as Qt's ("Caption (pattern);;...").
QString qtFilter(const QString& filter);
// The width a box needs for its title to show whole in the window's title bar.
int titleWidth(const QString& title);

// Makes every file dialog of the program, Qt's own included, Qt's widget dialog, and has it and every other list of
// files that Qt makes (the print dialog's name completion) name files by name and kind alone, never by their content:
// reading a file of the database outside SQLite drops the connection's locks.
void guardFileDialogs();

// The seam.
void setTestMode(bool on);
bool testMode();
void setNextAnswer(int answer);
void setNextFileName(const QString& path);       // "" answers the dialog with Cancel
void setNextFileNames(const QStringList& paths); // the answer of a multiple-selection dialog; none is Cancel
QList<Shown> shown();
QList<FileDialogShown> fileDialogsShown();
void clearRecords();

} // namespace MsgBox

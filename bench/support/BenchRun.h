#pragma once

#include <QApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// The application of a benchmark: message boxes, file dialogs, the desktop and the report control answer as in the
// tests; without a named platform it draws offscreen, unless it takes pictures for looking at.
class BenchApp : public QApplication
{
public:
    BenchApp(int& argc, char** argv, bool offscreen = true);
};

// Milliseconds the step takes, the events it posts handled.
double timeMs(const std::function<void()>& step);
double median(QList<double> values);
// "what  median ... ms   max ... ms   (n runs)".
void printTimes(const char* what, const QList<double>& ms);
// Runs the step that many times, printing each time; the median in milliseconds.
double medianOfRuns(const char* label, int runs, const std::function<void()>& step);

// The standard output of a Python script run by the system's interpreter (the one with openpyxl); empty, with its
// errors on stderr, when it fails.
QByteArray python(const QString& script, const QStringList& arguments = {});

// A picture of the widget as it is drawn once pending events are handled.
void saveShot(QWidget* widget, const QString& path);

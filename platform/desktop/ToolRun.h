#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Runs one of the desktop's hand-over tools (xdg-open, xdg-email) found on the PATH, and watches it: until it has
// finished, or for a grace period when it stays with the program it started. Such a program keeps running after
// the call, and after this program ends.
namespace ToolRun
{

struct Outcome {
    bool ok = false;  // it ended with code 0, or is still running after the grace period
    QString failure;  // when it could not be run at all: not found, not started, crashed; "" otherwise
    int exitCode = 0; // when it ended on its own
    QString said;     // what it wrote on its error output before it ended, trimmed
};

// Told how a run ended that was still going after the grace period and then failed; a run that ends well, or
// keeps running, never calls it. It is called from the event loop, after run() has returned, and never while a
// hold is taken (see below).
using LateFailure = std::function<void(const Outcome&)>;

Outcome run(const QString& tool, const QStringList& arguments, LateFailure lateFailure = {});

// How long a run is watched for a failure before it counts as done, in milliseconds (3 s unless set).
void setGracePeriod(int milliseconds);
int gracePeriod();

// While at least one hold is taken, late failures wait: their messages would otherwise come up in the middle of
// work that holds the database. They are told in the order they came, from the event loop, once the last hold is
// released.
void holdLateFailures();
void releaseLateFailures();

class LateFailureHold
{
public:
    LateFailureHold() { holdLateFailures(); }
    ~LateFailureHold() { releaseLateFailures(); }
    LateFailureHold(const LateFailureHold&) = delete;
    LateFailureHold& operator=(const LateFailureHold&) = delete;
};

} // namespace ToolRun

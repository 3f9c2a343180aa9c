#include "shell/ConnectionPolicy.h"

#include "platform/desktop/ToolRun.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/Db.h"
#include "shell/ProviderError.h"
#include "shell/gblGlobal.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <algorithm>
#include <utility>

namespace ConnectionPolicy
{
namespace
{

struct State {
    int busyWait = 10000;
    bool open = false;
    // A message box undid the open transaction before its owner ended it: every statement fails until the owner
    // commits or rolls back, so that the rest of the save cannot be stored on its own.
    bool interrupted = false;
};

State& state()
{
    static State s;
    return s;
}

// A late hand-over failure waits while a transaction is open: its message would undo the transaction.
void setOpen(bool open)
{
    if (std::exchange(state().open, open) == open)
        return;
    if (open)
        ToolRun::holdLateFailures();
    else
        ToolRun::releaseLateFailures();
}

void setTimeout(QSqlDatabase db, int milliseconds)
{
    // Replaces the driver's own busy handler, whose wait is fixed by the data source.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(milliseconds));
}

// SQLite's code for a statement aborted because its transaction was rolled back.
constexpr int Aborted = 4;

ProviderError interruption()
{
    return ProviderError({ErrorRecord{
        Aborted, QStringLiteral("The save was interrupted by a message and undone; nothing of it is stored.")}});
}

// SQLite counts its wait in the naps it meant to take; on a loaded machine they last longer. A transaction's begin
// asks again in short turns until the wait is over by the clock.
constexpr int BeginTurn = 100;

} // namespace

Failure classify(const ProviderError& error)
{
    if (error.records().isEmpty())
        return Failure::CannotWrite; // no connection at all
    // SQLite's primary result codes, as the driver reports them.
    switch (error.records().first().number & 0xff) {
    case 5: // busy
    case 6: // locked
        return Failure::Busy;
    case 7:  // out of memory
    case 8:  // read-only
    case 10: // I/O error
    case 11: // damaged file
    case 13: // disk full
    case 14: // cannot open
    case 15: // locking protocol
    case 26: // not a database
        return Failure::CannotWrite;
    default:
        return Failure::Statement;
    }
}

int busyWait()
{
    return state().busyWait;
}

void setBusyWait(int milliseconds)
{
    state().busyWait = milliseconds;
    QSqlDatabase db = gConnection();
    if (db.isOpen())
        setTimeout(db, milliseconds);
}

void applyTo(QSqlDatabase& db)
{
    setOpen(false);
    state().interrupted = false;
    setTimeout(db, state().busyWait);
    // A reading run keeps each workbook under a savepoint; its journal in memory spares a temporary file's writes.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA temp_store=MEMORY"));
    MsgBox::setBeforeShow(&beforeMessage);
}

void begin()
{
    const int wait = state().busyWait;
    setTimeout(gConnection(), std::min(wait, BeginTurn));
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        try {
            Db::exec(QStringLiteral("BEGIN IMMEDIATE"));
            break;
        } catch (const ProviderError& e) {
            if (classify(e) != Failure::Busy || waited.elapsed() >= wait) {
                setTimeout(gConnection(), wait);
                throw;
            }
        }
    }
    setTimeout(gConnection(), wait);
    setOpen(true);
}

void commit()
{
    if (!state().open) {
        if (std::exchange(state().interrupted, false))
            throw interruption();
        return;
    }
    try {
        Db::exec(QStringLiteral("COMMIT"));
        setOpen(false);
    } catch (const ProviderError&) {
        rollback();
        throw;
    }
}

void rollback()
{
    setOpen(false);
    state().interrupted = false;
    try {
        Db::exec(QStringLiteral("ROLLBACK"));
    } catch (const ProviderError&) {
        // Nothing is left to roll back: SQLite already did.
    }
}

bool inTransaction()
{
    return state().open;
}

void checkNotInterrupted()
{
    if (state().interrupted)
        throw interruption();
}

void savepoint(const QString& name)
{
    Db::exec(QStringLiteral("SAVEPOINT ") + name);
}

void release(const QString& name)
{
    Db::exec(QStringLiteral("RELEASE ") + name);
}

bool rollbackTo(const QString& name)
{
    try {
        Db::exec(QStringLiteral("ROLLBACK TO ") + name);
        Db::exec(QStringLiteral("RELEASE ") + name);
        return true;
    } catch (const ProviderError&) {
        // The savepoint is gone with the transaction it lay in.
        rollback();
        return false;
    }
}

void beforeMessage()
{
    if (!state().open)
        return;
    // Committing here would store the save's first half and leave the rest to autocommit.
    rollback();
    state().interrupted = true;
}

} // namespace ConnectionPolicy

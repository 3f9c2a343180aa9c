#pragma once

#include <QString>

class ProviderError;
class QSqlDatabase;

// How the program uses the shared connection under other programs' locks and failing disks, kept in one place:
// - a statement waits out another program's lock for a while before it fails as busy;
// - write transactions are begun, committed and rolled back by explicit statements (BEGIN IMMEDIATE, COMMIT,
//   ROLLBACK): a failed commit in the driver's own manual-commit mode leaves that mode on, and every later
//   statement would run in a transaction nobody ends;
// - after a failure, whether the transaction survived is asked of SQLite, which rolls the whole transaction back
//   on a full disk or an I/O error;
// - no write transaction stays open while a message box is shown, and none is stored halfway because of one.
// - a hand-over tool's late failure is told only once no transaction is open.
namespace ConnectionPolicy
{

// What a failing statement means for a run that writes.
enum class Failure {
    Statement,   // this statement alone was refused (a constraint, a bad value)
    Busy,        // another program held its lock beyond the wait
    CannotWrite, // the database cannot be written: disk full, read-only, I/O error, damaged file, gone
};
Failure classify(const ProviderError& error);

// The wait for another program's lock, in milliseconds.
int busyWait();
void setBusyWait(int milliseconds);

// Applies the policy to a connection just opened (the shared connection's open calls it).
void applyTo(QSqlDatabase& db);

// A write transaction on the shared connection. begin takes the write lock at once (waiting out another writer),
// so that what the transaction reads stays what it writes over. Each throws ProviderError.
void begin();
// Commits; when the commit fails, what is left of the transaction is rolled back and the error thrown. Throws as
// well when a message box undid the transaction (see beforeMessage).
void commit();
void rollback();
bool inTransaction();

// Throws the interruption's ProviderError while a message box has undone a transaction whose owner has not yet
// ended it; the statement helpers call it before every statement.
void checkNotInterrupted();

// Savepoints inside the open transaction.
void savepoint(const QString& name);
void release(const QString& name);
// Undoes everything since the savepoint and releases it. False when the transaction itself is gone: SQLite rolled
// it back whole, so what it held before the savepoint is not stored either.
bool rollbackTo(const QString& name);

// Run before every message box: rolls back an open transaction, so that no other program is locked out while the
// box waits for the user. That save can no longer be whole, so it stores nothing: its later statements and its
// commit throw until its owner commits or rolls back.
void beforeMessage();

} // namespace ConnectionPolicy

#pragma once

#include <QString>

// The one look at a path before the program opens or writes it. Only SQLite may open the database's files: the
// locks of its connection belong to the process, and any close of any descriptor of those files drops them. And a
// device or a pipe is no file to read whole: one never ends, the other may never answer. Nothing is opened to find
// out; the path is followed through every link to the file it leads to.
namespace FileGuard
{

struct Verdict {
    QString path;    // where the path leads, every link followed; the file to open or write
    QString refusal; // why the file may not be used, fit to follow "Cannot open <file>: "; empty when it may
    bool allowed() const { return refusal.isEmpty(); }
};

// A path that leads nowhere yet is allowed (a write makes it; a read fails on its own), unless it would name one of
// the database's files: the same name in the database's folder, however the folder is reached.
Verdict check(const QString& path);

// The same look at a file already opened, by its descriptor: where a look and an open stand apart, the file that was
// opened is the one that counts. The refusal, or empty when the file may be used.
QString checkOpened(int fd);

// The database file whose companions (-wal, -shm, -journal) and itself are never opened but by SQLite. Empty: none.
// Where its links lead is worked out here, once, rather than at every check.
void setDatabaseFile(const QString& path);

} // namespace FileGuard

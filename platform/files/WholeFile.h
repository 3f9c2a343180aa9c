#pragma once

#include <QByteArray>
#include <QString>

// Writes a file whole or not at all: the bytes go to a new file beside the target, every write is checked, the
// file is flushed to the disk and only then renamed over the target. On any failure the new file is removed, the
// old one is left as it was, and the reason is the system's own ("No space left on device"). Links are followed to
// the file they name; a path that FileGuard refuses (the database's files, anything but a regular file) is not
// written, and the reason is the guard's.
namespace WholeFile
{

enum class Mode {
    Replace,     // the new file takes the target's place
    KeepExisting // the file is made only when the target does not exist yet; an existing one is never replaced
};

bool write(const QString& path, const QByteArray& data, QString* reason = nullptr, Mode mode = Mode::Replace);

// Reads a file whole, and no more than maxSize bytes whatever size it reports: only a path that FileGuard allows,
// and only when the descriptor actually opened is a regular file, so that a name swapped after the look is caught.
// False, with the reason, when it cannot be read whole.
bool read(const QString& path, QByteArray* data, qint64 maxSize, QString* reason = nullptr);

// Makes every later write fail with the given error number once `bytes` bytes of it have reached the disk, as a
// full disk does part way through; a negative count turns it off. For tests.
void failAfter(qint64 bytes, int errorNumber);

} // namespace WholeFile

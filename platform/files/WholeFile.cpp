#include "platform/files/WholeFile.h"

#include "platform/files/FileGuard.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace WholeFile
{
namespace
{

std::atomic<qint64> g_failAfter{-1};
std::atomic<int> g_failError{0};

QString systemReason(int error)
{
    char buffer[256] = {};
    return QString::fromLocal8Bit(strerror_r(error, buffer, sizeof(buffer)));
}

// write() may take fewer bytes than asked; only an error or a full count ends the loop.
bool writeAll(int fd, const QByteArray& data, int* error)
{
    qint64 done = 0;
    const qint64 size = data.size();
    while (done < size) {
        qint64 chunk = size - done;
        const qint64 limit = g_failAfter.load();
        if (limit >= 0) {
            if (done >= limit) {
                *error = g_failError.load();
                return false;
            }
            chunk = qMin(chunk, limit - done);
        }
        const ssize_t n = ::write(fd, data.constData() + done, size_t(chunk));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            *error = errno;
            return false;
        }
        if (n == 0) {
            *error = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

// A new file with a name of its own beside the target, so that the rename stays on one file system.
int createBeside(const QByteArray& folder, const QByteArray& name, QByteArray* temp, int* error)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temp = folder + "/." + name + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
        const int fd = ::open(temp->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST) {
            *error = errno;
            return -1;
        }
    }
    *error = EEXIST;
    return -1;
}

int publish(const QByteArray& temp, const QByteArray& target, Mode mode)
{
    if (mode == Mode::Replace)
        return ::rename(temp.constData(), target.constData()) == 0 ? 0 : errno;
    if (::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without the no-replace rename: a hard link fails just as well when the target exists.
    if (::link(temp.constData(), target.constData()) != 0)
        return errno;
    ::unlink(temp.constData());
    return 0;
}

// The rename itself is kept only once the folder is on the disk; a failure here leaves the new file in place.
void syncFolder(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Opens for reading the very file that a path handle, already checked, reached. Through /proc/self/fd where it is
// mounted; where it is not (a container or a chroot), by its name again, never through a final link nor waiting on a
// pipe or a device, and kept only when it is the file that was checked. -1 with the refusal otherwise.
int openChecked(int handle, const QByteArray& name, QString* refusal)
{
    // Not blocking: were it anything but the regular file checked, opening it would not wait.
    const int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int fd = ::open(QByteArray("/proc/self/fd/" + QByteArray::number(handle)).constData(), flags);
    if (fd >= 0 || errno != ENOENT) {
        if (fd < 0)
            *refusal = systemReason(errno);
        return fd;
    }
    fd = ::open(name.constData(), flags | O_NOFOLLOW);
    if (fd < 0) {
        *refusal = systemReason(errno);
        return -1;
    }
    struct stat checked = {}, opened = {};
    if (::fstat(handle, &checked) == 0 && ::fstat(fd, &opened) == 0 && checked.st_dev == opened.st_dev &&
        checked.st_ino == opened.st_ino)
        return fd;
    *refusal = QStringLiteral("it was replaced while it was being opened");
    // A regular file that the guard refuses is one of the database's: left open for good, since closing it would drop
    // the connection's locks.
    if (!S_ISREG(opened.st_mode) || FileGuard::checkOpened(fd).isEmpty())
        ::close(fd);
    return -1;
}

} // namespace

bool write(const QString& path, const QByteArray& data, QString* reason, Mode mode)
{
    const auto fail = [reason](int error) {
        if (reason)
            *reason = systemReason(error);
        return false;
    };
    // Links are followed to the end, so that the file they name is replaced and the links stay.
    const FileGuard::Verdict verdict = FileGuard::check(path);
    if (!verdict.allowed()) {
        if (reason)
            *reason = verdict.refusal;
        return false;
    }
    const QFileInfo info(verdict.path);
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());

    struct stat old = {};
    const bool existed = ::stat(target.constData(), &old) == 0;
    if (existed && mode == Mode::KeepExisting)
        return fail(EEXIST);

    int error = 0;
    QByteArray temp;
    const int fd = createBeside(folder, QFile::encodeName(info.fileName()), &temp, &error);
    if (fd < 0)
        return fail(error);
    // The replacement keeps the permissions of the file it replaces.
    if (existed)
        ::fchmod(fd, old.st_mode & 07777);
    bool ok = writeAll(fd, data, &error);
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        error = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok) {
        error = publish(temp, target, mode);
        ok = error == 0;
    }
    if (!ok) {
        ::unlink(temp.constData());
        return fail(error);
    }
    syncFolder(folder);
    return true;
}

bool read(const QString& path, QByteArray* bytes, QString* reason, qint64 maxSize, const QString& tooLarge)
{
    bytes->clear();
    const auto fail = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    const FileGuard::Verdict verdict = FileGuard::check(path);
    if (!verdict.allowed())
        return fail(verdict.refusal);
    const QByteArray name = QFile::encodeName(verdict.path);
    const int handle = ::open(name.constData(), O_PATH | O_CLOEXEC);
    if (handle < 0)
        return fail(systemReason(errno));
    QString refusal = FileGuard::checkOpened(handle);
    const int fd = refusal.isEmpty() ? openChecked(handle, name, &refusal) : -1;
    ::close(handle);
    if (fd < 0)
        return fail(refusal);
    struct stat st = {};
    qint64 done = 0;
    bool ok = ::fstat(fd, &st) == 0;
    if (!ok)
        refusal = systemReason(errno);
    else
        bytes->resize(qsizetype(qBound(qint64(0), qint64(st.st_size), maxSize) + 1));
    while (ok) {
        if (done == bytes->size())
            bytes->resize(qsizetype(qMin<qint64>(done * 2, maxSize + 1)));
        const ssize_t n = ::read(fd, bytes->data() + done, size_t(bytes->size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ok = false;
            refusal = systemReason(errno);
        } else if (n == 0) {
            break;
        } else if ((done += n) > maxSize) {
            ok = false;
            refusal = tooLarge;
        }
    }
    ::close(fd);
    bytes->truncate(ok ? qsizetype(done) : 0);
    return ok || fail(refusal);
}

void failAfter(qint64 bytes, int errorNumber)
{
    g_failError = errorNumber;
    g_failAfter = bytes;
}

} // namespace WholeFile

#pragma once

// Devices, pipes and the locks this process holds: for tests that check which files the program leaves unopened.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The locks of /proc/locks that this process holds on a file (stat only: opening the file would drop them).
inline QStringList locksHeldOn(const QString& path)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    QFile file(QStringLiteral("/proc/locks"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString pid = QString::number(::getpid());
    const QString inode = QStringLiteral(":%1").arg(st.st_ino);
    QStringList held;
    for (const QString& line : QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'))) {
        const QStringList f = line.simplified().split(QLatin1Char(' '));
        // "1: POSIX  ADVISORY  READ 1234 08:01:5678 128 128"
        if (f.size() >= 6 && f[4] == pid && f[5].endsWith(inode))
            held << f.mid(1).join(QLatin1Char(' ')); // without the ordinal, which moves as other locks come and go
    }
    // Read a page at a time while other processes lock and unlock, the file can list a lock twice.
    held.removeDuplicates();
    return held;
}

// A named pipe that can never keep the test waiting: should a reader block on it, the watchdog opens and closes its
// writing end after a while, and the reader sees an empty file instead of hanging the test run.
class PipeWithWatchdog
{
public:
    explicit PipeWithWatchdog(const QString& path) : m_path(QFile::encodeName(path))
    {
        m_made = ::mkfifo(m_path.constData(), 0600) == 0;
        m_thread = std::thread([this] {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_done.wait_for(lock, std::chrono::seconds(30), [this] { return m_stop; }))
                return;
            while (!m_stop) {
                // Fails until a reader waits at the other end.
                const int fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0) {
                    ::close(fd);
                    m_released = true;
                }
                m_done.wait_for(lock, std::chrono::milliseconds(50), [this] { return m_stop; });
            }
        });
    }
    ~PipeWithWatchdog()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_done.notify_all();
        m_thread.join();
    }
    PipeWithWatchdog(const PipeWithWatchdog&) = delete;
    PipeWithWatchdog& operator=(const PipeWithWatchdog&) = delete;

    bool made() const { return m_made; }
    // True once a reader had to be released.
    bool released() const { return m_released; }

private:
    QByteArray m_path;
    bool m_made = false;
    std::atomic<bool> m_released{false};
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_stop = false;
    std::thread m_thread;
};

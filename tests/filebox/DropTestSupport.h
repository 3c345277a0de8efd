// SPDX-License-Identifier: MIT
#pragma once

#include "SmallTmpfs.h"
#include "SpecialFiles.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

/// Opens the writing end of a pipe after a while and closes it again, so
/// that a reader stuck in open() or read() gets an end of file: a test that
/// would hang fails instead. fired() tells whether it had to.
class PipeUnblocker final {
public:
    explicit PipeUnblocker(const QString &pipe, std::chrono::milliseconds after = std::chrono::seconds(3))
        : m_pipe(QFile::encodeName(pipe))
        , m_thread([this, after] { run(after); }) {}
    ~PipeUnblocker() {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    PipeUnblocker(const PipeUnblocker &) = delete;
    PipeUnblocker &operator=(const PipeUnblocker &) = delete;

    bool fired() const { return m_fired; }

private:
    void run(std::chrono::milliseconds after) {
        std::unique_lock lock(m_mutex);
        if (m_wake.wait_for(lock, after, [this] { return m_stop; }))
            return;
        // Until a reader has it open, a writer that does not wait gets ENXIO.
        while (!m_stop) {
            const int fd = ::open(m_pipe.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                m_fired = true;
                ::close(fd);
            }
            m_wake.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_stop; });
        }
    }

    QByteArray m_pipe;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::atomic<bool> m_fired = false;
    std::thread m_thread;
};

/// Every entry under folder, hidden ones too, as paths relative to it,
/// sorted; links are listed, not followed.
inline QStringList entriesUnder(const QString &folder) {
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(QDir(folder).relativeFilePath(it.next()));
    entries.sort();
    return entries;
}

/// The kind of what path names itself (a link is not followed).
inline bool isPipe(const QString &path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}

/// What a link holds, unresolved.
inline QByteArray linkText(const QString &path) {
    char text[4096];
    const ssize_t size = ::readlink(QFile::encodeName(path).constData(), text, sizeof text);
    return size < 0 ? QByteArray() : QByteArray(text, size);
}

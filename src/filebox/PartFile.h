// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

#include <sys/types.h>

/// A file being written into a folder that shows up under its name only once
/// it is complete. Where the filesystem offers it, the file has no name until
/// then, so a kill leaves nothing behind; elsewhere (and with
/// TACKORA_NAMED_TEMPORARIES=1 in the environment) it is named kPrefix and a
/// random part, created exclusively and never through a link, and
/// sweepLeftovers() removes such a file once nobody writes it.
class PartFile final {
public:
    static constexpr const char *kPrefix = ".tackora-part-";

    /// A new file of mode in the folder dirFd (which must outlive it).
    PartFile(int dirFd, mode_t mode);
    /// Removes the file unless it was put in place.
    ~PartFile();
    PartFile(const PartFile &) = delete;
    PartFile &operator=(const PartFile &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    /// errno of the step that failed.
    int error() const { return m_error; }

    /// Gives the file the name, replacing what has it (a link there is
    /// replaced, not followed; a folder there makes it fail).
    bool commit(const char *name);

private:
    bool openNamed(mode_t mode);

    int m_dirFd;
    int m_fd = -1;
    QByteArray m_name; // empty while the file has none
    int m_error = 0;
};

/// A fresh name of kPrefix and a random part.
QByteArray partFileName();

/// Removes from the folder dirFd what killed moves left: files, folders and
/// links named with kPrefix that no move holds and that were not written for
/// a minute.
void sweepLeftovers(int dirFd);

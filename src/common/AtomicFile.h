// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

/// Writes a file beside its target and puts it in place only when complete
/// and on disk, so a crash, a power cut, a full disk or a cancelled run leaves
/// the old file (or none), never a half-written one. Destroying an uncommitted
/// writer removes what it wrote.
///
/// The data goes into an unnamed file in the target's folder (O_TMPFILE), which
/// vanishes with the process however it ends. Where the filesystem has no
/// unnamed files (or TACKORA_NAMED_TEMPORARIES is set, for tests) it goes into
/// ".tackora-" + 12 letters or digits + ".part" in that folder, locked
/// (flock) while its writer lives; the finished unnamed file briefly takes
/// such a name too. Every writer first removes from its folder the files so
/// named that no live writer locks and that nothing wrote for kStaleSeconds:
/// what a killed writer left.
class AtomicFileWriter final {
public:
    /// How long a temporary file must have lain untouched before another
    /// writer may take it for a dead writer's, even when no lock holds it: the
    /// lock may not reach across machines on a network filesystem.
    static constexpr int kStaleSeconds = 5 * 60;

    explicit AtomicFileWriter(QString path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter &) = delete;
    AtomicFileWriter &operator=(const AtomicFileWriter &) = delete;

    /// Creates the temporary file; false (with errorString()) when it cannot.
    bool open();
    bool write(QByteArrayView data);
    /// Flushes the file to disk, renames it over the target, then flushes the
    /// folder. False with errorString() when a step fails; when only the last
    /// one did, the new file is in place but may not survive a power cut.
    bool commit();
    /// Removes the temporary file; the target stays as it was.
    void cancel();
    const QString &errorString() const { return m_error; }

private:
    bool fail(const QString &step, int error);
    bool nameTheFile();

    QString m_path;
    QByteArray m_fileName;  // the target's name within its folder
    QByteArray m_temporary; // the temporary file's name while it has one
    QString m_error;
    int m_folder = -1;
    int m_fd = -1;
};

/// Replaces path with data as AtomicFileWriter does: a crash, a power cut or a
/// full disk leaves the old file or the new one, never a half-written one. On
/// failure error (when given) names the failed step.
bool writeFileAtomically(const QString &path, QByteArrayView data, QString *error = nullptr);

// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

/// Writes a file beside its target and puts it in place only when complete,
/// so a crash, a full disk or a cancelled run leaves the old file (or none),
/// never a half-written one. Destroying an uncommitted writer removes what it
/// wrote.
class AtomicFileWriter final {
public:
    explicit AtomicFileWriter(QString path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter &) = delete;
    AtomicFileWriter &operator=(const AtomicFileWriter &) = delete;

    /// Creates the temporary file; false (with errorString()) when it cannot.
    bool open();
    bool write(QByteArrayView data);
    /// Renames the finished file over the target.
    bool commit();
    /// Removes the temporary file; the target stays as it was.
    void cancel();
    const QString &errorString() const { return m_error; }

private:
    QString m_path;
    QByteArray m_temporary;
    QString m_error;
    int m_fd = -1;
};

/// Replaces path with data: written to a temporary file beside it, then renamed
/// over it, so a crash or a full disk leaves the old file or the new one, never
/// a half-written one. On failure error (when given) names the failed step.
bool writeFileAtomically(const QString &path, QByteArrayView data, QString *error = nullptr);

// SPDX-License-Identifier: MIT
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

class QSocketNotifier;

/// One running copy per program folder: a lock file in the folder, held for
/// the whole run. A lock left behind by a copy that died is taken over. The
/// copy that holds the lock listens on a local socket named after the folder,
/// so that a copy refused later can ask it to show itself.
class SingleInstance final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SingleInstance)
public:
    explicit SingleInstance(const QString &appFolder, QObject *parent = nullptr);
    ~SingleInstance() override;

    /// True when this process now holds the lock; false when another running
    /// copy holds it.
    bool acquire();

    /// Asks the copy that holds the lock to show itself; false when none
    /// answered.
    bool askRunningCopyToShow();

    /// Where the copy that holds the lock of appFolder listens: in the user's
    /// runtime folder, named by a digest of the folder (a path in the socket's
    /// name could be too long).
    static QString channelPath(const QString &appFolder);

Q_SIGNALS:
    /// Another copy of the program was started on this folder.
    void showRequested();

private:
    void listen();
    void readRequests();

    QString m_appFolder;
    QLockFile m_lock;
    int m_socket = -1;
    QSocketNotifier *m_notifier = nullptr;
};

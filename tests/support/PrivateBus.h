// SPDX-License-Identifier: MIT
#pragma once

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

/// A D-Bus daemon of the test's own, listening in a temporary folder: the
/// machine's buses and their services never answer in place of the test's.
class PrivateBus {
public:
    PrivateBus() = default;
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;
    ~PrivateBus() {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }

    /// Starts the daemon with the rest of its configuration (bus type,
    /// policy; %1 stands for the bus's folder). False when dbus-daemon (Debian
    /// package dbus) is not installed; an empty address when it gave none.
    bool start(const QString &configuration) {
        const QString config = m_folder.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        if (file.open(QIODevice::WriteOnly))
            file.write((QStringLiteral("<busconfig><listen>unix:dir=%1</listen>") + configuration +
                        QStringLiteral("</busconfig>"))
                           .arg(m_folder.path())
                           .toUtf8());
        file.close();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                        QStringLiteral("--print-address")});
        if (!m_daemon.waitForStarted(5000))
            return false;
        // Waited for by hand: this also runs before the application exists.
        while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(5000)) {
        }
        if (m_daemon.canReadLine())
            m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        return true;
    }

    QString address() const { return m_address; }

private:
    QTemporaryDir m_folder;
    QProcess m_daemon;
    QString m_address;
};

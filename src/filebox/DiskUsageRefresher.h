// SPDX-License-Identifier: MIT
#pragma once

#include "filebox/DiskUsage.h"

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <array>
#include <atomic>
#include <memory>

/// Keeps the disk-usage line and the tiles' tips of the file box: the walk of
/// the tree runs on a worker thread, a newer walk supersedes an older one,
/// and a drop changes the figures at once by what it moved until the walk
/// that follows it ends.
class DiskUsageRefresher final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DiskUsageRefresher)
public:
    explicit DiskUsageRefresher(QObject *parent = nullptr);
    ~DiskUsageRefresher() override;

    /// Starts a walk of root; its result is announced when it ends, unless a
    /// newer walk was started meanwhile.
    void refresh(const QString &root, const std::array<QString, 9> &captions);

    /// bytes arrived in category index: announced at once, once a walk of
    /// the tree has given figures to add them to.
    void addEstimate(int index, std::uint64_t bytes);

    const DiskUsage::TreeSizes &sizes() const { return m_sizes; }

Q_SIGNALS:
    /// The line "[磁盘:… 已用:… 剩余:…]" and the nine tiles' tips.
    void changed(const QString &line, const std::array<QString, 9> &tips);

private:
    void walked(quint64 walk, const DiskUsage::TreeSizes &sizes);
    void announce();

    QThreadPool m_pool;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    quint64 m_walk = 0;
    QString m_root;
    DiskUsage::TreeSizes m_sizes;
    bool m_known = false;
};

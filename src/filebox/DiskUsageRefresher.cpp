// SPDX-License-Identifier: MIT
#include "filebox/DiskUsageRefresher.h"

#include <QFile>

#include <sys/statvfs.h>

DiskUsageRefresher::DiskUsageRefresher(QObject *parent)
    : QObject(parent) {
    // One walk at a time: a superseded walk stops at its next entry.
    m_pool.setMaxThreadCount(1);
}

DiskUsageRefresher::~DiskUsageRefresher() {
    if (m_cancel)
        m_cancel->store(true);
    m_pool.waitForDone();
}

void DiskUsageRefresher::refresh(const QString &root, const std::array<QString, 9> &captions) {
    if (m_cancel)
        m_cancel->store(true);
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    if (root != m_root)
        m_known = false; // another tree: nothing to estimate from until its walk ends
    m_root = root;
    const quint64 walk = ++m_walk;
    // The worker sees only its own copies and answers by a queued call.
    m_pool.start([this, walk, root, captions, cancel = m_cancel] {
        const DiskUsage::TreeSizes sizes = DiskUsage::measure(root, captions, cancel.get());
        if (cancel->load())
            return;
        QMetaObject::invokeMethod(
            this, [this, walk, sizes] { walked(walk, sizes); }, Qt::QueuedConnection);
    });
}

void DiskUsageRefresher::walked(quint64 walk, const DiskUsage::TreeSizes &sizes) {
    if (walk != m_walk)
        return; // superseded: a newer walk is on its way
    m_sizes = sizes;
    m_known = true;
    announce();
}

void DiskUsageRefresher::addEstimate(int index, std::uint64_t bytes) {
    if (!m_known || index < 0 || index >= int(m_sizes.categories.size()))
        return;
    m_sizes.root += bytes;
    m_sizes.categories[index] += bytes;
    announce();
}

void DiskUsageRefresher::announce() {
    // One statvfs call, as QStorageInfo reads the volume's figures.
    std::uint64_t total = 0;
    std::uint64_t available = 0;
    struct statvfs volume {};
    if (!m_root.isEmpty() && ::statvfs(QFile::encodeName(m_root).constData(), &volume) == 0) {
        total = std::uint64_t(volume.f_blocks) * volume.f_frsize;
        available = std::uint64_t(volume.f_bavail) * volume.f_frsize;
    }
    std::array<QString, 9> tips;
    for (int i = 0; i < 9; ++i)
        tips[i] = DiskUsage::tileTip(m_sizes.categories[i]);
    Q_EMIT changed(DiskUsage::usageLine(total, available, m_sizes.root), tips);
}

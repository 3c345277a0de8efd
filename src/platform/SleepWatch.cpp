// SPDX-License-Identifier: MIT
#include "platform/SleepWatch.h"

SleepWatch::SleepWatch(QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus)) {
    // Only logind's own name is heard: another program cannot fake a resume.
    m_watching =
        m_bus.isConnected() &&
        m_bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                      QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
                      this, SLOT(prepareForSleep(bool)));
}

void SleepWatch::prepareForSleep(bool start) {
    if (start)
        Q_EMIT aboutToSleep();
    else
        Q_EMIT resumed();
}

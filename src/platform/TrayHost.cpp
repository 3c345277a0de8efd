// SPDX-License-Identifier: MIT
#include "platform/TrayHost.h"

void TrayHost::setAvailable(bool available) {
    if (available == m_available)
        return;
    m_available = available;
    Q_EMIT availabilityChanged(available);
}

// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>

/// The program's icon: the board and the tray show it.
QIcon appIcon();

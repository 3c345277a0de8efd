// SPDX-License-Identifier: MIT
#include "platform/TrayHost.h"

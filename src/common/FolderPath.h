// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/// folder with one trailing separator (a root such as "/" stays as it is).
QString withTrailingSeparator(const QString &folder);

// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

/// Replaces path with data: written to a temporary file beside it, then renamed
/// over it, so a crash or a full disk leaves the old file or the new one, never
/// a half-written one. On failure error (when given) names the failed step.
bool writeFileAtomically(const QString &path, QByteArrayView data, QString *error = nullptr);

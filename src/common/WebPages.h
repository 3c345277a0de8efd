// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/// The program's web pages (home, update, games). A build names its web site
/// with -DTACKORA_WEB_ADDRESS=https://…/; without one every address is empty,
/// and the menu entries and links that would lead there are not shown.
namespace WebPages {

inline QString home() {
    return QStringLiteral(TACKORA_WEB_ADDRESS);
}
inline QString update() {
    return home().isEmpty() ? QString() : home() + QStringLiteral("update");
}
inline QString games() {
    return home().isEmpty() ? QString() : home() + QStringLiteral("games");
}

} // namespace WebPages

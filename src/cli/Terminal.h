// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

/// Standard input as the command-line tool reads it: a terminal is asked with
/// a prompt and no echo; anything else gives one line per answer.
class Terminal final {
public:
    static bool inputIsTerminal();
    /// The next answer, or nothing when input has ended.
    static std::optional<QString> readSecret(const QString &prompt);
    static std::optional<QString> readLine(const QString &prompt);
};

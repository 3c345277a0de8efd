// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

/// Icons of the modal message boxes.
enum class MessageIcon { None, Critical, Question, Warning, Information };

/// Modal message boxes and input boxes. An empty title shows the program's
/// name, "Tackora".
class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    virtual void message(const QString &text, const QString &title, MessageIcon icon) = 0;

    /// True for Yes.
    virtual bool askYesNo(const QString &text, const QString &title, MessageIcon icon) = 0;

    /// The typed text, or nothing on Cancel.
    virtual std::optional<QString> input(const QString &prompt, const QString &title,
                                         const QString &defaultText = QString()) = 0;
};

/// text without its leading and trailing blanks (only the blank " ": other
/// white space is part of what the user typed).
inline QString trimBlanks(const QString &text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.sliced(begin, end - begin);
}

/// What an input box means to its callers: the answer without leading and
/// trailing blanks, empty on Cancel.
inline QString askTrimmed(UserDialogs &dialogs, const QString &prompt, const QString &title) {
    return trimBlanks(dialogs.input(prompt, title).value_or(QString()));
}

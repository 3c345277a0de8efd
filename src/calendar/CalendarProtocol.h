// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>

#include <optional>

/// The few lines the board's process and the calendar's process exchange
/// over the calendar's standard input and output: a verb, a blank and its
/// argument, one message a line, UTF-8.
///
/// To the calendar: "page PATH" (percent-encoded), "holidays PATH" (the
/// program folder's holidays.json, read wherever the page comes from),
/// "board X Y W H" (the
/// board's frame), "mode LEVEL" (transparency -1..2, also while open), "show",
/// "quit". End of input means quit too.
/// From the calendar: "started", "shown", "mode LEVEL" (applied), "close"
/// (Escape: the board is to close it), "failed page" or "failed view".
namespace CalendarProtocol {

struct Message {
    QByteArray verb;
    QByteArray argument;
};

/// One line of a message, newline included.
QByteArray line(const QByteArray &verb, const QByteArray &argument = QByteArray());

/// A path as an argument: any byte a file name may hold survives the line.
QByteArray pathArgument(const QString &path);
QString pathFrom(const QByteArray &argument);

QByteArray rectArgument(const QRect &rect);
/// Nothing unless four whole numbers with a positive width and height.
std::optional<QRect> rectFrom(const QByteArray &argument);

/// A level argument: -1 (opaque) to 2; nothing for anything else.
std::optional<int> levelFrom(const QByteArray &argument);

/// Gathers what a pipe delivers in pieces into whole messages.
class LineBuffer {
public:
    /// The messages that bytes complete, in order; a part line waits for
    /// the rest.
    QList<Message> append(const QByteArray &bytes);

private:
    QByteArray m_pending;
};

} // namespace CalendarProtocol

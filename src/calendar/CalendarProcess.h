// SPDX-License-Identifier: MIT
#pragma once

#include "calendar/CalendarProtocol.h"

#include <QObject>
#include <QRect>
#include <QStringList>
#include <QTimer>

class QProcess;

/// The calendar program as the board's process sees it: started for one
/// calendar window and ended with it, told what to show over its standard
/// input, heard over its standard output. Nothing here waits, except end()
/// at the program's end, and that a bounded time.
class CalendarProcess final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CalendarProcess)
public:
    /// The program to start and its arguments.
    struct Launch {
        QString program;
        QStringList arguments;
    };
    /// The failed step.
    enum class Failure {
        NotStarted, ///< the program could not be started
        NoAnswer,   ///< it did not answer in time: it is ended
        Crashed,    ///< it ended without being asked
        PageMissing,
        ViewMissing,
    };
    Q_ENUM(Failure)
    struct Request {
        QString pagePath;
        /// The program folder's holidays.json, wherever the page comes from.
        QString holidaysPath;
        QRect boardFrame;
        int level = -1;
    };

    explicit CalendarProcess(Launch launch, QObject *parent = nullptr);
    /// Ends a running calendar as end() does.
    ~CalendarProcess() override;

    /// Starts the calendar with request, unless one runs.
    void open(const Request &request);
    /// A transparency level chosen while the calendar runs.
    void setLevel(int level);
    /// Asks the calendar to end; one that does not is killed after a while.
    void close();
    /// The program's end: asks every calendar still there to end, waits at
    /// most waitMs for them, kills the rest.
    void end(int waitMs);

    bool isRunning() const { return m_process != nullptr; }
    /// The running calendar's process id, or 0.
    qint64 processId() const;

    /// How long the started program may take to say it started, and then to
    /// show its window.
    void setAnswerTimeouts(int startedMs, int shownMs);

Q_SIGNALS:
    void shown();
    /// The calendar's level after a change (its Timer1 ran).
    void levelApplied(int level);
    /// Escape in the calendar: it is to close as "D" closes it.
    void closeRequested();
    /// The calendar is gone, after failure; closing it is not one.
    void failed(CalendarProcess::Failure failure);

private:
    void readAnswers();
    void processEnded();
    void fail(Failure failure);
    void send(const QByteArray &verb, const QByteArray &argument = QByteArray());
    /// Lets the process go: asked to quit and killed after a grace time, or
    /// killed at once.
    void release(QProcess *process, bool killNow);

    Launch m_launch;
    QProcess *m_process = nullptr;
    CalendarProtocol::LineBuffer m_answers;
    QTimer m_watchdog;
    int m_startedMs = 5000;
    int m_shownMs = 30000;
};

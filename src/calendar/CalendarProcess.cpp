// SPDX-License-Identifier: MIT
#include "calendar/CalendarProcess.h"

#include <QDeadlineTimer>
#include <QProcess>

#include <csignal>
#include <utility>

#include <sys/prctl.h>
#include <unistd.h>

namespace {
constexpr int kQuitGraceMs = 3000;
} // namespace

CalendarProcess::CalendarProcess(Launch launch, QObject *parent)
    : QObject(parent)
    , m_launch(std::move(launch)) {
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, [this] { fail(Failure::NoAnswer); });
}

CalendarProcess::~CalendarProcess() {
    end(1000);
}

qint64 CalendarProcess::processId() const {
    return m_process ? m_process->processId() : 0;
}

void CalendarProcess::setAnswerTimeouts(int startedMs, int shownMs) {
    m_startedMs = startedMs;
    m_shownMs = shownMs;
}

void CalendarProcess::open(const Request &request) {
    if (m_process)
        return;
    m_process = new QProcess(this);
    m_answers = {};
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const pid_t parent = ::getpid();
    m_process->setChildProcessModifier([parent] {
        // Killed with the board, however the board ends. A board gone
        // before this line would go unnoticed: the check catches it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(1);
    });
    connect(m_process, &QProcess::readyReadStandardOutput, this, &CalendarProcess::readAnswers);
    connect(m_process, &QProcess::finished, this, &CalendarProcess::processEnded);
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            fail(Failure::NotStarted);
    });
    m_process->start(m_launch.program, m_launch.arguments);
    if (!m_process)
        return; // it failed to start at once
    send("page", CalendarProtocol::pathArgument(request.pagePath));
    if (!request.holidaysPath.isEmpty())
        send("holidays", CalendarProtocol::pathArgument(request.holidaysPath));
    if (request.boardFrame.isValid())
        send("board", CalendarProtocol::rectArgument(request.boardFrame));
    send("mode", QByteArray::number(request.level));
    send("show");
    m_watchdog.start(m_startedMs);
}

void CalendarProcess::setLevel(int level) {
    if (m_process)
        send("mode", QByteArray::number(level));
}

void CalendarProcess::send(const QByteArray &verb, const QByteArray &argument) {
    m_process->write(CalendarProtocol::line(verb, argument));
}

void CalendarProcess::readAnswers() {
    if (!m_process)
        return;
    for (const CalendarProtocol::Message &answer : m_answers.append(m_process->readAllStandardOutput())) {
        if (answer.verb == "started") {
            m_watchdog.start(m_shownMs);
        } else if (answer.verb == "shown") {
            m_watchdog.stop();
            Q_EMIT shown();
        } else if (answer.verb == "mode") {
            if (const std::optional<int> level = CalendarProtocol::levelFrom(answer.argument))
                Q_EMIT levelApplied(*level);
        } else if (answer.verb == "close") {
            Q_EMIT closeRequested();
        } else if (answer.verb == "failed") {
            fail(answer.argument == "page" ? Failure::PageMissing : Failure::ViewMissing);
        }
        if (!m_process)
            return; // a receiver closed it
    }
}

void CalendarProcess::processEnded() {
    // Ended unasked: a released process is no longer m_process.
    fail(Failure::Crashed);
}

void CalendarProcess::fail(Failure failure) {
    if (!m_process)
        return;
    m_watchdog.stop();
    // One that does not answer is not asked again.
    release(std::exchange(m_process, nullptr), failure == Failure::NoAnswer);
    Q_EMIT failed(failure);
}

void CalendarProcess::close() {
    m_watchdog.stop();
    if (QProcess *process = std::exchange(m_process, nullptr))
        release(process, false);
}

void CalendarProcess::release(QProcess *process, bool killNow) {
    process->disconnect(this);
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
        return;
    }
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    if (killNow) {
        process->kill();
        return;
    }
    process->write(CalendarProtocol::line("quit"));
    process->closeWriteChannel();
    QTimer::singleShot(kQuitGraceMs, process, &QProcess::kill);
}

void CalendarProcess::end(int waitMs) {
    close();
    const QDeadlineTimer deadline(waitMs);
    const QList<QProcess *> leaving = findChildren<QProcess *>(Qt::FindDirectChildrenOnly);
    for (QProcess *process : leaving) {
        if (process->state() != QProcess::NotRunning &&
            !process->waitForFinished(int(deadline.remainingTime())))
            process->kill();
    }
    for (QProcess *process : leaving) {
        process->waitForFinished(1000);
        delete process;
    }
}

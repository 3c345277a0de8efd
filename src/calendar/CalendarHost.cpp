// SPDX-License-Identifier: MIT
#include "calendar/CalendarHost.h"

#include "board/BoardModel.h"
#include "common/InstallLayout.h"
#include "common/Transparency.h"
#include "platform/UserDialogs.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// The program's end waits no longer for the calendar than this.
constexpr int kEndWaitMs = 1500;
} // namespace

CalendarHost::CalendarHost(BoardModel &board, const SettingsFile &settings, UserDialogs &dialogs,
                           CalendarProcess::Launch launch, QString programFolder, BoardFrame boardFrame,
                           QObject *parent)
    : QObject(parent)
    , m_board(board)
    , m_settings(settings)
    , m_dialogs(dialogs)
    , m_programFolder(std::move(programFolder))
    , m_boardFrame(std::move(boardFrame))
    , m_process(std::move(launch)) {
    connect(&m_process, &CalendarProcess::failed, this, &CalendarHost::failed);
    // As "D" closes it; the check mark follows.
    connect(&m_process, &CalendarProcess::closeRequested, this, [this] {
        if (m_board.isCalendarChecked())
            toggle();
        else
            m_process.close();
    });
}

QString CalendarHost::missingPageMessage() {
    return QStringLiteral("万年历数据文件wnl,dat丢失！不能正常显示万年历！");
}

QString CalendarHost::messageFor(CalendarProcess::Failure failure) {
    switch (failure) {
    case CalendarProcess::Failure::PageMissing:
        return missingPageMessage();
    case CalendarProcess::Failure::NotStarted:
    case CalendarProcess::Failure::ViewMissing:
        return QStringLiteral("万年历组件无法加载，不能显示万年历！");
    case CalendarProcess::Failure::NoAnswer:
        return QStringLiteral("万年历程序没有响应，已将它关闭！");
    case CalendarProcess::Failure::Crashed:
        return QStringLiteral("万年历程序意外退出，万年历已关闭！");
    }
    return QString();
}

QString CalendarHost::pagePathFor(const QString &appFolder, const QString &programFolder) {
    return InstallLayout::sharedFile(appFolder, programFolder, QStringLiteral("wnl.dat"));
}

CalendarProcess::Launch CalendarHost::installedLaunch(const QString &programFolder) {
    return {InstallLayout::modulePath(programFolder, QStringLiteral("tackora-calendar")), {}};
}

void CalendarHost::toggle() {
    if (m_board.isCalendarChecked()) {
        m_board.setCalendarChecked(false);
        m_process.close();
    } else {
        m_board.setCalendarChecked(true);
        open();
    }
}

void CalendarHost::open() {
    if (m_process.isRunning())
        return;
    const QString page = pagePathFor(m_settings.AppFolder(), m_programFolder);
    // The page is read in the calendar; whether it can be, here, before a
    // process is started for nothing.
    QFile file(page);
    if (!QFileInfo(page).isFile() || !file.open(QIODevice::ReadOnly)) {
        m_dialogs.message(missingPageMessage(), QString(), MessageIcon::None);
        return;
    }
    file.close();
    CalendarProcess::Request request;
    request.pagePath = QFileInfo(page).absoluteFilePath();
    request.holidaysPath = QDir(m_settings.AppFolder()).absoluteFilePath(QStringLiteral("holidays.json"));
    if (m_boardFrame)
        request.boardFrame = m_boardFrame();
    // Any other code leaves the window opaque.
    request.level = Transparency::levelOf(
        m_settings.ReadSetting(QStringLiteral("SYSTEM"), QStringLiteral("F_transparent")));
    m_process.open(request);
}

void CalendarHost::transparencyChosen(int index) {
    if (m_board.isCalendarChecked())
        m_process.setLevel(index);
}

void CalendarHost::end() {
    m_process.end(kEndWaitMs);
}

void CalendarHost::failed(CalendarProcess::Failure failure) {
    // The page missing keeps the check mark, as it always has; a calendar
    // that cannot run is closed as "D" closes it.
    if (failure != CalendarProcess::Failure::PageMissing)
        m_board.setCalendarChecked(false);
    m_dialogs.message(messageFor(failure), QString(),
                      failure == CalendarProcess::Failure::PageMissing ? MessageIcon::None
                                                                       : MessageIcon::Warning);
}

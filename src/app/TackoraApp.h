// SPDX-License-Identifier: MIT
#pragma once

#include "app/CommandLine.h"
#include "board/BoardModel.h"
#include "board/ClockPanel.h"
#include "board/ShutdownCountdown.h"
#include "common/ProcessValues.h"
#include "common/SecondTimer.h"
#include "crypto/SafeKeyPrompt.h"
#include "filebox/DiskUsageRefresher.h"
#include "filebox/DropHandler.h"
#include "memos/LunarMemos.h"
#include "memos/MemoScheduler.h"
#include "memos/MemoSlots.h"
#include "memos/ReminderKeys.h"
#include "platform/Clock.h"
#include "platform/QtFileChoosers.h"
#include "platform/QtSoundPlayer.h"
#include "platform/QtTrayHost.h"
#include "platform/QtUserDialogs.h"
#include "platform/ShellOpener.h"
#include "platform/ShutdownRunner.h"
#include "platform/SingleInstance.h"
#include "platform/SleepWatch.h"
#include "platform/TerminationSignals.h"
#include "preferences/SettingsForm.h"
#include "settings/SettingsFile.h"
#include "shell/CQLNotifyIcon.h"
#include "shell/ShutdownHelper.h"
#include "shell/TrayClicks.h"

#include <QIcon>
#include <QObject>

#include <functional>
#include <memory>

class BoardWindow;
class CalendarHost;
class MemoPage;
class MissedRemindersWindow;
class ProgramMenu;
class ShutdownCountdownWindow;

/// The running program: the real platform services wired to the board, the
/// tray and the menu, the start-up chain and the orderly end.
class TackoraApp final : public QObject, public SettingsEffects {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TackoraApp)
public:
    explicit TackoraApp(CommandLine commandLine, QObject *parent = nullptr);
    ~TackoraApp() override;

    /// Splash, start-up chain, board. False when the program must end at once
    /// (another copy runs, or the end was asked for meanwhile).
    bool start();

    /// Runs work every so many seconds on the clock's own tick: light periodic
    /// work that would otherwise wake the program on a timer of its own.
    void everySeconds(int seconds, std::function<void()> work);

    /// The orderly end: the board saves its layout, the tray icon goes, every
    /// event loop ends. Runs once, whoever asks, at any moment of the run.
    void unload();

    /// The file box's disk-usage line and the tiles' size tips, from one walk.
    void RefreshDiskUsage();
    void dropOnTile(int index, const QStringList &paths);

    /// Opens the memo editor on memo number, unless one is open already.
    void openMemoEditor(int number, bool viewMode);

    /// A click on a category label: its folder, or the safe after its key.
    void openCategory(int index);
    /// The safe's key question, then the file safe or the settings window.
    void openSafeAfterKey(SafeKeyAsker asker);
    /// "P" and Command1: a new background picture for the file box.
    void chooseBackgroundPicture();
    /// The settings window, modal.
    void openSettings();
    /// "万 年 历" and "D": the calendar program opens or closes with the check mark.
    void toggleCalendar();

    // What saving the settings changes at once.
    void transparencyChosen(int index) override;
    void fileBoxSaved(const QString &root, const std::array<QString, 9> &captions,
                      const std::array<QString, 9> &folders) override;
    void userNameSaved(const QString &name) override;

private:
    void openCalendar();
    /// due: the view of a memo that fell due, which offers "稍后提醒".
    void openEditor(int number, bool viewMode, bool due);
    void showMissed(const QList<MissedReminder> &reminders);
    /// M_lastseen: at once, or when its minute has come.
    void storeLastSeen(bool now);

    CommandLine m_commandLine;
    SettingsFile m_settings;
    ProcessValues m_values;
    SystemClock m_clock;
    ProcessShutdownRunner m_shutdownRunner;
    DesktopShellOpener m_shell;
    QtUserDialogs m_dialogs;
    QtFileChoosers m_choosers;
    SingleInstance m_instance;
    TerminationSignals m_signals;
    BoardModel m_board;
    ClockPanel m_clockPanel;
    SecondTimer m_secondTimer;
    QIcon m_icon; // drawn once for the tray and the windows
    QtTrayHost m_trayHost;
    CQLNotifyIcon m_notifyIcon;
    TrayClicks m_trayClicks;
    ShutdownHelper m_shutdownHelper;
    ShutdownCountdown m_shutdownCountdown;
    std::unique_ptr<ShutdownCountdownWindow> m_countdownWindow;
    QtSoundPlayer m_sound;
    MemoSlots m_memoSlots;
    MemoScheduler m_scheduler;
    LunarMemos m_lunarMemos;
    LastSeenWriter m_lastSeenWriter{m_settings};
    bool m_lastSeenFailed = false;
    std::unique_ptr<SleepWatch> m_sleepWatch; // from the first tick on
    std::unique_ptr<MissedRemindersWindow> m_missedWindow;
    MemoPage *m_memoPage = nullptr;
    DropHandler m_dropHandler;
    DiskUsageRefresher m_diskUsage; // walks off the window's thread
    bool m_editorOpen = false;
    bool m_dropping = false;
    std::unique_ptr<BoardWindow> m_boardWindow;
    std::unique_ptr<ProgramMenu> m_menu;
    std::unique_ptr<CalendarHost> m_calendar;
    bool m_unloaded = false;
};

// SPDX-License-Identifier: MIT
#include "app/TackoraApp.h"

#include "board/BackgroundPicture.h"
#include "board/BoardSettings.h"
#include "board/BoardWindow.h"
#include "board/ShutdownCountdownWindow.h"
#include "calendar/CalendarHost.h"
#include "common/Transparency.h"
#include "crypto/CryptoHelpers.h"
#include "crypto/FileSafe.h"
#include "crypto/FileSafeWindow.h"
#include "crypto/SecurityKey.h"
#include "memos/MemoEditorWindow.h"
#include "memos/MemoPage.h"
#include "memos/MissedRemindersWindow.h"
#include "platform/Autorun.h"
#include "preferences/SettingsWindow.h"
#include "shell/AppIcon.h"
#include "shell/ProgramMenu.h"
#include "shell/SplashWindow.h"
#include "shell/StartupSequence.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>

#include "filebox/DropProgressDialog.h"

#include <cstdio>

TackoraApp::TackoraApp(CommandLine commandLine, QObject *parent)
    : QObject(parent)
    , m_commandLine(std::move(commandLine))
    , m_settings(m_commandLine.appFolder)
    , m_choosers(m_settings.AppFolder())
    , m_instance(m_settings.AppFolder())
    , m_clockPanel(m_clock, m_shutdownRunner, m_values)
    , m_icon(appIcon())
    , m_trayHost(m_icon)
    , m_notifyIcon(m_trayHost)
    , m_trayClicks(m_board, m_dialogs, m_values)
    , m_shutdownHelper(m_dialogs, m_shutdownRunner, m_values)
    , m_shutdownCountdown(m_clock, m_shutdownRunner, m_board, m_values)
    , m_scheduler(m_memoSlots, m_clock, m_values, m_sound, m_board, m_settings.AppFolder())
    , m_lunarMemos(m_settings)
    , m_dropHandler(m_dialogs, m_board, m_values, m_settings.AppFolder()) {}

TackoraApp::~TackoraApp() = default;

bool TackoraApp::start() {
    // From the first moment: a signal during the splash ends the start.
    connect(&m_signals, &TerminationSignals::terminationRequested, this, &TackoraApp::unload);
    std::unique_ptr<SplashWindow> splash;
    if (m_commandLine.showSplash) {
        splash = std::make_unique<SplashWindow>();
        splash->show();
        PauseSeconds(2);
    }
    if (m_unloaded || !RunStartupSequence(m_instance, m_dialogs, m_settings, m_values) || m_unloaded)
        return false;

    QApplication::setWindowIcon(m_icon);
    m_clockPanel.tick();
    // The window exists before the load so that it follows every change the
    // load makes, the transparency timers among them.
    m_board.showStatus(u'[' + BoardWindow::caption() + u']');
    m_boardWindow = std::make_unique<BoardWindow>(m_board, m_clockPanel, m_shell);
    connect(&m_diskUsage, &DiskUsageRefresher::changed, &m_board, &BoardModel::setDiskUsage);
    m_memoPage = new MemoPage(m_memoSlots, m_board, m_settings.AppFolder(), m_boardWindow->memoPage());
    m_memoPage->resize(m_boardWindow->memoPage()->width(), m_boardWindow->height());
    connect(&m_memoSlots, &MemoSlots::currentMemoChanged, &m_board,
            [this](int number) { m_board.setCurrentMemoCaption(QString::number(number)); });
    // Before the load: without a tray, a board saved hidden starts shown.
    followTrayAvailability(m_board, m_trayHost);
    LoadBoardSettings(m_board, m_settings, m_values);
    const QString picture = m_settings.ReadSetting(QStringLiteral("FILEBOX"), QStringLiteral("FB_pic"));
    if (!picture.isEmpty() && QFileInfo(picture).isFile())
        m_boardWindow->setBackground(BackgroundPicture::ApplyBackground(picture, 2, m_settings).canvas);
    m_lunarMemos.follow(m_clock.now().date());
    m_memoSlots.LoadMemos(m_settings);
    // Where the last run stopped: its first tick lists what fell due since.
    connect(&m_scheduler, &MemoScheduler::snoozesChanged, this, [this] {
        QString error;
        if (!ReminderKeys::writeSnoozes(m_settings, m_scheduler.snoozes(), &error))
            m_board.showStatus(QStringLiteral("稍后提醒未能保存：") + error);
    });
    const QDateTime lastSeen = ReminderKeys::readLastSeen(m_settings);
    m_lastSeenWriter.setStored(lastSeen);
    m_scheduler.restore(lastSeen, ReminderKeys::readSnoozes(m_settings));
    m_menu = std::make_unique<ProgramMenu>(m_board, m_shutdownHelper, m_shell, m_settings.AppFolder());

    m_notifyIcon.AddNotifyIcon(BoardWindow::caption());
    m_values.notifyIcon = &m_notifyIcon;

    // Lunar memos move to their next day before the reminder check sees them.
    connect(&m_secondTimer, &SecondTimer::tick, this, [this] {
        if (m_lunarMemos.follow(m_clock.now().date()))
            m_memoSlots.LoadMemos(m_settings);
    });
    connect(&m_secondTimer, &SecondTimer::tick, &m_clockPanel, &ClockPanel::tick);
    connect(&m_secondTimer, &SecondTimer::tick, &m_shutdownCountdown, &ShutdownCountdown::tick);
    connect(&m_clockPanel, &ClockPanel::shutdownStarted, &m_shutdownCountdown, &ShutdownCountdown::started);
    // Made when first needed; it shows itself at every later countdown.
    connect(&m_shutdownCountdown, &ShutdownCountdown::countdownStarted, this, [this] {
        if (m_countdownWindow || m_unloaded)
            return;
        m_countdownWindow = std::make_unique<ShutdownCountdownWindow>(m_shutdownCountdown);
        m_countdownWindow->show();
        m_countdownWindow->raise();
    });
    connect(&m_secondTimer, &SecondTimer::tick, &m_scheduler, &MemoScheduler::Timer3_Timer);
    connect(&m_secondTimer, &SecondTimer::tick, this, [this] { storeLastSeen(false); });
    connect(&m_scheduler, &MemoScheduler::missed, this, &TackoraApp::showMissed);
    // Reaching the system bus takes a few milliseconds that the board's first
    // paint need not wait for; until the first tick a sleep is still seen as a
    // jump of the clock.
    connect(
        &m_secondTimer, &SecondTimer::tick, this,
        [this] {
            m_sleepWatch = std::make_unique<SleepWatch>();
            connect(m_sleepWatch.get(), &SleepWatch::aboutToSleep, this, [this] { storeLastSeen(true); });
            connect(m_sleepWatch.get(), &SleepWatch::resumed, &m_scheduler, &MemoScheduler::resumed);
        },
        Qt::SingleShotConnection);
    connect(&m_scheduler, &MemoScheduler::bodyRequested, m_memoPage, &MemoPage::loadBody);
    connect(&m_scheduler, &MemoScheduler::viewEditorRequested, this,
            [this](int number) { openEditor(number, true, true); });
    connect(m_memoPage, &MemoPage::editorRequested, this, &TackoraApp::openMemoEditor);
    connect(m_memoPage, &MemoPage::expandToggled, this, [this] {
        const bool expanded = !m_memoPage->isExpanded();
        m_memoPage->setExpanded(expanded);
        m_boardWindow->setMemoPageExpanded(expanded);
    });
    connect(m_memoPage, &MemoPage::headerHighlightResetRequested, m_boardWindow.get(),
            &BoardWindow::resetButtonHighlight);
    connect(m_boardWindow.get(), &BoardWindow::slotHighlightResetRequested, m_memoPage,
            &MemoPage::resetSlotHighlight);
    connect(m_boardWindow.get(), &BoardWindow::dragOverTile, this,
            [this](bool carriesFiles) { m_dropHandler.dragEnter(carriesFiles); });
    connect(m_boardWindow.get(), &BoardWindow::filesDropped, this, &TackoraApp::dropOnTile);
    connect(m_boardWindow.get(), &BoardWindow::memosReloadRequested, this,
            [this] { m_memoSlots.LoadMemos(m_settings); });
    connect(m_boardWindow.get(), &BoardWindow::currentMemoRequested, this,
            [this] { openMemoEditor(m_memoSlots.currentMemoOrFirst(), true); });
    connect(m_boardWindow.get(), &BoardWindow::memoEditorRequested, m_memoPage, &MemoPage::editCurrentMemo);
    connect(m_boardWindow.get(), &BoardWindow::categoryClicked, this, &TackoraApp::openCategory);
    connect(m_boardWindow.get(), &BoardWindow::backgroundPictureRequested, this,
            &TackoraApp::chooseBackgroundPicture);
    connect(m_boardWindow.get(), &BoardWindow::settingsRequested, this, &TackoraApp::openSettings);
    connect(m_menu.get(), &ProgramMenu::safeRequested, this,
            [this] { openSafeAfterKey(SafeKeyAsker::Menu); });
    connect(m_menu.get(), &ProgramMenu::settingsRequested, this, &TackoraApp::openSettings);
    // The calendar and its web engine run in a program of their own.
    m_calendar = std::make_unique<CalendarHost>(
        m_board, m_settings, m_dialogs, CalendarHost::installedLaunch(QCoreApplication::applicationDirPath()),
        QCoreApplication::applicationDirPath(), [this] { return m_boardWindow->frameGeometry(); });
    connect(m_menu.get(), &ProgramMenu::calendarToggleRequested, this, &TackoraApp::toggleCalendar);
    connect(m_boardWindow.get(), &BoardWindow::calendarToggleRequested, this, &TackoraApp::toggleCalendar);
    m_dropHandler.openSettings = [this] { openSettings(); };
    setCryptoMessages(&m_dialogs);
    setCryptoBusyIndicator([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    connect(&m_trayHost, &TrayHost::leftClicked, &m_trayClicks, &TrayClicks::leftClick);
    connect(&m_trayHost, &TrayHost::rightClicked, &m_trayClicks, &TrayClicks::rightClick);
    connect(&m_trayClicks, &TrayClicks::menuRequested, this, [this] { m_menu->popupAt(QCursor::pos()); });
    // Starting the program again is how a user gets a lost board back.
    connect(&m_instance, &SingleInstance::showRequested, this, [this] {
        if (m_unloaded)
            return;
        m_trayClicks.bringBack();
        if (QWidget *modal = QApplication::activeModalWidget()) {
            modal->raise();
            modal->activateWindow();
        }
    });
    connect(m_menu.get(), &ProgramMenu::exitRequested, this, &TackoraApp::unload);
    connect(m_boardWindow.get(), &BoardWindow::closeRequested, this, &TackoraApp::unload);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &TackoraApp::unload);
    connect(qApp, &QGuiApplication::commitDataRequest, this,
            [this] { SaveBoardSettings(m_board, m_settings); });

    if (m_commandLine.exitAfterShow) {
        connect(m_boardWindow.get(), &BoardWindow::firstPainted, this, [this] {
            std::fputs("shown\n", stdout);
            std::fflush(stdout);
            unload();
        });
    }

    m_secondTimer.start();
    if (!m_board.isHidden())
        m_boardWindow->show();
    else if (m_commandLine.exitAfterShow)
        QMetaObject::invokeMethod(this, &TackoraApp::unload, Qt::QueuedConnection);
    if (splash)
        splash->close();
    if (m_board.isCalendarChecked() && !m_commandLine.exitAfterShow)
        openCalendar();
    // An end asked for during the start: the main loop must not run.
    return !m_unloaded;
}

void TackoraApp::everySeconds(int seconds, std::function<void()> work) {
    connect(&m_secondTimer, &SecondTimer::tick, this, [seconds, work = std::move(work), count = 0]() mutable {
        if (++count < seconds)
            return;
        count = 0;
        work();
    });
}

void TackoraApp::dropOnTile(int index, const QStringList &paths) {
    std::array<DropCategory, 9> categories;
    for (int i = 0; i < 9; ++i)
        categories[i] = {m_board.categories()[i].caption, m_board.categories()[i].folder};
    if (m_dropping)
        return; // the board repaints during a long drop; a second drop waits for none
    m_dropping = true;
    {
        // The busy pointer and the progress window, out of the way of the drop's questions.
        DropProgressDialog progress(m_boardWindow.get());
        progress.follow(m_dropHandler);
        if (m_dropHandler.drop(index, paths, categories)) {
            // What the drop moved shows at once; the walk that follows corrects it.
            m_diskUsage.addEstimate(index, m_dropHandler.lastDropBytes());
            RefreshDiskUsage();
        }
    }
    m_dropping = false;
}

void TackoraApp::RefreshDiskUsage() {
    std::array<QString, 9> captions;
    for (int i = 0; i < 9; ++i)
        captions[i] = m_board.categories()[i].caption;
    m_diskUsage.refresh(m_board.fileBoxRoot(), captions);
}

void TackoraApp::openCategory(int index) {
    if (index == 8) {
        openSafeAfterKey(SafeKeyAsker::SafeTile);
    } else if (index >= 0 && index < 8) {
        m_shell.openPath(m_board.categories()[index].folder);
    }
}

void TackoraApp::openSafeAfterKey(SafeKeyAsker asker) {
    switch (AskSafeKey(m_dialogs, m_settings, m_values, asker)) {
    case SafeKeyOutcome::OpenSafe: {
        FileSafe safe(m_settings, m_values, m_dialogs, m_choosers, m_shell);
        FileSafeWindow window(safe, m_boardWindow.get());
        window.exec();
        break;
    }
    case SafeKeyOutcome::OpenSettings:
        openSettings();
        break;
    default:
        break;
    }
}

void TackoraApp::chooseBackgroundPicture() {
    const QString path = m_choosers.ShowFileDialog(m_boardWindow.get(), QStringLiteral("选择一个图片文件"),
                                                   QStringLiteral("*.bmp;*.jpg;*.gif"),
                                                   QStringLiteral("更换背景"), QString(), 1, QString());
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    const BackgroundPicture::Applied applied = BackgroundPicture::ApplyBackground(path, 1, m_settings);
    if (applied.notAPicture) {
        m_dialogs.message(path + QStringLiteral("不是可以读取的图片文件！"), QString(), MessageIcon::Warning);
        return;
    }
    m_boardWindow->setBackground(applied.canvas);
}

void TackoraApp::openSettings() {
    if (m_unloaded)
        return;
    XdgAutorun autorun(QCoreApplication::applicationFilePath(), m_settings.AppFolder());
    SettingsForm form(m_settings, m_values, m_dialogs, m_choosers, m_shell, autorun, *this);
    SecurityKeyFrame security(m_settings, m_values, m_dialogs);
    SettingsWindow window(form, security, m_boardWindow.get());
    window.exec();
}

void TackoraApp::transparencyChosen(int index) {
    m_board.applyTransparency(Transparency::codeOf(index));
    if (m_calendar)
        m_calendar->transparencyChosen(index);
}

void TackoraApp::toggleCalendar() {
    if (!m_unloaded)
        m_calendar->toggle();
}

void TackoraApp::openCalendar() {
    if (!m_unloaded)
        m_calendar->open();
}

void TackoraApp::fileBoxSaved(const QString &root, const std::array<QString, 9> &captions,
                              const std::array<QString, 9> &folders) {
    std::array<Category, 9> categories = m_board.categories();
    for (int i = 0; i < 9; ++i) {
        categories[i].caption = captions[i];
        categories[i].folder = folders[i];
    }
    m_board.setFileBox(root, m_board.captionColourText(), categories);
    RefreshDiskUsage();
}

void TackoraApp::userNameSaved(const QString &name) {
    m_board.setUserNameText(name);
}

void TackoraApp::openMemoEditor(int number, bool viewMode) {
    openEditor(number, viewMode, false);
}

void TackoraApp::showMissed(const QList<MissedReminder> &reminders) {
    if (m_unloaded)
        return;
    if (!m_missedWindow) {
        m_missedWindow = std::make_unique<MissedRemindersWindow>();
        connect(m_missedWindow.get(), &MissedRemindersWindow::memoRequested, this, [this](int number) {
            m_memoSlots.setCurrentMemo(number);
            m_memoPage->loadBody(number);
            openEditor(number, true, true);
        });
    }
    m_missedWindow->add(reminders);
    m_missedWindow->show();
    m_missedWindow->raise();
    m_missedWindow->activateWindow();
}

void TackoraApp::storeLastSeen(bool now) {
    QString error;
    const QDateTime seen = m_scheduler.lastSeen();
    const bool stored = now ? m_lastSeenWriter.store(seen, &error) : m_lastSeenWriter.seen(seen, &error);
    // Said once a run; the write is tried again each minute.
    if (!stored && !m_lastSeenFailed) {
        m_lastSeenFailed = true;
        m_board.showStatus(QStringLiteral("提醒的检查时间未能保存：") + error);
    }
}

void TackoraApp::openEditor(int number, bool viewMode, bool due) {
    if (m_editorOpen || m_unloaded)
        return; // one editor at a time
    m_editorOpen = true;
    m_scheduler.setEditorOpen(true);
    MemoEditorWindow editor(m_settings, m_dialogs, m_values.notifyIcon, number, viewMode,
                            m_memoSlots.previewColourText(), m_boardWindow.get());
    connect(&editor, &MemoEditorWindow::saved, m_boardWindow.get(), [this, number] {
        m_scheduler.dropSnooze(number); // an edited memo keeps no snooze
        m_board.requestTimer2(3);
    });
    if (due) {
        editor.offerSnooze();
        connect(&editor, &MemoEditorWindow::snoozeChosen, this,
                [this, number](int minutes) { m_scheduler.snoozeFor(number, minutes); });
    }
    editor.exec();
    m_editorOpen = false;
    // The next reminder waits for this call to return.
    QMetaObject::invokeMethod(
        this, [this] { m_scheduler.setEditorOpen(false); }, Qt::QueuedConnection);
}

void TackoraApp::unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    // Before the board there is no layout: one never loaded is never saved.
    if (m_boardWindow) {
        m_secondTimer.stop();
        storeLastSeen(true);
        m_missedWindow.reset();
        SaveBoardSettings(m_board, m_settings);
        if (m_calendar)
            m_calendar->end();
        m_notifyIcon.DeleteNotifyIcon();
        m_values.notifyIcon = nullptr;
        m_boardWindow->hide();
    }
    // Every event loop ends, the splash's pause and a dialog's too; quit()
    // would do nothing before the main loop runs.
    QCoreApplication::exit(0);
}

// SPDX-License-Identifier: MIT
#pragma once

#include "calendar/CalendarProcess.h"

#include <QObject>
#include <QRect>

#include <functional>

class BoardModel;
class SettingsFile;
class UserDialogs;

/// Q_WNL as the board sees it: the calendar program opened and closed with
/// the check mark ("万 年 历", "D", Escape in the calendar, F_calendar at
/// start), the board's transparency passed on, and whatever ends the calendar
/// unasked told to the user with the check mark cleared.
class CalendarHost final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CalendarHost)
public:
    /// The board's frame on the screen, to open beside.
    using BoardFrame = std::function<QRect()>;

    /// The page is the program folder's wnl.dat, else the one of programFolder
    /// (see pagePathFor); launch starts the calendar program.
    CalendarHost(BoardModel &board, const SettingsFile &settings, UserDialogs &dialogs,
                 CalendarProcess::Launch launch, QString programFolder, BoardFrame boardFrame,
                 QObject *parent = nullptr);

    /// "万 年 历" and "D": opens or closes the calendar with the check mark.
    void toggle();
    /// Form_Load of a checked calendar (at start). A missing page is said
    /// and the check mark stays, as it always has.
    void open();
    /// The settings window chose transparency level index.
    void transparencyChosen(int index);
    /// The program's end: the calendar ends with it, waited for briefly.
    void end();

    CalendarProcess &process() { return m_process; }

    /// What the user is told when the calendar ends by failure.
    static QString messageFor(CalendarProcess::Failure failure);
    static QString missingPageMessage();
    /// AppFolder's wnl.dat, or the copy installed beside the program.
    static QString pagePathFor(const QString &appFolder, const QString &programFolder);
    /// The calendar program beside this one (or in its module folder).
    static CalendarProcess::Launch installedLaunch(const QString &programFolder);

private:
    void failed(CalendarProcess::Failure failure);

    BoardModel &m_board;
    const SettingsFile &m_settings;
    UserDialogs &m_dialogs;
    QString m_programFolder;
    BoardFrame m_boardFrame;
    CalendarProcess m_process;
};

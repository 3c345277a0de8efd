// SPDX-License-Identifier: MIT
#pragma once

#include "common/StatusLine.h"

#include <QObject>
#include <QString>

#include <array>

/// One category tile of the file box as the board shows it.
struct Category {
    QString caption;        // at most four characters
    QString folder;         // root + caption + separator
    QString noFolderReason; // set when the caption cannot name a folder, which is then empty
    bool hasTileColour = false;
    quint32 tileColour = 0;

    bool hasNoFolder() const { return !noFolderReason.isEmpty(); }
    /// What hovering the category says: its folder, or why it has none.
    QString hoverText() const { return hasNoFolder() ? noFolderReason : folder; }
};

/// The board's state: position, panels, lock, always-on-top, transparency and
/// what its header and tiles show. The board window mirrors it; the settings
/// load and save work on it alone, so they run without a window.
class BoardModel final : public QObject, public StatusLine {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BoardModel)
public:
    explicit BoardModel(QObject *parent = nullptr);

    // Geometry in twips. The width is the design's.
    int top() const { return m_top; }
    int left() const { return m_left; }
    int height() const { return m_height; }
    int width() const;
    void setPosition(int top, int left);

    // Hidden in the tray, or shown.
    bool isHidden() const { return m_hidden; }
    /// Without a tray the board is minimised to the task list instead.
    void hideToTray();
    void showFromTray();
    /// The shown board comes to the front, out of the task list too.
    void bringToFront();

    /// Whether the desktop has a tray to hold the board. Without one a board
    /// hidden in the tray could never come back: hiding minimises instead, a
    /// board saved hidden starts shown, and a hidden board goes to the task
    /// list when the tray goes.
    bool isTrayAvailable() const { return m_trayAvailable; }
    void setTrayAvailable(bool available);

    // Panel state; the close buttons' glyphs follow from it.
    bool isMemoPanelClosed() const { return m_memoClosed; }
    bool isFileBoxClosed() const { return m_fileBoxClosed; }
    /// The memo panel's close button: collapse to the clock and memo header,
    /// or open every panel again.
    void clickMemoClose();
    /// The file box's close button: collapse to the file-box header, or back
    /// to the full height (the memo panel's state is kept).
    void clickFileBoxClose();
    /// The panel state code "a" to "d" the close buttons stand for; a hidden
    /// board is "b" whatever its panels show, a closed memo panel wins over a
    /// closed file box.
    QString ShowMode() const;
    /// Applies a stored panel state code; any unknown code opens every panel.
    void applyShowMode(const QString &code);

    bool isLocked() const { return m_locked; }
    void setLocked(bool locked);
    void toggleLock() { setLocked(!m_locked); }

    bool isOnTop() const { return m_onTop; }
    void setOnTop(bool onTop);

    bool isCalendarChecked() const { return m_calendarChecked; }
    void setCalendarChecked(bool checked);

    /// "a", "b", "c" or any other text (opaque).
    const QString &TransparencyCode() const { return m_transparencyCode; }
    /// Records the code and asks the window for its one-shot timer Timer2(i):
    /// "a" → 0, "b" → 1, "c" → 2; any other code changes nothing on screen.
    void applyTransparency(const QString &code);
    /// Asks for Timer2(index) (0..3).
    void requestTimer2(int index);

    /// The glyph of header button index (0..8) as the board shows it.
    QString buttonCaption(int index) const;
    void setCurrentMemoCaption(const QString &caption);

    /// The status line at the board's foot.
    const QString &statusText() const { return m_statusText; }
    void showStatus(const QString &text) override;

    /// The disk-usage line of the file box and the tiles' size tips.
    const QString &diskUsageText() const { return m_diskUsageText; }
    const std::array<QString, 9> &tileTips() const { return m_tileTips; }
    void setDiskUsage(const QString &line, const std::array<QString, 9> &tileTips);

    const QString &userNameText() const { return m_userNameText; }
    void setUserNameText(const QString &text);

    const QString &fileBoxRoot() const { return m_fileBoxRoot; }
    const QString &captionColourText() const { return m_captionColourText; }
    const std::array<Category, 9> &categories() const { return m_categories; }
    void setFileBox(const QString &root, const QString &captionColourText,
                    const std::array<Category, 9> &categories);

Q_SIGNALS:
    void geometryChanged();
    void visibilityChanged();
    void minimizeRequested();
    void raiseRequested();
    void captionsChanged();
    void onTopChanged();
    void calendarCheckedChanged();
    void timer2Requested(int index);
    void userNameChanged();
    void statusChanged();
    void diskUsageChanged();
    void fileBoxChanged();

private:
    void setHeight(int height);

    int m_top = 0;
    int m_left = 0;
    int m_height;
    bool m_hidden = false;
    bool m_trayAvailable = true;
    bool m_memoClosed = false;
    bool m_fileBoxClosed = false;
    bool m_locked = false;
    bool m_onTop = false;
    bool m_calendarChecked = false;
    QString m_transparencyCode;
    QString m_currentMemoCaption;
    QString m_userNameText;
    QString m_statusText;
    QString m_diskUsageText = QStringLiteral("[..]");
    std::array<QString, 9> m_tileTips;
    QString m_fileBoxRoot;
    QString m_captionColourText;
    std::array<Category, 9> m_categories;
};

/// The design captions of the nine categories.
std::array<QString, 9> designCategoryCaptions();

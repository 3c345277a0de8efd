// SPDX-License-Identifier: MIT
#pragma once

#include <QPoint>
#include <QTimer>
#include <QWidget>

#include <array>

class BoardModel;
class ClockPanel;
class QDropEvent;
class QImage;
class QLabel;
class ShellOpener;
struct ClockTexts;

/// The board on the desktop: a frameless, narrow window of stacked strips (the
/// clock, the memo header and page, the file-box header and page, the status
/// line). It mirrors BoardModel and turns clicks, drags and hovering into
/// changes of the model or requests to the rest of the program.
class BoardWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BoardWindow)
public:
    BoardWindow(BoardModel &model, ClockPanel &clock, ShellOpener &shell, QWidget *parent = nullptr);

    /// "Tackora V" + major + "." + minor.
    static QString caption();

    QLabel *headerButton(int index) const { return m_buttons[index]; }

    /// The memo page PicTab(0), for the memo rows and preview.
    QWidget *memoPage() const { return m_memoPage; }
    /// Stretches the memo page over the file box, or puts the strips back.
    void setMemoPageExpanded(bool expanded);

    /// The header buttons' hover highlight goes.
    void resetButtonHighlight();

    /// Paints the nine parts of canvas behind the category tiles, each tile
    /// resized to a third of the canvas; a null canvas changes nothing.
    void setBackground(const QImage &canvas);

Q_SIGNALS:
    void firstPainted();
    /// Alt+F4 and the like: the program's orderly end.
    void closeRequested();
    /// Header buttons whose windows other parts own.
    void currentMemoRequested();
    void memoEditorRequested();
    void settingsRequested();
    void calendarToggleRequested();
    void backgroundPictureRequested();
    /// A click on category label index.
    void categoryClicked(int index);
    /// Timer2(3): the memos are to be reloaded.
    void memosReloadRequested();
    /// Files or folders dropped on category tile index (local paths).
    void filesDropped(int index, const QStringList &paths);
    /// A drag over a tile: whether it carries files.
    void dragOverTile(bool carriesFiles);
    /// A move over a header label: the memo rows' highlight goes too.
    void slotHighlightResetRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void buildClockStrip();
    void buildMemoStrips();
    void buildFileBoxStrips();
    void buildStatusStrip();
    void addSafePicture(QWidget *tile);
    QWidget *addStrip(const char *name, int top, int height, const QColor &background);
    QLabel *addLabel(QWidget *parent, const QString &name, const QRect &twips, const QFont &font,
                     const QColor &text, const QColor &background, QLabel *label = nullptr);
    void addHeaderButton(QWidget *strip, int index, int leftTwips, const QString &tip);

    bool handleTileDrop(int tile, QDropEvent *event);
    void applyGeometry();
    void applyVisibility();
    void applyCaptions();
    void applyOnTop();
    void applyFileBox();
    void showClockTexts(const ClockTexts &texts);
    void runTimer2(int index);
    void onHeaderButtonClicked(int index);
    void resetCategoryHighlight();
    QColor categoryTextColour() const;

    BoardModel &m_model;
    ShellOpener &m_shell;
    std::array<QLabel *, 9> m_buttons{};
    std::array<QLabel *, 5> m_headers{};
    std::array<QLabel *, 4> m_clockLabels{}; // Lab1(1..3); index 0 unused
    std::array<QWidget *, 9> m_tiles{};
    std::array<QLabel *, 9> m_categoryLabels{};
    std::array<QTimer, 4> m_timer2;
    QWidget *m_memoPage = nullptr;
    QWidget *m_fileBoxHeader = nullptr;
    QWidget *m_fileBoxPage = nullptr;
    QPoint m_dragStart;  // pointer position where a header drag began
    QPoint m_dragOrigin; // window position then
    bool m_dragging = false;
    bool m_painted = false;
    bool m_hasBackground = false;
};

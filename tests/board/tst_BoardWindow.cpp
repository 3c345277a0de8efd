// SPDX-License-Identifier: MIT
#include "board/BoardModel.h"
#include "board/BoardWindow.h"
#include "board/ClockPanel.h"
#include "board/LayeredWindow.h"
#include "common/Fonts.h"
#include "common/ProcessValues.h"

#include "TestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPlatformSurfaceEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <QWindow>

namespace {
// The shape of the whole window computed afresh from what it paints.
QRegion wholeShape(QWidget &window) {
    QImage whole(window.size(), QImage::Format_RGB32);
    whole.fill(Qt::white);
    window.render(&whole, QPoint(), QRegion(window.rect()),
                  QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return nonWhiteRegion(whole);
}

// Where the window's shape and its painted content disagree. Regions are
// compared by area: the same area can be kept as differently split bands.
QRegion shapeMismatch(QWidget &window) {
    return window.mask() ^ wholeShape(window);
}

QColor textColour(const QWidget *widget) {
    return widget->palette().color(QPalette::WindowText);
}

// An application-modal dialog over window, as the settings window or a
// message box is.
struct ModalDialog {
    explicit ModalDialog(QWidget *window)
        : dialog(window) {
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
    }
    bool stillOpen() const { return dialog.isVisible() && QApplication::activeModalWidget() == &dialog; }
    QDialog dialog;
};

// Watches the board's native window: hiding it or destroying its surface,
// as re-creating it does, would close what is open over it.
class NativeWindowWatch final : public QObject {
public:
    explicit NativeWindowWatch(const QWidget &widget)
        : m_window(widget.windowHandle())
        , m_id(m_window ? m_window->winId() : 0) {
        if (m_window)
            m_window->installEventFilter(this);
    }
    bool untouched(const QWidget &widget) const {
        return m_window && widget.windowHandle() == m_window && m_window->winId() == m_id &&
               m_window->isVisible() && m_interruptions == 0;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Hide ||
            (event->type() == QEvent::PlatformSurface &&
             static_cast<QPlatformSurfaceEvent *>(event)->surfaceEventType() ==
                 QPlatformSurfaceEvent::SurfaceAboutToBeDestroyed))
            ++m_interruptions;
        return QObject::eventFilter(watched, event);
    }

private:
    QWindow *m_window;
    WId m_id;
    int m_interruptions = 0;
};
} // namespace

class tst_BoardWindow : public QObject {
    Q_OBJECT

    struct Fixture {
        BoardModel model;
        FakeClock clock;
        RecordingShutdownRunner runner;
        ProcessValues values;
        ClockPanel panel{clock, runner, values};
        RecordingShell shell;
        BoardWindow window{model, panel, shell};

        QLabel *label(const QString &name) const { return window.findChild<QLabel *>(name); }
        void click(const QString &name) { QTest::mouseClick(label(name), Qt::LeftButton); }
    };

private Q_SLOTS:
    void initTestCase() { installFontSubstitutions(); }

    void stripsAndButtonsAtTheirPlaces() {
        Fixture f;
        QCOMPARE(f.window.width(), 313);  // 4695 twips
        QCOMPARE(f.window.height(), 731); // 10970 twips
        QCOMPARE(f.window.findChild<QWidget *>(QStringLiteral("PicBj(3)"))->geometry(),
                 QRect(0, 352, 313, 25));
        QCOMPARE(f.window.findChild<QWidget *>(QStringLiteral("Picture1(4)"))->geometry(),
                 QRect(104, 104, 105, 105));
        QCOMPARE(f.label(QStringLiteral("LabAn(8)"))->geometry(), QRect(216, 0, 25, 25));
        QCOMPARE(f.label(QStringLiteral("LabAn(0)"))->toolTip(), QStringLiteral("关闭"));
        QCOMPARE(f.label(QStringLiteral("LabAn(3)"))->text(), QStringLiteral("V"));
        QCOMPARE(f.label(QStringLiteral("LabMsg(0)"))->text(), QStringLiteral("[Tackora V1.0]"));
        QCOMPARE(f.label(QStringLiteral("LabMsg(3)"))->text(), QStringLiteral("[资料盒子]"));
        QCOMPARE(f.label(QStringLiteral("LabBox(8)"))->text(), QStringLiteral("保险柜"));
        QLabel *safePicture = f.label(QStringLiteral("Image2"));
        QCOMPARE(safePicture->toolTip(), QStringLiteral("加密文件"));
        QCOMPARE(safePicture->parentWidget()->objectName(), QStringLiteral("Picture1(8)"));
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Tackora V1.0"));
    }

    // The status line's glyphs sit inside its strip, none cut at the top or
    // the bottom, whatever face stands in for the Song face.
    void statusLineGlyphsFitTheirStrip_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("start") << QStringLiteral("[Tackora V1.0]");
        QTest::newRow("memo message") << QStringLiteral("便笺[0]提醒时间格式错误！请修正！");
        QTest::newRow("drop message") << QStringLiteral("文件(jpg)已经移动到[图片]文件夹！");
    }
    void statusLineGlyphsFitTheirStrip() {
        QFETCH(QString, text);
        Fixture f;
        f.model.showStatus(text);
        QWidget *strip = f.window.findChild<QWidget *>(QStringLiteral("PicBj(0)"));
        const QImage image = strip->grab().toImage();
        const auto inkInRow = [&](int y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 90 && c.green() < 80)
                    return true;
            }
            return false;
        };
        int inkRows = 0;
        for (int y = 0; y < image.height(); ++y)
            inkRows += inkInRow(y) ? 1 : 0;
        QVERIFY(inkRows >= 10);
        QVERIFY(!inkInRow(0));
        QVERIFY(!inkInRow(image.height() - 1));
    }

    // The status line's face is the largest quarter-point size up to 12 whose
    // tallest glyphs fit the strip, however few sizes were tried to find it.
    void statusLineTakesTheLargestSizeThatFits() {
        Fixture f;
        const QFont font = f.label(QStringLiteral("LabMsg(0)"))->font();
        const int room = f.window.findChild<QWidget *>(QStringLiteral("PicBj(0)"))->height() - 2;
        const auto inkHeight = [&font](double size) {
            QFont sized = font;
            sized.setPointSizeF(size);
            return QFontMetrics(sized).tightBoundingRect(QStringLiteral("[国gj(|)]")).height();
        };
        QVERIFY(font.pointSizeF() <= 12);
        QVERIFY(inkHeight(font.pointSizeF()) <= room);
        for (double larger = font.pointSizeF() + 0.25; larger <= 12; larger += 0.25)
            QVERIFY2(inkHeight(larger) > room, qPrintable(QString::number(larger)));
    }

    void closeButtonsCollapseAndRestore() {
        Fixture f;
        f.window.show();
        f.click(QStringLiteral("LabAn(5)"));
        QCOMPARE(f.window.height(), 378); // 5671 twips
        QCOMPARE(f.label(QStringLiteral("LabAn(5)"))->text(), QStringLiteral("口"));
        f.click(QStringLiteral("LabAn(2)"));
        QCOMPARE(f.window.height(), 97); // 1456 twips
        f.click(QStringLiteral("LabAn(2)"));
        QCOMPARE(f.window.height(), 731);
        QCOMPARE(f.label(QStringLiteral("LabAn(2)"))->text(), QStringLiteral("X"));
        QCOMPARE(f.label(QStringLiteral("LabAn(5)"))->text(), QStringLiteral("X"));
    }

    void closeButtonHidesToTheTray() {
        Fixture f;
        f.window.show();
        f.click(QStringLiteral("LabAn(0)"));
        QVERIFY(f.model.isHidden());
        QVERIFY(!f.window.isVisible());
        QCOMPARE(f.label(QStringLiteral("LabAn(0)"))->text(), QStringLiteral("口"));
        f.model.showFromTray();
        QVERIFY(f.window.isVisible());
    }

    // The stored position is the window's own before it is first shown, the
    // top left corner too: a window without one is placed by the window manager.
    void storedPositionIsAppliedBeforeTheFirstShow_data() {
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("left");
        QTest::newRow("top left corner") << 0 << 0;
        QTest::newRow("elsewhere") << 1500 << 3000;
    }
    void storedPositionIsAppliedBeforeTheFirstShow() {
        QFETCH(int, top);
        QFETCH(int, left);
        Fixture f;
        f.model.setPosition(top, left);
        QVERIFY(f.window.testAttribute(Qt::WA_Moved));
        QCOMPARE(f.window.pos(), QPoint(left / 15, top / 15));
    }

    void withoutTrayHidingMinimisesToTheTaskList() {
        Fixture f;
        f.model.setTrayAvailable(false);
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.click(QStringLiteral("LabAn(0)"));
        QVERIFY(!f.model.isHidden());
        QVERIFY(f.window.isVisible());
        QVERIFY(f.window.isMinimized());
        QCOMPARE(f.label(QStringLiteral("LabAn(0)"))->text(), QStringLiteral("X"));

        f.window.showNormal();
        f.window.showMinimized(); // the window manager's own minimise
        QVERIFY(!f.model.isHidden());
        QVERIFY(f.window.isVisible());
        QVERIFY(f.window.isMinimized());
        QCOMPARE(f.model.ShowMode(), QStringLiteral("a"));
    }

    void boardHiddenInTheTrayGoesToTheTaskListWhenTheTrayGoes() {
        Fixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.click(QStringLiteral("LabAn(0)"));
        QVERIFY(!f.window.isVisible());
        f.model.setTrayAvailable(false);
        QVERIFY(!f.model.isHidden());
        QVERIFY(f.window.isVisible());
        QVERIFY(f.window.isMinimized());
        QCOMPARE(f.label(QStringLiteral("LabAn(0)"))->text(), QStringLiteral("X"));
        // A tray that comes back changes nothing until the board is hidden again.
        f.model.setTrayAvailable(true);
        QVERIFY(f.window.isVisible());
        f.window.showNormal();
        f.click(QStringLiteral("LabAn(0)"));
        QVERIFY(!f.window.isVisible());
    }

    void bringToFrontRestoresAMinimisedBoard() {
        Fixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.model.setTrayAvailable(false);
        f.window.showMinimized();
        f.model.bringToFront();
        QVERIFY(f.window.isVisible());
        QVERIFY(!f.window.isMinimized());
    }

    // Always on top is a hint on the board's own native window: a new one
    // would close an open modal window and lose what was typed in it.
    void alwaysOnTopChangesInPlaceUnderAModalWindow() {
        Fixture f;
        f.model.setPosition(1500, 1500);
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        const NativeWindowWatch native(f.window);
        ModalDialog modal(&f.window);
        for (const bool onTop : {true, false}) {
            f.model.setOnTop(onTop);
            QCOMPARE(bool(f.window.windowFlags() & Qt::WindowStaysOnTopHint), onTop);
            QCOMPARE(bool(f.window.windowHandle()->flags() & Qt::WindowStaysOnTopHint), onTop);
            QVERIFY(native.untouched(f.window));
            QCOMPARE(f.window.pos(), QPoint(100, 100));
            QVERIFY(modal.stillOpen());
        }
    }

    // Full transparency takes the board out of the task list, on its own
    // native window; each other mode puts it back.
    void fullTransparencyLeavesTheTaskListInPlace_data() {
        QTest::addColumn<QString>("next");
        QTest::newRow("to slight") << QStringLiteral("a");
        QTest::newRow("to half") << QStringLiteral("b");
    }
    void fullTransparencyLeavesTheTaskListInPlace() {
        QFETCH(QString, next);
        Fixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        const NativeWindowWatch native(f.window);
        ModalDialog modal(&f.window);
        f.model.applyTransparency(QStringLiteral("c"));
        QTRY_VERIFY(hasWhiteKey(&f.window));
        QCOMPARE(f.window.windowType(), Qt::Tool);
        QCOMPARE(f.window.windowHandle()->type(), Qt::Tool);
        QVERIFY(native.untouched(f.window));
        QVERIFY(modal.stillOpen());

        f.model.applyTransparency(next);
        QTRY_VERIFY(!hasWhiteKey(&f.window));
        QCOMPARE(f.window.windowType(), Qt::Window);
        QCOMPARE(f.window.windowHandle()->type(), Qt::Window);
        QVERIFY(native.untouched(f.window));
        QVERIFY(modal.stillOpen());
    }

    void headerDragMovesUnlessLocked() {
        Fixture f;
        f.model.setPosition(1500, 1500);
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QLabel *header = f.label(QStringLiteral("LabMsg(2)"));
        const auto drag = [&](QPoint by) {
            const QPoint start(40, 10);
            QTest::mousePress(header, Qt::LeftButton, {}, start);
            QMouseEvent move(QEvent::MouseMove, QPointF(start + by), header->mapToGlobal(QPointF(start + by)),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(header, &move);
            QTest::mouseRelease(header, Qt::LeftButton, {}, start + by);
        };
        drag(QPoint(30, 20));
        QCOMPARE(f.window.pos(), QPoint(130, 120));
        QCOMPARE(f.model.top(), 1800);
        QCOMPARE(f.model.left(), 1950);
        f.click(QStringLiteral("LabAn(1)"));
        QVERIFY(f.model.isLocked());
        QCOMPARE(f.label(QStringLiteral("LabAn(1)"))->text(), QStringLiteral("一"));
        drag(QPoint(30, 20));
        QCOMPARE(f.window.pos(), QPoint(130, 120));
    }

    void hoverTurnsAButtonRedUntilAResettingSurface() {
        Fixture f;
        f.window.show();
        QLabel *button = f.label(QStringLiteral("LabAn(6)"));
        QTest::mouseMove(button);
        QCOMPARE(textColour(button), QColor(Qt::red));
        QCOMPARE(button->cursor().shape(), Qt::WhatsThisCursor);
        QTest::mouseMove(f.label(QStringLiteral("LabAn(7)")));
        QCOMPARE(textColour(button), QColor(Qt::white));
        QTest::mouseMove(f.label(QStringLiteral("LabBox(2)")));
        QCOMPARE(textColour(f.label(QStringLiteral("LabAn(7)"))),
                 QColor(Qt::red)); // a tile does not reset buttons
        QTest::mouseMove(f.label(QStringLiteral("Lab1(2)")));
        QCOMPARE(textColour(f.label(QStringLiteral("LabAn(7)"))), QColor(Qt::white));
    }

    void headerButtonsAskForTheirWindows_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("signal");
        QTest::newRow("V current memo")
            << QStringLiteral("LabAn(3)") << QByteArray(SIGNAL(currentMemoRequested()));
        QTest::newRow("E memo editor")
            << QStringLiteral("LabAn(4)") << QByteArray(SIGNAL(memoEditorRequested()));
        QTest::newRow("S settings") << QStringLiteral("LabAn(6)") << QByteArray(SIGNAL(settingsRequested()));
        QTest::newRow("D calendar") << QStringLiteral("LabAn(7)")
                                    << QByteArray(SIGNAL(calendarToggleRequested()));
        QTest::newRow("P background")
            << QStringLiteral("LabAn(8)") << QByteArray(SIGNAL(backgroundPictureRequested()));
    }
    void headerButtonsAskForTheirWindows() {
        QFETCH(QString, button);
        QFETCH(QByteArray, signal);
        Fixture f;
        f.window.show();
        QSignalSpy asked(&f.window, signal.constData());
        f.click(button);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(f.window.height(), 731); // nothing else changed
    }

    void hiddenCommandButtonChangesTheBackgroundToo() {
        Fixture f;
        QSignalSpy asked(&f.window, &BoardWindow::backgroundPictureRequested);
        auto *command = f.window.findChild<QPushButton *>(QStringLiteral("Command1"));
        QCOMPARE(command->text(), QStringLiteral("添加托盘图标"));
        QVERIFY(command->x() >= f.window.width()); // out of view
        command->click();
        QCOMPARE(asked.size(), 1);
    }

    void categoryHoverColours_data() {
        QTest::addColumn<QString>("fontColour");
        QTest::addColumn<QColor>("others");
        QTest::newRow("no colour: button text") << QString() << QColor(Qt::black);
        QTest::newRow("blue") << QStringLiteral("&H00FF0000&") << QColor(Qt::blue);
    }
    void categoryHoverColours() {
        QFETCH(QString, fontColour);
        QFETCH(QColor, others);
        Fixture f;
        f.model.setFileBox(QStringLiteral("/tmp/box/"), fontColour, f.model.categories());
        f.window.show();
        const auto move = [&](const QString &name) {
            QWidget *widget = f.window.findChild<QWidget *>(name);
            QMouseEvent event(QEvent::MouseMove, QPointF(3, 3), widget->mapToGlobal(QPointF(3, 3)),
                              Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(widget, &event);
        };
        move(QStringLiteral("LabBox(2)"));
        QCOMPARE(textColour(f.label(QStringLiteral("LabBox(2)"))), QColor(Qt::red));
        QCOMPARE(f.label(QStringLiteral("LabBox(2)"))->cursor().shape(), Qt::WhatsThisCursor);
        move(QStringLiteral("LabBox(5)"));
        QCOMPARE(textColour(f.label(QStringLiteral("LabBox(2)"))), others);
        QCOMPARE(textColour(f.label(QStringLiteral("LabBox(5)"))), QColor(Qt::red));
        move(QStringLiteral("LabMsg(3)")); // a header resets buttons, not categories
        QCOMPARE(textColour(f.label(QStringLiteral("LabBox(5)"))), QColor(Qt::red));
        move(QStringLiteral("Picture1(7)"));
        for (int i = 0; i < 9; ++i)
            QCOMPARE(textColour(f.label(QStringLiteral("LabBox(%1)").arg(i))), others);
    }

    void categoryLabelsReportClicks() {
        Fixture f;
        f.window.show();
        QSignalSpy clicked(&f.window, &BoardWindow::categoryClicked);
        f.click(QStringLiteral("LabBox(0)"));
        f.click(QStringLiteral("LabBox(8)"));
        QTest::mouseClick(f.window.findChild<QWidget *>(QStringLiteral("Picture1(4)")), Qt::LeftButton, {},
                          QPoint(5, 5)); // the tile outside its label: nothing
        QCOMPARE(clicked.size(), 2);
        QCOMPARE(clicked[0][0].toInt(), 0);
        QCOMPARE(clicked[1][0].toInt(), 8);
        QVERIFY(f.shell.opened.isEmpty()); // the program decides what a click opens
    }

    void backgroundIsCutIntoNineTiles() {
        Fixture f;
        QImage canvas(319, 316, QImage::Format_RGB32);
        for (int i = 0; i < 9; ++i)
            canvas.fill(Qt::white);
        QPainter painter(&canvas);
        for (int i = 0; i < 9; ++i)
            painter.fillRect(QRect((i % 3) * 106, (i / 3) * 105, 106, 105),
                             QColor(20 * i, 255 - 20 * i, 7 * i));
        painter.end();
        f.window.setBackground(canvas);
        f.window.show();
        for (int i = 0; i < 9; ++i) {
            QWidget *tile = f.window.findChild<QWidget *>(QStringLiteral("Picture1(%1)").arg(i));
            QCOMPARE(tile->size(), QSize(106, 105));
            // The tiles keep their places, now slightly larger than designed.
            QCOMPARE(tile->pos(), QPoint((i % 3) * 104, (i / 3) * 104));
            const QImage shown = tile->grab().toImage();
            QCOMPARE(shown.pixelColor(1, 1), QColor(20 * i, 255 - 20 * i, 7 * i));
        }
        // A later change of the tiles' colours leaves the picture in place.
        f.model.setFileBox(QStringLiteral("/tmp/box/"), QString(), f.model.categories());
        QCOMPARE(
            f.window.findChild<QWidget *>(QStringLiteral("Picture1(0)"))->grab().toImage().pixelColor(1, 1),
            QColor(0, 255, 0));
    }

    void clockLabelsFollowThePanel() {
        Fixture f;
        f.clock.current = QDateTime(QDate(2018, 3, 5), QTime(23, 30, 5));
        f.panel.tick();
        QCOMPARE(f.label(QStringLiteral("Lab1(1)"))->text(), QStringLiteral("23:30:05"));
        QCOMPARE(f.label(QStringLiteral("Lab1(2)"))->text(), QStringLiteral("2018年3月5日"));
        QCOMPARE(f.label(QStringLiteral("Lab1(3)"))->text(), QStringLiteral("星期一 子时"));
    }

    void transparencyTimers() {
        Fixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.model.applyTransparency(QStringLiteral("b"));
        QTRY_COMPARE(f.window.windowOpacity(), 100 / 255.0);
        QCOMPARE(textColour(f.label(QStringLiteral("Lab1(1)"))), QColor(Qt::black));

        f.model.applyTransparency(QStringLiteral("c"));
        QTRY_VERIFY(hasWhiteKey(&f.window));
        QCOMPARE(f.window.windowOpacity(), 1.0);
        QCOMPARE(textColour(f.label(QStringLiteral("Lab1(1)"))), QColor(Qt::yellow));
        // The safe's tile is nearly white, the memo page white: the page is left
        // out of the shape, the dark clock strip stays in it.
        const QRegion shape = f.window.mask();
        QVERIFY(!shape.isEmpty());
        QVERIFY(shape.contains(QPoint(5, 40)));
        QVERIFY(!shape.contains(QPoint(150, 200)));

        f.model.applyTransparency(QStringLiteral("a"));
        QTRY_COMPARE(f.window.windowOpacity(), 220 / 255.0);
        QVERIFY(!hasWhiteKey(&f.window));
        QVERIFY(f.window.mask().isEmpty());
    }

    void timer3AsksForTheMemos() {
        Fixture f;
        QSignalSpy reload(&f.window, &BoardWindow::memosReloadRequested);
        f.model.requestTimer2(3);
        QVERIFY(reload.wait(1000));
    }

    void doubleClickOnTheFileBoxHeaderOpensTheRoot() {
        Fixture f;
        f.model.setFileBox(QStringLiteral("/tmp/box"), QString(), f.model.categories());
        QTest::mouseDClick(f.label(QStringLiteral("LabMsg(3)")), Qt::LeftButton);
        QTest::mouseDClick(f.label(QStringLiteral("LabMsg(2)")), Qt::LeftButton);
        QCOMPARE(f.shell.opened, QStringList{QStringLiteral("path:/tmp/box")});
    }

    void memoPageStretchesOverTheFileBox() {
        Fixture f;
        f.window.show();
        f.window.setMemoPageExpanded(true);
        QVERIFY(!f.window.findChild<QWidget *>(QStringLiteral("PicBj(3)"))->isVisible());
        QVERIFY(!f.window.findChild<QWidget *>(QStringLiteral("PicTab(1)"))->isVisible());
        QCOMPARE(f.window.memoPage()->height(), 634); // 9504 twips
        f.window.setMemoPageExpanded(false);
        QVERIFY(f.window.findChild<QWidget *>(QStringLiteral("PicTab(1)"))->isVisible());
        QCOMPARE(f.window.memoPage()->height(), 257); // 3849.74 twips
    }

    void filesDroppedOnATileAreReported() {
        Fixture f;
        f.window.show();
        QWidget *tile = f.window.findChild<QWidget *>(QStringLiteral("Picture1(3)"));
        QVERIFY(tile->acceptDrops());
        QSignalSpy dropped(&f.window, &BoardWindow::filesDropped);
        QSignalSpy dragged(&f.window, &BoardWindow::dragOverTile);
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a b.jpg")),
                       QUrl::fromLocalFile(QStringLiteral("/tmp/c"))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(tile, &enter);
        QVERIFY(enter.isAccepted());
        QCOMPARE(enter.dropAction(), Qt::CopyAction);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &files, Qt::LeftButton,
                        Qt::NoModifier);
        QCoreApplication::sendEvent(tile, &drop);
        QCOMPARE(dropped.size(), 1);
        QCOMPARE(dropped[0][0].toInt(), 3);
        QCOMPARE(dropped[0][1].toStringList(),
                 (QStringList{QStringLiteral("/tmp/a b.jpg"), QStringLiteral("/tmp/c")}));

        QMimeData text;
        text.setText(QStringLiteral("just text"));
        QDragEnterEvent textEnter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(tile, &textEnter);
        QVERIFY(!textEnter.isAccepted());
        QCOMPARE(dragged.size(), 2);
        QCOMPARE(dragged[0][0].toBool(), true);
        QCOMPARE(dragged[1][0].toBool(), false);
    }

    void diskUsageIsMirrored() {
        Fixture f;
        QCOMPARE(f.label(QStringLiteral("LabMsg(4)"))->text(), QStringLiteral("[..]"));
        std::array<QString, 9> tips;
        tips.fill(QStringLiteral("占用：0.5M"));
        f.model.setDiskUsage(QStringLiteral("[磁盘:1G 已用:0.5M 剩余:0.5G]"), tips);
        QCOMPARE(f.label(QStringLiteral("LabMsg(4)"))->text(),
                 QStringLiteral("[磁盘:1G 已用:0.5M 剩余:0.5G]"));
        QCOMPARE(f.window.findChild<QWidget *>(QStringLiteral("Picture1(7)"))->toolTip(),
                 QStringLiteral("占用：0.5M"));
    }

    void categoryWithoutAFolderSaysWhyAndTakesNoDrop() {
        Fixture f;
        std::array<Category, 9> categories = f.model.categories();
        categories[2].caption = QStringLiteral("..");
        categories[2].noFolderReason = QStringLiteral("“..”不能用作文件夹名");
        categories[3].folder = QStringLiteral("/tmp/box/图片/");
        f.model.setFileBox(QStringLiteral("/tmp/box"), QString(), categories);
        std::array<QString, 9> tips;
        tips.fill(QStringLiteral("占用：0M"));
        f.model.setDiskUsage(QStringLiteral("[..]"), tips);
        const auto tile = [&f](int i) {
            return f.window.findChild<QWidget *>(QStringLiteral("Picture1(%1)").arg(i));
        };
        QCOMPARE(f.label(QStringLiteral("LabBox(2)"))->toolTip(), categories[2].noFolderReason);
        QCOMPARE(tile(2)->toolTip(), categories[2].noFolderReason);
        QCOMPARE(f.label(QStringLiteral("LabBox(3)"))->toolTip(), QStringLiteral("/tmp/box/图片/"));
        QCOMPARE(tile(3)->toolTip(), QStringLiteral("占用：0M"));

        QSignalSpy dropped(&f.window, &BoardWindow::filesDropped);
        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.jpg"))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(tile(2), &enter);
        QVERIFY(!enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(tile(2), &drop);
        QCOMPARE(dropped.size(), 0);
    }

    void clockTicksKeepTheWhiteKeyShapeWhole() {
        Fixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.model.applyTransparency(QStringLiteral("c"));
        QTRY_VERIFY(hasWhiteKey(&f.window));
        // Each second only the clock's labels are rendered again and spliced
        // into the shape; the result must be the shape of the whole window.
        for (int second = 0; second < 3; ++second) {
            f.clock.current = QDateTime(QDate(2018, 3, 5 + second), QTime(23, 59, 58 + second % 2));
            f.panel.tick();
            QTest::qWait(40);
        }
        QImage whole(f.window.size(), QImage::Format_RGB32);
        whole.fill(Qt::white);
        f.window.render(&whole, QPoint(), QRegion(f.window.rect()),
                        QWidget::DrawWindowBackground | QWidget::DrawChildren);
        QCOMPARE(f.window.mask(), nonWhiteRegion(whole));
    }

    // The clock's texts change on their dark strip, where no pixel can turn
    // white: a tick leaves the shape alone. A change of the board's outline
    // or of the mode computes it again.
    void whiteKeyShapeIsComputedOnlyWhenItCanChange() {
        Fixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.model.applyTransparency(QStringLiteral("c"));
        QTRY_VERIFY(hasWhiteKey(&f.window));
        QTRY_VERIFY(!f.window.mask().isEmpty());
        QTest::qWait(40);
        const int settled = whiteKeyComputations(&f.window);
        f.clock.current = QDateTime(QDate(2018, 3, 5), QTime(23, 59, 58));
        f.panel.tick();
        f.clock.current = QDateTime(QDate(2018, 3, 6), QTime(0, 0, 1));
        f.panel.tick();
        QTest::qWait(60);
        QCOMPARE(whiteKeyComputations(&f.window), settled);
        QCOMPARE(shapeMismatch(f.window), QRegion());

        const QRegion full = f.window.mask();
        f.model.clickMemoClose();
        QTRY_VERIFY(f.window.mask() != full);
        QVERIFY(whiteKeyComputations(&f.window) > settled);
        QCOMPARE(shapeMismatch(f.window), QRegion());

        f.model.applyTransparency(QStringLiteral("a"));
        QTRY_VERIFY(!hasWhiteKey(&f.window));
        f.model.applyTransparency(QStringLiteral("c"));
        QTRY_VERIFY(hasWhiteKey(&f.window));
        QTRY_COMPARE(shapeMismatch(f.window), QRegion());
    }

    // A clock text that can paint pure white pixels (here white on its
    // strip) changes the shape: a tick computes it again there.
    void clockTextThatCanTurnWhiteStillReshapes() {
        Fixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.model.applyTransparency(QStringLiteral("c"));
        QTRY_VERIFY(hasWhiteKey(&f.window));
        QTest::qWait(40);
        QLabel *time = f.label(QStringLiteral("Lab1(1)"));
        QPalette palette = time->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        time->setPalette(palette);
        const int before = whiteKeyComputations(&f.window);
        f.clock.current = QDateTime(QDate(2018, 3, 5), QTime(8, 8, 8));
        f.panel.tick();
        QTRY_VERIFY(whiteKeyComputations(&f.window) > before);
        QTRY_COMPARE(shapeMismatch(f.window), QRegion());
        const QPoint inside = time->mapTo(&f.window, QPoint(time->width() / 2, time->height() / 2));
        QVERIFY(QRegion(QRect(inside - QPoint(20, 10), QSize(40, 20))) - f.window.mask() != QRegion());
    }

    void whiteRegionLeavesOutOnlyPureWhite() {
        QImage image(4, 1, QImage::Format_RGB32);
        image.setPixel(0, 0, 0xFFFFFFFF);
        image.setPixel(1, 0, 0xFFFEFFFF);
        image.setPixel(2, 0, 0xFF000000);
        image.setPixel(3, 0, 0xFFFFFFFF);
        const QRegion region = nonWhiteRegion(image);
        QCOMPARE(region, QRegion(1, 0, 2, 1));
    }
};

QTEST_MAIN(tst_BoardWindow)
#include "tst_BoardWindow.moc"

// SPDX-License-Identifier: MIT
#include "board/BoardWindow.h"

#include "board/BackgroundPicture.h"
#include "board/BoardLayout.h"
#include "board/BoardModel.h"
#include "board/ClockPanel.h"
#include "board/ClockTimeLabel.h"
#include "board/LayeredWindow.h"
#include "common/Fonts.h"
#include "common/NumericText.h"
#include "common/Twips.h"
#include "common/WindowsColour.h"
#include "platform/ShellOpener.h"

#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QUrl>

using namespace BoardLayout;

namespace {

const QColor kGreen(0x00, 0xFF, 0x00);
const QColor kDarkGrey(0x40, 0x40, 0x40);
const QColor kRed(0xFF, 0x00, 0x00);
const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kYellow(0xFF, 0xFF, 0x00);
const QColor kBlack(0x00, 0x00, 0x00);

void setColours(QWidget *widget, const QColor &text, const QColor &background) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    if (background.isValid()) {
        palette.setColor(QPalette::Window, background);
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);
}

void setTextColour(QWidget *widget, const QColor &text) {
    if (widget->palette().color(QPalette::WindowText) != text)
        setColours(widget, text, QColor());
}

// A tile without a folder says why in place of its size.
QString tileTip(const Category &category, const QString &sizeTip) {
    return category.hasNoFolder() ? category.noFolderReason : sizeTip;
}

int indexIn(const auto &widgets, const QObject *object) {
    for (int i = 0; i < int(widgets.size()); ++i) {
        if (widgets[i] == object)
            return i;
    }
    return -1;
}

} // namespace

QString BoardWindow::caption() {
    return QStringLiteral("Tackora V%1.%2").arg(TACKORA_VERSION_MAJOR).arg(TACKORA_VERSION_MINOR);
}

BoardWindow::BoardWindow(BoardModel &model, ClockPanel &clock, ShellOpener &shell, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_model(model)
    , m_shell(shell) {
    setObjectName(QStringLiteral("Q_MAIN"));
    setWindowTitle(caption());
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedWidth(Twips::toPixels(kWidth));

    buildClockStrip();
    buildMemoStrips();
    buildFileBoxStrips();
    buildStatusStrip();

    for (int i = 0; i < int(m_timer2.size()); ++i) {
        m_timer2[i].setObjectName(QStringLiteral("Timer2(%1)").arg(i));
        m_timer2[i].setSingleShot(true);
        m_timer2[i].setInterval(10);
        connect(&m_timer2[i], &QTimer::timeout, this, [this, i] { runTimer2(i); });
    }

    connect(&m_model, &BoardModel::geometryChanged, this, &BoardWindow::applyGeometry);
    connect(&m_model, &BoardModel::visibilityChanged, this, &BoardWindow::applyVisibility);
    connect(&m_model, &BoardModel::minimizeRequested, this, [this] {
        if (!isMinimized())
            showMinimized();
    });
    connect(&m_model, &BoardModel::raiseRequested, this, [this] {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
        raise();
        activateWindow();
    });
    connect(&m_model, &BoardModel::captionsChanged, this, &BoardWindow::applyCaptions);
    connect(&m_model, &BoardModel::onTopChanged, this, &BoardWindow::applyOnTop);
    connect(&m_model, &BoardModel::fileBoxChanged, this, &BoardWindow::applyFileBox);
    connect(&m_model, &BoardModel::diskUsageChanged, this, [this] {
        m_headers[4]->setText(m_model.diskUsageText());
        for (int i = 0; i < kCategoryCount; ++i)
            m_tiles[i]->setToolTip(tileTip(m_model.categories()[i], m_model.tileTips()[i]));
    });
    connect(&m_model, &BoardModel::statusChanged, this,
            [this] { m_headers[0]->setText(m_model.statusText()); });
    connect(&m_model, &BoardModel::userNameChanged, this,
            [this] { m_headers[1]->setText(m_model.userNameText()); });
    connect(&m_model, &BoardModel::timer2Requested, this, [this](int i) {
        if (i >= 0 && i < int(m_timer2.size()))
            m_timer2[i].start();
    });
    connect(&clock, &ClockPanel::textsChanged, this, &BoardWindow::showClockTexts);

    applyGeometry();
    applyCaptions();
    applyOnTop();
    applyFileBox();
    m_headers[1]->setText(m_model.userNameText());
    showClockTexts(clock.texts());
}

QWidget *BoardWindow::addStrip(const char *name, int top, int height, const QColor &background) {
    auto *strip = new QWidget(this);
    strip->setObjectName(QString::fromLatin1(name));
    strip->setGeometry(Twips::rectToPixels(0, top, kWidth, height));
    strip->setMouseTracking(true);
    setColours(strip, kWhite, background);
    strip->installEventFilter(this);
    return strip;
}

QLabel *BoardWindow::addLabel(QWidget *parent, const QString &name, const QRect &twips, const QFont &font,
                              const QColor &text, const QColor &background, QLabel *label) {
    if (!label)
        label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(Twips::rectToPixels(twips.x(), twips.y(), twips.width(), twips.height()));
    label->setFont(font);
    label->setMouseTracking(true);
    setColours(label, text, background);
    label->installEventFilter(this);
    return label;
}

void BoardWindow::addHeaderButton(QWidget *strip, int index, int leftTwips, const QString &tip) {
    QLabel *button =
        addLabel(strip, QStringLiteral("LabAn(%1)").arg(index), QRect(leftTwips, 0, kButtonSize, kButtonSize),
                 songFont(15, true), kWhite, QColor());
    button->setAlignment(Qt::AlignCenter);
    button->setToolTip(tip);
    m_buttons[index] = button;
}

void BoardWindow::buildClockStrip() {
    QWidget *strip = addStrip(kClockStrip.name, kClockStrip.top, kClockStrip.height, kDarkGrey);
    m_headers[1] = addLabel(strip, QStringLiteral("LabMsg(1)"), QRect(0, 0, kWidth, 375), songFont(14.25),
                            kGreen, kDarkGrey);
    // The time repaints every second; painting its own ground spares the strip
    // beneath it that work.
    m_clockLabels[1] = addLabel(strip, QStringLiteral("Lab1(1)"), QRect(90, 375, 2400, 700),
                                songFont(24, true), kYellow, kDarkGrey, new ClockTimeLabel(strip));
    m_clockLabels[2] = addLabel(strip, QStringLiteral("Lab1(2)"), QRect(2490, 400, 2205, 330), songFont(10.5),
                                kRed, QColor());
    m_clockLabels[3] = addLabel(strip, QStringLiteral("Lab1(3)"), QRect(2490, 730, 2205, 330), songFont(10.5),
                                kRed, QColor());
    m_clockLabels[1]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    addHeaderButton(strip, 1, 3960, QStringLiteral("固定"));
    addHeaderButton(strip, 0, 4320, QStringLiteral("关闭"));

    // Beyond the board's right edge, so never seen; it changes the background too.
    auto *hidden = new QPushButton(QStringLiteral("添加托盘图标"), this);
    hidden->setObjectName(QStringLiteral("Command1"));
    hidden->setGeometry(Twips::rectToPixels(5040, 600, 1335, 375));
    connect(hidden, &QPushButton::clicked, this, &BoardWindow::backgroundPictureRequested);
}

void BoardWindow::buildMemoStrips() {
    QWidget *header = addStrip(kMemoHeader.name, kMemoHeader.top, kMemoHeader.height, kDarkGrey);
    m_headers[2] = addLabel(header, QStringLiteral("LabMsg(2)"), QRect(0, 0, kWidth, 375), songFont(14.25),
                            kGreen, kDarkGrey);
    m_headers[2]->setText(QStringLiteral("[我的事务]"));
    addHeaderButton(header, 4, 3600, QStringLiteral("编辑便笺"));
    addHeaderButton(header, 3, 3960, QStringLiteral("当前便笺"));
    addHeaderButton(header, 2, 4320, QStringLiteral("关闭"));
    m_memoPage =
        addStrip(kMemoPage.name, kMemoPage.top, kMemoPage.height, WindowsColour::fromWord(0x80000005));
}

void BoardWindow::buildFileBoxStrips() {
    QWidget *header = addStrip(kFileBoxHeader.name, kFileBoxHeader.top, kFileBoxHeader.height, kDarkGrey);
    m_fileBoxHeader = header;
    m_headers[3] = addLabel(header, QStringLiteral("LabMsg(3)"), QRect(0, 0, kWidth, 375), songFont(14.25),
                            kGreen, kDarkGrey);
    m_headers[3]->setText(QStringLiteral("[资料盒子]"));
    addHeaderButton(header, 8, 3240, QStringLiteral("更换背景图片"));
    addHeaderButton(header, 7, 3600, QStringLiteral("万年历"));
    addHeaderButton(header, 6, 3960, QStringLiteral("软件设置"));
    addHeaderButton(header, 5, 4320, QStringLiteral("关闭"));

    QWidget *page = addStrip(kFileBoxPage.name, kFileBoxPage.top, kFileBoxPage.height, kDarkGrey);
    m_fileBoxPage = page;
    for (int i = 0; i < kCategoryCount; ++i) {
        auto *tile = new QWidget(page);
        tile->setObjectName(QStringLiteral("Picture1(%1)").arg(i));
        tile->setGeometry(
            Twips::rectToPixels((i % 3) * kTilePitch, (i / 3) * kTilePitch, kTileSize, kTileSize));
        tile->setMouseTracking(true);
        tile->setAcceptDrops(true);
        tile->installEventFilter(this);
        m_tiles[i] = tile;
        m_categoryLabels[i] =
            addLabel(tile, QStringLiteral("LabBox(%1)").arg(i), QRect(240, 1080, 1215, 375),
                     songFont(14.25, true), WindowsColour::fromWord(WindowsColour::kButtonText), QColor());
        m_categoryLabels[i]->setAlignment(Qt::AlignCenter);
    }
    addSafePicture(m_tiles[kCategoryCount - 1]);
    m_headers[4] = addLabel(page, QStringLiteral("LabMsg(4)"), QRect(0, 4680, kWidth, 360), songFont(10.5),
                            kWhite, kDarkGrey);
    m_headers[4]->setText(m_model.diskUsageText());
}

void BoardWindow::addSafePicture(QWidget *tile) {
    // A padlock above the safe's caption; hovering and drops reach the tile beneath.
    constexpr int kSide = 32;
    QPixmap lock(kSide, kSide);
    lock.fill(Qt::transparent);
    QPainter painter(&lock);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 4));
    painter.drawArc(QRectF(8, 3, 16, 20), 0, 180 * 16);
    painter.drawLine(QPointF(8, 13), QPointF(8, 16));
    painter.drawLine(QPointF(24, 13), QPointF(24, 16));
    painter.setPen(QPen(QColor(0x8a, 0x60, 0x00), 1.5));
    painter.setBrush(QColor(0xe8, 0xb0, 0x20));
    painter.drawRoundedRect(QRectF(4, 15, 24, 15), 3, 3);
    painter.setBrush(QColor(0x40, 0x30, 0x00));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(16, 21), 2.5, 2.5);
    painter.drawRect(QRectF(15, 22, 2, 5));
    painter.end();

    auto *picture = new QLabel(tile);
    picture->setObjectName(QStringLiteral("Image2"));
    picture->setPixmap(lock);
    picture->setToolTip(QStringLiteral("加密文件"));
    picture->setGeometry(Twips::rectToPixels(547, 360, 480, 480));
}

void BoardWindow::buildStatusStrip() {
    QWidget *strip = addStrip(kStatusStrip.name, kStatusStrip.top, kStatusStrip.height, kBlack);
    m_headers[0] =
        addLabel(strip, QStringLiteral("LabMsg(0)"), QRect(0, 0, kWidth, 375), songFont(12), kRed, kBlack);
    // The CJK faces that stand in for the Song face draw a 12-point line
    // taller than the strip: the glyphs, from the top of a character to the
    // foot of a "g" or ")", are made to fit the strip and are centred in it.
    const int stripHeight = strip->height();
    const QString tallest = QStringLiteral("[国gj(|)]");
    QFont font = m_headers[0]->font();
    while (QFontMetrics(font).tightBoundingRect(tallest).height() > stripHeight - 2 && font.pointSizeF() > 6)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    m_headers[0]->setFont(font);
    const QFontMetrics metrics(font);
    const QRect ink = metrics.tightBoundingRect(tallest);
    const int top = (stripHeight - ink.height()) / 2 - (metrics.ascent() + ink.top());
    m_headers[0]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_headers[0]->setGeometry(0, top, m_headers[0]->width(), stripHeight - top);
    m_headers[0]->setText(u'[' + caption() + u']');
    if (!m_model.statusText().isEmpty())
        m_headers[0]->setText(m_model.statusText());
}

void BoardWindow::applyGeometry() {
    // Moved also where it is already: a window never moved carries no
    // position, and a window manager places it where it likes.
    move(Twips::toPixels(m_model.left()), Twips::toPixels(m_model.top()));
    setFixedHeight(Twips::toPixels(m_model.height()));
    refreshWhiteKey(this);
}

void BoardWindow::applyVisibility() {
    if (m_model.isHidden()) {
        hide();
    } else if (testAttribute(Qt::WA_WState_ExplicitShowHide)) {
        // A board never shown yet is shown by whoever finishes loading it.
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
        raise();
    }
}

void BoardWindow::applyCaptions() {
    for (int i = 0; i < kButtonCount; ++i)
        m_buttons[i]->setText(m_model.buttonCaption(i));
}

void BoardWindow::applyOnTop() {
    // In place: a new native window would close whatever is open over the board.
    SetWindowFlagKeepingPlace(this, Qt::WindowStaysOnTopHint, m_model.isOnTop());
}

void BoardWindow::applyFileBox() {
    m_headers[3]->setToolTip(m_model.fileBoxRoot());
    const auto &categories = m_model.categories();
    const QColor textColour = categoryTextColour();
    for (int i = 0; i < kCategoryCount; ++i) {
        const Category &category = categories[i];
        m_categoryLabels[i]->setText(category.caption);
        m_categoryLabels[i]->setToolTip(category.hoverText());
        m_tiles[i]->setToolTip(tileTip(category, m_model.tileTips()[i]));
        setTextColour(m_categoryLabels[i], textColour);
        const QColor tile = category.hasTileColour ? WindowsColour::fromWord(category.tileColour) : kWhite;
        // A background picture covers the tiles' own colours.
        setColours(m_tiles[i], textColour, m_hasBackground ? QColor() : tile);
    }
    refreshWhiteKey(this);
}

QColor BoardWindow::categoryTextColour() const {
    const QString text = m_model.captionColourText();
    return text.isEmpty() ? WindowsColour::fromWord(WindowsColour::kButtonText)
                          : WindowsColour::fromText(text);
}

void BoardWindow::showClockTexts(const ClockTexts &texts) {
    // Only what changed is repainted: most seconds that is the time alone.
    const QString *newTexts[] = {&texts.time, &texts.date, &texts.weekdayAndPeriod};
    QList<const QWidget *> changed;
    for (int i = 1; i <= 3; ++i) {
        if (m_clockLabels[i]->text() != *newTexts[i - 1]) {
            m_clockLabels[i]->setText(*newTexts[i - 1]);
            changed.append(m_clockLabels[i]);
        }
    }
    if (!changed.isEmpty())
        refreshWhiteKey(this, changed);
}

void BoardWindow::runTimer2(int index) {
    switch (index) {
    case 0:
        HideFromTaskList(this, false); // back from full transparency
        setTextColour(m_clockLabels[1], WindowsColour::fromWord(WindowsColour::kDesktop));
        SetWindowAlpha(this, 220);
        break;
    case 1:
        HideFromTaskList(this, false);
        setTextColour(m_clockLabels[1], kBlack);
        SetWindowAlpha(this, 100);
        break;
    case 2: {
        HideFromTaskList(this);
        setColours(this, palette().color(QPalette::WindowText),
                   WindowsColour::fromWord(WindowsColour::kCaptionText));
        setTextColour(m_clockLabels[1], kYellow);
        SetWindowWhiteKey(this);
        break;
    }
    case 3:
        Q_EMIT memosReloadRequested();
        break;
    default:
        break;
    }
}

void BoardWindow::onHeaderButtonClicked(int index) {
    switch (index) {
    case 0:
        m_model.hideToTray();
        break;
    case 1:
        m_model.toggleLock();
        break;
    case 2:
        m_model.clickMemoClose();
        break;
    case 3:
        Q_EMIT currentMemoRequested();
        break;
    case 4:
        Q_EMIT memoEditorRequested();
        break;
    case 5:
        m_model.clickFileBoxClose();
        break;
    case 6:
        Q_EMIT settingsRequested();
        break;
    case 7:
        Q_EMIT calendarToggleRequested();
        break;
    case 8:
        Q_EMIT backgroundPictureRequested();
        break;
    default:
        break;
    }
}

void BoardWindow::resetButtonHighlight() {
    unsetCursor();
    for (QLabel *button : m_buttons) {
        button->unsetCursor();
        setTextColour(button, kWhite);
    }
}

void BoardWindow::setMemoPageExpanded(bool expanded) {
    // The stretched page covers the file box and the status strip; the
    // board's design height is the measure, whatever height the board has.
    m_fileBoxHeader->setVisible(!expanded);
    m_fileBoxPage->setVisible(!expanded);
    const double height = expanded ? kFullHeight - kClockStrip.height - kMemoHeader.height : 3849.74;
    m_memoPage->setFixedHeight(Twips::toPixels(int(height + 0.5)));
    m_memoPage->raise();
    refreshWhiteKey(this);
}

void BoardWindow::setBackground(const QImage &canvas) {
    if (canvas.isNull())
        return;
    m_hasBackground = true;
    for (int i = 0; i < kCategoryCount; ++i) {
        const QRect part = BackgroundPicture::tilePart(canvas.size(), i);
        QWidget *tile = m_tiles[i];
        tile->resize(part.size());
        tile->raise();
        QPalette palette = tile->palette();
        palette.setBrush(QPalette::Window, QBrush(QPixmap::fromImage(canvas.copy(part))));
        tile->setPalette(palette);
        tile->setAutoFillBackground(true);
    }
    m_headers[4]->raise();
    refreshWhiteKey(this);
}

void BoardWindow::resetCategoryHighlight() {
    const QColor textColour = categoryTextColour();
    for (QLabel *label : m_categoryLabels) {
        label->unsetCursor();
        setTextColour(label, textColour);
    }
}

bool BoardWindow::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) {
        const int tile = indexIn(m_tiles, watched);
        if (tile >= 0)
            return handleTileDrop(tile, static_cast<QDropEvent *>(event));
    }
    if (type == QEvent::Paint && !m_painted) {
        // The strips cover the whole window, so the first paint is theirs.
        m_painted = true;
        QMetaObject::invokeMethod(this, &BoardWindow::firstPainted, Qt::QueuedConnection);
    }
    if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick)
        return QWidget::eventFilter(watched, event);
    auto *mouse = static_cast<QMouseEvent *>(event);

    if (const int button = indexIn(m_buttons, watched); button >= 0) {
        if (type == QEvent::MouseMove) {
            resetButtonHighlight();
            setTextColour(m_buttons[button], kRed);
            m_buttons[button]->setCursor(Qt::WhatsThisCursor);
            return true;
        } else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton &&
                   m_buttons[button]->rect().contains(mouse->position().toPoint())) {
            onHeaderButtonClicked(button);
        }
        return false;
    }

    if (const int header = indexIn(m_headers, watched); header >= 0) {
        if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
            m_dragStart = mouse->globalPosition().toPoint();
            m_dragOrigin = pos();
            m_dragging = true;
        } else if (type == QEvent::MouseMove) {
            resetButtonHighlight();
            Q_EMIT slotHighlightResetRequested();
            if ((mouse->buttons() & Qt::LeftButton) && m_dragging && !m_model.isLocked())
                move(m_dragOrigin + mouse->globalPosition().toPoint() - m_dragStart);
            return true;
        } else if (type == QEvent::MouseButtonRelease) {
            m_dragging = false;
        } else if (type == QEvent::MouseButtonDblClick && header == 3 && !m_model.fileBoxRoot().isEmpty()) {
            m_shell.openPath(m_model.fileBoxRoot());
        }
        return false;
    }

    if (const int category = indexIn(m_categoryLabels, watched);
        category >= 0 && type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton &&
        m_categoryLabels[category]->rect().contains(mouse->position().toPoint())) {
        Q_EMIT categoryClicked(category);
        return true;
    }
    if (type != QEvent::MouseMove)
        return QWidget::eventFilter(watched, event);
    // Each surface answers for itself: a move over a tile must not also reach
    // the page beneath it, which would reset the buttons.
    if (indexIn(m_clockLabels, watched) >= 0 || watched->objectName().startsWith(u"PicTab")) {
        resetButtonHighlight();
    } else if (const int category = indexIn(m_categoryLabels, watched); category >= 0) {
        resetCategoryHighlight();
        setTextColour(m_categoryLabels[category], kRed);
        m_categoryLabels[category]->setCursor(Qt::WhatsThisCursor);
    } else if (indexIn(m_tiles, watched) >= 0) {
        resetCategoryHighlight();
    } else {
        return false;
    }
    return true;
}

bool BoardWindow::handleTileDrop(int tile, QDropEvent *event) {
    // A category without a folder takes nothing; its tips say why.
    if (m_model.categories()[tile].hasNoFolder()) {
        event->ignore();
        return true;
    }
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths.append(QDir::toNativeSeparators(url.toLocalFile()));
    }
    if (event->type() == QEvent::DragEnter)
        Q_EMIT dragOverTile(!paths.isEmpty());
    if (paths.isEmpty()) {
        event->ignore();
        return true;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (event->type() == QEvent::Drop)
        Q_EMIT filesDropped(tile, paths);
    return true;
}

void BoardWindow::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        m_model.hideToTray();
}

void BoardWindow::closeEvent(QCloseEvent *event) {
    event->ignore();
    Q_EMIT closeRequested();
}

void BoardWindow::moveEvent(QMoveEvent *event) {
    QWidget::moveEvent(event);
    // Keep the twips of the model unless the window really moved to another pixel.
    if (Twips::toPixels(m_model.left()) != x() || Twips::toPixels(m_model.top()) != y())
        m_model.setPosition(Twips::fromPixels(y()), Twips::fromPixels(x()));
}

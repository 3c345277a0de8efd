// SPDX-License-Identifier: MIT
#include "board/BoardModel.h"

#include "board/BoardLayout.h"
#include "common/Transparency.h"

using namespace BoardLayout;

std::array<QString, 9> designCategoryCaptions() {
    return {QStringLiteral("公文"), QStringLiteral("报告"), QStringLiteral("报表"),
            QStringLiteral("图片"), QStringLiteral("音乐"), QStringLiteral("视频"),
            QStringLiteral("软件"), QStringLiteral("资料"), QStringLiteral("保险柜")};
}

BoardModel::BoardModel(QObject *parent)
    : QObject(parent)
    , m_height(kFullHeight)
    , m_currentMemoCaption(QStringLiteral("V")) {
    // The design look, kept where a hand-edited setup.ini says nothing.
    const auto captions = designCategoryCaptions();
    constexpr quint32 designColours[kCategoryCount] = {0x00C0C0FF, 0x00C0E0FF, 0x00C0FFFF,
                                                       0x00C0FFC0, 0x00FFFFC0, 0x00FFC0C0,
                                                       0x00FFC0FF, 0x00D4FF7F, 0x00EEF5FF};
    for (int i = 0; i < kCategoryCount; ++i) {
        m_categories[i].caption = captions[i];
        m_categories[i].hasTileColour = true;
        m_categories[i].tileColour = designColours[i];
    }
}

int BoardModel::width() const {
    return kWidth;
}

void BoardModel::setPosition(int top, int left) {
    if (top == m_top && left == m_left)
        return;
    m_top = top;
    m_left = left;
    Q_EMIT geometryChanged();
}

void BoardModel::setHeight(int height) {
    if (height == m_height)
        return;
    m_height = height;
    Q_EMIT geometryChanged();
}

void BoardModel::hideToTray() {
    if (!m_trayAvailable) {
        Q_EMIT minimizeRequested();
        return;
    }
    if (m_hidden)
        return;
    m_hidden = true;
    Q_EMIT captionsChanged();
    Q_EMIT visibilityChanged();
}

void BoardModel::showFromTray() {
    if (!m_hidden)
        return;
    m_hidden = false;
    Q_EMIT captionsChanged();
    Q_EMIT visibilityChanged();
}

void BoardModel::bringToFront() {
    if (!m_hidden)
        Q_EMIT raiseRequested();
}

void BoardModel::setTrayAvailable(bool available) {
    if (available == m_trayAvailable)
        return;
    m_trayAvailable = available;
    if (!available && m_hidden) {
        // Out of sight still, but where the user finds it.
        m_hidden = false;
        Q_EMIT captionsChanged();
        Q_EMIT minimizeRequested();
    }
}

void BoardModel::clickMemoClose() {
    if (!m_memoClosed) {
        m_memoClosed = true;
        setHeight(kMemoClosedHeight);
    } else {
        m_memoClosed = false;
        m_fileBoxClosed = false;
        setHeight(kFullHeight);
    }
    Q_EMIT captionsChanged();
}

void BoardModel::clickFileBoxClose() {
    if (!m_fileBoxClosed) {
        m_fileBoxClosed = true;
        setHeight(kFileBoxClosedHeight);
    } else {
        m_fileBoxClosed = false;
        setHeight(kFullHeight);
    }
    Q_EMIT captionsChanged();
}

QString BoardModel::ShowMode() const {
    QString mode = QStringLiteral("a");
    if (m_fileBoxClosed)
        mode = QStringLiteral("d");
    if (m_memoClosed)
        mode = QStringLiteral("c");
    if (m_hidden)
        mode = QStringLiteral("b");
    return mode;
}

void BoardModel::applyShowMode(const QString &code) {
    m_memoClosed = false;
    m_fileBoxClosed = false;
    int height = kFullHeight;
    m_hidden = code == u"b" && m_trayAvailable;
    if (code == u"c") {
        m_memoClosed = true;
        height = kMemoClosedHeight;
    } else if (code == u"d") {
        m_fileBoxClosed = true;
        height = kFileBoxClosedHeight;
    }
    setHeight(height);
    Q_EMIT captionsChanged();
    Q_EMIT visibilityChanged();
}

void BoardModel::setLocked(bool locked) {
    if (locked == m_locked)
        return;
    m_locked = locked;
    Q_EMIT captionsChanged();
}

void BoardModel::setOnTop(bool onTop) {
    if (onTop == m_onTop)
        return;
    m_onTop = onTop;
    Q_EMIT onTopChanged();
}

void BoardModel::setCalendarChecked(bool checked) {
    if (checked == m_calendarChecked)
        return;
    m_calendarChecked = checked;
    Q_EMIT calendarCheckedChanged();
}

void BoardModel::applyTransparency(const QString &code) {
    m_transparencyCode = code;
    if (const int level = Transparency::levelOf(code); level >= 0)
        requestTimer2(level);
}

void BoardModel::requestTimer2(int index) {
    Q_EMIT timer2Requested(index);
}

QString BoardModel::buttonCaption(int index) const {
    switch (index) {
    case 0:
        return m_hidden ? kClosedGlyph : kOpenGlyph;
    case 1:
        return m_locked ? kPinnedGlyph : kFreeGlyph;
    case 2:
        return m_memoClosed ? kClosedGlyph : kOpenGlyph;
    case 3:
        return m_currentMemoCaption;
    case 4:
        return QStringLiteral("E");
    case 5:
        return m_fileBoxClosed ? kClosedGlyph : kOpenGlyph;
    case 6:
        return QStringLiteral("S");
    case 7:
        return QStringLiteral("D");
    case 8:
        return QStringLiteral("P");
    default:
        return QString();
    }
}

void BoardModel::setCurrentMemoCaption(const QString &caption) {
    if (caption == m_currentMemoCaption)
        return;
    m_currentMemoCaption = caption;
    Q_EMIT captionsChanged();
}

void BoardModel::setUserNameText(const QString &text) {
    m_userNameText = text;
    Q_EMIT userNameChanged();
}

void BoardModel::setFileBox(const QString &root, const QString &captionColourText,
                            const std::array<Category, 9> &categories) {
    m_fileBoxRoot = root;
    m_captionColourText = captionColourText;
    m_categories = categories;
    Q_EMIT fileBoxChanged();
}

void BoardModel::showStatus(const QString &text) {
    if (text == m_statusText)
        return;
    m_statusText = text;
    Q_EMIT statusChanged();
}

void BoardModel::setDiskUsage(const QString &line, const std::array<QString, 9> &tileTips) {
    m_diskUsageText = line;
    m_tileTips = tileTips;
    Q_EMIT diskUsageChanged();
}

// SPDX-License-Identifier: MIT
#include "memos/MemoPage.h"

#include "common/Fonts.h"
#include "common/StatusLine.h"
#include "common/Twips.h"
#include "common/WindowsColour.h"
#include "memos/MemoSlots.h"
#include "memos/RtfReader.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTextEdit>

namespace {

// Title backgrounds of the nine rows, as colour words.
constexpr quint32 kRowColours[9] = {0x00C0C0FF, 0x00C0E0FF, 0x00C0FFFF, 0x00C0FFC0, 0x00FFFFC0,
                                    0x00FFC0C0, 0x00FFC0FF, 0x00D4FF7F, 0x00EEF5FF};
constexpr int kRowPitch = 240;
constexpr int kRowHeight = 255;
constexpr int kPreviewTop = 2160;
constexpr int kPreviewHeight = 1695;
constexpr int kExpandedPreviewHeight = 1695 + 375 + 5055 + 278 - 50;

void paint(QWidget *widget, const QColor &text, const QColor &background) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::Base, background);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

QString scheduleStatusText(int number, const QString &period, const QString &date, const QString &time) {
    if (period == u"日")
        return QStringLiteral("便笺[%1]提醒时间：时/日 %2").arg(number).arg(time);
    return QStringLiteral("便笺[%1]提醒时间：%2日/%3 %4").arg(number).arg(date, period, time);
}

MemoPage::MemoPage(MemoSlots &slots, StatusLine &status, QString appFolder, QWidget *parent)
    : QWidget(parent)
    , m_slots(slots)
    , m_status(status)
    , m_appFolder(std::move(appFolder)) {
    setObjectName(QStringLiteral("MemoPage"));
    // A rich-text box starts in 9 point Song like the rest of the page; the
    // preview takes it from here when it is built.
    setFont(songFont(9));
    for (int n = 0; n < 9; ++n) {
        auto *check = new QCheckBox(this);
        check->setObjectName(QStringLiteral("Ck1(%1)").arg(n));
        check->setGeometry(Twips::rectToPixels(0, kRowPitch * n, 495, kRowHeight));
        check->setFont(songFont(9));
        paint(check, Qt::white, Qt::black);
        // The whole cell, caption included, takes the row's colours (a button
        // would paint its own light background); the box itself stays white
        // with a black tick, so that it shows on black and on the red hover.
        check->setBackgroundRole(QPalette::Window);
        QPalette box = check->palette();
        box.setColor(QPalette::Base, Qt::white);
        box.setColor(QPalette::Text, Qt::black);
        check->setPalette(box);
        connect(check, &QCheckBox::clicked, this, [this, n](bool on) { m_slots.setEnabled(n, on ? 1 : 0); });
        m_checks[n] = check;

        auto *time = new QLabel(this);
        time->setObjectName(QStringLiteral("LabTime(%1)").arg(n));
        time->setGeometry(Twips::rectToPixels(480, kRowPitch * n, 975, kRowHeight));
        time->setFont(songFont(9));
        time->setAlignment(Qt::AlignCenter);
        paint(time, Qt::white, WindowsColour::fromWord(WindowsColour::kDesktop));
        m_times[n] = time;

        auto *title = new QLabel(this);
        title->setObjectName(QStringLiteral("LabCall(%1)").arg(n));
        title->setGeometry(Twips::rectToPixels(1440, kRowPitch * n, 3255, kRowHeight));
        title->setFont(songFont(9));
        m_titles[n] = title;
        for (QWidget *widget :
             {static_cast<QWidget *>(check), static_cast<QWidget *>(time), static_cast<QWidget *>(title)}) {
            widget->setMouseTracking(true);
            widget->installEventFilter(this);
        }
        mirrorSlot(n);
    }
    m_preview = new QTextEdit(this);
    m_preview->setObjectName(QStringLiteral("ShowMemo"));
    m_preview->setReadOnly(true);
    m_preview->setToolTip(QStringLiteral("双击查看内容"));
    m_preview->setGeometry(Twips::rectToPixels(0, kPreviewTop, 4695, kPreviewHeight));
    m_preview->viewport()->setMouseTracking(true);
    m_preview->viewport()->installEventFilter(this);
    paint(m_preview, WindowsColour::fromWord(0x80000008), WindowsColour::fromWord(0x80000005));

    connect(&m_slots, &MemoSlots::slotChanged, this, &MemoPage::mirrorSlot);
    connect(&m_slots, &MemoSlots::previewColourChanged, this, &MemoPage::mirrorColour);
    connect(&m_slots, &MemoSlots::bodyReloadRequested, this, [this] {
        if (const auto current = m_slots.currentMemo())
            loadBody(*current);
    });
}

void MemoPage::mirrorSlot(int n) {
    const MemoSlot &slot = m_slots.slot(n);
    m_checks[n]->setChecked(slot.enabled != 0);
    m_checks[n]->setText(slot.period);
    m_times[n]->setText(slot.time);
    m_times[n]->setToolTip(slot.date);
    m_titles[n]->setText(slot.title);
    QColor text = WindowsColour::fromWord(0x80000008);
    if (m_slots.titleMark(n) == TitleMark::Today)
        text = Qt::red;
    else if (m_slots.titleMark(n) == TitleMark::OtherDay)
        text = Qt::black;
    paint(m_titles[n], text, WindowsColour::fromWord(kRowColours[n]));
}

void MemoPage::mirrorColour() {
    QPalette palette = m_preview->palette();
    palette.setColor(QPalette::Base, WindowsColour::fromText(m_slots.previewColourText()));
    m_preview->setPalette(palette);
}

void MemoPage::setExpanded(bool expanded) {
    m_expanded = expanded;
    m_preview->setFixedHeight(Twips::toPixels(expanded ? kExpandedPreviewHeight : kPreviewHeight));
}

void MemoPage::loadBody(int number) {
    QFile file(m_appFolder + QStringLiteral("M%1.rtf").arg(number));
    if (file.open(QIODevice::ReadOnly))
        RtfReader::read(file.readAll(), *m_preview->document());
}

void MemoPage::resetSlotHighlight() {
    for (int n = 0; n < 9; ++n) {
        QPalette time = m_times[n]->palette();
        time.setColor(QPalette::Window, WindowsColour::fromWord(WindowsColour::kDesktop));
        m_times[n]->setPalette(time);
        QPalette check = m_checks[n]->palette();
        check.setColor(QPalette::Window, Qt::black);
        m_checks[n]->setPalette(check);
    }
}

void MemoPage::editCurrentMemo() {
    const int n = m_slots.currentMemoOrFirst();
    m_slots.setCurrentMemo(n);
    Q_EMIT editorRequested(n, false);
}

void MemoPage::clickTitle(int n) {
    m_preview->clear();
    const MemoSlot &slot = m_slots.slot(n);
    if (slot.enabled != 1)
        return;
    m_slots.setCurrentMemo(n);
    loadBody(n);
    m_status.showStatus(scheduleStatusText(n, slot.period, slot.date, slot.time));
}

bool MemoPage::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if (m_preview && watched == m_preview->viewport()) {
        if (type == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            Q_EMIT expandToggled();
        } else if (type == QEvent::MouseButtonDblClick) {
            Q_EMIT editorRequested(m_slots.currentMemoOrFirst(), true);
            return true;
        } else if (type == QEvent::MouseMove) {
            QApplication::restoreOverrideCursor();
            resetSlotHighlight();
            Q_EMIT headerHighlightResetRequested();
        }
        return false;
    }
    for (int n = 0; n < 9; ++n) {
        if (watched == m_times[n]) {
            if (type == QEvent::MouseButtonDblClick) {
                m_slots.setCurrentMemo(n);
                Q_EMIT editorRequested(n, false);
                return true;
            }
            if (type == QEvent::MouseMove) {
                resetSlotHighlight();
                for (QWidget *widget :
                     {static_cast<QWidget *>(m_times[n]), static_cast<QWidget *>(m_checks[n])}) {
                    QPalette palette = widget->palette();
                    palette.setColor(QPalette::Window, Qt::red);
                    widget->setPalette(palette);
                }
                m_times[n]->setCursor(Qt::WhatsThisCursor);
                return true;
            }
        } else if (watched == m_titles[n]) {
            if (type == QEvent::MouseButtonRelease &&
                static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
                clickTitle(n);
                return true;
            }
            if (type == QEvent::MouseMove) {
                resetSlotHighlight();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

// SPDX-License-Identifier: MIT
#include "memos/MissedRemindersWindow.h"

#include "common/Fonts.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

MissedRemindersWindow::MissedRemindersWindow(QWidget *parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("MissedReminders"));
    setWindowTitle(QStringLiteral("错过的提醒"));
    setFont(songFont(10.5));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("程序未运行或电脑休眠时到期的提醒（单击打开）："), this));
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("MissedList"));
    m_list->installEventFilter(this);
    layout->addWidget(m_list);
    // A click opens; activation is left alone, since styles that activate on
    // a single click would open the memo twice.
    connect(m_list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { Q_EMIT memoRequested(item->data(Qt::UserRole).toInt()); });
    setFocusProxy(m_list);
    // Enter reaches the list even before the window is first activated.
    m_list->setFocus();
    resize(460, 260);
}

QString MissedRemindersWindow::lineOf(const MissedReminder &reminder) {
    return QStringLiteral("%1  便笺[%2] %3")
        .arg(reminder.due.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
        .arg(reminder.number)
        .arg(reminder.title);
}

void MissedRemindersWindow::add(const QList<MissedReminder> &reminders) {
    m_reminders = mergeMissed(m_reminders, reminders);
    m_list->clear();
    for (const MissedReminder &reminder : m_reminders) {
        auto *item = new QListWidgetItem(lineOf(reminder), m_list);
        item->setData(Qt::UserRole, reminder.number);
    }
    m_list->setCurrentRow(0);
}

bool MissedRemindersWindow::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_list->currentItem()) {
            Q_EMIT memoRequested(m_list->currentItem()->data(Qt::UserRole).toInt());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

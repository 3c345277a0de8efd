// SPDX-License-Identifier: MIT
#include "filebox/DropProgressDialog.h"

#include "filebox/DropHandler.h"

#include <QApplication>
#include <QLocale>
#include <QProgressDialog>

DropProgressDialog::DropProgressDialog(QWidget *owner, int showAfterMs)
    : m_owner(owner)
    , m_showAfterMs(showAfterMs) {
    setBusyPointer(true);
}

DropProgressDialog::~DropProgressDialog() {
    if (m_handler) {
        m_handler->progress = nullptr;
        m_handler->itemBytes = nullptr;
        m_handler->asking = nullptr;
    }
    setBusyPointer(false);
}

void DropProgressDialog::follow(DropHandler &handler) {
    m_handler = &handler;
    handler.progress = [this](int index, int total, const QString &path) { item(index, total, path); };
    handler.itemBytes = [this](std::uint64_t done, std::uint64_t total) { bytes(done, total); };
    handler.asking = [this](bool open) { asking(open); };
}

void DropProgressDialog::item(int index, int total, const QString &path) {
    m_index = index;
    m_total = total;
    m_path = path;
    m_bytesDone = 0;
    m_bytesTotal = 0;
    if (!m_working.isValid())
        m_working.start();
    update();
}

void DropProgressDialog::bytes(std::uint64_t done, std::uint64_t total) {
    m_bytesDone = done;
    m_bytesTotal = total;
    update();
}

void DropProgressDialog::asking(bool open) {
    if (open) {
        // A window that took the keyboard would leave the question's keys to nothing.
        if (m_dialog)
            m_dialog->hide();
        m_working.invalidate();
    }
    setBusyPointer(!open);
}

QString DropProgressDialog::labelText() const {
    const QLocale locale;
    QString text = QStringLiteral("第 %1/%2 项：").arg(m_index + 1).arg(m_total) + m_path;
    if (m_bytesTotal > 0)
        text += u'\n' + locale.formattedDataSize(qint64(m_bytesDone)) + QStringLiteral(" / ") +
                locale.formattedDataSize(qint64(m_bytesTotal));
    return text;
}

bool DropProgressDialog::isShown() const {
    return m_dialog && m_dialog->isVisible();
}

void DropProgressDialog::update() {
    // Only while items are copied, and only once that has gone on a while.
    if (!m_working.isValid() || (!isShown() && m_working.elapsed() < m_showAfterMs))
        return;
    if (!m_dialog) {
        m_dialog = std::make_unique<QProgressDialog>(m_owner);
        m_dialog->setWindowTitle(QStringLiteral("资料盒子"));
        // The drop's questions and balloons come in their order; it is not cancelled halfway.
        m_dialog->setCancelButton(nullptr);
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->setRange(0, 1000);
        // Shown by the first value below, never by its own timer.
        m_dialog->setMinimumDuration(0);
    }
    m_dialog->setLabelText(labelText());
    if (!m_dialog->isVisible())
        m_dialog->show();
    // Items count in whole steps, the current one by its bytes.
    const double itemShare = m_bytesTotal > 0 ? double(m_bytesDone) / double(m_bytesTotal) : 0.0;
    const double overall = m_total > 0 ? (m_index + itemShare) / m_total : 0.0;
    // A modal progress window lets the board repaint here.
    m_dialog->setValue(qBound(1, int(overall * 1000), 999));
}

void DropProgressDialog::setBusyPointer(bool busy) {
    if (busy == m_busyPointer)
        return;
    m_busyPointer = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

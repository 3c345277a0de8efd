// SPDX-License-Identifier: MIT
#include "filebox/DropProgressDialog.h"

#include <QLocale>
#include <QProgressDialog>

DropProgressDialog::DropProgressDialog(QWidget *owner, int showAfterMs)
    : m_dialog(std::make_unique<QProgressDialog>(owner)) {
    m_dialog->setWindowTitle(QStringLiteral("资料盒子"));
    // The drop's questions and balloons come in their order; it is not cancelled halfway.
    m_dialog->setCancelButton(nullptr);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(showAfterMs);
    m_dialog->setRange(0, 1000);
    m_dialog->setValue(0);
}

DropProgressDialog::~DropProgressDialog() = default;

void DropProgressDialog::item(int index, int total, const QString &path) {
    m_index = index;
    m_total = total;
    m_path = path;
    m_bytesDone = 0;
    m_bytesTotal = 0;
    update();
}

void DropProgressDialog::bytes(std::uint64_t done, std::uint64_t total) {
    m_bytesDone = done;
    m_bytesTotal = total;
    update();
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
    return m_dialog->isVisible();
}

void DropProgressDialog::update() {
    m_dialog->setLabelText(labelText());
    // Items count in whole steps, the current one by its bytes.
    const double itemShare = m_bytesTotal > 0 ? double(m_bytesDone) / double(m_bytesTotal) : 0.0;
    const double overall = m_total > 0 ? (m_index + itemShare) / m_total : 0.0;
    // Past its delay the dialog shows itself here and lets the board repaint.
    m_dialog->setValue(qBound(1, int(overall * 1000), 999));
}

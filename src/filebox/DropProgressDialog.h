// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <memory>

class DropHandler;
class QProgressDialog;
class QWidget;

/// What a drop shows while it runs: the busy pointer, and once items have
/// been copied or encrypted for showAfterMs, a modal window naming the current
/// item and the bytes done of its total, while the board goes on painting.
/// Short drops show no window. Both get out of the way of the drop's questions
/// and windows, and come back after them.
class DropProgressDialog final {
public:
    explicit DropProgressDialog(QWidget *owner, int showAfterMs = 1000);
    ~DropProgressDialog();
    DropProgressDialog(const DropProgressDialog &) = delete;
    DropProgressDialog &operator=(const DropProgressDialog &) = delete;

    /// Takes the handler's feedback hooks for the life of this object.
    void follow(DropHandler &handler);

    /// The item number (from 0) of total that is under way.
    void item(int index, int total, const QString &path);
    void bytes(std::uint64_t done, std::uint64_t total);
    /// A question or window of the drop opens (true) or has closed (false).
    void asking(bool open);

    QString labelText() const;
    bool isShown() const;

private:
    void update();
    void setBusyPointer(bool busy);

    QWidget *m_owner;
    int m_showAfterMs;
    std::unique_ptr<QProgressDialog> m_dialog; // made when first due
    QElapsedTimer m_working;                   // since copying went on after the last question
    DropHandler *m_handler = nullptr;
    bool m_busyPointer = false;
    QString m_path;
    int m_index = 0;
    int m_total = 0;
    std::uint64_t m_bytesDone = 0;
    std::uint64_t m_bytesTotal = 0;
};

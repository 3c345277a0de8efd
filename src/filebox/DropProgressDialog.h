// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>
#include <memory>

class QProgressDialog;
class QWidget;

/// What a long drop shows: once it has run for showAfterMs, a modal dialog
/// names the current item and the bytes done of its total, and the board
/// goes on painting. Short drops show nothing.
class DropProgressDialog final {
public:
    explicit DropProgressDialog(QWidget *owner, int showAfterMs = 1000);
    ~DropProgressDialog();
    DropProgressDialog(const DropProgressDialog &) = delete;
    DropProgressDialog &operator=(const DropProgressDialog &) = delete;

    /// The item number (from 0) of total that is under way.
    void item(int index, int total, const QString &path);
    void bytes(std::uint64_t done, std::uint64_t total);

    QString labelText() const;
    bool isShown() const;

private:
    void update();

    std::unique_ptr<QProgressDialog> m_dialog;
    QString m_path;
    int m_index = 0;
    int m_total = 0;
    std::uint64_t m_bytesDone = 0;
    std::uint64_t m_bytesTotal = 0;
};

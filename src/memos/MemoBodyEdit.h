// SPDX-License-Identifier: MIT
#pragma once

#include <QTextEdit>

/// The memo editor's body: a rich-text box that also takes pictures from
/// the clipboard (a screenshot, a copied image), kept in the document so
/// that the body file stores them.
class MemoBodyEdit final : public QTextEdit {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MemoBodyEdit)
public:
    explicit MemoBodyEdit(QWidget *parent = nullptr);

    /// Puts image into the body at the cursor, no wider than the box shows.
    void insertPicture(const QImage &image);

protected:
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    int m_pictures = 0;
};

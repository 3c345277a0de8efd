// SPDX-License-Identifier: MIT
#include "crypto/FileSafeWindow.h"

#include "common/FolderPath.h"
#include "crypto/FileSafe.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>

namespace {
QPushButton *addButton(QWidget *parent, const QString &name, const QString &caption) {
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}
} // namespace

FileSafeWindow::FileSafeWindow(FileSafe &safe, QWidget *parent)
    : QDialog(parent)
    , m_safe(safe) {
    setObjectName(QStringLiteral("Q_CRYPT"));
    setWindowTitle(QStringLiteral("文件保险柜"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_drives = new QComboBox(this);
    m_drives->setObjectName(QStringLiteral("Drive1"));
    m_folders = new QListWidget(this);
    m_folders->setObjectName(QStringLiteral("Dir1"));
    m_files = new QListWidget(this);
    m_files->setObjectName(QStringLiteral("File1"));

    auto *operations = new QGroupBox(QStringLiteral("[文件加解密]"), this);
    auto *grid = new QGridLayout(operations);
    const QString labels[3] = {QStringLiteral("保存路径："), QStringLiteral("解密文件："),
                               QStringLiteral("加密文件：")};
    const char *commands[3] = {"Command3", "Command1", "Command2"};
    const QString actions[3] = {QStringLiteral("打开"), QStringLiteral("解密"), QStringLiteral("加密")};
    QPushButton *choose[3] = {};
    QPushButton *act[3] = {};
    // Rows top to bottom: file to encrypt, file to decrypt, result folder.
    const int rowOf[3] = {2, 1, 0};
    for (int box = 0; box < 3; ++box) {
        const int row = rowOf[box];
        m_paths[box] = new QLineEdit(operations);
        m_paths[box]->setObjectName(QStringLiteral("Text1(%1)").arg(box));
        m_paths[box]->setReadOnly(true);
        choose[box] = addButton(operations, QStringLiteral("%1(0)").arg(QLatin1String(commands[box])),
                                QStringLiteral("选择"));
        act[box] =
            addButton(operations, QStringLiteral("%1(1)").arg(QLatin1String(commands[box])), actions[box]);
        grid->addWidget(new QLabel(labels[box], operations), row, 0);
        grid->addWidget(m_paths[box], row, 1);
        grid->addWidget(choose[box], row, 2);
        grid->addWidget(act[box], row, 3);
    }
    m_checks[0] = new QCheckBox(QStringLiteral("解密后自动打开文件"), operations);
    m_checks[1] = new QCheckBox(QStringLiteral("仅显示已加密文件"), operations);
    for (int i = 0; i < 2; ++i) {
        m_checks[i]->setObjectName(QStringLiteral("Check1(%1)").arg(i));
        grid->addWidget(m_checks[i], 3, 1 + i * 2, 1, i == 0 ? 2 : 1);
    }

    auto *history = new QGroupBox(QStringLiteral("[历史操作记录]"), this);
    m_log = new QTextEdit(history);
    m_log->setObjectName(QStringLiteral("BoxLog"));
    m_log->setReadOnly(true);
    m_log->setLineWrapMode(QTextEdit::NoWrap);
    (new QVBoxLayout(history))->addWidget(m_log);

    auto *layout = new QGridLayout(this);
    layout->addWidget(m_drives, 0, 0);
    layout->addWidget(m_folders, 1, 0);
    layout->addWidget(m_files, 0, 1, 2, 1);
    layout->addWidget(operations, 2, 0, 1, 2);
    layout->addWidget(history, 3, 0, 1, 2);
    resize(640, 560);

    m_safe.load();
    m_drives->addItems(FileSafe::drives());
    showFolder();
    showPaths();
    showLog();

    connect(m_drives, &QComboBox::activated, this, [this](int index) {
        m_safe.setDrive(m_drives->itemText(index));
        showFolder();
    });
    connect(m_folders, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        m_safe.setFolder(item->data(Qt::UserRole).toString());
        showFolder();
    });
    connect(m_files, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        m_safe.fileClicked(item->text());
        showPaths();
    });
    connect(m_checks[0], &QCheckBox::toggled, this, [this](bool on) { m_safe.openAfterDecrypt = on; });
    connect(m_checks[1], &QCheckBox::toggled, this, [this](bool on) {
        m_safe.setOnlyEncrypted(on);
        showFiles();
    });
    connect(choose[1], &QPushButton::clicked, this, [this] {
        m_safe.chooseFileToDecrypt(this);
        showPaths();
    });
    connect(choose[2], &QPushButton::clicked, this, [this] {
        m_safe.chooseFileToEncrypt(this);
        showPaths();
    });
    connect(choose[0], &QPushButton::clicked, this, [this] {
        m_safe.chooseResultFolder(this);
        showPaths();
    });
    connect(act[0], &QPushButton::clicked, this, [this] { m_safe.openResultFolder(); });
    connect(act[1], &QPushButton::clicked, this, [this] { runBusy([this] { m_safe.decrypt(); }); });
    connect(act[2], &QPushButton::clicked, this, [this] { runBusy([this] { m_safe.encrypt(); }); });
}

void FileSafeWindow::runBusy(const std::function<void()> &work) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    work();
    QApplication::restoreOverrideCursor();
    showFiles();
    showLog();
}

void FileSafeWindow::showFolder() {
    const QString drive = m_safe.drive();
    const int index = m_drives->findText(drive);
    if (index >= 0)
        m_drives->setCurrentIndex(index);
    // Like a folder tree opened down to the browsed folder: its ancestors from
    // the root, the folder itself, then its subfolders one step further in.
    m_folders->clear();
    m_folders->setToolTip(m_safe.folder());
    // Up the text of the path, not the disk: a folder that vanished
    // meanwhile must not stop the walk short of the root.
    QStringList chain;
    for (QString path = QDir::cleanPath(QDir(m_safe.folder()).absolutePath());;) {
        chain.prepend(path);
        const QString parent = QFileInfo(path).path();
        if (parent == path)
            break;
        path = parent;
    }
    const auto addEntry = [this](const QString &path, int depth) {
        const QString name =
            QDir(path).isRoot() ? QDir::toNativeSeparators(path) : QFileInfo(path).fileName();
        auto *item = new QListWidgetItem(QString(depth * 2, u' ') + name, m_folders);
        item->setData(Qt::UserRole, path);
        return item;
    };
    for (int i = 0; i < chain.size(); ++i)
        addEntry(chain[i], i);
    m_folders->setCurrentRow(int(chain.size()) - 1);
    const QString base = withTrailingSeparator(chain.last());
    for (const QString &name : m_safe.subfolders())
        addEntry(base + name, int(chain.size()));
    showFiles();
}

void FileSafeWindow::showFiles() {
    m_files->clear();
    m_files->addItems(m_safe.files());
}

void FileSafeWindow::showPaths() {
    m_paths[0]->setText(m_safe.resultFolder);
    m_paths[1]->setText(m_safe.decryptPath);
    m_paths[2]->setText(m_safe.encryptPath);
}

void FileSafeWindow::showLog() {
    m_log->setPlainText(m_safe.logText());
    m_log->moveCursor(QTextCursor::End);
    m_log->verticalScrollBar()->setValue(m_log->verticalScrollBar()->maximum());
}

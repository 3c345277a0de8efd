// SPDX-License-Identifier: MIT
// The anchor of the process benchmarks: one plain window with one label. With
// --exit-after-show it prints "shown" after its first paint and ends; with
// --idle it runs two bare one-second timers until it is ended; with --clock
// one of them also sets the label to the time, the least a clock does; with
// --chinese the label reads "便笺" before the time, in the Song face's stand-in
// the board draws its Chinese with: what that face alone costs any window.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QTime>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>

namespace {
class Window final : public QWidget {
public:
    bool exitAfterShow = false;

protected:
    void paintEvent(QPaintEvent *) override {
        if (exitAfterShow && !m_done) {
            m_done = true;
            QTimer::singleShot(0, this, [] {
                std::puts("shown");
                std::fflush(stdout);
                QApplication::quit();
            });
        }
    }

private:
    bool m_done = false;
};
} // namespace

int main(int argc, char *argv[]) {
    QApplication application(argc, argv);
    Window window;
    window.resize(313, 731);
    auto *label = new QLabel(QTime(12, 0).toString(QStringLiteral("HH:mm:ss")), &window);
    label->setGeometry(6, 25, 160, 47);
    QTimer first;
    QTimer second;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--exit-after-show") == 0)
            window.exitAfterShow = true;
        if (std::strcmp(argv[i], "--chinese") == 0) {
            label->setFont(QFont(QStringLiteral("Noto Serif CJK SC")));
            label->setText(QStringLiteral("便笺 ") + label->text());
        }
        if (std::strcmp(argv[i], "--clock") == 0) {
            QObject::connect(&first, &QTimer::timeout, label, [label] {
                label->setText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
            });
        }
        if (std::strcmp(argv[i], "--idle") == 0 || std::strcmp(argv[i], "--clock") == 0) {
            first.start(1000);
            second.start(1000);
        }
    }
    window.show();
    return QApplication::exec();
}

// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;

/// The first window of the run: the program's name and version, shown while
/// the start-up goes on.
class SplashWindow final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SplashWindow)
public:
    explicit SplashWindow(QWidget *parent = nullptr);

    /// "Ver " + major + "." + minor.
    static QString versionText();

protected:
    void paintEvent(QPaintEvent *event) override;
};

/// Lets the user interface run until the clock, read in whole seconds, has
/// passed seconds more: between seconds − 1 and seconds. It sleeps in the
/// event loop rather than spinning.
void PauseSeconds(int seconds);

// SPDX-License-Identifier: MIT
// Writes the program's icon into a hicolor theme tree at build time:
// icon-writer DIR NAME SIZE... gives DIR/hicolor/NxN/apps/NAME.png per size
// and DIR/hicolor/scalable/apps/NAME.svg.
#include "shell/AppIcon.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[]) {
    if (argc < 4) {
        std::fputs("usage: icon-writer DIR NAME SIZE...\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QString root = QFile::decodeName(argv[1]) + QStringLiteral("/hicolor/");
    const QString name = QFile::decodeName(argv[2]);
    for (int i = 3; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        const QString folder = root + QStringLiteral("%1x%1/apps/").arg(size);
        if (size <= 0 || !QDir().mkpath(folder) ||
            !appIconImage(size).save(folder + name + QStringLiteral(".png"))) {
            std::fprintf(stderr, "icon-writer: cannot write the %s icon\n", argv[i]);
            return 1;
        }
    }
    const QString scalable = root + QStringLiteral("scalable/apps/");
    QFile svg(scalable + name + QStringLiteral(".svg"));
    if (!QDir().mkpath(scalable) || !svg.open(QIODevice::WriteOnly) || svg.write(appIconSvg().toUtf8()) < 0) {
        std::fputs("icon-writer: cannot write the scalable icon\n", stderr);
        return 1;
    }
    return 0;
}

// SPDX-License-Identifier: MIT
#include "filebox/DiskUsage.h"

#include <QFile>

#include <cfenv>
#include <cmath>
#include <filesystem>

namespace DiskUsage {

QString twoDecimals(double value) {
    // Hundredths, rounded half to even as the original rounding does.
    const double hundredths = std::nearbyint(value * 100.0);
    QString text = QString::number(hundredths / 100.0, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    if (text == u"-0")
        text = QStringLiteral("0");
    return text;
}

QString megabytes(std::uint64_t bytes) {
    QString text = twoDecimals(double(bytes) / 1024.0 / 1024.0) + u'M';
    if (text.startsWith(u'.'))
        text.prepend(u'0');
    return text;
}

QString gigabytes(std::uint64_t bytes) {
    return twoDecimals(double(bytes) / 1024.0 / 1024.0 / 1024.0) + u'G';
}

TreeSizes measure(const QString &root, const std::array<QString, 9> &captions) {
    namespace fs = std::filesystem;
    TreeSizes sizes;
    const fs::path rootPath(QFile::encodeName(root).toStdString());
    std::error_code error;
    fs::recursive_directory_iterator it(rootPath, fs::directory_options::skip_permission_denied, error);
    const fs::recursive_directory_iterator end;
    int currentCategory = -1;
    for (; !error && it != end; it.increment(error)) {
        if (it.depth() == 0) {
            // A folder right below the root: which category, if any.
            currentCategory = -1;
            const QString name = QFile::decodeName(QByteArray::fromStdString(it->path().filename().string()));
            for (int i = 0; i < 9; ++i) {
                if (name == captions[i]) {
                    currentCategory = i;
                    break;
                }
            }
        }
        std::error_code statError;
        if (!it->is_regular_file(statError) || it->is_symlink(statError))
            continue;
        const std::uintmax_t size = it->file_size(statError);
        if (statError)
            continue;
        sizes.root += size;
        if (it.depth() > 0 && currentCategory >= 0)
            sizes.categories[currentCategory] += size;
    }
    return sizes;
}

QString usageLine(std::uint64_t volumeTotal, std::uint64_t volumeFree, std::uint64_t rootBytes) {
    return QStringLiteral("[磁盘:") + gigabytes(volumeTotal) + QStringLiteral(" 已用:") +
           megabytes(rootBytes) + QStringLiteral(" 剩余:") + gigabytes(volumeFree) + u']';
}

QString tileTip(std::uint64_t bytes) {
    return QStringLiteral("占用：") + megabytes(bytes);
}

} // namespace DiskUsage

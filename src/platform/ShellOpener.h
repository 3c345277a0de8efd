// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

/// Opens folders, files and web addresses with the desktop's default action.
class ShellOpener {
public:
    virtual ~ShellOpener() = default;
    /// A local folder or file.
    virtual bool openPath(const QString &path) = 0;
    /// A web address.
    virtual bool openUrl(const QString &url) = 0;
};

class DesktopShellOpener final : public ShellOpener {
public:
    bool openPath(const QString &path) override;
    bool openUrl(const QString &url) override;
};

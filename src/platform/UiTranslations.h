// SPDX-License-Identifier: MIT
#pragma once

class QCoreApplication;

/// Puts Qt's own texts (dialog buttons, the file choosers' labels) into the
/// interface's language, Chinese, whatever the session's locale. False when
/// Qt's Chinese catalogue is not installed: those texts then stay English.
bool installQtTranslations(QCoreApplication &application);

// SPDX-License-Identifier: MIT
// The calendar page as the build made it, and its script's answers, for the
// tests that run it in the real web engine.
#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

inline QString builtPage() {
    return qEnvironmentVariable("TACKORA_BINARY_DIR") + QStringLiteral("/bin/wnl.dat");
}

// The value of script in view's page, waiting for it.
inline QVariant evaluate(QWebEngineView *view, const QString &script) {
    QVariant result;
    bool done = false;
    view->page()->runJavaScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        qWarning("script did not answer: %s", qPrintable(script));
    return result;
}

inline QJsonObject evaluateJson(QWebEngineView *view, const QString &script) {
    return QJsonDocument::fromJson(evaluate(view, script).toString().toUtf8()).object();
}

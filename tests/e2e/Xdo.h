#pragma once

#include "Ceiling.h"

#include <QEventLoop>
#include <QProcess>

namespace tw::test {

// Runs xdotool to its end while this program goes on handling its events;
// what it prints goes to `out`.
inline bool xdo(const QStringList &args, QByteArray *out = nullptr)
{
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    process.start(QStringLiteral("xdotool"), args);
    if (!process.waitForStarted(kCeiling))
        return false;
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    if (out)
        *out = process.readAllStandardOutput().trimmed();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace tw::test

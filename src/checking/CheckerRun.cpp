#include "checking/CheckerRun.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tw::checking {

namespace {

QString &setPath()
{
    static QString path;
    return path;
}

const QString kProgram = QStringLiteral("tagwright-check");

} // namespace

int checkSeconds()
{
    const int seconds = qEnvironmentVariableIntValue("TAGWRIGHT_CHECK_SECONDS");
    return seconds > 0 ? seconds : kCheckSeconds;
}

void setCheckerPath(const QString &path)
{
    setPath() = path;
}

QString checkerPath()
{
    if (!setPath().isEmpty())
        return setPath();
    QStringList candidates;
    if (QCoreApplication::instance()) {
        const QDir programDir(QCoreApplication::applicationDirPath());
        candidates << programDir.filePath(kProgram)
                   << QDir::cleanPath(programDir.filePath(QStringLiteral("../" TW_INSTALL_LIBDIR "/tagwright/") + kProgram));
    }
    candidates << QStringLiteral(TW_INSTALLED_CHECKER_DIR "/") + kProgram;
    for (const QString &candidate : candidates)
        if (QFileInfo(candidate).isExecutable())
            return candidate;
    return candidates.first();
}

CheckerRun::CheckerRun(const QByteArray &bytes, Input input, QObject *parent)
    : QObject(parent), m_process(this), m_bound(this), m_input(checkerInput(bytes, input))
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_bound.setSingleShot(true);
    m_bound.setInterval(checkSeconds() * 1000);
    connect(&m_bound, &QTimer::timeout, this, [this] {
        end(QStringLiteral("the check took longer than %1 seconds").arg(m_bound.interval() / 1000));
    });
    connect(&m_process, &QProcess::readyReadStandardOutput, this, [this] { m_answer += m_process.readAllStandardOutput(); });
    connect(&m_process, &QProcess::finished, this, &CheckerRun::onFinished);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            end(QStringLiteral("the checker %1 could not be started (%2)").arg(checkerPath(), m_process.errorString()));
    });
}

CheckerRun *CheckerRun::tidyUp(const QByteArray &utf8, QObject *parent)
{
    auto *run = new CheckerRun(QByteArray(), Input::Utf8, parent);
    run->m_input = tidyUpInput(utf8);
    run->m_tidyUp = true;
    return run;
}

CheckerRun::~CheckerRun()
{
    m_ended = true;
    // A checker that runs away is not waited for: killed, it ends at once.
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(-1);
    }
}

void CheckerRun::start()
{
    m_bound.start();
    m_process.start(checkerPath(), QStringList());
    m_process.write(m_input);
    m_process.closeWriteChannel();
    m_input.clear();
}

void CheckerRun::onFinished(int code, QProcess::ExitStatus status)
{
    if (m_ended)
        return;
    m_answer += m_process.readAllStandardOutput();
    QList<Checked> messages;
    if (status == QProcess::CrashExit)
        end(QStringLiteral("the checker ended unexpectedly (signal %1)").arg(code));
    else if (code != 0)
        end(QStringLiteral("the checker ended unexpectedly (exit code %1)").arg(code));
    else if (!readCheckerAnswer(m_answer, &messages, m_tidyUp ? &m_pretty : nullptr))
        end(QStringLiteral("the checker's answer could not be read"));
    else {
        m_ended = true;
        m_bound.stop();
        emit finished(messages, QString());
    }
}

void CheckerRun::end(const QString &failure)
{
    if (m_ended)
        return;
    m_ended = true;
    m_bound.stop();
    if (m_process.state() != QProcess::NotRunning)
        m_process.kill(); // finished() follows; m_ended ignores it
    emit finished({}, QStringLiteral("%1: %2").arg(QLatin1String(kNotChecked), failure));
}

} // namespace tw::checking

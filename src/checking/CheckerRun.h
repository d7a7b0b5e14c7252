#pragma once

#include "checking/CheckerProtocol.h"

#include <QObject>
#include <QProcess>
#include <QTimer>

namespace tw::checking {

// How long a check may take before it is stopped: far longer than tidy takes
// over a big page, even in a build with sanitizers. TAGWRIGHT_CHECK_SECONDS
// sets another bound.
inline constexpr int kCheckSeconds = 60;
int checkSeconds();

// The start of the one row a check that failed gives.
inline constexpr const char *kNotChecked = "the page could not be checked";

// The checker program: the path set, else the first of tagwright-check
// beside the program, in the installed tree's PREFIX/<libdir>/tagwright
// relative to the program's folder, and in the folder it was installed to.
QString checkerPath();
void setCheckerPath(const QString &path);

// One run of the checker over the bytes, as tidy is to read them. It never
// blocks the thread it lives on; finished() follows once, with tidy's
// messages, or with none and why the page could not be checked. Destroying
// the run kills the checker.
class CheckerRun : public QObject {
    Q_OBJECT
public:
    CheckerRun(const QByteArray &bytes, Input input, QObject *parent = nullptr);
    // A run that asks tidy's pretty printer for an indented copy of the
    // page's UTF-8 text instead: finished() gives tidy's errors, and when
    // there are none, pretty() holds the copy.
    static CheckerRun *tidyUp(const QByteArray &utf8, QObject *parent = nullptr);
    ~CheckerRun() override;
    void start();
    const QByteArray &pretty() const { return m_pretty; }

signals:
    void finished(const QList<tw::checking::Checked> &messages, const QString &failure);

private:
    void end(const QString &failure);
    void onFinished(int code, QProcess::ExitStatus status);

    QProcess m_process;
    QTimer m_bound;
    QByteArray m_input;
    QByteArray m_answer;
    QByteArray m_pretty;
    bool m_tidyUp = false;
    bool m_ended = false;
};

} // namespace tw::checking

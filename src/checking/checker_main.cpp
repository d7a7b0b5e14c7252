// tagwright-check: checks one page with HTML Tidy's library, in a process of
// its own so that the program can stop a check that runs away and outlives
// one that crashes. Reads the page from standard input and writes tidy's
// messages, or its indented copy, to standard output, both as
// CheckerProtocol.h describes; exits 0
// when the answer is whole, 2 when the input is not understood.
#include "checking/CheckerProtocol.h"
#include "checking/PageChecker.h"
#include "checking/TidyUp.h"

#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <sys/prctl.h>
#include <csignal>
#include <unistd.h>

using namespace tw::checking;

namespace {

QByteArray readAll(FILE *in)
{
    QByteArray all;
    char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, in)) > 0)
        all.append(chunk, qsizetype(n));
    return all;
}

// For tests of the program's side, with TAGWRIGHT_CHECKER_FAULTS=1: a page
// that begins "<!--hang-->" gets no answer for ten minutes, one that begins
// "<!--crash-->" ends the checker on a signal.
void actOutFault(const QByteArray &page)
{
    if (qgetenv("TAGWRIGHT_CHECKER_FAULTS") != "1")
        return;
    if (page.startsWith("<!--hang-->"))
        for (int i = 0; i < 600; ++i)
            sleep(1);
    if (page.startsWith("<!--crash-->"))
        std::abort();
}

} // namespace

int main()
{
    // A checker whose program is gone, however it ended, ends too.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    QByteArray bytes;
    Input input = Input::Utf8;
    bool tidyUp = false;
    if (!readCheckerInput(readAll(stdin), &bytes, &input, &tidyUp))
        return 2;
    actOutFault(bytes);
    QByteArray answer;
    const auto work = [&] {
        if (!tidyUp) {
            answer = checkerAnswer(tidyChecked(bytes, input));
            return;
        }
        const Pretty pretty = tidyPretty(bytes);
        QList<Checked> errors;
        for (const CheckMessage &m : pretty.errors)
            errors << Checked{m, TidyPlace{m.line, m.column}};
        answer = checkerAnswer(errors) + pretty.text;
    };
    // Tidy's parser descends once per nesting level, up to kDeepestNesting.
    QThread *thread = QThread::create(work);
    thread->setStackSize(kTidyStackBytes);
    thread->start();
    thread->wait();
    delete thread;
    if (fwrite(answer.constData(), 1, size_t(answer.size()), stdout) != size_t(answer.size()) || fflush(stdout) != 0)
        return 1;
    return 0;
}

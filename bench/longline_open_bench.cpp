// Opening a page whose text is one long line through the Open command's own
// code (openPage: the reader, the question, the document window), with the
// question answered at once, and the window's first paint. Each row is one
// page and one answer; the document windows highlight as the settings say
// (on by default; up to 20 MB):
//
//   as-is/PAGE    "Open As It Is"
//   breaks/PAGE   "Open With Line Breaks"
//   lines/PAGE    a page of the same size in ordinary lines (no question)
//
// "ask_cpu_ms" is the processor time from the start of the command until the
// question shows (reading the page and counting its longest line included),
// with the events the question's own loop would handle; the time of the row
// is the whole command up to the painted window, and "cpu_ms" its processor
// time.
//
//   QT_QPA_PLATFORM=offscreen tw_longline_open_bench [Google Benchmark options]
//
// bench/run-longline-bench.sh runs each row in its own process.

#include "documents/DocumentFiles.h"
#include "editor/SourceEditor.h"
#include "documents/frmDocument.h"
#include "platform/Dialogs.h"

#include "BenchSupport.h"
#include "LongPage.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

using namespace tw;
using tw::bench::threadCpuMs;

namespace {

constexpr qsizetype kMB = 1 << 20;

// A frame stand-in whose question is answered at once.
class Host final : public DocumentHost, public Dialogs {
public:
    ~Host() override { qDeleteAll(m_documents); }

    Dialogs &dialogs() override { return *this; }
    frmDocument *createDocument(const QString &caption) override
    {
        auto *document = new frmDocument;
        document->setCaption(caption);
        document->resize(900, 700);
        document->show();
        m_documents << document;
        return document;
    }
    QWidget *activeChild() const override { return m_documents.isEmpty() ? nullptr : m_documents.last(); }
    QList<frmDocument *> documents() const override { return m_documents; }

    QString prompt(const QString &, const QString &) override { return {}; }
    bool askYesNo(const QString &, const QString &) override { return false; }
    Answer askYesNoCancel(const QString &, const QString &) override { return Answer::Cancel; }
    void message(const QString &text, const QString &, MessageKind) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    int choose(const QString &, const QString &, const QStringList &) override
    {
        // A modal question runs an event loop: whatever is pending is handled.
        QCoreApplication::processEvents();
        askCpuMs = threadCpuMs() - startCpuMs;
        return answer;
    }
    FileChoice openFile(const QString &, const QString &) override { return {}; }
    FileChoice saveFile(const QString &, const QString &) override { return {}; }

    int answer = 0;
    double startCpuMs = 0;
    double askCpuMs = -1;

private:
    QList<frmDocument *> m_documents;
};

const QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString pageFile(qsizetype size, bool oneLine)
{
    const QString path = QDir(folder().path())
                             .filePath(QStringLiteral("%1MB-%2.htm").arg(size / kMB).arg(oneLine ? "one-line" : "lines"));
    if (!QFile::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(tw::bench::makeLongLinePage(size, oneLine)) != size)
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    }
    return path;
}

void openThroughCommand(benchmark::State &state, qsizetype size, bool oneLine, int answer)
{
    const QString path = pageFile(size, oneLine);
    std::vector<double> askMs, cpuMs;
    for (auto _ : state) {
        auto host = std::make_unique<Host>();
        host->answer = answer;
        QElapsedTimer clock;
        clock.start();
        host->startCpuMs = threadCpuMs();
        int openCount = 0;
        frmDocument *document = openPage(*host, path, openCount);
        if (!document) {
            state.SkipWithError("not opened");
            return;
        }
        document->textEdit->repaint();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        cpuMs.push_back(threadCpuMs() - host->startCpuMs);
        askMs.push_back(host->askCpuMs);
    }
    double ask = 0, cpu = 0;
    for (size_t i = 0; i < cpuMs.size(); ++i) {
        ask += askMs[i];
        cpu += cpuMs[i];
    }
    if (!cpuMs.empty()) {
        state.counters["ask_cpu_ms"] = ask / double(cpuMs.size());
        state.counters["cpu_ms"] = cpu / double(cpuMs.size());
    }
    state.counters["peak_rss_MB"] = tw::bench::peakRssMB();
}

} // namespace

int main(int argc, char **argv)
{
    for (const int mb : {1, 5, 20}) {
        const qsizetype size = mb * kMB;
        const std::string page = std::to_string(mb) + "MB";
        const int runs = mb > 5 ? 2 : 3;
        benchmark::RegisterBenchmark(("as-is/" + page).c_str(), openThroughCommand, size, true, 0)
            ->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(runs);
        benchmark::RegisterBenchmark(("breaks/" + page).c_str(), openThroughCommand, size, true, 1)
            ->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(runs);
        benchmark::RegisterBenchmark(("lines/" + page).c_str(), openThroughCommand, size, false, 0)
            ->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(runs);
    }
    return tw::bench::runBenchmarks(argc, argv);
}

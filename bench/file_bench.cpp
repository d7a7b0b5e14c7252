// Open and save of large pages through the functions the File commands use:
// PageReader + SourceEditor::loadPage (+ the first paint) and writePage from
// the editor's own buffer.
//
//   tw_file_bench --generate=DIR            writes the sample pages into DIR
//   tw_file_bench --dir=DIR [--case=NAME]   measures them (all cases by default)
//   ... --assistive                          first waits until assistive technology
//                                            is active (bench/run-assistive-bench.sh)
//
// Run one benchmark per process (--benchmark_filter=open/100MB) to see its peak
// memory; bench/run-file-bench.sh does so and prints a table. Needs a Qt platform: QT_QPA_PLATFORM=offscreen works.

#include "pages/PageFile.h"
#include "editor/SourceEditor.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>


#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

enum class Shape { Lines, OneLine, Legacy };

struct Case {
    const char *name;
    qint64 size;
    Shape shape;
};

constexpr qint64 kMB = 1 << 20;
const Case kCases[] = {
    {"1MB", 1 * kMB, Shape::Lines},
    {"20MB", 20 * kMB, Shape::Lines},
    {"100MB", 100 * kMB, Shape::Lines},
    {"200MB", 200 * kMB, Shape::Lines},
    {"5MB-one-line", 5 * kMB, Shape::OneLine},
    {"20MB-legacy", 20 * kMB, Shape::Legacy},
};

QString pagePath(const QString &dir, const Case &c)
{
    return QDir(dir).filePath(QString::fromLatin1(c.name) + QStringLiteral(".htm"));
}

// A table-heavy page with CR LF line ends and some non-ASCII text: UTF-8 for
// the plain cases, Windows-1252 bytes for the legacy one.
QByteArray makePage(const Case &c)
{
    const bool legacy = c.shape == Shape::Legacy;
    const char *eol = c.shape == Shape::OneLine ? "" : "\r\n";
    QByteArray page;
    page.reserve(c.size + 256);
    page += "<HTML><HEAD><TITLE>Sample</TITLE></HEAD><BODY>";
    page += eol;
    page += "<TABLE BORDER=1>";
    page += eol;
    char line[256];
    for (int row = 0; page.size() < c.size; ++row) {
        const char *word = legacy ? "caf\xE9 \x93quoted\x94 \x80" : "caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87";
        const int n = std::snprintf(line, sizeof line,
                                    "<TR><TD CLASS=\"c%d\">Row %d</TD><TD>%s &amp; more text "
                                    "for the cell</TD><TD ALIGN=RIGHT>%d.%02d</TD></TR>%s",
                                    row % 7, row, word, row * 3, row % 100, eol);
        page.append(line, n);
    }
    // Cut after a whole tag, so that no multi-byte character is split, and pad
    // to the exact size.
    const QByteArray tail("</TABLE></BODY></HTML>");
    page.truncate(page.lastIndexOf('>', c.size - tail.size() - 3) + 1);
    page += QByteArray(c.size - tail.size() - 2 - page.size(), ' ');
    page += tail;
    page += c.shape == Shape::OneLine ? "  " : "\r\n";
    return page;
}

double g_baseRssMB = 0;

// peakMB is the process's peak resident size right after the first iteration:
// later iterations only add the allocator's leftovers, which a single Open or
// Save in the program would not see. Meaningful when the benchmark is the
// first (or only) one in its process.
void setCounters(benchmark::State &state, qint64 fileSize, double peakMB)
{
    const double fileMB = double(fileSize) / double(kMB);
    state.counters["file_MB"] = fileMB;
    state.counters["base_rss_MB"] = g_baseRssMB;
    state.counters["peak_rss_MB"] = peakMB;
    state.counters["peak_per_file"] = peakMB / fileMB;
    state.SetBytesProcessed(state.iterations() * fileSize);
}

std::unique_ptr<tw::SourceEditor> newEditor()
{
    auto editor = std::make_unique<tw::SourceEditor>();
    editor->resize(900, 700);
    editor->show();
    QCoreApplication::processEvents();
    return editor;
}

// What Open does: a fresh window's editor, the file read, loaded and painted.
void openPage(benchmark::State &state, QString path)
{
    const qint64 size = QFile(path).size();
    double peakMB = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto editor = newEditor();
        state.ResumeTiming();

        tw::PageReader reader(path);
        if (!reader.open() || !editor->loadPage(reader)) {
            state.SkipWithError(qPrintable(reader.error()));
            break;
        }
        editor->repaint();

        state.PauseTiming();
        if (peakMB == 0)
            peakMB = tw::bench::peakRssMB();
        editor.reset();
        state.ResumeTiming();
    }
    setCounters(state, size, peakMB);
}

// What Save does: the loaded editor's text written over the file.
void savePage(benchmark::State &state, QString path)
{
    const qint64 size = QFile(path).size();
    auto editor = newEditor();
    tw::PageReader reader(path);
    if (!reader.open() || !editor->loadPage(reader)) {
        state.SkipWithError(qPrintable(reader.error()));
        return;
    }
    const tw::PageEncoding encoding = reader.encoding();
    const QString target = path + QStringLiteral(".saved");

    double peakMB = 0;
    for (auto _ : state) {
        const tw::PageWriteResult written
            = tw::writePage(target, editor->documentData(), editor->documentLength(), encoding);
        if (!written.ok) {
            state.SkipWithError(qPrintable(written.error));
            break;
        }
        if (peakMB == 0)
            peakMB = tw::bench::peakRssMB();
    }
    QFile::remove(target);
    setCounters(state, size, peakMB);
}

int iterationsFor(qint64 size)
{
    return size >= 100 * kMB ? 3 : size >= 20 * kMB ? 5 : 20;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QString dir;
    QString only;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.startsWith(QLatin1String("--generate="))) {
            const QString out = arg.mid(11);
            QDir().mkpath(out);
            for (const Case &c : kCases) {
                QFile f(pagePath(out, c));
                if (!f.open(QIODevice::WriteOnly) || f.write(makePage(c)) != c.size) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
                    return 1;
                }
            }
            return 0;
        }
        if (arg.startsWith(QLatin1String("--dir=")))
            dir = arg.mid(6);
        else if (arg.startsWith(QLatin1String("--case=")))
            only = arg.mid(7);
        else if (arg == QLatin1String("--assistive")) {
            QElapsedTimer waited;
            waited.start();
            while (!QAccessible::isActive() && waited.elapsed() < 15000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            if (!QAccessible::isActive()) {
                std::fprintf(stderr, "assistive technology did not become active\n");
                return 1;
            }
        } else {
            std::fprintf(stderr, "unknown argument %s\n", argv[i]);
            return 2;
        }
    }
    if (dir.isEmpty()) {
        std::fprintf(stderr, "usage: %s --generate=DIR | --dir=DIR [--case=NAME] "
                             "[benchmark options]\n", argv[0]);
        return 2;
    }

    // The memory the process holds before any page is loaded.
    newEditor().reset();
    g_baseRssMB = tw::bench::peakRssMB();

    for (const Case &c : kCases) {
        if (!only.isEmpty() && only != QLatin1String(c.name))
            continue;
        const QString path = pagePath(dir, c);
        const int n = iterationsFor(c.size);
        benchmark::RegisterBenchmark((std::string("open/") + c.name).c_str(), openPage, path)
            ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(n);
        benchmark::RegisterBenchmark((std::string("save/") + c.name).c_str(), savePage, path)
            ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(n);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

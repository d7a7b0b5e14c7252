#pragma once

// The sample page the long-line benchmarks share, and the processor time of
// the calling thread.

#include <QByteArray>

#include <time.h>

#include <cstdio>

namespace tw::bench {

// The processor time of this thread, which other jobs on a busy machine do
// not inflate as they do the wall clock.
inline double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// A page of headings, paragraphs, links, lists and table rows with entities,
// comments and some non-ASCII text (two- and three-byte UTF-8). On one line
// the blocks follow each other with a space between; otherwise each block
// ends in CR LF. The page is cut after a whole tag and padded with spaces to
// its size.
inline QByteArray makeLongLinePage(qsizetype size, bool oneLine)
{
    static const char *const kWords[] = {"the", "page", "editor", "caf\xC3\xA9", "na\xC3\xAFve", "source",
                                         "\xE4\xB8\xAD\xE6\x96\x87", "table", "link", "markup", "quick",
                                         "r\xC3\xA9sum\xC3\xA9", "window", "line", "text", "colour"};
    const char *sep = oneLine ? " " : "\r\n";
    QByteArray page;
    page.reserve(size + 1024);
    page += "<!DOCTYPE html><html lang=\"en\"><head><meta charset=\"utf-8\"><title>Long page</title>"
            "<style>td.n { text-align: right; }</style></head><body>";
    page += sep;
    char buf[512];
    unsigned seed = 1;
    auto word = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return kWords[(seed >> 16) % (sizeof kWords / sizeof *kWords)];
    };
    for (int block = 0; page.size() < size; ++block) {
        int n = 0;
        switch (block % 6) {
        case 0:
            n = std::snprintf(buf, sizeof buf, "<h2 id=\"s%d\">Section %d: %s %s</h2>", block, block, word(), word());
            break;
        case 1:
        case 4: {
            QByteArray text;
            const int words = 12 + block % 17;
            for (int i = 0; i < words; ++i) {
                text += word();
                text += i % 9 == 8 ? ", " : " ";
            }
            n = std::snprintf(buf, sizeof buf, "<p class=\"body\">%s<a href=\"page%d.htm#s%d\">%s</a> &amp; %s.</p>",
                              text.constData(), block % 97, block, word(), word());
            break;
        }
        case 2:
            n = std::snprintf(buf, sizeof buf, "<ul><li>%s</li><li><b>%s</b> %s</li></ul><!-- list %d -->", word(),
                              word(), word(), block);
            break;
        default:
            n = std::snprintf(buf, sizeof buf,
                              "<table border=\"1\"><tr><td class=\"c%d\">Row %d</td><td>%s &lt;%s&gt;</td>"
                              "<td class=\"n\">%d.%02d</td></tr></table>",
                              block % 7, block, word(), word(), block * 3, block % 100);
            break;
        }
        page.append(buf, n);
        page += sep;
    }
    const QByteArray tail = QByteArray("</body></html>") + (oneLine ? "" : "\r\n");
    page.truncate(page.lastIndexOf('>', size - tail.size() - 1) + 1);
    page += QByteArray(size - tail.size() - page.size(), ' ');
    page += tail;
    return page;
}

} // namespace tw::bench

#include "DataRows.h"
#include "sitecheck/SiteCheck.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

using namespace tw::sitecheck;

namespace {

using Files = QList<QPair<QByteArray, QByteArray>>; // relative path, content

void writeFiles(const QString &root, const Files &files)
{
    for (const auto &[path, content] : files) {
        const QByteArray abs = QFile::encodeName(root) + '/' + path;
        QDir().mkpath(QFileInfo(QFile::decodeName(abs)).absolutePath());
        FILE *f = fopen(abs.constData(), "wb");
        QVERIFY(f);
        fwrite(content.constData(), 1, size_t(content.size()), f);
        fclose(f);
    }
}

// "file:line:column Kind: message" for each finding.
QStringList lines(const SiteReport &report)
{
    QStringList out;
    for (const Finding &f : report.findings)
        out << QStringLiteral("%1:%2:%3 %4: %5").arg(QString::fromUtf8(f.file)).arg(f.line).arg(f.column)
                   .arg(kindName(f.kind), f.message);
    return out;
}

const std::atomic<bool> kGoOn{false};

} // namespace

class SiteCheckTest : public QObject {
    Q_OBJECT
private slots:
    void findings_data()
    {
        tw::test::columns<Files, QStringList>("files", "expected");
        QTest::newRow("missing files, case, fragments")
            << Files{{"index.html", "<a href=\"a.html#top\">x</a><a href=\"a.html#sec\">y</a>\n"
                                    "<img src=\"Logo.PNG\" alt=\"\"><a href=\"a.html#nope\">z</a>"
                                    "<a href=\"#here\" id=\"here\">self</a><a href=\"gone.htm\">g</a>"},
                     {"a.html", "<p id=\"sec\">s</p><a name=\"n\" href=\"index.html#n\">back</a>"},
                     {"logo.png", "P"}}
            << QStringList{"a.html:1:36 Warning: \"#n\" names no id or <a name> in \"index.html\"",
                           "index.html:2:11 Error: The file \"Logo.PNG\" does not exist (did you mean \"logo.png\"?)",
                           "index.html:2:37 Warning: \"#nope\" names no id or <a name> in \"a.html\"",
                           "index.html:2:98 Error: The file \"gone.htm\" does not exist",
                           "logo.png:0:0 Note: No page links to this file"};
        QTest::newRow("addresses that break on a server, web ones not checked")
            << Files{{"sub/p.htm", "<a href=\"\">e</a><a href=\"../../up.html\">u</a><a href=\"file:///etc/x\">f</a>"
                                   "<a href=\"C:\\site\\p.htm\">c</a><a href=\"p.htm\\\">b</a>"
                                   "<a href=\"https://x.org/\">w</a><a href=\"mailto:a@b\">m</a><img src=\"data:,x\">"
                                   "<a href=\"/sub/p.htm?q=1\">root</a><a href=\"./%70.htm\">pct</a>"}}
            << QStringList{"sub/p.htm:1:10 Warning: The href is empty",
                           "sub/p.htm:1:26 Warning: \"../../up.html\" leaves the site's folder",
                           "sub/p.htm:1:55 Warning: \"file:///etc/x\" is an absolute file address, which breaks on a web server",
                           "sub/p.htm:1:84 Warning: \"C:\\site\\p.htm\" holds a backslash, which breaks on a web server; use \"/\"",
                           "sub/p.htm:1:84 Warning: \"C:\\site\\p.htm\" is an absolute file address, which breaks on a web server",
                           "sub/p.htm:1:113 Warning: \"p.htm\\\" holds a backslash, which breaks on a web server; use \"/\"",
                           "sub/p.htm:1:113 Error: The file \"sub/p.htm\" does not exist"};
        QTest::newRow("style sheets: url, @import, style attribute and element, srcset, base")
            << Files{{"s.css", "/* url(no.png) */ @import \"i.css\";\n@import url(\"miss.css\");\n"
                               "a { background: URL( pic.png ) } b { content: \"url(x)\" }"},
                     {"i.css", ""}, {"pic.png", "P"},
                     {"index.html", "<head><base href=\"d/\"><style>p{background:url(../pic.png)}</style>\n"
                                    "<link rel=stylesheet href=\"../s.css\"></head>"
                                    "<p style=\"background: url('w.png')\">\n<img srcset=\"a.png 1x, b.png 2x\" src=\"../pic.png\">"}}
            << QStringList{"index.html:2:72 Error: The file \"d/w.png\" does not exist",
                           "index.html:3:14 Error: The file \"d/a.png\" does not exist",
                           "index.html:3:24 Error: The file \"d/b.png\" does not exist",
                           "s.css:2:14 Error: The file \"miss.css\" does not exist"};
    }
    void findings()
    {
        const auto [files, expected] = tw::test::fetch<Files, QStringList>("files", "expected");
        QTemporaryDir dir;
        writeFiles(dir.path(), files);
        QCOMPARE(lines(checkSite(dir.path(), {}, kGoOn)), expected);
    }

    // Open pages are checked in their unsaved text; entries that are not
    // regular files are never opened; loops end; odd names are found.
    void badInputAndOpenText()
    {
        QTemporaryDir dir;
        const QString root = dir.path();
        writeFiles(root, {{"index.html", "<a href=\"a%20b.html\">x</a><a href=\"caf%E9.htm\">y</a>"
                                         "<a href=\"new%0Aline.htm\">z</a><a href=\"pipe.htm\">p</a>"
                                         "<a href=\"loop/loop/index.html\">l</a>"},
                          {"a b.html", ""}, {"caf\xe9.htm", "<a href=\"gone.png\">g</a>"}, {"new\nline.htm", ""},
                          {"big.html", ""}});
        QVERIFY(mkfifo(QFile::encodeName(root + "/pipe.htm").constData(), 0600) == 0);
        QVERIFY(symlink(".", QFile::encodeName(root + "/loop").constData()) == 0);
        QVERIFY(truncate(QFile::encodeName(root + "/big.html").constData(), kLargestCheckedPage + 1) == 0);
        const SiteReport report =
            checkSite(root, {{root + "/a b.html", "<img src=\"unsaved.png\">"}}, kGoOn);
        QCOMPARE(lines(report), (QStringList{"a b.html:1:11 Error: The file \"unsaved.png\" does not exist",
                                             "big.html:0:0 Note: This file is larger than 8 MB; its links were not checked",
                                             "caf\xef\xbf\xbd.htm:1:10 Error: The file \"gone.png\" does not exist",
                                             "big.html:0:0 Note: No page links to this file"}));
        QCOMPARE(report.skipped, 1); // the pipe
    }

    // The missing local files found from the pages the index page reaches
    // are those linkchecker finds starting there.
    void sameMissingFilesAsLinkchecker()
    {
        const QString linkchecker = QStandardPaths::findExecutable(QStringLiteral("linkchecker"));
        if (linkchecker.isEmpty())
            QSKIP("linkchecker is not installed (Debian package linkchecker)");
        // Run as root, linkchecker reads as the user nobody: the folder is world-readable.
        const QString root = QDir::tempPath() + QStringLiteral("/tw-sitecheck-") + QString::number(getpid());
        QDir(root).removeRecursively();
        writeFiles(root, {{"index.html", "<link rel=stylesheet href=\"s.css\"><a href=\"sub/a.html\">a</a>"
                                         "<a href=\"missing.html\">m</a><img src=\"img/gone.png\"><img src=\"img/ok.png\">"
                                         "<a href=\"http://example.com/\">w</a><div style=\"background: url('bg.png')\"></div>"},
                          {"sub/a.html", "<a href=\"../index.html\">i</a><a href=\"b%20c.html\">b</a>"
                                         "<img srcset=\"../img/ok.png 1x, ../img/x2.png 2x\">"},
                          {"sub/b c.html", "<a href=\"nowhere.htm\">n</a><form action=\"post.cgi\"></form>"},
                          {"s.css", "p { background: url(\"img/css.png\") }"}, {"img/ok.png", "P"},
                          {"unreached.html", "<a href=\"not-counted.html\">x</a>"}});
        QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("a+rX"), root});
        QProcess run;
        run.start(linkchecker, {"--no-status", "--no-warnings", "-o", "csv", "--ignore-url=^https?:",
                                "file://" + root + "/index.html"});
        QVERIFY(run.waitForFinished(tw_test_ceiling));
        QSet<QString> theirs;
        for (const QByteArray &line : run.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> cells = line.split(';');
            if (cells.size() > 7 && cells[6] == "False" && cells[7].startsWith("file://"))
                theirs << QString::fromUtf8(cells[7].mid(7 + root.size() + 1));
        }
        QSet<QString> ours;
        for (const Finding &f : checkSite(root, {}, kGoOn).findings)
            if (f.kind == Kind::Error && f.file != "unreached.html")
                ours << f.message.section(QLatin1Char('"'), 1, 1);
        QDir(root).removeRecursively();
        QCOMPARE(ours, (QSet<QString>{"missing.html", "img/gone.png", "bg.png", "img/x2.png", "sub/nowhere.htm",
                                      "sub/post.cgi", "img/css.png"}));
        QCOMPARE(theirs, ours);
    }
};

QTEST_GUILESS_MAIN(SiteCheckTest)
#include "tst_site_check.moc"

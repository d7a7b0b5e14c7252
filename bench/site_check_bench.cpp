// Times checkSite over a folder given on the command line (see
// run-site-check-bench.sh): prints the seconds and the report's counts.
#include "sitecheck/SiteCheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const std::atomic<bool> goOn{false};
    QElapsedTimer timer;
    timer.start();
    const tw::sitecheck::SiteReport report = tw::sitecheck::checkSite(QString::fromLocal8Bit(argv[1]), {}, goOn);
    std::printf("tagwright: %.2f s, %d pages, %d style sheets, %d addresses, %lld findings\n", timer.elapsed() / 1000.0,
                report.pages, report.styleSheets, report.addresses, static_cast<long long>(report.findings.size()));
    return 0;
}

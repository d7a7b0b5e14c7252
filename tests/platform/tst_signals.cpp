#include "Ceiling.h"
#include "platform/TerminationSignals.h"

#include <QtTest>

#include <csignal>

using namespace tw;

class SignalsTest : public QObject {
    Q_OBJECT
private slots:
    void endRequestsArriveThroughTheEventLoop()
    {
        TerminationSignals signals_;
        QVERIFY(signals_.isActive());
        QSignalSpy spy(&signals_, &TerminationSignals::received);
        for (int number : {SIGTERM, SIGHUP, SIGINT}) {
            QVERIFY(::raise(number) == 0); // the process lives on
            QVERIFY(spy.wait(test::kCeiling));
            QCOMPARE(spy.takeFirst().at(0).toInt(), number);
        }
        // Only one object per process.
        TerminationSignals second;
        QVERIFY(!second.isActive());
    }
};

QTEST_MAIN(SignalsTest)
#include "tst_signals.moc"

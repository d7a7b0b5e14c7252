#include "TestFiles.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"
#include "platform/Settings.h"
#include "platform/Twips.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace tw;

class PlatformTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void twipsFollowTheLogicalDpi()
    {
        QCOMPARE(twipsToPixels(1000, 96), 67);
        QCOMPARE(twipsToPixels(6500, 96), 433);
        QCOMPARE(twipsToPixels(15, 96), 1);
        QCOMPARE(twipsToPixels(1440, 144), 144);
        QCOMPARE(pixelsToTwips(200, 96), 3000.0);
        // A saved placement comes back to the same pixels.
        for (int pixels : {0, 1, 67, 433, 1919})
            QCOMPARE(twipsToPixels(pixelsToTwips(pixels, 120), 120), pixels);
    }

    void placementRoundTripsAndGarbageFallsBack()
    {
        QTemporaryDir dir;
        QSettings store(dir.filePath(QStringLiteral("t.conf")), QSettings::IniFormat);

        const Placement defaults = Settings::loadPlacement(store);
        QCOMPARE(defaults.left, 1000.0);
        QCOMPARE(defaults.top, 1000.0);
        QCOMPARE(defaults.width, 6500.0);
        QCOMPARE(defaults.height, 6500.0);

        Settings::savePlacement(store, {3000, 1500, 9000, 7200.4});
        QCOMPARE(store.value(QStringLiteral("Settings/MainLeft")).toString(), QStringLiteral("3000"));
        QCOMPARE(store.value(QStringLiteral("Settings/MainHeight")).toString(), QStringLiteral("7200"));
        const Placement back = Settings::loadPlacement(store);
        QCOMPARE(back.left, 3000.0);
        QCOMPARE(back.top, 1500.0);
        QCOMPARE(back.width, 9000.0);

        store.setValue(QStringLiteral("Settings/MainLeft"), QStringLiteral("left edge"));
        store.setValue(QStringLiteral("Settings/MainTop"), QStringLiteral(""));
        store.setValue(QStringLiteral("Settings/MainWidth"), QStringLiteral("nan"));
        store.setValue(QStringLiteral("Settings/MainHeight"), QStringLiteral(" 4000 "));
        const Placement garbage = Settings::loadPlacement(store);
        QCOMPARE(garbage.left, 1000.0);
        QCOMPARE(garbage.top, 1000.0);
        QCOMPARE(garbage.width, 6500.0);
        QCOMPARE(garbage.height, 4000.0);
    }

    void unreachablePlacementFallsBack()
    {
        const QRect fallback(67, 67, 433, 433);
        const QVector<QRect> screens{QRect(0, 0, 1280, 1024), QRect(1280, 0, 1920, 1080)};
        QCOMPARE(reachablePlacement(QRect(100, 100, 500, 400), fallback, screens), QRect(100, 100, 500, 400));
        // Partly visible, on the second screen, or straddling: kept.
        QCOMPARE(reachablePlacement(QRect(-400, -100, 500, 400), fallback, screens), QRect(-400, -100, 500, 400));
        QCOMPARE(reachablePlacement(QRect(2000, 500, 500, 400), fallback, screens), QRect(2000, 500, 500, 400));
        // Wholly off every screen, or of no size: the defaults.
        QCOMPARE(reachablePlacement(QRect(5000, 5000, 500, 400), fallback, screens), fallback);
        QCOMPARE(reachablePlacement(QRect(-900, 100, 500, 400), fallback, screens), fallback);
        QCOMPARE(reachablePlacement(QRect(100, 100, 0, 400), fallback, screens), fallback);
    }

    void filtersBecomeQtFilters()
    {
        QCOMPARE(qtFilterFromPairs(QStringLiteral("HTML Document (*.html,*.htm)|*.html;*.htm|All Files (*.*)|*.*")),
                 QStringLiteral("HTML Document (*.html,*.htm) (*.html *.htm);;All Files (*.*) (*.*)"));
        QCOMPARE(qtFilterFromPairs(QStringLiteral("HTML Document")), QStringLiteral("HTML Document (*)"));
    }

    void filesBesideTheProgramAreFoundInOrder()
    {
        QTemporaryDir start;
        tw::test::startIn(start.path());
        // Not in the start folder: the folder of the executable is next.
        QFile beside(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tw-probe.txt")));
        QVERIFY(beside.open(QIODevice::WriteOnly));
        beside.close();
        QCOMPARE(besideProgram(QStringLiteral("tw-probe.txt")), beside.fileName());
        // In the start folder: that one wins.
        QFile first(start.filePath(QStringLiteral("tw-probe.txt")));
        QVERIFY(first.open(QIODevice::WriteOnly));
        first.close();
        QCOMPARE(besideProgram(QStringLiteral("tw-probe.txt")), first.fileName());
        beside.remove();
        // Nowhere: the start-folder path, so reading fails as a missing file.
        QCOMPARE(besideProgram(QStringLiteral("no-such-file.txt")),
                 start.filePath(QStringLiteral("no-such-file.txt")));
    }
};

QTEST_MAIN(PlatformTest)
#include "tst_platform.moc"

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

    void placementRoundTrips()
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
    }

    void placementIsReachableAndFitsTheScreen_data()
    {
        // Stored twips (at 96 DPI, 15 twips a pixel) and the frame that results.
        QTest::addColumn<QStringList>("stored"); // MainLeft, MainTop, MainWidth, MainHeight
        QTest::addColumn<QRect>("frame");
        const QRect defaults(67, 67, 433, 433);
        const auto row = [](const char *name, const char *l, const char *t, const char *w, const char *h,
                            QRect frame) {
            QTest::newRow(name) << QStringList{l, t, w, h} << frame;
        };
        // Available areas: a 1280x1024 screen less a 24-pixel panel, and a 1920x1080 one to its right.
        row("inside the first screen", "1500", "1500", "7500", "6000", {100, 100, 500, 400});
        row("on the second screen", "30000", "7500", "7500", "6000", {2000, 500, 500, 400});
        row("straddling, kept whole on the second", "18000", "1500", "7500", "6000", {1280, 100, 500, 400});
        row("hanging off the bottom is moved up", "1500", "13500", "7500", "6000", {100, 624, 500, 400});
        row("only a 10x10 corner on a screen", "47850", "16050", "7500", "6000", defaults);
        row("title bar above every screen", "1500", "-1500", "7500", "6000", defaults);
        row("title bar under the panel", "1500", "150", "7500", "6000", defaults);
        row("wholly off every screen", "75000", "75000", "7500", "6000", defaults);
        row("no width", "1500", "1500", "0", "6000", defaults);
        row("negative height", "1500", "1500", "7500", "-6000", defaults);
        row("larger than the screen", "1500", "1500", "600000", "600000", {0, 24, 1280, 1000});
    }
    void placementIsReachableAndFitsTheScreen()
    {
        QFETCH(QStringList, stored);
        QFETCH(QRect, frame);
        QTemporaryDir dir;
        QSettings store(dir.filePath(QStringLiteral("t.conf")), QSettings::IniFormat);
        const char *keys[] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
        for (int i = 0; i < 4; ++i)
            store.setValue(QStringLiteral("Settings/") + QLatin1String(keys[i]), stored.at(i));
        const QVector<QRect> screens{QRect(0, 24, 1280, 1000), QRect(1280, 0, 1920, 1080)};
        const QRect restored = reachablePlacement(placementPixels(Settings::loadPlacement(store), 96),
                                                  placementPixels(Placement(), 96), screens);
        QCOMPARE(restored, frame);
    }

    void placementWithoutScreensIsBounded()
    {
        const QRect fallback(67, 67, 433, 433);
        QCOMPARE(reachablePlacement(QRect(10, 20, 500, 400), fallback, {}), QRect(10, 20, 500, 400));
        QCOMPARE(reachablePlacement(QRect(10, 20, 0, 400), fallback, {}), fallback);
        QCOMPARE(reachablePlacement(placementPixels({0, 0, 3e10, 3e10}, 96), fallback, {}),
                 QRect(0, 0, 8192, 8192));
        // Any number of twips at any DPI gives edges that fit an int.
        const QRect far = placementPixels({1e300, -1e300, 1e300, 1e300}, 1e6);
        QVERIFY(far.right() > far.left() && far.bottom() > far.top());
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

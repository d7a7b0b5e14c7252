#include "DataRows.h"
#include "TestFiles.h"
#include "platform/AttributeValue.h"
#include "platform/Dialogs.h"
#include "platform/Prompt.h"
#include "platform/Settings.h"
#include "platform/ThreadPriority.h"
#include "platform/Twips.h"

#include <QtTest>

#include <limits>
#include <string>
#include <thread>

#include <sys/resource.h>
#include <unistd.h>

using namespace tw;

class PlatformTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A background thread stands five steps behind the window's, however
    // often a pooled thread asks, and the window's stays as it was.
    void backgroundThreadsGoBehindTheWindow()
    {
        const int window = ::getpriority(PRIO_PROCESS, ::gettid());
        QList<int> behind;
        std::thread([&] {
            for (int i = 0; i < 2; ++i) {
                runBehindTheWindow();
                behind << ::getpriority(PRIO_PROCESS, ::gettid()) - window;
            }
        }).join();
        QCOMPARE(behind, (QList<int>{5, 5}));
        QCOMPARE(::getpriority(PRIO_PROCESS, ::gettid()), window);
    }
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
        tw::test::columns<QStringList, QRect>("stored", "frame"); // stored: MainLeft, MainTop, MainWidth, MainHeight
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
        // Garbage in the store.
        row("words", "left edge", "top", "wide", "tall", defaults);
        row("one word, one nan: those two default", "left", "1500", "7500", "nan", {67, 100, 500, 433});
        row("empty", "", "", "", "", defaults);
        row("nan and inf", "nan", "inf", "-inf", "nan", defaults);
        row("blanks around numbers", " 1500 ", "1500 ", " 7500", "6000", {100, 100, 500, 400});
        row("3e10 wide", "1000", "1000", "3e10", "6500", {0, 67, 1280, 433});
        row("beyond float range", "1e39", "1e39", "1e39", "1e39", defaults);
    }
    void placementIsReachableAndFitsTheScreen()
    {
        auto [stored, frame] = tw::test::fetch<QStringList, QRect>("stored", "frame");
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
        const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tw-probe.txt"));
        QVERIFY(tw::test::writeBytes(beside, ""));
        QCOMPARE(besideProgram(QStringLiteral("tw-probe.txt")), beside);
        // In the start folder: that one wins.
        QVERIFY(tw::test::writeBytes(start.filePath(QStringLiteral("tw-probe.txt")), ""));
        QCOMPARE(besideProgram(QStringLiteral("tw-probe.txt")), start.filePath(QStringLiteral("tw-probe.txt")));
        QFile::remove(beside);
        // Nowhere: the start-folder path, so reading fails as a missing file.
        QCOMPARE(besideProgram(QStringLiteral("no-such-file.txt")),
                 start.filePath(QStringLiteral("no-such-file.txt")));
    }

    void letterCheck()
    {
        for (const char *none : {"", " -12.5 +3, 4/2 ", "<\"'&;>#%\n\t", "\u0663\u0664", "\uff11", "\u4e2d"})
            QVERIFY2(!containsLetter(QString::fromUtf8(none)), none);
        for (const char *some : {"12px", "1e5", "\u03b1", "\u0416", "\u00df", "\uff21"})
            QVERIFY2(containsLetter(QString::fromUtf8(some)), some);
    }

    void numericReadingAndCount_data()
    {
        tw::test::columns<QString, double, int>("answer", "reading", "count");
        const double inf = std::numeric_limits<double>::infinity();
        const QString nines(1000000, QLatin1Char('9'));
        QTest::newRow("plain") << "12" << 12.0 << 12;
        QTest::newRow("blank inside") << " 1 2" << 12.0 << 12;
        QTest::newRow("negative") << "-3" << -3.0 << -3;
        QTest::newRow("fraction") << "7.5" << 7.5 << 8;
        QTest::newRow("comma stops") << "4,5" << 4.0 << 4;
        QTest::newRow("point alone") << "." << 0.0 << 0;
        QTest::newRow("empty") << "" << 0.0 << 0;
        QTest::newRow("tabs and line feeds inside") << "\t-\n1 0\n.\t2 5" << -10.25 << -10;
        QTest::newRow("plus sign") << "+7" << 7.0 << 7;
        QTest::newRow("two signs") << "--3" << 0.0 << 0;
        QTest::newRow("many signs") << QString(100000, QLatin1Char('-')) + "5" << 0.0 << 0;
        QTest::newRow("sign after digits stops") << "3-4" << 3.0 << 3;
        QTest::newRow("many points") << "1.2" + QString(100000, QLatin1Char('.')) << 1.2 << 1;
        QTest::newRow("no leading digit") << ".5" << 0.0 << 0;
        QTest::newRow("carriage return stops") << "1\r2" << 1.0 << 1;
        QTest::newRow("no-break space stops") << "1\u00a02" << 1.0 << 1;
        QTest::newRow("arabic-indic digit stops") << "1\u06632" << 1.0 << 1;
        QTest::newRow("fullwidth digit") << "\uff15" << 0.0 << 0;
        QTest::newRow("correctly rounded") << "0.1" << 0.1 << 0;
        QTest::newRow("half to even down") << "2.5" << 2.5 << 2;
        QTest::newRow("half to even up") << "3.5" << 3.5 << 4;
        QTest::newRow("negative half") << "-2.5" << -2.5 << -2;
        QTest::newRow("just above half") << "2.5000001" << 2.5000001 << 3;
        QTest::newRow("top") << "32767.4" << 32767.4 << 32767;
        QTest::newRow("rounds past top") << "32767.5" << 32767.5 << 0;
        QTest::newRow("bottom half goes even") << "-32768.5" << -32768.5 << -32768;
        QTest::newRow("below bottom") << "-32769" << -32769.0 << 0;
        QTest::newRow("five nines") << "99999" << 99999.0 << 0;
        QTest::newRow("million nines") << nines << inf << 0;
        QTest::newRow("minus million nines") << "-" + nines << -inf << 0;
        QTest::newRow("million nines after the point") << "2." + nines << 3.0 << 3;
        QTest::newRow("tiny") << "0." + QString(500000, QLatin1Char('0')) + "1" << 0.0 << 0;
        QTest::newRow("300 ones") << QString(300, QLatin1Char('1')) << std::stod(std::string(300, '1')) << 0;
    }

    void numericReadingAndCount()
    {
        auto [answer, reading, count] = tw::test::fetch<QString, double, int>("answer", "reading", "count");
        const double got = tw::numericReading(answer);
        QVERIFY2(got == reading, qPrintable(QString::number(got, 'g', 17))); // exact, not fuzzy
        QCOMPARE(int(tw::countConversion(answer)), count);
    }

    void numberText()
    {
        QLocale::setDefault(QLocale::c());
        QCOMPARE(tw::numberText(-0.0), QStringLiteral("0"));
        QCOMPARE(tw::numberText(1.2345678901234568e20), QStringLiteral("123456789012345683968"));
        QCOMPARE(tw::numberText(0.12345678901234568), QStringLiteral("0.123456789012346"));
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const QString german = tw::numberText(2.5) + ' ' + tw::numberText(1234567.0);
        QLocale::setDefault(QLocale::c());
        QCOMPARE(german, QStringLiteral("2,5 1234567"));
    }

    // What user text becomes inside a generated tag: nothing typed may end an
    // attribute value early, and nothing else is changed.
    void writtenBytes_data()
    {
        tw::test::columns<QString, QString, QByteArray>("how", "value", "written"); // how: text, address or bare
        QTest::newRow("empty") << "text" << "" << QByteArray("\"\"");
        QTest::newRow("quote ends nothing")
            << "address" << "a.htm\" onclick=\"alert(1)" << QByteArray("\"a.htm&quot; onclick=&quot;alert(1)\"");
        QTest::newRow("marks kept") << "text" << " <b>&amp; 'x' = `y` " << QByteArray("\" <b>&amp; 'x' = `y` \"");
        QTest::newRow("line breaks in text kept") << "text" << "a\nb\r\nc" << QByteArray("\"a\nb\r\nc\"");
        QTest::newRow("line breaks in an address") << "address" << "a\nb\r\nc.gif" << QByteArray("\"a%0Ab%0D%0Ac.gif\"");
        QTest::newRow("an address holding %0A stays") << "address" << "a%0A.gif" << QByteArray("\"a%0A.gif\"");
        QTest::newRow("non-ASCII kept") << "address" << "caf\u00e9 \u2028\"\u00a0.gif"
                                        << QByteArray("\"caf\xc3\xa9 \xe2\x80\xa8&quot;\xc2\xa0.gif\"");
        QTest::newRow("bare number") << "bare" << "-2.5" << QByteArray("-2.5");
        QTest::newRow("bare empty") << "bare" << "" << QByteArray("");
        QTest::newRow("bare blanks around") << "bare" << " 5\t" << QByteArray(" 5\t");
        QTest::newRow("bare blank inside") << "bare" << "1 2" << QByteArray("\"1 2\"");
        QTest::newRow("bare line break inside") << "bare" << "1\n2" << QByteArray("\"1\n2\"");
        QTest::newRow("bare closing mark") << "bare" << "1>" << QByteArray("\"1>\"");
        QTest::newRow("bare opening quote") << "bare" << " \"> <" << QByteArray("\" &quot;> <\"");
        QTest::newRow("bare other marks") << "bare" << "'1'" << QByteArray("\"'1'\"");
        QTest::newRow("bare equals") << "bare" << "1=2" << QByteArray("\"1=2\"");
        QTest::newRow("bare backquotes") << "bare" << "`1`" << QByteArray("\"`1`\"");
        QTest::newRow("bare form feed inside") << "bare" << "1\f2" << QByteArray("\"1\f2\"");
    }
    void writtenBytes()
    {
        auto [how, value, written] = tw::test::fetch<QString, QString, QByteArray>("how", "value", "written");
        const QString out = how == "bare" ? bareAttribute(value)
            : quotedAttribute(value, how == "address" ? AttributeKind::Address : AttributeKind::Text);
        QCOMPARE(out.toUtf8(), written);
    }
};

QTEST_MAIN(PlatformTest)
#include "tst_platform.moc"

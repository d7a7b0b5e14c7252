// The site's folder as a tree model: its order, a large folder coming into
// the view in pieces, changes made outside it, rows made at once for a path,
// names with keys of both kinds, and a folder that goes away.
#include "site/SiteTree.h"

#include "Ceiling.h"
#include "TestFiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace tw;
using namespace tw::site;

class SiteTreeTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString at(const QString &name) const { return m_dir.filePath(name); }

    static QStringList names(const SiteTree &tree, const QModelIndex &parent = {})
    {
        QStringList out;
        for (int row = 0; row < tree.rowCount(parent); ++row)
            out << tree.index(row, 0, parent).data().toString();
        return out;
    }
    static bool listed(const SiteTree &tree, const QModelIndex &folder = {})
    {
        return QTest::qWaitFor([&] { return tree.isListed(folder); }, test::kCeiling);
    }

private slots:
    void init()
    {
        QDir(m_dir.path()).removeRecursively();
        QVERIFY(QDir().mkpath(at(QStringLiteral("z folder"))));
        QVERIFY(QDir().mkpath(at(QStringLiteral("A folder/inner"))));
        for (const char *name : {"page 10.htm", "page 2.htm", "B.htm", "a.htm", ".hidden", "A folder/inner/deep.htm"})
            QVERIFY(test::writeBytes(at(QLatin1String(name)), "x"));
        QVERIFY(QFile::link(at(QStringLiteral("z folder")), at(QStringLiteral("link"))));
    }

    // Folders (and links to them) first, then files, each by name as people
    // read them, letter case aside and numbers by value; hidden files left out.
    void folderOrder_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("C") << QLocale::c();
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany);
    }
    void folderOrder()
    {
        QFETCH(QLocale, locale);
        QLocale::setDefault(locale);
        SiteTree tree;
        tree.setRootPath(m_dir.path());
        QVERIFY(listed(tree));
        QCOMPARE(names(tree), (QStringList{"A folder", "link", "z folder", "a.htm", "B.htm", "page 2.htm",
                                           "page 10.htm"}));
        QVERIFY(tree.isDir(tree.index(1, 0)) && !tree.isDir(tree.index(3, 0)));
        QCOMPARE(tree.filePath(tree.index(4, 0)), at(QStringLiteral("B.htm")));
        QLocale::setDefault(QLocale::c());
    }

    // Thousands of files come into the view a piece an event-loop turn, in
    // order, and all of them.
    void aLargeFolderComesInPieces()
    {
        const QString big = at(QStringLiteral("big"));
        QVERIFY(QDir().mkpath(big));
        for (int i = 0; i < 5000; ++i)
            QVERIFY(test::writeBytes(big + QStringLiteral("/f%1.htm").arg(i, 5, 10, QLatin1Char('0')), ""));
        SiteTree tree;
        QSignalSpy inserted(&tree, &QAbstractItemModel::rowsInserted);
        tree.setRootPath(big);
        QVERIFY(listed(tree));
        QCOMPARE(tree.rowCount(), 5000);
        QVERIFY(inserted.size() >= 3);
        for (const QList<QVariant> &signal : inserted)
            QVERIFY(signal.at(2).toInt() - signal.at(1).toInt() < SiteTree::kRowsATurn);
        QCOMPARE(tree.index(0, 0).data().toString(), QStringLiteral("f00000.htm"));
        QCOMPARE(tree.index(4999, 0).data().toString(), QStringLiteral("f04999.htm"));
    }

    // A row asked for by its path comes at once, before its folder is
    // listed, and stays the same row once the listing comes; files made,
    // removed and renamed outside show without being asked for.
    void rowsForPathsAndChangesOutside()
    {
        SiteTree tree;
        tree.setRootPath(m_dir.path());
        const QPersistentModelIndex deep = tree.index(at(QStringLiteral("A folder/inner/deep.htm")));
        QVERIFY(deep.isValid());
        QCOMPARE(tree.filePath(deep), at(QStringLiteral("A folder/inner/deep.htm")));
        QVERIFY(!tree.index(at(QStringLiteral("A folder/none.htm"))).isValid());
        QVERIFY(!tree.index(at(QStringLiteral(".hidden"))).isValid());
        const QModelIndex inner = tree.index(at(QStringLiteral("A folder/inner")));
        QVERIFY(listed(tree));
        tree.fetchMore(inner);
        QVERIFY(listed(tree, inner));
        QVERIFY(deep.isValid());
        QCOMPARE(names(tree, inner), QStringList{"deep.htm"});
        QCOMPARE(names(tree, tree.index(at(QStringLiteral("A folder")))), QStringList{"inner"});

        QVERIFY(test::writeBytes(at(QStringLiteral("A folder/inner/new.htm")), "x"));
        QVERIFY(QFile::rename(at(QStringLiteral("a.htm")), at(QStringLiteral("c.htm"))));
        QVERIFY(QFile::remove(at(QStringLiteral("page 2.htm"))));
        QTRY_COMPARE_WITH_TIMEOUT(names(tree, inner), (QStringList{"deep.htm", "new.htm"}), test::kCeiling);
        QTRY_COMPARE_WITH_TIMEOUT(names(tree), (QStringList{"A folder", "link", "z folder", "B.htm", "c.htm",
                                                            "page 10.htm"}),
                                  test::kCeiling);
        QVERIFY(deep.isValid());
    }

    // A folder listed with quick keys, then listed again with a name that
    // needs the collator's, and a row made for a path between: each row
    // lands in its place.
    void namesOfBothKindsOfKey()
    {
        SiteTree tree;
        tree.setRootPath(m_dir.path());
        QVERIFY(listed(tree));
        for (const QString &name : {QStringLiteral("caf\u00e9.htm"), QStringLiteral("\u00c4rger.htm")})
            QVERIFY(test::writeBytes(at(name), "x"));
        const QStringList both{"A folder", "link", "z folder", "a.htm", "\u00c4rger.htm", "B.htm",
                               "caf\u00e9.htm", "page 2.htm", "page 10.htm"};
        QTRY_COMPARE_WITH_TIMEOUT(names(tree), both, test::kCeiling);
        QVERIFY(test::writeBytes(at(QStringLiteral("b2.htm")), "x"));
        QVERIFY(tree.index(at(QStringLiteral("b2.htm"))).isValid());
        QStringList more = both;
        more.insert(6, QStringLiteral("b2.htm"));
        QCOMPARE(names(tree), more);
        QVERIFY(QFile::remove(at(QStringLiteral("caf\u00e9.htm"))));
        QVERIFY(test::writeBytes(at(QStringLiteral("c.htm")), "x"));
        more.replace(7, QStringLiteral("c.htm"));
        QTRY_COMPARE_WITH_TIMEOUT(names(tree), more, test::kCeiling);
    }

    // The folder itself removed: said once, and its rows go.
    void theFolderGoes()
    {
        const QString gone = at(QStringLiteral("z folder/gone"));
        QVERIFY(QDir().mkpath(gone));
        QVERIFY(test::writeBytes(gone + QStringLiteral("/p.htm"), "x"));
        SiteTree tree;
        QSignalSpy unreadable(&tree, &SiteTree::rootUnreadable);
        tree.setRootPath(gone);
        QVERIFY(listed(tree));
        QCOMPARE(tree.rowCount(), 1);
        QVERIFY(QDir(gone).removeRecursively());
        QTRY_COMPARE_WITH_TIMEOUT(unreadable.size(), 1, test::kCeiling);
        QTRY_COMPARE_WITH_TIMEOUT(tree.rowCount(), 0, test::kCeiling);
    }
};

QTEST_GUILESS_MAIN(SiteTreeTest)
#include "tst_site_tree.moc"

// What assistive technology hears of edits and loads. Runs where assistive
// technology is active (tests/e2e/run_with_at.sh starts its bus).
#include "Ceiling.h"
#include "editor/SourceEditor.h"

#include <QAccessible>
#include <QtTest>

using namespace tw;
using Sci = QsciScintillaBase;

namespace {

// One event, as text: "insert 7 é", "remove 5 x€", "update <old>|<new>",
// "reload", "caret 0".
QStringList heard;

void hear(QAccessibleEvent *event)
{
    switch (event->type()) {
    case QAccessible::TextInserted: {
        auto *e = static_cast<QAccessibleTextInsertEvent *>(event);
        heard << QStringLiteral("insert %1 %2").arg(e->changePosition()).arg(e->textInserted());
        break;
    }
    case QAccessible::TextRemoved: {
        auto *e = static_cast<QAccessibleTextRemoveEvent *>(event);
        heard << QStringLiteral("remove %1 %2").arg(e->changePosition()).arg(e->textRemoved());
        break;
    }
    case QAccessible::TextUpdated: {
        auto *e = static_cast<QAccessibleTextUpdateEvent *>(event);
        heard << QStringLiteral("update %1|%2").arg(e->textRemoved().left(20), e->textInserted().left(20));
        break;
    }
    case QAccessible::DocumentReload:
        heard << QStringLiteral("reload");
        break;
    case QAccessible::TextCaretMoved:
        heard << QStringLiteral("caret %1").arg(static_cast<QAccessibleTextCursorEvent *>(event)->cursorPosition());
        break;
    default:
        break;
    }
}

// The events other than caret moves.
QStringList changes()
{
    QStringList out;
    for (const QString &e : heard) {
        if (!e.startsWith(QLatin1String("caret")))
            out << e;
    }
    return out;
}

} // namespace

class SourceAnnounceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QTRY_VERIFY_WITH_TIMEOUT(QAccessible::isActive(), test::kCeiling);
        QAccessible::installUpdateHandler(hear);
    }
    void init() { heard.clear(); }

    // Offsets count characters: "é" and "€" are one each, as is a stray byte.
    void editsAreAnnouncedAtCharacterOffsets()
    {
        SourceEditor editor;
        editor.loadBytes(QByteArray("caf\xC3\xA9\nx\xE2\x82\xAC y\xFF z"));
        heard.clear();
        editor.SendScintilla(Sci::SCI_GOTOPOS, 10UL); // after the euro sign
        editor.replaceSelectedBytes("\xC3\xA9!");
        editor.SendScintilla(Sci::SCI_SETSEL, 6UL, 10L); // "x€"
        editor.replaceSelectedBytes(QByteArray());
        editor.SendScintilla(Sci::SCI_UNDO);
        editor.flushEdits();
        QCOMPARE(changes(), QStringList({QString::fromUtf8("insert 7 \xC3\xA9!"),
                                         QString::fromUtf8("remove 5 x\xE2\x82\xAC"),
                                         QString::fromUtf8("insert 5 x\xE2\x82\xAC")}));
    }

    // A small page is described whole; a large one, or one that replaces a
    // large one, only as reloaded, with the caret at its start.
    void loadsAreAnnouncedAtABoundedCost()
    {
        SourceEditor editor;
        editor.loadBytes("<p>one</p>");
        heard.clear();
        editor.loadBytes("two");
        QCOMPARE(changes(), QStringList({QStringLiteral("update <p>one</p>|two")}));

        heard.clear();
        editor.loadBytes(QByteArray(SourceEditor::kAnnounceWholeUpTo + 1, 'x'));
        QCOMPARE(changes(), QStringList({QStringLiteral("reload")}));
        QCOMPARE(heard.last(), QStringLiteral("caret 0"));

        heard.clear();
        editor.loadBytes("three");
        QCOMPARE(changes(), QStringList({QStringLiteral("reload")}));

        // A large paste is announced the same way, once it is in place.
        heard.clear();
        editor.replaceSelectedBytes(QByteArray(SourceEditor::kAnnounceWholeUpTo + 1, 'y'));
        QVERIFY(changes().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(changes(), QStringList({QStringLiteral("reload")}), test::kCeiling);
    }
};

QTEST_MAIN(SourceAnnounceTest)
#include "tst_source_announce.moc"

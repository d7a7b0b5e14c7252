#include "ScriptedDialogs.h"
#include "StartedFrame.h"
#include "editor/SourceEditor.h"
#include "editor/TypingHelp.h"
#include "shell/CommandActions.h"
#include "shell/FrameMenus.h"

#include <QMenu>
#include <QSettings>
#include <QtTest>

using namespace tw;
using tw::test::ScriptedDialogs;

namespace {

// The captions and check marks of a View menu's help-while-typing items.
QStringList typingItems(QMenu *menu)
{
    QStringList out;
    for (QAction *item : menu->actions())
        if (item->objectName() == QLatin1String("mnuViewAutoCloseTags")
            || item->objectName() == QLatin1String("mnuViewCompletion")
            || item->objectName() == QLatin1String("mnuViewMatchingTags"))
            out << item->text() + (item->isChecked() ? QStringLiteral(" on") : QStringLiteral(" off"));
    return out;
}

QAction *item(QMenu *menu, const char *name)
{
    for (QAction *a : menu->actions())
        if (a->objectName() == QLatin1String(name))
            return a;
    return nullptr;
}

} // namespace

// The View menus' toggles for help while typing, as the user meets them.
class TypingTogglesTest : public QObject {
    Q_OBJECT
    ScriptedDialogs m_dialogs;

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QSettings(QStringLiteral("Tagwright"), QStringLiteral("Tagwright")).remove(QStringLiteral("Editor")); }

    // All three on at first, in the frame's View menu and the document
    // window's; a toggle turned off is kept in [Editor], applies to the pages
    // open and to pages opened later, and is off again after a restart.
    void togglesAreKeptAndApplied()
    {
        auto frame = tw::test::startFrame(m_dialogs);
        const QStringList allOn{"Auto-&Close Tags on", "&Completion on", "&Matching Tags on"};
        QCOMPARE(typingItems(frame->menus().mnuView), allOn);
        QCOMPARE(typingItems(frame->menus().documentView), allOn);

        SourceEditor *first = frame->activeDocument()->textEdit;
        item(frame->menus().mnuView, "mnuViewAutoCloseTags")->trigger();
        QCOMPARE(typingItems(frame->menus().documentView),
                 (QStringList{"Auto-&Close Tags off", "&Completion on", "&Matching Tags on"}));
        QVERIFY(!TypingHelp::of(first)->choices().closeTags);
        first->setFocus();
        QTest::keyClicks(first, QStringLiteral("<p>x</p>"));
        QCOMPARE(first->documentBytes(), QByteArray("<p>x</p>"));
        QTest::keyClicks(first, QStringLiteral(" <"));
        QVERIFY(first->SendScintilla(QsciScintilla::SCI_AUTOCACTIVE)); // completion is still on

        frame->commands().viewCompletion->trigger(); // the document window's item
        frame->NewDocument();
        const TypingHelp::Choices later = TypingHelp::of(frame->activeDocument()->textEdit)->choices();
        QVERIFY(!later.closeTags && !later.completion && later.matchingTags);

        QSettings settings(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
        QCOMPARE(settings.value(QStringLiteral("Editor/autoCloseTags")).toBool(), false);
        QCOMPARE(settings.value(QStringLiteral("Editor/completion")).toBool(), false);

        frame.reset();
        frame = tw::test::startFrame(m_dialogs);
        QCOMPARE(typingItems(frame->menus().mnuView),
                 (QStringList{"Auto-&Close Tags off", "&Completion off", "&Matching Tags on"}));
        item(frame->menus().mnuView, "mnuViewMatchingTags")->trigger();
        QVERIFY(!TypingHelp::of(frame->activeDocument()->textEdit)->choices().matchingTags);
    }
};

QTEST_MAIN(TypingTogglesTest)
#include "tst_typing_toggles.moc"

// Every access key and shortcut of the frame's menu tree and the document
// window's: no two items of one menu level share an access key, and no two
// commands live in one window share a shortcut, nor does a command take a key
// the page's editor has for something else.
#include "StartedFrame.h"
#include "shell/FrameMenus.h"

#include <Qsci/qscicommandset.h>

#include <QMenuBar>
#include <QtTest>

using namespace tw;

namespace {

// Repeats whose captions are all given as they are and keep their letters:
// each press of the letter steps through the enabled ones, Enter takes the
// one highlighted, and a letter only one enabled item has chooses it at once.
const QList<QStringList> kKeptRepeats = {
    {"&Web Browser", "Word &Wrap", "Show &White Space"},
    {"Auto-&Close Tags", "&Completion"},
    {"HTML &Edit Toolbar", "Show Line &Ends"},
    {"&Paste", "Check &Page"},
    {"&Undo", "Tidy &Up Page"},
    {"Check &Site", "Check &Spelling"},
};

// "path: K: caption, caption" for each access key K that items of one level
// share, for this level and every submenu below it.
void accessKeyRepeats(const QString &path, const QList<QAction *> &items, QStringList &out)
{
    QMap<QString, QStringList> byKey;
    for (QAction *item : items) {
        if (item->isSeparator())
            continue;
        const QString key = QKeySequence::mnemonic(item->text()).toString();
        if (!key.isEmpty())
            byKey[key] << item->text();
        if (QMenu *sub = item->menu())
            accessKeyRepeats(path + QLatin1Char('/') + sub->title(), sub->actions(), out);
    }
    for (auto it = byKey.cbegin(); it != byKey.cend(); ++it)
        if (it->size() > 1 && !kKeptRepeats.contains(*it))
            out << QStringLiteral("%1: %2: %3").arg(path, it.key(), it->join(QStringLiteral(", ")));
}

void collect(const QList<QAction *> &items, QList<QAction *> &out)
{
    for (QAction *item : items) {
        if (!out.contains(item))
            out << item;
        if (item->menu())
            collect(item->menu()->actions(), out);
    }
}

// Commands whose keys the editor binds to the same work.
const QMap<QString, QList<QsciCommand::Command>> kSameWorkAsEditor = {
    {"mnuEditUndo", {QsciCommand::Undo}},
    {"mnuEditRedo", {QsciCommand::Redo}},
    {"mnuEditCut", {QsciCommand::SelectionCut}},
    {"mnuEditCopy", {QsciCommand::SelectionCopy}},
    {"mnuEditPaste", {QsciCommand::Paste}},
    {"mnuEditSelectAll", {QsciCommand::SelectAll}},
    {"mnuViewZoomIn", {QsciCommand::ZoomIn}},
    {"mnuViewZoomOut", {QsciCommand::ZoomOut}},
};

} // namespace

class MenuKeysTest : public QObject, tw::test::FrameFixture {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanup() { closeFrame(); }

    void noRepeatsInEitherTree_data()
    {
        QTest::addColumn<bool>("document");
        QTest::newRow("frame") << false;
        QTest::newRow("document window") << true;
    }
    void noRepeatsInEitherTree()
    {
        QFETCH(bool, document);
        frmMain &frame = open();
        const QList<QMenu *> tree = document ? frame.menus().documentMenus() : frame.menus().frameMenus();
        QList<QAction *> top;
        for (QMenu *menu : tree)
            top << menu->menuAction();

        QStringList repeats;
        accessKeyRepeats(QStringLiteral("menu bar"), top, repeats);

        // Shortcuts live in the window: the tree's items and whatever the
        // frame's bars and the frame itself carry.
        QList<QAction *> live;
        collect(top, live);
        collect(frame.actions(), live);
        for (QToolBar *bar : frame.findChildren<QToolBar *>())
            collect(bar->actions(), live);
        QMap<QString, QStringList> byKey;
        for (QAction *item : std::as_const(live))
            for (const QKeySequence &key : item->shortcuts())
                byKey[key.toString()] << item->objectName();
        if (document) {
            const SourceEditor *editor = frame.activeDocument()->textEdit;
            for (QsciCommand *command : editor->standardCommands()->commands()) {
                for (int key : {command->key(), command->alternateKey()}) {
                    const QString name = QKeySequence(key).toString();
                    if (!key || !byKey.contains(name))
                        continue;
                    const QStringList &items = byKey[name];
                    if (items.size() != 1 || !kSameWorkAsEditor.value(items.first()).contains(command->command()))
                        byKey[name] << QStringLiteral("the editor's ") + command->description();
                }
            }
        }
        for (auto it = byKey.cbegin(); it != byKey.cend(); ++it)
            if (it->size() > 1)
                repeats << QStringLiteral("shortcut %1: %2").arg(it.key(), it->join(QStringLiteral(", ")));
        QVERIFY2(repeats.isEmpty(), qPrintable(repeats.join(QStringLiteral("; "))));
    }
};

QTEST_MAIN(MenuKeysTest)
#include "tst_menu_keys.moc"

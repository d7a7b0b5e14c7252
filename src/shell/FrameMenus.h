#pragma once

#include <QList>
#include <QObject>

class QMenu;
class QMenuBar;
class QWidget;

namespace tw {

class CommandActions;

// The two menu trees built from the shared actions: the frame's own (File,
// View, Help) and the one every document window shows (File, Edit, View, Help).
// While a child window is active its tree replaces the frame's in the menu
// bar; each tree is built once and only moved in and out.
class FrameMenus : public QObject {
    Q_OBJECT
public:
    FrameMenus(const CommandActions &actions, QMenuBar *bar, QWidget *owner);

    QList<QMenu *> frameMenus() const { return {mnuFile, mnuEdit, mnuView, mnuHelp}; }
    QList<QMenu *> documentMenus() const { return {documentFile, documentEdit, documentView, documentHelp}; }
    // Puts these menus in the menu bar, unless they are there already.
    void show(const QList<QMenu *> &menus);

    QMenu *mnuFile;
    QMenu *mnuEdit; // the commands that need no page: Find in Files, Check Site
    QMenu *mnuView;
    QMenu *mnuHelp;
    QMenu *documentFile;
    QMenu *documentView;
    QMenu *documentHelp;
    QMenu *documentEdit; // find and replace, after File
    // In documentEdit: the dictionary for pages whose `lang` has none, filled
    // with the installed dictionaries when spelling is wired.
    QMenu *spellingLanguage;

private:
    QMenuBar *m_bar;
    QList<QMenu *> m_shown;
};

} // namespace tw

#include "shell/HabitsWiring.h"

#include "documents/frmDocument.h"
#include "editor/EditorLook.h"
#include "editor/EditorSettings.h"
#include "editor/GoToLine.h"
#include "editor/SourceEditor.h"
#include "editor/SourcePrint.h"
#include "shell/CommandActions.h"
#include "shell/frmMain.h"

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <memory>

namespace tw {

namespace {

template <typename Work>
void on(QAction *action, frmMain &frame, Work work)
{
    QObject::connect(action, &QAction::triggered, &frame, work);
}

using Setter = void (*)(bool);
using LookSetter = void (EditorLook::*)(bool);

void wireToggle(frmMain &frame, QAction *toggle, bool on, Setter keep, LookSetter apply)
{
    toggle->setChecked(on);
    QObject::connect(toggle, &QAction::toggled, &frame, [&frame, keep, apply](bool checked) {
        keep(checked);
        for (frmDocument *document : frame.documents())
            if (EditorLook *look = EditorLook::of(document->textEdit))
                (look->*apply)(checked);
    });
}

SourceEditor *activeSource(frmMain &frame)
{
    frmDocument *document = frame.activeDocument();
    return document ? document->textEdit : nullptr;
}

// The name at the head of each printed sheet: a saved page's file name, an
// unsaved one's caption.
QString pageName(const frmDocument &document)
{
    return document.isUntitled() ? document.caption() : QFileInfo(document.caption()).fileName();
}

// Keeps the Edit menu's top items enabled only while they can act on the
// active page, from the page's and the clipboard's signals.
void wireEditState(frmMain &frame)
{
    CommandActions &a = frame.commands();
    auto watched = std::make_shared<QList<QMetaObject::Connection>>();
    const auto pasteable = [&frame, &a] {
        SourceEditor *editor = activeSource(frame);
        const QClipboard *board = QGuiApplication::clipboard();
        a.editPaste->setEnabled(editor && !editor->isReadOnly() && board && !board->text().isEmpty());
    };
    const auto follow = [&frame, &a, watched, pasteable] {
        for (const QMetaObject::Connection &c : std::as_const(*watched))
            QObject::disconnect(c);
        watched->clear();
        SourceEditor *editor = activeSource(frame);
        const auto history = [&a, editor] {
            a.undo->setEnabled(editor && editor->isUndoAvailable());
            a.redo->setEnabled(editor && editor->isRedoAvailable());
        };
        const auto selection = [&a, editor](bool selected) {
            a.editCut->setEnabled(editor && selected && !editor->isReadOnly());
            a.editCopy->setEnabled(editor && selected);
        };
        history();
        selection(editor && editor->hasSelectedText());
        pasteable();
        if (!editor)
            return;
        *watched << QObject::connect(editor, &QsciScintilla::copyAvailable, &frame, selection)
                 << QObject::connect(editor, &QsciScintilla::textChanged, &frame, history)
                 // A load empties the history without a change of text after it.
                 << QObject::connect(editor, &QsciScintilla::modificationChanged, &frame, history);
    };
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, &frame, pasteable);
    QObject::connect(frame.mdiArea, &QMdiArea::subWindowActivated, &frame, follow);
    follow();

    on(a.undo, frame, [&frame] {
        if (SourceEditor *editor = activeSource(frame))
            editor->undo();
    });
    on(a.redo, frame, [&frame] {
        if (SourceEditor *editor = activeSource(frame))
            editor->redo();
    });
    QObject::connect(a.editCut, &QAction::triggered, a.cut, &QAction::trigger);
    QObject::connect(a.editCopy, &QAction::triggered, a.copy, &QAction::trigger);
    QObject::connect(a.editPaste, &QAction::triggered, a.paste, &QAction::trigger);
    on(a.selectAll, frame, [&frame] {
        if (SourceEditor *editor = activeSource(frame))
            editor->selectAll();
    });
}

} // namespace

void wireHabits(frmMain &frame)
{
    CommandActions &a = frame.commands();
    wireEditState(frame);

    on(a.goToLine, frame, [&frame] {
        if (SourceEditor *editor = activeSource(frame))
            goToLine(frame.dialogs(), *editor);
    });
    on(a.filePrint, frame, [&frame] {
        if (frmDocument *document = frame.activeDocument())
            printSource(frame.dialogs(), *document->textEdit, pageName(*document));
    });

    wireToggle(frame, a.viewWordWrap, editorSettings::wordWrap(), &editorSettings::setWordWrap,
               &EditorLook::setWordWrap);
    wireToggle(frame, a.viewWhiteSpace, editorSettings::whiteSpace(), &editorSettings::setWhiteSpace,
               &EditorLook::setWhiteSpace);
    wireToggle(frame, a.viewLineEnds, editorSettings::lineEnds(), &editorSettings::setLineEnds,
               &EditorLook::setLineEnds);
    wireToggle(frame, a.viewFolding, editorSettings::folding(), &editorSettings::setFolding,
               &EditorLook::setFolding);
    for (const auto &[action, fold] : {std::pair{a.foldAll, true}, std::pair{a.unfoldAll, false}}) {
        on(action, frame, [&frame, fold = fold] {
            if (EditorLook *look = EditorLook::of(activeSource(frame)))
                look->foldAll(fold);
        });
    }
    on(a.zoomIn, frame, [&frame] {
        if (SourceEditor *editor = activeSource(frame))
            editor->zoomIn();
    });
    on(a.zoomOut, frame, [&frame] {
        if (SourceEditor *editor = activeSource(frame))
            editor->zoomOut();
    });
    on(a.zoomReset, frame, [] { EditorLook::zoomAll(0); });
}

} // namespace tw

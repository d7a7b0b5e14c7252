#pragma once

#include <QPointer>
#include <QString>
#include <functional>

class QWidget;
class QsciScintilla;

namespace tw {

// The active editor: the focused control of the frame's active child window,
// looked up anew for every operation. It is normally a document's SourceEditor
// but may be a line edit or an editable combo box (a browser's address box).
// With no child window, or a focused control that offers no text, reading
// gives empty text and writing changes nothing.
class ActiveEditor {
public:
    using Locator = std::function<QWidget *()>;
    explicit ActiveEditor(Locator locate) : m_locate(std::move(locate)) {}

    QWidget *control() const;
    bool hasTextControl() const;

    QString selectedText() const;
    // False when there is no control that takes text.
    bool replaceSelection(const QString &text);
    QString wholeText() const;
    void focusBack();

private:
    Locator m_locate;
};

// Groups everything a command writes into one undo step of the editor that
// was active when the command began.
class UndoStep {
public:
    explicit UndoStep(const ActiveEditor &editor);
    ~UndoStep();
    UndoStep(const UndoStep &) = delete;
    UndoStep &operator=(const UndoStep &) = delete;

private:
    QPointer<QsciScintilla> m_editor;
};

} // namespace tw

#pragma once

#include "editor/ActiveEditor.h"
#include "editor/SourceEditor.h"

#include <QString>

namespace tw::test {

// An editor holding a text whose selection is marked by '[' and ']' (no
// marks: the caret at the end), and the active editor that finds it, or
// finds nothing once `gone` is set.
struct MarkedEditor {
    explicit MarkedEditor(QString marked = {}) { load(std::move(marked)); }

    void load(QString marked)
    {
        const qsizetype open = marked.indexOf(QLatin1Char('['));
        const qsizetype close = marked.indexOf(QLatin1Char(']')) - 1;
        if (open >= 0)
            marked.remove(open, 1).remove(close, 1);
        editor.loadBytes(marked.toUtf8());
        const auto bytePos = [&](qsizetype i) { return long(marked.left(i).toUtf8().size()); };
        const long start = open >= 0 ? bytePos(open) : bytePos(marked.size());
        editor.SendScintilla(QsciScintilla::SCI_SETSEL, static_cast<unsigned long>(start),
                             open >= 0 ? bytePos(close) : start);
    }
    QString text() const { return editor.textExact(); }

    SourceEditor editor;
    bool gone = false;
    ActiveEditor active{[this]() -> QWidget * { return gone ? nullptr : &editor; }};
};

} // namespace tw::test

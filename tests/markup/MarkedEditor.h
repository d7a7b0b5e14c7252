#pragma once

#include "CommandHarness.h"

#include <QString>

namespace tw::test {

// An editor holding a text marked as loadMarked reads it, and the active
// editor that finds it, or finds nothing once `gone` is set.
struct MarkedEditor {
    explicit MarkedEditor(QString marked = {}) { load(std::move(marked)); }

    void load(QString marked) { loadMarked(editor, std::move(marked)); }
    QString text() const { return editor.textExact(); }

    SourceEditor editor;
    bool gone = false;
    ActiveEditor active{[this]() -> QWidget * { return gone ? nullptr : &editor; }};
};

} // namespace tw::test

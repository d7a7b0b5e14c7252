#include "editor/FindReplace.h"

#include "editor/SourceEditor.h"

namespace tw {

namespace {

QString notFound(const FindRequest &request)
{
    return QStringLiteral("Cannot find \"%1\".").arg(request.find);
}

void select(SourceEditor &editor, const TextMatch &m)
{
    editor.SendScintilla(QsciScintilla::SCI_SETSEL, static_cast<unsigned long>(m.start),
                         static_cast<long>(m.end()));
}

FindOutcome findFrom(SourceEditor &editor, TextSearch &search, const FindRequest &request, bool backward)
{
    const long start = editor.SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART);
    const long end = editor.SendScintilla(QsciScintilla::SCI_GETSELECTIONEND);
    const char *data = editor.documentData();
    const qsizetype length = editor.documentLength();
    const TextMatch m = backward ? search.findPrevious(data, length, start, true)
                                 : search.findNext(data, length, end, true);
    FindOutcome out;
    if (!m.found()) {
        out.message = search.error().isEmpty() ? notFound(request) : search.error();
        return out;
    }
    select(editor, m);
    out.found = true;
    const bool wrapped = backward ? m.start >= start : m.start < end;
    if (wrapped)
        out.message = backward ? QStringLiteral("Reached the start of the page; went on from the end.")
                               : QStringLiteral("Reached the end of the page; went on from the start.");
    return out;
}

} // namespace

FindOutcome findInEditor(SourceEditor &editor, const FindRequest &request, bool backward)
{
    TextSearch search(request.find.toUtf8(), request.options);
    if (!search.isValid())
        return {false, false, search.error()};
    return findFrom(editor, search, request, backward);
}

FindOutcome replaceInEditor(SourceEditor &editor, const FindRequest &request)
{
    TextSearch search(request.find.toUtf8(), request.options);
    const QByteArray replacement = request.replace.toUtf8();
    if (!search.checkReplacement(replacement))
        return {false, false, search.error()};
    const long start = editor.SendScintilla(QsciScintilla::SCI_GETSELECTIONSTART);
    const long end = editor.SendScintilla(QsciScintilla::SCI_GETSELECTIONEND);
    const char *data = editor.documentData();
    if (!search.matchesExactly(data, editor.documentLength(), start, end))
        return findFrom(editor, search, request, false);
    const QByteArray text = search.expand(replacement, data);
    editor.replaceSelectedBytes(text);
    FindOutcome next = findFrom(editor, search, request, false);
    next.changed = true;
    if (!next.found)
        next.message = QStringLiteral("Replaced the last match.");
    next.found = true;
    return next;
}

FindOutcome replaceAllInEditor(SourceEditor &editor, const FindRequest &request)
{
    TextSearch search(request.find.toUtf8(), request.options);
    if (!search.isValid())
        return {false, false, search.error()};
    ReplaceAllResult r =
        replaceAllMatches(search, editor.documentData(), editor.documentLength(), request.replace.toUtf8());
    if (!r.ok)
        return {false, false, r.error};
    if (r.count == 0)
        return {false, false, notFound(request)};
    // One replacement of the span from the first match to the last: one edit
    // of the document and one undo step, however many matches there are.
    editor.SendScintilla(QsciScintilla::SCI_BEGINUNDOACTION);
    editor.SendScintilla(QsciScintilla::SCI_SETTARGETRANGE, static_cast<unsigned long>(r.start),
                         static_cast<long>(r.end));
    editor.SendScintilla(QsciScintilla::SCI_REPLACETARGET, static_cast<unsigned long>(r.text.size()),
                         r.text.constData());
    editor.SendScintilla(QsciScintilla::SCI_ENDUNDOACTION);
    editor.SendScintilla(QsciScintilla::SCI_GOTOPOS, static_cast<unsigned long>(r.start + r.text.size()));
    return {true, true,
            r.count == 1 ? QStringLiteral("Replaced 1 match.")
                         : QStringLiteral("Replaced %1 matches.").arg(r.count)};
}

} // namespace tw

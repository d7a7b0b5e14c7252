// Loading a page into the editor: in pieces straight into Scintilla's buffer,
// with every step that needs memory guarded, so that a page too large for
// the memory left ends in a message and an empty, usable editor.
#include "editor/SourceEditor.h"

#include "pages/PageFile.h"

#include <QAccessible>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace tw {

bool SourceEditor::loadBytes(const QByteArray &utf8)
{
    beginLoad(utf8.size());
    if (!utf8.isEmpty())
        appendLoaded(utf8.constData(), utf8.size());
    endLoad();
    if (!m_outOfMemory)
        return true;
    dropDocument();
    return false;
}

bool SourceEditor::loadPage(PageReader &reader)
{
    class Sink : public PageSink {
    public:
        explicit Sink(SourceEditor *editor) : m_editor(editor) {}
        bool start(qsizetype sizeHint) override
        {
            m_editor->beginLoad(sizeHint);
            return !m_editor->editorFailed();
        }
        bool append(const char *data, qsizetype size) override
        {
            return m_editor->appendLoaded(data, size);
        }

    private:
        SourceEditor *m_editor;
    } sink(this);

    const bool read = reader.read(sink);
    if (!m_loading)
        return read; // nothing was started
    if (!read && !m_outOfMemory)
        SendScintilla(SCI_CLEARALL); // no part of a page that could be saved over the file
    endLoad();
    if (!m_outOfMemory)
        return read;
    dropDocument();
    if (read)
        reader.failForMemory(); // the text was read whole, but the editor could not show it
    return false;
}

bool SourceEditor::replaceAllBytes(const QByteArray &utf8)
{
    flushEdits();
    QByteArray before;
    try {
        before = documentBytes(); // what to fall back on
    } catch (const std::bad_alloc &) {
        return false; // nothing was changed
    }
    const bool changed = isModified();
    const long caret = SendScintilla(SCI_GETCURRENTPOS);
    try {
        SendScintilla(SCI_BEGINUNDOACTION);
        SendScintilla(SCI_SETTARGETRANGE, 0UL, static_cast<long>(documentLength()));
        SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(utf8.size()), utf8.constData());
        SendScintilla(SCI_ENDUNDOACTION);
        if (!editorFailed())
            return true;
    } catch (const std::bad_alloc &) {
    }
    // The document may be half changed and refuse any change (see
    // dropDocument): a new one takes the text as it was. An insertion begun
    // is never reported. The load marks the text unchanged, which ends the
    // journal of the half-made edit, and marking it changed again starts a
    // new one from the text as it is.
    m_insertAt = -1;
    m_insertLength = 0;
    dropDocument();
    try {
        loadBytes(before);
        if (changed)
            markChanged();
        SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(std::min<long>(caret, long(documentLength()))));
    } catch (const std::bad_alloc &) {
        m_outOfMemory = false;
    }
    return false;
}

// Scintilla lets an allocation failure out of the call that needed the memory,
// which may leave the document half changed and refusing any further change
// (it counts the interrupted change as still under way). So the document is
// given up for a new empty one of the same kind, which also frees its memory.
void SourceEditor::dropDocument()
{
    m_outOfMemory = false;
    const auto eol = eolMode();
    try {
        const long options = SendScintilla(SCI_GETDOCUMENTOPTIONS);
        const long document = SendScintilla(SCI_CREATEDOCUMENT, 0UL, options);
        // Without a new document Scintilla makes a default one.
        SendScintilla(SCI_SETDOCPOINTER, 0UL, reinterpret_cast<void *>(document));
        if (document)
            SendScintilla(SCI_RELEASEDOCUMENT, 0UL, reinterpret_cast<void *>(document));
    } catch (const std::bad_alloc &) {
        return; // not even an empty document: the old one stays, unchanged from here on
    }
    setUtf8(true);
    setEolMode(eol);
    emit textChanged();
    emit linesChanged();
}

// True when Scintilla failed a call. Where Scintilla catches its own
// allocation failures it keeps a status instead of throwing; warnings do not
// count.
bool SourceEditor::editorFailed() const
{
    if (m_outOfMemory)
        return true;
    const long status = SendScintilla(SCI_GETSTATUS);
    return status != SC_STATUS_OK && status < SC_STATUS_WARN_START;
}

void SourceEditor::beginLoad(qsizetype sizeHint)
{
    if (m_loading) {
        // Starting over: the text so far goes first, so that the old and the
        // new text are never held together.
        SendScintilla(SCI_CLEARALL);
    } else {
        flushEdits();
        // Loading is not an edit. With undo collection on, Scintilla would
        // keep a copy of the whole text for the undo step, and the edit
        // notices would hand the whole text to every follower of edits (the
        // recovery journal among them). Both are switched off for the load;
        // listeners are told once afterwards. The old text is taken (for
        // assistive technology) before beforeLoad may swap the document.
        m_announce = QAccessible::isActive();
        m_oldKnown = m_announce && documentLength() <= kAnnounceWholeUpTo;
        m_oldText = m_oldKnown ? textExact() : QString();
        m_eventMask = SendScintilla(SCI_GETMODEVENTMASK);
        m_collectUndo = SendScintilla(SCI_GETUNDOCOLLECTION);
        m_loading = true;
        m_outOfMemory = false;
    }
    if (m_outOfMemory)
        return;
    try {
        prepareLoad(sizeHint);
    } catch (const std::bad_alloc &) {
        m_outOfMemory = true;
    }
}

void SourceEditor::prepareLoad(qsizetype sizeHint)
{
    if (beforeLoad)
        beforeLoad(sizeHint);
    SendScintilla(SCI_SETMODEVENTMASK, 0UL);
    // Again after a restart: beforeLoad may have swapped the document, and
    // undo collection belongs to the document.
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    SendScintilla(SCI_SETSTATUS, static_cast<unsigned long>(SC_STATUS_OK));
    SendScintilla(SCI_CLEARALL);
    // Room for the whole text at once, so that the buffer is not moved and
    // copied as it grows. The few bytes more keep the gap open, so that
    // reading the text as one block (documentData) does not move it either.
    if (sizeHint > 0)
        SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(sizeHint + 64));
}

bool SourceEditor::appendLoaded(const char *utf8, qsizetype size)
{
    if (m_outOfMemory)
        return false;
    try {
        if (size > 0)
            SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(size), utf8);
    } catch (const std::bad_alloc &) {
        m_outOfMemory = true;
    }
    return !editorFailed();
}

void SourceEditor::endLoad()
{
    if (!m_loading)
        return;
    m_loading = false;
    SendScintilla(SCI_SETUNDOCOLLECTION, static_cast<unsigned long>(m_collectUndo));
    SendScintilla(SCI_SETMODEVENTMASK, static_cast<unsigned long>(m_eventMask));
    if (m_outOfMemory) {
        m_oldText = QString();
        return;
    }
    try {
        settleLoaded();
    } catch (const std::bad_alloc &) {
        m_outOfMemory = true;
    }
}

// What a finished load sets up (each step may need memory).
void SourceEditor::settleLoaded()
{
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    // Scintilla measures a line in pieces and keeps the widths of short pieces
    // (a tag, an attribute, a word) in a cache keyed by their text and style.
    // A page that is one long line is measured whole again after every
    // keystroke, and the default room of 1024 pieces is used up many times
    // over by such a line; with room for many more, its repeated pieces come
    // from the cache. The room costs memory up front (some megabytes), so
    // only large pages, the ones that can hold such lines, get it.
    SendScintilla(SCI_SETPOSITIONCACHE, static_cast<unsigned long>(
                                            documentLength() >= kLargePage ? kPositionCacheSize
                                                                           : kSmallPositionCacheSize));
    emit textChanged();
    emit linesChanged();
    // The caret to the start and the view to the top left, without asking
    // where the caret stands on the screen (as SCI_GOTOPOS does): that lays
    // out the whole first line, which for a line of megabytes takes seconds
    // before the page is even shown.
    SendScintilla(SCI_SETEMPTYSELECTION, 0UL);
    SendScintilla(SCI_SETFIRSTVISIBLELINE, 0UL);
    SendScintilla(SCI_SETXOFFSET, 0UL);
    if (m_announce)
        announceLoad(m_oldKnown, m_oldText);
    m_oldText = QString();

    // The end-of-line mode of the first line end; only the first line is searched.
    const char *text = documentData();
    const qsizetype length = documentLength();
    const auto *lf = static_cast<const char *>(std::memchr(text, '\n', size_t(length)));
    const qsizetype firstLine = lf ? lf - text : length;
    const auto *cr = static_cast<const char *>(std::memchr(text, '\r', size_t(firstLine)));
    if (cr)
        setEolMode(cr + 1 < text + length && cr[1] == '\n' ? EolWindows : EolMac);
    else
        setEolMode(EolUnix);
}

} // namespace tw

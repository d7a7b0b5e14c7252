#include "editor/SourceEditor.h"

#include "pages/PageFile.h"
#include "editor/SourceAccessible.h"

#include <QAccessible>
#include <QFont>
#include <QMetaMethod>

#include <cstring>
#include <new>
#include <utility>

namespace tw {

SourceEditor::SourceEditor(QWidget *parent) : QsciScintilla(parent)
{
    // The page is plain text with no highlighting, so the document keeps no
    // style byte per character: that halves the memory a large page takes.
    // The code page and line-end mode belong to the document, so this comes first.
    const long document =
        SendScintilla(SCI_CREATEDOCUMENT, 0UL, static_cast<long>(SC_DOCUMENTOPTION_STYLES_NONE));
    if (document) {
        SendScintilla(SCI_SETDOCPOINTER, 0UL, reinterpret_cast<void *>(document));
        SendScintilla(SCI_RELEASEDOCUMENT, 0UL, reinterpret_cast<void *>(document));
    }
    setUtf8(true);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9.75);
    setFont(font);
    setMarginWidth(1, 0);
    setWrapMode(WrapNone);
    setEolMode(EolUnix);
    SendScintilla(SCI_SETMULTIPLESELECTION, 0UL);
    setAccessibleName(QStringLiteral("Page source"));

    // Edits are followed through the notices Scintilla sends just before a
    // change. The notices after a change are switched off: for each of them
    // QScintilla counts the characters from the start of the page up to the
    // change (to tell assistive technology where it happened), whether any
    // assistive technology listens or not, so every keystroke would cost time
    // in proportion to the page. This editor tells assistive technology
    // itself, at a cost that does not grow with the page (announceEdit).
    SendScintilla(SCI_SETMODEVENTMASK, static_cast<unsigned long>(SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE));
    installSourceAccessible();
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char *text, int length, int, int, int, int, int, int) {
                onModified(position, type, text, length);
            });

    // After every caret move and every edit QScintilla reports the caret's
    // line and column (cursorPositionChanged), counting the column character
    // by character from the start of the line: on a line of megabytes that
    // count costs more than the move and its paint. The report is made here
    // instead (onUpdateUI), only while something listens for it; brace
    // matching, the other task of QScintilla's handler, still goes through
    // that handler.
    m_ownsUpdates = disconnect(this, SIGNAL(SCN_UPDATEUI(int)), this, SLOT(handleUpdateUI(int)));
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, &SourceEditor::onUpdateUI);

    m_caretPeriod = int(SendScintilla(SCI_GETCARETPERIOD));
    m_caretRest.setObjectName(QStringLiteral("caretRest"));
    m_caretRest.setSingleShot(true);
    m_caretRest.setInterval(kCaretRestMs);
    connect(&m_caretRest, &QTimer::timeout, this, [this] { SendScintilla(SCI_SETCARETPERIOD, 0UL); });
}

void SourceEditor::onUpdateUI(int updated)
{
    announceCaret();
    if (!m_ownsUpdates)
        return;
    if (braceMatching() != NoBraceMatch) {
        QMetaObject::invokeMethod(this, "handleUpdateUI", Qt::DirectConnection, Q_ARG(int, updated));
        return;
    }
    static const QMetaMethod report = QMetaMethod::fromSignal(&QsciScintilla::cursorPositionChanged);
    if (!isSignalConnected(report)) {
        m_reportedPosition = -1; // a later listener hears of the next move
        return;
    }
    const long position = SendScintilla(SCI_GETCURRENTPOS);
    if (position == m_reportedPosition)
        return;
    m_reportedPosition = position;
    emit cursorPositionChanged(int(SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(position))),
                               int(SendScintilla(SCI_GETCOLUMN, static_cast<unsigned long>(position))));
}

void SourceEditor::wakeCaret()
{
    if (m_steadyCaret)
        return;
    if (SendScintilla(SCI_GETCARETPERIOD) != m_caretPeriod)
        SendScintilla(SCI_SETCARETPERIOD, static_cast<unsigned long>(m_caretPeriod));
    m_caretRest.start();
}

void SourceEditor::setSteadyCaret(bool steady)
{
    m_steadyCaret = steady;
    if (steady) {
        m_caretRest.stop();
        SendScintilla(SCI_SETCARETPERIOD, 0UL);
    } else {
        wakeCaret();
    }
}

void SourceEditor::markChanged()
{
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_INSERTTEXT, 0UL, " ");
    SendScintilla(SCI_DELETERANGE, 0UL, 1L);
    SendScintilla(SCI_ENDUNDOACTION);
}

void SourceEditor::keyPressEvent(QKeyEvent *event)
{
    wakeCaret();
    QsciScintilla::keyPressEvent(event);
}

void SourceEditor::mousePressEvent(QMouseEvent *event)
{
    wakeCaret();
    QsciScintilla::mousePressEvent(event);
}

void SourceEditor::focusInEvent(QFocusEvent *event)
{
    wakeCaret();
    QsciScintilla::focusInEvent(event);
}

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

// Scintilla tells of a change only before it is made (see the constructor),
// and QScintilla passes the inserted bytes on only with the notices that
// follow a change. So an insertion is read from the document once it is in
// place: at the next notice, at flushEdits(), or when control returns to the
// event loop, whichever comes first. Nothing changes the document in between.
void SourceEditor::onModified(int position, int type, const char *, int length)
{
    if (!(type & (SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE)))
        return;
    flushEdits();
    emit aboutToChange();
    if (type & SC_MOD_BEFOREINSERT) {
        m_insertAt = position;
        m_insertLength = length;
    } else {
        announceEdit(position, length, nullptr, 0);
        emit edited(position, length, nullptr, 0);
        if (SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(position))
            != SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(position + length)))
            m_linesMayChange = true;
    }
    // Several changes made by one command (or one key) are followed by one
    // textChanged(), once the text is as they left it.
    if (!m_settlePending) {
        m_settlePending = true;
        QMetaObject::invokeMethod(this, &SourceEditor::settle, Qt::QueuedConnection);
    }
}

void SourceEditor::flushEdits()
{
    const qint64 position = std::exchange(m_insertAt, -1);
    const qint64 length = std::exchange(m_insertLength, 0);
    if (position < 0 || length <= 0)
        return;
    // The range pointer moves Scintilla's gap out of the way, which the
    // insertion has just put right after itself: this costs nothing.
    const auto *text = reinterpret_cast<const char *>(static_cast<quintptr>(
        SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(position), static_cast<long>(length))));
    if (!text)
        return;
    announceEdit(position, 0, text, length);
    emit edited(position, 0, text, length);
    if (std::memchr(text, '\n', size_t(length)) || std::memchr(text, '\r', size_t(length)))
        m_linesMayChange = true;
}

void SourceEditor::settle()
{
    m_settlePending = false;
    flushEdits();
    emit textChanged();
    if (std::exchange(m_linesMayChange, false))
        emit linesChanged();
    if (std::exchange(m_reloadPending, false))
        announceReload();
}

const char *SourceEditor::documentData() const
{
    return static_cast<const char *>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
}

qsizetype SourceEditor::documentLength() const
{
    return static_cast<qsizetype>(SendScintilla(SCI_GETLENGTH));
}

QByteArray SourceEditor::documentBytes() const
{
    return QByteArray(documentData(), documentLength());
}

QByteArray SourceEditor::rangeBytes(qint64 start, qint64 end) const
{
    if (end <= start)
        return QByteArray();
    // QByteArray keeps a terminating byte after its data, which takes the NUL
    // that the range call appends.
    QByteArray bytes(qsizetype(end - start), Qt::Uninitialized);
    SendScintilla(SCI_GETTEXTRANGE, static_cast<unsigned long>(start), static_cast<long>(end), bytes.data());
    return bytes;
}

QByteArray SourceEditor::selectedBytes() const
{
    return rangeBytes(SendScintilla(SCI_GETSELECTIONSTART), SendScintilla(SCI_GETSELECTIONEND));
}

void SourceEditor::replaceSelectedBytes(const QByteArray &utf8)
{
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    SendScintilla(SCI_SETTARGETSTART, static_cast<unsigned long>(start));
    SendScintilla(SCI_SETTARGETEND, static_cast<unsigned long>(end));
    SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(utf8.size()), utf8.constData());
    SendScintilla(SCI_GOTOPOS, static_cast<unsigned long>(start + utf8.size()));
    SendScintilla(SCI_CHOOSECARETX);
}

} // namespace tw

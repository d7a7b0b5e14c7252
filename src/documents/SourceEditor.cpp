#include "documents/SourceEditor.h"

#include "documents/PageFile.h"

#include <QAccessible>
#include <QFont>

#include <cstring>

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

    m_caretPeriod = int(SendScintilla(SCI_GETCARETPERIOD));
    m_caretRest.setObjectName(QStringLiteral("caretRest"));
    m_caretRest.setSingleShot(true);
    m_caretRest.setInterval(kCaretRestMs);
    connect(&m_caretRest, &QTimer::timeout, this, [this] { SendScintilla(SCI_SETCARETPERIOD, 0UL); });
}

void SourceEditor::wakeCaret()
{
    if (SendScintilla(SCI_GETCARETPERIOD) != m_caretPeriod)
        SendScintilla(SCI_SETCARETPERIOD, static_cast<unsigned long>(m_caretPeriod));
    m_caretRest.start();
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

void SourceEditor::loadBytes(const QByteArray &utf8)
{
    beginLoad(utf8.size());
    if (!utf8.isEmpty())
        appendLoaded(utf8.constData(), utf8.size());
    endLoad();
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
    if (!read)
        SendScintilla(SCI_CLEARALL); // no part of a page that could be saved over the file
    endLoad();
    return read;
}

// True when Scintilla failed a call. Where Scintilla catches its own
// allocation failures it keeps a status instead of throwing; warnings do not
// count.
bool SourceEditor::editorFailed() const
{
    const long status = SendScintilla(SCI_GETSTATUS);
    return status != SC_STATUS_OK && status < SC_STATUS_WARN_START;
}

void SourceEditor::beginLoad(qsizetype sizeHint)
{
    if (m_loading) {
        // Starting over: the text so far goes first, so that the old and the
        // new text are never held together.
        SendScintilla(SCI_CLEARALL);
        if (beforeLoad)
            beforeLoad(sizeHint);
    } else {
        if (beforeLoad)
            beforeLoad(sizeHint);
        // Loading is not an edit. With undo collection on, Scintilla would keep a
        // copy of the whole text for the undo step; and every SCN_MODIFIED
        // notification makes QScintilla copy the inserted text twice more (raw
        // bytes, and UTF-16 for accessibility), whether anyone listens or not.
        // Both are switched off for the load; listeners are told once afterwards.
        m_announce = QAccessible::isActive();
        m_oldText = m_announce ? textExact() : QString();

        m_eventMask = SendScintilla(SCI_GETMODEVENTMASK);
        m_collectUndo = SendScintilla(SCI_GETUNDOCOLLECTION);
        m_loading = true;
    }
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
    if (size > 0)
        SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(size), utf8);
    return !editorFailed();
}

void SourceEditor::endLoad()
{
    if (!m_loading)
        return;
    m_loading = false;
    SendScintilla(SCI_SETUNDOCOLLECTION, static_cast<unsigned long>(m_collectUndo));
    SendScintilla(SCI_SETMODEVENTMASK, static_cast<unsigned long>(m_eventMask));
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    emit textChanged();
    emit linesChanged();

    if (m_announce) {
        QAccessibleTextUpdateEvent event(this, 0, m_oldText,
                                         QString::fromUtf8(documentData(), documentLength()));
        QAccessible::updateAccessibility(&event);
    }
    m_oldText = QString();

    SendScintilla(SCI_GOTOPOS, 0UL);

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

QByteArray SourceEditor::selectedBytes() const
{
    const long start = SendScintilla(SCI_GETSELECTIONSTART);
    const long end = SendScintilla(SCI_GETSELECTIONEND);
    if (end <= start)
        return QByteArray();
    // QByteArray keeps a terminating byte after its data, which takes the NUL
    // that the range call appends.
    QByteArray bytes(end - start, Qt::Uninitialized);
    SendScintilla(SCI_GETTEXTRANGE, start, end, bytes.data());
    return bytes;
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

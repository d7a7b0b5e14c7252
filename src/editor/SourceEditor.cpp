#include "editor/SourceEditor.h"

#include "editor/SourceAccessible.h"

#include <QContextMenuEvent>
#include <QFont>
#include <QMenu>
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
    // Ctrl+click adds a caret; typing, deleting and pasting then act at every
    // caret, as one undo step. Alt+drag and Alt+Shift+arrows select a block,
    // which may reach past the ends of shorter lines.
    SendScintilla(SCI_SETMULTIPLESELECTION, 1UL);
    SendScintilla(SCI_SETADDITIONALSELECTIONTYPING, 1UL);
    SendScintilla(SCI_SETMULTIPASTE, static_cast<unsigned long>(SC_MULTIPASTE_EACH));
    SendScintilla(SCI_SETVIRTUALSPACEOPTIONS, static_cast<unsigned long>(SCVS_RECTANGULARSELECTION));
    SendScintilla(SCI_SETRECTANGULARSELECTIONMODIFIER, static_cast<unsigned long>(SCMOD_ALT));
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

void SourceEditor::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    if (!menu)
        return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    qint64 position = SendScintilla(SCI_GETCURRENTPOS);
    if (event->reason() == QContextMenuEvent::Mouse) {
        const QPoint at = viewport()->mapFromGlobal(event->globalPos());
        const long under = SendScintilla(SCI_POSITIONFROMPOINTCLOSE, static_cast<unsigned long>(at.x()), long(at.y()));
        if (under >= 0)
            position = under;
    }
    emit contextMenuAbout(menu, position);
    menu->popup(event->globalPos());
}

void SourceEditor::mousePressEvent(QMouseEvent *event)
{
    wakeCaret();
    // Ctrl+click in the text adds a caret where it lands, as other editors
    // do; the editor itself adds selections only by Ctrl+drag.
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && event->modifiers() == Qt::ControlModifier
        && SendScintilla(SCI_GETMULTIPLESELECTION) && at.x() >= textLeft()) {
        const long position = SendScintilla(SCI_POSITIONFROMPOINT, static_cast<unsigned long>(at.x()), long(at.y()));
        SendScintilla(SCI_ADDSELECTION, static_cast<unsigned long>(position), position);
        event->accept();
        return;
    }
    if (!asBlockDrag(event))
        QsciScintilla::mousePressEvent(event);
}

void SourceEditor::mouseMoveEvent(QMouseEvent *event)
{
    if (!asBlockDrag(event))
        QsciScintilla::mouseMoveEvent(event);
}

void SourceEditor::mouseReleaseEvent(QMouseEvent *event)
{
    if (!asBlockDrag(event))
        QsciScintilla::mouseReleaseEvent(event);
}

// Alt+drag selects a block, as in other editors. QScintilla selects a block
// by Ctrl+drag here (Alt+drag often moves the window on this desktop), so
// the mouse's Alt is handed on as Ctrl. False when Alt is not held alone.
bool SourceEditor::asBlockDrag(QMouseEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if ((modifiers & ~Qt::ShiftModifier) != Qt::AltModifier)
        return false;
    QMouseEvent drag(event->type(), event->position(), event->scenePosition(), event->globalPosition(),
                     event->button(), event->buttons(), (modifiers & ~Qt::AltModifier) | Qt::ControlModifier,
                     event->pointingDevice());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        QsciScintilla::mousePressEvent(&drag);
        break;
    case QEvent::MouseMove:
        QsciScintilla::mouseMoveEvent(&drag);
        break;
    default:
        QsciScintilla::mouseReleaseEvent(&drag);
        break;
    }
    event->setAccepted(drag.isAccepted());
    return true;
}

// Where the text begins, right of the margins.
int SourceEditor::textLeft() const
{
    int left = 0;
    for (int margin = 0; margin < margins(); ++margin)
        left += marginWidth(margin);
    return left;
}

void SourceEditor::focusInEvent(QFocusEvent *event)
{
    wakeCaret();
    QsciScintilla::focusInEvent(event);
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

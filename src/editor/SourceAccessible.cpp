#include "editor/SourceAccessible.h"

#include "editor/SourceEditor.h"

#include <QAccessibleEditableTextInterface>
#include <QAccessibleTextInterface>
#include <QAccessibleWidget>
#include <QFontMetrics>

namespace tw {

namespace {

using Sci = QsciScintillaBase;

// The page as assistive technology sees it: text offsets count characters,
// where the editor counts bytes. QScintilla's own interface converts by
// counting from the start of the page, and does so at every caret move once
// it exists, which makes each step cost time in proportion to the page.
class SourceAccessible : public QAccessibleWidget,
                         public QAccessibleTextInterface,
                         public QAccessibleEditableTextInterface {
public:
    explicit SourceAccessible(SourceEditor *editor) : QAccessibleWidget(editor, QAccessible::EditableText) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = !editor()->isReadOnly();
        s.readOnly = editor()->isReadOnly();
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }

    // Selection and caret
    void selection(int index, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (index != 0 || selectionCount() == 0)
            return;
        *startOffset = offset(send(Sci::SCI_GETSELECTIONSTART));
        *endOffset = offset(send(Sci::SCI_GETSELECTIONEND));
    }
    int selectionCount() const override
    {
        return send(Sci::SCI_GETSELECTIONEND) > send(Sci::SCI_GETSELECTIONSTART) ? 1 : 0;
    }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int index) override
    {
        if (index == 0)
            send(Sci::SCI_SETEMPTYSELECTION, send(Sci::SCI_GETCURRENTPOS));
    }
    void setSelection(int index, int startOffset, int endOffset) override
    {
        if (index == 0)
            send(Sci::SCI_SETSEL, position(startOffset), position(endOffset));
    }
    int cursorPosition() const override { return offset(send(Sci::SCI_GETCURRENTPOS)); }
    void setCursorPosition(int offset) override { send(Sci::SCI_GOTOPOS, position(offset)); }

    // Text
    using QAccessibleWidget::text;
    QString text(int startOffset, int endOffset) const override
    {
        return range(position(startOffset), position(endOffset));
    }
    int characterCount() const override { return editor()->characterOffset(editor()->documentLength()); }

    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int *startOffset,
                             int *endOffset) const override
    {
        *startOffset = *endOffset = -1;
        long start, end;
        if (!boundaries(position(offset), type, start, end) || start == 0
            || !boundaries(send(Sci::SCI_POSITIONBEFORE, start), type, start, end))
            return QString();
        return found(start, end, startOffset, endOffset);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int *startOffset,
                            int *endOffset) const override
    {
        *startOffset = *endOffset = -1;
        long start, end;
        if (!boundaries(position(offset), type, start, end) || end >= editor()->documentLength()
            || !boundaries(end, type, start, end))
            return QString();
        return found(start, end, startOffset, endOffset);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int *startOffset,
                         int *endOffset) const override
    {
        *startOffset = *endOffset = -1;
        long start, end;
        if (!boundaries(position(offset), type, start, end))
            return QString();
        return found(start, end, startOffset, endOffset);
    }

    // Geometry
    QRect characterRect(int offset) const override
    {
        const long pos = position(offset);
        const QFontMetrics metrics(editor()->font());
        QRect rect(int(send(Sci::SCI_POINTXFROMPOSITION, 0UL, pos)), int(send(Sci::SCI_POINTYFROMPOSITION, 0UL, pos)),
                   metrics.horizontalAdvance(text(offset, offset + 1)), metrics.height());
        rect.moveTo(editor()->viewport()->mapToGlobal(rect.topLeft()));
        return rect;
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const QPoint p = editor()->viewport()->mapFromGlobal(point);
        const long pos = send(Sci::SCI_POSITIONFROMPOINTCLOSE, static_cast<unsigned long>(p.x()), p.y());
        return pos < 0 ? -1 : offset(pos);
    }
    void scrollToSubstring(int startIndex, int endIndex) override
    {
        send(Sci::SCI_SCROLLRANGE, position(endIndex), position(startIndex));
    }
    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        // Plain text: one run without attributes.
        *startOffset = 0;
        *endOffset = characterCount();
        return QString();
    }

    // Editing
    void deleteText(int startOffset, int endOffset) override { replaceText(startOffset, endOffset, QString()); }
    void insertText(int offset, const QString &text) override { replaceText(offset, offset, text); }
    void replaceText(int startOffset, int endOffset, const QString &text) override
    {
        if (editor()->isReadOnly())
            return;
        send(Sci::SCI_SETSEL, position(startOffset), position(endOffset));
        editor()->replaceSelectedBytes(text.toUtf8());
    }

private:
    SourceEditor *editor() const { return static_cast<SourceEditor *>(widget()); }
    long send(unsigned int msg, unsigned long w = 0, long l = 0) const { return editor()->SendScintilla(msg, w, l); }
    long send(unsigned int msg, long w, long l = 0) const { return send(msg, static_cast<unsigned long>(w), l); }
    int offset(long position) const { return editor()->characterOffset(position); }
    long position(int offset) const { return long(editor()->bytePosition(offset)); }

    QString range(long start, long end) const { return QString::fromUtf8(editor()->rangeBytes(start, end)); }

    QString found(long start, long end, int *startOffset, int *endOffset) const
    {
        *startOffset = offset(start);
        *endOffset = offset(end);
        return range(start, end);
    }

    // The piece of text of the given kind around a byte position. A caret
    // between words belongs to the word before it.
    bool boundaries(long pos, QAccessible::TextBoundaryType type, long &start, long &end) const
    {
        switch (type) {
        case QAccessible::CharBoundary:
            start = pos;
            end = send(Sci::SCI_POSITIONAFTER, pos);
            return end > start;
        case QAccessible::WordBoundary:
            start = send(Sci::SCI_WORDSTARTPOSITION, pos, 1);
            end = send(Sci::SCI_WORDENDPOSITION, pos, 1);
            if (start == end) {
                end = send(Sci::SCI_WORDSTARTPOSITION, pos, 0);
                if (end == 0)
                    return false;
                start = send(Sci::SCI_WORDSTARTPOSITION, end, 1);
            }
            return true;
        case QAccessible::LineBoundary:
        case QAccessible::ParagraphBoundary: {
            const long line = send(Sci::SCI_LINEFROMPOSITION, pos);
            start = send(Sci::SCI_POSITIONFROMLINE, line);
            end = send(Sci::SCI_POSITIONFROMLINE, line + 1);
            if (end < 0)
                end = editor()->documentLength();
            return end > start;
        }
        case QAccessible::NoBoundary:
            start = 0;
            end = editor()->documentLength();
            return true;
        case QAccessible::SentenceBoundary:
            break;
        }
        return false;
    }
};

QAccessibleInterface *sourceAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String(SourceEditor::staticMetaObject.className()) && object
        && object->isWidgetType())
        return new SourceAccessible(static_cast<SourceEditor *>(object));
    return nullptr;
}

} // namespace

// ---------------------------------------------------------------------------
// The editor's side: offsets, and what it tells assistive technology

void SourceEditor::ensureCharacterIndex() const
{
    if (!(SendScintilla(SCI_GETLINECHARACTERINDEX) & SC_LINECHARACTERINDEX_UTF32))
        SendScintilla(SCI_ALLOCATELINECHARACTERINDEX, static_cast<unsigned long>(SC_LINECHARACTERINDEX_UTF32));
}

int SourceEditor::characterOffset(qint64 position) const
{
    position = qBound<qint64>(0, position, documentLength());
    const long line = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(position));
    const long lineStart = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long inLine = SendScintilla(SCI_COUNTCHARACTERS, static_cast<unsigned long>(lineStart),
                                      static_cast<long>(position));
    // On the first line (where a page opens) no index is needed.
    if (line == 0)
        return int(inLine);
    ensureCharacterIndex();
    return int(SendScintilla(SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line),
                             static_cast<long>(SC_LINECHARACTERINDEX_UTF32))
               + inLine);
}

qint64 SourceEditor::bytePosition(int offset) const
{
    ensureCharacterIndex();
    if (offset <= 0)
        return 0;
    const long line = SendScintilla(SCI_LINEFROMINDEXPOSITION, static_cast<unsigned long>(offset),
                                    static_cast<long>(SC_LINECHARACTERINDEX_UTF32));
    const long lineStart = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    const long lineOffset = SendScintilla(SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(line),
                                          static_cast<long>(SC_LINECHARACTERINDEX_UTF32));
    const long n = offset - lineOffset;
    if (n <= 0)
        return lineStart;
    // Scintilla gives 0 for a place outside the document: past the end.
    const long pos = SendScintilla(SCI_POSITIONRELATIVE, static_cast<unsigned long>(lineStart), n);
    return pos > 0 ? pos : documentLength();
}

// Tells assistive technology of a change that is about to be made. A change
// larger than kAnnounceWholeUpTo is announced, once made, like a new page.
void SourceEditor::announceEdit(qint64 position, qint64 removed, const char *inserted, qint64 length)
{
    if (!QAccessible::isActive())
        return;
    if (removed > kAnnounceWholeUpTo || length > kAnnounceWholeUpTo) {
        m_reloadPending = true;
        return;
    }
    const int offset = characterOffset(position);
    if (removed > 0) {
        QAccessibleTextRemoveEvent event(this, offset, QString::fromUtf8(rangeBytes(position, position + removed)));
        QAccessible::updateAccessibility(&event);
    } else {
        QAccessibleTextInsertEvent event(this, offset, QString::fromUtf8(inserted, qsizetype(length)));
        QAccessible::updateAccessibility(&event);
    }
}

// A small page is described in full, old text and new; a large one (or one
// that replaced a large one) only as reloaded, with the caret where it is.
void SourceEditor::announceLoad(bool oldKnown, const QString &oldText)
{
    if (oldKnown && documentLength() <= kAnnounceWholeUpTo) {
        QAccessibleTextUpdateEvent event(this, 0, oldText, textExact());
        QAccessible::updateAccessibility(&event);
        return;
    }
    announceReload();
}

void SourceEditor::announceReload()
{
    QAccessibleEvent reload(this, QAccessible::DocumentReload);
    QAccessible::updateAccessibility(&reload);
    m_caretOffset = -1;
    announceCaret();
}

void SourceEditor::announceCaret()
{
    if (!QAccessible::isActive())
        return;
    const int offset = characterOffset(SendScintilla(SCI_GETCURRENTPOS));
    if (offset == m_caretOffset)
        return;
    m_caretOffset = offset;
    QAccessibleTextCursorEvent event(this, offset);
    QAccessible::updateAccessibility(&event);
}

void installSourceAccessible()
{
    static const bool installed = [] {
        QAccessible::installFactory(sourceAccessible);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace tw

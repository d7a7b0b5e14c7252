#include "documents/SourceEditor.h"

#include <QAccessible>
#include <QFont>
#include <QMetaMethod>

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

    // Scintilla measures a line in pieces and keeps the widths of short pieces
    // (a tag, an attribute, a word) in a cache keyed by their text and style.
    // A page that is one long line is measured whole again after every
    // keystroke. The default room of 1024 pieces is used up many times over by
    // such a line; with room for many more, its repeated pieces come from the
    // cache instead of being measured again.
    SendScintilla(SCI_SETPOSITIONCACHE, static_cast<unsigned long>(kPositionCacheSize));

    // After every caret move and every edit QScintilla reports the caret's
    // line and column (cursorPositionChanged), counting the column character
    // by character from the start of the line: on a line of megabytes that
    // count costs more than the move and its paint. The report is made here
    // instead, only while something listens for it; brace matching, the other
    // task of QScintilla's handler, still goes through that handler.
    if (disconnect(this, SIGNAL(SCN_UPDATEUI(int)), this, SLOT(handleUpdateUI(int)))) {
        connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
            static const QMetaMethod report = QMetaMethod::fromSignal(&QsciScintilla::cursorPositionChanged);
            if (braceMatching() != NoBraceMatch) {
                QMetaObject::invokeMethod(this, "handleUpdateUI", Qt::DirectConnection, Q_ARG(int, updated));
                return;
            }
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
        });
    }

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
    if (beforeLoad)
        beforeLoad(utf8.size());
    // Loading is not an edit. With undo collection on, Scintilla would keep a
    // copy of the whole text for the undo step; and every SCN_MODIFIED
    // notification makes QScintilla copy the inserted text twice more (raw
    // bytes, and UTF-16 for accessibility), whether anyone listens or not.
    // Both are switched off for the load; listeners are told once afterwards.
    const bool announce = QAccessible::isActive();
    const QString oldText = announce ? textExact() : QString();
    const long eventMask = SendScintilla(SCI_GETMODEVENTMASK);
    const long collectUndo = SendScintilla(SCI_GETUNDOCOLLECTION);
    SendScintilla(SCI_SETMODEVENTMASK, 0UL);
    SendScintilla(SCI_SETUNDOCOLLECTION, 0UL);
    SendScintilla(SCI_CLEARALL);
    if (!utf8.isEmpty())
        SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(utf8.size()), utf8.constData());
    SendScintilla(SCI_SETUNDOCOLLECTION, static_cast<unsigned long>(collectUndo));
    SendScintilla(SCI_SETMODEVENTMASK, static_cast<unsigned long>(eventMask));
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    emit textChanged();
    emit linesChanged();
    if (announce) {
        QAccessibleTextUpdateEvent event(this, 0, oldText, QString::fromUtf8(utf8));
        QAccessible::updateAccessibility(&event);
    }
    SendScintilla(SCI_GOTOPOS, 0UL);

    const qsizetype lf = utf8.indexOf('\n');
    const qsizetype cr = utf8.indexOf('\r');
    if (cr >= 0 && (lf < 0 || cr < lf))
        setEolMode(cr + 1 < utf8.size() && utf8.at(cr + 1) == '\n' ? EolWindows : EolMac);
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

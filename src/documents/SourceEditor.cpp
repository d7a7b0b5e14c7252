#include "documents/SourceEditor.h"

#include <QFont>

namespace tw {

SourceEditor::SourceEditor(QWidget *parent) : QsciScintilla(parent)
{
    setUtf8(true);
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9.75);
    setFont(font);
    setMarginWidth(1, 0);
    setWrapMode(WrapNone);
    setEolMode(EolUnix);
    SendScintilla(SCI_SETMULTIPLESELECTION, 0UL);
    setAccessibleName(QStringLiteral("Page source"));
}

void SourceEditor::loadBytes(const QByteArray &utf8)
{
    SendScintilla(SCI_CLEARALL);
    if (!utf8.isEmpty())
        SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(utf8.size()), utf8.constData());
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
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

#pragma once

#include <Qsci/qsciscintilla.h>

#include <QByteArray>
#include <QString>
#include <QTimer>

#include <functional>

class QMenu;

namespace tw {

class PageReader;

// The editor control of a document window: a QScintilla editor in UTF-8 mode
// used for plain text. Text that must survive byte for byte (NUL bytes among
// them) goes through the raw calls below rather than QScintilla's QString API,
// which stops at NUL.
class SourceEditor : public QsciScintilla {
    Q_OBJECT
public:
    explicit SourceEditor(QWidget *parent = nullptr);

    // Replaces the whole document with these UTF-8 bytes, clears the undo
    // history, marks the document unmodified and puts the caret at the start.
    // The end-of-line mode follows the first line end found. False when the
    // editor had no memory for the text; it is then left empty.
    bool loadBytes(const QByteArray &utf8);
    // Loads the page the opened reader reads, as loadBytes does, without a
    // second copy of the text. False (with the reader's error) when the page
    // could not be read whole; the editor is then left empty.
    bool loadPage(PageReader &reader);
    // Replaces the whole text with these UTF-8 bytes in one undo step, as an
    // edit. False when the editor had no memory for it: the text is then as
    // it was, with its changed mark, though its undo history may be gone. The
    // old text then comes back as a load, which marks it unchanged (and then
    // changed again if it was), so a follower of edits that starts over at
    // the unchanged mark, as the recovery journal does, holds it again.
    bool replaceAllBytes(const QByteArray &utf8);
    // Loading in pieces: beginLoad, appendLoaded for each piece, endLoad.
    // beginLoad again before endLoad drops what was appended and starts over.
    // sizeHint is the size the text will have; the room for it is taken at
    // once. appendLoaded is false when the editor had no memory for the piece
    // (or for an earlier step of the load); the load is then to be ended and
    // the text given up.
    void beginLoad(qsizetype sizeHint);
    bool appendLoaded(const char *utf8, qsizetype size);
    void endLoad();
    // Told the page's size before a load replaces the text, so that the
    // document can be swapped for one suited to that size.
    std::function<void(qsizetype)> beforeLoad;

    // The document as UTF-8 bytes, without a copy while the editor lives and is
    // not edited: the pointer may move on the next change.
    const char *documentData() const;
    qsizetype documentLength() const;
    QByteArray documentBytes() const;

    // The bytes from start to end (none when end is not after start).
    QByteArray rangeBytes(qint64 start, qint64 end) const;
    QByteArray selectedBytes() const;
    // Replaces the selection (or inserts at the caret); afterwards the caret
    // stands after the inserted text and nothing is selected.
    void replaceSelectedBytes(const QByteArray &utf8);

    QString selectedTextExact() const { return QString::fromUtf8(selectedBytes()); }
    void replaceSelectionExact(const QString &text) { replaceSelectedBytes(text.toUtf8()); }
    QString textExact() const { return QString::fromUtf8(documentBytes()); }

    // The caret blinks while the user works and stands still once no key or
    // mouse button has been pressed for this long, as desktop text fields do,
    // so that an idle window wakes nothing up.
    static constexpr int kCaretRestMs = 10000;
    // How many short measured pieces of text the editor keeps for a page of
    // kLargePage bytes or more (see endLoad), and for smaller ones.
    static constexpr int kPositionCacheSize = 262144;
    static constexpr int kSmallPositionCacheSize = 1024;
    static constexpr qsizetype kLargePage = 1024 * 1024;
    void setCaretRestAfter(int ms) { m_caretRest.setInterval(ms); }
    // A steady caret never blinks: each blink repaints the caret's line, which
    // on a line of megabytes is laid out again at a cost of its length.
    void setSteadyCaret(bool steady);
    bool steadyCaret() const { return m_steadyCaret; }

    // Marks the document changed without changing its text: an insertion and
    // its removal in one undo step move it off its save point.
    void markChanged();

    // A page no larger than this is described to assistive technology in full
    // when it is loaded; a larger one is announced as reloaded, at a cost that
    // does not grow with it.
    static constexpr qsizetype kAnnounceWholeUpTo = 1024 * 1024;

    // Character offsets as assistive technology counts them, to and from
    // byte positions. Each costs the length of one line, not of the page:
    // Scintilla's per-line character index is made for the document the
    // first time one is asked for.
    int characterOffset(qint64 position) const;
    qint64 bytePosition(int offset) const;

    // Reports the insertion that was made last, if it is not reported yet
    // (see edited()). Call it before relying on every edit having been seen.
    void flushEdits();

signals:
    // The document is about to change. Every earlier change has been
    // reported through edited() by then.
    void aboutToChange();
    // A change made to the document, reported in the order the changes were
    // made, typing, commands, undo and redo alike: either `removed` bytes at
    // `position` went, or the `length` bytes at `inserted` came in at
    // `position`. A removal is reported just before it is made; an insertion
    // once it is made, at the latest when control returns to the event loop
    // or at flushEdits(). `inserted` is valid during the call only.
    // textChanged() and linesChanged() follow when control returns to the
    // event loop.
    void edited(qint64 position, qint64 removed, const char *inserted, qint64 length);
    // The context menu is about to be shown, about the byte `position` (the
    // place under the mouse, or the caret when asked from the keyboard): a
    // receiver connected directly may add entries to it.
    void contextMenuAbout(QMenu *menu, qint64 position);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void wakeCaret();
    int textLeft() const;
    bool asBlockDrag(QMouseEvent *event);
    void onModified(int position, int type, const char *text, int length);
    void onUpdateUI(int updated);
    void announceEdit(qint64 position, qint64 removed, const char *inserted, qint64 length);
    void announceLoad(bool oldKnown, const QString &oldText);
    void announceReload();
    void ensureCharacterIndex() const;
    void announceCaret();
    void settle();
    bool editorFailed() const;
    void prepareLoad(qsizetype sizeHint);
    void settleLoaded();
    void dropDocument();

    QTimer m_caretRest;
    int m_caretPeriod = 0;
    bool m_steadyCaret = false;
    qint64 m_insertAt = -1; // an insertion made but not reported yet
    qint64 m_insertLength = 0;
    bool m_settlePending = false;
    bool m_linesMayChange = false;
    bool m_reloadPending = false;
    int m_caretOffset = -1; // the caret's offset as last told to assistive technology

    // While a load is under way: what it switched off, to be restored.
    bool m_loading = false;
    bool m_outOfMemory = false; // an allocation failed during the load
    long m_eventMask = 0;
    long m_collectUndo = 0;
    bool m_announce = false;
    bool m_oldKnown = false;
    QString m_oldText;
    bool m_ownsUpdates = false; // QScintilla's own update handler is switched off
    long m_reportedPosition = -1;
};

} // namespace tw

#pragma once

#include <Qsci/qsciscintilla.h>

#include <QByteArray>
#include <QString>
#include <QTimer>

#include <functional>

namespace tw {

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
    // The end-of-line mode follows the first line end found.
    void loadBytes(const QByteArray &utf8);
    // Told the page's size before loadBytes replaces the text, so that the
    // document can be swapped for one suited to that size.
    std::function<void(qsizetype)> beforeLoad;

    // The document as UTF-8 bytes, without a copy while the editor lives and is
    // not edited: the pointer may move on the next change.
    const char *documentData() const;
    qsizetype documentLength() const;
    QByteArray documentBytes() const;

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
    // How many short measured pieces of text the editor keeps (see the constructor).
    static constexpr int kPositionCacheSize = 262144;
    void setCaretRestAfter(int ms) { m_caretRest.setInterval(ms); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    void wakeCaret();

    QTimer m_caretRest;
    int m_caretPeriod = 0;
    long m_reportedPosition = -1;
};

} // namespace tw

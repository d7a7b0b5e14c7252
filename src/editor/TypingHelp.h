#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>

class QKeyEvent;

namespace tw {

class SourceEditor;

// Help while typing markup into an editor, each part switched on and off on
// its own:
// - closing tags: the '>' that ends an opening tag puts its closing tag after
//   the caret, and "</" is completed with the name of the innermost element
//   still open and '>' (unless that element's closing tag follows the caret
//   already); the key and what it added are one undo step;
// - completion: after '<' a list of element names, after a blank inside an
//   opening tag that element's attribute names; the list narrows as the
//   user types, Enter or Tab takes the choice, Escape closes it;
// - matching tags: with the caret in a tag's name, the tag and its partner
//   are marked (indicator kMatchIndicator).
// The rules read the text around the caret only (see TagContext.h), so they
// work on pages shown plain and cost the same on any page. With every part
// off, typing inserts exactly the keys typed.
class TypingHelp : public QObject {
    Q_OBJECT
public:
    struct Choices {
        bool closeTags = true;
        bool completion = true;
        bool matchingTags = true;
    };
    static constexpr int kMatchIndicator = 8; // the first indicator left to applications

    // Helps in this editor from now on.
    static TypingHelp *attach(SourceEditor *editor, Choices choices);
    // The help attached to this editor, or none.
    static TypingHelp *of(const SourceEditor *editor);

    Choices choices() const { return m_on; }
    void setCloseTags(bool on) { m_on.closeTags = on; }
    void setCompletion(bool on);
    void setMatchingTags(bool on);

    // The marked tags: start and end of each, none when nothing is marked.
    QList<qint64> matchedRanges() const { return m_matched; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TypingHelp(SourceEditor *editor, Choices choices);
    QByteArray textBefore(qint64 caret) const;
    QByteArray textAfter(qint64 caret) const;
    bool plainCaret() const;
    void handleKey(QKeyEvent *key);
    bool typeClosing(QKeyEvent *key, char typed);
    void offerNames(bool anew);
    void updateMatch();
    void showMatch(const QList<qint64> &ranges);

    SourceEditor *m_editor;
    Choices m_on;
    QList<qint64> m_matched;
    bool m_matchStale = false; // edits may have moved the marks
};

} // namespace tw

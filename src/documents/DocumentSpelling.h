#pragma once

#include "spelling/SpellChecker.h"

#include <QObject>
#include <QSet>
#include <QTimer>

#include <atomic>
#include <memory>

class QMenu;

namespace tw {

class frmDocument;

// The spelling of one document window's page: while it is on, the page's
// words that its dictionary does not know are underlined with an indicator of
// their own, checked on the spelling thread from a copy of the text once
// typing has paused for kPauseMs (a result for text that has changed since is
// dropped: the next pause checks again). The editor's context menu on a
// marked word offers suggestions, "Add to Dictionary" and "Ignore".
class DocumentSpelling : public QObject {
    Q_OBJECT
public:
    DocumentSpelling(frmDocument *document, spelling::SpellChecker &checker);
    static DocumentSpelling *of(frmDocument *document);

    static constexpr int kIndicator = 18; // neither the page check's nor the matching tags'
    static constexpr int kPauseMs = 400;
    static constexpr int kSuggestions = 6;

    // On checks the page at once; off clears the marks.
    void setOn(bool on);
    bool isOn() const { return m_on; }
    // The dictionary for pages whose `lang` has none; the page is checked again.
    void setChosen(const QString &name);
    // Checks the page now (when on).
    void checkNow();
    // The dictionary the marks come from; empty when none.
    QString dictionary() const { return m_dictionary; }
    // The marked spans, as Scintilla holds them now.
    QList<spelling::WordSpan> marks() const;

signals:
    // A check's marks are in the editor.
    void checked();

private:
    void onChanged();
    void request();
    void show(const spelling::CheckResult &result);
    void clearMarks();
    void offerFor(QMenu *menu, qint64 position);
    void tell(const spelling::CheckResult &result);

    frmDocument *m_document;
    spelling::SpellChecker &m_checker;
    QTimer m_pause;
    bool m_on = false;
    bool m_editedSinceText = false;
    QString m_chosen;
    QString m_dictionary;
    QSet<QString> m_told; // the pages' languages told to have no dictionary
    std::shared_ptr<std::atomic<quint64>> m_generation = std::make_shared<std::atomic<quint64>>(0);
};

} // namespace tw

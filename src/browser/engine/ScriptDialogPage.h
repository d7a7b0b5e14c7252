#pragma once

#include <QElapsedTimer>
#include <QSet>
#include <QString>
#include <QWebEnginePage>

namespace tw {

// A web page whose script dialogs (alert, confirm, prompt) cannot hold the
// user captive. The third of a quick run of dialogs from the same page (each
// opening within a moment of the one before closing) carries the check box
// "Prevent this page from creating additional dialogs". Once it was checked,
// that page's alerts pass silently and its confirms and prompts are answered
// Cancel, for as long as the window lives; a page so stopped that asks to be
// kept when the user leaves it is left. The page's text is shown as plain
// text, never as markup.
class ScriptDialogPage final : public QWebEnginePage {
public:
    explicit ScriptDialogPage(QObject *parent) : QWebEnginePage(parent) {}

    // How many dialogs in a quick run show the check box, and how soon after
    // one closes the next must open to count as the same run.
    static constexpr int kOfferAfter = 3;
    static constexpr int kQuickMs = 2000;

protected:
    void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg, const QString &defaultValue,
                          QString *result) override;

private:
    enum class Kind { Alert, Confirm, Prompt };
    // Shows one dialog unless the page's dialogs were stopped; true when the
    // user answered OK. A prompt's text goes to *answer.
    bool ask(Kind kind, const QUrl &securityOrigin, const QString &msg, const QString &defaultValue,
             QString *answer);
    QString pageKey(const QUrl &securityOrigin) const;

    QSet<QString> m_stopped;
    QString m_lastKey;
    QElapsedTimer m_sinceLastClosed;
    int m_run = 0;
};

} // namespace tw

#include "browser/engine/ScriptDialogPage.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace tw {

namespace {

QString titleFor(const QUrl &securityOrigin)
{
    if (securityOrigin.host().isEmpty())
        return QStringLiteral("This page says");
    return QStringLiteral("%1 says").arg(securityOrigin.host());
}

} // namespace

// Pages on a web site are one page per site; a local file or a page without
// a site is itself.
QString ScriptDialogPage::pageKey(const QUrl &securityOrigin) const
{
    if (!securityOrigin.host().isEmpty())
        return securityOrigin.toString(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment);
    return url().toString(QUrl::RemoveQuery | QUrl::RemoveFragment);
}

bool ScriptDialogPage::ask(Kind kind, const QUrl &securityOrigin, const QString &msg,
                           const QString &defaultValue, QString *answer)
{
    const QString key = pageKey(securityOrigin);
    if (m_stopped.contains(key))
        return false;
    const bool quick = key == m_lastKey && m_sinceLastClosed.isValid()
        && m_sinceLastClosed.elapsed() < kQuickMs;
    m_run = quick ? m_run + 1 : 1;
    m_lastKey = key;

    auto *view = qobject_cast<QWidget *>(QWebEngineView::forPage(this));
    QPointer<QDialog> dialog = new QDialog(view ? view->window() : nullptr);
    dialog->setObjectName(QStringLiteral("pageDialog"));
    dialog->setWindowTitle(titleFor(securityOrigin));
    auto *layout = new QVBoxLayout(dialog);
    auto *text = new QLabel(msg, dialog);
    text->setObjectName(QStringLiteral("pageDialogText"));
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(text);
    QLineEdit *field = nullptr;
    if (kind == Kind::Prompt) {
        field = new QLineEdit(defaultValue, dialog);
        field->setObjectName(QStringLiteral("pageDialogAnswer"));
        field->selectAll();
        layout->addWidget(field);
    }
    QCheckBox *stop = nullptr;
    if (m_run >= kOfferAfter) {
        stop = new QCheckBox(QStringLiteral("Prevent this page from creating additional dialogs"), dialog);
        stop->setObjectName(QStringLiteral("pageDialogStop"));
        layout->addWidget(stop);
    }
    auto *buttons = new QDialogButtonBox(kind == Kind::Alert ? QDialogButtonBox::Ok
                                                             : QDialogButtonBox::Ok | QDialogButtonBox::Cancel,
                                         dialog);
    connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);

    // The page, its window or the program may go while the dialog is open.
    QPointer<ScriptDialogPage> self(this);
    const bool ok = dialog->exec() == QDialog::Accepted;
    if (!dialog || !self) {
        delete dialog;
        return false;
    }
    if (stop && stop->isChecked())
        m_stopped.insert(key);
    if (ok && answer && field)
        *answer = field->text();
    delete dialog;
    m_sinceLastClosed.start();
    return ok;
}

void ScriptDialogPage::javaScriptAlert(const QUrl &securityOrigin, const QString &msg)
{
    ask(Kind::Alert, securityOrigin, msg, QString(), nullptr);
}

bool ScriptDialogPage::javaScriptConfirm(const QUrl &securityOrigin, const QString &msg)
{
    // The engine asks whether to leave a page that wants to be kept through
    // this same question; a page whose dialogs were stopped is left.
    const bool leaving = msg
        == QCoreApplication::translate("QWebEnginePage", "Are you sure you want to leave this page? Changes that "
                                                         "you made may not be saved.");
    if (leaving && m_stopped.contains(pageKey(securityOrigin)))
        return true;
    return ask(Kind::Confirm, securityOrigin, msg, QString(), nullptr);
}

bool ScriptDialogPage::javaScriptPrompt(const QUrl &securityOrigin, const QString &msg,
                                        const QString &defaultValue, QString *result)
{
    return ask(Kind::Prompt, securityOrigin, msg, defaultValue, result);
}

} // namespace tw

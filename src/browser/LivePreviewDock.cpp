#include "browser/LivePreviewDock.h"

#include "browser/BrowserCommands.h"
#include "browser/BrowserEngine.h"
#include "browser/BrowserHost.h"
#include "browser/LiveArea.h"
#include "browser/LiveCaret.h"
#include "browser/LiveViewOptions.h"
#include "browser/LiveServing.h"
#include "editor/SourceEditor.h"
#include "documents/frmDocument.h"
#include "platform/AppPaths.h"
#include "platform/Dialogs.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace tw {

LivePreviewDock::LivePreviewDock(BrowserHost &host, QWidget *parent)
    : QDockWidget(QStringLiteral("Live Preview"), parent), m_host(host)
{
    setObjectName(QStringLiteral("dockLivePreview"));
    setAllowedAreas(Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    setFeatures(DockWidgetClosable | DockWidgetMovable | DockWidgetFloatable);

    auto *content = new QWidget(this);
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    m_caret = new LiveCaret(this);
    m_options = new LiveViewOptions(*m_caret, content);
    column->addWidget(m_options);
    connect(this, &LivePreviewDock::shown, m_options, &LiveViewOptions::fit);
    connect(this, &LivePreviewDock::shown, m_caret, &LiveCaret::remap);
    // A change made in place keeps the page but may add, drop or move
    // elements: the map is made again (a load already did that when shown).
    connect(this, &LivePreviewDock::pageUpdated, m_caret, [this](bool reloaded) {
        if (!reloaded)
            m_caret->remap();
    });
    m_stack = new QStackedLayout;
    m_unavailable = new QLabel(content);
    m_unavailable->setObjectName(QStringLiteral("lblLiveUnavailable"));
    m_unavailable->setWordWrap(true);
    m_unavailable->setAlignment(Qt::AlignCenter);
    m_stack->addWidget(m_unavailable);
    column->addLayout(m_stack, 1);

    auto *row = new QHBoxLayout;
    row->setContentsMargins(4, 0, 4, 2);
    m_message = new QLabel(content);
    m_message->setObjectName(QStringLiteral("lblLiveMessage"));
    m_message->setWordWrap(true);
    m_message->hide();
    m_refresh = new QPushButton(QStringLiteral("&Refresh"), content);
    m_refresh->setObjectName(QStringLiteral("cmdLiveRefresh"));
    m_refresh->hide();
    connect(m_refresh, &QPushButton::clicked, this, &LivePreviewDock::refresh);
    m_print = new QPushButton(QStringLiteral("Print to P&DF..."), content);
    m_print->setObjectName(QStringLiteral("cmdLivePrintPdf"));
    m_print->setToolTip(QStringLiteral("Print the page as shown here to a PDF file"));
    m_print->setEnabled(false);
    connect(m_print, &QPushButton::clicked, this, &LivePreviewDock::printToPdf);
    row->addWidget(m_message, 1);
    row->addWidget(m_refresh);
    row->addWidget(m_print);
    column->addLayout(row);
    setWidget(content);
}

LivePreviewDock::~LivePreviewDock()
{
    for (const auto &c : m_watch)
        disconnect(c);
}

void LivePreviewDock::setDocument(frmDocument *document)
{
    if (document == m_document)
        return;
    follow(document);
}

void LivePreviewDock::follow(frmDocument *document)
{
    for (const auto &c : m_watch)
        disconnect(c);
    m_watch.clear();
    for (const auto &c : m_sheetWatch)
        disconnect(c);
    m_sheetWatch.clear();
    m_sheets.clear();
    m_lastText = QString();
    m_document = document;
    m_caret->setEditor(document ? document->textEdit : nullptr);
    if (document) {
        m_watch << connect(document->textEdit, &QsciScintilla::textChanged, this, &LivePreviewDock::edited);
        // Save As moves the page, and a save may change its encoding.
        m_watch << connect(document, &QWidget::windowTitleChanged, this, &LivePreviewDock::edited);
        m_watch << connect(document->textEdit, &QsciScintilla::modificationChanged, this,
                           &LivePreviewDock::edited);
        // While it is destroyed the window is a document window no more, so
        // it is let go without being looked at.
        m_watch << connect(document, &QObject::destroyed, this, [this] {
            m_document.clear();
            follow(nullptr);
        });
    }
    load(false);
}

frmDocument *LivePreviewDock::document() const
{
    return m_document;
}

bool LivePreviewDock::tooLarge() const
{
    return m_document && m_document->textEdit->documentLength() > m_autoLimit;
}

// Costs a posted call per key, and nothing for the keys that come before
// it runs: the view takes the text when it can (LiveArea::update).
void LivePreviewDock::edited()
{
    if (!isVisible())
        return;
    if (tooLarge()) {
        m_refresh->show();
        say(largeNotice());
        return;
    }
    if (m_posted)
        return;
    m_posted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_posted = false;
            load(false);
        },
        Qt::QueuedConnection);
}

LiveText LivePreviewDock::currentText()
{
    LiveText out;
    if (!m_document)
        return out;
    SourceEditor *editor = m_document->textEdit;
    // As served: Save adds CR LF at the end.
    out.text = QString::fromUtf8(editor->documentData(), editor->documentLength()) + QLatin1String("\r\n");
    out.reload = liveScriptsDiffer(m_lastText, out.text);
    m_lastText = out.text;
    return out;
}

bool LivePreviewDock::openSheet(const QString &path, QByteArray *bytes)
{
    if (!m_openDocuments)
        return false;
    for (frmDocument *sheet : m_openDocuments()) {
        if (!sheet || sheet->isUntitled() || QFileInfo(sheet->caption()).absoluteFilePath() != path)
            continue;
        SourceEditor *editor = sheet->textEdit;
        *bytes = savedBytes(editor->documentData(), editor->documentLength(), sheet->encoding);
        if (!m_sheets.contains(sheet)) {
            m_sheets << sheet;
            m_sheetWatch << connect(editor, &QsciScintilla::textChanged, this, [this, sheet] { sheetEdited(sheet); });
        }
        return true;
    }
    return false;
}

void LivePreviewDock::sheetEdited(frmDocument *sheet)
{
    if (!isVisible() || !m_area || !sheet)
        return;
    SourceEditor *editor = sheet->textEdit;
    m_area->restyle(liveAddress(QFileInfo(sheet->caption()).absoluteFilePath()),
                    QString::fromUtf8(editor->documentData(), editor->documentLength()));
}

void LivePreviewDock::refresh()
{
    load(true);
}

// demanded: the user asked (Refresh); otherwise a page over the limit waits.
void LivePreviewDock::load(bool demanded)
{
    if (!isVisible() || !m_area)
        return;
    if (!m_document) {
        say(QString());
        m_refresh->hide();
        m_pagePath.clear();
        m_bytes.clear();
        m_area->clear();
        return;
    }
    const bool large = tooLarge();
    m_refresh->setVisible(large);
    const QString notice = large ? largeNotice() : QString();
    const QString pagePath = livePagePath(m_document->caption(), m_document->isUntitled());
    if (large && !demanded) {
        say(notice);
        if (pagePath != m_pagePath) { // another page's picture must not stay
            m_pagePath.clear();
            m_bytes.clear();
            m_area->clear();
        }
        return;
    }
    SourceEditor *editor = m_document->textEdit;
    m_pagePath = pagePath;
    // A page refreshed on demand shows what it had then, whatever asks.
    m_snapshot = large;
    m_bytes = large ? savedBytes(editor->documentData(), editor->documentLength(), m_document->encoding)
                    : QByteArray();
    m_contentType = pageContentType(m_document->encoding);
    const QString problem = folderProblem(m_pagePath);
    say(large ? notice : problem);
    if (demanded || large)
        m_area->show(liveAddress(m_pagePath));
    else
        m_area->update(liveAddress(m_pagePath));
}

void LivePreviewDock::printToPdf()
{
    if (!m_area)
        return;
    const FileChoice file = m_host.dialogs().saveFile(QStringLiteral("PDF files|*.pdf"), QStringLiteral("pdf"));
    if (file.cancelled())
        return;
    const QString path = file.path;
    m_area->printToPdf(path, [this, path](bool ok) {
        say(ok ? QStringLiteral("Printed to %1.").arg(path)
               : QStringLiteral("The page could not be printed to %1.").arg(path));
    });
}

QString LivePreviewDock::largeNotice() const
{
    return QStringLiteral("This page is over %1 MB: the preview is refreshed only when you press Refresh.")
        .arg(m_autoLimit / (1024 * 1024));
}

void LivePreviewDock::say(const QString &text)
{
    m_message->setText(text);
    m_message->setVisible(!text.isEmpty());
}

QString LivePreviewDock::message() const
{
    if (!m_area && m_tried)
        return m_unavailable->text();
    return m_message->text();
}

void LivePreviewDock::startArea()
{
    if (m_tried)
        return;
    m_tried = true;
    QString error;
    m_area = createLiveArea(widget(), &error);
    if (!m_area) {
        m_unavailable->setText(QStringLiteral("The live preview cannot be shown.\n%1").arg(error));
        return;
    }
    m_area->onRequest = [this](const QUrl &url) {
        QByteArray page;
        if (m_document && livePath(url) == QDir::cleanPath(m_pagePath)) {
            if (m_snapshot) {
                page = m_bytes;
            } else {
                SourceEditor *editor = m_document->textEdit;
                page = savedBytes(editor->documentData(), editor->documentLength(), m_document->encoding);
                // The view loads this text: later edits are told apart from it.
                m_lastText = QString::fromUtf8(editor->documentData(), editor->documentLength())
                    + QLatin1String("\r\n");
            }
        }
        return answerLiveRequest(url, m_pagePath, page, m_contentType,
                                 [this](const QString &path, QByteArray *bytes) { return openSheet(path, bytes); });
    };
    m_area->onText = [this] { return currentText(); };
    m_area->onUpdated = [this](bool reloaded) { emit pageUpdated(reloaded); };
    m_area->onPainted = [this](int revision) { emit painted(revision); };
    m_area->onLinkClicked = [this](const QUrl &url) {
        const QString address = browserAddressFor(url);
        if (address.isEmpty())
            say(QStringLiteral("The link leads to no file until the page is saved in a folder."));
        else
            openBrowserWindow(m_host, address);
    };
    m_area->onShown = [this](bool ok) {
        // A message already shown says more (a stopped page's load ends
        // unfinished too); a load that worked takes back the failure.
        const QString failed = QStringLiteral("The page could not be shown.");
        if (!ok && m_document && m_message->text().isEmpty())
            say(failed);
        else if (ok && m_message->text() == failed)
            say(QString());
        emit shown(ok);
    };
    m_area->onStopped = [this](const QString &why) {
        say(QStringLiteral("The page stopped: %1. The preview shows it again at the next change.").arg(why));
    };
    m_caret->setArea(m_area);
    m_options->setArea(m_area);
    m_stack->addWidget(m_area->widget());
    m_stack->setCurrentWidget(m_area->widget());
    m_print->setEnabled(true);
}

void LivePreviewDock::showEvent(QShowEvent *event)
{
    QDockWidget::showEvent(event);
    startArea();
    load(false);
}

void LivePreviewDock::closeEvent(QCloseEvent *event)
{
    QDockWidget::closeEvent(event);
    emit closed();
}

} // namespace tw

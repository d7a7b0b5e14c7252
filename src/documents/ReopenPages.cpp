#include "documents/ReopenPages.h"

#include "documents/DocumentFiles.h"
#include "documents/frmDocument.h"
#include "editor/SourceEditor.h"

#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <utility>

namespace tw {

namespace {

using Sci = QsciScintillaBase;

long send(SourceEditor *editor, unsigned int message, long w = 0, long l = 0)
{
    return editor->SendScintilla(message, static_cast<unsigned long>(w), l);
}

bool isAscii(const char *data, qsizetype size)
{
    for (qsizetype i = 0; i < size; ++i) {
        if (static_cast<unsigned char>(data[i]) >= 0x80)
            return false;
    }
    return true;
}

// A Windows-1252 page that still reads so (or holds only ASCII, the same
// text either way) keeps the encoding it had, with or without character
// references; a page that now reads otherwise keeps what its bytes say, so
// that saving it changes nothing the user did not change.
void restoreEncoding(frmDocument *document, PageEncoding saved)
{
    if (saved == PageEncoding::Utf8 || saved == document->encoding)
        return;
    SourceEditor *editor = document->textEdit;
    if (document->encoding != PageEncoding::Legacy
        && !isAscii(editor->documentData(), editor->documentLength()))
        return;
    document->encoding = saved;
    // The status bar shows the format anew when the caption is told.
    emit document->windowTitleChanged(document->caption());
}

// The caret at its line and column and the first line in view, each kept
// inside the text as it is now (the file may have changed since).
void restorePlace(frmDocument *document, const OpenPage &page)
{
    SourceEditor *editor = document->textEdit;
    const long last = qMax(0L, send(editor, Sci::SCI_GETLINECOUNT) - 1);
    const long position = send(editor, Sci::SCI_FINDCOLUMN, qMin<long>(page.line, last), page.column);
    send(editor, Sci::SCI_SETEMPTYSELECTION, position);
    send(editor, Sci::SCI_SETFIRSTVISIBLELINE,
         send(editor, Sci::SCI_VISIBLEFROMDOCLINE, qMin<long>(page.firstLine, last)));
}

void activate(frmDocument *document)
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(document->parentWidget())) {
        if (QMdiArea *area = sub->mdiArea())
            area->setActiveSubWindow(sub);
    }
    document->textEdit->setFocus(Qt::OtherFocusReason);
}

} // namespace

OpenPagesKeeper::OpenPagesKeeper(DocumentHost &host, const QString &file, QObject *parent)
    : QObject(parent), m_host(host), m_file(file)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &OpenPagesKeeper::write);
}

void OpenPagesKeeper::setEnabled(bool on)
{
    if (on) {
        m_enabled = true;
        changed();
        return;
    }
    m_timer.stop();
    if (std::exchange(m_enabled, false))
        QFile::remove(m_file);
}

void OpenPagesKeeper::begin()
{
    m_begun = true;
    changed();
}

void OpenPagesKeeper::watch(frmDocument *document)
{
    connect(document, &QWidget::windowTitleChanged, this, &OpenPagesKeeper::changed, Qt::UniqueConnection);
    connect(document->textEdit, &QsciScintilla::modificationChanged, this, &OpenPagesKeeper::changed,
            Qt::UniqueConnection);
    connect(document, &QObject::destroyed, this, &OpenPagesKeeper::changed, Qt::UniqueConnection);
}

void OpenPagesKeeper::changed()
{
    if (m_enabled && m_begun && !m_finished)
        m_timer.start();
}

void OpenPagesKeeper::finish()
{
    if (m_enabled && m_begun && !m_finished)
        write();
    m_finished = true;
    m_timer.stop();
}

OpenPages OpenPagesKeeper::current() const
{
    OpenPages list;
    const QWidget *active = m_host.activeChild();
    for (frmDocument *document : m_host.documents()) {
        if (document->isUntitled())
            continue; // an untitled window's text is kept by its recovery journal
        SourceEditor *editor = document->textEdit;
        const long caret = send(editor, Sci::SCI_GETCURRENTPOS);
        OpenPage page;
        page.path = pageKey(document->caption());
        page.line = int(send(editor, Sci::SCI_LINEFROMPOSITION, caret));
        page.column = int(send(editor, Sci::SCI_GETCOLUMN, caret));
        page.firstLine = int(send(editor, Sci::SCI_DOCLINEFROMVISIBLE, send(editor, Sci::SCI_GETFIRSTVISIBLELINE)));
        page.encoding = document->encoding;
        if (document == active)
            list.active = int(list.pages.size());
        list.pages << page;
    }
    return list;
}

void OpenPagesKeeper::write()
{
    QString reason;
    if (writeOpenPages(m_file, current(), &reason)) {
        m_failed = false;
        return;
    }
    if (std::exchange(m_failed, true))
        return;
    if (auto *document = qobject_cast<frmDocument *>(m_host.activeChild()))
        document->notice(QStringLiteral("Tagwright cannot keep the list of open pages in \"%1\": %2 "
                                        "The pages open now may not come back at the next start.")
                             .arg(QDir::toNativeSeparators(m_file), reason));
}

QList<frmDocument *> reopenPages(DocumentHost &host, int &openCount, const ReopenPlan &plan)
{
    QList<frmDocument *> opened;
    QStringList problems;
    for (const OpenPage &page : plan.saved) {
        // A page that cannot be read is named with the others below, not in
        // a box of its own.
        {
            PageReader probe(page.path);
            if (!probe.open()) {
                problems << probe.error();
                continue;
            }
        }
        if (frmDocument *document = openPage(host, page.path, openCount)) {
            if (!document->isUntitled()) { // not broken into lines as a new page
                restoreEncoding(document, page.encoding);
                restorePlace(document, page);
            }
            opened << document;
        }
    }
    for (const QString &path : plan.commandLine) {
        if (frmDocument *document = openPage(host, path, openCount))
            opened << document;
    }
    if (!plan.active.isEmpty()) {
        const QString key = pageKey(plan.active);
        for (frmDocument *document : host.documents()) {
            if (!document->isUntitled() && pageKey(document->caption()) == key) {
                activate(document);
                break;
            }
        }
    }
    if (!problems.isEmpty()) {
        frmDocument *shown = qobject_cast<frmDocument *>(host.activeChild());
        if (!shown && !host.documents().isEmpty())
            shown = host.documents().constFirst();
        if (shown)
            shown->notice(QStringLiteral("Some pages open when Tagwright last ended could not be opened again:\n")
                          + problems.join(QLatin1Char('\n')));
    }
    return opened;
}

} // namespace tw

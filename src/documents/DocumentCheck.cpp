#include "documents/DocumentCheck.h"

#include "documents/ProblemMarks.h"
#include "editor/SourceEditor.h"
#include "documents/frmDocument.h"

#include <algorithm>

namespace tw {

using checking::Kind;
using checking::Problem;

DocumentCheck::DocumentCheck(frmDocument *document, checking::PageChecker &checker)
    : QObject(document), m_document(document), m_checker(checker)
{
    setObjectName(QStringLiteral("DocumentCheck"));
    m_pause.setSingleShot(true);
    m_pause.setInterval(kPauseMs);
    connect(&m_pause, &QTimer::timeout, this, &DocumentCheck::request);
    connect(document->textEdit, &SourceEditor::edited, this,
            [this](qint64 position, qint64 removed, const char *, qint64 length) {
                onEdited(position, removed, length);
            });
    // A load replaces the text without reporting edits: only textChanged()
    // tells of it, with no edit before.
    connect(document->textEdit, &QsciScintilla::textChanged, this, [this] {
        if (!m_editedSinceText)
            onReplaced();
        m_editedSinceText = false;
    });
}

void DocumentCheck::onReplaced()
{
    m_generation->fetch_add(1);
    if (!m_hasResult && m_problems.isEmpty())
        return;
    m_problems.clear();
    m_origins.clear();
    m_gone.clear();
    m_checkedText.clear();
    m_lineStarts.clear();
    m_hasResult = false;
    ++m_markRound;
    problemMarks::clear(m_document->textEdit);
    emit checked();
    if (m_asYouType)
        m_pause.start();
}

DocumentCheck *DocumentCheck::of(frmDocument *document)
{
    return document ? document->findChild<DocumentCheck *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void DocumentCheck::setAsYouType(bool on)
{
    m_asYouType = on;
    if (!on)
        m_pause.stop();
}

void DocumentCheck::checkNow()
{
    m_pause.stop();
    request();
}

void DocumentCheck::onEdited(qint64 position, qint64 removed, qint64 length)
{
    m_generation->fetch_add(1);
    m_editedSinceText = true;
    // The spans move with the text, as the marks in the editor do.
    const auto move = [position, removed, length](qint64 &p, bool isStart) {
        if (removed > 0) {
            if (p >= position + removed)
                p -= removed;
            else if (p > position)
                p = position;
        } else if (p > position || (isStart && p == position)) {
            p += length;
        }
    };
    for (qsizetype i = 0; i < m_problems.size(); ++i) {
        Problem &p = m_problems[i];
        // A problem whose first character goes has lost its place.
        if (removed > 0 && p.message.line > 0 && p.span.start >= position && p.span.start < position + removed)
            m_gone[i] = true;
        move(p.span.start, true);
        move(p.span.end, false);
        p.span.end = qMax(p.span.end, p.span.start);
    }
    // The rows follow once the edits of this turn are made.
    if (!m_problems.isEmpty() && !m_movePending) {
        m_movePending = true;
        QMetaObject::invokeMethod(
            this, [this] {
                m_movePending = false;
                emit moved();
            },
            Qt::QueuedConnection);
    }
    if (m_asYouType)
        m_pause.start();
}

void DocumentCheck::request()
{
    SourceEditor *editor = m_document->textEdit;
    editor->flushEdits();
    const quint64 generation = m_generation->load();
    const bool legacy = m_document->encoding != PageEncoding::Utf8;
    m_busy = true;
    m_asked = generation;
    const QByteArray text = editor->documentBytes();
    m_checker.check(
        text, legacy, this,
        [counter = m_generation, generation] { return counter->load() == generation; },
        [this, generation, text](const QList<Problem> &problems, bool ran) {
            m_document->textEdit->flushEdits();
            if (!ran || m_generation->load() != generation) {
                // The text changed meanwhile: these places are stale. Typing
                // has started a new pause; a check asked for by command runs
                // again on the text as it is now, unless one is asked already.
                if (!m_asYouType && m_asked != m_generation->load())
                    request();
                return;
            }
            m_busy = false;
            m_hasResult = true;
            m_problems = problems;
            m_checkedText = text;
            m_origins.clear();
            for (const Problem &p : problems)
                m_origins << p.span;
            m_gone = QList<bool>(problems.size(), false);
            m_lineStarts.clear();
            problemMarks::clear(m_document->textEdit);
            m_marked = 0;
            ++m_markRound;
            markSome();
            emit checked();
        });
}

// Marks the next problems in the editor; the rest follow in later turns of
// the event loop, so that a page with a great many problems never holds up
// the window for long. The spans are current whenever a turn comes.
void DocumentCheck::markSome()
{
    const qsizetype end = qMin(m_problems.size(), m_marked + kMarksPerTurn);
    QList<problemMarks::Mark> marks;
    marks.reserve(end - m_marked);
    for (qsizetype i = m_marked; i < end; ++i) {
        const Problem &p = m_problems[i];
        marks << problemMarks::Mark{p.message.line > 0 ? p.span.start : -1, p.span.end,
                                    problemMarks::Weight(int(p.message.kind))};
    }
    problemMarks::add(m_document->textEdit, marks);
    m_marked = end;
    if (m_marked < m_problems.size())
        QMetaObject::invokeMethod(
            this, [this, round = m_markRound] {
                if (round == m_markRound)
                    markSome();
            },
            Qt::QueuedConnection);
}

void DocumentCheck::goTo(int index)
{
    SourceEditor *editor = m_document->textEdit;
    editor->flushEdits(); // the spans have followed every edit
    if (index >= 0 && index < m_problems.size() && m_problems[index].message.line > 0) {
        const qint64 at = qBound<qint64>(0, m_problems[index].span.start, editor->documentLength());
        editor->SendScintilla(QsciScintilla::SCI_GOTOPOS, static_cast<unsigned long>(at));
    }
    editor->setFocus(Qt::OtherFocusReason);
}

} // namespace tw

namespace tw {

bool DocumentCheck::placeNow(int index, checking::TidyPlace &place)
{
    SourceEditor *editor = m_document->textEdit;
    editor->flushEdits();
    if (index < 0 || index >= m_problems.size() || index >= m_origins.size())
        return true;
    if (m_gone[index])
        return false;
    if (m_lineStarts.empty()) {
        // Lines end at LF, CR LF or a lone CR, in the editor as for tidy.
        const QByteArray &t = m_checkedText;
        m_lineStarts.push_back(0);
        for (qsizetype i = 0; i < t.size(); ++i)
            if (t[i] == '\n' || (t[i] == '\r' && (i + 1 >= t.size() || t[i + 1] != '\n')))
                m_lineStarts.push_back(i + 1);
    }
    const qint64 then = m_origins[index].start;
    const qint64 now = m_problems[index].span.start;
    const auto lineThen = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), then) - m_lineStarts.begin() - 1;
    const qint64 thenStart = m_lineStarts[size_t(lineThen)];
    const long lineNow = editor->SendScintilla(QsciScintilla::SCI_LINEFROMPOSITION, static_cast<unsigned long>(now));
    const qint64 nowStart = editor->SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, static_cast<unsigned long>(lineNow));
    place.line += int(lineNow - lineThen);
    const QByteArray before = QByteArray::fromRawData(m_checkedText.constData() + thenStart, then - thenStart);
    const QByteArray after = editor->rangeBytes(nowStart, now);
    if (after != before) {
        const bool legacy = m_document->encoding != PageEncoding::Utf8;
        place.column += checking::columnAfter(after.constData(), after.size(), legacy)
            - checking::columnAfter(before.constData(), before.size(), legacy);
    }
    return true;
}

} // namespace tw

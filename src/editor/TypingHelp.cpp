#include "editor/TypingHelp.h"

#include "editor/HtmlNames.h"
#include "editor/SourceEditor.h"
#include "editor/TagContext.h"

#include <QKeyEvent>

namespace tw {

namespace {

using Sci = QsciScintillaBase;

using markupChars::isNameChar;

} // namespace

TypingHelp *TypingHelp::attach(SourceEditor *editor, Choices choices)
{
    return new TypingHelp(editor, choices);
}

TypingHelp *TypingHelp::of(const SourceEditor *editor)
{
    return editor ? editor->findChild<TypingHelp *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

TypingHelp::TypingHelp(SourceEditor *editor, Choices choices) : QObject(editor), m_editor(editor), m_on(choices)
{
    setObjectName(QStringLiteral("typingHelp"));
    editor->installEventFilter(this);
    // Indicator looks belong to the view, so they outlast a change of document.
    editor->SendScintilla(Sci::SCI_INDICSETSTYLE, kMatchIndicator, long(Sci::INDIC_ROUNDBOX));
    editor->SendScintilla(Sci::SCI_INDICSETFORE, kMatchIndicator, long(0xE08020)); // blue, as 0xBBGGRR
    editor->SendScintilla(Sci::SCI_INDICSETALPHA, kMatchIndicator, 70L);
    editor->SendScintilla(Sci::SCI_INDICSETUNDER, kMatchIndicator, 1L);
    connect(editor, &Sci::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & (Sci::SC_UPDATE_CONTENT | Sci::SC_UPDATE_SELECTION))
            updateMatch();
    });
    // Edits and loads move or drop the marks; they are made anew at the next update.
    const auto stale = [this] { m_matchStale = !m_matched.isEmpty(); };
    connect(editor, &SourceEditor::edited, this, stale);
    connect(editor, &QsciScintilla::textChanged, this, stale);
}

void TypingHelp::setCompletion(bool on)
{
    m_on.completion = on;
    if (!on)
        m_editor->SendScintilla(Sci::SCI_AUTOCCANCEL);
}

void TypingHelp::setMatchingTags(bool on)
{
    m_on.matchingTags = on;
    updateMatch();
}

// The text the rules read: up to their reach before the caret.
QByteArray TypingHelp::textBefore(qint64 caret) const
{
    return m_editor->rangeBytes(qMax<qint64>(0, caret - tagContext::kReach), caret);
}

// The text after the caret, up to the rules' reach.
QByteArray TypingHelp::textAfter(qint64 caret) const
{
    return m_editor->rangeBytes(caret, qMin<qint64>(m_editor->documentLength(), caret + tagContext::kReach));
}

// One caret, nothing selected, inserting: the typed key lands at the caret.
bool TypingHelp::plainCaret() const
{
    return m_editor->SendScintilla(Sci::SCI_GETSELECTIONS) == 1
           && m_editor->SendScintilla(Sci::SCI_GETSELECTIONEMPTY) && !m_editor->SendScintilla(Sci::SCI_GETOVERTYPE)
           && !m_editor->isReadOnly();
}

bool TypingHelp::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_editor || event->type() != QEvent::KeyPress || !(m_on.closeTags || m_on.completion))
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = key->text();
    const bool backspace = key->key() == Qt::Key_Backspace;
    const char typed = text.size() == 1 && text.at(0).unicode() < 0x80 ? char(text.at(0).unicode()) : 0;
    if (!typed && !backspace)
        return false;
    if (!plainCaret())
        return false;
    if (m_on.closeTags && (typed == '>' || typed == '/') && typeClosing(key, typed))
        return true;
    if (!m_on.completion)
        return false;
    const bool listShown = m_editor->SendScintilla(Sci::SCI_AUTOCACTIVE);
    const bool anew = typed == '<' || typed == ' ';
    if (!anew && !(listShown && (backspace || isNameChar(typed))))
        return false;
    handleKey(key);
    offerNames(anew);
    return true;
}

// The key as the editor itself handles it, past this filter.
void TypingHelp::handleKey(QKeyEvent *key)
{
    static_cast<QObject *>(m_editor)->event(key);
}

// Types '>' or '/' and, when it ends an opening tag or makes "</", what goes
// with it; the two are one undo step. False when the key needs no help.
bool TypingHelp::typeClosing(QKeyEvent *key, char typed)
{
    const qint64 caret = m_editor->SendScintilla(Sci::SCI_GETCURRENTPOS);
    const QByteArray before = textBefore(caret) + typed;
    // "</" also reads what follows, where the element may be closed already.
    const QByteArray added =
        typed == '>' ? tagContext::closingTagAfter(before, before.size())
                     : tagContext::closingNameAfter(before + textAfter(caret), before.size());
    if (added.isEmpty())
        return false;
    m_editor->SendScintilla(Sci::SCI_AUTOCCANCEL);
    m_editor->SendScintilla(Sci::SCI_BEGINUNDOACTION);
    handleKey(key);
    if (m_editor->SendScintilla(Sci::SCI_GETCURRENTPOS) == caret + 1
        && m_editor->SendScintilla(Sci::SCI_GETCHARAT, static_cast<unsigned long>(caret)) == typed) {
        m_editor->SendScintilla(Sci::SCI_INSERTTEXT, static_cast<unsigned long>(caret + 1), added.constData());
        if (typed == '/') { // the closing tag is whole: the caret goes after it
            m_editor->SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(caret + 1 + added.size()));
            m_editor->SendScintilla(Sci::SCI_CHOOSECARETX);
        }
    }
    m_editor->SendScintilla(Sci::SCI_ENDUNDOACTION);
    return true;
}

// Shows the names that may be typed at the caret, narrowed to the word typed
// so far; closes the list when none fits. With `anew` false only a list
// already shown is narrowed.
void TypingHelp::offerNames(bool anew)
{
    const bool shown = m_editor->SendScintilla(Sci::SCI_AUTOCACTIVE);
    if (!anew && !shown)
        return;
    const qint64 caret = m_editor->SendScintilla(Sci::SCI_GETCURRENTPOS);
    const QByteArray text = textBefore(caret);
    const tagContext::Completion at = tagContext::completionAt(text, text.size());
    QStringList names;
    if (at.kind != tagContext::Completion::None) {
        const QString typed = QString::fromUtf8(text.mid(at.start));
        const bool upperElement = at.element.toUpper() == at.element && at.element.toLower() != at.element;
        names = htmlNames::startingWith(at.kind == tagContext::Completion::Element
                                            ? htmlNames::elements()
                                            : htmlNames::attributes(at.element),
                                        typed, upperElement);
    }
    if (names.isEmpty()) {
        if (shown)
            m_editor->SendScintilla(Sci::SCI_AUTOCCANCEL);
        return;
    }
    m_editor->SendScintilla(Sci::SCI_AUTOCSETSEPARATOR, static_cast<unsigned long>(' '));
    m_editor->SendScintilla(Sci::SCI_AUTOCSETIGNORECASE, 1UL);
    m_editor->SendScintilla(Sci::SCI_AUTOCSETCHOOSESINGLE, 0UL);
    m_editor->SendScintilla(Sci::SCI_AUTOCSETMAXHEIGHT, 10UL);
    m_editor->SendScintilla(Sci::SCI_AUTOCSHOW, static_cast<unsigned long>(text.size() - at.start),
                            names.join(QLatin1Char(' ')).toUtf8().constData());
}

void TypingHelp::updateMatch()
{
    if (!m_on.matchingTags) {
        showMatch({});
        return;
    }
    const qint64 caret = m_editor->SendScintilla(Sci::SCI_GETCURRENTPOS);
    // Most caret places are in no tag's name: a few bytes tell.
    const QByteArray near = m_editor->rangeBytes(qMax<qint64>(0, caret - 66), caret);
    qsizetype s = near.size();
    while (s > 0 && isNameChar(near.at(s - 1)))
        --s;
    const bool byName = s > 0 && (near.at(s - 1) == '<' || (near.at(s - 1) == '/' && s > 1 && near.at(s - 2) == '<'));
    QList<qint64> ranges;
    if (byName) {
        const qint64 start = qMax<qint64>(0, caret - tagContext::kReach);
        const qint64 end = qMin<qint64>(m_editor->documentLength(), caret + tagContext::kReach);
        const QByteArray text = m_editor->rangeBytes(start, end);
        if (const auto pair = tagContext::matchingTags(text, caret - start))
            ranges = {start + pair->opening.start, start + pair->opening.end, start + pair->closing.start,
                      start + pair->closing.end};
    }
    showMatch(ranges);
}

void TypingHelp::showMatch(const QList<qint64> &ranges)
{
    if (ranges == m_matched && !m_matchStale)
        return;
    m_editor->SendScintilla(Sci::SCI_SETINDICATORCURRENT, kMatchIndicator);
    if (!m_matched.isEmpty())
        m_editor->SendScintilla(Sci::SCI_INDICATORCLEARRANGE, 0UL, long(m_editor->documentLength()));
    for (qsizetype i = 0; i + 1 < ranges.size(); i += 2)
        m_editor->SendScintilla(Sci::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(ranges[i]),
                                long(ranges[i + 1] - ranges[i]));
    m_matched = ranges;
    m_matchStale = false;
}

} // namespace tw

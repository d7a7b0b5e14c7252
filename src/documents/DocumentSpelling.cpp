#include "documents/DocumentSpelling.h"

#include "documents/frmDocument.h"
#include "editor/EditorLook.h"
#include "editor/SourceEditor.h"
#include "spelling/PageWords.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

namespace tw {

using Sci = QsciScintillaBase;

DocumentSpelling::DocumentSpelling(frmDocument *document, spelling::SpellChecker &checker)
    : QObject(document), m_document(document), m_checker(checker)
{
    setObjectName(QStringLiteral("DocumentSpelling"));
    m_pause.setSingleShot(true);
    m_pause.setInterval(kPauseMs);
    connect(&m_pause, &QTimer::timeout, this, &DocumentSpelling::request);
    SourceEditor *editor = document->textEdit;
    editor->SendScintilla(Sci::SCI_INDICSETSTYLE, kIndicator, long(Sci::INDIC_SQUIGGLELOW));
    editor->setIndicatorForegroundColor(EditorLook::markColour(editor, QColor(0xB0, 0x00, 0xB0)), kIndicator); // purple
    connect(editor, &SourceEditor::edited, this, [this] {
        m_editedSinceText = true;
        onChanged();
    });
    // A load replaces the text without reporting edits: only textChanged()
    // tells of it, with no edit before. After edits it comes later and says
    // nothing new.
    connect(editor, &QsciScintilla::textChanged, this, [this] {
        if (!m_editedSinceText)
            onChanged();
        m_editedSinceText = false;
    });
    connect(editor, &SourceEditor::contextMenuAbout, this, &DocumentSpelling::offerFor, Qt::DirectConnection);
    connect(&checker, &spelling::SpellChecker::wordsChanged, this, &DocumentSpelling::checkNow);
}

DocumentSpelling *DocumentSpelling::of(frmDocument *document)
{
    return document ? document->findChild<DocumentSpelling *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void DocumentSpelling::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    m_generation->fetch_add(1);
    if (on) {
        checkNow();
        return;
    }
    m_pause.stop();
    clearMarks();
}

void DocumentSpelling::clearMarks()
{
    SourceEditor *editor = m_document->textEdit;
    editor->SendScintilla(Sci::SCI_SETINDICATORCURRENT, kIndicator);
    editor->SendScintilla(Sci::SCI_INDICATORCLEARRANGE, 0UL, long(editor->documentLength()));
}

void DocumentSpelling::setChosen(const QString &name)
{
    if (name == m_chosen)
        return;
    m_chosen = name;
    checkNow();
}

void DocumentSpelling::checkNow()
{
    if (!m_on)
        return;
    // An edit not reported yet would start the pause again.
    m_document->textEdit->flushEdits();
    m_pause.stop();
    request();
}

void DocumentSpelling::onChanged()
{
    m_generation->fetch_add(1);
    if (m_on)
        m_pause.start();
}

void DocumentSpelling::request()
{
    SourceEditor *editor = m_document->textEdit;
    editor->flushEdits();
    const quint64 generation = m_generation->load();
    m_checker.check(
        editor->documentBytes(), m_chosen, this,
        [counter = m_generation, generation] { return counter->load() == generation; },
        [this](const spelling::CheckResult &result) { show(result); });
}

void DocumentSpelling::show(const spelling::CheckResult &result)
{
    SourceEditor *editor = m_document->textEdit;
    m_dictionary = result.dictionary;
    const long length = long(editor->documentLength());
    clearMarks();
    for (const spelling::WordSpan &s : result.misspelt)
        if (s.end <= length)
            editor->SendScintilla(Sci::SCI_INDICATORFILLRANGE, static_cast<unsigned long>(s.start), long(s.end - s.start));
    tell(result);
    emit checked();
}

// A page without a dictionary is told so once for its language, in the
// window's notice bar.
void DocumentSpelling::tell(const spelling::CheckResult &result)
{
    const QString lang = result.lang;
    const bool fallback = !result.dictionary.isEmpty()
        && spelling::chooseDictionary(lang, {result.dictionary}, QString()).isEmpty() && !lang.isEmpty();
    if ((!result.dictionary.isEmpty() && !fallback) || m_told.contains(lang))
        return;
    m_told.insert(lang);
    if (fallback)
        m_document->notice(QStringLiteral("No spelling dictionary for \"%1\" is installed; the page's spelling is "
                                          "checked in %2.").arg(lang, result.dictionary));
    else if (!lang.isEmpty())
        m_document->notice(QStringLiteral("No spelling dictionary for \"%1\" is installed; the page's spelling is "
                                          "not checked.").arg(lang));
    else
        m_document->notice(QStringLiteral("No spelling dictionary is installed; the page's spelling is not checked."));
}

QList<spelling::WordSpan> DocumentSpelling::marks() const
{
    SourceEditor *editor = m_document->textEdit;
    QList<spelling::WordSpan> out;
    const long length = long(editor->documentLength());
    long at = 0;
    while (at < length) {
        const long end = editor->SendScintilla(Sci::SCI_INDICATOREND, kIndicator, at);
        if (editor->SendScintilla(Sci::SCI_INDICATORVALUEAT, kIndicator, at))
            out.append({at, end});
        if (end <= at)
            break;
        at = end;
    }
    return out;
}

void DocumentSpelling::offerFor(QMenu *menu, qint64 position)
{
    if (!m_on || m_dictionary.isEmpty())
        return;
    SourceEditor *editor = m_document->textEdit;
    // The caret or the mouse may stand just after the word's last letter.
    qint64 at = -1;
    for (const qint64 p : {position, position - 1})
        if (p >= 0 && p < editor->documentLength() && editor->SendScintilla(Sci::SCI_INDICATORVALUEAT, kIndicator, long(p)))
            at = p;
    if (at < 0)
        return;
    const qint64 start = editor->SendScintilla(Sci::SCI_INDICATORSTART, kIndicator, long(at));
    const qint64 end = editor->SendScintilla(Sci::SCI_INDICATOREND, kIndicator, long(at));
    const QByteArray bytes = editor->rangeBytes(start, end);
    const QString word = spelling::decodeWord(bytes.constData(), bytes.size());
    if (word.isEmpty())
        return;

    QList<QAction *> entries;
    const QPointer<SourceEditor> target(editor);
    // The menu stays open while the text may change: a choice acts only on
    // the word it was offered for, where it still stands.
    const auto stillThere = [target, start, end, bytes] { return target && target->rangeBytes(start, end) == bytes; };
    for (const QString &suggestion : m_checker.suggest(m_dictionary, word, kSuggestions)) {
        auto *item = new QAction(suggestion, menu);
        item->setObjectName(QStringLiteral("mnuSpellingSuggestion"));
        connect(item, &QAction::triggered, editor, [target, start, end, stillThere, suggestion] {
            if (!stillThere())
                return;
            const QByteArray text = suggestion.toUtf8();
            target->beginUndoAction();
            target->SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(start), long(end));
            target->SendScintilla(Sci::SCI_REPLACETARGET, static_cast<unsigned long>(text.size()), text.constData());
            target->endUndoAction();
            target->SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(start + text.size()));
        });
        entries << item;
    }
    auto *add = new QAction(QStringLiteral("Add to Dictionary"), menu);
    add->setObjectName(QStringLiteral("mnuSpellingAdd"));
    connect(add, &QAction::triggered, this, [this, word] {
        QString error;
        if (!m_checker.addToDictionary(word, &error))
            m_document->notice(QStringLiteral("\"%1\" counts as correct until the program ends, but the list of "
                                              "your words could not be written: %2").arg(word, error));
    });
    auto *ignore = new QAction(QStringLiteral("Ignore"), menu);
    ignore->setObjectName(QStringLiteral("mnuSpellingIgnore"));
    connect(ignore, &QAction::triggered, this, [this, word] { m_checker.ignore(word); });
    entries << nullptr << add << ignore;

    QAction *first = menu->actions().value(0);
    for (QAction *entry : std::as_const(entries)) {
        if (entry)
            menu->insertAction(first, entry);
        else
            menu->insertSeparator(first);
    }
    if (first)
        menu->insertSeparator(first);
}

} // namespace tw

#include "editor/FindDialog.h"

#include "editor/FindReplace.h"
#include "editor/SourceEditor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <limits>

namespace tw {

namespace {

QPushButton *button(QWidget *parent, const QString &text, const QString &tip, const char *name)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(tip);
    b->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    b->setAutoDefault(false);
    return b;
}

QCheckBox *option(QWidget *parent, const QString &text, const QString &tip, const char *name)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    box->setToolTip(tip);
    box->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    return box;
}

} // namespace

FindDialog::FindDialog(Target target, QWidget *parent) : QDialog(parent), m_target(std::move(target))
{
    setObjectName(QStringLiteral("FindDialog"));
    setWindowTitle(QStringLiteral("Find and Replace"));
    setModal(false);

    findEdit = new QLineEdit(this);
    findEdit->setObjectName(QStringLiteral("findEdit"));
    findEdit->setAccessibleName(QStringLiteral("Find what"));
    findEdit->setToolTip(QStringLiteral("The text or regular expression to find"));
    replaceEdit = new QLineEdit(this);
    replaceEdit->setObjectName(QStringLiteral("replaceEdit"));
    replaceEdit->setAccessibleName(QStringLiteral("Replace with"));
    replaceEdit->setToolTip(QStringLiteral("The replacement; with a regular expression $1 names a group and \\n a line end"));
    // A line edit cuts its text at 32,767 characters unless told otherwise.
    for (QLineEdit *edit : {findEdit, replaceEdit})
        edit->setMaxLength(std::numeric_limits<int>::max());
    auto *findLabel = new QLabel(QStringLiteral("F&ind what:"), this);
    findLabel->setBuddy(findEdit);
    m_replaceLabel = new QLabel(QStringLiteral("Re&place with:"), this);
    m_replaceLabel->setBuddy(replaceEdit);

    matchCase = option(this, QStringLiteral("Match &case"), QStringLiteral("Capitals and small letters differ"), "matchCase");
    wholeWord = option(this, QStringLiteral("&Whole word"), QStringLiteral("Only matches that are whole words"), "wholeWord");
    regularExpression = option(this, QStringLiteral("Regular e&xpression"),
                               QStringLiteral("Find a Perl-style regular expression"), "regularExpression");

    nextButton = button(this, QStringLiteral("Find &Next"), QStringLiteral("Find the next match (F3)"), "findNext");
    previousButton = button(this, QStringLiteral("Find Pre&vious"), QStringLiteral("Find the previous match (Shift+F3)"), "findPrevious");
    replaceButton = button(this, QStringLiteral("&Replace"), QStringLiteral("Replace the selected match and find the next"), "replace");
    replaceAllButton = button(this, QStringLiteral("Replace &All"), QStringLiteral("Replace every match in the page"), "replaceAll");
    closeButton = button(this, QStringLiteral("Close"), QStringLiteral("Close this window"), "close");
    nextButton->setDefault(true);

    status = new QLabel(this);
    status->setObjectName(QStringLiteral("findStatus"));
    status->setAccessibleName(QStringLiteral("Find result"));
    status->setWordWrap(true);
    status->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    auto *fields = new QGridLayout;
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(findEdit, 0, 1);
    fields->addWidget(m_replaceLabel, 1, 0);
    fields->addWidget(replaceEdit, 1, 1);
    auto *options = new QHBoxLayout;
    options->addWidget(matchCase);
    options->addWidget(wholeWord);
    options->addWidget(regularExpression);
    options->addStretch();
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {nextButton, previousButton, replaceButton, replaceAllButton, closeButton})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(options);
    left->addWidget(status);
    left->addStretch();
    auto *all = new QHBoxLayout(this);
    all->addLayout(left, 1);
    all->addLayout(buttons);

    connect(nextButton, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(previousButton, &QPushButton::clicked, this, &FindDialog::findPrevious);
    connect(replaceButton, &QPushButton::clicked, this, &FindDialog::replaceOne);
    connect(replaceAllButton, &QPushButton::clicked, this, &FindDialog::replaceAll);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(findEdit, &QLineEdit::textChanged, this, [this] { status->clear(); });
    // The same keys as in the page, while this window has the focus.
    connect(new QShortcut(QKeySequence(Qt::Key_F3), this), &QShortcut::activated, this, &FindDialog::findNext);
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this), &QShortcut::activated, this,
            &FindDialog::findPrevious);
}

FindRequest FindDialog::request() const
{
    FindRequest r;
    r.find = findEdit->text();
    r.replace = replaceEdit->text();
    r.options.matchCase = matchCase->isChecked();
    r.options.wholeWord = wholeWord->isChecked();
    r.options.regularExpression = regularExpression->isChecked();
    return r;
}

void FindDialog::showFind()
{
    present(false);
}

void FindDialog::showReplace()
{
    present(true);
}

void FindDialog::present(bool withReplace)
{
    m_replaceLabel->setVisible(withReplace);
    replaceEdit->setVisible(withReplace);
    replaceButton->setVisible(withReplace);
    replaceAllButton->setVisible(withReplace);
    setWindowTitle(withReplace ? QStringLiteral("Find and Replace") : QStringLiteral("Find"));
    if (SourceEditor *editor = m_target ? m_target() : nullptr) {
        const QByteArray selected = editor->selectedBytes();
        if (!selected.isEmpty() && selected.size() <= 200 && !selected.contains('\n')
            && !selected.contains('\r') && !selected.contains('\0'))
            findEdit->setText(QString::fromUtf8(selected));
    }
    show();
    raise();
    activateWindow();
    findEdit->setFocus(Qt::ShortcutFocusReason);
    findEdit->selectAll();
}

void FindDialog::say(const QString &message)
{
    status->setText(message);
}

void FindDialog::run(const std::function<void(SourceEditor &)> &work)
{
    SourceEditor *editor = m_target ? m_target() : nullptr;
    if (!editor) {
        say(QStringLiteral("There is no page to search."));
        return;
    }
    if (findEdit->text().isEmpty()) {
        // F3 before anything was asked for: ask for it.
        if (!isVisible())
            showFind();
        say(QStringLiteral("Type the text to find."));
        return;
    }
    work(*editor);
}

void FindDialog::findNext()
{
    run([this](SourceEditor &e) { say(findInEditor(e, request(), false).message); });
}

void FindDialog::findPrevious()
{
    run([this](SourceEditor &e) { say(findInEditor(e, request(), true).message); });
}

void FindDialog::replaceOne()
{
    run([this](SourceEditor &e) { say(replaceInEditor(e, request()).message); });
}

void FindDialog::replaceAll()
{
    run([this](SourceEditor &e) { say(replaceAllInEditor(e, request()).message); });
}

} // namespace tw

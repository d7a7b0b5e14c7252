#include "documents/TidyUpPage.h"

#include "checking/CheckerRun.h"
#include "checking/TidyUp.h"
#include "documents/frmDocument.h"
#include "editor/SourceEditor.h"

#include <QPointer>

namespace tw {

namespace {

QByteArray lineEndOf(const SourceEditor *editor)
{
    switch (editor->eolMode()) {
    case QsciScintilla::EolWindows:
        return "\r\n";
    case QsciScintilla::EolMac:
        return "\r";
    case QsciScintilla::EolUnix:
        break;
    }
    return "\n";
}

// Puts the new text in, keeping the caret on its line and the view where it
// was, as far as the new text reaches.
void apply(SourceEditor *editor, const QByteArray &text)
{
    int line = 0;
    int index = 0;
    editor->getCursorPosition(&line, &index);
    const int top = editor->firstVisibleLine();
    if (!editor->replaceAllBytes(text))
        return;
    line = qMin(line, editor->lines() - 1);
    editor->setCursorPosition(line, 0);
    editor->setFirstVisibleLine(top);
}

} // namespace

QString tidyUpRefusal(int errors)
{
    return QStringLiteral("Tidy Up left the page as it is: tidy found %1 that it would mend by changing the "
                          "page's structure. The Problems list shows %2.")
        .arg(errors == 1 ? QStringLiteral("an error") : QStringLiteral("%1 errors").arg(errors),
             errors == 1 ? QStringLiteral("it") : QStringLiteral("them"));
}

void tidyUpPage(frmDocument *document, std::function<void(frmDocument *)> refused)
{
    SourceEditor *editor = document->textEdit;
    const QByteArray text = editor->documentBytes();
    auto *run = checking::CheckerRun::tidyUp(text, document);
    QPointer<frmDocument> window(document);
    QObject::connect(run, &checking::CheckerRun::finished, document,
                     [window, run, text, refused](const QList<checking::Checked> &errors, const QString &failure) {
                         run->deleteLater();
                         if (!window)
                             return;
                         SourceEditor *editor = window->textEdit;
                         if (!failure.isEmpty()) {
                             window->notice(QStringLiteral("Tidy Up left the page as it is (%1).").arg(failure));
                         } else if (!errors.isEmpty()) {
                             window->notice(tidyUpRefusal(int(errors.size())));
                             if (refused)
                                 refused(window);
                         } else if (editor->documentBytes() != text) {
                             window->notice(QString::fromLatin1(kTidyUpChanged));
                         } else {
                             const QByteArray tidied = checking::tidiedUp(text, run->pretty(), lineEndOf(editor));
                             if (tidied == text)
                                 window->notice(QString::fromLatin1(kTidyUpNothing));
                             else
                                 apply(editor, tidied);
                         }
                     });
    run->start();
}

} // namespace tw

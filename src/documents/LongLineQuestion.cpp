#include "documents/LongLineQuestion.h"

#include "editor/SourceEditor.h"
#include "platform/Dialogs.h"

#include <QDir>
#include <QLocale>

#include <new>

namespace tw {

LongLineChoice askAboutLongLine(Dialogs &dialogs, const QString &path, qint64 length)
{
    const QString text =
        QStringLiteral("%1 has a line of %2 characters.\n\n"
                       "Editing a line that long is slow: every key may take a quarter of a second or more. "
                       "You can open the page as it is, or open its text in a new untitled window "
                       "with a line break after each \">\" on its long lines; the page's file stays "
                       "as it is.")
            .arg(QDir::toNativeSeparators(path), QLocale(QLocale::English).toString(length));
    const int choice = dialogs.choose(text, QString::fromLatin1(kLongLineTitle),
                                      {QString::fromLatin1(kOpenAsItIs), QString::fromLatin1(kOpenWithLineBreaks)});
    if (choice == 0)
        return LongLineChoice::AsItIs;
    if (choice == 1)
        return LongLineChoice::WithLineBreaks;
    return LongLineChoice::Cancel;
}

bool putLineBreaks(SourceEditor *editor, qint64 limit)
{
    try {
        const char *text = editor->documentData();
        const qsizetype size = editor->documentLength();
        const QByteArray broken = breakLongLines(text, size, limit, lineEndOf(text, size));
        editor->loadBytes(broken);
        if (editor->documentLength() != broken.size())
            return false; // the editor had no room for all of it
    } catch (const std::bad_alloc &) {
        return false;
    }
    editor->markChanged();
    return true;
}

} // namespace tw

#include "documents/DocumentEncoding.h"

#include "pages/PageEncoding.h"
#include "editor/SourceEditor.h"
#include "documents/frmDocument.h"
#include "platform/Dialogs.h"

#include <QDir>

namespace tw {

bool settleEncoding(Dialogs &dialogs, const QString &name, PageEncoding &encoding,
                    const char *utf8, qsizetype length)
{
    if (encoding != PageEncoding::Legacy)
        return true;
    const char32_t misfit = firstLegacyMisfit(utf8, length);
    if (misfit == 0)
        return true;
    const QString character = QString::fromUcs4(&misfit, 1);
    const QString code = QString::number(uint(misfit), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    const QString text =
        QStringLiteral("%1 is saved as Windows-1252, which cannot hold some of the characters in it "
                       "(the first is \"%2\", U+%3).\n\n"
                       "Write those characters as HTML character references such as &#%4;, "
                       "or convert the whole page to UTF-8?")
            .arg(QDir::toNativeSeparators(name), character, code, QString::number(uint(misfit)));
    const int answer = dialogs.choose(text, QLatin1String(kEncodingTitle),
                                      {QLatin1String(kEncodingReferences), QLatin1String(kEncodingUtf8)});
    if (answer == 0)
        encoding = PageEncoding::LegacyReferences;
    else if (answer == 1)
        encoding = PageEncoding::Utf8;
    else
        return false;
    return true;
}

QString documentFormatText(const frmDocument &document)
{
    QString ends;
    switch (document.textEdit->eolMode()) {
    case QsciScintilla::EolWindows:
        ends = QStringLiteral("CR LF");
        break;
    case QsciScintilla::EolMac:
        ends = QStringLiteral("CR");
        break;
    default:
        ends = QStringLiteral("LF");
        break;
    }
    return encodingName(document.encoding) + QStringLiteral(", ") + ends;
}

} // namespace tw

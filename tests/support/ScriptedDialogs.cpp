#include "ScriptedDialogs.h"

#include <QPrinter>

#include <QFileInfo>

namespace tw::test {

QString ScriptedDialogs::take(const char *kind, const Shown &what)
{
    shown.append(what);
    const QString expected = QString::fromLatin1(kind);
    if (m_next >= m_script.size())
        throw ScriptError(QStringLiteral("unscripted %1: %2 / %3")
                              .arg(what.kind, what.title, what.text)
                              .toStdString());
    const Step step = m_script.at(m_next++);
    if (step.kind != expected)
        throw ScriptError(QStringLiteral("script has a %1 where a %2 was shown: %3 / %4")
                              .arg(step.kind, what.kind, what.title, what.text)
                              .toStdString());
    return step.value;
}

QString ScriptedDialogs::prompt(const QString &text, const QString &title)
{
    return take("prompt", {QStringLiteral("prompt"), title, text, {}});
}

bool ScriptedDialogs::askYesNo(const QString &text, const QString &title)
{
    return take("question", {QStringLiteral("yesno"), title, text, {}}) == QLatin1String("yes");
}

bool ScriptedDialogs::askYesNoDefaultNo(const QString &text, const QString &title)
{
    return take("question", {QStringLiteral("yesno"), title, text, QStringLiteral("default No")})
        == QLatin1String("yes");
}

Answer ScriptedDialogs::askYesNoCancel(const QString &text, const QString &title)
{
    const QString a = take("question", {QStringLiteral("yesnocancel"), title, text, {}});
    if (a == QLatin1String("yes"))
        return Answer::Yes;
    if (a == QLatin1String("no"))
        return Answer::No;
    return Answer::Cancel;
}

void ScriptedDialogs::message(const QString &text, const QString &title, MessageKind)
{
    take("message", {QStringLiteral("message"), title, text, {}});
}

int ScriptedDialogs::choose(const QString &text, const QString &title, const QStringList &choices)
{
    return take("choice", {QStringLiteral("choose"), title, text, choices.join(QLatin1Char('|'))}).toInt();
}

FileChoice ScriptedDialogs::openFile(const QString &filter, const QString &defaultExtension)
{
    const QString path = take("file", {QStringLiteral("open"), {}, filter, defaultExtension});
    return {path, path.isEmpty() ? QString() : QFileInfo(path).fileName()};
}

bool ScriptedDialogs::choosePrinter(QPrinter &printer, const QString &title)
{
    const QString path = take("printer", {QStringLiteral("print"), title, printer.docName(), {}});
    if (path.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    return true;
}

FileChoice ScriptedDialogs::saveFile(const QString &filter, const QString &defaultExtension)
{
    const QString path = take("file", {QStringLiteral("save"), {}, filter, defaultExtension});
    return {path, path.isEmpty() ? QString() : QFileInfo(path).fileName()};
}

QString ScriptedDialogs::chooseFolder(const QString &title)
{
    return take("folder", {QStringLiteral("folder"), title, {}, {}});
}

QStringList ScriptedDialogs::promptLog() const
{
    QStringList out;
    for (const Shown &s : shown) {
        if (s.kind == QLatin1String("prompt"))
            out << s.title + QLatin1Char('|') + s.text;
    }
    return out;
}

} // namespace tw::test

#include "documents/OpenPages.h"

#include "platform/FileErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>

namespace tw {

namespace {

const QByteArray kHeader = QByteArrayLiteral("Tagwright open pages 1\n");

struct EncodingName {
    PageEncoding encoding;
    const char *name;
};
constexpr EncodingName kEncodings[] = {
    {PageEncoding::Utf8, "utf-8"},
    {PageEncoding::Legacy, "windows-1252"},
    {PageEncoding::LegacyReferences, "windows-1252+references"},
};

QByteArray encodingField(PageEncoding encoding)
{
    for (const EncodingName &e : kEncodings) {
        if (e.encoding == encoding)
            return e.name;
    }
    return kEncodings[0].name;
}

PageEncoding encodingFrom(const QByteArray &field)
{
    for (const EncodingName &e : kEncodings) {
        if (field == e.name)
            return e.encoding;
    }
    return PageEncoding::Utf8;
}

// A line or column number: 0 for anything that is not one, or too large.
int number(const QByteArray &field)
{
    bool ok = false;
    const int n = field.toInt(&ok);
    return ok && n >= 0 ? n : 0;
}

} // namespace

QByteArray formatOpenPages(const OpenPages &list)
{
    QByteArray out = kHeader;
    for (int i = 0; i < list.pages.size(); ++i) {
        const OpenPage &page = list.pages.at(i);
        out += (i == list.active ? "*" : "-");
        for (int n : {page.line, page.column, page.firstLine})
            out += '\t' + QByteArray::number(n);
        out += '\t' + encodingField(page.encoding);
        out += '\t' + QFile::encodeName(page.path).toPercentEncoding("/");
        out += '\n';
    }
    return out;
}

OpenPages parseOpenPages(const QByteArray &bytes)
{
    OpenPages list;
    QSet<QString> seen;
    qsizetype at = 0;
    for (;;) {
        const qsizetype end = bytes.indexOf('\n', at);
        if (end < 0)
            break; // no line end: cut off
        const QList<QByteArray> fields = bytes.mid(at, end - at).split('\t');
        at = end + 1;
        if (fields.size() != 6 || (fields[0] != "*" && fields[0] != "-"))
            continue;
        OpenPage page;
        page.path = QFile::decodeName(QByteArray::fromPercentEncoding(fields[5]));
        if (page.path.isEmpty() || !QDir::isAbsolutePath(page.path) || page.path.contains(QChar(0))
            || seen.contains(page.path))
            continue;
        page.line = number(fields[1]);
        page.column = number(fields[2]);
        page.firstLine = number(fields[3]);
        page.encoding = encodingFrom(fields[4]);
        seen.insert(page.path);
        if (fields[0] == "*" && list.active < 0)
            list.active = int(list.pages.size());
        list.pages << page;
    }
    return list;
}

bool writeOpenPages(const QString &path, const OpenPages &list, QString *error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    const QByteArray bytes = formatOpenPages(list);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = fileDeviceReason(file);
    return false;
}

OpenPages readOpenPages(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parseOpenPages(file.read(kOpenPagesLimit));
}

QString defaultOpenPagesFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("open-pages"));
}

namespace {

const QString kGroup = QStringLiteral("Editor");
const QString kChosenKey = QStringLiteral("reopenPages");

} // namespace

bool reopenPagesChosen()
{
    QSettings s(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
    s.beginGroup(kGroup);
    const QVariant value = s.value(kChosenKey);
    // Garbage counts as not chosen.
    return value.toString() == QLatin1String("true");
}

void setReopenPagesChosen(bool on)
{
    QSettings s(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
    s.beginGroup(kGroup);
    s.setValue(kChosenKey, on);
}

QString pageKey(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

ReopenPlan planReopen(const OpenPages &saved, const QStringList &restored, const QStringList &commandLine)
{
    ReopenPlan plan;
    QSet<QString> open;
    for (const QString &path : restored)
        open.insert(pageKey(path));
    for (const OpenPage &page : saved.pages) {
        const QString key = pageKey(page.path);
        if (!open.contains(key)) {
            open.insert(key);
            plan.saved << page;
        }
    }
    if (saved.active >= 0 && saved.active < saved.pages.size())
        plan.active = saved.pages.at(saved.active).path;
    for (const QString &path : commandLine) {
        const QString key = pageKey(path);
        if (!open.contains(key)) {
            open.insert(key);
            plan.commandLine << path;
        }
        plan.active = path;
    }
    return plan;
}

} // namespace tw

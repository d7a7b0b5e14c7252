// Any bytes read as a page and written back give the same bytes and a CR LF;
// the sizes reserved for in-place writes match what is written.
#include "pages/PageEncoding.h"
#include "pages/PageFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace tw;

namespace {

QByteArray slurp(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_page: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/fuzz_page-XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("page.htm"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile f(path);
        check(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size(), "write input");
    }
    const PageReadResult page = readPage(path);
    check(page.ok, "read");
    check(page.encoding != PageEncoding::Utf8 || page.utf8 == bytes, "UTF-8 page held as read");
    check(page.encoding == PageEncoding::Utf8 || isValidUtf8(page.utf8.constData(), page.utf8.size()),
          "legacy text becomes valid UTF-8");

    const PageWriteResult w = writePage(path, page.utf8.constData(), page.utf8.size(), page.encoding);
    check(w.ok, "write back");
    check(slurp(path) == bytes + "\r\n", "round trip");

    // In place, over a longer page, the same bytes again.
    const PageWriteResult again = writePageInPlace(path, page.utf8.constData(), page.utf8.size(), page.encoding);
    check(again.ok, "write in place");
    check(slurp(path) == bytes + "\r\n", "in-place round trip");

    // Any bytes as editor text: references never fail, and their size is known first.
    const qint64 size1 = legacySize(bytes.constData(), bytes.size(), true);
    check(size1 >= 0, "references always fit");
    const PageWriteResult refs =
        writePageInPlace(path, bytes.constData(), bytes.size(), PageEncoding::LegacyReferences);
    check(refs.ok && slurp(path).size() == size1 + 2, "reserved size matches");
    check(fitsLegacy(bytes.constData(), bytes.size()) == (legacySize(bytes.constData(), bytes.size(), false) >= 0),
          "fits agrees with the plain size");
    return 0;
}

#include "pages/PageEncoding.h"
#include "pages/PageFile.h"
#include "pages/PageMessages.h"
#include "platform/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

namespace tw {

using namespace pageMessages;

namespace {

QString noMemoryReason()
{
    return tr("there is not enough memory to hold it.");
}

// Keeps the text in one QByteArray, sized once from the hint.
class ByteArraySink : public PageSink {
public:
    bool start(qsizetype sizeHint) override
    {
        bytes = QByteArray(); // the text of a first pass goes before the next is reserved
        bytes.reserve(sizeHint);
        return true;
    }
    bool append(const char *data, qsizetype size) override
    {
        bytes.append(data, size);
        return true;
    }

    QByteArray bytes;
};

} // namespace

PageReader::PageReader(const QString &path, qsizetype chunkSize)
    : m_path(path), m_chunkSize(chunkSize > 0 ? chunkSize : kChunkSize)
{
}

bool PageReader::fail(const QString &reason)
{
    m_file.close();
    m_error = readFailure(m_path, reason);
    return false;
}

void PageReader::failForMemory()
{
    fail(noMemoryReason());
}

bool PageReader::open()
{
    m_error.clear();
    if (m_path.isEmpty()) {
        m_error = tr("Cannot open a file without a name.");
        return false;
    }
    // Folders, devices and pipes are refused: one may never end (or never
    // start), and reading it whole could hang the program or fill the memory.
    QString reason;
    if (!openRegularFile(m_file, m_path, reason))
        return fail(reason);
    m_size = m_file.size();
    m_taken = 0;
    if (m_size > m_limit)
        return fail(tooLargeReason(m_limit));
    return true;
}

// Reads the file from where it stands to its end (which may lie beyond the
// size reported at open: a growing file, or one under /proc that reports no
// size) into the sink. With a census the bytes go to the sink as they are and
// are counted; without one they are converted from Windows-1252.
bool PageReader::pass(PageSink &sink, char *buffer, char *converted, Utf8Census *census)
{
    for (;;) {
        const qint64 got = m_file.read(buffer, m_chunkSize);
        if (got < 0)
            return fail(fileDeviceReason(m_file));
        if (got == 0)
            return true;
        // The file may hold more than it said (or say nothing, as under /proc).
        m_taken += got;
        if (m_taken > m_limit)
            return fail(tooLargeReason(m_limit));
        bool stored;
        if (census) {
            census->add(buffer, qsizetype(got));
            m_lines.add(buffer, qsizetype(got));
            stored = sink.append(buffer, qsizetype(got));
        } else {
            stored = sink.append(converted, legacyToUtf8(buffer, qsizetype(got), converted));
        }
        if (!stored)
            return fail(noMemoryReason());
    }
}

bool PageReader::read(PageSink &sink)
{
    m_error.clear();
    if (!m_file.isOpen())
        return fail(tr("it is not open."));
    try {
        const std::unique_ptr<char[]> buffer(new char[size_t(m_chunkSize)]);
        Utf8Census census;
        m_lines = LineCensus();
        if (!sink.start(qsizetype(m_size)))
            return fail(noMemoryReason());
        if (!pass(sink, buffer.get(), nullptr, &census))
            return false;
        census.finish();
        if (census.readsAsUtf8()) {
            m_encoding = PageEncoding::Utf8;
            m_longestLine = m_lines.longestCharacters();
        } else {
            m_longestLine = m_lines.longestBytes(); // one character a byte
            // Read again, converting: every byte is one Windows-1252 character.
            m_encoding = PageEncoding::Legacy;
            if (census.legacyUtf8Size() > m_limit)
                return fail(tooLargeReason(m_limit));
            m_taken = 0;
            if (!m_file.seek(0))
                return fail(fileDeviceReason(m_file));
            const std::unique_ptr<char[]> converted(new char[size_t(m_chunkSize) * 3]);
            if (!sink.start(qsizetype(census.legacyUtf8Size())))
                return fail(noMemoryReason());
            if (!pass(sink, buffer.get(), converted.get(), nullptr))
                return false;
        }
    } catch (const std::bad_alloc &) {
        return fail(noMemoryReason());
    }
    m_file.close();
    return true;
}

PageEncoding decodePageBytes(const char *data, qsizetype size, QByteArray &converted)
{
    Utf8Census census;
    census.add(data, size);
    census.finish();
    if (census.readsAsUtf8())
        return PageEncoding::Utf8;
    converted.resize(qsizetype(census.legacyUtf8Size()));
    converted.resize(legacyToUtf8(data, size, converted.data()));
    return PageEncoding::Legacy;
}

PageReadResult readPage(const QString &path, qint64 limit)
{
    PageReadResult result;
    PageReader reader(path);
    reader.setLimit(limit);
    if (!reader.open()) {
        result.error = reader.error();
        return result;
    }
    ByteArraySink sink;
    if (!reader.read(sink)) {
        result.error = reader.error();
        return result;
    }
    result.utf8 = std::move(sink.bytes);
    result.encoding = reader.encoding();
    result.ok = true;
    return result;
}

} // namespace tw

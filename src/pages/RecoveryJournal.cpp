#include "pages/RecoveryJournal.h"

#include "pages/PageEncoding.h"
#include "platform/FileErrors.h"
#include "platform/RegularFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <sys/file.h>

namespace tw {

namespace {

const char kMagic[4] = {'T', 'W', 'J', '1'};
// Where the start text is (see the layout in the header).
const quint8 kInPageFile = 0;
const quint8 kCopyByHash = 1;
const quint8 kCopyByLength = 2;

QString tr(const char *text)
{
    return QCoreApplication::translate("tw::RecoveryJournal", text);
}

// FNV-1a, in the width given by its offset basis and prime.
template <typename T>
T fnv1a(const char *data, qsizetype size, T basis, T prime)
{
    T h = basis;
    for (qsizetype i = 0; i < size; ++i) {
        h ^= static_cast<unsigned char>(data[i]);
        h *= prime;
    }
    return h;
}

// A file-size limit raises SIGXFSZ, which would end the program with every
// unsaved window; ignored, the write fails and is reported.
void ignoreFileSizeSignal()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

quint32 hash32(const char *data, qsizetype size)
{
    return fnv1a<quint32>(data, size, 2166136261u, 16777619u);
}

template <typename T>
void put(QByteArray &out, T value)
{
    char bytes[sizeof value];
    for (size_t i = 0; i < sizeof value; ++i)
        bytes[i] = static_cast<char>((static_cast<quint64>(value) >> (8 * i)) & 0xFF);
    out.append(bytes, qsizetype(sizeof value));
}

void putBytes(QByteArray &out, const QByteArray &bytes)
{
    put<quint32>(out, quint32(bytes.size()));
    out.append(bytes);
}

// Reads little-endian fields from a buffer; any read past the end marks it short.
class Reader {
public:
    explicit Reader(const QByteArray &data) : m_data(data) {}
    template <typename T>
    T take()
    {
        if (!has(qint64(sizeof(T)))) {
            m_short = true;
            return T(0);
        }
        quint64 v = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            v |= quint64(static_cast<unsigned char>(m_data[m_at + qsizetype(i)])) << (8 * i);
        m_at += qsizetype(sizeof(T));
        return T(v);
    }
    QByteArray bytes(qint64 n)
    {
        if (n < 0 || !has(n)) {
            m_short = true;
            return QByteArray();
        }
        const QByteArray out = m_data.mid(m_at, qsizetype(n));
        m_at += qsizetype(n);
        return out;
    }
    bool has(qint64 n) const { return n >= 0 && n <= qint64(m_data.size() - m_at); }
    bool atEnd() const { return m_at == m_data.size(); }
    bool isShort() const { return m_short; }
    qsizetype at() const { return m_at; }
    const char *data() const { return m_data.constData(); }

private:
    const QByteArray &m_data;
    qsizetype m_at = 0;
    bool m_short = false;
};

} // namespace

quint64 journalHash(const char *data, qsizetype size)
{
    return fnv1a<quint64>(data, size, 14695981039346656037ull, 1099511628211ull);
}

bool JournalWriter::open(const QString &journalPath, const QString &caption, const QString &pagePath,
                         PageEncoding encoding, const char *start, qsizetype size)
{
    m_pending.clear();
    m_error.clear();
    ignoreFileSizeSignal();
    QDir().mkpath(QFileInfo(journalPath).absolutePath());
    m_file.setFileName(journalPath);
    // Not truncated before the lock is held: the file may be another's.
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        m_error = fileDeviceReason(m_file);
        return false;
    }
    QByteArray header(kMagic, 4);
    put<quint32>(header, quint32(QCoreApplication::applicationPid()));
    put<quint8>(header, quint8(encoding));
    putBytes(header, caption.toUtf8());
    putBytes(header, pagePath.toUtf8());
    put<quint64>(header, quint64(size));
    put<quint64>(header, 0);
    put<quint8>(header, kCopyByLength);
    put<quint64>(header, quint64(size));
    // Held while this process lives (the system drops it when the process
    // dies, SIGKILL included), so another instance never takes the journal.
    if (::flock(m_file.handle(), LOCK_EX | LOCK_NB) != 0) {
        m_error = fileErrorReason(errno);
        m_file.close();
        return false;
    }
    if (!m_file.resize(0)) {
        m_error = fileDeviceReason(m_file);
        m_file.close();
        return false;
    }
    // The start text is written from the editor's own buffer, never copied.
    if (!writeAll(m_file, header.constData(), header.size()) || !writeAll(m_file, start, size)) {
        m_error = fileDeviceReason(m_file);
        m_file.close();
        m_file.remove();
        return false;
    }
    m_end = m_file.pos();
    return true;
}

void JournalWriter::record(qint64 position, qint64 removed, const char *inserted, qint64 length)
{
    if (!m_file.isOpen())
        return;
    const qsizetype begin = m_pending.size();
    put<quint64>(m_pending, quint64(position));
    put<quint64>(m_pending, quint64(removed));
    put<quint32>(m_pending, quint32(length));
    if (length > 0)
        m_pending.append(inserted, qsizetype(length));
    put<quint32>(m_pending, hash32(m_pending.constData() + begin, m_pending.size() - begin));
}

bool JournalWriter::flush()
{
    if (!m_file.isOpen() || m_pending.isEmpty())
        return true;
    ignoreFileSizeSignal();
    if (!writeAll(m_file, m_pending.constData(), m_pending.size())) {
        m_error = fileDeviceReason(m_file);
        // What part of the records reached the file is taken back, so that the
        // next flush writes them whole after the last whole record.
        m_file.resize(m_end);
        m_file.seek(m_end);
        return false;
    }
    m_end += m_pending.size();
    m_pending.clear();
    return true;
}

void JournalWriter::close()
{
    m_pending.clear();
    if (m_file.isOpen())
        m_file.close();
}

void JournalWriter::remove()
{
    m_pending.clear();
    if (m_file.isOpen())
        m_file.close();
    if (!m_file.fileName().isEmpty())
        m_file.remove();
}

namespace {

// The bytes a page holds for the start text in that encoding, without the
// CR LF a save adds; empty with ok false when the text has no such bytes.
QByteArray pageBytes(const QByteArray &start, PageEncoding encoding, bool &ok)
{
    ok = true;
    if (encoding == PageEncoding::Utf8)
        return start;
    return legacyBytes(start.constData(), start.size(), encoding == PageEncoding::LegacyReferences, &ok);
}

// True when the page file holds the start text, alone or followed by CR LF.
bool pageHolds(const QString &pagePath, const QByteArray &start, PageEncoding encoding)
{
    bool ok = false;
    const QByteArray expected = pageBytes(start, encoding, ok);
    // Only a regular file is read: a pipe could block the start-up.
    QFile page;
    QString reason;
    if (!ok || !openRegularFile(page, pagePath, reason))
        return false;
    const qint64 size = page.size();
    if (size != expected.size() && size != expected.size() + 2)
        return false;
    const QByteArray bytes = page.read(size + 1);
    return bytes == expected || bytes == expected + "\r\n";
}

} // namespace

JournalRestore restoreJournal(const QString &journalPath)
{
    JournalRestore result;
    const auto refuse = [&](const QString &reason) {
        result.ok = false;
        result.text.clear();
        result.error = tr("The recovery file \"%1\" was not used: %2")
                           .arg(QDir::toNativeSeparators(journalPath), reason);
        return result;
    };
    QFile file(journalPath);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    if (::flock(file.handle(), LOCK_SH | LOCK_NB) != 0) {
        result.inUse = true;
        return refuse(tr("a running Tagwright is keeping it."));
    }
    const QByteArray data = file.readAll();
    Reader in(data);
    if (in.bytes(4) != QByteArray(kMagic, 4))
        return refuse(tr("it is not a recovery file of this program."));
    result.ownerPid = in.take<quint32>();
    const quint8 encoding = in.take<quint8>();
    result.caption = QString::fromUtf8(in.bytes(in.take<quint32>()));
    result.pagePath = QString::fromUtf8(in.bytes(in.take<quint32>()));
    const qint64 startLength = qint64(in.take<quint64>());
    const quint64 startHash = in.take<quint64>();
    const quint8 where = in.take<quint8>();
    if (in.isShort() || encoding > quint8(PageEncoding::LegacyReferences) || where > kCopyByLength)
        return refuse(tr("it is damaged or cut short."));
    result.encoding = PageEncoding(encoding);

    QByteArray text;
    if (where != kInPageFile) {
        text = in.bytes(qint64(in.take<quint64>()));
        if (in.isShort() || text.size() != startLength
            || (where == kCopyByHash && journalHash(text.constData(), text.size()) != startHash))
            return refuse(tr("it is damaged or cut short."));
        result.pageDiffers = !result.pagePath.isEmpty() && !pageHolds(result.pagePath, text, result.encoding);
    } else {
        PageReadResult page = readPage(result.pagePath);
        if (!page.ok)
            return refuse(page.error);
        text = std::move(page.utf8);
        // A save writes the text followed by CR LF.
        if (text.size() == startLength + 2 && text.endsWith("\r\n"))
            text.chop(2);
        if (text.size() != startLength || journalHash(text.constData(), text.size()) != startHash)
            return refuse(tr("the page it was made for has changed since."));
    }

    result.start = text; // shared until the first edit is applied
    // A record cut short (a crash or a full disk during a write) or damaged
    // ends the replay; what came before it is kept.
    while (!in.atEnd()) {
        const qsizetype begin = in.at();
        const qint64 position = qint64(in.take<quint64>());
        const qint64 removed = qint64(in.take<quint64>());
        const qint64 length = in.take<quint32>();
        const QByteArray inserted = in.bytes(length);
        const qsizetype end = in.at();
        const quint32 check = in.take<quint32>();
        if (in.isShort() || check != hash32(in.data() + begin, end - begin) || position < 0 || removed < 0
            || position > text.size() || removed > text.size() - position) {
            result.cutShort = true;
            break;
        }
        text.replace(qsizetype(position), qsizetype(removed), inserted);
    }
    result.text = std::move(text);
    result.ok = true;
    return result;
}

} // namespace tw

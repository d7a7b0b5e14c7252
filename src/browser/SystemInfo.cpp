#include "browser/SystemInfo.h"

#include "platform/Dialogs.h"

#include <QByteArray>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace tw {

KeyStore::~KeyStore() = default;

namespace {

// Closes an opened key on every way out.
class OpenKey {
public:
    OpenKey(KeyStore &store, quint32 root, const QString &name)
        : m_store(store), m_open(store.openKey(root, name, kKeyAccess, &m_handle))
    {
    }
    ~OpenKey()
    {
        if (m_open)
            m_store.closeKey(m_handle);
    }
    OpenKey(const OpenKey &) = delete;
    OpenKey &operator=(const OpenKey &) = delete;
    bool isOpen() const { return m_open; }
    int handle() const { return m_handle; }

private:
    KeyStore &m_store;
    int m_handle = 0;
    bool m_open;
};

// A little-endian unsigned number of up to four bytes, as decimal text.
QString numberText(const QByteArray &data)
{
    quint32 value = 0;
    for (int i = int(qMin<qsizetype>(data.size(), 4)) - 1; i >= 0; --i)
        value = (value << 8) | quint8(data.at(i));
    return QString::number(value);
}

void unavailable(Dialogs &dialogs)
{
    dialogs.message(QStringLiteral("System Information Is Unavailable At This Time"),
                    QStringLiteral("Tagwright"), MessageKind::Plain);
}

const QString kMsinfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

class LinuxKeyStore final : public KeyStore {
public:
    bool openKey(quint32 root, const QString &keyName, quint32, int *handle) override
    {
        if (root != kLocalMachine || keyName.compare(kMsinfoKey, Qt::CaseInsensitive) != 0)
            return false;
        *handle = 1;
        return true;
    }
    bool queryValue(int handle, const QString &valueName, quint32 *type, char *buffer,
                    quint32 *size) override
    {
        if (handle != 1 || valueName.compare(QLatin1String("PATH"), Qt::CaseInsensitive) != 0)
            return false;
        QString program;
        for (const QString &name : systemInfoPrograms()) {
            program = QStandardPaths::findExecutable(name);
            if (!program.isEmpty())
                break;
        }
        if (program.isEmpty())
            return false;
        const QByteArray data = program.toLocal8Bit() + '\0';
        if (quint32(data.size()) > *size)
            return false;
        std::copy(data.begin(), data.end(), buffer);
        *size = quint32(data.size());
        *type = kStringValue;
        return true;
    }
    void closeKey(int) override {}
};

} // namespace

bool GetKeyValue(KeyStore &store, quint32 KeyRoot, const QString &KeyName, const QString &SubKeyRef,
                 QString &KeyVal)
{
    OpenKey key(store, KeyRoot, KeyName);
    if (!key.isOpen()) {
        KeyVal.clear();
        return false;
    }
    QByteArray buffer(1024, '\0');
    quint32 size = quint32(buffer.size());
    quint32 type = 0;
    if (!store.queryValue(key.handle(), SubKeyRef, &type, buffer.data(), &size)) {
        KeyVal.clear();
        return false;
    }
    size = qMin<quint32>(size, quint32(buffer.size()));
    // String data usually ends in a NUL; data that does not is kept whole.
    const quint32 kept = (size > 0 && buffer.at(size - 1) == '\0') ? size - 1 : size;
    const QByteArray data = buffer.left(kept);
    if (type == kStringValue)
        KeyVal = QString::fromLocal8Bit(data);
    else if (type == kNumberValue)
        KeyVal = numberText(data);
    return true;
}

bool startProgram(const QString &program)
{
    return !program.isEmpty() && QProcess::startDetached(program, QStringList());
}

void StartSysInfo(KeyStore &store, Dialogs &dialogs, const ProgramStarter &start)
{
    QString path;
    if (!GetKeyValue(store, kLocalMachine, kMsinfoKey, QStringLiteral("PATH"), path)) {
        QString folder;
        if (!GetKeyValue(store, kLocalMachine, kLocationKey, QStringLiteral("MSINFO"), folder)) {
            unavailable(dialogs);
            return;
        }
        path = folder + QStringLiteral("/MSINFO32.EXE");
        if (!QFileInfo(path).isFile()) {
            unavailable(dialogs);
            return;
        }
    }
    if (!start(path))
        unavailable(dialogs);
}

QStringList systemInfoPrograms()
{
    return {QStringLiteral("kinfocenter"), QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"),
            QStringLiteral("gnome-system-monitor"), QStringLiteral("mate-system-monitor"),
            QStringLiteral("xfce4-taskmanager")};
}

KeyStore &systemKeyStore()
{
    static LinuxKeyStore store;
    return store;
}

} // namespace tw

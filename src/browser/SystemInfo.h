#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

namespace tw {

class Dialogs;

// A small registry-like store of named values under keys, read one value at
// a time, in the manner of the Windows registry calls.
class KeyStore {
public:
    virtual ~KeyStore();
    // Opens keyName under root; false when there is no such key.
    virtual bool openKey(quint32 root, const QString &keyName, quint32 access, int *handle) = 0;
    // Reads a value into buffer, which holds *size bytes. On success *type is
    // the value's type and *size the length of its data. A missing value, or
    // data longer than the buffer, fails.
    virtual bool queryValue(int handle, const QString &valueName, quint32 *type, char *buffer,
                            quint32 *size) = 0;
    virtual void closeKey(int handle) = 0;
};

inline constexpr quint32 kLocalMachine = 0x80000002;
inline constexpr quint32 kKeyAccess = 0x2003F;
inline constexpr quint32 kStringValue = 1;
inline constexpr quint32 kNumberValue = 4;

// Reads one value as text into KeyVal; true when it was read. A string's
// terminating NUL, when it has one, is dropped. A 32-bit number becomes its
// decimal text. Any other type leaves KeyVal as it came in (and still counts
// as read). When the key or value cannot be read, KeyVal becomes empty. An
// opened key is always closed.
bool GetKeyValue(KeyStore &store, quint32 KeyRoot, const QString &KeyName, const QString &SubKeyRef,
                 QString &KeyVal);

// Starts a program with no arguments and no shell; false when it could not
// be started.
using ProgramStarter = std::function<bool(const QString &program)>;
bool startProgram(const QString &program);

// System Info: starts the system-information program that the store names,
// either by its full path or by the folder that holds MSINFO32.EXE. When
// neither is found, or the program does not start, says so in a message.
void StartSysInfo(KeyStore &store, Dialogs &dialogs, const ProgramStarter &start = startProgram);

// Programs that show this system's information, in order of preference.
QStringList systemInfoPrograms();

// The store of this platform. Under Linux it holds one value: the path of
// the first system-information program found on PATH, where the Windows
// registry keeps the path of its own.
KeyStore &systemKeyStore();

} // namespace tw

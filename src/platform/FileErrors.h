#pragma once

#include <QString>

class QFileDevice;

namespace tw {

// Why a file operation failed, as the end of a sentence, from the system's
// error number: "there is no such file.", "the name is too long." etc.
QString fileErrorReason(int error);

// A file's own error text, as the end of a sentence: the words of
// fileErrorReason when it is a system error worded there, else the text with
// lower case first and a full stop; "unknown error." when it has none.
QString fileDeviceReason(const QFileDevice &file);

} // namespace tw

#pragma once

#include <QString>

namespace tw {

// Why a file operation failed, as the end of a sentence, from the system's
// error number: "there is no such file.", "the name is too long." etc.
QString fileErrorReason(int error);

} // namespace tw

#include "platform/ThreadPriority.h"

#include <algorithm>

#include <sys/resource.h>
#include <unistd.h>

namespace tw {

void runBehindTheWindow()
{
    // Five steps of niceness behind the program's own (a third of an
    // ordinary thread's share), however often a pooled thread asks: the
    // process's value is its first thread's, the window's.
    const int program = ::getpriority(PRIO_PROCESS, ::getpid());
    ::setpriority(PRIO_PROCESS, ::gettid(), std::min(program + 5, 19));
}

} // namespace tw

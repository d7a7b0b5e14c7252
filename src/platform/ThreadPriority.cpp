#include "platform/ThreadPriority.h"

#include <sys/resource.h>
#include <unistd.h>

namespace tw {

void runBehindTheWindow()
{
    // Five steps of niceness: a third of an ordinary thread's share.
    ::setpriority(PRIO_PROCESS, ::gettid(), 5);
}

} // namespace tw

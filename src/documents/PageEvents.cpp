#include "documents/PageEvents.h"

namespace tw {

PageEvents &PageEvents::instance()
{
    static PageEvents events;
    return events;
}

} // namespace tw

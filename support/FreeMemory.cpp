#include "support/FreeMemory.h"

#include <QPixmapCache>
#include <malloc.h>

void releaseFreeMemory() {
    // The style keeps what it has drawn, keyed by the colours of the window
    // it drew for; every window opens with colours of its own, so what a
    // closed window left there is never asked for again.
    QPixmapCache::clear();
    // The allocator keeps freed blocks for reuse; without this a child's many
    // runs and windows would leave the program larger than it needs to be.
    malloc_trim(0);
}

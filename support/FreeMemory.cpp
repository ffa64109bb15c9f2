#include "support/FreeMemory.h"

#include <malloc.h>

void releaseFreeMemory() { malloc_trim(0); }

// Hands memory that the program has freed back to the system. The allocator
// keeps freed blocks for reuse, so that a child's many runs and windows would
// otherwise leave the program larger than it needs to be; called at moments of
// rest, when a run or a window has just ended.
#pragma once

void releaseFreeMemory();

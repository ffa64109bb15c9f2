// Hands memory that the program no longer needs back to the system, at
// moments of rest: when a run or a window has just ended.
#pragma once

void releaseFreeMemory();

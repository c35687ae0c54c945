#pragma once
// Program entry: the start-up sequence.
#include "clsConn.h"

// Runs the start-up sequence. Returns true when a window was opened that
// keeps the program running.
bool Main();

#pragma once
// The number of top-level windows the calling thread owns, to see that a test
// leaves no window behind.
int CountThreadWindows();

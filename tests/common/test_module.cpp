// The module object of a test program that links the page or the control
// without the server: module locks and cached shared data need one.
#include "framework/com_module.h"

ComModule g_test_module;

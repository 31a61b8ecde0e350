#pragma once
// Where the built files are, seen from a test program in the build's bin folder.
#include <string>

// The folder of the running test program, with a trailing backslash.
std::string ProgramDir();
// Full path of the built Pellwick.dll beside the test programs.
std::string PellwickDllPath();

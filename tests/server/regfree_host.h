#pragma once
// What both registration-free hosts check, in a prefix where nothing of the
// control is registered: the prefix is clean, and the control comes from
// CoCreateInstance by CLSID and by either ProgID, activates in place in the
// recording container and fills its page from the host it is handed.
#include <windows.h>

// The assembly manifest beside the DLL and the test programs.
constexpr const char kAssemblyManifest[] = "Pellwick.ActivityCtrl.manifest";

// No class, ProgID or type library key of the control in the registry.
void ExpectNothingRegistered();

// Creates the control by CLSID and through both ProgIDs, and runs one of them
// through activation, the host hand-over and closing.
void ExpectCreatedActivatedAndHosted();

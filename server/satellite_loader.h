#pragma once
// The search for the satellite resource module that matches the user's UI
// language: it lives in "resdll" beside the component and is named after it.
#include <windows.h>

#include "satellite_names.h"

// Loads the first candidate satellite of `component` as a resource-only data
// module, so no code in it ever runs, into `*satellite`, owned by the caller;
// null when the UI language is neutral, the component's path is unknown or no
// candidate loads. Non-zero `debug_suffix` looks for the "d" names instead.
// S_OK when the search completed; E_OUTOFMEMORY (`*satellite` null) when it
// could not for lack of memory, which is worth trying again.
HRESULT FindLocalizedResourceModule(HMODULE component, BOOL debug_suffix,
                                    HMODULE* satellite) noexcept;

// Fills the ISO and abbreviated names of `lookup.ui_language` as the platform
// gives them; a name the platform does not give (or that does not fit) is
// left empty. May throw std::bad_alloc, also when the platform has no memory
// to give a name.
void ReadLanguageNames(SatelliteLookup& lookup);

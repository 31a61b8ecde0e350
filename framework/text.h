#pragma once
// Conversions between the page's narrow text (the thread's ANSI code page,
// CP_THREAD_ACP) and BSTRs crossing an interface.
#include <string>

#include "handles.h"

// The characters of `text` up to its first NUL; a null BSTR reads as empty.
std::string NarrowFromBstr(BSTR text);

// A new BSTR of exactly the converted length of all bytes of `text` (embedded
// NULs included); empty text gives a zero-length, non-null BSTR. On failure
// returns E_OUTOFMEMORY and leaves `result` empty.
HRESULT BstrFromNarrow(const std::string& text, Bstr& result) noexcept;

// Every BSTR the component allocates goes through this function, so tests can
// make an allocation fail. Returns the previous allocator.
using BstrAllocator = BSTR(WINAPI*)(const OLECHAR* characters, UINT length);
BstrAllocator SetBstrAllocator(BstrAllocator allocator) noexcept;
BSTR AllocateBstr(const OLECHAR* characters, UINT length) noexcept;

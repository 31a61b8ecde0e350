#pragma once
// Conversions between BSTRs crossing an interface, wide text, and narrow
// text in the thread's ANSI code page (CP_THREAD_ACP), the form of what
// others read: registry values, byte-counted layout.
#include <string>
#include <string_view>

#include "handles.h"

// The characters of `text` up to its first NUL; a null BSTR reads as empty.
std::string NarrowFromBstr(BSTR text);

// A new BSTR of exactly the converted length of all bytes of `text` (embedded
// NULs included); empty text gives a zero-length, non-null BSTR. On failure
// returns E_OUTOFMEMORY and leaves `result` empty.
HRESULT BstrFromNarrow(const std::string& text, Bstr& result) noexcept;

// The UTF-16 units of `text` up to its first NUL, exactly; a null BSTR reads
// as empty. May throw std::bad_alloc.
std::wstring WideFromBstr(BSTR text);

// A new BSTR holding exactly `text`; empty text gives a zero-length, non-null
// BSTR. On failure returns E_OUTOFMEMORY and leaves `result` empty.
HRESULT BstrFromWide(std::wstring_view text, Bstr& result) noexcept;

// `text` in the thread's ANSI code page, characters it lacks as '?', and
// back. May throw std::bad_alloc.
std::string AnsiFromWide(std::wstring_view text);
std::wstring WideFromAnsi(std::string_view text);
// The byte length of AnsiFromWide(text), without making it.
size_t AnsiLength(std::wstring_view text) noexcept;

// Every BSTR the component allocates goes through this function, so tests can
// make an allocation fail. Returns the previous allocator.
using BstrAllocator = BSTR(WINAPI*)(const OLECHAR* characters, UINT length);
BstrAllocator SetBstrAllocator(BstrAllocator allocator) noexcept;
BSTR AllocateBstr(const OLECHAR* characters, UINT length) noexcept;

#pragma once
// Owners for the plain handle kinds: BSTR, HKEY, HMODULE, GDI objects, made DCs,
// files and file mappings, metafiles, global memory and activation contexts.
#include <windows.h>
#include <oleauto.h>

#include "unique_resource.h"

// Traits for a handle that `Close` gives back; empty is null, or
// INVALID_HANDLE_VALUE where `kInvalidWhenEmpty`. The closers are small inline
// functions because an imported function's address is no template argument.
template <class Handle, void (*Close)(Handle) noexcept, bool kInvalidWhenEmpty = false>
struct ClosedWith {
  static Handle empty() noexcept {
    if constexpr (kInvalidWhenEmpty) {
      return INVALID_HANDLE_VALUE;
    } else {
      return Handle{};
    }
  }
  static void free(Handle handle) noexcept { Close(handle); }
};

inline void FreeBstr(BSTR value) noexcept { SysFreeString(value); }
inline void CloseRegKey(HKEY key) noexcept { RegCloseKey(key); }
inline void FreeLoadedModule(HMODULE module) noexcept { FreeLibrary(module); }
template <class Gdi>
inline void DeleteGdiObject(Gdi object) noexcept { DeleteObject(object); }
inline void DeleteCreatedDc(HDC dc) noexcept { DeleteDC(dc); }
inline void CloseFileFind(HANDLE find) noexcept { FindClose(find); }
inline void CloseKernelHandle(HANDLE handle) noexcept { CloseHandle(handle); }
inline void UnmapView(const void* view) noexcept { UnmapViewOfFile(view); }
inline void DeleteMetaFileHandle(HMETAFILE metafile) noexcept { DeleteMetaFile(metafile); }
inline void FreeGlobalMemory(HGLOBAL memory) noexcept { GlobalFree(memory); }
inline void ReleaseActivationContext(HANDLE context) noexcept { ReleaseActCtx(context); }

using Bstr = UniqueResource<BSTR, ClosedWith<BSTR, FreeBstr>>;
using RegKey = UniqueResource<HKEY, ClosedWith<HKEY, CloseRegKey>>;
using ModuleHandle = UniqueResource<HMODULE, ClosedWith<HMODULE, FreeLoadedModule>>;
template <class Gdi>
using GdiObject = UniqueResource<Gdi, ClosedWith<Gdi, DeleteGdiObject<Gdi>>>;
using FontHandle = GdiObject<HFONT>;
using BrushHandle = GdiObject<HBRUSH>;
using RegionHandle = GdiObject<HRGN>;
// A DC made with CreateDC or CreateCompatibleDC.
using CreatedDc = UniqueResource<HDC, ClosedWith<HDC, DeleteCreatedDc>>;
using FileFind = UniqueResource<HANDLE, ClosedWith<HANDLE, CloseFileFind, true>>;
// A file opened with CreateFile: INVALID_HANDLE_VALUE when empty.
using FileHandle = UniqueResource<HANDLE, ClosedWith<HANDLE, CloseKernelHandle, true>>;
// A file-mapping object (null when empty) and a view mapped from it.
using FileMapping = UniqueResource<HANDLE, ClosedWith<HANDLE, CloseKernelHandle>>;
using MappedView = UniqueResource<const void*, ClosedWith<const void*, UnmapView>>;
// A Windows metafile (CloseMetaFile's result) and a block from GlobalAlloc.
using MetaFileHandle = UniqueResource<HMETAFILE, ClosedWith<HMETAFILE, DeleteMetaFileHandle>>;
using GlobalMemory = UniqueResource<HGLOBAL, ClosedWith<HGLOBAL, FreeGlobalMemory>>;
// An activation context from CreateActCtx: INVALID_HANDLE_VALUE when empty.
using ActCtxHandle =
    UniqueResource<HANDLE, ClosedWith<HANDLE, ReleaseActivationContext, true>>;

// Makes an activation context the thread's active one for one scope; the
// previous one is active again afterwards. `active()` tells whether it worked.
class ActivatedActCtx {
 public:
  explicit ActivatedActCtx(HANDLE context) noexcept
      : active_(ActivateActCtx(context, &cookie_) != FALSE) {}
  ~ActivatedActCtx() {
    if (active_) DeactivateActCtx(0, cookie_);
  }
  ActivatedActCtx(const ActivatedActCtx&) = delete;
  ActivatedActCtx& operator=(const ActivatedActCtx&) = delete;
  bool active() const noexcept { return active_; }

 private:
  ULONG_PTR cookie_ = 0;
  bool active_;
};

// A window's DC from GetDC, given back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() { reset(); }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }
  HDC release() noexcept {
    HDC dc = dc_;
    dc_ = nullptr;
    return dc;
  }
  void reset() noexcept {
    if (dc_) ReleaseDC(window_, dc_);
    dc_ = nullptr;
  }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a DC for one scope and puts the old one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (old_) SelectObject(dc_, old_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

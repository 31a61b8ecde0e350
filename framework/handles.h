#pragma once
// Owners for the plain handle kinds: BSTR, HKEY, HMODULE, GDI objects, made DCs,
// files and file mappings, metafiles, global memory and activation contexts.
#include <windows.h>
#include <oleauto.h>

#include "unique_resource.h"

struct BstrTraits {
  static BSTR empty() noexcept { return nullptr; }
  static void free(BSTR value) noexcept { SysFreeString(value); }
};
using Bstr = UniqueResource<BSTR, BstrTraits>;

struct RegKeyTraits {
  static HKEY empty() noexcept { return nullptr; }
  static void free(HKEY key) noexcept { RegCloseKey(key); }
};
using RegKey = UniqueResource<HKEY, RegKeyTraits>;

struct ModuleTraits {
  static HMODULE empty() noexcept { return nullptr; }
  static void free(HMODULE module) noexcept { FreeLibrary(module); }
};
using ModuleHandle = UniqueResource<HMODULE, ModuleTraits>;

template <class Gdi>
struct GdiObjectTraits {
  static Gdi empty() noexcept { return nullptr; }
  static void free(Gdi object) noexcept { DeleteObject(object); }
};
template <class Gdi>
using GdiObject = UniqueResource<Gdi, GdiObjectTraits<Gdi>>;
using FontHandle = GdiObject<HFONT>;
using BrushHandle = GdiObject<HBRUSH>;
using RegionHandle = GdiObject<HRGN>;

// A DC made with CreateDC or CreateCompatibleDC.
struct CreatedDcTraits {
  static HDC empty() noexcept { return nullptr; }
  static void free(HDC dc) noexcept { DeleteDC(dc); }
};
using CreatedDc = UniqueResource<HDC, CreatedDcTraits>;

struct FileFindTraits {
  static HANDLE empty() noexcept { return INVALID_HANDLE_VALUE; }
  static void free(HANDLE find) noexcept { FindClose(find); }
};
using FileFind = UniqueResource<HANDLE, FileFindTraits>;

// A file opened with CreateFile: INVALID_HANDLE_VALUE when empty.
struct FileHandleTraits {
  static HANDLE empty() noexcept { return INVALID_HANDLE_VALUE; }
  static void free(HANDLE file) noexcept { CloseHandle(file); }
};
using FileHandle = UniqueResource<HANDLE, FileHandleTraits>;

// A file-mapping object (null when empty) and a view mapped from it.
struct FileMappingTraits {
  static HANDLE empty() noexcept { return nullptr; }
  static void free(HANDLE mapping) noexcept { CloseHandle(mapping); }
};
using FileMapping = UniqueResource<HANDLE, FileMappingTraits>;

struct MappedViewTraits {
  static const void* empty() noexcept { return nullptr; }
  static void free(const void* view) noexcept { UnmapViewOfFile(view); }
};
using MappedView = UniqueResource<const void*, MappedViewTraits>;

// A Windows metafile (CloseMetaFile's result) and a block from GlobalAlloc.
struct MetaFileTraits {
  static HMETAFILE empty() noexcept { return nullptr; }
  static void free(HMETAFILE metafile) noexcept { DeleteMetaFile(metafile); }
};
using MetaFileHandle = UniqueResource<HMETAFILE, MetaFileTraits>;

struct GlobalMemoryTraits {
  static HGLOBAL empty() noexcept { return nullptr; }
  static void free(HGLOBAL memory) noexcept { GlobalFree(memory); }
};
using GlobalMemory = UniqueResource<HGLOBAL, GlobalMemoryTraits>;

// An activation context from CreateActCtx: INVALID_HANDLE_VALUE when empty.
struct ActCtxTraits {
  static HANDLE empty() noexcept { return INVALID_HANDLE_VALUE; }
  static void free(HANDLE context) noexcept { ReleaseActCtx(context); }
};
using ActCtxHandle = UniqueResource<HANDLE, ActCtxTraits>;

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

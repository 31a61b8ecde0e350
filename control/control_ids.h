#pragma once
// The control's own interface, event interface and type library, as the
// embedded PellwickLib declares them, and the process-wide caches of the type
// information handed out through IDispatch and IProvideClassInfo.
#include <windows.h>
#include <oaidl.h>

#include "framework/type_info_cache.h"

// The control's dual interface: IDispatch and nothing of its own.
MIDL_INTERFACE("9B739684-14D2-447F-865E-28E21576139A")
IHvActivityCtrl : public IDispatch{};

#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(IHvActivityCtrl, 0x9B739684, 0x14D2, 0x447F, 0x86, 0x5E, 0x28, 0xE2, 0x15, 0x76,
                0x13, 0x9A)
#endif

inline constexpr IID IID_IHvActivityCtrl = {
    0x9B739684, 0x14D2, 0x447F, {0x86, 0x5E, 0x28, 0xE2, 0x15, 0x76, 0x13, 0x9A}};
// _IHvActivityCtrlEvents: the event dispinterface, which has no members.
inline constexpr IID DIID_IHvActivityCtrlEvents = {
    0x897B5A9B, 0x25C7, 0x4C20, {0xBD, 0x6A, 0xC1, 0x3E, 0xA4, 0x39, 0x7A, 0x6A}};

// PellwickLib's identifier: {24919A8D-2502-49CA-B37B-C348EE6E708C}.
inline constexpr GUID kPellwickLibId = {
    0x24919A8D, 0x2502, 0x49CA, {0xB3, 0x7B, 0xC3, 0x48, 0xEE, 0x6E, 0x70, 0x8C}};

// PellwickLib 1.0 is registered under its own locale only, so a lookup in
// any other locale (LCID 0 among them) falls back to this one.
constexpr WORD kPellwickLibMajor = 1;
constexpr WORD kPellwickLibMinor = 0;
constexpr LCID kPellwickLibLcid = 0x0409;

// IHvActivityCtrl's and coclass ActivityCtrl's type information, loaded on
// first use and released by the module's shut-down callbacks.
extern TypeInfoCache g_activity_ctrl_dispatch_info;
extern TypeInfoCache g_activity_ctrl_class_info;

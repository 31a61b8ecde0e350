#pragma once
// The picture a container gets for TYMED_MFPICT: a metafile with nothing
// drawn, to be played with MM_ANISOTROPIC over a given HIMETRIC size.
#include <windows.h>

// On success `*picture` is a new moveable global block holding a METAFILEPICT
// whose metafile it owns; both belong to the caller, who frees them as
// ReleaseStgMedium does (DeleteMetaFile on hMF, then GlobalFree). On failure
// nothing stays allocated, `*picture` is null, and the result is
// E_OUTOFMEMORY. A null `picture` gives E_POINTER.
HRESULT CreateEmptyMetafilePicture(SIZEL extent, HGLOBAL* picture) noexcept;

#include "control/metafile_picture.h"

#include "framework/handles.h"

HRESULT CreateEmptyMetafilePicture(SIZEL extent, HGLOBAL* picture) noexcept {
  if (!picture) return E_POINTER;
  *picture = nullptr;
  HDC recorder = CreateMetaFileW(nullptr);
  if (!recorder) return E_OUTOFMEMORY;
  // The control draws nothing, so the recording closes at once.
  MetaFileHandle metafile(CloseMetaFile(recorder));
  if (!metafile) return E_OUTOFMEMORY;

  GlobalMemory block(GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, sizeof(METAFILEPICT)));
  if (!block) return E_OUTOFMEMORY;
  auto* header = static_cast<METAFILEPICT*>(GlobalLock(block.get()));
  if (!header) return E_OUTOFMEMORY;
  header->mm = MM_ANISOTROPIC;
  header->xExt = extent.cx;
  header->yExt = extent.cy;
  header->hMF = metafile.release();
  GlobalUnlock(block.get());
  *picture = block.release();
  return S_OK;
}

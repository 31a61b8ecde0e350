#include "tools/devhost/screenshot.h"

#include <wincodec.h>

#include "framework/com_ptr.h"
#include "framework/handles.h"

namespace {
HRESULT Encode(HBITMAP bitmap, const std::wstring& file) noexcept {
  ComPtr<IWICImagingFactory> factory;
  HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.out_void());
  if (FAILED(hr)) return hr;
  ComPtr<IWICBitmap> source;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapEncoder> encoder;
  ComPtr<IWICBitmapFrameEncode> frame;
  ComPtr<IPropertyBag2> options;
  if (FAILED(hr = factory->CreateBitmapFromHBITMAP(bitmap, nullptr, WICBitmapIgnoreAlpha,
                                                   source.out())) ||
      FAILED(hr = factory->CreateStream(stream.out())) ||
      FAILED(hr = stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE)) ||
      FAILED(hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out())) ||
      FAILED(hr = encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
      FAILED(hr = encoder->CreateNewFrame(frame.out(), options.out())) ||
      FAILED(hr = frame->Initialize(options.get())))
    return hr;
  UINT width = 0, height = 0;
  source->GetSize(&width, &height);
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  if (FAILED(hr = frame->SetSize(width, height)) ||
      FAILED(hr = frame->SetPixelFormat(&format)) ||
      FAILED(hr = frame->WriteSource(source.get(), nullptr)) || FAILED(hr = frame->Commit()))
    return hr;
  return encoder->Commit();
}
}  // namespace

HRESULT SaveWindowPng(HWND window, const std::wstring& file) noexcept {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  GdiFlush();
  RECT area;
  if (!GetWindowRect(window, &area)) return HRESULT_FROM_WIN32(GetLastError());
  const int width = area.right - area.left, height = area.bottom - area.top;
  WindowDc screen(nullptr);
  CreatedDc memory(CreateCompatibleDC(screen.get()));
  GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), width, height));
  if (!memory || !bitmap) return E_OUTOFMEMORY;
  {
    SelectedObject selected(memory.get(), bitmap.get());
    if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY))
      return HRESULT_FROM_WIN32(GetLastError());
  }
  return Encode(bitmap.get(), file);
}

#include "screenshot.h"

#include <wincodec.h>

#include "com_ptr.h"

namespace {
HRESULT Encode(HBITMAP bitmap, const std::wstring& file) noexcept {
  ComPtr<IWICImagingFactory> factory;
  HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(factory.out()));
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
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HRESULT hr = E_OUTOFMEMORY;
  if (memory && bitmap) {
    const HGDIOBJ old = SelectObject(memory, bitmap);
    hr = BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY)
             ? S_OK
             : HRESULT_FROM_WIN32(GetLastError());
    // The encoder reads the bitmap's bits, which a DC must not hold then.
    SelectObject(memory, old);
  }
  if (memory) DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (SUCCEEDED(hr)) hr = Encode(bitmap, file);
  if (bitmap) DeleteObject(bitmap);
  return hr;
}

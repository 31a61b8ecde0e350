#include "server/typelib_registration.h"

#include <oleauto.h>

#include <new>
#include <string>

#include "framework/com_ptr.h"
#include "framework/error_boundary.h"
#include "framework/handles.h"
#include "server/module_path.h"
#include "server/registration_text.h"

namespace {

HRESULT LoadComponentTypeLib(HMODULE module, ComPtr<ITypeLib>& library,
                             std::wstring& path) noexcept {
  const HRESULT result = ModuleFileName(module, path);
  if (FAILED(result)) return result;
  if (SUCCEEDED(LoadTypeLib(path.c_str(), library.out()))) return S_OK;
  return CatchReturn([&] {
    path = TypeLibraryFallbackPath(path);
    return LoadTypeLib(path.c_str(), library.out());
  });
}

}  // namespace

HRESULT RegisterComponentTypeLib(HMODULE module) noexcept {
  ComPtr<ITypeLib> library;
  std::wstring path;
  HRESULT result = LoadComponentTypeLib(module, library, path);
  if (FAILED(result)) return result;

  Bstr help_file;
  std::wstring help_directory;
  const bool has_help =
      SUCCEEDED(library->GetDocumentation(-1, nullptr, nullptr, nullptr, help_file.out())) &&
      help_file && SysStringLen(help_file.get()) > 0;
  if (has_help) {
    result = CatchReturn([&] {
      help_directory = HelpDirectory(help_file.get());
      return S_OK;
    });
    if (FAILED(result)) return result;
  }
  return RegisterTypeLib(library.get(), &path[0], has_help ? &help_directory[0] : nullptr);
}

HRESULT UnregisterComponentTypeLib(HMODULE module) noexcept {
  ComPtr<ITypeLib> library;
  std::wstring path;
  HRESULT result = LoadComponentTypeLib(module, library, path);
  if (FAILED(result)) return result;

  TLIBATTR* attributes = nullptr;
  result = library->GetLibAttr(&attributes);
  if (FAILED(result)) return result;
  result = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                             attributes->lcid, attributes->syskind);
  library->ReleaseTLibAttr(attributes);
  return result;
}

// What the built modules import, read from the PE import directory of a
// plain file mapping: the DLL only system DLLs, the satellite nothing.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "built_module.h"
#include "common/test_paths.h"
#include "resources/resource_ids.h"

namespace {

// The only DLLs Pellwick.dll may import: Windows' own. The run-time libraries
// are linked in statically, so nothing from the compiler may appear here.
const char* const kAllowedImports[] = {"kernel32.dll", "user32.dll",   "gdi32.dll",
                                       "advapi32.dll", "ole32.dll",    "oleaut32.dll",
                                       "msvcrt.dll"};

struct PeImage {
  bool valid = false;
  DWORD entry_point = 0;
  std::vector<std::string> imports;  // lower case
  std::vector<std::string> delay_imports;
};

// A read-only view of a file, bounds-checked.
class FileView {
 public:
  explicit FileView(const std::string& path)
      : file_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                          nullptr)) {
    if (!file_) return;
    size_ = GetFileSize(file_.get(), nullptr);
    mapping_.reset(CreateFileMappingA(file_.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (mapping_) view_.reset(MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, 0));
  }
  bool ok() const { return static_cast<bool>(view_); }
  template <class T>
  const T* At(std::size_t offset) const {
    if (offset > size_ || size_ - offset < sizeof(T)) return nullptr;
    return reinterpret_cast<const T*>(static_cast<const char*>(view_.get()) + offset);
  }
  bool String(std::size_t offset, std::string& text) const {
    if (offset >= size_) return false;
    const char* start = static_cast<const char*>(view_.get()) + offset;
    const void* end = memchr(start, 0, size_ - offset);
    if (!end) return false;
    text.assign(start, static_cast<const char*>(end));
    return true;
  }

 private:
  FileHandle file_;
  FileMapping mapping_;
  MappedView view_;
  std::size_t size_ = 0;
};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The modules are built beside this program, so their headers are of its own kind
// (PE32 for x86, PE32+ for x64).
PeImage ReadPe(const std::string& path) {
  PeImage image;
  FileView file(path);
  if (!file.ok()) return image;
  const auto* dos = file.At<IMAGE_DOS_HEADER>(0);
  if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE) return image;
  const auto* nt = file.At<IMAGE_NT_HEADERS>(dos->e_lfanew);
  if (!nt || nt->Signature != IMAGE_NT_SIGNATURE ||
      nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC)
    return image;
  image.entry_point = nt->OptionalHeader.AddressOfEntryPoint;

  const std::size_t sections_at = dos->e_lfanew + offsetof(IMAGE_NT_HEADERS, OptionalHeader) +
                                  nt->FileHeader.SizeOfOptionalHeader;
  // File offset of an RVA, or 0 when no section holds it.
  auto offset_of = [&](DWORD rva) -> std::size_t {
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
      const auto* section =
          file.At<IMAGE_SECTION_HEADER>(sections_at + i * sizeof(IMAGE_SECTION_HEADER));
      if (!section) return 0;
      const DWORD extent = std::max(section->Misc.VirtualSize, section->SizeOfRawData);
      if (rva >= section->VirtualAddress && rva - section->VirtualAddress < extent)
        return section->PointerToRawData + (rva - section->VirtualAddress);
    }
    return 0;
  };
  auto names = [&](DWORD directory_rva, std::size_t descriptor_size, std::size_t name_field,
                   std::vector<std::string>& out) {
    if (!directory_rva) return true;
    std::size_t at = offset_of(directory_rva);
    if (!at) return false;
    for (;; at += descriptor_size) {
      const auto* name_rva = file.At<DWORD>(at + name_field);
      if (!name_rva) return false;
      if (*name_rva == 0) return true;  // the all-zero descriptor ends the table
      std::string name;
      if (!file.String(offset_of(*name_rva), name)) return false;
      out.push_back(Lower(name));
    }
  };
  const IMAGE_DATA_DIRECTORY* directories = nt->OptionalHeader.DataDirectory;
  const bool imports_ok =
      nt->OptionalHeader.NumberOfRvaAndSizes > IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT &&
      names(directories[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress,
            sizeof(IMAGE_IMPORT_DESCRIPTOR), offsetof(IMAGE_IMPORT_DESCRIPTOR, Name),
            image.imports) &&
      names(directories[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].VirtualAddress,
            sizeof(IMAGE_DELAYLOAD_DESCRIPTOR), offsetof(IMAGE_DELAYLOAD_DESCRIPTOR, DllNameRVA),
            image.delay_imports);
  image.valid = imports_ok;
  return image;
}

TEST(ModuleImports, DllImportsOnlyWindowsSystemDlls) {
  const PeImage dll = ReadPe(PellwickDllPath());
  ASSERT_TRUE(dll.valid);
  EXPECT_FALSE(dll.imports.empty());
  EXPECT_NE(std::find(dll.imports.begin(), dll.imports.end(), "kernel32.dll"), dll.imports.end());
  for (const std::string& name : dll.imports) {
    EXPECT_NE(std::find(std::begin(kAllowedImports), std::end(kAllowedImports), name),
              std::end(kAllowedImports))
        << name << " is not a Windows system DLL on the allowed list";
  }
  EXPECT_TRUE(dll.delay_imports.empty());
}

TEST(ModuleImports, SatelliteHasNoImportsAndNoEntryPoint) {
  const PeImage satellite = ReadPe(SatellitePath());
  ASSERT_TRUE(satellite.valid);
  EXPECT_TRUE(satellite.imports.empty()) << satellite.imports.front();
  EXPECT_TRUE(satellite.delay_imports.empty());
  EXPECT_EQ(satellite.entry_point, 0u);  // no code runs under the loader lock
}

// The component loads its satellite with a plain LoadLibraryA while itself
// loaded; both must fit in the process together.
TEST(ModuleImports, SatelliteLoadsBesideTheDll) {
  ModuleHandle dll(LoadLibraryA(PellwickDllPath().c_str()));
  ASSERT_TRUE(dll) << GetLastError();
  ModuleHandle satellite(LoadLibraryA(SatellitePath().c_str()));
  ASSERT_TRUE(satellite) << GetLastError();
  EXPECT_NE(satellite.get(), dll.get());
  EXPECT_NE(FindResourceExW(satellite.get(), MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(IDD_ACTIVITY_PAGE),
                            kGerman),
            nullptr);
  char path[MAX_PATH] = {};
  EXPECT_GT(GetModuleFileNameA(satellite.get(), path, MAX_PATH), 0u);
  EXPECT_EQ(Lower(path), Lower(SatellitePath()));
}

}  // namespace

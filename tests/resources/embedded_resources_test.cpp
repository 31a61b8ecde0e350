// The registration scripts, the toolbox bitmap and the version resource of
// the built DLL.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "built_module.h"
#include "common/call_log.h"
#include "common/test_paths.h"
#include "resources/resource_ids.h"

namespace {

class EmbeddedResources : public ::testing::Test {
 protected:
  void SetUp() override {
    dll_ = LoadResourcesOnly(PellwickDllPath());
    ASSERT_TRUE(dll_) << GetLastError();
  }
  ModuleHandle dll_;
};

// What the scripts write is checked key by key where they run
// (tests/server/registration_test.cpp); here, that they are embedded unchanged.
TEST_F(EmbeddedResources, RegistrationScriptsAreTheSourceFilesByteForByte) {
  const struct {
    WORD id;
    const char* file;
  } scripts[] = {{IDR_APPID_SCRIPT, "appid.rgs"}, {IDR_CLASS_SCRIPT, "activity_ctrl.rgs"}};
  for (const auto& script : scripts) {
    SCOPED_TRACE(script.file);
    std::string resource, source;
    ASSERT_TRUE(ResourceBytes(dll_.get(), L"REGISTRY", script.id, kEnglishUs, resource));
    ASSERT_TRUE(FileBytes(TestDataPath(script.file), source));
    EXPECT_EQ(resource, source);
    // CRLF only, plain ANSI: a checkout that turned the line ends would show here.
    for (std::size_t i = 0; i < resource.size(); ++i) {
      if (resource[i] == '\n') {
        EXPECT_TRUE(i > 0 && resource[i - 1] == '\r') << "at " << i;
      }
      EXPECT_GT(static_cast<signed char>(resource[i]), 0) << "at " << i;
    }
  }
}

TEST_F(EmbeddedResources, ToolboxBitmapIsSixteenColours16By16) {
  std::string bytes;
  ASSERT_TRUE(ResourceBytes(dll_.get(), MAKEINTRESOURCEW(2) /* RT_BITMAP */, IDB_TOOLBOX,
                            kEnglishUs, bytes));
  ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER));
  BITMAPINFOHEADER header;
  memcpy(&header, bytes.data(), sizeof header);
  EXPECT_EQ(header.biSize, sizeof(BITMAPINFOHEADER));
  EXPECT_EQ(header.biWidth, 16);
  EXPECT_EQ(header.biHeight, 16);
  EXPECT_EQ(header.biPlanes, 1);
  EXPECT_EQ(header.biBitCount, 4);
  EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
  const DWORD colours = header.biClrUsed ? header.biClrUsed : 16;
  EXPECT_LE(colours, 16u);
  // Header, palette and 16 rows of 8 bytes.
  const std::size_t pixels_at = header.biSize + colours * sizeof(RGBQUAD);
  ASSERT_EQ(bytes.size(), pixels_at + 16 * 8);

  // A picture, not a blank square: several palette entries are used.
  std::set<int> used;
  for (std::size_t i = pixels_at; i < bytes.size(); ++i) {
    used.insert(static_cast<unsigned char>(bytes[i]) >> 4);
    used.insert(bytes[i] & 0x0F);
  }
  EXPECT_GE(used.size(), 3u);
}

std::wstring VersionString(const std::vector<char>& info, const std::wstring& table,
                          const wchar_t* name) {
  const std::wstring path = L"\\StringFileInfo\\" + table + L"\\" + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || !value) return L"<missing>";
  return std::wstring(static_cast<const wchar_t*>(value));
}

// What a file's properties show: a release build's DLL for 32- or 64-bit
// Windows, one version in numbers and words, named as the file is, in US
// English only.
TEST(VersionResource, DescribesTheDllItIsIn) {
  const std::string narrow = PellwickDllPath();
  const std::wstring path(narrow.begin(), narrow.end());
  const std::wstring file_name = path.substr(path.find_last_of(L"\\/") + 1);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_GT(size, 0u) << GetLastError();
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileFlagsMask, static_cast<DWORD>(VS_FFI_FILEFLAGSMASK));
  EXPECT_EQ(fixed->dwFileFlags, 0u) << "neither debug, prerelease, patched nor private";
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
  EXPECT_EQ(fixed->dwFileSubtype, static_cast<DWORD>(VFT2_UNKNOWN));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
  const std::wstring version = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                               std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                               std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                               std::to_wstring(LOWORD(fixed->dwFileVersionLS));

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], kEnglishUs);
  EXPECT_EQ(translation[1], 1200) << "Unicode";
  wchar_t table[9] = {};
  wsprintfW(table, L"%04x%04x", translation[0], translation[1]);

  EXPECT_EQ(VersionString(info, table, L"FileVersion"), version);
  EXPECT_EQ(VersionString(info, table, L"ProductVersion"), version);
  EXPECT_EQ(VersionString(info, table, L"InternalName"), file_name);
  EXPECT_EQ(VersionString(info, table, L"OriginalFilename"), file_name);
  for (const wchar_t* shown : {L"CompanyName", L"ProductName", L"FileDescription",
                               L"LegalCopyright"}) {
    const std::wstring text = VersionString(info, table, shown);
    EXPECT_FALSE(text.empty() || text == L"<missing>") << Utf8(shown);
  }

  ModuleHandle dll = LoadResourcesOnly(narrow);
  ASSERT_TRUE(dll);
  std::string bytes;
  EXPECT_TRUE(ResourceBytes(dll.get(), MAKEINTRESOURCEW(16) /* RT_VERSION */, 1, kEnglishUs,
                            bytes));
}

}  // namespace

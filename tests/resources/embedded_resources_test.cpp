// The registration scripts, the toolbox bitmap and the version resource of
// the built DLL.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "built_module.h"
#include "common/test_paths.h"
#include "resources/resource_ids.h"

namespace {

const char kAppIdScript[] =
    "HKCR\r\n"
    "{\r\n"
    "\tNoRemove AppID\r\n"
    "\t{\r\n"
    "\t\t'%APPID%' = s 'Pellwick'\r\n"
    "\t\t'Pellwick.DLL'\r\n"
    "\t\t{\r\n"
    "\t\t\tval AppID = s '%APPID%'\r\n"
    "\t\t}\r\n"
    "\t}\r\n"
    "}\r\n";

const char kClassScript[] =
    "HKCR\r\n"
    "{\r\n"
    "\tPellwick.ActivityCtrl.1 = s 'Halvern ActivityCtrl Class'\r\n"
    "\t{\r\n"
    "\t\tCLSID = s '{1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A}'\r\n"
    "\t}\r\n"
    "\tPellwick.ActivityCtrl = s 'Halvern ActivityCtrl Class'\r\n"
    "\t{\r\n"
    "\t\tCLSID = s '{1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A}'\r\n"
    "\t\tCurVer = s 'Pellwick.ActivityCtrl.1'\r\n"
    "\t}\r\n"
    "\tNoRemove CLSID\r\n"
    "\t{\r\n"
    "\t\tForceRemove {1A23B247-C9CF-43F5-A7AE-6B1FF4BDB52A} = s 'Halvern ActivityCtrl Class'\r\n"
    "\t\t{\r\n"
    "\t\t\tProgID = s 'Pellwick.ActivityCtrl.1'\r\n"
    "\t\t\tVersionIndependentProgID = s 'Pellwick.ActivityCtrl'\r\n"
    "\t\t\tForceRemove 'Programmable'\r\n"
    "\t\t\tInprocServer32 = s '%MODULE%'\r\n"
    "\t\t\t{\r\n"
    "\t\t\t\tval ThreadingModel = s 'Apartment'\r\n"
    "\t\t\t}\r\n"
    "\t\t\tval AppID = s '%APPID%'\r\n"
    "\t\t\tForceRemove 'Control'\r\n"
    "\t\t\tForceRemove 'ToolboxBitmap32' = s '%MODULE%, 102'\r\n"
    "\t\t\t'MiscStatus' = s '0'\r\n"
    "\t\t\t{\r\n"
    "\t\t\t\t'1' = s '%OLEMISC%'\r\n"
    "\t\t\t}\r\n"
    "\t\t\t'TypeLib' = s '{24919A8D-2502-49CA-B37B-C348EE6E708C}'\r\n"
    "\t\t\t'Version' = s '1.0'\r\n"
    "\t\t}\r\n"
    "\t}\r\n"
    "}\r\n";

class EmbeddedResources : public ::testing::Test {
 protected:
  void SetUp() override {
    dll_ = LoadResourcesOnly(PellwickDllPath());
    ASSERT_TRUE(dll_) << GetLastError();
  }
  ModuleHandle dll_;
};

TEST_F(EmbeddedResources, RegistrationScriptsAreTheSourceFilesByteForByte) {
  const struct {
    WORD id;
    const char* file;
    const char* text;
  } scripts[] = {{IDR_APPID_SCRIPT, "appid.rgs", kAppIdScript},
                 {IDR_CLASS_SCRIPT, "activity_ctrl.rgs", kClassScript}};
  for (const auto& script : scripts) {
    SCOPED_TRACE(script.file);
    std::string resource, source;
    ASSERT_TRUE(ResourceBytes(dll_.get(), L"REGISTRY", script.id, kEnglishUs, resource));
    ASSERT_TRUE(FileBytes(TestDataPath(script.file), source));
    EXPECT_EQ(resource, source);
    EXPECT_EQ(resource, script.text);
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

std::wstring VersionString(const std::vector<char>& info, const wchar_t* name) {
  std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || !value) return L"<missing>";
  return std::wstring(static_cast<const wchar_t*>(value));
}

TEST(VersionResource, FixedPartStringsAndTranslation) {
  const std::wstring path = [] {
    const std::string narrow = PellwickDllPath();
    return std::wstring(narrow.begin(), narrow.end());
  }();
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
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00090068u);  // 9.104
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000092u);  // 0.146
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00090068u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000092u);
  EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
  EXPECT_EQ(fixed->dwFileFlags, 0u);
  EXPECT_EQ(fixed->dwFileOS, 4u);    // VOS__WINDOWS32
  EXPECT_EQ(fixed->dwFileType, 2u);  // VFT_DLL
  EXPECT_EQ(fixed->dwFileSubtype, 0u);

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 1200);

  EXPECT_EQ(VersionString(info, L"FileVersion"), L"9.104.0.146");
  EXPECT_EQ(VersionString(info, L"ProductVersion"), L"9.104.0.146");
  EXPECT_EQ(VersionString(info, L"InternalName"), L"Pellwick.dll");
  EXPECT_EQ(VersionString(info, L"OriginalFilename"), L"Pellwick.dll");
  EXPECT_EQ(VersionString(info, L"CompanyName"), L"Pellwick developers");
  EXPECT_EQ(VersionString(info, L"ProductName"), L"Pellwick");
  EXPECT_EQ(VersionString(info, L"FileDescription"), L"Pellwick activity page control");
  EXPECT_EQ(VersionString(info, L"LegalCopyright"), L"Copyright (C) Pellwick developers");

  // Resource id 1, in US English only.
  ModuleHandle dll = LoadResourcesOnly(PellwickDllPath());
  ASSERT_TRUE(dll);
  std::string bytes;
  EXPECT_TRUE(ResourceBytes(dll.get(), MAKEINTRESOURCEW(16) /* RT_VERSION */, 1, kEnglishUs,
                            bytes));
}

}  // namespace

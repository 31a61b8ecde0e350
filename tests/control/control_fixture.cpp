#include "control/control_fixture.h"

#include <ole2.h>

#include "control/initial_extent.h"
#include "resources/resource_ids.h"

namespace {
// OLE for the whole program: storages, OleSave/OleLoad and advise holders.
class OleEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_EQ(OleInitialize(nullptr), S_OK); }
  void TearDown() override { OleUninitialize(); }
};
const auto* const g_ole = ::testing::AddGlobalTestEnvironment(new OleEnvironment);
}  // namespace

ULONG References(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

std::string StreamBytes(IStream* stream) {
  LARGE_INTEGER start = {};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  std::string bytes;
  char buffer[64];
  ULONG read = 0;
  while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &read)) && read > 0)
    bytes.append(buffer, read);
  return bytes;
}

ComPtr<IStream> StreamOf(const std::string& bytes) {
  ComPtr<IStream> stream;
  EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.out()), S_OK);
  ULONG written = 0;
  EXPECT_EQ(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written), S_OK);
  LARGE_INTEGER start = {};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  return stream;
}

void ControlTest::SetUp() {
  const std::string path = PellwickDllPath();
  fresh_load = GetModuleHandleA(path.c_str()) == nullptr;
  dll = std::make_unique<PellwickDll>(path);
  ASSERT_TRUE(dll->loaded());
  ASSERT_EQ(dll->register_server(), S_OK);
  registered_ = true;
  ASSERT_EQ(dll->get_class_object(CLSID_ActivityCtrl, IID_IClassFactory, factory.out_void()),
            S_OK);
  control = NewControl();
  ASSERT_TRUE(control);
}

void ControlTest::TearDown() {
  control.reset();
  factory.reset();
  if (dll && dll->loaded()) {
    EXPECT_EQ(dll->can_unload_now(), S_OK) << "a module lock outlived its object";
    if (registered_) {
      EXPECT_EQ(dll->unregister_server(), S_OK);
    }
  }
  // COM keeps a DLL it loaded itself (OleLoad) until asked to let it go.
  CoFreeUnusedLibrariesEx(0, 0);
  dll.reset();
}

ComPtr<IUnknown> ControlTest::NewControl() {
  ComPtr<IUnknown> made;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, made.out_void()), S_OK);
  return made;
}

SIZEL ControlTest::StartingExtent() const {
  return InitialExtent(dll->module.get(), IDD_ACTIVITY_PAGE);
}

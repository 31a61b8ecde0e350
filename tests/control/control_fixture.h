#pragma once
// A fresh control per test, made through the built DLL's class object after
// the DLL registered itself in the test prefix. TearDown gives everything
// back, checks that the DLL holds no module lock any more, and unregisters.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/fake_advise_sink.h"
#include "common/fake_container.h"
#include "common/fake_event_sink.h"
#include "common/fake_outer.h"
#include "common/fake_stream.h"
#include "common/test_paths.h"
#include "control/control_ids.h"
#include "framework/com_ptr.h"
#include "include/PellwickHost.h"
#include "server/pellwick_dll.h"

// The current reference count of `object`, read without changing it.
ULONG References(IUnknown* object);

// The 12 bytes a stream holds, as text for exact comparison.
std::string StreamBytes(IStream* stream);
// A new stream on global memory holding `bytes`, positioned at the start.
ComPtr<IStream> StreamOf(const std::string& bytes);

class ControlTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Another control from the same class object.
  ComPtr<IUnknown> NewControl();

  template <class Interface>
  ComPtr<Interface> Query(IUnknown* object = nullptr) {
    ComPtr<Interface> result;
    EXPECT_EQ((object ? object : control.get())
                  ->QueryInterface(__uuidof(Interface), result.out_void()),
              S_OK);
    return result;
  }

  // The extent a new control starts with: its page dialog measured on this
  // screen through the dialog's own font.
  SIZEL StartingExtent() const;

  // Whether SetUp found the DLL unloaded, so that its process-wide caches
  // (the type information) start empty in this test.
  bool fresh_load = false;
  std::unique_ptr<PellwickDll> dll;
  ComPtr<IClassFactory> factory;
  ComPtr<IUnknown> control;

 private:
  bool registered_ = false;
};

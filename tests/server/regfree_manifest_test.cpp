// A host whose application manifest depends on the control's assembly: the
// process's own activation context finds the control, in a prefix where
// nothing of it is registered.
#include <gtest/gtest.h>

#include <ole2.h>

#include "server/regfree_host.h"

namespace {

class ApplicationManifest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(OleInitialize(nullptr), S_OK); }
  void TearDown() override { OleUninitialize(); }
};

TEST_F(ApplicationManifest, CreatesActivatesAndHostsTheUnregisteredControl) {
  ExpectNothingRegistered();
  ExpectCreatedActivatedAndHosted();
}

}  // namespace

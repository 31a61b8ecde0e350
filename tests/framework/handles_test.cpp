#include <gtest/gtest.h>

#include "common/counting_unknown.h"
#include "framework/com_ptr.h"
#include "framework/handles.h"

namespace {

int g_freed = 0;
struct CountingTraits {
  static int empty() noexcept { return 0; }
  static void free(int) noexcept { ++g_freed; }
};
using Counted = UniqueResource<int, CountingTraits>;

TEST(UniqueResource, FreesExactlyOncePerOwnedValue) {
  g_freed = 0;
  {
    Counted a(1);
    Counted b(std::move(a));
    EXPECT_EQ(a.get(), 0);
    EXPECT_EQ(b.get(), 1);
    b.reset(2);
    EXPECT_EQ(g_freed, 1);
    EXPECT_EQ(b.release(), 2);
    EXPECT_EQ(g_freed, 1);
    Counted c(3);
    *c.out() = 4;
    EXPECT_EQ(g_freed, 2);
    EXPECT_EQ(c.get(), 4);
  }
  EXPECT_EQ(g_freed, 3);
}

TEST(ComPtr, CountsReferencesExactly) {
  CountingUnknown object;
  {
    ComPtr<IUnknown> first(&object);
    ComPtr<IUnknown> copy = first;
    ComPtr<IUnknown> moved(std::move(copy));
    EXPECT_EQ(object.count, 3);
    first.reset();
    EXPECT_EQ(object.count, 2);
    ComPtr<IUnknown> queried;
    ASSERT_EQ(moved.query(queried), S_OK);
    EXPECT_EQ(object.count, 3);
  }
  EXPECT_EQ(object.count, 1);
  EXPECT_EQ(object.add_refs, object.releases);
}

TEST(WindowDc, ReleasesTheScreenDc) {
  HDC dc = nullptr;
  {
    WindowDc screen(nullptr);
    ASSERT_TRUE(screen);
    dc = screen.get();
    EXPECT_NE(GetDeviceCaps(dc, LOGPIXELSX), 0);
  }
  EXPECT_EQ(ReleaseDC(nullptr, dc), 0);  // already released
}

TEST(RegKey, ClosesTheKey) {
  RegKey key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, key.out()), ERROR_SUCCESS);
  HKEY raw = key.get();
  key.reset();
  EXPECT_NE(RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
}

}  // namespace

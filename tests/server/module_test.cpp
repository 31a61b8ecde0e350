// The module object, the class table and the class object, linked in.
#include <gtest/gtest.h>

#include <windows.h>
#include <ocidl.h>

#include <atomic>
#include <thread>
#include <vector>

#include "common/counting_unknown.h"
#include "framework/com_ptr.h"
#include "server/class_factory.h"
#include "server/class_table.h"
#include "server/module.h"
#include "framework/com_module.h"

namespace {

TEST(ModuleObject, LockCountSurvivesConcurrentLocksAndUnlocks) {
  CPellwickModule module;
  ASSERT_TRUE(module.Initialized());
  EXPECT_EQ(module.Lock(), 1);
  EXPECT_EQ(module.Unlock(), 0);

  constexpr int kThreads = 4;
  constexpr int kRounds = 20000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&module] {
      for (int i = 0; i < kRounds; ++i) module.Lock();
    });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(module.GetLockCount(), kThreads * kRounds);

  threads.clear();
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&module] {
      for (int i = 0; i < kRounds; ++i) module.Unlock();
    });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(module.GetLockCount(), 0);
}

std::vector<int>* g_callback_order = nullptr;
void RecordCallback(void* argument) {
  g_callback_order->push_back(static_cast<int>(reinterpret_cast<INT_PTR>(argument)));
}

TEST(ModuleObject, ShutdownCallbacksRunNewestFirstAndOnlyOnce) {
  std::vector<int> order;
  g_callback_order = &order;
  {
    CPellwickModule module;
    for (INT_PTR i = 1; i <= 3; ++i)
      ASSERT_EQ(module.AddShutdownCallback(&RecordCallback, reinterpret_cast<void*>(i)), S_OK);
    EXPECT_TRUE(order.empty());
    module.Terminate();
    EXPECT_EQ(order, (std::vector<int>{3, 2, 1}));
    EXPECT_FALSE(module.Initialized());
    EXPECT_EQ(module.AddShutdownCallback(&RecordCallback, nullptr), E_UNEXPECTED);
    module.Terminate();
  }  // the destructor must not run them again
  EXPECT_EQ(order, (std::vector<int>{3, 2, 1}));
  g_callback_order = nullptr;
}

TEST(ModuleObject, AddsTheAppIdToTheVariables) {
  std::vector<ScriptVariable> variables{{L"OLEMISC", L"131473"}};
  PellwickModule().AddCommonReplacements(variables);
  ASSERT_EQ(variables.size(), 2u);
  EXPECT_EQ(variables[0].name, L"OLEMISC");
  EXPECT_EQ(variables[1].name, L"APPID");
  EXPECT_EQ(variables[1].value, L"{4CA564D7-4F81-4C2C-9429-6609A57D26A5}");
}

// --- The class table and the class object, with a recording instance creator.

const CLSID kServedClass = {
    0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};
const CLSID kOtherClass = {
    0x66666666, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};

struct CreatorLog {
  int instance_calls = 0;
  IUnknown* outer = nullptr;
  IID iid = GUID_NULL;
  HRESULT result = S_OK;
  int class_object_calls = 0;
  HRESULT class_object_result = S_OK;  // an error short-cuts the real creator
  bool class_object_leaves_null = false;
  std::vector<int> registry_calls;
  HRESULT registry_result = S_OK;
};
CreatorLog g_log;
CountingUnknown g_instance;

HRESULT RecordingInstanceCreator(IUnknown* outer, REFIID iid, void** object) noexcept {
  ++g_log.instance_calls;
  g_log.outer = outer;
  g_log.iid = iid;
  if (FAILED(g_log.result)) return g_log.result;
  return g_instance.QueryInterface(IID_IUnknown, object);
}

HRESULT RecordingClassObjectCreator(InstanceCreator creator, REFIID iid, void** object) noexcept {
  ++g_log.class_object_calls;
  if (FAILED(g_log.class_object_result)) return g_log.class_object_result;
  if (g_log.class_object_leaves_null) return S_OK;
  return CreateClassObject(creator, iid, object);
}

HRESULT FirstRegistry(bool register_mode) noexcept {
  g_log.registry_calls.push_back(register_mode ? 1 : -1);
  return g_log.registry_result;
}
HRESULT SecondRegistry(bool register_mode) noexcept {
  g_log.registry_calls.push_back(register_mode ? 2 : -2);
  return S_OK;
}

BOOL WINAPI FailingLockInit(LPCRITICAL_SECTION, DWORD) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return FALSE;
}

class ClassTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log = CreatorLog();
    g_instance.count = 1;
    base_locks_ = ThisModule().GetLockCount();
  }
  void TearDown() override {
    table_.Terminate();
    EXPECT_EQ(ThisModule().GetLockCount(), base_locks_);
    EXPECT_EQ(g_instance.count, 1);
  }

  ComPtr<IClassFactory> Factory() {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(table_.GetClassObject(kServedClass, IID_IClassFactory, factory.out_void()), S_OK);
    return factory;
  }

  ClassEntry entries_[2] = {
      {&kOtherClass, &FirstRegistry, nullptr, &RecordingInstanceCreator, nullptr},
      {&kServedClass, &SecondRegistry, &RecordingClassObjectCreator, &RecordingInstanceCreator,
       nullptr},
  };
  ClassTable table_{std::begin(entries_), std::end(entries_)};
  LONG base_locks_ = 0;
};

void* const kGarbagePointer = reinterpret_cast<void*>(0xDEADBEEF);

TEST_F(ClassTableTest, RequestResultCodes) {
  EXPECT_EQ(table_.GetClassObject(kServedClass, IID_IClassFactory, nullptr), E_POINTER);

  void* object = kGarbagePointer;
  EXPECT_EQ(table_.GetClassObject(CLSID_NULL, IID_IClassFactory, &object),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);

  // An entry without a class-object creator is not served.
  object = kGarbagePointer;
  EXPECT_EQ(table_.GetClassObject(kOtherClass, IID_IClassFactory, &object),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(g_log.class_object_calls, 0);

  object = kGarbagePointer;
  EXPECT_EQ(table_.GetClassObject(kServedClass, IID_IClassFactory2, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(g_log.class_object_calls, 1);  // cached after the first request
  EXPECT_EQ(ThisModule().GetLockCount(), base_locks_);
}

TEST_F(ClassTableTest, CreationFailureIsReturnedAndRetried) {
  g_log.class_object_result = E_OUTOFMEMORY;
  void* object = kGarbagePointer;
  EXPECT_EQ(table_.GetClassObject(kServedClass, IID_IUnknown, &object), E_OUTOFMEMORY);
  EXPECT_EQ(object, nullptr);

  // A creator that claims success but gives nothing.
  g_log.class_object_result = S_OK;
  g_log.class_object_leaves_null = true;
  object = kGarbagePointer;
  EXPECT_EQ(table_.GetClassObject(kServedClass, IID_IUnknown, &object),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(object, nullptr);

  g_log.class_object_leaves_null = false;
  ComPtr<IUnknown> unknown;
  EXPECT_EQ(table_.GetClassObject(kServedClass, IID_IUnknown, unknown.out_void()), S_OK);
  EXPECT_TRUE(unknown);
  EXPECT_EQ(g_log.class_object_calls, 3);
}

TEST_F(ClassTableTest, UninitialisedTableRefusesEveryRequest) {
  ClassTable broken(std::begin(entries_), std::end(entries_), &FailingLockInit);
  EXPECT_FALSE(broken.Initialized());
  EXPECT_TRUE(InitFailed());
  EXPECT_EQ(broken.GetClassObject(kServedClass, IID_IUnknown, nullptr), E_POINTER);
  void* object = kGarbagePointer;
  EXPECT_EQ(broken.GetClassObject(kServedClass, IID_IUnknown, &object), E_UNEXPECTED);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(g_log.class_object_calls, 0);
}

TEST_F(ClassTableTest, OneObjectHoldingOneLockForAnyNumberOfOutsideReferences) {
  ComPtr<IClassFactory> first = Factory();
  ComPtr<IClassFactory> second = Factory();
  ComPtr<IUnknown> unknown;
  ASSERT_EQ(table_.GetClassObject(kServedClass, IID_IUnknown, unknown.out_void()), S_OK);
  EXPECT_EQ(first.get(), second.get());
  EXPECT_EQ(unknown.get(), static_cast<IUnknown*>(first.get()));
  EXPECT_EQ(g_log.class_object_calls, 1);
  EXPECT_EQ(ThisModule().GetLockCount(), base_locks_ + 1);

  // The table's own reference is the one left when every outside one is gone.
  EXPECT_EQ(first->AddRef(), 5u);
  EXPECT_EQ(first->Release(), 4u);
  unknown.reset();
  second.reset();
  EXPECT_EQ(ThisModule().GetLockCount(), base_locks_ + 1);
  EXPECT_EQ(first.release()->Release(), 1u);
  EXPECT_EQ(ThisModule().GetLockCount(), base_locks_);

  // Back from 1 to 2 locks again.
  ComPtr<IClassFactory> again = Factory();
  EXPECT_EQ(ThisModule().GetLockCount(), base_locks_ + 1);
}

TEST_F(ClassTableTest, CreateInstanceRules) {
  ComPtr<IClassFactory> factory = Factory();
  CountingUnknown outer;

  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
  void* object = kGarbagePointer;
  EXPECT_EQ(factory->CreateInstance(&outer, IID_IDispatch, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(g_log.instance_calls, 0);

  // Aggregation asks for the inner IUnknown; the creator gets the outer object.
  object = kGarbagePointer;
  EXPECT_EQ(factory->CreateInstance(&outer, IID_IUnknown, &object), S_OK);
  EXPECT_EQ(object, static_cast<IUnknown*>(&g_instance));
  EXPECT_EQ(g_log.outer, static_cast<IUnknown*>(&outer));
  EXPECT_TRUE(IsEqualIID(g_log.iid, IID_IUnknown));
  static_cast<IUnknown*>(object)->Release();

  // A plain instance: the asked interface and the creator's failure pass through.
  g_log.result = E_OUTOFMEMORY;
  object = kGarbagePointer;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPersist, &object), E_OUTOFMEMORY);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(g_log.outer, nullptr);
  EXPECT_TRUE(IsEqualIID(g_log.iid, IID_IPersist));
  EXPECT_EQ(g_log.instance_calls, 2);
  EXPECT_EQ(outer.add_refs, 0);
}

TEST_F(ClassTableTest, ConcurrentFirstRequestsCreateOneObject) {
  constexpr int kThreads = 8;
  std::vector<IUnknown*> seen(kThreads, nullptr);
  std::atomic<int> ready{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      ++ready;
      while (ready.load() < kThreads) {
      }
      table_.GetClassObject(kServedClass, IID_IUnknown, reinterpret_cast<void**>(&seen[t]));
    });
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(g_log.class_object_calls, 1);
  for (IUnknown* object : seen) {
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object, seen[0]);
  }
  EXPECT_EQ(ThisModule().GetLockCount(), base_locks_ + 1);
  for (IUnknown* object : seen) object->Release();
  EXPECT_EQ(ThisModule().GetLockCount(), base_locks_);
}

TEST_F(ClassTableTest, RegistryRoutinesRunInTableOrderAndStopAtAFailure) {
  EXPECT_EQ(table_.UpdateRegistry(true), S_OK);
  EXPECT_EQ(table_.UpdateRegistry(false), S_OK);
  EXPECT_EQ(g_log.registry_calls, (std::vector<int>{1, 2, -1, -2}));
  g_log.registry_calls.clear();
  g_log.registry_result = E_ACCESSDENIED;
  EXPECT_EQ(table_.UpdateRegistry(true), E_ACCESSDENIED);
  EXPECT_EQ(g_log.registry_calls, (std::vector<int>{1}));
}

TEST_F(ClassTableTest, TerminateDropsTheTablesReference) {
  ComPtr<IClassFactory> factory = Factory();
  table_.Terminate();
  void* object = kGarbagePointer;
  EXPECT_EQ(table_.GetClassObject(kServedClass, IID_IUnknown, &object), E_UNEXPECTED);
  EXPECT_EQ(object, nullptr);
  // Only the outside reference is left.
  EXPECT_EQ(factory.release()->Release(), 0u);
}

}  // namespace

#include "server/module.h"

#include <new>

const GUID kPellwickLibId = {
    0x24919A8D, 0x2502, 0x49CA, {0xB3, 0x7B, 0xC3, 0x48, 0xEE, 0x6E, 0x70, 0x8C}};
const wchar_t kPellwickAppId[] = L"{4CA564D7-4F81-4C2C-9429-6609A57D26A5}";

namespace {

volatile LONG g_init_failed = 0;

// The standard global interface table; named here so that no import library
// is needed for it.
const CLSID kStdGlobalInterfaceTable = {
    0x00000323, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kIGlobalInterfaceTable = {
    0x00000146, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

}  // namespace

void MarkInitFailed() noexcept { InterlockedExchange(&g_init_failed, 1); }
bool InitFailed() noexcept { return InterlockedCompareExchange(&g_init_failed, 0, 0) != 0; }

CPellwickModule::CPellwickModule() noexcept {
  if (!InitializeCriticalSectionAndSpinCount(&static_data_lock_, 0)) {
    MarkInitFailed();
    return;
  }
  initialized_ = true;
}

CPellwickModule::~CPellwickModule() { Terminate(); }

LONG CPellwickModule::Lock() noexcept { return InterlockedIncrement(&lock_count_); }
LONG CPellwickModule::Unlock() noexcept { return InterlockedDecrement(&lock_count_); }
LONG CPellwickModule::GetLockCount() const noexcept {
  return InterlockedCompareExchange(const_cast<volatile LONG*>(&lock_count_), 0, 0);
}

void CPellwickModule::EnterStaticDataLock() noexcept { EnterCriticalSection(&static_data_lock_); }
void CPellwickModule::LeaveStaticDataLock() noexcept { LeaveCriticalSection(&static_data_lock_); }

HRESULT CPellwickModule::AddShutdownCallback(ShutdownCallback callback, void* argument) noexcept {
  if (!initialized_) return E_UNEXPECTED;
  auto* node = new (std::nothrow) CallbackNode{callback, argument, nullptr};
  if (!node) return E_OUTOFMEMORY;
  EnterStaticDataLock();
  node->next = callbacks_;
  callbacks_ = node;
  LeaveStaticDataLock();
  return S_OK;
}

HRESULT CPellwickModule::GetGlobalInterfaceTable(IGlobalInterfaceTable** table) noexcept {
  if (!table) return E_POINTER;
  *table = nullptr;
  if (!initialized_) return E_UNEXPECTED;
  HRESULT result = S_OK;
  EnterStaticDataLock();
  if (!git_) {
    result = CoCreateInstance(kStdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER,
                              kIGlobalInterfaceTable, reinterpret_cast<void**>(&git_));
    if (FAILED(result)) git_ = nullptr;
  }
  if (git_) {
    git_->AddRef();
    *table = git_;
  }
  LeaveStaticDataLock();
  return result;
}

void CPellwickModule::AddCommonReplacements(std::vector<ScriptVariable>& variables) const {
  variables.push_back({L"APPID", kPellwickAppId});
}

void CPellwickModule::Terminate() noexcept {
  if (!initialized_) return;
  initialized_ = false;
  // Callbacks may still take the lock, so it goes last.
  for (CallbackNode* node = callbacks_; node;) {
    CallbackNode* next = node->next;
    node->callback(node->argument);
    delete node;
    node = next;
  }
  callbacks_ = nullptr;
  if (git_) git_->Release();
  git_ = nullptr;
  DeleteCriticalSection(&static_data_lock_);
}

namespace {
CPellwickModule g_module;
}

CPellwickModule& PellwickModule() noexcept { return g_module; }

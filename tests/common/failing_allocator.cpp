#include "common/failing_allocator.h"

#include <cstdlib>
#include <new>

namespace {
bool armed = false;
long remaining = 0;
long refusals = 0;
}  // namespace

FailingAllocations::FailingAllocations(long successes) {
  remaining = successes;
  refusals = 0;
  armed = true;
}

FailingAllocations::~FailingAllocations() { armed = false; }

long FailingAllocations::refused() const { return refusals; }

void* operator new(std::size_t size) {
  if (armed) {
    if (remaining == 0) {
      ++refusals;
      throw std::bad_alloc();
    }
    --remaining;
  }
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

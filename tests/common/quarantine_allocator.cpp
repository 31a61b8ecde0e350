// Freed small blocks are filled with 0xFE and held back for a while instead
// of being reused, so that code still using a destroyed object reads a
// poisoned pointer and crashes at once rather than working on by chance, and
// a write into one is found when the block is given back or looked over.
// Replaces the program's operator new and delete; big blocks (host texts of
// many megabytes) are freed at once so the address space lasts.
#include "common/quarantine_allocator.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr unsigned char kPoison = 0xFE;

constexpr std::size_t kLargestHeldBack = 64 * 1024;
constexpr std::size_t kHeldBackBudget = 16 * 1024 * 1024;

// Each block starts with its size, so delete knows how much to poison.
struct alignas(16) Header {
  std::size_t size;
};

// A fixed ring of held-back blocks: no allocation of its own.
constexpr std::size_t kSlots = 1 << 16;
Header* held[kSlots];
std::size_t next_slot = 0;
std::size_t held_bytes = 0;
long written_blocks = 0;

// Counts a held block that is no longer all poison, then poisons it again so
// that it counts once.
void Inspect(Header* block) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(block + 1);
  for (std::size_t at = 0; at < block->size; ++at) {
    if (bytes[at] != kPoison) {
      ++written_blocks;
      std::memset(block + 1, kPoison, block->size);
      return;
    }
  }
}

void Hold(Header* block) {
  Header*& slot = held[next_slot];
  next_slot = (next_slot + 1) % kSlots;
  if (slot) {
    Inspect(slot);
    held_bytes -= slot->size;
    std::free(slot);
  }
  slot = block;
  held_bytes += block->size;
  // Over budget: give back the oldest blocks after this one.
  for (std::size_t i = next_slot; held_bytes > kHeldBackBudget; i = (i + 1) % kSlots) {
    if (!held[i]) continue;
    Inspect(held[i]);
    held_bytes -= held[i]->size;
    std::free(held[i]);
    held[i] = nullptr;
  }
}

void* Allocate(std::size_t size) noexcept {
  auto* block = static_cast<Header*>(std::malloc(sizeof(Header) + (size ? size : 1)));
  if (!block) return nullptr;
  block->size = size;
  return block + 1;
}

void Free(void* pointer) noexcept {
  if (!pointer) return;
  Header* block = static_cast<Header*>(pointer) - 1;
  std::memset(pointer, kPoison, block->size);
  if (block->size > kLargestHeldBack) {
    std::free(block);
    return;
  }
  Hold(block);
}

}  // namespace

long FreedBlocksWrittenTo() {
  for (Header* block : held)
    if (block) Inspect(block);
  return written_blocks;
}

void* operator new(std::size_t size) {
  if (void* p = Allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, std::size_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t) noexcept { Free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Free(p); }

#pragma once
// Makes the program's operator new fail on demand, to check what an
// allocation failure leaves behind.
#include <cstddef>

// While alive, the allocation after `successes` more successful ones throws
// std::bad_alloc, and so does every later one until the scope ends.
class FailingAllocations {
 public:
  explicit FailingAllocations(long successes);
  ~FailingAllocations();
  FailingAllocations(const FailingAllocations&) = delete;
  FailingAllocations& operator=(const FailingAllocations&) = delete;
  // How many allocations were refused so far in this scope.
  long refused() const;
};

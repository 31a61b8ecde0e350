#pragma once
// Reference totals of a fake that belongs to the test: `count` starts at the
// test's own reference and never deletes the fake, so a test can assert
// exact totals. A reference taken or given back, or a call made, once the
// count fell to zero is a fault of the code under test and fails the test.
#include <windows.h>

#include <gtest/gtest.h>

struct RefCounts {
  long count = 1;
  int add_refs = 0;
  int releases = 0;

  ULONG CountAddRef(const char* object) {
    if (count <= 0) ADD_FAILURE() << "AddRef on a released " << object;
    ++add_refs;
    return static_cast<ULONG>(++count);
  }
  ULONG CountRelease(const char* object) {
    if (count <= 0) ADD_FAILURE() << "Release on a released " << object;
    ++releases;
    return static_cast<ULONG>(--count);
  }
  void CheckAlive(const char* object, const char* call) const {
    if (count <= 0) ADD_FAILURE() << call << " on a released " << object;
  }
};

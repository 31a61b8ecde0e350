// Seeded random container and host sequences against the built control. A
// failing sequence is reported with its seed and shrunk to the shortest list
// of its steps that still fails. Environment: PELLWICK_SEQUENCES (500),
// PELLWICK_SEQUENCE_STEPS (40), PELLWICK_SEQUENCE_SEED (first seed, 1),
// PELLWICK_SEQUENCE_KEEP (replay only these step indices of the first seed,
// "3,17,22"), PELLWICK_SOAK_SECONDS (fresh seeds until the time is up),
// PELLWICK_SEQUENCE_TRACE (name each step on standard error before it runs).
#include <gtest/gtest.h>
#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>

#include "common/fake_container.h"
#include "common/test_paths.h"
#include "control/sequences/sequence_world.h"
#include "control/sequences/shrink.h"
#include "control/sequences/steps.h"

namespace {

class OleEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_EQ(OleInitialize(nullptr), S_OK); }
  void TearDown() override { OleUninitialize(); }
};
const auto* const g_ole = ::testing::AddGlobalTestEnvironment(new OleEnvironment);

std::string Environment(const char* name) {
  char value[256] = {};
  const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
  return length > 0 && length < sizeof value ? value : "";
}

unsigned long EnvNumber(const char* name, unsigned long fallback) {
  const std::string value = Environment(name);
  return value.empty() ? fallback : std::strtoul(value.c_str(), nullptr, 10);
}

std::string Listing(const std::vector<Step>& steps) {
  std::string text;
  for (const Step& step : steps) text += "\n    " + Describe(step);
  return text;
}

// The indices of `kept` within `all`, as PELLWICK_SEQUENCE_KEEP takes them.
std::string KeepIndices(const std::vector<Step>& all, const std::vector<Step>& kept) {
  std::string text;
  size_t next = 0;
  for (size_t i = 0; i < all.size() && next < kept.size(); ++i) {
    if (all[i].action != kept[next].action || all[i].arg != kept[next].arg) continue;
    text += (text.empty() ? "" : ",") + std::to_string(i);
    ++next;
  }
  return text;
}

std::vector<Step> KeepOnly(const std::vector<Step>& all, const std::string& indices) {
  std::vector<Step> kept;
  std::istringstream list(indices);
  std::string index;
  while (std::getline(list, index, ','))
    if (std::strtoul(index.c_str(), nullptr, 10) < all.size())
      kept.push_back(all[std::strtoul(index.c_str(), nullptr, 10)]);
  return kept;
}

// A crash cannot be shrunk in-process; at least the seed gets out.
char g_running[96];
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception) {
  std::fprintf(stderr, "crash 0x%08lX in %s\n", exception->ExceptionRecord->ExceptionCode,
               g_running);
  std::fflush(stderr);
  return EXCEPTION_EXECUTE_HANDLER;
}

class ContainerSequences : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dll_ = new PellwickDll(PellwickDllPath());
    // The thread's first window brings the IME's; make it before counting.
    FakeContainer warm_up;
  }
  static void TearDownTestSuite() {
    delete dll_;
    dll_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(dll_->loaded());
    ASSERT_EQ(dll_->register_server(), S_OK);
  }
  void TearDown() override { EXPECT_EQ(dll_->unregister_server(), S_OK); }

  static PellwickDll* dll_;
};
PellwickDll* ContainerSequences::dll_ = nullptr;

TEST_F(ContainerSequences, RandomSequencesKeepTheirInvariants) {
  const unsigned long soak_seconds = EnvNumber("PELLWICK_SOAK_SECONDS", 0);
  const unsigned long sequences = EnvNumber("PELLWICK_SEQUENCES", 500);
  const int length = static_cast<int>(EnvNumber("PELLWICK_SEQUENCE_STEPS", 40));
  const std::string keep = Environment("PELLWICK_SEQUENCE_KEEP");
  const std::uint32_t first_seed = static_cast<std::uint32_t>(EnvNumber(
      "PELLWICK_SEQUENCE_SEED", soak_seconds ? GetTickCount() ^ GetCurrentProcessId() : 1));
  SetUnhandledExceptionFilter(ReportCrash);

  const DWORD start = GetTickCount();
  unsigned long run = 0, steps = 0, findings = 0;
  for (std::uint32_t seed = first_seed;; ++seed) {
    if (soak_seconds ? GetTickCount() - start >= soak_seconds * 1000 : run >= sequences) break;
    const std::vector<Step> all = GenerateSteps(seed, length);
    const std::vector<Step> list = keep.empty() ? all : KeepOnly(all, keep);
    std::snprintf(g_running, sizeof g_running, "sequence seed %lu (PELLWICK_SEQUENCE_SEED=%lu)",
                  static_cast<unsigned long>(seed), static_cast<unsigned long>(seed));
    const std::string problem = RunSequence(*dll_, list);
    ++run;
    steps += list.size();
    if (problem.empty()) continue;
    ++findings;
    const std::vector<Step> shortest = ShrinkFailing(list, [](const std::vector<Step>& candidate) {
      return !RunSequence(*dll_, candidate).empty();
    });
    ADD_FAILURE() << "seed " << seed << ": " << problem << "\n  shortest failing list ("
                  << shortest.size() << " steps; PELLWICK_SEQUENCE_SEED=" << seed
                  << " PELLWICK_SEQUENCE_KEEP=" << KeepIndices(all, shortest)
                  << "):" << Listing(shortest)
                  << "\n  fails with: " << RunSequence(*dll_, shortest);
    if (!soak_seconds && findings >= 3) break;  // enough to work on
  }
  const SequenceCoverage& reached = Coverage();
  std::printf("sequences %lu steps %lu findings %lu\n", run, steps, findings);
  std::printf(
      "reached: page windows %lu, clicks %lu, keys %lu, host calls %lu, hostile acts %lu, "
      "pages dropped by a host %lu\n",
      reached.page_windows, reached.clicks, reached.keys, reached.host_calls, reached.misdeeds,
      reached.drops);
}

TEST(SequenceSteps, OneSeedAlwaysGivesTheSameSteps) {
  const std::vector<Step> first = GenerateSteps(77, 40), again = GenerateSteps(77, 40),
                          other = GenerateSteps(78, 40);
  ASSERT_EQ(first.size(), 40u);
  EXPECT_EQ(Listing(first), Listing(again));
  EXPECT_NE(Listing(first), Listing(other));
}

TEST(SequenceShrinking, KeepsExactlyTheStepsTheFailureNeeds) {
  std::vector<int> items;
  for (int i = 0; i < 40; ++i) items.push_back(i);
  int runs = 0;
  // Fails when 7 comes before 23 and 31 is present: order is kept.
  const auto fails = [&runs](const std::vector<int>& list) {
    ++runs;
    int seen7 = -1, seen23 = -1;
    bool has31 = false;
    for (size_t i = 0; i < list.size(); ++i) {
      if (list[i] == 7) seen7 = static_cast<int>(i);
      if (list[i] == 23) seen23 = static_cast<int>(i);
      has31 = has31 || list[i] == 31;
    }
    return seen7 >= 0 && seen23 > seen7 && has31;
  };
  EXPECT_EQ(ShrinkFailing(items, fails), (std::vector<int>{7, 23, 31}));
  EXPECT_LE(runs, 2 * 40);  // one pass of removals and one confirming pass
  EXPECT_EQ(ShrinkFailing(std::vector<int>{7, 23, 31}, fails), (std::vector<int>{7, 23, 31}));
}

}  // namespace

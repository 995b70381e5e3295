#include "base/ProcessState.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillon {
namespace {

// A child that has exited counts as ended while it waits to be reaped, and once reaped.
TEST(ProcessState, AZombieAndAReapedProcessHaveEndedALiveOneHasNot) {
  EXPECT_FALSE(ProcessEnded(::getpid()));
  EXPECT_TRUE(ProcessEnded(0));
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(0);
  // Polled: the child may not have exited yet.
  bool ended = false;
  for (int i = 0; i < 500 && !ended; ++i) {
    ended = ProcessEnded(child);
    if (!ended) ::usleep(10000);
  }
  EXPECT_TRUE(ended);
  siginfo_t info{};
  EXPECT_EQ(::waitid(P_PID, child, &info, WEXITED | WNOWAIT), 0);  // still unreaped
  ASSERT_EQ(::waitpid(child, nullptr, 0), child);
  EXPECT_TRUE(ProcessEnded(child));
}

}  // namespace
}  // namespace quillon

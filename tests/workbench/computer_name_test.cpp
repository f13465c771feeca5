// The computer's name for the status bar, up to the longest host name Linux allows.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "workbench/unitcomputer.h"

namespace {

constexpr int kNoNamespace = 77;

TEST(ComputerNameTest, TheMachinesNameWhole) {
  char name[HOST_NAME_MAX + 1] = {};
  ASSERT_EQ(gethostname(name, sizeof(name)), 0);
  EXPECT_EQ(ComputerName(), name);
}

// A host name of 64 characters, set in a namespace of a child process of its own so that the
// machine's name is left alone; skipped where the system allows no such namespace.
TEST(ComputerNameTest, ASixtyFourCharacterNameIsGivenWhole) {
  const std::string longest(HOST_NAME_MAX, 'n');
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (unshare(CLONE_NEWUTS) != 0 || sethostname(longest.data(), longest.size()) != 0) _exit(kNoNamespace);
    _exit(ComputerName() == longest ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == kNoNamespace) GTEST_SKIP() << "no UTS namespace here";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace

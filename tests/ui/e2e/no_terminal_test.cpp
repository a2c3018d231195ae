// importDataUI in a process without a controlling terminal: there is nowhere
// to show the dialog, so it answers as a cancelled one. The call runs in a
// child in a session of its own, so the test never waits on a real terminal.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>

#include "support/library_fixture.h"

namespace {

class NoTerminalTest : public LibraryTest {};

// Child exit codes: 0 as expected, else the step that went wrong.
int cancelledDialogStep(JcampLibrary& lib) {
  uint32_t handle = 0;
  if (lib.openHandleUDI(&handle) != JCAMP_OK) return 10;
  if (lib.addFileName(handle, testpaths::dataFile("import-two.jdx").c_str()) != JCAMP_OK) return 11;
  if (lib.importData(handle) != JCAMP_OK) return 12;
  if (lib.importDataUI(handle) != JCAMP_NOT_READY) return 13;
  // The counts are reset; the file list stays.
  int32_t count = -1;
  if (lib.getNumberOfSamples(handle, &count) != JCAMP_OK || count != 0) return 14;
  if (lib.getNumberOfVariables(handle, &count) != JCAMP_OK || count != 0) return 15;
  if (lib.getNoOfFiles(handle, &count) != JCAMP_OK || count != 1) return 17;
  return 0;
}

TEST_F(NoTerminalTest, ImportDataUIAnswersAsCancelledAndResetsTheCounts) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // A new session has no controlling terminal.
    if (setsid() < 0) _exit(20);
    _exit(cancelledDialogStep(lib()));
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "step " << WEXITSTATUS(status) << " failed";
}

}  // namespace
#endif

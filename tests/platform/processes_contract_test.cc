// Starting programs with their arguments, waiting for them and reading their exit codes.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/processes.h"
#include "platform/windows_path.h"
#include "tests/platform/port_under_test.h"

namespace qdw::platform {
namespace {

TEST(ProcessesContractTest, StartsProgramsWithTheirArgumentsAndWaits) {
  auto port = testing::PortUnderTest::Make();
  Processes& processes = port->platform().processes();
  const std::string probe = port->ProbeProgram();
  std::unique_ptr<ProcessHandle> process;
  const std::string out = port->ProbeOutput("args.txt");
  ASSERT_EQ(processes.Start(LowerAnsi(probe),
                            "args \"" + out + "\" \"two words\" a\\\"b \"\" plain", true, &process),
            kSuccess);
  EXPECT_EQ(process->Wait(kInfinite), kWaitObject0);
  uint32_t code = 99;
  EXPECT_EQ(process->ExitCode(&code), kSuccess);
  EXPECT_EQ(code, 0u);
  const std::string text = port->ReadProbeOutput("args.txt");
  EXPECT_EQ(text.rfind("two words\na\"b\n\nplain\n", 0), 0u) << text;

  ASSERT_EQ(processes.Start(probe, "exit 7", true, &process), kSuccess);
  EXPECT_EQ(process->Wait(kInfinite), kWaitObject0);
  EXPECT_EQ(process->ExitCode(&code), kSuccess);
  EXPECT_EQ(code, 7u);

  ASSERT_EQ(processes.Start(probe, "sleep 3000", true, &process), kSuccess);
  EXPECT_EQ(process->Wait(10), kWaitTimeout);
  EXPECT_EQ(process->ExitCode(&code), kSuccess);
  EXPECT_EQ(code, 259u);  // still active
  EXPECT_NE(process->Pid(), processes.CurrentProcessId());
  process.reset();  // closing the handle leaves the program running

  const std::string missing = probe.substr(0, probe.rfind('\\')) + "\\other.exe";
  EXPECT_EQ(processes.Start(missing, "", true, &process), kErrorFileNotFound);
  EXPECT_EQ(process, nullptr);
}

}  // namespace
}  // namespace qdw::platform

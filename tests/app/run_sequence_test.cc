// The run sequence behind OK: every result code's message, the service steps and their
// restarts, the log line, the temporary-folder dialog of a restore and the engines' prompts.
#include "tests/app/file_dlg_fixture.h"

namespace qdw::testing {
namespace {

class RunSequenceTest : public DialogTest {
 protected:
  static constexpr char kStartBackup[] = "type 1008 D:\\Backup\nclick 1\n";
  static constexpr char kStartRestore[] = "type 1009 D:\\Backup\\a.qdw\nclick 1\nanswer yes\n";

  // The run's final state: the outcome shown and only Close and the log viewer left.
  static std::string Finished(const std::string& outcome) {
    return ExpectText(1033, outcome) +
           "expect shown 1033\nexpect hidden 1\nexpect hidden 1004\nexpect hidden 1014\n"
           "expect hidden 1036\nexpect shown 1003\n" +
           ExpectText(2, ModuleText(105)) + "close\n";
  }
};

TEST_F(RunSequenceTest, EveryBackupCodeShowsItsMessageAndIsLogged) {
  const std::pair<int, int> codes[] = {{1, 126},  {2, 127}, {3, 0},   {4, 128}, {5, 129},
                                       {6, 130},  {7, 165}, {8, 147}, {9, 170}, {10, 131},
                                       {11, 132}, {307, 0}, {12, 0}};
  for (const auto& [code, message] : codes) {
    EXPECT_EQ(
        RunFileDialog(1, kStartBackup + Finished(FailureOutcome(message)),
                      [code = code](FakeRunServices& services) { services.backup_result = code; }),
        "")
        << code;
    EXPECT_TRUE(services().Called("command-line-start")) << code;
  }
  // One failed backup line per run, each with the archive path the engine reported.
  std::string expected;
  for (size_t i = 0; i < std::size(codes); ++i) {
    expected += "1,0,D:\\Backup\\QDWBackup26Dec06.qdw,2026/12/06 10:05\n";
  }
  EXPECT_EQ(Log(), expected);
}

TEST_F(RunSequenceTest, CodeThreeShowsAnEmptyLineUnderTheFailure) {
  EXPECT_EQ(RunFileDialog(1, kStartBackup + ExpectText(1033, ModuleText(125) + "\n") + "close\n",
                          [](FakeRunServices& services) { services.backup_result = 3; }),
            "");
}

TEST_F(RunSequenceTest, EveryRestoreCodeShowsItsMessage) {
  const std::pair<int, int> codes[] = {{201, 126}, {202, 133}, {204, 135}, {205, 136}, {206, 137},
                                       {207, 144}, {208, 152}, {209, 129}, {210, 108}, {211, 110},
                                       {212, 147}, {213, 161}, {214, 162}, {215, 176}, {307, 0}};
  for (const auto& [code, message] : codes) {
    EXPECT_EQ(RunFileDialog(
                  3, kStartRestore + Finished(FailureOutcome(message)),
                  [code = code](FakeRunServices& services) { services.restore_results = {code}; }),
              "")
        << code;
  }
}

TEST_F(RunSequenceTest, SuccessfulBackupStopsAndRestartsRunningServices) {
  const std::string failure =
      RunFileDialog(1, kStartBackup + Finished(ModuleText(138)), [](FakeRunServices& services) {
        services.services["CiSvc"].running = true;
        services.services["VNQLNSharedFolder"].running = true;
      });
  EXPECT_EQ(failure, "");
  EXPECT_EQ(services().CallList(),
            "new-engine; rights; query CiSvc; stop CiSvc; query VNQLNSharedFolder; "
            "stop VNQLNSharedFolder; repository; "
            "backup C:\\Users\\jo\\Repo|D:\\Backup|QDWBackup26Dec06; command-line-start; "
            "start CiSvc; start VNQLNSharedFolder");
  EXPECT_EQ(Log(), "1,1,D:\\Backup\\QDWBackup26Dec06.qdw,2026/12/06 10:05\n");
}

TEST_F(RunSequenceTest, ServicesThatDoNotRunAreNeitherStoppedNorStarted) {
  EXPECT_EQ(RunFileDialog(1, kStartBackup + Finished(ModuleText(138))), "");
  EXPECT_FALSE(services().Called("stop CiSvc"));
  EXPECT_FALSE(services().Called("start CiSvc"));
  EXPECT_FALSE(services().Called("start VNQLNSharedFolder"));
}

TEST_F(RunSequenceTest, OldSystemsHaveNoIndexingServiceToTouch) {
  for (int os_class : {1, 2}) {
    EXPECT_EQ(RunFileDialog(1, kStartBackup + Finished(ModuleText(138)),
                            [os_class](FakeRunServices& services) {
                              services.os_class = os_class;
                              services.services["CiSvc"].running = true;
                            }),
              "");
    EXPECT_FALSE(services().Called("query CiSvc")) << os_class;
    EXPECT_TRUE(services().Called("query VNQLNSharedFolder")) << os_class;
  }
}

TEST_F(RunSequenceTest, ServiceFailuresStopTheRunWithTheirCodes) {
  struct Case {
    std::function<void(FakeService&, FakeService&)> setup;
    int message;
    bool backup_ran;
  };
  const Case cases[] = {
      {[](FakeService& ci, FakeService&) { ci.query_ok = false; }, 111, false},
      {[](FakeService& ci, FakeService&) { ci.running = true, ci.stop_ok = false; }, 112, false},
      {[](FakeService&, FakeService& share) { share.query_ok = false; }, 113, false},
      {[](FakeService&, FakeService& share) { share.running = true, share.stop_ok = false; }, 114,
       false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RunFileDialog(1, kStartBackup + Finished(FailureOutcome(c.message)),
                            [&c](FakeRunServices& services) {
                              c.setup(services.services["CiSvc"],
                                      services.services["VNQLNSharedFolder"]);
                            }),
              "")
        << c.message;
    EXPECT_FALSE(services().Called("repository")) << c.message;
    // What failed to stop is not started again.
    EXPECT_FALSE(services().Called("start CiSvc")) << c.message;
    EXPECT_FALSE(services().Called("start VNQLNSharedFolder")) << c.message;
    EXPECT_TRUE(services().Called("command-line-start")) << c.message;
  }
}

TEST_F(RunSequenceTest, SharedFolderStopFailureStillRestartsTheIndexingService) {
  EXPECT_EQ(RunFileDialog(1, kStartBackup + Finished(FailureOutcome(114)),
                          [](FakeRunServices& services) {
                            services.services["CiSvc"].running = true;
                            services.services["VNQLNSharedFolder"].running = true;
                            services.services["VNQLNSharedFolder"].stop_ok = false;
                          }),
            "");
  EXPECT_TRUE(services().Called("start CiSvc"));
}

TEST_F(RunSequenceTest, RestartFailuresReplaceTheOutcome) {
  EXPECT_EQ(RunFileDialog(1, kStartBackup + Finished(ModuleText(116)),
                          [](FakeRunServices& services) {
                            services.services["CiSvc"].running = true;
                            services.services["CiSvc"].start_ok = false;
                          }),
            "");
  EXPECT_EQ(RunFileDialog(1, kStartBackup + Finished(ModuleText(117)),
                          [](FakeRunServices& services) {
                            services.services["CiSvc"].running = true;
                            services.services["CiSvc"].start_ok = false;
                            services.services["VNQLNSharedFolder"].running = true;
                            services.services["VNQLNSharedFolder"].start_ok = false;
                          }),
            "");
}

TEST_F(RunSequenceTest, WithoutServiceRightsTheOutsideProgramStopsTheProduct) {
  EXPECT_EQ(RunFileDialog(1, kStartBackup + Finished(ModuleText(138)),
                          [](FakeRunServices& services) {
                            services.rights = false;
                            services.services["CiSvc"].running = true;
                          }),
            "");
  EXPECT_EQ(services().CallList(),
            "new-engine; rights; stop-without-rights; repository; "
            "backup C:\\Users\\jo\\Repo|D:\\Backup|QDWBackup26Dec06; command-line-start");
}

TEST_F(RunSequenceTest, UnreadableRepositoryPathFailsWith301) {
  EXPECT_EQ(RunFileDialog(1, kStartBackup + Finished(FailureOutcome(127)),
                          [](FakeRunServices& services) { services.repository_ok = false; }),
            "");
  EXPECT_FALSE(services().Called("backup C:\\Users\\jo\\Repo|D:\\Backup|QDWBackup26Dec06"));
}

TEST_F(RunSequenceTest, EngineExceptionIsAGeneralFailure) {
  EXPECT_EQ(RunFileDialog(1, kStartBackup + Finished(ModuleText(125)),
                          [](FakeRunServices& services) { services.backup_throws = true; }),
            "");
  EXPECT_TRUE(services().Called("command-line-start"));
  EXPECT_EQ(Log(), "1,0,,2026/12/06 10:05\n");
}

TEST_F(RunSequenceTest, SuccessfulRestoreIsLoggedWithTheTypedArchive) {
  EXPECT_EQ(RunFileDialog(3, kStartRestore + Finished(ModuleText(138))), "");
  EXPECT_TRUE(services().Called("product-folder Restore"));
  EXPECT_TRUE(services().Called("restore D:\\Backup\\a.qdw|C:\\Users\\jo\\Repo|"));
  EXPECT_EQ(Log(), "3,1,D:\\Backup\\a.qdw,2026/12/06 10:05\n");
}

TEST_F(RunSequenceTest, ProductFolderStepFailureStopsTheRestore) {
  EXPECT_EQ(RunFileDialog(3, kStartRestore + Finished(FailureOutcome(0)),
                          [](FakeRunServices& services) { services.product_step_result = 307; }),
            "");
  EXPECT_FALSE(services().Called("restore D:\\Backup\\a.qdw|C:\\Users\\jo\\Repo|"));
}

TEST_F(RunSequenceTest, DeclinedRestoreTouchesNoServiceButIsLogged) {
  EXPECT_EQ(
      RunFileDialog(3, "type 1009 D:\\Backup\\a.qdw\nclick 1\nexpect message 123\nanswer no\n" +
                           Finished("\n" + ModuleText(147))),
      "");
  EXPECT_EQ(services().CallList(), "new-engine; command-line-start");
  EXPECT_EQ(Log(), "3,0,D:\\Backup\\a.qdw,2026/12/06 10:05\n");
}

TEST_F(RunSequenceTest, RestoreAsksForATemporaryFolderAndChecksIt) {
  const std::string script =
      std::string(kStartRestore) +
      "expect dialog 106\nexpect disabled 1\n"
      // A CD-ROM drive is refused and the dialog stays.
      "type 1027 e:\\\nexpect enabled 1\nclick 1\nexpect message 120\nanswer ok\n"
      // So is a folder inside the product folder the restore replaces.
      "type 1027 C:\\Users\\jo\\Repo\\varnold\\Temp\\\nclick 1\nexpect message 186\nanswer ok\n"
      // Also when written so that only the system's resolution shows it.
      "type 1027 C:\\Users\\jo\\Repo\\x\\..\\VARNOLD\\Temp\nclick 1\nexpect message 186\nanswer "
      "ok\n"
      "type 1027 C:\\Users\\jo\\Repo\\VARNOLD.\nclick 1\nexpect message 186\nanswer ok\n"
      // A folder the system cannot resolve is no place to unpack into.
      "type 1027 Temp\nclick 1\nexpect message 120\nanswer ok\n"
      "type 1027 \\\\.\\C:\\Temp\nclick 1\nexpect message 120\nanswer ok\n"
      "type 1027 D:\\\nclick 1\n" +
      Finished(ModuleText(138));
  EXPECT_EQ(RunFileDialog(3, script,
                          [](FakeRunServices& services) {
                            services.restore_results = {203, 0};
                          }),
            "");
  EXPECT_TRUE(services().Called("restore D:\\Backup\\a.qdw|C:\\Users\\jo\\Repo|D:\\"))
      << services().CallList();
}

TEST_F(RunSequenceTest, CancelledTemporaryFolderEndsWith134) {
  EXPECT_EQ(RunFileDialog(3,
                          kStartRestore + std::string("expect dialog 106\nclick 2\n") +
                              Finished(FailureOutcome(134)),
                          [](FakeRunServices& services) { services.restore_results = {203}; }),
            "");
}

TEST_F(RunSequenceTest, SecondRestoreResultDecides) {
  EXPECT_EQ(RunFileDialog(3,
                          kStartRestore + std::string("type 1027 D:\\Temp\nclick 1\n") +
                              Finished(FailureOutcome(134)),
                          [](FakeRunServices& services) {
                            services.restore_results = {203, 203};
                          }),
            "");
  EXPECT_EQ(RunFileDialog(3, kStartRestore + std::string("type 1027 D:\\Temp\nclick 1\nclose\n"),
                          [](FakeRunServices& services) {
                            services.restore_results = {203, 100};
                          }),
            "");
  EXPECT_EQ(Log(), "3,0,D:\\Backup\\a.qdw,2026/12/06 10:05\n");
}

TEST_F(RunSequenceTest, TemporaryFoldersBesideTheLastDestinationAreRemoved) {
  EXPECT_EQ(RunFileDialog(
                1, kStartBackup + Finished(ModuleText(138)),
                [](FakeRunServices& services) {
                  services.folders = {"D:\\Backup\\QDWBackUpTemp", "D:\\Backup\\QDWBackUpFileTemp"};
                }),
            "");
  EXPECT_TRUE(services().Called("remove D:\\Backup\\QDWBackUpTemp"));
  EXPECT_TRUE(services().Called("remove D:\\Backup\\QDWBackUpFileTemp"));
}

TEST_F(RunSequenceTest, EnginePromptsReachTheUser) {
  const std::string script = std::string(kStartBackup) +
                             "expect message 118\nanswer yes\n"
                             "expect dialog 9003\n" +
                             ExpectText(9000, ModuleText(179)) + ExpectText(1, ModuleText(180)) +
                             ExpectText(2, ModuleText(184)) + "click 1\n" +
                             Finished(ModuleText(138));
  engine::PromptAnswer answer = engine::PromptAnswer::kNo;
  int custom = 0;
  EXPECT_EQ(RunFileDialog(1, script,
                          [&](FakeRunServices& services) {
                            services.during_backup = [&](engine::Prompts& prompts) {
                              answer = prompts.ShowMessage(118, engine::PromptButtons::kYesNo,
                                                           engine::PromptIcon::kNone);
                              custom = prompts.CustomMessageBox(179, 180, 184);
                            };
                          }),
            "");
  EXPECT_EQ(answer, engine::PromptAnswer::kYes);
  EXPECT_EQ(custom, engine::kCustomBoxOk);
}

}  // namespace
}  // namespace qdw::testing

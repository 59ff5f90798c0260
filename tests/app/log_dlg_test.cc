// The operation log byte for byte, the log viewer's columns and pruning, and the failure list.
#include "app/log_dlg.h"

#include <functional>
#include <memory>

#include "app/operation_log.h"
#include "tests/app/file_dlg_fixture.h"

namespace qdw::testing {
namespace {

constexpr char kFailureList[] =
    "C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool\\BackupFailureLog.txt";

class LogDlgTest : public DialogTest {
 protected:
  explicit LogDlgTest(const sim::Json& patch = sim::Json::object()) : DialogTest(patch) {}

  std::string RunViewer(const std::string& script) {
    return RunDialog(
        script, [](app::AppContext& context) { return std::make_unique<app::CLogDlg>(context); });
  }
  app::OperationLog log() { return app::OperationLog(machine_.platform()); }
};

TEST_F(LogDlgTest, FirstEntryCreatesTheLogWithOneLine) {
  log().Add(1, true, "D:\\Backup\\QDWBackup26Dec06.qdw");
  EXPECT_EQ(Log(), "1,1,D:\\Backup\\QDWBackup26Dec06.qdw,2026/12/06 10:05\n");
  log().Add(3, false, "");
  EXPECT_EQ(Log(),
            "1,1,D:\\Backup\\QDWBackup26Dec06.qdw,2026/12/06 10:05\n"
            "3,0,,2026/12/06 10:05\n");
}

TEST_F(LogDlgTest, AddingAppendsAfterALastLineWithoutItsLineFeed) {
  machine_.PutFile(kLogFile, "1,1,a,2026/01/01 01:00\r\n3,1,b,2026/01/02 02:00");
  log().Add(1, false, "c");
  EXPECT_EQ(Log(), "1,1,a,2026/01/01 01:00\r\n3,1,b,2026/01/02 02:00\n1,0,c,2026/12/06 10:05\n");
}

TEST_F(LogDlgTest, ALogThatCannotBeOpenedIsNeverCutShort) {
  machine_.PutFile(kLogFile, "1,1,a,2026/01/01 01:00\n");
  std::unique_ptr<platform::File> held;
  ASSERT_EQ(machine_.platform().files().Open(kLogFile, platform::kGenericRead, platform::kShareNone,
                                             platform::Disposition::kOpenExisting,
                                             platform::kAttrNormal, &held),
            platform::kSuccess);
  std::vector<std::string> lines;
  EXPECT_FALSE(log().Read(&lines));
  log().Add(1, true, "lost");
  held.reset();
  EXPECT_EQ(Log(), "1,1,a,2026/01/01 01:00\n");
}

TEST_F(LogDlgTest, ReadingDropsCarriageReturnsAndKeepsEmptyLines) {
  machine_.PutFile(kLogFile, "a\r\n\nb");
  std::vector<std::string> lines;
  ASSERT_TRUE(log().Read(&lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "", "b"}));
  EXPECT_TRUE(log().Write({"x", "y"}));
  EXPECT_EQ(Log(), "x\ny\n");
}

TEST_F(LogDlgTest, ViewerShowsEveryColumnInTwelveHourFormUnderUsEnglish) {
  machine_.PutFile(kLogFile,
                   "1,1,D:\\Backup\\QDWBackup26Dec06.qdw,2026/12/06 00:05\n"
                   "3,0,D:\\a,b.qdw,2026/12/06 12:15\n"
                   "7,x,,2026/12/06 13:40\n");
  const std::string script =
      "expect dialog 104\nexpect rows 1006 3\n" + ExpectText(1030, ModuleText(102)) +
      ExpectText(1007, ModuleText(103)) + ExpectText(1004, ModuleText(104)) +
      ExpectText(1, ModuleText(105)) + "expect disabled 1007\nexpect enabled 1004\n" +
      "expect cell 1006 1 0 1\nexpect cell 1006 1 1 " + ModuleText(146) +
      "\nexpect cell 1006 1 2 " + ModuleText(149) +
      "\nexpect cell 1006 1 3 D:\\Backup\\QDWBackup26Dec06.qdw\n"
      "expect cell 1006 1 4 12/06/2026 12:05AM\n"
      "expect cell 1006 2 1 " +
      ModuleText(148) + "\nexpect cell 1006 2 2 " + ModuleText(150) +
      "\nexpect cell 1006 2 3 D:\\a\nexpect cell 1006 2 4 b.qdw,2026/12/06 12:15\n"
      "expect cell 1006 3 0 3\nexpect cell 1006 3 1 \nexpect cell 1006 3 2 \n"
      "expect cell 1006 3 4 12/06/2026 1:40PM\nclick 1\n";
  EXPECT_EQ(RunViewer(script), "");
}

class GermanLogDlgTest : public LogDlgTest {
 protected:
  GermanLogDlgTest() : LogDlgTest({{"thread_locale", 1031}}) {}
};

TEST_F(GermanLogDlgTest, OtherLocalesShowTheTimeAsStored) {
  machine_.PutFile(kLogFile, "1,1,x,2026/12/06 13:40\n");
  EXPECT_EQ(RunViewer("expect cell 1006 1 4 2026/12/06 13:40\nclose\n"), "");
}

TEST_F(LogDlgTest, EmptyOrMissingLogShowsAnEmptyList) {
  EXPECT_EQ(RunViewer("expect rows 1006 0\nexpect disabled 1004\nexpect disabled 1007\nclose\n"),
            "");
  EXPECT_FALSE(machine_.Exists(kLogFile));
}

TEST_F(LogDlgTest, DeletingRowsTwoAndFiveRemovesThoseLinesAndRenumbers) {
  machine_.PutFile(kLogFile, "1,1,a,t\n1,1,b,t\n1,1,c,t\n1,1,d,t\n1,1,e,t\n1,1,f,t\n");
  const std::string script =
      "select 1006 2 5\nexpect enabled 1007\nclick 1007\nexpect message 145\nanswer yes\n"
      "expect rows 1006 4\nexpect cell 1006 4 0 4\nexpect cell 1006 4 3 f\n"
      "expect cell 1006 2 3 c\nexpect disabled 1007\nexpect enabled 1004\nclick 1\n";
  EXPECT_EQ(RunViewer(script), "");
  EXPECT_EQ(Log(), "1,1,a,t\n1,1,c,t\n1,1,d,t\n1,1,f,t\n");
}

TEST_F(LogDlgTest, AnsweringNoKeepsTheLog) {
  machine_.PutFile(kLogFile, "1,1,a,t\n1,1,b,t\n");
  EXPECT_EQ(RunViewer("select 1006 1\nclick 1007\nanswer no\nexpect rows 1006 2\nclose\n"), "");
  EXPECT_EQ(Log(), "1,1,a,t\n1,1,b,t\n");
}

TEST_F(LogDlgTest, SelectAllThenDeleteEmptiesTheLog) {
  machine_.PutFile(kLogFile, "1,1,a,t\n3,0,b,t\n");
  const std::string script =
      "click 1004\nexpect enabled 1007\nclick 1007\nanswer yes\nexpect rows 1006 0\n"
      "expect disabled 1004\nexpect disabled 1007\nclose\n";
  EXPECT_EQ(RunViewer(script), "");
  EXPECT_EQ(Log(), "");
}

// Each way a rewrite can fail on the way keeps the log as it was, and leaves nothing beside it.
TEST_F(LogDlgTest, ARewriteThatFailsKeepsEveryLine) {
  constexpr char kRewrite[] =
      "C:\\ProgramData\\VARNOLD\\Quillon Deskora Backup Tool\\BackupLog.txt.new";
  // The lines to write fill several of the writer's pieces.
  std::vector<std::string> rewritten;
  for (int i = 1; i <= 400; ++i)
    rewritten.push_back("1,1,D:\\Backups\\Set" + std::to_string(i) + ".qdw,t");
  const std::string lines = "1,1,a,t\n3,0,b,t\n1,1,c,t\n";
  const sim::FaultInjector& faults = machine_.machine().faults();
  const struct {
    const char* what;
    std::function<void()> fault;
  } cases[] = {
      {"a write that fails half way",
       [&] { faults.AddRule("File.Write", 2, platform::kErrorWriteFault, "*BackupLog.txt.new"); }},
      {"a full disk", [&] { faults.SetDiskFull('C', 5000); }},
      {"a flush that fails",
       [&] { faults.AddRule("File.Flush", 1, platform::kErrorWriteFault, "*BackupLog.txt.new"); }},
      {"a replacement that fails",
       [&] { faults.AddRule("FileSystem.Replace", 1, platform::kErrorAccessDenied); }},
      {"a rewrite file that cannot be made",
       [&] { faults.AddRule("FileSystem.Open", 1, platform::kErrorAccessDenied, "*.new"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    machine_.PutFile(kLogFile, lines);
    c.fault();
    EXPECT_FALSE(log().Write(rewritten));
    faults.Clear();
    EXPECT_EQ(Log(), lines);
    EXPECT_FALSE(machine_.Exists(kRewrite));
  }
  // The viewer's deletion under a full disk shows every line still there.
  faults.SetDiskFull('C', 0);
  EXPECT_EQ(RunViewer("select 1006 2\nclick 1007\nanswer yes\nexpect rows 1006 3\nclose\n"), "");
  faults.Clear();
  EXPECT_EQ(Log(), lines);
  // What a killed rewrite left behind is never read, and the next rewrite takes its place.
  machine_.PutFile(kRewrite, "1,1,half");
  std::vector<std::string> read;
  ASSERT_TRUE(log().Read(&read));
  EXPECT_EQ(read.size(), 3u);
  EXPECT_TRUE(log().Write({"a", "b"}));
  EXPECT_EQ(Log(), "a\nb\n");
  EXPECT_FALSE(machine_.Exists(kRewrite));
}

TEST_F(LogDlgTest, RowNumbersOfAnySizeArePruned) {
  std::string content;
  for (int i = 1; i <= 10001; ++i) content += "1,1,path" + std::to_string(i) + ",t\n";
  machine_.PutFile(kLogFile, content);
  const std::string script =
      "expect cell 1006 10001 0 10001\nselect 1006 10000\nclick 1007\nanswer yes\n"
      "expect rows 1006 10000\nexpect cell 1006 10000 3 path10001\nclose\n";
  EXPECT_EQ(RunViewer(script), "");
  const std::string log_text = Log();
  EXPECT_EQ(log_text.find("path10000,"), std::string::npos);
  EXPECT_NE(log_text.find("1,1,path10001,t\n"), std::string::npos);
}

TEST_F(LogDlgTest, ViewerIsOpenedFromTheChoiceDialog) {
  EXPECT_EQ(RunModeDialog(1, "click 1003\nexpect dialog 104\nclick 1\nexpect dialog 102\nclose\n"),
            "");
}

TEST_F(LogDlgTest, FailureListOpensOnlyWhenItExists) {
  EXPECT_FALSE(log().OpenFailureList());
  EXPECT_EQ(machine_.machine().store().Read("opened.json").value("opened", sim::Json::array()),
            sim::Json::array());
  machine_.PutFile(kFailureList, "PDF File Name:  a\r\nOriginal File Name:  b\r\n\r\n");
  EXPECT_TRUE(log().OpenFailureList());
  const sim::Json opened = machine_.machine().store().Read("opened.json")["opened"];
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0]["verb"], "open");
  EXPECT_EQ(opened[0]["file"], kFailureList);
  EXPECT_EQ(opened[0]["show"], platform::kShowMaximized);
}

}  // namespace
}  // namespace qdw::testing

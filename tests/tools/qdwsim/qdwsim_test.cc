// qdwsim as a user runs it: a machine made by `init` is deterministic and consistent (files,
// database, registry, shares and services agree), the editing commands change what they say,
// and the demo scenario runs on a small machine.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/sim/sim_platform.h"

namespace qdw::testing {
namespace {

namespace fs = std::filesystem;

class QdwsimTest : public ::testing::Test {
 protected:
  QdwsimTest()
      : root_(fs::temp_directory_path() /
              ("qdwsim-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    fs::create_directories(root_);
  }
  ~QdwsimTest() override { fs::remove_all(root_); }

  // Runs qdwsim with `arguments`; keeps its output and returns the exit status.
  int Qdwsim(const std::string& arguments) {
    std::string command =
        "'" QDW_QDWSIM_PROGRAM "' " + arguments + " >'" + (root_ / "out").string() + "' 2>&1";
    int status = std::system(command.c_str());
    std::ifstream in(root_ / "out");
    std::stringstream text;
    text << in.rdbuf();
    output_ = text.str();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string Machine(const std::string& name) { return (root_ / name).string(); }

  sim::Json Show(const std::string& machine) {
    EXPECT_EQ(Qdwsim("show " + machine), 0) << output_;
    return sim::Json::parse(output_);
  }

  fs::path root_;
  std::string output_;
};

// Every file below `folder`, with its bytes.
std::string TreeDigest(const fs::path& folder) {
  std::string digest;
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    digest += fs::relative(file, folder).string() + ":" + std::to_string(bytes.str().size()) + ":" +
              std::to_string(std::hash<std::string>()(bytes.str())) + "\n";
  }
  return digest;
}

TEST_F(QdwsimTest, InitIsDeterministicForASeedAndInstallsTheProduct) {
  ASSERT_EQ(Qdwsim("init " + Machine("a") + " --seed 3 --size 2"), 0) << output_;
  ASSERT_EQ(Qdwsim("init " + Machine("b") + " --seed 3 --size 2"), 0) << output_;
  const fs::path repo = "drives/C/Users/jo/QDW Repository";
  EXPECT_EQ(TreeDigest(root_ / "a" / repo), TreeDigest(root_ / "b" / repo));
  EXPECT_TRUE(fs::exists(root_ / "a" / repo / "VARNOLD/QDW/DataBase/VNDATABASE.mdb"));

  sim::Json state = Show(Machine("a"));
  for (const char* service :
       {"CiSvc", "VNQLNSharedFolder", "VNQLNWatchFolderService", "QDW Share Proxy Service"}) {
    EXPECT_EQ(state["services"][service]["state"], "running") << service;
  }
  // Every share is also the user's registered shared folder, pointing at an existing folder.
  auto platform = sim::OpenSimMachine(Machine("a"));
  const sim::Json& shares = state["shares"]["shares"];
  ASSERT_GE(shares.size(), 3u);
  for (const sim::Json& share : shares) {
    std::string path = share["path"];
    uint32_t attributes = 0;
    EXPECT_EQ(platform->files().ReadAttributes(path, &attributes), platform::kSuccess) << path;
    std::unique_ptr<platform::RegistryKey> key;
    EXPECT_EQ(platform->registry().OpenKey(
                  platform::Hive::kLocalMachine,
                  "Software\\VARNOLD\\Quillon Deskora\\QDW\\Shared Folders\\WORKSTATION/jo\\" +
                      share["name"].get<std::string>(),
                  platform::kKeyRead, &key),
              platform::kSuccess);
  }
  EXPECT_EQ(
      state["registry"]["HKCU\\SOFTWARE\\VARNOLD"]["Quillon Deskora"]["QDW"]["\"Repository Path\""],
      "C:\\Users\\jo\\QDW Repository");
}

TEST_F(QdwsimTest, EditingCommandsChangeTheMachine) {
  const std::string m = Machine("m");
  ASSERT_EQ(Qdwsim("init " + m + " --size 1 --os 5.1 --code-page 932"), 0) << output_;
  EXPECT_EQ(Show(m)["description"]["os_version"]["major"], 5);
  EXPECT_EQ(Show(m)["description"]["code_page"], 932);
  const std::string before = (root_ / "before.snapshot").string();
  ASSERT_EQ(Qdwsim("snapshot " + m), 0) << output_;
  std::ofstream(before) << output_;
  EXPECT_EQ(Qdwsim("diff " + before + " " + m), 0) << output_;

  ASSERT_EQ(Qdwsim("lock " + m + " 'C:\\Users\\jo\\QDW Repository\\x.pdf' --share read"), 0);
  EXPECT_EQ(Show(m)["locks"]["locks"][0]["share"], 1);
  ASSERT_EQ(Qdwsim("unlock " + m + " 'C:\\Users\\jo\\QDW Repository\\x.pdf'"), 0);
  EXPECT_TRUE(Show(m)["locks"]["locks"].empty());

  ASSERT_EQ(Qdwsim("service " + m + " CiSvc stop"), 0);
  ASSERT_EQ(Qdwsim("service " + m + " VNQLNSharedFolder stuck"), 0);
  ASSERT_EQ(Qdwsim("service " + m + " 'QDW Share Proxy Service' remove"), 0);
  sim::Json services = Show(m)["services"];
  EXPECT_EQ(services["CiSvc"]["state"], "stopped");
  EXPECT_EQ(services["VNQLNSharedFolder"]["stuck"], true);
  EXPECT_FALSE(services.contains("QDW Share Proxy Service"));

  ASSERT_EQ(Qdwsim("process " + m + " start QDW.EXE"), 0);
  EXPECT_NE(Show(m)["processes"].dump().find("QDW.EXE"), std::string::npos);
  ASSERT_EQ(Qdwsim("process " + m + " stop QDW.EXE"), 0);
  EXPECT_EQ(Show(m)["processes"].dump().find("QDW.EXE"), std::string::npos);

  ASSERT_EQ(Qdwsim("share " + m + " add Extra 'C:\\Users\\jo\\Desktop'"), 0) << output_;
  EXPECT_NE(Show(m)["shares"].dump().find("\"Extra\""), std::string::npos);
  ASSERT_EQ(Qdwsim("share " + m + " remove Extra"), 0);
  EXPECT_NE(Qdwsim("share " + m + " remove Extra"), 0);  // 2310: no such share

  ASSERT_EQ(Qdwsim("fault " + m + " add FileSystem.Copy 2 112 --path '*.pdf'"), 0);
  ASSERT_EQ(Qdwsim("fault " + m + " disk-full D 1000"), 0);
  sim::Json faults = Show(m)["faults"];
  EXPECT_EQ(faults["rules"][0]["error"], 112);
  EXPECT_EQ(faults["disk_full"]["D"], 1000);
  ASSERT_EQ(Qdwsim("fault " + m + " clear"), 0);

  ASSERT_EQ(Qdwsim("user " + m + " --admin no --services no"), 0);
  EXPECT_EQ(Show(m)["description"]["current_user"]["admin"], false);
  ASSERT_EQ(Qdwsim("link " + m + " 'C:\\Users\\jo\\Link' 'C:\\Users\\jo\\Desktop'"), 0) << output_;
  EXPECT_EQ(Qdwsim("link " + m + " 'C:\\Users\\jo\\Link' 'C:\\Users'"), 1);

  // Of all that, a user sees the services and the junction; the rest is the machine's.
  EXPECT_EQ(Qdwsim("diff " + before + " " + m), 1);
  EXPECT_NE(output_.find("+ junction C:\\USERS\\JO\\LINK"), std::string::npos) << output_;
  EXPECT_NE(output_.find("~ service CISVC"), std::string::npos) << output_;
  EXPECT_NE(output_.find("- service QDW SHARE PROXY SERVICE"), std::string::npos) << output_;
  EXPECT_EQ(output_.find("share"), std::string::npos) << output_;
}

TEST_F(QdwsimTest, BadArgumentsSayWhatIsWrong) {
  EXPECT_EQ(Qdwsim(""), 2);
  EXPECT_EQ(Qdwsim("frobnicate x"), 2);
  EXPECT_NE(output_.find("unknown command"), std::string::npos);
  EXPECT_EQ(Qdwsim("show " + Machine("none")), 2);
  EXPECT_NE(output_.find("not a stand-in machine"), std::string::npos);
  EXPECT_EQ(Qdwsim("init " + Machine("v") + " --os 3.1"), 2);
  EXPECT_EQ(Qdwsim("init " + Machine("v") + " --code-page 437"), 2);
  ASSERT_EQ(Qdwsim("init " + Machine("w") + " --size 1"), 0);
  EXPECT_EQ(Qdwsim("init " + Machine("w") + " --size 1"), 2);  // not empty: never overwritten
  EXPECT_EQ(Qdwsim("service " + Machine("w") + " CiSvc dance"), 2);
}

TEST_F(QdwsimTest, DemoScenarioRunsOnASmallMachine) {
  std::string command = "'" QDW_DEMO_SCRIPT "' '" QDW_BIN_DIR "' '" + Machine("demo") + "' 3 >'" +
                        (root_ / "demo.out").string() + "' 2>&1";
  int status = std::system(command.c_str());
  std::ifstream in(root_ / "demo.out");
  std::stringstream text;
  text << in.rdbuf();
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << text.str();
  EXPECT_NE(text.str().find("== Backup to D:\\Backups"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find(".qdw"), std::string::npos) << text.str();
}

}  // namespace
}  // namespace qdw::testing

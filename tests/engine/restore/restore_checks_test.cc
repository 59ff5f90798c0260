// Text from the archive and the database that the restore must not misread: network share
// paths in the target check, and quotes in the printer icon paths it writes back.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "database/product_schema.h"
#include "engine/restore/printer_icon_repair.h"
#include "settings/product_settings.h"
#include "engine/restore/share_targets.h"
#include "tests/engine/common/engine_test_support.h"

namespace qdw::restore {
namespace {

using testing::ProductMachine;

constexpr char kDatabase[] = "C:\\Users\\jo\\Documents\\VARNOLD\\QDW\\DataBase\\VNDATABASE.mdb";
constexpr char kSettingsFolder[] = "C:\\Users\\jo\\Documents\\VARNOLD\\QDW\\Settings";

TEST(ShareTargetsTest, NetworkPathsAreNoMissingDrives) {
  ProductMachine product;
  settings::ProductSettings settings(product.platform());
  product.machine().PutFile("C:\\Work\\BackupShareInfo.txt",
                            "WINDOWS NT\n"
                            "Net,\\\\server\\share\\docs\n"
                            "Gone,Q:\\Team\n"
                            "Disc,E:\\Media\n"
                            "Again,Q:\\Other\n");
  ShareTargetProblems problems;
  CheckShareTargets(product.platform(), settings, "C:\\Work", ProductMachine::kRepository,
                    &problems);
  // The missing drive and the CD-ROM drive once each; nothing for the server's share.
  EXPECT_EQ(problems.drives, (std::vector<std::string>{"Q:", "E:"}));
  EXPECT_TRUE(problems.folders.empty());
  EXPECT_TRUE(problems.unsafe_entries.empty());

  product.machine().PutFile("C:\\Work\\BackupShareInfo.txt",
                            "WINDOWS NT\nNet,\\\\server\\share\\docs\n");
  CheckShareTargets(product.platform(), settings, "C:\\Work", ProductMachine::kRepository,
                    &problems);
  EXPECT_TRUE(problems.empty());
}

class PrinterRepairTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(database::CreateProductDatabase(product_.files(), product_.platform().databases(),
                                                kDatabase, &error))
        << error;
  }

  std::unique_ptr<platform::DatabaseConnection> Connect() {
    auto connection = product_.platform().databases().NewConnection();
    EXPECT_TRUE(connection->Open(
        std::string("ODBC;DRIVER={MICROSOFT ACCESS DRIVER (*.mdb)};DSN='';DBQ=") + kDatabase, false,
        false, false));
    return connection;
  }
  void AddPrinter(int id, const std::string& icon_path) {
    ASSERT_TRUE(Connect()->Execute("INSERT INTO qln_printer (ID, Icon_Path) VALUES (" +
                                   std::to_string(id) + ", '" + platform::SqlQuote(icon_path) +
                                   "')"));
  }
  // "ID|Icon_Path" of every row, by ID.
  std::vector<std::string> Printers() {
    std::vector<std::string> rows;
    std::unique_ptr<platform::RecordSet> set;
    auto connection = Connect();
    EXPECT_TRUE(connection->Query("SELECT ID, Icon_Path FROM qln_printer ORDER BY ID", true, &set));
    while (set && set->Fetch()) rows.push_back(*set->Value(0) + "|" + *set->Value(1));
    return rows;
  }

  ProductMachine product_;
};

TEST_F(PrinterRepairTest, QuotesInNamesAndPathsAreWrittenBackAsText) {
  const std::string settings = kSettingsFolder;
  product_.machine().PutFile(settings + "\\O'Brien.ico", "icon");
  AddPrinter(1, "C:\\Old Install\\Settings\\O'Brien.ico=0");
  // Text after the icon file that would end the literal and set another column if pasted raw.
  AddPrinter(2, "C:\\Old\\printer.ico=1', ID='9");
  AddPrinter(3, "C:\\Old\\gone.ico=2");
  AddPrinter(4, settings + "\\printer.ico=3");
  AddPrinter(5, "C:\\It's gone\\nothing.ico=0");

  settings::ProductSettings product_settings(product_.platform());
  RepairPrinterIcons(product_.platform(), product_settings);
  EXPECT_EQ(Printers(), (std::vector<std::string>{
                            "1|" + settings + "\\O'Brien.ico=0",
                            "2|" + settings + "\\printer.ico=1', ID='9",
                            "4|" + settings + "\\printer.ico=3",
                        }));
}

}  // namespace
}  // namespace qdw::restore

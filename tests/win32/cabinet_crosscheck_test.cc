// Archive sets made by one cabinet library and read by the other: our engine (qdwcabinet.dll)
// and the system's "CABINET", chosen for each Compress and Extract call through
// QDW_CABINET_LIBRARY, as the shipped libraries load it.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <memory>
#include <random>
#include <string>

#include "Compressor/compressor.h"
#include "Extractor/extractor.h"
#include "platform/platform.h"
#include "tests/win32/platform_fci_writer.h"
#include "tests/win32/win32_scratch_folder.h"

namespace qdw {
namespace {

using testing::ReadTree;
using testing::ScratchFolder;

constexpr char kOurEngine[] = "qdwcabinet.dll";
constexpr char kSystemLibrary[] = "";  // unset: the system's own "CABINET"

void ChooseCabinet(const char* module) {
  SetEnvironmentVariableA("QDW_CABINET_LIBRARY", *module != '\0' ? module : nullptr);
}

std::string Noise(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  return bytes;
}

// Text that compresses well, bytes that do not, an empty file and nested folders.
std::map<std::string, std::string> MakeTree(const ScratchFolder& scratch) {
  std::map<std::string, std::string> files;
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "line " + std::to_string(i) + " of the catalogue\r\n";
  files["VARNOLD\\QDW\\catalogue.txt"] = text;
  files["VARNOLD\\QDW\\Cabinet 1\\scan.pdf"] = Noise(300000, 7);
  files["VARNOLD\\QDWie\\empty.dat"] = "";
  files["BackupShareInfo.txt"] = "Docs,C:\\Docs,Shared documents,0\r\n";
  for (const auto& [name, content] : files) scratch.Put("tree\\" + name, content);
  return files;
}

struct Pairing {
  const char* writer;
  const char* reader;
};

class CabinetCrossCheckTest : public ::testing::TestWithParam<Pairing> {
 protected:
  void TearDown() override { ChooseCabinet(kSystemLibrary); }
};

TEST_P(CabinetCrossCheckTest, SetWrittenByOneLibraryUnpacksWithTheOther) {
  ScratchFolder scratch;
  const std::map<std::string, std::string> files = MakeTree(scratch);
  CreateDirectoryA(scratch.Path("set").c_str(), nullptr);
  CreateDirectoryA(scratch.Path("out").c_str(), nullptr);

  if (*GetParam().writer == '\0' && testing::RunningUnderWine()) {
    // The program leaves the volume size to the library (0); Wine's FCI takes 0 as the size
    // itself and fails the first file. PlatformSetsAreReadByOurReader covers that direction.
    GTEST_SKIP() << "Wine's FCI cannot write with a maximum volume size of 0";
  }
  ChooseCabinet(GetParam().writer);
  char last_volume[QDW_LAST_VOLUME_NAME_SIZE] = "unchanged";
  ASSERT_EQ(
      Compress(scratch.Path("tree").c_str(), scratch.Path("set\\Monday.qdw").c_str(), last_volume),
      0);
  EXPECT_STREQ(last_volume, "");

  ChooseCabinet(GetParam().reader);
  ASSERT_EQ(Extract(scratch.Path("set\\Monday.qdw").c_str(), scratch.Path("out").c_str()), 0);
  EXPECT_EQ(ReadTree(scratch.Path("out")), files);
}

INSTANTIATE_TEST_SUITE_P(Libraries, CabinetCrossCheckTest,
                         ::testing::Values(Pairing{kOurEngine, kSystemLibrary},
                                           Pairing{kSystemLibrary, kOurEngine},
                                           Pairing{kOurEngine, kOurEngine},
                                           Pairing{kSystemLibrary, kSystemLibrary}),
                         [](const ::testing::TestParamInfo<Pairing>& info) {
                           std::string name = *info.param.writer ? "Ours" : "System";
                           return name + "To" + (*info.param.reader ? "Ours" : "System");
                         });

TEST(CabinetCrossCheckTest, PlatformSetsAreReadByOurReaderAndTheSystemOne) {
  ScratchFolder scratch;
  const std::map<std::string, std::string> files = MakeTree(scratch);
  ASSERT_EQ(testing::WriteWithPlatformFci(scratch.Path("tree"), files, scratch.Path("fci.qdw")),
            "");
  for (const char* reader : {kOurEngine, kSystemLibrary}) {
    const std::string out = scratch.Path(*reader ? "ours" : "system");
    CreateDirectoryA(out.c_str(), nullptr);
    ChooseCabinet(reader);
    EXPECT_EQ(Extract(scratch.Path("fci.qdw").c_str(), out.c_str()), 0) << out;
    EXPECT_EQ(ReadTree(out), files) << out;
  }
  ChooseCabinet(kSystemLibrary);
}

TEST(CabinetChoiceTest, CabinetIsTheSystemLibraryUnlessOurEngineIsChosen) {
  platform::Libraries& libraries = platform::DefaultPlatform().libraries();
  HMODULE system = LoadLibraryA("cabinet.dll");
  HMODULE ours = LoadLibraryA(kOurEngine);
  ASSERT_NE(system, nullptr);
  ASSERT_NE(ours, nullptr);
  auto entry = [](HMODULE module) {
    return reinterpret_cast<void*>(GetProcAddress(module, "FDICreate"));
  };

  std::unique_ptr<platform::Library> loaded;
  ASSERT_EQ(libraries.Load("CABINET", &loaded), platform::kSuccess);
  EXPECT_EQ(loaded->Symbol("FDICreate"), entry(system));

  ChooseCabinet(kOurEngine);
  ASSERT_EQ(libraries.Load("CABINET", &loaded), platform::kSuccess);
  EXPECT_EQ(loaded->Symbol("FDICreate"), entry(ours));
  // Other modules are never redirected.
  ASSERT_EQ(libraries.Load("cabinet_other", &loaded), platform::kErrorModNotFound);
  ChooseCabinet(kSystemLibrary);

  FreeLibrary(ours);
  FreeLibrary(system);
}

TEST(CabinetChoiceTest, MissingChosenLibraryFailsTheCallInsteadOfPackingWithAnother) {
  ScratchFolder scratch;
  scratch.Put("tree\\a.txt", "a");
  ChooseCabinet("no_such_cabinet.dll");
  char last_volume[QDW_LAST_VOLUME_NAME_SIZE] = "";
  EXPECT_EQ(Compress(scratch.Path("tree").c_str(), scratch.Path("a.qdw").c_str(), last_volume), -1);
  EXPECT_EQ(Extract(scratch.Path("a.qdw").c_str(), scratch.path().c_str()), -1);
  ChooseCabinet(kSystemLibrary);
}

}  // namespace
}  // namespace qdw

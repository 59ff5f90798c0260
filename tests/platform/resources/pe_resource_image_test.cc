#include "platform/resources/pe_resource_image.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/platform/resources/pe_builder.h"

namespace qdw::resources {
namespace {

using testing::BuildPeImage;
using testing::kResourceSectionOffset;
using testing::Patch16;
using testing::Patch32;
using testing::TestResource;

std::vector<uint8_t> Bytes(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

// Offsets (from the start of the file) in an image built from one resource.
constexpr size_t kRoot = kResourceSectionOffset;
constexpr size_t kTypeDirectory = kResourceSectionOffset + 24;
constexpr size_t kLanguageDirectory = kResourceSectionOffset + 48;
constexpr size_t kDataEntry = kResourceSectionOffset + 72;

std::vector<uint8_t> OneString() { return BuildPeImage({{6, "", 1, 0x0409, Bytes("block")}}); }

TEST(PeResourceImageTest, FindsResourcesByNumberAndByTypeName) {
  auto image = PeResourceImage::FromBytes(BuildPeImage({
      {6, "", 1, 0x0409, Bytes("strings")},
      {5, "", 102, 0x0409, Bytes("dialog 102")},
      {5, "", 105, 0x0407, Bytes("dialog 105")},
      {0, "AVI", 136, 0x0409, Bytes("RIFF")},
  }));
  ASSERT_NE(image, nullptr);
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(image->Resource(5, 105, &bytes));
  EXPECT_EQ(bytes, Bytes("dialog 105"));
  ASSERT_TRUE(image->Resource(6, 1, &bytes));
  EXPECT_EQ(bytes, Bytes("strings"));
  // Type names compare without regard to case, as the system's lookups do.
  ASSERT_TRUE(image->NamedTypeResource("avi", 136, &bytes));
  EXPECT_EQ(bytes, Bytes("RIFF"));
  uint16_t language = 0;
  ASSERT_TRUE(image->ResourceLanguage(5, 105, &language));
  EXPECT_EQ(language, 0x0407);
  EXPECT_EQ(image->ResourceIds(5), (std::vector<uint16_t>{102, 105}));
}

TEST(PeResourceImageTest, MissingResourcesAreNotFound) {
  auto image = PeResourceImage::FromBytes(BuildPeImage({{0, "AVI", 136, 0x0409, Bytes("x")}}));
  ASSERT_NE(image, nullptr);
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(image->Resource(6, 1, &bytes));
  EXPECT_FALSE(image->NamedTypeResource("AVI", 137, &bytes));
  EXPECT_FALSE(image->NamedTypeResource("AV", 136, &bytes));
  EXPECT_FALSE(image->NamedTypeResource("AVIX", 136, &bytes));
  EXPECT_TRUE(image->ResourceIds(5).empty());
}

TEST(PeResourceImageTest, ImageWithoutResourcesOpensAndFindsNothing) {
  std::vector<uint8_t> file = OneString();
  Patch32(&file, 0x44 + 20 + 112 + 16, 0);  // resource directory address
  Patch32(&file, 0x44 + 20 + 112 + 20, 0);
  auto image = PeResourceImage::FromBytes(file);
  ASSERT_NE(image, nullptr);
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(image->Resource(6, 1, &bytes));
}

TEST(PeResourceImageTest, OpenReadsAFileAndRefusesWhatIsNotAnImage) {
  const std::string path = ::testing::TempDir() + "/qdw_pe_open_test.dll";
  const std::vector<uint8_t> file = OneString();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  auto image = PeResourceImage::Open(path);
  ASSERT_NE(image, nullptr);
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(image->Resource(6, 1, &bytes));

  EXPECT_EQ(PeResourceImage::Open(path + ".missing"), nullptr);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << "MZ but nothing else";
  EXPECT_EQ(PeResourceImage::Open(path), nullptr);
  std::ofstream(path, std::ios::binary | std::ios::trunc);
  EXPECT_EQ(PeResourceImage::Open(path), nullptr);
}

TEST(PeResourceImageTest, BrokenHeadersAreRefused) {
  std::vector<uint8_t> not_mz = OneString();
  not_mz[0] = 'X';
  EXPECT_EQ(PeResourceImage::FromBytes(not_mz), nullptr);

  std::vector<uint8_t> far_header = OneString();
  Patch32(&far_header, 0x3C, 0xFFFFFFF0u);
  EXPECT_EQ(PeResourceImage::FromBytes(far_header), nullptr);

  std::vector<uint8_t> odd_magic = OneString();
  Patch16(&odd_magic, 0x44 + 20, 0x107);
  EXPECT_EQ(PeResourceImage::FromBytes(odd_magic), nullptr);

  std::vector<uint8_t> many_sections = OneString();
  Patch16(&many_sections, 0x44 + 2, 0xFFFF);
  EXPECT_EQ(PeResourceImage::FromBytes(many_sections), nullptr);

  std::vector<uint8_t> section_past_end = OneString();
  Patch32(&section_past_end, 0x44 + 20 + 240 + 20, 0x7FFFFFF0u);
  EXPECT_EQ(PeResourceImage::FromBytes(section_past_end), nullptr);

  std::vector<uint8_t> directory_outside = OneString();
  Patch32(&directory_outside, 0x44 + 20 + 112 + 16, 0x50000);
  EXPECT_EQ(PeResourceImage::FromBytes(directory_outside), nullptr);
}

// Each patch turns a good one-resource image into a hostile one; the lookup must fail cleanly.
TEST(PeResourceImageTest, HostileResourceDirectoriesFailTheLookup) {
  struct Case {
    const char* what;
    size_t offset;
    uint32_t value;
  };
  const Case cases[] = {
      {"language level points back at its own directory (a loop)", kLanguageDirectory + 16 + 4,
       0x80000000u | 48},
      {"type entry points back at the root (a loop)", kRoot + 16 + 4, 0x80000000u | 0},
      {"name level points at itself", kTypeDirectory + 16 + 4, 0x80000000u | 24},
      {"type entry points past the section", kRoot + 16 + 4, 0x80000000u | 0x7FFFFFF0u},
      {"type entry is a leaf, not a directory", kRoot + 16 + 4, 72},
      {"entry counts far beyond the section", kRoot + 12, 0xFFFFFFFFu},
      {"data entry past the section", kLanguageDirectory + 16 + 4, 0x7FFFFFF0u},
      {"data address outside every section", kDataEntry, 0x90000000u},
      {"data larger than the file", kDataEntry + 4, 0xFFFFFFFFu},
      {"data address just before the section", kDataEntry, testing::kResourceSectionRva - 1},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> file = OneString();
    Patch32(&file, c.offset, c.value);
    auto image = PeResourceImage::FromBytes(file);
    ASSERT_NE(image, nullptr) << c.what;
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(image->Resource(6, 1, &bytes)) << c.what;
    uint16_t language = 0;
    image->ResourceLanguage(6, 1, &language);
    image->ResourceIds(6);
  }
}

TEST(PeResourceImageTest, NamedTypeWithItsNameOutOfRangeIsNotFound) {
  std::vector<uint8_t> file = BuildPeImage({{0, "AVI", 136, 0x0409, Bytes("RIFF")}});
  Patch32(&file, kRoot + 16, 0x80000000u | 0x7FFFFFF0u);
  auto image = PeResourceImage::FromBytes(file);
  ASSERT_NE(image, nullptr);
  std::vector<uint8_t> bytes;
  EXPECT_FALSE(image->NamedTypeResource("AVI", 136, &bytes));
}

TEST(PeResourceImageTest, EveryTruncationFailsCleanly) {
  const std::vector<uint8_t> whole = BuildPeImage({
      {6, "", 1, 0x0409, Bytes("strings")},
      {0, "AVI", 136, 0x0409, Bytes("RIFF....AVI ")},
  });
  for (size_t length = 0; length < whole.size(); ++length) {
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(length));
    auto image = PeResourceImage::FromBytes(cut);
    if (image == nullptr) continue;
    std::vector<uint8_t> bytes;
    // Whatever is still found lies wholly inside the cut file.
    if (image->Resource(6, 1, &bytes)) {
      EXPECT_EQ(bytes, Bytes("strings")) << length;
    }
    if (image->NamedTypeResource("AVI", 136, &bytes)) {
      EXPECT_EQ(bytes.size(), 12u) << length;
    }
  }
}

}  // namespace
}  // namespace qdw::resources

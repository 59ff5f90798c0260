// The icon and the progress animation of the built resource module, and the reader's behaviour
// on damaged copies of the module.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/resources/byte_view.h"
#include "platform/resources/dialog_template.h"
#include "platform/resources/icon_group.h"
#include "platform/resources/string_table.h"
#include "tests/platform/resources/avi_check.h"
#include "tests/platform/resources/lingvault_fixture.h"

namespace qdw::resources::testing {
namespace {

constexpr uint16_t kIconGroup = 9002;
constexpr uint16_t kAnimation = 136;
constexpr uint16_t kAnimationControl = 1036;

TEST_F(LingvaultTest, IconGroupHasSmallAndLargeTrueColourImages) {
  std::vector<uint8_t> group;
  std::vector<IconGroupEntry> entries;
  ASSERT_TRUE(module_->Resource(platform::kResourceGroupIcon, kIconGroup, &group));
  ASSERT_TRUE(ParseIconGroup(group, &entries));
  std::set<int> sizes;
  for (const IconGroupEntry& entry : entries) {
    SCOPED_TRACE("image " + std::to_string(entry.width));
    sizes.insert(entry.width);
    EXPECT_EQ(entry.width, entry.height);
    EXPECT_EQ(entry.bit_count, 32);
    std::vector<uint8_t> image;
    ASSERT_TRUE(module_->Resource(platform::kResourceIcon, entry.image_id, &image));
    const ByteView view(image);
    uint32_t header_size = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bits = 0;
    ASSERT_TRUE(view.U32(0, &header_size) && view.U32(4, &width) && view.U32(8, &height) &&
                view.U16(14, &bits));
    EXPECT_EQ(header_size, 40u);
    EXPECT_EQ(width, static_cast<uint32_t>(entry.width));
    EXPECT_EQ(height, 2u * entry.height);  // colour image and mask
    EXPECT_EQ(bits, 32);
    const size_t mask_row = (static_cast<size_t>(entry.width) + 31) / 32 * 4;
    EXPECT_EQ(image.size(), 40 + 4u * entry.width * entry.height + mask_row * entry.height);
    EXPECT_EQ(entry.bytes, image.size());
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32}));
  std::vector<uint8_t> ico;
  ASSERT_TRUE(IconFileFromModule(*module_, kIconGroup, &ico));
  EXPECT_GT(ico.size(), group.size());
}

TEST_F(LingvaultTest, AnimationIsAClipTheAnimationControlCanPlay) {
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(module_->NamedTypeResource("AVI", kAnimation, &bytes));
  AviClip clip;
  std::string error;
  ASSERT_TRUE(ReadAviClip(bytes, &clip, &error)) << error;
  EXPECT_EQ(clip.streams, 1u) << "no sound: one video stream only";
  EXPECT_EQ(clip.stream_type, "vids");
  EXPECT_TRUE(clip.compression == 0 || clip.compression == 1) << clip.compression;
  EXPECT_EQ(clip.bit_count, 8);
  EXPECT_GT(clip.total_frames, 1u);
  EXPECT_EQ(clip.frames.size(), clip.total_frames);
  EXPECT_EQ(clip.index_entries, clip.total_frames);
  EXPECT_GT(clip.micro_seconds_per_frame, 0u);
  for (size_t i = 0; i < clip.frames.size(); ++i) {
    if (clip.compression == 1) {
      EXPECT_TRUE(DecodeRle8KeyFrame(clip.frames[i], clip.width, clip.height, &error))
          << "frame " << i << ": " << error;
    } else {
      EXPECT_EQ(clip.frames[i].size(), (clip.width + 3) / 4 * 4 * clip.height) << i;
    }
  }
  // The clip fits its control (6 by 13 pixels per 4 by 8 dialog units in the shell font).
  std::vector<uint8_t> dialog_bytes;
  DialogTemplate dialog;
  ASSERT_TRUE(module_->Resource(platform::kResourceDialog, 105, &dialog_bytes));
  ASSERT_TRUE(ParseDialogTemplate(dialog_bytes, LingvaultCodePage(), &dialog));
  const DialogControl* control = dialog.Control(kAnimationControl);
  ASSERT_NE(control, nullptr);
  EXPECT_LE(clip.width, control->cx * 6u / 4);
  EXPECT_LE(clip.height, control->cy * 13u / 8);
}

// Everything the program reads from the module, read from a damaged copy: nothing may crash or
// read outside the file, whatever the damage.
void ReadEverything(const PeResourceImage& image) {
  std::vector<uint8_t> bytes;
  for (uint16_t block : image.ResourceIds(platform::kResourceString)) {
    if (!image.Resource(platform::kResourceString, block, &bytes)) continue;
    std::u16string text;
    for (int i = 0; i < kStringsPerBlock; ++i) DecodeStringBlockEntry(bytes, i, &text);
  }
  for (uint16_t id : image.ResourceIds(platform::kResourceDialog)) {
    DialogTemplate dialog;
    if (image.Resource(platform::kResourceDialog, id, &bytes)) {
      ParseDialogTemplate(bytes, LingvaultCodePage(), &dialog);
    }
  }
  std::vector<IconGroupEntry> entries;
  if (image.Resource(platform::kResourceGroupIcon, kIconGroup, &bytes) &&
      ParseIconGroup(bytes, &entries)) {
    for (const IconGroupEntry& entry : entries) {
      image.Resource(platform::kResourceIcon, entry.image_id, &bytes);
    }
  }
  AviClip clip;
  std::string error;
  if (image.NamedTypeResource("AVI", kAnimation, &bytes)) ReadAviClip(bytes, &clip, &error);
}

TEST_F(LingvaultTest, DamagedCopiesOfTheModuleNeverCrashTheReader) {
  std::ifstream in(LingvaultPath(), std::ios::binary);
  const std::vector<uint8_t> original((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
  ASSERT_GT(original.size(), 1024u);
  std::mt19937 random(20261207);  // fixed, so a failure can be repeated
  for (int round = 0; round < 400; ++round) {
    std::vector<uint8_t> damaged = original;
    const int changes = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < changes; ++i) {
      // Mostly the headers and the resource directory, where offsets live.
      const size_t span =
          (random() % 4 == 0) ? damaged.size() : std::min<size_t>(4096, damaged.size());
      damaged[random() % span] = static_cast<uint8_t>(random());
    }
    auto image = PeResourceImage::FromBytes(damaged);
    if (image) ReadEverything(*image);
  }
  for (size_t length = 0; length < original.size(); length += 97) {
    auto image = PeResourceImage::FromBytes(
        std::vector<uint8_t>(original.begin(), original.begin() + static_cast<long>(length)));
    if (image) ReadEverything(*image);
  }
}

}  // namespace
}  // namespace qdw::resources::testing

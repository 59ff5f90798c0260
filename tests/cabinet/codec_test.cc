// The engine's checksum and MSZIP codec, checked against an independent reading of the format.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cabinet/cab_format.h"
#include "cabinet/checksum.h"
#include "cabinet/mszip_decoder.h"
#include "cabinet/mszip_encoder.h"
#include "tests/cabinet/cab_crafter.h"
#include "tests/cabinet/test_tree.h"

namespace qdw::cab {
namespace {

void* Alloc(unsigned long size) { return std::malloc(size); }
void Release(void* block) { std::free(block); }
const MemoryCallbacks kMemory{Alloc, Release};

const uint8_t* Bytes(const std::string& text) {
  return reinterpret_cast<const uint8_t*>(text.data());
}

TEST(CabinetChecksumTest, MatchesTheFormatForEveryTailLength) {
  std::string data = testing::MakeContent(testing::Content::kRandom, 1000, 7);
  for (size_t size : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 31, 32, 33, 1000}) {
    std::string part = data.substr(0, size);
    EXPECT_EQ(DataBlockChecksum(Bytes(part), static_cast<uint16_t>(size), 1234),
              testing::ReferenceChecksum(part, 1234))
        << size;
  }
  // First leftover byte most significant.
  const uint8_t three[] = {1, 2, 3};
  EXPECT_EQ(CabChecksum(three, 3, 0), 0x010203u);
  const uint8_t five[] = {1, 0, 0, 0, 0x10};
  EXPECT_EQ(CabChecksum(five, 5, 0x100), 0x111u);
}

class MszipCodecTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(encoder_.Init(&kMemory, 6));
    ASSERT_TRUE(decoder_.Init(&kMemory));
  }

  // Encodes `stream` as one folder of blocks with history; returns the payloads.
  std::vector<std::string> EncodeFolder(const std::string& stream) {
    std::vector<std::string> payloads;
    for (size_t pos = 0; pos < stream.size(); pos += kBlockSize) {
      size_t size = std::min<size_t>(kBlockSize, stream.size() - pos);
      size_t history = std::min<size_t>(pos, kBlockSize);
      std::string out(kMaxBlockPayload, '\0');
      size_t written = 0;
      EXPECT_TRUE(encoder_.Encode(Bytes(stream) + pos - history, history, Bytes(stream) + pos, size,
                                  reinterpret_cast<uint8_t*>(&out[0]), out.size(), &written));
      out.resize(written);
      payloads.push_back(out);
    }
    return payloads;
  }

  MszipEncoder encoder_;
  MszipDecoder decoder_;
};

TEST_F(MszipCodecTest, FolderRoundTripUsesTheHistory) {
  // The second block repeats the end of the first twice, so it refers back across the border.
  std::string block = testing::MakeContent(testing::Content::kRandom, kBlockSize, 3);
  std::string tail = block.substr(kBlockSize / 2);
  std::string stream =
      block + tail + tail + testing::MakeContent(testing::Content::kText, 10000, 4);
  std::vector<std::string> payloads = EncodeFolder(stream);
  ASSERT_EQ(payloads.size(), 3u);
  EXPECT_LT(payloads[1].size(), 1000u);
  decoder_.StartFolder();
  std::string decoded;
  for (size_t i = 0; i < payloads.size(); ++i) {
    size_t size = std::min<size_t>(kBlockSize, stream.size() - i * kBlockSize);
    std::string out(size, '\0');
    ASSERT_TRUE(decoder_.Decode(Bytes(payloads[i]), payloads[i].size(),
                                reinterpret_cast<uint8_t*>(&out[0]), size));
    decoded += out;
  }
  EXPECT_EQ(decoded, stream);

  // Without the earlier blocks the back references cannot be resolved.
  decoder_.StartFolder();
  std::string out(kBlockSize, '\0');
  EXPECT_FALSE(decoder_.Decode(Bytes(payloads[1]), payloads[1].size(),
                               reinterpret_cast<uint8_t*>(&out[0]), kBlockSize));
}

// Random data goes out as stored deflate blocks, unless it repeats the folder's history.
TEST_F(MszipCodecTest, IncompressibleBlocksAreStoredUnlessTheyRepeatHistory) {
  std::string random = testing::MakeContent(testing::Content::kRandom, 2 * kBlockSize, 5);
  // Block 1 repeats the last three quarters of block 0, then goes on with new random bytes.
  std::string stream = random.substr(0, kBlockSize) + random.substr(kBlockSize / 4, kBlockSize);
  std::vector<std::string> payloads = EncodeFolder(stream);
  ASSERT_EQ(payloads.size(), 2u);
  EXPECT_LE(payloads[0].size(), kBlockSize + 16);
  EXPECT_LT(payloads[1].size(), kBlockSize / 3);
  decoder_.StartFolder();
  std::string decoded;
  for (const std::string& payload : payloads) {
    std::string out(kBlockSize, '\0');
    ASSERT_TRUE(decoder_.Decode(Bytes(payload), payload.size(), reinterpret_cast<uint8_t*>(&out[0]),
                                kBlockSize));
    decoded += out;
  }
  EXPECT_EQ(decoded, stream);
}

TEST_F(MszipCodecTest, DecoderRefusesWrongSizes) {
  std::string data = testing::MakeContent(testing::Content::kText, 5000, 6);
  std::string payload = EncodeFolder(data)[0];
  std::string out(kBlockSize, '\0');
  auto* target = reinterpret_cast<uint8_t*>(&out[0]);
  decoder_.StartFolder();
  EXPECT_FALSE(decoder_.Decode(Bytes(payload), payload.size(), target, 4999));
  decoder_.StartFolder();
  EXPECT_FALSE(decoder_.Decode(Bytes(payload), payload.size(), target, 5001));
  decoder_.StartFolder();
  EXPECT_FALSE(decoder_.Decode(Bytes(payload), payload.size() - 10, target, 5000));
  decoder_.StartFolder();
  EXPECT_TRUE(decoder_.Decode(Bytes(payload), payload.size(), target, 5000));
}

}  // namespace
}  // namespace qdw::cab

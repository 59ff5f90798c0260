#include "platform/security_types.h"

#include <gtest/gtest.h>

namespace qdw::platform {
namespace {

TEST(SidTest, ParsesAndPrintsTheTextForm) {
  Sid sid;
  ASSERT_TRUE(Sid::Parse("S-1-5-21-1004336348-1177238915-682003330-1001", &sid));
  EXPECT_TRUE(sid.IsValid());
  EXPECT_EQ(sid.bytes.size(), 8u + 4 * 5);
  EXPECT_EQ(sid.ToString(), "S-1-5-21-1004336348-1177238915-682003330-1001");
  EXPECT_EQ(Sid::World().ToString(), "S-1-1-0");
  EXPECT_EQ(Sid::World().bytes, (std::vector<uint8_t>{1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}));
}

TEST(SidTest, RefusesMalformedText) {
  Sid sid;
  for (const char* bad : {"", "S-1", "S-2-1-0", "S-1--1", "S-1-5-x", "S-1-5-4294967296",
                          "S-1-1-1-2-3-4-5-6-7-8-9-10-11-12-13-14-15-16"}) {
    EXPECT_FALSE(Sid::Parse(bad, &sid)) << bad;
  }
  EXPECT_FALSE(Sid().IsValid());
  EXPECT_EQ(Sid().ToString(), "");
}

}  // namespace
}  // namespace qdw::platform

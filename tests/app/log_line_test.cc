// The operation log's line format, its split into columns and the 12-hour form of its times;
// the default archive name and the result-code table.
#include "app/log_line.h"

#include <gtest/gtest.h>

#include "app/result_messages.h"

namespace qdw::app {
namespace {

platform::CalendarTime At(int year, int month, int day, int hour, int minute) {
  platform::CalendarTime time;
  time.year = static_cast<uint16_t>(year);
  time.month = static_cast<uint16_t>(month);
  time.day = static_cast<uint16_t>(day);
  time.hour = static_cast<uint16_t>(hour);
  time.minute = static_cast<uint16_t>(minute);
  return time;
}

TEST(LogLineTest, LinesCarryModeSuccessPathAndPaddedLocalTime) {
  EXPECT_EQ(FormatLogLine(1, true, "D:\\Backup\\QDWBackup26Dec06.qdw", At(2026, 12, 6, 9, 5)),
            "1,1,D:\\Backup\\QDWBackup26Dec06.qdw,2026/12/06 09:05");
  EXPECT_EQ(FormatLogLine(3, false, "", At(2027, 1, 31, 23, 59)), "3,0,,2027/01/31 23:59");
  EXPECT_EQ(FormatLogLine(1, false, "D:\\a,b.qdw", At(2026, 3, 4, 0, 0)),
            "1,0,D:\\a,b.qdw,2026/03/04 00:00");
}

TEST(LogLineTest, SplitCutsAtTheFirstThreeCommas) {
  LogFields fields = SplitLogLine("1,1,D:\\a,b.qdw,2026/03/04 00:00");
  EXPECT_EQ(fields.mode, "1");
  EXPECT_EQ(fields.success, "1");
  EXPECT_EQ(fields.archive_path, "D:\\a");
  EXPECT_EQ(fields.time, "b.qdw,2026/03/04 00:00");

  fields = SplitLogLine("3,0");
  EXPECT_EQ(fields.mode, "3");
  EXPECT_EQ(fields.success, "0");
  EXPECT_EQ(fields.archive_path, "");
  EXPECT_EQ(fields.time, "");

  fields = SplitLogLine("");
  EXPECT_EQ(fields.mode, "");
  EXPECT_EQ(fields.time, "");
}

TEST(LogLineTest, TwelveHourFormIsRightAtNoonAndMidnight) {
  EXPECT_EQ(TwelveHourForm("2026/12/06 00:05"), "12/06/2026 12:05AM");
  EXPECT_EQ(TwelveHourForm("2026/12/06 09:05"), "12/06/2026 9:05AM");
  EXPECT_EQ(TwelveHourForm("2026/12/06 11:59"), "12/06/2026 11:59AM");
  EXPECT_EQ(TwelveHourForm("2026/12/06 12:15"), "12/06/2026 12:15PM");
  EXPECT_EQ(TwelveHourForm("2026/12/06 13:40"), "12/06/2026 1:40PM");
  EXPECT_EQ(TwelveHourForm("2026/12/06 23:00"), "12/06/2026 11:00PM");
}

TEST(LogLineTest, TwelveHourFormLeavesOtherTextsAlone) {
  for (const char* text : {"", "b.qdw,2026/03/04 00:00", "2026/12/06 9:05", "2026-12-06 09:05",
                           "2026/12/06 25:00", "2026/12/06 09:05 extra"}) {
    EXPECT_EQ(TwelveHourForm(text), text);
  }
}

TEST(ResultMessagesTest, DefaultArchiveNameUsesTwoDigitYearMonthNameAndDay) {
  EXPECT_EQ(DefaultArchiveName(At(2026, 12, 6, 9, 5)), "QDWBackup26Dec06");
  EXPECT_EQ(DefaultArchiveName(At(2007, 1, 31, 0, 0)), "QDWBackup07Jan31");
  EXPECT_EQ(DefaultArchiveName(At(2100, 5, 9, 0, 0)), "QDWBackup00May09");
  EXPECT_EQ(DefaultArchiveName(At(2026, 13, 9, 0, 0)), "QDWBackup2609");
}

TEST(ResultMessagesTest, EveryCodeHasItsMessage) {
  const std::pair<int, int> table[] = {
      {0, 147},   {1, 126},   {2, 127},   {3, 0},     {4, 128},   {5, 129},
      {6, 130},   {7, 165},   {8, 147},   {9, 170},   {10, 131},  {11, 132},
      {100, 0},   {201, 126}, {202, 133}, {203, 134}, {204, 135}, {205, 136},
      {206, 137}, {207, 144}, {208, 152}, {209, 129}, {210, 108}, {211, 110},
      {212, 147}, {213, 161}, {214, 162}, {215, 176}, {301, 127}, {302, 111},
      {303, 112}, {304, 113}, {305, 114}, {307, 0},   {12, 0},    {-1, 0},
  };
  for (const auto& [code, message] : table) EXPECT_EQ(ResultMessage(code), message) << code;
}

}  // namespace
}  // namespace qdw::app

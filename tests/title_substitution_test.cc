#include "title_substitution.h"

#include <stdio.h>

#include <string>

#include <gtest/gtest.h>

#include "element_line.h"
#include "element_lines.h"

namespace {

LinePiece piece(const std::string &text, bool starts_line = true) {
  return LinePiece{text.data(), text.size(), starts_line};
}

// A magnitude file in memory, its first record loaded.
class Cursor : public ::testing::Test {
 protected:
  void load(const std::string &records) {
    magnitude_ = tmpfile();
    ASSERT_NE(nullptr, magnitude_);
    ASSERT_EQ(records.size(), fwrite(records.data(), 1, records.size(), magnitude_));
    rewind(magnitude_);
    next_magnitude_record(magnitude_);
  }
  void TearDown() override {
    if (magnitude_ != nullptr)
      fclose(magnitude_);
  }

  // The title the cursor gives line 1 of `number` after `held`, or "-" for
  // none, with the placement as a prefix: "after:" or "replaces:".
  std::string title_for(const std::string &line1, const std::string &held = "",
                        bool held_starts_line = true, bool starts_line = true) {
    char title[LINE_BUFFER_SIZE];
    size_t length = 0;
    TitlePlacement placement = substitute_title(
        piece(line1, starts_line), piece(held, held_starts_line), magnitude_, title, &length);
    if (placement == NO_TITLE)
      return "-";
    return (placement == TITLE_AFTER_HELD ? "after:" : "replaces:") + std::string(title, length);
  }

  FILE *magnitude_ = nullptr;
};

TEST_F(Cursor, MovesForwardAndStaysOnAMatchedRecord) {
  load("00005n FIVE\n00010n TEN\n00010n TEN AGAIN\n00020n TWENTY\n");
  EXPECT_EQ("-", title_for(element_line(1, "00001")));
  EXPECT_EQ("replaces:TEN\n", title_for(element_line(1, "00010")));
  EXPECT_EQ("replaces:TEN\n", title_for(element_line(1, "00010")));  // duplicate set
  EXPECT_EQ("-", title_for(element_line(1, "00015")));
  EXPECT_EQ("-", title_for(element_line(1, "00005")));  // left behind for good
  EXPECT_EQ("replaces:TWENTY\n", title_for(element_line(1, "00020")));
  EXPECT_EQ("-", title_for(element_line(1, "00030")));   // exhausted
  EXPECT_EQ("-", title_for(element_line(1, "00020")));
}

TEST_F(Cursor, OnlyAPassingLineOneMovesIt) {
  load("00005n FIVE\n00010n TEN\n");
  EXPECT_EQ("-", title_for(element_line(2, "00010")));
  EXPECT_EQ("-", title_for(element_line(1, "00010", "\n", true)));
  EXPECT_EQ("-", title_for(element_line(1, "00010"), "", true, false));  // a later piece
  EXPECT_EQ("replaces:FIVE\n", title_for(element_line(1, "00005")));
}

TEST_F(Cursor, PlacementFollowsTheHeldLine) {
  load("00010n TEN\n");
  const std::string line1 = element_line(1, "00010");
  EXPECT_EQ("after:TEN\n", title_for(line1, element_line(2, "00009")));
  EXPECT_EQ("replaces:TEN\n", title_for(line1, element_line(2, "00009", "\n", true)));
  EXPECT_EQ("replaces:TEN\n", title_for(line1, "OLD TITLE\n"));
  EXPECT_EQ("replaces:TEN\n", title_for(line1, element_line(1, "00010")));
  EXPECT_EQ("replaces:TEN\n", title_for(line1, ""));
  // The last piece of an over-long line stays, whatever it holds.
  EXPECT_EQ("after:TEN\n", title_for(line1, "end of a long line\n", false));
  EXPECT_EQ("after:TEN\n", title_for(line1, element_line(1, "00010"), false));
}

TEST_F(Cursor, TitleLineEndFollowsTheHeldLineWhenLineOneHasNone) {
  load("00010n TEN\n");
  const std::string line1 = element_line(1, "00010", "");
  EXPECT_EQ("replaces:TEN\r\n", title_for(line1, "OLD\r\n"));
  EXPECT_EQ("replaces:TEN\n", title_for(line1, "OLD\n"));
  EXPECT_EQ("replaces:TEN\n", title_for(line1, ""));
}

TEST_F(Cursor, RecordsThatSortBelowArePassedOver) {
  // A record beginning with NUL, a blank, '#', an empty line, a short record
  // and a number with blanks for zeros all sort below "00010".
  load(std::string("\0bad record\n", 12) + " header\n#comment\n\n\r\n0001\n   10n BLANKS\n00010n TEN\n");
  EXPECT_EQ("replaces:TEN\n", title_for(element_line(1, "00010")));
}

TEST_F(Cursor, AHeaderThatSortsAboveStopsItForGood) {
  load("NUMBER NAME\n00010n TEN\n");
  EXPECT_EQ("-", title_for(element_line(1, "00010")));
  EXPECT_EQ("-", title_for(element_line(1, "99999")));
}

TEST_F(Cursor, NumbersCompareAsUnsignedBytes) {
  load("0000An LETTER\n0000\xE9n HIGH\n");
  EXPECT_EQ("-", title_for(element_line(1, "00009")));
  EXPECT_EQ("replaces:LETTER\n", title_for(element_line(1, "0000A")));
  EXPECT_EQ("-", title_for(element_line(1, "0000z")));  // below byte 233
}

TEST_F(Cursor, EmptyMagnitudeFileNeverMatches) {
  load("");
  EXPECT_EQ("-", title_for(element_line(1, "00010")));
}

}  // namespace

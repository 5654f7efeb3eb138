#include "element_line.h"

#include <string.h>

#include <string>

#include <gtest/gtest.h>

namespace {

// 68 columns: `first`, a blank, a digit chosen so that the checksum of
// columns 0 to 67 ends in `sum_digit`, and a fixed text of digits, blanks,
// letters and signs other than minus.
std::string body_with_sum(char first, int sum_digit) {
  const std::string tail = "3456U 24001A   24001.50000000 +.00000000 +00000+0 +00000+0 0 ";
  int tail_sum = 0;
  for (char byte : tail)
    tail_sum += (byte >= '1' && byte <= '9') ? byte - '0' : 0;
  int column2 = ((sum_digit - (first - '0') - tail_sum) % 10 + 10) % 10;
  std::string body = std::string(1, first) + " " + static_cast<char>('0' + column2) + tail;
  body.resize(CHECKSUM_COLUMN, ' ');
  return body;
}

int classify(const std::string &line) {
  return classify_element_line(line.data(), line.size());
}

struct Case {
  const char *name;
  std::string line;
  int expected;
};

TEST(ClassifyElementLine, TableOfCases) {
  const std::string one = body_with_sum('1', 7);
  const std::string two = body_with_sum('2', 3);
  const Case cases[] = {
      {"line 1, LF", one + "7\n", 1},
      {"line 1, CR LF", one + "7\r\n", 1},
      {"line 1 ending the file", one + "7", 1},
      {"line 2", two + "3\n", 2},
      {"wrong check digit", one + "8\n", 0},
      {"trailing blank", one + "7 \n", 0},
      {"a 70th character", one + "7X\n", 0},
      {"TAB at column 69, text after it", one + "7\tremark\n", 1},
      {"byte 200 at column 69", one + "7\xC8more\n", 1},
      {"67 columns", one.substr(0, 67) + "\n", 0},
      {"68 columns then LF, sum ends in 2", body_with_sum('1', 2) + "\n", 1},
      {"68 columns then LF, sum ends in 7", one + "\n", 0},
      {"68 columns then CR LF, sum ends in 5", body_with_sum('1', 5) + "\r\n", 1},
      {"68 columns then CR LF, sum ends in 2", body_with_sum('1', 2) + "\r\n", 0},
      {"68 columns ending the file, sum ends in 2", body_with_sum('2', 2), 2},
      {"68 columns ending the file, sum ends in 5", body_with_sum('2', 5), 0},
      {"check character blank", body_with_sum('1', 4) + " \n", 1},
      {"check character 'A'", body_with_sum('1', 7) + "A\n", 1},
      {"check character byte 200", body_with_sum('1', 6) + "\xC8\n", 1},
      {"check character byte 200, unsigned sum", body_with_sum('1', 0) + "\xC8\n", 0},
      {"check character byte 255", body_with_sum('1', 1) + "\xFF\n", 1},
      {"check character NUL", body_with_sum('1', 2) + std::string(1, '\0') + "\n", 1},
      {"column 1 not a blank", "1X" + one.substr(2) + "7\n", 0},
      {"column 0 neither 1 nor 2", "3" + one.substr(1) + "7\n", 0},
      {"empty", "", 0},
      {"all-zero held line", std::string(LINE_BUFFER_SIZE, '\0'), 0},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.expected, classify(c.line)) << c.name;
}

TEST(ClassifyElementLine, ControlBytesInTheSummedColumnsFail) {
  const std::string valid = body_with_sum('1', 7) + "7\n";
  ASSERT_EQ(1, classify(valid));
  for (char control : {'\t', '\0', '\r', '\x80', '\xC8', '\xFF'}) {
    for (size_t column : {2, 30, 67}) {
      std::string line = valid;
      line[column] = control;
      EXPECT_EQ(0, classify(line)) << "byte " << (control & 0xFF) << " at " << column;
    }
  }
}

TEST(ClassifyElementLine, MinusCountsOneAndOtherSignsNothing) {
  std::string line = body_with_sum('1', 7) + "7\n";
  // Columns 64 to 67 of this body are blanks.
  line.replace(64, 4, "+.AZ");
  EXPECT_EQ(1, classify(line));
  line.replace(64, 4, "-- -");
  EXPECT_EQ(0, classify(line));
  line[68] = '0';  // 7 + 3 minus signs
  EXPECT_EQ(1, classify(line));
}

TEST(ClassifyElementLine, BytesBeyondTheReadAreNotLookedAt) {
  // A 68-column line at the end of the file is judged without the bytes an
  // earlier, longer line left in the buffer.
  const std::string body = body_with_sum('1', 2);
  char buffer[LINE_BUFFER_SIZE];
  for (char stale : {'7', ' ', 'X'}) {
    memset(buffer, stale, sizeof buffer);
    memcpy(buffer, body.data(), body.size());
    EXPECT_EQ(1, classify_element_line(buffer, body.size())) << stale;
  }
}

TEST(ClassifyElementLine, ResultIsTheDigitInColumnZero) {
  for (int digit = 0; digit < 10; digit++) {
    EXPECT_EQ(1, classify(body_with_sum('1', digit) + static_cast<char>('0' + digit) + "\n"));
    EXPECT_EQ(2, classify(body_with_sum('2', digit) + static_cast<char>('0' + digit) + "\n"));
  }
}

}  // namespace

#include "title_line.h"

#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "element_line.h"

namespace {

// Columns 0 to 68 of an element line 1; compose reads only what follows.
const std::string LINE1 =
    "1 25544U 98067A   24001.50000000  .00016717  00000-0  10270-3 0  9005";

// A field-form record from its parts, laid out column by column.
std::string field_record(const std::string &text15, const std::string &f33,
                         const std::string &f38, const std::string &f42,
                         const std::string &f46, const std::string &f50) {
  return "25544 " + std::string(12, '.') + text15 + f33 + "x" + f38 + f42 + f46 + f50;
}

// Composes into a title buffer that holds older text, as the held line does.
std::string compose(std::string record, const std::string &line1, bool crlf = false) {
  char record_buffer[LINE_BUFFER_SIZE] = {};
  memcpy(record_buffer, record.data(), record.size());
  char title[LINE_BUFFER_SIZE];
  memset(title, 'Z', sizeof title);
  size_t length = compose_title_line(record_buffer, line1.data(), line1.size(), crlf, title);
  return std::string(title, length);
}

struct Case {
  const char *name;
  std::string record;
  std::string line1;
  std::string title;
};

TEST(ComposeTitleLine, TableOfCases) {
  const std::string full = field_record("ISS (ZARYA)    ", "30.0", " 4.0", " 1.2", " 2.3", " 9.9");
  const Case cases[] = {
      {"field form", full + "\n", LINE1 + "\n",
       "ISS (ZARYA)      4.0  1.2  2.3 30.0    9.9\n"},
      {"field form, columns past 53 unused", full + "IGNORED\n", LINE1 + "\n",
       "ISS (ZARYA)      4.0  1.2  2.3 30.0    9.9\n"},
      {"field form, blank field between others stays",
       field_record("SL-16 R/B      ", "    ", " 4.0", "    ", " 2.3", "    ") + "\n", LINE1 + "\n",
       "SL-16 R/B        4.0       2.3"  "\n"},
      {"field form, short record", "25544 ............COSMOS 2251\n", LINE1 + "\n", "COSMOS 2251\n"},
      {"field form, record of the number alone", "25544\n", LINE1 + "\n", "\n"},
      {"'N' makes a field-form record", "25544N ISS (ZARYA)\n", LINE1 + "\n", "\n"},
      {"name form", "25544n ISS (ZARYA)\n", LINE1 + "\n", "ISS (ZARYA)\n"},
      {"name form, CR LF record, LF line 1", "25544n ISS (ZARYA)\r\n", LINE1 + "\n", "ISS (ZARYA)\n"},
      {"name form, CR LF line 1", "25544n ISS (ZARYA)\n", LINE1 + "\r\n", "ISS (ZARYA)\r\n"},
      {"name form, leading and inner blanks stay", "25544n   A  B   \n", LINE1 + "\n", "  A  B\n"},
      {"name form, column 6 unused", "25544nXISS\n", LINE1 + "\n", "ISS\n"},
      {"name form, text past column 48 cut", "25544n " + std::string(40, 'N') + "ABCDEFG\n",
       LINE1 + "\n", std::string(40, 'N') + "AB\n"},
      {"byte 128 or more ends the text", "25544n Caf\xE9 Sat\n", LINE1 + "\n", "Caf\n"},
      {"TAB ends the text", "25544n AB\tCD\n", LINE1 + "\n", "AB\n"},
      {"NUL ends the text", std::string("25544n AB\0CD\n", 13), LINE1 + "\n", "AB\n"},
      {"TAB at column 69 and text after it", "25544n ISS\n", LINE1 + "\tremark\r\n",
       "ISS\tremark\r\n"},
      {"control check character is the tail", "25544n ISS\n", LINE1.substr(0, 68) + "\r\n",
       "ISS\r\n"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(c.title, compose(c.record, c.line1)) << c.name;
}

TEST(ComposeTitleLine, TitleGetsALineEndWhenLineOneLendsNone) {
  const std::string record = "25544n ISS (ZARYA)\n";
  EXPECT_EQ("ISS (ZARYA)\n", compose(record, LINE1, false));
  EXPECT_EQ("ISS (ZARYA)\r\n", compose(record, LINE1, true));
  EXPECT_EQ("\n", compose("25544\n", LINE1, false));
  // The first piece of an over-long line 1: 119 bytes and no LF.
  const std::string piece = LINE1 + "\t" + std::string(MAX_LINE_PIECE - 70, 'r');
  ASSERT_EQ(MAX_LINE_PIECE, piece.size());
  EXPECT_EQ("ISS (ZARYA)\t" + std::string(MAX_LINE_PIECE - 70, 'r') + "\r\n",
            compose(record, piece, true));
  // A tail that has its LF needs nothing more, whatever the other line ends in.
  EXPECT_EQ("ISS (ZARYA)\n", compose(record, LINE1 + "\n", true));
}

TEST(ComposeTitleLine, BlankFillsTheRecordInPlaceAndComposesAgainAlike) {
  char record[LINE_BUFFER_SIZE] = "25544n ISS (ZARYA)\r\n";
  const std::string line1 = LINE1 + "\n";
  char first[LINE_BUFFER_SIZE], second[LINE_BUFFER_SIZE];
  size_t first_length = compose_title_line(record, line1.data(), line1.size(), false, first);
  EXPECT_EQ(std::string("25544n ISS (ZARYA)") + std::string(RECORD_WIDTH - 18, ' '),
            std::string(record, RECORD_WIDTH));
  EXPECT_EQ('\0', record[RECORD_WIDTH]);  // beyond the used columns: untouched
  size_t second_length = compose_title_line(record, line1.data(), line1.size(), false, second);
  EXPECT_EQ(std::string(first, first_length), std::string(second, second_length));
}

}  // namespace

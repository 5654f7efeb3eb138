#include "line_loop.h"

#include <stdio.h>

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "element_line.h"
#include "element_lines.h"
#include "title_substitution.h"

namespace {

// A file holding `bytes`, read from its start.
FILE *file_holding(const std::string &bytes) {
  FILE *file = tmpfile();
  if (file != nullptr) {
    (void)fwrite(bytes.data(), 1, bytes.size(), file);
    rewind(file);
  }
  return file;
}

std::string contents(FILE *file) {
  std::string bytes;
  rewind(file);
  for (int byte; (byte = getc(file)) != EOF;)
    bytes += static_cast<char>(byte);
  return bytes;
}

// The pieces a bounded line read of 119 bytes delivers, one read at a time.
std::vector<std::string> bounded_reads(const std::string &input) {
  std::vector<std::string> pieces;
  std::string piece;
  for (char byte : input) {
    piece += byte;
    if (byte == '\n' || piece.size() == MAX_LINE_PIECE) {
      pieces.push_back(piece);
      piece.clear();
    }
  }
  if (!piece.empty())
    pieces.push_back(piece);
  return pieces;
}

// The straightforward line loop: one bounded read a line, the held line
// written after the per-line step.
std::string straightforward_merge(const std::string &input, const std::string &records) {
  FILE *magnitude = file_holding(records);
  next_magnitude_record(magnitude);
  std::string output, held;
  bool held_starts_line = true;
  for (const std::string &current : bounded_reads(input)) {
    bool starts_line = held.empty() || held.back() == '\n';
    char title[LINE_BUFFER_SIZE];
    size_t title_length = 0;
    switch (substitute_title({current.data(), current.size(), starts_line},
                             {held.data(), held.size(), held_starts_line}, magnitude, title,
                             &title_length)) {
      case NO_TITLE:
        output += held;
        break;
      case TITLE_AFTER_HELD:
        output += held + std::string(title, title_length);
        break;
      case TITLE_REPLACES_HELD:
        output += std::string(title, title_length);
        break;
    }
    held = current;
    held_starts_line = starts_line;
  }
  fclose(magnitude);
  return output + held;
}

std::string block_merge(const std::string &input, const std::string &records,
                        size_t block_size) {
  FILE *in = file_holding(input);
  FILE *magnitude = file_holding(records);
  FILE *out = tmpfile();
  next_magnitude_record(magnitude);
  merge_pass(in, magnitude, out, block_size);
  std::string output = contents(out);
  fclose(in);
  fclose(magnitude);
  fclose(out);
  return output;
}

const char RECORDS[] = "00001n ONE\n00002n TWO\n00004 ............FOUR FIELDS 30.0  4.0\n";

// An element file of random sets for the numbers 00001 to 00005, with the
// hard places mixed in: long lines, long line 1s, NUL bytes, CR LF.
std::string random_element_file(std::mt19937 *random) {
  std::string file;
  auto chance = [&](int percent) { return static_cast<int>((*random)() % 100) < percent; };
  for (int number = 1; number <= 5; number++) {
    std::string id = "0000" + std::to_string(number);
    for (int set = (*random)() % 3; set > 0; set--) {
      const std::string end = chance(30) ? "\r\n" : "\n";
      if (chance(20))
        file += std::string(60 + (*random)() % 300, 'L') + end;
      else if (chance(60))
        file += "OLD TITLE " + id + end;
      if (chance(10))
        file += std::string("NUL\0BYTE", 8) + end;
      std::string line1 = element_line(1, id, end);
      if (chance(15))
        line1 = line1.substr(0, 69) + "\t" + std::string((*random)() % 120, 'r') + end;
      file += line1 + element_line(2, id, end);
    }
  }
  if (chance(50) && !file.empty())
    file.pop_back();  // no final line end, or a CR alone
  return file;
}

TEST(MergePass, MatchesTheStraightforwardLoopAtEveryBlockEdge) {
  std::mt19937 random(20261211);
  for (int trial = 0; trial < 40; trial++) {
    const std::string input = random_element_file(&random);
    const std::string expected = straightforward_merge(input, RECORDS);
    for (size_t block_size = MIN_INPUT_BLOCK_SIZE; block_size < MIN_INPUT_BLOCK_SIZE + 130;
         block_size++)
      ASSERT_EQ(expected, block_merge(input, RECORDS, block_size))
          << "trial " << trial << ", block size " << block_size;
    ASSERT_EQ(expected, block_merge(input, RECORDS, INPUT_BLOCK_SIZE)) << "trial " << trial;
  }
}

TEST(MergePass, WithoutAMatchTheOutputIsTheInput) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 20; trial++) {
    const std::string input = random_element_file(&random);
    EXPECT_EQ(input, block_merge(input, "", MIN_INPUT_BLOCK_SIZE));
    EXPECT_EQ(input, block_merge(input, "99999n NONE\n", INPUT_BLOCK_SIZE));
  }
}

TEST(MergePass, LongLinesReachTheOutputWholeWithTheTitleOnItsOwnLine) {
  const std::string long_line = std::string(300, 'x') + "\n";
  const std::string input = long_line + element_line(1, "00001") + element_line(2, "00001");
  EXPECT_EQ(long_line + "ONE\n" + element_line(1, "00001") + element_line(2, "00001"),
            block_merge(input, RECORDS, MIN_INPUT_BLOCK_SIZE));
}

TEST(MergePass, LargeFilesCrossManyBlocks) {
  // Titles all through the first half; in the second, the cursor runs off
  // the end of the records, and the rest is copied as it is.
  std::string input;
  for (const char *number : {"00001", "00009"})
    while (input.size() < (number[4] == '1' ? 3 : 6) * INPUT_BLOCK_SIZE)
      input += "OLD\n" + element_line(1, number) + element_line(2, number) +
               std::string(200, 'p') + "\n";
  std::string expected = straightforward_merge(input, RECORDS);
  for (size_t block_size : {MIN_INPUT_BLOCK_SIZE, size_t{4096}, INPUT_BLOCK_SIZE})
    EXPECT_EQ(expected, block_merge(input, RECORDS, block_size)) << block_size;
  EXPECT_NE(input, expected);
  EXPECT_EQ(input.substr(input.find("00009") - 6), expected.substr(expected.find("00009") - 6));
}

}  // namespace

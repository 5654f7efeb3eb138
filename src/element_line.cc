#include "element_line.h"

#include <stdint.h>
#include <string.h>

// The checksum runs over columns 0 to 67 of every line 1 the merge meets,
// so it works on eight columns at a time, each byte of a 64-bit word a lane.
// No lane carries into the next: every sum below stays under 256 a lane.
const uint64_t EACH_BYTE = 0x0101010101010101u;
const uint64_t HIGH_BITS = 0x80 * EACH_BYTE;
const uint64_t LOW_BITS = 0x7f * EACH_BYTE;

// Adds to `sums` the checksum share of each byte of `word` (the digits 1 to
// 9 their value, a minus sign 1, every other byte nothing) and marks in
// `controls` the bytes that are control bytes.
static void add_checksum_word(uint64_t word, uint64_t *sums, uint64_t *controls) {
  uint64_t low = word & LOW_BITS;
  // A lane's high bit is set when its byte is 128 or more, or its low seven
  // bits are below 32 (low + 0x60 stays below 0x80).
  *controls |= (word & HIGH_BITS) | (~(low + 0x60 * EACH_BYTE) & HIGH_BITS);
  // '1' to '9' are 0x31 to 0x39: low + 0x4f reaches 0x80 from 0x31 on, and
  // low + 0x46 stays below 0x80 up to 0x39.
  uint64_t digits = (low + 0x4f * EACH_BYTE) & ~(low + 0x46 * EACH_BYTE) & HIGH_BITS;
  // '-' is 0x2d: low ^ 0x2d is zero there, and only a zero lane stays
  // below 0x80 when 0x7f is added.
  uint64_t minus = ~((low ^ 0x2d * EACH_BYTE) + LOW_BITS) & HIGH_BITS;
  *sums += (word & (digits >> 7) * 0x0f) + (minus >> 7);
}

// Whether columns 0 to 67 are free of control bytes and their checksum
// agrees with the check character `check`, taken as a signed value.
static bool checksum_agrees(const char *line, signed char check) {
  uint64_t sums = 0;
  uint64_t controls = 0;
  const size_t whole_words = CHECKSUM_COLUMN / 8 * 8;  // columns 0 to 63
  for (size_t column = 0; column < whole_words; column += 8) {
    uint64_t word;
    memcpy(&word, line + column, sizeof word);
    add_checksum_word(word, &sums, &controls);
  }
  // Columns 64 to 67, with '0', which adds nothing, in the other lanes.
  static_assert(CHECKSUM_COLUMN - CHECKSUM_COLUMN / 8 * 8 == sizeof(uint32_t),
                "the last four summed columns make one 32-bit word");
  uint32_t last;
  memcpy(&last, line + whole_words, sizeof last);
  add_checksum_word(last | 0x30303030ull << 32, &sums, &controls);
  // Each lane holds at most 9 * 9; add them in pairs, then all four pairs.
  uint64_t pairs = (sums & 0x00ff00ff00ff00ffu) + (sums >> 8 & 0x00ff00ff00ff00ffu);
  int sum = static_cast<int>(pairs * 0x0001000100010001u >> 48);
  return controls == 0 && (sum + '0' - check) % 10 == 0;
}

int classify_element_line(const char *line, size_t length) {
  // A line shorter than 68 columns has its line end or its NUL among the
  // summed columns, which fails the check.
  if (length < CHECKSUM_COLUMN)
    return 0;
  if ((line[0] != '1' && line[0] != '2') || line[1] != ' ')
    return 0;
  if (length > END_COLUMN && !is_control_byte(line[END_COLUMN]))
    return 0;
  signed char check =
      length > CHECKSUM_COLUMN ? static_cast<signed char>(line[CHECKSUM_COLUMN]) : 0;
  if (!checksum_agrees(line, check))
    return 0;
  return line[0] - '0';
}

#include "element_line.h"

// The checksum's share of one byte: the digits 1 to 9 their value, a minus
// sign 1, everything else nothing.
static int checksum_value(char byte) {
  if (byte >= '1' && byte <= '9')
    return byte - '0';
  return byte == '-' ? 1 : 0;
}

// Whether columns 0 to 67 are free of control bytes and their checksum
// agrees with the check character `check`, taken as a signed value.
static bool checksum_agrees(const char *line, signed char check) {
  int sum = 0;
  bool control = false;
  // No early exit: a fixed-length loop over the columns vectorises.
  for (size_t column = 0; column < CHECKSUM_COLUMN; column++) {
    control |= is_control_byte(line[column]);
    sum += checksum_value(line[column]);
  }
  return !control && (sum + '0' - check) % 10 == 0;
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

// Judging element lines: is a line line 1 or line 2 of an element set in
// the two-line element format, by its layout and its modulo-10 checksum?

#ifndef NIMBRAL_ELEMENT_LINE_H_
#define NIMBRAL_ELEMENT_LINE_H_

#include <stddef.h>

// A line buffer holds one line as a bounded read delivers it: at most
// LINE_BUFFER_SIZE - 1 bytes, ending after the first LF if one comes first.
const size_t LINE_BUFFER_SIZE = 120;
const size_t MAX_LINE_PIECE = LINE_BUFFER_SIZE - 1;

// Columns of an element line, counted from 0.
const size_t CHECKSUM_COLUMN = 68;  // the check character
const size_t END_COLUMN = 69;       // must hold a control byte
const size_t CATALOGUE_COLUMN = 2;  // columns 2-6 of line 1
const size_t CATALOGUE_WIDTH = 5;

// A control byte is one below 32 as a signed 8-bit value: 0 to 31 and
// 128 to 255. NUL, TAB, CR and LF are control bytes.
inline bool is_control_byte(char byte) {
  return static_cast<signed char>(byte) < 32;
}

// Returns 1 for an element line 1, 2 for a line 2, 0 for anything else.
// `line` holds `length` bytes as read; columns at or beyond `length` read as
// NUL, so the result never depends on bytes an earlier read left behind.
int classify_element_line(const char *line, size_t length);

#endif  // NIMBRAL_ELEMENT_LINE_H_

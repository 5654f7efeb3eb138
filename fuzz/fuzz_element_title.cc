// Fuzzes the element-line check and title composition.
//
// Input: a line of up to 119 bytes, then a record. The check must give 0, 1
// or 2 and agree with the layout it demands; a line 1 must compose a title
// that fits its buffer, is its text and the tail of line 1, ends with LF,
// and comes out the same when composed again.

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "element_line.h"
#include "title_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1)
    return 0;
  size_t line_length = data[0] % LINE_BUFFER_SIZE;
  if (line_length > size - 1)
    line_length = size - 1;
  // Exactly the bytes read, so that a sanitizer sees any read beyond them.
  char *line = static_cast<char *>(malloc(line_length + 1));
  memcpy(line, data + 1, line_length);

  int kind = classify_element_line(line, line_length);
  if (kind < 0 || kind > 2)
    abort();
  if (kind != 0 && (line_length < CHECKSUM_COLUMN || line[0] != '0' + kind || line[1] != ' '))
    abort();

  if (kind == 1) {
    char record[LINE_BUFFER_SIZE] = {};
    size_t record_length = size - 1 - line_length;
    if (record_length > MAX_LINE_PIECE)
      record_length = MAX_LINE_PIECE;
    memcpy(record, data + 1 + line_length, record_length);
    char title[LINE_BUFFER_SIZE], again[LINE_BUFFER_SIZE];
    bool crlf = (data[0] & 0x80) != 0;
    size_t length = compose_title_line(record, line, line_length, crlf, title);
    if (length == 0 || length > MAX_LINE_PIECE || title[length - 1] != '\n')
      abort();
    // The title text: no control byte, no trailing blank, at most 42 columns;
    // then line 1 from its first control byte, and a line end if that lacks one.
    size_t text = 0;
    while (text < length && !is_control_byte(title[text]))
      text++;
    size_t tail = 0;
    while (tail < line_length && !is_control_byte(line[tail]))
      tail++;
    size_t copied = line_length - tail;
    if (text > TITLE_WIDTH || (text > 0 && title[text - 1] == ' ') ||
        memcmp(title + text, line + tail, copied) != 0)
      abort();
    const char *line_end = copied > 0 && line[line_length - 1] == '\n' ? "" : crlf ? "\r\n" : "\n";
    if (length != text + copied + strlen(line_end) ||
        memcmp(title + text + copied, line_end, strlen(line_end)) != 0)
      abort();
    if (compose_title_line(record, line, line_length, crlf, again) != length ||
        memcmp(title, again, length) != 0)
      abort();
  }
  free(line);
  return 0;
}

#include "title_line.h"

#include <string.h>

#include "element_line.h"

// Where a field-form record's columns go in the title.
struct FieldPlacement {
  size_t title_column;
  size_t record_column;
  size_t width;
};

const FieldPlacement FIELD_FORM[] = {
    {0, 18, 15}, {16, 38, 4}, {21, 42, 4}, {26, 46, 4}, {31, 33, 4}, {38, 50, 4},
};

const size_t NAME_TEXT_COLUMN = 7;

// Sets the record's first control byte within its used columns, and every
// column after it up to the last used one, to a blank.
static void blank_fill_record(char *record) {
  size_t column = 0;
  while (column < RECORD_WIDTH && !is_control_byte(record[column]))
    column++;
  memset(record + column, ' ', RECORD_WIDTH - column);
}

// Fills title columns 0 to 41 from a blank-filled record.
static void fill_title_columns(const char *record, char *title) {
  if (record[FORM_MARK_COLUMN] == NAME_FORM_MARK) {
    memcpy(title, record + NAME_TEXT_COLUMN, TITLE_WIDTH);
    return;
  }
  memset(title, ' ', TITLE_WIDTH);
  for (const FieldPlacement &field : FIELD_FORM)
    memcpy(title + field.title_column, record + field.record_column, field.width);
}

// The last record composed, as blank-filled, and the title text it gave.
// The element sets of one object follow one another, so the same record is
// composed again and again; comparing it is cheaper than composing it.
static char last_record[RECORD_WIDTH];
static char last_text[TITLE_WIDTH];
static size_t last_text_length;
static bool last_record_valid;

// Writes the title columns of a record, without trailing blanks, into
// `title`, and returns their count.
static size_t compose_title_text(char *record, char *title) {
  if (last_record_valid && memcmp(record, last_record, RECORD_WIDTH) == 0) {
    memcpy(title, last_text, last_text_length);
    return last_text_length;
  }
  blank_fill_record(record);
  fill_title_columns(record, title);
  size_t length = TITLE_WIDTH;
  while (length > 0 && title[length - 1] == ' ')
    length--;

  memcpy(last_record, record, RECORD_WIDTH);
  memcpy(last_text, title, length);
  last_text_length = length;
  last_record_valid = true;
  return length;
}

size_t compose_title_line(char *record, const char *line1, size_t line1_length,
                          bool crlf, char *title) {
  size_t length = compose_title_text(record, title);

  // Line 1 passed the element-line check, so its first control byte is at
  // column 68 or later and the tail fits the title buffer with room to spare.
  size_t tail = CHECKSUM_COLUMN;
  while (tail < line1_length && !is_control_byte(line1[tail]))
    tail++;
  memcpy(title + length, line1 + tail, line1_length - tail);
  length += line1_length - tail;

  if (length == 0 || title[length - 1] != '\n') {
    if (crlf)
      title[length++] = '\r';
    title[length++] = '\n';
  }
  return length;
}

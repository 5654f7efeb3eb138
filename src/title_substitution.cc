#include "title_substitution.h"

#include "element_line.h"
#include "title_line.h"

// The cursor: the current record as read, and whether the magnitude file
// has ended. Only the end of the file exhausts it; a record that begins
// with NUL sorts below every catalogue number and is passed over.
static char magnitude_record[LINE_BUFFER_SIZE];
static bool magnitude_exhausted = true;

void next_magnitude_record(FILE *magnitude) {
  magnitude_exhausted =
      fgets(magnitude_record, sizeof magnitude_record, magnitude) == nullptr;
}

bool titles_remain() {
  return !magnitude_exhausted;
}

// Compares the record's catalogue number with columns 2 to 6 of a line.
// A line 1 holds no control byte in its number, so a short record's line
// end or terminating NUL is the first byte to differ and sorts below:
// bytes past it decide nothing for a line 1.
static int compare_catalogue_number(const char *line1) {
  const unsigned char *record = reinterpret_cast<const unsigned char *>(magnitude_record);
  const unsigned char *number = reinterpret_cast<const unsigned char *>(line1 + CATALOGUE_COLUMN);
  // Five bytes: a loop the compiler inlines, where memcmp would be a call.
  for (size_t column = 0; column < CATALOGUE_WIDTH; column++)
    if (record[column] != number[column])
      return record[column] < number[column] ? -1 : 1;
  return 0;
}

// Whether a held line piece is an element line 2.
static bool is_line2(LinePiece held) {
  return held.starts_line && classify_element_line(held.text, held.length) == 2;
}

// Whether a line piece ends in CR LF.
static bool ends_in_crlf(LinePiece piece) {
  return piece.length >= 2 && piece.text[piece.length - 2] == '\r' &&
         piece.text[piece.length - 1] == '\n';
}

TitlePlacement substitute_title(LinePiece current, LinePiece held,
                                FILE *magnitude, char *title,
                                size_t *title_length) {
  // Most lines are no line 1, and a cheap look at the first column and the
  // length tells. A line 1 whose number sorts below the record's can neither
  // move the cursor nor match, so it is spared the checksum; for a line that
  // would fail the check the comparison decides nothing, as it gets no
  // title either way.
  if (!current.starts_line || magnitude_exhausted || current.length < CHECKSUM_COLUMN ||
      current.text[0] != '1' || compare_catalogue_number(current.text) > 0)
    return NO_TITLE;
  if (classify_element_line(current.text, current.length) != 1)
    return NO_TITLE;
  while (!magnitude_exhausted && compare_catalogue_number(current.text) < 0)
    next_magnitude_record(magnitude);
  if (magnitude_exhausted || compare_catalogue_number(current.text) != 0)
    return NO_TITLE;

  *title_length = compose_title_line(magnitude_record, current.text,
                                     current.length, ends_in_crlf(held), title);
  // The line 2 of the set before, and the rest of an over-long line, stay;
  // an old title, or any other line, gives way to the new title.
  if (is_line2(held) || !held.starts_line)
    return TITLE_AFTER_HELD;
  return TITLE_REPLACES_HELD;
}

// The merge: a cursor that walks the magnitude file in step with the element
// file, and the per-line step that gives every matched element set its title.
//
// Both files are read once, front to back, and are expected in ascending
// order of catalogue number, compared byte by byte as unsigned values.

#ifndef NIMBRAL_TITLE_SUBSTITUTION_H_
#define NIMBRAL_TITLE_SUBSTITUTION_H_

#include <stddef.h>
#include <stdio.h>

// One line of the element file as a bounded read of at most 119 bytes
// delivers it. A line longer than that arrives as several pieces; only the
// first of them starts a line.
struct LinePiece {
  const char *text;
  size_t length;
  bool starts_line;
};

// What the per-line step asks of the line loop.
enum TitlePlacement {
  NO_TITLE,             // write the held line as usual
  TITLE_AFTER_HELD,     // write the held line, then the title
  TITLE_REPLACES_HELD,  // write the title instead of the held line
};

// Loads the first magnitude record, and after that each next one.
void next_magnitude_record(FILE *magnitude);

// Whether a later line can still get a title: false once the cursor has
// run off the end of the magnitude file.
bool titles_remain();

// The per-line step, called for every line piece read (`current`) before the
// piece read before it (`held`) is written; at the start of the input `held`
// is empty. When `current` is an element line 1 whose catalogue number is
// the cursor's, the title is composed into `title` (a line buffer), its
// length stored in `*title_length`, and the placement returned.
TitlePlacement substitute_title(LinePiece current, LinePiece held,
                                FILE *magnitude, char *title,
                                size_t *title_length);

#endif  // NIMBRAL_TITLE_SUBSTITUTION_H_

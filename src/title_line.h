// Magnitude records and the title lines (line 0) built from them.
//
// A record is a line of the magnitude file, used over its first RECORD_WIDTH
// columns: columns 0-4 hold the catalogue number and column 5 the form mark.
// With 'n' there the record is in name form and columns 7-48 are the title
// text; otherwise it is in field form, and a 15-column text in columns 18-32
// and five four-column fields in columns 33-53 are arranged into the title:
//
//   title columns  0-14 <- record 18-32    title columns 26-29 <- record 46-49
//   title columns 16-19 <- record 38-41    title columns 31-34 <- record 33-36
//   title columns 21-24 <- record 42-45    title columns 38-41 <- record 50-53
//
// and every other title column is a blank.

#ifndef NIMBRAL_TITLE_LINE_H_
#define NIMBRAL_TITLE_LINE_H_

#include <stddef.h>

const size_t RECORD_WIDTH = 54;
const size_t TITLE_WIDTH = 42;
const size_t FORM_MARK_COLUMN = 5;
const char NAME_FORM_MARK = 'n';

// Writes into `title` (a line buffer) the title line that `record` gives the
// element line 1 `line1` of `line1_length` bytes, and returns its length.
//
// The record buffer is blank-filled in place from its first control byte up
// to column 53, so composing from it again gives the same title. The title
// is its title columns without trailing blanks, followed by line 1 from its
// first control byte on, normally just its line end. When that tail does
// not end with LF (a line 1 that ends the file without one, or the first
// piece of an over-long line 1) the title gets a line end of its own: CR LF
// if `crlf` is set, else LF, so it never runs into its line 1.
size_t compose_title_line(char *record, const char *line1, size_t line1_length,
                          bool crlf, char *title);

#endif  // NIMBRAL_TITLE_LINE_H_

// The straightforward line loop, for the benchmark to measure against and to
// check the output of: one bounded line read and one write per line, over
// default stream buffers, with the same per-line step as nimbral.
//
//   nimbral_straightforward input-file output-file magnitude-file

#include <stdio.h>

#include "element_line.h"
#include "title_substitution.h"

// Reads one line of at most MAX_LINE_PIECE bytes, ending after LF; returns
// its length, 0 at the end of the file.
static size_t read_line(FILE *input, char *line) {
  size_t length = 0;
  int byte;
  while (length < MAX_LINE_PIECE && (byte = getc(input)) != EOF) {
    line[length++] = static_cast<char>(byte);
    if (byte == '\n')
      break;
  }
  return length;
}

int main(int argc, char **argv) {
  if (argc < 4)
    return 2;
  FILE *input = fopen(argv[1], "rb");
  FILE *magnitude = fopen(argv[3], "rb");
  FILE *output = fopen(argv[2], "wb");
  if (input == nullptr || magnitude == nullptr || output == nullptr)
    return 2;
  next_magnitude_record(magnitude);

  char lines[2][LINE_BUFFER_SIZE];
  char title[LINE_BUFFER_SIZE];
  char *held = lines[0], *current = lines[1];
  size_t held_length = 0, title_length = 0;
  bool held_starts_line = true;
  for (size_t length; (length = read_line(input, current)) > 0;) {
    bool starts_line = held_length == 0 || held[held_length - 1] == '\n';
    TitlePlacement placement = substitute_title({current, length, starts_line},
                                                {held, held_length, held_starts_line},
                                                magnitude, title, &title_length);
    if (placement != TITLE_REPLACES_HELD)
      (void)fwrite(held, 1, held_length, output);
    if (placement != NO_TITLE)
      (void)fwrite(title, 1, title_length, output);
    char *swap = held;
    held = current;
    current = swap;
    held_length = length;
    held_starts_line = starts_line;
  }
  (void)fwrite(held, 1, held_length, output);
  return fclose(output) == 0 && !ferror(input) ? 0 : 1;
}

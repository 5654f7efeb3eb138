// nimbral: copies a two-line element file and gives every element set whose
// catalogue number has a record in a magnitude file a title line built from
// that record.
//
//   nimbral input-file output-file [magnitude-file]

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include "line_loop.h"
#include "title_substitution.h"

const char DEFAULT_MAGNITUDE_FILE[] = "skyglint.mag";
const int FAILURE = -1;

// Ends the run with the two usage lines.
static void usage() {
  printf("NIMBRAL needs as command-line arguments the name of the\n");
  printf("input and output .TLEs.\n");
  exit(FAILURE);
}

// Opens a file or ends the run naming it. A directory opens for reading on
// some systems but cannot be read; it is refused like a missing file.
static FILE *open_or_exit(const char *name, const char *mode) {
  FILE *stream = fopen(name, mode);
  struct stat status;
  if (stream != nullptr && fstat(fileno(stream), &status) == 0 &&
      !S_ISDIR(status.st_mode))
    return stream;
  printf("%s not opened\n", name);
  exit(FAILURE);
}

// Whether an open stream is the file `status` describes.
static bool is_same_file(FILE *stream, const struct stat &status) {
  struct stat open_status;
  return fstat(fileno(stream), &open_status) == 0 &&
         open_status.st_dev == status.st_dev && open_status.st_ino == status.st_ino;
}

// Ends the run if opening the output would empty one of the files read.
static void refuse_output_that_is_input(const char *name, FILE *input,
                                        FILE *magnitude) {
  struct stat status;
  if (stat(name, &status) != 0 || !S_ISREG(status.st_mode))
    return;
  if (is_same_file(input, status) || is_same_file(magnitude, status)) {
    printf("%s not opened: it is also an input file\n", name);
    exit(FAILURE);
  }
}

int main(int argc, char **argv) {
  const char *magnitude_name = argc > 3 ? argv[3] : DEFAULT_MAGNITUDE_FILE;
  if (argc < 3)
    usage();
  const char *input_name = argv[1];
  const char *output_name = argv[2];

  FILE *input = open_or_exit(input_name, "rb");
  FILE *magnitude = open_or_exit(magnitude_name, "rb");
  refuse_output_that_is_input(output_name, input, magnitude);
  FILE *output = open_or_exit(output_name, "wb");
  // The line loop reads and writes in large blocks of its own.
  (void)setvbuf(input, nullptr, _IONBF, 0);
  (void)setvbuf(output, nullptr, _IONBF, 0);

  next_magnitude_record(magnitude);
  merge_pass(input, magnitude, output);

  bool input_read = !ferror(input);
  bool magnitude_read = !ferror(magnitude);
  bool output_written = !ferror(output);
  (void)fclose(input);
  output_written = fclose(output) == 0 && output_written;
  int status = fclose(magnitude) == 0 ? 0 : FAILURE;

  if (!input_read)
    printf("%s not read\n", input_name);
  if (!magnitude_read)
    printf("%s not read\n", magnitude_name);
  if (!output_written)
    printf("%s not written\n", output_name);
  if (!input_read || !magnitude_read || !output_written)
    status = FAILURE;
  return status;
}

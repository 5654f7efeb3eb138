// Fuzzes the whole merge on in-memory streams.
//
// Input: one byte choosing the block size, two bytes giving the length of
// the magnitude file, the magnitude file, then the element file. Checks that
// nothing crashes, that without a record the output is the input byte for
// byte, and that every input line that no title can replace reaches the
// output, in order.

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "element_line.h"
#include "line_loop.h"
#include "title_substitution.h"

// A stream reading `size` bytes at `data`; fmemopen refuses an empty buffer.
static FILE *read_stream(const uint8_t *data, size_t size) {
  if (size == 0)
    return fopen("/dev/null", "rb");
  return fmemopen(const_cast<uint8_t *>(data), size, "rb");
}

static std::string merge(const uint8_t *elements, size_t elements_size,
                         const uint8_t *records, size_t records_size, size_t block_size) {
  FILE *input = read_stream(elements, elements_size);
  FILE *magnitude = read_stream(records, records_size);
  char *output_bytes = nullptr;
  size_t output_size = 0;
  FILE *output = open_memstream(&output_bytes, &output_size);
  if (input == nullptr || magnitude == nullptr || output == nullptr)
    abort();
  next_magnitude_record(magnitude);
  merge_pass(input, magnitude, output, block_size);
  fclose(input);
  fclose(magnitude);
  fclose(output);
  std::string result(output_bytes, output_size);
  free(output_bytes);
  return result;
}

// The lines of a text, each with its LF; the last may lack one.
static std::vector<std::string> lines_of(const std::string &text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t lf = text.find('\n', start);
    size_t end = lf == std::string::npos ? text.size() : lf + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

// Whether a title may take the place of `line`: a line read whole by one
// read, before a line that may be a line 1.
static bool may_be_replaced(const std::vector<std::string> &lines, size_t index) {
  return lines[index].size() <= MAX_LINE_PIECE && index + 1 < lines.size() &&
         lines[index + 1].compare(0, 2, "1 ") == 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 3)
    return 0;
  size_t block_size = MIN_INPUT_BLOCK_SIZE + data[0];
  size_t records_size = (data[1] | data[2] << 8) % (size - 2);
  const uint8_t *records = data + 3;
  const uint8_t *elements = records + records_size;
  size_t elements_size = size - 3 - records_size;
  std::string input(reinterpret_cast<const char *>(elements), elements_size);

  if (merge(elements, elements_size, nullptr, 0, block_size) != input)
    abort();

  std::vector<std::string> in = lines_of(input);
  std::vector<std::string> out =
      lines_of(merge(elements, elements_size, records, records_size, block_size));
  size_t found = 0;
  for (size_t index = 0; index < in.size(); index++) {
    if (may_be_replaced(in, index))
      continue;
    while (found < out.size() && out[found] != in[index])
      found++;
    if (found == out.size())
      abort();
    found++;
  }
  return 0;
}

#include "line_loop.h"

#include <string.h>

#include "element_line.h"
#include "title_substitution.h"

static char input_block[INPUT_BLOCK_SIZE];
static char output_block[OUTPUT_BLOCK_SIZE];
static size_t output_fill;

// Runs at least this long skip the output block and go out directly.
const size_t DIRECT_WRITE_SIZE = 64 << 10;

// The input block. Bytes [0, filled) have been read, pieces have been cut
// up to `next`, the held piece starts at `held_start`, and bytes from `run`
// up to there are unchanged input that has yet to be written.
struct InputBlock {
  FILE *stream;
  size_t size;
  size_t filled;
  size_t next;
  size_t held_start;
  size_t run;
  bool at_end;
};

// Writes what the output block holds. A failure stays on the stream's error
// indicator, which the caller reads.
static void flush_output(FILE *output) {
  if (output_fill > 0)
    (void)fwrite(output_block, 1, output_fill, output);
  output_fill = 0;
}

// Writes bytes through the output block, or directly if they are many.
static void write_output(FILE *output, const char *bytes, size_t length) {
  if (length > OUTPUT_BLOCK_SIZE - output_fill || length >= DIRECT_WRITE_SIZE)
    flush_output(output);
  if (length >= DIRECT_WRITE_SIZE) {
    (void)fwrite(bytes, 1, length, output);
    return;
  }
  memcpy(output_block + output_fill, bytes, length);
  output_fill += length;
}

// Writes the unchanged input from the run's start up to `end`.
static void write_run(InputBlock *block, size_t end, FILE *output) {
  if (end > block->run)
    write_output(output, input_block + block->run, end - block->run);
  block->run = end;
}

// Once no line can get a title, the rest of the input is the rest of the
// output: copies it in whole blocks, with no more cutting into pieces.
static void copy_rest(InputBlock *block, FILE *output) {
  write_run(block, block->filled, output);
  flush_output(output);
  size_t got;
  while ((got = fread(input_block, 1, block->size, block->stream)) > 0)
    (void)fwrite(input_block, 1, got, output);
  *block = InputBlock{block->stream, block->size, 0, 0, 0, 0, true};
}

// Reads more input behind what is still needed: the held piece, which a
// title may yet replace, and the bytes not yet cut into pieces. Everything
// before the held piece is written first.
static void refill(InputBlock *block, FILE *output) {
  if (!titles_remain()) {
    copy_rest(block, output);
    return;
  }
  write_run(block, block->held_start, output);
  size_t keep = block->held_start;
  memmove(input_block, input_block + keep, block->filled - keep);
  block->filled -= keep;
  block->next -= keep;
  block->held_start = 0;
  block->run = 0;

  size_t wanted = block->size - block->filled;
  size_t got = fread(input_block + block->filled, 1, wanted, block->stream);
  block->filled += got;
  // A short read is the end of the file or a read error; either ends input.
  block->at_end = got < wanted;
}

// Cuts the next piece as a bounded line read would deliver it: up to and
// including the next LF, or MAX_LINE_PIECE bytes, or what is left at the end
// of the input. Returns its length; 0 at the end of the input.
static size_t cut_piece(InputBlock *block, FILE *output) {
  for (;;) {
    size_t available = block->filled - block->next;
    size_t limit = available < MAX_LINE_PIECE ? available : MAX_LINE_PIECE;
    const char *start = input_block + block->next;
    const char *lf = static_cast<const char *>(memchr(start, '\n', limit));
    if (lf != nullptr)
      return static_cast<size_t>(lf - start) + 1;
    if (available >= MAX_LINE_PIECE || block->at_end)
      return limit;
    refill(block, output);
  }
}

void merge_pass(FILE *input, FILE *magnitude, FILE *output, size_t block_size) {
  if (block_size < MIN_INPUT_BLOCK_SIZE)
    block_size = MIN_INPUT_BLOCK_SIZE;
  if (block_size > INPUT_BLOCK_SIZE)
    block_size = INPUT_BLOCK_SIZE;
  InputBlock block = {input, block_size, 0, 0, 0, 0, false};
  output_fill = 0;

  // The held piece is empty at the start; the first piece starts a line.
  size_t held_length = 0;
  bool held_starts_line = true;
  char title[LINE_BUFFER_SIZE];
  size_t title_length = 0;

  for (;;) {
    size_t length = cut_piece(&block, output);
    if (length == 0)
      break;
    LinePiece held = {input_block + block.held_start, held_length, held_starts_line};
    LinePiece current = {input_block + block.next, length,
                         held_length == 0 || held.text[held_length - 1] == '\n'};

    switch (substitute_title(current, held, magnitude, title, &title_length)) {
      case NO_TITLE:
        break;
      case TITLE_AFTER_HELD:
        write_run(&block, block.next, output);
        write_output(output, title, title_length);
        break;
      case TITLE_REPLACES_HELD:
        write_run(&block, block.held_start, output);
        write_output(output, title, title_length);
        block.run = block.next;
        break;
    }
    block.held_start = block.next;
    block.next += length;
    held_length = length;
    held_starts_line = current.starts_line;
  }
  write_run(&block, block.next, output);
  flush_output(output);
}

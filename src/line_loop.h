// The line loop: copies the element file to the output with a delay of one
// line, handing every line to the per-line step of the merge first.
//
// The input is read in large blocks and cut into the pieces a bounded line
// read of 119 bytes would deliver; runs of unchanged lines are written
// straight from the block, so the loop costs little more than a plain copy.

#ifndef NIMBRAL_LINE_LOOP_H_
#define NIMBRAL_LINE_LOOP_H_

#include <stddef.h>
#include <stdio.h>

const size_t INPUT_BLOCK_SIZE = 1 << 20;
const size_t OUTPUT_BLOCK_SIZE = 1 << 20;
// A block must hold the held line, the unread rest of a line, and more.
const size_t MIN_INPUT_BLOCK_SIZE = 256;

// Copies `input` to `output`, giving every matched element set its title.
// The first magnitude record must already be loaded. Read and write errors
// are left on the streams' error indicators for the caller to report.
// `block_size` (MIN_INPUT_BLOCK_SIZE to INPUT_BLOCK_SIZE) is how much is
// read at a time; tests use small ones to put line ends at block edges.
void merge_pass(FILE *input, FILE *magnitude, FILE *output,
                size_t block_size = INPUT_BLOCK_SIZE);

#endif  // NIMBRAL_LINE_LOOP_H_

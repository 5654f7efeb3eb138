// Element lines for tests, with correct checksums.

#ifndef NIMBRAL_TESTS_ELEMENT_LINES_H_
#define NIMBRAL_TESTS_ELEMENT_LINES_H_

#include <string>

// An element line `kind` (1 or 2) for catalogue number `number` (five
// columns), 69 columns and `line_end`, with its check digit; `wrong` gives
// it a check digit one off.
inline std::string element_line(int kind, const std::string &number,
                                const std::string &line_end = "\n", bool wrong = false) {
  std::string body = std::to_string(kind) + " " + number;
  body += kind == 1 ? "U 24001A   24001.50000000 -.00016717  00000-0  10270-3 0  900"
                    : " 51.6416 247.4627 0006703 130.5360 325.0288 15.5000000042  ";
  body.resize(68, ' ');
  int sum = 0;
  for (char byte : body)
    sum += byte == '-' ? 1 : (byte >= '1' && byte <= '9') ? byte - '0' : 0;
  return body + static_cast<char>('0' + (sum + (wrong ? 1 : 0)) % 10) + line_end;
}

#endif  // NIMBRAL_TESTS_ELEMENT_LINES_H_

// Preloaded by the end-to-end tests: fclose reports failure for the stream
// of the file that NIMBRAL_FAIL_CLOSE names (an absolute, resolved path),
// after closing it, so a test can see what the tool makes of a failed close.

#include <dlfcn.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

// Whether the stream is open on the file that the test named.
static bool is_target(FILE *stream) {
  const char *target = getenv("NIMBRAL_FAIL_CLOSE");
  if (target == nullptr)
    return false;
  char link[64];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fileno(stream));
  char path[PATH_MAX];
  ssize_t length = readlink(link, path, sizeof path - 1);
  if (length <= 0)
    return false;
  path[length] = '\0';
  return strcmp(path, target) == 0;
}

extern "C" int fclose(FILE *stream) {
  using Fclose = int (*)(FILE *);
  static Fclose real_fclose = reinterpret_cast<Fclose>(dlsym(RTLD_NEXT, "fclose"));
  bool fail = is_target(stream);
  int result = real_fclose(stream);
  return fail ? EOF : result;
}

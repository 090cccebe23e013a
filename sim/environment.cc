// The stand-in DLL's ties to its process: its settings come from METAL_SIM,
// its events go to the file METAL_SIM_LOG names.
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

#include "stand_in.h"

const char* sim_settings() { return getenv("METAL_SIM"); }

void sim_log(const char* format, ...) {
  const char* path = getenv("METAL_SIM_LOG");
  if (path == nullptr || *path == '\0') return;
  // Opened per line, so that lines another process appends between ours
  // (a test driver recording what it saw, or the tool's own output when
  // the log is standard output) stay in order. Binary mode keeps Windows
  // from writing carriage returns.
  FILE* log = fopen(path, "ab");
  if (log == nullptr) return;
  va_list args;
  va_start(args, format);
  vfprintf(log, format, args);
  va_end(args);
  fputc('\n', log);
  fclose(log);
}

// Formatting on Windows. This uses the system C runtime's own _vsnprintf
// (crtdll.dll's in the 32-bit build): old systems have no C99 vsnprintf, and
// mingw-w64's replacement would add its own printf and imports they lack.
#include <stdio.h>

#include "platform/platform.h"

namespace platform {

void format_text(char* buffer, std::size_t size, const char* format,
                 std::va_list args) {
  // _vsnprintf writes no terminating zero when the text fills the count, so
  // it gets one byte less than the buffer and the last byte is ours.
  ::_vsnprintf(buffer, size - 1, format, args);
  buffer[size - 1] = '\0';
}

}  // namespace platform

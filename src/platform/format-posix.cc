#include <stdio.h>

#include "platform/platform.h"

namespace platform {

void format_text(char* buffer, std::size_t size, const char* format,
                 std::va_list args) {
  // C99 vsnprintf cuts and terminates by itself.
  ::vsnprintf(buffer, size, format, args);
}

}  // namespace platform

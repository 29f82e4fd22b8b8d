#include "console/console_text.hpp"

#include <cstring>

std::size_t console_text(char* text, std::size_t count, bool* ended) {
  if (const void* z = std::memchr(text, '\x1a', count)) {
    *ended = true;
    return static_cast<std::size_t>(static_cast<const char*>(z) - text);
  }
  if (count >= 2 && text[count - 2] == '\r' && text[count - 1] == '\n') {
    text[count - 2] = '\n';
    return count - 1;
  }
  return count;
}

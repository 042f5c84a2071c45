#include "base/utf8.h"

namespace kastel {

void AppendUtf8(std::string& out, char32_t c) {
  char bytes[4];
  out.append(bytes, PutUtf8(bytes, c));
}

}  // namespace kastel

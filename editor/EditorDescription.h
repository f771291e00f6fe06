// The editor window's complete stored description (the form text with the
// skin's pictures as payloads), made at build time by trv4-skin
// --form-source and compiled into the binary. Any thread; constant data.
#pragma once

#include <string_view>

namespace trv4 {

std::string_view EditorDescription();

}  // namespace trv4

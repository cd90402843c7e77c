// UTF-8 <-> wide conversions: the layer speaks wide strings to the game and UTF-8 to SDL and the file system.
#pragma once
#include <string>

namespace platform {

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

}  // namespace platform

#pragma once

#include <string>
#include <vector>

namespace snd {

// 16-bit PCM at kRate; one entry of channels per channel, all the same length.
// Throws std::runtime_error when the file cannot be written.
void WriteWav(const std::string& path, const std::vector<const std::vector<float>*>& channels);

}  // namespace snd

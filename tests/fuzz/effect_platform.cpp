// The one layer call the effect compiler makes that needs no display: the name of a flattened constant buffer,
// which only ever reaches the GLSL text the fuzzer never runs.
#include <d3d11_layer.h>

namespace platform::d3d11 {

std::string FlattenedBufferName(uint32_t slot) { return "fx_cbuffer_" + std::to_string(slot); }

}  // namespace platform::d3d11

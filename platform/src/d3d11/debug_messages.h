// What Direct3D's debug layer says about the calls the layer rejects or ignores, written with OutputDebugString
// in the debug layer's own form. Only a device created with D3D11_CREATE_DEVICE_DEBUG owns a reporter.
#pragma once
#include <string_view>

namespace platform {

enum class MessageCategory { StateCreation, StateSetting, ResourceManipulation, Execution };
enum class MessageSeverity { Error, Warning };

// A D3D11_MESSAGE_ID with its category and severity. Id 0 (D3D11_MESSAGE_ID_UNKNOWN) marks a message whose number
// is not known here, or what only this layer refuses.
struct MessageKind {
    MessageCategory category;
    MessageSeverity severity;
    unsigned id;
    const char* name;
};

namespace messages {

constexpr MessageKind Error(MessageCategory category, unsigned id, const char* name) {
    return {category, MessageSeverity::Error, id, name};
}
constexpr MessageKind Warning(MessageCategory category, unsigned id, const char* name) {
    return {category, MessageSeverity::Warning, id, name};
}

constexpr MessageCategory kCreation = MessageCategory::StateCreation;
constexpr MessageKind kCreateBufferInvalidArg = Error(kCreation, 69, "CREATEBUFFER_INVALIDARG_RETURN");
constexpr MessageKind kCreateTexture1DInvalidArg = Error(kCreation, 87, "CREATETEXTURE1D_INVALIDARG_RETURN");
constexpr MessageKind kCreateTexture2DInvalidArg = Error(kCreation, 104, "CREATETEXTURE2D_INVALIDARG_RETURN");
constexpr MessageKind kCreateShaderResourceViewInvalidArg =
    Error(kCreation, 131, "CREATESHADERRESOURCEVIEW_INVALIDARG_RETURN");
constexpr MessageKind kCreateRenderTargetViewInvalidArg =
    Error(kCreation, 0, "CREATERENDERTARGETVIEW_INVALIDARG_RETURN");
constexpr MessageKind kCreateDepthStencilViewInvalidArg =
    Error(kCreation, 0, "CREATEDEPTHSTENCILVIEW_INVALIDARG_RETURN");
constexpr MessageKind kCreateInputLayoutInvalidArg = Error(kCreation, 0, "CREATEINPUTLAYOUT_INVALIDARG_RETURN");
constexpr MessageKind kCreateShaderInvalidArg = Error(kCreation, 0, "CREATESHADER_INVALIDARG_RETURN");
constexpr MessageKind kCreateStateInvalidDesc = Error(kCreation, 0, "CREATESTATE_INVALIDDESC");
constexpr MessageKind kCreateUnsupported = Error(kCreation, 0, "CREATE_UNSUPPORTED_BY_LAYER");

constexpr MessageCategory kExecution = MessageCategory::Execution;
constexpr MessageKind kDrawVertexShaderNotSet = Error(kExecution, 341, "DEVICE_DRAW_VERTEX_SHADER_NOT_SET");
constexpr MessageKind kDrawVertexBufferNotSet = Warning(kExecution, 348, "DEVICE_DRAW_VERTEX_BUFFER_NOT_SET");
constexpr MessageKind kDrawInputLayoutNotSet = Warning(kExecution, 349, "DEVICE_DRAW_INPUTLAYOUT_NOT_SET");
constexpr MessageKind kDrawIndexBufferNotSet = Error(kExecution, 357, "DEVICE_DRAW_INDEX_BUFFER_NOT_SET");
constexpr MessageKind kDrawIndexBufferFormatInvalid = Error(kExecution, 0, "DEVICE_DRAW_INDEX_BUFFER_FORMAT_INVALID");
constexpr MessageKind kDrawTopologyUndefined = Error(kExecution, 0, "DEVICE_DRAW_PRIMITIVETOPOLOGY_UNDEFINED");
constexpr MessageKind kDrawShaderLinkage = Error(kExecution, 0, "DEVICE_SHADER_LINKAGE_FAILED");

constexpr MessageCategory kResources = MessageCategory::ResourceManipulation;
constexpr MessageKind kMapInvalidMapType = Error(kResources, 2097210, "RESOURCE_MAP_INVALIDMAPTYPE");
constexpr MessageKind kMapInvalidSubresource = Error(kResources, 2097211, "RESOURCE_MAP_INVALIDSUBRESOURCE");
constexpr MessageKind kMapAlreadyMapped = Error(kResources, 2097213, "RESOURCE_MAP_ALREADYMAPPED");
constexpr MessageKind kMapInvalidArg = Error(kResources, 0, "RESOURCE_MAP_INVALIDARG_RETURN");
constexpr MessageKind kUnmapNotMapped = Error(kResources, 0, "RESOURCE_UNMAP_NOTMAPPED");
constexpr MessageKind kUpdateSubresourceInvalid = Error(kResources, 0, "UPDATESUBRESOURCE_INVALIDARG");
constexpr MessageKind kCopyResourceInvalid = Error(kResources, 0, "COPYRESOURCE_INVALIDARG");
constexpr MessageKind kResolveSubresourceInvalid = Error(kResources, 0, "RESOLVESUBRESOURCE_INVALIDARG");

constexpr MessageCategory kSetting = MessageCategory::StateSetting;
constexpr MessageKind kTooManyViewports = Error(kSetting, 0, "DEVICE_RSSETVIEWPORTS_TOO_MANY_VIEWPORTS");
constexpr MessageKind kTooManyScissors = Error(kSetting, 0, "DEVICE_RSSETSCISSORRECTS_TOO_MANY_SCISSORS");

}  // namespace messages

// Writes "D3D11 ERROR: <method>: <text> [ <CATEGORY> ERROR #<id>: <NAME> ]" and a line break.
void WriteDebugMessage(const char* method, std::string_view text, const MessageKind& kind);

}  // namespace platform

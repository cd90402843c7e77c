// COM's identity and reference-counting base, as far as the game and the layer use it.
#pragma once
#include <cstdint>
#include <cstring>
#include "winerror.h"

typedef uint32_t ULONG;

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
typedef GUID IID;
typedef const GUID& REFIID;
typedef const GUID& REFGUID;

inline bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }
inline bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }

// __uuidof(Interface) resolves through a specialisation made by PLATFORM_DECLARE_UUID.
template <class T>
struct PlatformUuid;
#define __uuidof(T) (PlatformUuid<T>::value())
#define PLATFORM_DECLARE_UUID(T, d1, d2, d3, b0, b1, b2, b3, b4, b5, b6, b7)       \
    struct T;                                                                      \
    template <>                                                                    \
    struct PlatformUuid<T> {                                                       \
        static const GUID& value() {                                               \
            static const GUID id = {d1, d2, d3, {b0, b1, b2, b3, b4, b5, b6, b7}}; \
            return id;                                                             \
        }                                                                          \
    };

PLATFORM_DECLARE_UUID(IUnknown, 0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

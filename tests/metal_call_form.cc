// Compiled for 32-bit x86, where calling conventions differ: the tool's
// calls into metal.dll must be cdecl, the library's own form.
#include <type_traits>

#include "metal/metal.h"

#define CDECL __attribute__((cdecl))

static_assert(
    std::is_same<MetalOpenFunction,
                 std::int32_t(CDECL*)(std::uint32_t, MetalInterface**)>::value,
    "mtlOpen is called cdecl");
static_assert(std::is_same<MetalCloseFunction,
                           std::int32_t(CDECL*)(MetalInterface*)>::value,
              "the close entry is called cdecl");
static_assert(std::is_same<MetalQueryFunction,
                           std::int32_t(CDECL*)(MetalInterface*, std::uint32_t,
                                                std::uint32_t*)>::value,
              "the query entry is called cdecl");

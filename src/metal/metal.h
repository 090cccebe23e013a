// The boundary to S3's MeTaL library "metal.dll": its file name, its one
// exported entry, the interface object as far as we rely on it, and the
// calls we make through the interface's function table.
#pragma once

#include <cstdint>

// Every call into the library is cdecl: arguments pushed right to left, one
// 32-bit word each, popped by the caller. 64-bit targets have one calling
// convention only, and GCC warns about the attribute there.
#if defined(__i386__)
#define METAL_CALL __attribute__((cdecl))
#else
#define METAL_CALL
#endif

constexpr const char METAL_LIBRARY_NAME[] = "metal.dll";
constexpr const char METAL_ENTRY_NAME[] = "mtlOpen";

// The function table is an array of at least 36 function pointers; only two
// of them are ours to call. Their numbers bind, not their byte offsets.
constexpr std::uint32_t ENTRY_CLOSE = 0;
constexpr std::uint32_t ENTRY_QUERY = 35;

// Query keys; each delivers one unsigned 32-bit word.
constexpr std::uint32_t KEY_DEVICE_ID = 0x10A;          // PCI device ID
constexpr std::uint32_t KEY_VIDEO_MEMORY_SIZE = 0x10B;  // bytes

// mtlOpen succeeds with 0; the table entries succeed with exactly 1.
constexpr std::int32_t METAL_OPEN_OK = 0;
constexpr std::int32_t METAL_CALL_OK = 1;

using MetalTableEntry = void(METAL_CALL*)();

// The library owns this object. We rely on its first pointer-sized word only:
// it points to the function table.
struct MetalInterface {
  const MetalTableEntry* table;
};

using MetalOpenFunction = std::int32_t(METAL_CALL*)(std::uint32_t flags,
                                                    MetalInterface** out);
using MetalCloseFunction = std::int32_t(METAL_CALL*)(MetalInterface* self);
using MetalQueryFunction = std::int32_t(METAL_CALL*)(MetalInterface* self,
                                                     std::uint32_t key,
                                                     std::uint32_t* value);

// The table's entries are members of the interface: always reached through
// its table, with the interface passed explicitly as the first argument.
[[nodiscard]] inline std::int32_t metal_close(MetalInterface* self) {
  auto close = reinterpret_cast<MetalCloseFunction>(self->table[ENTRY_CLOSE]);
  return close(self);
}

[[nodiscard]] inline std::int32_t metal_query(MetalInterface* self,
                                              std::uint32_t key,
                                              std::uint32_t* value) {
  auto query = reinterpret_cast<MetalQueryFunction>(self->table[ENTRY_QUERY]);
  return query(self, key, value);
}

// The library's own side of MeTaL, as the library's maker states it: the
// function table and its entries, the query keys, the call form. The
// stand-in metal.dll and the tests' scripted platform both play this side,
// so it is written here apart from the tool's view of the same boundary.
#pragma once

#include <cstdint>

// cdecl on 32-bit x86; 64-bit targets have one calling convention only.
#if defined(__i386__)
#define MTL_CALL __attribute__((cdecl))
#else
#define MTL_CALL
#endif

namespace mtl {

struct Device;

// The table has 36 entries of the library's call form; close(device) is
// the first and query(device, key, &value) the last.
using Entry = void(MTL_CALL*)();
constexpr int TABLE_ENTRIES = 36;
constexpr int CLOSE_ENTRY = 0;
constexpr int QUERY_ENTRY = 35;

constexpr std::uint32_t QUERY_DEVICE_ID = 0x10A;
constexpr std::uint32_t QUERY_VIDEO_MEMORY = 0x10B;

// Open succeeds with 0; the table's entries succeed with 1.
constexpr std::int32_t OPENED = 0;
constexpr std::int32_t DONE = 1;

// What mtlOpen hands out: the first word points to the function table.
struct Device {
  const Entry* table;
};

}  // namespace mtl

// The library's one export: opens the interface. flags is 0.
extern "C" std::int32_t MTL_CALL mtlOpen(std::uint32_t flags,
                                         mtl::Device** device);

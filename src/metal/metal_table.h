// For code that plays the library's side of the boundary (the stand-in
// metal.dll, the tests' fake): a full function table whose close and query
// entries are given and whose other entries are callable and fail.
#pragma once

#include "metal/metal.h"

class MetalTable {
 public:
  MetalTable(MetalCloseFunction close, MetalQueryFunction query) {
    for (MetalTableEntry& entry : entries_) {
      entry = reinterpret_cast<MetalTableEntry>(&unused_entry);
    }
    entries_[ENTRY_CLOSE] = reinterpret_cast<MetalTableEntry>(close);
    entries_[ENTRY_QUERY] = reinterpret_cast<MetalTableEntry>(query);
  }

  [[nodiscard]] const MetalTableEntry* entries() const { return entries_; }

 private:
  static std::int32_t METAL_CALL unused_entry() { return 0; }

  MetalTableEntry entries_[METAL_TABLE_SIZE];
};

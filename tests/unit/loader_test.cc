// The POSIX platform's loader, against the real stand-in metal.dll that the
// build puts beside this test.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "platform/platform.h"

namespace {

TEST(PosixLoader, LoadsBesideTheExecutableAndFreesForGood) {
  platform::HMODULE library = platform::LoadLibraryA("metal.dll");
  ASSERT_NE(library, nullptr);
  EXPECT_NE(platform::GetProcAddress(library, "mtlOpen"), nullptr);
  EXPECT_EQ(platform::GetProcAddress(library, "mtlClose"), nullptr);
  platform::FreeLibrary(library);
  // Once freed, the library is no longer in the process.
  void* still_there = ::dlopen(STAND_IN, RTLD_NOW | RTLD_NOLOAD);
  EXPECT_EQ(still_there, nullptr);
  if (still_there != nullptr) ::dlclose(still_there);
}

}  // namespace

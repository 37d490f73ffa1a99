#pragma once

#include <cstdint>
#include <string>

namespace qtk::testdata {

// A named pipe at the path. Opening it for reading blocks until a writer comes, so any code
// that opens it without checking first hangs; false where the platform has none.
bool MakeFifo(const std::string& path);

// A file of `size` bytes that takes no room on disk (a hole, reads as zeros): large inputs
// whose size must be refused before anything is read or allocated.
bool MakeSparseFile(const std::string& path, uint64_t size);

// A character device that never ends when read ("/dev/zero"), or empty where there is none.
std::string EndlessDevice();

// Why a test can make no symbolic link here, or nullptr where it can. The C++ runtime of the
// Windows build has none (the system itself lets only administrators make them).
const char* NoSymbolicLinks();

}  // namespace qtk::testdata

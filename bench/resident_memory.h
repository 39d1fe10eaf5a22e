#pragma once

#include <unistd.h>

#include <fstream>

namespace tabulor::bench {

// Resident memory of this process in KiB, as the kernel counts it now.
inline long residentKiB() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace tabulor::bench

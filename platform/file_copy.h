// copyFileData: a file's bytes copied as fast as the file systems allow, in cancellable steps.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>

namespace tabulor {

enum class CopyOutcome { Copied, Failed, Cancelled };

// Told the bytes each step of a copy added; called on the copying thread.
using CopiedBytes = std::function<void(std::uint64_t bytes)>;

// Copies the bytes of the regular file from into a fresh file to (one already there is
// removed first), the fastest way the file systems allow: a copy-on-write clone that
// shares the blocks, else a copy inside the kernel, else reads and writes. cancelled,
// set from another thread, stops the copy between steps of a few megabytes. A copy that
// fails or is cancelled leaves no file at to.
//
// Threads: any thread, which copied is called on; it shares nothing with other copies, and
// the backup runs it beside the window.
CopyOutcome copyFileData(const std::filesystem::path& from, const std::filesystem::path& to,
                         const CopiedBytes& copied, const std::atomic<bool>& cancelled);

}  // namespace tabulor

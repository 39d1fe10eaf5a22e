// Copying on Windows: CopyFileExW, which reports its progress and stops when told to.

#include <windows.h>

#include "platform/file_copy.h"

namespace tabulor {
namespace {

struct Progress {
  const CopiedBytes& copied;
  const std::atomic<bool>& cancelled;
  std::uint64_t reported = 0;
};

DWORD CALLBACK onProgress(LARGE_INTEGER, LARGE_INTEGER transferred, LARGE_INTEGER, LARGE_INTEGER,
                          DWORD, DWORD, HANDLE, HANDLE, LPVOID data) {
  auto& progress = *static_cast<Progress*>(data);
  const auto done = static_cast<std::uint64_t>(transferred.QuadPart);
  if (done > progress.reported) progress.copied(done - progress.reported);
  progress.reported = done;
  // PROGRESS_CANCEL also removes what was written.
  return progress.cancelled ? PROGRESS_CANCEL : PROGRESS_CONTINUE;
}

}  // namespace

CopyOutcome copyFileData(const std::filesystem::path& from, const std::filesystem::path& to,
                         const CopiedBytes& copied, const std::atomic<bool>& cancelled) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(from, error)) return CopyOutcome::Failed;
  if (cancelled) return CopyOutcome::Cancelled;
  // A fresh file rather than overwriting in place, as on Linux.
  DeleteFileW(to.c_str());
  Progress progress{copied, cancelled};
  if (CopyFileExW(from.c_str(), to.c_str(), onProgress, &progress, nullptr,
                  COPY_FILE_FAIL_IF_EXISTS)) {
    // Wine copies without calling the routine: the bytes are told at the end.
    const std::uint64_t size = std::filesystem::file_size(to, error);
    if (!error && size > progress.reported) copied(size - progress.reported);
    return CopyOutcome::Copied;
  }
  const bool wasCancelled = GetLastError() == ERROR_REQUEST_ABORTED;
  DeleteFileW(to.c_str());
  return wasCancelled ? CopyOutcome::Cancelled : CopyOutcome::Failed;
}

}  // namespace tabulor

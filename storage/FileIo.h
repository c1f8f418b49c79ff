#pragma once

#include <sys/types.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "storage/Result.h"
#include "storage/Text.h"

namespace slamwise {

// The low-level file access shared by RomFile and the journal. Every call passes through the
// sys:: hooks of storage/FaultInjection.h, so the fault tests reach all of it. A failure carries
// the operating system's reason alone; the caller says what was being done.

std::string osReason(int error);

// Fills `out` from the file at `position`, retrying interrupted calls. What lies past the end of
// the file reads as zeros.
Status readAt(int fd, std::uint64_t position, std::span<std::uint8_t> out);

// Writes all of `bytes` at `position`, retrying interrupted and partial writes. A write that
// moves nothing fails as a full disk would.
Status writeAt(int fd, std::uint64_t position, std::span<const std::uint8_t> bytes);

enum class Links { Follow, DoNotFollow };

// The whole content of the file at path, read to its end, or the system's reason why it cannot
// be read (a failing read is never taken for the end of the file). A file of more than `limit`
// bytes fails with EFBIG's reason, a folder with EISDIR's.
Result<std::vector<std::uint8_t>> readWholeFile(const std::string& path, std::size_t limit,
                                                Links links = Links::Follow);

// Makes the renames and removals in `folder` durable. folderFd keeps the folder open between
// calls (-1 until the first). A file system that cannot sync a folder is no failure.
Status syncFolder(const std::string& folder, int& folderFd);

// Where writeFileAtomically puts the bytes before they take the file's name: "<path>.tmp". The
// next write of the same file replaces what a crash left there.
std::string temporaryPathFor(const std::string& path);

// Makes `bytes` the content of the file at path, all or nothing: they go to the temporary file
// (created with `mode` less the umask, replacing a leftover), which is synced and renamed over
// path, and the folder is synced. On a failure before the rename the temporary file is removed
// and path is untouched; when only the folder's sync fails, path holds the new bytes. folderFd,
// when given, keeps the folder open as syncFolder does.
Status writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                           mode_t mode = 0666, int* folderFd = nullptr);

// The folder that holds `path` ("." for a bare name).
std::string folderOf(const std::string& path);

}  // namespace slamwise

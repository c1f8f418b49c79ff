#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "storage/Result.h"

namespace slamwise {

// The low-level file access shared by RomFile and the journal. Every call passes through the
// sys:: hooks of rom/FaultInjection.h, so the fault tests reach all of it. A failure carries the
// operating system's reason alone; the caller says what was being done.

std::string osReason(int error);

// "text" in double quotes, as file names appear in messages.
std::string quoted(const std::string& text);

// Fills `out` from the file at `position`, retrying interrupted calls. What lies past the end of
// the file reads as zeros.
Status readAt(int fd, std::uint64_t position, std::span<std::uint8_t> out);

// Writes all of `bytes` at `position`, retrying interrupted and partial writes. A write that
// moves nothing fails as a full disk would.
Status writeAt(int fd, std::uint64_t position, std::span<const std::uint8_t> bytes);

// The whole content of a small file; nothing when it cannot be opened or read, or holds more
// than `limit` bytes. Symbolic links are not followed.
std::optional<std::vector<std::uint8_t>> readSmallFile(const std::string& path, std::size_t limit);

// The folder that holds `path` ("." for a bare name).
std::string folderOf(const std::string& path);

}  // namespace slamwise

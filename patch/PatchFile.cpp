#include "patch/PatchFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "storage/FileIo.h"

namespace slamwise {

namespace {

// Larger than any patch between two images of the game.
constexpr std::uint64_t kLargestPatch = 64u << 20;

Result<std::vector<std::uint8_t>> readPatch(const std::string& path) {
    auto failure = [&path](int error) {
        return Status::failure("The patch " + quoted(path) + " cannot be read: " + osReason(error) +
                               ".");
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return failure(errno);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return failure(error);
    }
    if (!S_ISREG(info.st_mode) || static_cast<std::uint64_t>(info.st_size) > kLargestPatch) {
        ::close(fd);
        return Status::failure("The patch " + quoted(path) +
                               " is not a patch file: it is too large or not a regular file.");
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    Status status = readAt(fd, 0, bytes);
    ::close(fd);
    if (!status) {
        return Status::failure("The patch " + quoted(path) +
                               " cannot be read: " + status.message());
    }
    return bytes;
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

}  // namespace

Result<CreatedPatch> createPatchBetween(PatchFormat format, const RomFile& original,
                                        const RomFile& edited) {
    CreatedPatch created;
    for (const RomFile* rom : {&original, &edited}) {
        if (rom->hasCopierHeader()) {
            created.notes.push_back(quoted(rom->path()) +
                                    " starts with a copier header; the patch is made without it.");
        }
    }
    Result<std::vector<std::uint8_t>> before = readImage(original);
    if (!before) {
        return before.status();
    }
    Result<std::vector<std::uint8_t>> after = readImage(edited);
    if (!after) {
        return after.status();
    }
    Result<std::vector<std::uint8_t>> bytes = createPatch(format, *before, *after);
    if (!bytes) {
        return bytes.status();
    }
    created.bytes = std::move(bytes).value();
    return created;
}

Result<PatchResult> patchFileFor(const RomFile& image, const std::string& patchPath,
                                 IpsOffsets ipsOffsets) {
    Result<std::vector<std::uint8_t>> patch = readPatch(patchPath);
    if (!patch) {
        return patch.status();
    }
    Result<std::vector<std::uint8_t>> bytes = readImage(image);
    if (!bytes) {
        return bytes.status();
    }
    return applyPatch(*patch, *bytes, {ipsOffsets, image.headerSize()});
}

Status writePatchFile(const std::string& path, std::span<const std::uint8_t> bytes,
                      const std::vector<std::string>& images) {
    for (const std::string& image : images) {
        if (sameFile(path, image)) {
            return Status::failure("The patch would overwrite the image " + quoted(image) +
                                   ": choose another name for the patch.");
        }
    }
    auto failure = [&path](const std::string& reason) {
        return Status::failure("The patch " + quoted(path) + " could not be written: " + reason +
                               ".");
    };
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return failure(osReason(errno));
    }
    Status status = writeAt(fd, 0, bytes);
    if (status && ::fsync(fd) != 0) {
        status = Status::failure(osReason(errno));
    }
    if (::close(fd) != 0 && status) {
        status = Status::failure(osReason(errno));
    }
    // A new file gets the permissions any new file would (mkstemp makes it private).
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (status && ::chmod(temporary.c_str(), 0666 & ~mask) != 0) {
        status = Status::failure(osReason(errno));
    }
    if (status && ::rename(temporary.c_str(), path.c_str()) != 0) {
        status = Status::failure(osReason(errno));
    }
    if (!status) {
        ::unlink(temporary.c_str());
        return failure(status.message());
    }
    // The rename itself reaches the disk with the folder.
    if (const int folder = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        folder >= 0) {
        (void)::fsync(folder);
        ::close(folder);
    }
    return {};
}

}  // namespace slamwise

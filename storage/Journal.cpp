#include "storage/Journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <numeric>
#include <utility>

#include "storage/FaultInjection.h"
#include "storage/FileIo.h"
#include "storage/RomFile.h"

namespace slamwise {

namespace {

constexpr std::array<std::uint8_t, 8> kMagic = {'S', 'L', 'W', 'J', 'R', 'N', 'L', '1'};
constexpr std::size_t kHeaderSize = 8 + 4 + 4 + 8 + 8 + 8 + 4 + 4;  // up to the first range
constexpr std::size_t kRangeHeaderSize = 8 + 4;                     // offset, length
constexpr std::size_t kChecksumSize = 8;
constexpr std::uint64_t kFnvOffsetBasis = 0xCBF29CE484222325ULL;
constexpr std::uint64_t kFnvPrime = 0x100000001B3ULL;
constexpr const char* kJournalSuffix = "-journal";
constexpr const char* kTempSuffix = ".tmp";
// Ranges less than this far apart are read together, in reads of at most kMaxGroupRead bytes.
constexpr std::uint64_t kReadTogetherGap = 4096;
constexpr std::uint64_t kMaxGroupRead = 64 * 1024;
constexpr std::uint64_t kJoinGap = 8;

void putLe(std::vector<std::uint8_t>& out, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

// Reads little-endian integers from a span, refusing to go past its end.
class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool take(std::uint64_t& value, std::size_t size) {
        if (bytes_.size() - position_ < size) {
            return false;
        }
        value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            value |= std::uint64_t{bytes_[position_ + i]} << (8 * i);
        }
        position_ += size;
        return true;
    }

    bool takeBytes(std::vector<std::uint8_t>& out, std::size_t size) {
        if (bytes_.size() - position_ < size) {
            return false;
        }
        out.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(position_),
                   bytes_.begin() + static_cast<std::ptrdiff_t>(position_ + size));
        position_ += size;
        return true;
    }

    std::size_t remaining() const { return bytes_.size() - position_; }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

}  // namespace

std::uint64_t fnv1a64(std::span<const std::uint8_t> bytes) {
    std::uint64_t hash = kFnvOffsetBasis;
    for (std::uint8_t byte : bytes) {
        hash = (hash ^ byte) * kFnvPrime;
    }
    return hash;
}

bool fitsInterruptedChange(const Journal& journal,
                           const std::vector<std::vector<std::uint8_t>>& current) {
    if (current.size() != journal.ranges.size()) {
        return false;
    }
    // Whether some write of the change puts `value` at `position`.
    auto written = [&journal](std::uint64_t position, std::uint8_t value) {
        return std::any_of(journal.ranges.begin(), journal.ranges.end(),
                           [&](const JournalRange& range) {
                               return position >= range.fileOffset &&
                                      position - range.fileOffset < range.after.size() &&
                                      range.after[position - range.fileOffset] == value;
                           });
    };
    for (std::size_t k = 0; k < journal.ranges.size(); ++k) {
        const JournalRange& range = journal.ranges[k];
        if (current[k].size() != range.before.size()) {
            return false;
        }
        for (std::size_t i = 0; i < range.before.size(); ++i) {
            if (current[k][i] != range.before[i] && !written(range.fileOffset + i, current[k][i])) {
                return false;
            }
        }
    }
    return true;
}

std::vector<std::uint8_t> encodeJournal(const Journal& journal) {
    std::size_t size = kHeaderSize + kChecksumSize;
    for (const JournalRange& range : journal.ranges) {
        size += kRangeHeaderSize + range.before.size() + range.after.size();
    }
    std::vector<std::uint8_t> out;
    out.reserve(size);
    out.assign(kMagic.begin(), kMagic.end());
    putLe(out, kJournalVersion, 4);
    putLe(out, journal.ranges.size(), 4);
    putLe(out, journal.identity.device, 8);
    putLe(out, journal.identity.inode, 8);
    putLe(out, journal.identity.fileSize, 8);
    putLe(out, journal.identity.headerSize, 4);
    putLe(out, 0, 4);
    for (const JournalRange& range : journal.ranges) {
        putLe(out, range.fileOffset, 8);
        putLe(out, range.before.size(), 4);
        out.insert(out.end(), range.before.begin(), range.before.end());
        out.insert(out.end(), range.after.begin(), range.after.end());
    }
    putLe(out, fnv1a64(out), 8);
    return out;
}

std::optional<Journal> decodeJournal(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kHeaderSize + kChecksumSize || bytes.size() > kJournalMaxSize ||
        !std::equal(kMagic.begin(), kMagic.end(), bytes.begin())) {
        return std::nullopt;
    }
    std::span<const std::uint8_t> body = bytes.first(bytes.size() - kChecksumSize);
    Reader checksumReader(bytes.last(kChecksumSize));
    std::uint64_t checksum = 0;
    if (!checksumReader.take(checksum, kChecksumSize) || checksum != fnv1a64(body)) {
        return std::nullopt;
    }

    Reader reader(body.subspan(kMagic.size()));
    std::uint64_t version = 0, count = 0, headerSize = 0, reserved = 0;
    Journal journal;
    if (!reader.take(version, 4) || !reader.take(count, 4) ||
        !reader.take(journal.identity.device, 8) || !reader.take(journal.identity.inode, 8) ||
        !reader.take(journal.identity.fileSize, 8) || !reader.take(headerSize, 4) ||
        !reader.take(reserved, 4) || version != kJournalVersion || reserved != 0 ||
        count > reader.remaining() / kRangeHeaderSize) {
        return std::nullopt;
    }
    journal.identity.headerSize = static_cast<std::uint32_t>(headerSize);
    journal.ranges.resize(count);
    for (JournalRange& range : journal.ranges) {
        std::uint64_t length = 0;
        if (!reader.take(range.fileOffset, 8) || !reader.take(length, 4) ||
            !reader.takeBytes(range.before, length) || !reader.takeBytes(range.after, length) ||
            range.fileOffset > journal.identity.fileSize ||
            length > journal.identity.fileSize - range.fileOffset) {
            return std::nullopt;
        }
    }
    if (reader.remaining() != 0) {
        return std::nullopt;
    }
    return journal;
}

namespace {

// Where a range lies in the file and where its bytes go.
struct RangeRead {
    std::uint64_t fileOffset;
    std::span<std::uint8_t> into;
};

// Fills every range from the file, ranges that lie close together in one read. Groups are read
// in the order of their first range in `ranges`; on a failure, failedRange is the first range of
// the group that could not be read.
Status readRanges(int fd, const std::vector<RangeRead>& ranges, std::size_t& failedRange) {
    std::vector<std::size_t> order(ranges.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return ranges[a].fileOffset < ranges[b].fileOffset;
    });
    struct Group {
        std::uint64_t begin;
        std::uint64_t end;
        std::size_t first;  // the group's first range in the order of `ranges`
        std::vector<std::size_t> members;
    };
    std::vector<Group> groups;
    for (std::size_t k : order) {
        const std::uint64_t begin = ranges[k].fileOffset;
        const std::uint64_t end = begin + ranges[k].into.size();
        if (groups.empty() || begin > groups.back().end + kReadTogetherGap ||
            std::max(end, groups.back().end) - groups.back().begin > kMaxGroupRead) {
            groups.push_back({begin, end, k, {}});
        }
        Group& group = groups.back();
        group.end = std::max(group.end, end);
        group.first = std::min(group.first, k);
        group.members.push_back(k);
    }
    std::sort(groups.begin(), groups.end(),
              [](const Group& a, const Group& b) { return a.first < b.first; });
    std::vector<std::uint8_t> buffer;
    for (const Group& group : groups) {
        buffer.resize(group.end - group.begin);
        if (Status status = readAt(fd, group.begin, buffer); !status) {
            failedRange = group.first;
            return status;
        }
        for (std::size_t k : group.members) {
            auto from =
                buffer.begin() + static_cast<std::ptrdiff_t>(ranges[k].fileOffset - group.begin);
            std::copy(from, from + static_cast<std::ptrdiff_t>(ranges[k].into.size()),
                      ranges[k].into.begin());
        }
    }
    return {};
}

// A stretch of the file that a change writes at once: the edit's writes that fall in it, in
// edit order, and the first of them.
struct Stretch {
    std::uint64_t begin;
    std::uint64_t end;
    std::size_t firstWrite;
    std::vector<std::size_t> writes;
};

// The stretches of an edit, in the order of their first write. Joined, writes at most
// kJoinGap bytes apart share a stretch, the bytes between them written back as they are: every
// write of the file costs far more than a few more bytes. Not joined, each write is a stretch.
std::vector<Stretch> stretchesOf(const Edit& edit, std::uint64_t header, bool joined) {
    const std::vector<Edit::Write>& writes = edit.writes();
    std::vector<std::size_t> order(writes.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (joined) {
        std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return writes[a].offset < writes[b].offset;
        });
    }
    std::vector<Stretch> stretches;
    for (std::size_t k : order) {
        const std::uint64_t begin = header + writes[k].offset;
        const std::uint64_t end = begin + writes[k].bytes.size();
        if (!joined || stretches.empty() || begin > stretches.back().end + kJoinGap) {
            stretches.push_back({begin, end, k, {}});
        }
        Stretch& stretch = stretches.back();
        stretch.end = std::max(stretch.end, end);
        stretch.firstWrite = std::min(stretch.firstWrite, k);
        stretch.writes.push_back(k);
    }
    for (Stretch& stretch : stretches) {
        std::sort(stretch.writes.begin(), stretch.writes.end());
    }
    std::sort(stretches.begin(), stretches.end(),
              [](const Stretch& a, const Stretch& b) { return a.firstWrite < b.firstWrite; });
    return stretches;
}

bool sameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 || errno != ENOENT;
}

}  // namespace

std::string JournalFile::pathFor(const std::string& imagePath) {
    return imagePath + kJournalSuffix;
}

JournalFile::JournalFile(int imageFd, const std::string& imagePath, const JournalIdentity& identity)
    : imageFd_(imageFd),
      imagePath_(imagePath),
      path_(pathFor(imagePath)),
      tempPath_(path_ + kTempSuffix),
      folder_(folderOf(imagePath)),
      identity_(identity) {}

JournalFile::JournalFile(JournalFile&& other) noexcept
    : imageFd_(std::exchange(other.imageFd_, -1)),
      imagePath_(std::move(other.imagePath_)),
      path_(std::move(other.path_)),
      tempPath_(std::move(other.tempPath_)),
      folder_(std::move(other.folder_)),
      folderFd_(std::exchange(other.folderFd_, -1)),
      identity_(other.identity_),
      seenSize_(other.seenSize_),
      seenModified_(other.seenModified_) {}

JournalFile& JournalFile::operator=(JournalFile&& other) noexcept {
    if (this != &other) {
        closeFolder();
        imageFd_ = std::exchange(other.imageFd_, -1);
        imagePath_ = std::move(other.imagePath_);
        path_ = std::move(other.path_);
        tempPath_ = std::move(other.tempPath_);
        folder_ = std::move(other.folder_);
        folderFd_ = std::exchange(other.folderFd_, -1);
        identity_ = other.identity_;
        seenSize_ = other.seenSize_;
        seenModified_ = other.seenModified_;
    }
    return *this;
}

JournalFile::~JournalFile() {
    closeFolder();
}

void JournalFile::closeFolder() {
    if (folderFd_ >= 0) {
        ::close(folderFd_);
        folderFd_ = -1;
    }
}

bool JournalFile::present() const {
    return exists(path_);
}

// Makes a rename or removal in the folder durable.
Status JournalFile::syncFolder() {
    if (folderFd_ < 0) {
        folderFd_ = sys::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folderFd_ < 0) {
            return Status::failure(osReason(errno));
        }
    }
    // Some file systems cannot sync a folder; that is no reason to refuse a change.
    if (sys::fsync(folderFd_) != 0 && errno != EINVAL && errno != ENOTSUP) {
        return Status::failure(osReason(errno));
    }
    return {};
}

void JournalFile::rememberFileState() {
    struct stat info {};
    if (::fstat(imageFd_, &info) == 0) {
        seenSize_ = static_cast<std::uint64_t>(info.st_size);
        seenModified_ = info.st_mtim;
    }
}

Status JournalFile::recover(std::string& notice) {
    // A journal that never got its final name was never in force: the image is untouched.
    (void)sys::unlink(tempPath_.c_str());
    if (!present()) {
        return {};
    }
    const std::string leftAlone =
        " It was left alone. Changes to this file cannot be saved while it is there: move it "
        "away (or delete it if you are sure it is not needed), then open the file again.";
    std::optional<std::vector<std::uint8_t>> content = readSmallFile(path_, kJournalMaxSize);
    std::optional<Journal> journal;
    if (content) {
        journal = decodeJournal(*content);
    }
    if (!journal) {
        notice = "The journal " + quoted(path_) +
                 " beside this file is damaged or unreadable, so it was not used." + leftAlone;
        return {};
    }
    if (journal->identity != identity_) {
        notice = "The journal " + quoted(path_) +
                 " beside this file belongs to another file, so it was not used." + leftAlone;
        return {};
    }
    const std::string tryAgain = " The file was not opened; try to open it again.";
    std::vector<std::vector<std::uint8_t>> current(journal->ranges.size());
    std::vector<RangeRead> reads;
    reads.reserve(journal->ranges.size());
    for (std::size_t k = 0; k < journal->ranges.size(); ++k) {
        current[k].resize(journal->ranges[k].before.size());
        reads.push_back({journal->ranges[k].fileOffset, current[k]});
    }
    std::size_t failed = 0;
    if (Status status = readRanges(imageFd_, reads, failed); !status) {
        return Status::failure("Cannot read " + quoted(imagePath_) + ": " + status.message() + "." +
                               tryAgain);
    }
    if (!fitsInterruptedChange(*journal, current)) {
        notice = "The journal " + quoted(path_) +
                 " beside this file records a change that was interrupted, but the file has been "
                 "changed since, so the journal was not used." +
                 leftAlone;
        return {};
    }

    const std::string cannotUndo =
        quoted(imagePath_) + " holds an unfinished change that could not be undone: ";
    for (const JournalRange& range : journal->ranges) {
        if (Status status = writeAt(imageFd_, range.fileOffset, range.before); !status) {
            return Status::failure(cannotUndo + status.message() + "." + tryAgain);
        }
    }
    if (sys::fdatasync(imageFd_) != 0) {
        return Status::failure(cannotUndo + osReason(errno) + "." + tryAgain);
    }
    if (sys::unlink(path_.c_str()) != 0 && errno != ENOENT) {
        return Status::failure("The unfinished change to " + quoted(imagePath_) +
                               " was undone, but its journal " + quoted(path_) +
                               " cannot be removed: " + osReason(errno) + "." + tryAgain);
    }
    (void)syncFolder();  // the journal would only undo the same bytes again
    notice = "The last change to " + quoted(imagePath_) +
             " was interrupted before it was complete (the program or the computer stopped). It "
             "has been undone: the file is as it was before that change.";
    return {};
}

Status JournalFile::checkUnchanged() const {
    const std::string reopen = " Nothing was written. Close the ROM and open it again.";
    // The path still leading to the open file, its size and time tell the file's state: one
    // look is enough.
    struct stat atPath {};
    if (::stat(imagePath_.c_str(), &atPath) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return Status::failure(quoted(imagePath_) +
                                   " was deleted, renamed or moved by another program after it "
                                   "was opened here." +
                                   reopen);
        }
        return Status::failure("Cannot examine " + quoted(imagePath_) + ": " + osReason(errno) +
                               "." + reopen);
    }
    if (atPath.st_dev != identity_.device || atPath.st_ino != identity_.inode) {
        return Status::failure(quoted(imagePath_) +
                               " was replaced by another file after it was opened here." + reopen);
    }
    if (static_cast<std::uint64_t>(atPath.st_size) != seenSize_ ||
        !sameTime(atPath.st_mtim, seenModified_)) {
        return Status::failure(quoted(imagePath_) +
                               " was changed by another program after it was opened here." +
                               reopen);
    }
    return {};
}

Status JournalFile::checkNoJournal() const {
    if (!present()) {
        return {};
    }
    std::optional<std::vector<std::uint8_t>> content = readSmallFile(path_, kJournalMaxSize);
    std::optional<Journal> journal;
    if (content) {
        journal = decodeJournal(*content);
    }
    if (journal && journal->identity == identity_) {
        return Status::failure("Nothing was written: an earlier change to " + quoted(imagePath_) +
                               " still has to be undone. Close the ROM and open it again.");
    }
    return Status::failure("Nothing was written to " + quoted(imagePath_) + ": the file " +
                           quoted(path_) +
                           " beside it is not its journal, and saving would overwrite it. Move "
                           "it away, then try again.");
}

// Puts the journal in force: written under its temporary name, synced, renamed, folder synced.
Status JournalFile::save(const std::vector<std::uint8_t>& content) {
    auto nothingWritten = [&](const std::string& reason) {
        return Status::failure("Nothing was written to " + quoted(imagePath_) +
                               ": the journal that protects the change cannot be saved as " +
                               quoted(path_) + ": " + reason +
                               ". The folder of the file must be writable and have some free "
                               "space.");
    };

    int fd =
        sys::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        return nothingWritten(osReason(errno));
    }
    std::size_t done = 0;
    int error = 0;
    while (done < content.size() && error == 0) {
        ssize_t put = sys::write(fd, content.data() + done, content.size() - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            error = put < 0 ? errno : ENOSPC;
        } else {
            done += static_cast<std::size_t>(put);
        }
    }
    if (error == 0 && sys::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && sys::rename(tempPath_.c_str(), path_.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        (void)sys::unlink(tempPath_.c_str());  // a leftover is removed at the next opening
        return nothingWritten(osReason(error));
    }
    if (Status synced = syncFolder(); !synced) {
        (void)sys::unlink(path_.c_str());  // it holds the current bytes: harmless if kept
        return nothingWritten(synced.message());
    }
    return {};
}

Status JournalFile::rollBack(const Journal& journal, const std::string& whatFailed) {
    std::string undoFailure;
    for (auto range = journal.ranges.rbegin(); range != journal.ranges.rend(); ++range) {
        if (Status status = writeAt(imageFd_, range->fileOffset, range->before); !status) {
            undoFailure = status.message();
            break;
        }
    }
    if (undoFailure.empty() && sys::fdatasync(imageFd_) != 0) {
        undoFailure = osReason(errno);
    }
    rememberFileState();
    if (!undoFailure.empty()) {
        // The journal stays: the next opening puts the old bytes back.
        return Status::failure(whatFailed + " The change could not be undone either (" +
                               undoFailure + "). It will be undone the next time " +
                               quoted(imagePath_) + " is opened: close the ROM and open it again.");
    }
    if (sys::unlink(path_.c_str()) != 0 && errno != ENOENT) {
        return Status::failure(whatFailed +
                               " The change was undone: the file is as it was "
                               "before. Its journal " +
                               quoted(path_) + " cannot be removed (" + osReason(errno) +
                               "); close the ROM and open it again to remove it.");
    }
    (void)syncFolder();  // should the journal come back, it holds these same bytes
    return Status::failure(whatFailed + " The change was undone: the file is as it was before.");
}

Status JournalFile::check() const {
    if (Status status = checkUnchanged(); !status) {
        return status;
    }
    return checkNoJournal();
}

Status JournalFile::apply(const Edit& edit, const std::function<void()>& afterEachWrite,
                          std::vector<JournalRange>* written) {
    if (Status status = check(); !status) {
        return status;
    }

    // Each stretch is one range of the journal and one write of the file.
    const std::uint64_t header = identity_.headerSize;
    const std::vector<Stretch> stretches = stretchesOf(edit, header, !afterEachWrite);
    auto imageOffset = [&](const Stretch& stretch) {
        return hexOffset(static_cast<std::uint32_t>(stretch.begin - header));
    };
    Journal journal{identity_, {}};
    journal.ranges.reserve(stretches.size());
    std::vector<RangeRead> reads;
    reads.reserve(stretches.size());
    for (const Stretch& stretch : stretches) {
        journal.ranges.push_back(
            {stretch.begin, std::vector<std::uint8_t>(stretch.end - stretch.begin), {}});
        reads.push_back({stretch.begin, journal.ranges.back().before});
    }
    std::size_t failed = 0;
    if (Status status = readRanges(imageFd_, reads, failed); !status) {
        return Status::failure("Nothing was written: cannot read the bytes at offset " +
                               imageOffset(stretches[failed]) + " of " + quoted(imagePath_) +
                               " that the change would replace: " + status.message() + ".");
    }
    for (std::size_t k = 0; k < stretches.size(); ++k) {
        JournalRange& range = journal.ranges[k];
        range.after = range.before;
        for (std::size_t w : stretches[k].writes) {
            const Edit::Write& write = edit.writes()[w];
            std::copy(write.bytes.begin(), write.bytes.end(),
                      range.after.begin() +
                          static_cast<std::ptrdiff_t>(header + write.offset - range.fileOffset));
        }
    }
    if (Status status = save(encodeJournal(journal)); !status) {
        return status;
    }

    for (std::size_t k = 0; k < stretches.size(); ++k) {
        const JournalRange& range = journal.ranges[k];
        if (Status status = writeAt(imageFd_, range.fileOffset, range.after); !status) {
            return rollBack(journal, "Cannot write at offset " + imageOffset(stretches[k]) +
                                         " of " + quoted(imagePath_) + ": " + status.message() +
                                         ".");
        }
        if (afterEachWrite) {
            afterEachWrite();
        }
    }
    if (sys::fdatasync(imageFd_) != 0) {
        return rollBack(journal, "Cannot save the changes to " + quoted(imagePath_) +
                                     " to the disk: " + osReason(errno) + ".");
    }
    if (sys::unlink(path_.c_str()) != 0) {
        return rollBack(
            journal, "Cannot remove the journal " + quoted(path_) + ": " + osReason(errno) + ".");
    }
    // The change is complete and on the disk. Should the removal of the journal not be durable,
    // the worst a power cut can do is bring it back, and the next opening then undoes the
    // whole change: still all or nothing.
    (void)syncFolder();
    rememberFileState();
    if (written != nullptr) {
        *written = std::move(journal.ranges);
    }
    return {};
}

}  // namespace slamwise

#include "rom/RomFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/ImageBuilder.h"
#include "tests/support/Unprivileged.h"

namespace slamwise {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

std::vector<std::uint8_t> counting(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
    }
    return bytes;
}

RomFile openOrFail(const std::string& path) {
    Result<RomFile> rom = RomFile::open(path);
    EXPECT_TRUE(rom.ok()) << rom.error();
    return std::move(rom).value();
}

TEST(RomFileReading, WordsAreLittleEndian) {
    TempDir dir;
    std::vector<std::uint8_t> bytes = counting(64);
    bytes[10] = 0x34;
    bytes[11] = 0x12;
    writeFile(dir.file("a.sfc"), bytes);
    RomFile rom = openOrFail(dir.file("a.sfc"));
    EXPECT_EQ(*rom.read16(10), 0x1234);
    EXPECT_EQ(*rom.read8(11), 0x12);
}

TEST(RomFileReading, BytesPastTheEndReadAsZeros) {
    TempDir dir;
    writeFile(dir.file("short.sfc"), {1, 2, 3, 4, 5});
    RomFile rom = openOrFail(dir.file("short.sfc"));
    std::uint8_t out[4] = {9, 9, 9, 9};
    ASSERT_TRUE(rom.read(3, out).ok());
    EXPECT_EQ(out[0], 4);
    EXPECT_EQ(out[1], 5);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(out[3], 0);
    EXPECT_EQ(*rom.read8(0x7FB5), 0);
    EXPECT_EQ(*rom.read16(4), 5);  // low byte in the file, high byte past its end
}

TEST(RomFileReading, EmptyFileReadsZero) {
    TempDir dir;
    writeFile(dir.file("empty.sfc"), {});
    RomFile rom = openOrFail(dir.file("empty.sfc"));
    EXPECT_EQ(*rom.read8(0), 0);
    EXPECT_FALSE(rom.hasCopierHeader());
}

TEST(RomFileWriting, WritesInOrderSoTheLastWriteOfAByteWins) {
    TempDir dir;
    std::vector<std::uint8_t> bytes = counting(256);
    writeFile(dir.file("a.sfc"), bytes);
    RomFile rom = openOrFail(dir.file("a.sfc"));
    Edit edit;
    edit.put8(5, 0xAA);
    edit.put16(5, 0xBBCC);
    edit.putBytes(100, {1, 2, 3});
    ASSERT_TRUE(rom.apply(edit).ok());
    bytes[5] = 0xCC;
    bytes[6] = 0xBB;
    bytes[100] = 1;
    bytes[101] = 2;
    bytes[102] = 3;
    EXPECT_EQ(readFile(dir.file("a.sfc")), bytes);
}

TEST(RomFileWriting, WriteBeyondTheEndIsRefusedAndWritesNothing) {
    TempDir dir;
    std::vector<std::uint8_t> bytes = counting(100);
    writeFile(dir.file("tiny.sfc"), bytes);
    RomFile rom = openOrFail(dir.file("tiny.sfc"));
    Edit edit;
    edit.put8(10, 0xEE);     // inside: must not be written either
    edit.put16(99, 0xFFFF);  // its second byte lies past the end
    Status status = rom.apply(edit);
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("beyond the end"), std::string::npos) << status.message();
    EXPECT_EQ(readFile(dir.file("tiny.sfc")), bytes);  // same bytes, same length
}

TEST(RomFileWriting, ReadOnlyAccessRefusesToWrite) {
    TempDir dir;
    std::vector<std::uint8_t> bytes = counting(100);
    writeFile(dir.file("a.sfc"), bytes);
    Result<RomFile> rom = RomFile::open(dir.file("a.sfc"), RomFile::Access::ReadOnly);
    ASSERT_TRUE(rom.ok());
    Edit edit;
    edit.put8(1, 0);
    EXPECT_FALSE(rom->apply(edit).ok());
    EXPECT_EQ(readFile(dir.file("a.sfc")), bytes);
}

TEST(RomFileCopierHeader, OffsetsStartAfterTheHeader) {
    TempDir dir;
    std::vector<std::uint8_t> bytes = counting(512 + 0x10000);
    writeFile(dir.file("headered.smc"), bytes);
    RomFile rom = openOrFail(dir.file("headered.smc"));
    ASSERT_TRUE(rom.hasCopierHeader());
    EXPECT_EQ(rom.imageSize(), 0x10000u);
    EXPECT_EQ(*rom.read8(0), bytes[512]);
    Edit edit;
    edit.put8(0, 0x5A);
    ASSERT_TRUE(rom.apply(edit).ok());
    bytes[512] = 0x5A;
    EXPECT_EQ(readFile(dir.file("headered.smc")), bytes);

    edit = Edit();
    edit.put8(0xFFFF, 1);  // the last byte of the image: allowed
    EXPECT_TRUE(rom.apply(edit).ok());
    edit = Edit();
    edit.put8(0x10000, 1);  // one past: the header does not count as room
    EXPECT_FALSE(rom.apply(edit).ok());
}

TEST(RomFileCopierHeader, OnlyASizeOf512ModuloABankIsAHeader) {
    TempDir dir;
    for (std::size_t size : {std::size_t{0x10000}, std::size_t{0x10000 + 511},
                             std::size_t{0x10000 + 513}, std::size_t{512}}) {
        writeFile(dir.file("x.sfc"), counting(size));
        RomFile rom = openOrFail(dir.file("x.sfc"));
        EXPECT_EQ(rom.hasCopierHeader(), size % 0x8000 == 512) << size;
    }
}

TEST(RomFileOpening, RefusalsNameTheCauseAndCreateNothing) {
    TempDir dir;
    std::string missing = dir.file("missing.sfc");
    Result<RomFile> rom = RomFile::open(missing);
    ASSERT_FALSE(rom.ok());
    EXPECT_NE(rom.error().find("No such file"), std::string::npos) << rom.error();
    EXPECT_FALSE(std::filesystem::exists(missing));

    rom = RomFile::open(dir.path().string());
    ASSERT_FALSE(rom.ok());
    EXPECT_NE(rom.error().find("directory"), std::string::npos) << rom.error();
}

TEST(RomFileOpening, ReadOnlyFileIsRefusedWithTheSystemsReason) {
    TempDir dir;
    test::Unprivileged::openUp(dir.path());
    std::string path = dir.file("locked.sfc");
    writeFile(path, counting(64));
    ::chmod(path.c_str(), 0444);
    test::Unprivileged unprivileged;
    Result<RomFile> rom = RomFile::open(path);
    ASSERT_FALSE(rom.ok());
    EXPECT_NE(rom.error().find("Permission denied"), std::string::npos) << rom.error();
}

}  // namespace
}  // namespace slamwise

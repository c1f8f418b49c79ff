// slamwise patch create and patch apply: the rules on sizes, identical images, the format,
// patches already applied and copier headers. (The dry run's ranges are pinned with patch show.)
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/CliRunner.h"

namespace slamwise {
namespace {

using namespace std::string_literals;
using test::Image;
using test::readFile;
using test::runCli;

// IPS: 'Z' at 0x210, the image offset 0x10 of a file with a copier header.
const std::string kIpsAt210 = "PATCH\0\x02\x10\0\x01Z\x45OF"s;  // \x45 is 'E'

TEST(PatchCli, SizeIdentityFormatAppliedAndHeaderRules) {
    test::TempDir dir;
    const std::string plain = Image().writeTo(dir.file("plain.sfc"));
    Image edited;
    edited.at(0x8000) ^= 0xFF;
    const std::string changed = edited.writeTo(dir.file("edited.sfc"));
    const std::string larger = Image({.size = 0x300000}).writeTo(dir.file("larger.sfc"));
    const std::string patch = dir.file("mod.bps");
    ASSERT_EQ(runCli({"patch", "create", plain, changed, patch}).code, 0);
    test::writeText(dir.file("ips-named.bps"), kIpsAt210);
    test::writeText(dir.file("junk.ips"), "IPS1 and more");
    const Image headered({.copierHeader = true});
    Image at10 = headered, at210 = headered;
    at10.at(0x10) = 'Z';
    at210.at(0x210) = 'Z';
    const struct {
        std::vector<std::string> args;  // IMAGE: a fresh copy of `image`; FILE: the folder
        const Image* image;
        int code;
        std::string text;    // in standard output or error
        const Image* after;  // the image afterwards (nothing: unchanged)
    } cases[] = {
        // clang-format off
        {{"patch", "create", plain, larger, "FILE/new.bps"}, nullptr, 1, "Cannot make a patch "
         "between images of different sizes: the original has 2097152 bytes, the edited image "
         "3145728 bytes. A patch never changes the size of an image.\nNothing was written.\n",
         nullptr},
        {{"patch", "create", plain, plain, "FILE/new.ips"}, nullptr, 1,
         "the images are identical: there is nothing to put in a patch\nNothing was written.\n",
         nullptr},
        {{"patch", "apply", changed, patch}, nullptr, 1,
         "Cannot apply the patch: this patch is already applied to this image.\nNothing was "
         "written.\n", nullptr},
        {{"patch", "apply", "IMAGE", "FILE/junk.ips"}, &headered, 1,
         "it starts neither with \"PATCH\" (IPS) nor with \"BPS1\" (BPS).", nullptr},
        {{"patch", "apply", "IMAGE", "FILE/ips-named.bps"}, &headered, 0,
         "The image starts with a 512-byte copier header and the IPS patch is applied at image "
         "offsets, after the header: a patch made from an image with a header would land 512 bytes "
         "off. For such a patch, give --ips-offsets file.\n", &at210},
        {{"patch", "apply", "IMAGE", "FILE/ips-named.bps", "--ips-offsets", "file"}, &headered, 0,
         "Changed 1 byte(s) in IMAGE.\n", &at10},
        {{"patch", "apply", "IMAGE", "FILE/ips-named.bps", "--ips-offsets", "header"}, &headered, 2,
         "--ips-offsets: header not in {image,file}", nullptr},
        {{"patch", "apply", "IMAGE", "FILE/ips-named.bps", "--verbose"}, &headered, 2,
         "--verbose requires --dry-run", nullptr},
        // clang-format on
    };
    for (const auto& [args, image, code, text, after] : cases) {
        const std::string copy = image ? image->writeTo(dir.file("copy.sfc")) : "";
        test::CliRun run = runCli(args, copy, dir.path().string());
        EXPECT_EQ(run.code, code) << text << run.err;
        EXPECT_NE((run.out + run.err).find(test::substituted(text, copy)), std::string::npos)
            << text << "\nnot in\n"
            << run.out + run.err;
        if (image) {
            EXPECT_EQ(readFile(copy), (after ? after : image)->bytes()) << text;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("new.bps")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("new.ips")));
}

}  // namespace
}  // namespace slamwise

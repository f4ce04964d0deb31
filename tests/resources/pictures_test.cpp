// Reads the rendered pictures byte by byte, without an image library, and checks the properties
// the program relies on: the banner's size and transparent palette index, and the icon's images.

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readResource(const std::string& name) {
    std::ifstream in(std::string(RESOURCES_DIR) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

unsigned le16(const Bytes& b, std::size_t at) {
    return b.at(at) | unsigned{b.at(at + 1)} << 8;
}

std::uint32_t le32(const Bytes& b, std::size_t at) {
    return le16(b, at) | static_cast<std::uint32_t>(le16(b, at + 2)) << 16;
}

std::uint32_t be32(const Bytes& b, std::size_t at) {
    return std::uint32_t{b.at(at)} << 24 | std::uint32_t{b.at(at + 1)} << 16 |
           std::uint32_t{b.at(at + 2)} << 8 | b.at(at + 3);
}

struct Gif {
    unsigned width = 0, height = 0;
    bool globalTable = false;
    unsigned globalEntries = 0;
    unsigned colourBits = 0;
    bool sawControl = false;  // a graphic control extension before the image
    bool transparencyFlag = false;
    unsigned transparentIndex = 0;
    unsigned left = 0, top = 0, frameWidth = 0, frameHeight = 0;
    bool localTable = false;
};

Gif parseGif(const Bytes& b) {
    Gif gif;
    if (b.size() < 13 || std::string(b.begin(), b.begin() + 6) != "GIF89a") return gif;
    gif.width = le16(b, 6);
    gif.height = le16(b, 8);
    const unsigned packed = b[10];
    gif.globalTable = packed & 0x80;
    gif.colourBits = ((packed >> 4) & 7) + 1;
    gif.globalEntries = 2u << (packed & 7);
    std::size_t at = 13 + (gif.globalTable ? 3 * gif.globalEntries : 0);

    auto skipSubBlocks = [&] {
        while (b.at(at) != 0) at += 1 + std::size_t{b[at]};  // at() throws on a file cut short
        ++at;
    };
    while (at < b.size() && b[at] == 0x21) {
        if (b.at(at + 1) == 0xF9 && b.at(at + 2) == 4) {
            gif.sawControl = true;
            gif.transparencyFlag = b.at(at + 3) & 1;
            gif.transparentIndex = b.at(at + 6);
        }
        at += 2;
        skipSubBlocks();
    }
    if (at >= b.size() || b[at] != 0x2C) return gif;
    gif.left = le16(b, at + 1);
    gif.top = le16(b, at + 3);
    gif.frameWidth = le16(b, at + 5);
    gif.frameHeight = le16(b, at + 7);
    gif.localTable = b.at(at + 9) & 0x80;
    return gif;
}

TEST(Banner, FillsTheStripAboveTheInputsWithA256ColourPalette) {
    const Gif gif = parseGif(readResource("banner.gif"));
    EXPECT_EQ(gif.width, 246u);
    EXPECT_EQ(gif.height, 51u);
    EXPECT_TRUE(gif.globalTable);
    EXPECT_EQ(gif.globalEntries, 256u);
    EXPECT_EQ(gif.colourBits, 8u);
    // One frame over the whole screen, coloured from the global table.
    EXPECT_EQ(gif.left, 0u);
    EXPECT_EQ(gif.top, 0u);
    EXPECT_EQ(gif.frameWidth, 246u);
    EXPECT_EQ(gif.frameHeight, 51u);
    EXPECT_FALSE(gif.localTable);
}

TEST(Banner, BackgroundIsPaletteIndex255AndSeeThrough) {
    const Gif gif = parseGif(readResource("banner.gif"));
    ASSERT_TRUE(gif.sawControl);
    EXPECT_TRUE(gif.transparencyFlag);
    EXPECT_EQ(gif.transparentIndex, 255u);

    // That the pixels around the motif use it, so the window shows through them, the window
    // tests check on the painted window.
}

struct IconImage {
    unsigned size;
    unsigned colourCount;  // as the directory states it: 0 means 256
    unsigned bitCount;
};

TEST(AppIcon, HoldsThe48And32PixelImagesInOrderWithMatchingHeaders) {
    const Bytes ico = readResource("app.ico");
    ASSERT_GE(ico.size(), 6u);
    EXPECT_EQ(le16(ico, 0), 0u);  // reserved
    EXPECT_EQ(le16(ico, 2), 1u);  // icon, not cursor
    constexpr std::array<IconImage, 3> expected{{{48, 0, 8}, {32, 16, 4}, {32, 0, 8}}};
    ASSERT_EQ(le16(ico, 4), expected.size());

    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto [size, colourCount, bitCount] = expected[i];
        SCOPED_TRACE("image " + std::to_string(i + 1));
        const std::size_t entry = 6 + 16 * i;
        EXPECT_EQ(unsigned{ico.at(entry)}, size);
        EXPECT_EQ(unsigned{ico.at(entry + 1)}, size);
        EXPECT_EQ(unsigned{ico.at(entry + 2)}, colourCount);
        EXPECT_EQ(le16(ico, entry + 6), bitCount);

        const std::uint32_t bytes = le32(ico, entry + 8);
        const std::uint32_t offset = le32(ico, entry + 12);
        ASSERT_LE(std::size_t{offset} + bytes, ico.size());
        EXPECT_EQ(le32(ico, offset), 40u);  // BITMAPINFOHEADER
        EXPECT_EQ(le32(ico, offset + 4), size);
        EXPECT_EQ(le32(ico, offset + 8), 2 * size);  // colour bitmap and mask stacked
        EXPECT_EQ(le16(ico, offset + 12), 1u);
        EXPECT_EQ(le16(ico, offset + 14), bitCount);
        EXPECT_EQ(le32(ico, offset + 16), 0u);  // BI_RGB
        const std::uint32_t paletteSize = 1u << bitCount;
        const std::uint32_t clrUsed = le32(ico, offset + 32);
        EXPECT_TRUE(clrUsed == 0 || clrUsed == paletteSize) << clrUsed;

        // Header, palette, colour rows and mask rows, each row padded to four bytes.
        const std::uint32_t colourRow = (size * bitCount + 31) / 32 * 4;
        const std::uint32_t maskRow = (size + 31) / 32 * 4;
        EXPECT_EQ(bytes, 40 + 4 * paletteSize + size * (colourRow + maskRow));
    }
}

TEST(ThemeIcons, PngsHaveTheirNamedSizes) {
    for (const unsigned size : {48u, 32u}) {
        const std::string name = "icons/" + std::to_string(size) + "x" + std::to_string(size);
        SCOPED_TRACE(name);
        const Bytes png = readResource(name + ".png");
        ASSERT_GE(png.size(), 24u);
        EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
        EXPECT_EQ(be32(png, 16), size);
        EXPECT_EQ(be32(png, 20), size);
    }
}

}  // namespace

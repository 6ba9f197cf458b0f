// The character-to-glyph map read from a font's cmap table: made-up tables
// of both formats, every truncation of one, and the fonts on this machine.
#include "editctl/glyph_map.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <vector>

namespace {

void Put(std::vector<uint8_t>& bytes, uint32_t value, int size) {
    for (int shift = (size - 1) * 8; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<uint8_t>(value >> shift));
}

// A format 4 subtable: ASCII through a delta, U+0300..U+0302 through the
// glyph array (U+0301 missing), and the closing segment.
std::vector<uint8_t> Format4() {
    std::vector<uint8_t> t;
    const uint32_t segments = 3;
    Put(t, 4, 2);
    Put(t, 0, 2); // length: not read
    Put(t, 0, 2);
    Put(t, segments * 2, 2);
    for (int hint = 0; hint < 3; ++hint) // search hints: not read
        Put(t, 0, 2);
    for (uint32_t end : {0x7Eu, 0x302u, 0xFFFFu})
        Put(t, end, 2);
    Put(t, 0, 2);
    for (uint32_t start : {0x20u, 0x300u, 0xFFFFu})
        Put(t, start, 2);
    for (uint32_t delta : {0x10000u - 29, 0u, 1u})
        Put(t, delta, 2);
    // The second segment's offset reaches past the third's to the array.
    for (uint32_t offset : {0u, 4u, 0u})
        Put(t, offset, 2);
    for (uint32_t glyph : {50u, 0u, 52u})
        Put(t, glyph, 2);
    return t;
}

std::vector<uint8_t> Format12() {
    std::vector<uint8_t> t;
    Put(t, 12, 2);
    Put(t, 0, 2);
    Put(t, 0, 4);
    Put(t, 0, 4);
    Put(t, 2, 4);
    for (uint32_t value : {0x20u, 0x7Eu, 3u, 0x1F600u, 0x1F601u, 900u})
        Put(t, value, 4);
    return t;
}

// A cmap table holding the subtables under Windows' Unicode encodings.
std::vector<uint8_t> Cmap(const std::vector<std::vector<uint8_t>>& subtables) {
    std::vector<uint8_t> cmap;
    Put(cmap, 0, 2);
    Put(cmap, static_cast<uint32_t>(subtables.size()), 2);
    uint32_t offset = 4 + 8 * static_cast<uint32_t>(subtables.size());
    for (const auto& subtable : subtables) {
        Put(cmap, 3, 2);
        Put(cmap, subtable[1] == 12 ? 10 : 1, 2);
        Put(cmap, offset, 4);
        offset += static_cast<uint32_t>(subtable.size());
    }
    for (const auto& subtable : subtables)
        cmap.insert(cmap.end(), subtable.begin(), subtable.end());
    return cmap;
}

TEST(GlyphMap, ReadsBothFormatsAndPrefersTheWholeRange) {
    const GlyphMap bmp(Cmap({Format4()}));
    ASSERT_TRUE(bmp.known());
    EXPECT_EQ(bmp.glyphOf(u'A'), 0x41 - 29);
    EXPECT_EQ(bmp.glyphOf(0x300), 50);
    EXPECT_EQ(bmp.glyphOf(0x301), 0);
    EXPECT_EQ(bmp.glyphOf(0x302), 52);
    EXPECT_EQ(bmp.glyphOf(0x1F), 0);
    EXPECT_EQ(bmp.glyphOf(0xFFFF), 0);
    const GlyphMap all(Cmap({Format4(), Format12()}));
    EXPECT_EQ(all.glyphOf(u'A'), 3 + 0x41 - 0x20);
    EXPECT_EQ(all.glyphOf(0x1F601), 901);
    EXPECT_EQ(all.glyphOf(0x300), 0);
    EXPECT_FALSE(GlyphMap().known());
}

TEST(GlyphMap, ATruncatedTableIsReadSafely) {
    const std::vector<uint8_t> whole = Cmap({Format4(), Format12()});
    for (size_t size = 0; size < whole.size(); ++size) {
        const GlyphMap cut(std::span(whole.data(), size));
        if (cut.known()) {
            EXPECT_EQ(cut.glyphOf(0x1F601), 0) << size; // only the whole last group has it
        }
    }
}

// The cmap table of a font file, empty when it cannot be read.
std::vector<uint8_t> CmapOf(const char* path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::vector<uint8_t> font(in ? static_cast<size_t>(in.tellg()) : 0);
    in.seekg(0);
    in.read(reinterpret_cast<char*>(font.data()), static_cast<std::streamsize>(font.size()));
    auto at = [&](size_t p, int size) {
        uint32_t v = 0;
        for (int i = 0; i < size && p + i < font.size(); ++i)
            v = v << 8 | font[p + i];
        return v;
    };
    for (uint32_t i = 0; i < at(4, 2); ++i) {
        const size_t record = 12 + size_t{i} * 16;
        if (at(record, 4) == 0x636D6170 && at(record + 8, 4) + at(record + 12, 4) <= font.size())
            return {font.begin() + at(record + 8, 4),
                    font.begin() + at(record + 8, 4) + at(record + 12, 4)};
    }
    return {};
}

TEST(GlyphMap, ReadsTheFontsTheTestsDrawWith) {
    const std::vector<uint8_t> mono = CmapOf("/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf");
    const std::vector<uint8_t> sans = CmapOf("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    if (mono.empty() || sans.empty())
        GTEST_SKIP() << "no DejaVu fonts here";
    const GlyphMap monoMap(mono);
    EXPECT_NE(monoMap.glyphOf(u'e'), 0);
    EXPECT_NE(monoMap.glyphOf(0x301), 0);
    EXPECT_EQ(monoMap.glyphOf(0x1F1EF), 0);
    EXPECT_NE(GlyphMap(sans).glyphOf(0x1F600), 0);
}

} // namespace

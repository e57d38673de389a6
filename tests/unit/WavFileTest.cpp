#include "voice/WavFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "WavBuilder.h"
#include "WavCases.h"

namespace tolvane::testing {
namespace {

struct ParseResult {
    std::optional<WavLayout> layout;
    std::uint64_t furthestRead = 0;
};

ParseResult Parse(const std::string& bytes) {
    ParseResult result;
    const WavReader reader = [&](std::uint64_t offset, void* buffer, std::size_t length) {
        result.furthestRead = std::max(result.furthestRead, offset + length);
        if (offset + length > bytes.size()) return false;
        std::memcpy(buffer, bytes.data() + offset, length);
        return true;
    };
    result.layout = ParseWav(reader, bytes.size());
    return result;
}

TEST(ParseWav, FindsPlayablePcmAndRefusesTheRest) {
    for (const WavRow& row : WavRows()) {
        SCOPED_TRACE(row.name);
        const ParseResult result = Parse(row.bytes);
        EXPECT_LE(result.furthestRead, row.bytes.size());
        ASSERT_EQ(result.layout.has_value(), row.playable);
        if (!row.playable) continue;
        EXPECT_EQ(result.layout->format.channels, row.format.channels);
        EXPECT_EQ(result.layout->format.sampleRate, row.format.sampleRate);
        EXPECT_EQ(result.layout->format.bitsPerSample, row.format.bitsPerSample);
        EXPECT_EQ(result.layout->format.isFloat, row.format.isFloat);
        EXPECT_EQ(result.layout->dataOffset, row.dataOffset);
        EXPECT_EQ(result.layout->dataBytes, row.dataBytes);
        EXPECT_LE(result.layout->dataOffset + result.layout->dataBytes, row.bytes.size());
    }
}

struct ConversionRow {
    const char* name;
    WavFormat format;
    std::string samples;
    std::vector<std::int16_t> expected;
    int volume = 100;
};

std::string Floats(std::initializer_list<float> values) {
    std::string out;
    for (float value : values) out += Le32(std::bit_cast<std::uint32_t>(value));
    return out;
}

TEST(AppendPcm16, KeepsTheTopSixteenBitsAndTheFirstTwoChannels) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    // clang-format off
    const ConversionRow rows[] = {
        {"unsigned_8", {1, 8000, 8}, std::string("\x00\x80\xFF\x7F", 4), {-32768, 0, 32512, -256}},
        {"signed_16", {2, 8000, 16}, Le16(0x1234) + Le16(0x8000), {0x1234, -32768}},
        {"signed_24", {1, 8000, 24}, std::string("\x56\x34\x12\xFF\xFF\xFF\x00\x00\x80", 9), {0x1234, -1, -32768}},
        {"signed_32", {1, 8000, 32}, Le32(0x7FFFFFFF) + Le32(0x80000000u) + Le32(0x00010000), {32767, -32768, 1}},
        {"float_32", {1, 8000, 32, true}, Floats({0.0f, 1.0f, -1.0f, 0.5f, 2.5f, -7.0f, nan, inf, -inf}),
         {0, 32767, -32767, 16384, 32767, -32767, 0, 32767, -32767}},
        {"four_channels_keep_two", {4, 8000, 16}, Le16(1) + Le16(2) + Le16(3) + Le16(4) + Le16(5) + Le16(6) + Le16(7) + Le16(8), {1, 2, 5, 6}},
        {"three_channels_24_bit", {3, 8000, 24}, std::string("\x00\x01\x00\x00\x02\x00\x00\x03\x00", 9), {1, 2}},
        {"eight_channels_float", {8, 8000, 32, true}, Floats({0.25f, -0.25f, 1, 1, 1, 1, 1, 1}), {8192, -8192}},
        // the volume scales every kind of sample towards silence; a spoilt one plays in full
        {"unsigned_8_at_50", {1, 8000, 8}, std::string("\x00\x80\xFF\x7F", 4), {-16384, 0, 16256, -128}, 50},
        {"signed_16_at_50", {2, 8000, 16}, Le16(0x1234) + Le16(0x8000), {0x091A, -16384}, 50},
        {"signed_16_at_0", {2, 8000, 16}, Le16(0x1234) + Le16(0x8000), {0, 0}, 0},
        {"signed_24_at_50", {1, 8000, 24}, std::string("\x56\x34\x12\xFF\xFF\xFF\x00\x00\x80", 9), {0x091A, 0, -16384}, 50},
        {"signed_24_at_1", {1, 8000, 24}, std::string("\xFF\xFF\x7F\x00\x00\x80", 6), {327, -327}, 1},
        {"float_32_at_50", {1, 8000, 32, true}, Floats({1.0f, -1.0f, 0.5f, 2.5f}), {16383, -16383, 8192, 16383}, 50},
        {"float_32_at_0", {1, 8000, 32, true}, Floats({1.0f, -0.5f}), {0, 0}, 0},
        {"signed_16_at_100", {1, 8000, 16}, Le16(0x7FFF) + Le16(0x8000), {32767, -32768}, 100},
        {"signed_16_at_300_plays_full", {1, 8000, 16}, Le16(0x7FFF) + Le16(0x8000), {32767, -32768}, 300},
        {"unsigned_8_at_minus_5_plays_full", {1, 8000, 8}, std::string("\x00\xFF", 2), {-32768, 32512}, -5},
    };
    // clang-format on
    for (const ConversionRow& row : rows) {
        SCOPED_TRACE(row.name);
        const std::size_t frames = row.samples.size() / row.format.BytesPerFrame();
        std::vector<std::int16_t> out = {7};
        AppendPcm16(row.format, reinterpret_cast<const unsigned char*>(row.samples.data()), frames,
                    out, row.volume);
        EXPECT_EQ(std::vector<std::int16_t>(out.begin() + 1, out.end()), row.expected);
    }
}

TEST(ParseWav, ManyTinyChunksEndTheSearch) {
    std::vector<Chunk> chunks{{"fmt ", Fmt(1, 1, 22050, 16)}};
    for (int i = 0; i < 10000; ++i) chunks.push_back({"junk", ""});
    chunks.push_back({"data", Samples(8)});
    EXPECT_FALSE(Parse(Wav(chunks)).layout.has_value());
}

TEST(ParseWav, FailingReaderIsNotPlayable) {
    const WavReader failing = [](std::uint64_t, void*, std::size_t) { return false; };
    EXPECT_FALSE(ParseWav(failing, 1u << 30).has_value());
}

TEST(ParseWav, RandomBytesNeverReadOutsideTheFile) {
    std::uint32_t state = 7;
    const std::string base = PlainClip(64);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes = base;
        for (int flips = 0; flips < 6; ++flips) {
            state = state * 1664525u + 1013904223u;
            bytes[(state >> 8) % bytes.size()] = static_cast<char>(state >> 24);
        }
        state = state * 1664525u + 1013904223u;
        bytes.resize((state >> 8) % (bytes.size() + 1));
        const ParseResult result = Parse(bytes);
        EXPECT_LE(result.furthestRead, bytes.size());
        if (result.layout) {
            EXPECT_LE(result.layout->dataOffset + result.layout->dataBytes, bytes.size());
        }
    }
}

}  // namespace
}  // namespace tolvane::testing

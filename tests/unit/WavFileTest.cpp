#include "voice/WavFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "WavBuilder.h"

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

struct WavRow {
    const char* name;
    std::string bytes;
    bool playable;
    WavFormat format;
    std::uint64_t dataOffset;
    std::uint64_t dataBytes;
};

std::vector<WavRow> Rows() {
    const std::string pcm16 = Fmt(1, 1, 22050, 16);
    const WavFormat float32{1, 22050, 32, true};
    // clang-format off
    return {
        // name                    bytes                                                   playable format          offset bytes
        {"mono_16bit", PlainClip(100), true, {1, 22050, 16}, 44, 200},
        {"stereo_8bit", Wav({{"fmt ", Fmt(1, 2, 8000, 8)}, {"data", Samples(64)}}), true, {2, 8000, 8}, 44, 64},
        {"stereo_16bit_48k", Wav({{"fmt ", Fmt(1, 2, 48000, 16)}, {"data", Samples(400)}}), true, {2, 48000, 16}, 44, 400},
        {"extensible_pcm", Wav({{"fmt ", Extensible(1, 44100, 16, 1)}, {"data", Samples(10)}}), true, {1, 44100, 16}, 68, 10},
        {"list_chunk_first", Wav({{"fmt ", pcm16}, {"LIST", "odd"}, {"data", Samples(8)}}), true, {1, 22050, 16}, 56, 8},
        {"fmt_with_extra_bytes", Wav({{"fmt ", pcm16 + Le16(0)}, {"data", Samples(8)}}), true, {1, 22050, 16}, 46, 8},
        {"truncated_data", Wav({{"fmt ", pcm16}, {"data", Samples(100), 5000}}), true, {1, 22050, 16}, 44, 100},
        {"half_frame_dropped", Wav({{"fmt ", pcm16}, {"data", Samples(101)}}), true, {1, 22050, 16}, 44, 100},
        {"streaming_size", Wav({{"fmt ", pcm16}, {"data", Samples(50), 0xFFFFFFFFu}}), true, {1, 22050, 16}, 44, 50},
        {"zero_declared_size", Wav({{"fmt ", pcm16}, {"data", Samples(50), 0}}), true, {1, 22050, 16}, 44, 50},
        {"gigabyte_sizes", Wav({{"fmt ", pcm16}, {"data", Samples(64), 0xFFFFFFF0u}}, 0xFFFFFFFFu), true, {1, 22050, 16}, 44, 64},
        {"lying_riff_size", Wav({{"fmt ", pcm16}, {"data", Samples(64)}}, 4), true, {1, 22050, 16}, 44, 64},
        {"data_declares_0xFFFFFFFE", Wav({{"fmt ", pcm16}, {"data", Samples(22048), 0xFFFFFFFEu}}), true, {1, 22050, 16}, 44, 22048},
        {"float_samples", Wav({{"fmt ", Fmt(3, 1, 22050, 32)}, {"data", Samples(8)}}), true, float32, 44, 8},
        {"six_channels", Wav({{"fmt ", Fmt(1, 6, 22050, 16)}, {"data", Samples(48)}}), true, {6, 22050, 16}, 44, 48},
        {"eight_channels_float", Wav({{"fmt ", Fmt(3, 8, 48000, 32)}, {"data", Samples(64)}}), true, {8, 48000, 32, true}, 44, 64},
        {"24_bit", Wav({{"fmt ", Fmt(1, 1, 22050, 24)}, {"data", Samples(9)}}), true, {1, 22050, 24}, 44, 9},
        {"24_bit_stereo_odd_tail", Wav({{"fmt ", Fmt(1, 2, 44100, 24)}, {"data", Samples(13)}}), true, {2, 44100, 24}, 44, 12},
        {"32_bit_integer", Wav({{"fmt ", Fmt(1, 2, 96000, 32)}, {"data", Samples(16)}}), true, {2, 96000, 32}, 44, 16},
        {"extensible_24_bit", Wav({{"fmt ", Extensible(2, 48000, 24, 1)}, {"data", Samples(12)}}), true, {2, 48000, 24}, 68, 12},
        {"extensible_20_in_24", Wav({{"fmt ", Extensible(1, 48000, 24, 1, 20)}, {"data", Samples(6)}}), true, {1, 48000, 24}, 68, 6},
        {"extensible_float_32bit", Wav({{"fmt ", Extensible(2, 44100, 32, 3)}, {"data", Samples(16)}}), true, {2, 44100, 32, true}, 68, 16},
        {"extensible_8_bit", Wav({{"fmt ", Extensible(1, 8000, 8, 1)}, {"data", Samples(5)}}), true, {1, 8000, 8}, 68, 5},
        {"lowest_rate", Wav({{"fmt ", Fmt(1, 1, 1000, 16)}, {"data", Samples(8)}}), true, {1, 1000, 16}, 44, 8},
        {"highest_rate", Wav({{"fmt ", Fmt(1, 1, 384000, 16)}, {"data", Samples(8)}}), true, {1, 384000, 16}, 44, 8},
        {"byte_rate_ignored", Wav({{"fmt ", FmtFields(1, 1, 22050, 7, 2, 16)}, {"data", Samples(8)}}), true, {1, 22050, 16}, 44, 8},
        // refused
        {"empty", "", false, {}, 0, 0},
        {"short", "RIFF", false, {}, 0, 0},
        {"not_riff", "RIFX" + Wav({{"fmt ", pcm16}, {"data", Samples(8)}}).substr(4), false, {}, 0, 0},
        {"not_wave", Wav({{"fmt ", pcm16}, {"data", Samples(8)}}, std::nullopt, "AVI "), false, {}, 0, 0},
        {"no_fmt", Wav({{"data", Samples(8)}}), false, {}, 0, 0},
        {"data_before_fmt", Wav({{"data", Samples(8)}, {"fmt ", pcm16}}), false, {}, 0, 0},
        {"no_data", Wav({{"fmt ", pcm16}}), false, {}, 0, 0},
        {"empty_data", Wav({{"fmt ", pcm16}, {"data", ""}}), false, {}, 0, 0},
        {"one_byte_of_16bit", Wav({{"fmt ", pcm16}, {"data", "x", 1}}), false, {}, 0, 0},
        {"extensible_float", Wav({{"fmt ", Extensible(1, 22050, 16, 3)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"zero_channels", Wav({{"fmt ", Fmt(1, 0, 22050, 16)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"nine_channels", Wav({{"fmt ", Fmt(1, 9, 22050, 16)}, {"data", Samples(72)}}), false, {}, 0, 0},
        {"zero_bits", Wav({{"fmt ", Fmt(1, 1, 22050, 0)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"12_bit", Wav({{"fmt ", Fmt(1, 1, 22050, 12)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"64_bit_float", Wav({{"fmt ", Fmt(3, 1, 22050, 64)}, {"data", Samples(16)}}), false, {}, 0, 0},
        {"16_bit_float", Wav({{"fmt ", Fmt(3, 1, 22050, 16)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"a_law", Wav({{"fmt ", Fmt(6, 1, 8000, 8)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"rate_zero", Wav({{"fmt ", Fmt(1, 1, 0, 16)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"rate_below_range", Wav({{"fmt ", Fmt(1, 1, 999, 16)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"rate_above_range", Wav({{"fmt ", Fmt(1, 1, 384001, 16)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"rate_absurd", Wav({{"fmt ", Fmt(1, 1, 4000000000u, 16)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"block_align_too_small", Wav({{"fmt ", FmtFields(1, 2, 22050, 88200, 2, 16)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"block_align_zero", Wav({{"fmt ", FmtFields(1, 1, 22050, 44100, 0, 16)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"block_align_padded", Wav({{"fmt ", FmtFields(1, 1, 22050, 88200, 4, 24)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"fmt_declares_0xFFFFFFF0", Wav({{"fmt ", pcm16, 0xFFFFFFF0u}, {"data", Samples(64)}}), false, {}, 0, 0},
        {"fmt_too_short", Wav({{"fmt ", pcm16.substr(0, 12)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"fmt_cut_by_eof", Wav({{"fmt ", pcm16.substr(0, 10), 16}}), false, {}, 0, 0},
        {"extensible_cut_short", Wav({{"fmt ", Extensible(1, 22050, 16, 1).substr(0, 24)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"extensible_extra_too_small", Wav({{"fmt ", Extensible(1, 22050, 16, 1, 0, 10)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"extensible_valid_bits_too_many", Wav({{"fmt ", Extensible(1, 22050, 16, 1, 17)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"extensible_adpcm", Wav({{"fmt ", Extensible(1, 22050, 16, 2)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"extensible_foreign_guid", Wav({{"fmt ", Patched(Extensible(1, 22050, 16, 1), 39, 'x')}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"extensible_zero_channels", Wav({{"fmt ", Extensible(0, 22050, 16, 1)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"chunk_jumps_past_end", Wav({{"fmt ", pcm16}, {"JUNK", "ab", 0x7FFFFFF0u}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"header_only", std::string("RIFF\x04\x00\x00\x00WAVE", 12), false, {}, 0, 0},
    };
    // clang-format on
}

TEST(ParseWav, FindsPlayablePcmAndRefusesTheRest) {
    for (const WavRow& row : Rows()) {
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

// The player that hands whole files to the system: the same rows decide between an image of
// our own making and the alert, and the image is the plainest WAV there is.
TEST(PlayableImage, PlaysAnImageOfValidatedSamplesOrTheAlert) {
    for (const WavRow& row : Rows()) {
        SCOPED_TRACE(row.name);
        const std::optional<std::string> image = PlayableImage(row.bytes);
        ASSERT_EQ(image.has_value(), row.playable);
        if (!row.playable) continue;
        const int channels = std::min(row.format.channels, 2);
        const std::uint64_t frames = row.dataBytes / row.format.BytesPerFrame();
        ASSERT_EQ(image->size(), 44 + frames * channels * 2);
        EXPECT_EQ(image->substr(0, 4), "RIFF");
        EXPECT_EQ(image->substr(4, 4), Le32(static_cast<std::uint32_t>(image->size() - 8)));
        EXPECT_EQ(image->substr(12, 24), Fmt(1, channels, row.format.sampleRate, 16)
                                             .insert(0, std::string("fmt \x10\x00\x00\x00", 8)));
        const std::optional<WavLayout> again = ParseWav(*image);
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(again->dataOffset, 44u);
        EXPECT_EQ(again->dataBytes, frames * channels * 2);
    }
}

struct ConversionRow {
    const char* name;
    WavFormat format;
    std::string samples;
    std::vector<std::int16_t> expected;
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
    };
    // clang-format on
    for (const ConversionRow& row : rows) {
        SCOPED_TRACE(row.name);
        const std::size_t frames = row.samples.size() / row.format.BytesPerFrame();
        std::string out = "kept";
        AppendPcm16(row.format, reinterpret_cast<const unsigned char*>(row.samples.data()), frames,
                    out);
        ASSERT_EQ(out.size(), 4 + row.expected.size() * 2);
        EXPECT_EQ(out.substr(0, 4), "kept");
        for (std::size_t i = 0; i < row.expected.size(); ++i) {
            EXPECT_EQ(out.substr(4 + 2 * i, 2), Le16(static_cast<std::uint16_t>(row.expected[i])))
                << "sample " << i;
        }
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

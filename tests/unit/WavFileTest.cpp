#include "voice/WavFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

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
        {"float_samples", Wav({{"fmt ", Fmt(3, 1, 22050, 32)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"extensible_float", Wav({{"fmt ", Extensible(1, 22050, 16, 3)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"zero_channels", Wav({{"fmt ", Fmt(1, 0, 22050, 16)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"six_channels", Wav({{"fmt ", Fmt(1, 6, 22050, 16)}, {"data", Samples(48)}}), false, {}, 0, 0},
        {"24_bit", Wav({{"fmt ", Fmt(1, 1, 22050, 24)}, {"data", Samples(9)}}), false, {}, 0, 0},
        {"zero_bits", Wav({{"fmt ", Fmt(1, 1, 22050, 0)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"rate_zero", Wav({{"fmt ", Fmt(1, 1, 0, 16)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"rate_absurd", Wav({{"fmt ", Fmt(1, 1, 4000000000u, 16)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"fmt_too_short", Wav({{"fmt ", pcm16.substr(0, 12)}, {"data", Samples(8)}}), false, {}, 0, 0},
        {"fmt_cut_by_eof", Wav({{"fmt ", pcm16.substr(0, 10), 16}}), false, {}, 0, 0},
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
        EXPECT_EQ(result.layout->dataOffset, row.dataOffset);
        EXPECT_EQ(result.layout->dataBytes, row.dataBytes);
        EXPECT_LE(result.layout->dataOffset + result.layout->dataBytes, row.bytes.size());
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

#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "WavBuilder.h"
#include "voice/WavFile.h"

// Clip files as a careful tester would make them, and what the WAV reader makes of each: the
// parser, the image the Windows player plays and the samples the Linux player writes all
// follow these rows.
namespace tolvane::testing {

struct WavRow {
    const char* name;
    std::string bytes;
    bool playable;
    WavFormat format;
    std::uint64_t dataOffset;
    std::uint64_t dataBytes;
};

inline std::vector<WavRow> WavRows() {
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
        {"zero_declared_size", Wav({{"fmt ", pcm16}, {"data", Samples(50), 0}}), false, {}, 0, 0},
        {"empty_data_then_id3", Wav({{"fmt ", pcm16}, {"data", ""}, {"id3 ", Samples(4096)}}), false, {}, 0, 0},
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

}  // namespace tolvane::testing

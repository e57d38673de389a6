#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Builds RIFF/WAVE bytes chunk by chunk, with room to lie about every size.
namespace tolvane::testing {

inline std::string Le16(std::uint32_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}

inline std::string Le32(std::uint32_t v) {
    return Le16(v & 0xFFFF) + Le16(v >> 16);
}

struct Chunk {
    Chunk(std::string id, std::string body, std::optional<std::uint32_t> declared = std::nullopt)
        : id(std::move(id)), body(std::move(body)), declared(declared) {}
    std::string id;
    std::string body;
    std::optional<std::uint32_t> declared;  // size written in the header; body size if unset
};

// A 16-byte format body with every field as given, consistent or not.
inline std::string FmtFields(std::uint32_t tag, std::uint32_t channels, std::uint32_t rate,
                             std::uint32_t byteRate, std::uint32_t align, std::uint32_t bits) {
    return Le16(tag) + Le16(channels) + Le32(rate) + Le32(byteRate) + Le16(align) + Le16(bits);
}

inline std::string Fmt(std::uint32_t tag, std::uint32_t channels, std::uint32_t rate,
                       std::uint32_t bits) {
    const std::uint32_t align = channels * bits / 8;
    return FmtFields(tag, channels, rate, rate * align, align, bits);
}

inline std::string Extensible(std::uint32_t channels, std::uint32_t rate, std::uint32_t bits,
                              std::uint32_t subFormat, std::uint32_t validBits = 0,
                              std::uint32_t extraBytes = 22) {
    return Fmt(0xFFFE, channels, rate, bits) + Le16(extraBytes) +
           Le16(validBits ? validBits : bits) + Le32(0) + Le16(subFormat) +
           std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
}

// `bytes` with the byte at `at` replaced.
inline std::string Patched(std::string bytes, std::size_t at, char value) {
    bytes.at(at) = value;
    return bytes;
}

inline std::string Samples(std::size_t bytes) {
    std::string out(bytes, '\0');
    for (std::size_t i = 0; i < bytes; ++i) out[i] = static_cast<char>((i * 37) & 0xFF);
    return out;
}

inline std::string Wav(const std::vector<Chunk>& chunks,
                       std::optional<std::uint32_t> riffSize = std::nullopt,
                       const std::string& form = "WAVE") {
    std::string body = form;
    for (const Chunk& chunk : chunks) {
        body +=
            chunk.id + Le32(chunk.declared.value_or(static_cast<std::uint32_t>(chunk.body.size())));
        body += chunk.body;
        if (chunk.body.size() % 2 == 1 && !chunk.declared) body += '\0';
    }
    return "RIFF" + Le32(riffSize.value_or(static_cast<std::uint32_t>(body.size()))) + body;
}

// A plain 16-bit mono clip of `frames` frames.
inline std::string PlainClip(std::size_t frames, std::uint32_t rate = 22050) {
    return Wav({{"fmt ", Fmt(1, 1, rate, 16)}, {"data", Samples(frames * 2)}});
}

}  // namespace tolvane::testing

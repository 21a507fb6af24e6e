#pragma once
// Hand-made GIF block streams, for the cases an encoder will not produce.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

inline Bytes Word(int value) {
    return {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8)};
}

// Header and screen descriptor; a global table of 2^(exponent+1) entries
// when exponent >= 0.
inline Bytes GifHeader(int width, int height, int exponent, const char* version = "GIF89a") {
    Bytes out(version, version + 6);
    Append(out, Word(width));
    Append(out, Word(height));
    out.push_back(exponent >= 0 ? static_cast<std::uint8_t>(0x80 | exponent) : 0);
    out.push_back(0);
    out.push_back(0);
    if (exponent >= 0) out.resize(out.size() + (3u << (exponent + 1)), 0x7F);
    return out;
}

inline Bytes ControlExtension(int disposal, int delay) {
    Bytes out{0x21, 0xF9, 0x04, static_cast<std::uint8_t>(disposal << 2)};
    Append(out, Word(delay));
    out.push_back(0);
    out.push_back(0);
    return out;
}

inline Bytes SubBlocks(std::initializer_list<int> sizes) {
    Bytes out;
    for (int size : sizes) {
        out.push_back(static_cast<std::uint8_t>(size));
        out.resize(out.size() + size, 0x55);
    }
    out.push_back(0);
    return out;
}

inline Bytes Comment(const std::string& text) {
    Bytes out{0x21, 0xFE, static_cast<std::uint8_t>(text.size())};
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
    return out;
}

inline Bytes Application() {
    Bytes out{0x21, 0xFF, 0x0B};
    const std::string id = "NETSCAPE2.0";
    out.insert(out.end(), id.begin(), id.end());
    Append(out, Bytes{0x03, 0x01, 0x00, 0x00, 0x00});
    return out;
}

inline Bytes PlainText() {
    Bytes out{0x21, 0x01, 0x0C};
    out.resize(out.size() + 12, 0x01);
    Append(out, SubBlocks({4}));
    return out;
}

inline Bytes Image(int left, int top, int width, int height, int localExponent = -1) {
    Bytes out{0x2C};
    Append(out, Word(left));
    Append(out, Word(top));
    Append(out, Word(width));
    Append(out, Word(height));
    out.push_back(localExponent >= 0 ? static_cast<std::uint8_t>(0x80 | localExponent) : 0);
    if (localExponent >= 0) out.resize(out.size() + (3u << (localExponent + 1)), 0x22);
    out.push_back(2);  // LZW minimum code size
    Append(out, SubBlocks({3, 1}));
    return out;
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) Append(out, part);
    return out;
}

inline constexpr std::uint8_t kTrailer = 0x3B;

#pragma once
// Numbers stored in file headers, read from bytes whatever the machine's own byte order.

#include <cstdint>

inline unsigned ReadLE16(const std::uint8_t* p) {
    return p[0] | (unsigned{p[1]} << 8);
}
inline std::uint32_t ReadLE32(const std::uint8_t* p) {
    return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}
inline std::uint32_t ReadBE32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

#pragma once
// Vector kernels of FastFX for processors with 512-bit byte permutes (AVX-512 VBMI), chosen at run
// time; every caller keeps a plain loop for other processors. Internal to the image library.

#include <cstddef>
#include <cstdint>

namespace fastfx_simd {

// True when the processor and the operating system support the kernels below (and they are not
// switched off).
bool Available();
// Switches the kernels off (or on again), so that the plain loops can be exercised on any machine.
void SetEnabled(bool enabled);

// Maps a run of n bytes laid out b, g, r, b, g, r, ... (starting with b) through the three tables.
void ApplyTables24(std::uint8_t* p, std::size_t n, const std::uint8_t* B, const std::uint8_t* G,
                   const std::uint8_t* R);
// Maps count 4-byte pixels b, g, r, a; the fourth byte is kept.
void ApplyTables32(std::uint8_t* p, std::size_t count, const std::uint8_t* B, const std::uint8_t* G,
                   const std::uint8_t* R);
// Reverses the order of the w (at least 1) 3-byte pixels of one row; scratch holds 3 * w + 64 bytes.
void MirrorRow24(std::uint8_t* row, int w, std::uint8_t* scratch);

} // namespace fastfx_simd

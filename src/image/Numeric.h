#pragma once
// Numeric helpers shared by every part of the program: rounding as the image arithmetic expects it,
// wrap-around modulo, byte clamping and the process-wide pseudo-random generator.

#include <cmath>
#include <cstdint>
#include <limits>

// Nearest integer, halves to even (IEEE default rounding mode). NaN gives 0; values beyond the range
// of int64 saturate, so a conversion is never undefined.
inline std::int64_t Round(long double x) {
    if (std::isnan(x)) return 0;
    long double r = std::nearbyint(x);
    if (r >= 9.2233720368547758e18L) return std::numeric_limits<std::int64_t>::max();
    if (r <= -9.2233720368547758e18L) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(r);
}
inline std::int64_t Round(double x) {
    if (std::isnan(x)) return 0;
    double r = std::nearbyint(x);
    if (r >= 9.2233720368547758e18) return std::numeric_limits<std::int64_t>::max();
    if (r <= -9.2233720368547758e18) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(r);
}
inline std::int64_t Round(float x) {
    return Round(static_cast<double>(x));
}

// Round for hot loops, without a library call: adding and taking away 1.5 * 2^52 leaves the nearest
// integer (halves to even under the default rounding mode). Values beyond 2^51 and NaN go through Round.
inline std::int64_t RoundFast(double x) {
    if (std::fabs(x) < 2251799813685248.0) // 2^51
        return static_cast<std::int64_t>((x + 6755399441055744.0) - 6755399441055744.0);
    return Round(x);
}

// Toward zero, with the same NaN and range rules as Round.
inline std::int64_t Trunc(long double x) {
    if (std::isnan(x)) return 0;
    if (x >= 9.2233720368547758e18L) return std::numeric_limits<std::int64_t>::max();
    if (x <= -9.2233720368547758e18L) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(x);
}
inline std::int64_t Trunc(double x) {
    if (std::isnan(x)) return 0;
    if (x >= 9.2233720368547758e18) return std::numeric_limits<std::int64_t>::max();
    if (x <= -9.2233720368547758e18) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(x);
}
inline std::int64_t Trunc(float x) { return Trunc(static_cast<double>(x)); }

// Saturates a 64-bit value to the int range (for results stored in int fields).
inline int ClampToInt(std::int64_t v) {
    if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}
// Range-checked conversions to int, cheap enough for pixel loops.
inline int RoundI(double x) {
    if (!(x > -2147483648.5)) return std::isnan(x) ? 0 : std::numeric_limits<int>::min();
    if (!(x < 2147483647.5)) return std::numeric_limits<int>::max();
    return static_cast<int>(std::nearbyint(x));
}
inline int TruncI(double x) {
    if (!(x > -2147483649.0)) return std::isnan(x) ? 0 : std::numeric_limits<int>::min();
    if (!(x < 2147483648.0)) return std::numeric_limits<int>::max();
    return static_cast<int>(x);
}

// a * b / c with a 64-bit product, rounded to nearest with halves away from zero; -1 when c is 0.
inline int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    std::int64_t p = static_cast<std::int64_t>(a) * b;
    std::int64_t q = p / c, rem = p % c;
    std::int64_t twice = 2 * (rem < 0 ? -rem : rem);
    std::int64_t ac = c < 0 ? -static_cast<std::int64_t>(c) : c;
    if (twice >= ac) q += ((p < 0) != (c < 0)) ? -1 : 1;
    return ClampToInt(q);
}

// Mathematical modulo: the result lies in 0 .. n - 1 for any a (n > 0). n <= 0 gives 0.
inline int WrapMod(std::int64_t a, int n) {
    if (n <= 0) return 0;
    std::int64_t r = a % n;
    return static_cast<int>(r < 0 ? r + n : r);
}

inline std::uint8_t ClampToByte(int v) {
    return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// Process-wide pseudo-random generator: a 32-bit linear congruential sequence, so that a seed set in a
// test gives a repeatable sequence. Only the user-interface thread draws from it.
std::uint32_t& RandSeed();
void SetRandSeed(std::uint32_t seed);
// Seeds from the clock.
void Randomize();
// One step of the sequence, and a step's value scaled to 0 .. n - 1 (0 when n <= 0).
inline std::uint32_t RandNext(std::uint32_t s) {
    return s * 134775813u + 1u;
}
inline int RandScale(std::uint32_t s, int n) {
    if (n <= 0) return 0;
    return static_cast<int>((static_cast<std::uint64_t>(s) * static_cast<std::uint32_t>(n)) >> 32);
}
// A value in 0 .. n - 1; 0 when n <= 0.
inline int Random(int n) {
    std::uint32_t& s = RandSeed();
    s = RandNext(s);
    return RandScale(s, n);
}
// Draws from the same process-wide sequence through a local copy of the seed, for pixel loops: the
// seed stays in a register instead of being reloaded after every pixel store. The seed is written
// back when the object goes, so the sequence continues exactly as with Random.
class RandomDraws {
public:
    RandomDraws() : s_(RandSeed()) {}
    ~RandomDraws() { RandSeed() = s_; }
    RandomDraws(const RandomDraws&) = delete;
    RandomDraws& operator=(const RandomDraws&) = delete;
    int operator()(int n) {
        s_ = RandNext(s_);
        return RandScale(s_, n);
    }

private:
    std::uint32_t s_;
};
// A value in [0, 1).
inline double RandomReal() {
    std::uint32_t& s = RandSeed();
    s = RandNext(s);
    return static_cast<double>(s) / 4294967296.0;
}

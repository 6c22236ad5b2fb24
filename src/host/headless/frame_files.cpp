#include "host/headless/frame_files.h"

#include <libdeflate.h>

#include <array>
#include <bit>

namespace kaze::host {

// libdeflate's CRC-32 is zlib's (same polynomial, same initial and final
// inversion), folded with carry-less multiplication where the processor has
// it: several times zlib's speed, and every new frame is summed.
uint32_t FrameCrc(const std::vector<uint16_t>& pixels) {
  if constexpr (std::endian::native == std::endian::little) {
    // The words in memory are already the little-endian bytes.
    return libdeflate_crc32(0, pixels.data(), pixels.size() * 2);
  }
  uint32_t crc = 0;
  unsigned char bytes[2];
  for (uint16_t pixel : pixels) {
    bytes[0] = static_cast<unsigned char>(pixel & 0xFF);
    bytes[1] = static_cast<unsigned char>(pixel >> 8);
    crc = libdeflate_crc32(crc, bytes, 2);
  }
  return crc;
}

namespace {

// Arithmetic modulo the CRC-32 polynomial, bit-reflected as the CRC keeps
// it: the top bit is x^0.
constexpr uint32_t kPolynomial = 0xEDB88320u;

uint32_t MultiplyModP(uint32_t a, uint32_t b) {
  uint32_t product = 0;
  for (uint32_t bit = 1u << 31; bit != 0; bit >>= 1) {
    if ((a & bit) != 0) product ^= b;
    b = (b & 1) != 0 ? (b >> 1) ^ kPolynomial : b >> 1;
  }
  return product;
}

// x^(8n) mod p: what passing n zero bytes does to the CRC's register.
uint32_t ZeroBytesFactor(size_t n) {
  static const std::array<uint32_t, 64> kSquares = [] {
    std::array<uint32_t, 64> squares{};  // x^(2^k)
    squares[0] = 1u << 30;               // x^1
    for (size_t k = 1; k < squares.size(); ++k) squares[k] = MultiplyModP(squares[k - 1], squares[k - 1]);
    return squares;
  }();
  uint32_t factor = 1u << 31;  // x^0
  for (size_t k = 3; n != 0; n >>= 1, ++k)
    if ((n & 1) != 0) factor = MultiplyModP(kSquares[k], factor);
  return factor;
}

// The register after the bytes from a cleared register, without the
// inversions around it: the CRC's linear part.
uint32_t LinearPart(const uint16_t* words, size_t bytes) { return ~libdeflate_crc32(~0u, words, bytes); }

}  // namespace

uint32_t FrameCrcTerm(size_t frameBytes, size_t at, const uint16_t* words, size_t bytes) {
  // crc(new) = crc(old) ^ L(old ^ new), L the register's linear part; the
  // difference is zero outside these bytes, zeros ahead of them leave a
  // cleared register cleared, and those after them multiply it by x^(8n).
  return MultiplyModP(ZeroBytesFactor(frameBytes - at - bytes), LinearPart(words, bytes));
}

}  // namespace kaze::host

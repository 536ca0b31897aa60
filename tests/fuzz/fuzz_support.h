// What every fuzz target shares: a property check that stops the run with a message, a small
// deterministic generator for choices derived from the input, and buffers of exact size so that
// the address sanitizer sees any access past their end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

namespace vellumo::fuzz {

[[noreturn]] inline void PropertyFailed(const char* property, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: property does not hold: %s\n", file, line, property);
  std::abort();
}

}  // namespace vellumo::fuzz

// Aborts (which libFuzzer reports as a crash and saves the input) when cond is false.
#define FUZZ_CHECK(cond) \
  ((cond) ? static_cast<void>(0) : ::vellumo::fuzz::PropertyFailed(#cond, __FILE__, __LINE__))

namespace vellumo::fuzz {

// SplitMix64: the same input always makes the same choices, so a saved crash reproduces.
class Choices {
 public:
  explicit Choices(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A value from 0 to k - 1 (k > 0).
  std::size_t Below(std::size_t k) { return static_cast<std::size_t>(Next() % k); }

 private:
  std::uint64_t state_;
};

// FNV-1a over the input, to seed the choices.
inline std::uint64_t HashOf(std::string_view bytes) {
  std::uint64_t h = 0xCBF29CE484222325ull;
  for (const char c : bytes) {
    h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
  }
  return h;
}

// A heap copy of exactly these bytes (plus spare room when asked): reads past size() hit the
// sanitizer's red zone, which a std::string's spare capacity would hide.
inline std::vector<char> ExactCopy(std::string_view bytes, std::size_t atLeast = 0) {
  std::vector<char> copy(bytes.size() > atLeast ? bytes.size() : atLeast);
  if (!bytes.empty()) std::memcpy(copy.data(), bytes.data(), bytes.size());
  return copy;
}

inline std::string_view AsView(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace vellumo::fuzz

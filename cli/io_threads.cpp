#include "cli/io_threads.h"

#include <bit>
#include <cstring>

#include "cli/interrupt_cleanup.h"

namespace vellumo {
namespace {

constexpr std::size_t kReadSlots = 3;
constexpr std::size_t kWriteBuffers = 3;
constexpr std::size_t kWriteBufferSize = std::size_t{2} << 20;

}  // namespace

namespace {

// Eight lanes of 8-byte words, each step a bijection of its lane (so one changed word always
// shows), and the length.
std::uint64_t MultiplyFingerprint(TextView bytes) {
  constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15u;
  constexpr std::size_t kLanes = 8;
  std::uint64_t lanes[kLanes] = {1, 2, 3, 4, 5, 6, 7, 8};
  std::size_t i = 0;
  for (; i + 8 * kLanes <= bytes.size(); i += 8 * kLanes) {
    for (std::size_t k = 0; k < kLanes; ++k) {
      std::uint64_t word;
      std::memcpy(&word, bytes.data() + i + 8 * k, 8);
      lanes[k] = std::rotl((lanes[k] ^ word) * kMul, 31);
    }
  }
  std::uint64_t h = bytes.size();
  for (; i < bytes.size(); ++i)
    h = std::rotl((h ^ static_cast<unsigned char>(bytes[i])) * kMul, 31);
  for (const std::uint64_t lane : lanes)
    h = std::rotl((h ^ lane) * kMul, 31);
  return h ^ (h >> 29);
}

#if defined(__GNUC__) && defined(__x86_64__)
#define VELLUMO_CRC32C 1

// CRC-32C (the processor's crc32 instruction, made to find accidental changes) of each third of
// the piece, three streams at once, with the length.
__attribute__((target("sse4.2"))) std::uint64_t Crc32cFingerprint(TextView bytes) {
  const std::size_t third = bytes.size() / 24 * 8;
  const char* first = bytes.data();
  const char* second = first + third;
  const char* last = second + third;
  // Three variables, not an array, so that the three streams stay in registers.
  std::uint64_t a = 0xFFFFFFFF;
  std::uint64_t b = 0xFFFFFFFF;
  std::uint64_t c = 0xFFFFFFFF;
  for (std::size_t i = 0; i < third; i += 8) {
    std::uint64_t wordA;
    std::uint64_t wordB;
    std::uint64_t wordC;
    std::memcpy(&wordA, first + i, 8);
    std::memcpy(&wordB, second + i, 8);
    std::memcpy(&wordC, last + i, 8);
    a = __builtin_ia32_crc32di(a, wordA);
    b = __builtin_ia32_crc32di(b, wordB);
    c = __builtin_ia32_crc32di(c, wordC);
  }
  for (std::size_t i = 3 * third; i < bytes.size(); ++i) {
    c = __builtin_ia32_crc32qi(static_cast<unsigned>(c), static_cast<unsigned char>(bytes[i]));
  }
  return ((a & 0xFFFFFFFF) << 32 | (b & 0xFFFFFFFF)) ^ ((c & 0xFFFFFFFF) * 0x9E3779B97F4A7C15u) ^
         bytes.size();
}
#endif

}  // namespace

std::uint64_t Fingerprint(TextView bytes) {
#if defined(VELLUMO_CRC32C)
  static const bool crc32 = __builtin_cpu_supports("sse4.2");
  if (crc32) return Crc32cFingerprint(bytes);
#endif
  return MultiplyFingerprint(bytes);
}

ReadAhead::ReadAhead(Read read, std::size_t pieceSize, bool withFingerprints)
    : read_(std::move(read)),
      pieceSize_(pieceSize),
      withFingerprints_(withFingerprints),
      slots_(kReadSlots) {
  for (auto& slot : slots_)
    slot.data = std::make_unique_for_overwrite<char[]>(pieceSize);
  Start();
}

ReadAhead::~ReadAhead() {
  Stop();
}

void ReadAhead::Start() {
  first_ = 0;
  filled_ = 0;
  holding_ = false;
  stop_ = false;
  ended_ = false;
  failure_ = nullptr;
  thread_ = std::thread([this] { Run(); });
}

void ReadAhead::Stop() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void ReadAhead::Restart(const std::function<void()>& rewind, bool withFingerprints) {
  Stop();
  rewind();
  withFingerprints_ = withFingerprints;
  Start();
}

void ReadAhead::Run() {
  LeaveInterruptsToTheMainThread();
  for (;;) {
    std::size_t index = 0;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return stop_ || filled_ < slots_.size(); });
      if (stop_) return;
      index = (first_ + filled_) % slots_.size();
    }
    Slot& slot = slots_[index];
    try {
      slot.size = read_(slot.data.get(), pieceSize_);
      if (withFingerprints_) slot.fingerprint = Fingerprint(TextView(slot.data.get(), slot.size));
    } catch (...) {
      const std::lock_guard lock(mutex_);
      failure_ = std::current_exception();
      changed_.notify_all();
      return;
    }
    const std::lock_guard lock(mutex_);
    ++filled_;
    changed_.notify_all();
    if (slot.size < pieceSize_) {
      ended_ = true;
      return;
    }
  }
}

TextView ReadAhead::Next(std::uint64_t& fingerprint) {
  std::unique_lock lock(mutex_);
  if (holding_) {
    first_ = (first_ + 1) % slots_.size();
    --filled_;
    holding_ = false;
    changed_.notify_all();
  }
  changed_.wait(lock, [&] { return filled_ > 0 || failure_ || ended_; });
  if (filled_ == 0) {
    if (failure_) std::rethrow_exception(failure_);
    return {};  // asked for more after the last piece
  }
  holding_ = true;
  const Slot& slot = slots_[first_];
  fingerprint = slot.fingerprint;
  return TextView(slot.data.get(), slot.size);
}

WriteBehind::WriteBehind(Write write)
    : write_(std::move(write)), buffers_(kWriteBuffers), sizes_(kWriteBuffers) {
  for (auto& buffer : buffers_)
    buffer = std::make_unique_for_overwrite<char[]>(kWriteBufferSize);
  thread_ = std::thread([this] { Run(); });
}

WriteBehind::~WriteBehind() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void WriteBehind::Run() {
  LeaveInterruptsToTheMainThread();
  for (;;) {
    std::size_t index = 0;
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [&] { return stop_ || queued_ > 0; });
      if (stop_) return;
      index = first_;
    }
    try {
      write_(TextView(buffers_[index].get(), sizes_[index]));
    } catch (...) {
      const std::lock_guard lock(mutex_);
      failure_ = std::current_exception();
      changed_.notify_all();
      return;
    }
    const std::lock_guard lock(mutex_);
    first_ = (first_ + 1) % buffers_.size();
    --queued_;
    changed_.notify_all();
  }
}

// Hands the current buffer to the thread and takes a free one, waiting for it if need be.
void WriteBehind::HandOver() {
  std::unique_lock lock(mutex_);
  sizes_[current_] = used_;
  ++queued_;
  changed_.notify_all();
  changed_.wait(lock, [&] { return failure_ || queued_ < buffers_.size(); });
  if (failure_) std::rethrow_exception(failure_);
  current_ = (first_ + queued_) % buffers_.size();
  used_ = 0;
}

char* WriteBehind::Room(std::size_t n) {
  if (used_ + n > kWriteBufferSize) HandOver();
  return buffers_[current_].get() + used_;
}

void WriteBehind::Made(std::size_t n) {
  used_ += n;
  if (used_ == kWriteBufferSize) HandOver();
}

void WriteBehind::Put(TextView bytes) {
  while (!bytes.empty()) {
    const std::size_t n = std::min(bytes.size(), kWriteBufferSize - used_);
    std::memcpy(buffers_[current_].get() + used_, bytes.data(), n);
    used_ += n;
    bytes.remove_prefix(n);
    if (used_ == kWriteBufferSize) HandOver();
  }
}

void WriteBehind::Finish() {
  if (used_ > 0) HandOver();
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return failure_ || queued_ == 0; });
  if (failure_) std::rethrow_exception(failure_);
}

}  // namespace vellumo

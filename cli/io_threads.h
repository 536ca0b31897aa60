// Reading ahead and writing behind on threads of their own, so that the kernel's copying of a
// large input and output goes on while the main thread encrypts or decrypts. Both keep a few
// buffers only, so memory stays bounded whatever the size.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "cipher/text.h"
#include "cli/sink.h"

namespace vellumo {

// A fingerprint of a piece, to tell whether a file read again still holds the same bytes: made to
// find accidental changes (a CRC-32C of each half where the processor has the instruction), not
// against an adversary, who could change the file between two runs anyway.
std::uint64_t Fingerprint(TextView bytes);

// Reads pieces of a fixed size a few ahead of the caller. Only for a regular file: a read there
// never waits for another process, so the thread can always be stopped.
class ReadAhead {
 public:
  using Read = std::function<std::size_t(char* buffer, std::size_t size)>;
  // withFingerprints: each piece's Fingerprint is computed on the reading thread too.
  ReadAhead(Read read, std::size_t pieceSize, bool withFingerprints);
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // The next piece, valid until the next call; one shorter than the piece size is the last.
  // Rethrows a failure of the reading.
  TextView Next(std::uint64_t& fingerprint);
  // Stops reading, calls rewind, and reads again from there into the same buffers.
  void Restart(const std::function<void()>& rewind, bool withFingerprints);

 private:
  void Start();
  void Stop();
  struct Slot {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
    std::uint64_t fingerprint = 0;
  };
  void Run();

  Read read_;
  std::size_t pieceSize_;
  bool withFingerprints_;
  std::vector<Slot> slots_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t first_ = 0;   // the oldest filled slot
  std::size_t filled_ = 0;  // slots filled and not yet given back
  bool holding_ = false;    // the caller holds the oldest one
  bool stop_ = false;
  bool ended_ = false;
  std::exception_ptr failure_;
  std::thread thread_;
};

// Writes what it is given in the order given, on a thread of its own. Put, Room and Made rethrow
// a failure of an earlier write.
class WriteBehind final : public Sink {
 public:
  using Write = std::function<void(TextView bytes)>;
  explicit WriteBehind(Write write);
  // Stops the thread; what was not written yet is dropped (the run has failed).
  ~WriteBehind() override;
  WriteBehind(const WriteBehind&) = delete;
  WriteBehind& operator=(const WriteBehind&) = delete;

  void Put(TextView bytes) override;
  char* Room(std::size_t n) override;
  void Made(std::size_t n) override;
  // Waits until all is written. Rethrows a failure of the writing.
  void Finish();

 private:
  void HandOver();
  void Run();

  Write write_;
  std::vector<std::unique_ptr<char[]>> buffers_;
  std::vector<std::size_t> sizes_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t current_ = 0;  // the buffer being filled
  std::size_t used_ = 0;     // bytes in it
  std::size_t first_ = 0;    // the oldest buffer handed over
  std::size_t queued_ = 0;   // buffers handed over and not written yet
  bool stop_ = false;
  std::exception_ptr failure_;
  std::thread thread_;
};

}  // namespace vellumo

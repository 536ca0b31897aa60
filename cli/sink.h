// Where a pass's output goes: bytes copied in, or made in place in space the sink lends.
#pragma once

#include <cstddef>
#include <memory>

#include "cipher/text.h"

namespace vellumo {

class Sink {
 public:
  // The most that Room lends at once.
  static constexpr std::size_t kMaxRoom = std::size_t{256} << 10;

  virtual ~Sink() = default;
  virtual void Put(TextView bytes) = 0;
  // Space for n bytes (at most kMaxRoom), to be written in place and then handed on with Made.
  virtual char* Room(std::size_t n) = 0;
  virtual void Made(std::size_t n) = 0;
};

// Takes everything and keeps nothing: the output of a pass that only checks.
class DiscardSink final : public Sink {
 public:
  void Put(TextView) override {}
  char* Room(std::size_t) override {
    if (!scratch_) scratch_ = std::make_unique_for_overwrite<char[]>(kMaxRoom);
    return scratch_.get();
  }
  void Made(std::size_t) override {}

 private:
  std::unique_ptr<char[]> scratch_;
};

}  // namespace vellumo

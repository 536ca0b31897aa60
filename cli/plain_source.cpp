#include "cli/plain_source.h"

#include <algorithm>
#include <cstring>

#include "cli/cli_error.h"
#include "cli/streams.h"
#include "platform/cp932.h"

namespace vellumo {
namespace {

// A whole input, read without first filling the buffer with zeros.
class InputBytes {
 public:
  explicit InputBytes(InputFile& file) {
    std::size_t capacity = std::max<std::size_t>(file.SizeHint() + 1, 1u << 16);
    data_ = std::make_unique_for_overwrite<char[]>(capacity);
    for (;;) {
      if (size_ == capacity) {
        capacity *= 2;
        auto bigger = std::make_unique_for_overwrite<char[]>(capacity);
        std::memcpy(bigger.get(), data_.get(), size_);
        data_ = std::move(bigger);
      }
      const std::size_t n = file.Read(data_.get() + size_, capacity - size_);
      if (n == 0) break;
      size_ += n;
    }
  }
  TextView View() const { return {data_.get(), size_}; }

 private:
  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
};

class HeldText final : public PlainSource {
 public:
  explicit HeldText(InputFile& input) : bytes_(std::make_unique<InputBytes>(input)) {
    text_ = bytes_->View();
  }
  explicit HeldText(std::string text) : converted_(std::move(text)), text_(converted_) {}

  void ForEachPiece(const std::function<bool(TextView)>& visit) override {
    for (std::size_t i = 0; i < text_.size(); i += kPlainPiece) {
      if (!visit(text_.substr(i, kPlainPiece))) return;
    }
  }

 private:
  std::unique_ptr<InputBytes> bytes_;
  std::string converted_;
  TextView text_;
};

class FileText final : public PlainSource {
 public:
  explicit FileText(std::string path)
      : path_(std::move(path)), buffer_(std::make_unique_for_overwrite<char[]>(kPlainPiece)) {}

  void ForEachPiece(const std::function<bool(TextView)>& visit) override {
    InputFile file(path_);
    for (;;) {
      // Reads may come back short; a piece is filled up to its full size or the end.
      std::size_t filled = 0;
      while (filled < kPlainPiece) {
        const std::size_t n = file.Read(buffer_.get() + filled, kPlainPiece - filled);
        if (n == 0) break;
        filled += n;
      }
      if (filled == 0 || !visit(TextView(buffer_.get(), filled)) || filled < kPlainPiece) return;
    }
  }

 private:
  std::string path_;
  std::unique_ptr<char[]> buffer_;
};

}  // namespace

std::unique_ptr<PlainSource> OpenPlainSource(const CliOptions& options) {
  if (!options.utf8 && !options.input.empty()) return std::make_unique<FileText>(options.input);
  InputFile input(options.input);
  if (!options.utf8) return std::make_unique<HeldText>(input);
  const InputBytes utf8(input);
  std::string cp932;
  const Cp932Conversion conversion = Utf8ToCp932(utf8.View(), cp932);
  if (!conversion.ok) {
    throw CliError("the input's character at " + PositionOf(utf8.View(), conversion.failedAt) +
                       " is not UTF-8 or has no code page 932 form",
                   kExitRefused);
  }
  return std::make_unique<HeldText>(std::move(cp932));
}

std::string PositionOf(TextView text, std::size_t offset) {
  const TextView before = text.substr(0, offset);
  const auto lines = std::count(before.begin(), before.end(), '\n');
  const auto lineStart = before.rfind('\n');
  const std::size_t column = lineStart == TextView::npos ? offset : offset - lineStart - 1;
  return "line " + std::to_string(lines + 1) + ", byte " + std::to_string(column + 1);
}

std::string PositionIn(PlainSource& source, std::uint64_t offset) {
  std::uint64_t line = 1;
  std::uint64_t lineStart = 0;
  std::uint64_t pieceStart = 0;
  source.ForEachPiece([&](TextView piece) {
    const TextView before =
        piece.substr(0, std::min<std::uint64_t>(piece.size(), offset - pieceStart));
    for (std::size_t at = before.find('\n'); at != TextView::npos; at = before.find('\n', at + 1)) {
      ++line;
      lineStart = pieceStart + at + 1;
    }
    pieceStart += piece.size();
    return pieceStart <= offset;
  });
  return "line " + std::to_string(line) + ", byte " + std::to_string(offset - lineStart + 1);
}

}  // namespace vellumo

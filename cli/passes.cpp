#include "cli/passes.h"

#include <cstdint>
#include <vector>

#include "cli/cli_error.h"
#include "cli/io_threads.h"
#include "cli/spool.h"
#include "cli/text_position.h"

namespace vellumo {
namespace {

constexpr std::size_t kPieceSize = std::size_t{1} << 20;
// A regular file read twice keeps one fingerprint per piece in between; for a file so large that
// they would take more than a few megabytes, the pieces grow instead.
constexpr std::uint64_t kMaxPieces = std::uint64_t{1} << 20;

std::size_t PieceSizeFor(std::uint64_t size) {
  std::size_t piece = kPieceSize;
  while (size / piece >= kMaxPieces && piece < (std::size_t{1} << 30))
    piece *= 2;
  return piece;
}

[[noreturn]] void RefuseChangedInput() {
  throw CliError("the input changed while it was read", kExitRefused);
}

// The refusal's message, with the place of its byte found by reading the input again.
[[noreturn]] void RefuseInPlace(Input& input, const RefusalAt& refusal) {
  input.Rewind();
  const auto buffer = std::make_unique_for_overwrite<char[]>(kPieceSize);
  TextPosition position;
  for (;;) {
    const TextView piece(buffer.get(), input.ReadPiece(buffer.get(), kPieceSize));
    if (refusal.offset < position.Passed() + piece.size() || piece.size() < kPieceSize) {
      throw CliError(refusal.before + position.Of(refusal.offset, piece) + refusal.after,
                     kExitRefused);
    }
    position.Pass(piece);
  }
}

// The pieces of one pass, each one valid until the next is asked for; one shorter than the piece
// size is the last.
class Pieces {
 public:
  virtual ~Pieces() = default;
  virtual TextView Next() = 0;
  std::uint64_t fingerprint = 0;  // of the last piece, where it is computed
};

// A regular file, read ahead on a thread of its own.
class FilePieces final : public Pieces {
 public:
  FilePieces(Input& input, std::size_t pieceSize)
      : input_(input),
        ahead_([&input](char* buffer, std::size_t size) { return input.ReadPiece(buffer, size); },
               pieceSize, false) {}
  TextView Next() override { return ahead_.Next(fingerprint); }
  // Back to the start of the file, for a second pass whose pieces come with fingerprints.
  void Rewind() {
    ahead_.Restart([&] { input_.Rewind(); }, true);
  }

 private:
  Input& input_;
  ReadAhead ahead_;
};

// An input read once, or a spool, read as the pass goes.
class StreamPieces final : public Pieces {
 public:
  StreamPieces(std::function<std::size_t(char*, std::size_t)> read, std::size_t pieceSize)
      : read_(std::move(read)),
        pieceSize_(pieceSize),
        buffer_(std::make_unique_for_overwrite<char[]>(pieceSize)) {}
  TextView Next() override { return TextView(buffer_.get(), read_(buffer_.get(), pieceSize_)); }

 private:
  std::function<std::size_t(char*, std::size_t)> read_;
  std::size_t pieceSize_;
  std::unique_ptr<char[]> buffer_;
};

// What goes to a spool, made in place in a buffer of its own.
class SpoolSink final : public Sink {
 public:
  explicit SpoolSink(Spool& spool) : spool_(spool) {}
  void Put(TextView bytes) override { spool_.Write(bytes); }
  char* Room(std::size_t) override { return room_.get(); }
  void Made(std::size_t n) override { spool_.Write(TextView(room_.get(), n)); }

 private:
  Spool& spool_;
  std::unique_ptr<char[]> room_ = std::make_unique_for_overwrite<char[]>(kMaxRoom);
};

// One pass: the first piece and those after it go through a fresh transform until the end or
// until it is done; see looks at each piece before the transform does.
template <class See>
void RunPass(Transform& transform, Sink& out, Pieces& pieces, std::size_t pieceSize, TextView piece,
             See see) {
  for (;;) {
    see(piece, pieces.fingerprint);
    transform.Feed(piece, out);
    if (piece.size() < pieceSize || transform.Done()) break;
    piece = pieces.Next();
  }
  transform.Finish(out);
}

// The passes of a run that has text and a key, writing to output (begun). pieces is a regular
// file's (file) or an input's read once; first is its first piece.
void RunPasses(Input& input, Output& output, const Work& work, Pieces& pieces, FilePieces* file,
               TextView first, std::size_t pieceSize) {
  const auto ignore = [](TextView, std::uint64_t) {};
  DiscardSink discard;
  // An input read once has its lines counted as it goes, to name the place of a refusal; a file
  // is read again for that. A second pass cannot refuse: its pieces are those checked.
  const bool counted = file == nullptr;
  WriteBehind writer([&](TextView bytes) { output.Write(bytes); });
  if (!output.Direct()) {
    // A failure discards the temporary file.
    RunPass(*work.makeTransform(true, counted), writer, pieces, pieceSize, first, ignore);
  } else if (file) {
    // The first pass does little besides reading: it takes the fingerprints itself. The second
    // one has the work to do: the reading thread takes them.
    std::vector<std::uint64_t> fingerprints;
    fingerprints.reserve(static_cast<std::size_t>(input.Size() / pieceSize) + 2);
    RunPass(*work.makeTransform(false, false), discard, pieces, pieceSize, first,
            [&](TextView piece, std::uint64_t) { fingerprints.push_back(Fingerprint(piece)); });
    file->Rewind();
    std::size_t index = 0;
    // A piece is used only when it is the one the first pass checked.
    RunPass(*work.makeTransform(true, false), writer, pieces, pieceSize, pieces.Next(),
            [&](TextView, std::uint64_t fingerprint) {
              if (index >= fingerprints.size() || fingerprint != fingerprints[index]) {
                RefuseChangedInput();
              }
              ++index;
            });
    if (index != fingerprints.size()) RefuseChangedInput();
  } else if (work.spoolOutput) {
    Spool spool;
    SpoolSink toSpool(spool);
    RunPass(*work.makeTransform(true, true), toSpool, pieces, pieceSize, first, ignore);
    spool.Rewind();
    StreamPieces spooled([&](char* buffer, std::size_t size) { return spool.Read(buffer, size); },
                         pieceSize);
    for (TextView piece = spooled.Next(); !piece.empty(); piece = spooled.Next())
      writer.Put(piece);
  } else {
    Spool spool;
    RunPass(*work.makeTransform(false, true), discard, pieces, pieceSize, first,
            [&](TextView piece, std::uint64_t) { spool.Write(piece); });
    spool.Rewind();
    StreamPieces spooled([&](char* buffer, std::size_t size) { return spool.Read(buffer, size); },
                         pieceSize);
    RunPass(*work.makeTransform(true, true), writer, spooled, pieceSize, spooled.Next(), ignore);
  }
  writer.Finish();
}

}  // namespace

void RunWork(Input& input, Output& output, const Work& work) {
  const bool readAgain = input.CanReadAgain();
  const std::size_t pieceSize = readAgain ? PieceSizeFor(input.Size()) : kPieceSize;
  const auto readInput = [&](char* buffer, std::size_t size) {
    return input.ReadPiece(buffer, size);
  };
  FilePieces* file = nullptr;
  std::unique_ptr<Pieces> pieces;
  if (readAgain) {
    pieces = std::make_unique<FilePieces>(input, pieceSize);
    file = static_cast<FilePieces*>(pieces.get());
  } else {
    pieces = std::make_unique<StreamPieces>(readInput, pieceSize);
  }
  const TextView first = pieces->Next();
  if (!work.holdsText(first)) {
    output.Begin();
    output.Commit();
    return;
  }
  work.obtainKey();
  output.Begin();
  try {
    RunPasses(input, output, work, *pieces, file, first, pieceSize);
  } catch (const RefusalAt& refusal) {
    pieces.reset();  // its reading stops before the input is read again
    RefuseInPlace(input, refusal);
  }
  output.Commit();
}

}  // namespace vellumo

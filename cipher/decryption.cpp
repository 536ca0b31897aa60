#include "cipher/decryption.h"

#include "cipher/codec.h"

namespace vellumo {

DecryptOutcome DecryptUnderKey(TextView text, TextView keyText, const KeyBytesArray& keyBytes,
                               Text& out) {
  const bool inPlace = text.data() == out.data();
  if (keyBytes.empty()) {
    if (!inPlace) out.assign(text);
    return DecryptOutcome::Unchanged;
  }
  Text legacy;
  if (DecodeLegacyText(text, keyText, legacy)) {
    out = std::move(legacy);
    return DecryptOutcome::Legacy;
  }
  // A decoded byte is never written ahead of the pair it comes from, so the bytes can go over the
  // letters they are read from.
  if (!inPlace) out.resize(text.size() / 2 + 1);
  std::size_t count = 0;
  const bool ok = DecodeInto(text, keyBytes.front(), out.data(), count);
  out.resize(ok ? count : 0);
  // The bytes take half the room of the letters they were read from: the rest goes back before
  // the text moves on (into the edit area, which makes copies of its own).
  if (inPlace) out.shrink_to_fit();
  return ok ? DecryptOutcome::Current : DecryptOutcome::Failed;
}

}  // namespace vellumo

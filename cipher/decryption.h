// The one decision every decryption makes, in the editor and in the command-line tool alike, in
// this order: an empty text needs no key; an empty key leaves the text as it is; a text that
// reads in the legacy form under the key text gives the text after the marker; any other is read
// in the current form; a text that reads in neither fails. (DecryptStream makes the last three
// steps over a text that arrives in pieces.)
#pragma once

#include "cipher/key.h"
#include "cipher/text.h"

namespace vellumo {

// What decrypting a text came to.
enum class DecryptOutcome {
  Unchanged,  // an empty key: the text as it is
  Legacy,     // the legacy form: the text after the marker
  Current,    // the current form
  Failed,     // neither form: nothing
};

// Whether a text needs the key at all: an empty one is handed back before the key is asked for.
inline bool NeedsKey(TextView text) {
  return !text.empty();
}

// Decrypts text under the key text and its KeyBytes into out: the text itself (Unchanged), the
// decrypted bytes (Legacy, Current) or nothing (Failed). text is either out's own content, which
// is then decoded in place, or apart from out.
DecryptOutcome DecryptUnderKey(TextView text, TextView keyText, const KeyBytesArray& keyBytes,
                               Text& out);

}  // namespace vellumo

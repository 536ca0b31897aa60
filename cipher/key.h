// Key derivation: KeyXor of a key text and the KeyBytes array derived from it.
#pragma once

#include <cstdint>

#include "cipher/text.h"
#include "platform/secret.h"

namespace vellumo {

// One entry per byte of the key text, every entry the same value; wiped when let go.
using KeyBytesArray = SecretArray<std::uint8_t>;

// XOR of all bytes of the key text; 0 for an empty key text.
std::uint8_t KeyXor(TextView keyText);

// Replaces keyBytes with the derivation of keyText: L entries, each the key text's first byte
// XOR KeyXor (so the XOR of every byte after the first). Empty for an empty key text. The old
// array is released, and so wiped, as a whole.
void DeriveKeyBytes(TextView keyText, KeyBytesArray& keyBytes);

}  // namespace vellumo

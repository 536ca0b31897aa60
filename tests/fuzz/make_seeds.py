#!/usr/bin/env python3
"""Writes the hand-made seed inputs of the fuzz targets into tests/fuzz/corpus/<target>/.

Run once when seeds change; files that a fuzzing run merged into the corpus are left alone.
The encoded seeds are made under the key that the decrypt_text target uses for half of its
inputs (a double-byte character and a letter), so that its legacy and current forms decode.
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
KEY = b"\x8c\xaeQ"
MARKER = b'Vellumo::hacked by zemfo::"QX7" is a shorted from "ZemfoLoomery"'
assert len(MARKER) == 64


def key_xor(key):
    x = 0
    for b in key:
        x ^= b
    return x


KEY_VALUE = KEY[0] ^ key_xor(KEY)


def letter(alphabet, nibble):
    return [62 - nibble, 63 + nibble, 79 + nibble, 110 - nibble][alphabet]


def encode(text, key_value=KEY_VALUE, state=0):
    out = bytearray()
    count = 0
    for b in text.split(b"\0")[0]:
        if count == 64:
            out += b"\r\n"
            count = 0
        count += 1
        b ^= key_value
        for nibble in (b >> 4, b & 15):
            state = (state * 134775813 + 1) & 0xFFFFFFFF
            out.append(letter(state >> 30, nibble))
    return bytes(out + b"\r\n")


def legacy(text, key=KEY, upper=True, per_line=32, marker=MARKER):
    digits = "0123456789ABCDEF" if upper else "0123456789abcdef"
    out = bytearray()
    x = key_xor(key)
    for i, b in enumerate(marker + text):
        v = b ^ x ^ key[i % len(key)]
        out += (digits[v >> 4] + digits[v & 15]).encode()
        if (i + 1) % per_line == 0:
            out += b"\r\n"
    return bytes(out + b"\r\n")


JAPANESE = "秘密のメモ\r\n鍵は「ソ」です。".encode("cp932")
LINE64 = bytes(range(32, 96))

SEEDS = {
    "decrypt_text": {
        "worked_example": b":6h5\r\n",
        "hello": encode(b"Hello, world\r\n", state=12345),
        "japanese": encode(JAPANESE, state=86399999),
        "one_line": encode(LINE64, state=7),
        "line_and_one": encode(LINE64 + b"!", state=8),
        "three_lines": encode(LINE64 * 3, state=9),
        "no_closing_break": encode(LINE64 + b"xy", state=10)[:-2],
        "lone_cr_at_end": encode(b"ab", state=11)[:-1],
        "odd_letters": b"C@C\r\n",
        "lf_breaks": encode(LINE64 + b"z", state=12).replace(b"\r\n", b"\n"),
        "empty_line": encode(b"abc", state=13) + b"\r\n",
        "leading_break": b"\r\n" + encode(b"abc", state=14),
        "zero_inside": b"C@\0C@\r\n",
        "plain_text": "plain text, 平文".encode("cp932"),
        "even_letters": b"HelloWorld",
        "legacy_upper": legacy(b"Old note\r\n" + JAPANESE),
        "legacy_lower": legacy(b"lower case digits", upper=False, per_line=64),
        "legacy_marker_only": legacy(b""),
        "legacy_wrong_key": legacy(b"other key", key=b"k"),
        "legacy_odd_digit": legacy(b"tail")[:-2] + b"4",
        "legacy_marker_case": legacy(b"x", marker=MARKER.lower()),
    },
    "text_reader": {
        "no_break": b"abc",
        "crlf": b"abc\r\n",
        "lone_cr": b"abc\r",
        "lf_only": b"a\nb\n",
        "cr_between": b"a\rb",
        "cr_cr_lf": b"a\r\r\nb",
        "ctrl_z": b"ab\x1acd\r\n",
        "ctrl_z_first": b"\x1aabc",
        "zero_in_line": b"a\0b\r\nc",
        "empty_lines": b"\r\n\r\n\r\r\n",
        "lf_cr": b"\n\r\n\r",
        "long_line": b"x" * 300 + b"\r\n" + b"y" * 700,
        "japanese": JAPANESE + b"\r\n",
        "encoded": encode(LINE64 * 2, state=3),
    },
    "document_path": {
        "plain": b"C:\\memo\\a.txt",
        "katakana_so": "C:\\ソフト\\a.txt".encode(),
        "bare": b"memo.qzv",
        "dot_in_folder": b"C:\\a.b\\file",
        "upper_extension": b"C:\\dir\\file.QZV",
        "two_extensions": b"C:\\a\\b.qzv.txt",
        "encrypted_folder": b"C:\\a.qzv\\b",
        "unc": b"\\\\server\\share\\x.qZv",
        "drive_only": b"C:",
        "drive_relative": b"a:b.c",
        "japanese": "日本語\\メモ帳.qzv".encode(),
        "dot_only": b".qzv",
        "trailing_dot": b"C:\\a\\b.",
        "trailing_separator": b"C:\\a\\",
    },
    "command_line": {
        "name_only": b"vellumo.exe",
        "one_argument": b"vellumo.exe memo.qzv",
        "quoted": b'"C:\\Program Files\\Vellumo\\vellumo.exe" "C:\\My Notes\\a b.qzv"',
        "empty_pairs": b'vellumo "" "" x.qzv',
        "unterminated": b'vellumo "C:\\a b\\unterminated.qzv',
        "quotes_inside": b'vellumo a"b c"d e',
        "control_separators": b"vellumo\t\tx\ny\x01z",
        "leading_pairs": b'"""" vellumo x',
        "lone_quote": b'vellumo "',
        "three_quotes": b'vellumo """',
        "japanese": '"C:\\ツール\\vellumo.exe" "D:\\メモ\\秘密.qzv"'.encode(),
        "zero_byte": b"vellumo first\0second",
        "long": b"vellumo " + b'"' + b"a b " * 2000 + b'"' + b" next",
    },
    "hints": {
        "button": "開く|既存のファイルを開いて解読します".encode(),
        "menu_item": "新しいファイルを作成します".encode(),
        "bar_only": b"|",
        "two_bars": b"a|b|c",
        "short_only": b"short|",
        "long_only": b"|long",
        "chain": "\n\n開く|既存のファイル\n外側".encode(),
        "cut_character": b"\xe9\x96|\x8b",
        "cp932_second_byte_bar": "ポソ|表".encode("cp932"),
        "same_twice": b"a|b\na|b\n\na|b",
    },
    "cp932": {
        "japanese": JAPANESE,
        "all_bytes": bytes(range(256)),
        "no_characters": b"\x85\x40 \x81 \x9f\r\n\x80\xa0\xfd\xfe\xff\xe0",
        "decode_only": b"\x87\x90\xed\x40\xee\xef\xfa\x4a\xfc\x4b",
        "utf8": "日本語 café 한국어 😀".encode(),
        "utf16": "鍵は「ソ」 ♥ é 😀 \udc85".encode("utf-16-le", "surrogatepass"),
        "ascii_runs": b"a" * 40 + "漢".encode("cp932") + b"b" * 17,
    },
}


def main():
    for target, seeds in SEEDS.items():
        folder = os.path.join(HERE, "corpus", target)
        os.makedirs(folder, exist_ok=True)
        for name, data in seeds.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())

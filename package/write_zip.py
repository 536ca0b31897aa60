#!/usr/bin/env python3
"""Rewrites the zip that CPack made so that the same files always give the same bytes.

CPack's archive carries the builder's user and group IDs, file times in the builder's time zone
and the order in which the file system listed the files. This writes the same files again with
nothing that depends on the machine:

- entries sorted by name, each compressed with zlib at level 9 (or stored when that is smaller);
- every file time set to SOURCE_DATE_EPOCH (given as --epoch), as an MS-DOS time in UTC;
- MS-DOS as the system of origin, no file attributes, no extra fields but one (below).

Names: a file may be given another name in the zip (--names FILE: lines "staged<TAB>final" in
UTF-8, so that no name beyond ASCII passes through a command line). A name beyond ASCII is
written in code page 932 without the UTF-8 flag, which Windows' own zip folders (Windows 7 to
11) read in the system's code page (932 on a Japanese Windows), and also, as UTF-8, in an
Info-ZIP Unicode Path extra field (0x7075), which 7-Zip, Info-ZIP unzip and libarchive prefer.

    write_zip.py --epoch SECONDS [--names FILE] ZIP
"""

import argparse
import os
import struct
import sys
import tempfile
import time
import zipfile
import zlib

DOS_EPOCH = 315532800  # 1980-01-01 00:00:00 UTC, the earliest MS-DOS time


def dos_time(epoch):
    t = time.gmtime(max(epoch, DOS_EPOCH))
    date = ((t.tm_year - 1980) << 9) | (t.tm_mon << 5) | t.tm_mday
    clock = (t.tm_hour << 11) | (t.tm_min << 5) | (t.tm_sec // 2)
    return clock, date


def encoded_name(name):
    """The name field's bytes and the extra field for a name."""
    try:
        return name.encode("ascii"), b""
    except UnicodeEncodeError:
        pass
    raw = name.encode("cp932")  # a name without a code page 932 form is an error
    utf8 = name.encode("utf-8")
    body = struct.pack("<BI", 1, zlib.crc32(raw)) + utf8
    return raw, struct.pack("<HH", 0x7075, len(body)) + body


def compressed(data):
    deflate = zlib.compressobj(9, zlib.DEFLATED, -15, 9)
    packed = deflate.compress(data) + deflate.flush()
    return (8, packed) if len(packed) < len(data) else (0, data)


def write(path, files, epoch):
    clock, date = dos_time(epoch)
    out = bytearray()
    central = bytearray()
    for name in sorted(files):
        data = files[name]
        raw_name, extra = encoded_name(name)
        method, packed = compressed(data)
        crc = zlib.crc32(data)
        offset = len(out)
        out += struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, method, clock, date, crc,
                           len(packed), len(data), len(raw_name), len(extra))
        out += raw_name + extra + packed
        central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, 0, method, clock, date,
                               crc, len(packed), len(data), len(raw_name), len(extra), 0, 0, 0,
                               0, offset)
        central += raw_name + extra
    start = len(out)
    out += central
    out += struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, len(files), len(files), len(central),
                       start, 0)
    folder = os.path.dirname(os.path.abspath(path))
    mode = os.stat(path).st_mode
    with tempfile.NamedTemporaryFile(dir=folder, delete=False) as temporary:
        temporary.write(out)
    os.chmod(temporary.name, mode)
    os.replace(temporary.name, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--epoch", type=int, required=True)
    parser.add_argument("--names")
    parser.add_argument("zip")
    args = parser.parse_args()
    renames = {}
    if args.names:
        with open(args.names, encoding="utf-8") as lines:
            for line in lines:
                if line.strip() and not line.startswith("#"):
                    staged, final = line.rstrip("\r\n").split("\t")
                    renames[staged] = final

    files = {}
    with zipfile.ZipFile(args.zip) as source:
        for entry in source.infolist():
            if entry.is_dir():
                continue
            name = renames.pop(entry.filename, entry.filename)
            if name in files:
                sys.exit(f"write_zip: {name} twice in {args.zip}")
            files[name] = source.read(entry)
    if renames:
        sys.exit(f"write_zip: not in {args.zip}: {', '.join(sorted(renames))}")
    write(args.zip, files, args.epoch)

    # Read back: the same names and bytes, through the Unicode Path field.
    with zipfile.ZipFile(args.zip) as result:
        if result.testzip() is not None or len(result.infolist()) != len(files):
            sys.exit(f"write_zip: {args.zip} does not read back")


if __name__ == "__main__":
    main()

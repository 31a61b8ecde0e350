#!/usr/bin/env python3
"""Gives a type library written by widl the time SOURCE_DATE_EPOCH names.

widl records the time of its run twice: as the text "Created by WIDL version V
at <asctime in local time>" and as the same moment in a 32-bit custom-data
value (VT_UI4) right after it. Without SOURCE_DATE_EPOCH the file is left as
widl wrote it; with it, both become that moment, the text in UTC, so that any
machine writes the same bytes. Usage: typelib_source_date.py FILE
"""
import os
import re
import struct
import sys
import time


def main(path):
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if not epoch:
        return 0
    epoch = int(epoch)
    with open(path, "rb") as f:
        data = f.read()
    stamp = re.search(rb"Created by WIDL version [0-9.]+ at (.{24})\n", data, re.DOTALL)
    if not stamp:
        sys.exit(f"{path}: no widl creation stamp found")
    written = int(time.mktime(time.strptime(stamp.group(1).decode("ascii"), "%a %b %d %H:%M:%S %Y")))
    value = b"\x13\x00" + struct.pack("<I", written & 0xFFFFFFFF)
    at = data.find(value, stamp.end())
    if at < 0 or at - stamp.end() > 16:
        sys.exit(f"{path}: no creation time value after the stamp")
    fixed = time.asctime(time.gmtime(epoch)).encode("ascii")
    data = (data[:stamp.start(1)] + fixed + data[stamp.end(1):at] +
            b"\x13\x00" + struct.pack("<I", epoch & 0xFFFFFFFF) + data[at + len(value):])
    with open(path, "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))

#!/usr/bin/env python3
"""Writes the benchmarks' 256 KiB image: TC370's 0x00000-0x3FFFF full of data
(no erased block), as S-records (S2, 32 bytes a line).

    bench/full_image.py OUT.mhx
"""
import random
import sys

random.seed(370)
data = bytes(random.randrange(0, 255) for _ in range(0x40000))


def rec(kind, body):
    return kind + body.hex().upper() + "%02X" % (~sum(body) & 0xFF) + "\r\n"


with open(sys.argv[1], "w", newline="") as f:
    f.write(rec("S0", bytes([6, 0, 0]) + b"full"))
    for a in range(0, len(data), 32):
        f.write(rec("S2", bytes([36, a >> 16 & 0xFF, a >> 8 & 0xFF, a & 0xFF]) + data[a:a + 32]))
    f.write(rec("S8", bytes([4, 0, 0, 0])))

#!/usr/bin/env python3
"""Writes the two sample firmware images of the kit: test data of our own making, not firmware.

The installer treats an image as opaque bytes and streams it to the machine as it is; these
samples let ./run and the Windows kit show a whole transfer. Each starts with a line of text that
says what it is, followed by deterministic filler bytes.
"""

import random
from pathlib import Path

SAMPLES = {
    "FirmwareR5100.dos": (20000, 5100),   # 9 pieces of 2048 bytes and one of 1568
    "FirmwareTarvon.dos": (12345, 4),     # 6 pieces of 2048 bytes and one of 57
}

for name, (size, seed) in SAMPLES.items():
    header = f"QX Lumenthread sample image {name}: test data, not a real firmware.\r\n".encode()
    filler = random.Random(seed).randbytes(size - len(header))
    Path(__file__).with_name(name).write_bytes(header + filler)

"""Counts the light pixels of an xwd picture on standard input: a window of the program (white
list, light grey dialog) drawn by a compositor into its output, against its dark background.

Prints the count of light pixels, sampled every second pixel in both directions; with an
argument N, exits 0 when the count is at least N and 1 otherwise."""
import struct
import sys

data = sys.stdin.buffer.read()
header = struct.unpack(">25I", data[:100])
size, width, height, bytes_per_line, colours = (
    header[0], header[4], header[5], header[12], header[19])
# Xvfb's 24-bit screens keep four bytes a pixel.
if bytes_per_line < width * 4:
    sys.exit("lit.py: %d bytes a line for %d pixels; only four a pixel are read" %
             (bytes_per_line, width))
start = size + colours * 12
lit = 0
for y in range(0, height, 2):
    row = data[start + y * bytes_per_line:start + y * bytes_per_line + width * 4]
    for x in range(0, width * 4, 8):
        if row[x] > 200 and row[x + 1] > 200 and row[x + 2] > 200:
            lit += 1
print(lit)
if len(sys.argv) > 1:
    sys.exit(0 if lit >= int(sys.argv[1]) else 1)

#!/usr/bin/python3
"""The loop a user would otherwise write with pyserial: write one framed packet, read the answer up to
its check byte, check it, again. Prints the cycles per second.

Usage: pyserial_loop.py DEVICE CYCLES PACKET_HEX END_MARK_HEX"""
import sys
import time

import serial


def main():
    device, cycles = sys.argv[1], int(sys.argv[2])
    packet, end = bytes.fromhex(sys.argv[3]), bytes.fromhex(sys.argv[4])
    with serial.Serial(device, 9600, timeout=1) as line:
        start = time.monotonic()
        for cycle in range(cycles):
            line.reset_input_buffer()
            line.write(packet)
            answer = line.read_until(end) + line.read(1)
            if not answer.startswith(b"\x06durnix") or answer[-2:-1] != end:
                sys.exit(f"cycle {cycle}: unexpected answer {answer!r}")
        elapsed = time.monotonic() - start
    print(f"{cycles / elapsed:.0f}")


if __name__ == "__main__":
    main()

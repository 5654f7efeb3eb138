"""Writes a sorted element-set archive and a magnitude file for benchmarks.

Usage: generate_archive.py ARCHIVE MAGNITUDE_FILE MIB [NUMBERS]

About NUMBERS catalogue numbers (default 100,000), as many element sets for
each as make MIB mebibytes, a title line before every set, and records for
every second number, in name form and field form by turns.
"""

import sys


def checksum(text):
    return sum(int(c) for c in text if c.isdigit()) + text.count("-")


def main():
    archive, magnitude, mib = sys.argv[1], sys.argv[2], float(sys.argv[3])
    numbers = int(sys.argv[4]) if len(sys.argv) > 4 else 100_000
    set_size = 16 + 70 + 70
    sets_per_number = max(1, round(mib * 2**20 / set_size / numbers))
    with open(archive, "w", newline="\n") as out, open(magnitude, "w", newline="\n") as mag:
        for index in range(numbers):
            number = f"{index % 100000:05d}"
            line1_head = f"1 {number}U 98067A   "
            line1_tail = f" -.00002182  00000-0 -11606-4 0 {index % 9000 + 999:4d}"
            line2 = f"2 {number}  51.6416 247.4627 0006703 130.5360 325.0288 15.721253915{index % 10000:04d}"
            line2 += str(checksum(line2) % 10) + "\n"
            head_sum = checksum(line1_head) + checksum(line1_tail)
            title = f"OBJECT {number}\n"
            block = []
            for set_number in range(sets_per_number):
                epoch = f"{8264 + set_number % 300:05d}.{(set_number * 7919) % 100000000:08d}"
                line1 = line1_head + epoch + line1_tail
                block.append(title + line1 + str((head_sum + checksum(epoch)) % 10) + "\n" + line2)
            out.write("".join(block))
            if index % 2 == 0:
                if index % 4 == 0:
                    mag.write(f"{number}n SATELLITE {number} (NAME FORM)\n")
                else:
                    mag.write(f"{number} 98067A      SAT {number}      30.0  4.0 1.2 2.3 9.9\n")


main()

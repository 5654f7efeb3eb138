"""Differential tests: nimbral against the reference model on random files.

Usage: differential_test.py NIMBRAL [--seeds FIRST COUNT] [--seed N]

Each seed makes an element file and a magnitude file that reach the hard
places (CR LF and LF mixed, missing final line ends, lines of 68 to 70 and
over 119 bytes, TAB, NUL and bytes of 128 or more at the checked columns,
right and wrong checksums with every kind of check character, both record
forms, short, over-long and NUL-led records, headers, duplicates, files out
of order, the default magnitude file), runs both, and compares the output
bytes, the messages and the exit status. A failing seed is printed; replay
it with --seed.
"""

import os
import random
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import reference_model  # noqa: E402
from tle_lines import LINE1_TEXT, LINE2_TEXT, checksum  # noqa: E402

NUMBERS = ["00005", "00011", "00694", "04793", "25544", "25544", "44713", "99999",
           "    5", "0000A", "A0001"]
CHECK_CHARACTERS = b"0123456789 A\r\n\x00\xc8\xff-+"
LINE_ENDS = [b"\n", b"\n", b"\r\n", b"\r\n", b""]
NAMES = [b"ISS (ZARYA)", b"VANGUARD 1", b"  LEADING", b"A  B", b"", b"N" * 50,
         b"CAF\xc9", b"TAB\tEND", b"NUL\x00END"]


def with_check(rng, body, check):
    """`body` (68 bytes) with one digit changed so that `check` passes."""
    body = bytearray(body)
    signed = check - 256 if check >= 128 else check
    want = (signed - 48) % 10
    position = rng.choice([i for i in range(9, 68) if 48 <= body[i] <= 57])
    body[position] = 48
    body[position] = 48 + (want - checksum(bytes(body))) % 10
    return bytes(body)


def element_line(rng, kind, number):
    """An element line, usually right, sometimes broken in a telling way."""
    text = LINE1_TEXT if kind == 1 else LINE2_TEXT
    body = (f"{kind} {number}" + text).encode()[:68].ljust(68, b" ")
    choice = rng.random()
    if choice < 0.55:
        return body + bytes([48 + checksum(body)])
    if choice < 0.62:  # wrong check digit
        return body + bytes([48 + (checksum(body) + 1) % 10])
    if choice < 0.72:  # any check character, passing
        check = rng.choice(CHECK_CHARACTERS)
        return with_check(rng, body, check) + bytes([check])
    if choice < 0.78:  # 68 columns: the line end or NUL is the check character
        return with_check(rng, body, rng.choice(b"\n\r\x00"))
    if choice < 0.86:  # a byte at column 69, and text after it
        line = body + bytes([48 + checksum(body)]) + bytes([rng.choice(b" \tX\xc8\x80")])
        return line + b"r" * rng.choice([0, 5, 49, 50, 51, 120])
    # a TAB, NUL or high byte somewhere in columns 0 to 69
    line = bytearray(body + bytes([48 + checksum(body)]) + b"\n")
    line[rng.randrange(70)] = rng.choice(b"\t\x00\xc8\xff\x80")
    return bytes(line[:-1])


def element_file(rng):
    numbers = sorted(rng.choice(NUMBERS) for _ in range(rng.randrange(1, 12)))
    if rng.random() < 0.2:
        rng.shuffle(numbers)
    out = []
    for number in numbers:
        end = rng.choice(LINE_ENDS[:-1])
        choice = rng.random()
        if choice < 0.5:
            out.append(b"OLD TITLE " + number.encode() + end)
        elif choice < 0.6:
            out.append(end)
        elif choice < 0.7:
            out.append(b"x" * rng.choice([60, 118, 119, 120, 200, 238, 239, 300]) + end)
        elif choice < 0.75:
            out.append(b"junk\x00with NUL" + end)
        out.append(element_line(rng, 1, number) + end)
        if rng.random() < 0.9:
            out.append(element_line(rng, 2, number) + rng.choice(LINE_ENDS[:-1]))
    data = b"".join(out)
    if rng.random() < 0.3:
        data = data.rstrip(b"\r\n") + rng.choice([b"", b"\r"])
    return data


def record(rng, number):
    choice = rng.random()
    key = number.encode()
    if choice < 0.4:
        line = key + b"n " + rng.choice(NAMES)
    elif choice < 0.75:
        mark = rng.choice(b" N.x")
        fields = b"".join(rng.choice([b"30.0", b" 4.0", b"    ", b"-1.2", b"9\t.9"]) for _ in range(5))
        line = key + bytes([mark]) + b"98067A      " + rng.choice(NAMES).ljust(15)[:15] + fields[:4] + b" " + fields[4:]
        line = line[:rng.choice([54, 54, 40, 20, 60])]
    elif choice < 0.82:
        line = key[:rng.randrange(5)]  # short record
    elif choice < 0.88:
        line = key + b"n " + b"L" * 130  # over-long: its rest is a record too
    else:
        line = rng.choice([b" HEADER", b"#comment", b"", b"\x00NUL LED", b"NUMBER NAME", b"zzz"])
    return line + rng.choice(LINE_ENDS)


def magnitude_file(rng):
    numbers = sorted(rng.choice(NUMBERS) for _ in range(rng.randrange(0, 10)))
    if rng.random() < 0.2:
        rng.shuffle(numbers)
    data = b"".join(record(rng, n) for n in numbers)
    return data


def run_case(nimbral, seed):
    """Returns None if nimbral and the model agree on this seed, else why."""
    rng = random.Random(seed)
    elements = element_file(rng)
    magnitude = magnitude_file(rng)
    default = rng.random() < 0.15
    files = {"in.tle": elements, ("skyglint.mag" if default else "in.mag"): magnitude}
    args = ["in.tle", "out.tle"] + ([] if default else ["in.mag"])
    if rng.random() < 0.05:
        args += ["ignored"]
    with tempfile.TemporaryDirectory() as directory:
        for name, data in files.items():
            with open(os.path.join(directory, name), "wb") as file:
                file.write(data)
        done = subprocess.run([nimbral, *args], cwd=directory, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=60)
        out_path = os.path.join(directory, "out.tle")
        output = open(out_path, "rb").read() if os.path.exists(out_path) else None
    expected = reference_model.run(args, files)
    got = (done.stdout, done.returncode, output)
    if got != expected or done.stderr:
        return (f"seed {seed}: args {args}\n  elements {elements!r}\n  magnitude {magnitude!r}\n"
                f"  expected {expected!r}\n  got      {got!r}\n  stderr {done.stderr!r}")
    return None


def main():
    nimbral = os.path.abspath(sys.argv[1])
    seeds = range(1, 401)
    if "--seed" in sys.argv:
        seed = int(sys.argv[sys.argv.index("--seed") + 1])
        seeds = range(seed, seed + 1)
    if "--seeds" in sys.argv:
        first = int(sys.argv[sys.argv.index("--seeds") + 1])
        seeds = range(first, first + int(sys.argv[sys.argv.index("--seeds") + 2]))
    failures = [f for f in (run_case(nimbral, seed) for seed in seeds) if f]
    for failure in failures[:5]:
        print(failure)
    print(f"differential: {len(seeds) - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

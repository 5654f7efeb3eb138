"""A deliberately simple model of nimbral, for differential tests.

Whole files in memory, no buffers: bytes in, bytes out. It follows the
documented behaviour of the tool, not its code:

- The element file is read as lines of at most 119 bytes, each ending after
  its LF if one comes first; a longer line arrives in pieces, of which only
  the first starts a line. Columns at or past a line's end read as NUL.
- An element line passes by layout and checksum (see `classify`).
- A cursor walks the magnitude file forward, record by record, comparing
  catalogue numbers as unsigned bytes; only the end of the file exhausts it.
- A matched line 1 gets a title built from the record (see `compose`),
  which replaces the line before it, or follows it if that line is a
  passing line 2 or the end of an over-long line.
"""

USAGE = (b"NIMBRAL needs as command-line arguments the name of the\n"
         b"input and output .TLEs.\n")
FAILURE = 255
MAX_PIECE = 119

# Field-form record columns -> title columns, as (record start, title start, width).
FIELDS = [(18, 0, 15), (38, 16, 4), (42, 21, 4), (46, 26, 4), (33, 31, 4), (50, 38, 4)]


def pieces(data):
    """The lines of `data` as a bounded read of 119 bytes delivers them."""
    result = []
    start = 0
    while start < len(data):
        end = data.find(b"\n", start, start + MAX_PIECE)
        end = end + 1 if end >= 0 else min(start + MAX_PIECE, len(data))
        result.append(data[start:end])
        start = end
    return result


def column(line, index):
    return line[index] if index < len(line) else 0


def signed(byte):
    return byte - 256 if byte >= 128 else byte


def is_control(byte):
    return signed(byte) < 32


def classify(line):
    """1 for an element line 1, 2 for a line 2, 0 otherwise."""
    if not is_control(column(line, 69)):
        return 0
    if column(line, 0) not in b"12" or column(line, 1) != ord(" "):
        return 0
    total = 0
    for index in range(68):
        byte = column(line, index)
        if is_control(byte):
            return 0
        if ord("1") <= byte <= ord("9"):
            total += byte - ord("0")
        elif byte == ord("-"):
            total += 1
    if (total + ord("0") - signed(column(line, 68))) % 10 != 0:
        return 0
    return column(line, 0) - ord("0")


def compose(record, line1, before):
    """The title line a record gives line 1; `before` is the line the title
    replaces or follows, whose line end it takes if line 1 lends none."""
    used = bytearray(column(record, index) for index in range(54))
    for index in range(54):
        if is_control(used[index]):
            used[index:] = b" " * (54 - index)
            break
    if used[5] == ord("n"):
        text = bytes(used[7:49])
    else:
        title = bytearray(b" " * 42)
        for start, to, width in FIELDS:
            title[to:to + width] = used[start:start + width]
        text = bytes(title)
    text = text.rstrip(b" ")
    first = next((i for i, byte in enumerate(line1) if is_control(byte)), len(line1))
    title = text + line1[first:]
    if not title.endswith(b"\n"):
        title += b"\r\n" if before.endswith(b"\r\n") else b"\n"
    return title


def merge(elements, magnitude):
    """The output element file."""
    records = pieces(magnitude)
    cursor = 0
    out = []
    held, held_starts_line = b"", True
    for current in pieces(elements):
        starts_line = held == b"" or held.endswith(b"\n")
        if starts_line and classify(current) == 1:
            number = current[2:7]
            while cursor < len(records) and records[cursor][:5] < number:
                cursor += 1
            if cursor < len(records) and records[cursor][:5] == number:
                title = compose(records[cursor], current, held)
                if not held_starts_line or classify(held) == 2:
                    out.append(held)
                held = title
        out.append(held)
        held, held_starts_line = current, starts_line
    out.append(held)
    return b"".join(out)


def run(args, files):
    """Runs the tool on `args` (without the program name) over `files`, a
    dict of the regular files in the current directory by name. Returns
    the standard output, the exit status, and the output file's bytes (None
    if it is not written)."""
    if len(args) < 2:
        return USAGE, FAILURE, None
    magnitude = args[2] if len(args) >= 3 else "skyglint.mag"
    for name in [args[0], magnitude]:
        if name not in files:
            return name.encode() + b" not opened\n", FAILURE, None
    if args[1] in (args[0], magnitude):
        return args[1].encode() + b" not opened: it is also an input file\n", FAILURE, None
    return b"", 0, merge(files[args[0]], files[magnitude])

"""End-to-end tests: the built nimbral run in a temporary directory.

Usage: end_to_end_test.py NIMBRAL CLOSE_FAILURE_SHIM
"""

import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from tle_lines import checksum, element_line, element_set  # noqa: E402

NIMBRAL = None
SHIM = None
FIXTURES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fixtures")
USAGE = (b"NIMBRAL needs as command-line arguments the name of the\n"
         b"input and output .TLEs.\n")
FAILURE = 255


class Run(unittest.TestCase):
    """Each test runs in a directory of its own."""

    def setUp(self):
        self._directory = tempfile.TemporaryDirectory()
        self.dir = self._directory.name

    def tearDown(self):
        self._directory.cleanup()

    def path(self, name):
        return os.path.join(self.dir, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as file:
            file.write(data)
        return name

    def read(self, name):
        with open(self.path(name), "rb") as file:
            return file.read()

    def nimbral(self, *args, env=None):
        """Runs nimbral; returns (exit status, standard output)."""
        done = subprocess.run([NIMBRAL, *args], cwd=self.dir, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, env=env, timeout=60)
        self.assertEqual(b"", done.stderr)
        return done.returncode, done.stdout

    def merge(self, elements, records):
        """Runs a whole merge that must succeed; returns the output bytes."""
        self.write("in.tle", elements)
        self.write("in.mag", records)
        self.assertEqual((0, b""), self.nimbral("in.tle", "out.tle", "in.mag"))
        return self.read("out.tle")


class CommandLine(Run):
    def test_fewer_than_two_arguments_print_usage_and_touch_nothing(self):
        self.write("skyglint.mag", b"")
        for args in [(), ("in.tle",)]:
            self.assertEqual((FAILURE, USAGE), self.nimbral(*args))
        self.assertEqual(["skyglint.mag"], os.listdir(self.dir))

    def test_two_arguments_use_skyglint_mag(self):
        self.write("in.tle", element_set("00005", b"OLD"))
        self.write("skyglint.mag", b"00005n DEFAULT FILE\n")
        self.assertEqual((0, b""), self.nimbral("in.tle", "out.tle"))
        self.assertEqual(element_set("00005", b"DEFAULT FILE"), self.read("out.tle"))

    def test_missing_skyglint_mag_leaves_an_existing_output_untouched(self):
        self.write("in.tle", element_set("00005"))
        self.write("out.tle", b"precious\n")
        self.assertEqual((FAILURE, b"skyglint.mag not opened\n"),
                         self.nimbral("in.tle", "out.tle"))
        self.assertEqual(b"precious\n", self.read("out.tle"))

    def test_arguments_after_the_third_are_ignored(self):
        self.write("in.tle", element_set("00005"))
        self.write("in.mag", b"00005n FIVE\n")
        self.assertEqual((0, b""), self.nimbral("in.tle", "out.tle", "in.mag", "nothing", "-x"))
        self.assertEqual(element_set("00005", b"FIVE"), self.read("out.tle"))
        self.assertFalse(os.path.exists(self.path("nothing")))


class OpeningFiles(Run):
    def test_files_are_tried_in_order_and_the_output_created_last(self):
        self.write("in.tle", b"")
        self.write("in.mag", b"")
        cases = [
            # arguments, message, whether out.tle is created
            (("missing.tle", "out.tle", "missing.mag"), b"missing.tle not opened\n"),
            (("in.tle", "out.tle", "missing.mag"), b"missing.mag not opened\n"),
            (("in.tle", "no/such/dir/out.tle", "in.mag"), b"no/such/dir/out.tle not opened\n"),
            (("in.tle", ".", "in.mag"), b". not opened\n"),
        ]
        for args, message in cases:
            with self.subTest(args=args):
                self.assertEqual((FAILURE, message), self.nimbral(*args))
                self.assertFalse(os.path.exists(self.path("out.tle")))

    def test_a_directory_as_an_input_is_not_opened(self):
        os.mkdir(self.path("dir"))
        self.write("in.tle", element_set("00005"))
        self.write("in.mag", b"")
        for args, message in [(("dir", "out.tle", "in.mag"), b"dir not opened\n"),
                              (("in.tle", "out.tle", "dir"), b"dir not opened\n")]:
            with self.subTest(args=args):
                self.assertEqual((FAILURE, message), self.nimbral(*args))
                self.assertFalse(os.path.exists(self.path("out.tle")))

    def test_an_output_that_is_also_an_input_is_refused(self):
        elements = element_set("00005", b"OLD")
        records = b"00005n FIVE\n"
        self.write("in.tle", elements)
        self.write("in.mag", records)
        os.link(self.path("in.tle"), self.path("hard.tle"))
        os.symlink("in.tle", self.path("soft.tle"))
        os.symlink("in.mag", self.path("soft.mag"))
        for output in ["in.tle", "./in.tle", "hard.tle", "soft.tle", "in.mag", "soft.mag"]:
            with self.subTest(output=output):
                message = output.encode() + b" not opened: it is also an input file\n"
                self.assertEqual((FAILURE, message), self.nimbral("in.tle", output, "in.mag"))
                self.assertEqual(elements, self.read("in.tle"))
                self.assertEqual(records, self.read("in.mag"))

    def test_a_device_as_the_output_is_not_refused(self):
        self.write("in.tle", element_set("00005"))
        self.write("in.mag", b"")
        self.assertEqual((0, b""), self.nimbral("in.tle", "/dev/null", "in.mag"))


class Copying(Run):
    def test_without_a_match_the_output_is_the_input_byte_for_byte(self):
        long_line = b"x" * 119 + b"y" * 119 + b"z\n"
        cases = {
            "empty": b"",
            "LF": element_set("00001", b"ONE") + element_set("00002"),
            "CR LF": element_set("00001", b"ONE", b"\r\n") + element_set("00002", None, b"\r\n"),
            "mixed": element_set("00001", b"ONE", b"\r\n") + element_set("00002"),
            "no final line end": element_set("00001", b"ONE")[:-1],
            "a CR alone at the end": element_set("00001")[:-1] + b"\r",
            "long lines": long_line + element_set("00001") + long_line[:-1],
            "all byte values": bytes(range(256)) * 3,
            "NUL bytes": b"a\0b\n\0\0\n" + element_set("00001") + b"\0",
            "Ctrl-Z": b"\x1a\n" + element_set("00001") + b"\x1a",
        }
        for name, elements in cases.items():
            for records in [b"", b"99999n NONE\n"]:
                with self.subTest(case=name, records=records):
                    self.assertEqual(elements, self.merge(elements, records))

    def test_a_large_file_is_copied_whole(self):
        elements = (element_set("00001", b"ONE") + b"p" * 300 + b"\n") * 20000
        self.assertEqual(elements, self.merge(elements, b""))

    def test_a_68_column_last_line_is_judged_as_if_it_had_a_line_end(self):
        # A checksum ending in 2 passes with the NUL after the text as its
        # check character, or with an LF there.
        head = element_line(1, "00005")[:66]
        body = head + bytes([0x30 + (2 - checksum(head)) % 10]) + b"0"
        self.assertEqual(2, checksum(body))
        long_line = b"c" * 100 + b"\n"
        for end in [b"", b"\n"]:
            with self.subTest(end=end):
                out = self.merge(long_line + body + end, b"00005n FIVE\n")
                # The comment line before it gives way to the title.
                self.assertEqual(b"FIVE\n" + body + end, out)


def l1(number, end=b"\n", wrong=False):
    return element_line(1, number, end, wrong)


def l2(number, end=b"\n", wrong=False):
    return element_line(2, number, end, wrong)


class Substitution(Run):
    def check_cases(self, cases):
        for name, elements, records, expected in cases:
            with self.subTest(case=name):
                self.assertEqual(expected, self.merge(elements, records))

    def test_what_a_matched_element_set_looks_like(self):
        five = b"00005n FIVE\n"
        self.check_cases([
            ("a title line is replaced",
             b"OLD\n" + l1("00005") + l2("00005"), five, b"FIVE\n" + l1("00005") + l2("00005")),
            ("after a passing line 2 the title is inserted",
             l1("00004") + l2("00004") + l1("00005") + l2("00005"), five,
             l1("00004") + l2("00004") + b"FIVE\n" + l1("00005") + l2("00005")),
            ("the file begins with line 1",
             l1("00005") + l2("00005"), five, b"FIVE\n" + l1("00005") + l2("00005")),
            ("a blank line gives way", b"\n" + l1("00005"), five, b"FIVE\n" + l1("00005")),
            ("a comment gives way", b"# c\n" + l1("00005"), five, b"FIVE\n" + l1("00005")),
            ("a failing line 2 gives way", l2("00004", wrong=True) + l1("00005"), five,
             b"FIVE\n" + l1("00005")),
            ("a line 2 with a trailing blank gives way", l2("00004")[:-1] + b" \n" + l1("00005"),
             five, b"FIVE\n" + l1("00005")),
            ("a line 1 without its line 2 gives way", l1("00004") + l1("00005"), five,
             b"FIVE\n" + l1("00005")),
            ("CR LF line 1, CR LF title", b"OLD\r\n" + l1("00005", b"\r\n"), five,
             b"FIVE\r\n" + l1("00005", b"\r\n")),
            ("a last line 1 without a line end gets a title with one",
             b"OLD\r\n" + l1("00005", b""), five, b"FIVE\r\n" + l1("00005", b"")),
            ("a failing line 1 gets no title", b"OLD\n" + l1("00005", wrong=True), five,
             b"OLD\n" + l1("00005", wrong=True)),
        ])

    def test_the_order_of_both_files(self):
        sets = lambda *numbers: b"".join(element_set(n, b"OLD") for n in numbers)
        titled = lambda n, t: element_set(n, t)
        old = lambda n: element_set(n, b"OLD")
        self.check_cases([
            ("element file out of order",
             sets("00005", "00003"), b"00003n THREE\n00005n FIVE\n",
             titled("00005", b"FIVE") + old("00003")),
            ("magnitude file out of order",
             sets("00003", "00005"), b"00005n FIVE\n00003n THREE\n",
             old("00003") + titled("00005", b"FIVE")),
            ("duplicate element sets all get the title",
             sets("00005", "00005", "00005"), b"00005n FIVE\n", titled("00005", b"FIVE") * 3),
            ("the first of duplicate records serves",
             sets("00005", "00006"), b"00005n FIRST\n00005n SECOND\n00006n SIX\n",
             titled("00005", b"FIRST") + titled("00006", b"SIX")),
            ("records without element sets are passed over",
             sets("00005"), b"00001n ONE\n00002n TWO\n00005n FIVE\n00009n NINE\n",
             titled("00005", b"FIVE")),
            ("headers that sort below the digits are passed over",
             sets("00005"), b" HEADER\n#comment\n\n\r\n00005n FIVE\n", titled("00005", b"FIVE")),
            ("a header that sorts above stops the cursor",
             sets("00005"), b"NUMBER NAME\n00005n FIVE\n", old("00005")),
            ("a short record never matches", sets("00005"), b"0000\n00005\n",
             element_set("00005", b"")),
            ("numbers written differently never match",
             sets("00005", "    6"), b"    5n FIVE\n00006n SIX\n", old("00005") + old("    6")),
            ("a record beginning with NUL is passed over",
             sets("00003", "00005"), b"\0BAD\n00003n THREE\n00005n FIVE\n",
             titled("00003", b"THREE") + titled("00005", b"FIVE")),
            ("a line 2 never moves the cursor",
             l2("00009") + b"OLD\n" + l1("00005") + l2("00005"), b"00005n FIVE\n",
             l2("00009") + b"FIVE\n" + l1("00005") + l2("00005")),
            ("the rest of an over-long record is a record of its own",
             sets("00005"), b"00001n " + b"x" * 112 + b"00005n FIVE\n", titled("00005", b"FIVE")),
        ])

    def test_over_long_lines(self):
        long_line = b"x" * 300 + b"\n"
        long_line1 = l1("00005")[:69] + b"\t" + b"r" * 100 + b"\n"
        self.check_cases([
            ("a long line before a matched line 1 stays whole",
             long_line + l1("00005"), b"00005n FIVE\n", long_line + b"FIVE\n" + l1("00005")),
            ("a long line 1 gets a title with a line end of its own",
             b"OLD\n" + long_line1, b"00005n FIVE\n", b"FIVE\t" + b"r" * 49 + b"\n" + long_line1),
            ("a later piece is never an element line",
             b"x" * 119 + l1("00005"), b"00005n FIVE\n", b"x" * 119 + l1("00005")),
        ])

    def test_a_realistic_catalogue(self):
        for name in ["catalogue-lf", "catalogue-crlf"]:
            with self.subTest(file=name):
                with open(os.path.join(FIXTURES, name + ".tle"), "rb") as file:
                    elements = file.read()
                with open(os.path.join(FIXTURES, "catalogue.mag"), "rb") as file:
                    records = file.read()
                with open(os.path.join(FIXTURES, name + ".titled.tle"), "rb") as file:
                    expected = file.read()
                self.assertEqual(expected, self.merge(elements, records))


class Faults(Run):
    def test_a_full_disk_is_reported_and_fails(self):
        self.write("in.tle", element_set("00005", b"OLD") * 10)
        self.write("in.mag", b"00005n FIVE\n")
        self.assertEqual((FAILURE, b"/dev/full not written\n"),
                         self.nimbral("in.tle", "/dev/full", "in.mag"))

    def test_a_read_error_is_reported_after_the_run(self):
        self.write("in.tle", element_set("00005"))
        self.write("in.mag", b"00005n FIVE\n")
        cases = [
            (("/proc/self/mem", "out.tle", "in.mag"), b"/proc/self/mem not read\n", b""),
            (("in.tle", "out.tle", "/proc/self/mem"), b"/proc/self/mem not read\n",
             element_set("00005")),
        ]
        for args, message, output in cases:
            with self.subTest(args=args):
                self.assertEqual((FAILURE, message), self.nimbral(*args))
                self.assertEqual(output, self.read("out.tle"))

    def test_end_of_run_messages_come_input_magnitude_output(self):
        self.write("in.tle", element_set("00005"))
        mem = b"/proc/self/mem not read\n"
        self.assertEqual((FAILURE, mem + mem),
                         self.nimbral("/proc/self/mem", "out.tle", "/proc/self/mem"))
        self.assertEqual((FAILURE, mem + b"/dev/full not written\n"),
                         self.nimbral("in.tle", "/dev/full", "/proc/self/mem"))

    def close_failing(self, name):
        env = dict(os.environ, LD_PRELOAD=SHIM, ASAN_OPTIONS="verify_asan_link_order=0",
                   NIMBRAL_FAIL_CLOSE=os.path.realpath(self.path(name)))
        return self.nimbral("in.tle", "out.tle", "in.mag", env=env)

    def test_a_failed_close(self):
        elements = element_set("00005", b"OLD")
        self.write("in.tle", elements)
        self.write("in.mag", b"")
        # Closing the magnitude file decides the status, and says nothing;
        # a failed close of the output is reported; of the input, ignored.
        self.assertEqual((FAILURE, b""), self.close_failing("in.mag"))
        self.assertEqual(elements, self.read("out.tle"))
        self.assertEqual((FAILURE, b"out.tle not written\n"), self.close_failing("out.tle"))
        self.assertEqual((0, b""), self.close_failing("in.tle"))


if __name__ == "__main__":
    NIMBRAL = os.path.abspath(sys.argv[1])
    SHIM = os.path.abspath(sys.argv[2])
    unittest.main(argv=sys.argv[:1], verbosity=1)

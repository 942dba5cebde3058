"""scripts/watch_copies.py with a stand-in program: a copy of the system's sh under a name of its own, which starts
a detached copy of itself as a restart does (the copy's parent ends at once, so the copy has none of its own)."""

import os
import select
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

WATCHER = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))), "scripts",
                       "watch_copies.py")
LIMIT_SECONDS = 60


class WatchCopies(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="watch-copies-")
        self.program = os.path.join(self.folder, "ZmStandIn")
        shutil.copy("/bin/sh", self.program)
        self.log = os.path.join(self.folder, "program.log")
        self.release = os.path.join(self.folder, "release")
        self.watcher = None

    def tearDown(self):
        open(self.release, "w").close()
        if self.watcher and self.watcher.poll() is None:
            self.watcher.terminate()
            try:
                self.watcher.wait(timeout=LIMIT_SECONDS)
            except subprocess.TimeoutExpired:
                self.watcher.kill()
                self.watcher.wait()
        shutil.rmtree(self.folder, ignore_errors=True)

    def start(self, script):
        self.watcher = subprocess.Popen(["/usr/bin/python3", WATCHER, self.log, self.program, "-c", script],
                                        stdout=subprocess.PIPE)
        self.output = b""

    def read_until(self, *needles):
        """The watcher's lines so far, once every needle has shown in them, in whatever order they came."""
        deadline = time.monotonic() + LIMIT_SECONDS
        while not all(needle.encode() in self.output for needle in needles):
            ready, _, _ = select.select([self.watcher.stdout], [], [], max(0.0, deadline - time.monotonic()))
            chunk = os.read(self.watcher.stdout.fileno(), 4096) if ready else b""
            if not chunk:
                self.fail(f"not all of {needles!r} in {self.output!r}")
            self.output += chunk
        return self.output.decode().splitlines()

    def finish(self):
        """All the watcher's lines and its exit status."""
        rest, _ = self.watcher.communicate(timeout=LIMIT_SECONDS)
        return (self.output + rest).decode().splitlines(), self.watcher.returncode

    def detached_copy(self, copy_script):
        return f"( '{self.program}' -c '{copy_script}' & ) ; echo first copy"

    def test_a_restarted_copy_is_waited_for_and_its_status_is_the_run_s(self):
        self.start(self.detached_copy(f"while [ ! -e {self.release} ]; do sleep 0.05; done; exit 3"))
        self.read_until("started again", "ended with 0")
        open(self.release, "w").close()
        lines, status = self.finish()
        self.assertEqual(status, 3)
        self.assertEqual(len([line for line in lines if "ended with" in line]), 2)
        self.assertTrue(lines[-1].endswith("ended with 3"), lines)
        with open(self.log) as handle:
            self.assertIn("first copy", handle.read())

    def test_termination_ends_every_copy(self):
        forever = "while :; do sleep 0.05; done"
        self.start(self.detached_copy(forever) + "; " + forever)
        self.read_until("started again")
        self.watcher.send_signal(signal.SIGTERM)
        lines, status = self.finish()
        self.assertEqual(status, 128 + signal.SIGTERM)
        self.assertEqual(len([line for line in lines if line.endswith(f"ended with {128 + signal.SIGTERM}")]), 2)

    def test_a_program_that_cannot_start_ends_with_127(self):
        os.chmod(self.program, 0o644)
        self.start("true")
        rest, status = self.finish()
        self.assertEqual(status, 127)


if __name__ == "__main__":
    unittest.main()

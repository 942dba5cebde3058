#!/usr/bin/env python3
"""Runs the program for scripts/run and watches it until every copy of it that the run started has ended: the
program itself and each copy it starts again (a restart starts the new copy detached, and the old one ends).

    watch_copies.py LOG PROGRAM [ARGUMENT...]

The watcher is the subreaper of everything the program starts, so a detached copy becomes its child and its end
is seen with its status. The program runs in a session of its own with its standard output and error (and those
of its copies) appended to LOG. A line tells of each copy started again and of each copy's end. SIGINT or SIGTERM
ends every copy still running (SIGTERM, then SIGKILL after 10 s). The exit status is the last copy's: its exit
code, or 128 + the number of the signal that ended it.
"""

import ctypes
import os
import signal
import sys
import time

PR_SET_CHILD_SUBREAPER = 36
POLL_SECONDS = 0.2
KILL_AFTER_SECONDS = 10.0


def become_subreaper():
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        raise OSError(ctypes.get_errno(), "prctl(PR_SET_CHILD_SUBREAPER)")


def stat_fields(pid):
    """The fields of /proc/PID/stat after the command name, and the command name; None when the process is gone."""
    try:
        with open(f"/proc/{pid}/stat") as handle:
            text = handle.read()
    except OSError:
        return None
    return text[text.rindex(")") + 2:].split(), text[text.index("(") + 1:text.rindex(")")]


def live_children():
    """This process's children that have not ended."""
    me = os.getpid()
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        stat = stat_fields(entry)
        if stat and int(stat[0][1]) == me and stat[0][0] != "Z":
            found.append(int(entry))
    return found


def runs_program(pid, program):
    try:
        return os.path.samefile(f"/proc/{pid}/exe", program)
    except OSError:
        return False


def start(log_path, program, arguments):
    log = os.open(log_path, os.O_WRONLY | os.O_CREAT | os.O_APPEND, 0o644)
    pid = os.fork()
    if pid == 0:
        try:
            os.setsid()
            os.dup2(os.open(os.devnull, os.O_RDONLY), 0)
            os.dup2(log, 1)
            os.dup2(log, 2)
            for number in (signal.SIGINT, signal.SIGQUIT, signal.SIGTERM):
                signal.signal(number, signal.SIG_DFL)
            os.execv(program, [program, *arguments])
        finally:
            os._exit(127)
    os.close(log)
    return pid


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    log_path, program = sys.argv[1], os.path.realpath(sys.argv[2])
    name = os.path.basename(program)
    become_subreaper()

    stop_requests = []
    for number in (signal.SIGINT, signal.SIGTERM):
        signal.signal(number, lambda received, frame: stop_requests.append(received))

    copies = {start(log_path, program, sys.argv[3:])}
    last_status = 0
    terminated = set()
    kill_at = None
    while copies:
        # Ended children: the copies among them (known, or named as the program) are reported.
        while True:
            try:
                ended = os.waitid(os.P_ALL, 0, os.WEXITED | os.WNOHANG | os.WNOWAIT)
            except ChildProcessError:
                ended = None
            if ended is None:
                break
            stat = stat_fields(ended.si_pid)
            was_copy = ended.si_pid in copies or (stat is not None and stat[1] == name[:15])
            _, status = os.waitpid(ended.si_pid, 0)
            if was_copy:
                copies.discard(ended.si_pid)
                code = os.waitstatus_to_exitcode(status)
                last_status = code if code >= 0 else 128 - code
                print(f"{name} (pid {ended.si_pid}) ended with {last_status}", flush=True)
        for pid in live_children():
            if pid not in copies and runs_program(pid, program):
                copies.add(pid)
                print(f"{name} started again (pid {pid}): the simulator stays until it ends", flush=True)
        # Asked to stop: every copy gets SIGTERM once, a copy that started meanwhile too.
        if stop_requests and copies - terminated:
            if kill_at is None:
                kill_at = time.monotonic() + KILL_AFTER_SECONDS
            print(f"Ending {name} (pid {', '.join(map(str, sorted(copies - terminated)))})", flush=True)
            for pid in copies - terminated:
                terminated.add(pid)
                try:
                    os.kill(pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        if kill_at is not None and time.monotonic() >= kill_at:
            kill_at = None
            for pid in copies:
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
        if copies:
            time.sleep(POLL_SECONDS)
    return last_status


if __name__ == "__main__":
    sys.exit(main())

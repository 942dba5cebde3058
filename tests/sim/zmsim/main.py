"""Command line: start the server on loopback, print its address, serve until told to stop."""

import argparse
import asyncio
import os
import signal
import socket
import stat
import sys
import tempfile
import threading

from aiohttp import web

from . import app as sim_app
from . import messages
from .state import SimState

HOST = "127.0.0.1"


def parse_args(argv):
    parser = argparse.ArgumentParser(
        prog="simulator.py",
        description="Loopback stand-in for the class service, object storage, web pages and download hosts. "
        "Prints its base address as the first line on standard output.")
    parser.add_argument("--port", type=int, default=0, help="port to listen on (default: a free one)")
    parser.add_argument("--files", metavar="DIR", help="folder served under /files/")
    parser.add_argument("--log", metavar="FILE", help="also append every request as one JSON line to FILE")
    parser.add_argument("--scenario", metavar="FILE",
                        help="class messages the simulated teacher sends at given times (see README.md)")
    args = parser.parse_args(argv)
    if not 0 <= args.port <= 65535:
        parser.error("--port must be between 0 and 65535")
    if args.files and not os.path.isdir(args.files):
        parser.error("--files must name a folder")
    if args.scenario and not os.path.isfile(args.scenario):
        parser.error("--scenario must name a file")
    return args


def stdin_is_pipe():
    """Only a pipe or socket on standard input is watched: its end means the starting process is gone."""
    try:
        mode = os.fstat(sys.stdin.fileno()).st_mode
    except (OSError, ValueError):
        return False
    return stat.S_ISFIFO(mode) or stat.S_ISSOCK(mode)


def watch_stdin(loop, stop):
    def read_until_end():
        try:
            while os.read(sys.stdin.fileno(), 4096):
                pass
        except OSError:
            pass
        loop.call_soon_threadsafe(stop.set)

    threading.Thread(target=read_until_end, name="stdin-watch", daemon=True).start()


async def serve(args):
    loop = asyncio.get_running_loop()
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    try:
        listener.bind((HOST, args.port))
    except OSError as error:
        print("simulator: cannot listen on %s:%d: %s" % (HOST, args.port, error), file=sys.stderr)
        return 2
    listener.listen(128)
    port = listener.getsockname()[1]
    base_url = "http://%s:%d" % (HOST, port)

    log_file = open(args.log, "a", encoding="utf-8") if args.log else None
    with tempfile.TemporaryDirectory(prefix="zmsim-uploads-") as upload_dir:
        state = SimState(base_url, files_dir=os.path.abspath(args.files) if args.files else None,
                         upload_dir=upload_dir, log_file=log_file)
        application = sim_app.build(state)
        if args.scenario:
            try:
                messages.load_scenario_file(state, args.scenario)
            except (messages.MessageError, OSError) as error:
                print("simulator: %s" % error, file=sys.stderr)
                return 2
        runner = web.AppRunner(application, access_log=None, handle_signals=False)
        await runner.setup()
        site = web.SockSite(runner, listener, shutdown_timeout=1.0)
        await site.start()

        for signum in (signal.SIGTERM, signal.SIGINT):
            loop.add_signal_handler(signum, state.shutdown.set)
        if stdin_is_pipe():
            watch_stdin(loop, state.shutdown)

        sys.stdout.write(base_url + "\n")
        sys.stdout.flush()

        await state.shutdown.wait()
        # Give stalled handlers a moment to notice, then close everything.
        await asyncio.sleep(0.05)
        await runner.cleanup()
    if log_file is not None:
        log_file.close()
    return 0


def main(argv=None):
    args = parse_args(sys.argv[1:] if argv is None else argv)
    try:
        return asyncio.run(serve(args))
    except KeyboardInterrupt:
        return 0

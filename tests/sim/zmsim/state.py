"""Shared state of one simulator instance: the request log, programmed routes and per-role annotators."""

import asyncio
import json
import time


async def wait_for_count(changed, select, count, timeout):
    """select() once it returns at least count items, or what it returns after timeout seconds; whoever changes
    what select() reads notifies the condition changed."""
    deadline = time.monotonic() + timeout
    async with changed:
        while True:
            selected = select()
            remaining = deadline - time.monotonic()
            if len(selected) >= count or remaining <= 0:
                return selected
            try:
                await asyncio.wait_for(changed.wait(), remaining)
            except asyncio.TimeoutError:
                pass


class RequestLog:
    """Every request received (control requests excepted), in arrival order, with ever-increasing numbers."""

    def __init__(self, log_file=None):
        self._entries = []
        self._next_seq = 1
        self._changed = asyncio.Condition()
        self._log_file = log_file

    async def add(self, entry):
        entry["seq"] = self._next_seq
        self._next_seq += 1
        self._entries.append(entry)
        self.write_to_file(entry)
        async with self._changed:
            self._changed.notify_all()

    def write_to_file(self, record):
        """Appends one JSON line to the --log file, when there is one (other roles log their own records here)."""
        if self._log_file is not None:
            self._log_file.write(json.dumps(record, ensure_ascii=False) + "\n")
            self._log_file.flush()

    def clear(self):
        self._entries.clear()

    def select(self, prefix=None, method=None, since=0):
        result = []
        for entry in self._entries:
            if entry["seq"] <= since:
                continue
            if prefix and not entry["path"].startswith(prefix):
                continue
            if method and entry["method"] != method:
                continue
            result.append(entry)
        return result

    async def wait_for(self, count, timeout, **filters):
        """The selected entries once there are at least count of them, or what there is after timeout seconds."""
        return await wait_for_count(self._changed, lambda: self.select(**filters), count, timeout)


class Annotator:
    """Decodes requests of one role into extra fields of their log entries (before any reply is chosen)."""

    def __init__(self, role, path, func, prefix=False, method=None, suffix=False):
        self.role = role
        self.path = path
        self.func = func
        self.prefix = prefix
        self.suffix = suffix  # also under any base path: "/base/<path>"
        self.method = method

    def matches(self, method, path):
        if self.method and self.method != method:
            return False
        if self.prefix:
            return path.startswith(self.path)
        if self.suffix:
            return path == self.path or path.endswith(self.path)
        return path == self.path


class SimState:
    def __init__(self, base_url, files_dir=None, upload_dir=None, log_file=None):
        self.base_url = base_url
        self.files_dir = files_dir
        self.upload_dir = upload_dir
        self.log = RequestLog(log_file)
        self.routes = None  # set by the app (programmed.RouteTable)
        self.annotators = []
        self.roles = {}
        self.reset_hooks = []  # called by the control API's reset
        self.role_handlers = {}  # role -> handler for every request the role's annotator claims
        self.messages = None  # the class message server (messages.MessageServer)
        self.holds = None  # named holds (holds.Holds)
        self.shutdown = asyncio.Event()

    def add_annotator(self, annotator):
        self.annotators.append(annotator)
        self.roles.setdefault(annotator.role, annotator.path)

    def annotate(self, entry, request):
        for annotator in self.annotators:
            if annotator.matches(entry["method"], entry["path"]):
                entry["role"] = annotator.role
                annotator.func(entry, request, self)
                return

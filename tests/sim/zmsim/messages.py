"""The class message server: a websocket on /ws and /class/ws (the lesson reply's "wsUrl").

Every frame a client sends is recorded (with its arrival time) in a frame log of its own; the control API under
/_control/messages/ pushes messages, programs faults for the next connections, closes connections from the server
side and loads a scenario (messages the simulated teacher sends at given times). See README.md.
"""

import asyncio
import base64
import json
import time
import uuid

from aiohttp import WSMsgType, web

from . import control, programmed
from .state import Annotator, wait_for_count

PATHS = ("/ws", "/class/ws")
CONTROL = "/_control/messages"

FAULT_MODES = ("refuse", "stall", "no_pong", "close")

# Tags the relay acts on.
TAG_ENTER = 10010001
TAG_LEAVE = 10010002
TAG_OPEN_MICROPHONE = 10020002
TAG_OPENED_MICROPHONE = 20020002
TAG_USER_ENTERED = 30010001
TAG_USER_LEFT = 30010002
TEACHER_COMMANDS = (40010001, 40010002)


class MessageError(ValueError):
    pass


def _milliseconds(spec, key):
    value = spec.get(key, 0)
    if not isinstance(value, (int, float)) or isinstance(value, bool) or value < 0:
        raise MessageError(f"{key} is a number of milliseconds, not negative")
    return value / 1000.0


def payload_of(spec):
    """(kind, data) of a message description: {"text"}, {"json"}, {"binary_base64"} or {"binary_text"}."""
    given = [key for key in ("text", "json", "binary_base64", "binary_text") if key in spec]
    if len(given) != 1:
        raise MessageError("give exactly one of text, json, binary_base64 and binary_text")
    key = given[0]
    if key == "text":
        if not isinstance(spec["text"], str):
            raise MessageError("text is a string")
        return "text", spec["text"]
    if key == "json":
        message = spec["json"]
        if isinstance(message, dict) and "messageId" not in message:
            message = dict(message, messageId=str(uuid.uuid4()))
        return "text", json.dumps(message, ensure_ascii=False, separators=(",", ":"))
    if key == "binary_text":
        if not isinstance(spec["binary_text"], str):
            raise MessageError("binary_text is a string")
        return "binary", spec["binary_text"].encode("utf-8")
    try:
        return "binary", base64.b64decode(spec["binary_base64"], validate=True)
    except (ValueError, TypeError):
        raise MessageError("binary_base64 is not base64")


class Fault:
    def __init__(self, fault_id, spec):
        if not isinstance(spec, dict):
            raise MessageError("a fault is a JSON object")
        self.id = fault_id
        self.mode = spec.get("mode")
        if self.mode not in FAULT_MODES:
            raise MessageError("mode is one of " + ", ".join(FAULT_MODES))
        self.status = int(spec.get("status", 403))
        if not 400 <= self.status <= 599:
            raise MessageError("status must be between 400 and 599")
        self.code = int(spec.get("code", 1001))
        if not 1000 <= self.code <= 4999:
            raise MessageError("code must be between 1000 and 4999")
        self.after = _milliseconds(spec, "after_ms")
        self.remaining = programmed.remaining_of(spec.get("times", 1), MessageError)

    def describe(self):
        return {"id": self.id, "mode": self.mode, "status": self.status, "code": self.code,
                "after_ms": int(self.after * 1000), "remaining": "always" if self.remaining is None else self.remaining}


class Connection:
    def __init__(self, conn_id, path, remote, fault):
        self.id = conn_id
        self.path = path
        self.remote = remote
        self.fault = fault.mode if fault else None
        self.requested = time.time()
        self.opened = None
        self.closed = None
        self.state = "connecting"
        self.client_close_code = None
        self.server_close_code = None
        self.pings = 0
        self.pongs = 0
        self.socket = None
        self.closing = None  # the server's close handshake, once started

    def describe(self):
        return {"id": self.id, "path": self.path, "remote": self.remote, "fault": self.fault,
                "requested": self.requested, "opened": self.opened, "closed": self.closed, "state": self.state,
                "client_close_code": self.client_close_code, "server_close_code": self.server_close_code,
                "pings": self.pings, "pongs": self.pongs}


class Scenario:
    """Messages of the simulated teacher at given times after the first connection that opens once loaded, played
    again from its start for each class entered later (see MessageServer.opens_new_class)."""

    def __init__(self, spec):
        if not isinstance(spec, dict):
            raise MessageError("a scenario is a JSON object")
        self.relay = bool(spec.get("relay", False))
        items = spec.get("messages", [])
        if not isinstance(items, list):
            raise MessageError("messages is a list")
        self.items = []
        for item in items:
            if not isinstance(item, dict):
                raise MessageError("each message is a JSON object")
            self.items.append((_milliseconds(item, "at_ms"), payload_of(item)))
        self.items.sort(key=lambda pair: pair[0])
        self.started = None
        self.plays = 0
        self.sent = 0
        self.undelivered = 0
        self.task = None

    def describe(self):
        return {"relay": self.relay, "messages": len(self.items), "started": self.started, "plays": self.plays,
                "sent": self.sent, "undelivered": self.undelivered}


def _client_close_code(connection):
    """The code the client closed connection with; None when it did not close it (dropped, or closed by the server)."""
    if connection.client_close_code is not None:
        return connection.client_close_code
    socket = connection.socket
    # The client's close is answered before its handler records it: the socket knows it first.
    if socket is not None and socket.closed and connection.server_close_code is None:
        return socket.close_code
    return None


class MessageServer:
    def __init__(self, state):
        self.state = state
        self.frames = []
        self.next_frame = 1
        self.frames_changed = asyncio.Condition()
        self.connections = []
        self.next_connection = 1
        self.connections_changed = asyncio.Condition()
        self.faults = []
        self.next_fault = 1
        self.scenario = None
        self.relay = False

    # --- records -------------------------------------------------------------------------------------------

    async def _notify(self, condition):
        async with condition:
            condition.notify_all()

    async def record_frame(self, connection, kind, data=None, close_code=None):
        entry = {"seq": self.next_frame, "time": time.time(), "connection": connection.id, "path": connection.path,
                 "kind": kind, "size": 0, "text": None, "json": None}
        self.next_frame += 1
        if isinstance(data, str):
            entry["text"] = data
            entry["size"] = len(data.encode("utf-8"))
        elif isinstance(data, (bytes, bytearray)):
            entry["binary_base64"] = base64.b64encode(data).decode("ascii")
            entry["size"] = len(data)
            try:
                entry["text"] = bytes(data).decode("utf-8")
            except UnicodeDecodeError:
                pass
        if entry["text"] is not None:
            try:
                entry["json"] = json.loads(entry["text"])
            except ValueError:
                pass
        if close_code is not None:
            entry["close_code"] = close_code
        self.frames.append(entry)
        self.state.log.write_to_file(dict(entry, role="messages", frame=kind))
        await self._notify(self.frames_changed)

    def select_frames(self, since=0, kind=None, connection=None):
        return [frame for frame in self.frames
                if frame["seq"] > since and (kind is None or frame["kind"] == kind)
                and (connection is None or frame["connection"] == connection)]

    async def wait_frames(self, count, timeout, **filters):
        return await wait_for_count(self.frames_changed, lambda: self.select_frames(**filters), count, timeout)

    def select_connections(self, state=None):
        return [c for c in self.connections if state is None or c.state == state]

    async def wait_connections(self, count, timeout, state=None):
        return await wait_for_count(self.connections_changed, lambda: self.select_connections(state), count, timeout)

    def open_connections(self, conn_id=None):
        return [c for c in self.connections
                if c.state == "open" and c.socket is not None and not c.socket.closed
                and (conn_id is None or c.id == conn_id)]

    def take_fault(self):
        for fault in self.faults:
            if fault.remaining is not None:
                fault.remaining -= 1
                if fault.remaining == 0:
                    self.faults.remove(fault)
            return fault
        return None

    def reset(self):
        self.frames.clear()
        self.faults.clear()
        self.connections = [c for c in self.connections if c.state in ("open", "connecting")]
        self.relay = False
        self._drop_scenario()

    # --- sending -------------------------------------------------------------------------------------------

    async def send(self, connection, kind, data):
        try:
            if kind == "text":
                await connection.socket.send_str(data)
            else:
                await connection.socket.send_bytes(data)
            return True
        except (ConnectionError, RuntimeError):
            return False

    async def push(self, kind, data, conn_id=None):
        sent = 0
        for connection in self.open_connections(conn_id):
            if await self.send(connection, kind, data):
                sent += 1
        return sent

    async def close(self, code, conn_id=None):
        targets = self.open_connections(conn_id)
        for connection in targets:
            await self.server_close(connection, code)
        return len(targets)

    def server_close(self, connection, code):
        """Starts the server's close handshake (once); the future ends when the client answered or went."""
        if connection.closing is None:
            connection.closing = asyncio.ensure_future(self._close_handshake(connection, code))
        return connection.closing

    async def _close_handshake(self, connection, code, delay=0):
        if delay:
            await asyncio.sleep(delay)
        connection.server_close_code = code
        await connection.socket.close(code=code)

    # --- scenario ------------------------------------------------------------------------------------------

    def load_scenario(self, scenario):
        self._drop_scenario()
        self.scenario = scenario
        self.relay = scenario.relay
        if self.open_connections():
            self._start_scenario()

    def _drop_scenario(self):
        if self.scenario is not None and self.scenario.task is not None:
            self.scenario.task.cancel()
        self.scenario = None

    def _start_scenario(self, again=False):
        """Starts the scenario's play once; again: from its start once more (a play still going is cut off)."""
        scenario = self.scenario
        if scenario is None or (scenario.started is not None and not again):
            return
        if scenario.task is not None:
            scenario.task.cancel()
        scenario.started = time.time()
        scenario.plays += 1
        scenario.task = asyncio.ensure_future(self._play(scenario))

    def opens_new_class(self, connection):
        """Whether connection, just opened, enters a new class: no other connection is open, and the one opened last
        before it was closed by its client with code 1000, as the program closes its socket when it leaves a class
        (a reconnect in the middle of a class closes with 1001 or drops the connection)."""
        if any(c is not connection for c in self.open_connections()):
            return False
        others = [c for c in self.connections if c is not connection and c.opened is not None]
        if not others:
            return False
        return _client_close_code(max(others, key=lambda c: c.opened)) == 1000

    async def _play(self, scenario):
        begin = time.monotonic()
        for at, (kind, data) in scenario.items:
            delay = begin + at - time.monotonic()
            if delay > 0:
                await asyncio.sleep(delay)
            if await self.push(kind, data):
                scenario.sent += 1
            else:
                scenario.undelivered += 1

    # --- relay ---------------------------------------------------------------------------------------------

    async def relay_message(self, sender, message):
        """What a live server forwards: teacher commands to everyone (sender included), presence to the others."""
        if not isinstance(message, dict):
            return
        tag = message.get("messageTag")
        if tag in TEACHER_COMMANDS:
            await self._relay_to(None, message)
        elif tag == TAG_OPEN_MICROPHONE:
            await self._relay_to(None, {"messageTag": TAG_OPENED_MICROPHONE, "userId": message.get("userId", -1),
                                        "teacherId": message.get("teacherId", -1)})
        elif tag == TAG_ENTER:
            await self._relay_to(sender, {"messageTag": TAG_USER_ENTERED, "role": message.get("role", -1),
                                          "userId": message.get("userId", -1)})
        elif tag == TAG_LEAVE:
            await self._relay_to(sender, {"messageTag": TAG_USER_LEFT, "role": message.get("role", -1),
                                          "userId": message.get("userId", -1), "type": message.get("type", 0)})

    async def _relay_to(self, excluded, message):
        message = dict(message)
        message.setdefault("messageId", str(uuid.uuid4()))
        text = json.dumps(message, ensure_ascii=False, separators=(",", ":"))
        for connection in self.open_connections():
            if connection is not excluded:
                await self.send(connection, "text", text)

    # --- the websocket ---------------------------------------------------------------------------------------

    def allocate_id(self):
        conn_id = self.next_connection
        self.next_connection += 1
        return conn_id

    async def handle(self, request):
        entry = request.get("entry") or {}
        conn_id = entry.get("ws_connection") or self.allocate_id()
        fault = self.take_fault()
        connection = Connection(conn_id, request.path, entry.get("remote", ""), fault)
        self.connections.append(connection)
        await self._notify(self.connections_changed)
        try:
            return await self._serve(request, connection, fault)
        finally:
            if connection.closed is None:
                connection.closed = time.time()
            if connection.state in ("connecting", "open", "stalled"):
                connection.state = "closed"
            await self._notify(self.connections_changed)

    async def _serve(self, request, connection, fault):
        if fault is not None and fault.mode == "refuse":
            connection.state = "refused"
            return web.Response(status=fault.status, text="refused\n")
        if fault is not None and fault.mode == "stall":
            connection.state = "stalled"
            await self._notify(self.connections_changed)
            # No answer until the client goes (or the simulator ends).
            while request.transport is not None and not request.transport.is_closing():
                await asyncio.sleep(0.05)
            raise asyncio.CancelledError()

        socket = web.WebSocketResponse(autoping=False, max_msg_size=0)
        await socket.prepare(request)
        connection.socket = socket
        connection.state = "open"
        connection.opened = time.time()
        # Before anything else can run: a play of the class before must not reach this connection.
        self._start_scenario(again=self.opens_new_class(connection))
        await self._notify(self.connections_changed)

        if fault is not None and fault.mode == "close":
            connection.closing = asyncio.ensure_future(self._close_handshake(connection, fault.code, fault.after))
        answer_pings = fault is None or fault.mode != "no_pong"
        await self._receive(connection, socket, answer_pings)
        if connection.closing is not None:
            await asyncio.wait([connection.closing])  # the server's close handshake ends the connection
        return socket

    async def _receive(self, connection, socket, answer_pings):
        while True:
            message = await socket.receive()
            if message.type == WSMsgType.TEXT:
                await self.record_frame(connection, "text", message.data)
                if self.relay:
                    try:
                        await self.relay_message(connection, json.loads(message.data))
                    except ValueError:
                        pass
            elif message.type == WSMsgType.BINARY:
                await self.record_frame(connection, "binary", message.data)
            elif message.type == WSMsgType.PING:
                connection.pings += 1
                await self.record_frame(connection, "ping", message.data)
                if answer_pings:
                    connection.pongs += 1
                    await socket.pong(message.data)
            elif message.type == WSMsgType.PONG:
                await self.record_frame(connection, "pong", message.data)
            elif message.type == WSMsgType.CLOSE:
                connection.client_close_code = message.data
                await self.record_frame(connection, "close", message.extra or None, close_code=message.data)
                break
            else:  # CLOSING, CLOSED, ERROR: the connection is over
                break


# --- control API -------------------------------------------------------------------------------------------


async def _body(request):
    """The request body as JSON ({} when there is none); a 400 reply when it is not JSON."""
    return await control.json_body(request) if request.can_read_body else {}


def _int_query(request, name, default=None):
    try:
        return control.int_arg(request, name, default)
    except ValueError:
        raise web.HTTPBadRequest(text=json.dumps({"error": f"{name} is a whole number"}),
                                 content_type="application/json")


def _server(request):
    return request.app["state"].messages


async def get_frames(request):
    server = _server(request)
    filters = {"since": _int_query(request, "since", 0), "kind": request.query.get("kind") or None,
               "connection": _int_query(request, "connection")}
    count = _int_query(request, "count", 0)
    wait_ms = _int_query(request, "wait_ms", 0)
    if count > 0 and wait_ms > 0:
        frames = await server.wait_frames(count, wait_ms / 1000.0, **filters)
    else:
        frames = server.select_frames(**filters)
    return control.json_reply({"frames": frames})


async def delete_frames(request):
    _server(request).frames.clear()
    return control.json_reply({"ok": True})


async def get_connections(request):
    server = _server(request)
    count = _int_query(request, "count", 0)
    wait_ms = _int_query(request, "wait_ms", 0)
    state = request.query.get("state") or None
    if count > 0 and wait_ms > 0:
        await server.wait_connections(count, wait_ms / 1000.0, state)
    return control.json_reply({"connections": [c.describe() for c in server.select_connections(state)]})


async def push(request):
    server = _server(request)
    spec = await _body(request)
    try:
        if not isinstance(spec, dict):
            raise MessageError("the body is a JSON object")
        items = spec.get("messages", [spec]) if isinstance(spec.get("messages"), list) else [spec]
        payloads = [payload_of(item) for item in items]
        delay = _milliseconds(spec, "delay_ms")
    except MessageError as error:
        return control.json_reply({"error": str(error)}, status=400)
    if delay:
        await asyncio.sleep(delay)
    conn_id = spec.get("connection")
    sent = 0
    for kind, data in payloads:
        sent += await server.push(kind, data, conn_id)
    return control.json_reply({"sent": sent})


async def add_faults(request):
    server = _server(request)
    spec = await _body(request)
    specs = spec if isinstance(spec, list) else [spec]
    try:
        faults = [Fault(0, item) for item in specs]  # check all before adding any
    except (MessageError, ValueError, TypeError) as error:
        return control.json_reply({"error": str(error)}, status=400)
    ids = []
    for fault in faults:
        fault.id = server.next_fault
        server.next_fault += 1
        server.faults.append(fault)
        ids.append(fault.id)
    return control.json_reply({"ids": ids} if isinstance(spec, list) else {"id": ids[0]})


async def get_faults(request):
    return control.json_reply({"faults": [fault.describe() for fault in _server(request).faults]})


async def delete_faults(request):
    _server(request).faults.clear()
    return control.json_reply({"ok": True})


async def close(request):
    spec = await _body(request)
    code = spec.get("code", 1001) if isinstance(spec, dict) else 1001
    if not isinstance(code, int) or not 1000 <= code <= 4999:
        return control.json_reply({"error": "code must be between 1000 and 4999"}, status=400)
    closed = await _server(request).close(code, spec.get("connection"))
    return control.json_reply({"closed": closed})


async def put_scenario(request):
    spec = await _body(request)
    try:
        scenario = Scenario(spec)
    except MessageError as error:
        return control.json_reply({"error": str(error)}, status=400)
    _server(request).load_scenario(scenario)
    return control.json_reply(scenario.describe())


async def get_scenario(request):
    scenario = _server(request).scenario
    return control.json_reply({"scenario": scenario.describe() if scenario else None})


async def delete_scenario(request):
    server = _server(request)
    server._drop_scenario()
    server.relay = False
    return control.json_reply({"ok": True})


async def put_relay(request):
    spec = await _body(request)
    if not isinstance(spec, dict) or not isinstance(spec.get("enabled"), bool):
        return control.json_reply({"error": "the body is {\"enabled\": true|false}"}, status=400)
    _server(request).relay = spec["enabled"]
    return control.json_reply({"ok": True})


def load_scenario_file(state, path):
    """Loads a scenario file given on the command line; raises MessageError or OSError."""
    with open(path, "r", encoding="utf-8") as handle:
        try:
            spec = json.load(handle)
        except ValueError as error:
            raise MessageError(f"{path} is not JSON: {error}")
    state.messages.load_scenario(Scenario(spec))


def annotate(entry, request, state):
    entry["ws_upgrade"] = request.headers.get("Upgrade", "").lower() == "websocket"
    entry["ws_connection"] = state.messages.allocate_id()


async def _close_all(app):
    server = app["state"].messages
    await server.close(1001)


def setup(app, state):
    state.messages = MessageServer(state)
    state.reset_hooks.append(state.messages.reset)
    for path in PATHS:
        state.add_annotator(Annotator("messages", path, annotate, method="GET"))
        app.router.add_get(path, state.messages.handle)
    app.on_shutdown.append(_close_all)
    router = app.router
    router.add_get(CONTROL + "/frames", get_frames)
    router.add_delete(CONTROL + "/frames", delete_frames)
    router.add_get(CONTROL + "/connections", get_connections)
    router.add_post(CONTROL + "/push", push)
    router.add_post(CONTROL + "/faults", add_faults)
    router.add_get(CONTROL + "/faults", get_faults)
    router.add_delete(CONTROL + "/faults", delete_faults)
    router.add_post(CONTROL + "/close", close)
    router.add_post(CONTROL + "/scenario", put_scenario)
    router.add_get(CONTROL + "/scenario", get_scenario)
    router.add_delete(CONTROL + "/scenario", delete_scenario)
    router.add_post(CONTROL + "/relay", put_relay)

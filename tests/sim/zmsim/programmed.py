"""Replies that tests program per route through the control API; they win over the built-in behaviour."""

import asyncio
import base64
import json

from aiohttp import web

ACTIONS = ("reply", "close", "stall", "raw")


class RouteError(ValueError):
    pass


def remaining_of(times, error_type):
    """How many more times a programmed answer applies: None for "always", else a positive count; error_type is
    raised for anything else."""
    if times == "always":
        return None
    if isinstance(times, int) and not isinstance(times, bool) and times > 0:
        return times
    raise error_type('times is a positive count or "always"')


def _text_pairs(value, what):
    """Header lines given as [[name, value], ...] or {name: value}; kept in the given order."""
    if value is None:
        return []
    if isinstance(value, dict):
        value = list(value.items())
    if not isinstance(value, list):
        raise RouteError(f"{what} must be a list of [name, value] pairs or an object")
    pairs = []
    for item in value:
        if not (isinstance(item, (list, tuple)) and len(item) == 2):
            raise RouteError(f"{what} entries are [name, value] pairs")
        name, text = item
        if not isinstance(name, str) or not isinstance(text, (str, int)):
            raise RouteError(f"{what} names and values are texts")
        pairs.append((name, str(text)))
    return pairs


class Route:
    def __init__(self, route_id, spec):
        if not isinstance(spec, dict):
            raise RouteError("a route is a JSON object")
        self.id = route_id
        self.method = str(spec.get("method", "*")).upper()
        self.path = spec.get("path")
        if not isinstance(self.path, str) or not self.path.startswith("/"):
            raise RouteError("path must be a text beginning with /")
        self.match = spec.get("match", "exact")
        if self.match not in ("exact", "prefix"):
            raise RouteError("match is exact or prefix")
        self.params = spec.get("params") or {}
        if not isinstance(self.params, dict):
            raise RouteError("params must be an object of texts")
        self.action = spec.get("action", "reply")
        if self.action not in ACTIONS:
            raise RouteError("action is one of " + ", ".join(ACTIONS))
        self.status = int(spec.get("status", 200))
        if not 100 <= self.status <= 999:
            raise RouteError("status must be between 100 and 999")
        self.headers = _text_pairs(spec.get("headers"), "headers")
        self.content_type = spec.get("content_type")
        self.body = self._body(spec)
        repeat = int(spec.get("repeat", 1))
        if repeat < 0:
            raise RouteError("repeat must not be negative")
        self.body *= repeat
        self.raw = base64.b64decode(spec.get("raw_base64", ""), validate=True)
        self.delay = max(0, int(spec.get("delay_ms", 0))) / 1000.0
        self.hold = spec.get("hold")
        if self.hold is not None and (not isinstance(self.hold, str) or not self.hold or "/" in self.hold):
            raise RouteError("hold is a name without /")
        self.remaining = remaining_of(spec.get("times", "always"), RouteError)
        self.hits = 0

    @staticmethod
    def _body(spec):
        given = [key for key in ("body", "body_base64", "json") if key in spec]
        if len(given) > 1:
            raise RouteError("give only one of body, body_base64 and json")
        if "body" in spec:
            return str(spec["body"]).encode("utf-8")
        if "body_base64" in spec:
            return base64.b64decode(spec["body_base64"], validate=True)
        if "json" in spec:
            return json.dumps(spec["json"], ensure_ascii=False).encode("utf-8")
        return b""

    def matches(self, method, path, params):
        if self.method not in ("*", method):
            return False
        if self.match == "exact" and path != self.path:
            return False
        if self.match == "prefix" and not path.startswith(self.path):
            return False
        for key, value in self.params.items():
            if params.get(key) != value:
                return False
        return True

    def describe(self):
        return {
            "id": self.id,
            "method": self.method,
            "path": self.path,
            "match": self.match,
            "params": self.params,
            "action": self.action,
            "status": self.status,
            "hold": self.hold,
            "remaining": "always" if self.remaining is None else self.remaining,
            "hits": self.hits,
        }


class RouteTable:
    """Programmed routes, first added first matched; a route whose count is spent drops out."""

    def __init__(self):
        self._routes = []
        self._next_id = 1

    def add(self, spec):
        route = Route(self._next_id, spec)
        self._next_id += 1
        self._routes.append(route)
        return route

    def remove(self, route_id):
        before = len(self._routes)
        self._routes = [route for route in self._routes if route.id != route_id]
        return len(self._routes) != before

    def clear(self):
        self._routes.clear()

    def describe(self):
        return [route.describe() for route in self._routes]

    def take(self, method, path, params):
        for route in self._routes:
            if route.matches(method, path, params):
                route.hits += 1
                if route.remaining is not None:
                    route.remaining -= 1
                    if route.remaining == 0:
                        self._routes.remove(route)
                return route
        return None


def drop_connection(request):
    """Closes the connection (after anything already written) and ends the handler without a reply.

    The server treats a cancelled handler like a client that went away: nothing more is written or logged.
    """
    transport = request.transport
    if transport is not None:
        transport.close()
    raise asyncio.CancelledError()


async def perform(route, request, state):
    if route.delay:
        await asyncio.sleep(route.delay)
    if route.hold and not await state.holds.wait(route.hold, request):
        drop_connection(request)
    if route.action == "close":
        drop_connection(request)
    if route.action == "raw":
        if request.transport is not None:
            request.transport.write(route.raw)
        drop_connection(request)
    if route.action == "stall":
        await state.shutdown.wait()
        drop_connection(request)
    response = web.Response(status=route.status, body=route.body if route.status not in (204, 304) else None)
    has_type = False
    for name, value in route.headers:
        if name.lower() == "content-type":
            has_type = True
        response.headers.add(name, value)
    if not has_type and route.body:
        response.headers["Content-Type"] = route.content_type or "application/json"
    return response

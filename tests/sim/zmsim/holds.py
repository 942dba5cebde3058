"""Named holds: a reply that meets a hold waits until a test releases it through the control API.

A programmed route with "hold": <name> waits before its action; a download (/updates/get/...?hold=<name>) waits
part-way through its body. A released hold lets every later wait through at once until the holds are cleared;
clearing releases whatever still waits. Control:
  GET    /_control/holds                  {"holds": [{"name", "waiting", "released"}, ...]}
  POST   /_control/holds/<name>/release   {"ok": true, "waiting": n}: n waits let go
  DELETE /_control/holds                  releases every hold, then forgets them
"""

import asyncio

from aiohttp import web

PREFIX = "/_control/holds"
# How often a waiting reply looks whether its client is still there.
CHECK_SECONDS = 0.05


class Hold:
    def __init__(self):
        self.released = asyncio.Event()
        self.waiting = 0


class Holds:
    def __init__(self, shutdown):
        self._holds = {}
        self._shutdown = shutdown

    def _get(self, name):
        hold = self._holds.get(name)
        if hold is None:
            hold = self._holds[name] = Hold()
        return hold

    async def wait(self, name, request=None):
        """True once the hold is released; False when the simulator ends or the request's client goes first."""
        hold = self._get(name)
        if hold.released.is_set():
            return True
        hold.waiting += 1
        try:
            while not hold.released.is_set() and not self._shutdown.is_set():
                if request is not None and (request.transport is None or request.transport.is_closing()):
                    return False
                try:
                    await asyncio.wait_for(hold.released.wait(), CHECK_SECONDS)
                except asyncio.TimeoutError:
                    pass
        finally:
            hold.waiting -= 1
        return hold.released.is_set()

    def release(self, name):
        hold = self._get(name)
        hold.released.set()
        return hold.waiting

    def clear(self):
        for hold in self._holds.values():
            hold.released.set()
        self._holds = {}

    def describe(self):
        return [
            {"name": name, "waiting": hold.waiting, "released": hold.released.is_set()}
            for name, hold in sorted(self._holds.items())
        ]


async def get_holds(request):
    return web.json_response({"holds": request.app["state"].holds.describe()})


async def release_hold(request):
    waiting = request.app["state"].holds.release(request.match_info["name"])
    return web.json_response({"ok": True, "waiting": waiting})


async def delete_holds(request):
    request.app["state"].holds.clear()
    return web.json_response({"ok": True})


def setup(app, state):
    state.holds = Holds(state.shutdown)
    state.reset_hooks.append(state.holds.clear)
    app.router.add_get(PREFIX, get_holds)
    app.router.add_post(PREFIX + "/{name}/release", release_hold)
    app.router.add_delete(PREFIX, delete_holds)

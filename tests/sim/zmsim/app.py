"""The aiohttp application: one middleware records every request, then programmed replies, then the roles."""

import base64
import time

from aiohttp import web

from . import control, files, holds, messages, numbered, oss, pages, programmed, reports, restful, updates

CONTROL_PREFIX = "/_control/"

# Requests up to this size are accepted whole (log archives and packages go through here).
MAX_BODY = 1 << 30


def _latin1(data):
    return data.decode("latin-1")


async def make_entry(request):
    body = await request.read()
    target = request.raw_path
    path, _, query = target.partition("?")
    entry = {
        "time": time.time(),
        "remote": "%s:%s" % request.transport.get_extra_info("peername")[:2] if request.transport else "",
        "method": request.method,
        "version": "%d.%d" % (request.version.major, request.version.minor),
        "raw_path": target,
        "path": path,
        "query": query,
        "headers": [[_latin1(name), _latin1(value)] for name, value in request.raw_headers],
        "body_base64": base64.b64encode(body).decode("ascii"),
        "body_size": len(body),
        "role": None,
        "programmed": None,
    }
    try:
        entry["body_text"] = body.decode("utf-8")
    except UnicodeDecodeError:
        pass
    return entry


def _params_of(entry):
    params = {}
    for key, value in entry.get("params") or []:
        params[key] = value
    return params


@web.middleware
async def record_and_dispatch(request, handler):
    if request.path.startswith(CONTROL_PREFIX):
        return await handler(request)
    state = request.app["state"]
    entry = await make_entry(request)
    state.annotate(entry, request)
    route = state.routes.take(entry["method"], entry["path"], _params_of(entry))
    if route is not None:
        entry["programmed"] = route.id
    request["entry"] = entry
    await state.log.add(entry)
    if route is not None:
        return await programmed.perform(route, request, state)
    role_handler = state.role_handlers.get(entry["role"])
    if role_handler is not None:  # a role that answers on any path it claims
        return await role_handler(request)
    return await handler(request)


def build(state):
    state.routes = programmed.RouteTable()
    app = web.Application(middlewares=[record_and_dispatch], client_max_size=MAX_BODY)
    app["state"] = state
    control.setup(app, state)
    holds.setup(app, state)
    numbered.setup(app, state)
    reports.setup(app, state)
    restful.setup(app, state)
    updates.setup(app, state)
    messages.setup(app, state)
    files.setup(app, state)
    pages.setup(app, state)
    oss.setup(app, state)  # last: it claims every PUT the others leave
    return app

"""The control API under /_control/: the request log, programmed routes, uploaded files, reset and shutdown.

Control requests are never recorded in the request log and never matched against programmed routes.
"""

import json
import os

from aiohttp import web

from . import files, programmed

PREFIX = "/_control"


def json_reply(data, status=200):
    """A JSON reply as every control request gives it (texts as they are, not escaped to ASCII)."""
    return web.json_response(data, status=status, dumps=lambda value: json.dumps(value, ensure_ascii=False))


def _error(message, status=400):
    return json_reply({"error": message}, status=status)


def int_arg(request, name, default):
    text = request.query.get(name)
    if text is None or text == "":
        return default
    return int(text)


async def info(request):
    state = request.app["state"]
    return json_reply({"base": state.base_url, "pid": os.getpid(), "roles": state.roles, "files_dir": state.files_dir})


async def get_requests(request):
    state = request.app["state"]
    try:
        filters = {
            "prefix": request.query.get("prefix") or None,
            "method": request.query.get("method") or None,
            "since": int_arg(request, "since", 0),
        }
        count = int_arg(request, "count", 0)
        wait_ms = int_arg(request, "wait_ms", 0)
    except ValueError:
        return _error("since, count and wait_ms are whole numbers")
    if count > 0 and wait_ms > 0:
        entries = await state.log.wait_for(count, wait_ms / 1000.0, **filters)
    else:
        entries = state.log.select(**filters)
    return json_reply({"requests": entries})


async def delete_requests(request):
    request.app["state"].log.clear()
    return json_reply({"ok": True})


async def json_body(request):
    """The request body parsed as JSON; a 400 reply with the reason when it is not JSON."""
    try:
        return json.loads(await request.text())
    except ValueError as error:
        raise web.HTTPBadRequest(text=json.dumps({"error": "body is not JSON: %s" % error}),
                                 content_type="application/json")


async def add_routes(request):
    """One route object, or a list of them (added in order); replies {"id": n} or {"ids": [...]}."""
    state = request.app["state"]
    spec = await json_body(request)
    specs = spec if isinstance(spec, list) else [spec]
    try:
        for item in specs:  # check all before adding any
            programmed.Route(0, item)
    except (programmed.RouteError, ValueError, TypeError) as error:
        return _error(str(error))
    ids = [state.routes.add(item).id for item in specs]
    return json_reply({"ids": ids} if isinstance(spec, list) else {"id": ids[0]})


async def get_routes(request):
    return json_reply({"routes": request.app["state"].routes.describe()})


async def delete_routes(request):
    request.app["state"].routes.clear()
    return json_reply({"ok": True})


async def delete_route(request):
    try:
        route_id = int(request.match_info["id"])
    except ValueError:
        return _error("route ids are whole numbers")
    if not request.app["state"].routes.remove(route_id):
        return _error("no such route", status=404)
    return json_reply({"ok": True})


async def put_file(request):
    state = request.app["state"]
    relative = request.match_info["tail"]
    data = await request.read()
    if not files.store_upload(state, relative, data):
        return _error("file names are relative paths without empty, . or .. parts")
    return json_reply({"path": files.PREFIX + relative, "url": state.base_url + files.PREFIX + relative,
                  "size": len(data)})


async def get_files(request):
    return json_reply({"files": files.list_uploads(request.app["state"])})


async def delete_files(request):
    files.clear_uploads(request.app["state"])
    return json_reply({"ok": True})


async def reset(request):
    state = request.app["state"]
    state.log.clear()
    state.routes.clear()
    files.clear_uploads(state)
    for hook in state.reset_hooks:
        hook()
    return json_reply({"ok": True})


async def shutdown(request):
    request.app["state"].shutdown.set()
    return json_reply({"ok": True})


def setup(app, state):
    router = app.router
    router.add_get(PREFIX + "/info", info)
    router.add_get(PREFIX + "/requests", get_requests)
    router.add_delete(PREFIX + "/requests", delete_requests)
    router.add_post(PREFIX + "/routes", add_routes)
    router.add_get(PREFIX + "/routes", get_routes)
    router.add_delete(PREFIX + "/routes", delete_routes)
    router.add_delete(PREFIX + "/routes/{id}", delete_route)
    router.add_put(PREFIX + "/files/{tail:.+}", put_file)
    router.add_get(PREFIX + "/files", get_files)
    router.add_delete(PREFIX + "/files", delete_files)
    router.add_post(PREFIX + "/reset", reset)
    router.add_post(PREFIX + "/shutdown", shutdown)

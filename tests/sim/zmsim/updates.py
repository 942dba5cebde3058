"""Update and package downloads, the version verdicts and the report sink.

Downloads (GET, role "updates"):
  /updates/get/<path>   the file served under /files/<path> (uploaded or --files), shaped by the query:
                        length=0   no Content-Length (chunked body)
                        chunk=N    bytes per write (default 65536); delay_ms=D pause before each write (slow body)
                        cut=N      announce the whole size, send the first N bytes, then close (short body)
                        status=N   answer with this status and the file as body
                        hold=H     send the first hold_at bytes (default 0), then wait until the test releases
                                   the hold named H (see holds.py) before the rest (a download kept running)
  /updates/redirect     status (default 302) with "Location: <to>" exactly as given, relative or absolute
  /updates/loop         redirects to itself for ever
  anything else under /updates/ is 404
Report sink (POST /apm-store-web/messagePosted, role "report_sink"): logs "report_json" (the body parsed as JSON, or null) and
answers {"code": 0}.
Verdicts (control API): POST /_control/updates/public_resources and /_control/updates/course_zip program the
replies of the RESTful calls that the version check and the package downloader make (see README).
"""

import asyncio
import json
import urllib.parse

from aiohttp import web

from . import files
from .restful import COURSE_ZIP, PUBLIC_RESOURCES
from .state import Annotator

PREFIX = "/updates/"
REPORT_PATH = "/apm-store-web/messagePosted"


def _int_query(request, name, default):
    text = request.query.get(name)
    if text is None or text == "":
        return default
    try:
        return int(text)
    except ValueError:
        raise web.HTTPBadRequest(text=f"{name} must be a number\n")


def _file_bytes(state, relative):
    found = files.find(state, relative)
    if found is None:
        return None
    with open(found, "rb") as handle:
        return handle.read()


async def serve_get(request):
    state = request.app["state"]
    data = _file_bytes(state, request.match_info["tail"])
    if data is None:
        raise web.HTTPNotFound(text="no such file\n")
    status = _int_query(request, "status", 200)
    chunk = max(1, _int_query(request, "chunk", 65536))
    delay = max(0, _int_query(request, "delay_ms", 0)) / 1000.0
    cut = _int_query(request, "cut", None)
    with_length = request.query.get("length", "1") != "0"
    hold = request.query.get("hold") or None
    hold_at = max(0, _int_query(request, "hold_at", 0))

    response = web.StreamResponse(status=status)
    response.content_type = "application/octet-stream"
    if with_length:
        response.content_length = len(data)
    else:
        response.enable_chunked_encoding()
    await response.prepare(request)
    to_send = data if cut is None else data[: max(0, cut)]
    parts = [to_send] if hold is None else [to_send[:hold_at], to_send[hold_at:]]
    ended_early = False
    try:
        for index, part in enumerate(parts):
            if index > 0 and not await state.holds.wait(hold, request):
                ended_early = True  # the simulator ends, or the client went, while the body is held
                break
            for offset in range(0, len(part), chunk):
                if delay:
                    await asyncio.sleep(delay)
                await response.write(part[offset : offset + chunk])
    except ConnectionResetError:
        # The client went away (a cancelled download): nothing more to send.
        raise asyncio.CancelledError()
    if cut is not None or ended_early:
        # The announced size is never reached: the client sees the connection end early.
        if request.transport is not None:
            request.transport.close()
        raise asyncio.CancelledError()
    await response.write_eof()
    return response


async def serve_redirect(request):
    target = request.query.get("to")
    if not target:
        raise web.HTTPBadRequest(text="to is required\n")
    status = _int_query(request, "status", 302)
    return web.Response(status=status, headers={"Location": target}, text="moved\n")


async def serve_loop(request):
    return web.Response(status=302, headers={"Location": "/updates/loop"}, text="moved\n")


async def serve_other(request):
    raise web.HTTPNotFound(text="no such download\n")


async def report_sink(request):
    return web.json_response({"code": 0})


def annotate_download(entry, request, state):
    entry["download_query"] = [list(pair) for pair in urllib.parse.parse_qsl(entry["query"], keep_blank_values=True)]


def annotate_report(entry, request, state):
    entry["content_type"] = None
    for name, value in entry["headers"]:
        if name.lower() == "content-type":
            entry["content_type"] = value
            break
    try:
        entry["report_json"] = json.loads(entry.get("body_text") or "")
    except ValueError:
        entry["report_json"] = None


def _fill(value, state):
    if isinstance(value, str):
        return value.replace("{{base}}", state.base_url)
    return value


def public_resources_reply(spec, state):
    """The reply of GET /configs/public/resources for a verdict description.

    spec: {"app_status": 2, "version": "9.0.0", "app_url": ..., "app_url_en": ..., "desc": ..., "desc_en": ...,
           "web_status": 3, "web_version": ..., "web_md5": ..., "web_url": ..., "web_url_en": ...,
           "success": true, "code": "0"}
    """
    app = {
        "versionStatus": spec.get("app_status", 1),
        "versionName": spec.get("version", ""),
        "versionUrl": _fill(spec.get("app_url", ""), state),
        "versionDesc": spec.get("desc", ""),
        "versionUrlEn": _fill(spec.get("app_url_en", spec.get("app_url", "")), state),
        "versionDescEn": spec.get("desc_en", spec.get("desc", "")),
    }
    web_part = {
        "versionStatus": spec.get("web_status", 1),
        "versionName": spec.get("web_version", ""),
        "checkSum": spec.get("web_md5", ""),
        "versionUrl": _fill(spec.get("web_url", spec.get("web_url_en", "")), state),
        "versionDesc": spec.get("web_desc", ""),
        "versionUrlEn": _fill(spec.get("web_url_en", ""), state),
        "versionDescEn": spec.get("web_desc_en", ""),
    }
    return {
        "success": spec.get("success", True),
        "code": spec.get("code", "0"),
        "msg": "ok",
        "data": {"app": app, "web": web_part},
    }


def course_zip_reply(spec, state):
    """The reply of GET /material/lesson/course/zip: {"zip_url", "md5", "size", "code"}."""
    return {
        "success": True,
        "code": spec.get("code", "0"),
        "msg": "ok",
        "data": {
            "zipUrl": _fill(spec.get("zip_url", ""), state),
            "md5": spec.get("md5", ""),
            "fileSize": spec.get("size", 0),
        },
    }


def _program(state, path, reply, spec):
    route = {"method": "GET", "path": path, "json": reply}
    for key in ("times", "delay_ms"):
        if key in spec:
            route[key] = spec[key]
    if "lesson_id" in spec:
        route["params"] = {"lessonId": spec["lesson_id"]}
    return state.routes.add(route)


def _control_handler(path, build):
    async def handler(request):
        state = request.app["state"]
        try:
            spec = await request.json()
        except ValueError:
            return web.json_response({"error": "the body must be a JSON object"}, status=400)
        if not isinstance(spec, dict):
            return web.json_response({"error": "the body must be a JSON object"}, status=400)
        reply = build(spec, state)
        try:
            route = _program(state, path, reply, spec)
        except ValueError as error:
            return web.json_response({"error": str(error)}, status=400)
        return web.json_response({"id": route.id, "json": reply})

    return handler


def setup(app, state):
    state.add_annotator(Annotator("report_sink", REPORT_PATH, annotate_report, method="POST"))
    state.add_annotator(Annotator("updates", PREFIX, annotate_download, prefix=True))
    app.router.add_post(REPORT_PATH, report_sink)
    app.router.add_get(PREFIX + "get/{tail:.*}", serve_get)
    app.router.add_get(PREFIX + "redirect", serve_redirect)
    app.router.add_get(PREFIX + "loop", serve_loop)
    app.router.add_route("*", PREFIX + "{tail:.*}", serve_other)
    app.router.add_post("/_control/updates/public_resources", _control_handler(PUBLIC_RESOURCES, public_resources_reply))
    app.router.add_post("/_control/updates/course_zip", _control_handler(COURSE_ZIP, course_zip_reply))

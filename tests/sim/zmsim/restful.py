"""RESTful calls of the class service: GET requests whose parameters travel as signed header lines.

Every call signs its own pairs, then the common pairs c, v, p, a, t, userId, token, then "s"; a pair sent after
"s" (systemVersion) is not signed. Built-in replies come from fixtures/restful/.
"""

import urllib.parse

from aiohttp import web

from . import fixtures, signed_headers, signing
from .state import Annotator

EXCHANGE_TOKEN = "/account/exchange/token/"
LESSON_PREFIX = "/classroom/lesson/"
PUBLIC_RESOURCES = "/configs/public/resources"
COURSE_ZIP = "/material/lesson/course/zip"
DEVICE_LIST = "/configs/public/device/unSupport/list"

# call name, path, prefix match, own pairs (signed, before the common ones), fixture
CALLS = (
    ("exchange_token", EXCHANGE_TOKEN, False, ("realPlatform",), "exchange_token.json"),
    ("lesson", LESSON_PREFIX, True, ("client-request-hex", "client-time-stamp"), "lesson.json"),
    ("public_resources", PUBLIC_RESOURCES, False, ("webVersion",), "public_resources.json"),
    ("course_zip", COURSE_ZIP, False, ("lessonId",), "course_zip.json"),
    ("device_list", DEVICE_LIST, False, (), "device_unsupport_list.json"),
)

UNSIGNED_KEYS = ("systemVersion",)


def _header(entry, name):
    for key, value in entry["headers"]:
        if key == name:
            return signed_headers.decode(value)
    return None


def _annotator(call, own_keys):
    def annotate(entry, request, state):
        keys = tuple(own_keys) + signing.REST_COMMON_KEYS
        # Signed pairs are the known keys up to "s"; what follows "s" is sent unsigned.
        pairs = []
        unsigned = []
        after_sign = False
        for name, value in signed_headers.header_pairs(entry, keys + UNSIGNED_KEYS):
            if name in UNSIGNED_KEYS or after_sign:
                unsigned.append([name, value])
            else:
                pairs.append([name, value])
            if name == "s":
                after_sign = True
        present = {name for name, _ in pairs}
        entry["rest_call"] = call
        entry["params"] = pairs
        entry["unsigned_params"] = unsigned
        query_params = [list(pair) for pair in urllib.parse.parse_qsl(entry["query"], keep_blank_values=True)]
        query_keys = {key for key, _ in query_params}
        # The lesson's own pairs belong to its class-entry form, which also sends them in the query.
        required = [key for key in own_keys if call != "lesson" or key in query_keys]
        entry["own_missing"] = [key for key in required if key not in present]
        entry["sign_missing"] = [key for key in signing.REST_COMMON_KEYS if key not in present]
        signing.record_check(entry, pairs)
        entry["system_version"] = _header(entry, "systemVersion")
        entry["query_params"] = query_params
        if call == "lesson":
            entry["period_id"] = urllib.parse.unquote(entry["path"][len(LESSON_PREFIX):])

    return annotate


def _handler(fixture):
    async def reply(request):
        state = request.app["state"]
        body = fixtures.load(state, "restful", fixture)
        ws_base = "ws" + state.base_url[len("http"):]
        body = body.replace(b"{{ws_base}}", ws_base.encode("utf-8"))
        return web.Response(body=body, content_type="application/json")

    return reply


def setup(app, state):
    for call, path, prefix, own_keys, fixture in CALLS:
        state.add_annotator(Annotator("restful", path, _annotator(call, own_keys), prefix=prefix, method="GET"))
        route_path = path + "{period_id:.*}" if prefix else path
        app.router.add_route("GET", route_path, _handler(fixture))

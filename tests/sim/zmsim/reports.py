"""Problem reports: a form POST to the RESTful host whose header lines carry the common signed pairs."""

import urllib.parse

from aiohttp import web

from . import fixtures, signed_headers, signing
from .state import Annotator

PATH = "/classroom/monitor/period/device/report/callback"


def annotate(entry, request, state):
    signed_headers.check(entry, signing.REST_COMMON_KEYS)
    body = entry.get("body_text")
    if body is None:
        entry["form_error"] = "body is not UTF-8"
        entry["form"] = []
        return
    entry["form"] = [list(pair) for pair in urllib.parse.parse_qsl(body, keep_blank_values=True)]


async def report(request):
    body = fixtures.load(request.app["state"], "reports", "accepted.json")
    return web.Response(body=body, content_type="application/json")


def setup(app, state):
    state.add_annotator(Annotator("report", PATH, annotate))
    app.router.add_route("POST", PATH, report)

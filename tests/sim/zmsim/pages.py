"""Web pages for the program's embedded browser: the whiteboard and playback fixture pages under any signed
tail of their configured addresses, and the offline small-class page with its script from the source tree.

GET /pages/whiteboard[/<tail>]           -> fixtures/pages/whiteboard.html
GET /pages/whiteboard/playback[/<tail>]  -> fixtures/pages/playback.html
GET /pages/vroom/<file>                  -> web/offline/vroom/<file> (the page and script the build packs)
GET /pages/help                          -> fixtures/pages/help.html (the instructional video page)

A query with board=fail closes the connection without an answer, so the browser reports a failed load.
"""

import os

from aiohttp import web

from . import files
from .fixtures import path_of
from .programmed import drop_connection
from .state import Annotator

PREFIX = "/pages/"
WHITEBOARD = "/pages/whiteboard"
PLAYBACK = "/pages/whiteboard/playback"
VROOM = "/pages/vroom/"
HELP = "/pages/help"

VROOM_DIR = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))),
                         "web", "offline", "vroom")


def _under(path, base):
    return path == base or path.startswith(base + "/")


def page_file(path):
    """The file served for a path under /pages/, or None."""
    if _under(path, PLAYBACK):
        return path_of("pages", "playback.html")
    if _under(path, WHITEBOARD):
        return path_of("pages", "whiteboard.html")
    if path.startswith(VROOM):
        return files.resolve(VROOM_DIR, path[len(VROOM):])
    if path == HELP:
        return path_of("pages", "help.html")
    return None


async def serve(request):
    if request.query.get("board") == "fail":
        drop_connection(request)
    found = page_file(request.path)
    if found is None:
        raise web.HTTPNotFound(text="no such page\n")
    response = web.FileResponse(found)
    response.headers["Cache-Control"] = "no-store"
    return response


def annotate(entry, request, state):
    found = page_file(request.path)
    entry["page"] = os.path.basename(found) if found else None
    entry["page_query"] = [[key, value] for key, value in request.query.items()]


def setup(app, state):
    state.add_annotator(Annotator("pages", PREFIX, annotate, prefix=True, method="GET"))
    app.router.add_get(PREFIX + "{tail:.*}", serve)

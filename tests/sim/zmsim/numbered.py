"""The numbered-call entrance: GET <base>/quillo/entrance?parameter=<percent-encoded JSON object>.

The base may carry a path of its own (alternate API addresses such as <address>/backup): the entrance is
served and decoded under any path that ends in /quillo/entrance.

The log entry of every such request gets the decoded parameters and the result of checking its signature "s".
"""

import json
import re
import urllib.parse

from aiohttp import web

from . import fixtures, signing
from .state import Annotator

PATH = "/quillo/entrance"
TAG_PATTERN = re.compile(r"^[0-9]{8}$")


class ParameterError(ValueError):
    pass


def parameter_text(query):
    """The JSON text of the "parameter" item of a raw query string, percent-decoded as UTF-8."""
    for item in query.split("&"):
        key, sep, value = item.partition("=")
        if key == "parameter" and sep:
            try:
                return urllib.parse.unquote_to_bytes(value).decode("utf-8")
            except UnicodeDecodeError as error:
                raise ParameterError("parameter is not UTF-8: %s" % error) from None
    raise ParameterError("no parameter in the query")


def decode_pairs(text):
    """The (key, value) pairs of a JSON object text, in text order; non-text values keep their JSON text."""
    try:
        pairs = json.loads(text, object_pairs_hook=lambda pairs: pairs)
    except ValueError as error:
        raise ParameterError("parameter is not JSON: %s" % error) from None
    if not isinstance(pairs, list) or (pairs and not isinstance(pairs[0], tuple)):
        raise ParameterError("parameter is not a JSON object")
    result = []
    for key, value in pairs:
        if not isinstance(value, str):
            value = json.dumps(value, ensure_ascii=False)
        result.append([key, value])
    return result


def annotate(entry, request, state):
    entry["sign_ok"] = False
    try:
        text = parameter_text(entry["query"])
        entry["param_text"] = text
        entry["params"] = decode_pairs(text)
    except ParameterError as error:
        entry["param_error"] = str(error)
        return
    for key, value in entry["params"]:
        if key == "FuncTag":
            entry["func_tag"] = value
    signing.record_check(entry, entry["params"])


def _json_reply(body, status=200):
    return web.Response(status=status, body=body, content_type="application/json")


async def entrance(request):
    state = request.app["state"]
    entry = request["entry"]
    if "param_error" in entry:
        message = json.dumps({"TagCode": "4000", "msg": entry["param_error"]})
        return _json_reply(message.encode("utf-8"), status=400)
    tag = entry.get("func_tag", "")
    body = fixtures.load(state, "numbered", tag + ".json") if TAG_PATTERN.match(tag) else None
    if body is None:
        body = fixtures.load(state, "numbered", "unknown.json")
    return _json_reply(body)


def setup(app, state):
    state.add_annotator(Annotator("numbered", PATH, annotate, suffix=True))
    app.router.add_route("GET", PATH, entrance)
    app.router.add_route("GET", "/{base:.+}" + PATH, entrance)

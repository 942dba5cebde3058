"""A plain file host: GET and HEAD of /files/<path>, from uploaded files first, then the --files folder, then the
built-in files (the device check's download-test file)."""

import hashlib
import os

from aiohttp import web

from .state import Annotator

PREFIX = "/files/"


def _plain_parts(relative):
    """The parts of a plain relative file name, or None when it is empty or has empty, ".", ".." parts,
    backslashes or NUL characters."""
    parts = relative.split("/")
    if not relative or any(part in ("", ".", "..") for part in parts) or "\\" in relative or "\0" in relative:
        return None
    return parts


def resolve(root, relative):
    """The file under root named by relative, or None when it is missing or would leave root."""
    parts = _plain_parts(relative) if root else None
    if parts is None:
        return None
    root = os.path.realpath(root)
    candidate = os.path.realpath(os.path.join(root, *parts))
    if os.path.commonpath([root, candidate]) != root or not os.path.isfile(candidate):
        return None
    return candidate


def store_upload(state, relative, data):
    """Writes an uploaded file below the upload folder; False when the name is not a plain relative path."""
    parts = _plain_parts(relative)
    if parts is None:
        return False
    target = os.path.join(state.upload_dir, *parts)
    os.makedirs(os.path.dirname(target), exist_ok=True)
    with open(target, "wb") as handle:
        handle.write(data)
    return True


def clear_uploads(state):
    for dirpath, dirnames, filenames in os.walk(state.upload_dir, topdown=False):
        for name in filenames:
            os.remove(os.path.join(dirpath, name))
        for name in dirnames:
            os.rmdir(os.path.join(dirpath, name))


def list_uploads(state):
    names = []
    for dirpath, _, filenames in os.walk(state.upload_dir):
        for name in filenames:
            full = os.path.join(dirpath, name)
            names.append(os.path.relpath(full, state.upload_dir).replace(os.sep, "/"))
    return sorted(names)


def find(state, relative):
    """The served file named by relative: an uploaded one first, then one in the --files folder; None if neither."""
    return resolve(state.upload_dir, relative) or resolve(state.files_dir, relative)


# The download-test file of the URL configuration: 1 MiB, a PNG signature followed by fixed pseudo-random bytes.
DOWNLOAD_TEST = "logo_1MB.png"
DOWNLOAD_TEST_SIZE = 1 << 20


def _download_test_bytes():
    data = bytearray(b"\x89PNG\r\n\x1a\n")
    block = b"zmquillo"
    while len(data) < DOWNLOAD_TEST_SIZE:
        block = hashlib.sha256(block).digest()
        data += block
    return bytes(data[:DOWNLOAD_TEST_SIZE])


_BUILT_IN = {}


def built_in(relative):
    """The bytes of a built-in file, or None."""
    if relative != DOWNLOAD_TEST:
        return None
    if relative not in _BUILT_IN:
        _BUILT_IN[relative] = _download_test_bytes()
    return _BUILT_IN[relative]


async def serve(request):
    relative = request.match_info["tail"]
    found = find(request.app["state"], relative)
    if found is not None:
        return web.FileResponse(found)
    data = built_in(relative)
    if data is None:
        raise web.HTTPNotFound(text="no such file\n")
    return web.Response(body=data, content_type="image/png")


def annotate(entry, request, state):
    pass


def setup(app, state):
    state.add_annotator(Annotator("files", PREFIX, annotate, prefix=True))
    app.router.add_get(PREFIX + "{tail:.*}", serve)

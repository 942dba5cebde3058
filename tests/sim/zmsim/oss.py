"""Object storage: signed PUTs of objects with temporary credentials, kept in memory for tests to read back.

A PUT on any path that no other role claims is an object put. The bucket comes from the Host header
("<bucket>.<host>", virtual-host addressing) or, when the host is an IP address or a single name such as
localhost, from the first path segment (path-style). Every put must carry a Date, the security token of its
access key ("x-oss-security-token") and the "Authorization: OSS <AccessKeyId>:<signature>" header, checked with
this module's own implementation of the V1 signature; a refusal is the service's XML error reply.
"""

import base64
import email.utils
import hashlib
import hmac
import ipaddress
import json
import re
import time
import urllib.parse

from aiohttp import web

from . import control, fixtures
from .state import Annotator

CONTROL = "/_control/oss"
MAX_SKEW_SECONDS = 15 * 60

_CRC64_POLY = 0xC96C5795D7870F42
_CRC64_TABLE = []
for _i in range(256):
    _crc = _i
    for _ in range(8):
        _crc = (_crc >> 1) ^ _CRC64_POLY if _crc & 1 else _crc >> 1
    _CRC64_TABLE.append(_crc)


def crc64(data):
    """CRC-64/ECMA-182 as the service reports it in x-oss-hash-crc64ecma (reflected, all-ones init and xor)."""
    crc = 0xFFFFFFFFFFFFFFFF
    table = _CRC64_TABLE
    for byte in data:
        crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8)
    return crc ^ 0xFFFFFFFFFFFFFFFF


def canonical_oss_headers(headers):
    """The x-oss- headers as "name:value\\n", names lower-cased, sorted; repeated names joined with ","."""
    found = {}
    for name, value in headers:
        lower = name.strip().lower()
        if lower.startswith("x-oss-"):
            found.setdefault(lower, []).append(value.strip())
    return "".join("%s:%s\n" % (name, ",".join(found[name])) for name in sorted(found))


def first_header(headers, wanted):
    """The value of the first header line named wanted (lower case), any case on the wire; None when there is none."""
    for name, value in headers:
        if name.lower() == wanted:
            return value
    return None


def string_to_sign(verb, headers, resource):
    def header(wanted):
        return (first_header(headers, wanted) or "").strip()

    return "\n".join([verb, header("content-md5"), header("content-type"), header("date"),
                      canonical_oss_headers(headers) + resource])


def signature(secret, text):
    digest = hmac.new(secret.encode("utf-8"), text.encode("utf-8"), hashlib.sha1).digest()
    return base64.b64encode(digest).decode("ascii")


def is_valid_bucket(name):
    return re.fullmatch(r"[a-z0-9][a-z0-9-]{1,61}[a-z0-9]", name) is not None


def split_host(host):
    """host without its port."""
    if host.startswith("["):
        return host[1:host.find("]")] if "]" in host else host
    name, _, port = host.rpartition(":")
    return name if name and port.isdigit() else host


def locate(host_header, raw_path):
    """(bucket, key, addressing) of a put, from the Host header and the path as received."""
    host = split_host(host_header or "")
    path = raw_path.partition("?")[0]
    try:
        ipaddress.ip_address(host)
        is_ip = True
    except ValueError:
        is_ip = False
    if is_ip or "." not in host:
        bucket, _, key = path.lstrip("/").partition("/")
        return urllib.parse.unquote(bucket), urllib.parse.unquote(key), "path"
    return host.split(".", 1)[0], urllib.parse.unquote(path[1:]), "virtual-host"


class OssStore:
    def __init__(self, state):
        self.state = state
        self.credentials = {}
        self.objects = {}
        self.errors = []
        self.next_request = 1
        self.reset()

    def reset(self):
        self.credentials = {}
        for item in json.loads(fixtures.load(self.state, "oss", "credentials.json") or b"[]"):
            self.add_credentials(item)
        self.objects = {}
        self.errors = []

    def add_credentials(self, item):
        self.credentials[str(item["accessKeyId"])] = (str(item["accessKeySecret"]), str(item.get("securityToken", "")))

    def request_id(self):
        value = "%024X" % self.next_request
        self.next_request += 1
        return value


def judge(entry, headers, store):
    """The refusal (status, code, message) a put gets, or None; fills the entry's oss_ fields."""
    def header(wanted):
        return first_header(headers, wanted)

    bucket, key, addressing = entry["oss_bucket"], entry["oss_key"], entry["oss_addressing"]
    resource = "/%s/%s" % (bucket, key)
    authorization = header("authorization")
    entry["oss_access_key_id"] = None
    entry["oss_sign_ok"] = False
    entry["oss_token_ok"] = False
    entry["oss_string_to_sign"] = string_to_sign(entry["method"], headers, resource)
    if not is_valid_bucket(bucket):
        return 400, "InvalidBucketName", "The specified bucket is not valid."
    if not key:
        return 400, "InvalidObjectName", "The specified object is not valid."
    if authorization is None or not authorization.startswith("OSS ") or ":" not in authorization:
        return 403, "AccessDenied", "AccessDenied: no OSS authorization header."
    key_id, _, sent = authorization[4:].rpartition(":")
    entry["oss_access_key_id"] = key_id
    entry["oss_sign_sent"] = sent
    if key_id not in store.credentials:
        return 403, "InvalidAccessKeyId", "The OSS Access Key Id you provided does not exist in our records."
    secret, token = store.credentials[key_id]
    entry["oss_sign_expected"] = signature(secret, entry["oss_string_to_sign"])
    entry["oss_sign_ok"] = hmac.compare_digest(entry["oss_sign_expected"], sent)
    sent_token = header("x-oss-security-token")
    entry["oss_token_ok"] = sent_token is not None and sent_token.strip() == token
    date = header("date")
    if date is None:
        return 403, "AccessDenied", "Missing Date header."
    try:
        skew = abs(email.utils.parsedate_to_datetime(date).timestamp() - time.time())
    except (TypeError, ValueError):
        return 403, "AccessDenied", "Invalid Date header."
    if skew > MAX_SKEW_SECONDS:
        return 403, "RequestTimeTooSkewed", "The difference between the request time and the current time is too large."
    if sent_token is None:
        return 403, "AccessDenied", "The security token is required for temporary credentials."
    if not entry["oss_token_ok"]:
        return 403, "InvalidSecurityToken", "The security token you provided is invalid."
    if not entry["oss_sign_ok"]:
        return 403, "SignatureDoesNotMatch", ("The request signature we calculated does not match the signature you "
                                              "provided. Check your key and signing method.")
    md5 = header("content-md5")
    body = base64.b64decode(entry["body_base64"])
    if md5 is not None and md5.strip() != base64.b64encode(hashlib.md5(body).digest()).decode("ascii"):
        return 400, "InvalidDigest", "The Content-MD5 you specified is not valid."
    return None


def annotate(entry, request, state):
    bucket, key, addressing = locate(request.headers.get("Host"), entry["raw_path"])
    entry["oss_bucket"] = bucket
    entry["oss_key"] = key
    entry["oss_addressing"] = addressing
    headers = [(name, value) for name, value in entry["headers"]]
    refusal = judge(entry, headers, state.oss)
    entry["oss_refusal"] = None if refusal is None else refusal[1]
    request["oss_refusal"] = refusal


def error_reply(state, status, code, message, request_id, extra=None):
    body = ['<?xml version="1.0" encoding="UTF-8"?>', "<Error>",
            "  <Code>%s</Code>" % _xml(code), "  <Message>%s</Message>" % _xml(message),
            "  <RequestId>%s</RequestId>" % request_id,
            "  <HostId>%s</HostId>" % _xml(urllib.parse.urlsplit(state.base_url).netloc)]
    for name, value in (extra or {}).items():
        body.append("  <%s>%s</%s>" % (name, _xml(value), name))
    body.append("</Error>")
    return web.Response(status=status, body=("\n".join(body) + "\n").encode("utf-8"),
                        headers={"Content-Type": "application/xml", "x-oss-request-id": request_id})


def _xml(text):
    return str(text).replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


async def put_object(request):
    state = request.app["state"]
    store = state.oss
    entry = request["entry"]
    request_id = store.request_id()
    entry["oss_request_id"] = request_id
    refusal = request.get("oss_refusal")
    if refusal is not None:
        status, code, message = refusal
        extra = {"StringToSign": entry["oss_string_to_sign"]} if code == "SignatureDoesNotMatch" else None
        return error_reply(state, status, code, message, request_id, extra)
    if store.errors:
        error = store.errors[0]
        error["times"] -= 1
        if error["times"] <= 0:
            store.errors.pop(0)
        entry["oss_refusal"] = error["code"]
        return error_reply(state, error["status"], error["code"], error["message"], request_id)
    body = base64.b64decode(entry["body_base64"])
    content_type = request.headers.get("Content-Type", "")
    store.objects[(entry["oss_bucket"], entry["oss_key"])] = {
        "data": body, "content_type": content_type, "addressing": entry["oss_addressing"], "time": time.time()}
    md5 = hashlib.md5(body)
    return web.Response(status=200, headers={
        "ETag": '"%s"' % md5.hexdigest().upper(), "x-oss-request-id": request_id,
        "x-oss-hash-crc64ecma": str(crc64(body)), "Content-MD5": base64.b64encode(md5.digest()).decode("ascii")})


def _describe(bucket, key, item):
    return {"bucket": bucket, "key": key, "size": len(item["data"]), "content_type": item["content_type"],
            "addressing": item["addressing"], "md5": hashlib.md5(item["data"]).hexdigest(),
            "crc64": str(crc64(item["data"]))}


def _json(data, status=200):
    return web.json_response(data, status=status)


async def list_objects(request):
    store = request.app["state"].oss
    return _json({"objects": [_describe(bucket, key, item) for (bucket, key), item in store.objects.items()]})


async def get_object(request):
    store = request.app["state"].oss
    item = store.objects.get((request.query.get("bucket", ""), request.query.get("key", "")))
    if item is None:
        return _json({"error": "no such object"}, status=404)
    return web.Response(body=item["data"], content_type="application/octet-stream")


async def delete_objects(request):
    request.app["state"].oss.objects.clear()
    return _json({"ok": True})


async def _body(request):
    value = await control.json_body(request)
    if not isinstance(value, dict):
        raise web.HTTPBadRequest(text=json.dumps({"error": "body must be a JSON object"}),
                                 content_type="application/json")
    return value


async def add_credentials(request):
    item = await _body(request)
    if not isinstance(item.get("accessKeyId"), str) or not isinstance(item.get("accessKeySecret"), str):
        return _json({"error": "accessKeyId and accessKeySecret are texts"}, status=400)
    request.app["state"].oss.add_credentials(item)
    return _json({"ok": True})


async def queue_error(request):
    item = await _body(request)
    try:
        error = {"status": int(item.get("status", 403)), "code": str(item.get("code", "AccessDenied")),
                 "message": str(item.get("message", "Access denied.")), "times": int(item.get("times", 1))}
    except (TypeError, ValueError):
        return _json({"error": "status and times are whole numbers"}, status=400)
    if not 400 <= error["status"] <= 599 or error["times"] < 1:
        return _json({"error": "status is 400 to 599, times at least 1"}, status=400)
    request.app["state"].oss.errors.append(error)
    return _json({"ok": True})


class PutAnnotator(Annotator):
    """Claims every PUT outside the control API that no earlier role claimed."""

    def matches(self, method, path):
        return method == "PUT" and not path.startswith("/_control/")


def setup(app, state):
    state.oss = OssStore(state)
    state.reset_hooks.append(state.oss.reset)
    state.add_annotator(PutAnnotator("oss", "/", annotate))
    router = app.router
    router.add_get(CONTROL + "/objects", list_objects)
    router.add_delete(CONTROL + "/objects", delete_objects)
    router.add_get(CONTROL + "/object", get_object)
    router.add_post(CONTROL + "/credentials", add_credentials)
    router.add_post(CONTROL + "/errors", queue_error)
    state.role_handlers["oss"] = put_object

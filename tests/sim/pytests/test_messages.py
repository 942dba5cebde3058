"""The message-server role through a running simulator: frames, pushes, faults, scenario and relay."""

import asyncio
import json
import os
import subprocess
import sys
import tempfile
import unittest

import aiohttp

SIM_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SIMULATOR = os.path.join(SIM_DIR, "simulator.py")
sys.path.insert(0, SIM_DIR)

from zmsim import messages  # noqa: E402

# How long a wait for something expected may take: it only bounds the wait, on a machine that may be loaded.
WAIT_SECONDS = 60


class Simulator:
    def __init__(self, *arguments):
        self.process = subprocess.Popen([sys.executable, SIMULATOR, *arguments], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, env=dict(os.environ, PYTHONDONTWRITEBYTECODE="1"))
        self.base = self.process.stdout.readline().decode().strip()
        self.ws = "ws" + self.base[len("http"):] + "/ws"

    def stop(self):
        self.process.stdin.close()
        self.process.wait(timeout=WAIT_SECONDS)


class MessageRole(unittest.IsolatedAsyncioTestCase):
    @classmethod
    def setUpClass(cls):
        cls.sim = Simulator()

    @classmethod
    def tearDownClass(cls):
        cls.sim.stop()

    async def asyncSetUp(self):
        self.session = aiohttp.ClientSession()
        await self.control("POST", "/_control/reset")

    async def asyncTearDown(self):
        await self.session.close()

    async def control(self, method, path, body=None, status=200):
        async with self.session.request(method, self.sim.base + path, json=body) as reply:
            self.assertEqual(reply.status, status, await reply.text())
            return await reply.json()

    async def open_connections(self, count):
        """Waits until count connections are open."""
        wait_ms = WAIT_SECONDS * 1000
        await self.control("GET", f"/_control/messages/connections?count={count}&wait_ms={wait_ms}&state=open")

    async def frames(self, count=0, wait_ms=0, kind=""):
        reply = await self.control("GET", f"/_control/messages/frames?count={count}&wait_ms={wait_ms}&kind={kind}")
        return reply["frames"]

    async def test_records_text_binary_and_close_frames(self):
        async with self.session.ws_connect(self.sim.ws) as socket:
            await socket.send_str('{"messageTag":10010001,"name":"\u5c0f\u660e"}')
            await socket.send_bytes(b"\xff\x00")
            await socket.close(code=1000)
        frames = await self.frames(3, WAIT_SECONDS * 1000)
        self.assertEqual([f["kind"] for f in frames], ["text", "binary", "close"])
        self.assertEqual(frames[0]["json"], {"messageTag": 10010001, "name": "\u5c0f\u660e"})
        self.assertEqual(frames[0]["size"], len('{"messageTag":10010001,"name":"\u5c0f\u660e"}'.encode()))
        self.assertEqual(frames[1]["binary_base64"], "/wA=")
        self.assertIsNone(frames[1]["text"])
        self.assertEqual(frames[2]["close_code"], 1000)
        self.assertLess(frames[0]["seq"], frames[1]["seq"])
        self.assertGreater(frames[0]["time"], 0)

    async def test_push_reaches_open_connections_as_text_or_binary(self):
        async with self.session.ws_connect(self.sim.ws) as socket:
            await self.open_connections(1)
            reply = await self.control("POST", "/_control/messages/push", {"messages": [
                {"json": {"messageTag": 30010001, "role": 0}}, {"text": "not json"},
                {"binary_text": "\u4e2d"}]})
            self.assertEqual(reply["sent"], 3)
            first = json.loads((await socket.receive(timeout=WAIT_SECONDS)).data)
            self.assertEqual(first["messageTag"], 30010001)
            self.assertIn("messageId", first)
            self.assertEqual((await socket.receive(timeout=WAIT_SECONDS)).data, "not json")
            third = await socket.receive(timeout=WAIT_SECONDS)
            self.assertEqual(third.type, aiohttp.WSMsgType.BINARY)
            self.assertEqual(third.data, "\u4e2d".encode())

    async def test_bad_requests_are_refused(self):
        await self.control("POST", "/_control/messages/push", {"text": "a", "json": {}}, status=400)
        await self.control("POST", "/_control/messages/faults", {"mode": "explode"}, status=400)
        await self.control("POST", "/_control/messages/faults", [{"mode": "stall"}, {"mode": "refuse", "times": 0}],
                           status=400)
        self.assertEqual((await self.control("GET", "/_control/messages/faults"))["faults"], [])
        await self.control("POST", "/_control/messages/scenario", {"messages": [{"at_ms": -1, "text": "x"}]},
                           status=400)

    async def test_refuse_then_serve(self):
        await self.control("POST", "/_control/messages/faults", {"mode": "refuse", "status": 503, "times": 1})
        with self.assertRaises(aiohttp.WSServerHandshakeError) as caught:
            await self.session.ws_connect(self.sim.ws)
        self.assertEqual(caught.exception.status, 503)
        async with self.session.ws_connect(self.sim.ws):
            pass
        states = [c["state"] for c in (await self.control("GET", "/_control/messages/connections"))["connections"]]
        self.assertEqual(states[0], "refused")

    async def test_stall_never_answers_the_handshake(self):
        await self.control("POST", "/_control/messages/faults", {"mode": "stall"})
        with self.assertRaises(asyncio.TimeoutError):
            await asyncio.wait_for(self.session.ws_connect(self.sim.ws), 1.0)
        connections = (await self.control("GET", "/_control/messages/connections"))["connections"]
        self.assertEqual(connections[-1]["fault"], "stall")

    async def test_pings_answered_unless_withheld(self):
        await self.control("POST", "/_control/messages/faults", {"mode": "no_pong", "times": 1})
        for answered in (False, True):
            async with self.session.ws_connect(self.sim.ws, autoping=False) as socket:
                await socket.ping(b"hb")
                if answered:
                    self.assertEqual((await socket.receive(timeout=WAIT_SECONDS)).type, aiohttp.WSMsgType.PONG)
                else:
                    with self.assertRaises(asyncio.TimeoutError):
                        await socket.receive(timeout=0.5)
        pings = await self.frames(2, WAIT_SECONDS * 1000, kind="ping")
        self.assertEqual(len(pings), 2)
        connections = (await self.control("GET", "/_control/messages/connections"))["connections"]
        self.assertEqual([(c["pings"], c["pongs"]) for c in connections], [(1, 0), (1, 1)])

    async def test_server_closes_after_the_handshake_or_on_request(self):
        await self.control("POST", "/_control/messages/faults", {"mode": "close", "code": 4001})
        async with self.session.ws_connect(self.sim.ws) as socket:
            message = await socket.receive(timeout=WAIT_SECONDS)
            self.assertEqual(message.type, aiohttp.WSMsgType.CLOSE)
            self.assertEqual(message.data, 4001)
        async with self.session.ws_connect(self.sim.ws) as socket:
            await self.open_connections(2)
            reply = await self.control("POST", "/_control/messages/close", {"code": 1012})
            self.assertEqual(reply["closed"], 1)
            message = await socket.receive(timeout=WAIT_SECONDS)
            self.assertEqual(message.data, 1012)

    async def test_scenario_sends_at_its_times_from_the_first_connection(self):
        scenario = {"messages": [{"at_ms": 600, "json": {"messageTag": 2}}, {"at_ms": 0, "json": {"messageTag": 1}}]}
        reply = await self.control("POST", "/_control/messages/scenario", scenario)
        self.assertEqual(reply["messages"], 2)
        self.assertIsNone(reply["started"])
        # Taken before the connection opens (the scenario's clock starts when it does): the span can only be longer.
        loop = asyncio.get_running_loop()
        begin = loop.time()
        async with self.session.ws_connect(self.sim.ws) as socket:
            first = json.loads((await socket.receive(timeout=WAIT_SECONDS)).data)
            second = json.loads((await socket.receive(timeout=WAIT_SECONDS)).data)
            self.assertEqual([first["messageTag"], second["messageTag"]], [1, 2])
            self.assertGreaterEqual(loop.time() - begin, 0.5)
        status = (await self.control("GET", "/_control/messages/scenario"))["scenario"]
        self.assertEqual(status["sent"], 2)

    async def test_scenario_plays_again_for_each_class_but_not_for_a_reconnect(self):
        scenario = {"messages": [{"at_ms": 0, "json": {"messageTag": 1}}, {"at_ms": 300, "json": {"messageTag": 2}}]}
        await self.control("POST", "/_control/messages/scenario", scenario)

        async def tags(socket, count):
            return [json.loads((await socket.receive(timeout=WAIT_SECONDS)).data)["messageTag"] for _ in range(count)]

        # A class left part-way (the client closes with 1000), then the next class: from the start again.
        async with self.session.ws_connect(self.sim.ws) as socket:
            self.assertEqual(await tags(socket, 1), [1])
        async with self.session.ws_connect(self.sim.ws) as socket:
            self.assertEqual(await tags(socket, 2), [1, 2])
            await socket.close(code=1001)  # as the program's reconnect drops its socket
        # A reconnect in the class starts no new play (decided when it opened, before its close was answered).
        async with self.session.ws_connect(self.sim.ws):
            pass
        status = (await self.control("GET", "/_control/messages/scenario"))["scenario"]
        self.assertEqual(status["plays"], 2)

    async def test_relay_echoes_teacher_commands_and_announces_presence(self):
        await self.control("POST", "/_control/messages/relay", {"enabled": True})
        async with self.session.ws_connect(self.sim.ws) as teacher, self.session.ws_connect(self.sim.ws) as pupil:
            await self.open_connections(2)
            await pupil.send_str(json.dumps({"messageTag": 10010001, "role": 0, "userId": 7}))
            entered = json.loads((await teacher.receive(timeout=WAIT_SECONDS)).data)
            self.assertEqual((entered["messageTag"], entered["role"], entered["userId"]), (30010001, 0, 7))
            command = {"messageTag": 40010001, "subTag": "teacherAudio", "isMute": 1}
            await teacher.send_str(json.dumps(command))
            for socket in (teacher, pupil):
                echoed = json.loads((await socket.receive(timeout=WAIT_SECONDS)).data)
                echoed.pop("messageId")
                self.assertEqual(echoed, command)


class ShippedScenarios(unittest.TestCase):
    def test_every_scenario_file_loads(self):
        folder = os.path.join(SIM_DIR, "scenarios")
        names = sorted(name for name in os.listdir(folder) if name.endswith(".json"))
        self.assertTrue(names)
        for name in names:
            with self.subTest(name=name), open(os.path.join(folder, name), encoding="utf-8") as handle:
                scenario = messages.Scenario(json.load(handle))
                self.assertTrue(scenario.items)
                times = [at for at, _ in scenario.items]
                self.assertEqual(times, sorted(times))


if __name__ == "__main__":
    unittest.main()

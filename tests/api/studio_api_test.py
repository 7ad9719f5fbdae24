#!/usr/bin/python3
"""The studio's HTTP API, driven as the page drives it: diehost serve is started on example parts and
every endpoint is called for real. Run by ctest: studio_api_test.py DIEHOST SOURCE_DIR [unittest args]."""

import http.client
import json
import os
import random
import re
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import unittest

DIEHOST, SOURCE = sys.argv[1], sys.argv[2]
EXAMPLES = os.path.join(SOURCE, "examples")


class Studio:
    """One diehost serve process and a client for it."""

    def __init__(self, start, *options):
        self.page = tempfile.mkdtemp(prefix="studio-page-")
        with open(os.path.join(self.page, "index.html"), "w") as f:
            f.write("<!doctype html><title>studio</title>")
        self.work = tempfile.mkdtemp(prefix="studio-work-")
        self.process = subprocess.Popen(
            [DIEHOST, "serve", start, "--page", self.page, "--work", self.work, *options],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        for line in self.process.stdout:
            found = re.search(r"studio at http://([\d.]+):(\d+)/\?token=([0-9a-f]+)", line)
            if found:
                self.host, self.port, self.token = found.group(1), int(found.group(2)), found.group(3)
                break
        else:
            raise RuntimeError("diehost serve printed no address")
        # Keep reading what it prints so that its output pipe never fills.
        self.output = []
        self.reader = threading.Thread(target=lambda: self.output.extend(self.process.stdout), daemon=True)
        self.reader.start()

    def request(self, method, path, body=None, headers=None, token=True):
        connection = http.client.HTTPConnection(self.host, self.port, timeout=600)
        all_headers = {"X-Diekit-Token": self.token} if token else {}
        all_headers.update(headers or {})
        if isinstance(body, (dict, list)):
            body = json.dumps(body)
        if method == "POST" and body is None:
            body = ""
        connection.request(method, path, body=body, headers=all_headers)
        response = connection.getresponse()
        data = response.read()
        connection.close()
        return response.status, dict(response.getheaders()), data

    def api(self, method, path, body=None, status=200):
        code, headers, data = self.request(method, path, body)
        assert code == status, f"{method} {path} {body!r}: {code} {data[:300]!r}"
        return json.loads(data) if headers.get("Content-Type", "").startswith("application/json") else data

    def download(self, kind):
        code, headers, data = self.request("GET", "/api/download/" + kind)
        assert code == 200 and "attachment" in headers["Content-Disposition"], (kind, code, data[:300])
        return data

    def refused(self, method, path, body, status):
        """A refused request: the status and a one-line JSON reason; returns the reason."""
        code, headers, data = self.request(method, path, body)
        assert code == status, f"{method} {path} {str(body)[:200]!r}: {code} {data[:300]!r}"
        reason = json.loads(data)["error"]
        assert reason and "\n" not in reason, reason
        return reason

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        code = self.process.wait(timeout=120)
        self.reader.join(timeout=10)
        self.process.stdout.close()
        return code


def glb(data):
    """The JSON chunk and binary chunk of a GLB file, checked for the container's own rules."""
    magic, version, length = struct.unpack_from("<4sII", data, 0)
    assert magic == b"glTF" and version == 2 and length == len(data)
    json_length, json_type = struct.unpack_from("<I4s", data, 12)
    assert json_type == b"JSON" and json_length % 4 == 0
    document = json.loads(data[20:20 + json_length])
    binary = b""
    if 20 + json_length < len(data):
        bin_length, bin_type = struct.unpack_from("<I4s", data, 20 + json_length)
        assert bin_type == b"BIN\0"
        binary = data[28 + json_length:28 + json_length + bin_length]
    return document, binary


def accessor_count(document, index):
    return document["accessors"][index]["count"]


def check_spans(spans, total):
    """Spans cover 0..total in order without gaps or overlaps."""
    at = 0
    for first, count in spans:
        assert first == at, (first, at)
        at += count
    assert at == total, (at, total)


def read_accessor(document, binary, index):
    a = document["accessors"][index]
    view = document["bufferViews"][a["bufferView"]]
    count = a["count"] * {"SCALAR": 1, "VEC3": 3}[a["type"]]
    return struct.unpack_from("<%d%s" % (count, {5126: "f", 5123: "H", 5125: "I"}[a["componentType"]]),
                              binary, view["byteOffset"])


def wound_outward(document, binary):
    """Every triangle turns counter-clockwise seen from the side its vertex normals point to, and the
    normals are unit vectors: what a viewer needs to light the faces from outside."""
    for mesh in document["meshes"]:
        primitive = mesh["primitives"][0]
        if primitive["mode"] != 4:
            continue
        p = read_accessor(document, binary, primitive["attributes"]["POSITION"])
        n = read_accessor(document, binary, primitive["attributes"]["NORMAL"])
        triangles = read_accessor(document, binary, primitive["indices"])
        for i in range(0, len(n), 3):
            assert abs(n[i] ** 2 + n[i + 1] ** 2 + n[i + 2] ** 2 - 1) < 1e-5
        for t in range(0, len(triangles), 3):
            a, b, c = (3 * i for i in triangles[t:t + 3])
            u = [p[b + k] - p[a + k] for k in range(3)]
            v = [p[c + k] - p[a + k] for k in range(3)]
            cross = [u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]]
            if sum(c_ * c_ for c_ in cross) < 1e-12:
                continue  # a sliver: no winding to speak of
            assert sum(cross[k] * (n[a + k] + n[b + k] + n[c + k]) for k in range(3)) > 0, (mesh["extras"], t)


def body(state, name):
    return next(b for b in state["bodies"] if b["name"] == name)


def block(dialog, block_id):
    return next(b for b in dialog["blocks"] if b["id"] == block_id)


def replay(session_text, directory):
    """Plays a recorded session with diehost run; the report it writes."""
    session = os.path.join(directory, "recorded.json")
    report = os.path.join(directory, "replayed-report.json")
    with open(session, "wb") as f:
        f.write(session_text)
    run = subprocess.run([DIEHOST, "run", session, "--report", report, "-q"], capture_output=True, text=True)
    assert run.returncode == 0, run.stdout + run.stderr
    with open(report) as f:
        return json.load(f)


def same_bodies(test, studio_report, replayed):
    """Same bodies, tags, names and volumes in the studio's report and the replay's."""
    test.assertEqual([(b["tag"], b["name"], b["color"]) for b in studio_report["bodies"]],
                     [(b["tag"], b["name"], b["color"]) for b in replayed["bodies"]])
    for a, b in zip(studio_report["bodies"], replayed["bodies"]):
        test.assertAlmostEqual(a["volume"], b["volume"], delta=1e-6 * max(1.0, a["volume"]))


class Guards(unittest.TestCase):
    """Token, Host and Origin checks, static files, and the shape of every refusal."""

    @classmethod
    def setUpClass(cls):
        cls.studio = Studio(os.path.join(EXAMPLES, "flatinsert.json"), "--steps", "0")

    @classmethod
    def tearDownClass(cls):
        cls.studio.stop()

    def test_requests_without_the_token_are_refused(self):
        s = self.studio
        cookie = {"Cookie": "diekit_token=" + s.token}
        for method, path, headers, token in [
                ("GET", "/api/state", {}, False),
                ("GET", "/api/state", {"X-Diekit-Token": "0" * 64}, False),
                ("GET", "/api/state", {"X-Diekit-Token": s.token[:-1]}, False),
                ("POST", "/api/undo", cookie, False),            # POST needs the header
                ("GET", "/", {}, False),
                ("GET", "/studio/index.html", {"Cookie": "diekit_token=" + "1" * 64}, False),
                ("GET", "/three/build/three.module.js", {}, False),
                ("GET", "/api/state", {"Host": "evil.example:%d" % s.port}, True),  # DNS rebinding
                ("GET", "/api/state", {"Host": "127.0.0.1:1"}, True),
                ("POST", "/api/undo", {"Origin": "http://evil.example"}, True)]:
            code, response_headers, data = s.request(method, path, headers=headers, token=token)
            self.assertEqual(code, 403, (method, path, headers))
            self.assertIn("error", json.loads(data))
            self.assertNotIn("Access-Control-Allow-Origin", response_headers)
        self.assertEqual(s.request("GET", "/api/state", headers=cookie, token=False)[0], 200)

    def test_the_page_sets_the_cookie_and_files_come_from_their_folders_only(self):
        s = self.studio
        code, headers, data = s.request("GET", "/?token=" + s.token, token=False)
        self.assertEqual(code, 200)
        self.assertIn(b"studio", data)
        self.assertRegex(headers["Set-Cookie"], "diekit_token=%s;.*HttpOnly.*SameSite=Strict" % s.token)
        cookie = {"Cookie": "diekit_token=" + s.token}
        code, headers, data = s.request("GET", "/three/build/three.module.js", headers=cookie, token=False)
        self.assertEqual(code, 200)
        self.assertTrue(headers["Content-Type"].startswith("text/javascript"))
        self.assertIn(b"WebGLRenderer", data)
        for path in ["/three/../../../etc/passwd", "/three/%2e%2e/%2e%2e/%2e%2e/etc/passwd",
                     "/studio/../../etc/passwd", "/studio/nothing.js", "/elsewhere"]:
            code, _, data = s.request("GET", path, headers=cookie, token=False)
            self.assertEqual(code, 404, path)
            self.assertNotIn(b"root:", data)

    def test_bad_requests_get_a_4xx_and_one_line(self):
        s = self.studio
        s.refused("GET", "/api/nothing", None, 404)
        s.refused("GET", "/api/dialog/open", None, 405)
        s.refused("POST", "/api/state", None, 405)
        s.refused("DELETE", "/api/state", None, 405)
        s.refused("PUT", "/api/undo", "{}", 405)
        s.refused("POST", "/api/dialog/open", "{not json", 400)
        s.refused("POST", "/api/dialog/open", "[" * 100 + "]" * 100, 400)
        s.refused("POST", "/api/dialog/open", {"plugin": 7}, 400)
        s.refused("POST", "/api/dialog/open", '{"plugin": 1e400}', 400)
        self.assertIn("flatinsert", s.refused("POST", "/api/dialog/open", {"plugin": "../x"}, 404))
        s.refused("POST", "/api/dialog/value", {"block": "expression0", "value": 1}, 409)
        s.refused("POST", "/api/dialog/press", {"button": "ok"}, 409)
        s.refused("POST", "/api/undo", None, 409)
        s.refused("POST", "/api/redo", None, 409)
        s.refused("POST", "/api/rename", {"tag": 2 ** 40, "name": "x"}, 400)
        s.refused("POST", "/api/rename", {"tag": 1, "name": "x"}, 400)   # the part, not a body
        s.refused("POST", "/api/rename", {"tag": 3, "name": ""}, 400)
        s.refused("POST", "/api/show", {"tag": 3}, 400)
        s.refused("POST", "/api/open/session", {"objects": [{"block": {"size": [1, 2]}}]}, 400)
        s.refused("POST", "/api/open/step", "not a step file", 400)
        s.refused("POST", "/api/rename", "x" * (2 << 20), 413)
        self.assertEqual(len(s.api("GET", "/api/state")["bodies"]), 4, "a refused open leaves the part")

    def test_an_upload_beyond_the_limit_is_refused_before_it_is_read(self):
        s = self.studio
        connection = http.client.HTTPConnection(s.host, s.port, timeout=60)
        connection.putrequest("POST", "/api/open/step")
        connection.putheader("X-Diekit-Token", s.token)
        connection.putheader("Content-Length", str(60 << 20))
        connection.endheaders()
        response = connection.getresponse()
        self.assertEqual(response.status, 413)
        connection.close()
        # Every path has a limit, and a body must say its length before it is read.
        s.refused("POST", "/?token=" + s.token, "x" * (2 << 20), 413)
        connection = http.client.HTTPConnection(s.host, s.port, timeout=60)
        connection.request("POST", "/api/rename", body=iter([b'{"tag": 3, ', b'"name": "x"}']),
                           headers={"X-Diekit-Token": s.token, "Transfer-Encoding": "chunked"}, encode_chunked=True)
        response = connection.getresponse()
        self.assertEqual(response.status, 411, response.read())
        connection.close()


class Dialogs(unittest.TestCase):
    """A plug-in run from the page: picks, values, buttons, undo, and the recorded session replayed."""

    def setUp(self):
        self.studio = Studio(os.path.join(EXAMPLES, "flatinsert.json"), "--steps", "0")
        self.directory = tempfile.mkdtemp(prefix="studio-replay-")

    def tearDown(self):
        self.assertEqual(self.studio.stop(), 0)

    def test_state_and_mesh_describe_the_part_and_every_face_and_edge(self):
        s = self.studio
        state = s.api("GET", "/api/state")
        self.assertEqual([b["name"] for b in state["bodies"]], ["die_plate", "punch_round", "punch_rect", "punch_hex"])
        self.assertEqual(body(state, "die_plate")["box"], [-100, -60, 0, 100, 60, 25])
        self.assertIn("flatinsert", state["plugins"])
        self.assertIsNone(state["dialog"])
        document, binary = glb(s.api("GET", "/api/mesh"))
        self.assertEqual([n["extras"]["tag"] for n in document["nodes"]], [b["tag"] for b in state["bodies"]])
        for node in document["nodes"]:
            mesh = document["meshes"][node["mesh"]]
            triangles, lines = mesh["primitives"]
            self.assertEqual((triangles["mode"], lines["mode"]), (4, 1))
            check_spans(mesh["extras"]["faces"], accessor_count(document, triangles["indices"]) // 3)
            check_spans(mesh["extras"]["edges"], accessor_count(document, lines["indices"]) // 2)
        faces = {n["extras"]["name"]: len(document["meshes"][n["mesh"]]["extras"]["faces"]) for n in document["nodes"]}
        self.assertEqual(faces, {"die_plate": 6, "punch_round": 3, "punch_rect": 6, "punch_hex": 8})
        view = document["bufferViews"][-1]
        self.assertLessEqual(view["byteOffset"] + view["byteLength"], len(binary))
        wound_outward(document, binary)
        self.assertEqual(s.api("GET", "/api/state")["revision"], state["revision"], "reading changes nothing")

    def test_picks_values_buttons_undo_and_the_recorded_session(self):
        s = self.studio
        state = s.api("GET", "/api/state")
        plate, punch, rect = (body(state, n)["tag"] for n in ("die_plate", "punch_round", "punch_rect"))
        dialog = s.api("POST", "/api/dialog/open", {"plugin": "flatinsert"})
        self.assertEqual(block(dialog, "bodySelect0")["accepts"], ["body"])
        self.assertEqual(block(dialog, "bodySelect0")["parent"], "group1")
        self.assertEqual(block(dialog, "expression0")["unit"], "mm")
        self.assertIn("dialog is open", s.refused("POST", "/api/dialog/open", {"plugin": "boxspring"}, 409))
        for refused in ["/api/rename", "/api/undo", "/api/open/session"]:
            s.refused("POST", refused, {"tag": plate, "name": "x"}, 409)
        reason = s.refused("POST", "/api/dialog/value",
                           {"block": "bodySelect01", "value": [{"pick": {"body": plate, "face": 0, "at": [0, 0, 25]}}]}, 400)
        self.assertIn("bodySelect01", reason)
        self.assertIn("accepts body", reason)
        for value in [{"block": "nosuch", "value": 1}, {"block": "toggle0", "value": 5},
                      {"block": "expression0", "value": "2+"}, {"block": "bodySelect0", "value": [{"pick": {"body": 99999}}]},
                      {"block": "bodySelect0", "value": [{"pick": {"curve": punch}}]}, {"block": "group1", "value": 1}]:
            s.refused("POST", "/api/dialog/value", value, 400)
        s.api("POST", "/api/dialog/value", {"block": "bodySelect0", "value": [{"pick": {"body": punch}}]})
        dialog = s.api("POST", "/api/dialog/value", {"block": "bodySelect01", "value": [{"pick": {"body": plate}}]})
        self.assertEqual(block(dialog, "bodySelect01")["value"], [plate])
        dialog = s.api("POST", "/api/dialog/value", {"block": "expression0", "value": "1+2"})
        self.assertEqual((block(dialog, "expression0")["value"], block(dialog, "expression0")["formula"]), (3, "1+2"))
        self.assertIsNotNone(s.api("GET", "/api/state")["dialog"], "read while the dialog is open")

        pressed = s.api("POST", "/api/dialog/press", {"button": "apply"})
        self.assertEqual(pressed["result"], 0)
        self.assertIsNotNone(pressed["dialog"])
        after_first = s.api("GET", "/api/state")
        self.assertEqual(len(after_first["bodies"]), 5)
        wound_outward(*glb(s.api("GET", "/api/mesh")))  # the plate with its pocket: faces turned inward
        # A second insert after the Apply: the dialog is recorded with its events interleaved.
        s.api("POST", "/api/dialog/value", {"block": "bodySelect0", "value": [{"pick": {"body": rect}}]})
        pressed = s.api("POST", "/api/dialog/press", {"button": "ok"})
        self.assertIsNone(pressed["dialog"])
        self.assertEqual(len(s.api("GET", "/api/state")["bodies"]), 6)

        same_bodies(self, json.loads(s.download("report")), replay(s.download("session"), self.directory))

        undone = s.api("POST", "/api/undo")
        self.assertEqual([b["tag"] for b in undone["bodies"]], [b["tag"] for b in after_first["bodies"]])
        self.assertTrue(undone["undo"]["can_redo"])
        session = s.download("session")
        steps = json.loads(session)["steps"]
        self.assertEqual(steps[-1]["events"][-1], {"press": "cancel"}, "the undone OK leaves the record")
        same_bodies(self, json.loads(s.download("report")), replay(session, self.directory))
        # A new Apply after the undo hands out the tags a replay does.
        s.api("POST", "/api/dialog/open", {"plugin": "flatinsert"})
        s.api("POST", "/api/dialog/value", {"block": "bodySelect0", "value": ["punch_hex"]})
        s.api("POST", "/api/dialog/value", {"block": "bodySelect01", "value": ["die_plate"]})
        s.api("POST", "/api/dialog/press", {"button": "ok"})
        self.assertFalse(s.api("GET", "/api/state")["undo"]["can_redo"])
        same_bodies(self, json.loads(s.download("report")),
                    replay(s.download("session"), self.directory))

    def test_rename_show_and_redo(self):
        s = self.studio
        state = s.api("GET", "/api/state")
        plate, punch = body(state, "die_plate")["tag"], body(state, "punch_round")["tag"]
        self.assertEqual(s.api("POST", "/api/show", {"tag": punch, "shown": False}), {"tag": punch, "shown": False})
        shown = s.api("GET", "/api/state")
        self.assertEqual((body(shown, "punch_round")["hidden"], body(shown, "punch_round")["blanked"]), (True, False))
        self.assertEqual(shown["revision"], state["revision"], "a view setting: the mesh stays as it was")
        self.assertEqual(s.api("POST", "/api/rename", {"tag": plate, "name": "gu_ding_ban"}),
                         {"tag": plate, "name": "gu_ding_ban"})
        renamed = s.api("GET", "/api/state")
        self.assertEqual(body(renamed, "gu_ding_ban")["tag"], plate)
        self.assertGreater(renamed["revision"], state["revision"])

        s.api("POST", "/api/dialog/open", {"plugin": "flatinsert"})
        s.api("POST", "/api/dialog/value", {"block": "bodySelect0", "value": ["punch_round"]})
        s.api("POST", "/api/dialog/value", {"block": "bodySelect01", "value": ["gu_ding_ban"]})
        s.api("POST", "/api/dialog/press", {"button": "ok"})
        done = s.api("GET", "/api/state")
        self.assertEqual(s.api("POST", "/api/undo")["bodies"], renamed["bodies"])
        redone = s.api("POST", "/api/redo")
        self.assertEqual((redone["bodies"], redone["undo"]), (done["bodies"], {"can_undo": True, "can_redo": False}))
        self.assertTrue(body(redone, "punch_round")["hidden"], "a live body keeps its hidden flag")

        session = s.download("session")
        steps = json.loads(session)["steps"]
        self.assertEqual((steps[0]["rename"], steps[0]["to"]), ("die_plate", "gu_ding_ban"))
        self.assertEqual([step.get("plugin") for step in steps], [None, "flatinsert"], "show is not recorded")
        same_bodies(self, json.loads(s.download("report")), replay(session, self.directory))

    def test_an_apply_that_failed_says_so_beside_the_dialog_and_in_the_report(self):
        s = self.studio
        s.api("POST", "/api/dialog/open", {"plugin": "flatinsert"})
        s.api("POST", "/api/dialog/value", {"block": "bodySelect0", "value": ["punch_round"]})
        s.api("POST", "/api/dialog/value", {"block": "bodySelect01", "value": ["die_plate"]})
        s.api("POST", "/api/dialog/value", {"block": "expression0", "value": -2})
        failed = s.api("POST", "/api/dialog/press", {"button": "apply"})
        self.assertTrue(failed["warnings"], failed)
        self.assertTrue(all(w.startswith("step 1 (flatinsert): ") for w in failed["warnings"]), failed["warnings"])
        self.assertIn(": UF_MODL_", failed["warnings"][0], "the call that failed is named")
        s.api("POST", "/api/dialog/value", {"block": "expression0", "value": 2})
        closed = s.api("POST", "/api/dialog/press", {"button": "ok"})
        self.assertEqual(closed["warnings"][:len(failed["warnings"])], failed["warnings"], "the step keeps the Apply's")
        self.assertEqual(json.loads(s.download("report"))["steps"][0]["warnings"], closed["warnings"])

    def test_a_request_during_a_running_apply_sees_the_part_before_or_after_it(self):
        s = self.studio
        before = s.api("GET", "/api/state")
        s.api("POST", "/api/dialog/open", {"plugin": "flatinsert"})
        s.api("POST", "/api/dialog/value", {"block": "bodySelect0", "value": ["punch_round", "punch_rect", "punch_hex"]})
        s.api("POST", "/api/dialog/value", {"block": "bodySelect01", "value": ["die_plate"]})
        pressed = {}
        apply = threading.Thread(target=lambda: pressed.update(s.api("POST", "/api/dialog/press", {"button": "apply"})))
        apply.start()
        seen = [s.request("GET", "/api/state") for _ in range(3)]
        apply.join()
        after = s.api("GET", "/api/state")
        self.assertEqual(pressed["result"], 0)
        for code, _, data in seen:
            self.assertIn(code, (200, 503))
            if code == 200:
                counts = len(json.loads(data)["bodies"])
                self.assertIn(counts, (len(before["bodies"]), len(after["bodies"])), "never half an Apply")
            else:
                self.assertIn("busy", json.loads(data)["error"])
        self.assertEqual(len(after["bodies"]), 7)


class Picks(unittest.TestCase):
    """Points, face normals and filtered selections, and the host's dialog rules as values change."""

    @classmethod
    def setUpClass(cls):
        cls.studio = Studio(os.path.join(EXAMPLES, "keepplate.json"), "--steps", "0")
        cls.directory = tempfile.mkdtemp(prefix="studio-replay-")

    @classmethod
    def tearDownClass(cls):
        cls.studio.stop()

    def face_at(self, tag, point):
        """The face index of body tag whose triangles come nearest the point (as a click would)."""
        document, binary = glb(self.studio.api("GET", "/api/mesh"))
        node = next(n for n in document["nodes"] if n["extras"]["tag"] == tag)
        mesh = document["meshes"][node["mesh"]]
        primitive = mesh["primitives"][0]

        def floats(accessor):
            a = document["accessors"][accessor]
            view = document["bufferViews"][a["bufferView"]]
            return struct.unpack_from("<%df" % (a["count"] * 3), binary, view["byteOffset"])

        def indices(accessor):
            a = document["accessors"][accessor]
            view = document["bufferViews"][a["bufferView"]]
            form = "<%dH" % a["count"] if a["componentType"] == 5123 else "<%dI" % a["count"]
            return struct.unpack_from(form, binary, view["byteOffset"])

        positions, triangles = floats(primitive["attributes"]["POSITION"]), indices(primitive["indices"])
        best = None
        for face, (first, count) in enumerate(mesh["extras"]["faces"]):
            for t in range(first, first + count):
                centre = [sum(positions[3 * triangles[3 * t + k] + axis] for k in range(3)) / 3 for axis in range(3)]
                distance = sum((c - p) ** 2 for c, p in zip(centre, point))
                if best is None or distance < best[0]:
                    best = (distance, face)
        return best[1]

    def test_a_vector_block_takes_a_face_normal_and_shown_flags_follow_the_rules(self):
        s = self.studio
        punch = body(s.api("GET", "/api/state"), "punch")["tag"]
        dialog = s.api("POST", "/api/dialog/open", {"plugin": "keepplate"})
        self.assertEqual(block(dialog, "vector0")["accepts"], ["axis", "face", "edge", "curve"])
        face = self.face_at(punch, [-6, 0, 20])
        dialog = s.api("POST", "/api/dialog/value",
                       {"block": "vector0", "value": {"pick": {"body": punch, "face": face, "at": [-6, 0.5, 21]}}})
        self.assertEqual(block(dialog, "vector0")["value"], [-1, 0, 0])
        s.refused("POST", "/api/dialog/value", {"block": "vector0", "value": {"pick": {"body": punch}}}, 400)
        s.refused("POST", "/api/dialog/value",
                  {"block": "vector0", "value": {"pick": {"body": punch, "face": 99, "at": [0, 0, 0]}}}, 400)
        shown = {b["id"]: b["shown"] for b in dialog["blocks"]}
        dialog = s.api("POST", "/api/dialog/value", {"block": "enum0", "value": "Round"})
        self.assertEqual(block(dialog, "enum0")["members"], ["Rectangular", "Round"])
        changed = {b["id"] for b in dialog["blocks"] if b["shown"] != shown[b["id"]]}
        self.assertTrue(changed, "the plug-in's update shows the round plate's blocks")
        s.api("POST", "/api/dialog/value", {"block": "enum0", "value": 0})
        s.api("POST", "/api/dialog/value", {"block": "bodySelect0", "value": [{"pick": {"body": punch}}]})
        pressed = s.api("POST", "/api/dialog/press", {"button": "ok"})
        self.assertEqual(pressed["result"], 0)
        same_bodies(self, json.loads(s.download("report")),
                    replay(s.download("session"), self.directory))


class FaceReferences(unittest.TestCase):
    """Faces picked in the view are recorded as references that replay to the same faces, also on a
    body without a name."""

    def test_face_picks_replay_to_the_same_faces(self):
        studio = Studio(os.path.join(EXAMPLES, "tiltplate.json"), "--steps", "0")
        directory = tempfile.mkdtemp(prefix="studio-replay-")
        try:
            with open(os.path.join(EXAMPLES, "tiltplate.json")) as f:
                session = json.load(f)
            del session["steps"]
            session["objects"].append({"cylinder": {"base": [40, 0, 0], "axis": [0, 0, 1], "height": 30, "diameter": 8}})
            state = studio.api("POST", "/api/open/session", session)
            document, _ = glb(studio.api("GET", "/api/mesh"))
            faces = {n["extras"]["tag"]: len(document["meshes"][n["mesh"]]["extras"]["faces"]) for n in document["nodes"]}
            punch, unnamed = body(state, "punch")["tag"], body(state, "")["tag"]
            dialog = studio.api("POST", "/api/dialog/open", {"plugin": "tiltplate"})
            self.assertEqual(block(dialog, "face_select0")["accepts"], ["face"])
            studio.refused("POST", "/api/dialog/value", {"block": "face_select0", "value": [{"pick": {"body": punch}}]}, 400)
            picks = [{"pick": {"body": tag, "face": face}} for tag in (punch, unnamed) for face in range(faces[tag])]
            dialog = studio.api("POST", "/api/dialog/value", {"block": "face_select0", "value": picks})
            chosen = block(dialog, "face_select0")["picks"]
            self.assertEqual([(p["body"], p["face"]) for p in chosen],
                             [(p["pick"]["body"], p["pick"]["face"]) for p in picks])
            studio.api("POST", "/api/dialog/press", {"button": "cancel"})
            recorded = json.loads(studio.download("session"))
            references = recorded["steps"][-1]["values"]["face_select0"]
            self.assertEqual({json.dumps(r["face"]) for r in references}, {'"punch"', json.dumps({"tag": unnamed})})
            replayed = replay(json.dumps(recorded).encode(), directory)
            self.assertEqual(replayed["steps"][-1]["dialog"]["face_select0"]["value"], [p["tag"] for p in chosen])
        finally:
            studio.stop()


class Outline(unittest.TestCase):
    """The demo's start (./diekit studio): the blank outline's curves picked one by one are recorded as
    their name, and the die set flipdie builds from them replays to the same bodies."""

    def test_flipdie_on_picked_curves(self):
        studio = Studio(os.path.join(EXAMPLES, "demo.json"), "--steps", "0")
        try:
            state = studio.api("GET", "/api/state")
            self.assertEqual(state["bodies"], [])
            curves = [c["tag"] for c in state["curves"] if c["name"] == "blank"]
            studio.api("POST", "/api/dialog/open", {"plugin": "flipdie"})
            studio.refused("POST", "/api/dialog/value", {"block": "edge_select0", "value": [{"pick": {"body": curves[0]}}]}, 400)
            studio.api("POST", "/api/dialog/value",
                       {"block": "edge_select0", "value": [{"pick": {"curve": tag}} for tag in curves]})
            self.assertEqual(studio.api("POST", "/api/dialog/press", {"button": "ok"})["result"], 0)
            state = studio.api("GET", "/api/state")
            self.assertGreater(len(state["bodies"]), 10)
            session = studio.download("session")
            self.assertEqual(json.loads(session)["steps"][0]["values"]["edge_select0"], ["blank"])
            same_bodies(self, json.loads(studio.download("report")), replay(session, tempfile.mkdtemp()))
        finally:
            studio.stop()


class Uploads(unittest.TestCase):
    """Starting over from a STEP part or a session, downloads, and the interference check."""

    def test_open_download_and_check(self):
        studio = Studio(os.path.join(EXAMPLES, "flatinsert.json"), "--steps", "0")
        try:
            step = studio.download("step")
            self.assertTrue(step.startswith(b"ISO-10303-21"))
            for kind, start in [("svg", b"<"), ("bom", b"tag,"), ("report", b"{")]:
                code, headers, data = studio.request("GET", "/api/download/" + kind)
                self.assertEqual(code, 200, kind)
                self.assertTrue(data.lstrip().startswith(start), (kind, data[:40]))
                self.assertIn("attachment", headers["Content-Disposition"])
            state = studio.api("POST", "/api/open/step", step)
            self.assertEqual(sorted(b["name"] for b in state["bodies"]),
                             ["die_plate", "punch_hex", "punch_rect", "punch_round"])
            recorded = json.loads(studio.download("session"))
            self.assertTrue(os.path.isfile(recorded["part"]), "the session names the kept upload")

            overlapping = {"objects": [{"name": "a", "block": {"corner": [0, 0, 0], "size": [10, 10, 10]}},
                                       {"name": "b", "block": {"corner": [5, 0, 0], "size": [10, 10, 10]}},
                                       {"name": "c", "block": {"corner": [0, 0, 10], "size": [10, 10, 10]}}]}
            state = studio.api("POST", "/api/open/session", overlapping)
            tags = {b["name"]: b["tag"] for b in state["bodies"]}
            check = studio.api("GET", "/api/check")
            self.assertEqual([(o["a"], o["b"]) for o in check["overlaps"]], [(tags["a"], tags["b"])])
            self.assertAlmostEqual(check["overlaps"][0]["volume"], 500, places=6)
            self.assertIn([tags["a"], tags["c"]], check["touching"])
            document, _ = glb(studio.api("GET", check["mesh"]))
            self.assertEqual([n["extras"]["volume"] for n in document["nodes"]], [check["overlaps"][0]["volume"]])
        finally:
            studio.stop()


class Fuzz(unittest.TestCase):
    """500 requests made from valid ones by mutation, and raw garbage: every one answered, the bad ones
    with a 4xx and one line, and the server still answers afterwards."""

    def test_the_server_survives_fuzzed_requests(self):
        studio = Studio(os.path.join(EXAMPLES, "boxspring.json"), "--steps", "0")
        rng = random.Random(14)
        paths = ["/api/state", "/api/mesh", "/api/dialog/open", "/api/dialog/value", "/api/dialog/press",
                 "/api/rename", "/api/show", "/api/undo", "/api/redo", "/api/check", "/api/download/bom",
                 "/api/open/session", "/api/open/step", "/api/x", "/", "/three/x", "/api/dialog/value?x=%00"]
        blocks = ["point0", "enum0", "expression0", "toggle0", "toggle01", "selection0", "group1", "label0", "nope"]
        values = [0, -1, 1e308, -1e308, 2 ** 63, 2 ** 32 + 5, "SPRING20X25", "1/0", "", "x" * 5000, True, None, [],
                  [1, 2], [1, 2, 3], [1e300, 0, 0], ["upper_plate"], [{"pick": {"body": 3}}],
                  [{"pick": {"body": 3, "face": 2 ** 31}}], {"pick": {"body": 3, "face": 1, "at": [1, 2, "x"]}},
                  {"pick": {"curve": 0}}, [{"face": "upper_plate", "near": [0, 0, 40]}], {"pick": []}]

        fitting = {"point0": [10, 20, 0], "enum0": "SPRING20X25", "expression0": 30, "toggle0": True,
                   "selection0": ["upper_plate", "stripper_plate"], "toggle02": True}

        def value_body():
            if rng.random() < 0.5:
                block_id = rng.choice(list(fitting))
                return {"block": block_id, "value": fitting[block_id]}
            return {"block": rng.choice(blocks), "value": rng.choice(values)}

        bodies = {
            "/api/dialog/value": value_body,
            "/api/dialog/press": lambda: {"button": rng.choice(["apply", "ok", "cancel", "close", 1])},
            "/api/dialog/open": lambda: {"plugin": rng.choice(["boxspring", "boxspring", "", "x" * 300, 5])},
            "/api/rename": lambda: {"tag": rng.choice([3, 4, 0, -1, 2 ** 40, "3"]), "name": rng.choice(["p", "", 1])},
            "/api/show": lambda: {"tag": rng.choice([3, 4, 0, 2 ** 40]), "shown": rng.choice([True, False, 0])},
            "/api/open/session": lambda: {"objects": [{"block": {"corner": [0, 0, 0], "size": rng.choice(values)}}]},
        }

        def mutated(text):
            cut = rng.randrange(len(text) + 1)
            return text[:cut] + rng.choice(["", "\x00", "}", "\xff", "[[[[", '"']) + text[cut + rng.randrange(3):]

        answered = set()
        for count in range(480):
            if count % 40 == 0:
                studio.request("POST", "/api/dialog/open", {"plugin": "boxspring"})
            path = rng.choice(paths)
            method = "POST" if path in bodies or path in ("/api/undo", "/api/redo", "/api/open/step") else "GET"
            if rng.random() < 0.1:
                method = rng.choice(["GET", "POST", "PUT", "DELETE"])
            body = None
            if method == "POST":
                body = json.dumps(bodies[path]() if path in bodies else {})
                if rng.random() < 0.3:
                    body = mutated(body)
            code, headers, data = studio.request(method, path, body.encode("utf-8", "surrogatepass") if body else body)
            self.assertLess(code, 500, (method, path, body, data[:300]))
            answered.add(code // 100)
            if code >= 400 and data:
                reason = json.loads(data)["error"]
                self.assertNotIn("\n", reason)
        self.assertEqual(answered, {2, 4}, "the fuzzing reached the host and was refused too")
        for _ in range(20):
            garbage = bytes(rng.randrange(256) for _ in range(rng.randrange(1, 400)))
            with socket.create_connection((studio.host, studio.port), timeout=30) as raw:
                raw.sendall(rng.choice([b"", b"GET /api/state HTTP/1.1\r\n", b"POST / HTTP/1.1\r\nContent-Length: 9\r\n\r\n"]) + garbage + b"\r\n\r\n")
                raw.shutdown(socket.SHUT_WR)
                answer = raw.recv(65536)
                if answer:
                    self.assertRegex(answer.split(b"\r\n")[0], rb"HTTP/1\.1 [2-4]\d\d")
        state = studio.api("GET", "/api/state")
        self.assertEqual(len(state["plugins"]), 10)
        self.assertEqual(studio.stop(), 0, "stops cleanly after the fuzzing")


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:])

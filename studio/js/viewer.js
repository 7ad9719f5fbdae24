// The 3D view: bodies shaded in their colours with their edges, curves, orbit/pan/zoom, fit and
// standard views, picking (a click resolves to a body, face, edge, curve or point) and overlays
// for picked items, the hovered item and the shared volumes of an interference check.

import * as THREE from '/three/build/three.module.js';
import { OrbitControls } from '/three/examples/jsm/controls/OrbitControls.js';
import { rangeIndex } from './glb.js';

const PICKED = 0xff6a00;
const HOVERED = 0xffb000;
const EDGE = 0x1e252c;
const SHARED = 0xe0102a;
const SHARED_FOCUS = 0xffe000;
const PICK_PX = 6;   // how near (pixels) the pointer must be to an edge, curve or vertex

// Direction from the target to the camera, and the screen's up, of each standard view (Z up).
const VIEWS = {
    front: [[0, -1, 0], [0, 0, 1]],
    top: [[0, -1e-6, 1], [0, 0, 1]],
    left: [[-1, 0, 0], [0, 0, 1]],
    iso: [[1, -1, 1], [0, 0, 1]],
};

export function colorOf(rgb) {
    if (!Array.isArray(rgb) || rgb.length < 3) return new THREE.Color(0x999999);
    const scale = Math.max(...rgb) <= 1 ? 1 : 1 / 255;
    return new THREE.Color(rgb[0] * scale, rgb[1] * scale, rgb[2] * scale);
}

// The colour a line is drawn in: light colours (white curves, light cyan) are darkened, keeping
// their hue, so that they show on the view's light background.
export function lineColorOf(rgb) {
    const c = colorOf(rgb);
    const light = 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
    return light > 0.55 ? c.multiplyScalar(0.35 / light) : c;
}

// Turns every triangle so that its winding agrees with its vertex normals: a two-sided material
// shades the back of a triangle with the normal reversed, so a triangle wound the other way would
// come out dark.
function windOutward(pos, nrm, idx) {
    for (let t = 0; t + 2 < idx.length; t += 3) {
        const a = 3 * idx[t], b = 3 * idx[t + 1], c = 3 * idx[t + 2];
        const ux = pos[b] - pos[a], uy = pos[b + 1] - pos[a + 1], uz = pos[b + 2] - pos[a + 2];
        const vx = pos[c] - pos[a], vy = pos[c + 1] - pos[a + 1], vz = pos[c + 2] - pos[a + 2];
        const nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
        const d = nx * (nrm[a] + nrm[b] + nrm[c]) + ny * (nrm[a + 1] + nrm[b + 1] + nrm[c + 1]) +
                  nz * (nrm[a + 2] + nrm[b + 2] + nrm[c + 2]);
        if (d < 0) { const k = idx[t + 1]; idx[t + 1] = idx[t + 2]; idx[t + 2] = k; }
    }
}

// A geometry of its own holding one face's triangles or one edge's segments (range = [first,
// count] of items of `per` indices), so that overlays can be disposed without touching the body's.
function part(src, [first, count], per) {
    const idx = src.index?.array, pos = src.attributes.position.array, nrm = src.attributes.normal?.array;
    const n = count * per, p = new Float32Array(3 * n), q = nrm ? new Float32Array(3 * n) : null;
    for (let k = 0; k < n; k++) {
        const v = 3 * (idx ? idx[first * per + k] : first * per + k);
        p.set(pos.subarray(v, v + 3), 3 * k);
        if (q) q.set(nrm.subarray(v, v + 3), 3 * k);
    }
    const g = new THREE.BufferGeometry();
    g.setAttribute('position', new THREE.BufferAttribute(p, 3));
    if (q) g.setAttribute('normal', new THREE.BufferAttribute(q, 3));
    return g;
}

export class Viewer {
    constructor(host) {
        this.host = host;
        this.renderer = new THREE.WebGLRenderer({ antialias: true, preserveDrawingBuffer: true });
        this.renderer.setPixelRatio(window.devicePixelRatio || 1);
        this.renderer.setClearColor(0xf3f4f6, 1);
        host.appendChild(this.renderer.domElement);
        this.canvas = this.renderer.domElement;

        this.scene = new THREE.Scene();
        this.camera = new THREE.OrthographicCamera(-1, 1, 1, -1, -1e5, 1e5);
        this.camera.up.set(0, 0, 1);
        this.camera.position.set(1, -1, 1);
        this.controls = new OrbitControls(this.camera, this.canvas);
        this.controls.screenSpacePanning = true;
        this.controls.zoomSpeed = 1.6;
        this.controls.addEventListener('change', () => this.requestRender());

        const sky = new THREE.HemisphereLight(0xffffff, 0x9ea3ab, 0.7);
        sky.position.set(0, 0, 1);   // the model's up is Z
        this.scene.add(sky);
        this.light = new THREE.DirectionalLight(0xffffff, 0.35);
        this.camera.add(this.light);
        this.light.position.set(0.4, 0.8, 1);
        this.scene.add(this.camera);

        this.model = new THREE.Group();
        this.overlay = new THREE.Group();
        this.scene.add(this.model, this.overlay);
        this.bodies = new Map();   // tag -> {tag, extras, group, mesh, edges, faces, edgeRanges}
        this.curves = new Map();   // tag -> {tag, extras, line}
        this.shared = [];          // check meshes, one per overlap
        this.radius = 100;
        this.frames = 0;
        this.frameWaiters = [];
        this.picked = { bodies: [], faces: [], edges: [], curves: [] };
        this.hovered = null;
        this.raycaster = new THREE.Raycaster();

        new ResizeObserver(() => this.resize()).observe(host);
        this.resize();
    }

    resize() {
        const w = Math.max(1, this.host.clientWidth), h = Math.max(1, this.host.clientHeight);
        this.renderer.setSize(w, h);
        this.updateFrustum();
        this.requestRender();
    }

    updateFrustum() {
        const aspect = Math.max(1, this.host.clientWidth) / Math.max(1, this.host.clientHeight);
        const half = this.radius * 1.02;
        const cam = this.camera;
        if (aspect >= 1) { cam.left = -half * aspect; cam.right = half * aspect; cam.top = half; cam.bottom = -half; }
        else { cam.left = -half; cam.right = half; cam.top = half / aspect; cam.bottom = -half / aspect; }
        cam.near = -this.radius * 20;
        cam.far = this.radius * 20;
        cam.updateProjectionMatrix();
    }

    requestRender() {
        if (this.pending) return;
        this.pending = true;
        requestAnimationFrame(() => {
            this.pending = false;
            this.renderer.render(this.scene, this.camera);
            this.frames++;
            const waiters = this.frameWaiters;
            this.frameWaiters = [];
            for (const w of waiters) w(performance.now());
        });
    }

    // Resolves with the time of the next frame drawn.
    nextFrame() {
        return new Promise((resolve) => { this.frameWaiters.push(resolve); this.requestRender(); });
    }

    // ---- the model ----

    setModel(glb) {
        this.clearGroup(this.model);
        this.bodies.clear();
        this.curves.clear();
        for (const node of glb.nodes) {
            if (!node.mesh) continue;
            const extras = node.extras || {};
            const obj = extras.kind === 'curve' ? this.makeCurve(node) : this.makeBody(node);
            if (!obj) continue;
            if (node.matrix) {
                obj.root.matrixAutoUpdate = false;
                obj.root.matrix.fromArray(node.matrix);
            }
            this.model.add(obj.root);
            obj.root.visible = !extras.blanked;
            (extras.kind === 'curve' ? this.curves : this.bodies).set(extras.tag, obj);
        }
        this.model.updateMatrixWorld(true);
        this.refreshOverlays();
        this.requestRender();
    }

    makeBody(node) {
        const tris = node.mesh.primitives.find((p) => p.mode === 4);
        const lines = node.mesh.primitives.find((p) => p.mode === 1);
        const extras = node.extras;
        const root = new THREE.Group();
        const body = { tag: extras.tag, extras, root, faces: node.mesh.extras.faces || [],
                       edgeRanges: node.mesh.extras.edges || [], color: colorOf(extras.rgb) };
        if (tris) {
            const g = new THREE.BufferGeometry();
            g.setAttribute('position', new THREE.BufferAttribute(tris.attributes.POSITION, 3));
            if (tris.attributes.NORMAL) g.setAttribute('normal', new THREE.BufferAttribute(tris.attributes.NORMAL, 3));
            else g.computeVertexNormals();
            if (tris.indices) {
                if (tris.attributes.NORMAL) windOutward(tris.attributes.POSITION, tris.attributes.NORMAL, tris.indices);
                g.setIndex(new THREE.BufferAttribute(tris.indices, 1));
            }
            g.computeBoundingSphere();
            body.material = new THREE.MeshPhongMaterial({
                color: body.color, specular: 0x202020, shininess: 25, side: THREE.DoubleSide,
                polygonOffset: true, polygonOffsetFactor: 1, polygonOffsetUnits: 1,
            });
            body.mesh = new THREE.Mesh(g, body.material);
            body.mesh.userData.tag = extras.tag;
            root.add(body.mesh);
        }
        if (lines) {
            const g = new THREE.BufferGeometry();
            g.setAttribute('position', new THREE.BufferAttribute(lines.attributes.POSITION, 3));
            if (lines.indices) g.setIndex(new THREE.BufferAttribute(lines.indices, 1));
            body.edgeMaterial = new THREE.LineBasicMaterial({ color: EDGE });
            body.edges = new THREE.LineSegments(g, body.edgeMaterial);
            root.add(body.edges);
        }
        return body;
    }

    makeCurve(node) {
        const p = node.mesh.primitives.find((q) => q.mode === 1);
        if (!p) return null;
        const g = new THREE.BufferGeometry();
        g.setAttribute('position', new THREE.BufferAttribute(p.attributes.POSITION, 3));
        if (p.indices) g.setIndex(new THREE.BufferAttribute(p.indices, 1));
        const color = lineColorOf(node.extras.rgb);
        const line = new THREE.LineSegments(g, new THREE.LineBasicMaterial({ color }));
        return { tag: node.extras.tag, extras: node.extras, root: line, line, color };
    }

    clearGroup(group) {
        for (const child of [...group.children]) {
            child.traverse((o) => {
                if (o.geometry) o.geometry.dispose();
                if (o.material) o.material.dispose();
            });
            group.remove(child);
        }
    }

    setShown(tag, shown) {
        const obj = this.bodies.get(tag) || this.curves.get(tag);
        if (obj && obj.root.visible !== shown) { obj.root.visible = shown; this.requestRender(); }
    }

    // ---- camera ----

    visibleBox() {
        const box = new THREE.Box3();
        for (const obj of [...this.bodies.values(), ...this.curves.values()])
            if (obj.root.visible) box.expandByObject(obj.root);
        for (const m of this.shared) if (m.visible) box.expandByObject(m);
        return box;
    }

    fit(box = this.visibleBox()) {
        if (box.isEmpty()) box = new THREE.Box3(new THREE.Vector3(-50, -50, -50), new THREE.Vector3(50, 50, 50));
        const sphere = box.getBoundingSphere(new THREE.Sphere());
        this.fitted = box.clone().expandByScalar(0.05 * sphere.radius);
        this.radius = Math.max(sphere.radius, 1e-3);
        const dir = this.camera.position.clone().sub(this.controls.target).normalize();
        this.controls.target.copy(sphere.center);
        this.camera.position.copy(sphere.center).addScaledVector(dir, this.radius * 4);
        this.camera.zoom = 1;
        this.updateFrustum();
        this.controls.update();
        this.requestRender();
    }

    // Fits again when the model no longer lies within the part of space last fitted (a step
    // built around it); small changes keep the designer's zoom and pan.
    fitIfOutgrown() {
        const box = this.visibleBox();
        if (box.isEmpty() || !this.fitted) return;
        if (!this.fitted.containsBox(box)) this.fit(box);
    }

    setView(name) {
        const [dir, up] = VIEWS[name] || VIEWS.iso;
        const d = new THREE.Vector3(...dir).normalize();
        this.camera.up.set(...up);
        this.camera.position.copy(this.controls.target).addScaledVector(d, this.radius * 4);
        this.controls.update();
        this.fit();
    }

    // Viewport pixels (CSS) of a model point: what a click at that point of the page hits.
    project(p) {
        const v = new THREE.Vector3(p[0], p[1], p[2]).project(this.camera);
        const r = this.canvas.getBoundingClientRect();
        return { x: r.left + (v.x + 1) / 2 * r.width, y: r.top + (1 - v.y) / 2 * r.height,
                 inside: Math.abs(v.x) <= 1 && Math.abs(v.y) <= 1 };
    }

    // ---- picking ----

    // What lies under the viewport point (clientX, clientY) for the kinds asked for ("body",
    // "face", "edge", "curve", "point"), nearest first: edges and curves within a few
    // pixels win over the face under the pointer. Returns null when nothing fits.
    pick(clientX, clientY, kinds) {
        const r = this.canvas.getBoundingClientRect();
        const sx = clientX - r.left, sy = clientY - r.top;
        const ndc = new THREE.Vector2(sx / r.width * 2 - 1, 1 - sy / r.height * 2);
        this.camera.updateMatrixWorld();
        this.raycaster.setFromCamera(ndc, this.camera);
        const meshes = [...this.bodies.values()].filter((b) => b.mesh && b.root.visible).map((b) => b.mesh);
        const hit = this.raycaster.intersectObjects(meshes, false)[0] || null;
        const want = new Set(kinds);
        const screen = { sx, sy, w: r.width, h: r.height, depth: hit ? this.depthOf(hit.point) : Infinity };

        if (want.has('point')) {
            const v = this.nearestVertex(screen);
            if (v) return { kind: 'point', at: v.at, ...v.on };
            if (!hit) return null;
            const b = this.bodies.get(hit.object.userData.tag);
            return { kind: 'point', at: hit.point.toArray(), body: b.tag, face: rangeIndex(b.faces, hit.faceIndex) };
        }
        if (want.has('edge')) {
            const e = this.nearestSegment(screen, [...this.bodies.values()].filter((b) => b.edges), (b) => b.edges);
            if (e) return { kind: 'edge', body: e.obj.tag, edge: rangeIndex(e.obj.edgeRanges, e.segment), at: e.at };
        }
        if (want.has('curve')) {
            const c = this.nearestSegment(screen, [...this.curves.values()], (c) => c.line);
            if (c) return { kind: 'curve', curve: c.obj.tag, at: c.at };
        }
        if (!hit) return null;
        const body = this.bodies.get(hit.object.userData.tag);
        const face = rangeIndex(body.faces, hit.faceIndex);
        if (want.has('face'))
            return { kind: 'face', body: body.tag, face, at: hit.point.toArray() };
        if (want.has('body')) return { kind: 'body', body: body.tag, at: hit.point.toArray() };
        return null;
    }

    depthOf(p) {
        const forward = this.camera.getWorldDirection(new THREE.Vector3());
        return p.clone().sub(this.camera.position).dot(forward);
    }

    worldPerPixel(h) {
        return (this.camera.top - this.camera.bottom) / this.camera.zoom / h;
    }

    // Nearest visible segment of the objects' line geometry within PICK_PX of the pointer.
    nearestSegment(screen, objects, linesOf) {
        const tol = 12 * this.worldPerPixel(screen.h) + 1e-4 * this.radius;
        let best = null;
        const a = new THREE.Vector3(), b = new THREE.Vector3(), p = new THREE.Vector3();
        const toScreen = (v) => {
            const q = v.clone().project(this.camera);
            return [(q.x + 1) / 2 * screen.w, (1 - q.y) / 2 * screen.h];
        };
        for (const obj of objects) {
            const lines = linesOf(obj);
            if (!obj.root.visible || !lines) continue;
            const pos = lines.geometry.attributes.position.array;
            const idx = lines.geometry.index ? lines.geometry.index.array : null;
            const count = idx ? idx.length / 2 : pos.length / 6;
            const m = lines.matrixWorld;
            for (let s = 0; s < count; s++) {
                const i0 = idx ? idx[2 * s] : 2 * s, i1 = idx ? idx[2 * s + 1] : 2 * s + 1;
                a.fromArray(pos, 3 * i0).applyMatrix4(m);
                b.fromArray(pos, 3 * i1).applyMatrix4(m);
                const [ax, ay] = toScreen(a), [bx, by] = toScreen(b);
                const dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
                let u = len2 > 0 ? ((screen.sx - ax) * dx + (screen.sy - ay) * dy) / len2 : 0;
                u = Math.min(1, Math.max(0, u));
                const d = Math.hypot(ax + u * dx - screen.sx, ay + u * dy - screen.sy);
                if (d > PICK_PX || (best && d >= best.d)) continue;
                p.copy(a).lerp(b, u);
                if (this.depthOf(p) > screen.depth + tol) continue;   // hidden behind the face hit
                best = { obj, segment: s, d, at: p.toArray() };
            }
        }
        return best;
    }

    // Nearest visible end point of a body edge or curve within PICK_PX (to pick corners exactly):
    // {at, on: {body, edge} | {curve}} or null.
    nearestVertex(screen) {
        const tol = 12 * this.worldPerPixel(screen.h) + 1e-4 * this.radius;
        let best = null;
        const p = new THREE.Vector3();
        const consider = (obj, lines, ranges, curve) => {
            if (!obj.root.visible || !lines) return;
            const pos = lines.geometry.attributes.position.array;
            const idx = lines.geometry.index ? lines.geometry.index.array : null;
            const segs = idx ? idx.length / 2 : pos.length / 6;
            const list = ranges && ranges.length ? ranges : [[0, segs]];
            list.forEach(([first, n], edge) => {
                if (!n) return;
                for (const vi of [idx ? idx[2 * first] : 2 * first, idx ? idx[2 * (first + n) - 1] : 2 * (first + n) - 1]) {
                    p.fromArray(pos, 3 * vi).applyMatrix4(lines.matrixWorld);
                    const q = p.clone().project(this.camera);
                    const d = Math.hypot((q.x + 1) / 2 * screen.w - screen.sx, (1 - q.y) / 2 * screen.h - screen.sy);
                    if (d > PICK_PX || (best && d >= best.d) || this.depthOf(p) > screen.depth + tol) continue;
                    best = { d, at: p.toArray(), on: curve ? { curve: obj.tag } : { body: obj.tag, edge } };
                }
            });
        };
        for (const b of this.bodies.values()) consider(b, b.edges, b.edgeRanges, false);
        for (const c of this.curves.values()) consider(c, c.line, null, true);
        return best;
    }

    // ---- overlays ----

    // picked = {bodies: [tag], faces: [[body, index]], edges: [[body, index]], curves: [tag]}
    setPicked(picked) {
        this.picked = { bodies: [], faces: [], edges: [], curves: [], ...picked };
        this.refreshOverlays();
    }

    setHovered(item) {
        const key = item ? JSON.stringify([item.kind, item.body, item.face, item.edge, item.curve]) : '';
        if (key === this.hoverKey) return;
        this.hoverKey = key;
        this.hovered = item;
        this.refreshOverlays();
    }

    refreshOverlays() {
        this.clearGroup(this.overlay);
        for (const b of this.bodies.values()) {
            b.material?.color.copy(b.color);
            b.edgeMaterial?.color.setHex(EDGE);
        }
        for (const c of this.curves.values()) c.line.material.color.copy(c.color);
        const mark = (set, color) => {
            for (const tag of set.bodies) {
                const b = this.bodies.get(tag);
                if (!b) continue;
                b.material?.color.copy(b.color).lerp(new THREE.Color(color), color === PICKED ? 0.6 : 0.45);
                b.edgeMaterial?.color.setHex(color);
            }
            for (const tag of set.curves) this.curves.get(tag)?.line.material.color.setHex(color);
            for (const [tag, i] of set.faces) this.addFaceOverlay(tag, i, color);
            for (const [tag, i] of set.edges) this.addEdgeOverlay(tag, i, color);
        };
        mark(this.picked, PICKED);
        const h = this.hovered;
        if (h) {
            mark({
                bodies: h.kind === 'body' ? [h.body] : [], curves: h.kind === 'curve' ? [h.curve] : [],
                faces: h.kind === 'face' ? [[h.body, h.face]] : [],
                edges: h.kind === 'edge' ? [[h.body, h.edge]] : [],
            }, HOVERED);
            if (h.kind === 'point') this.addPointMarker(h.at, HOVERED);
        }
        for (const p of this.markers || []) this.addPointMarker(p, PICKED);
        this.requestRender();
    }

    // Shows points (the dialog's point blocks) as small markers.
    setMarkers(points) {
        this.markers = points;
        this.refreshOverlays();
    }

    addFaceOverlay(tag, i, color) {
        const b = this.bodies.get(tag);
        const range = b?.faces[i];
        if (!b?.mesh || !range || !b.root.visible) return;
        const m = new THREE.Mesh(part(b.mesh.geometry, range, 3), new THREE.MeshPhongMaterial({
            color, side: THREE.DoubleSide, polygonOffset: true, polygonOffsetFactor: -1, polygonOffsetUnits: -1,
        }));
        m.applyMatrix(b.root.matrixWorld);
        this.overlay.add(m);
    }

    addEdgeOverlay(tag, i, color) {
        const b = this.bodies.get(tag);
        const range = b?.edgeRanges[i];
        if (!b?.edges || !range || !b.root.visible) return;
        const line = new THREE.LineSegments(part(b.edges.geometry, range, 2),
                                            new THREE.LineBasicMaterial({ color, depthTest: false }));
        line.renderOrder = 2;
        line.applyMatrix(b.root.matrixWorld);
        this.overlay.add(line);
    }

    addPointMarker(at, color) {
        const size = 6 * this.worldPerPixel(Math.max(1, this.host.clientHeight));
        const m = new THREE.Mesh(new THREE.SphereBufferGeometry(size, 12, 8),
                                 new THREE.MeshBasicMaterial({ color, depthTest: false }));
        m.renderOrder = 3;
        m.position.set(at[0], at[1], at[2]);
        this.overlay.add(m);
    }

    // ---- interference check ----

    // Shows the shared volumes (one GLB node per overlap, in the order of the overlaps) with the
    // bodies see-through; null hides them. focus: index of the overlap to stress, or -1.
    setShared(glb, focus = -1) {
        for (const m of this.shared) { m.geometry.dispose(); m.material.dispose(); this.scene.remove(m); }
        this.shared = [];
        const on = !!glb;
        for (const b of this.bodies.values()) {
            if (!b.material) continue;
            b.material.transparent = on;
            b.material.opacity = on ? 0.22 : 1;
            b.material.depthWrite = !on;
            b.material.needsUpdate = true;
        }
        if (glb) {
            glb.nodes.forEach((node, i) => {
                const p = node.mesh?.primitives.find((q) => q.mode === 4);
                if (!p) return;
                const g = new THREE.BufferGeometry();
                g.setAttribute('position', new THREE.BufferAttribute(p.attributes.POSITION, 3));
                if (p.attributes.NORMAL) g.setAttribute('normal', new THREE.BufferAttribute(p.attributes.NORMAL, 3));
                else g.computeVertexNormals();
                if (p.indices) g.setIndex(new THREE.BufferAttribute(p.indices, 1));
                const m = new THREE.Mesh(g, new THREE.MeshPhongMaterial({
                    color: i === focus ? SHARED_FOCUS : SHARED, side: THREE.DoubleSide, depthTest: false,
                    transparent: true, opacity: 0.95,   // drawn after the see-through bodies, over them
                }));
                m.renderOrder = 10;
                if (node.matrix) { m.matrixAutoUpdate = false; m.matrix.fromArray(node.matrix); }
                this.shared.push(m);
                this.scene.add(m);
            });
        }
        this.requestRender();
    }
}

// Binary glTF 2.0 reader for the meshes diehost sends: header, JSON chunk, BIN chunk, then
// accessors turned into typed arrays. Only what the host writes is supported (triangles and
// lines with POSITION / NORMAL and indices, node transforms); anything else is a clear error.

const MAGIC = 0x46546c67; // "glTF"
const CHUNK_JSON = 0x4e4f534a;
const CHUNK_BIN = 0x004e4942;

const COMPONENTS = {
    5120: [Int8Array, 1], 5121: [Uint8Array, 1], 5122: [Int16Array, 2],
    5123: [Uint16Array, 2], 5125: [Uint32Array, 4], 5126: [Float32Array, 4],
};
const GETTERS = {
    5120: 'getInt8', 5121: 'getUint8', 5122: 'getInt16', 5123: 'getUint16', 5125: 'getUint32', 5126: 'getFloat32',
};
const WIDTH = { SCALAR: 1, VEC2: 2, VEC3: 3, VEC4: 4, MAT4: 16 };

export class GlbError extends Error {}

function fail(what) { throw new GlbError(`glb: ${what}`); }

function readChunks(buffer) {
    if (buffer.byteLength < 20) fail('file too short for a header');
    const view = new DataView(buffer);
    if (view.getUint32(0, true) !== MAGIC) fail('not a binary glTF (bad magic)');
    if (view.getUint32(4, true) !== 2) fail(`unsupported version ${view.getUint32(4, true)}`);
    const total = view.getUint32(8, true);
    if (total > buffer.byteLength) fail(`declared length ${total} beyond the ${buffer.byteLength} bytes read`);
    let json = null, bin = null;
    for (let at = 12; at + 8 <= total;) {
        const length = view.getUint32(at, true), type = view.getUint32(at + 4, true);
        const start = at + 8;
        if (start + length > total) fail('chunk runs past the end of the file');
        if (type === CHUNK_JSON && !json) json = new TextDecoder().decode(new Uint8Array(buffer, start, length));
        else if (type === CHUNK_BIN && !bin) bin = { offset: start, length };
        at = start + length + ((4 - (length % 4)) % 4);
    }
    if (json === null) fail('no JSON chunk');
    let doc;
    try { doc = JSON.parse(json); } catch (e) { fail(`JSON chunk: ${e.message}`); }
    return { doc, bin };
}

// A typed array holding the accessor's elements tightly packed (copied when the view is strided
// or not aligned for the component type).
function readAccessor(buffer, doc, bin, index) {
    const acc = doc.accessors?.[index];
    if (!acc) fail(`missing accessor ${index}`);
    const [Type, size] = COMPONENTS[acc.componentType] || fail(`accessor ${index}: component type ${acc.componentType}`);
    const width = WIDTH[acc.type] || fail(`accessor ${index}: type ${acc.type}`);
    const count = acc.count * width;
    if (acc.bufferView === undefined) return new Type(count);
    const bv = doc.bufferViews?.[acc.bufferView] || fail(`accessor ${index}: missing buffer view`);
    if ((bv.buffer ?? 0) !== 0 || !bin) fail(`buffer view ${acc.bufferView}: data outside the BIN chunk`);
    const start = bin.offset + (bv.byteOffset || 0) + (acc.byteOffset || 0);
    const stride = bv.byteStride || size * width;
    const span = acc.count ? (acc.count - 1) * stride + size * width : 0;
    if ((bv.byteOffset || 0) + bv.byteLength > bin.length) fail(`buffer view ${acc.bufferView} runs past the BIN chunk`);
    if ((acc.byteOffset || 0) + span > bv.byteLength) fail(`accessor ${index} runs past its buffer view`);
    if (stride === size * width && start % size === 0) return new Type(buffer, start, count);
    const out = new Type(count), view = new DataView(buffer), get = GETTERS[acc.componentType];
    for (let i = 0; i < acc.count; i++)
        for (let k = 0; k < width; k++) out[i * width + k] = view[get](start + i * stride + k * size, true);
    return out;
}

function readMesh(buffer, doc, bin, index, cache) {
    if (cache.has(index)) return cache.get(index);
    const mesh = doc.meshes?.[index] || fail(`missing mesh ${index}`);
    const primitives = (mesh.primitives || []).map((p) => {
        const mode = p.mode ?? 4;
        if (mode !== 4 && mode !== 1) fail(`mesh ${index}: primitive mode ${mode} (only triangles and lines)`);
        if (p.attributes?.POSITION === undefined) fail(`mesh ${index}: primitive without POSITION`);
        const attributes = {};
        for (const [name, acc] of Object.entries(p.attributes))
            if (name === 'POSITION' || name === 'NORMAL') attributes[name] = readAccessor(buffer, doc, bin, acc);
        const indices = p.indices === undefined ? null : readAccessor(buffer, doc, bin, p.indices);
        const vertices = attributes.POSITION.length / 3;
        if (indices) for (const i of indices) if (i >= vertices) fail(`mesh ${index}: index ${i} past ${vertices} vertices`);
        return { mode, attributes, indices };
    });
    const out = { extras: mesh.extras || {}, primitives };
    cache.set(index, out);
    return out;
}

// Parses a GLB. Returns {nodes: [{extras, matrix (16 numbers, column-major) | null, mesh | null}]} with
// the scene's nodes flattened (children after their parent, transforms composed); throws
// GlbError naming what was wrong.
export function parseGlb(buffer) {
    const { doc, bin } = readChunks(buffer);
    const cache = new Map();
    const nodes = [];
    const sceneIndex = doc.scene ?? 0;
    const roots = doc.scenes?.[sceneIndex]?.nodes ?? (doc.nodes || []).map((_, i) => i);
    const visit = (i, parent, depth) => {
        if (depth > 64) fail('node hierarchy too deep');
        const node = doc.nodes?.[i] || fail(`missing node ${i}`);
        const matrix = compose(parent, localMatrix(node));
        nodes.push({ extras: node.extras || {}, matrix,
                     mesh: node.mesh === undefined ? null : readMesh(buffer, doc, bin, node.mesh, cache) });
        for (const c of node.children || []) visit(c, matrix, depth + 1);
    };
    for (const r of roots) visit(r, null, 0);
    return { nodes };
}

function localMatrix(node) {
    if (node.matrix) return node.matrix.slice();
    if (!node.translation && !node.rotation && !node.scale) return null;
    const [tx, ty, tz] = node.translation || [0, 0, 0];
    const [x, y, z, w] = node.rotation || [0, 0, 0, 1];
    const [sx, sy, sz] = node.scale || [1, 1, 1];
    return [
        (1 - 2 * (y * y + z * z)) * sx, 2 * (x * y + z * w) * sx, 2 * (x * z - y * w) * sx, 0,
        2 * (x * y - z * w) * sy, (1 - 2 * (x * x + z * z)) * sy, 2 * (y * z + x * w) * sy, 0,
        2 * (x * z + y * w) * sz, 2 * (y * z - x * w) * sz, (1 - 2 * (x * x + y * y)) * sz, 0,
        tx, ty, tz, 1,
    ];
}

function compose(a, b) {
    if (!a) return b;
    if (!b) return a;
    const m = new Array(16);
    for (let c = 0; c < 4; c++)
        for (let r = 0; r < 4; r++) {
            let s = 0;
            for (let k = 0; k < 4; k++) s += a[k * 4 + r] * b[c * 4 + k];
            m[c * 4 + r] = s;
        }
    return m;
}

// Index of the range [first, count] that holds item t (ranges sorted by first), or -1.
export function rangeIndex(ranges, t) {
    let lo = 0, hi = (ranges?.length || 0) - 1;
    while (lo <= hi) {
        const mid = (lo + hi) >> 1;
        const [first, count] = ranges[mid];
        if (t < first) hi = mid - 1;
        else if (t >= first + count) lo = mid + 1;
        else return mid;
    }
    return -1;
}

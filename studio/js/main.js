// diekit studio: wires the API, the 3D view, the part navigator and the plug-in dialog together.
// Every action goes through one queue, so the page shows the host's replies in the order the
// designer acted; the host's state after each reply is what the page shows.

import { api } from './api.js';
import { parseGlb } from './glb.js';
import { Viewer } from './viewer.js';
import { Navigator, titleOf } from './navigator.js';
import { DialogView, isCollector, pickKinds } from './dialog.js';
import { $, el, saveBlob } from './dom.js';

const timing = { navigationStart: 0, modules: performance.now() };
const app = {
    state: null,
    meshRevision: null,
    dialog: null,
    picks: new Map(),      // collector id -> [{pick, key, label}] as posted to the host
    active: null,          // block in pick mode
    selected: new Set(),   // bodies selected in the navigator or the view
    messagesSeen: 0,
    boxes: [],
    warnings: [],
    check: null,
};

const viewer = new Viewer($('#view'));
timing.viewer = performance.now();
const navigator = new Navigator($('#bodies'), $('#body-count'), {
    onShow: (tag, shown) => queue(async () => { await api.show(tag, shown); await refresh(); }),
    onRename: (tag, name) => queue(async () => { await api.rename(tag, name); await refresh(); }),
    onSelect: (tag, kind) => navigatorClick(tag, kind),
});
const dialogView = new DialogView($('#dialog-form'), {
    onValue: (block, value) => queue(() => setValue(block, value)),
    onActivate: (block) => activate(block),
    describe: describeSelection,
});

// ---- the queue, busy flag and errors ----

let tail = Promise.resolve();
let pending = 0;
function queue(task) {
    pending++;
    document.body.dataset.busy = '1';
    const run = tail.then(() => { clearError(); return task(); }).catch(showError).finally(() => {
        if (--pending === 0) document.body.dataset.busy = '0';
    });
    tail = run;
    return run;
}

function showError(e) {
    const box = $('#error');
    box.textContent = e?.message || String(e);
    box.hidden = false;
    box.dataset.count = String(Number(box.dataset.count || 0) + 1);
    console.warn('studio:', e);
}
function clearError() { $('#error').hidden = true; }
$('#error').addEventListener('click', clearError);

function status(text) { $('#hint').textContent = text || ''; }

// ---- state ----

async function refresh() {
    const state = await api.state();
    if (state.revision !== app.meshRevision) await loadMesh(state.revision);
    applyState(state);
}

async function loadMesh(revision) {
    const glb = parseGlb(await api.mesh());
    const first = app.meshRevision === null;
    viewer.setModel(glb);
    reportUnmeshed(glb);
    app.meshRevision = revision;
    if (app.check) clearCheck();
    if (first) viewer.setView('iso');
    else viewer.fitIfOutgrown();
}

// Bodies the server could not mesh are still listed; the view says which are missing and why.
function reportUnmeshed(glb) {
    const missing = glb.nodes.filter((n) => !n.mesh && n.extras?.error);
    if (missing.length)
        showError(new Error(`not drawn: ${missing.map((n) => `#${n.extras.tag} (${n.extras.error})`).join('; ')}`));
}

function applyState(state) {
    app.state = state;
    document.body.dataset.revision = String(state.revision);
    navigator.render(state);
    for (const o of [...(state.bodies || []), ...(state.curves || [])]) viewer.setShown(o.tag, !o.blanked && !o.hidden);
    renderPlugins(state.plugins || []);
    $('#undo').disabled = !state.undo?.can_undo || !!state.dialog;
    $('#redo').disabled = !state.undo?.can_redo || !!state.dialog;
    renderMessages(state.messages || []);
    if (state.dialog) showDialog(state.dialog);
    else if (app.dialog) closeDialog();
    const name = state.session ?? state.name;
    document.title = `diekit studio${name ? ' · ' + name : ''}`;
}

function renderPlugins(plugins) {
    const root = $('#plugins');
    const key = plugins.join(',');
    if (root.dataset.key !== key) {
        root.dataset.key = key;
        root.replaceChildren(...plugins.map((p) => {
            const b = el('button', { type: 'button', 'data-plugin': p }, p);
            b.addEventListener('click', () => queue(() => openDialog(p)));
            return b;
        }));
    }
    for (const b of root.querySelectorAll('button'))
        b.classList.toggle('current', !!app.dialog && app.dialog.plugin === b.dataset.plugin);
    root.classList.toggle('locked', !!app.dialog);
    for (const b of root.querySelectorAll('button')) b.disabled = !!app.dialog;
}

// ---- messages and warnings ----

function messageText(m) {
    return typeof m === 'string' ? m : m.text ?? JSON.stringify(m);
}

function renderMessages(messages) {
    const list = $('#messages');
    if (messages.length < app.messagesSeen) app.messagesSeen = 0;   // a new part was opened
    const first = list.dataset.loaded !== '1';
    list.replaceChildren(...messages.map((m, i) => el('li', { class: m.kind === 'box' ? 'box' : 'note', 'data-index': i },
        m.kind === 'box' && m.title ? el('b', {}, `${m.title}: `) : null, messageText(m))));
    list.dataset.loaded = '1';
    list.scrollTop = list.scrollHeight;
    $('#message-count').textContent = messages.length ? String(messages.length) : '';
    // What a step says pops up as it would in the platform (a note waits for OK there too).
    if (!first) app.boxes.push(...messages.slice(app.messagesSeen));
    app.messagesSeen = messages.length;
    showNextBox();
}

function showNextBox() {
    const box = $('#message-box');
    if (!box.hidden || !app.boxes.length) return;
    const m = app.boxes.shift();
    $('#message-box-title').textContent = m.title || (m.kind === 'box' ? 'Message' : 'Note');
    $('#message-box-text').textContent = messageText(m);
    box.hidden = false;
    $('#message-box-ok').focus();
}
$('#message-box-ok').addEventListener('click', () => { $('#message-box').hidden = true; showNextBox(); });

function renderWarnings() {
    const all = [...new Set([...(app.dialog?.warnings || []), ...app.warnings].map(messageText))];
    $('#warnings').replaceChildren(...all.map((w) => el('li', {}, w)));
    $('#warnings-panel').hidden = all.length === 0;
}

// ---- the dialog ----

async function openDialog(plugin) {
    app.picks.clear();
    app.warnings = [];
    $('#dialog-result').textContent = '';
    showDialog(await api.openDialog(plugin));
    const first = app.dialog.blocks.find((b) => b.shown !== false && pickKinds(b));
    activate(first ? first.id : null);
    renderPlugins(app.state?.plugins || []);
    $('#undo').disabled = $('#redo').disabled = true;
}

function showDialog(dialog) {
    app.dialog = dialog;
    $('#dialog-panel').hidden = false;
    $('#dialog-panel').dataset.plugin = dialog.plugin;
    $('#dialog-title').textContent = dialog.title || dialog.plugin;
    for (const b of dialog.blocks) if (isCollector(b)) syncPicks(b);
    dialogView.render(dialog);
    if (app.active && !dialogView.block(app.active)?.shown) activate(null);
    renderWarnings();
    showPicked();
}

function closeDialog() {
    app.dialog = null;
    app.picks.clear();
    activate(null);
    dialogView.clear();
    $('#dialog-panel').hidden = true;
    delete $('#dialog-panel').dataset.plugin;
    renderWarnings();
    renderPlugins(app.state?.plugins || []);
    showPicked();
}

// Sends a block's new value; when the host refuses it the form shows the host's value again.
async function setValue(block, value) {
    if (!app.dialog) return;
    try {
        showDialog(await api.setValue(block, value));
    } catch (e) {
        if (app.dialog) showDialog(app.dialog);
        throw e;
    }
}

async function press(button) {
    if (!app.dialog) return;
    const plugin = app.dialog.plugin;
    const reply = await api.press(button);
    app.warnings = reply.warnings || [];
    $('#dialog-result').textContent = button === 'cancel' ? '' :
        `${plugin}: ${button} returned ${reply.result}${typeof reply.ms === 'number' ? ` in ${Math.round(reply.ms)} ms` : ''}`;
    $('#dialog-result').dataset.result = String(reply.result);
    if (reply.dialog) showDialog(reply.dialog);
    else closeDialog();
    await refresh();
}

$('#dialog-form').addEventListener('submit', (e) => e.preventDefault());
for (const [id, button] of [['#dlg-ok', 'ok'], ['#dlg-apply', 'apply'], ['#dlg-cancel', 'cancel']])
    $(id).addEventListener('click', () => {
        document.activeElement?.blur();   // send a value still being typed first
        queue(() => press(button));
    });

// ---- selections: what the collectors hold ----

function objectOf(tag) {
    return app.state?.bodies?.find((b) => b.tag === tag) || app.state?.curves?.find((c) => c.tag === tag) || null;
}

const nameOf = (tag) => { const o = objectOf(tag); return o ? titleOf(o) : `#${tag}`; };
const round = (x) => Math.round(x * 1e4) / 1e4;

// What the page sends for a picked item ({pick: ...}), with a key to find it again and a label.
function pickOf(item) {
    const at = item.at ? { at: item.at.map(round) } : {};
    switch (item.kind) {
    case 'body': return { pick: { pick: { body: item.body } }, key: `b${item.body}`, label: nameOf(item.body) };
    case 'face': return { pick: { pick: { body: item.body, face: item.face, ...at } }, key: `f${item.body}.${item.face}`,
                          label: `face ${item.face} of ${nameOf(item.body)}` };
    case 'edge': return { pick: { pick: { body: item.body, edge: item.edge, ...at } }, key: `e${item.body}.${item.edge}`,
                          label: `edge ${item.edge} of ${nameOf(item.body)}` };
    case 'curve': return { pick: { pick: { curve: item.curve, ...at } }, key: `c${item.curve}`, label: nameOf(item.curve) };
    default: return null;
    }
}

// The collector's selection as the host holds it, as picks the page can send again: from the
// host's "picks" (bodies, curves, and faces and edges by body and index), else from the tags of
// its value.
function syncPicks(block) {
    const picks = Array.isArray(block.picks) ? block.picks
        : (Array.isArray(block.value) ? block.value : []).map((v) => {
            const tag = typeof v === 'number' ? v : v?.tag;
            const curve = app.state?.curves?.some((c) => c.tag === tag);
            return { tag, kind: curve ? 'curve' : objectOf(tag) ? 'body' : 'unknown' };
        });
    app.picks.set(block.id, picks.map((p) => pickOf({
        kind: p.kind, body: p.kind === 'body' ? p.tag : p.body, curve: p.tag, face: p.face, edge: p.edge,
    })).filter(Boolean));
}

function describeSelection(block) {
    const count = Array.isArray(block.value) ? block.value.length : 0;
    const kinds = pickKinds(block);
    if (!count) return kinds ? `Select ${kinds.map((k) => k + 's').join(' or ')}` : 'Nothing to select';
    const labels = (app.picks.get(block.id) || []).map((p) => p.label);
    return `${count} selected${labels.length ? ': ' + labels.join(', ') : ''}`;
}

// A click in the view while a block is in pick mode: a collector's pick is added, or removed
// when it was already selected; a point block takes the point picked on a face, edge or vertex,
// a vector block the normal of the face or the direction of the edge picked (the host works
// them out on the exact geometry).
function viewPick(x, y) {
    const block = dialogView.block(app.active);
    const kinds = block && pickKinds(block);
    if (!kinds) return false;
    const item = viewer.pick(x, y, kinds);
    if (!item) { status(`Nothing to pick here for "${block.label || block.id}"`); return true; }
    if (isCollector(block)) togglePick(block.id, pickOf(item));
    else {
        const p = pickOf(item.kind === 'point' ? { ...item, kind: item.face !== undefined ? 'face' : item.curve !== undefined ? 'curve' : 'edge' } : item);
        queue(() => setValue(block.id, p.pick));
    }
    return true;
}

// Adds a pick to a collector, or removes it when it is already there, and sends the whole list.
function togglePick(block, p) {
    queue(async () => {
        const list = [...(app.picks.get(block) || [])];
        const at = list.findIndex((q) => q.key === p.key);
        if (at >= 0) list.splice(at, 1); else list.push(p);
        await setValue(block, list.map((q) => q.pick));
    });
}

function activate(id) {
    app.active = id;
    dialogView.setActive(id);
    const block = id && dialogView.block(id);
    const kinds = block && pickKinds(block);
    $('#view').classList.toggle('picking', !!kinds);
    document.body.dataset.picking = id || '';
    status(kinds ? `Pick ${kinds.join(' or ')} for "${block.label || id}": click in the view${isCollector(block) ? ' (again to remove)' : ''}; Esc ends` : '');
    viewer.setHovered(null);
    showPicked();
}

function showPicked() {
    const picked = { bodies: [...app.selected], faces: [], edges: [], curves: [] };
    for (const p of app.picks.get(app.active) || []) {
        const q = p.pick.pick;
        if (q.face !== undefined) picked.faces.push([q.body, q.face]);
        else if (q.edge !== undefined) picked.edges.push([q.body, q.edge]);
        else if (q.curve !== undefined) picked.curves.push(q.curve);
        else picked.bodies.push(q.body);
    }
    viewer.setPicked(picked);
    const points = (app.dialog?.blocks || [])
        .filter((b) => b.class === 'SpecifyPoint' && b.shown !== false && Array.isArray(b.value)).map((b) => b.value);
    viewer.setMarkers(points);
    navigator.mark([...app.selected, ...picked.bodies]);
}

function navigatorClick(tag, kind) {
    const block = dialogView.block(app.active);
    const kinds = block && isCollector(block) ? pickKinds(block) : null;
    if (kinds && (kinds.includes(kind) || (kind === 'body' && kinds.includes('body')))) {
        togglePick(block.id, pickOf({ kind, body: kind === 'body' ? tag : undefined, curve: kind === 'curve' ? tag : undefined }));
        return;
    }
    select(app.selected.has(tag) && app.selected.size === 1 ? [] : [tag]);
}

function select(tags) {
    app.selected = new Set(tags);
    const o = tags.length === 1 ? objectOf(tags[0]) : null;
    $('#selection-info').textContent = o ? info(o) : '';
    showPicked();
}

function info(o) {
    const box = o.box && o.box.length === 6
        ? `  ${[0, 1, 2].map((k) => round(o.box[k + 3] - o.box[k])).join(' × ')} mm` : '';
    return `${titleOf(o)}${o.name && o.display ? ` (${o.name})` : ''}  #${o.tag}${box}`;
}

// ---- view input: clicks pick or select, moves preview what a click would take ----

{
    const canvas = viewer.canvas;
    let down = null, hoverAt = null, hoverQueued = false;
    canvas.addEventListener('pointerdown', (e) => { if (e.button === 0) down = [e.clientX, e.clientY]; });
    canvas.addEventListener('pointerup', (e) => {
        if (e.button !== 0 || !down) return;
        const moved = Math.hypot(e.clientX - down[0], e.clientY - down[1]);
        down = null;
        if (moved > 4) return;   // that was an orbit or pan
        if (viewPick(e.clientX, e.clientY)) return;
        const item = viewer.pick(e.clientX, e.clientY, ['body']);
        select(item ? [item.body] : []);
    });
    canvas.addEventListener('pointermove', (e) => {
        hoverAt = [e.clientX, e.clientY];
        if (hoverQueued || e.buttons) return;
        hoverQueued = true;
        requestAnimationFrame(() => {
            hoverQueued = false;
            const block = dialogView.block(app.active);
            const kinds = block && pickKinds(block);
            const item = viewer.pick(hoverAt[0], hoverAt[1], kinds || ['body']);
            viewer.setHovered(kinds ? item : null);
            const o = item && objectOf(item.body ?? item.curve);
            $('#hover-info').textContent = o ? titleOf(o) + (item.kind === 'face' ? `, face ${item.face}` :
                item.kind === 'edge' ? `, edge ${item.edge}` : '') : item?.kind === 'point' ? item.at.map(round).join(', ') : '';
        });
    });
    canvas.addEventListener('pointerleave', () => { viewer.setHovered(null); $('#hover-info').textContent = ''; });
}

for (const b of document.querySelectorAll('#view-tools [data-view]'))
    b.addEventListener('click', () => (b.dataset.view === 'fit' ? viewer.fit() : viewer.setView(b.dataset.view)));

document.addEventListener('keydown', (e) => {
    const typing = /^(INPUT|SELECT|TEXTAREA)$/.test(document.activeElement?.tagName);
    if (e.key === 'Escape') { if (!$('#message-box').hidden) $('#message-box-ok').click(); else activate(null); }
    if (typing) return;
    const ctrl = e.ctrlKey || e.metaKey;
    if (ctrl && e.key.toLowerCase() === 'z' && !e.shiftKey) { e.preventDefault(); $('#undo').click(); }
    if (ctrl && (e.key.toLowerCase() === 'y' || (e.key.toLowerCase() === 'z' && e.shiftKey))) { e.preventDefault(); $('#redo').click(); }
    if (!ctrl && e.key === 'f') viewer.fit();
});

// ---- undo, redo, check ----

$('#undo').addEventListener('click', () => queue(async () => { await api.undo(); await refresh(); }));
$('#redo').addEventListener('click', () => queue(async () => { await api.redo(); await refresh(); }));

$('#check').addEventListener('click', () => queue(async () => {
    const result = await api.check();
    const glb = parseGlb(await api.checkMesh(result.mesh || '/api/check/mesh'));
    app.check = result;
    renderCheck(result, -1);
    viewer.setShared(glb);
    app.checkGlb = glb;
}));
$('#check-close').addEventListener('click', () => clearCheck());

function renderCheck(result, focus) {
    const name = (tag) => { const o = objectOf(tag); return o ? titleOf(o) : `#${tag}`; };
    const overlaps = result.overlaps || [], touching = result.touching || [];
    $('#check-panel').hidden = false;
    $('#check-summary').textContent = overlaps.length
        ? `${overlaps.length} pair${overlaps.length > 1 ? 's' : ''} share volume` : 'No bodies share volume';
    $('#check-summary').dataset.overlaps = String(overlaps.length);
    $('#check-results').replaceChildren(
        ...overlaps.map((o, i) => {
            const li = el('li', { class: `overlap${i === focus ? ' focus' : ''}`, 'data-a': o.a, 'data-b': o.b, 'data-index': i },
                `${name(o.a)} ∩ ${name(o.b)}`, el('span', { class: 'volume' }, `${round(o.volume)} mm³`));
            li.addEventListener('click', () => {
                renderCheck(result, i);
                viewer.setShared(app.checkGlb, i);
                select([o.a, o.b]);
            });
            return li;
        }),
        ...touching.map(([a, b]) => el('li', { class: 'touching', 'data-a': a, 'data-b': b }, `${name(a)} touches ${name(b)}`)));
}

function clearCheck() {
    app.check = null;
    app.checkGlb = null;
    viewer.setShared(null);
    $('#check-panel').hidden = true;
}

// ---- downloads and opening files ----

const FILES = { step: 'step', svg: 'svg', bom: 'csv', report: 'json', session: 'session.json' };
for (const b of document.querySelectorAll('[data-download]'))
    b.addEventListener('click', () => queue(async () => {
        const what = b.dataset.download;
        const reply = await api.download(what);
        const given = /filename="?([^";]+)"?/.exec(reply.headers.get('Content-Disposition') || '');
        saveBlob(await reply.blob(), given ? given[1] : `${app.state?.session || 'diekit'}.${FILES[what]}`);
    }));

$('#open-step').addEventListener('click', () => $('#open-step-file').click());
$('#open-session').addEventListener('click', () => $('#open-session-file').click());
$('#open-step-file').addEventListener('change', (e) => openFile(e.target, (f) => api.openStep(f)));
$('#open-session-file').addEventListener('change', (e) => openFile(e.target, async (f) => api.openSession(await f.text())));

function openFile(input, send) {
    const file = input.files[0];
    input.value = '';
    if (!file) return;
    queue(async () => {
        await send(file);
        closeDialog();
        app.selected.clear();
        app.meshRevision = null;
        app.messagesSeen = 0;
        $('#messages').dataset.loaded = '';
        await refresh();
    });
}

// ---- start ----

// What the browser tests and the benchmark read: model points in viewport pixels, and when the
// first frame with every body drawn came (milliseconds since navigation start).
window.studio = {
    viewer, timing, app,
    project: (p) => viewer.project(p),
    pick: (x, y, kinds) => viewer.pick(x, y, kinds),
    bodiesDrawn: () => [...viewer.bodies.values()].filter((b) => b.root.visible).map((b) => b.tag),
};

queue(async () => {
    const [state, mesh] = await Promise.all([api.state(), api.mesh()]);
    timing.replies = performance.now();
    const glb = parseGlb(mesh);
    timing.parsed = performance.now();
    viewer.setModel(glb);
    reportUnmeshed(glb);
    timing.built = performance.now();
    app.meshRevision = state.revision;
    viewer.setView('iso');
    applyState(state);
    timing.firstFrame = await viewer.nextFrame();
    timing.bodies = viewer.bodies.size;
    document.body.dataset.ready = '1';
});

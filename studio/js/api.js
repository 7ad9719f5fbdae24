// Calls to diehost's studio API. Every call carries the token the page was opened with; a reply
// that is not 2xx becomes an ApiError holding the server's one-line reason.

const token = new URLSearchParams(location.search).get('token') || '';

export class ApiError extends Error {
    constructor(status, message) { super(message); this.status = status; }
}

async function request(method, path, body, { raw = false, type } = {}) {
    const headers = { 'X-Diekit-Token': token };
    let payload;
    if (body instanceof Blob || body instanceof ArrayBuffer || typeof body === 'string') {
        payload = body;
        headers['Content-Type'] = type || 'application/octet-stream';
    } else if (body !== undefined) {
        payload = JSON.stringify(body);
        headers['Content-Type'] = 'application/json';
    }
    return answer(fetch(path, { method, headers, body: payload, credentials: 'same-origin' }), raw);
}

// The reply of a fetch: the Response when raw, else its JSON; an ApiError for a failed request.
async function answer(pending, raw) {
    let reply;
    try {
        reply = await pending;
    } catch (e) {
        throw new ApiError(0, `the studio server does not answer (${e.message})`);
    }
    if (!reply.ok) {
        let reason = `${reply.status} ${reply.statusText}`;
        try {
            const text = await reply.text();
            try { reason = JSON.parse(text).error || text || reason; } catch { reason = text || reason; }
        } catch { /* keep the status line */ }
        throw new ApiError(reply.status, reason);
    }
    if (raw) return reply;
    const text = await reply.text();
    return text ? JSON.parse(text) : null;
}

// The state and mesh asked for by prefetch.js when the page started (once), else fresh ones.
function early(which) {
    const pending = window.diekitPrefetch?.[which];
    if (!pending) return null;
    delete window.diekitPrefetch[which];
    return pending;
}

export const api = {
    state: () => { const p = early('state'); return p ? answer(p, false) : request('GET', '/api/state'); },
    mesh: async () => {
        const p = early('mesh');
        return (await (p ? answer(p, true) : request('GET', '/api/mesh', undefined, { raw: true }))).arrayBuffer();
    },
    openDialog: (plugin) => request('POST', '/api/dialog/open', { plugin }),
    setValue: (block, value) => request('POST', '/api/dialog/value', { block, value }),
    press: (button) => request('POST', '/api/dialog/press', { button }),
    rename: (tag, name) => request('POST', '/api/rename', { tag, name }),
    show: (tag, shown) => request('POST', '/api/show', { tag, shown }),
    undo: () => request('POST', '/api/undo'),
    redo: () => request('POST', '/api/redo'),
    check: () => request('GET', '/api/check'),
    checkMesh: async (path = '/api/check/mesh') => (await request('GET', path, undefined, { raw: true })).arrayBuffer(),
    download: (what) => request('GET', `/api/download/${what}`, undefined, { raw: true }),
    openStep: (file) => request('POST', '/api/open/step', file, { type: 'application/step' }),
    openSession: (text) => request('POST', '/api/open/session', text, { type: 'application/json' }),
};

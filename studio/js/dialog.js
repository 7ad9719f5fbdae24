// The plug-in dialog, generated from the host's description of its blocks. The form is built once
// per dialog and then updated in place from each reply, so that shown flags, values, formulas and
// members are always the host's; the page applies no dialog rule itself. What the designer does
// is handed to the callbacks: onValue(block, value) and onActivate(block) (pick mode).

import { el } from './dom.js';

const COLLECTORS = new Set(['BodyCollector', 'FaceCollector', 'CurveCollector', 'SelectObject', 'EdgeCollector']);
const NUMBER = /^[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?$/;
const AXES = { '+X': [1, 0, 0], '-X': [-1, 0, 0], '+Y': [0, 1, 0], '-Y': [0, -1, 0], '+Z': [0, 0, 1], '-Z': [0, 0, -1] };

export const isCollector = (block) => COLLECTORS.has(block.class);

// What a block picks in the view: some of "body", "face", "edge", "curve", or ["point"] for a
// point block; null for blocks that take no picks. The host says what each block accepts (an
// axis, which a vector block also takes, is typed, not picked).
const PICKED_KINDS = ['body', 'face', 'edge', 'curve', 'point'];
const DEFAULT_KINDS = {
    BodyCollector: ['body'], FaceCollector: ['face'], CurveCollector: ['curve', 'edge'], EdgeCollector: ['edge'],
    SelectObject: ['body'], SpecifyPoint: ['point'], SpecifyVector: ['face', 'edge', 'curve'],
};
export function pickKinds(block) {
    const given = Array.isArray(block.accepts) ? block.accepts : block.accepts ? [block.accepts] : null;
    const kinds = (given || DEFAULT_KINDS[block.class] || []).filter((k) => PICKED_KINDS.includes(k));
    return kinds.length ? kinds : null;
}

const fmt = (x) => (typeof x === 'number' ? String(Math.round(x * 1e6) / 1e6) : String(x ?? ''));
const vec = (v) => (Array.isArray(v) && v.length === 3 && v.every((x) => typeof x === 'number') ? v : null);

export class DialogView {
    constructor(root, { onValue, onActivate, describe }) {
        this.root = root;
        this.onValue = onValue;
        this.onActivate = onActivate;
        this.describe = describe;   // (block) -> text of a collector's current selection
        this.key = '';
        this.rows = new Map();
        this.active = null;
    }

    clear() {
        this.root.replaceChildren();
        this.rows.clear();
        this.key = '';
        this.dialog = null;
    }

    render(dialog) {
        const key = dialog.plugin + '|' + dialog.blocks.map((b) => b.id + ':' + b.class).join(',');
        if (key !== this.key) this.build(dialog, key);
        this.dialog = dialog;
        for (const b of dialog.blocks) this.rows.get(b.id)?.update(b);
        this.setActive(this.active);
    }

    block(id) { return this.dialog?.blocks.find((b) => b.id === id) || null; }

    build(dialog, key) {
        this.root.replaceChildren();
        this.rows.clear();
        this.key = key;
        let group = null;
        for (const b of dialog.blocks) {
            const row = this.makeRow(b);
            this.rows.set(b.id, row);
            if (b.class === 'Group') { this.root.append(row.node); group = row; continue; }
            const parent = b.parent !== undefined ? this.rows.get(b.parent) : group;
            (parent?.body || this.root).append(row.node);
        }
    }

    setActive(id) {
        this.active = id;
        for (const [bid, row] of this.rows) row.node.classList.toggle('active', bid === id);
    }

    makeRow(b) {
        const make = {
            Group: () => this.group(b), ExpressionBlock: () => this.expression(b), Toggle: () => this.toggle(b),
            Enumeration: () => this.enumeration(b), SpecifyPoint: () => this.point(b),
            SpecifyVector: () => this.vector(b), Label: () => this.label(b),
        }[b.class];
        const row = make ? make() : isCollector(b) ? this.collector(b) : this.other(b);
        row.node.dataset.block = b.id;
        row.node.dataset.class = b.class;
        const update = row.update;
        row.update = (state) => {
            row.node.hidden = state.shown === false;
            row.node.dataset.shown = state.shown === false ? 'false' : 'true';
            const off = state.enabled === false;
            row.node.classList.toggle('disabled', off);
            for (const c of row.node.querySelectorAll('input, select, button')) c.disabled = off;
            update(state);
        };
        return row;
    }

    group(b) {
        const body = el('div', { class: 'group-body' });
        const node = el('fieldset', { class: 'group' }, el('legend', {}, b.label || b.id), body);
        return { node, body, update: (s) => { node.querySelector('legend').textContent = s.label || s.id; } };
    }

    label(b) {
        const node = el('p', { class: 'help' }, b.label || '');
        return { node, update: (s) => { node.textContent = s.label || ''; } };
    }

    caption(b) { return el('span', { class: 'caption' }, b.label || b.id); }

    // Enter or leaving the field sends the text: a number as a number, anything else as a formula.
    // An emptied field sends nothing and shows the host's value again.
    textField(onSend) {
        const input = el('input', { type: 'text', spellcheck: 'false', autocomplete: 'off' });
        input.addEventListener('keydown', (e) => {
            if (e.key === 'Enter') { e.preventDefault(); input.blur(); }
            if (e.key === 'Escape') { input.value = input.dataset.host || ''; input.blur(); }
        });
        input.addEventListener('change', () => {
            const text = input.value.trim();
            if (text === '' || text === input.dataset.host) { input.value = input.dataset.host || ''; return; }
            onSend(text);
        });
        return input;
    }

    static showHost(input, text) {
        input.dataset.host = text;
        if (document.activeElement !== input) input.value = text;
    }

    expression(b) {
        const input = this.textField((t) => this.onValue(b.id, NUMBER.test(t) ? Number(t) : t));
        const unit = el('span', { class: 'unit' });
        const value = el('span', { class: 'computed' });
        const node = el('label', { class: 'row expression' }, this.caption(b), el('span', { class: 'field' }, input, unit), value);
        return {
            node, update: (s) => {
                const formula = s.formula !== undefined && s.formula !== null ? String(s.formula) : fmt(s.value);
                DialogView.showHost(input, formula);
                input.dataset.value = fmt(s.value);
                unit.textContent = s.unit || '';
                value.textContent = NUMBER.test(formula) || formula === fmt(s.value) ? '' : `= ${fmt(s.value)}`;
            },
        };
    }

    toggle(b) {
        const input = el('input', { type: 'checkbox' });
        input.addEventListener('change', () => this.onValue(b.id, input.checked));
        const node = el('label', { class: 'row toggle' }, input, this.caption(b));
        return { node, update: (s) => { input.checked = s.value === true || s.value === 1 || s.value === 'true'; } };
    }

    enumeration(b) {
        const select = el('select');
        select.addEventListener('change', () => this.onValue(b.id, select.value));
        const node = el('label', { class: 'row enumeration' }, this.caption(b), select);
        return {
            node, update: (s) => {
                const members = s.members || [];
                if (select.options.length !== members.length || members.some((m, i) => select.options[i].value !== m))
                    select.replaceChildren(...members.map((m) => el('option', { value: m }, m)));
                const i = typeof s.value === 'number' ? s.value : members.indexOf(String(s.value));
                select.selectedIndex = i >= 0 && i < members.length ? i : -1;
            },
        };
    }

    xyz(b, names, onSend) {
        const inputs = names.map((n) => {
            const input = this.textField(() => {
                const v = inputs.map((i) => i.value.trim());
                if (v.every((t) => NUMBER.test(t))) onSend(v.map(Number));
            });
            input.dataset.axis = n;
            input.setAttribute('aria-label', `${b.label || b.id} ${n}`);
            return input;
        });
        const show = (v) => inputs.forEach((input, k) => DialogView.showHost(input, v ? fmt(v[k]) : ''));
        return { inputs, show, node: el('span', { class: 'xyz' }, ...inputs.map((i, k) => el('span', {}, names[k], i))) };
    }

    pickButton(b, text) {
        const button = el('button', { type: 'button', class: 'pick', 'data-action': 'pick' }, text);
        button.addEventListener('click', () => this.onActivate(this.active === b.id ? null : b.id));
        return button;
    }

    point(b) {
        const f = this.xyz(b, ['x', 'y', 'z'], (v) => this.onValue(b.id, v));
        const node = el('div', { class: 'row point' }, this.caption(b),
                        el('span', { class: 'field' }, f.node, this.pickButton(b, 'Pick')));
        return { node, update: (s) => f.show(vec(s.value)) };
    }

    vector(b) {
        const f = this.xyz(b, ['i', 'j', 'k'], (v) => this.onValue(b.id, v));
        const axis = el('select', { 'data-action': 'axis' }, el('option', { value: '' }, 'Axis…'),
                        ...Object.keys(AXES).map((a) => el('option', { value: a }, a)));
        axis.addEventListener('change', () => { if (axis.value) this.onValue(b.id, AXES[axis.value]); });
        const node = el('div', { class: 'row vector' }, this.caption(b),
                        el('span', { class: 'field' }, axis, f.node, this.pickButton(b, 'Pick')));
        return {
            node, update: (s) => {
                const v = vec(s.value);
                f.show(v);
                const hit = v && Object.entries(AXES).find(([, a]) => a.every((x, k) => Math.abs(x - v[k]) < 1e-9));
                axis.value = hit ? hit[0] : '';
            },
        };
    }

    collector(b) {
        const summary = el('span', { class: 'summary' });
        const select = el('button', { type: 'button', class: 'selection', 'data-action': 'pick' }, summary);
        select.addEventListener('click', () => this.onActivate(this.active === b.id ? null : b.id));
        const clear = el('button', { type: 'button', class: 'clear', title: 'Clear the selection', 'data-action': 'clear' }, '×');
        clear.addEventListener('click', () => this.onValue(b.id, []));
        const node = el('div', { class: 'row collector' }, this.caption(b), el('span', { class: 'field' }, select, clear));
        return {
            node, update: (s) => {
                const n = Array.isArray(s.value) ? s.value.length : 0;
                node.dataset.count = String(n);
                node.dataset.accepts = (pickKinds(s) || []).join(' ');
                summary.textContent = this.describe(s);
            },
        };
    }

    other(b) {
        const value = el('span', { class: 'computed' });
        const node = el('div', { class: 'row other' }, this.caption(b), value);
        return { node, update: (s) => { value.textContent = s.value === undefined ? '' : JSON.stringify(s.value); } };
    }
}

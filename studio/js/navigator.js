// The part navigator: every body and curve of the work part with its colour, name (display name
// first, the name the plug-ins look up beside it) and tag; show/hide, rename and select.

import { el, cssColor } from './dom.js';

export const titleOf = (obj) => obj.display || obj.name || `${obj.kind || 'body'} ${obj.tag}`;

export class Navigator {
    constructor(root, count, { onShow, onRename, onSelect }) {
        this.root = root;
        this.count = count;
        this.on = { onShow, onRename, onSelect };
        this.renaming = null;
        this.state = null;
        this.marked = new Set();
    }

    render(state) {
        this.state = state;
        if (this.renaming !== null) return;   // keep the field being typed in; rendered after it
        const bodies = state.bodies || [], curves = state.curves || [];
        this.count.textContent = `${bodies.length} bodies${curves.length ? `, ${curves.length} curves` : ''}`;
        this.root.replaceChildren(
            ...bodies.map((b) => this.row(b, 'body')),
            ...(curves.length ? [el('li', { class: 'divider' }, 'Curves')] : []),
            ...curves.map((c) => this.row(c, 'curve')));
        this.mark(this.marked);
    }

    row(obj, kind) {
        const shown = !obj.hidden;   // hidden in the view; a blanked body is hidden by the part itself
        const eye = el('button', { type: 'button', class: 'eye', 'data-action': 'show',
                                   title: shown ? 'Hide' : 'Show', 'aria-pressed': String(shown) }, shown ? '◉' : '○');
        eye.addEventListener('click', (e) => { e.stopPropagation(); this.on.onShow(obj.tag, !shown); });
        const pen = el('button', { type: 'button', class: 'pen', 'data-action': 'rename', title: 'Rename' }, '✎');
        pen.addEventListener('click', (e) => { e.stopPropagation(); this.startRename(li, obj); });
        const name = el('span', { class: 'name' }, titleOf(obj));
        const sub = obj.display && obj.name && obj.display !== obj.name ? el('span', { class: 'sub' }, obj.name) : null;
        const li = el('li', {
            'data-tag': obj.tag, 'data-kind': kind, 'data-name': obj.name || '', 'data-blanked': String(!!obj.blanked),
            'data-hidden': String(!!obj.hidden),
            title: `${kind === 'curve' ? obj.kind || 'curve' : 'body'} ${obj.tag}${obj.blanked ? ' (blanked)' : ''}`,
        }, eye, el('span', { class: 'swatch', style: `background:${cssColor(obj.rgb)}` }),
        el('span', { class: 'names' }, name, sub), el('span', { class: 'tag' }, `#${obj.tag}`), pen);
        li.addEventListener('click', () => this.on.onSelect(obj.tag, kind));
        li.addEventListener('dblclick', () => this.startRename(li, obj));
        return li;
    }

    startRename(li, obj) {
        if (this.renaming !== null) return;
        this.renaming = obj.tag;
        const input = el('input', { type: 'text', class: 'rename', value: obj.name || '', spellcheck: 'false' });
        const names = li.querySelector('.names');
        names.replaceChildren(input);
        input.focus();
        input.select();
        const finish = (commit) => {
            if (this.renaming === null) return;
            this.renaming = null;
            const name = input.value.trim();
            this.render(this.state);   // the host's name until it confirms the new one
            if (commit && name && name !== obj.name) this.on.onRename(obj.tag, name);
        };
        input.addEventListener('keydown', (e) => {
            if (e.key === 'Enter') { e.preventDefault(); finish(true); }
            if (e.key === 'Escape') finish(false);
            e.stopPropagation();
        });
        input.addEventListener('blur', () => finish(true));
        input.addEventListener('click', (e) => e.stopPropagation());
    }

    // Marks the rows of the given tags (the current selection) and scrolls the first into view.
    mark(tags) {
        this.marked = new Set(tags);
        let first = null;
        for (const li of this.root.querySelectorAll('li[data-tag]')) {
            const on = this.marked.has(Number(li.dataset.tag));
            li.classList.toggle('selected', on);
            if (on && !first) first = li;
        }
        first?.scrollIntoView({ block: 'nearest' });
    }
}

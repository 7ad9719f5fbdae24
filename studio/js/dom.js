// el('div', {class: 'x', 'data-tag': 3}, child, 'text', ...): a small element builder.
export function el(name, attrs = {}, ...children) {
    const node = document.createElement(name);
    for (const [k, v] of Object.entries(attrs)) {
        if (v === undefined || v === null || v === false) continue;
        node.setAttribute(k, v === true ? '' : String(v));
    }
    for (const c of children) if (c !== null && c !== undefined) node.append(c);
    return node;
}

export const $ = (selector, root = document) => root.querySelector(selector);

// Saves a Blob under a file name through a temporary link (the browser's download).
export function saveBlob(blob, name) {
    const url = URL.createObjectURL(blob);
    const a = el('a', { href: url, download: name });
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
}

export const cssColor = (rgb) => {
    if (!Array.isArray(rgb)) return '#999';
    const s = Math.max(...rgb) <= 1 ? 255 : 1;
    return `rgb(${rgb.slice(0, 3).map((x) => Math.round(x * s)).join(',')})`;
};

// ---------------------------------------------------------------- text of the body for word moves
const breaking = new Set(['address', 'blockquote', 'br', 'button', 'caption', 'center', 'dd',
    'div', 'dl', 'dt', 'fieldset', 'form', 'h1', 'h2', 'h3', 'h4', 'h5', 'h6', 'hr', 'img',
    'input', 'li', 'ol', 'p', 'pre', 'select', 'table', 'tbody', 'td', 'textarea', 'tfoot', 'th',
    'thead', 'tr', 'ul']);
const hidden = new Set(['script', 'style', 'template', 'noscript']);
let flat = null;

function bodyText() {
    if (flat && !textDirty) return flat;
    const nodes = [], starts = [], index = new Map();
    let text = '';
    // iterative walk: an element that breaks words adds a separator before and after itself
    const stack = [[doc.body, false]];
    while (stack.length) {
        const [n, closing] = stack.pop();
        if (n.nodeType === Node.TEXT_NODE) {
            index.set(n, nodes.length);
            nodes.push(n);
            starts.push(text.length);
            text += n.data;
            continue;
        }
        if (n.nodeType !== Node.ELEMENT_NODE || hidden.has(n.localName)) continue;
        const br = n !== doc.body && breaking.has(n.localName);
        if (br) text += '\n';
        if (closing) continue;
        if (br) stack.push([n, true]);
        for (let c = n.lastChild; c; c = c.previousSibling) stack.push([c, false]);
    }
    const words = [];
    for (const s of new Intl.Segmenter(undefined, { granularity: 'word' }).segment(text))
        if (s.isWordLike) words.push([s.index, s.index + s.segment.length]);
    flat = { nodes: nodes, starts: starts, index: index, text: text, words: words };
    textDirty = false;
    return flat;
}
function afterBody(r) {
    const b = doc.createRange();
    b.selectNodeContents(doc.body);
    return b.comparePoint(r.startContainer, r.startOffset) > 0;
}
function toFlat(p) {
    const f = bodyText(), r = p.r;
    if (afterBody(r)) return Infinity;
    const c = r.startContainer;
    const i = f.index.get(c);
    if (i !== undefined) return f.starts[i] + Math.min(r.startOffset, c.data.length);
    // first text node at or after the point
    let lo = 0, hi = f.nodes.length;
    while (lo < hi) {
        const mid = (lo + hi) >> 1;
        if (r.comparePoint(f.nodes[mid], 0) >= 0) hi = mid; else lo = mid + 1;
    }
    return lo < f.nodes.length ? f.starts[lo] : f.text.length;
}
// Text node and offset of a flat position; atEnd prefers the node that ends there.
function fromFlat(pos, atEnd) {
    const f = bodyText();
    let lo = 0, hi = f.nodes.length - 1, best = -1;
    while (lo <= hi) {
        const mid = (lo + hi) >> 1;
        const s = f.starts[mid];
        if (atEnd ? s < pos : s <= pos) { best = mid; lo = mid + 1; } else hi = mid - 1;
    }
    if (best < 0) return [doc.body, 0];
    const n = f.nodes[best];
    return [n, Math.min(pos - f.starts[best], n.data.length)];
}
function bodyStart(p) { p.set(doc.body, 0); }
function documentEnd(p) { p.set(doc.documentElement, doc.documentElement.childNodes.length); }

const MOVE_PREVWORDBEGIN = 6, MOVE_NEXTWORDBEGIN = 7, MOVE_PREVWORDEND = 8, MOVE_NEXTWORDEND = 9;
function moveUnit(p, unit) {
    const pos = toFlat(p), words = bodyText().words;
    let lo = 0, hi = words.length, k;
    const edge = (unit === MOVE_NEXTWORDBEGIN || unit === MOVE_PREVWORDBEGIN) ? 0 : 1;
    const forward = unit === MOVE_NEXTWORDBEGIN || unit === MOVE_NEXTWORDEND;
    if (unit < MOVE_PREVWORDBEGIN || unit > MOVE_NEXTWORDEND)
        throw new Error('Unsupported move unit ' + unit);
    // forward: first word whose edge lies after pos; backward: last word whose edge lies before
    while (lo < hi) {
        const mid = (lo + hi) >> 1;
        if (forward ? words[mid][edge] > pos : words[mid][edge] >= pos) hi = mid; else lo = mid + 1;
    }
    k = forward ? lo : lo - 1;
    if (k < 0 || k >= words.length) {
        if (forward) documentEnd(p); else bodyStart(p);
        return false;
    }
    const [node, offset] = fromFlat(words[k][edge], edge === 1);
    p.set(node, offset);
    return true;
}


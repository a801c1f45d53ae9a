// ---------------------------------------------------------------- paste and drop
// What goes in at the edge of a link goes beside it: before it at its start, after it at its
// end; a named anchor counts as a link. Links that still come to stand in a link are split
// around by the page rules.
const seenInText = 'img, input, select, textarea, button, object, embed, iframe, hr, table, br';
// Whether nothing shows between the collapsed range R and the start (or End) of El: blanks at
// most, and El's own anchor picture.
function atEdge(r, el, end) {
    const between = doc.createRange();
    between.selectNodeContents(el);
    if (end) between.setStart(r.startContainer, r.startOffset);
    else between.setEnd(r.startContainer, r.startOffset);
    const part = between.cloneContents();
    return !part.textContent.trim() && [...part.querySelectorAll(seenInText)].every(isAnchorPicture);
}
function besideLinks(r) {
    for (let n = r.startContainer; n && n !== doc.body;) {
        const link = n.localName === 'a';
        if (link && atEdge(r, n, false)) {
            r.setStartBefore(n);
        } else if (link && atEdge(r, n, true)) {
            r.setStartAfter(n);
        } else {
            n = n.parentNode;
            continue;
        }
        r.collapse(true);
        n = r.startContainer;
    }
}
// Puts the nodes of a fragment in place of the range; the range collapses behind them.
function placeNodes(r, frag) {
    if (r.collapsed && !frag.firstChild) return;  // nothing to put and nothing to take
    const items = r.collapsed ? null : itemsAround(r);
    const [start, offset] = [r.startContainer, r.startOffset];
    r.deleteContents();
    // where the selection began, not between the blocks it ran across
    if (start.isConnected)
        r.setStart(start, Math.min(offset, start.nodeType === Node.TEXT_NODE ? start.length : start.childNodes.length));
    dropPlaceholder(r, frag);
    // what a list box or text area holds is no place for markup: it goes after the control
    const at = r.startContainer.nodeType === Node.ELEMENT_NODE ? r.startContainer : r.startContainer.parentNode;
    const control = at.closest('textarea, select, script, style');
    if (control && doc.body.contains(control)) {
        r.setStartAfter(control);
        r.collapse(true);
    }
    besideLinks(r);
    makeRoomForBlocks(r, frag);
    const last = frag.lastChild;
    for (const n of frag.childNodes) placed.add(n);
    r.insertNode(frag);
    if (last) r.setStartAfter(last);
    r.collapse(true);
    if (items) joinItems(items, r.startContainer);
}
function insertFragment(r, html) {
    placeNodes(r, r.createContextualFragment(html));
}
// The children of a JSON body (see readBody) around or inside an element, as
// insertAdjacentHTML, innerHTML and outerHTML would put parsed HTML.
function adjacentBody(n, where, json) {
    const el = element(n), nodes = readBody(json)[1];
    switch (String(where).toLowerCase()) {
    case 'beforebegin': {
        const r = doc.createRange();
        r.setStartBefore(el);
        makeRoomForBlocks(r, nodes);
        r.insertNode(nodes);
        break;
    }
    case 'afterbegin': el.prepend(nodes); break;
    case 'beforeend': el.append(nodes); break;
    case 'afterend': el.after(nodes); break;
    case 'inner': el.replaceChildren(nodes); break;
    case 'outer':
        if (el === doc.body) throw new Error('The body cannot be replaced');
        el.replaceWith(nodes);
        break;
    default: throw new Error('Unknown place ' + where);
    }
}
function setText(r, text) {
    const c = r.startContainer;
    if (c === r.endContainer && c.nodeType === Node.TEXT_NODE) {
        const start = r.startOffset;
        c.replaceData(start, r.endOffset - start, text);
        r.setStart(c, start);
        r.setEnd(c, start + text.length);
        return;
    }
    r.deleteContents();
    if (text) {
        const t = doc.createTextNode(text);
        r.insertNode(t);
        r.selectNode(t);
    }
}
// The text of a range, with a line break where a block or a br begins.
function textOf(r) {
    if (r.collapsed) return '';
    const root = r.commonAncestorContainer;
    if (root.nodeType === Node.TEXT_NODE) return r.toString();
    let out = '';
    // from the range's first node until past its end: a caret in a large table walks no cells
    const w = doc.createTreeWalker(root, NodeFilter.SHOW_ELEMENT | NodeFilter.SHOW_TEXT);
    const start = r.startContainer;
    w.currentNode = start.nodeType !== Node.TEXT_NODE && start.childNodes[r.startOffset]
        ? start.childNodes[r.startOffset] : start;
    for (let n = w.currentNode === root ? w.nextNode() : w.currentNode; n; n = w.nextNode()) {
        if (r.comparePoint(n, 0) > 0) break;
        if (!r.intersectsNode(n)) continue;
        if (n.nodeType === Node.TEXT_NODE) {
            const s = n === r.startContainer ? r.startOffset : 0;
            const e = n === r.endContainer ? r.endOffset : n.data.length;
            out += n.data.slice(s, e);
        } else if (breaking.has(n.localName) && !inline.has(n.localName) && out &&
                   !out.endsWith('\r\n')) {
            out += '\r\n';
        }
    }
    return out;
}
const inline = new Set(['img', 'input', 'select', 'textarea', 'button']);
function htmlOf(r) {
    const d = doc.createElement('div');
    d.appendChild(r.cloneContents());
    return d.innerHTML;
}
// What a copy of R puts on the clipboard: items and rows keep the list or table around them,
// so that they stay whole blocks wherever they go.
function copiedHtml(r) {
    let content = r.cloneContents();
    let n = r.commonAncestorContainer;
    // a block the selection only touches at its edge comes as an empty copy: it goes
    for (const [end, side] of [[r.startContainer, 'firstChild'], [r.endContainer, 'lastChild']]) {
        let depth = 0;
        for (let a = end; a !== n; a = a.parentNode) depth += a.nodeType === Node.ELEMENT_NODE;
        for (let c = content[side]; c && c.nodeType === Node.ELEMENT_NODE && depth--; c = c[side])
            if (emptyBox(c)) {
                c.remove();
                break;
            }
    }
    if (n.nodeType !== Node.ELEMENT_NODE) n = n.parentNode;
    for (; n && n !== doc.body && (isList(n) || tableParts.has(n.localName)); n = n.parentNode) {
        const box = n.cloneNode(false);
        box.append(content);
        content = box;
    }
    const d = doc.createElement('div');
    d.append(content);
    return d.innerHTML;
}
// Takes the selection out of the page as a cut does: the items it ran across join.
function removeSelection() {
    const c = currentControl();
    if (c) {
        c.remove();
        control = null;
        return true;
    }
    const s = getSelection();
    const items = s.rangeCount ? itemsAround(s.getRangeAt(0)) : null;
    const done = doc.execCommand('delete', false, null);
    if (items) joinItems(items, s.anchorNode);
    return done;
}
// A drag of the selection carries what a copy of it puts on the clipboard, never the engine's
// markup with its computed styles, and a mark of its own under dragType: a drop that brings
// the mark back while the page is as it was is the page's own (see dropAt).
const dragType = 'application/x-zandovell-drag';
let dragged = null;               // the mark, the selection dragged, the count of changes then
let drags = 0;
addEventListener('dragstart', function (e) {
    dragged = null;
    if (!e.isTrusted || !e.dataTransfer || !doc.body.isContentEditable || !hasContent()) return;
    collect();
    const c = currentControl(), r = getSelection().getRangeAt(0).cloneRange();
    if (!r.intersectsNode(e.target)) return;
    dragged = { mark: ++drags + '.' + Math.random().toString(36).slice(2), control: c, range: r,
                changes: changes };
    e.dataTransfer.setData('text/html', c ? c.outerHTML : copiedHtml(r));
    if (!c) e.dataTransfer.setData('text/plain', textOf(r));
    e.dataTransfer.setData(dragType, dragged.mark);
}, true);


// ---------------------------------------------------------------- blanks around a drop
// The character beside the point (Node, Offset) on its line, before the point when Back: its
// text node and offset, or null at the line's edge.
function lineOf(n) {
    for (let e = n.nodeType === Node.ELEMENT_NODE ? n : n.parentNode; e && e !== doc.body; e = e.parentNode)
        if (breaking.has(e.localName)) return e;
    return doc.body;
}
function charBeside(node, offset, back) {
    if (node.nodeType === Node.TEXT_NODE && (back ? offset > 0 : offset < node.data.length))
        return [node, back ? offset - 1 : offset];
    const w = doc.createTreeWalker(doc.body, NodeFilter.SHOW_ELEMENT | NodeFilter.SHOW_TEXT);
    let n;
    if (node.nodeType === Node.TEXT_NODE) {
        w.currentNode = node;
        n = back ? w.previousNode() : w.nextNode();
    } else if (back && offset > 0) {
        w.currentNode = node.childNodes[offset - 1];
        while (w.lastChild()) ;
        n = w.currentNode;
    } else if (!back && offset < node.childNodes.length) {
        n = w.currentNode = node.childNodes[offset];
    } else if (back) {
        w.currentNode = node;
        n = w.previousNode();
    } else {
        for (n = node; n && n !== doc.body && !n.nextSibling;) n = n.parentNode;
        n = n && n !== doc.body ? (w.currentNode = n.nextSibling) : null;
    }
    const line = lineOf(node);
    for (; n && n !== doc.body; n = back ? w.previousNode() : w.nextNode()) {
        if (n.nodeType === Node.ELEMENT_NODE) {
            if (breaking.has(n.localName) || hidden.has(n.localName)) return null;
        } else if (n.nodeType === Node.TEXT_NODE && n.data.length) {
            return lineOf(n) === line ? [n, back ? n.data.length - 1 : 0] : null;
        }
    }
    return null;
}
const charIs = (p, pattern) => !!p && pattern.test(p[0].data[p[1]]);
const wordChar = /[\p{L}\p{N}]/u, blankChar = /[ \u00a0]/;
// Where a move took words away: two blanks that meet become one ordinary blank, and a line
// does not begin or end with the blank that stood beside them.
function closeGap(r) {
    const [n, k] = [r.startContainer, r.startOffset];
    const before = charBeside(n, k, true), after = charBeside(n, k, false);
    if (charIs(before, blankChar) && charIs(after, blankChar)) {
        after[0].deleteData(after[1], 1);
        if (before[0].data[before[1]] !== ' ') before[0].replaceData(before[1], 1, ' ');
    } else if (!before && charIs(after, blankChar)) {
        after[0].deleteData(after[1], 1);
    } else if (!after && charIs(before, blankChar)) {
        before[0].deleteData(before[1], 1);
    }
}
// What a drop put between the points Start and End is set apart by a blank from a word it
// touches on its line.
let dropStart = null;
function setApart(start, end) {
    for (const [n, k] of [[end.startContainer, end.startOffset], [start.startContainer, start.startOffset]]) {
        if (!charIs(charBeside(n, k, true), wordChar) || !charIs(charBeside(n, k, false), wordChar)) continue;
        if (n.nodeType === Node.TEXT_NODE) n.insertData(k, ' ');
        else n.insertBefore(doc.createTextNode(' '), n.childNodes[k] || null);
    }
}

// ---------------------------------------------------------------- the primary selection
// The engine gives the primary selection the text of what was selected in the page, without
// its markup. The selection of the page, or the last one it had, brings its markup back when
// that text is its text.
let lastSelected = null;
doc.addEventListener('selectionchange', function () {
    const s = getSelection();
    if (s.rangeCount && !s.isCollapsed && doc.body.contains(s.getRangeAt(0).commonAncestorContainer))
        lastSelected = s.getRangeAt(0).cloneRange();
});
function selectedMarkup(text) {
    const plain = t => t.replace(/\s+/g, ' ').trim();
    const s = getSelection();
    for (const r of [s.rangeCount ? s.getRangeAt(0) : null, lastSelected]) {
        if (!r || r.collapsed || !doc.body.contains(r.commonAncestorContainer)) continue;
        if (plain(textOf(r)) === plain(String(text))) return copiedHtml(r);
    }
    return null;
}

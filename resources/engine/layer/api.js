// ---------------------------------------------------------------- the calls C++ makes
const renamed = { classname: 'class', encoding: 'enctype', htmlfor: 'for' };
function attrName(name) {
    const n = String(name);
    return renamed[n.toLowerCase()] || n;
}
function plain(v) {
    if (v === undefined || v === null) return null;
    if (v instanceof Element) return { h: handle(v) };
    const t = typeof v;
    if (t === 'string' || t === 'number' || t === 'boolean') return v;
    throw new Error('Property value is not a plain value');
}
function propName(name) {
    if (!/^[A-Za-z][A-Za-z0-9]*$/.test(name)) throw new Error('Bad property name');
    return name;
}
function rectOf(el) {
    return [el.offsetLeft, el.offsetTop, el.offsetWidth, el.offsetHeight];
}
function table(n) {
    const t = element(n);
    if (t.localName !== 'table') throw new Error('Not a table');
    return t;
}
// The table of a cell: the row group's parent, or the row's when the row stands in the table
// itself.
function cellPlace(c) {
    const r = c.parentElement;
    let t = r && r.parentElement;
    if (t && t.localName !== 'table') t = t.parentElement;
    if (t && t.localName !== 'table') t = null;
    return [handle(t), t ? t.id : '', handle(r)].concat(rectOf(c));
}
// The columns a table declares, in order: its col elements and its colgroups without any;
// each stands for as many columns as it spans.
function declaredColumns(t) {
    const out = [];
    for (const c of t.children) {
        if (c.localName === 'col') out.push(c);
        if (c.localName !== 'colgroup') continue;
        const cols = [...c.children].filter(e => e.localName === 'col');
        out.push(...(cols.length ? cols : [c]));
    }
    return out;
}
const spanOf = el => Math.max(1, parseInt(el.getAttribute('span'), 10) || 1);
function setSpan(el, span) {
    if (span > 1) el.setAttribute('span', String(span));
    else el.removeAttribute('span');
}
// A new column at column At: it joins the declaration that spans across At, else it gets a col
// of its own beside the column before it (After) or the one after it. Declarations that end
// before At stay as they are.
function insertColumn(t, at, after) {
    const cols = declaredColumns(t);
    let start = 0;
    const ends = cols.map(c => [start, start += spanOf(c)]);
    const across = cols.findIndex((c, k) => ends[k][0] < at && at < ends[k][1]);
    if (across >= 0) return setSpan(cols[across], spanOf(cols[across]) + 1);
    const before = cols.findIndex((c, k) => ends[k][1] === at);
    const next = cols.findIndex((c, k) => ends[k][0] === at);
    const k = after ? (before >= 0 ? before : next) : (next >= 0 ? next : before);
    if (k < 0) return;
    const c = cols[k];
    if (c.localName === 'colgroup') return setSpan(c, spanOf(c) + 1);
    const col = doc.createElement('col');
    if (k === before) c.after(col);
    else c.before(col);
}
// The columns marked in Gone went: the declarations lose them, and a colgroup left without its
// cols goes too.
function deleteColumns(t, gone) {
    let start = 0;
    for (const c of declaredColumns(t)) {
        const span = spanOf(c);
        let lost = 0;
        for (let k = start; k < start + span; ++k) lost += gone[k] ? 1 : 0;
        start += span;
        if (!lost) continue;
        if (lost < span) {
            setSpan(c, span - lost);
            continue;
        }
        const group = c.parentNode;
        c.remove();
        if (group.localName === 'colgroup' && ![...group.children].some(e => e.localName === 'col'))
            group.remove();
    }
}
function row(n) {
    const r = element(n);
    if (r.localName !== 'tr') throw new Error('Not a table row');
    return r;
}

// A rectangle around (x, y), in viewport pixels, over which elementFromPoint keeps answering
// el: inside the box of el that holds the point, clear of its children's boxes and of the
// control outline. Null when that is not cheap to tell.
function sameHit(el, x, y) {
    if (!el || el === doc.documentElement || el.childElementCount > 300) return null;
    let r = [...el.getClientRects()].find(b => b.left <= x && x < b.right && b.top <= y && y < b.bottom);
    if (!r) return null;
    let left = Math.max(r.left, 0), top = Math.max(r.top, 0);
    let right = Math.min(r.right, innerWidth), bottom = Math.min(r.bottom, innerHeight);
    const cut = function (b) {
        if (b.right <= left || b.left >= right || b.bottom <= top || b.top >= bottom) return;
        if (b.left <= x && x < b.right && b.top <= y && y < b.bottom) return;
        // of the four ways to keep the point clear of b, the one that keeps most
        const ways = [];
        if (b.left > x) ways.push([left, top, b.left, bottom]);
        if (b.right <= x) ways.push([b.right, top, right, bottom]);
        if (b.top > y) ways.push([left, top, right, b.top]);
        if (b.bottom <= y) ways.push([left, b.bottom, right, bottom]);
        const area = w => (w[2] - w[0]) * (w[3] - w[1]);
        const best = ways.reduce((a, w) => area(w) > area(a) ? w : a);
        [left, top, right, bottom] = best;
    };
    for (const c of el.children) for (const b of c.getClientRects()) cut(b);
    if (control) {
        const b = control.getBoundingClientRect();
        cut({ left: b.left - handleSize, top: b.top - handleSize,
              right: b.right + handleSize, bottom: b.bottom + handleSize });
    }
    if (right - left < 2 || bottom - top < 2) return null;
    return [left, top, right - left, bottom - top];
}

const api = {
    hello: () => token,
    body: () => handle(doc.body),
    title: () => doc.title,
    hit: function (x, y) {
        const el = doc.elementFromPoint(x, y);
        const t = el === host ? (control || doc.body) : el;
        return [handle(t), t ? t.tagName : '', el === host ? null : sameHit(el, x, y)];
    },
    objectCount: () => objects.size,
    byId: id => handle(doc.getElementById(id)),
    prop: (n, name) => plain(element(n)[propName(name)]),
    setProp: function (n, name, v) {
        const el = element(n);
        if (typeof el[propName(name)] === 'function') throw new Error('Not a property');
        el[name] = v;
    },
    attr: (n, name) => element(n).getAttribute(attrName(name)),
    setAttr: (n, name, v) => element(n).setAttribute(attrName(name), String(v)),
    removeAttr: function (n, name) {
        const el = element(n), a = attrName(name);
        const had = el.hasAttribute(a);
        el.removeAttribute(a);
        return had;
    },
    adjacent: (n, where, html) => element(n).insertAdjacentHTML(where, html),
    adjacentBody: adjacentBody,
    rect: n => rectOf(element(n)),
    parent: n => handle(element(n).parentElement),
    connected: n => object(n).isConnected === true,
    runtimeBg: n => runtimeBg.get(element(n)) || '',
    setRuntimeBg: function (list) {
        const changed = list.map(([n, v]) => {
            const el = element(n);
            if (v) runtimeBg.set(el, String(v)); else runtimeBg.delete(el);
            return el;
        });
        if (!host && !runtimeBg.size) return;
        showHost();
        paintBackgrounds(changed);
    },
    rows: n => [...table(n).rows].map(handle),
    insertRow: (n, i) => handle(table(n).insertRow(i)),
    deleteRow: (n, i) => table(n).deleteRow(i),
    cells: n => [...row(n).cells].map(handle),
    // a header cell (th) when asked, else a data cell
    insertCell: function (n, i, header) {
        const r = row(n);
        if (!header) return handle(r.insertCell(i));
        const c = doc.createElement('th');
        r.insertBefore(c, i < 0 || i >= r.cells.length ? null : r.cells[i]);
        return handle(c);
    },
    deleteCell: (n, i) => row(n).deleteCell(i),
    insertColumn: (n, at, after) => insertColumn(table(n), at, !!after),
    deleteColumns: (n, gone) => deleteColumns(table(n), gone),
    // moves a cell of the page into the row, in front of another cell of it or at its end
    moveCell: function (n, c, before) {
        const r = row(n), cell = element(c), next = before ? element(before) : null;
        if (!/^t[dh]$/.test(cell.localName)) throw new Error('Not a table cell');
        if (next && next.parentNode !== r) throw new Error('Not a cell of the row');
        r.insertBefore(cell, next);
    },
    tableLayout: n => [...table(n).rows].map(r => [handle(r), r.rowIndex,
        [...r.cells].map(c => [handle(c), c.cellIndex, c.rowSpan, c.colSpan]
            .concat(rectOf(c), [runtimeBg.get(c) || '', c.localName === 'th']))]),
    cellPlace: n => cellPlace(element(n)),
    // the innermost cell that holds the element (itself included) with its place; for a part
    // of a table outside its cells (the table, a row), the table alone
    tablePlace: function (n) {
        const el = element(n);
        const at = doc.body.contains(el) ? el.closest('td, th, table') : null;
        if (!at) return [0, 0];
        if (at.localName === 'table') return [0, handle(at), at.id, 0].concat(rectOf(at));
        return [handle(at)].concat(cellPlace(at));
    },
    selType: selectionType,
    selRange: function () {
        const r = selectionRange();
        if (!r) throw new Error('The selection is not a text range');
        return handle(r);
    },
    selControl: () => handle(currentControl()),
    bodyRange: function () {
        const r = doc.createRange();
        r.selectNodeContents(doc.body);
        return handle(r);
    },
    rangeText: n => textOf(range(n)),
    setRangeText: (n, t) => setText(range(n), String(t)),
    rangeHtml: n => htmlOf(range(n)),
    rangeParent: function (n) {
        let c = range(n).commonAncestorContainer;
        if (c.nodeType !== Node.ELEMENT_NODE) c = c.parentElement;
        return handle(c && doc.body.contains(c) ? c : doc.body);
    },
    pasteHtml: function (n, html) {
        const r = range(n);
        insertFragment(r, String(html));
        if (r.fromSelection) showRange(r);
    },
    pasteBody: function (n, json) {
        const r = range(n);
        placeNodes(r, readBody(json)[1]);
        if (r.fromSelection) showRange(r);
    },
    rangeSelect: n => showRange(range(n)),
    rangeScroll: function (n, top) {
        const r = range(n);
        let el = r.startContainer;
        if (el.nodeType !== Node.ELEMENT_NODE) el = el.parentElement;
        if (el) el.scrollIntoView({ block: top ? 'start' : 'end' });
    },
    rangeCommand: function (n, cmd) {
        range(n);
        if (String(cmd).toLowerCase() !== 'unselect') throw new Error('Unsupported command ' + cmd);
        getSelection().removeAllRanges();
        suppressSelection = buttonsHeld !== 0;
        return true;
    },
    rangeMetrics: function (n) {
        const b = range(n).getBoundingClientRect();
        return [Math.round(b.left), Math.round(b.top), Math.round(b.width), Math.round(b.height)];
    },
    newPointer: () => handle(new Pointer()),
    pointersToRange: function (n, a, b) {
        const r = range(n);
        pointer(a).set(r.startContainer, r.startOffset);
        pointer(b).set(r.endContainer, r.endOffset);
    },
    rangeToPointers: function (a, b, n) {
        let p = pointer(a).r, q = pointer(b).r;
        if (p.compareBoundaryPoints(Range.START_TO_START, q) > 0) [p, q] = [q, p];
        const r = range(n);
        r.setStart(p.startContainer, p.startOffset);
        r.setEnd(q.startContainer, q.startOffset);
    },
    pointerTo: (a, b) => pointer(a).set(pointer(b).r.startContainer, pointer(b).r.startOffset),
    pointerMove: (a, unit) => moveUnit(pointer(a), unit),
    pointerCompare: (a, b) => pointer(a).r.compareBoundaryPoints(Range.START_TO_START, pointer(b).r),
    status: ids => ids.map(status),
    exec: exec,
    value: value,
    undoCount: undoUnits,
    redoCount: redoUnits,
    undo: undo,
    redo: redo,
    addGlyphs: function (list) {
        // one glyph per tag and side: a later entry replaces an earlier one
        for (const g of list) {
            const k = glyphs.findIndex(o => o.tag === g.tag && o.close === g.close);
            if (k >= 0) glyphs[k] = g; else glyphs.push(g);
        }
        applyGlyphs();
    },
    emptyGlyphs: function () {
        glyphs.length = 0;
        applyGlyphs();
    },
    selectionContent: function () {
        const c = currentControl();
        if (c) return [c.outerHTML, ''];
        if (!hasContent()) return null;
        const r = getSelection().getRangeAt(0);
        return [copiedHtml(r), textOf(r)];
    },
    deleteSelection: removeSelection,
    insertHtml: function (html, replace) {
        const c = currentControl();
        const r = c ? doc.createRange() : selectionRange();
        if (c && replace !== false) r.selectNode(c);
        else if (c) r.setStartBefore(c);
        insertFragment(r, String(html));
        showRange(r);
    },
    // The caret to the point (X, Y) of the viewport for a drop there: 0 when nothing goes in, 1
    // for a drop from elsewhere, 2 for the page's own drag (its Mark). A Move of the page's own
    // takes what was dragged away first, as a cut does; onto itself it moves nothing. What a
    // drop (Apart) puts in is set apart from the words beside it once it is in (droppedIn).
    dropAt: function (x, y, mark, move, apart) {
        dropStart = null;
        const at = doc.caretRangeFromPoint(x, y);
        if (!at || !doc.body.isContentEditable || !doc.body.contains(at.startContainer)) return 0;
        const d = dragged;
        const own = !!d && d.mark === mark && d.changes === changes &&
                    (d.control ? d.control.isConnected : d.range.startContainer.isConnected);
        if (own) {
            dragged = null;
            if (move && (d.control ? d.control.contains(at.startContainer)
                                   : d.range.isPointInRange(at.startContainer, at.startOffset)))
                return 0;
            if (move) {
                if (d.control) selectControl(d.control);
                else showRange(d.range);
                removeSelection();
                if (!d.control && getSelection().rangeCount) closeGap(getSelection().getRangeAt(0));
            }
        }
        doc.body.focus({ preventScroll: true });
        showRange(at);
        if (apart) dropStart = at.cloneRange();
        return own ? 2 : 1;
    },
    droppedIn: function () {
        const s = getSelection();
        if (dropStart && s.rangeCount && doc.body.contains(dropStart.startContainer))
            setApart(dropStart, s.getRangeAt(0));
        dropStart = null;
    },
    selectedMarkup: selectedMarkup,
    insertText: t => doc.execCommand('insertText', false, String(t)),
    setBody: setBody,
    fetchBody: fetchBody,
    moreBody: moreBody,
    replaceBody: replaceBody,
    insertBody: insertBody,
    echoes: () => echoes,
    // The count of changes, and the body's source unless the count is still Seen: only what
    // changed since Seen where that can be told (see changedParts), else the first piece of
    // the whole and whether more follow (see moreSource).
    bodySource: bodySource,
    moreSource: moreSource,
    // Answers once the page is laid out.
    laidOut: () => doc.body ? doc.body.offsetHeight : 0,
    // Whether what the page holds at the first of these calls has been drawn, which the
    // following calls answer; after a true answer the next call starts again. A page not on
    // the screen draws nothing, so it counts as drawn.
    drawn: function () {
        if (doc.hidden) return true;
        if (drawnState === 2) {
            drawnState = 0;
            return true;
        }
        if (drawnState === 0) {
            drawnState = 1;
            // the second frame begins once the first is drawn
            requestAnimationFrame(() => requestAnimationFrame(() => { drawnState = 2; }));
        }
        return false;
    },
    // The next match after the selection, wrapping at the end; it becomes the selection.
    find: function (text, matchCase) {
        if (!String(text)) return false;
        const found = window.find(String(text), !!matchCase, false, true, false, false, false);
        if (found) currentControl();
        return found;
    },
    // What the designer's controls show after each key and click, in one call: the status of
    // the commands Ids, the values of the commands Values, the selection kind (0 none, 1 an
    // element or a caret, 2 text), the undo units, id and tag of the element Current, and the
    // count of the body's changes.
    state: function (ids, values, current) {
        const t = selectionType();
        let kind = 0;
        if (t === 'Control') kind = 1;
        else if (t === 'Text') kind = textOf(getSelection().getRangeAt(0)) ? 2 : 1;
        const el = objects.get(current);
        return [ids.map(status), values.map(v => status(v) & 1 ? value(v) : null), kind,
                undoUnits(), el instanceof Element ? [el.id, el.tagName] : null, changes];
    },
};

// Calls that only read: they neither cut the undo units nor end a run of typing.
const queries = new Set(['hello', 'body', 'title', 'hit', 'objectCount', 'byId', 'prop', 'attr',
    'rect', 'parent', 'connected', 'runtimeBg', 'rows', 'cells', 'tableLayout', 'cellPlace',
    'tablePlace',
    'selType', 'selRange', 'selControl', 'bodyRange', 'rangeText', 'rangeHtml', 'rangeParent',
    'rangeMetrics', 'newPointer', 'pointersToRange', 'rangeToPointers', 'pointerTo',
    'pointerMove', 'pointerCompare', 'status', 'value', 'undoCount', 'redoCount',
    'selectionContent', 'bodySource', 'moreSource', 'laidOut', 'drawn', 'state', 'echoes']);

// Calls after which the page rules are not kept: replays, and bodies as the document has them
// (loaded, or a whole page written in another view).
const ruleless = new Set(['undo', 'redo', 'setBody', 'fetchBody', 'moreBody', 'replaceBody']);
// Commands that format what is there: they keep its words, in their order, and its links.
const keepsWords = new Set([IDM.BOLD, IDM.ITALIC, IDM.UNDERLINE, IDM.JUSTIFYCENTER, IDM.JUSTIFYLEFT,
                            IDM.JUSTIFYRIGHT, IDM.ORDERLIST, IDM.UNORDERLIST, IDM.INDENT, IDM.OUTDENT,
                            IDM.BLOCKFMT]);
// The page's words, and what each link and named anchor holds of them.
function wordsOfPage() {
    const linked = new Map();
    for (const a of doc.body.querySelectorAll('a[href], a[name]')) {
        const key = (a.getAttribute('href') || '') + '\n' + (a.getAttribute('name') || '');
        linked.set(key, (linked.get(key) || '') + a.textContent.replace(/\s+/g, '') + '\n' +
                        (a.querySelector('img') ? 'img' : ''));
    }
    // the words, apart where blocks or line breaks part them
    const w = doc.createTreeWalker(doc.body, NodeFilter.SHOW_TEXT | NodeFilter.SHOW_ELEMENT);
    let text = '', block = null;
    for (let n = w.nextNode(); n; n = w.nextNode()) {
        if (n.nodeType === Node.ELEMENT_NODE) {
            if (n.localName === 'br') text += ' ';
            continue;
        }
        const box = n.parentNode.closest(lineHolders);
        if (box !== block) text += ' ';
        block = box;
        text += n.data;
    }
    return words(text) + JSON.stringify([...linked].sort());
}
// Calls whose changes may cancel out (bold at a bare caret, a paste of what was selected): they
// leave no step then. An insert cancels out only where it took away what it put in.
const mayChangeNothing = new Map([['exec', 'any'], ['pasteHtml', 'swap'], ['pasteBody', 'swap'],
                                  ['insertHtml', 'swap'], ['insertBody', 'swap'], ['insertText', 'swap']]);

window.zvLayer = {
    call: function (request) {
        const query = queries.has(request.f);
        try {
            if (request.f !== 'hello' && request.t !== token)
                throw new Error('The document has changed');
            release(request.r, request.s);
            const fn = api[request.f];
            if (!fn) throw new Error('Unknown layer call ' + request.f);
            if (query) collect(); else cut();
            const before = pending.length;
            engineRan = false;
            inCall = true;
            const command = request.f === 'exec' ? request.a[0] : null;
            const wordsBefore = keepsWords.has(command) ? wordsOfPage() : null;
            const at = wordsBefore !== null ? textSelection() : null;
            let v;
            try { v = fn.apply(null, request.a || []); } finally { inCall = false; }
            if (!query && !ruleless.has(request.f)) keepRules(before, engineRan, command);
            // a format that would move or lose words or links does nothing
            if (wordsBefore !== null && wordsOfPage() !== wordsBefore) {
                takeBack(before, at);
                v = false;
            }
            collect();
            if (!query || pending.length > before) {
                // what the call changed is a unit of its own, after the open one
                const changed = pending.splice(before);
                cut();
                pending = changed;
                cut(mayChangeNothing.get(request.f));
            }
            if (displayDirty && (host || runtimeBg.size || control)) paint();
            return { ok: true, v: v === undefined ? null : v };
        } catch (e) {
            if (!query) cut();
            return { ok: false, e: String(e && e.message || e) };
        }
    }
};

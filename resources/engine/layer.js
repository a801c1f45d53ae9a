// Page side of the engine layer. Runs in the application world of every design page: the
// page's own scripts never run. C++ reaches it through zvLayer.call(); it reports page events
// through the web channel object "zvBridge".
(function () {
'use strict';
if (window.zvLayer) return;

const doc = document;
const token = Math.random().toString(36).slice(2) + Date.now().toString(36);

// ---------------------------------------------------------------- registry of handles
// Every object handed to C++ (element, text range, markup pointer) gets a number that stays
// the same for as long as C++ holds a handle to it. C++ hands back the numbers it no longer
// holds; a number is dropped only when no notice that C++ has not yet seen names it.
const objects = new Map();
const numbers = new WeakMap();
const noticed = new Map();        // number -> serial of the last notice that named it
let nextNumber = 1;
let noticeSerial = 0;

function handle(obj) {
    if (!obj) return 0;
    let n = numbers.get(obj);
    if (n === undefined) {
        n = nextNumber++;
        numbers.set(obj, n);
        objects.set(n, obj);
    }
    return n;
}
function object(n) {
    const o = objects.get(n);
    if (o === undefined) throw new Error('Unknown handle ' + n);
    return o;
}
function release(list, seen) {
    for (const n of list || []) {
        if ((noticed.get(n) || 0) > (seen || 0)) continue;
        const o = objects.get(n);
        if (o === undefined) continue;
        objects.delete(n);
        numbers.delete(o);
        noticed.delete(n);
    }
}
function element(n) {
    const o = object(n);
    if (!(o instanceof Element)) throw new Error('Handle ' + n + ' is not an element');
    return o;
}
function range(n) {
    const o = object(n);
    if (!(o instanceof Range)) throw new Error('Handle ' + n + ' is not a text range');
    return o;
}
class Pointer {
    constructor() { this.r = doc.createRange(); this.r.setStart(doc.body, 0); }
    set(node, offset) { this.r.setStart(node, offset); this.r.collapse(true); }
}
function pointer(n) {
    const o = object(n);
    if (!(o instanceof Pointer)) throw new Error('Handle ' + n + ' is not a markup pointer');
    return o;
}

// ---------------------------------------------------------------- notifications to C++
let bridge = null;
let waiting = [];
function notify(type, target, info) {
    const t = handle(target);
    const serial = ++noticeSerial;
    if (t) noticed.set(t, serial);
    info = info || {};
    if (target instanceof Element) info.tag = target.tagName;
    if (bridge) bridge.notify(token, type, t, serial, info);
    else waiting.push([type, t, serial, info]);
}
if (window.qt && qt.webChannelTransport) {
    new QWebChannel(qt.webChannelTransport, function (channel) {
        bridge = channel.objects.zvBridge;
        for (const w of waiting) bridge.notify(token, w[0], w[1], w[2], w[3]);
        waiting = null;
    });
}
// The pointer's element may have changed under it: C++ forgets the element it last found.
let movedQueued = false;
function moved() {
    if (movedQueued || !bridge) return;
    movedQueued = true;
    requestAnimationFrame(() => { movedQueued = false; bridge.notify(token, 'moved', 0, 0, {}); });
}
addEventListener('scroll', moved, true);
Object.defineProperty(window, 'external', {
    configurable: true, writable: true,
    value: { Report: function (el) { if (el instanceof Element) notify('report', el); } }
});

// ---------------------------------------------------------------- undo units
// Mutations of the body are recorded and cut into units at every layer call that may change
// the page and at each input event. Typing is the exception: text typed one key after the
// other at the caret stays one unit until the caret moves, another kind of input comes, a call
// changes the page or the user pauses. Undo replays a unit backwards, redo forwards. The
// records since the last cut (pending) are the open unit.
const typingPause = 1000;         // ms between two keys that end a run of typing
let typing = null;                // the open run: its kind and where the caret stood after it
let pending = [];
const undoStack = [];
const redoStack = [];
let textDirty = true;
let changes = 0;                  // counts every change of the body: an unchanged count means
                                  // the body's source read at that count still holds

// The order of each element's attributes as first seen: an attribute that undo or redo puts
// back returns to its place instead of going to the end. A loaded element with two or more
// attributes has it from the start; one with fewer gets it when its attributes first change,
// from what they were before (the one it had, if any, stands first).
const attrOrder = new WeakMap();
function noteOrder(n) {
    if (n.nodeType === Node.ELEMENT_NODE && !attrOrder.has(n))
        attrOrder.set(n, [...n.attributes].map(a => a.name));
}
function noteFirstOrders(records) {
    const changed = new Map();
    for (const r of records) {
        if (r.type !== 'attributes' || attrOrder.has(r.target)) continue;
        if (!changed.has(r.target)) changed.set(r.target, []);
        changed.get(r.target).push(r);
    }
    for (const [el, list] of changed) {
        const names = el.getAttributeNames();
        for (let k = list.length - 1; k >= 0; k--) {
            const name = list[k].attributeName, at = names.indexOf(name);
            if (list[k].oldValue === null) { if (at >= 0) names.splice(at, 1); }
            else if (at < 0) names.unshift(name);
        }
        if (names.length < 2) attrOrder.set(el, names);
    }
}
function restoreOrder(el) {
    const order = attrOrder.get(el);
    if (!order) return;
    const rank = a => { const k = order.indexOf(a.name); return k < 0 ? order.length : k; };
    const now = [...el.attributes];
    const wanted = now.slice().sort((a, b) => rank(a) - rank(b));
    const k = now.findIndex((a, i) => a !== wanted[i]);
    if (k < 0) return;
    const moved = wanted.slice(k).map(a => [a.namespaceURI, a.name, a.value]);
    for (const [ns, name] of moved) el.removeAttributeNS(ns, name.replace(/^.*:/, ''));
    for (const [ns, name, value] of moved) el.setAttributeNS(ns, name, value);
}
function record(r) {
    touch(r.target, r.type);
    if (r.type === 'attributes') {
        const order = attrOrder.get(r.target);
        if (order && !order.includes(r.attributeName)) order.push(r.attributeName);
        if (ownWayAttribute(r.attributeName)) spellers.add(r.target);
        return { type: r.type, target: r.target, ns: r.attributeNamespace, name: r.attributeName,
                 oldValue: r.oldValue, newValue: null };
    }
    if (r.type === 'characterData')
        return { type: r.type, target: r.target, oldValue: r.oldValue, newValue: null };
    for (const n of r.addedNodes) {
        noteOrder(n);
        noteOwnWays(n);
    }
    if (r.target.localName === 'a' && [...r.removedNodes].some(isAnchorPicture)) unpictured.add(r.target);
    return { type: r.type, target: r.target, added: [...r.addedNodes], removed: [...r.removedNodes],
             next: r.nextSibling };
}
// The picture of a named anchor around text stands for the anchor: an anchor whose picture a
// change took away goes too, its text staying where it was, within the same unit.
const unpictured = new Set();
function isAnchorPicture(n) {
    return n.nodeType === Node.ELEMENT_NODE && n.localName === 'img' && n.getAttribute('src') === 'edit:anchor.gif';
}
function take(records) {
    noteFirstOrders(records);
    for (const r of records) pending.push(record(r));
    if (!unpictured.size) return;
    const s = getSelection(), r = s.rangeCount ? s.getRangeAt(0) : null;
    const ends = r && [r.startContainer, r.startOffset, r.endContainer, r.endOffset];
    for (const a of unpictured)
        if (doc.body.contains(a) && ![...a.children].some(isAnchorPicture)) a.replaceWith(...a.childNodes);
    unpictured.clear();
    if (ends && ends[0].isConnected && ends[2].isConnected) selectAgain(...ends);
    take(observer.takeRecords());
}
const observer = new MutationObserver(function (records) {
    take(records);
    textDirty = true;
    changes++;
    repaint();
});
observer.observe(doc.body, { subtree: true, childList: true, attributes: true,
                              attributeOldValue: true, characterData: true,
                              characterDataOldValue: true });

function collect() {
    const records = observer.takeRecords();
    take(records);
    if (records.length) {
        textDirty = displayDirty = true;
        changes++;
    }
}
function cut() {
    collect();
    typing = null;
    if (pending.length) {
        undoStack.push(pending);
        pending = [];
        redoStack.length = 0;
    }
}
function undoUnits() { return undoStack.length + (pending.length ? 1 : 0); }
function redoUnits() { return pending.length ? 0 : redoStack.length; }
function setAttr(target, ns, name, value) {
    if (value === null) target.removeAttributeNS(ns, name);
    else target.setAttributeNS(ns, name, value);
}
// Moved is given when undo puts removed nodes back: a node that a change made outside the page
// had put elsewhere (into a copy of a split element, built before it went in) is noted there
// with its place, so that redo takes it back to that place and the copy holds it again.
function place(r, nodes, moved) {
    const before = r.next && r.next.parentNode === r.target ? r.next : null;
    for (const n of nodes) {
        if (moved && n.parentNode && n.parentNode !== r.target) moved.push([n, n.parentNode, n.nextSibling]);
        r.target.insertBefore(n, before);
    }
}
function unplace(r, nodes) {
    for (let k = nodes.length - 1; k >= 0; k--)
        if (nodes[k].parentNode === r.target) r.target.removeChild(nodes[k]);
}
function revert(r) {
    if (r.type === 'attributes') {
        r.newValue = r.target.getAttributeNS(r.ns, r.name);
        setAttr(r.target, r.ns, r.name, r.oldValue);
        restoreOrder(r.target);
    } else if (r.type === 'characterData') {
        r.newValue = r.target.data;
        r.target.data = r.oldValue;
    } else {
        r.moved = [];
        unplace(r, r.added);
        place(r, r.removed, r.moved);
    }
}
function reapply(r) {
    if (r.type === 'attributes') {
        setAttr(r.target, r.ns, r.name, r.newValue);
        restoreOrder(r.target);
    } else if (r.type === 'characterData') r.target.data = r.newValue;
    else {
        unplace(r, r.removed);
        for (let k = (r.moved || []).length - 1; k >= 0; k--) {
            const [n, parent, next] = r.moved[k];
            parent.insertBefore(n, next && next.parentNode === parent ? next : null);
        }
        place(r, r.added);
    }
}
// After a replay the caret goes where the last change was made.
function caretAt(r) {
    let node = r.target, offset;
    if (!node.isConnected || !doc.body.contains(node)) return;
    if (node.nodeType === Node.TEXT_NODE) offset = node.data.length;
    else if (r.type === 'childList' && r.next && r.next.parentNode === node)
        offset = Array.prototype.indexOf.call(node.childNodes, r.next);
    else offset = node.childNodes.length;
    const s = getSelection();
    s.removeAllRanges();
    const c = doc.createRange();
    c.setStart(node, offset);
    s.addRange(c);
}
function replay(unit, backwards) {
    if (backwards) for (let k = unit.length - 1; k >= 0; k--) revert(unit[k]);
    else for (const r of unit) reapply(r);
    observer.takeRecords();
    for (const r of unit) touch(r.target, r.type);
    textDirty = displayDirty = true;
    changes++;
    control = null;
    caretAt(backwards ? unit[0] : unit[unit.length - 1]);
}
function undo() {
    const unit = undoStack.pop();
    if (!unit) return false;
    replay(unit, true);
    redoStack.push(unit);
    return true;
}
function redo() {
    const unit = redoStack.pop();
    if (!unit) return false;
    replay(unit, false);
    undoStack.push(unit);
    return true;
}

// ---------------------------------------------------------------- display-only layer
// Runtime backgrounds, the control-selection outline and the resize handles are drawn in a
// closed shadow tree outside the body; tag glyphs come from an adopted style sheet. None of
// it is part of the body's markup.
const runtimeBg = new Map();
let control = null;
let resizing = null;
let host = null, shadow = null;
let bgLayer = null, controlLayer = null;
const bgBoxes = new Map();        // element -> the box that shows its runtime background
let displayDirty = false;         // the layout may have moved under the display

function pageRect(el) {
    const r = el.getBoundingClientRect();
    return { left: r.left + scrollX, top: r.top + scrollY, width: r.width, height: r.height };
}
function setBox(d, cssText, rect) {
    d.style.cssText = 'position:absolute;box-sizing:border-box;' + cssText + ';left:' + rect.left +
                      'px;top:' + rect.top + 'px;width:' + rect.width + 'px;height:' + rect.height + 'px';
}
function box(cssText, rect) {
    const d = doc.createElement('div');
    setBox(d, cssText, rect);
    controlLayer.appendChild(d);
    return d;
}
function resizable(el) {
    return (el.localName === 'img' || el.localName === 'table') && !el.hasAttribute('onresize');
}
const handleSize = 7;
const handleEdges = [[-1, -1], [0, -1], [1, -1], [-1, 0], [1, 0], [-1, 1], [0, 1], [1, 1]];

function showHost() {
    if (!host) {
        host = doc.createElement('zv-display');
        // no stacking context of its own: the background boxes blend with the page as one
        // layer, so that text and cell colours show through; the outline stays on top
        host.style.cssText = 'all:initial;position:absolute;left:0;top:0;width:0;height:0;' +
                             'overflow:visible;pointer-events:none';
        shadow = host.attachShadow({ mode: 'closed' });
        bgLayer = doc.createElement('div');
        bgLayer.style.cssText = 'position:absolute;left:0;top:0;mix-blend-mode:multiply';
        controlLayer = doc.createElement('div');
        controlLayer.style.cssText = 'position:absolute;left:0;top:0;z-index:2147483647';
        shadow.append(bgLayer, controlLayer);
    }
    if (host.parentNode !== doc.documentElement) doc.documentElement.appendChild(host);
}
// Puts the background boxes of the given elements (of all when none are given) where the
// elements are now: every position is read before any box changes.
function paintBackgrounds(elements) {
    const list = elements ? [...new Set(elements)] : [...new Set([...runtimeBg.keys(), ...bgBoxes.keys()])];
    const rects = list.map(el => runtimeBg.has(el) && el.isConnected ? pageRect(el) : null);
    list.forEach(function (el, k) {
        let d = bgBoxes.get(el);
        if (!rects[k]) {
            if (d) d.remove();
            bgBoxes.delete(el);
            if (!el.isConnected) runtimeBg.delete(el);
            return;
        }
        if (!d) {
            d = doc.createElement('div');
            bgLayer.appendChild(d);
            bgBoxes.set(el, d);
        }
        setBox(d, '', rects[k]);
        d.style.background = runtimeBg.get(el);
    });
}
function paint() {
    displayDirty = false;
    if (!host && !runtimeBg.size && !control) return;
    showHost();
    paintBackgrounds(null);
    controlLayer.replaceChildren();
    if (control && !control.isConnected) control = null;
    if (control) {
        const r = resizing ? resizing.rect : pageRect(control);
        box('border:1px solid #000;outline:1px dotted #fff;pointer-events:none', r);
        if (resizable(control) && !resizing) {
            for (const [ex, ey] of handleEdges) {
                const h = box('border:1px solid #000;background:#fff;pointer-events:auto;cursor:' +
                              cursorOf(ex, ey), {
                    left: r.left + (ex + 1) * r.width / 2 - (handleSize >> 1),
                    top: r.top + (ey + 1) * r.height / 2 - (handleSize >> 1),
                    width: handleSize, height: handleSize });
                h.addEventListener('mousedown', e => startResize(e, ex, ey), true);
            }
        }
    }
}
function cursorOf(ex, ey) {
    if (ex === 0) return 'ns-resize';
    if (ey === 0) return 'ew-resize';
    return ex === ey ? 'nwse-resize' : 'nesw-resize';
}
let paintQueued = false;
let drawnState = 0;               // of the call drawn: 1 while it waits for two frames, 2 after
function repaint() {
    displayDirty = true;
    if (paintQueued || (!host && !runtimeBg.size && !control)) return;
    paintQueued = true;
    requestAnimationFrame(() => { paintQueued = false; paint(); });
}
addEventListener('resize', repaint);
addEventListener('load', repaint, true);
// a form of the page is edited, never sent: its submit button or Enter in one of its fields
// would take the view away from the document
addEventListener('submit', e => e.preventDefault(), true);
new ResizeObserver(function () { repaint(); moved(); }).observe(doc.body);

function startResize(e, ex, ey) {
    if (e.button !== 0 || !control) return;
    e.preventDefault();
    e.stopPropagation();
    const el = control;
    const r = pageRect(el);
    resizing = { el: el, ex: ex, ey: ey, x: e.clientX, y: e.clientY, start: r,
                 rect: Object.assign({}, r) };
    paint();
}
function trackResize(e) {
    const z = resizing, s = z.start;
    const dx = (e.clientX - z.x) * z.ex, dy = (e.clientY - z.y) * z.ey;
    const w = Math.max(1, s.width + dx), h = Math.max(1, s.height + dy);
    z.rect = { left: z.ex < 0 ? s.left + s.width - w : s.left, width: w,
               top: z.ey < 0 ? s.top + s.height - h : s.top, height: h };
    paint();
}
function endResize() {
    const z = resizing;
    resizing = null;
    const el = z.el;
    const cs = getComputedStyle(el);
    // width and height attributes of an img give its content box, those of a table its border box
    const inner = el.localName === 'img'
        ? parseFloat(cs.borderLeftWidth) + parseFloat(cs.borderRightWidth) +
          parseFloat(cs.paddingLeft) + parseFloat(cs.paddingRight) : 0;
    const innerH = el.localName === 'img'
        ? parseFloat(cs.borderTopWidth) + parseFloat(cs.borderBottomWidth) +
          parseFloat(cs.paddingTop) + parseFloat(cs.paddingBottom) : 0;
    const sizes = [];
    if (z.ex) sizes.push(['width', String(Math.max(1, Math.round(z.rect.width - inner)))]);
    if (z.ey) sizes.push(['height', String(Math.max(1, Math.round(z.rect.height - innerH)))]);
    // a click or a double click on a handle, or a drag back to where it began, changes nothing
    const moved = z.rect.width !== z.start.width || z.rect.height !== z.start.height;
    const changes = moved ? sizes.filter(([name, v]) => el.getAttribute(name) !== v) : [];
    if (!changes.length) {
        paint();
        return;
    }
    cut();
    for (const [name, v] of changes) el.setAttribute(name, v);
    cut();
    paint();
    // the handler the design document puts there is external.Report(this)
    if (el.hasAttribute('onresizeend')) notify('report', el);
}

// ---------------------------------------------------------------- control selection
function isControl(el) {
    switch (el.localName) {
    case 'img': case 'input': case 'select': case 'textarea': case 'button': case 'table':
        return doc.body.contains(el) && el !== doc.body;
    }
    return false;
}
function wraps(el) {
    const s = getSelection();
    if (s.rangeCount !== 1 || !el.parentNode) return false;
    const r = s.getRangeAt(0);
    const i = Array.prototype.indexOf.call(el.parentNode.childNodes, el);
    return r.startContainer === el.parentNode && r.startOffset === i &&
           r.endContainer === el.parentNode && r.endOffset === i + 1;
}
function selectControl(el) {
    if (doc.body.isContentEditable) doc.body.focus({ preventScroll: true });
    const r = doc.createRange();
    r.selectNode(el);
    const s = getSelection();
    s.removeAllRanges();
    s.addRange(r);
    control = el;
    paint();
}
function currentControl() {
    if (control && (!control.isConnected || !wraps(control))) {
        control = null;
        repaint();
    }
    return control;
}
doc.addEventListener('selectionchange', function () {
    if (suppressSelection && getSelection().rangeCount) getSelection().removeAllRanges();
    if (control && !resizing) currentControl();
});

// ---------------------------------------------------------------- page events
let suppressSelection = false;   // set by "Unselect" while a button is down
let buttonsHeld = 0;
function eventInfo(e) {
    const info = { shift: e.shiftKey, ctrl: e.ctrlKey, alt: e.altKey };
    if ('button' in e) {
        info.button = e.button; info.buttons = e.buttons; info.x = e.clientX; info.y = e.clientY;
    }
    if ('keyCode' in e) info.keyCode = e.keyCode || e.charCode || 0;
    return info;
}
// A choice stands for its select: the page edits a select whole.
function controlOf(el) {
    const select = el instanceof Element && (el.localName === 'option' || el.localName === 'optgroup')
        ? el.closest('select') : null;
    return select || el;
}
function isListBox(el) {
    return el instanceof Element && el.localName === 'select' && (el.multiple || el.size > 1);
}
function target(e) {
    return e.target === host ? (control || doc.body) : controlOf(e.target);
}
// Tab in a table cell selects what the next cell holds (Shift+Tab the cell before); in the
// last cell it stays. Elsewhere it goes on as usual, but no form field of the page takes the
// focus: the caret goes in front of the field instead, and typing stays in the page's text.
addEventListener('keydown', function (e) {
    if (e.key !== 'Tab' || e.ctrlKey || e.altKey || e.metaKey || !doc.body.isContentEditable) return;
    const s = getSelection();
    const from = s.rangeCount ? s.getRangeAt(0).startContainer : null;
    const el = from && (from.nodeType === Node.ELEMENT_NODE ? from : from.parentNode);
    const cell = el && el.closest('td, th');
    if (!cell || !doc.body.contains(cell)) return;
    e.preventDefault();
    const table = cell.closest('table');
    const cells = [...table.querySelectorAll('td, th')].filter(c => c.closest('table') === table);
    const next = cells[cells.indexOf(cell) + (e.shiftKey ? -1 : 1)];
    if (!next) return;
    const r = doc.createRange();
    r.selectNodeContents(next);
    s.removeAllRanges();
    s.addRange(r);
}, true);
addEventListener('focusin', function (e) {
    const el = e.target;
    if (!(el instanceof Element) || !isControl(el) || el.localName === 'table' ||
        !doc.body.isContentEditable)
        return;
    doc.body.focus({ preventScroll: true });
    getSelection().collapse(el.parentNode, Array.prototype.indexOf.call(el.parentNode.childNodes, el));
}, true);
// The browser's echo after the input it sent: the release of F24 with every modifier held.
// Counted here, and seen by nothing else.
let echoes = 0;
addEventListener('keyup', function (e) {
    if (!e.isTrusted || e.keyCode !== 135 || !(e.ctrlKey && e.altKey && e.shiftKey && e.metaKey))
        return;
    echoes++;
    e.stopImmediatePropagation();
}, true);
for (const type of ['mousedown', 'mousemove', 'mouseup', 'mouseout', 'mouseover', 'click',
                    'dblclick', 'keydown', 'keyup', 'keypress', 'contextmenu']) {
    addEventListener(type, function (e) {
        if ('buttons' in e) buttonsHeld = e.buttons;
        if (type === 'mousedown') pressed(e);
        else if (resizing && type === 'mousemove') trackResize(e);
        else if (type === 'mouseup') {
            // the drag may have selected more after the last selectionchange was handled
            if (suppressSelection && getSelection().rangeCount) getSelection().removeAllRanges();
            suppressSelection = false;
            if (resizing) endResize();
        } else if (type === 'contextmenu') {
            e.preventDefault();
        }
        const t = target(e);
        if (!(t instanceof Element)) return;
        // a list box keeps a double click to itself: the second press stands for it
        if (type === 'dblclick' && isListBox(t)) return;
        notify(type, t, eventInfo(e));
        if (type === 'mousedown' && e.detail === 2 && isListBox(t)) notify('dblclick', t, eventInfo(e));
    }, true);
}
function pressed(e) {
    if (e.target === host) return;
    const el = controlOf(e.target);
    if (el instanceof Element && isControl(el) && (el.localName !== 'table' || e.button === 0)) {
        e.preventDefault();
        selectControl(el);
    } else if (control) {
        control = null;
        repaint();
    }
    if (e.button === 0 && !e.shiftKey && (el === doc.body || el === doc.documentElement)) caretBelowTable(e);
}
// A click below a table that ends the page puts the caret after it; the engine would put it
// in front of the table when the cells hold no text.
function caretBelowTable(e) {
    const last = doc.body.lastChild;
    if (!last || last.localName !== 'table' || !doc.body.isContentEditable ||
        e.clientY <= last.getBoundingClientRect().bottom)
        return;
    e.preventDefault();
    doc.body.focus({ preventScroll: true });
    getSelection().collapse(doc.body, doc.body.childNodes.length);
}
function typingKind(inputType) {
    switch (inputType) {
    case 'insertText': case 'insertCompositionText': case 'insertParagraph':
    case 'insertLineBreak':
        return 'insert';
    case 'deleteContentBackward': case 'deleteContentForward':
        return 'delete';
    }
    return null;
}
function caretIs(node, offset) {
    const s = getSelection();
    return s.rangeCount === 1 && s.isCollapsed && s.anchorNode === node && s.anchorOffset === offset;
}
addEventListener('beforeinput', function (e) {
    if (e.inputType === 'historyUndo' || e.inputType === 'historyRedo') {
        e.preventDefault();
        return;
    }
    const kind = typingKind(e.inputType);
    const goesOn = typing && kind === typing.kind && e.timeStamp - typing.time < typingPause &&
                   caretIs(typing.node, typing.offset);
    if (!goesOn) cut();
    if (kind) typing = { kind: kind, node: null, offset: 0, time: e.timeStamp };
    if (e.inputType === 'insertParagraph') wrapLooseText();
    const s = getSelection();
    joining = s.rangeCount && (e.inputType.startsWith('delete') || !s.isCollapsed) ? itemsAround(s.getRangeAt(0)) : null;
}, true);
// Enter in text that stands loose in the body: the engine would carry what follows up to the
// body's end (a table too) into the new paragraph, so the text gets a paragraph of its own first.
function wrapLooseText() {
    const s = getSelection();
    if (!s.rangeCount) return;
    let n = s.getRangeAt(0).startContainer;
    for (; n && n !== doc.body; n = n.parentNode)
        if (n.nodeType === Node.ELEMENT_NODE && getComputedStyle(n).display !== 'inline') return;
    if (n === doc.body && doc.body.textContent.trim()) doc.execCommand('formatBlock', false, 'p');
}
addEventListener('input', function (e) {
    if (joining) joinItems(joining, getSelection().anchorNode);
    joining = null;
    if (!typing) return;
    const s = getSelection();
    typing.node = s.rangeCount ? s.anchorNode : null;
    typing.offset = s.rangeCount ? s.anchorOffset : 0;
    typing.time = e.timeStamp;
}, true);

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

// ---------------------------------------------------------------- selection and ranges
function selectionType() {
    if (currentControl()) return 'Control';
    const s = getSelection();
    if (!s.rangeCount) return 'None';
    const c = s.getRangeAt(0).commonAncestorContainer;
    return doc.body.contains(c) ? 'Text' : 'None';
}
function selectionRange() {
    const t = selectionType();
    if (t === 'Control') return null;
    const r = t === 'Text' ? getSelection().getRangeAt(0).cloneRange() : doc.createRange();
    if (t === 'None') r.setStart(doc.body, 0);
    r.fromSelection = true;
    return r;
}
function editable() {
    const t = selectionType();
    return t !== 'None' && doc.body.isContentEditable;
}
function showRange(r) {
    const s = getSelection();
    s.removeAllRanges();
    s.addRange(r.cloneRange());
    control = null;
    repaint();
}
// Blocks that a paragraph or heading cannot hold; the saved page would end the paragraph at
// them, and its rest would lose it.
const blockNames = new Set(['table', 'form', 'hr', 'div', 'p', 'ul', 'ol', 'dl', 'pre', 'blockquote',
                            'address', 'center', 'fieldset', 'h1', 'h2', 'h3', 'h4', 'h5', 'h6']);
const paragraphNames = new Set(['p', 'h1', 'h2', 'h3', 'h4', 'h5', 'h6']);
// Items and the lists that hold them.
const itemLists = new Map([['li', ['ol', 'ul']], ['dt', ['dl']], ['dd', ['dl']]]);
const isList = n => n.nodeType === Node.ELEMENT_NODE && ['ol', 'ul', 'dl'].includes(n.localName);
// Whether N is an item that List (a list element) may hold.
const belongsTo = (n, list) => n.nodeType === Node.ELEMENT_NODE && itemLists.has(n.localName) &&
                            itemLists.get(n.localName).includes(list.localName);
const isItem = n => !!n.parentNode && belongsTo(n, n.parentNode);
const tableParts = new Set(['table', 'tbody', 'thead', 'tfoot', 'tr']);
const blank = n => n.nodeType === Node.COMMENT_NODE || (n.nodeType === Node.TEXT_NODE && !n.data.trim());
const emptyBox = el => !el.textContent.trim() &&
    !el.querySelector('img, input, select, textarea, button, object, embed, iframe, hr, table');
// Splits everything from the collapsed range's container up to Top at the range: what follows
// goes into copies (without their ids) after Top, and the range comes between the two halves;
// an empty half goes. Gives the copy of Top when it stays.
function splitUpTo(r, top) {
    let depth = 0;
    for (let n = r.startContainer; n !== top; n = n.parentNode) depth += n.nodeType === Node.ELEMENT_NODE;
    const tail = doc.createRange();
    tail.setStart(r.startContainer, r.startOffset);
    tail.setEnd(top, top.childNodes.length);
    const rest = top.cloneNode(false);
    rest.removeAttribute('id');
    rest.append(tail.extractContents());
    // the copies of the elements split on the way down are the first children
    for (let c = rest.firstElementChild; c && depth--; c = c.firstElementChild) c.removeAttribute('id');
    top.after(rest);
    if (emptyBox(rest)) rest.remove();
    if (emptyBox(top)) {
        r.setStartBefore(top);
        top.remove();
    } else {
        r.setStartAfter(top);
    }
    r.collapse(true);
    return rest.isConnected ? rest : null;
}
// The list item (li, dt or dd) at the caret of R, outside any cell inside it.
function caretItem(r) {
    for (let n = r.startContainer; n && n !== doc.body; n = n.parentNode) {
        if (n.nodeType !== Node.ELEMENT_NODE) continue;
        if (isList(n)) return null;
        if (isItem(n)) return n;
        if (['td', 'th', 'caption'].includes(n.localName)) return null;
    }
    return null;
}
// Runs of loose items (no list around them) go into a list of their kind.
function wrapLooseItems(frag) {
    let list = null;
    for (const n of [...frag.childNodes]) {
        const kind = n.nodeType === Node.ELEMENT_NODE && itemLists.get(n.localName);
        if (kind && (!list || !kind.includes(list.localName))) {
            list = doc.createElement(kind[kind.length - 1]);
            n.before(list);
        }
        if (kind) list.append(n);
        else if (!blank(n)) list = null;
        else if (list) list.append(n);
    }
}
// Makes room at the collapsed range R for what Frag holds. List items pasted into an item of a
// list of their kind become items of that list: the item is split at the caret and they come
// between its halves (a list around them gives way). Blocks split the paragraphs and inline
// elements around the caret up to the element that can hold them. The caret never stays
// directly in a list or a table.
function makeRoomForBlocks(r, frag) {
    const item = caretItem(r);
    if (item) {
        const list = item.parentNode, top = [...frag.childNodes].filter(n => !blank(n));
        const lists = top.filter(isList);
        const items = top.filter(n => !isList(n)).concat(lists.flatMap(l => [...l.childNodes].filter(n => !blank(n))));
        if (top.length && items.every(n => belongsTo(n, list))) {
            for (const l of lists) l.replaceWith(...l.childNodes);
            splitUpTo(r, item);
            return;
        }
    }
    wrapLooseItems(frag);
    let at = r.startContainer.nodeType === Node.ELEMENT_NODE ? r.startContainer : r.startContainer.parentNode;
    // inside a table but in no cell: in front of the table
    const table = tableParts.has(at.localName) && at.closest('table');
    if (table) {
        r.setStartBefore(table);
        r.collapse(true);
        at = table.parentNode;
    }
    if ([...frag.childNodes].some(n => n.nodeType === Node.ELEMENT_NODE && blockNames.has(n.localName))) {
        let holder = null;
        for (let n = at; n && n !== doc.body; n = n.parentNode) {
            if (!paragraphNames.has(n.localName) && n.localName !== 'pre' && n.localName !== 'address' &&
                getComputedStyle(n).display !== 'inline')
                break;
            holder = n;
        }
        if (holder) {
            splitUpTo(r, holder);
            at = r.startContainer;
        }
    }
    // what is no item of the list it goes into becomes one
    if (isList(at)) {
        let box = null;
        for (const n of [...frag.childNodes]) {
            if (belongsTo(n, at)) {
                box = null;
            } else if (box || !blank(n)) {
                if (!box) n.before(box = doc.createElement(at.localName === 'dl' ? 'dd' : 'li'));
                box.append(n);
            }
        }
    }
}
// The lone <br> that holds an empty block open gives way to what goes into the block.
function dropPlaceholder(r, frag) {
    const box = r.startContainer;
    if (!frag.firstChild || box.nodeType !== Node.ELEMENT_NODE || box === doc.body ||
        box.childNodes.length !== 1 || box.firstChild.localName !== 'br')
        return;
    box.firstChild.remove();
    r.setStart(box, 0);
    r.collapse(true);
}
// Links never nest; a named anchor counts as a link, and so does the picture that stands for
// an empty one. What goes in at the edge of a link goes beside it: before it at its start,
// after it at its end. What holds a link splits a link it goes into the middle of; the second
// half keeps the attributes but the id and the name, and an anchor left with none gives way to
// its content.
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
function keepLinksApart(r, frag) {
    const bringsLink = [...frag.querySelectorAll('a, img')].some(n => n.localName === 'a' || isAnchorPicture(n));
    for (let n = r.startContainer; n && n !== doc.body;) {
        const link = n.localName === 'a';
        if (link && atEdge(r, n, false)) {
            r.setStartBefore(n);
        } else if (link && atEdge(r, n, true)) {
            r.setStartAfter(n);
        } else if (link && bringsLink) {
            const rest = splitUpTo(r, n);
            if (rest) rest.removeAttribute('name');
            if (rest && !rest.attributes.length) rest.replaceWith(...rest.childNodes);
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
    keepLinksApart(r, frag);
    makeRoomForBlocks(r, frag);
    const last = frag.lastChild;
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

// ---------------------------------------------------------------- commands
const IDM = { BACKCOLOR: 51, BOLD: 52, FORECOLOR: 55, ITALIC: 56, JUSTIFYCENTER: 57,
              JUSTIFYLEFT: 59, JUSTIFYRIGHT: 60, UNDERLINE: 63, COPY: 15, CUT: 16,
              FONTNAME: 18, FONTSIZE: 19, PASTE: 26, REDO: 29, UNDO: 43, FIND: 67,
              HYPERLINK: 2124, UNLINK: 2125, ORDERLIST: 2184, UNORDERLIST: 2185,
              INDENT: 2186, OUTDENT: 2187, GETBLOCKFMTS: 2233, BLOCKFMT: 2234,
              EMPTYGLYPHTABLE: 2336, ADDTOGLYPHTABLE: 2337 };
const toggles = { 52: 'bold', 56: 'italic', 63: 'underline', 57: 'justifyCenter',
                  59: 'justifyLeft', 60: 'justifyRight', 2184: 'insertOrderedList',
                  2185: 'insertUnorderedList' };
const actions = { 2186: 'indent', 2187: 'outdent', 2125: 'unlink', 51: 'backColor',
                  55: 'foreColor', 18: 'fontName', 19: 'fontSize', 2124: 'createLink' };
const blockFormats = [['Normal', 'p'], ['Formatted', 'pre'], ['Address', 'address'],
    ['Heading 1', 'h1'], ['Heading 2', 'h2'], ['Heading 3', 'h3'], ['Heading 4', 'h4'],
    ['Heading 5', 'h5'], ['Heading 6', 'h6'], ['Numbered List', 'ol'], ['Bulleted List', 'ul'],
    ['Definition Term', 'dt'], ['Definition', 'dd']];

// The blocks of the selection made tag blocks; each new block keeps the attributes (id,
// class, style ...) of the block it replaced.
function formatBlocks(tag) {
    const tags = blockFormats.map(b => b[1]).filter(t => t !== 'ol' && t !== 'ul');
    const blocksOf = range => Array.from(doc.body.querySelectorAll(tags.join(',')))
        .filter(el => range.intersectsNode(el) && !tags.some(t => el.querySelector(t)));
    const sel = getSelection();
    const before = sel.rangeCount ? blocksOf(sel.getRangeAt(0)) : [];
    const done = doc.execCommand('formatBlock', false, tag);
    const replaced = before.filter(el => !el.isConnected);
    const made = sel.rangeCount ? blocksOf(sel.getRangeAt(0)).filter(el => !before.includes(el)) : [];
    if (replaced.length === made.length)
        replaced.forEach((old, k) => {
            for (const a of old.attributes)
                if (!made[k].hasAttribute(a.name)) made[k].setAttribute(a.name, a.value);
        });
    return done;
}

function hasContent() {
    const t = selectionType();
    return t === 'Control' || (t === 'Text' && !getSelection().getRangeAt(0).collapsed);
}
function status(id) {
    const supported = 1, enabled = 2, latched = 4;
    if (id in toggles) {
        const e = editable();
        return supported | (e && doc.queryCommandEnabled(toggles[id]) ? enabled : 0) |
               (e && doc.queryCommandState(toggles[id]) ? latched : 0);
    }
    if (id in actions) return supported | (editable() ? enabled : 0);
    switch (id) {
    case IDM.UNDO: return supported | (undoUnits() ? enabled : 0);
    case IDM.REDO: return supported | (redoUnits() ? enabled : 0);
    case IDM.COPY: return supported | (hasContent() ? enabled : 0);
    case IDM.CUT: return supported | (hasContent() && editable() ? enabled : 0);
    case IDM.PASTE: case IDM.BLOCKFMT: case IDM.GETBLOCKFMTS:
        return supported | (editable() ? enabled : 0);
    case IDM.FIND: case IDM.EMPTYGLYPHTABLE: case IDM.ADDTOGLYPHTABLE:
        return supported | enabled;
    }
    return 0;
}
function blockFormatOf(name) {
    const n = String(name).trim().toLowerCase().replace(/^<(.*)>$/, '$1');
    for (const [display, tag] of blockFormats)
        if (display.toLowerCase() === n || tag === n) return tag;
    return null;
}
// An empty colour takes the text colour (or the background) off the selection: from the
// elements around it and those inside it; a font or span left bare goes.
function removeColor(back) {
    const s = getSelection();
    if (!s.rangeCount) return false;
    const r = s.getRangeAt(0);
    let root = r.commonAncestorContainer;
    if (root.nodeType !== Node.ELEMENT_NODE) root = root.parentNode;
    const found = [];
    for (let n = root; n && n !== doc.body && n.nodeType === Node.ELEMENT_NODE; n = n.parentNode)
        found.push(n);
    for (const e of root.querySelectorAll('*')) if (r.intersectsNode(e)) found.push(e);
    let changed = false;
    for (const e of found) {
        if (!back && e.localName === 'font' && e.hasAttribute('color')) {
            e.removeAttribute('color');
            changed = true;
        }
        const property = back ? 'background-color' : 'color';
        if (e.style && e.style.getPropertyValue(property)) {
            e.style.removeProperty(property);
            if (!e.getAttribute('style')) e.removeAttribute('style');
            changed = true;
        }
        if ((e.localName === 'font' || e.localName === 'span') && !e.attributes.length) {
            while (e.firstChild) e.parentNode.insertBefore(e.firstChild, e);
            e.remove();
        }
    }
    return changed;
}
function exec(id, input) {
    if (!editable()) return false;
    if ((id === IDM.FORECOLOR || id === IDM.BACKCOLOR) && (input === null || input === undefined || input === ''))
        return removeColor(id === IDM.BACKCOLOR);
    if (id === IDM.ORDERLIST || id === IDM.UNORDERLIST) return makeList(toggles[id]);
    if (id in toggles) return doc.execCommand(toggles[id], false, null);
    if (id === IDM.BLOCKFMT) {
        const tag = blockFormatOf(input);
        if (tag === null) throw new Error('Unknown block format "' + input + '"');
        if (tag === 'ol' || tag === 'ul') {
            const cmd = tag === 'ol' ? 'insertOrderedList' : 'insertUnorderedList';
            return doc.queryCommandState(cmd) || makeList(cmd);
        }
        return formatBlocks(tag);
    }
    if (id === IDM.FONTSIZE) {
        const size = Math.min(7, Math.max(1, parseInt(input, 10) || 1));
        return doc.execCommand('fontSize', false, String(size));
    }
    if (id === IDM.UNLINK && !widenToLink()) return false;
    if (id === IDM.INDENT && indentItems()) return true;
    if (id === IDM.OUTDENT && (outdentItems() || outdentTerms())) return true;
    if (id === IDM.INDENT || id === IDM.OUTDENT) return nestLists(doc.execCommand(actions[id], false, null));
    if (id in actions)
        return doc.execCommand(actions[id], false, input === null || input === undefined
                                                    ? null : String(input));
    throw new Error('Command ' + id + ' is not supported here');
}
// A list made of the selection. Terms and definitions become its items themselves; the engine
// makes items of the rest of the selection, one part of it at a time, and they join them in
// one list.
function makeList(cmd) {
    const made = termsToItems(cmd === 'insertOrderedList' ? 'ol' : 'ul');
    if (!made.length) return liftLists(doc.execCommand(cmd, false, null));
    const s = getSelection();
    let [sc, so, ec, eo] = rangeEnds(s.getRangeAt(0));
    // the parts of the selection before, between and after the lists made
    const parts = [];
    let after = null;
    for (const list of [...made.filter(l => !made.some(o => o !== l && o.contains(l))), null]) {
        const part = doc.createRange();
        if (after) part.setStartAfter(after);
        else part.setStart(sc, so);
        if (list) part.setEndBefore(list);
        else part.setEnd(ec, eo);
        parts.push(part);
        after = list;
    }
    parts.forEach((part, k) => {
        if (part.collapsed || ![...textsIn(part)].some(n => n.data.trim())) return;
        s.removeAllRanges();
        s.addRange(part);
        liftLists(doc.execCommand(cmd, false, null));
        // the selection ends where the engine left the ends of its first and last part
        const now = rangeEnds(s.getRangeAt(0));
        if (k === 0) [sc, so] = now;
        if (k === parts.length - 1) [ec, eo] = now.slice(2);
    });
    selectAgain(sc, so, ec, eo);
    joinLists(made);
    return true;
}
const rangeEnds = r => [r.startContainer, r.startOffset, r.endContainer, r.endOffset];
// The text nodes that R reaches.
function* textsIn(r) {
    const w = doc.createTreeWalker(r.commonAncestorContainer, NodeFilter.SHOW_TEXT);
    let seen = false;
    for (let n = w.currentNode.nodeType === Node.TEXT_NODE ? w.currentNode : w.nextNode(); n; n = w.nextNode())
        if (r.intersectsNode(n)) {
            seen = true;
            yield n;
        } else if (seen) return;
}
// Each of Lists joins the selected lists of its kind right before and after it.
function joinLists(lists) {
    const r = getSelection().getRangeAt(0);
    const [sc, so, ec, eo] = rangeEnds(r);
    const sibling = (n, way) => {
        do n = n[way]; while (n && blank(n));
        return n;
    };
    for (let list of lists) {
        if (!list.isConnected) continue;
        const before = sibling(list, 'previousSibling');
        if (before && before.localName === list.localName && r.intersectsNode(before)) {
            before.append(...list.childNodes);
            list.remove();
            list = before;
        }
        const after = sibling(list, 'nextSibling');
        if (after && after.localName === list.localName && r.intersectsNode(after)) {
            list.append(...after.childNodes);
            after.remove();
        }
    }
    selectAgain(sc, so, ec, eo);
}
// The ends of R moved into the text next to them, where there is text in R: such ends stay
// valid while the elements around them move.
function textEnds(r) {
    const at = rangeEnds(r);
    if (at[0].nodeType === Node.TEXT_NODE && at[2].nodeType === Node.TEXT_NODE) return at;
    const texts = [...textsIn(r)];
    if (texts.length && at[0].nodeType !== Node.TEXT_NODE) at.splice(0, 2, texts[0], 0);
    if (texts.length && at[2].nodeType !== Node.TEXT_NODE) at.splice(2, 2, texts[texts.length - 1], texts[texts.length - 1].length);
    return at;
}
// The engine makes a list over definition terms right in their dl (dl > ul > dt). Instead the
// terms and definitions with selected text of their own (or the caret) become items, with all
// they hold and their attributes, of a list of the kind Tag between the two halves of their
// dl. The lists made, in the page's order; the selection kept.
function termsToItems(tag) {
    const s = getSelection();
    if (!s.rangeCount) return [];
    const r = s.getRangeAt(0);
    // an end at the edge of a term's text does not take the term
    const texts = r.collapsed ? [r.startContainer] : [...textsIn(r)].filter(t => t.data.trim() &&
        !(t === r.endContainer && r.endOffset === 0) && !(t === r.startContainer && r.startOffset === t.length));
    const items = [...new Set(texts.map(t => (t.nodeType === Node.ELEMENT_NODE ? t : t.parentElement).closest('li, dt, dd')))]
        .filter(el => el && el.localName !== 'li' && isItem(el) && doc.body.contains(el));
    if (!items.length) return [];
    const [sc, so, ec, eo] = textEnds(r);
    const made = [];
    // a list inside a term moves with it, and is split where it then stands
    for (const dl of new Set(items.map(el => el.parentNode))) {
        const mine = items.filter(el => el.parentNode === dl);
        const first = mine[0], last = mine[mine.length - 1];
        const run = [], tail = [];
        for (let n = first; n !== last.nextSibling; n = n.nextSibling) run.push(n);
        for (let n = last.nextSibling; n; n = n.nextSibling) tail.push(n);
        // each node goes into place in the page, so that undo and redo see every move
        const list = doc.createElement(tag);
        dl.after(list);
        let box = null;
        for (const n of run) {
            if (belongsTo(n, dl)) {
                const li = list.appendChild(doc.createElement('li'));
                for (const a of n.attributes) li.setAttribute(a.name, a.value);
                li.append(...n.childNodes);
                box = null;
            } else if (box || !blank(n)) {
                box = box || list.appendChild(doc.createElement('li'));
                box.append(n);
            }
        }
        for (const n of run) if (n.parentNode === dl) n.remove();
        if (tail.some(n => !blank(n))) {
            const rest = dl.cloneNode(false);
            rest.removeAttribute('id');
            list.after(rest);
            rest.append(...tail);
        }
        if (![...dl.childNodes].some(n => !blank(n))) dl.remove();
        made.push(list);
    }
    made.sort((a, b) => a.compareDocumentPosition(b) & Node.DOCUMENT_POSITION_FOLLOWING ? -1 : 1);
    if (sc.isConnected && ec.isConnected) selectAgain(sc, so, ec, eo);
    else selectAgain(made[0].firstChild, 0, made[0].firstChild, 0);
    return made;
}
// The engine makes a list in a paragraph inside it (p > ul), which no page can hold: a list
// at the selection leaves its paragraph, what stood before it staying in the paragraph and
// what came after going into a new one. The selection stays where it was.
function liftLists(done) {
    const s = getSelection();
    if (!s.rangeCount) return done;
    const r = s.getRangeAt(0);
    const [sc, so, ec, eo] = [r.startContainer, r.startOffset, r.endContainer, r.endOffset];
    const lists = new Set();
    for (const end of [sc, ec])
        for (let n = end; n && n !== doc.body; n = n.parentNode)
            if ((n.localName === 'ul' || n.localName === 'ol') && n.parentNode.localName === 'p')
                lists.add(n);
    if (!lists.size) return done;
    for (const list of lists) {
        const p = list.parentNode;
        const tail = [];
        for (let n = list.nextSibling; n; n = n.nextSibling) tail.push(n);
        p.after(list);
        // filled in place, so that undo and redo see every node it takes
        const after = p.cloneNode(false);
        list.after(after);
        after.append(...tail);
        if (!after.textContent.trim() && !after.querySelector('img, input, select, textarea, object'))
            after.remove();
        if (!p.textContent.trim() && !p.querySelector('img, input, select, textarea, object'))
            p.remove();
    }
    selectAgain(sc, so, ec, eo);
    return done;
}
// The selection back where it was before nodes around it moved.
function selectAgain(sc, so, ec, eo) {
    const back = doc.createRange();
    back.setStart(sc, so);
    back.setEnd(ec, eo);
    const s = getSelection();
    s.removeAllRanges();
    s.addRange(back);
}

// The list items that a deletion of R (by a key, by typing over it or by a paste) may join:
// those around its ends and their neighbours, each with something of its own.
let joining = null;
const ownContent = li => !emptyBox(li) && [...li.childNodes].some(n => !blank(n) && !isList(n));
function itemsAround(r) {
    const found = new Set();
    for (const end of [r.startContainer, r.endContainer])
        for (let n = end; n && n !== doc.body; n = n.parentNode) {
            if (n.localName !== 'li') continue;
            for (const li of [n, n.previousElementSibling, n.nextElementSibling])
                if (li && li.localName === 'li' && ownContent(li)) found.add(li);
        }
    return found.size ? found : null;
}
// What a join left of the items: an item left empty goes, and one left with nothing of its own
// but lists hands them to the item before it. The item with the caret stays.
function joinItems(items, caret) {
    for (const li of items) {
        if (!li.isConnected || (caret && li.contains(caret)) || !isList(li.parentNode)) continue;
        if (emptyBox(li)) {
            li.remove();
            continue;
        }
        const before = li.previousElementSibling;
        if (before && before.localName === 'li' && !ownContent(li)) {
            before.append(...li.childNodes);
            li.remove();
        }
    }
}
// Outdent of items of a list inside an item: they become items of the outer list, after the
// item that held them, each with what it holds; the items after them in their list go into
// a list in the last one. False when the selection is in no such item.
function outdentItems() {
    const s = getSelection();
    if (!s.rangeCount) return false;
    const r = s.getRangeAt(0);
    const [sc, so, ec, eo] = [r.startContainer, r.startOffset, r.endContainer, r.endOffset];
    const first = (sc.nodeType === Node.ELEMENT_NODE ? sc : sc.parentElement).closest('li');
    if (!first || !doc.body.contains(first) || !isItem(first)) return false;
    const list = first.parentNode, holder = list.parentNode;
    if (holder.localName !== 'li' || !isList(holder.parentNode)) return false;
    let last = first;
    for (let n = first.nextElementSibling; n && n.localName === 'li' && r.intersectsNode(n); n = n.nextElementSibling)
        last = n;
    const moved = [];
    for (let n = first; ; n = n.nextElementSibling) {
        moved.push(n);
        if (n === last) break;
    }
    if (last.nextSibling && [...list.childNodes].slice([...list.childNodes].indexOf(last) + 1).some(n => !blank(n))) {
        const rest = list.cloneNode(false), tail = [];
        rest.removeAttribute('id');
        for (let n = last.nextSibling; n; n = n.nextSibling) tail.push(n);
        last.append(rest);
        rest.append(...tail);
    }
    holder.after(...moved);
    if (![...list.childNodes].some(n => !blank(n))) list.remove();
    // an item that held nothing but them (Indent of a list's first item makes one) goes
    if (![...holder.childNodes].some(n => !blank(n))) holder.remove();
    selectAgain(sc, so, ec, eo);
    return true;
}
// The item around the start of the selection (li, dt or dd) and the items after it in its list
// that the selection reaches, with the selection's ends; null when it starts in no item.
function selectedItems() {
    const s = getSelection();
    if (!s.rangeCount) return null;
    const r = s.getRangeAt(0);
    let first = caretItem(r);
    const at = r.startContainer.childNodes && r.startContainer.childNodes[r.startOffset];
    if (!first && isList(r.startContainer) && at && isItem(at)) first = at;
    if (!first || !doc.body.contains(first) || !isItem(first)) return null;
    const run = [first];
    for (let n = first.nextElementSibling; n && belongsTo(n, first.parentNode) && r.intersectsNode(n); n = n.nextElementSibling)
        run.push(n);
    return [run, rangeEnds(r)];
}
// Indent of list items, whatever they hold: they go into a list of their list's kind at the
// end of the item before them (one there already, or a new one), or into an item of their own
// at the list's start. Terms and definitions are indented within themselves, in a blockquote.
// False when the selection starts in no item.
function indentItems() {
    const selected = selectedItems();
    if (!selected) return false;
    const [run, ends] = selected;
    if (run[0].localName !== 'li') {
        for (const item of run) {
            const held = [...item.childNodes];
            item.appendChild(doc.createElement('blockquote')).append(...held);
        }
        selectAgain(...ends);
        return true;
    }
    const list = run[0].parentNode, before = run[0].previousElementSibling;
    let into;
    if (before && before.localName === 'li') {
        let end = before.lastChild;
        while (end && blank(end)) end = end.previousSibling;
        into = end && end.localName === list.localName ? end : before.appendChild(doc.createElement(list.localName));
    } else {
        const li = doc.createElement('li');
        into = li.appendChild(doc.createElement(list.localName));
        run[0].before(li);
    }
    into.append(...run);
    selectAgain(...ends);
    return true;
}
// Outdent of terms and definitions that Indent put in a blockquote: the blockquote gives way
// to what it holds. False when the selection starts in no such item.
function outdentTerms() {
    const selected = selectedItems();
    if (!selected || selected[0][0].localName === 'li') return false;
    const [run, ends] = selected;
    let done = false;
    for (const item of run) {
        const own = [...item.childNodes].filter(n => !blank(n));
        if (own.length !== 1 || own[0].localName !== 'blockquote') continue;
        own[0].replaceWith(...own[0].childNodes);
        done = true;
    }
    if (done) selectAgain(...ends);
    return done;
}
// A list that stands right in a list (the engine's indent and outdent leave them) goes into
// the item before it, or into an item of its own.
function nestLists(done) {
    const s = getSelection();
    if (!s.rangeCount) return done;
    let n = s.getRangeAt(0).commonAncestorContainer;
    let top = null;
    for (; n && n !== doc.body; n = n.parentNode) if (isList(n)) top = n;
    if (!top) return done;
    for (const list of [top, ...top.querySelectorAll('ol, ul')]) {
        const parent = list.parentNode;
        if (parent.localName !== 'ol' && parent.localName !== 'ul') continue;
        let before = list.previousSibling;
        while (before && blank(before)) before = before.previousSibling;
        if (before && before.localName === 'li') before.append(list);
        else {
            const li = doc.createElement('li');
            list.replaceWith(li);
            li.append(list);
        }
    }
    return done;
}

// A caret inside a link stands for the whole link. False when the selection touches no link:
// the engine would still change the page where nothing is to be seen, and leave an undo step
// that does nothing.
function widenToLink() {
    const s = getSelection();
    if (!s.rangeCount) return false;
    const r = s.getRangeAt(0), at = r.commonAncestorContainer;
    const inside = (at.nodeType === Node.ELEMENT_NODE ? at : at.parentNode).closest('a[href]');
    if (!r.collapsed)
        return !!inside || (at.nodeType === Node.ELEMENT_NODE && [...at.querySelectorAll('a[href]')].some(a => r.intersectsNode(a)));
    if (!inside || !doc.body.contains(inside)) return false;
    const link = doc.createRange();
    link.selectNodeContents(inside);
    s.removeAllRanges();
    s.addRange(link);
    return true;
}
// One computed style value over the selected text; null when it differs.
function uniformStyle(property) {
    const s = getSelection();
    if (!s.rangeCount) return undefined;
    const r = s.getRangeAt(0);
    if (r.collapsed) return undefined;
    const w = doc.createTreeWalker(r.commonAncestorContainer, NodeFilter.SHOW_TEXT);
    let value, seen = 0;
    for (let n = w.currentNode.nodeType === Node.TEXT_NODE ? w.currentNode : w.nextNode();
         n && seen < 5000; n = w.nextNode()) {
        if (!r.intersectsNode(n) || !n.data.trim()) continue;
        const v = getComputedStyle(n.parentElement)[property];
        if (value !== undefined && v !== value) return null;
        value = v;
        seen++;
    }
    return undefined;
}
function value(id) {
    // the list of block formats does not depend on the selection
    if (id === IDM.GETBLOCKFMTS) return blockFormats.map(b => b[0]);
    if (selectionType() === 'None') return null;
    switch (id) {
    case IDM.FONTNAME: {
        if (uniformStyle('fontFamily') === null) return null;
        const v = doc.queryCommandValue('fontName');
        return v ? v.replace(/^["']|["']$/g, '') : null;
    }
    case IDM.FONTSIZE: {
        if (uniformStyle('fontSize') === null) return null;
        const v = parseInt(doc.queryCommandValue('fontSize'), 10);
        return isNaN(v) ? null : v;
    }
    case IDM.BLOCKFMT: {
        const s = getSelection();
        let n = s.rangeCount ? s.getRangeAt(0).startContainer : doc.body;
        for (; n && n !== doc.body; n = n.parentNode) {
            if (n.nodeType !== Node.ELEMENT_NODE) continue;
            for (const [display, tag] of blockFormats)
                if (n.localName === tag) return display;
            if (n.localName === 'div' || n.localName === 'td' || n.localName === 'th') break;
        }
        return blockFormats[0][0];
    }
    case IDM.GETBLOCKFMTS:
        return blockFormats.map(b => b[0]);
    }
    return null;
}

// ---------------------------------------------------------------- empty cells
// An empty table cell has no line box and shrinks to its padding, too small to click into:
// it gets room for a caret. The selector weighs least, so a tag glyph on cells wins.
const cellSheet = new CSSStyleSheet();
cellSheet.replaceSync(':where(td:empty, th:empty)::after{content:"";display:inline-block;' +
                      'width:1em;height:1em;vertical-align:baseline}');
doc.adoptedStyleSheets = doc.adoptedStyleSheets.concat([cellSheet]);
// Enter in text outside any block starts a paragraph, as the block format "Normal" shows it
doc.execCommand('defaultParagraphSeparator', false, 'p');

// ---------------------------------------------------------------- tag glyphs
const glyphs = [];
const glyphSheet = new CSSStyleSheet();
function applyGlyphs() {
    const rules = [];
    for (const g of glyphs) {
        if (!/^[a-z][a-z0-9]*$/i.test(g.tag)) continue;
        const size = 'display:inline-block;width:' + g.width + 'px;height:' + g.height + 'px;' +
                     'vertical-align:middle;margin:0 1px;-webkit-user-select:none;';
        const body = g.url
            ? 'content:"";' + size + 'background:url("' + g.url.replace(/["\\\n]/g, '') +
              '") no-repeat center'
            : 'content:"' + (g.close ? '/' : '') + g.tag.toUpperCase() + '";' + size +
              'box-sizing:border-box;font:9px sans-serif;line-height:' + (g.height - 2) +
              'px;text-align:center;color:#000;background:#ffffe0;border:1px solid #808080;' +
              'border-radius:2px;overflow:hidden;text-indent:0;font-style:normal;' +
              'font-weight:normal;text-decoration:none';
        rules.push(g.tag + (g.close ? '::after' : '::before') + '{' + body + '}');
    }
    glyphSheet.replaceSync(rules.join('\n'));
    const sheets = doc.adoptedStyleSheets.filter(s => s !== glyphSheet);
    doc.adoptedStyleSheets = glyphs.length ? sheets.concat([glyphSheet]) : sheets;
}

// ---------------------------------------------------------------- the body as the document spells it
// The designer hands the body over as XML (see filter/DesignTree.h): the engine's HTML parser
// would move elements about (implied row groups, paragraphs closed by blocks, a line break
// dropped after pre). Where the document spells a text or an attribute value otherwise than
// this layer would write it ("&#187;" for "»"), the spelling comes along, and bodySource gives
// it back for as long as the value is unchanged.
const spelt = new WeakMap();          // text node -> [data as shown, spelling]
const speltAttrs = new WeakMap();     // element -> [[name, value as shown, spelling], ...]
// The nodes written otherwise than the engine writes them, for sourceOf to find without a
// walk: the nodes of both maps, and elements the engine writes its own way or that hold
// raw pieces or boolean attributes (which go without a value). Noted when they come.
const spellers = new Set();
const rawTextTags = new Set(['style', 'script', 'xmp', 'iframe', 'noembed', 'noframes',
                             'plaintext', 'noscript']);
const voidTags = new Set(['area', 'base', 'basefont', 'bgsound', 'br', 'col', 'embed', 'frame',
                          'hr', 'img', 'input', 'isindex', 'keygen', 'link', 'meta', 'param',
                          'source', 'track', 'wbr']);
const booleanAttrs = new Set(['checked', 'compact', 'declare', 'defer', 'disabled', 'ismap',
                              'multiple', 'nohref', 'noresize', 'noshade', 'nowrap', 'readonly',
                              'selected']);

// An attribute whose name setAttribute refuses ("@click") is made by the HTML parser.
function speltAttribute(name, spelling) {
    const t = doc.createElement('template');
    t.innerHTML = '<b ' + name + '="' + spelling.replace(/"/g, '&quot;') + '">';
    const b = t.content.firstChild;
    if (!b || b.attributes.length !== 1 || b.attributes[0].name !== name.toLowerCase()) return null;
    return b.removeAttributeNode(b.attributes[0]);
}
function addSpeltAttribute(el, name, spelling) {
    const a = speltAttribute(name, spelling);
    if (a) el.setAttributeNode(a);
    return a !== null;
}
// A piece the HTML parser would split ("<?= $sel ?>") stands as zv-raw-k="piece" and is
// written back as the piece alone.
function rawAttribute(k, name, spelling) {
    const a = doc.createAttribute('zv-raw-' + k);
    const q = spelling.includes('"') && !spelling.includes("'") ? "'" : '"';
    a.value = spelling === '' ? name : name + '=' + q + spelling + q;
    return a;
}
// An attribute of the document whose name begins as the marks' names do stands as a raw piece.
function markLike(name) {
    return name.toLowerCase().startsWith('zv-');
}
// The zv-odd-k="" marks of an element become the attributes they stand for, in their places.
function makeOddAttributes(el, list) {
    const all = [...el.attributes];
    if (!all.some(a => a.name.startsWith('zv-odd-'))) return;
    const made = all.map(a => {
        if (!a.name.startsWith('zv-odd-')) return a;
        const k = +a.name.slice(7), name = list[2 * k], spelling = list[2 * k + 1];
        return (!markLike(name) && speltAttribute(name, spelling)) || rawAttribute(k, name, spelling);
    });
    for (const a of all) el.removeAttributeNode(a);
    for (const a of made) if (a && !el.hasAttribute(a.name)) el.setAttributeNode(a);
}
function setAttributes(el, list) {
    let spelling = null;
    for (const [k, a] of list.entries()) {
        if (markLike(a[0])) {
            if (a.length > 2) el.setAttributeNode(rawAttribute(k, a[0], a[2]));
            continue;
        }
        try { el.setAttribute(a[0], a[1]); } catch (e) {
            if (a.length < 3 || !addSpeltAttribute(el, a[0], a[2])) continue;
        }
        if (a.length > 2) (spelling || (spelling = [])).push([a[0].toLowerCase(), a[1], a[2]]);
    }
    if (spelling) {
        speltAttrs.set(el, spelling);
        spellers.add(el);
    }
    attrOrder.set(el, el.getAttributeNames());
}
// The tree of a JSON body as above: its attributes and its children in a fragment.
function readBody(json) {
    const [bodyAttributes, xml, texts, attributes, names] = JSON.parse(json);
    const parsed = new DOMParser().parseFromString(xml, 'application/xhtml+xml');
    const top = parsed.documentElement;
    if (!top || top.localName !== 'div' || parsed.querySelector('parsererror'))
        throw new Error('The body could not be read');
    // each kind of mark is looked for only where the body has it; the texts' marks go while
    // the tree is still in its own document, where a change costs less
    if (xml.includes('<?zv')) {
        const marks = [];
        const walker = parsed.createTreeWalker(top, NodeFilter.SHOW_PROCESSING_INSTRUCTION);
        for (let p = walker.nextNode(); p; p = walker.nextNode()) marks.push(p);
        for (const p of marks) {
            if (p.data) {
                let t = p.nextSibling;
                if (!t || t.nodeType !== Node.TEXT_NODE) p.after(t = parsed.createTextNode(''));
                spelt.set(t, [t.data, texts[+p.data]]);
                spellers.add(t);
            }
            p.remove();
        }
    }
    const tree = doc.adoptNode(top);
    if (attributes.length) {
        for (const el of tree.querySelectorAll('[zv-spelling]')) {
            const list = attributes[+el.getAttribute('zv-spelling')];
            el.removeAttribute('zv-spelling');
            makeOddAttributes(el, list);
            const s = [];
            for (let k = 0; k + 1 < list.length; k += 2) {
                if (!el.hasAttribute(list[k])) continue;
                s.push([list[k], el.getAttribute(list[k]), list[k + 1]]);
            }
            speltAttrs.set(el, s);
            spellers.add(el);
        }
    }
    // the order as made: odd attributes stand in their places by now
    if (xml.includes(' zv-ordered=')) {
        for (const el of tree.querySelectorAll('[zv-ordered]')) {
            el.removeAttribute('zv-ordered');
            attrOrder.set(el, el.getAttributeNames());
        }
    }
    // a selector of names: one of values is many times slower
    const selector = ownWaySelectorOf(names);
    if (selector) for (const el of tree.querySelectorAll(selector)) spellers.add(el);
    const all = doc.createRange();
    all.selectNodeContents(tree);
    return [bodyAttributes, all.extractContents()];
}
// A large body goes in by parts, each in a call of its own (setBody, then moreBody while the
// last answer says more is to come): between the calls the page lays out and collects what it
// has, where the whole body at once takes it more time and far more memory. Each part costs a
// pass over all that is in, so their number stays small: a few of at least bodyPartLeast
// elements.
const bodyPartLeast = 20000, bodyPartsMost = 8;
let bodyPart = bodyPartLeast;
// What is still to come: [parent, fragment of what goes at its end], the innermost last.
let bodyRest = [];
function setBody(json) {
    // the nodes of the body before go for good (undo forgets them)
    spellers.clear();
    const [bodyAttributes, children] = readBody(json);
    const body = doc.body;
    for (const a of [...body.attributes]) body.removeAttribute(a.name);
    setAttributes(body, bodyAttributes);
    body.replaceChildren();
    bodyPart = Math.max(bodyPartLeast, Math.ceil(children.querySelectorAll('*').length / bodyPartsMost));
    bodyRest = [[body, children]];
    const more = moreBody();
    textDirty = true;
    control = null;
    // the count of changes that the body as loaded stands at, read at it
    readFrom(++changes);
    return [changes, more];
}
// setBody with the body the designer serves at Url, read as it comes: the body does not go
// through the script of the call.
function fetchBody(url) {
    const request = new XMLHttpRequest();
    request.open('GET', url, false);
    request.overrideMimeType('application/json; charset=utf-8');
    request.send();
    if (request.status !== 200) throw new Error('The body could not be fetched');
    return setBody(request.responseText);
}
// The next part of the body; false once all of it is in. An element larger than what is
// left of the part goes in without its content, which follows by parts (up to a depth:
// each level counts its elements again); a table goes in whole.
function moreBody() {
    let left = bodyPart;
    while (left > 0 && bodyRest.length) {
        const [parent, rest] = bodyRest[bodyRest.length - 1];
        const n = rest.firstChild;
        if (!n) {
            bodyRest.pop();
            continue;
        }
        const size = n.nodeType === Node.ELEMENT_NODE ? 1 + n.getElementsByTagName('*').length : 0;
        // a table lays itself out whole each time a row comes: it goes in at once
        if (size > left && n.firstChild && bodyRest.length < 8 && n.localName !== 'table') {
            const content = doc.createRange();
            content.selectNodeContents(n);
            const inner = content.extractContents();
            parent.append(n);
            bodyRest.push([n, inner]);
            left--;
        } else {
            parent.append(n);
            left -= size;
        }
    }
    // the document as loaded is no change
    observer.takeRecords();
    pending = [];
    undoStack.length = 0;
    redoStack.length = 0;
    typing = null;
    return bodyRest.length > 0;
}
// The children of a JSON body in place of the selection (Replace) or at the caret, in front of
// a selected element; the caret goes behind them.
function insertBody(json, replace) {
    const children = readBody(json)[1];
    const c = currentControl();
    const r = c ? doc.createRange() : selectionRange();
    if (c && replace) r.selectNode(c);
    else if (c) r.setStartBefore(c);
    placeNodes(r, children);
    showRange(r);
}

// Most texts and values need no escape: a test is cheaper than a replace.
const textEscapes = /[&<>\u00a0]/, valueEscapes = /[&"\u00a0]/;
function escapeText(t) {
    if (!textEscapes.test(t)) return t;
    return t.replace(/[&<>\u00a0]/g, c => c === '&' ? '&amp;' : c === '<' ? '&lt;'
                                            : c === '>' ? '&gt;' : '&nbsp;');
}
function escapeValue(v) {
    if (!valueEscapes.test(v)) return v;
    return v.replace(/[&"\u00a0]/g, c => c === '&' ? '&amp;' : c === '"' ? '&quot;' : '&nbsp;');
}
function startTag(el) {
    // names and values by name: the attribute nodes would each be made for the loop
    if (!el.hasAttributes()) return '<' + el.localName + '>';
    let out = '<' + el.localName;
    const list = speltAttrs.get(el);
    for (const name of el.getAttributeNames()) {
        const value = el.getAttribute(name);
        if (name.startsWith('zv-raw-')) {
            out += ' ' + value;
            continue;
        }
        const s = list && list.find(e => e[0] === name);
        const kept = s !== undefined && s[1] === value;
        if (booleanAttrs.has(name) && (value === '' || (kept && s[2] === 'TRUE'))) {
            out += ' ' + name;
        } else if (kept) {
            const q = s[2].includes('"') && !s[2].includes("'") ? "'" : '"';
            out += ' ' + name + '=' + q + s[2] + q;
        } else {
            out += ' ' + name + '="' + escapeValue(value) + '"';
        }
    }
    return out + '>';
}
const ownWayTags = new Set(['template', 'isindex', 'noscript', 'svg', 'math']);
// The selector of the elements written their own way among Names (all when not given).
function ownWaySelectorOf(names) {
    const tags = names ? names.filter(n => ownWayTags.has(n)) : [...ownWayTags];
    const attrs = names ? names.filter(n => booleanAttrs.has(n)) : [...booleanAttrs];
    return [...tags, ...attrs.map(a => '[' + a + ']')].join(', ');
}
function ownWayAttribute(name) {
    return booleanAttrs.has(name) || name.startsWith('zv-raw-');
}
function ownWay(el, names) {
    return ownWayTags.has(el.localName) || names.some(ownWayAttribute);
}
function noteOwnWays(n) {
    if (n.nodeType !== Node.ELEMENT_NODE) return;
    if (ownWay(n, n.getAttributeNames())) spellers.add(n);
    for (const el of n.getElementsByTagName('*')) if (ownWay(el, el.getAttributeNames())) spellers.add(el);
}
// The elements under Root holding a node written otherwise than the engine writes it; the
// engine writes the others, at its own speed (a walk in script is ten times slower).
function ownWayHolders(root) {
    const holders = new Set();
    // nodes out of the page stay: undo may put them back
    for (let n of spellers) {
        if (!root.contains(n)) continue;
        for (; n !== root && !holders.has(n); n = n.parentNode) holders.add(n);
    }
    return holders;
}
// The source of text node N: its spelling while it reads as loaded.
function textSource(n) {
    const s = spelt.get(n);
    if (s && s[0] === n.data) return s[1];
    return n.parentNode && rawTextTags.has(n.parentNode.localName) ? n.data : escapeText(n.data);
}
// The source of Root and everything in it, walked without recursion (pages nest deeply).
function sourceOf(root, holders = ownWayHolders(root)) {
    let out = '';
    let n = root;
    for (;;) {
        const type = n.nodeType;
        if (type === Node.ELEMENT_NODE && n !== root && !holders.has(n)) {
            out += n.outerHTML;
        } else if (type === Node.ELEMENT_NODE) {
            const name = n.localName;
            out += startTag(n);
            if (!voidTags.has(name)) {
                if (n.firstChild) {
                    n = n.firstChild;
                    continue;
                }
                out += '</' + name + '>';
            }
        } else if (type === Node.TEXT_NODE) {
            out += textSource(n);
        } else if (type === Node.COMMENT_NODE) {
            const s = spelt.get(n);
            out += s && s[0] === n.data ? s[1] : '<!--' + n.data + '-->';
        }
        if (n === root) break;
        while (!n.nextSibling) {
            n = n.parentNode;
            out += '</' + n.localName + '>';
            if (n === root) return out;
        }
        n = n.nextSibling;
    }
    return out;
}

// ---------------------------------------------------------------- reading back what changed
// A read after a few changes gives only the elements that hold them, each as the whole read
// would write it, with the way to it from the body: the designer puts them in place of the
// elements of its tree. Where the tree could not be sure to come out as a whole read would
// make it, the whole body is read.
const partLimit = 256;            // changed nodes beyond which the whole body is read
let readAt = null;                // the count of changes at the last read
const touched = new Set();        // nodes changed since then, the body apart
let bodyTouched = false;          // the body's attributes changed
let allTouched = false;           // only a whole read will do
function readFrom(count) {
    readAt = count;
    touched.clear();
    bodyTouched = allTouched = false;
}
function touch(target, type) {
    if (allTouched) return;
    if (target === doc.body) {
        if (type === 'attributes') bodyTouched = true;
        else allTouched = true;
    } else if (touched.add(target).size > partLimit) {
        allTouched = true;
        touched.clear();
    }
}
// Tags whose reading depends on more than the elements around them (they move the reader
// into the head and out again), or that hold no markup.
const contextTags = /<(style|link|meta|title|base|script|frame|frameset|noframes|html|head|body|xmp|plaintext)[\s>\/]/i;
// The next node after N in document order, N's children first unless Skip; nil past the body.
function following(n, skip) {
    if (!skip && n.firstChild) return n.firstChild;
    for (; n !== doc.body; n = n.parentNode)
        if (n.nextSibling) return n.nextSibling;
    return null;
}
// Whether N stands in an element whose content is read as written.
function inPre(n) {
    for (let p = n.parentNode; p && p !== doc.body; p = p.parentNode)
        if (p.localName === 'pre' || p.localName === 'textarea' || p.localName === 'listing' ||
            rawTextTags.has(p.localName) || ownWayTags.has(p.localName)) return true;
    return false;
}
// Whether what is read from N on may lose a leading blank or keep it, by what came before:
// the first text there (outside pre) starts with a blank before a break, a rule or a picture
// settles it.
const settlers = new Set(['br', 'hr', 'img', 'input']);
// Elements whose end settles it.
const showsContent = new Set(['applet', 'button', 'embed', 'iframe', 'object', 'select', 'textarea']);
function hangsOnBefore(n) {
    for (let k = 0; n && k < 64; n = following(n, false), k++) {
        if (n.nodeType === Node.ELEMENT_NODE && settlers.has(n.localName)) return false;
        if (n.nodeType !== Node.TEXT_NODE || inPre(n)) continue;
        const text = textSource(n);
        if (text !== '') return text.charCodeAt(0) <= 32;
    }
    return n !== null;
}
// The source of the texts that stand right before (Way 'previousSibling') or after
// ('nextSibling') El, in their order.
function textsBeside(el, way) {
    const list = [];
    for (let n = el[way]; n && n.nodeType === Node.TEXT_NODE; n = n[way]) list.push(textSource(n));
    if (way === 'previousSibling') list.reverse();
    return list.join('');
}
// The changes since the read at Seen: the body's start tag when its attributes changed (else
// nil), then for each changed element its source, the texts right before and after it (what
// reads before it settles how it reads; what reads after it must read as before), and for
// each step from the body its place among the elements of its parent, their count and its
// name. Nil where the whole body must be read.
function changedParts(seen) {
    if (seen !== readAt || allTouched) return null;
    const body = doc.body, elements = new Set();
    for (const n of touched) {
        if (!body.contains(n)) continue;   // its removal is a change of a node in the body
        const el = n.nodeType === Node.ELEMENT_NODE ? n : n.parentNode;
        if (el === body) return null;
        elements.add(el);
    }
    const parts = [];
    for (const el of elements) {
        const steps = [];
        let n = el;
        for (; n !== body && !(n !== el && elements.has(n)); n = n.parentNode) {
            let k = 0;
            for (let s = n.previousElementSibling; s; s = s.previousElementSibling) k++;
            steps.push(n.localName, n.parentNode.childElementCount, k);
        }
        if (n !== body) continue;          // inside another changed element
        // the last node of its parent: the texts after the element it ends count, unless that
        // element settles how they read
        let end = el, up = 0, settled = false;
        while (!end.nextSibling && end.parentNode !== body && !settled) {
            end = end.parentNode;
            up++;
            settled = showsContent.has(end.localName);
        }
        const lead = textsBeside(el, 'previousSibling');
        const tail = settled ? '' : textsBeside(end, 'nextSibling');
        if (inPre(el) || ownWayTags.has(el.localName) || (lead === '' && hangsOnBefore(el)) ||
            (tail === '' && !settled && hangsOnBefore(following(end, true))))
            return null;
        parts.push([el, lead, tail, up, ...steps.reverse()]);
    }
    const holders = parts.length ? ownWayHolders(body) : null;
    const out = [bodyTouched ? startTag(body) : null];
    for (const part of parts) {
        const el = part[0];
        part[0] = holders.has(el) ? sourceOf(el, holders) : el.outerHTML;
        if (contextTags.test(part[0]) || contextTags.test(part[1]) || contextTags.test(part[2]))
            return null;
        out.push(part);
    }
    return out;
}
function bodySource(seen) {
    if (seen === changes) return [changes, null];
    const parts = changedParts(seen);
    readFrom(changes);
    if (parts) return [changes, parts];
    sourceRest = sourceOf(doc.body);
    sourceAt = 0;
    return [changes, ...moreSource()];
}
// The whole body's source goes in pieces, the first with bodySource's answer, the others
// through moreSource while the last answer says more is to come: one answer of tens of
// megabytes holds the program up while it takes it in.
const sourcePiece = 1 << 20;
let sourceRest = '', sourceAt = 0;
function moreSource() {
    let end = Math.min(sourceAt + sourcePiece, sourceRest.length);
    // a character of two units stays whole
    const last = sourceRest.charCodeAt(end - 1);
    if (end < sourceRest.length && last >= 0xd800 && last < 0xdc00) end--;
    const piece = sourceRest.slice(sourceAt, end);
    sourceAt = end;
    const more = sourceAt < sourceRest.length;
    if (!more) sourceRest = '';
    return [piece, more];
}

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
    // takes what was dragged away first, as a cut does; onto itself it moves nothing.
    dropAt: function (x, y, mark, move) {
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
            }
        }
        doc.body.focus({ preventScroll: true });
        showRange(at);
        return own ? 2 : 1;
    },
    insertText: t => doc.execCommand('insertText', false, String(t)),
    setBody: setBody,
    fetchBody: fetchBody,
    moreBody: moreBody,
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
            const v = fn.apply(null, request.a || []);
            collect();
            if (!query || pending.length > before) {
                // what the call changed is a unit of its own, after the open one
                const changed = pending.splice(before);
                cut();
                pending = changed;
                cut();
            }
            if (displayDirty && (host || runtimeBg.size || control)) paint();
            return { ok: true, v: v === undefined ? null : v };
        } catch (e) {
            if (!query) cut();
            return { ok: false, e: String(e && e.message || e) };
        }
    }
};
})();

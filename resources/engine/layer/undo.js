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
    return { type: r.type, target: r.target, added: [...r.addedNodes], removed: [...r.removedNodes],
             prev: r.previousSibling, next: r.nextSibling };
}
function take(records) {
    noteFirstOrders(records);
    for (const r of records) pending.push(record(r));
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
// Ends the open unit. A command (Maybe) whose changes cancel out, as bold at a bare caret or a
// format the page already has, leaves no step, and what could be redone stays. Maybe 'swap':
// only where the unit took away as many nodes of each kind as it put in.
function cut(maybe) {
    collect();
    typing = null;
    if (!pending.length) return;
    if (maybe && (maybe !== 'swap' || swapsLikeForLike(pending)) && changesNothing(pending)) {
        pending = [];
        return;
    }
    undoStack.push(pending);
    pending = [];
    redoStack.length = 0;
}
// Takes back what the open unit holds from record From on, and selects the characters At (see
// textSelection) again.
function takeBack(from, at) {
    collect();
    const unit = pending.splice(from);
    for (let k = unit.length - 1; k >= 0; k--) revert(unit[k]);
    observer.takeRecords();
    if (at && at[0] !== null && at[1] !== null) selectText(doc.body, at[0], at[1]);
}
// The selection as counts of the body's characters before its ends.
function textSelection() {
    const s = getSelection();
    if (!s.rangeCount) return null;
    const r = s.getRangeAt(0);
    return [offsetIn(doc.body, r.startContainer, r.startOffset), offsetIn(doc.body, r.endContainer, r.endOffset)];
}
// Keys whose changes so far cancel out (typing what was selected, a marker the engine moved and
// the page rules moved back) leave no step.
const keyUnitMost = 40;
function keysChangedNothing() {
    collect();
    if (!pending.length) return;
    let back;
    if (pending.every(r => r.type === 'characterData')) {
        const first = new Map();
        for (const r of pending) if (!first.has(r.target)) first.set(r.target, r.oldValue);
        back = [...first].every(([t, old]) => t.data === old);
    } else {
        // (a key's unit is small)
        back = pending.length <= keyUnitMost && mayCancelOut(pending) && changesNothing(pending);
    }
    if (back) {
        pending = [];
        typing = null;
    }
}
// Whether Unit may be tested for cancelling out: only one that took something away, or changed a
// text, can have put it back; and a drop under way holds its start as a live range, which the
// test would move.
const mayCancelOut = unit => !dropStart &&
    unit.some(r => r.type === 'characterData' || (r.type === 'childList' && r.removed.length));
// Whether Unit put in as many elements of each kind as it took away. Taking a
// unit back moves the live ranges in what it touched, so this is asked first of the units that
// seldom cancel out.
function swapsLikeForLike(unit) {
    if (!mayCancelOut(unit)) return false;
    const tally = new Map();
    // (each as the record tells it: what an element held then is not known now)
    const count = (n, d) => {
        if (n.nodeType === Node.ELEMENT_NODE) tally.set(n.nodeName, (tally.get(n.nodeName) || 0) + d);
    };
    for (const r of unit) {
        if (r.type !== 'childList') continue;
        for (const n of r.added) count(n, 1);
        for (const n of r.removed) count(n, -1);
    }
    return [...tally.values()].every(v => v === 0);
}
// Whether Unit, just done, leaves the page's markup as it was. Where it might, the unit is taken
// back and the markup around it compared: when the same, the page stays as it was before the
// unit (its own nodes, so the steps before it still replay), else the unit is done again.
// Large units and regions are taken as changes.
const unchangedMost = 400, regionMost = 3000;
function changesNothing(unit) {
    if (unit.length > unchangedMost) return false;
    const inBody = n => n === doc.body || doc.body.contains(n);
    let region = null;
    for (const r of unit) {
        if (!inBody(r.target)) continue;
        let t = r.target.nodeType === Node.ELEMENT_NODE ? r.target : r.target.parentNode;
        if (!region) region = t;
        else while (!region.contains(t)) region = region.parentNode;
    }
    if (!region) return true;
    if (region.getElementsByTagName('*').length > regionMost) return false;
    const after = region.outerHTML;
    const s = getSelection(), r = s.rangeCount ? s.getRangeAt(0) : null;
    const ends = r && [r.startContainer, r.startOffset, r.endContainer, r.endOffset];
    const text = r && [offsetIn(region, ends[0], ends[1]), offsetIn(region, ends[2], ends[3])];
    for (let k = unit.length - 1; k >= 0; k--) revert(unit[k]);
    // (the line breaks between tags that lay the source out show nothing, outside pre)
    const laidOut = h => region.closest('pre') || region.querySelector('pre') ? h : h.replace(/>[ \t]*\n\s*</g, '><');
    if (laidOut(region.outerHTML) === laidOut(after)) {
        observer.takeRecords();
        if (text && text[0] !== null && text[1] !== null) selectText(region, text[0], text[1]);
        if (control && !control.isConnected) control = null;
        return true;
    }
    for (const r of unit) reapply(r);
    observer.takeRecords();
    if (ends && ends[0].isConnected && ends[2].isConnected) selectAgain(...ends);
    return false;
}
// The count of characters in Region before the point Node, Offset; null outside it.
function offsetIn(region, node, offset) {
    if (!region.contains(node)) return null;
    const r = doc.createRange();
    r.setStart(region, 0);
    r.setEnd(node, offset);
    return r.toString().length;
}
// Selects the characters of Region from Start to End.
function selectText(region, start, end) {
    const walker = doc.createTreeWalker(region, NodeFilter.SHOW_TEXT);
    const r = doc.createRange();
    r.setStart(region, 0);
    let at = 0, started = false;
    for (let t = walker.nextNode(); t; t = walker.nextNode()) {
        const next = at + t.data.length;
        if (!started && start <= next) { r.setStart(t, start - at); started = true; }
        if (started && end <= next) { r.setEnd(t, end - at); break; }
        at = next;
    }
    if (!started) r.collapse(true);
    const s = getSelection();
    s.removeAllRanges();
    s.addRange(r);
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
// After a replay, undo selects what it brought back, or puts the caret where it took something
// away; redo puts the caret behind what it gave again. Without text or nodes changed, the caret
// goes where the last change was made.
function showReplayed(unit, backwards) {
    const span = changedSpan(unit, backwards);
    if (!span) {
        caretAt(backwards ? unit[0] : unit[unit.length - 1]);
        return;
    }
    if (!backwards) span.collapse(false);
    const s = getSelection();
    s.removeAllRanges();
    s.addRange(span);
}
// What a replay left changed, as one range over the page as it is now.
function changedSpan(unit, backwards) {
    let span = null;
    const add = (node, start, end) => {
        if (!node.isConnected || !doc.body.contains(node)) return;
        if (!span) {
            span = doc.createRange();
            span.setStart(node, start);
            span.setEnd(node, end);
            return;
        }
        if (span.comparePoint(node, start) < 0) span.setStart(node, start);
        if (span.comparePoint(node, end) > 0) span.setEnd(node, end);
    };
    // a text's value before the unit and after it
    const texts = new Map();
    for (const r of unit) {
        if (r.type === 'characterData') {
            const t = texts.get(r.target);
            texts.set(r.target, [t ? t[0] : r.oldValue, r.newValue]);
        } else if (r.type === 'childList') {
            const [now, gone] = backwards ? [r.removed, r.added] : [r.added, r.removed];
            for (const n of now)
                if (n.parentNode === r.target) {
                    const k = Array.prototype.indexOf.call(r.target.childNodes, n);
                    add(r.target, k, k + 1);
                }
            if (gone.length) {
                const at = r.next && r.next.parentNode === r.target
                    ? Array.prototype.indexOf.call(r.target.childNodes, r.next) : r.target.childNodes.length;
                add(r.target, at, at);
            }
        }
    }
    for (const [node, [first, last]] of texts) {
        const [now, was] = backwards ? [first, last] : [last, first];
        if (now === null || was === null || node.data !== now) continue;
        let p = 0;
        while (p < now.length && p < was.length && now[p] === was[p]) p++;
        let q = 0;
        while (q < now.length - p && q < was.length - p && now[now.length - 1 - q] === was[was.length - 1 - q]) q++;
        add(node, p, now.length - q);
    }
    return span;
}
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
    showReplayed(unit, backwards);
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


// ---------------------------------------------------------------- lists and indent
// A list made of the selection. Terms and definitions become its items themselves; the engine
// makes items of the rest of the selection, one part of it at a time, and they join them in
// one list.
function makeList(cmd) {
    const made = termsToItems(cmd === 'insertOrderedList' ? 'ol' : 'ul');
    if (!made.length) return doc.execCommand(cmd, false, null);
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
        doc.execCommand(cmd, false, null);
        if (!s.rangeCount) return;
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
    if (!getSelection().rangeCount) return;
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
// The engine makes a list over definition terms right in their dl (dl > ul > dt), and takes
// the paragraphs out of the items of a list of the other kind. Instead the terms and
// definitions with selected text of their own (or the caret) become items, with all they hold
// and their attributes, of a list of the kind Tag between the two halves of their dl; such
// items of a list of the other kind go there as they are (those inside them with them). The
// lists made, in the page's order; the selection kept.
function termsToItems(tag) {
    const s = getSelection();
    if (!s.rangeCount) return [];
    const r = s.getRangeAt(0);
    // an end at the edge of a term's text does not take the term
    const texts = r.collapsed ? [r.startContainer] : [...textsIn(r)].filter(t => t.data.trim() &&
        !(t === r.endContainer && r.endOffset === 0) && !(t === r.startContainer && r.startOffset === t.length));
    const found = [...new Set(texts.map(t => (t.nodeType === Node.ELEMENT_NODE ? t : t.parentElement).closest('li, dt, dd')))]
        .filter(el => el && isItem(el) && doc.body.contains(el) && el.parentNode.localName !== tag);
    const items = found.filter(el => !found.some(o => o !== el && o.contains(el)));
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
            if (n.localName === 'li' && belongsTo(n, dl)) {
                list.append(n);
                box = null;
            } else if (belongsTo(n, dl)) {
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
// Backspace at the start of a list that follows a list of its kind: the engine joins the lists
// and leaves the caret at the end of the item before. It goes back to the join, where the next
// Backspace joins the two items.
let listJoin = null;
function noteListJoin(e) {
    listJoin = null;
    const s = getSelection();
    if (e.inputType !== 'deleteContentBackward' || !s.rangeCount || !s.isCollapsed) return;
    const r = s.getRangeAt(0), li = caretItem(r);
    if (!li || li.localName !== 'li' || li.previousElementSibling) return;
    const before = li.parentNode.previousElementSibling;
    if (!before || before.localName !== li.parentNode.localName) return;
    const lead = doc.createRange();
    lead.setStart(li, 0);
    lead.setEnd(r.startContainer, r.startOffset);
    if (!emptyBox(lead.cloneContents())) return;
    listJoin = li;
}
function caretToListJoin() {
    const li = listJoin;
    listJoin = null;
    if (!li || !li.isConnected || !li.previousElementSibling || !isItem(li)) return;
    const w = doc.createTreeWalker(li, NodeFilter.SHOW_TEXT);
    const first = w.nextNode();
    getSelection().collapse(first || li, 0);
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
// Enter at the end of an item that holds a list makes a new item with that list, and a break
// in front of it that holds the empty line open. The break is kept here, and goes once text is
// typed in front of it.
const itemBreaks = new WeakSet();
function noteItemBreak() {
    const s = getSelection();
    const item = s.rangeCount && s.isCollapsed ? caretItem(s.getRangeAt(0)) : null;
    const own = item ? [...item.childNodes].filter(n => !blank(n)) : [];
    if (own.length < 2 || !isList(own[1])) return;
    // the styles of the line before stay around it
    let br = own[0];
    while (br.childNodes && br.childNodes.length === 1 && !blockNames.has(br.localName)) br = br.firstChild;
    if (br.localName === 'br') itemBreaks.add(br);
}
function dropItemBreak() {
    const s = getSelection();
    if (!s.rangeCount || !s.isCollapsed) return;
    let n = s.anchorNode, next = null;
    for (; n && !isItem(n); n = n.parentNode) {
        next = n.nextSibling;
        while (next && blank(next)) next = next.nextSibling;
        if (next) break;
    }
    if (next && itemBreaks.has(next) && next.previousSibling && !blank(next.previousSibling)) next.remove();
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
// The parts of a term or definition that Indent moves on their own: each block it holds, and
// each run of what stands between blocks (a line of text and the elements in it).
function itemParts(item) {
    const parts = [];
    let line = null;
    for (const n of item.childNodes) {
        if (n.nodeType === Node.ELEMENT_NODE && blockNames.has(n.localName)) {
            parts.push([n]);
            line = null;
        } else if (line) {
            line.push(n);
        } else if (!blank(n)) {
            parts.push(line = [n]);
        }
    }
    return parts;
}
// Whether R holds the caret in Part, or selects some of what it shows.
function partSelected(part, r) {
    const whole = doc.createRange();
    whole.setStartBefore(part[0]);
    whole.setEndAfter(part[part.length - 1]);
    if (r.collapsed) return whole.isPointInRange(r.startContainer, r.startOffset);
    const texts = [...textsIn(whole)].filter(t => t.data.trim());
    if (!texts.length) return part.some(n => r.intersectsNode(n));
    return texts.some(t => r.intersectsNode(t) && !(t === r.endContainer && r.endOffset === 0) &&
                           !(t === r.startContainer && r.startOffset === t.length));
}
// Indent of list items, whatever they hold: they go into a list of their list's kind at the
// end of the item before them (one there already, or a new one), or into an item of their own
// at the list's start. In terms and definitions the parts with the caret or the selection go
// into a blockquote within the item, one for each run of them. False when the selection
// starts in no item.
function indentItems() {
    const selected = selectedItems();
    if (!selected) return false;
    const [run, ends] = selected;
    if (run[0].localName !== 'li') {
        const r = getSelection().getRangeAt(0);
        const runs = [];
        for (const item of run) {
            let last = null;
            for (const part of itemParts(item)) {
                if (!partSelected(part, r)) {
                    last = null;
                } else if (last) {
                    last.push(...part);
                } else {
                    runs.push(last = [...part]);
                }
            }
        }
        for (const parts of runs) {
            const first = parts[0], end = parts[parts.length - 1], held = [];
            for (let n = first; n; n = n.nextSibling) {
                held.push(n);
                if (n === end) break;
            }
            const quote = doc.createElement('blockquote');
            first.before(quote);
            quote.append(...held);
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
// Outdent of terms and definitions that Indent put in blockquotes: each blockquote of the
// items with the caret or the selection in it gives way to what it holds. False when there is
// none.
function outdentTerms() {
    const selected = selectedItems();
    if (!selected || selected[0][0].localName === 'li') return false;
    const [run, ends] = selected;
    const r = getSelection().getRangeAt(0);
    let done = false;
    for (const item of run)
        for (const quote of [...item.children].filter(n => n.localName === 'blockquote')) {
            if (!partSelected([quote], r)) continue;
            quote.replaceWith(...quote.childNodes);
            done = true;
        }
    if (done) selectAgain(...ends);
    return done;
}


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
// Splits everything from the collapsed range's container up to Top at the range: what follows
// goes into copies after Top, and the range comes between the two halves; an empty half goes,
// unless it holds Keep. Gives the copy of Top when it stays. A copy keeps no id or name the page has (see rules).
function splitUpTo(r, top, keep = null) {
    const tail = doc.createRange();
    tail.setStart(r.startContainer, r.startOffset);
    tail.setEnd(top, top.childNodes.length);
    const rest = top.cloneNode(false);
    rest.append(tail.extractContents());
    top.after(rest);
    const holds = box => keep && box.contains(keep);
    if (emptyBox(rest) && !holds(rest)) rest.remove();
    if (emptyBox(top) && !holds(top)) {
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

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

// The blocks of the selection formatted one at a time: given several at once, the engine moves
// some of them (items among paragraphs, terms) out of their order, and drops some it joins in
// a pre. Formatted then joins the pre blocks it made side by side in one, line by line, as
// the engine means to. A selection of very many blocks is given to the engine whole.
function formatEach(tag) {
    const s = getSelection();
    if (!s.rangeCount || s.getRangeAt(0).collapsed) return formatBlocks(tag);
    const r = s.getRangeAt(0);
    const groups = [];
    for (const t of textsIn(r)) {
        // what a control, a script or an object holds is not the page's text
        if (!t.data.trim() || t.parentNode.closest('textarea, select, script, style, object') ||
            (t === r.endContainer && r.endOffset === 0) ||
            (t === r.startContainer && r.startOffset === t.length))
            continue;
        const box = t.parentNode.closest(lineHolders), last = groups[groups.length - 1];
        if (last && last[0] === box) last[2] = t;
        else groups.push([box, t, t]);
    }
    if (groups.length < 2 || groups.length > 200) return formatBlocks(tag);
    const start = offsetIn(doc.body, r.startContainer, r.startOffset), end = offsetIn(doc.body, r.endContainer, r.endOffset);
    const had = new Set(doc.body.getElementsByTagName(tag));
    let done = false;
    const made = [];
    // from the last, so that those before stay as they were
    for (const [, first, last] of groups.reverse()) {
        if (!first.isConnected || !last.isConnected) continue;
        const part = doc.createRange();
        part.setStart(first, 0);
        part.setEnd(last, last.length);
        s.removeAllRanges();
        s.addRange(part);
        done = formatBlocks(tag) || done;
        const block = s.rangeCount && s.anchorNode && (s.anchorNode.nodeType === Node.ELEMENT_NODE ? s.anchorNode : s.anchorNode.parentNode).closest(tag);
        if (block && !had.has(block)) made.unshift(block);
    }
    if (tag === 'pre')
        for (let k = made.length - 1; k > 0; k--) {
            const [one, two] = [made[k - 1], made[k]];
            let n = one.nextSibling;
            while (n && blank(n)) n = n.nextSibling;
            if (n !== two || !one.isConnected || !two.isConnected) continue;
            one.append(doc.createElement('br'), ...two.childNodes);
            two.remove();
        }
    selectText(doc.body, start, end);
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
        return formatEach(tag);
    }
    if (id === IDM.FONTSIZE) {
        const size = Math.min(7, Math.max(1, parseInt(input, 10) || 1));
        return doc.execCommand('fontSize', false, String(size));
    }
    if (id === IDM.UNLINK && !widenToLink()) return false;
    if (id === IDM.HYPERLINK && linkInAnchor(String(input))) return true;
    if (id === IDM.INDENT && indentItems()) return true;
    if (id === IDM.OUTDENT && (outdentItems() || outdentTerms())) return true;
    if (id in actions)
        return doc.execCommand(actions[id], false, input === null || input === undefined
                                                    ? null : String(input));
    throw new Error('Command ' + id + ' is not supported here');
}
// A link made of text selected in an anchor covers only that text: the anchor splits around
// it, keeping its name and id on its first part; the part after the link keeps the other
// attributes, and gives way to its content when none is left. False when the selection is in
// no anchor.
function linkInAnchor(url) {
    const s = getSelection();
    if (!s.rangeCount || s.getRangeAt(0).collapsed || !s.toString().trim()) return false;
    const r = s.getRangeAt(0), at = r.commonAncestorContainer;
    const anchor = (at.nodeType === Node.ELEMENT_NODE ? at : at.parentNode).closest('a');
    if (!anchor || !doc.body.contains(anchor)) return false;
    const [start, end] = [r.cloneRange(), r.cloneRange()];
    start.collapse(true);
    end.collapse(false);
    const fromStart = atEdge(start, anchor, false);
    // the copies split off give up the name, and one left bare its a, by the page rules
    if (!atEdge(end, anchor, true)) splitUpTo(end, anchor);
    const link = fromStart ? anchor : splitUpTo(start, anchor);
    link.setAttribute('href', url);
    const linked = doc.createRange();
    linked.selectNodeContents(link);
    s.removeAllRanges();
    s.addRange(linked);
    return true;
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

// Enter in text outside any block starts a paragraph, as the block format "Normal" shows it
doc.execCommand('defaultParagraphSeparator', false, 'p');


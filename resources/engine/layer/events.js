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
// Backspace at the start of what follows a table puts the caret at the end of the table's
// last cell, as word processors do; the engine would take the text out of its paragraph.
addEventListener('keydown', function (e) {
    if (e.key !== 'Backspace' || e.altKey || e.metaKey || !doc.body.isContentEditable) return;
    const s = getSelection();
    if (s.rangeCount !== 1 || !s.isCollapsed) return;
    const table = tableBefore(s.getRangeAt(0));
    if (!table) return;
    e.preventDefault();
    const rows = table.rows, last = rows.length ? rows[rows.length - 1] : null;
    const cell = last && last.cells.length ? last.cells[last.cells.length - 1] : null;
    if (!cell) return;
    let text = null;
    const w = doc.createTreeWalker(cell, NodeFilter.SHOW_TEXT);
    for (let t = w.nextNode(); t; t = w.nextNode()) if (t.data.trim()) text = t;
    if (text) s.collapse(text, text.data.replace(/[ \t\r\n]+$/, '').length);
    else s.collapse(cell, cell.childNodes.length);
}, true);
// The table right before the collapsed range R, with nothing shown between them; a list item
// or a cell in between keeps its own Backspace.
function tableBefore(r) {
    let n = r.startContainer;
    if (n.nodeType === Node.ELEMENT_NODE && r.startOffset > 0) {
        n = n.childNodes[r.startOffset - 1];
        while (n && blank(n)) n = n.previousSibling;
        if (n) return n.localName === 'table' ? n : null;
        n = r.startContainer;
    } else if (!atEdge(r, n, false)) {
        return null;
    }
    for (; n && n !== doc.body && doc.body.contains(n); n = n.parentNode) {
        if (itemLists.has(n.localName) || ['td', 'th', 'caption'].includes(n.localName)) return null;
        let before = n.previousSibling;
        while (before && blank(before)) before = before.previousSibling;
        if (before) return before.localName === 'table' ? before : null;
    }
    return null;
}
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
let rulesFrom = 0;                // where the records of the input begin
let inCall = false;               // a layer call runs: the engine's input events are its own
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
    collect();
    rulesFrom = pending.length;
    if (kind) typing = { kind: kind, node: null, offset: 0, time: e.timeStamp };
    if (e.inputType === 'insertParagraph') wrapLooseText();
    const s = getSelection();
    joining = s.rangeCount && (e.inputType.startsWith('delete') || !s.isCollapsed) ? itemsAround(s.getRangeAt(0)) : null;
    noteListJoin(e);
    noteOverLink(e);
    noteEnterBlock(e);
}, true);
// Enter in text that stands loose in the body: the engine would carry what follows up to the
// body's end (a table too) into the new paragraph, so the text gets a paragraph of its own first.
function wrapLooseText() {
    const s = getSelection();
    if (!s.rangeCount) return;
    const r = s.getRangeAt(0);
    let n = r.startContainer;
    const inline = el => el.nodeType !== Node.ELEMENT_NODE || getComputedStyle(el).display === 'inline';
    // a caret right in the body is in loose text only with text or an inline element beside it
    if (n === doc.body && ![n.childNodes[r.startOffset - 1], n.childNodes[r.startOffset]]
        .some(c => c && !blank(c) && inline(c)))
        return;
    for (; n && n !== doc.body; n = n.parentNode)
        if (!inline(n)) return;
    if (n === doc.body && doc.body.textContent.trim()) doc.execCommand('formatBlock', false, 'p');
}
addEventListener('input', function (e) {
    if (joining) joinItems(joining, getSelection().anchorNode);
    joining = null;
    if (e.inputType === 'insertParagraph') noteItemBreak();
    if (e.inputType === 'insertText') dropItemBreak();
    caretToListJoin();
    if (!inCall) {
        keepRules(rulesFrom, true, null, e.inputType);
        keysChangedNothing();
    }
    if (!typing) return;
    const s = getSelection();
    typing.node = s.rangeCount ? s.anchorNode : null;
    typing.offset = s.rangeCount ? s.anchorOffset : 0;
    typing.time = e.timeStamp;
}, true);


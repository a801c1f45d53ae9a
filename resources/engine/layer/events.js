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
    if (!inCall) keepRules(rulesFrom, true, null);
    if (!typing) return;
    const s = getSelection();
    typing.node = s.rangeCount ? s.anchorNode : null;
    typing.offset = s.rangeCount ? s.anchorOffset : 0;
    typing.time = e.timeStamp;
}, true);


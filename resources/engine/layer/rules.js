// ---------------------------------------------------------------- what the page may hold
// What may stand where, and the pass that keeps it. After every action (a key, a command, a
// paste, a drop, a dialog's insert) the pass looks at what the action touched, as the records
// of its unit tell, and mends there what a browser would read otherwise or what the user did
// not ask for; its changes are part of the action's unit. Undo and redo replay as recorded.

// Blocks that a paragraph or heading cannot hold; the saved page would end the paragraph at
// them, and its rest would lose it.
const blockNames = new Set(['table', 'form', 'hr', 'div', 'p', 'ul', 'ol', 'dl', 'pre', 'blockquote',
                            'address', 'center', 'fieldset', 'h1', 'h2', 'h3', 'h4', 'h5', 'h6']);
const paragraphNames = new Set(['p', 'h1', 'h2', 'h3', 'h4', 'h5', 'h6']);
const headingNames = new Set(['h1', 'h2', 'h3', 'h4', 'h5', 'h6']);
// What a browser ends an open p for where it begins.
const closesParagraph = new Set([...blockNames, 'article', 'aside', 'details', 'dialog', 'dir', 'dd',
    'dt', 'figcaption', 'figure', 'footer', 'header', 'hgroup', 'li', 'main', 'menu', 'nav', 'section']);
// What holds lines of text: a block, a cell, the body.
const lineHolders = [...closesParagraph, 'td', 'th', 'caption', 'body'].join(', ');
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
// The picture that stands for a named anchor: inside the anchor when it holds text, alone in
// place of an empty one.
function isAnchorPicture(n) {
    return n.nodeType === Node.ELEMENT_NODE && n.localName === 'img' && n.getAttribute('src') === 'edit:anchor.gif';
}
// Links: an a, and the picture of an empty named anchor.
const isLink = n => n.nodeType === Node.ELEMENT_NODE &&
    (n.localName === 'a' || (isAnchorPicture(n) && !(n.parentNode && n.parentNode.localName === 'a')));
// Pictures of the design view (anchors, comments, scripts, objects) and the elements it keeps
// apart (images, tables) carry ids of the view's own, which lead to what they stand for.
// (an image of the page's own that cannot be shown stands in its place: no picture of the view's)
const isPicture = el => el.localName === 'img' && /^edit:/.test(el.getAttribute('src') || '') &&
                        !el.classList.contains('dsgn_broken');
const designId = v => v.startsWith('dsgn_:::_');
// Styles the engine copies from what it computes when it moves text (colours and fonts as
// rgb(...), display: inline !important, the grey the design view paints behind pre); the user
// sets them only through the commands that ask for them.
const computedStyles = /^(color|background(-color)?|font(-.*)?|display|float|letter-spacing|line-height|orphans|widows|text-(align|indent|transform|decoration.*)|white-space|word-spacing|caret-color|vertical-align|-webkit-.*)$/;
const askedStyles = { 51: ['background-color'], 55: ['color'], 18: ['font-family'], 19: ['font-size'],
                      57: ['text-align'], 59: ['text-align'], 60: ['text-align'], 52: ['font-weight'],
                      56: ['font-style'], 63: ['text-decoration'] };
// Whether the engine's own editing ran in the action: only then can computed styles come in.
let engineRan = false;
const engineCommand = doc.execCommand.bind(doc);
doc.execCommand = function (...args) {
    engineRan = true;
    return engineCommand(...args);
};

// The elements an action made (not moved): in what the records added before anything took
// them away, outside what was taken away first (the page had that), unless taken out of what
// the action made. The engine, and a split, move the copies they make as they go.
function noteFresh(records, fresh) {
    const first = new Map();
    for (const r of records) {
        for (const n of r.removed || []) if (!first.has(n)) first.set(n, first.get(r.target) === true);
        for (const n of r.added || []) if (!first.has(n)) first.set(n, true);
    }
    const walk = n => {
        if (n.nodeType !== Node.ELEMENT_NODE || first.get(n) === false) return;
        fresh.add(n);
        for (const c of n.children) walk(c);
    };
    for (const [n, added] of first) if (added) walk(n);
}
// The elements the records touched: their targets and all they added, in the body.
function touchedBy(records) {
    const found = new Set();
    const add = n => {
        if (n && n.nodeType !== Node.ELEMENT_NODE) n = n.parentNode;
        if (n && n.nodeType === Node.ELEMENT_NODE && n !== doc.body && doc.body.contains(n)) found.add(n);
    };
    for (const r of records) {
        add(r.target);
        for (const n of r.added || []) {
            add(n);
            if (n.nodeType === Node.ELEMENT_NODE && doc.body.contains(n)) for (const e of n.querySelectorAll('*')) found.add(e);
        }
        // what a removal brought together
        if (r.type === 'childList' && r.next && r.next.parentNode === r.target) {
            add(r.next);
            add(r.next.previousSibling);
        }
    }
    return found;
}
// The commands that change the structure of the items they are given, and nothing inside them.
const itemCommands = new Set([IDM.ORDERLIST, IDM.UNORDERLIST, IDM.INDENT, IDM.OUTDENT, IDM.BLOCKFMT]);

// What a list box or a text area holds is no text to format: where the engine made a copy of
// one without its options or text, the copy takes those of the one it replaced.
function controlsKeepContent(records, fresh) {
    const gone = [];
    const walk = n => {
        if (n.nodeType !== Node.ELEMENT_NODE || n.isConnected) return;
        if ((n.localName === 'select' || n.localName === 'textarea') && n.firstChild) gone.push(n);
        else for (const c of n.children) walk(c);
    };
    for (const r of records) if (r.removed) for (const n of r.removed) walk(n);
    for (const el of fresh) {
        if ((el.localName !== 'select' && el.localName !== 'textarea') || el.firstChild || !el.isConnected) continue;
        const k = gone.findIndex(g => g.localName === el.localName &&
                                      g.getAttribute('name') === el.getAttribute('name'));
        if (k < 0) continue;
        el.append(...gone[k].childNodes);
        gone.splice(k, 1);
    }
}

// The pass over the records of the open unit from From on. Engine tells whether the engine's
// editing ran, Command is the command (its IDM id) that the action ran, if any, Input the kind
// of a key's input.
function keepRules(from, engine, command, input = '') {
    const asked = askedStyles[command] || [];
    collect();
    let records = pending.slice(from);
    if (!records.length) return;
    const s = getSelection();
    const ends = s.rangeCount && doc.body.contains(s.getRangeAt(0).commonAncestorContainer)
        ? rangeEnds(s.getRangeAt(0)) : null;
    const fresh = new Set();
    let changed = false;
    caretPlaced = false;
    for (let round = 0; round < 12 && records.length; round++) {
        noteFresh(records, fresh);
        const touched = touchedBy(records);
        if (round === 0) {
            anchorsWithoutPicture(records);
            if (itemCommands.has(command)) paragraphsOfItems(records, fresh);
            if (listCommands.has(command)) linesOfItems(records, fresh);
            if (command !== null) idsOfReplaced(records, fresh);
            markersOutOfBlocks(records, fresh);
            controlsKeepContent(records, fresh);
            if (engine) engineStyles(records, touched, fresh, asked);
            if (command === null) blanksOfJoins(records);
            retypedLink(records, input);
            typedIntoLink(records);
            if (input) typedOverLink();
            if (input === 'insertParagraph') itemTailsFollow(fresh);
        }
        linksApart(touched);
        blocksOutOfParagraphs(touched);
        itemsInLists(touched);
        rowsInTables(touched);
        copiesKeepNoNames(fresh);
        emptyLinks(touched, fresh, records);
        emptyItems(new Set([...fresh, ...touched]), pending.slice(from));
        const at = pending.length;
        collect();
        records = pending.slice(at);
        changed = changed || records.length > 0;
    }
    if (changed && !caretPlaced && ends && ends[0].isConnected && ends[2].isConnected && doc.body.contains(ends[0])) {
        try { selectAgain(...ends); } catch (e) { /* an end beyond its changed text */ }
    }
}

// A named anchor whose picture an action took away goes, its words staying: an anchor that is
// also a link keeps the link and loses only the name.
function anchorsWithoutPicture(records) {
    for (const r of records) {
        const a = r.target;
        if (r.type !== 'childList' || a.localName !== 'a' || !r.removed.some(isAnchorPicture) ||
            !doc.body.contains(a) || [...a.children].some(isAnchorPicture))
            continue;
        if (a.hasAttribute('href')) a.removeAttribute('name');
        else a.replaceWith(...a.childNodes);
    }
}
// The engine moves text by copying it into new nodes and emptying the old ones: what a record
// tells of a text is the value before each change; after the last one, the node's own.
function textsBefore(records) {
    const first = new Map();
    for (const r of records) if (r.type === 'characterData' && !first.has(r.target)) first.set(r.target, r.oldValue);
    const taken = new Map();
    for (const r of records) if (r.type === 'childList' && r.removed.length) {
        if (!taken.has(r.target)) taken.set(r.target, []);
        taken.get(r.target).push(...r.removed);
    }
    // (a node taken out of one and later put back around it is read once)
    const reading = new Set();
    const textOf = n => {
        if (n.nodeType === Node.TEXT_NODE) return first.has(n) ? first.get(n) : n.data;
        if (n.nodeType !== Node.ELEMENT_NODE || reading.has(n)) return '';
        reading.add(n);
        const text = [...new Set([...n.childNodes, ...(taken.get(n) || [])])].map(textOf).join('');
        reading.delete(n);
        return text;
    };
    return textOf;
}
const words = t => t.replace(/\s+/g, ' ').trim();
// The runs of nodes the records added that are still in the page, side by side: each with
// the element that holds it.
function addedRuns(records) {
    const added = [];
    for (const r of records)
        for (const n of r.added || []) if (n.isConnected && doc.body.contains(n) && !added.includes(n)) added.push(n);
    added.sort((a, b) => a.compareDocumentPosition(b) & Node.DOCUMENT_POSITION_FOLLOWING ? -1 : 1);
    const runs = [];
    for (const n of added) {
        const run = runs[runs.length - 1];
        let before = n.previousSibling;
        while (before && blank(before) && !added.includes(before)) before = before.previousSibling;
        if (run && run[run.length - 1] === before) run.push(n);
        else runs.push([n]);
    }
    return runs;
}
// A paragraph (or pre) of an item that a list command or Outdent took away, while what it held
// stays in the page, comes back around it: only the item was selected. A paragraph outside
// items is what becomes the item, and one whose text went into a new block of another kind
// was formatted.
function paragraphsOfItems(records, fresh) {
    // with those taken away inside what was taken away
    const from = new Map();
    for (const r of records)
        for (const n of r.removed || []) {
            if (n.nodeType !== Node.ELEMENT_NODE) continue;
            if (!from.has(n)) from.set(n, r.target);
            for (const e of n.querySelectorAll('p, pre')) if (!from.has(e)) from.set(e, e.parentNode);
        }
    // one that went away whole, its text with it, was taken away, not emptied: it stays so
    const gone = [...from].filter(([p, parent]) => !p.isConnected && !p.firstChild &&
                                                  ['p', 'pre'].includes(p.localName) && itemLists.has(parent.localName));
    if (!gone.length) return;
    const textOf = textsBefore(records), runs = addedRuns(records);
    for (const [p] of gone) {
        const was = textOf(p), text = words(was);
        if (!text) continue;
        const phrasing = n => n.nodeType !== Node.ELEMENT_NODE || (!closesParagraph.has(n.localName) &&
            ![...n.querySelectorAll('*')].some(e => closesParagraph.has(e.localName)));
        const run = runs.find(run => run.every(phrasing) && words(run.map(n => n.textContent).join('')) === text);
        if (!run) continue;
        const box = run[0].parentNode;
        if (fresh.has(box) && !itemLists.has(box.localName)) continue;
        runs.splice(runs.indexOf(run), 1);
        run[0].before(p);
        p.append(...run);
        // the line break that ended its line, and the blank the engine left before it
        if (p.lastChild.localName === 'br' && p.childNodes.length > 1) p.lastChild.remove();
        const next = p.nextSibling;
        if (next && next.localName === 'br' && fresh.has(next)) next.remove();
        if (p.firstChild.nodeType === Node.TEXT_NODE && /^\s/.test(p.firstChild.data) && !/^\s/.test(was))
            p.firstChild.data = p.firstChild.data.replace(/^\s+/, '');
    }
}
// The commands that take items out of their list.
const listCommands = new Set([IDM.ORDERLIST, IDM.UNORDERLIST, IDM.OUTDENT]);
// Where such a command set the items of a list loose among blocks, as lines of text ended by
// line breaks, each item's line becomes a paragraph with the item's attributes; the first
// takes the list's id. An item was a block of its own, and the page's other blocks stand so.
const linesHolders = new Set(['body', 'blockquote', 'div', 'center', 'form', 'dd', 'fieldset']);
function linesOfItems(records, fresh) {
    const items = [], lists = new Map();
    for (const r of records)
        for (const n of r.removed || []) {
            if (n.nodeType !== Node.ELEMENT_NODE || n.isConnected) continue;
            for (const li of n.localName === 'li' ? [n] : n.querySelectorAll('li')) {
                if (li.isConnected || items.includes(li)) continue;
                items.push(li);
                const list = li.parentNode && ['ol', 'ul'].includes(li.parentNode.localName) ? li.parentNode
                    : ['ol', 'ul'].includes(r.target.localName) ? r.target : null;
                if (list && !list.isConnected && !lists.has(list)) lists.set(list, li);
            }
        }
    if (!items.length) return;
    const textOf = textsBefore(records);
    const wanted = new Map();
    for (const li of items) {
        const text = words(textOf(li));
        if (!wanted.has(text)) wanted.set(text, li);
    }
    // an item whose words were a line and blocks after it: the line is the start of its words
    const itemOf = text => wanted.get(text) ||
        (text && [...wanted].find(([words]) => words.startsWith(text + ' '))?.[1]);
    const inline = n => n.nodeType === Node.TEXT_NODE ||
        (n.nodeType === Node.ELEMENT_NODE && !closesParagraph.has(n.localName) && n.localName !== 'br' &&
         !n.querySelector([...closesParagraph].join(', ')));
    for (const run of addedRuns(records)) {
        const box = run[0].parentNode;
        if (!doc.body.contains(run[0])) continue;
        // in a term, an item or a cell the lines stay; one that is all the box holds gives it
        // the item's id
        if (!linesHolders.has(box.localName)) {
            const li = words(box.textContent) && wanted.get(words(box.textContent));
            const id = li && (li.id || [...lists].filter(([list, first]) => first === li).map(([list]) => list.id)[0]);
            if (id && !box.id && !doc.getElementById(id)) box.id = id;
            continue;
        }
        let line = [];
        const end = br => {
            const text = words(line.map(n => n.textContent).join(''));
            const li = line.length ? itemOf(text) : null;
            if (li && line.every(inline)) {
                for (const [k, v] of wanted) if (v === li) wanted.delete(k);
                const p = doc.createElement('p');
                for (const a of li.attributes) if (a.name !== 'value' && a.name !== 'type') p.setAttribute(a.name, a.value);
                for (const [list, first] of lists)
                    if (first === li && list.id && !p.id && !doc.getElementById(list.id)) p.id = list.id;
                line[0].before(p);
                p.append(...line);
                fresh.add(p);
                // a blank at a block's start shows nothing
                if (p.firstChild.nodeType === Node.TEXT_NODE && /^[ \t\n]/.test(p.firstChild.data))
                    p.firstChild.data = p.firstChild.data.replace(/^[ \t\n]+/, '');
                if (br && fresh.has(br)) br.remove();
            }
            line = [];
        };
        for (const n of run) {
            if (n.localName === 'br') end(n);
            else if (n.nodeType === Node.ELEMENT_NODE && closesParagraph.has(n.localName)) end(null);
            else if (!blank(n) || line.length) line.push(n);
        }
        if (line.length) end(null);
    }
}
// A command that made a new element of one the page had (a heading, a paragraph, an item of a
// list of another kind) gives it the old one's id: the block with the same words. Where blocks
// were joined in one (Formatted over several paragraphs), the joined block takes the id of
// the first of them, and the others' ids stay, on an empty span, before their words.
function idsOfReplaced(records, fresh) {
    // made, or moved there (a list command joins the lists it made)
    const candidates = new Set(fresh);
    for (const r of records)
        for (const n of r.added || [])
            if (n.nodeType === Node.ELEMENT_NODE && n.isConnected) for (const e of [n, ...n.querySelectorAll('*')]) candidates.add(e);
    const gone = [];
    for (const r of records)
        for (const n of r.removed || []) {
            if (n.nodeType !== Node.ELEMENT_NODE || n.isConnected) continue;
            for (const e of [n, ...n.querySelectorAll('[id]')])
                if (e.id && !designId(e.id) && !e.isConnected && !gone.includes(e)) gone.push(e);
        }
    if (!gone.length) return;
    const textOf = textsBefore(records);
    // the blocks that may take an id, with their words, read once
    const blocks = [...candidates].filter(f => f.isConnected && doc.body.contains(f) && closesParagraph.has(f.localName))
        .map(f => [f, words(f.textContent)]);
    for (const e of gone) {
        const text = words(textOf(e));
        if (doc.getElementById(e.id)) continue;
        // a list made of another kind of list: the list made with its words
        if (isList(e)) {
            const list = blocks.filter(([f, said]) => fresh.has(f) && !f.id && isList(f) && said === text);
            if (list.length === 1) {
                list[0][0].id = e.id;
                continue;
            }
        }
        // an empty block made into another: the one empty block made
        if (!text) {
            const empties = blocks.filter(([f, said]) => fresh.has(f) && !f.id && !isList(f) && !said);
            if (empties.length === 1 && closesParagraph.has(e.localName)) empties[0][0].id = e.id;
            continue;
        }
        // the innermost block of them
        const made = blocks.filter(([f, said]) => !f.id && said === text).pop();
        if (made) {
            made[0].id = e.id;
            continue;
        }
        const joined = blocks.filter(([, said]) => said.includes(text)).pop();
        // taken apart (a list command set its paragraph and its list loose): the block made of
        // its first part
        if (!joined) {
            const part = blocks.filter(([f, said]) => !f.id && !isList(f) && said && text.startsWith(said))
                .sort(([, a], [, b]) => b.length - a.length)[0];
            if (part) part[0].id = e.id;
            continue;
        }
        if (!joined[0].id && joined[1].startsWith(text)) {
            joined[0].id = e.id;
            continue;
        }
        // the text its words begin with
        const first = words(text.split(' ')[0]);
        const w = doc.createTreeWalker(joined[0], NodeFilter.SHOW_TEXT);
        for (let t = w.nextNode(); t; t = w.nextNode()) {
            if (!words(t.data).startsWith(first) || !text.startsWith(words(t.data).slice(0, text.length))) continue;
            const span = doc.createElement('span');
            span.id = e.id;
            t.before(span);
            break;
        }
    }
}
// The markers of elements the view does not know (aside, section ...) stand for their start
// and end tags: one that an action moved into a paragraph or heading it did not stand in goes
// back out of it, with the line breaks the engine put beside it, so that the tags nest as
// they did. The engine moves a marker as a copy.
const isMarker = n => n.nodeType === Node.ELEMENT_NODE && n.localName === 'img' && n.getAttribute('src') === 'edit:unknown.gif';
function markersOutOfBlocks(records, fresh) {
    const blocks = 'p, h1, h2, h3, h4, h5, h6, pre, address';
    const outside = new Set();
    for (const r of records)
        for (const n of r.removed || [])
            if (isMarker(n) && !(r.target.closest && r.target.closest(blocks))) outside.add(n.id);
    for (const m of fresh) {
        if (!isMarker(m) || !outside.has(m.id) || !m.isConnected) continue;
        const block = m.parentNode.closest(blocks);
        if (!block || !doc.body.contains(block)) continue;
        for (const n of [m.previousSibling, m.nextSibling]) if (n && n.localName === 'br' && fresh.has(n)) n.remove();
        liftOut(m, block);
    }
}
// A join of two blocks keeps the blank that stood at the start of the second (or the end of
// the first), where the engine would drop it as it does at a block's edge.
function blanksOfJoins(records) {
    if (!records.some(r => r.type === 'childList' && r.removed.some(n => n.nodeType === Node.ELEMENT_NODE && closesParagraph.has(n.localName))))
        return;
    const runs = addedRuns(records).flat().filter(n => n.nodeType === Node.TEXT_NODE);
    records.forEach((r, k) => {
        if (r.type !== 'characterData' || r.oldValue === null) return;
        const later = records.slice(k + 1).find(o => o.type === 'characterData' && o.target === r.target);
        const now = later ? later.oldValue : r.target.data;
        const lead = r.oldValue.replace(/^[ \t\n]+/, ''), trail = r.oldValue.replace(/[ \t\n]+$/, '');
        if (lead !== r.oldValue && lead === now && now) {
            const t = [r.target, ...runs].find(t => t.isConnected && doc.body.contains(t) && t.data.startsWith(now));
            const before = t && textBeside(t, false);
            if (before && !/\s/.test(before)) t.insertData(0, ' ');
        } else if (trail !== r.oldValue && trail === now && now) {
            const t = [r.target, ...runs].find(t => t.isConnected && doc.body.contains(t) && t.data.endsWith(now));
            const after = t && textBeside(t, true);
            if (after && !/\s/.test(after)) t.appendData(' ');
        }
    });
}
// The character next to text node T in its block (After: the one after it), or ''.
function textBeside(t, after) {
    const block = t.parentNode.closest(lineHolders);
    const w = doc.createTreeWalker(block, NodeFilter.SHOW_TEXT);
    w.currentNode = t;
    for (let n = after ? w.nextNode() : w.previousNode(); n; n = after ? w.nextNode() : w.previousNode())
        if (n.data) return after ? n.data[0] : n.data[n.data.length - 1];
    return '';
}
// Typing over all of a link's text goes on in the link, where the engine would put what is
// typed at a link's end after it. Refilled: the link and the unit that typed into it.
let refilled = null;
let caretPlaced = false;          // a rule put the caret where typing goes on
// A key that replaced all of a link's text leaves the key's text in it: the link is refilled.
// Where the engine took the emptied link away and typed beside it, the link comes back around
// what was typed.
// Input that puts text where the caret is; Enter, line breaks and deletions put none.
const typedInput = /^insert(Text|ReplacementText|CompositionText|FromPaste|FromDrop|FromYank)$/;
function retypedLink(records, input) {
    if (input && !typedInput.test(input)) return;
    for (const r of input ? records : []) {
        if (r.type !== 'childList' || !doc.body.contains(r.target)) continue;
        const gone = r.removed.find(n => n.localName === 'a' && n.hasAttribute('href') && !n.isConnected);
        const typed = gone && records.flatMap(o => o.added || []).find(n => n.nodeType === Node.TEXT_NODE &&
            n.parentNode === r.target && n.data && (r.next ? n.nextSibling === r.next : !n.nextSibling));
        const grown = gone && !typed && grownBeside(records, r);
        if (!typed && !grown) continue;
        // a copy: what was taken away stays as it went, for undo
        const a = gone.cloneNode(false);
        if (grown) {
            const [t, text, after] = grown;
            t.deleteData(after ? t.length - text.length : 0, text.length);
            if (after) t.after(a);
            else t.before(a);
            a.append(text.trim() ? text : text.replace(/ /g, '\u00a0'));
            getSelection().collapse(a.firstChild, text.length);
            refilled = [a, pending];
            caretPlaced = true;
            continue;
        }
        typed.before(a);
        a.append(typed);
        refilled = [a, pending];
        getSelection().collapse(typed, typed.length);
        caretPlaced = true;
    }
    for (const r of records) {
        const t = r.target, a = t.parentNode;
        if (r.type !== 'characterData' || !t.isConnected || !a || a.localName !== 'a' || !a.hasAttribute('href'))
            continue;
        const first = records.find(o => o.target === t);
        if (first === r && a.textContent === t.data && t.data && r.oldValue && !t.data.startsWith(r.oldValue) &&
            !r.oldValue.startsWith(t.data))
            refilled = [a, pending];
    }
}
// Where the engine typed over a link it took away (record R) into the text beside it: that
// text, what was typed, and whether it went at the text's end. (The engine may have made a
// blank beside what was typed a no-break space; the text gets back its own.)
const sameText = (a, b) => a.replace(/\u00a0/g, ' ') === b.replace(/\u00a0/g, ' ');
function grownBeside(records, r) {
    for (const [t, after] of [[r.prev, true], [r.next, false]]) {
        if (!t || t.nodeType !== Node.TEXT_NODE || !t.isConnected || t.parentNode !== r.target) continue;
        const first = records.find(o => o.type === 'characterData' && o.target === t);
        if (!first || first.oldValue === null || t.length <= first.oldValue.length) continue;
        const old = first.oldValue, typed = t.length - old.length;
        if (after && sameText(t.data.slice(0, old.length), old)) {
            const text = t.data.slice(old.length);
            t.data = old + text;
            return [t, text, true];
        }
        if (!after && sameText(t.data.slice(typed), old)) {
            const text = t.data.slice(0, typed);
            t.data = text + old;
            return [t, text, false];
        }
    }
    return null;
}
// Typing over a selection that takes all of a link's words from the link's start (and maybe
// more): the typed text takes the link, as it takes the looks of the selection's start. The
// link is noted before the key (overLink), and where no other rule kept it, what was typed
// right before the caret goes into a copy of it.
let overLink = null;
function noteOverLink(e) {
    overLink = null;
    const s = getSelection();
    if (!typedInput.test(e.inputType) || !e.data || !s.rangeCount || s.isCollapsed) return;
    const r = s.getRangeAt(0);
    const texts = [...textsIn(r)].filter(t => t.data.trim());
    const link = texts.length ? texts[0].parentNode.closest('a[href]') : null;
    if (!link || !doc.body.contains(link)) return;
    const all = doc.createRange();
    all.selectNodeContents(link);
    const own = [...textsIn(all)].filter(t => t.data.trim());
    const last = own[own.length - 1];
    if (!own.length || r.comparePoint(last, last.data.trimEnd().length) > 0) return;
    overLink = [link, e.data];
}
function typedOverLink() {
    const noted = overLink;
    overLink = null;
    if (!noted || (refilled && refilled[1] === pending)) return;
    const [link, data] = noted;
    if (link.isConnected && link.textContent.includes(data)) return;
    const s = getSelection();
    if (!s.rangeCount || !s.isCollapsed) return;
    const t = s.anchorNode, k = s.anchorOffset;
    if (!t || t.nodeType !== Node.TEXT_NODE || k < data.length || !sameText(t.data.slice(k - data.length, k), data) ||
        t.parentNode.closest('a'))
        return;
    const typed = t.splitText(k - data.length);
    typed.splitText(data.length);
    const a = link.cloneNode(false);
    typed.before(a);
    a.append(typed);
    if (!typed.data.trim()) typed.data = typed.data.replace(/ /g, '\u00a0');
    s.collapse(typed, typed.length);
    refilled = [a, pending];
    caretPlaced = true;
}
// What is typed right beside the refilled link goes into it.
function typedIntoLink(records) {
    if (!refilled || refilled[1] !== pending || !refilled[0].isConnected) return false;
    const a = refilled[0];
    const into = text => {
        const end = a.lastChild && a.lastChild.nodeType === Node.TEXT_NODE ? a.lastChild : a.appendChild(doc.createTextNode(''));
        // a blank typed last was kept visible as a no-break space; a word after it makes it a blank
        if (end.data.endsWith('\u00a0') && !/^\s/.test(text)) end.replaceData(end.length - 1, 1, ' ');
        end.appendData(text);
        getSelection().collapse(end, end.length);
        caretPlaced = true;
        return true;
    };
    for (const r of records) {
        const t = r.target, old = r.oldValue;
        if (r.type !== 'characterData' || old === null || !t.isConnected || t.data.length <= old.length) continue;
        const typed = t.data.length - old.length;
        if (t.previousSibling === a && t.data.endsWith(old)) {
            const text = t.data.slice(0, typed);
            t.deleteData(0, typed);
            return into(text);
        }
        if (t.nextSibling === a && t.data.startsWith(old)) {
            const text = t.data.slice(old.length);
            t.deleteData(old.length, typed);
            return into(text);
        }
    }
    for (const r of records)
        for (const n of r.added || [])
            if (n.nodeType === Node.TEXT_NODE && n.isConnected && (n.previousSibling === a || n.nextSibling === a)) {
                n.remove();
                return into(n.data);
            }
    return false;
}
// Enter in a block of an item (a heading, a paragraph) that other blocks follow in the item: the
// engine makes a new item of the block's second half after the item and leaves those blocks
// behind. What followed the caret in the item goes with the second half, so the words keep
// their order; a list after the new item's text is what Enter at an item's end gives too.
// The block the caret was in is noted before the key.
let enterBlock = null;
function noteEnterBlock(e) {
    enterBlock = null;
    const s = getSelection();
    if (e.inputType !== 'insertParagraph' || !s.rangeCount) return;
    const at = s.getRangeAt(0).startContainer;
    // the block of the item that holds the caret, through the blocks around it (a paragraph
    // in a blockquote)
    let block = (at.nodeType === Node.ELEMENT_NODE ? at : at.parentNode).closest([...closesParagraph].join(', '));
    while (block && !itemLists.has(block.localName) && !isList(block) && block.parentNode &&
           block.parentNode !== doc.body && !isItem(block.parentNode))
        block = block.parentNode;
    if (block && !itemLists.has(block.localName) && !isList(block) && block.parentNode && isItem(block.parentNode))
        enterBlock = block;
}
function itemTailsFollow(fresh) {
    const block = enterBlock;
    enterBlock = null;
    const s = getSelection();
    const item = s.rangeCount ? caretItem(s.getRangeAt(0)) : null;
    if (!block || !item || !fresh.has(item) || !block.isConnected) return;
    const before = item.previousElementSibling;
    if (!before || block.parentNode !== before || before.localName !== item.localName) return;
    const tail = [];
    for (let n = block.nextSibling; n; n = n.nextSibling) tail.push(n);
    if (!tail.some(n => !blank(n))) return;
    item.append(...tail);
}
// Node (and the siblings after it up to Last) out of Top, which holds it: Top is split before
// and after them, and the part of Top around them alone gives way. The halves of Top keep
// what they hold; an empty one goes.
function liftOut(node, top, last = node) {
    const r = doc.createRange();
    r.setStartBefore(node);
    r.collapse(true);
    const rest = splitUpTo(r, top, node);
    if (!rest) return;
    r.setStartAfter(last);
    r.collapse(true);
    const after = splitUpTo(r, rest, node);
    if (!rest.isConnected) return;
    // Top's id goes with what it held, where neither half of it is left
    if (rest.id && !top.isConnected && !after && node === last && !node.id && node.nodeType === Node.ELEMENT_NODE)
        node.id = rest.id;
    rest.replaceWith(...rest.childNodes);
}
// No link stands in a link: the outer one is split around the inner one, and around what came
// in with it (a paste that brings a link stands between the halves of the link it went into).
const placed = new WeakSet();     // the nodes a paste, a drop or an insert put in, side by side
function linksApart(touched) {
    const came = n => n && placed.has(n);
    for (const el of touched) {
        if (!el.isConnected || !isLink(el)) continue;
        const outer = el.parentNode && el.parentNode.closest('a');
        if (!outer || !doc.body.contains(outer)) continue;
        let first = el, last = el;
        if (came(el)) {
            while (came(first.previousSibling)) first = first.previousSibling;
            while (came(last.nextSibling)) last = last.nextSibling;
        }
        liftOut(first, outer, last);
    }
    // links an action put around others
    for (const el of touched) {
        if (!el.isConnected || el.localName !== 'a') continue;
        for (const inner of [...el.querySelectorAll('a, img')].filter(isLink))
            if (inner.isConnected && el.contains(inner)) liftOut(inner, el);
    }
}
// Nothing a browser ends a paragraph for stands in a p, and no heading in a heading: the
// paragraph is split around it.
function blocksOutOfParagraphs(touched) {
    const holders = new Set();
    for (const el of touched) {
        for (let n = el; n && n !== doc.body; n = n.parentNode) if (paragraphNames.has(n.localName)) holders.add(n);
        for (const p of el.querySelectorAll('p, h1, h2, h3, h4, h5, h6')) holders.add(p);
    }
    for (const p of holders) {
        if (!p.isConnected) continue;
        const wrong = p.localName === 'p' ? closesParagraph : headingNames;
        for (const inner of [...p.querySelectorAll('*')].filter(e => wrong.has(e.localName))) {
            // the outermost such element; its own blocks go with it
            let top = inner.parentNode;
            while (top !== p && !wrong.has(top.localName)) top = top.parentNode;
            if (top === p && p.contains(inner)) liftOut(inner, p);
        }
    }
}
// Items stand only in lists of their kind, lists only in items: loose items go into a list of
// their kind (one beside them when there is one), and a list right in a list goes into the
// item before it (or one of its own). Definitions left by a list command without a term go
// with what became of their term.
function itemsInLists(touched) {
    const allowed = (item, parent) => belongsTo(item, parent) ||
        (item.localName === 'li' && ['menu', 'dir'].includes(parent.localName)) ||
        (item.localName !== 'li' && parent.localName === 'div' && parent.parentNode.localName === 'dl');
    const sibling = (n, way) => {
        do n = n[way]; while (n && blank(n));
        return n;
    };
    const kindOf = n => n && n.nodeType === Node.ELEMENT_NODE && itemLists.has(n.localName) ? itemLists.get(n.localName)[0] : null;
    for (const el of touched) {
        if (!el.isConnected || !itemLists.has(el.localName) || allowed(el, el.parentNode)) continue;
        // the run of loose items of one kind that el is in
        let first = el;
        for (let n = sibling(el, 'previousSibling'); kindOf(n) === kindOf(el); n = sibling(n, 'previousSibling'))
            first = n;
        const run = [];
        for (let n = first; n && (blank(n) || kindOf(n) === kindOf(el)); n = n.nextSibling) run.push(n);
        while (run.length && blank(run[run.length - 1])) run.pop();
        const kinds = itemLists.get(el.localName);
        const before = sibling(first, 'previousSibling'), after = sibling(run[run.length - 1], 'nextSibling');
        if (before && kinds.includes(before.localName)) before.append(...run);
        else if (after && kinds.includes(after.localName)) after.prepend(...run);
        else {
            const list = doc.createElement(kinds[kinds.length - 1]);
            first.before(list);
            list.append(...run);
        }
    }
    for (const el of touched) {
        if (!el.isConnected || !isList(el) || !isList(el.parentNode)) continue;
        const holder = el.parentNode.localName === 'dl' ? ['dd', 'dt'] : ['li'];
        const before = sibling(el, 'previousSibling');
        if (before && holder.includes(before.localName)) before.append(el);
        else {
            const item = doc.createElement(holder[0]);
            el.replaceWith(item);
            item.append(el);
        }
    }
    // words right in a dl are a definition
    for (const el of touched) {
        if (!el.isConnected || el.localName !== 'dl') continue;
        const loose = n => (n.nodeType === Node.TEXT_NODE && n.data.trim()) ||
            (n.nodeType === Node.ELEMENT_NODE && !closesParagraph.has(n.localName) && !isPicture(n) && n.localName !== 'br');
        for (const n of [...el.childNodes]) {
            if (!n.isConnected || n.parentNode !== el || !loose(n)) continue;
            const dd = doc.createElement('dd');
            n.before(dd);
            for (let m = n; m && (loose(m) || blank(m) || m.localName === 'br');) {
                const next = m.nextSibling;
                dd.append(m);
                m = next;
            }
        }
    }
    // a block that is no item of a dl (a term made a paragraph) stands outside it, between its
    // halves
    for (const el of touched) {
        const dl = el.parentNode;
        if (!el.isConnected || !dl || dl.localName !== 'dl' || !closesParagraph.has(el.localName) ||
            itemLists.has(el.localName) || isList(el) || el.localName === 'div')
            continue;
        liftOut(el, dl);
        const after = sibling(el, 'nextSibling');
        if (after && after.localName === 'dl') touched.add(after);
    }
    // definitions before a dl's first term go to the term before them (in the dl right before
    // this one), or to what became of their term (the last item of the list right before,
    // where a list command took it), or else stand as what they hold, in front of the dl
    for (const el of touched) {
        if (!el.isConnected || el.localName !== 'dl') continue;
        const leading = [];
        for (const c of el.children) {
            if (c.localName !== 'dd') break;
            leading.push(c);
        }
        if (!leading.length) continue;
        const before = sibling(el, 'previousSibling');
        if (before && before.localName === 'dl' && [...before.children].some(c => c.localName === 'dt')) {
            before.append(...leading);
        } else {
            const item = before && ['ol', 'ul'].includes(before.localName) && before.lastElementChild &&
                before.lastElementChild.localName === 'li' ? before.lastElementChild : null;
            for (const dd of leading) {
                const held = [...dd.childNodes];
                if (held.some(n => n.nodeType === Node.ELEMENT_NODE && closesParagraph.has(n.localName))) {
                    if (item) item.append(...held);
                    else el.before(...held);
                } else {
                    const p = doc.createElement('p');
                    for (const a of dd.attributes) p.setAttribute(a.name, a.value);
                    if (item) item.append(p);
                    else el.before(p);
                    p.append(...held);
                }
                dd.remove();
            }
        }
        if (![...el.childNodes].some(n => !blank(n))) el.remove();
    }
}
// Rows stand in a table or its sections, cells in rows: loose ones get a row and a table. A
// row right in a table stays so: the page saves a table as it was written, and a browser
// reads its rows into a tbody of its own.
function rowsInTables(touched) {
    // the run of nodes of a kind around El, blanks between them, into a new Tag
    const wrap = (el, kind, tag) => {
        const goes = n => n && (blank(n) || kind(n));
        let first = el;
        while (goes(first.previousSibling)) first = first.previousSibling;
        const box = doc.createElement(tag);
        first.before(box);
        for (let n = first; goes(n);) {
            const next = n.nextSibling;
            box.append(n);
            n = next;
        }
        return box;
    };
    const isCell = n => n.localName === 'td' || n.localName === 'th', isRow = n => n.localName === 'tr';
    const holders = new Set(['table', 'tbody', 'thead', 'tfoot']);
    const place = row => {
        if (row.isConnected && !holders.has(row.parentNode.localName)) wrap(row, isRow, 'table');
    };
    for (const el of touched)
        if (el.isConnected && isCell(el) && !isRow(el.parentNode)) place(wrap(el, isCell, 'tr'));
    for (const el of touched) if (isRow(el)) place(el);
}
// An element an action made (by Enter, a split, a paste of a copy) takes no id, and no anchor
// name, that the page already has: the element the page had keeps it. A copy the engine made of
// a table the view keeps apart stands for nothing of the document: it goes in as a new table.
function copiesKeepNoNames(fresh) {
    for (const el of fresh) {
        if (!el.isConnected || !doc.body.contains(el) || isPicture(el)) continue;
        for (const name of el.localName === 'a' ? ['id', 'name'] : ['id']) {
            const v = el.getAttribute(name);
            if (!v || (name === 'id' && designId(v) && el.localName !== 'table')) continue;
            const same = [...doc.body.querySelectorAll((name === 'name' ? 'a' : '') + '[' + name + '="' + CSS.escape(v) + '"]')];
            if (same.length < 2) continue;
            const keeper = same.find(e => !fresh.has(e)) || same[0];
            if (keeper === el) continue;
            el.removeAttribute(name);
            if (designId(v)) el.removeAttribute('onresizeend');
        }
        // an anchor left with no name shows no picture
        if (el.localName === 'a' && !el.hasAttribute('name'))
            for (const c of [...el.children]) if (isAnchorPicture(c)) c.remove();
    }
}
// No link is left empty, and no a with nothing to say: an empty link takes what the action
// put right beside it (typed or pasted over its whole text), or goes; an a with no attributes
// gives way to what it holds.
function emptyLinks(touched, fresh, records) {
    // a blank typed over its words is the link's; the view's pictures of tags show nothing of it
    const shows = e => !isPicture(e) || e.getAttribute('src') === 'edit:trans.gif';
    const typedInto = a => refilled && refilled[0] === a && refilled[1] === pending;
    const empty = a => !(typedInto(a) ? a.textContent : a.textContent.trim()) &&
        ![...a.querySelectorAll('img, input, select, textarea, button, object, embed, iframe, hr, table')].some(shows);
    const inline = n => n.nodeType === Node.TEXT_NODE ||
        (n.nodeType === Node.ELEMENT_NODE && !closesParagraph.has(n.localName) && !isLink(n) &&
         !n.querySelector('a') && n.localName !== 'br');
    const isNew = n => fresh.has(n) || (n.nodeType === Node.TEXT_NODE && newTexts.has(n));
    const newTexts = new Set();
    for (const r of pending) if (r.added) for (const n of r.added) if (n.nodeType === Node.TEXT_NODE) newTexts.add(n);
    const links = new Set();
    for (const el of touched) {
        if (el.localName === 'a') links.add(el);
        for (const a of el.querySelectorAll('a')) links.add(a);
        const around = el.closest('a');
        if (around) links.add(around);
    }
    for (const a of links) {
        if (!a.isConnected || !doc.body.contains(a)) continue;
        if (!a.attributes.length) {
            a.replaceWith(...a.childNodes);
            continue;
        }
        if (!a.hasAttribute('href') || !empty(a)) continue;
        const taken = [];
        for (const way of ['previousSibling', 'nextSibling'])
            for (let n = a[way]; n && inline(n) && isNew(n); n = n[way]) taken.push([way, n]);
        for (const [way, n] of taken) {
            if (way === 'previousSibling') a.prepend(n);
            else a.append(n);
        }
        const was = refilled;
        refilled = [a, pending];
        if (!taken.length && !typedIntoLink(records)) refilled = was;
        // a named link left without its words stays a named anchor
        if (empty(a) && a.hasAttribute('name')) a.removeAttribute('href');
        else if (empty(a)) a.replaceWith(...a.childNodes);
    }
}
// An item or list an action made or emptied with nothing in it that shows (the engine leaves
// them behind when it moves a list, maybe with an empty element in them) goes, and the list of
// such an item when that is left empty. An empty line the user made holds a line break, and
// stays; so does what was just typed.
function emptyItems(touched, records) {
    const typed = new Set();
    for (const r of records) {
        if (r.type === 'characterData') typed.add(r.target);
        for (const n of r.added || []) typed.add(n);
    }
    const shows = 'img, input, select, textarea, button, object, embed, iframe, hr, table, br';
    const empty = el => !el.textContent.replace(/[ \t\r\n]/g, '') && !el.querySelector(shows) &&
                        ![...typed].some(n => n.nodeType === Node.TEXT_NODE && el.contains(n));
    for (const el of touched) {
        if (!el.isConnected || !(isItem(el) || isList(el)) || !empty(el)) continue;
        const list = el.parentNode;
        el.remove();
        if (isList(list) && empty(list)) list.remove();
    }
}
// No style the user did not set: what the engine copied from computed styles into the elements
// it made or restyled goes, and a span or font it left bare gives way to what it holds.
function engineStyles(records, touched, fresh, asked) {
    const strip = (el, old, computedOnly) => {
        const before = new Set();
        if (old) {
            const t = doc.createElement('span');
            t.setAttribute('style', old);
            for (const p of t.style) before.add(p);
        }
        const drop = [...el.style].filter(p => !before.has(p) && computedStyles.test(p) &&
                                          !asked.some(a => p === a || p.startsWith(a + '-')) &&
                                          (!computedOnly || p === 'display' ||
                                           /rgb\(|!important/.test(el.style.getPropertyValue(p) + el.style.getPropertyPriority(p))));
        for (const p of drop) el.style.removeProperty(p);
        if (drop.length && !el.style.length) el.removeAttribute('style');
        if ((el.localName === 'span' || el.localName === 'font') && !el.attributes.length)
            el.replaceWith(...el.childNodes);
    };
    const olds = new Map();
    for (const r of records)
        if (r.type === 'attributes' && r.name === 'style' && !olds.has(r.target)) olds.set(r.target, r.oldValue);
    for (const [el, old] of olds) if (el.isConnected && doc.body.contains(el) && !fresh.has(el)) strip(el, old);
    // the looks of a b, i or u the engine folded into a copy of an element (a link it moved
    // out of them) go back to the tags
    const tags = [['font-weight', /^(bold|[6-9]00)$/, 'b'], ['font-style', /^italic$/, 'i'],
                  ['text-decoration', /underline/, 'u'], ['text-decoration-line', /underline/, 'u']];
    const toTags = el => {
        for (const [prop, value, tag] of tags) {
            if (asked.some(a => prop === a || prop.startsWith(a + '-')) || !value.test(el.style.getPropertyValue(prop)))
                continue;
            el.style.removeProperty(prop);
            if (prop === 'text-decoration') el.style.removeProperty('text-decoration-line');
            const wrap = doc.createElement(tag);
            wrap.append(...el.childNodes);
            el.append(wrap);
        }
        if (!el.style.length) el.removeAttribute('style');
    };
    for (const el of fresh) {
        if (!el.isConnected || !el.hasAttribute('style')) continue;
        // what the engine wraps text in keeps nothing it computed; another element it made (a
        // copy of one it split) keeps what was written, not values the engine computes
        if (el.localName === 'span' || el.localName === 'font') {
            strip(el, null, false);
        } else {
            strip(el, null, true);
            if (el.localName === 'a' && el.hasAttribute('style')) toTags(el);
        }
    }
}

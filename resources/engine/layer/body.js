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
    return setBody(fetched(url));
}
function fetched(url) {
    const request = new XMLHttpRequest();
    request.open('GET', url, false);
    request.overrideMimeType('application/json; charset=utf-8');
    request.send();
    if (request.status !== 200) throw new Error('The body could not be fetched');
    return request.responseText;
}
// The body served at Url in place of the page's, its attributes and children, as one change
// that undo takes back: the nodes before stay, for the units around it.
function replaceBody(url) {
    const [bodyAttributes, children] = readBody(fetched(url));
    const body = doc.body;
    const kept = new Set(bodyAttributes.map(a => a[0].toLowerCase()));
    for (const a of [...body.attributes]) if (!kept.has(a.name)) body.removeAttribute(a.name);
    setAttributes(body, bodyAttributes);
    body.replaceChildren(children);
    // nothing is selected, as in a page just loaded
    getSelection().removeAllRanges();
    control = null;
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


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

// ---------------------------------------------------------------- empty cells
// An empty table cell has no line box and shrinks to its padding, too small to click into:
// it gets room for a caret. The selector weighs least, so a tag glyph on cells wins.
const cellSheet = new CSSStyleSheet();
cellSheet.replaceSync(':where(td:empty, th:empty)::after{content:"";display:inline-block;' +
                      'width:1em;height:1em;vertical-align:baseline}');
doc.adoptedStyleSheets = doc.adoptedStyleSheets.concat([cellSheet]);

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


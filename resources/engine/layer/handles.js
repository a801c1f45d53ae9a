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


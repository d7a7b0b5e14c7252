#include "browser/engine/LiveWorldScript.h"

namespace tw {

// Runs in our own script world of every document the live view shows. It
// parses a new text of the page with the engine's own HTML parser and
// changes the shown document to match it: text, attributes and elements
// that differ, nothing else, so the page's scripts, scroll position, focus
// and what the user typed into its fields stay. The page's scripts never see
// any of it: it lives in a world of its own.
const char kLiveWorldScript[] = R"js(
(function () {
'use strict';
if (window.twLive)
  return;
let bridge = null;
let unsent = -1; // a paint that came before the channel was up
if (typeof QWebChannel === 'function' && window.qt && qt.webChannelTransport) {
  new QWebChannel(qt.webChannelTransport, function (channel) {
    bridge = channel.objects.twLiveBridge;
    if (unsent >= 0)
      bridge.painted(unsent);
  });
}
const parser = new DOMParser();

// Template contents are no children: isEqualNode does not look at them.
function templatesEqual(a, b) {
  const ta = a.localName === 'template' ? [a] : Array.from(a.getElementsByTagName('template'));
  const tb = b.localName === 'template' ? [b] : Array.from(b.getElementsByTagName('template'));
  if (ta.length !== tb.length)
    return false;
  for (let i = 0; i < ta.length; ++i)
    if (ta[i].innerHTML !== tb[i].innerHTML)
      return false;
  return true;
}

// With scripts on, the shown page holds a noscript element's content as
// text, where our parser (scripts off) makes elements of it: morph leaves
// its content alone, which is the same as long as its text is (the program
// loads the page anew when it changes). In the head our parser would even
// move what follows it into the body: such pages are loaded anew.
function noscriptInHead(doc) {
  return doc.head && doc.head.getElementsByTagName('noscript').length > 0;
}

// Whether either document of this update has a template element: without
// one, isEqualNode alone compares all there is.
let templates = false;

// Called for every child compared: as few calls into the engine as can be.
function equal(a, b) {
  return a.isEqualNode(b) && (!templates || a.nodeType !== 1 || templatesEqual(a, b));
}

function sameKind(a, b) {
  if (a.nodeType !== b.nodeType)
    return false;
  if (a.nodeType === 1)
    return a.namespaceURI === b.namespaceURI && a.localName === b.localName;
  if (a.nodeType === 10)
    return a.name === b.name && a.publicId === b.publicId && a.systemId === b.systemId;
  return true;
}

// Counts the changes to the document's elements, by us or the page's
// scripts, from the first time it is asked for (see elementChanges): the
// caret's list of the elements is made again only after one. Text and
// attributes changed in place leave it alone.
let elementChanges = 0;
let watcher = null;
function countElementChanges() {
  if (!watcher) {
    watcher = new MutationObserver(() => { ++elementChanges; });
    watcher.observe(document, { childList: true, subtree: true });
  } else if (watcher.takeRecords().length) {
    ++elementChanges;
  }
  return elementChanges;
}

function take(n) {
  return document.importNode(n, true);
}

function syncAttributes(a, b) {
  const order = el => Array.from(el.attributes, x => x.name).join(' ');
  if (order(a) !== order(b)) {
    // One added, taken away or moved: rebuilt in the written order, as a
    // load has them.
    for (const x of Array.from(a.attributes))
      a.removeAttributeNS(x.namespaceURI, x.localName);
    for (const x of Array.from(b.attributes))
      a.setAttributeNS(x.namespaceURI, x.name, x.value);
    return;
  }
  for (const x of Array.from(b.attributes))
    if (a.getAttributeNS(x.namespaceURI, x.localName) !== x.value)
      a.setAttributeNS(x.namespaceURI, x.name, x.value);
}

// Changes a to match b; b is of a's kind. Returns the node now in a's place.
function morph(a, b) {
  if (a.nodeType === 1) {
    try {
      syncAttributes(a, b);
    } catch (e) {
      // Half-typed markup makes attribute names no script may set; the
      // parser's copy has them.
      const made = take(b);
      a.parentNode.replaceChild(made, a);
      return made;
    }
    if (a.localName === 'noscript')
      return a;
    if (a.localName === 'template') {
      ++elementChanges; // its content is no part of the document
      morphChildren(a.content, b.content);
    }
    morphChildren(a, b);
  } else if (a.nodeType !== 10 && a.nodeValue !== b.nodeValue) {
    a.nodeValue = b.nodeValue;
  }
  return a;
}

// Where the last change among the children of an element with many of them
// was: how many children before it and after it were equal. The next edit
// is mostly typed at the same place.
const lastChange = new WeakMap();
const kMany = 64;

// Whether live's children equal fresh's but for the middle ones, those
// after the first `before` and before the last `after` (their number may
// differ). The middle of fresh is put aside for copies of live's middle,
// and the two elements are compared in one call, without a step per child;
// fresh is then put back as it was.
function equalOutside(live, fresh, before, after) {
  const l = live.childNodes, f = fresh.childNodes;
  if (before + after > l.length || before + after > f.length)
    return false;
  const freshEnd = f[f.length - after] || null;
  const middle = [];
  for (let n = f[before] || null; n !== freshEnd; n = n.nextSibling)
    middle.push(n);
  middle.forEach(n => fresh.removeChild(n));
  const copies = [];
  for (let n = l[before] || null, end = l[l.length - after] || null; n !== end; n = n.nextSibling)
    copies.push(fresh.insertBefore(fresh.ownerDocument.importNode(n, true), freshEnd));
  const same = live.isEqualNode(fresh);
  copies.forEach(n => fresh.removeChild(n));
  middle.forEach(n => fresh.insertBefore(n, freshEnd));
  return same;
}

function morphChildren(live, fresh) {
  // The root element, head and body hold all there is: compared whole
  // first, they would be walked through for nothing at nearly every edit.
  // Morphed straight away, they change as little.
  const top = live === document || live === document.documentElement;
  let cur = live.firstChild;
  let f = fresh.firstChild;
  // Only the children from cur and f up to these are compared.
  let curEnd = null;
  let fEnd = null;
  const many = !top && !templates && live.nodeType === 1 && fresh.childNodes.length >= kMany;
  const hint = many && lastChange.get(live);
  const ranged = hint && equalOutside(live, fresh, hint.before, hint.after);
  if (ranged) {
    const l = live.childNodes, fc = fresh.childNodes;
    cur = l[hint.before] || null;
    f = fc[hint.before] || null;
    curEnd = l[l.length - hint.after] || null;
    fEnd = fc[fc.length - hint.after] || null;
  }
  // The index of f, and of the first and last of fresh's children that
  // changed anything (after all of them: live's last were taken away).
  let at = 0, first = -1, last = -1;
  while (f !== fEnd) {
    const nextF = f.nextSibling;
    if (!(top && cur && cur.nodeType === 1) && cur !== curEnd && equal(cur, f)) {
      cur = cur.nextSibling;
      f = nextF;
      ++at;
      continue;
    }
    if (first < 0)
      first = at;
    last = at;
    if (cur === curEnd) {
      live.insertBefore(take(f), curEnd);
      f = nextF;
      ++at;
      continue;
    }
    const nextC = cur.nextSibling;
    // Something written before cur, or cur taken out: a neighbour matches.
    if (nextF !== fEnd && equal(cur, nextF)) {
      live.insertBefore(take(f), cur);
      f = nextF;
      ++at;
      continue;
    }
    if (nextC !== curEnd && equal(nextC, f)) {
      live.removeChild(cur);
      cur = nextC;
      continue;
    }
    if (sameKind(cur, f)) {
      cur = morph(cur, f);
    } else {
      const made = take(f);
      live.replaceChild(made, cur);
      cur = made;
    }
    cur = cur.nextSibling;
    f = nextF;
    ++at;
  }
  if (cur !== curEnd) {
    first = first < 0 ? at : first;
    last = at;
  }
  while (cur !== curEnd) {
    const next = cur.nextSibling;
    live.removeChild(cur);
    cur = next;
  }
  if (many && !ranged && first >= 0)
    lastChange.set(live, { before: first, after: Math.max(0, at - last - 1) });
}

// The place of the element at the top of the view: its path of element
// indices from the root and its distance from the top of the view.
function anchor() {
  if (window.scrollY === 0 && window.scrollX === 0)
    return null;
  let el = document.elementFromPoint(Math.max(0, Math.min(window.innerWidth / 2, 40)), 0);
  const place = { x: window.scrollX, y: window.scrollY, path: null, top: 0 };
  if (!el || el === document.documentElement || el === document.body)
    return place;
  const path = [];
  for (let n = el; n && n !== document.documentElement; n = n.parentElement)
    path.unshift(Array.prototype.indexOf.call(n.parentElement.children, n));
  place.path = path;
  place.top = el.getBoundingClientRect().top;
  return place;
}

function paint(revision) {
  requestAnimationFrame(function () {
    if (bridge)
      bridge.painted(revision);
    else
      unsent = revision;
  });
}

// The text the document was last brought to, and its revision: the next
// change may be sent as an edit of it.
let shown = null;

// Returns "done", or the place to keep when the text must be loaded.
// A new quirks mode or a frameset cannot be had in place.
function update(revision, text) {
  shown = null;
  try {
    const fresh = parser.parseFromString(text, 'text/html');
    if (fresh.compatMode !== document.compatMode || !document.body || !fresh.body
        || fresh.body.localName !== document.body.localName || noscriptInHead(fresh)
        || noscriptInHead(document))
      return { reload: true, place: anchor() };
    templates = document.getElementsByTagName('template').length > 0
      || fresh.getElementsByTagName('template').length > 0;
    morphChildren(document, fresh);
  } catch (e) {
    return { reload: true, place: anchor() };
  }
  shown = { revision: revision, text: text };
  paint(revision);
  return 'done';
}

window.twLive = {
  update: update,
  // The text of revision base with `removed` characters at `at` replaced by
  // inserted; { resend: true } when this document does not hold that text.
  change: function (revision, base, at, removed, inserted) {
    if (!shown || shown.revision !== base || at + removed > shown.text.length)
      return { resend: true };
    const text = shown.text;
    return update(revision, text.slice(0, at) + inserted + text.slice(at + removed));
  },
  place: function (p) {
    if (!p)
      return;
    let y = p.y;
    if (p.path) {
      let n = document.documentElement;
      for (const i of p.path)
        n = n && n.children[i];
      if (n)
        y = n.getBoundingClientRect().top + window.scrollY - p.top;
    }
    window.scrollTo(p.x, y);
  },
  elementChanges: countElementChanges,
  anchor: anchor,
  paint: paint,
  restyle: function (address, css) {
    const made = new CSSStyleSheet();
    made.replaceSync(css);
    const rules = Array.from(made.cssRules, r => r.cssText);
    for (const link of document.querySelectorAll('link')) {
      const sheet = link.sheet;
      if (!sheet || !link.href || link.href.split(/[?#]/)[0] !== address)
        continue;
      while (sheet.cssRules.length)
        sheet.deleteRule(sheet.cssRules.length - 1);
      rules.forEach((r, i) => sheet.insertRule(r, i));
    }
    return 'done';
  },
};
})();
)js";

} // namespace tw

// The page's half of the web driver (a --js-library of the program): the page
// is the window system. Windows with a caption bar and a close box, dragged by
// the caption, the active one in front; a canvas each, painted by the model;
// real buttons; modal boxes; keys to the model; ticks; ARIA; the end.
// Events go to the model's entry points, _vorel_key(window, driver, ...) and
// the like (ui/web/web_driver.cpp).
var vorelPage = {
  $vp__deps: ['$Asyncify', '$stringToNewUTF8', 'free'],
  $vp: {
    windows: {}, // by the C++ window's address
    waits: [], // suspended waits of the program, innermost last
    boxes: [], // open boxes, innermost last
    active: null,
    z: 1,
    timer: 0,
    late: null, // a tick that fell due while the page was hidden
    scale: 1, // the desk's, so that the largest window fits the viewport
    dpi: 96,
    need: [0, 0], // the largest window's size
    down: {}, // the keys down, by KeyboardEvent.code
    held: {}, // keys already down when a box or the end appeared: they act on neither
    fonts: {},
    pictures: {},
    // An element; `set` holds its properties, or else attributes.
    el: function (tag, cls, parent, set) {
      var e = document.createElement(tag);
      e.className = cls;
      for (var k in set || {}) k in e ? (e[k] = set[k]) : e.setAttribute(k, set[k]);
      return parent ? parent.appendChild(e) : e;
    },
    font: function (px, weight, italic) { return (italic ? 'italic ' : '') + weight + ' ' + px + 'px vorel-labels, sans-serif'; },
    colour: function (rgb) { return '#' + (0x1000000 + rgb).toString(16).slice(1); },
    place: function (e, x, y, width, height) {
      Object.assign(e.style, { left: x + 'px', top: y + 'px' }, width === undefined ? {} : { width: width + 'px', height: height + 'px' });
    },
    // A frame moved back inside the desk, as far as it fits.
    inside: function (frame) {
      var p = frame.parentElement;
      vp.place(frame, Math.max(0, Math.min(frame.offsetLeft, p.clientWidth - frame.offsetWidth)), Math.max(0, Math.min(frame.offsetTop, p.clientHeight - frame.offsetHeight)));
    },
    // The desk scaled so that the largest window fits the viewport, at a DPI
    // of whole dots; every frame kept inside.
    fit: function () {
      var ratio = window.devicePixelRatio || 1, fits = Math.min(1, innerWidth / vp.need[0], innerHeight / vp.need[1]);
      vp.dpi = fits < 1 ? Math.max(1, Math.floor(96 * ratio * fits)) : Math.round(96 * ratio);
      vp.scale = fits < 1 ? vp.dpi / 96 / ratio : 1;
      Object.assign(document.getElementById('desk').style, { width: Math.floor(innerWidth / vp.scale) + 'px', height: Math.floor(innerHeight / vp.scale) + 'px', transform: vp.scale < 1 ? 'scale(' + vp.scale + ')' : 'none' });
      document.querySelectorAll('.window:not([hidden]), .box').forEach(vp.inside);
    },
    // A new viewport or pixel ratio: every window painted again at its scale.
    refit: function () {
      vp.fit();
      for (var id in vp.windows) if (vp.windows[id].shown) _vorel_expose(+id, vp.windows[id].driver);
    },
    watchRatio: function () {
      matchMedia('(resolution: ' + (window.devicePixelRatio || 1) + 'dppx)').addEventListener('change', function () { vp.watchRatio(); vp.refit(); }, { once: true });
    },
    // A caption bar with the icon, the title and a close box; dragging it, by
    // mouse or finger, moves `frame`.
    captionBar: function (frame, title, close, icon) {
      var bar = vp.el('div', 'bar', frame);
      if (icon) vp.el('canvas', 'icon', bar, { width: icon.width, height: icon.height }).getContext('2d').drawImage(icon, 0, 0);
      var text = vp.el('span', 'title', bar, { id: 'vorel-' + vp.z++, textContent: title });
      vp.el('button', 'close', bar, { tabIndex: -1, 'aria-label': 'Close', textContent: '\u00d7', onclick: close });
      bar.onpointerdown = function (e) {
        if (e.button !== 0 || e.target.tagName === 'BUTTON') return;
        var dx = e.clientX / vp.scale - frame.offsetLeft, dy = e.clientY / vp.scale - frame.offsetTop;
        var move = function (m) { vp.place(frame, m.clientX / vp.scale - dx, m.clientY / vp.scale - dy); vp.inside(frame); };
        addEventListener('pointermove', move);
        addEventListener('pointerup', function () { removeEventListener('pointermove', move); }, { once: true });
      };
      frame.setAttribute('aria-labelledby', text.id);
      return text;
    },
    // The key by what it types on the layout (KeyboardEvent.key), not by its
    // place; with Shift, the layout's character without it where the browser
    // tells the layout.
    key: function (w, e) {
      if (e.isComposing || e.keyCode === 229 || vp.boxes.length) return;
      var k = e.shiftKey && vp.layout && vp.layout.get(e.code) || e.key;
      var one = Array.from(k).length === 1, name = one ? 0 : stringToNewUTF8(k), before = vp.waits.length;
      var taken = _vorel_key(w.id, w.driver, name, one ? k.codePointAt(0) : 0, e.shiftKey, e.ctrlKey, e.altKey);
      if (name) _free(name);
      // Taken, or a box that opened meanwhile: the page does nothing more.
      if (taken || vp.waits.length > before) e.preventDefault();
    },
    type: function (w, text) { for (var i = 0; i < text.length && !vp.boxes.length; ++i) _vorel_typed(w.id, w.driver, text.charCodeAt(i)); },
    activate: function (w) {
      if (vp.active === w || !w.shown) return;
      if (vp.active) vp.active.root.classList.remove('active');
      vp.active = w;
      w.root.classList.add('active');
      w.root.style.zIndex = vp.z++;
      _vorel_activated(w.id, w.driver);
    },
    // Where the keyboard is in the active window, as the model has it.
    refocus: function () {
      if (vp.active && vp.active.shown && !vp.boxes.length) (vp.active.focused || vp.active.target).focus({ preventScroll: true });
    },
    // The innermost wait returns: from the page's own events only, with no
    // program code running. Asyncify keeps one saved stack: each wait keeps
    // its own and gets it back.
    resume: function () {
      var wait = vp.waits.pop();
      if (wait) (Asyncify.currData = wait.data), wait.wakeUp();
    },
    // Before anything else on the page: a held key's repeats and release do
    // nothing; the top box takes every key, Enter, Escape and Space dismiss it.
    keyDown: function (e) {
      var box = vp.boxes[vp.boxes.length - 1];
      if (!vp.held[e.code] && !box) return (vp.down[e.code] = true);
      e.preventDefault();
      e.stopImmediatePropagation();
      if (!vp.held[e.code] && (vp.down[e.code] = true) && /^(Enter|Escape| )$/.test(e.key)) vp.dismiss(box);
    },
    keyUp: function (e) {
      delete vp.down[e.code];
      if (!vp.held[e.code]) return;
      delete vp.held[e.code];
      e.preventDefault();
      e.stopImmediatePropagation();
    },
    dismiss: function (box) {
      if (vp.boxes[vp.boxes.length - 1] !== box) return;
      vp.boxes.pop().layer.remove();
      vp.inert();
      vp.resume();
      vp.refocus();
    },
    // A box holds every window, and every box below it.
    inert: function () {
      var top = vp.boxes[vp.boxes.length - 1];
      for (var id in vp.windows) vp.windows[id].root.inert = !!top;
      vp.boxes.forEach(function (b) { b.layer.inert = b !== top; });
      if (top) top.ok.focus();
    },
    // In a hidden tab the game pauses: a tick due then waits for the page to
    // be shown, and the model skips what was missed.
    tick: function (driver) {
      vp.timer = 0;
      if (document.hidden) vp.late = driver;
      else _vorel_woken(driver);
    },
    metrics: function (px, weight, italic) {
      var font = vp.font(px, weight, italic), m = vp.fonts[font];
      var ctx = (vp.measure = vp.measure || document.createElement('canvas').getContext('2d'));
      ctx.font = font;
      if (!m) {
        var t = ctx.measureText('Hg'), ascent = Math.ceil(t.fontBoundingBoxAscent);
        m = vp.fonts[font] = { ascent: ascent, height: ascent + Math.ceil(t.fontBoundingBoxDescent) };
      }
      return m;
    },
    // Each picture once as a canvas of its own pixels (0xAARRGGBB, opaque).
    picture: function (pixels, pw, ph) {
      var p = vp.pictures[pixels];
      if (p) return p;
      p = vp.pictures[pixels] = vp.el('canvas', '', null, { width: pw, height: ph });
      var data = new ImageData(pw, ph), words = HEAPU32.subarray(pixels >> 2, (pixels >> 2) + pw * ph);
      words.forEach(function (v, i) { data.data.set([v >>> 16 & 255, v >>> 8 & 255, v & 255, 255], 4 * i); });
      p.getContext('2d').putImageData(data, 0, 0);
      return p;
    },
    start: function () {
      vp.windows = {};
      vp.active = null;
      _vorel_play();
    },
  },
  $vp__postset: function () {
    // Labels are measured in their face: the program starts once it is there.
    return "addOnPostRun(function () {" +
      "document.addEventListener('visibilitychange', function () {" +
      "  if (!document.hidden && vp.late) { var d = vp.late; vp.late = null; _vorel_woken(d); } });" +
      "addEventListener('resize', vp.refit); vp.watchRatio(); vp.fit();" +
      "addEventListener('keydown', vp.keyDown, true); addEventListener('keyup', vp.keyUp, true);" +
      "addEventListener('blur', function () { vp.down = {}; vp.held = {}; });" +
      "if (navigator.keyboard && navigator.keyboard.getLayoutMap) navigator.keyboard.getLayoutMap().then(function (m) { vp.layout = m; }, function () {});" +
      "Promise.all([document.fonts.load(vp.font(11, 400, 0)), document.fonts.load(vp.font(16, 700, 1))])" +
      ".catch(function (e) { console.warn('the labels\\' face did not load, another stands in:', e); }).then(vp.start); })";
  },

  vorel_window_open: function (id, driver, caption, help, x, y, width, height, dialog, icon, iw, ih) {
    var w = { id: id, driver: driver, shown: false, buttons: {}, focused: null };
    var root = (w.root = vp.el('section', 'window', document.getElementById('desk'), { role: dialog ? 'dialog' : 'region', tabIndex: -1, hidden: true }));
    w.title = vp.captionBar(root, UTF8ToString(caption), function () { _vorel_close(w.id, w.driver); }, icon && vp.picture(icon, iw, ih));
    vp.place(root, Math.max(0, x - 2), Math.max(0, y - 22)); // the client area where the model puts it
    w.client = vp.el('div', 'client', root);
    w.canvas = vp.el('canvas', '', w.client, { 'aria-hidden': 'true' });
    [w.client, w.canvas].forEach(function (e) { vp.place(e, 0, 0, width, height); });
    w.ctx = w.canvas.getContext('2d', { alpha: false });
    w.aria = vp.el('div', 'aria', w.client);
    root.setAttribute('aria-describedby', vp.el('p', 'aria', root, { id: 'vorel-' + vp.z++, textContent: UTF8ToString(help) }).id);
    // A window that types takes text from keys the model leaves to the page
    // and from what an input method composes.
    // No on-screen keyboard: a finger plays without one.
    w.target = !dialog ? vp.el('textarea', 'keys', w.client, { 'aria-label': UTF8ToString(caption), inputMode: 'none' }) : root;
    w.target.onbeforeinput = function (e) {
      if (e.inputType === 'insertText' && e.data) {
        e.preventDefault();
        vp.type(w, e.data);
      }
    };
    w.target.oncompositionend = function (e) {
      w.target.value = '';
      if (e.data) vp.type(w, e.data);
    };
    root.onkeydown = function (e) { vp.key(w, e); };
    root.onkeyup = function (e) { if (e.code === 'Space') e.preventDefault(); };
    root.onfocusin = function () { vp.activate(w); };
    root.addEventListener('pointerdown', function () { vp.activate(w); }, true);
    root.addEventListener('mousedown', function (e) {
      if (e.target.tagName !== 'BUTTON') {
        e.preventDefault();
        vp.refocus();
      }
    }, true);
    // The left button or a finger; a finger lifted or taken by the browser ends its press.
    var at = function (e, down) {
      var r = w.canvas.getBoundingClientRect();
      if (e.button <= 0) _vorel_mouse(w.id, w.driver, down, Math.floor((e.clientX - r.left) / vp.scale), Math.floor((e.clientY - r.top) / vp.scale), e.pointerType === 'touch');
    };
    w.canvas.onpointerdown = function (e) { at(e, 1); };
    w.canvas.onpointerup = w.canvas.onpointercancel = function (e) { at(e, 0); };
    w.canvas.oncontextmenu = function (e) { e.preventDefault(); }; // a finger held is no menu
    vp.windows[id] = w;
  },
  // Shown in front and active; or hidden, the keyboard going to the window now on top.
  vorel_window_show: function (id, shown) {
    var w = vp.windows[id], top = null;
    w.shown = !!shown;
    w.root.hidden = !shown;
    if (shown) {
      vp.need = [Math.max(vp.need[0], w.root.offsetWidth), Math.max(vp.need[1], w.root.offsetHeight)];
      vp.fit();
      vp.activate(w);
      w.root.style.zIndex = vp.z++;
      return vp.refocus();
    }
    w.root.classList.remove('active');
    if (vp.active !== w) return;
    vp.active = null;
    for (var k in vp.windows) {
      var o = vp.windows[k];
      if (o.shown && (!top || +o.root.style.zIndex > +top.root.style.zIndex)) top = o;
    }
    if (top) {
      vp.activate(top);
      vp.refocus();
    }
  },
  vorel_window_caption: function (id, caption) {
    var w = vp.windows[id];
    w.title.textContent = UTF8ToString(caption);
    if (w.target !== w.root) w.target.setAttribute('aria-label', w.title.textContent);
  },
  vorel_window_destroy: function (id) { vp.windows[id].root.remove(); delete vp.windows[id]; },
  // Tab and the access keys are the model's: the caption only shows the key.
  vorel_button_add: function (id, control, before, key, after, px) {
    var w = vp.windows[id];
    var b = vp.el('button', 'command', w.client, { tabIndex: -1, onclick: function () { _vorel_button(w.id, w.driver, control, 1); }, onfocus: function () { _vorel_button(w.id, w.driver, control, 0); } });
    b.style.font = vp.font(px, 400, 0);
    b.append(UTF8ToString(before));
    if ((key = UTF8ToString(key))) {
      vp.el('u', '', b, { textContent: key });
      b.setAttribute('aria-keyshortcuts', 'Alt+' + key.toUpperCase());
    }
    b.append(UTF8ToString(after));
    w.buttons[control] = b;
  },
  vorel_button_place: function (id, control, x, y, width, height, visible) {
    vp.place(vp.windows[id].buttons[control], x, y, width, height);
    vp.windows[id].buttons[control].hidden = !visible;
  },
  vorel_focus: function (id, focused, framed) {
    var w = vp.windows[id];
    for (var c in w.buttons) w.buttons[c].classList.toggle('framed', +c === framed);
    w.focused = focused ? w.buttons[focused] : null;
    if (vp.active === w) vp.refocus();
  },
  vorel_dpi: function () { return vp.dpi; },
  vorel_canvas_size: function (id, width, height) {
    Object.assign(vp.windows[id].canvas, { width: width, height: height });
  },
  vorel_clip: function (id, x, y, width, height) {
    var ctx = vp.windows[id].ctx;
    if (width < 0) return ctx.restore();
    ctx.save();
    ctx.imageSmoothingEnabled = false; // for every picture of this repaint
    ctx.beginPath();
    ctx.rect(x, y, width, height);
    ctx.clip();
  },
  vorel_fill: function (id, x, y, width, height, rgb) {
    Object.assign(vp.windows[id].ctx, { fillStyle: vp.colour(rgb) }).fillRect(x, y, width, height);
  },
  // Copied unsmoothed (vorel_clip): pixels are repeated or dropped whole, never blended.
  vorel_picture: function (id, pixels, pw, ph, x, y, width, height) {
    vp.windows[id].ctx.drawImage(vp.picture(pixels, pw, ph), x, y, width, height);
  },
  vorel_text__deps: ['vorel_clip'],
  vorel_text: function (id, text, x, y, px, weight, italic, rgb, rtl, cx, cy, cw, ch) {
    var ctx = vp.windows[id].ctx, m = vp.metrics(px, weight, italic);
    _vorel_clip(id, cx, cy, cw, ch);
    Object.assign(ctx, { font: vp.font(px, weight, italic), direction: rtl ? 'rtl' : 'ltr', textAlign: 'left', textBaseline: 'alphabetic', fillStyle: vp.colour(rgb) });
    ctx.fillText(UTF8ToString(text), x, y + m.ascent);
    ctx.restore();
  },
  vorel_text_width: function (text, px, weight, italic) {
    vp.metrics(px, weight, italic);
    return Math.round(vp.measure.measureText(UTF8ToString(text)).width);
  },
  vorel_line_height: function (px, weight, italic) { return vp.metrics(px, weight, italic).height; },
  // The model's screen reader view: texts, named pictures, the pressable bar;
  // command buttons are the real buttons. Items that stay keep their element.
  vorel_aria: function (id, items) {
    var w = vp.windows[id], old = w.items || {};
    w.items = {};
    UTF8ToString(items).split('\x1e').forEach(function (item) {
      var f = item.split('\x1f'), e = old[item], name = f.slice(3).join('\x1f');
      if (f.length < 4 || w.buttons[f[1]]) return;
      delete old[item];
      if (!e) {
        e = f[0] ? vp.el('div', '', w.aria, { role: f[0], 'aria-label': name }) : vp.el('div', '', w.aria, { textContent: name });
        if (f[2]) e.onclick = function () { _vorel_press(w.id, w.driver, +f[1]); };
      }
      w.items[item] = e;
    });
    for (var gone in old) old[gone].remove();
  },
  vorel_box: function (owner, prompt, title, rtl) {
    var layer = vp.el('div', 'modal', document.getElementById('desk')), box = { layer: layer, owner: vp.windows[owner] };
    var frame = vp.el('section', 'box', layer, { role: 'alertdialog', 'aria-modal': 'true', dir: rtl ? 'rtl' : '' });
    vp.captionBar(frame, UTF8ToString(title), function () { vp.dismiss(box); });
    var text = vp.el('p', 'prompt', frame, { id: 'vorel-' + vp.z++, textContent: UTF8ToString(prompt) });
    if (/[\u0600-\u06ff]/.test(text.textContent)) text.lang = 'ar'; // read in an Arabic voice
    frame.setAttribute('aria-describedby', text.id);
    box.ok = vp.el('button', 'ok framed', vp.el('div', 'buttons', frame), { textContent: 'OK', onclick: function () { vp.dismiss(box); } });
    layer.onmousedown = function (e) { if (e.target.tagName !== 'BUTTON') e.preventDefault(); }; // OK keeps the keyboard
    vp.held = Object.assign({}, vp.down);
    vp.boxes.push(box);
    // Over the middle of its owner window, else of the page; inside the page.
    var o = box.owner && box.owner.shown ? box.owner.root : layer;
    vp.place(frame, o.offsetLeft + (o.offsetWidth - frame.offsetWidth) / 2, o.offsetTop + (o.offsetHeight - frame.offsetHeight) / 2);
    vp.inside(frame);
    vp.inert();
  },
  vorel_wait: function () {
    var wait = null;
    var result = Asyncify.handleSleep(function (wakeUp) { vp.waits.push((wait = { wakeUp: wakeUp })); });
    if (wait) wait.data = Asyncify.currData;
    return result;
  },
  vorel_wake: function (driver, delay) {
    clearTimeout(vp.timer);
    vp.late = null;
    vp.timer = delay >= 0 ? setTimeout(vp.tick, delay, driver) : 0;
  },
  vorel_post: function (driver) { setTimeout(function () { _vorel_woken(driver); }); },
  // Every box goes, then every wait of the program returns, the innermost
  // first, each once nothing is waiting above it.
  vorel_quit: function () {
    vp.boxes.forEach(function (b) { b.layer.remove(); });
    vp.boxes = [];
    vp.inert();
    var ending = vp.waits.slice();
    setTimeout(function unwind() {
      if (ending.indexOf(vp.waits[vp.waits.length - 1]) >= 0) vp.resume();
      if (vp.waits.some(function (w) { return ending.indexOf(w) >= 0; })) setTimeout(unwind);
    });
  },
  // The page says that the program has ended, and offers to play again.
  vorel_ended: function (status) {
    var end = vp.el('section', 'end', document.getElementById('desk'), { role: 'status' });
    vp.held = Object.assign({}, vp.down);
    vp.el('p', '', end, { textContent: status === 0 ? 'The game has ended.' : 'The game has ended after an error.' });
    vp.el('button', '', end, { textContent: 'Play again', onclick: function () { end.remove(); vp.start(); } }).focus();
  },
};
autoAddDeps(vorelPage, '$vp');
mergeInto(LibraryManager.library, vorelPage);

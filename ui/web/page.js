// The page's half of the web driver (a --js-library of the program): the page
// is the window system. Windows with a caption bar and a close box, dragged by
// the caption, the active one in front; a canvas each, painted by the model;
// real buttons; modal boxes; keys to the model; ticks; ARIA; the end.
var vorelPage = {
  $vp__deps: ['$Asyncify'],
  $vp: {
    windows: {}, // by the C++ window's address
    waits: [], // suspended waits of the program, innermost last
    boxes: [], // open boxes, innermost last
    active: null,
    z: 1,
    timer: 0,
    late: null, // a tick that fell due while the page was hidden
    fonts: {},
    pictures: {},
    desk: function () { return document.getElementById('desk'); },
    el: function (tag, cls, parent) {
      var e = document.createElement(tag);
      if (cls) e.className = cls;
      if (parent) parent.appendChild(e);
      return e;
    },
    font: function (px, weight, italic) {
      return (italic ? 'italic ' : '') + weight + ' ' + px + 'px vorel-labels, sans-serif';
    },
    // A caption bar with the title and a close box; dragging it moves `frame`.
    captionBar: function (frame, title, close) {
      var bar = vp.el('div', 'bar', frame), text = vp.el('span', 'title', bar);
      text.id = 'vorel-title-' + vp.z++;
      text.textContent = title;
      var box = vp.el('button', 'close', bar);
      box.tabIndex = -1;
      box.setAttribute('aria-label', 'Close');
      box.textContent = '\u00d7';
      box.addEventListener('click', close);
      box.addEventListener('mousedown', function (e) { e.stopPropagation(); });
      bar.addEventListener('mousedown', function (e) {
        if (e.button !== 0) return;
        e.preventDefault();
        var dx = e.clientX - frame.offsetLeft, dy = e.clientY - frame.offsetTop;
        var move = function (m) {
          frame.style.left = Math.max(0, m.clientX - dx) + 'px';
          frame.style.top = Math.max(0, m.clientY - dy) + 'px';
        };
        var up = function () {
          document.removeEventListener('mousemove', move);
          document.removeEventListener('mouseup', up);
        };
        document.addEventListener('mousemove', move);
        document.addEventListener('mouseup', up);
      });
      frame.setAttribute('aria-labelledby', text.id);
      return text;
    },
    // The key as the model names it: KeyboardEvent.code is the key's place
    // on the US layout, whatever the layout types.
    stroke: function (e) {
      var named = { Tab: 1, Enter: 2, NumpadEnter: 2, Escape: 3, Backspace: 4, Delete: 5, Space: 6, F1: 7 };
      var symbols = { Minus: '-', Equal: '=', BracketLeft: '[', BracketRight: ']', Backslash: '\\',
        Semicolon: ';', Quote: "'", Backquote: '`', Comma: ',', Period: '.', Slash: '/' };
      var c = e.code, ch = /^Key[A-Z]$/.test(c) ? c[3] : /^Digit\d$/.test(c) ? c[5] : symbols[c];
      var key = named[c] || (ch ? 8 : 0);
      return [key, ch ? ch.charCodeAt(0) : 0, (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0)];
    },
    key: function (w, e) {
      if (e.isComposing || e.keyCode === 229 || vp.boxes.length) return;
      var s = vp.stroke(e), before = vp.waits.length;
      var result = _vorel_key(w.id, w.driver, s[0], s[1], s[2]);
      // Taken (1), or a box that opened meanwhile: the page does nothing more.
      if (result === 1 || vp.waits.length > before) e.preventDefault();
    },
    type: function (w, text) {
      for (var i = 0; i < text.length && !vp.boxes.length; ++i) _vorel_typed(w.id, w.driver, text.charCodeAt(i));
    },
    activate: function (w) {
      if (vp.active === w || !w.shown) return;
      if (vp.active) vp.active.root.classList.remove('active');
      vp.active = w;
      w.root.classList.add('active');
      w.root.style.zIndex = vp.z++;
      _vorel_window(w.id, w.driver, 0);
    },
    // Where the keyboard is in the active window, as the model has it.
    refocus: function () {
      var w = vp.active;
      if (w && w.shown && !vp.boxes.length) (w.focused || w.target).focus({ preventScroll: true });
    },
    // The innermost wait returns: from the page's own events only, with no
    // program code running. Asyncify keeps one saved stack: each wait keeps
    // its own and gets it back.
    resume: function () {
      var wait = vp.waits.pop();
      if (wait) {
        Asyncify.currData = wait.data;
        wait.wakeUp();
      }
    },
    dismiss: function (box) {
      if (vp.boxes[vp.boxes.length - 1] !== box) return;
      vp.boxes.pop();
      box.layer.remove();
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
    place: function (e, x, y, width, height) {
      e.style.left = x + 'px';
      e.style.top = y + 'px';
      if (width !== undefined) {
        e.style.width = width + 'px';
        e.style.height = height + 'px';
      }
    },
    tick: function (driver) {
      vp.timer = 0;
      if (document.hidden) vp.late = driver;
      else _vorel_tick(driver);
    },
    ended: function (status) {
      var end = vp.el('section', 'end', vp.desk());
      end.setAttribute('role', 'status');
      vp.el('p', '', end).textContent = status === 0 ? 'The game has ended.' : 'The game has ended after an error.';
      var again = vp.el('button', '', end);
      again.textContent = 'Play again';
      again.addEventListener('click', function () {
        end.remove();
        vp.start();
      });
      again.focus();
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
      "  if (!document.hidden && vp.late) { var d = vp.late; vp.late = null; _vorel_tick(d); } });" +
      "window.addEventListener('resize', function () {" +
      "  for (var id in vp.windows) if (vp.windows[id].shown) _vorel_window(+id, vp.windows[id].driver, 2); });" +
      "Promise.all([document.fonts.load(vp.font(11, 400, 0)), document.fonts.load(vp.font(16, 700, 1))])" +
      ".finally(vp.start); })";
  },

  vorel_window_open: function (id, driver, caption, help, x, y, width, height, dialog, typing) {
    var w = { id: id, driver: driver, shown: false, buttons: {}, focused: null };
    var root = (w.root = vp.el('section', 'window', vp.desk()));
    root.setAttribute('role', dialog ? 'dialog' : 'region');
    root.tabIndex = -1;
    root.hidden = true;
    w.title = vp.captionBar(root, UTF8ToString(caption), function () { _vorel_window(id, driver, 1); });
    var client = (w.client = vp.el('div', 'client', root));
    vp.place(client, 0, 0, width, height);
    client.style.position = 'relative';
    vp.place(root, Math.max(0, x), Math.max(0, y - 22));
    w.canvas = vp.el('canvas', '', client);
    w.canvas.setAttribute('aria-hidden', 'true');
    vp.place(w.canvas, 0, 0, width, height);
    w.ctx = w.canvas.getContext('2d', { alpha: false });
    w.aria = vp.el('div', 'aria', client);
    var help_ = vp.el('p', 'aria', root);
    help_.id = 'vorel-help-' + vp.z++;
    help_.textContent = UTF8ToString(help);
    root.setAttribute('aria-describedby', help_.id);
    // Text typed into a window that types: from keys the model leaves to the
    // page, and what an input method composes.
    w.target = typing ? vp.el('textarea', 'keys', client) : root;
    if (typing) {
      w.target.setAttribute('aria-label', UTF8ToString(caption));
      w.target.addEventListener('beforeinput', function (e) {
        if (e.inputType === 'insertText' && e.data) {
          e.preventDefault();
          vp.type(w, e.data);
        }
      });
      w.target.addEventListener('compositionend', function (e) {
        w.target.value = '';
        if (e.data) vp.type(w, e.data);
      });
    }
    root.addEventListener('keydown', function (e) { vp.key(w, e); });
    root.addEventListener('keyup', function (e) { if (e.code === 'Space') e.preventDefault(); });
    root.addEventListener('focusin', function () { vp.activate(w); });
    root.addEventListener('mousedown', function (e) {
      vp.activate(w);
      if (e.target.tagName !== 'BUTTON') {
        e.preventDefault();
        vp.refocus();
      }
    }, true);
    var at = function (e, down) {
      if (e.button !== 0) return;
      var r = w.canvas.getBoundingClientRect();
      _vorel_mouse(id, driver, down, Math.floor(e.clientX - r.left), Math.floor(e.clientY - r.top));
    };
    w.canvas.addEventListener('mousedown', function (e) { at(e, 1); });
    w.canvas.addEventListener('mouseup', function (e) { at(e, 0); });
    vp.windows[id] = w;
  },
  vorel_window_show: function (id) {
    var w = vp.windows[id];
    w.shown = true;
    w.root.hidden = false;
    vp.activate(w);
    w.root.style.zIndex = vp.z++;
    vp.refocus();
  },
  vorel_window_caption: function (id, caption) {
    var w = vp.windows[id];
    w.title.textContent = UTF8ToString(caption);
    if (w.target !== w.root) w.target.setAttribute('aria-label', w.title.textContent);
  },
  // The window leaves the page; the keyboard goes to the window now on top.
  vorel_window_hide: function (id) {
    var w = vp.windows[id];
    w.shown = false;
    w.root.hidden = true;
    w.root.classList.remove('active');
    if (vp.active !== w) return;
    vp.active = null;
    var top = null;
    for (var k in vp.windows) {
      var o = vp.windows[k];
      if (o.shown && (!top || +o.root.style.zIndex > +top.root.style.zIndex)) top = o;
    }
    if (top) {
      vp.activate(top);
      vp.refocus();
    }
  },
  vorel_window_destroy: function (id) {
    vp.windows[id].root.remove();
    delete vp.windows[id];
  },
  vorel_button_add: function (id, control, caption, px) {
    var w = vp.windows[id], b = vp.el('button', 'command', w.client), text = UTF8ToString(caption);
    var amp = text.indexOf('&');
    b.style.font = vp.font(px, 400, 0);
    b.append(amp < 0 ? text : text.slice(0, amp));
    if (amp >= 0) {
      vp.el('u', '', b).textContent = text[amp + 1];
      b.append(text.slice(amp + 2));
      b.setAttribute('aria-keyshortcuts', 'Alt+' + text[amp + 1].toUpperCase());
    }
    b.tabIndex = -1; // Tab is the model's
    b.addEventListener('click', function () { _vorel_control(id, w.driver, 0, control); });
    b.addEventListener('focus', function () { _vorel_control(id, w.driver, 1, control); });
    w.buttons[control] = b;
  },
  vorel_button_place: function (id, control, x, y, width, height, visible) {
    var b = vp.windows[id].buttons[control];
    vp.place(b, x, y, width, height);
    b.hidden = !visible;
  },
  vorel_focus: function (id, focused, framed) {
    var w = vp.windows[id];
    for (var c in w.buttons) w.buttons[c].classList.toggle('framed', +c === framed);
    w.focused = focused ? w.buttons[focused] : null;
    if (vp.active === w) vp.refocus();
  },
  vorel_dpi: function () {
    return Math.round(96 * (window.devicePixelRatio || 1));
  },
  vorel_canvas_size: function (id, width, height) {
    var w = vp.windows[id];
    w.canvas.width = width;
    w.canvas.height = height;
  },
  vorel_clip: function (id, x, y, width, height) {
    var ctx = vp.windows[id].ctx;
    if (width < 0) return ctx.restore();
    ctx.save();
    ctx.beginPath();
    ctx.rect(x, y, width, height);
    ctx.clip();
  },
  vorel_fill: function (id, x, y, width, height, rgb) {
    var ctx = vp.windows[id].ctx;
    ctx.fillStyle = '#' + (0x1000000 + rgb).toString(16).slice(1);
    ctx.fillRect(x, y, width, height);
  },
  // Each picture once as a canvas of its own pixels, then copied with no
  // smoothing: pixels are repeated or dropped whole, never blended.
  vorel_picture: function (id, pixels, pw, ph, x, y, width, height) {
    var p = vp.pictures[pixels];
    if (!p) {
      p = vp.pictures[pixels] = document.createElement('canvas');
      p.width = pw;
      p.height = ph;
      var data = new ImageData(pw, ph), words = HEAPU32.subarray(pixels >> 2, (pixels >> 2) + pw * ph);
      for (var i = 0; i < words.length; ++i) {
        data.data[4 * i] = words[i] >>> 16 & 255;
        data.data[4 * i + 1] = words[i] >>> 8 & 255;
        data.data[4 * i + 2] = words[i] & 255;
        data.data[4 * i + 3] = 255;
      }
      p.getContext('2d').putImageData(data, 0, 0);
    }
    var ctx = vp.windows[id].ctx;
    ctx.imageSmoothingEnabled = false;
    ctx.drawImage(p, x, y, width, height);
  },
  vorel_text: function (id, text, x, y, px, weight, italic, rgb, rtl, cx, cy, cw, ch) {
    var ctx = vp.windows[id].ctx, font = vp.font(px, weight, italic);
    ctx.save();
    ctx.beginPath();
    ctx.rect(cx, cy, cw, ch);
    ctx.clip();
    ctx.font = font;
    ctx.direction = rtl ? 'rtl' : 'ltr';
    ctx.textAlign = 'left';
    ctx.textBaseline = 'alphabetic';
    ctx.fillStyle = '#' + (0x1000000 + rgb).toString(16).slice(1);
    ctx.fillText(UTF8ToString(text), x, y + vp.fonts[font].ascent);
    ctx.restore();
  },
  $vorel_metrics__deps: ['$vp'],
  $vorel_metrics: function (px, weight, italic) {
    var font = vp.font(px, weight, italic), m = vp.fonts[font];
    if (!m) {
      var ctx = (vp.measure = vp.measure || document.createElement('canvas').getContext('2d'));
      ctx.font = font;
      var t = ctx.measureText('Hg');
      m = vp.fonts[font] = { ascent: Math.ceil(t.fontBoundingBoxAscent), height: Math.ceil(t.fontBoundingBoxAscent) + Math.ceil(t.fontBoundingBoxDescent) };
    }
    vp.measure.font = font;
    return m;
  },
  vorel_text_width__deps: ['$vorel_metrics'],
  vorel_text_width: function (text, px, weight, italic) {
    vorel_metrics(px, weight, italic);
    return Math.round(vp.measure.measureText(UTF8ToString(text)).width);
  },
  vorel_line_height__deps: ['$vorel_metrics'],
  vorel_line_height: function (px, weight, italic) {
    return vorel_metrics(px, weight, italic).height;
  },
  // The model's screen reader view: texts, named pictures, the pressable bar.
  // The command buttons are the real buttons themselves.
  // Items that stay keep their element; those that come are added after them.
  vorel_aria: function (id, items) {
    var w = vp.windows[id], old = w.items || {};
    w.items = {};
    UTF8ToString(items).split('\x1e').forEach(function (item) {
      var f = item.split('\x1f');
      if (f.length < 4 || w.buttons[f[1]]) return;
      var e = old[item];
      delete old[item];
      if (!e) {
        e = vp.el('div', '', w.aria);
        var name = f.slice(3).join('\x1f');
        if (f[0] === '0') e.textContent = name;
        else {
          e.setAttribute('role', f[0] === '1' ? 'img' : 'button');
          e.setAttribute('aria-label', name);
        }
        if (f[2] === '1') e.addEventListener('click', function () { _vorel_control(id, w.driver, 2, +f[1]); });
      }
      w.items[item] = e;
    });
    for (var gone in old) old[gone].remove();
  },
  vorel_box: function (owner, prompt, title, rtl) {
    var layer = vp.el('div', 'modal', document.body), frame = vp.el('section', 'box', layer);
    var box = { layer: layer };
    frame.setAttribute('role', 'alertdialog');
    frame.setAttribute('aria-modal', 'true');
    vp.captionBar(frame, UTF8ToString(title), function () { vp.dismiss(box); });
    var text = vp.el('p', 'prompt', frame);
    text.id = 'vorel-prompt-' + vp.z++;
    text.textContent = UTF8ToString(prompt);
    frame.setAttribute('aria-describedby', text.id);
    if (rtl) frame.dir = 'rtl';
    box.ok = vp.el('button', 'ok framed', vp.el('div', 'buttons', frame));
    box.ok.textContent = 'OK';
    box.ok.addEventListener('click', function () { vp.dismiss(box); });
    frame.addEventListener('keydown', function (e) {
      e.preventDefault();
      if (e.key === 'Enter' || e.key === 'Escape' || e.code === 'Space') vp.dismiss(box);
    });
    vp.boxes.push(box);
    // Over the middle of its owner window, else of the page.
    var o = owner && vp.windows[owner] && vp.windows[owner].shown ? vp.windows[owner].root.getBoundingClientRect()
      : { left: 0, top: 0, width: innerWidth, height: innerHeight };
    vp.place(frame, Math.max(0, o.left + (o.width - frame.offsetWidth) / 2), Math.max(0, o.top + (o.height - frame.offsetHeight) / 2));
    vp.inert();
  },
  vorel_wait: function () {
    var wait = null;
    var result = Asyncify.handleSleep(function (wakeUp) {
      wait = { wakeUp: wakeUp };
      vp.waits.push(wait);
    });
    if (wait) wait.data = Asyncify.currData;
    return result;
  },
  vorel_wake: function (driver, delay) {
    clearTimeout(vp.timer);
    vp.timer = 0;
    vp.late = null;
    if (delay >= 0) vp.timer = setTimeout(vp.tick, delay, driver);
  },
  vorel_post: function (driver) {
    setTimeout(function () { _vorel_posted(driver); });
  },
  // Every box goes, then every wait returns, the innermost first.
  vorel_quit: function () {
    vp.boxes.forEach(function (b) { b.layer.remove(); });
    vp.boxes = [];
    vp.inert();
    setTimeout(function unwind() {
      vp.resume();
      if (vp.waits.length) setTimeout(unwind);
    });
  },
  vorel_ended: function (status) {
    vp.ended(status);
  },
};
autoAddDeps(vorelPage, '$vp');
mergeInto(LibraryManager.library, vorelPage);

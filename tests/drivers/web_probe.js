// The web probe's half in the page (a --js-library of web_conformance): it
// gives input as a browser does, each event in a task of its own with no
// program code running, reads back what the page shows, waits, and answers
// message boxes. Its waits join the page's (vp.waits), innermost first.
var probeLibrary = {
  $probe__deps: ['$vp', '$Asyncify', '$stringToNewUTF8'],
  $probe: {
    queue: [], // input still to give, one event a task
    visiting: false, // a box is being answered
    answers: false, // boxes are answered (the scenario gave a visitor)
    step: function () {
      if (probe.queue.length) return probe.queue.shift()();
      var top = vp.waits[vp.waits.length - 1];
      if (top && top.probe && performance.now() >= top.due) vp.resume();
      else if (top && !top.probe && vp.boxes.length && probe.answers && !probe.visiting) {
        probe.visiting = true;
        _probe_answer();
      }
    },
    win: function (id) { return vp.windows[id]; },
    text: function (s) { return stringToNewUTF8(s); },
    // The client area's place on the desk.
    place: function (w) {
      var r = w.canvas.getBoundingClientRect(), d = document.getElementById('desk').getBoundingClientRect();
      return [Math.round(r.left - d.left), Math.round(r.top - d.top), Math.round(r.width), Math.round(r.height)];
    },
    // A button's caption in the '&' markup: the underlined letter marked.
    marked: function (b) {
      return Array.from(b.childNodes).map(function (n) {
        return n.nodeName === 'U' ? '&' + n.textContent : n.textContent.replace(/&/g, '&&');
      }).join('');
    },
    key: function (target, type, key, code, mods) {
      var e = new KeyboardEvent(type, { key: key, code: code, shiftKey: !!(mods & 1), ctrlKey: !!(mods & 2), altKey: !!(mods & 4), bubbles: true, cancelable: true, composed: true });
      target.dispatchEvent(e);
      return e;
    },
    // The text a key composes where the page leaves it to the browser.
    input: function (target, text) {
      target.dispatchEvent(new InputEvent('beforeinput', { inputType: 'insertText', data: text, bubbles: true, cancelable: true }));
    },
    mouse: function (target, type, x, y) {
      var Event = /^pointer/.test(type) ? PointerEvent : MouseEvent;
      var e = new Event(type, { clientX: x, clientY: y, button: 0, bubbles: true, cancelable: true, composed: true, view: window, pointerType: 'mouse', isPrimary: true });
      target.dispatchEvent(e);
      return e;
    },
  },

  $probe__postset: 'setInterval(function () { probe.step(); }, 2);',
  probe_sleep: function (ms) {
    var wait = null;
    var result = Asyncify.handleSleep(function (wakeUp) {
      vp.waits.push((wait = { wakeUp: wakeUp, probe: true, due: performance.now() + ms }));
    });
    if (wait) wait.data = Asyncify.currData;
    return result;
  },
  probe_pending: function () { return probe.queue.length; },
  probe_answering: function (on) { probe.answers = !!on; },
  probe_answered: function () {
    probe.queue.push(function () {
      var box = vp.boxes[vp.boxes.length - 1];
      if (box) probe.key(document.activeElement, 'keydown', 'Escape', 'Escape', 0);
      probe.key(document.activeElement, 'keyup', 'Escape', 'Escape', 0);
      probe.visiting = false;
    });
  },
  probe_box: function (part) {
    var box = vp.boxes[vp.boxes.length - 1], f = box.layer;
    return probe.text([f.querySelector('.title').textContent, f.querySelector('.prompt').textContent, box.owner ? box.owner.title.textContent : ''][part]);
  },
  // A key goes down and up where the keyboard is; a character key the page
  // leaves alone types its character.
  probe_key: function (key, code, mods) {
    key = UTF8ToString(key);
    code = UTF8ToString(code);
    probe.queue.push(function () {
      var target = document.activeElement || document.body;
      var down = probe.key(target, 'keydown', key, code, mods);
      if (!down.defaultPrevented && Array.from(key).length === 1 && !(mods & 6)) probe.input(target, key);
      probe.key(document.activeElement || document.body, 'keyup', key, code, mods); // where the keyboard is now
    });
  },
  probe_text: function (text, length) {
    text = UTF16ToString(text, 2 * length);
    probe.queue.push(function () { probe.input(document.activeElement, text); });
  },
  // The left button pressed and released over a pixel of a window's client
  // area, on whatever lies on top there.
  probe_click: function (id, x, y) {
    probe.queue.push(function () {
      var r = probe.win(id).canvas.getBoundingClientRect(), cx = r.left + x + 0.5, cy = r.top + y + 0.5;
      var target = document.elementFromPoint(cx, cy);
      if (!target) return;
      // Meant for the window: a box over it takes nothing, its layer all.
      if (target.closest('.modal')) target = target.closest('.modal');
      probe.mouse(target, 'pointerdown', cx, cy);
      if (!probe.mouse(target, 'mousedown', cx, cy).defaultPrevented) {
        var focusable = target.closest('button, textarea, [tabindex]');
        if (focusable) focusable.focus();
      }
      probe.mouse(target, 'pointerup', cx, cy);
      probe.mouse(target, 'mouseup', cx, cy);
      probe.mouse(target, 'click', cx, cy);
    });
  },
  probe_close: function (id) {
    probe.queue.push(function () { probe.win(id).root.querySelector('.close').click(); });
  },
  probe_frame_size: function (id, size) {
    var c = probe.win(id).canvas;
    HEAP32[size >> 2] = c.width;
    HEAP32[(size >> 2) + 1] = c.height;
  },
  probe_frame: function (id, pixels) {
    var c = probe.win(id).canvas, d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    for (var i = 0; i < c.width * c.height; ++i) HEAPU32[(pixels >> 2) + i] = d[4 * i] << 16 | d[4 * i + 1] << 8 | d[4 * i + 2];
  },
  // The window as the page shows it, fields split by 0x1F, buttons by 0x1E:
  // caption, place, then each button's markup, place and visibility; the
  // focused and the framed button last.
  probe_shown: function (id) {
    var w = probe.win(id), focused = '', framed = '', out = [w.title.textContent, probe.place(w).join(',')];
    w.client.querySelectorAll('button.command').forEach(function (b) {
      var markup = probe.marked(b);
      out.push([markup, [b.style.left, b.style.top, b.style.width, b.style.height].map(parseFloat).join(','), b.hidden ? '' : '1'].join('\x1f'));
      if (document.activeElement === b) focused = markup;
      if (b.classList.contains('framed')) framed = markup;
    });
    return probe.text(out.concat([focused, framed]).join('\x1e'));
  },
  // What the page gives the accessibility tree: its ARIA items and buttons.
  probe_aloud: function (id) {
    var w = probe.win(id), read = [];
    w.client.querySelectorAll('.aria > div, button.command:not([hidden])').forEach(function (e) {
      var role = e.tagName === 'BUTTON' ? 'button' : e.getAttribute('role');
      read.push(role === 'img' ? 'picture: ' + e.getAttribute('aria-label')
        : role ? 'button: ' + (e.getAttribute('aria-label') || e.textContent) : 'text: ' + e.textContent);
    });
    return probe.text(read.join('\x1e'));
  },
  probe_press_aloud: function (id, name) {
    name = UTF8ToString(name);
    probe.queue.push(function () {
      probe.win(id).client.querySelectorAll('.aria [role=button], button.command').forEach(function (e) {
        if ((e.getAttribute('aria-label') || e.textContent) === name) e.click();
      });
    });
  },
  probe_showing: function (title) {
    title = UTF8ToString(title);
    return Object.values(vp.windows).some(function (w) { return w.shown && w.title.textContent === title; });
  },
  probe_active: function (id) {
    var w = probe.win(id);
    return vp.active === w && w.root.contains(document.activeElement);
  },
  probe_icon: function (id) { return !!probe.win(id).root.querySelector('.bar .icon'); },
  probe_waking: function () { return !!(vp.timer || vp.late); },
  probe_done: function (status) { window.probeStatus = status; },
  // The scenarios to run: the page address's fragment, else all.
  probe_filter: function () { return probe.text(decodeURIComponent(location.hash.slice(1)) || '*'); },
};
autoAddDeps(probeLibrary, '$probe');
mergeInto(LibraryManager.library, probeLibrary);

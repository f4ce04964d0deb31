// Builds the converter window from its description, which the WebAssembly side gives, and hands
// every event to the same event logic as the desktop windows.
'use strict';

// The browser's number format: separator, minus sign and zero digit, as the desktop windows take
// theirs from the system.
function regionalSettings() {
  const format = new Intl.NumberFormat(navigator.language, {useGrouping: false});
  const part = (value, type, fallback) =>
    (format.formatToParts(value).find((p) => p.type === type) || {value: fallback}).value;
  return [part(1.5, 'decimal', '.'), part(-1, 'minusSign', '-'), format.format(0)];
}

function createControl(control, textLimit) {
  const [name, kind, left, top, width, height, text, accessibleName, input, face, points, weight] =
      control;
  const element = document.createElement({text: 'input', label: 'div', button: 'button'}[kind]);
  element.id = name;
  Object.assign(element.style,
      {left: left + 'px', top: top + 'px', width: width + 'px', height: height + 'px'});
  if (face) {
    // The input fields put a narrow face first (page.css): five characters fit whole.
    const narrow = input ? 'var(--narrow-faces), ' : '';
    element.style.fontFamily = `${narrow}"${face}", "Liberation Sans", "DejaVu Sans", sans-serif`;
    element.style.fontSize = points + 'pt';
    element.style.fontWeight = weight;
  }
  if (accessibleName) element.setAttribute('aria-label', accessibleName);
  if (kind === 'text') {
    Object.assign(element, {type: 'text', value: text, maxLength: textLimit});
    // Numbers, not words: a phone's keypad with digits, separator and minus, nothing corrected.
    if (input) element.inputMode = 'decimal';
    element.spellcheck = false;
    element.autocomplete = 'off';
    element.setAttribute('autocorrect', 'off');
    element.setAttribute('autocapitalize', 'off');
  } else if (kind === 'button') {
    // "&berechnen": the letter after the ampersand is the access key, drawn underlined.
    const at = text.indexOf('&');
    const key = text.charAt(at + 1);
    element.type = 'button';
    element.accessKey = key.toLowerCase();
    element.append(text.slice(0, at), document.createElement('u'), text.slice(at + 2));
    element.querySelector('u').textContent = key;
  } else {
    element.textContent = text;
    element.setAttribute('aria-hidden', 'true');
  }
  return element;
}

function start(core) {
  // The core's functions take numbers and texts and return a text.
  const call = (name, ...args) =>
    core.ccall(name, 'string', args.map((arg) => typeof arg), args);
  // The window's line, then a line a control (converter_page.cpp).
  const [[name, caption, width, height, bannerWidth, bannerHeight, textLimit], ...rows] =
      call('Start', ...regionalSettings()).split('\n').map((line) => line.split('\t'));

  const frame = document.getElementById(name);
  Object.assign(document.getElementById('banner'), {width: bannerWidth, height: bannerHeight});
  document.title = caption;
  Object.assign(frame.style, {width: width + 'px', height: height + 'px'});
  const controls = {};
  for (const row of rows) {
    controls[row[0]] = createControl(row, textLimit);
    frame.append(controls[row[0]]);
  }
  const inputs = rows.filter((row) => row[8]).map((row) => controls[row[0]]);
  const result = controls.Text1;
  const announcer = document.getElementById('announcer');

  // Every event reports the input fields' texts as they stand; an empty answer leaves the
  // result field as it is.
  const report = (event, ...args) => {
    const text = call(event, ...args, ...inputs.map((input) => input.value));
    if (!text || result.value === text) return;
    result.value = text;
    announcer.textContent = text;
  };
  // Inserted as typing is, so that undo takes it back.
  const type = (text) => document.execCommand('insertText', false, text);

  // A key in an input field recalculates once, after it has taken effect: with the change it
  // makes, or, where it changes nothing, when it is released, the field loses the focus or the
  // next key goes down. (A timer would not do: the browser may run it between the key going down
  // and its character.)
  let keyPending = false;
  const keyHandled = () => {
    if (!keyPending) return false;
    keyPending = false;
    report('KeyHandled');
    return true;
  };
  document.addEventListener('keyup', keyHandled);
  const keys = {Escape: 1, Tab: 2};
  for (const input of inputs) {
    // Typing, paste, drop, undo, input methods: every change of the text.
    input.addEventListener('input', () => keyHandled() || report('TextChanged'));
    input.addEventListener('blur', keyHandled);
    input.addEventListener('keydown', (event) => {
      keyHandled();
      const decimal = event.code === 'NumpadDecimal' && event.key.length === 1;
      const instead = call('KeyDown', decimal ? 3 : keys[event.key] || 0);
      keyPending = true;
      if (instead) {
        event.preventDefault();
        type(instead);
      }
    });
    // A paste or a drop keeps the first line of the text offered, or of its HTML's text, as the
    // desktop windows take it.
    const keepFirstLine = (event, offered) => {
      const plain = offered.getData('text/plain');
      const text = plain || call('HtmlText', offered.getData('text/html'));
      const line = call('FirstLine', text.slice(0, textLimit));
      if (line === plain) return;
      event.preventDefault();
      if (event.type === 'drop') {
        const at = document.caretPositionFromPoint?.(event.clientX, event.clientY);
        input.focus();
        if (at?.offsetNode === input) input.setSelectionRange(at.offset, at.offset);
      }
      type(line);
    };
    input.addEventListener('paste', (event) => keepFirstLine(event, event.clipboardData));
    input.addEventListener('drop', (event) => keepFirstLine(event, event.dataTransfer));
  }
  controls.Command1.addEventListener('click', () => report('CalculateClicked'));
  // Alt+B from anywhere on the page, whatever the browser makes of the access key; in an input
  // field it clicks the button and is no key of the field's.
  document.addEventListener('keydown', (event) => {
    const key = event.key.toLowerCase() === controls.Command1.accessKey;
    if (event.altKey && !event.ctrlKey && !event.metaKey && key) {
      event.preventDefault();
      event.stopPropagation();
      report('CalculateClicked');
    }
  }, true);
  // The user's number format as the browser now has it: the texts stay, the result follows.
  addEventListener('languagechange', () => report('SettingsChanged', ...regionalSettings()));

  // On a phone, and at 400 % zoom, the window is scaled as a whole to the page's width (the
  // style sheet's narrow layout), less the scroll bar's, so that nothing scrolls sideways.
  const fit = () => {
    const narrow = innerWidth < 2 * width;
    frame.style.transform =
        narrow ? `scale(${document.documentElement.clientWidth / width})` : '';
  };
  addEventListener('resize', fit);
  fit();
  inputs[0].focus();
  inputs[0].select();
  performance.mark('converter-ready');
}

// Start-up. Whatever keeps the window from opening is said in its place, in German.
const policyViolations = [];
document.addEventListener('securitypolicyviolation', (event) => policyViolations.push(event));
document.getElementById('failure').hidden = true;

function failed(reason) {
  const message = document.getElementById('failure');
  message.textContent = `Der Umrechner startet nicht: ${reason}`;
  message.hidden = false;
  message.parentElement.classList.add('failed');
}

// Why a file the page needs did not take effect, as far as the server's answer tells.
async function diagnose(file, type) {
  const blocked = policyViolations.find((v) => v.blockedURI.endsWith(file));
  if (blocked) return `Eine Sicherheitsrichtlinie (Content-Security-Policy) blockiert ${file}.`;
  let response;
  try {
    response = await fetch(file, {cache: 'no-store'});
  } catch {
    return `${file} ließ sich nicht laden. Bitte die Seite über einen Webserver öffnen.`;
  }
  if (!response.ok) return `${file} fehlt auf dem Server (HTTP ${response.status}).`;
  const sent = (response.headers.get('Content-Type') || 'keinem').split(';')[0];
  if (!type.test(sent)) return `${file} kommt mit dem Inhaltstyp „${sent}“.`;
  return `${file} ließ sich nicht ausführen.`;
}

async function open() {
  const frame = document.getElementById('CALC_ABS_REL');
  if (getComputedStyle(frame).position !== 'relative') {
    return failed(await diagnose('page.css', /^text\/css$/));
  }
  if (typeof WebAssembly !== 'object') {
    return failed('Dieser Browser kann kein WebAssembly ausführen.');
  }
  if (typeof createConverter !== 'function') {
    return failed(await diagnose('converter.js', /^(text|application)\/(x-)?(javascript|ecmascript)$/));
  }
  let core;
  try {
    core = await createConverter();
  } catch (error) {
    // The browser's own words name the policy; its report on it may come later.
    const wasm = /Content.Security.Policy|CSP/i.test(error.message) ||
        policyViolations.some((v) => /eval/.test(v.blockedURI));
    return failed(wasm ? 'Eine Sicherheitsrichtlinie (Content-Security-Policy) verbietet ' +
        'WebAssembly: script-src muss \'wasm-unsafe-eval\' erlauben.' : error.message);
  }
  // The window is built in a task of its own, not in the one that started the WebAssembly.
  await new Promise((resolve) => setTimeout(resolve));
  document.getElementById('failure').remove();
  start(core);
}

// converter.js, fetched since the page's head asked for it, runs after the first paint: the
// banner is there while the WebAssembly starts.
function loadConverter() {
  const script = document.createElement('script');
  script.src = 'converter.js';
  script.addEventListener('load', open);
  script.addEventListener('error', open);
  document.head.append(script);
}

document.addEventListener('DOMContentLoaded', () => requestAnimationFrame(() => setTimeout(loadConverter)));
// Offline use; not where there is no worker (opened from disk, a private window).
navigator.serviceWorker?.register('service-worker.js', {updateViaCache: 'none'})
    .catch(() => undefined);

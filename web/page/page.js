// The page: the window's form, drawn with HTML controls. It only draws and forwards: the codec
// runs in a worker (codec_worker.js over the npm package), the texts are the window's
// (texts.js, made from its translations at build time), and the quality list is the codec's.
'use strict';

// The window's texts in the browser's language: the first of its languages that the page
// speaks; English, the texts' own, when none is.
const language =
  navigator.languages
    .map((tag) => tag.toLowerCase().split('-')[0])
    .find((tag) => tag === 'en' || tag in vellicorTexts.translations) ??
  'en';
const catalog = vellicorTexts.translations[language] ?? {};

// A text of the window, by its English source text: the build takes every text given to t() in
// this file from the window's translations, and stops when one is not there.
function t(text) {
  return catalog[text] ?? text;
}

// %1 ... %9 replaced in one pass, after translation, so a language may reorder them.
function withValues(text, ...values) {
  return text.replace(/%([1-9])/g, (place, digit) => values[digit - 1] ?? place);
}

// "&compress": the caption without its marker, and the letter after it.
function mnemonicCaption(text) {
  const at = text.indexOf('&');
  return { caption: text.replace('&', ''), key: at >= 0 ? text[at + 1] : '' };
}

// The figure r (hundredths of a percent) as the window writes it: a leading space, no trailing
// zeros, no point for a whole number, no zero before the point: " 83.33", " 100", " .03".
function ratioText(ratio) {
  const whole = Math.floor(ratio / 100);
  const hundredths = ratio % 100;
  let text = ' ' + (whole > 0 ? String(whole) : '');
  if (hundredths !== 0) {
    text += '.' + String(hundredths).padStart(2, '0').replace(/0$/, '');
  } else if (whole === 0) {
    text += '0';
  }
  return text;
}

function bytes(size) {
  return size === 1 ? t('1 byte') : withValues(t('%1 bytes'), String(size));
}

// Where a decompression writes: the name without its last four characters (code points); null
// when no name is left.
function restoredName(name) {
  const characters = Array.from(name);
  return characters.length > 4 ? characters.slice(0, -4).join('') : null;
}

// Why the codec refused, in the window's words.
function reason({ statusName, statusText }) {
  switch (statusName) {
    case 'EMPTY_INPUT':
      return t('The file is empty.');
    case 'SOURCE_TOO_LARGE':
      return t('The file is larger than 32767 bytes.');
    case 'INVALID_STREAM':
      return t('This is not a valid .lzc stream.');
    default:
      return statusText.charAt(0).toUpperCase() + statusText.slice(1) + '.';
  }
}

// The longest stream and one byte more: any longer file gets the same answer, so no more of it
// is read.
const READ_LIMIT = 131072 + 1;

const form = {
  name: document.getElementById('txtFile'),
  browse: document.getElementById('cmdFile'),
  picker: document.getElementById('picker'),
  compress: document.getElementById('cmdComp'),
  decompress: document.getElementById('cmdDecomp'),
  quality: document.getElementById('cboQuality'),
  track: document.getElementById('shpback'),
  bar: document.getElementById('shpptr'),
  message: document.getElementById('message'),
  sentence: document.getElementById('sentence'),
  details: document.getElementById('details'),
};
const inputs = [form.name, form.browse, form.compress, form.decompress];
let chosen = null; // the File named in the name box
let running = false;

function setUp() {
  document.documentElement.lang = language;
  document.title = t('Vellicor v1.0');
  document.getElementById('caption').textContent = t('Vellicor v1.0');
  const describe = (control, name, description) => {
    control.setAttribute('aria-label', name);
    control.setAttribute('aria-description', description);
    control.title = description;
  };
  describe(form.name, t('File name'), t('The file to compress, or the .lzc file to decompress'));
  describe(form.browse, t('Browse'), t('Choose the file in a file dialog (Alt+B)'));
  for (const [button, text, name, description] of [
    [
      form.compress,
      t('&compress'),
      t('Compress'),
      t('Compress the file into the file name followed by .lzc (%1)'),
    ],
    [
      form.decompress,
      t('&decompress'),
      t('Decompress'),
      t('Restore the .lzc file under its name without the last four characters (%1)'),
    ],
  ]) {
    const { caption, key } = mnemonicCaption(text);
    button.textContent = caption;
    button.accessKey = key.toLowerCase();
    describe(button, name, withValues(description, 'Alt+' + key.toUpperCase()));
  }
  for (const level of vellicorTexts.qualities) {
    form.quality.add(new Option(t(level.label), String(level.window)));
  }
  form.quality.selectedIndex = 0;
  describe(
    form.quality,
    t('Quality'),
    withValues(
      t('How far back compression looks for repeats: %1 is smallest, %2 fastest'),
      form.quality.options[0].text,
      form.quality.options[form.quality.length - 1].text,
    ),
  );
  describe(form.track, t('Progress'), t('How much of the current operation is done'));
  setProgress(0);
}

function setProgress(percent) {
  form.bar.style.width = percent + '%';
  form.track.setAttribute('aria-valuenow', String(percent));
}

function choose(file) {
  chosen = file;
  form.name.value = file ? file.name : '';
}

function show(kind, sentence, details) {
  form.message.className = kind;
  form.sentence.textContent = sentence;
  form.details.textContent = details;
}

// While an operation runs the inputs refuse, without being disabled: disabling the focused
// button would move the focus. The quality is read when an operation starts.
function setRunning(value) {
  running = value;
  for (const input of inputs) {
    input.setAttribute('aria-disabled', String(value));
  }
}

function download(bytes, name) {
  const url = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  const link = document.createElement('a');
  link.href = url;
  link.download = name;
  link.hidden = true;
  document.body.append(link);
  link.click();
  link.remove();
  // The download has taken the bytes once the click has been handled.
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

const worker = new Worker(
  URL.createObjectURL(new Blob([vellicorCodecWorker], { type: 'text/javascript' })),
);
let pending = null;
function settle(answer) {
  const waiting = pending;
  pending = null;
  waiting?.(answer);
}
worker.onmessage = ({ data }) => settle(data);
// A worker that cannot run at all answers with its error, so the page does not wait forever.
worker.onerror = (event) =>
  settle({ statusName: 'UNKNOWN', statusText: event.message || 'the codec did not start' });

// The codec's answer: { statusName: 'OK', bytes, ratio } or { statusName, statusText }.
function runCodec(request) {
  return new Promise((resolve) => {
    pending = resolve;
    worker.postMessage(request, [request.bytes.buffer]);
  });
}

async function operate(compressing) {
  if (running) {
    return;
  }
  const failure = compressing
    ? t('An error has occured during compression')
    : t('An error has occured during (de)compression');
  if (!chosen) {
    show('warning', failure, t('Type or choose a file name first.'));
    return;
  }
  const source = chosen;
  const destination = compressing ? source.name + '.lzc' : restoredName(source.name);
  if (destination === null) {
    const explanation = t('No file name is left once the last four characters are removed.\n%1');
    show('warning', failure, withValues(explanation, source.name));
    return;
  }
  const searchWindow = Number(form.quality.value);
  setRunning(true);
  setProgress(0);
  show('', '', '');
  try {
    let data;
    try {
      data = new Uint8Array(await source.slice(0, READ_LIMIT).arrayBuffer());
    } catch (error) {
      const explanation = withValues(t('The file cannot be read: %1.'), error.message);
      show('warning', failure, explanation + '\n' + source.name);
      return;
    }
    const size = data.length;
    const answer = await runCodec({ compressing, bytes: data, window: searchWindow });
    setProgress(100);
    if (answer.statusName !== 'OK') {
      show('warning', failure, reason(answer) + '\n' + source.name);
      return;
    }
    download(answer.bytes, destination);
    const sentence = compressing
      ? withValues(t('Compressed Size:%1%'), ratioText(answer.ratio))
      : t('Successfully decompressed');
    const details = withValues(
      t('Wrote %1 to\n%2\nfrom the %3 of\n%4'),
      bytes(answer.bytes.length),
      destination,
      bytes(size),
      source.name,
    );
    show('information', sentence, details);
  } finally {
    setRunning(false);
  }
}

setUp();
form.browse.addEventListener('click', () => running || form.picker.click());
form.picker.addEventListener('change', () => {
  // A cancelled dialog leaves the name as it was.
  if (form.picker.files.length > 0) {
    choose(form.picker.files[0]);
  }
  form.picker.value = '';
});
form.compress.addEventListener('click', () => operate(true));
form.decompress.addEventListener('click', () => operate(false));
// The name box opens the file dialog too, as the only way to name a file in a browser.
form.name.addEventListener('keydown', (event) => {
  if (event.key === 'Enter' || event.key === ' ') {
    event.preventDefault();
    form.browse.click();
  }
});
document.getElementById('form').addEventListener('submit', (event) => event.preventDefault());

// A file dropped anywhere on the page names the file.
document.addEventListener('dragover', (event) => {
  event.preventDefault();
  event.dataTransfer.dropEffect = running ? 'none' : 'copy';
});
document.addEventListener('drop', (event) => {
  event.preventDefault();
  const files = Array.from(event.dataTransfer.files);
  if (running || files.length === 0) {
    return;
  }
  choose(files[0]);
  if (files.length > 1) {
    const sentence = t('%1 files were dropped; the first one was taken.');
    show('information', withValues(sentence, String(files.length)), files[0].name);
  } else {
    show('', '', '');
  }
});

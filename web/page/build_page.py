#!/usr/bin/python3
"""Builds the page into OUTPUT from its sources, the window's translations and the codec:

    build_page.py OUTPUT CODEC_MODULE

  texts.js  the quality list of codec/include/lzc/quality.h, and every text the page gives t()
            in page.js, in each language of ui/core/translations/vellicor_*.ts, found by its
            English source text whatever its context;
  codec.js  the worker's source as one classic script: CODEC_MODULE (vellicor_wasm.mjs), the npm
            package's vellicor.mjs and codec_worker.js, since a page opened from file:// can start
            neither a module worker nor a worker from a file;
  and index.html, page.css, page.js and the icon as they are.
Stops with a message when a text is missing from a translation or a source is not as expected."""

import json
import pathlib
import re
import shutil
import sys
import xml.etree.ElementTree as ElementTree

PAGE = pathlib.Path(__file__).resolve().parent
ROOT = PAGE.parent.parent


def fail(message):
    sys.exit(f'build_page.py: {message}')


def qualities():
    header = (ROOT / 'codec/include/lzc/quality.h').read_text()
    table = re.search(r'kQualityLevels\{\{(.*?)\}\};', header, re.S)
    levels = re.findall(r'\{"([^"]+)", "[^"]+", (\d+)\}', table.group(1) if table else '')
    if len(levels) != 6:
        fail('the quality list of quality.h is not six {label, name, window} rows')
    return [{'label': label, 'window': int(window)} for label, window in levels]


def used_texts(levels):
    script = (PAGE / 'page.js').read_text()
    texts = [json.loads('"' + text.replace("\\'", "'") + '"')
             for text in re.findall(r"\bt\('((?:[^'\\]|\\.)*)'\)", script)]
    return sorted(set(texts) | {level['label'] for level in levels})


def translations(texts):
    """{language: {English: translation}} for every .ts file."""
    catalogs = {}
    for ts in sorted((ROOT / 'ui/core/translations').glob('vellicor_*.ts')):
        language = ts.stem.removeprefix('vellicor_')
        found = {}
        for message in ElementTree.parse(ts).getroot().iter('message'):
            translation = message.find('translation')
            if translation.get('type') in ('obsolete', 'vanished'):
                continue
            source = message.findtext('source')
            text = translation.text or ''
            if source in texts and text and translation.get('type') != 'unfinished':
                if found.setdefault(source, text) != text:
                    fail(f'{ts.name} translates {source!r} in two ways')
        missing = [text for text in texts if text not in found]
        if missing:
            fail(f'{ts.name} has no finished translation of {missing!r}')
        catalogs[language] = found
    if not catalogs:
        fail('no translations in ui/core/translations')
    return catalogs


def replace_once(text, old, new, where):
    if text.count(old) != 1:
        fail(f'{where} does not hold {old!r} once')
    return text.replace(old, new)


def worker_source(codec_module):
    codec = replace_once(codec_module.read_text(), 'import.meta.url', 'undefined',
                         codec_module.name)
    codec = replace_once(codec, 'export default createVellicorModule;', '', codec_module.name)
    package = replace_once((PAGE.parent / 'vellicor.mjs').read_text(),
                           "import createVellicorModule from './vellicor_wasm.mjs';\n", '',
                           'vellicor.mjs')
    package = re.sub(r'^export ', '', package, flags=re.M)
    # The module's loader would first fetch its own data: URL, which the page's policy forbids
    # as it forbids every connection; without fetch it decodes the URL itself.
    return ('(() => {\nconst fetch = undefined;\n' + codec + '\n' + package + '\n' +
            (PAGE / 'codec_worker.js').read_text() + '})();\n')


def main():
    if len(sys.argv) != 3:
        fail('usage: build_page.py OUTPUT CODEC_MODULE')
    output, codec_module = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    levels = qualities()
    texts = {'qualities': levels, 'translations': translations(used_texts(levels))}
    output.mkdir(parents=True, exist_ok=True)
    (output / 'texts.js').write_text(
        'var vellicorTexts = ' + json.dumps(texts, ensure_ascii=False, indent=1) + ';\n')
    (output / 'codec.js').write_text(
        'var vellicorCodecWorker = ' + json.dumps(worker_source(codec_module)) + ';\n')
    for name in ('index.html', 'page.css', 'page.js'):
        shutil.copyfile(PAGE / name, output / name)
    shutil.copyfile(ROOT / 'packaging/vellicor.svg', output / 'vellicor.svg')
    total = sum(path.stat().st_size for path in output.iterdir())
    print(f'{output}: {total} bytes in {len(list(output.iterdir()))} files')


main()

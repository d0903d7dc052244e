#!/usr/bin/env bash
# Checks the shipped data files without building anything:
#  - every icon the program asks for exists, is well-formed SVG with a viewBox,
#    uses no external references, and is listed in data/pixora.qrc (and the
#    resource file lists nothing that is missing);
#  - the sixteen cursors re-read correctly and match their generator;
#  - the help page's template is self-contained and its in-page links resolve.
# Prints "N passed, N failed" and exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

status=0
python3 - <<'EOF' || status=1
import html.parser
import os
import re
import sys
import xml.etree.ElementTree as ET

passed = failed = 0

def report(ok, what):
    global passed, failed
    if ok:
        passed += 1
    else:
        failed += 1
        print('FAIL:', what)

names = ['new', 'open', 'save', 'cut', 'copy', 'paste', 'delete', 'undo', 'redo', 'zoom-in', 'zoom-out',
         'scroll', 'crop', 'resize', 'rotate', 'exchange', 'default-colours', 'status-38', 'status-39',
         'message', 'processing', 'about', 'app', 'tips']
names += [f'tool-{i}' for i in range(1, 23)] + [f'fx-{i}' for i in range(1, 15)] + [f'qfx-{i}' for i in range(1, 14)]
wanted = {f'icons/{n}.svg' for n in names}

SVG = '{http://www.w3.org/2000/svg}'
for path in sorted(wanted):
    full = os.path.join('data', path)
    if not os.path.isfile(full):
        report(False, f'{path} is missing')
        continue
    try:
        root = ET.parse(full).getroot()
    except ET.ParseError as e:
        report(False, f'{path} is not well-formed: {e}')
        continue
    problems = []
    if root.tag != SVG + 'svg':
        problems.append('root is not <svg> in the SVG namespace')
    box = root.get('viewBox', '').split()
    if len(box) != 4 or any(float(v) <= 0 for v in box[2:]):
        problems.append('no usable viewBox')
    text = open(full, encoding='utf-8').read()
    if re.search(r'(?:href|src)\s*=\s*"(?!#)', text) or 'url(http' in text:
        problems.append('refers to something outside the file')
    for el in root.iter():
        ref = el.get('fill', '') + el.get('stroke', '')
        for target in re.findall(r'url\(#([^)]+)\)', ref):
            if root.find(f".//*[@id='{target}']") is None:
                problems.append(f'url(#{target}) has no target')
    report(not problems, f'{path}: ' + '; '.join(problems))

qrc = ET.parse('data/pixora.qrc').getroot()
listed = set()
for res in qrc.iter('qresource'):
    report(res.get('prefix') == '/', 'data/pixora.qrc: resource prefix is not "/"')
    listed |= {f.text.strip() for f in res.iter('file')}
report(not (wanted - listed), f'data/pixora.qrc does not list: {sorted(wanted - listed)}')
missing = sorted(p for p in listed if not os.path.isfile(os.path.join('data', p)))
report(not missing, f'data/pixora.qrc lists missing files: {missing}')

class Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids, self.links, self.external = set(), [], []
    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if 'id' in a:
            self.ids.add(a['id'])
        if tag == 'a' and a.get('href'):
            self.links.append(a['href'])
        for key in ('src', 'data'):
            if a.get(key):
                self.external.append(a[key])
        if tag == 'link':
            self.external.append(a.get('href', ''))

page_path = 'data/help/help.html.in'
if os.path.isfile(page_path):
    text = open(page_path, encoding='utf-8').read()
    page = Page()
    page.feed(text)
    report(not page.external and 'url(' not in text, f'{page_path} loads external resources: {page.external}')
    broken = [l for l in page.links if l.startswith('#') and l[1:] not in page.ids]
    report(not broken, f'{page_path} has broken in-page links: {broken}')
    for key in ('Ctrl+N', 'Ctrl+Alt+O', 'Ctrl+Shift+S', 'Ctrl+Alt+W', 'Ctrl+Q', 'F1', 'Edit Only Selection',
                'Exclude Selection', 'Transparency Tools', 'Convert File(s)'):
        report(key in text, f'{page_path} does not mention {key}')
else:
    report(False, f'{page_path} is missing')

print(f'data files: {passed} passed, {failed} failed')
sys.exit(1 if failed else 0)
EOF

python3 scripts/make_cursors.py --check || status=1
exit $status

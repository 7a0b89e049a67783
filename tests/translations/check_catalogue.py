#!/usr/bin/env python3
"""Every operator text in the sources has its Polish translation, in the
context (class) that asks for it: a text filed under another class is never
found by the program and shows in English. The texts shown in English on
purpose are still asked for, through a translation call.

Usage: check_catalogue.py <source root> <catalogue.ts> <lupdate>
"""
import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

# Texts the program shows in English in both languages on purpose: the tool
# bar titles are translated once, before any catalogue is loaded; key names
# and the window list's numbering are not words; the About page
# is English under a translated title.
ENGLISH_ON_PURPOSE = {
    ('MdiWindow', 'Ctrl+W'), ('MdiWindow', 'Ctrl+Q'), ('MdiWindow', 'Ctrl+E'),
    ('MdiWindow', 'Device'), ('MdiWindow', 'Switch windows'),
    ('MdiWindow', 'Mode'), ('MdiWindow', 'Export'), ('MdiWindow', '&%1 %2'),
}


def messages(path):
    found = {}
    for context in ElementTree.parse(path).getroot().iter('context'):
        name = context.find('name').text
        for message in context.iter('message'):
            translation = message.find('translation')
            done = translation.get('type') not in ('unfinished', 'obsolete', 'vanished')
            found[(name, message.find('source').text)] = (translation.text or '') if done else ''
    return found


def main():
    root, catalogue, lupdate = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as folder:
        fresh = os.path.join(folder, 'fresh.ts')
        folders = [os.path.join(root, part) for part in ('app', 'device', 'link', 'plot', 'record')]
        subprocess.run([lupdate, '-silent', '-locations', 'none', '-no-obsolete', *folders, '-ts', fresh],
                       check=True)
        asked = messages(fresh)
    have = messages(catalogue)
    missing = [key for key in asked
               if not have.get(key) and key not in ENGLISH_ON_PURPOSE and not key[1].startswith('<!DOCTYPE')]
    for context, source in missing:
        print('no Polish for %s: %r' % (context, source))
    # A text kept in English that no source asks for any more has lost its
    # translation call, or is gone.
    unasked = sorted(ENGLISH_ON_PURPOSE - asked.keys())
    for context, source in unasked:
        print('kept in English, but asked for by no source: %s: %r' % (context, source))
    return 1 if missing or unasked else 0


if __name__ == '__main__':
    sys.exit(main())

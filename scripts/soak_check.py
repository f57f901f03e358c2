#!/usr/bin/env python3
"""Compares what ecrsim delivered with what kos-online kept: every receipt of the simulator's
journal exactly once, byte for byte, in the receipt folder and in the backup folder, and the
sales export equal to the journal's sums. Prints the counts; exit status 1 on any difference.
usage: soak_check.py JOURNAL RECEIPT_DIR BACKUP_DIR EXPORT"""
import collections
import glob
import os
import re
import sys


def read_journal(path):
    receipts, current = [], None
    for raw in open(path, 'rb').read().split(b'\n'):
        if raw.startswith(b'# '):
            _, nr, serial, series, number = raw.decode().split()
            current = {'nr': int(nr), 'serial': serial, 'series': series, 'number': number,
                       'lines': []}
            receipts.append(current)
        elif raw and current is not None:
            current['lines'].append(raw)
    return receipts


def thousandths(text):
    m = re.fullmatch(r'[ \t]*([+-]?)(\d+)(?:\.(\d*))?[ \t]*', text)
    frac = ((m.group(3) or '') + '000')[:3]
    value = int(m.group(2)) * 1000 + int(frac)
    return -value if m.group(1) == '-' else value


def journal_sums(receipts):
    plu = collections.defaultdict(int)
    totals = collections.defaultdict(lambda: [0, 0])
    for r in receipts:
        per = collections.defaultdict(int)
        for line in r['lines']:
            f = line.decode('latin-1').split(';')
            if len(f) > 5 and f[2] == '0':
                q = thousandths(f[5])
                if f[3]:
                    per[int(f[3])] += q
                else:
                    totals[r['nr']][0 if q > 0 else 1] += q
        for code, q in per.items():
            if q >= 0:
                plu[(code, r['nr'])] += q
    return plu, totals


def read_export(path):
    lines = open(path, 'rb').read().decode('cp1250').split('\r\n')
    head = lines[0].split(';')[:-1]
    registers = [int(head[i]) for i in range(0, len(head), 2)]
    tot = lines[1].split(';')[:-1]
    totals = {nr: [int(tot[2 * i].replace(',', '')), int(tot[2 * i + 1].replace(',', ''))]
              for i, nr in enumerate(registers)}
    plu = {}
    for line in lines[2:]:
        if not line:
            continue
        f = line.split(';')[:-1]
        for i, nr in enumerate(registers):
            q = int(f[1 + i].replace('.', ''))
            if q:
                plu[(int(f[0]), nr)] = q
    return plu, totals


def check_folder(receipts, folder):
    counts = collections.Counter()
    files = {}
    for path in glob.glob(os.path.join(folder, '*.txt')):
        files[path] = open(path, 'rb').read()
    for r in receipts:
        data = b''.join(l + b'\r\n' for l in r['lines'])
        suffix = '_%s_%s_%s.txt' % (r['serial'], r['series'], r['number'])
        matches = [p for p in files if p.endswith(suffix)]
        found = sum(files[p].count(data) for p in matches)
        if found == 1 and len(matches) == 1 and files[matches[0]] == data:
            counts['ok'] += 1
        elif found > 1:
            counts['doubled'] += 1
            print('doubled: %s in %s' % (suffix, matches))
        elif found == 1:
            counts['cut'] += 1  # the receipt is there, with something else in its file
            print('extra bytes: %s' % matches)
        elif matches:
            counts['cut'] += 1
            print('cut: %s' % matches)
        else:
            counts['lost'] += 1
            print('lost: %s' % suffix)
    return counts


def main():
    journal, receipt_dir, backup_dir, export = sys.argv[1:5]
    receipts = read_journal(journal)
    failures = 0
    for name, folder in (('receipt folder', receipt_dir), ('backup folder', backup_dir)):
        c = check_folder(receipts, folder)
        print('%s: %d receipts, %d once, %d lost, %d doubled, %d cut' % (
            name, len(receipts), c['ok'], c['lost'], c['doubled'], c['cut']))
        failures += c['lost'] + c['doubled'] + c['cut']
    want_plu, want_totals = journal_sums(receipts)
    got_plu, got_totals = read_export(export)
    want_plu = {k: v for k, v in want_plu.items() if v}
    plu_diff = sum(1 for k in set(want_plu) | set(got_plu) if want_plu.get(k) != got_plu.get(k))
    tot_diff = sum(1 for nr in got_totals if list(want_totals[nr]) != got_totals[nr])
    print('export: %d article/register sums, %d differ from the journal; totals differing: %d' % (
        len(want_plu), plu_diff, tot_diff))
    failures += plu_diff + tot_diff
    sys.exit(1 if failures else 0)


main()

#!/usr/bin/env python3
"""The dazavu.printer collection driven by real ansible-playbook runs.

Printer runs (CollectionTest), five simulated printers on 127.0.0.1 (free
ports), each starting from its own settings that differ from the tool's
defaults in every field, and the real dazavu tool:
  1. check and diff mode: the printers that differ are reported, their
     differing captions shown as "CAPTION: value" lines, nothing written;
  2. apply: changed for the printers that differ, and all five hold the
     files, byte for byte (each simulator's command log and a read-back);
  3. the example playbook again: changed for none;
  3b. values (state merged) after each printer was given its own calibration:
     check and diff mode send nothing; the first run sends each printer only
     its Parameter record, its own with the named settings changed, and backs
     it up on the control node; the second run changes nothing; a printer
     down fails alone; settings of one unit are refused without per_unit;
  3c. info's profile of one printer given to all as values;
  4. one simulator stopped: that host fails with the tool's error text, the
     others go on; info gives status and settings; a missing and a failing
     dazavu executable and a rejected file fail cleanly;
Without printers (DocumentationTest): ansible-doc shows both modules, and
ansible-test sanity passes as far as it runs without network.

Usage: test_collection.py --dazavu BIN --sim BIN --collections DIR --examples DIR
An empty --dazavu or --sim skips the printer runs (exit 77 when all else passed).
"""

import argparse
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

ARGS = None
HERE = os.path.dirname(os.path.abspath(__file__))
PRINTERS = ['p1', 'p2', 'p3', 'p4', 'p5']
WRITE_PREFIXES = ('{Z2;', '{IP;', '{IS;', '{IH;')
# ansible-test sanity tests that install their requirements with pip.
NETWORK_SANITY_TESTS = ('ansible-doc', 'validate-modules', 'pylint', 'import', 'yamllint', 'pep8',
                        'runtime-metadata', 'changelog', 'pslint', 'shellcheck')
RESULT = re.compile(r'^ok: \[(\S+)\] => (\{\n    "msg": "RESULT .*?\n\})$', re.M | re.S)
RECAP = re.compile(r'^(\S+)\s+: ok=(\d+)\s+changed=(\d+)\s+unreachable=(\d+)\s+failed=(\d+)', re.M)


def printable(line):
    """A command as the simulator logs it."""
    return ''.join(chr(b) if 0x20 <= b < 0x7F and b != 0x5C else '\\x%02X' % b for b in line)


def lines_of(data):
    """The lines of a settings file without their CR LF."""
    assert data.endswith(b'\r\n'), data
    return data[:-2].split(b'\r\n')


class Simulator(object):
    """One dazavu-printer-sim process on a free port, its log collected."""

    def __init__(self, status='00', scramble=None):
        # A scrambled printer starts with every setting other than the
        # tool's defaults (KB I/F not OFF among them).
        extra = ['--scramble', str(scramble)] if scramble is not None else []
        self.proc = subprocess.Popen([ARGS.sim, '--port', '0', '--status', status] + extra,
                                     stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        first = self.proc.stdout.readline().decode('latin-1').strip()
        m = re.match(r'lan: 127\.0\.0\.1:(\d+)$', first)
        if not m:
            self.proc.kill()
            raise RuntimeError('simulator did not start: %r' % first)
        self.port = int(m.group(1))
        self.log = []
        self.lock = threading.Lock()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for raw in self.proc.stdout:
            with self.lock:
                self.log.append(raw.decode('latin-1').rstrip('\n'))

    def commands(self):
        with self.lock:
            return [l[len('lan << '):] for l in self.log if l.startswith('lan << ')]

    def writes(self):
        return [c for c in self.commands() if c.startswith(WRITE_PREFIXES)]

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.reader.join(5)


def dazavu(*args):
    """Runs the real tool with --json; returns (exit status, document)."""
    p = subprocess.run([ARGS.dazavu] + list(args) + ['--json'], capture_output=True, timeout=60)
    return p.returncode, json.loads(p.stdout.decode('utf-8'))


class CollectionTest(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        if not ARGS.dazavu or not ARGS.sim:
            raise unittest.SkipTest('no dazavu tool or printer simulator in this build')
        cls.tmp = tempfile.mkdtemp(prefix='dz-ansible.')
        # The tool's backups and audit log in the test's folder.
        os.environ['XDG_STATE_HOME'] = os.path.join(cls.tmp, 'state')
        cls.sims = {}
        try:
            for number, name in enumerate(PRINTERS):
                cls.sims[name] = Simulator(status='02' if name == 'p5' else '00', scramble=100 + number)
            cls._make_files()
        except Exception:
            cls.tearDownClass()
            raise
        cls.runs = {}

    @classmethod
    def tearDownClass(cls):
        for sim in cls.sims.values():
            sim.stop()
        shutil.rmtree(cls.tmp, ignore_errors=True)

    @classmethod
    def target(cls, name):
        return '127.0.0.1:%d' % cls.sims[name].port

    @classmethod
    def _make_files(cls):
        """The files to roll out: the example's .dt1 and the .dt2 that p5
        holds, with another gateway. p1 and p2 hold both already, p3 the .dt2
        only."""
        cls.params_file = os.path.join(ARGS.examples, 'files', 'site.dt1')
        factory_dt2 = os.path.join(cls.tmp, 'factory.dt2')
        rc, doc = dazavu('read', '--lan', cls.target('p5'), '--lan-settings', factory_dt2)
        assert rc == 0, doc
        with open(factory_dt2, 'rb') as f:
            lan = lines_of(f.read())
        assert lan[1].startswith(b'{IP;3,'), lan
        lan[1] = b'{IP;3,192,168,010,001|}'
        cls.lan_file = os.path.join(cls.tmp, 'site.dt2')
        with open(cls.lan_file, 'wb') as f:
            f.write(b''.join(l + b'\r\n' for l in lan))
        with open(cls.params_file, 'rb') as f:
            cls.params_bytes = f.read()
        with open(cls.lan_file, 'rb') as f:
            cls.lan_bytes = f.read()
        # Without --verify: the check run shows whether they hold the files.
        rc, doc = dazavu('write', '--lan', cls.target('p1'), '--lan', cls.target('p2'),
                         cls.params_file, cls.lan_file)
        assert rc == 0, doc
        rc, doc = dazavu('write', '--lan', cls.target('p3'), cls.lan_file)
        assert rc == 0, doc

    @classmethod
    def playbook(cls, run, playbook, extra=(), with_info=False, extra_hosts=''):
        """Runs ansible-playbook on the running printers; keeps stdout, recap and results."""
        inventory = os.path.join(cls.tmp, run + '.ini')
        with open(inventory, 'w') as f:
            f.write('[printers]\n')
            for name in PRINTERS:
                f.write('%s printer_host=127.0.0.1 printer_port=%d\n' % (name, cls.sims[name].port))
            f.write(extra_hosts)
            f.write('[printers:vars]\nansible_python_interpreter=%s\n' % sys.executable)
        variables = os.path.join(cls.tmp, run + '.json')
        with open(variables, 'w') as f:
            json.dump(dict(dazavu_cli=ARGS.dazavu, params_file=cls.params_file,
                           lan_file=cls.lan_file, with_info=with_info), f)
        env = dict(os.environ, ANSIBLE_COLLECTIONS_PATH=ARGS.collections,
                   ANSIBLE_HOME=os.path.join(cls.tmp, 'home'),
                   ANSIBLE_LOCAL_TEMP=os.path.join(cls.tmp, 'home', 'tmp'),
                   ANSIBLE_CONFIG=os.path.join(cls.tmp, 'none.cfg'),
                   ANSIBLE_NOCOLOR='1', ANSIBLE_FORCE_COLOR='0', ANSIBLE_RETRY_FILES_ENABLED='0',
                   ANSIBLE_STDOUT_CALLBACK='default', ANSIBLE_FORKS='8', ANSIBLE_PIPELINING='1',
                   PYTHONDONTWRITEBYTECODE='1', XDG_STATE_HOME=os.path.join(cls.tmp, 'state'))
        started = time.monotonic()
        p = subprocess.run(['ansible-playbook', '-i', inventory, '-e', '@' + variables, playbook]
                           + list(extra), capture_output=True, text=True, env=env, cwd=cls.tmp,
                           timeout=90)
        sys.stdout.write('[ansible-playbook %s: %.1f s] ' % (run, time.monotonic() - started))
        recap = dict((m.group(1), dict(ok=int(m.group(2)), changed=int(m.group(3)),
                                       unreachable=int(m.group(4)), failed=int(m.group(5))))
                     for m in RECAP.finditer(p.stdout))
        kept = {}
        for m in RESULT.finditer(p.stdout):
            msg = json.loads(m.group(2))['msg']
            kept[m.group(1)] = json.loads(msg[len('RESULT '):])
        cls.runs[run] = dict(rc=p.returncode, stdout=p.stdout, stderr=p.stderr,
                             recap=recap, results=kept)
        return cls.runs[run]

    def assertRecap(self, run, changed, failed=()):
        for name, counts in run['recap'].items():
            with self.subTest(host=name):
                self.assertEqual(counts['failed'], 1 if name in failed else 0, run['stdout'])
                self.assertEqual(counts['changed'], 1 if name in changed else 0, run['stdout'])
                self.assertEqual(counts['unreachable'], 0)

    def assertHoldsFiles(self, name):
        """The simulated printer's state read back equals the files byte for byte."""
        dt1 = os.path.join(self.tmp, 'back-%s.dt1' % name)
        dt2 = os.path.join(self.tmp, 'back-%s.dt2' % name)
        rc, doc = dazavu('read', '--lan', self.target(name), '--params', dt1, '--lan-settings', dt2)
        self.assertEqual(rc, 0, doc)
        with open(dt1, 'rb') as f:
            self.assertEqual(f.read(), self.params_bytes, name)
        with open(dt2, 'rb') as f:
            self.assertEqual(f.read(), self.lan_bytes, name)

    def file_commands(self):
        return [printable(l) for l in lines_of(self.params_bytes) + lines_of(self.lan_bytes)]

    def test_1_check_and_diff_mode(self):
        before = dict((n, len(s.writes())) for n, s in self.sims.items())
        run = self.playbook('check', os.path.join(HERE, 'fleet.yml'), ['--check', '--diff'])
        self.assertEqual(run['rc'], 0, run['stdout'] + run['stderr'])
        self.assertEqual(sorted(run['recap']), PRINTERS)
        self.assertRecap(run, changed={'p3', 'p4', 'p5'})
        for name, sim in self.sims.items():
            self.assertEqual(len(sim.writes()), before[name], 'check mode wrote to %s' % name)
        res = dict((n, run['results'][n]['settings']) for n in PRINTERS)
        for name in ('p1', 'p2'):
            self.assertEqual(res[name]['differences'], [])
            self.assertEqual(res[name]['diff']['before'], res[name]['diff']['after'])
        for name in PRINTERS:
            # No printer reports STOP BIT, no file carries KB I/F: neither is shown.
            self.assertNotIn('STOP BIT:', res[name]['diff']['before'])
            self.assertNotIn('KB I/F:', res[name]['diff']['before'])
        # p3 holds the LAN file already: only parameter settings differ.
        p4_items = set(d['item'] for d in res['p4']['differences'])
        p3_items = set(d['item'] for d in res['p3']['differences'])
        self.assertTrue(p3_items and p3_items < p4_items, (p3_items, p4_items))
        for name in ('p3', 'p4', 'p5'):
            self.assertEqual(res[name]['written'], [])
            for d in res[name]['differences']:
                self.assertEqual(sorted(d), ['caption', 'file', 'item', 'printer'])
                self.assertNotEqual(d['printer'], d['file'])
                # The differing caption in before and after of the shown diff.
                self.assertIn('\n-%s: %s\n' % (d['caption'], d['printer']), run['stdout'])
                self.assertIn('\n+%s: %s\n' % (d['caption'], d['file']), run['stdout'])
                self.assertIn('%s: %s\n' % (d['caption'], d['printer']), res[name]['diff']['before'])
                self.assertIn('%s: %s\n' % (d['caption'], d['file']), res[name]['diff']['after'])
        gateway = [(d['caption'], d['file']) for d in res['p4']['differences']
                   if d['item'].startswith('m_objGateway')]
        self.assertEqual(gateway, [('DEFAULT GATEWAY 1', '192'), ('DEFAULT GATEWAY 2', '168'),
                                   ('DEFAULT GATEWAY 3', '10'), ('DEFAULT GATEWAY 4', '1')])

    def test_2_apply_writes_only_the_differing_printers(self):
        before = dict((n, len(s.writes())) for n, s in self.sims.items())
        run = self.playbook('apply', os.path.join(HERE, 'fleet.yml'))
        self.assertEqual(run['rc'], 0, run['stdout'] + run['stderr'])
        self.assertRecap(run, changed={'p3', 'p4', 'p5'})
        for name, sim in self.sims.items():
            written = sim.writes()[before[name]:]
            if name in ('p1', 'p2'):
                self.assertEqual(written, [], name)
                self.assertEqual(run['results'][name]['settings']['written'], [])
            else:
                self.assertEqual(written, self.file_commands(), name)
                self.assertEqual(run['results'][name]['settings']['written'],
                                 [self.params_file, self.lan_file])
            self.assertHoldsFiles(name)

    def test_3_example_playbook_again_changes_nothing(self):
        before = dict((n, len(s.writes())) for n, s in self.sims.items())
        run = self.playbook('again', os.path.join(ARGS.examples, 'site.yml'),
                            ['-e', 'printer_timeout=5'])
        self.assertEqual(run['rc'], 0, run['stdout'] + run['stderr'])
        self.assertEqual(sorted(run['recap']), PRINTERS)
        self.assertRecap(run, changed=set())
        for name, sim in self.sims.items():
            self.assertEqual(len(sim.writes()), before[name], name)

    def own_records(self, name):
        """The printer's parameter file lines, read now."""
        dt1 = os.path.join(self.tmp, 'own-%s.dt1' % name)
        rc, doc = dazavu('read', '--lan', self.target(name), '--params', dt1)
        self.assertEqual(rc, 0, doc)
        with open(dt1, 'rb') as f:
            return lines_of(f.read())

    def test_3b_values_merge_only_the_named_settings(self):
        # Every printer its own calibration first.
        for i, name in enumerate(PRINTERS):
            rc, doc = dazavu('set', '--lan', self.target(name), '--no-backup',
                             'FEED ADJ.=%d.5' % i, 'TONE ADJ.<T>=-%d' % i)
            self.assertEqual(rc, 0, doc)
        own = dict((n, self.own_records(n)) for n in PRINTERS)
        self.assertEqual(len(set(r[1] for r in own.values())), len(PRINTERS))
        closed = socket.socket()
        closed.bind(('127.0.0.1', 0))
        down = 'down printer_host=127.0.0.1 printer_port=%d\n' % closed.getsockname()[1]
        closed.close()
        given = {'SPEED': '19200bps', 'FONT CODE': 'PC-852', 'STOP BIT': '1bit'}
        variables = ['-e', json.dumps(dict(given_values=given,
                                           backup_dir=os.path.join(self.tmp, 'backups')))]
        playbook = os.path.join(HERE, 'values.yml')
        start = dict((n, len(s.commands())) for n, s in self.sims.items())

        check = self.playbook('values-check', playbook, variables + ['--check', '--diff'],
                              extra_hosts=down)
        self.assertRecap(check, changed=set(PRINTERS), failed={'down'})
        for name, sim in self.sims.items():
            self.assertFalse([c for c in sim.commands()[start[name]:] if c.startswith(WRITE_PREFIXES)])
            res = check['results'][name]['settings']
            self.assertEqual(res['before']['SPEED'], '9600bps')
            self.assertEqual(res['after'], given)
            self.assertEqual(len(res['commands']), 1)
            self.assertIn('\n-SPEED: 9600bps\n', check['stdout'])
            self.assertIn('\n+SPEED: 19200bps\n', check['stdout'])
            self.assertNotIn('backup_path', res)

        # The example playbook, as its comment says to run it first.
        example = self.playbook('values-example', os.path.join(ARGS.examples, 'settings.yml'),
                                ['--check', '--diff', '-e', 'printer_timeout=5',
                                 '-e', 'backup_dir=' + os.path.join(self.tmp, 'example-backups')])
        self.assertEqual(example['rc'], 0, example['stdout'] + example['stderr'])
        self.assertRecap(example, changed=set(PRINTERS))
        self.assertIn('\n+SPEED: 19200bps\n FONT CODE: PC-850\n', example['stdout'])
        self.assertFalse(os.path.exists(os.path.join(self.tmp, 'example-backups')))

        start = dict((n, len(s.commands())) for n, s in self.sims.items())
        first = self.playbook('values', playbook, variables, extra_hosts=down)
        self.assertRecap(first, changed=set(PRINTERS), failed={'down'})
        for name, sim in self.sims.items():
            # Read all, the printer's own Parameter record with the three
            # fields changed, its read-back; nothing else written.
            record = bytearray(own[name][0])
            record[6 + 0:6 + 1] = b'1'  # PC-852
            record[6 + 2:6 + 3] = b'3'  # 19200bps
            record[6 + 4:6 + 5] = b'0'  # 1bit
            self.assertEqual(sim.commands()[start[name]:],
                             ['{Z5;0|}', '{Z5;1|}', '{Z5;4|}', '{Z5;3|}', printable(bytes(record)),
                              '{Z5;1|}', '{Z5;4|}'], name)
            res = first['results'][name]['settings']
            self.assertEqual(res['commands'], [bytes(record).decode('latin-1')])
            self.assertEqual(self.own_records(name), [bytes(record), own[name][1]])
            # The backup on the control node is what the printer held before.
            backup = res['backup_path']
            self.assertTrue(backup.startswith(os.path.join(self.tmp, 'backups')), backup)
            with open(os.path.join(backup, self.target(name).replace(':', '_') + '.dt1'), 'rb') as f:
                self.assertEqual(lines_of(f.read()), own[name])
        self.assertIn('Open Error', first['results']['down']['settings']['msg'])

        start = dict((n, len(s.commands())) for n, s in self.sims.items())
        again = self.playbook('values-again', playbook, variables)
        self.assertRecap(again, changed=set())
        for name, sim in self.sims.items():
            self.assertEqual(sim.commands()[start[name]:], ['{Z5;0|}', '{Z5;1|}', '{Z5;4|}', '{Z5;3|}'])

        # A calibration for all of them is refused without per_unit.
        refused = self.playbook('values-one-unit', playbook,
                                ['-e', json.dumps(dict(given_values={'FEED ADJ.': 1.5}))])
        self.assertRecap(refused, changed=set(), failed=set(PRINTERS))
        self.assertIn('per_unit', refused['results']['p1']['settings']['msg'])
        self.assertIn('FEED ADJ.', refused['results']['p1']['settings']['msg'])
        self.assertEqual(self.own_records('p1')[1], own['p1'][1])

    def test_3c_info_profile_of_one_printer_given_to_all(self):
        rc, doc = dazavu('set', '--lan', self.target('p1'), '--no-backup', 'ZERO CODE=WITH SLASH',
                         'FEED KEY=PRINT', 'STOP BIT=1bit', 'DHCP=ON')
        self.assertEqual(rc, 0, doc)
        own = dict((n, self.own_records(n)) for n in PRINTERS)
        run = self.playbook('profile', os.path.join(HERE, 'values.yml'),
                            ['-e', json.dumps(dict(model_port=self.sims['p1'].port,
                                                   extra_values={'STOP BIT': '1bit'}))])
        self.assertRecap(run, changed=set(PRINTERS) - {'p1'})
        profile = run['results']['p1']['model']['settings']['profile']
        self.assertEqual(profile['ZERO CODE'], 'WITH SLASH')
        self.assertEqual(profile['DHCP'], 'ON')
        for caption in ('FEED ADJ.', 'IP ADDRESS 1', 'DHCP HOST NAME', 'KB I/F', 'STOP BIT'):
            self.assertNotIn(caption, profile)
        values = run['results']['p1']['model']['settings']['values']
        self.assertIn('FEED ADJ.', values)
        self.assertNotIn('KB I/F', values)
        for name in PRINTERS:
            # p1's parameter record, each printer's own adjustment record.
            self.assertEqual(self.own_records(name), [own['p1'][0], own[name][1]], name)
        # Every printer back to the files for the runs that follow.
        targets = []
        for name in PRINTERS:
            targets += ['--lan', self.target(name)]
        rc, doc = dazavu('write', '--no-backup', *(targets + [self.params_file, self.lan_file]))
        self.assertEqual(rc, 0, doc)

    def test_4_stopped_printer_fails_only_its_host(self):
        self.sims['p2'].stop()
        bad_file = os.path.join(self.tmp, 'short.dt1')
        with open(bad_file, 'wb') as f:
            f.write(self.params_bytes[:20] + b'|}\r\n')
        p1_writes = len(self.sims['p1'].writes())
        p1 = 'printer_host=127.0.0.1 printer_port=%d' % self.sims['p1'].port
        extra = ('nocli %s cli_override=%s\n' % (p1, os.path.join(self.tmp, 'no', 'dazavu'))
                 + 'badcli %s cli_override=/bin/false\n' % p1
                 + 'badfile %s params_override=%s\n' % (p1, bad_file))
        run = self.playbook('stopped', os.path.join(HERE, 'fleet.yml'), with_info=True,
                            extra_hosts=extra)
        self.assertNotEqual(run['rc'], 0)
        self.assertRecap(run, changed=set(), failed={'p2', 'nocli', 'badcli', 'badfile'})
        # A rejected file: the loader's message names it, nothing is sent.
        self.assertIn(bad_file, run['results']['badfile']['settings']['msg'])
        self.assertEqual(run['results']['badfile']['settings']['rc'], 4)
        self.assertEqual(len(self.sims['p1'].writes()), p1_writes)
        self.assertNotIn('Traceback', run['stdout'] + run['stderr'])
        self.assertNotIn('MODULE FAILURE', run['stdout'])

        rc, doc = dazavu('verify', '--lan', self.target('p2'), '--timeout', '1',
                         self.params_file, self.lan_file)
        self.assertEqual(rc, 2)
        tool_error = doc['printers'][0]['error']
        self.assertTrue(tool_error)
        failed = run['results']['p2']['settings']
        self.assertTrue(failed['failed'])
        self.assertEqual(failed['msg'], tool_error)
        self.assertIn('does not exist', run['results']['nocli']['settings']['msg'])
        self.assertIn('no JSON answer', run['results']['badcli']['settings']['msg'])

        for name in ('p1', 'p3', 'p4', 'p5'):
            info = run['results'][name]['info']
            self.assertFalse(info['changed'])
            self.assertEqual(info['status']['code'], '02' if name == 'p5' else '00')
            rc, doc = dazavu('status', '--lan', self.target(name))
            self.assertEqual(info['status']['text'], doc['printers'][0]['status']['text'])
            if name != 'p5':
                self.assertEqual(info['status']['text'], 'ON LINE')
            # What the printer holds now is the files' values.
            settings = info['settings']
            by_item = dict((r['item'], r) for r in settings['rows'])
            self.assertEqual(len(by_item), len(settings['rows']))
            self.assertEqual(settings['by_item'], dict((i, r['field']) for i, r in by_item.items()))
            for d in self.runs['check']['results']['p4']['settings']['differences']:
                self.assertEqual(by_item[d['item']]['value'], d['file'], d)
                self.assertEqual(by_item[d['item']]['caption'], d['caption'])
            self.assertEqual(len(settings['by_caption']), len(settings['rows']))


class DocumentationTest(unittest.TestCase):
    """The collection without printers: its documentation and ansible-test sanity."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix='dz-ansible-doc.')

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def test_ansible_doc(self):
        env = dict(os.environ, ANSIBLE_COLLECTIONS_PATH=ARGS.collections,
                   ANSIBLE_HOME=os.path.join(self.tmp, 'home'), ANSIBLE_NOCOLOR='1',
                   PYTHONDONTWRITEBYTECODE='1')
        for module, options in (('settings', ['host', 'port', 'params_file', 'lan_file', 'cli',
                                              'timeout', 'values', 'state', 'per_unit', 'backup',
                                              'backup_options']),
                                ('info', ['host', 'port', 'cli', 'timeout'])):
            p = subprocess.run(['ansible-doc', '--json', 'dazavu.printer.' + module],
                               capture_output=True, text=True, env=env, timeout=60)
            self.assertEqual(p.returncode, 0, p.stderr)
            doc = json.loads(p.stdout)['dazavu.printer.' + module]
            self.assertEqual(sorted(doc['doc']['options']), sorted(options))
            self.assertTrue(doc['examples'].strip())
            self.assertIn('status' if module == 'info' else 'differences', doc['return'])
            self.assertNotIn('ERROR', p.stderr)

    def test_targets_name_host_names_and_both_address_families(self):
        sys.path.insert(0, ARGS.collections)
        try:
            from ansible_collections.dazavu.printer.plugins.module_utils.dazavu_cli import (
                DazavuError, lan_target)
        finally:
            sys.path.pop(0)
        self.assertEqual(lan_target('192.168.10.20', 8000), '192.168.10.20:8000')
        self.assertEqual(lan_target('printer-7.site.example', 9100), 'printer-7.site.example:9100')
        self.assertEqual(lan_target('::1', 8000), '[::1]:8000')
        self.assertEqual(lan_target('[fe80::1]', 8001), '[fe80::1]:8001')
        for bad in ('', ' vm', '-x', 'vm:9001', '[vm]', 'a b'):
            with self.assertRaises(DazavuError, msg=bad):
                lan_target(bad, 8000)

    def test_ansible_test_sanity(self):
        """ansible-test sanity, the tests that need no download (the others set
        up a virtual environment with pip from the network)."""
        if not shutil.which('ansible-test'):
            self.skipTest('ansible-test not installed')
        root = os.path.join(self.tmp, 'sanity', 'ansible_collections', 'dazavu')
        os.makedirs(root)
        source = os.path.join(ARGS.collections, 'ansible_collections', 'dazavu', 'printer')
        shutil.copytree(source, os.path.join(root, 'printer'),
                        ignore=shutil.ignore_patterns('__pycache__', 'tests'))
        skip = []
        for name in NETWORK_SANITY_TESTS:
            skip += ['--skip-test', name]
        p = subprocess.run(['ansible-test', 'sanity', '--local', '--python',
                            '%d.%d' % sys.version_info[:2]] + skip,
                           capture_output=True, text=True, timeout=90,
                           cwd=os.path.join(root, 'printer'),
                           env=dict(os.environ, PYTHONDONTWRITEBYTECODE='1'))
        self.assertEqual(p.returncode, 0, p.stdout + p.stderr)
        self.assertIn('Running sanity test "compile"', p.stdout + p.stderr)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    for option in ('--dazavu', '--sim', '--collections', '--examples'):
        parser.add_argument(option, required=True)
    ARGS, rest = parser.parse_known_args()
    if not shutil.which('ansible-playbook'):
        print('ansible collection: SKIPPED, ansible-playbook not installed (scripts/setup.sh)')
        return 77
    loader = unittest.defaultTestLoader
    suite = unittest.TestSuite([loader.loadTestsFromTestCase(DocumentationTest),
                                loader.loadTestsFromTestCase(CollectionTest)])
    result = unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite)
    bad = len(result.failures) + len(result.errors)
    # A skipped setUpClass is not counted in testsRun.
    skipped_run = len([t for t, _ in result.skipped if isinstance(t, unittest.TestCase)])
    print('ansible collection: %s, %d passed, %d failed, %d skipped%s'
          % ('PASSED' if result.wasSuccessful() else 'FAILED',
             result.testsRun - bad - skipped_run, bad, len(result.skipped),
             ''.join('\n  skipped: %s (%s)' % (t.id(), why) for t, why in result.skipped)))
    if not result.wasSuccessful():
        return 1
    return 77 if not ARGS.dazavu else 0


if __name__ == '__main__':
    sys.exit(main())

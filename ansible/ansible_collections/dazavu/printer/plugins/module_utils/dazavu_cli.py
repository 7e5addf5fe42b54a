# -*- coding: utf-8 -*-
# Copyright: Dazavu Setting Tool team
# GNU General Public License v3.0+ (see https://www.gnu.org/licenses/gpl-3.0.txt)
"""Runs the dazavu command-line tool with --json and reads its answer.

Shared by the modules of dazavu.printer. Every failure is raised as
DazavuError with a text fit for the user; the modules turn it into
fail_json, so a missing tool or a garbled answer never ends in a traceback.
"""

from __future__ import absolute_import, division, print_function
__metaclass__ = type

import json
import os

# Exit statuses of dazavu.
EXIT_OK = 0
EXIT_USAGE = 1
EXIT_UNREACHABLE = 2
EXIT_DIFFERENT = 3
EXIT_REJECTED = 4

COMMON_ARGUMENT_SPEC = dict(
    host=dict(type='str', required=True),
    port=dict(type='int', default=8000),
    cli=dict(type='str', default='dazavu'),
    timeout=dict(type='float', default=2.0),
)


class DazavuError(Exception):
    """A failure of the tool or of its answer; details go into the result."""

    def __init__(self, message, **details):
        super(DazavuError, self).__init__(message)
        self.message = message
        self.details = details


def lan_target(host, port):
    """The tool's name of a LAN printer, "HOST:PORT" or "[IPV6]:PORT"; raises on bad values.

    HOST is a host name, an IPv4 address or an IPv6 address (with or without
    brackets); the tool resolves host names once, before it runs.
    """
    if not isinstance(host, str) or not host.strip():
        raise DazavuError('host must not be empty')
    if host != host.strip() or any(c.isspace() for c in host):
        raise DazavuError('host %r holds white space' % host)
    if host.startswith('-'):
        raise DazavuError('host %r is not a host name or address' % host)
    if port is None or not 1 <= port <= 65535:
        raise DazavuError('port %r is not between 1 and 65535' % port)
    bare = host[1:-1] if host.startswith('[') and host.endswith(']') else host
    if ':' in bare:
        if '[' in bare or ']' in bare or bare.count(':') < 2:
            raise DazavuError('host %r is not a host name or address' % host)
        return '[%s]:%d' % (bare, port)
    if '[' in host or ']' in host:
        raise DazavuError('host %r is not a host name or address' % host)
    return '%s:%d' % (host, port)


def format_timeout(seconds):
    if seconds is None or seconds <= 0:
        raise DazavuError('timeout must be more than 0 seconds')
    if float(seconds).is_integer():
        return '%d' % int(seconds)
    return '%g' % seconds


class DazavuCli(object):
    """One dazavu executable, run for one printer target."""

    def __init__(self, module, cli, timeout):
        self.module = module
        self.path = self._resolve(cli)
        self.timeout = format_timeout(timeout)

    def _resolve(self, cli):
        if not cli:
            raise DazavuError('cli must name the dazavu executable')
        if os.sep in cli:
            path = os.path.expanduser(cli)
            if not os.path.isfile(path):
                raise DazavuError('the dazavu executable %s does not exist' % path)
            if not os.access(path, os.X_OK):
                raise DazavuError('the dazavu executable %s is not executable' % path)
            return path
        path = self.module.get_bin_path(cli, required=False)
        if not path:
            raise DazavuError('the dazavu executable %s was not found on PATH; '
                              'install the dazavu-setting-tool package or set cli' % cli)
        return path

    def run(self, command, args, with_timeout=True):
        """Runs `dazavu COMMAND ARGS --json`; returns (exit status, document)."""
        argv = [self.path, command] + list(args)
        if with_timeout:
            argv += ['--timeout', self.timeout]
        argv.append('--json')
        try:
            rc, out, err = self.module.run_command(argv, check_rc=False)
        except Exception as e:  # the executable vanished or cannot run
            raise DazavuError('cannot run %s: %s' % (self.path, e), cmd=argv)
        err = (err or '').strip()
        try:
            doc = json.loads(out)
        except ValueError:
            doc = None
        if not isinstance(doc, dict):
            text = 'dazavu %s ended with exit status %d and no JSON answer' % (command, rc)
            if err:
                text += ': ' + err
            raise DazavuError(text, rc=rc, stdout=out, stderr=err, cmd=argv)
        return rc, doc, err

    def run_printer(self, command, target, args):
        """A per-printer command for one target; returns (exit status, printer entry).

        Wrong usage, a rejected file and a printer that does not answer raise
        DazavuError with the tool's own error text.
        """
        rc, doc, err = self.run(command, ['--lan', target] + list(args))
        if rc in (EXIT_USAGE, EXIT_REJECTED):
            raise DazavuError(_text(doc.get('error')) or err or
                              'dazavu %s ended with exit status %d' % (command, rc),
                              rc=rc, stderr=err)
        printers = doc.get('printers')
        entry = printers[0] if isinstance(printers, list) and printers else None
        if not isinstance(entry, dict):
            raise DazavuError('dazavu %s answered without a result for %s' % (command, target),
                              rc=rc, stderr=err)
        if rc in (EXIT_OK, EXIT_DIFFERENT):
            return rc, entry
        raise DazavuError(_text(entry.get('error')) or _text(doc.get('error')) or err or
                          'dazavu %s ended with exit status %d' % (command, rc),
                          rc=rc, stderr=err)

    def show(self, source):
        """The rows of `dazavu show SOURCE`: dicts with page, frame, caption, item, value, field."""
        rc, doc, err = self.run('show', [source], with_timeout=source.startswith('lan:'))
        if rc != EXIT_OK:
            printers = doc.get('printers')
            entry_error = ''
            if isinstance(printers, list) and printers and isinstance(printers[0], dict):
                entry_error = _text(printers[0].get('error'))
            raise DazavuError(_text(doc.get('error')) or entry_error or err or
                              'dazavu show %s ended with exit status %d' % (source, rc),
                              rc=rc, stderr=err)
        rows = doc.get('settings')
        if not isinstance(rows, list):
            raise DazavuError('dazavu show %s answered without settings' % source)
        return [_row(r) for r in rows if isinstance(r, dict)]


def _text(value):
    return value if isinstance(value, str) else ''


def _row(raw):
    return dict((key, _text(raw.get(key))) for key in
                ('page', 'frame', 'caption', 'item', 'value', 'field'))


# Text fields such as the DHCP host name are filled up to their width with
# character 255. A settings file loses the filler when it is loaded, a value
# read from the printer keeps it, so an empty host name would read back as
# 16 characters 255 against the file's "" and never compare equal.
FILLER = u'\u00ff'


def differences_of(entry):
    """The differences of a verify result as the modules return them,
    without those that are only the filler of a text field."""
    rows = entry.get('differences') or []
    if not isinstance(rows, list):
        raise DazavuError('dazavu answered differences that are not a list')
    differences = []
    for r in rows:
        if not isinstance(r, dict):
            continue
        d = dict(caption=_text(r.get('caption')), item=_text(r.get('item')),
                 printer=_text(r.get('printer')), file=_text(r.get('file')))
        if d['printer'].replace(FILLER, '') != d['file'].replace(FILLER, ''):
            differences.append(d)
    return differences

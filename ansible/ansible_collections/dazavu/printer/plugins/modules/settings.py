#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: Dazavu Setting Tool team
# GNU General Public License v3.0+ (see https://www.gnu.org/licenses/gpl-3.0.txt)

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: settings
short_description: Give a Dazavu label printer named settings or settings files
version_added: 1.0.0
description:
  - 'With I(values) (I(state=merged), the default): the settings named, by
    caption and value as C(dazavu show) prints them, for example
    C(SPEED: 19200bps). The printer is read, only the write records that hold
    the named settings are sent, every other setting keeps the printer''s own
    value, and the printer is read back.'
  - 'With I(params_file) and/or I(lan_file) (I(state=replaced)): the printer
    is compared with a parameter settings file (C(.dt1)) and/or a LAN settings
    file (C(.dt2)); the files are written only when a setting differs and the
    printer is read back. Only the settings the given files carry are
    written, and only those the files carry and the printer reports are
    compared (KB I/F, which no file carries, and STOP BIT, which no printer
    reports, never are). A file is checked whole before the printer is
    contacted (a C(.dt1) holds its two lines, a C(.dt2) its five, every field
    a value its setting can hold); the printer must answer a status request
    before it is written, and is written the file''s own lines.'
  - Nothing is sent when the printer already holds every value, so a second
    run changes nothing.
  - 'Runs on the control node (use C(connection: local)) and calls the
    C(dazavu) command-line tool with C(--json), one printer per task.'
  - A printer that does not answer fails that host with the tool's error
    text; the other hosts go on.
options:
  values:
    description:
      - Settings by caption, each to the value as C(dazavu show) prints it
        (C(dazavu captions) lists them with the values each takes). YAML
        booleans are C(ON) and C(OFF), numbers are written as they read
        (C(-1.5), C(9100)).
      - C(STOP BIT) must be given with any setting of the Parameter frame
        (the Parameter write record carries it and no printer reports it).
      - The I(settings) of M(dazavu.printer.info) (C(profile) or C(values))
        can be given as they are.
      - Settings that belong to one printer (the Adjustment frame, the IP
        address, subnet mask and gateway, the DHCP host name and client id)
        need I(per_unit=true).
    type: dict
  state:
    description:
      - C(merged) changes only the settings of I(values).
      - C(replaced) makes the printer hold I(params_file) and/or I(lan_file)
        whole.
      - Defaults to C(merged) with I(values), to C(replaced) with files.
    type: str
    choices: [merged, replaced]
  per_unit:
    description:
      - Allow I(values) to hold settings that belong to one printer. A play
        over many printers would otherwise copy one printer's calibration or
        address onto all of them.
    type: bool
    default: false
  backup:
    description:
      - Save the printer's settings as they were before the write on the
        control node, as C(dazavu read --out-dir) names them
        (C(HOST_PORT.dt1) and C(.dt2)) in a new folder per run, and return
        the folder as I(backup_path).
      - Without it the C(dazavu) tool still keeps its own backup in its
        state folder on the control node.
    type: bool
    default: false
  backup_options:
    description:
      - Where I(backup) saves.
    type: dict
    suboptions:
      dir_path:
        description:
          - The folder in which each run's backup folder is made. Default
            C($XDG_STATE_HOME/dazavu/backups) of the user running the play.
        type: path
  params_file:
    description:
      - Parameter settings file (C(.dt1)) the printer shall hold, as the
        Setting Tool's SAVE or C(dazavu read --params) writes it.
      - With I(lan_file), the files I(state=replaced) makes the printer hold;
        not with I(values).
    type: path
  lan_file:
    description:
      - LAN settings file (C(.dt2)) the printer shall hold.
      - Writing it changes the printer's network settings; a new address
        takes effect as the printer applies it.
    type: path
attributes:
  check_mode:
    description: Reads the printer, reports what would change and the
      commands that would be sent, and writes nothing.
    support: full
  diff_mode:
    description: >-
      Before and after as C(CAPTION: value) lines, one a setting the values
      or the files carry; before is the printer, after the values or files.
    support: full
notes:
  - Printers are reached over LAN only.
seealso:
  - module: dazavu.printer.info
extends_documentation_fragment:
  - dazavu.printer.printer
author:
  - Dazavu Setting Tool team
'''

EXAMPLES = r'''
- name: Every printer at 19200 bps with code page PC-850, each keeping its calibration
  hosts: printers
  connection: local
  gather_facts: false
  tasks:
    - name: Two settings
      dazavu.printer.settings:
        host: "{{ printer_host | default(inventory_hostname) }}"
        values:
          SPEED: 19200bps
          FONT CODE: PC-850
          STOP BIT: 1bit
        backup: true
        backup_options:
          dir_path: /srv/printer-backups

- name: A printer's own calibration, from host variables
  dazavu.printer.settings:
    host: 192.168.10.21
    values:
      FEED ADJ.: -1.5
      TONE ADJ.<T>: 2
    per_unit: true

- name: One printer read, the others given its settings
  hosts: printers
  connection: local
  gather_facts: false
  tasks:
    - name: The model printer
      dazavu.printer.info:
        host: "{{ hostvars['label-dock-1'].printer_host }}"
      register: model
      run_once: true

    - name: Its settings on every printer, STOP BIT given
      dazavu.printer.settings:
        host: "{{ printer_host | default(inventory_hostname) }}"
        values: "{{ model.settings.profile | combine({'STOP BIT': '1bit'}) }}"

- name: Printers hold the site's parameter and LAN settings
  hosts: printers
  connection: local
  gather_facts: false
  tasks:
    - name: Settings files rolled out
      dazavu.printer.settings:
        host: "{{ printer_host | default(inventory_hostname) }}"
        port: "{{ printer_port | default(8000) }}"
        params_file: files/site.dt1
        lan_file: "files/{{ inventory_hostname }}.dt2"
      register: result

    - name: What was different
      ansible.builtin.debug:
        var: result.differences

- name: Only look (ansible-playbook --check --diff)
  dazavu.printer.settings:
    host: 192.168.10.20
    params_file: /srv/printers/site.dt1
    cli: /usr/bin/dazavu
    timeout: 5
  check_mode: true
'''

RETURN = r'''
changed:
  description: True when the printer differed from the values or files (and,
    outside check mode, was written).
  returned: always
  type: bool
  sample: true
target:
  description: The printer as the tool names it, C(HOST:PORT) or C([IPV6]:PORT).
  returned: always
  type: str
  sample: 127.0.0.1:8000
differences:
  description:
    - The settings in which the printer differed from the files before this task,
      values as the Setting Tool's window shows them.
    - Empty when the printer already held the files.
  returned: success
  type: list
  elements: dict
  contains:
    caption:
      description: The setting's caption in the window.
      type: str
      sample: SPEED
    item:
      description: The setting's item name.
      type: str
      sample: m_objCommunicationSpeed
    printer:
      description: The printer's value.
      type: str
      sample: 9600bps
    file:
      description: The file's value (with I(values), the value given).
      type: str
      sample: 19200bps
written:
  description: The files written to the printer and read back from it
    (I(state=replaced)); empty when nothing was written.
  returned: success
  type: list
  elements: str
before:
  description: The named settings (the files' differing settings with
    I(state=replaced)) as the printer held them, caption to value.
  returned: success
  type: dict
  sample: {"SPEED": "9600bps", "STOP BIT": "(not reported by the printer)"}
after:
  description: The same settings as the printer holds them after the task
    (in check mode, as it would).
  returned: success
  type: dict
  sample: {"SPEED": "19200bps", "STOP BIT": "1bit"}
commands:
  description: The record lines sent to the printer (in check mode, that
    would be sent); empty when nothing was.
  returned: success
  type: list
  elements: str
  sample: ["{Z2;1,00310121+0001B0A00000B0000000000100|}"]
backup_path:
  description: The folder that holds the printer's settings from before the
    write, C(HOST_PORT.dt1) and C(.dt2); C(dazavu restore --from) takes it.
  returned: when backup is true and the printer was written
  type: str
  sample: /srv/printer-backups/2026-12-09T014157Z
diff:
  description: 'Before and after as C(CAPTION: value) lines (diff mode only).'
  returned: when diff mode is on
  type: dict
'''

import os

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.dazavu.printer.plugins.module_utils.dazavu_cli import (
    COMMON_ARGUMENT_SPEC, EXIT_DIFFERENT, DazavuCli, DazavuError, differences_of, lan_target,
    text_of, without_filler)


def settings_files(module):
    files = []
    for option in ('params_file', 'lan_file'):
        path = module.params[option]
        if path is None:
            continue
        # Absolute, so that no file name is ever taken for an option.
        path = os.path.abspath(path)
        if not os.path.isfile(path):
            raise DazavuError('%s %s does not exist or is not a file' % (option, path))
        if not os.access(path, os.R_OK):
            raise DazavuError('%s %s cannot be read' % (option, path))
        files.append(path)
    return files


def diff_lines(cli, files, differences):
    """Before (printer) and after (files) as "CAPTION: value" lines.

    The rows are the files' settings that a printer reports, as `dazavu show`
    lists them; the printer's values are those the comparison found
    different, the rest are equal on both sides, so the printer is not read a
    second time.
    """
    printer_values = dict((d['item'], d['printer']) for d in differences)
    before, after = [], []
    for path in files:
        for row in cli.show(path):
            if not row.get('compared', True):
                continue
            before.append('%s: %s' % (row['caption'], printer_values.get(row['item'], row['value'])))
            after.append('%s: %s' % (row['caption'], row['value']))
    return '\n'.join(before) + '\n', '\n'.join(after) + '\n'


def value_text(caption, value):
    """A value of values: as the text dazavu takes; YAML gives ON/OFF as booleans."""
    if isinstance(value, bool):
        return 'ON' if value else 'OFF'
    if isinstance(value, (int, float)):
        return str(value)
    if isinstance(value, str):
        return value
    raise DazavuError('%s: the value %r is not a text, a number or ON/OFF' % (caption, value))


def backup_args(module):
    """Where dazavu saves the printer's settings before it writes them."""
    options = module.params['backup_options'] or {}
    if module.params['backup'] and options.get('dir_path'):
        return ['--backup-dir', os.path.abspath(options['dir_path'])]
    return []


def backup_path(module, entry):
    backup = entry.get('backup')
    if module.params['backup'] and isinstance(backup, dict) and isinstance(backup.get('folder'), str):
        return backup['folder']
    return None


def mapping_lines(mapping):
    return ''.join('%s: %s\n' % (caption, value) for caption, value in mapping.items())


def merged(module, cli, target):
    """values: only the named settings, through dazavu set."""
    values = module.params['values']
    if not values:
        raise DazavuError('values names no setting')
    known = cli.captions()
    assignments, one_unit = [], []
    for caption, value in values.items():
        caption = str(caption)
        if known.get(caption, {}).get('per_unit'):
            one_unit.append(caption)
        assignments.append('%s=%s' % (caption, value_text(caption, value)))
    if one_unit and not module.params['per_unit']:
        raise DazavuError('these settings belong to one printer and are given only with per_unit: true: %s'
                          % ', '.join(one_unit))
    args = assignments + backup_args(module)
    if module.check_mode:
        args.append('--dry-run')
    rc, entry = cli.run_printer('set', target, args)
    changes = [c for c in entry.get('changes') or [] if isinstance(c, dict)]
    before = dict((text_of(c.get('caption')), without_filler(c.get('before'))) for c in changes)
    after = dict((text_of(c.get('caption')), without_filler(c.get('after'))) for c in changes)
    commands = [c for c in entry.get('commands') or [] if isinstance(c, str)]
    differences = [dict(caption=text_of(c.get('caption')), item=text_of(c.get('item')),
                        printer=without_filler(c.get('before')), file=without_filler(c.get('after')))
                   for c in changes if c.get('changed')]
    result = dict(changed=bool(entry.get('changed')), target=target, differences=differences, written=[],
                  before=before, after=after, commands=commands)
    if rc == EXIT_DIFFERENT:
        remaining = differences_of(entry, 'printer', 'expected')
        raise DazavuError('%s does not hold the values after writing them' % target,
                          remaining=remaining, **result)
    path = backup_path(module, entry)
    if path and result['changed'] and not module.check_mode:
        result['backup_path'] = path
    if module._diff:
        result['diff'] = dict(before=mapping_lines(before), after=mapping_lines(after),
                              before_header=target, after_header='values')
    return result


def replaced(module, cli, target):
    """params_file / lan_file: the files whole, through dazavu verify and write."""
    files = settings_files(module)
    rc, entry = cli.run_printer('verify', target, files)
    differences = differences_of(entry) if rc == EXIT_DIFFERENT else []

    result = dict(changed=bool(differences), target=target, differences=differences, written=[],
                  before=dict((d['caption'], d['printer']) for d in differences),
                  after=dict((d['caption'], d['file']) for d in differences), commands=[])
    if module._diff:
        before, after = diff_lines(cli, files, differences)
        result['diff'] = dict(before=before, after=after,
                              before_header=target, after_header=', '.join(files))
    if differences:
        result['commands'] = file_commands(files)
    if differences and not module.check_mode:
        rc, entry = cli.run_printer('write', target, files + ['--verify'] + backup_args(module))
        written = entry.get('written')
        result['written'] = [w for w in written if isinstance(w, str)] if isinstance(written, list) else files
        remaining = differences_of(entry) if rc == EXIT_DIFFERENT else []
        if remaining:
            raise DazavuError('%s does not hold the files after writing them' % target,
                              remaining=remaining, **result)
        path = backup_path(module, entry)
        if path:
            result['backup_path'] = path
    return result


def file_commands(files):
    """The lines of the settings files, as write sends them."""
    lines = []
    for path in files:
        with open(path, 'rb') as f:
            data = f.read()
        for line in data.replace(b'\r\n', b'\n').split(b'\n'):
            if line:
                lines.append(line.decode('latin-1'))
    return lines


def run(module):
    target = lan_target(module.params['host'], module.params['port'])
    has_files = module.params['params_file'] is not None or module.params['lan_file'] is not None
    state = module.params['state'] or ('replaced' if has_files else 'merged')
    if state == 'merged' and has_files:
        raise DazavuError('state merged takes values, not params_file or lan_file')
    if state == 'replaced' and not has_files:
        raise DazavuError('state replaced takes params_file and/or lan_file')
    cli = DazavuCli(module, module.params['cli'], module.params['timeout'])
    return merged(module, cli, target) if state == 'merged' else replaced(module, cli, target)


def main():
    argument_spec = dict(COMMON_ARGUMENT_SPEC)
    argument_spec.update(params_file=dict(type='path'), lan_file=dict(type='path'),
                         values=dict(type='dict'),
                         state=dict(type='str', choices=['merged', 'replaced']),
                         per_unit=dict(type='bool', default=False),
                         backup=dict(type='bool', default=False),
                         backup_options=dict(type='dict', options=dict(dir_path=dict(type='path'))))
    module = AnsibleModule(argument_spec=argument_spec,
                           required_one_of=[('values', 'params_file', 'lan_file')],
                           mutually_exclusive=[('values', 'params_file'), ('values', 'lan_file')],
                           supports_check_mode=True)
    try:
        result = run(module)
    except DazavuError as e:
        module.fail_json(msg=e.message, **e.details)
    module.exit_json(**result)


if __name__ == '__main__':
    main()

#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: Dazavu Setting Tool team
# GNU General Public License v3.0+ (see https://www.gnu.org/licenses/gpl-3.0.txt)

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: settings
short_description: Make a Dazavu label printer hold a settings file
version_added: 1.0.0
description:
  - Reads a Dazavu thermal label printer over its LAN interface, compares its
    settings with a parameter settings file (C(.dt1)) and/or a LAN settings
    file (C(.dt2)), and writes the files only when a setting differs; after
    writing it reads the printer back and fails unless the printer holds the
    files.
  - Only the settings that the given files carry are written, and only those
    that the files carry and the printer reports are compared (KB I/F, which
    no file carries, and STOP BIT, which no printer reports, never are).
  - A file is checked whole before the printer is contacted (a C(.dt1) holds
    its two lines, a C(.dt2) its five, every field a value its setting can
    hold); the printer must answer a status request before it is written,
    and is written the file's own lines.
  - 'Runs on the control node (use C(connection: local)) and calls the
    C(dazavu) command-line tool with C(--json), one printer per task.'
  - A printer that does not answer fails that host with the tool's error
    text; the other hosts go on.
options:
  params_file:
    description:
      - Parameter settings file (C(.dt1)) the printer shall hold, as the
        Setting Tool's SAVE or C(dazavu read --params) writes it.
      - At least one of I(params_file) and I(lan_file) is required.
    type: path
  lan_file:
    description:
      - LAN settings file (C(.dt2)) the printer shall hold.
      - Writing it changes the printer's network settings; a new address
        takes effect as the printer applies it.
    type: path
attributes:
  check_mode:
    description: Reports what would change and writes nothing.
    support: full
  diff_mode:
    description: >-
      Before and after as C(CAPTION: value) lines, one a setting the files
      carry; before is the printer, after the files.
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
  description: True when the printer differed from the files (and, outside check mode, was written).
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
      description: The file's value.
      type: str
      sample: 19200bps
written:
  description: The files written to the printer and read back from it; empty when nothing was written.
  returned: success
  type: list
  elements: str
diff:
  description: 'Before and after as C(CAPTION: value) lines (diff mode only).'
  returned: when diff mode is on
  type: dict
'''

import os

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.dazavu.printer.plugins.module_utils.dazavu_cli import (
    COMMON_ARGUMENT_SPEC, EXIT_DIFFERENT, DazavuCli, DazavuError, differences_of, lan_target)


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

    The rows are the files' settings as `dazavu show` lists them; the
    printer's values are those the comparison found different, the rest are
    equal on both sides, so the printer is not read a second time.
    """
    printer_values = dict((d['item'], d['printer']) for d in differences)
    before, after = [], []
    for path in files:
        for row in cli.show(path):
            before.append('%s: %s' % (row['caption'], printer_values.get(row['item'], row['value'])))
            after.append('%s: %s' % (row['caption'], row['value']))
    return '\n'.join(before) + '\n', '\n'.join(after) + '\n'


def run(module):
    target = lan_target(module.params['host'], module.params['port'])
    files = settings_files(module)
    cli = DazavuCli(module, module.params['cli'], module.params['timeout'])

    rc, entry = cli.run_printer('verify', target, files)
    differences = differences_of(entry) if rc == EXIT_DIFFERENT else []

    result = dict(changed=bool(differences), target=target, differences=differences, written=[])
    if module._diff:
        before, after = diff_lines(cli, files, differences)
        result['diff'] = dict(before=before, after=after,
                              before_header=target, after_header=', '.join(files))

    if differences and not module.check_mode:
        rc, entry = cli.run_printer('write', target, files + ['--verify'])
        written = entry.get('written')
        result['written'] = [w for w in written if isinstance(w, str)] if isinstance(written, list) else files
        remaining = differences_of(entry) if rc == EXIT_DIFFERENT else []
        if remaining:
            raise DazavuError('%s does not hold the files after writing them' % target,
                              remaining=remaining, **result)
    return result


def main():
    argument_spec = dict(COMMON_ARGUMENT_SPEC)
    argument_spec.update(params_file=dict(type='path'), lan_file=dict(type='path'))
    module = AnsibleModule(argument_spec=argument_spec,
                           required_one_of=[('params_file', 'lan_file')],
                           supports_check_mode=True)
    try:
        result = run(module)
    except DazavuError as e:
        module.fail_json(msg=e.message, **e.details)
    module.exit_json(**result)


if __name__ == '__main__':
    main()

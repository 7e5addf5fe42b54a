#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: Dazavu Setting Tool team
# GNU General Public License v3.0+ (see https://www.gnu.org/licenses/gpl-3.0.txt)

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: info
short_description: Status and settings of a Dazavu label printer
version_added: 1.0.0
description:
  - Asks a Dazavu thermal label printer over its LAN interface for its status
    and reads every setting (parameter settings and LAN settings).
  - Never changes anything on the printer.
  - 'Runs on the control node (use C(connection: local)) and calls the
    C(dazavu) command-line tool with C(--json).'
attributes:
  check_mode:
    description: Runs the same in check mode; it never changes anything.
    support: full
  diff_mode:
    description: Nothing to show; the module changes nothing.
    support: none
seealso:
  - module: dazavu.printer.settings
extends_documentation_fragment:
  - dazavu.printer.printer
author:
  - Dazavu Setting Tool team
'''

EXAMPLES = r'''
- name: What the printers say
  hosts: printers
  connection: local
  gather_facts: false
  tasks:
    - name: Status and settings
      dazavu.printer.info:
        host: "{{ printer_host | default(inventory_hostname) }}"
        port: "{{ printer_port | default(8000) }}"
      register: printer

    - name: Status line
      ansible.builtin.debug:
        msg: "{{ printer.status.code }} {{ printer.status.text }}"

    - name: Printers that are not on line
      ansible.builtin.debug:
        msg: "{{ inventory_hostname }} is not on line"
      when: printer.status.text != 'ON LINE'
'''

RETURN = r'''
target:
  description: The printer as the tool names it, C(HOST:PORT) or C([IPV6]:PORT).
  returned: always
  type: str
  sample: 127.0.0.1:8000
status:
  description: The printer's status.
  returned: success
  type: dict
  contains:
    text:
      description: The status text as the Setting Tool's status label shows it;
        may be empty or start with spaces.
      type: str
      sample: ON LINE
    code:
      description: The two status characters of the printer's reply.
      type: str
      sample: "00"
settings:
  description: Every setting the printer reports, parameter settings and LAN
    settings (not STOP BIT, which no read record holds).
  returned: success
  type: dict
  contains:
    by_caption:
      description:
        - Caption as the window shows it, to the value as the window shows it
          (list texts, C(1.5) for a tenths field, C(1B) for a hexadecimal one).
        - A caption that stands on more than one page or frame is given as
          C(PAGE / FRAME / CAPTION) for each of them.
      type: dict
      sample: {"FONT CODE": "PC-850", "SPEED": "9600bps", "IP ADDRESS 1": "192"}
    by_item:
      description: Item name to the item's field text as a settings file holds it.
      type: dict
      sample: {"m_objFontCode": "0", "m_objCommunicationSpeed": "2", "m_objIpAddress1": "192"}
    rows:
      description: The settings in the window's order, each with page, frame,
        caption, item, value and field.
      type: list
      elements: dict
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.dazavu.printer.plugins.module_utils.dazavu_cli import (
    COMMON_ARGUMENT_SPEC, DazavuCli, DazavuError, lan_target)


def settings_of(rows):
    counts = {}
    for row in rows:
        counts[row['caption']] = counts.get(row['caption'], 0) + 1
    by_caption, by_item = {}, {}
    for row in rows:
        key = row['caption']
        if counts[key] > 1:
            key = ' / '.join(part for part in (row['page'], row['frame'], row['caption']) if part)
        by_caption[key] = row['value']
        by_item[row['item']] = row['field']
    return dict(by_caption=by_caption, by_item=by_item, rows=rows)


def run(module):
    target = lan_target(module.params['host'], module.params['port'])
    cli = DazavuCli(module, module.params['cli'], module.params['timeout'])
    rc, entry = cli.run_printer('status', target, [])
    status = entry.get('status')
    if not isinstance(status, dict):
        raise DazavuError('dazavu status answered no status for %s' % target)
    status = dict(text=status.get('text') if isinstance(status.get('text'), str) else '',
                  code=status.get('code') if isinstance(status.get('code'), str) else '')
    settings = settings_of(cli.show('lan:' + target))
    return dict(changed=False, target=target, status=status, settings=settings)


def main():
    module = AnsibleModule(argument_spec=dict(COMMON_ARGUMENT_SPEC), supports_check_mode=True)
    try:
        result = run(module)
    except DazavuError as e:
        module.fail_json(msg=e.message, **e.details)
    module.exit_json(**result)


if __name__ == '__main__':
    main()

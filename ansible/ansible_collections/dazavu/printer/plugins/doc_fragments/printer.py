# -*- coding: utf-8 -*-
# The options every module of the collection takes to reach one printer
# through the dazavu command-line tool.

from __future__ import absolute_import, division, print_function
__metaclass__ = type


class ModuleDocFragment(object):

    DOCUMENTATION = r'''
options:
  host:
    description:
      - Host name, IPv4 address or IPv6 address of the printer's LAN
        interface. C(dazavu) resolves a host name once, before it contacts
        the printer.
    type: str
    required: true
  port:
    description:
      - TCP port of the printer's LAN interface.
    type: int
    default: 8000
  cli:
    description:
      - The C(dazavu) executable, a path or a name looked up on PATH.
    type: str
    default: dazavu
  timeout:
    description:
      - Seconds to wait for each reply of the printer.
    type: float
    default: 2
notes:
  - Needs the C(dazavu) tool of the Dazavu Setting Tool on the control node.
'''

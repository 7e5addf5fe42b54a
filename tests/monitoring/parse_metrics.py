#!/usr/bin/env python3
"""Reads Prometheus text exposition on standard input with the
prometheus_client parser and prints one JSON object a sample:
{"family": ..., "type": ..., "name": ..., "labels": {...}, "value": ...}.
A text the parser refuses ends with exit 1 and the parser's message."""
import json
import sys

from prometheus_client.parser import text_string_to_metric_families

try:
    for family in text_string_to_metric_families(sys.stdin.read()):
        for sample in family.samples:
            print(json.dumps({"family": family.name, "type": family.type, "name": sample.name,
                              "labels": sample.labels, "value": sample.value}))
except Exception as error:  # the parser raises ValueError and others
    print("parse error: %s" % error, file=sys.stderr)
    sys.exit(1)

#!/usr/bin/env python3
"""Reads an exported spreadsheet as a real reader does (the workbook is a zip of
XML parts) and prints every cell of its first sheet as REF=S:text or REF=N:number."""
import sys
import xml.etree.ElementTree as ET
import zipfile

ns = {'m': 'http://schemas.openxmlformats.org/spreadsheetml/2006/main'}
z = zipfile.ZipFile(sys.argv[1])
shared = [''.join(t.text or '' for t in si.iter('{%s}t' % ns['m']))
          for si in ET.fromstring(z.read('xl/sharedStrings.xml')).findall('m:si', ns)]
for c in ET.fromstring(z.read('xl/worksheets/sheet1.xml')).iter('{%s}c' % ns['m']):
    v = c.find('m:v', ns)
    print('%s=%s%s' % (c.get('r'), 'S:' if c.get('t') == 's' else 'N:',
                       shared[int(v.text)] if c.get('t') == 's' else v.text))

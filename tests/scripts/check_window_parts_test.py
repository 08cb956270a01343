#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The table check of the window's parts (scripts/check-window-parts), run on
small trees: a consistent one passes, and each kind of fault it is there to
catch fails it with a message naming the fault."""
import os, subprocess, sys, tempfile

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'scripts', 'check-window-parts')

HEADER = '''#pragma once
// The dialog "ＯＮ" of Button1 in the design: a comment may name it.
struct Lamps {
  QLabel* dsr = nullptr;
};
class NumberDialog : public QDialog {
 public:
  void AcceptClick();
  Lamps lamps;
  QString hint() const { return "Label1"; }  // a string may hold it too
 private:
  QPushButton* onButton_;
};
'''

TABLE = '''# Quelvo

## The window's parts

| what a user sees | class and member | design name |
|---|---|---|
| the number dialog | `NumberDialog` (`gui/dialogs/NumberDialog.h`) | `TAutoForm` |
| its "ＯＮ" and its DSR lamp | `NumberDialog::AcceptClick`, `NumberDialog::lamps.dsr` | `Button1Click`, `LabeledEdit1` |

## Licence
'''


def run(header=HEADER, table=TABLE, extra=None):
    with tempfile.TemporaryDirectory() as root:
        os.makedirs(os.path.join(root, 'src', 'gui', 'dialogs'))
        with open(os.path.join(root, 'src', 'gui', 'dialogs', 'NumberDialog.h'), 'w', encoding='utf-8') as f:
            f.write(header)
        for name, text in (extra or {}).items():
            with open(os.path.join(root, 'src', 'gui', 'dialogs', name), 'w', encoding='utf-8') as f:
                f.write(text)
        with open(os.path.join(root, 'README.md'), 'w', encoding='utf-8') as f:
            f.write(table)
        done = subprocess.run([sys.executable, SCRIPT, root], capture_output=True, text=True)
        return done.returncode, done.stdout


def main():
    cases = [
        ('consistent tree', {}, 0, ''),
        ('member gone', {'table': TABLE.replace('NumberDialog::AcceptClick', 'NumberDialog::RefuseClick')},
         1, 'RefuseClick is not declared'),
        ('nested member gone', {'table': TABLE.replace('lamps.dsr', 'lamps.cts')}, 1, 'cts is not declared'),
        ('class in another file', {'table': TABLE.replace('gui/dialogs/NumberDialog.h', 'gui/dialogs/Other.h')},
         1, 'window NumberDialog is not defined in src/gui/dialogs/Other.h'),
        ('window without a row', {'extra': {'PickDialog.h': 'class PickDialog : public QDialog {\n};\n'}},
         1, 'no row for the window class PickDialog'),
        ('design name as a name', {'header': HEADER.replace('onButton_', 'Button1')},
         1, 'design name Button1 used as a name'),
        ('no table', {'table': '# Quelvo\n'}, 1, 'no section'),
    ]
    failures = 0
    for title, change, want_code, want_text in cases:
        code, out = run(**change)
        if code != want_code or want_text not in out:
            failures += 1
            print(f'FAIL {title}: exit {code}, output:\n{out}')
    print(f'{len(cases) - failures} of {len(cases)} cases pass')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())

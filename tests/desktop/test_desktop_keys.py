#!/usr/bin/env python3
"""The shell's keys on a real X server, as a person presses them.

The shell runs under Xvfb with openbox and LC_ALL=pt_BR.UTF-8; xdotool
presses the keys through the X server, so the keys reach the shell as a
keyboard's do (Qt's X11 key bindings included: a line edit there takes
Ctrl+E as "end of line"). Each menu key is pressed with the focus in each
kind of control -- line edit, masked edit, date edit, spin edit, combo
box -- and must run its menu command (the shell's trace says so, and the
window it opens appears and is closed again). Ctrl+W, Ctrl+F4 and Esc close
the screen from each kind of control; Esc first puts back a field's typing;
F9 and Alt+Down open a code's look-up; Tab reaches the command bar, whose
buttons Space and Enter press; Ctrl+E through the real save dialog writes
the file.

Usage: test_desktop_keys.py SHELL_PROGRAM"""
import os
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop_session import Desktop  # noqa: E402

SHELL = None

# One control of each kind, by object name.
CONTROLS = {
    'line edit': 'edtNmProdInic',
    'masked edit': 'medCdFilial',
    'date edit': 'depDataInic',
    'spin edit': 'sedNiveOrde',
    'combo box': 'cbbTipoCusto',
}

# The menu's keys: xdotool's name, the action that must run, and the title
# of the window it opens (None: it opens none).
MENU_KEYS = [
    ('ctrl+p', 'actsbtPrint', r'^Imprimir'),
    ('F5', 'actsbtPreview', r'Visualiza'),
    ('ctrl+s', 'actsbtSalvarComo', r'^Título do Relatório'),
    ('ctrl+e', 'actmnuExportarCsv', r'CSV'),
    ('ctrl+shift+e', 'actmnuExportarXlsx', r'Excel|XLSX'),
    ('ctrl+d', 'actmnuEditRel', r'Editar|Relatório'),
    ('ctrl+shift+d', 'actmnuRelatPadr', None),
    ('ctrl+r', 'actRepeatLastParameters', None),
    ('F1', 'actAjudaTela', r'^Ajuda'),
    ('ctrl+g', 'actAbrirXEV01700', None),
]

CLOSE_KEYS = ['ctrl+w', 'ctrl+F4', 'Escape']


class DesktopCase(unittest.TestCase):
    """A shell of its own on a desktop of its own for each class of cases."""
    desktop = None

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.desktop = Desktop(SHELL, cls.tmp.name)
        cls.desktop.start('--open', 'XEV01700')
        cls.desktop.wait_trace(r'trace focus \w+', 60)
        cls.desktop.wait_main_window()

    @classmethod
    def tearDownClass(cls):
        if cls.desktop:
            cls.desktop.stop()
        cls.tmp.cleanup()

    def setUp(self):
        d = self.desktop
        if d.active_window() != d.main_window:
            self.fail('a window other than the main one is active: %r' % d.window_name(d.active_window() or ''))
        d.drain(0.2)
        if not self.screen_open():
            self.open_screen()

    # --- helpers -----------------------------------------------------------
    def screen_open(self):
        closed = [line for line in self.desktop.seen if line.startswith('trace closed ')]
        opened = [line for line in self.desktop.seen if line == 'trace command actAbrirXEV01700']
        return len(closed) <= len(opened)

    def open_screen(self):
        self.desktop.key('ctrl+g')
        self.desktop.wait_trace(r'trace command actAbrirXEV01700')
        self.desktop.wait_trace(r'trace focus \w+')

    def focus_on(self, control):
        """Tabs through the screen until control has the focus."""
        d = self.desktop
        for _ in range(40):
            if d.focus == control:
                return
            d.key('Tab')
            d.wait_trace(r'trace focus \S+', 5)
        self.fail('Tab never reached %s (focus on %s)' % (control, d.focus))

    def run_menu_key(self, key, action, window_title):
        d = self.desktop
        d.key(key)
        if window_title:
            d.wait_trace(r'trace window .*(%s).*' % window_title, 30)
            window = d.wait_active(window_title)
            d.close_active(window)
            d.wait_main_active()
        d.wait_trace(r'trace command %s' % action, 30)
        if not window_title:
            stray = [line for line in d.drain(0.5) if line.startswith('trace window')]
            self.assertEqual(stray, [], 'no window was expected')


class MenuKeys(DesktopCase):
    """Each menu key and each way to close the screen, with the focus in each kind of control."""


def add_menu_key_cases():
    for key, action, title in MENU_KEYS:
        for kind, control in CONTROLS.items():
            def case(self, key=key, action=action, title=title, control=control):
                self.focus_on(control)
                self.run_menu_key(key, action, title)
            name = 'test_%s_in_%s' % (key.replace('+', '_'), kind.replace(' ', '_'))
            setattr(MenuKeys, name, case)


def add_close_cases():
    for key in CLOSE_KEYS:
        for kind, control in CONTROLS.items():
            def case(self, key=key, control=control):
                self.focus_on(control)
                self.desktop.key(key)
                self.desktop.wait_trace(r'trace closed .*Custo Realizado.*', 10)
                self.assertEqual([w for w in self.desktop.drain(0.3) if w.startswith('trace window')], [],
                                 'closing opened a window (the calendar?)')
            setattr(MenuKeys, 'test_close_%s_in_%s' % (key.replace('+', '_'), kind.replace(' ', '_')), case)


add_menu_key_cases()
add_close_cases()


class MoreKeys(DesktopCase):
    """Typing undone by Esc, look-ups, the command bar, a file written through the real dialog."""

    def test_escape_puts_back_typing_first(self):
        d = self.desktop
        self.focus_on('medCdProdInic')
        d.type('0102')
        d.key('Escape')
        self.assertEqual([x for x in d.drain(1.0) if x.startswith('trace closed')], [],
                         'the first Esc closed the screen with typing in the field')
        d.key('Escape')
        d.wait_trace(r'trace closed .*', 10)

    def test_lookup_keys_open_the_search(self):
        d = self.desktop
        for control, key in (('medCdFilial', 'F9'), ('medCdProdInic', 'alt+Down')):
            self.focus_on(control)
            d.key(key)
            d.wait_trace(r'trace window .*', 15)
            window = d.wait_active(r'.')
            d.close_active(window)
            d.wait_main_active()

    def test_tab_reaches_the_command_bar_and_keys_press_its_buttons(self):
        d = self.desktop
        self.focus_on('sbtPrint')
        d.key('space')
        window = d.wait_active(r'^Imprimir')
        d.close_active(window)
        d.wait_main_active()
        self.focus_on('sbtExportar')
        d.key('Return')  # opens the menu: its first entry is CSV
        time.sleep(0.5)
        d.key('Return')
        window = d.wait_active(r'CSV')
        d.close_active(window)
        d.wait_main_active()

    def test_ctrl_e_through_the_real_save_dialog_writes_the_file(self):
        d = self.desktop
        target = os.path.join(self.tmp.name, 'exportado.csv')
        self.focus_on('medCdFilial')
        d.key('ctrl+e')
        window = d.wait_active(r'CSV')
        d.key('ctrl+a')
        d.type(target)
        d.key('Return')
        d.wait_main_active()
        d.wait_trace(r'trace command actmnuExportarCsv', 60)
        deadline = time.monotonic() + 60
        while not os.path.exists(target) and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertTrue(os.path.exists(target), 'the export was not written')
        with open(target, 'rb') as f:
            self.assertTrue(f.read().startswith(b'\xef\xbb\xbf'))
        del window


if __name__ == '__main__':
    SHELL = sys.argv.pop(1)
    unittest.main(verbosity=2)

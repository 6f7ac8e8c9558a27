#!/usr/bin/env python3
"""The shell's keys on a real X server, as a person presses them.

The shell runs under Xvfb with openbox and LC_ALL=pt_BR.UTF-8; xdotool
presses the keys through the X server, so the keys reach the shell as a
keyboard's do (Qt's X11 key bindings included: a line edit there takes
Ctrl+E as "end of line"). Each menu key is pressed with the focus in each
kind of control -- masked edits, date edit, spin edit, combo box, check
box -- and must run its menu command (the shell's trace says so, and the
window it opens appears and is closed again). Ctrl+W, Ctrl+F4 and Esc close
the screen from each kind of control; Esc first puts back a field's typing;
F9 and Alt+Down open a code's look-up; Tab reaches the command bar, whose
buttons Space and Enter press; Ctrl+E through the real save dialog writes
the file; Alt+U then S opens "Sobre o Merenda Escolar"; the window carries
the program's icon.

Usage: test_desktop_keys.py SHELL_PROGRAM"""
import os
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop_session import Desktop  # noqa: E402

SHELL = None

# One control of each kind that takes the focus, by object name. The
# screen has no plain line edit: its text fields are masked edits (a
# QLineEdit with a mask), one for letters and one for a code picture.
CONTROLS = {
    'masked edit': 'medCdFilial',
    'code edit': 'medCdProdInic',
    'date edit': 'depDataInic',
    'spin edit': 'sedNiveOrde',
    'combo box': 'cbbTipoCusto',
    'check box': 'chbEstocaveis',
}

# The menu's keys: xdotool's name, the action that must run, and the title
# of the window it opens (None: it opens none).
MENU_KEYS = [
    ('ctrl+p', 'actsbtPrint', r'^Imprimir'),
    ('F5', 'actsbtPreview', r'^Custo Realizado Global'),
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
        try:
            cls.desktop.start('--open', 'XEV01700')
            cls.desktop.wait_trace(r'trace focus \w+', 60)
            cls.desktop.wait_main_window()
        except BaseException:
            # unittest skips tearDownClass when this fails: end what started here.
            cls.desktop.stop()
            cls.tmp.cleanup()
            raise
        cls.screen_opened = True   # and not filled since
        cls.screen_is_open = True

    @classmethod
    def tearDownClass(cls):
        if cls.desktop:
            cls.desktop.stop()
        cls.tmp.cleanup()

    def setUp(self):
        d = self.desktop
        if not d.close_other_windows():
            self.fail('a window other than the main one stays active: %r' % d.window_name(d.active_window() or ''))
        d.sync()  # the last case's focus moves are read by now
        if not self.screen_is_open:
            self.open_screen()
        # A case that only closes the screen needs no products.
        if self.screen_opened and '_close_by_' not in self._testMethodName:
            self.fill_products()
            type(self).screen_opened = False

    # --- helpers -----------------------------------------------------------
    def screen_closed(self):
        """Waits until the shell says the screen closed."""
        self.desktop.wait_trace(r'trace closed .*Custo Realizado.*', 10)
        type(self).screen_is_open = False

    def open_screen(self):
        start = len(self.desktop.seen)
        self.desktop.key('ctrl+g')
        self.desktop.wait_trace(r'trace command actAbrirXEV01700')
        self.desktop.wait_trace(r'trace focus \w+', since=start)
        type(self).screen_opened = True
        type(self).screen_is_open = True

    def fill_products(self):
        """The products the report needs, so that the screen's checks pass
        and the commands open their windows."""
        for control, code in (('medCdProdInic', '01'), ('medCdProdFina', '0203')):
            self.focus_on(control)
            self.desktop.type(code)
            self.desktop.key('Tab')
            self.desktop.wait_trace(r'trace focus \S+', 5)

    def focus_on(self, control):
        """Tabs through the screen until control has the focus."""
        d = self.desktop
        d.sync()  # focus moves still on their way (a dialog that closed)
        for _ in range(40):
            if d.focus == control:
                return
            d.key('Tab')
            d.wait_trace(r'trace focus \S+', 5)
        self.fail('Tab never reached %s (focus on %s)' % (control, d.focus))

    def run_menu_key(self, key, action, window_title):
        d = self.desktop
        start = len(d.seen)
        d.key(key)
        if window_title:
            d.wait_window(window_title)
            window = d.wait_active(window_title)
            d.close_active(window)
            d.wait_main_active()
        d.wait_trace(r'trace command %s' % action, 30, since=start)
        if not window_title:
            # A window the command opens shows before the command ends.
            d.sync()
            stray = [line for line in d.seen[start:] if line.startswith('trace window')]
            self.assertEqual(stray, [], 'no window was expected')


class MenuKeys(DesktopCase):
    """Each menu key and each way to close the screen, with the focus in each kind of control."""


# Cases run in their names' order: per kind of control, each menu key, then
# each way to close the screen, so that the focus stays in the control from
# one case to the next.
def case_name(kind, number, what):
    return 'test_in_%s_%02d_%s' % (kind.replace(' ', '_'), number, what.replace('+', '_'))


def add_menu_key_cases():
    for number, (key, action, title) in enumerate(MENU_KEYS):
        for kind, control in CONTROLS.items():
            def case(self, key=key, action=action, title=title, control=control):
                self.focus_on(control)
                self.run_menu_key(key, action, title)
            setattr(MenuKeys, case_name(kind, number, key), case)


def add_close_cases():
    for number, key in enumerate(CLOSE_KEYS, start=len(MENU_KEYS)):
        for kind, control in CONTROLS.items():
            def case(self, key=key, control=control):
                d = self.desktop
                self.focus_on(control)
                start = len(d.seen)
                d.key(key)
                self.screen_closed()
                d.sync()
                self.assertEqual([w for w in d.seen[start:] if w.startswith('trace window')], [],
                                 'closing opened a window (the calendar?)')
            setattr(MenuKeys, case_name(kind, number, 'close_by_' + key), case)


add_menu_key_cases()
add_close_cases()


class MoreKeys(DesktopCase):
    """Typing undone by Esc, look-ups, the command bar, a file written through the real dialog."""

    def test_escape_puts_back_typing_first(self):
        d = self.desktop
        self.focus_on('medCdProdInic')
        d.type('0102')
        start = len(d.seen)
        d.key('Escape')
        d.sync()
        self.assertEqual([x for x in d.seen[start:] if x.startswith('trace closed')], [],
                         'the first Esc closed the screen with typing in the field')
        d.key('Escape')
        self.screen_closed()

    def test_the_window_shows_the_programs_icon(self):
        # Without an icon of its own the window shows the window manager's.
        sizes = self.desktop.window_icon_sizes(self.desktop.main_window)
        self.assertTrue(sizes, 'the main window has no icon')
        self.assertTrue(any(w >= 32 for w, _ in sizes), sizes)

    def test_about_opens_from_the_help_menus_letters(self):
        d = self.desktop
        d.key('alt+u')
        d.wait_trace(r'trace menu .*')
        d.key('s')
        window = d.wait_active(r'^Sobre o Merenda Escolar')
        d.close_active(window)
        d.wait_main_active()

    def test_lookup_keys_open_the_search(self):
        d = self.desktop
        for control, key in (('medCdFilial', 'F9'), ('medCdFilial', 'alt+Down')):
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
        d.key('Return')
        d.wait_trace(r'trace menu .*')
        d.key('Down', 'Return')  # its first entry: CSV
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


class Quitting(DesktopCase):
    """Ctrl+Q (Sair) from a field ends the program."""

    def test_ctrl_q_in_a_masked_edit_ends_the_program(self):
        self.focus_on('medCdFilial')
        self.desktop.key('ctrl+q')
        self.assertEqual(self.desktop.shell.wait(30), 0)


if __name__ == '__main__':
    SHELL = sys.argv.pop(1)
    unittest.main(verbosity=2)

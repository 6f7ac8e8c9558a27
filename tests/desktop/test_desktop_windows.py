#!/usr/bin/env python3
"""Every window of the shell on small and scaled screens, as a planner meets them.

The shell runs under Xvfb with openbox on a 1024x600 screen, once at scale 1
and once with QT_SCALE_FACTOR=1.5 (which leaves the program 683x400 units).
Each window is opened from the keyboard -- the main window, the preview,
the help, a look-up, the report editor, the print dialog, the save dialog,
the title prompt, "Sobre" -- and its frame, as the window manager draws it,
must lie inside the screen; every window but the message box must be
resizable. The preview, moved and resized by the person, opens there again,
and so it does in the next session on the same screen.

Usage: test_desktop_windows.py SHELL_PROGRAM"""
import os
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop_session import Desktop, DesktopError  # noqa: E402

SHELL = None

# How each window is opened (xdotool keys, with the focus on a control of
# the screen), the title it shows, and whether a person may resize it.
WINDOWS = [
    ('preview', 'medCdFilial', ['F5'], r'^Custo Realizado Global', True),
    ('help', 'medCdFilial', ['F1'], r'^Ajuda', True),
    ('look-up', 'medCdFilial', ['F9'], r'^Filial', True),
    ('report editor', 'medCdFilial', ['ctrl+d'], r'^Editar Relat', True),
    ('print dialog', 'medCdFilial', ['ctrl+p'], r'^Imprimir', True),
    ('save dialog', 'medCdFilial', ['ctrl+e'], r'CSV', True),
    ('title prompt', 'medCdFilial', ['ctrl+s'], r'^Título do Relatório', True),
    ('about', 'medCdFilial', ['alt+u', 's'], r'^Sobre o Merenda Escolar', False),
]


class WindowsOnAScreen:
    """The shell on a screen of its own; the cases below say its size and scale."""
    screen = '1024x600'
    scale = None
    desktop = None

    @classmethod
    def start_shell(cls):
        env = {'QT_SCALE_FACTOR': cls.scale} if cls.scale else {}
        cls.desktop = Desktop(SHELL, cls.tmp.name, screen=cls.screen, shell_env=env)
        cls.desktop.start('--open', 'XEV01700')
        cls.desktop.wait_trace(r'trace focus \w+', 60)
        cls.desktop.wait_main_window()
        cls.fill_products()

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        try:
            cls.start_shell()
        except BaseException:
            if cls.desktop:
                cls.desktop.stop()
            cls.tmp.cleanup()
            raise

    @classmethod
    def tearDownClass(cls):
        if cls.desktop:
            cls.desktop.stop()
        cls.tmp.cleanup()

    def setUp(self):
        if not self.desktop.close_other_windows():
            self.fail('a window other than the main one stays active')
        self.desktop.drain(0.2)

    # --- helpers -----------------------------------------------------------
    @classmethod
    def focus_on(cls, control):
        d = cls.desktop
        d.drain(0.3)
        for _ in range(40):
            if d.focus == control:
                return
            d.key('Tab')
            d.wait_trace(r'trace focus \S+', 5)
        raise DesktopError('Tab never reached %s (focus on %s)' % (control, d.focus))

    @classmethod
    def fill_products(cls):
        for control, code in (('medCdProdInic', '01'), ('medCdProdFina', '0203')):
            cls.focus_on(control)
            cls.desktop.type(code)
            cls.desktop.key('Tab')
            cls.desktop.wait_trace(r'trace focus \S+', 5)

    def screen_rect(self):
        w, h = map(int, self.screen.split('x'))
        return 0, 0, w, h

    def settled_frame(self, window):
        """The window's frame once the window manager and the shell are done
        placing it (two equal readings in a row)."""
        d = self.desktop
        last = None
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:
            now = d.frame_geometry(window)
            if now == last:
                return now
            last = now
            time.sleep(0.4)
        return last

    def assert_inside_screen(self, what, window):
        x, y, w, h = self.settled_frame(window)
        sx, sy, sw, sh = self.screen_rect()
        self.assertTrue(x >= sx and y >= sy and x + w <= sx + sw and y + h <= sy + sh,
                        '%s lies at %dx%d+%d+%d, beyond the %s screen' % (what, w, h, x, y, self.screen))
        return x, y, w, h

    def assert_near(self, got, wanted):
        """The same frame, give or take the pixel that a scale of 1.5 rounds away."""
        self.assertTrue(all(abs(a - b) <= 2 for a, b in zip(got, wanted)), '%r is not %r' % (got, wanted))

    def open_window(self, control, keys, title):
        d = self.desktop
        self.focus_on(control)
        d.key(*keys)
        return d.wait_active(title, 30)

    def close_window(self, window):
        self.desktop.close_active(window)
        self.desktop.wait_main_active()

    # --- cases ---------------------------------------------------------------
    def test_the_main_window_fits_and_is_resizable(self):
        d = self.desktop
        self.assert_inside_screen('the main window', d.main_window)
        self.assertTrue(d.resizable(d.main_window))

    def test_every_window_opens_inside_the_screen(self):
        for what, control, keys, title, resizable in WINDOWS:
            with self.subTest(window=what):
                window = self.open_window(control, keys, title)
                try:
                    self.assert_inside_screen(what, window)
                    self.assertEqual(self.desktop.resizable(window), resizable, what)
                finally:
                    self.desktop.close_other_windows()

    def test_the_preview_opens_where_the_person_left_it(self):
        d = self.desktop
        window = self.open_window('medCdFilial', ['F5'], r'^Custo Realizado Global')
        sx, sy, sw, sh = self.screen_rect()
        d._xdotool('windowsize', window, str(sw // 2), str(sh // 2))
        d._xdotool('windowmove', window, str(sw // 4), str(sh // 5))
        left = self.settled_frame(window)
        self.close_window(window)
        again = self.open_window('medCdFilial', ['F5'], r'^Custo Realizado Global')
        self.assert_near(self.settled_frame(again), left)
        self.close_window(again)

        # The next session on the same screen keeps it too.
        d.key('ctrl+q')
        self.assertEqual(d.shell.wait(30), 0)
        d.stop()
        type(self).start_shell()
        d = self.desktop
        later = self.open_window('medCdFilial', ['F5'], r'^Custo Realizado Global')
        self.assert_near(self.settled_frame(later), left)
        self.close_window(later)


class At1024x600(WindowsOnAScreen, unittest.TestCase):
    screen = '1024x600'


class At1024x600Scaled150(WindowsOnAScreen, unittest.TestCase):
    screen = '1024x600'
    scale = '1.5'


if __name__ == '__main__':
    SHELL = sys.argv.pop(1)
    unittest.main(verbosity=2)

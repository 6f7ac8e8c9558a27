#!/usr/bin/env python3
"""What a screen reader finds in the shell, and Alt+letter on the captions.

The test runs on a session bus of its own (it starts itself again under
dbus-run-session, with a runtime folder of its own, so the accessibility bus
that the bus starts is its own too), starts the shell under Xvfb and
openbox with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1, and walks the shell's
accessibility tree over AT-SPI (python3-pyatspi): the main window with the
screen, the preview, a look-up and the help. Every control a person can
reach -- shown, enabled, and taking the focus or pressed by a click -- must
have a name; scroll bars and size grips are left out. Alt+letter on a
field's caption moves the focus to the field.

Usage: test_desktop_access.py SHELL_PROGRAM"""
import os
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop_session import Desktop  # noqa: E402

SHELL = None
pyatspi = None  # imported once the test runs on its own bus

# Roles of the controls a person acts on: by the keyboard (focusable) or
# the mouse (actionable).
CONTROL_ROLES = {
    'push button', 'toggle button', 'check box', 'radio button', 'text', 'password text', 'spin button',
    'combo box', 'list', 'table', 'tree', 'tree table', 'page tab', 'menu item', 'slider', 'entry',
}


def controls_without_name(accessible, path=''):
    """(path, role) of each reachable control under accessible that has no name."""
    out = []
    try:
        role, name, states = accessible.getRoleName(), accessible.name, accessible.getState()
    except Exception:  # a window that went away while it was read
        return out
    here = '%s/%s %r' % (path, role, name)
    if not states.contains(pyatspi.STATE_SHOWING):
        return out
    reachable = states.contains(pyatspi.STATE_SENSITIVE) and (
        states.contains(pyatspi.STATE_FOCUSABLE) or role in ('push button', 'menu item'))
    if role in CONTROL_ROLES and reachable and not (name or '').strip():
        out.append(here)
    if role in ('combo box',):  # its items are the list's, read through the box
        return out
    for i in range(accessible.childCount):
        out += controls_without_name(accessible.getChildAtIndex(i), here)
    return out


def shell_application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == 'shell':
            return app
    return None


def window_titled(prefix, timeout=20):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        app = shell_application()
        if app is not None:
            for i in range(app.childCount):
                w = app.getChildAtIndex(i)
                if w is not None and (w.name or '').startswith(prefix):
                    return w
        time.sleep(0.3)
    raise AssertionError('no accessible window titled %r' % prefix)


class ScreenReader(unittest.TestCase):
    desktop = None

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        pyatspi.Registry.getDesktop(0)  # the accessibility bus and registry, before the shell looks for them
        cls.desktop = Desktop(SHELL, cls.tmp.name, screen='1024x600',
                              shell_env={'QT_LINUX_ACCESSIBILITY_ALWAYS_ON': '1'})
        try:
            cls.desktop.start('--open', 'XEV01700')
            cls.desktop.wait_trace(r'trace focus \w+', 60)
            cls.desktop.wait_main_window()
        except BaseException:
            cls.desktop.stop()
            cls.tmp.cleanup()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.desktop.stop()
        cls.tmp.cleanup()

    def setUp(self):
        self.assertTrue(self.desktop.close_other_windows(), 'a window other than the main one stays active')
        self.desktop.drain(0.2)

    def focus_on(self, control):
        d = self.desktop
        d.drain(0.3)
        for _ in range(40):
            if d.focus == control:
                return
            d.key('Tab')
            d.wait_trace(r'trace focus \S+', 5)
        self.fail('Tab never reached %s (focus on %s)' % (control, d.focus))

    def assert_all_named(self, window):
        missing = controls_without_name(window)
        self.assertEqual(missing, [], 'controls a person reaches without a name:\n' + '\n'.join(missing))

    def test_every_control_of_the_screen_has_a_name(self):
        self.assert_all_named(window_titled('Merenda Escolar'))

    def test_every_control_of_the_preview_lookup_and_help_has_a_name(self):
        d = self.desktop
        for control, code in (('medCdProdInic', '01'), ('medCdProdFina', '0203')):
            self.focus_on(control)
            d.type(code)
            d.key('Tab')
            d.wait_trace(r'trace focus \S+', 5)
        for keys, title in ((['F5'], 'Custo Realizado Global'), (['F9'], 'Filial'), (['F1'], 'Ajuda')):
            with self.subTest(window=title):
                self.focus_on('medCdFilial')
                d.key(*keys)
                d.wait_active('^' + title, 30)
                try:
                    if keys == ['F5']:
                        d.key('ctrl+f')  # the find bar's controls too
                        d.wait_trace(r'trace focus edtLocalizar')
                    self.assert_all_named(window_titled(title))
                finally:
                    d.close_other_windows()

    def test_alt_and_a_captions_letter_moves_to_its_field(self):
        d = self.desktop
        for letter, field in (('f', 'medCdFilial'), ('t', 'cbbTipoCusto'), ('d', 'depDataInic'),
                              ('p', 'medCdProdInic'), ('n', 'sedNiveOrde')):
            with self.subTest(letter=letter):
                self.focus_on('chbNaoEstoc')
                start = len(d.seen)
                d.key('alt+' + letter)
                d.wait_trace(r'trace focus %s' % field, 5, since=start)


def run_on_a_bus_of_its_own():
    """Starts this test again under dbus-run-session, with a runtime folder
    and home of its own for the accessibility bus; its exit code."""
    with tempfile.TemporaryDirectory() as home:
        runtime = os.path.join(home, 'runtime')
        os.makedirs(runtime, mode=0o700)
        env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=runtime, MERENDA_OWN_BUS='1')
        env.pop('DISPLAY', None)
        return subprocess.run(['dbus-run-session', '--', sys.executable, *sys.argv], env=env).returncode


if __name__ == '__main__':
    if os.environ.get('MERENDA_OWN_BUS') != '1':
        sys.exit(run_on_a_bus_of_its_own())
    import pyatspi  # noqa: E402,F811
    SHELL = sys.argv.pop(1)
    unittest.main(verbosity=2)

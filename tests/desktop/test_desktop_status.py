#!/usr/bin/env python3
"""The status bar, the preview's find and the commands' word, on a 1024x600
screen under Xvfb and openbox, as a planner meets them.

With the costs server down the notice is read, not cut to its mark, beside
the database's path and the branch. Find in the preview ("Arroz", Enter,
F3) keeps the program alive; Esc puts the find bar away first and only a
second Esc closes the preview. Ctrl+R with nothing kept and Ctrl+Shift+D
say what they did; a file exported through the real save dialog is named
in the status bar with its file name in sight; "Abrir pasta" on a desktop
with nothing to open folders with says where the file is. What the status
bar shows comes from the shell's trace ("trace status NAME TEXT", as
painted).

Usage: test_desktop_status.py SHELL_PROGRAM"""
import os
import socket
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop_session import Desktop, DesktopError  # noqa: E402

SHELL = None


class OnASmallScreen(unittest.TestCase):
    """A shell of its own on a 1024x600 screen; shell_args for its start."""
    shell_args = ()
    desktop = None

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        # No program to open folders with: the desktop finds none on an empty PATH.
        empty = os.path.join(cls.tmp.name, 'empty-path')
        os.makedirs(empty)
        cls.desktop = Desktop(SHELL, cls.tmp.name, screen='1024x600', shell_env={'PATH': empty})
        try:
            cls.desktop.start('--open', 'XEV01700', *cls.extra_args())
            cls.desktop.wait_trace(r'trace focus \w+', 60)
            cls.desktop.wait_main_window()
        except BaseException:
            cls.desktop.stop()
            cls.tmp.cleanup()
            raise

    @classmethod
    def extra_args(cls):
        return cls.shell_args

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

    def shown(self, field, since=0, settle=1.0):
        """What the status field shows once the status bar has settled."""
        d = self.desktop
        d.drain(settle)
        lines = [line for line in d.seen[since:] if line.startswith('trace status %s ' % field)]
        return lines[-1][len('trace status %s ' % field):] if lines else None


class CostsServerDown(OnASmallScreen):
    @classmethod
    def extra_args(cls):
        with socket.socket() as s:  # a port nobody listens on
            s.bind(('127.0.0.1', 0))
            port = s.getsockname()[1]
        return ('--costs', '127.0.0.1:%d' % port)

    def test_the_notice_is_read_before_the_path_and_the_branch(self):
        notice = self.shown('lblStatusAviso')
        self.assertIsNotNone(notice, 'no notice of the costs server')
        self.assertIn('Servidor de custos 127.0.0.1:', notice)
        self.assertGreater(len(notice), 60, 'the notice is cut to %r' % notice)
        database = self.shown('lblStatusBanco', settle=0)
        self.assertIn('…', database, 'the database path took the room: %r' % database)


class AtWork(OnASmallScreen):
    def fill_products(self):
        for control, code in (('medCdProdInic', '01'), ('medCdProdFina', '0203')):
            self.focus_on(control)
            self.desktop.type(code)
            self.desktop.key('Tab')
            self.desktop.wait_trace(r'trace focus \S+', 5)

    def test_find_in_the_preview_and_esc_puts_the_bar_away_first(self):
        d = self.desktop
        self.fill_products()
        d.key('F5')
        preview = d.wait_active(r'^Custo Realizado Global', 60)
        d.key('ctrl+f')
        d.wait_trace(r'trace focus edtLocalizar')
        d.type('Arroz')
        d.key('Return', 'F3', 'shift+F3')
        d.drain(1.0)  # a crash ends the shell here: the trace says so
        self.assertEqual(d.active_window(), preview)
        start = len(d.seen)
        d.key('Escape')
        d.wait_trace(r'trace focus pvwPaginas', 5, since=start)
        d.drain(0.5)
        self.assertEqual(d.active_window(), preview, 'the first Esc closed the preview')
        d.key('Escape')
        d.wait_main_active()

    def test_commands_say_what_they_did_and_where_the_file_went(self):
        d = self.desktop
        start = len(d.seen)
        d.key('ctrl+r')
        self.assertIn('Não há parâmetros para repetir', self.shown('lblStatusMensagem', start) or '')
        self.fill_products()
        start = len(d.seen)
        d.key('ctrl+shift+d')
        self.assertIn('Relatório padrão escolhido', self.shown('lblStatusMensagem', start) or '')

        folder = os.path.join(self.tmp.name, 'Documentos da secretaria de educacao', 'relatorios de custo de 2026')
        os.makedirs(folder)
        target = os.path.join(folder, 'custo-realizado-marco.csv')
        start = len(d.seen)
        d.key('ctrl+e')
        d.wait_active(r'CSV')
        d.key('ctrl+a')
        d.type(target)
        d.key('Return')
        d.wait_main_active(60)
        d.wait_trace(r'trace status lblArquivoGravado .*', 60, since=start)
        saved = self.shown('lblArquivoGravado', start)
        self.assertTrue(saved.startswith('Arquivo gravado em'), saved)
        self.assertTrue(saved.endswith('custo-realizado-marco.csv'), 'the file name is not in sight: %r' % saved)

        start = len(d.seen)
        d.key('ctrl+r')
        self.assertIn('repostos', self.shown('lblStatusMensagem', start) or '')

        # Nothing opens folders here: a message says where the file is.
        d.key('alt+a')
        d.wait_trace(r'trace menu .*')
        d.key('p')
        message = d.wait_active(r'^Informação')
        d.close_active(message)
        d.wait_main_active()


if __name__ == '__main__':
    SHELL = sys.argv.pop(1)
    del OnASmallScreen  # a base, not a case of its own
    unittest.main(verbosity=2)

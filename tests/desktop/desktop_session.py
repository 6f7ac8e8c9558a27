"""The shell on a real X server (Xvfb) under a window manager (openbox),
driven with xdotool as a person's keyboard drives it.

Desktop starts its own Xvfb on a free display (-displayfd), openbox on it,
and the shell with MERENDA_DESKTOP_TRACE=1, which makes the shell write
"trace focus NAME", "trace window TITLE", "trace command NAME" and
"trace closed TITLE" lines on standard error (shell/DesktopTrace.h). stop()
ends the three processes it started, by their ids."""
import os
import queue
import re
import subprocess
import threading
import time


class DesktopError(AssertionError):
    pass


class Desktop:
    def __init__(self, shell, workdir, locale='pt_BR.UTF-8', screen='1280x900', shell_env=None):
        self.shell_program = shell
        self.workdir = workdir
        self.locale = locale
        self.screen_size = screen          # the X screen, WIDTHxHEIGHT
        self.shell_env = shell_env or {}   # more environment for the shell (QT_SCALE_FACTOR...)
        self.lines = queue.Queue()
        self.seen = []          # every trace line so far
        self.focus = None       # the control that has the focus, as last traced
        self.xvfb = self.openbox = self.shell = None
        self.main_window = None

    # --- start and stop --------------------------------------------------
    def start(self, *shell_args):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ['Xvfb', '-displayfd', str(write_fd), '-screen', '0', self.screen_size + 'x24', '-nolisten', 'tcp'],
            pass_fds=[write_fd], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as f:
            number = f.readline().strip()
        if not number:
            raise DesktopError('Xvfb did not start')
        self.env = dict(os.environ, DISPLAY=':' + number)
        self.env.pop('WAYLAND_DISPLAY', None)
        self.openbox = subprocess.Popen(['openbox', '--sm-disable'], env=self.env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._wait(lambda: self._xdotool('get_num_desktops', check=False) is not None, 10,
                   'openbox did not start')
        home = os.path.join(self.workdir, 'home')
        runtime = os.path.join(self.workdir, 'runtime')
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        shell_env = dict(self.env, QT_QPA_PLATFORM='xcb', LC_ALL=self.locale, HOME=home,
                         XDG_CONFIG_HOME=os.path.join(home, '.config'),
                         XDG_DATA_HOME=os.path.join(home, '.local/share'),
                         XDG_RUNTIME_DIR=runtime, MERENDA_DESKTOP_TRACE='1')
        shell_env.update(self.shell_env)
        self.shell = subprocess.Popen([self.shell_program, *shell_args], env=shell_env,
                                      stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.PIPE, text=True, encoding='utf-8', errors='replace')
        threading.Thread(target=self._read_traces, daemon=True).start()

    def stop(self):
        for p in (self.shell, self.openbox, self.xvfb):
            if p and p.poll() is None:
                p.terminate()
                try:
                    p.wait(10)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()

    def _read_traces(self):
        for line in self.shell.stderr:
            self.lines.put(line.rstrip('\n'))
        self.lines.put(None)

    # --- what the shell traced -------------------------------------------
    def next_trace(self, timeout):
        """The next trace line within timeout seconds, or None."""
        end = time.monotonic() + timeout
        while True:
            left = end - time.monotonic()
            if left <= 0:
                return None
            try:
                line = self.lines.get(timeout=left)
            except queue.Empty:
                return None
            if line is None:
                raise DesktopError('the shell ended: ' + ' | '.join(self.seen[-5:]))
            if not line.startswith('trace '):
                continue
            self.seen.append(line)
            if line.startswith('trace focus '):
                self.focus = line[len('trace focus '):]
            return line

    def wait_trace(self, pattern, timeout=15, since=None):
        """Reads trace lines until one matches pattern (a regular expression);
        the match, or an error naming what came instead. With since (an
        index into seen), a line already read from there on counts too."""
        if since is not None:
            for line in self.seen[since:]:
                m = re.fullmatch(pattern, line)
                if m:
                    return m
        end = time.monotonic() + timeout
        passed = []
        while time.monotonic() < end:
            line = self.next_trace(end - time.monotonic())
            if line is None:
                break
            passed.append(line)
            m = re.fullmatch(pattern, line)
            if m:
                return m
        raise DesktopError('no trace %r within %ss; came: %s' % (pattern, timeout, passed))

    def wait_window(self, title_pattern, timeout=30):
        """Reads trace lines until a window whose title matches is shown."""
        end = time.monotonic() + timeout
        passed = []
        while time.monotonic() < end:
            line = self.next_trace(end - time.monotonic())
            if line is None:
                break
            passed.append(line)
            if line.startswith('trace window ') and re.search(title_pattern, line[len('trace window '):]):
                return line
        raise DesktopError('no window %r within %ss; came: %s' % (title_pattern, timeout, passed))

    def close_other_windows(self, timeout=10):
        """Closes whatever window other than the main one is active, until
        the main one is; for a case that failed halfway."""
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            w = self.active_window()
            if w == self.main_window:
                return True
            if w:
                self.close_active(w)
            time.sleep(0.3)
        return False

    def drain(self, seconds=0.0):
        """Reads what the shell traces for a while; the lines read."""
        out = []
        end = time.monotonic() + seconds
        while True:
            line = self.next_trace(max(0.0, end - time.monotonic()) or 0.01)
            if line is None:
                return out
            out.append(line)

    def sync(self, timeout=15):
        """Presses Shift, which does nothing, and reads trace lines until
        the shell says the key reached it ("trace key Shift"): keys arrive
        in order, so whatever the keys before it did is traced by then. The
        lines read on the way, the key's own included."""
        start = len(self.seen)
        self.key('shift')
        self.wait_trace(r'trace key Shift', timeout)
        return self.seen[start:]

    # --- the keyboard and the windows ------------------------------------
    def _xdotool(self, *args, check=True):
        r = subprocess.run(['xdotool', *args], env=self.env, capture_output=True, text=True, timeout=30)
        if r.returncode != 0:
            if check:
                raise DesktopError('xdotool %s: %s' % (' '.join(args), r.stderr.strip()))
            return None
        return r.stdout.strip()

    def key(self, *keys):
        """Presses each key (xdotool's names: ctrl+e, F5, Escape) on the window
        that has the focus, as a keyboard does."""
        self._xdotool('key', '--delay', '40', *keys)

    def type(self, text):
        self._xdotool('type', '--delay', '40', text)

    def active_window(self):
        return self._xdotool('getactivewindow', check=False)

    def window_name(self, window):
        return self._xdotool('getwindowname', window, check=False) or ''

    def wait_main_window(self, timeout=30):
        self._wait(lambda: self.window_name(self.active_window() or '').startswith('Merenda Escolar'),
                   timeout, 'the main window did not become active')
        self.main_window = self.active_window()

    def wait_active(self, title_pattern, timeout=15):
        """Waits until the active window's title matches; its id."""
        found = []

        def active_matches():
            w = self.active_window()
            if w and w != self.main_window and re.search(title_pattern, self.window_name(w)):
                found.append(w)
                return True
            return False
        self._wait(active_matches, timeout, 'no active window titled %r (active: %r)'
                   % (title_pattern, self.window_name(self.active_window() or '')))
        return found[-1]

    def wait_main_active(self, timeout=15):
        self._wait(lambda: self.active_window() == self.main_window, timeout,
                   'the main window did not become active again (active: %r)'
                   % self.window_name(self.active_window() or ''))

    def close_active(self, window):
        """Closes window, which must be the active one and not the main
        window: Esc for a dialog, the window manager's Alt+F4 otherwise."""
        if self.active_window() != window or window == self.main_window:
            raise DesktopError('window %s is not the active one' % window)
        self.key('Escape')
        deadline = time.monotonic() + 2
        while time.monotonic() < deadline:
            if self.active_window() != window:
                return
            time.sleep(0.05)
        if self.active_window() == window and window != self.main_window:
            self.key('alt+F4')

    def window_icon_sizes(self, window):
        """The sizes of the icon the window shows (_NET_WM_ICON), as (width, height)."""
        r = subprocess.run(['xprop', '-id', window, '_NET_WM_ICON'], env=self.env, capture_output=True,
                           text=True, timeout=30)
        return [(int(w), int(h)) for w, h in re.findall(r'Icon \((\d+) x (\d+)\)', r.stdout)]

    def frame_geometry(self, window):
        """Where window lies on the screen with its frame: (x, y, width, height)."""
        info = subprocess.run(['xwininfo', '-id', window], env=self.env, capture_output=True, text=True,
                              timeout=30).stdout
        value = {k: int(v) for k, v in re.findall(r'(Absolute upper-left [XY]|Width|Height):\s+(-?\d+)', info)}
        extents = subprocess.run(['xprop', '-id', window, '_NET_FRAME_EXTENTS'], env=self.env, capture_output=True,
                                 text=True, timeout=30).stdout
        left, right, top, bottom = (list(map(int, re.findall(r'\d+', extents.split('=')[-1]))) + [0] * 4)[:4]
        return (value['Absolute upper-left X'] - left, value['Absolute upper-left Y'] - top,
                value['Width'] + left + right, value['Height'] + top + bottom)

    def resizable(self, window):
        """Whether the window manager may resize window (its minimum and maximum sizes differ)."""
        hints = subprocess.run(['xprop', '-id', window, 'WM_NORMAL_HINTS'], env=self.env, capture_output=True,
                               text=True, timeout=30).stdout
        least = re.search(r'minimum size: (\d+) by (\d+)', hints)
        most = re.search(r'maximum size: (\d+) by (\d+)', hints)
        return not (least and most and least.groups() == most.groups())

    def screenshot(self, path):
        """A PNG of the whole screen (ImageMagick's import reads the windows
        as they show; a plain xwd of the root misses dialogs and menus)."""
        subprocess.run(['import', '-window', 'root', path], env=self.env, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    @staticmethod
    def _wait(condition, timeout, message):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            if condition():
                return
            time.sleep(0.05)
        raise DesktopError(message)

"""Drives the real NarvoTV.exe under Wine for end-to-end tests: starts it in a
folder of its own (so its settings file is private), reads its window through
wintool, moves the real mouse with xdotool, takes screenshots and reads the
settings file after it ends. Needs DISPLAY (tools/test runs ctest under Xvfb)."""
import configparser
import os
import re
import shutil
import subprocess
import tempfile
import time
import types

BUILD = os.environ['NARVO_BUILD']
SOURCE = os.environ['NARVO_SOURCE']
WINE_RUN = os.path.join(SOURCE, 'tools', 'wine-run')
WINTOOL = os.path.join(BUILD, 'tools', 'wintool', 'wintool.exe')
CARD_PREFIX = os.path.join(BUILD, 'wineprefix')
NO_CARD_PREFIX = os.path.join(BUILD, 'wineprefix-nocard')
TITLE = 'NARVO TV Viewer'
# Generous bounds for things to happen at all; never a measure of speed.
PATIENCE = 90


def read_defines(*headers):
    """The numeric #defines of the source tree's headers, by name."""
    found = {}
    for header in headers:
        with open(os.path.join(SOURCE, header), encoding='utf-8') as f:
            for name, value in re.findall(r'^#define\s+(\w+)\s+(\d+)\s*$', f.read(), re.M):
                found[name] = int(value)
    return found


# Command ids of the viewer's menus and control ids of the dialog library, as
# the code has them: ids.ID_TOPMOST, ids.IDC_RATE. A generated menu item's
# command is its placeholder's id plus its one-based number.
ids = types.SimpleNamespace(**read_defines(os.path.join('res', 'resource.h'), os.path.join('dialogs', 'DialogIds.h')))


def wait_for(condition, what, limit=PATIENCE):
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.2)
    raise AssertionError('gave up waiting for ' + what)


class Image:
    """A screenshot as RGB bytes."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def region(self, left, top, width, height):
        return [self.pixel(x, y) for y in range(top, top + height) for x in range(left, left + width)]


def screenshot():
    ppm = subprocess.run(['import', '-window', 'root', '-depth', '8', 'ppm:-'], check=True, capture_output=True).stdout
    # P6 header: magic, width, height, maxval, each ended by white space.
    fields = []
    pos = 0
    while len(fields) < 4:
        while ppm[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not ppm[pos:pos + 1].isspace():
            pos += 1
        fields.append(ppm[start:pos])
    pos += 1
    return Image(int(fields[1]), int(fields[2]), ppm[pos:])


def xdotool(*args):
    subprocess.run(['xdotool'] + [str(a) for a in args], check=True)


class Viewer:
    """One run of the viewer in a private folder."""

    def __init__(self, prefix=CARD_PREFIX, settings=None, env=None, companions=('RADO_DU.DLL', 'NarvoTV.chm'),
                 cwd=None, name='NarvoTV', wine_log=None):
        """companions: the files installed beside the executable; cwd: the
        folder the viewer is started from (its own folder by default); name:
        the executable's name without its extension; wine_log: a file for
        what Wine prints (NARVO_WINEDEBUG in env chooses the channels)."""
        self.wine_log = wine_log
        self.prefix = prefix
        self.folder = tempfile.mkdtemp(prefix='narvo-e2e-')
        self.exe = os.path.join(self.folder, name + '.exe')
        shutil.copy(os.path.join(BUILD, 'bin', 'NarvoTV.exe'), self.exe)
        for companion in companions:
            shutil.copy(os.path.join(BUILD, 'bin', companion), os.path.join(self.folder, companion))
        self.cwd = cwd or self.folder
        self.ini = os.path.join(self.folder, name + '.ini')
        if settings is not None:
            with open(self.ini, 'wb') as f:
                f.write(settings.replace('\n', '\r\n').encode('cp932'))
        self.env = dict(os.environ)
        self.env.update(env or {})
        # wintool looks only at this run's windows, so several viewers can run at once.
        self.env['WINTOOL_PROCESS'] = os.path.basename(self.folder)
        self.process = None

    def start(self):
        log = open(self.wine_log, 'wb') if self.wine_log else subprocess.DEVNULL
        try:
            self.process = subprocess.Popen([WINE_RUN, '--prefix', self.prefix, self.exe], env=self.env,
                                            cwd=self.cwd, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                            stderr=log)
        finally:
            if self.wine_log:
                log.close()
        return self

    def wintool(self, *args):
        # Output through a file, never a pipe: a Wine helper process started on
        # the way (the desktop, a device service) inherits it and would hold a
        # pipe open for as long as it lives.
        with tempfile.TemporaryFile() as out:
            result = subprocess.run([WINE_RUN, '--prefix', self.prefix, WINTOOL] + [str(a) for a in args],
                                    env=self.env, stdout=out, stderr=subprocess.DEVNULL,
                                    stdin=subprocess.DEVNULL)
            out.seek(0)
            return result.returncode, out.read().decode('utf-8', 'replace')

    def info(self, title=TITLE):
        code, out = self.wintool('info', title)
        if code != 0:
            return None
        values = {}
        for line in out.splitlines():
            name, *numbers = line.split()
            parsed = [int(n, 0) for n in numbers]
            values[name] = parsed if len(parsed) > 1 else parsed[0]
        return values

    def wait_shown(self):
        return wait_for(lambda: (lambda i: i if i and i['visible'] else None)(self.info()), 'the viewer window')

    def message_box(self, caption):
        """Text, caption and owner of the message box with that caption; presses OK."""
        def read():
            code, out = self.wintool('msgbox', caption)
            return out if code == 0 and out else None
        out = wait_for(read, 'a message box captioned ' + caption)
        return dict(line.split(' ', 1) for line in out.splitlines())

    def dialog(self, caption):
        """The open dialog with that caption, once it shows: its rectangle,
        its owner's title and its controls' texts by id."""
        def read():
            code, out = self.wintool('dialog', caption)
            return out if code == 0 and out else None
        out = wait_for(read, 'a dialog captioned ' + caption)
        result = {'controls': {}, 'classes': {}}
        for line in out.splitlines():
            kind, _, rest = line.partition(' ')
            if kind == 'control':
                number, class_name, text = (rest.split(' ', 2) + [''])[:3]
                result['controls'][int(number)] = text
                result['classes'][int(number)] = class_name
            elif kind == 'window':
                result['window'] = [int(n) for n in rest.split()]
            elif kind == 'owner':
                result['owner'] = rest
        return result

    def popup(self):
        """The open popup menu's screen rectangle, or None."""
        code, out = self.wintool('popup', '-')
        return [int(n) for n in out.split()[1:5]] if code == 0 and out else None

    def dialog_gone(self, caption):
        wait_for(lambda: self.wintool('dialog', caption)[0] != 0, 'the dialog ' + caption + ' to close')

    def set_text(self, caption, control, text):
        code, _ = self.wintool('settext', caption, control, text)
        assert code == 0, 'no control %d in %s' % (control, caption)

    def type_into(self, caption, control, text):
        """Types into a dialog's field on the display, as a user does: the
        field takes the focus with its text selected, a backspace erases it,
        then the keys of text (plain ASCII) follow."""
        wait_for(lambda: self.wintool('focus', caption, control)[0] == 0, 'the focus in ' + caption)
        xdotool('key', 'BackSpace')
        if text:
            xdotool('type', '--delay', 40, text)

    def press(self, caption, button):
        self.wintool('press', caption, button)

    def command(self, *command_ids):
        """Posts the commands in order; True when the window took them."""
        return self.wintool('command', TITLE, *command_ids)[0] == 0

    def close(self):
        self.wintool('close', TITLE)
        return self.wait_exit()

    def wait_exit(self):
        self.process.wait(timeout=PATIENCE)
        return self.process.returncode

    def settings(self):
        parser = configparser.ConfigParser(interpolation=None)
        parser.optionxform = str
        with open(self.ini, 'rb') as f:
            parser.read_string(f.read().decode('cp932'))
        return parser

    def settings_text(self):
        with open(self.ini, 'rb') as f:
            return f.read().decode('cp932')

    def cleanup(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)

"""What the viewer benches share: the programs under Wine, the hand inside
Wine (benchagent.exe), the pixel watcher on the X side (xwatch) and the
process figures read from /proc. Needs DISPLAY; bench/run-viewer and
bench/run-soak set up a private one."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

BUILD = os.environ['NARVO_BUILD']
PREFIX = os.environ['NARVO_BENCH_PREFIX']
XWATCH = os.environ['NARVO_XWATCH']
AGENT = os.path.join(BUILD, 'bench', 'benchagent.exe')
CLOCK_TICKS = os.sysconf('SC_CLK_TCK')


class StepFailed(Exception):
    """A step of the bench that did not happen: what it was and the message it gave."""

    def __init__(self, step, message):
        super().__init__('%s failed%s' % (step, ': ' + message if message else ''))


def last_line(path):
    try:
        with open(path, encoding='utf-8', errors='replace') as f:
            lines = [line.strip() for line in f if line.strip()]
    except OSError:
        return ''
    return lines[-1] if lines else ''


def run(main):
    """Runs a bench; a step that fails ends it with one line that says which and why."""
    try:
        main()
    except (StepFailed, RuntimeError, OSError) as failure:
        print('bench: %s' % failure, file=sys.stderr)
        sys.exit(1)


def wine_environment(extra=None):
    env = dict(os.environ)
    env.update({'WINEPREFIX': PREFIX, 'WINEARCH': 'win64', 'WINEDEBUG': '-all', 'LANG': 'ja_JP.UTF-8',
                'LC_ALL': 'ja_JP.UTF-8',
                'WINEDLLOVERRIDES': 'winealsa.drv,winepulse.drv,winecoreaudio.drv,mscoree,mshtml=d'})
    env.update(extra or {})
    return env


def stop_wine_server():
    env = wine_environment()
    subprocess.run(['wineserver', '-k'], env=env, stderr=subprocess.DEVNULL)
    subprocess.run(['wineserver', '-w'], env=env, stderr=subprocess.DEVNULL)


class LineProcess:
    """A helper that answers one line per command line."""

    def __init__(self, argv, env=None):
        self.errors = tempfile.NamedTemporaryFile(prefix='narvo-bench-', suffix='.log')
        self.process = subprocess.Popen(argv, env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=self.errors, text=True, bufsize=1)

    def send(self, line):
        self.process.stdin.write(line + '\n')
        self.process.stdin.flush()

    def read(self):
        line = self.process.stdout.readline()
        if not line:
            self.process.wait()
            raise StepFailed('running %s' % os.path.basename(self.process.args[-1]),
                             'it ended (exit code %s) %s' % (self.process.returncode, last_line(self.errors.name)))
        return line.split()

    def ask(self, line):
        self.send(line)
        return self.read()

    def stop(self):
        try:
            self.send('quit')
            self.process.wait(timeout=10)
        except (OSError, subprocess.TimeoutExpired, ValueError):
            self.process.kill()
            self.process.wait()


class Agent(LineProcess):
    """benchagent.exe: posts commands, finds windows, counts handles, inside Wine."""

    def __init__(self):
        super().__init__(['wine', AGENT], env=wine_environment())
        said = self.read()
        if said != ['ready']:
            raise StepFailed('starting benchagent.exe', ' '.join(said))

    def post(self, title, command):
        answer = self.ask('post %s %d' % (title, command))
        return float(answer[1]) if answer[0] == 'ok' else None

    def send_command(self, title, command):
        answer = self.ask('send %s %d' % (title, command))
        return answer[0] == 'ok'

    def close(self, title):
        answer = self.ask('close ' + title)
        return float(answer[1]) if answer[0] == 'ok' else None

    def find(self, title):
        """The Windows process id and the client area (x, y, width, height) on the screen."""
        answer = self.ask('find ' + title)
        return (int(answer[1]), [int(n) for n in answer[2:6]]) if answer[0] == 'ok' else None

    def menu_shown(self):
        return self.ask('menu')[1] == '1'

    def sample(self, pid):
        answer = self.ask('sample %d' % pid)
        return {k: int(v) for k, v in (word.split('=') for word in answer[1:])}


class Watcher(LineProcess):
    """xwatch: the moment a window's pixels first meet the terms."""

    def __init__(self):
        super().__init__([XWATCH])

    def arm(self, title, terms, timeout_s):
        answer = self.ask('wait %d %s|%s' % (timeout_s * 1000, title, ' '.join(terms)))
        if answer != ['armed']:
            raise RuntimeError('xwatch: %s' % answer)

    def result(self):
        answer = self.read()
        return float(answer[1]) if answer[0] == 'ok' else None


class Program:
    """One run of a Windows program in a folder of its own (its settings stay private)."""

    def __init__(self, exe, title, args=(), env=None, settings=None):
        self.title = title
        self.folder = tempfile.mkdtemp(prefix='narvo-bench-')
        self.exe = os.path.join(self.folder, os.path.basename(exe))
        shutil.copy(exe, self.exe)
        if settings:
            with open(os.path.splitext(self.exe)[0] + '.ini', 'wb') as f:
                f.write(settings.replace('\n', '\r\n').encode('cp932'))
        self.args = list(args)
        self.env = wine_environment(env)
        self.process = None
        self.log = os.path.join(self.folder, 'wine.log')

    def start(self):
        with open(self.log, 'wb') as log:
            self.process = subprocess.Popen(['wine', self.exe] + self.args, env=self.env, cwd=self.folder,
                                            stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)

    def no_picture(self, limit_s):
        """The failure of a run whose picture never came, with what Wine or the program said."""
        ended = self.process.poll() if self.process else None
        said = last_line(self.log)
        how = 'it ended with exit code %d' % ended if ended is not None else 'none within %d s' % limit_s
        return StepFailed('showing the picture of %s' % os.path.basename(self.exe),
                          how + ('; ' + said if said else ''))

    def linux_pid(self):
        """The Linux process that runs the program (Wine names it by its Windows path)."""
        marker = os.path.basename(self.folder).encode()
        for entry in os.listdir('/proc'):
            if not entry.isdigit():
                continue
            try:
                with open('/proc/%s/cmdline' % entry, 'rb') as f:
                    cmdline = f.read()
            except OSError:
                continue
            # Wine names the process by its Windows path, Z:\tmp\narvo-bench-...\NarvoTV.exe, or on
            # some machines keeps the Unix path it was started with (the launcher's starts with "wine").
            if marker in cmdline and (cmdline.startswith(b'Z:') or cmdline.startswith(self.folder.encode())):
                return int(entry)
        return None

    def wait_exit(self, limit=60):
        try:
            return self.process.wait(timeout=limit)
        except subprocess.TimeoutExpired:
            self.process.kill()
            return self.process.wait()

    def cleanup(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)


def cpu_seconds(pid):
    """User and system time of a Linux process, in seconds."""
    with open('/proc/%d/stat' % pid) as f:
        fields = f.read().rsplit(')', 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def status_kb(pid, name):
    with open('/proc/%d/status' % pid) as f:
        for line in f:
            if line.startswith(name + ':'):
                return int(line.split()[1])
    return 0


def private_kb(pid):
    """Memory only this process uses (private clean and dirty pages)."""
    total = 0
    with open('/proc/%d/smaps_rollup' % pid) as f:
        for line in f:
            if line.startswith(('Private_Clean:', 'Private_Dirty:')):
                total += int(line.split()[1])
    return total


def wineserver_pid():
    """The server of the bench's prefix: it works in a folder named by the prefix's device and inode."""
    info = os.stat(PREFIX)
    folder = 'server-%x-%x' % (info.st_dev, info.st_ino)
    for entry in os.listdir('/proc'):
        if entry.isdigit():
            try:
                with open('/proc/%s/comm' % entry) as f:
                    if not f.read().startswith('wineserver'):
                        continue
                if os.path.basename(os.readlink('/proc/%s/cwd' % entry)) == folder:
                    return int(entry)
            except OSError:
                continue
    return None


def wait_until(condition, limit=30, step=0.05):
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(step)
    return None

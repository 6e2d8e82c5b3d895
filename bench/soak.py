#!/usr/bin/env python3
"""Drives the running viewer through many actions and watches what it holds:
1,000 context-menu openings (real right clicks and Escape), 200 format
switches, 200 audio-path switches and 200 preset switches, sampling every 50
actions its handles (the system handle table), GDI objects (its GDI handle
table), windows (the USER objects another process can see) and private
memory (/proc). Prints the per-action growth of each and whether it is flat.
With "minimal" as third argument it puts MinimalPreview.exe through the same
number of format switches (each a full rebuild of its preview, as the
viewer's format and audio-path switches are) twice over instead, to tell
what the platform keeps per rebuild from what the viewer keeps. With
"linein" instead, the viewer starts with the card's audio device "SimTV Line
In" chosen (in the graph, its capture pin unconnected) and the audio-path
switches alternate between mute and that device, which leaves and rejoins the
graph each time.
Not a test: it asserts nothing. Usage (bench/run-soak sets up the display):
soak.py [menu openings] [switches of each kind] [minimal|linein]"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import benchlib  # noqa: E402
from benchlib import Agent, Program, Watcher  # noqa: E402

TITLE = 'NARVO TV Viewer'
MINIMAL_TITLE = 'Minimal Preview'
MINIMAL_RGB32_320x240, MINIMAL_RGB32_640x480 = 606, 603
RGB32_320x240, RGB32_640x480 = 609, 610
AUDIO_MUTE, AUDIO_CARD = 32790, 32775
LINE_IN = 501  # the first audio device in the menu
PRESET_1, PRESET_2 = 701, 702
SAMPLE_EVERY = 50
# Growth over a whole phase that still counts as flat: allocators and caches
# settle in steps, a leak grows with every action. Private memory moves in a
# band of about 2.5 MB here even while only menus open (the heap gives pages
# back and takes them again), so less than 3 MB is no growth.
FLAT = {'handles': 3, 'gdi': 3, 'windows': 1, 'private KB': 3072}


def xdotool(*args):
    subprocess.run(['xdotool'] + [str(a) for a in args], check=True)


def slope(points):
    """Least-squares growth per action."""
    n = len(points)
    if n < 2:
        return 0.0
    mx = sum(x for x, _ in points) / n
    my = sum(y for _, y in points) / n
    sxx = sum((x - mx) ** 2 for x, _ in points)
    return sum((x - mx) * (y - my) for x, y in points) / sxx if sxx else 0.0


class Soak:
    def __init__(self, agent, title, pid, linux_pid, client):
        self.agent, self.title, self.pid, self.linux_pid, self.client = agent, title, pid, linux_pid, client
        self.actions = 0
        self.retries = 0
        self.samples = []  # (phase, actions, figures)

    def sample(self, phase):
        figures = self.agent.sample(self.pid)
        figures['private KB'] = benchlib.private_kb(self.linux_pid)
        self.samples.append((phase, self.actions, figures))

    def counted(self, phase):
        self.actions += 1
        if self.actions % SAMPLE_EVERY == 0:
            self.sample(phase)

    def open_menu(self):
        x, y, width, height = self.client
        # A click that lands while the last menu is still winding down opens
        # nothing; it is clicked again (and counted).
        for attempt in range(5):
            xdotool('mousemove', x + width // 2, y + height // 2, 'click', '3')
            if benchlib.wait_until(self.agent.menu_shown, 2, 0.01):
                break
            self.retries += 1
        else:
            raise RuntimeError('the context menu did not open (action %d)' % self.actions)
        xdotool('key', 'Escape')
        if not benchlib.wait_until(lambda: not self.agent.menu_shown(), 10, 0.01):
            raise RuntimeError('the context menu did not close')

    def switch(self, commands, count, phase):
        for i in range(count):
            if not self.agent.send_command(self.title, commands[i % 2]):
                raise RuntimeError('the viewer did not take command %d' % commands[i % 2])
            self.counted(phase)


def report(samples):
    names = list(FLAT)
    print('| Phase | actions | ' + ' | '.join('%s (first → last, per action)' % n for n in names) + ' | flat |')
    print('|---|---|' + '---|' * len(names) + '---|')
    all_flat = True
    previous = []
    for phase in dict.fromkeys(p for p, _, _ in samples):
        # A phase runs from the last sample of the one before it.
        rows = previous + [(a, f) for p, a, f in samples if p == phase]
        previous = rows[-1:]
        cells = []
        flat = True
        for name in names:
            points = [(a, f[name]) for a, f in rows]
            per_action = slope(points)
            growth = per_action * (points[-1][0] - points[0][0])
            flat = flat and growth <= FLAT[name]
            cells.append('%d → %d, %+.4f' % (points[0][1], points[-1][1], per_action))
        all_flat = all_flat and flat
        print('| %s | %d | %s | %s |' % (phase, rows[-1][0] - rows[0][0], ' | '.join(cells), 'yes' if flat else 'NO'))
    print('flat' if all_flat else 'NOT flat')
    print('samples (actions: handles gdi windows private KB):')
    for phase, actions, f in samples:
        print('  %s %d: %s' % (phase, actions, ' '.join(str(f[name]) for name in names)))


def main():
    menus = int(sys.argv[1]) if len(sys.argv) > 1 else 1000
    switches = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    minimal = len(sys.argv) > 3 and sys.argv[3] == 'minimal'
    line_in = len(sys.argv) > 3 and sys.argv[3] == 'linein'
    watcher = Watcher()
    agent = Agent()
    if minimal:
        title = MINIMAL_TITLE
        program = Program(os.path.join(benchlib.BUILD, 'bench', 'MinimalPreview.exe'), title,
                          ['RGB565', '320', '240', '15'])
    else:
        title = TITLE
        main = '[MainConfig]\nCaptureAudioDevice=1\nAudioDeviceName=SimTV Line In\n' if line_in else ''
        program = Program(os.path.join(benchlib.BUILD, 'bin', 'NarvoTV.exe'), title,
                          settings=main + '[Preset Channel]\nCH1=1\nCH2=3\n')
    try:
        watcher.arm(title, ['px=12,12,255,0,0'], 120)
        program.start()
        if watcher.result() is None:
            raise program.no_picture(120)
        pid, client = agent.find(title)
        soak = Soak(agent, title, pid, benchlib.wait_until(program.linux_pid, 10), client)
        started = time.monotonic()
        if minimal:
            soak.sample('start')
            soak.switch([MINIMAL_RGB32_640x480, MINIMAL_RGB32_320x240], 2 * switches, 'format (minimal program)')
        else:
            # The first sample of each phase is taken after 50 of its actions, so
            # the first use of a feature does not count as growth.
            for _ in range(menus):
                soak.open_menu()
                soak.counted('context menu')
            soak.switch([RGB32_640x480, RGB32_320x240], switches, 'format')
            if line_in:
                soak.switch([AUDIO_MUTE, LINE_IN], switches, 'audio path (mute, Line In)')
            else:
                soak.switch([AUDIO_MUTE, AUDIO_CARD], switches, 'audio path')
            soak.switch([PRESET_2, PRESET_1], switches, 'preset')
        print('%s: %d actions in %.0f s (%d right clicks repeated); samples every %d actions; %s' %
              (program.title, soak.actions, time.monotonic() - started, soak.retries, SAMPLE_EVERY,
               time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())))
        report(soak.samples)
        agent.close(title)
        program.wait_exit()
    finally:
        program.cleanup()
        agent.stop()
        watcher.stop()
        benchlib.stop_wine_server()


if __name__ == '__main__':
    benchlib.run(main)

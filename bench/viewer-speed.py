#!/usr/bin/env python3
"""How fast NarvoTV is, beside the least program that previews the card
(MinimalPreview.exe), measured in the same run, alternating, and watched from
outside: pixels from the X side (xwatch), commands posted by a resident Wine
helper (benchagent.exe), frame counts from the card (SIMTV_FRAMES), CPU and
memory from /proc. Nothing here asserts a time.
Usage (bench/run-viewer sets up the display): viewer-speed.py [runs] [seconds]"""
import os
import statistics
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import benchlib  # noqa: E402
from benchlib import Agent, Program, Watcher  # noqa: E402

RED, GREEN, WHITE, BLACK = '255,0,0', '0,255,0', '255,255,255', '0,0,0'
FRAMERATE_30, AUDIO_MUTE, INPUT_VIDEO = 32784, 32790, 32780
CHANNEL_BITS = 'changed=' + ';'.join('%d,12' % (36 + 12 * i) for i in range(6))

# Both start as NarvoTV does on its first start: RGB565 320x240 at 15 fps.
# Every picture term asks for the tuner's red input block too: while a
# program rebuilds its preview the window shows black, not the new picture.
# The 640x480 picture is there when (600, 400), outside the old window, shows
# the station's red (180,36,36) of channel 1.
# A format switch goes to RGB32 640x480: the viewer's 10th format (it sorts
# them), the card's 3rd capability. The viewer starts with no presets; its
# settings give it two, channels 1 and 3, and a preset switch goes to the
# second, while the minimal program tunes channel 3.
PROGRAMS = {
    'NarvoTV': dict(exe=os.path.join(benchlib.BUILD, 'bin', 'NarvoTV.exe'), title='NARVO TV Viewer', args=[],
                    format_640=610, preset=702, settings='[Preset Channel]\nCH1=1\nCH2=3\n'),
    'minimal': dict(exe=os.path.join(benchlib.BUILD, 'bench', 'MinimalPreview.exe'), title='Minimal Preview',
                    args=['RGB565', '320', '240', '15'], format_640=603, preset=703, settings=None),
}
FIGURES = [
    ('start, cold (ms)', 'cold'),
    ('start, warm (ms)', 'start'),
    ('  of which: start to window shown (ms)', 'shown'),
    ('  of which: start to the graph\'s Run reaching the card (ms)', 'run'),
    ('  of which: start to the first frame delivered (ms)', 'first'),
    ('format switch (ms)', 'format'),
    ('audio path switch (ms)', 'audio'),
    ('frame rate switch to first frame at 30 fps (ms)', 'rate'),
    ('preset switch (ms)', 'preset'),
    ('input switch (ms)', 'input'),
    ('frames delivered / expected (%)', 'delivered'),
    ('frames accepted / expected (%)', 'accepted'),
    ('longest gap between frames (ms)', 'gap'),
    ('CPU s of the process over the span', 'cpu'),
    ('CPU s of the Wine server over the span', 'servercpu'),
    ('resident memory at the end of the span (MB)', 'rss'),
]


def read_frames(path):
    """The card's SIMTV_FRAMES lines as dicts; runs as [(at, first)]."""
    records = []
    if not os.path.exists(path):
        return records
    with open(path, encoding='utf-8') as f:
        for line in f:
            fields = dict(word.split('=', 1) for word in line.split()[1:] if '=' in word)
            runs = []
            for run in fields['runs'].split(','):
                at, first = run.split('/')
                runs.append((float(at), None if first == '-' else float(first)))
            fields['runs'] = runs
            records.append(fields)
    return records


def timed(watcher, agent, title, command, terms, limit=30):
    """Milliseconds from posting the command to the window meeting the terms."""
    watcher.arm(title, terms, limit)
    posted = agent.post(title, command)
    seen = watcher.result()
    return None if posted is None or seen is None else (seen - posted) * 1000


def cold_start(name, target, watcher):
    """From a stopped Wine server to the first picture; the server is stopped again after."""
    benchlib.stop_wine_server()
    program = Program(target['exe'], target['title'], target['args'], settings=target['settings'])
    try:
        watcher.arm(target['title'], ['px=12,12,' + RED], 120)
        started = time.time()
        program.start()
        seen = watcher.result()
        if seen is None:
            raise program.no_picture(120)
        return (seen - started) * 1000
    finally:
        benchlib.stop_wine_server()
        program.cleanup()


def warm_run(name, target, watcher, shown_watcher, agent, seconds):
    frames_file = tempfile.mktemp(prefix='narvo-frames-', suffix='.txt')
    program = Program(target['exe'], target['title'], target['args'], env={'SIMTV_FRAMES': frames_file},
                      settings=target['settings'])
    title = target['title']
    result = {}
    try:
        watcher.arm(title, ['px=12,12,' + RED], 60)
        shown_watcher.arm(title, ['shown'], 60)
        started = time.time()
        program.start()
        seen = watcher.result()
        shown = shown_watcher.result()
        if seen is None:
            raise program.no_picture(60)
        result['start'] = (seen - started) * 1000
        result['shown'] = None if shown is None else (shown - started) * 1000
        pid = benchlib.wait_until(program.linux_pid, 10)

        # The span: at 30 fps, from the switch on, untouched.
        rate_posted = agent.post(title, FRAMERATE_30)
        time.sleep(1)
        server = benchlib.wineserver_pid()
        cpu0 = benchlib.cpu_seconds(pid) if pid else None
        server0 = benchlib.cpu_seconds(server) if server else None
        time.sleep(seconds)
        if pid:
            result['cpu'] = benchlib.cpu_seconds(pid) - cpu0
            result['rss'] = benchlib.status_kb(pid, 'VmRSS') / 1024
        if server:
            result['servercpu'] = benchlib.cpu_seconds(server) - server0

        result['format'] = timed(watcher, agent, title, target['format_640'],
                                 ['px=12,12,' + RED, 'px=600,400,182,36,36'])
        result['audio'] = timed(watcher, agent, title, AUDIO_MUTE, ['px=12,12,' + RED, 'px=24,12,' + BLACK])
        result['preset'] = timed(watcher, agent, title, target['preset'], ['px=12,12,' + RED, CHANNEL_BITS], limit=5)
        result['input'] = timed(watcher, agent, title, INPUT_VIDEO, ['px=12,12,' + GREEN], limit=5)
        agent.close(title)
        program.wait_exit()

        records = read_frames(frames_file)
        # The first line is the start's own run, ended by the frame-rate switch.
        if records:
            at, first = records[0]['runs'][0]
            result['run'] = (at - started) * 1000
            result['first'] = None if first is None else (first - started) * 1000
        span = [r for r in records if r['avgTimePerFrame'] == '333333' and rate_posted
                and r['runs'][0][0] >= rate_posted]
        if span:
            record = span[0]
            first = record['runs'][0][1]
            if first is not None:
                result['rate'] = (first - rate_posted) * 1000
                expected = (float(record['stopped']) - first) * 30 + 1
                result['delivered'] = 100 * int(record['delivered']) / expected
                result['accepted'] = 100 * int(record['accepted']) / expected
                result['gap'] = float(record['longestGapMs'])
        return result
    finally:
        program.cleanup()
        if os.path.exists(frames_file):
            os.remove(frames_file)


def spread(values):
    values = [v for v in values if v is not None]
    if not values:
        return 'n/a', None
    median = statistics.median(values)
    return '%.1f [%.1f–%.1f]' % (median, min(values), max(values)), median


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 7
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 60
    names = list(PROGRAMS)
    results = {name: [] for name in names}
    watcher = Watcher()
    shown_watcher = Watcher()
    try:
        for i in range(runs):
            for name in (names if i % 2 == 0 else names[::-1]):
                value = cold_start(name, PROGRAMS[name], watcher)
                results[name].append({'cold': value})
                print('cold %d %s %.0f ms' % (i + 1, name, value or -1), file=sys.stderr, flush=True)
        agent = Agent()
        try:
            for i in range(runs):
                for name in (names if i % 2 == 0 else names[::-1]):
                    run = warm_run(name, PROGRAMS[name], watcher, shown_watcher, agent, seconds)
                    results[name][i].update(run)
                    print('warm %d %s %s' % (i + 1, name, {k: round(v, 1) for k, v in run.items() if v is not None}),
                          file=sys.stderr, flush=True)
        finally:
            agent.stop()
    finally:
        watcher.stop()
        shown_watcher.stop()
        benchlib.stop_wine_server()

    print('%d runs each, alternating; span %.0f s at 30 fps; %d cores; %s' %
          (runs, seconds, os.cpu_count(), time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())))
    print('| Figure | NarvoTV median [min–max] | minimal median [min–max] | ratio median [min–max] |')
    print('|---|---|---|---|')
    for label, key in FIGURES:
        ours = [r.get(key) for r in results['NarvoTV']]
        theirs = [r.get(key) for r in results['minimal']]
        ours_text, _ = spread(ours)
        theirs_text, _ = spread(theirs)
        ratios = [a / b for a, b in zip(ours, theirs) if a is not None and b]
        ratio_text = '%.2f [%.2f–%.2f]' % (statistics.median(ratios), min(ratios), max(ratios)) if ratios else 'n/a'
        print('| %s | %s | %s | %s |' % (label, ours_text, theirs_text, ratio_text))


if __name__ == '__main__':
    benchlib.run(main)

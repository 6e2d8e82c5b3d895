#!/usr/bin/env python3
"""How fast NarvoTV starts and switches, with the simulated card under Wine.

Each time runs from the moment the action is started to the moment a
screenshot shows its result, and is given as a ratio to one round trip of a
trivial Wine program (start and exit), so the figures carry across machines.
Usage (on a display; bench/run-viewer sets one up): viewer-timings.py [runs]"""
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'e2e'))
from viewer import Viewer, screenshot, wait_for  # noqa: E402

RED = (255, 0, 0)
FIRST_FORMAT, RGB32_320x240, RGB32_640x480 = 601, 8, 9
ID_FRAMERATE_30, ID_FRAMERATE_15 = 32784, 32785
SETTINGS = '[MainConfig]\nZoomRateSave=0\n[VideoStreamConfig]\nFormatIndex=%d\n' % RGB32_320x240


def block(client, i):
    return screenshot().pixel(client[0] + 12 + 12 * i, client[1] + 12)


def bright_at(client, x, y):
    return sum(screenshot().pixel(client[0] + x, client[1] + y)) > 150


def measure(runs):
    times = {name: [] for name in ('round trip', 'start to picture', 'format switch', 'frame rate switch')}
    for _ in range(runs):
        viewer = Viewer(settings=SETTINGS)
        try:
            start = time.monotonic()
            viewer.wintool('info', 'no such window')
            times['round trip'].append(time.monotonic() - start)

            start = time.monotonic()
            viewer.start()
            info = viewer.wait_shown()
            client = info['client']
            wait_for(lambda: block(client, 0) == RED, 'the first picture')
            times['start to picture'].append(time.monotonic() - start)

            start = time.monotonic()
            viewer.command(FIRST_FORMAT + RGB32_640x480)
            wait_for(lambda: block(client, 0) == RED and bright_at(client, 630, 470), 'the 640x480 picture')
            times['format switch'].append(time.monotonic() - start)

            start = time.monotonic()
            viewer.command(ID_FRAMERATE_30)
            viewer.command(ID_FRAMERATE_15)
            wait_for(lambda: block(client, 0) == RED, 'the picture after two rate changes')
            times['frame rate switch'].append((time.monotonic() - start) / 2)
            viewer.close()
        finally:
            viewer.cleanup()
    return {name: statistics.median(values) for name, values in times.items()}


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    medians = measure(runs)
    unit = medians['round trip']
    print('median of %d runs; 1 round trip = %.0f ms here' % (runs, unit * 1000))
    print('| What | Round trips | ms here |')
    print('|---|---|---|')
    for name, value in medians.items():
        print('| %s | %.1f | %.0f |' % (name, value / unit, value * 1000))


if __name__ == '__main__':
    main()

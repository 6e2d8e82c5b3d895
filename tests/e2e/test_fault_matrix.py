"""The viewer with each of the card's faults injected, one at a time, and with
each shape variant of the card: every run drives the format, frame-rate,
quality, audio, input and toggle commands and closes. No run may crash or hang, every
run writes its settings, and an error box shows only where one belongs.
Several viewers run at once, each in a folder of its own."""
import os
import re
import unittest
from concurrent.futures import ThreadPoolExecutor

from card_catalogue import catalogue
from viewer import SOURCE, Viewer, ids, wait_for

CAPTION = 'NarvoTV'
FIRST_FORMAT, FIRST_AUDIO_DEVICE = ids.ID_VIDEO_FORMAT + 1, ids.ID_SOUND_DEVICE + 1
WS_EX_TOPMOST = 0x8
MAIN_KEYS = ['VideoDeviceName', 'MuteAudio', 'CaptureAudioDevice', 'AudioDeviceName', 'VideoQuality',
             'WindowPosX', 'WindowPosY', 'ZoomRateSave', 'TopMostWindow']
NOT_FOUND = 'NARVO TV デバイスが見つかりません'
AUDIO_NOT_FOUND = 'オーディオデバイスが見つかりません'
# Without the card's filter there is no viewer window, only this box.
CARD_MISSING = {'Filter.Load', 'NoInputPin'}
# Sections of a control the card does not have: never read, so never written.
ABSENT_SECTIONS = {'NoCrossbar': {'Crossbar'}, 'NoTuner': {'TVTuner'}}
# Boxes a command may show: the audio device cannot be bound.
COMMAND_BOXES = {('AudioCapture.Load', FIRST_AUDIO_DEVICE): AUDIO_NOT_FOUND}
# A bare method name fails it on every part.
BARE_FAILURES = ['Stop', 'Run']
PARALLEL = 4


def readme_names(readme):
    """What the card's README lists: its fault points and its variant words."""
    block = readme.split('`SIMTV_FAIL` names a method', 1)[1].split('`Filter.Run` also', 1)[0]
    faults = re.findall(r'\b[A-Za-z]+\.[A-Za-z_]+\b', block.split('\n\n', 1)[1])
    table = readme.split('`SIMTV_VARIANT` words', 1)[1].split('\n\n', 2)[1]
    variants = re.findall(r'^\| `(\w+)` \|', table, re.MULTILINE)
    registration = re.findall(r'`(\w+)` \(', readme.split('`SIMTV_REGISTER` words:', 1)[1].split('\n\n', 1)[0])
    return {'fault points': faults, 'card variants': variants, 'registration variants': registration}


def drive(name, env):
    """One run; returns the problems seen, an empty list when all went well."""
    problems = []
    viewer = Viewer(env=env)
    try:
        viewer.start()
        if name in CARD_MISSING:
            box = viewer.message_box(CAPTION)
            if box['text'] != NOT_FOUND:
                problems.append('start box: ' + box['text'])
        else:
            info = viewer.wait_shown()
            if name == 'PreviewPin' and (info['children'] != 1 or viewer.info('ActiveMovie Window')):
                problems.append('the picture is not inside the viewer window')
            # Posted at once, as quick clicks: the window handles them in order.
            # A command that may show a box ends its batch, and the box is answered.
            batches = [[FIRST_FORMAT + 1, FIRST_FORMAT, ids.ID_FRAMERATE_30, ids.ID_FRAMERATE_5,
                        ids.ID_QUALITY_HIGH, ids.ID_QUALITY_LOW, FIRST_AUDIO_DEVICE],
                       [ids.ID_AUDIO_MUTE, ids.ID_AUDIO_CARD, ids.ID_INPUT_VIDEO, ids.ID_INPUT_TUNER,
                        ids.ID_KEEP_ASPECT, ids.ID_TOPMOST]]
            for batch in batches:
                if not viewer.command(*batch):
                    problems.append('commands %s not taken' % batch)
                expected = COMMAND_BOXES.get((name, batch[-1]))
                if expected:
                    box = viewer.message_box(CAPTION)
                    if box['text'] != expected:
                        problems.append('box after %d: %s' % (batch[-1], box['text']))
            # Commands run in order: once the last has acted, all have.
            wait_for(lambda: (viewer.info() or {}).get('exstyle', 0) & WS_EX_TOPMOST, 'the last command')
            code, out = viewer.wintool('msgbox', CAPTION)
            if code == 0:
                problems.append('unexpected box: ' + out.strip().replace('\n', ' / '))
            viewer.close()
        code = viewer.wait_exit()
        if code != 0:
            problems.append('exit code %d' % code)
            return problems
        settings = viewer.settings()
        missing = [key for key in MAIN_KEYS if key not in settings['MainConfig']]
        if missing:
            problems.append('MainConfig lacks ' + ', '.join(missing))
        if name not in CARD_MISSING:
            main = settings['MainConfig']
            if (main.get('ZoomRateSave'), main.get('TopMostWindow')) != ('0', '1'):
                problems.append('toggles not saved')
            # Every owner that read its section in the run writes it back.
            sections = {'VideoStreamConfig', 'Crossbar', 'TVTuner'} - ABSENT_SECTIONS.get(name, set())
            unwritten = sorted(section for section in sections if not settings.has_section(section))
            if unwritten:
                problems.append('not written: ' + ', '.join(unwritten))
    except Exception as error:  # a hang or a missing window: report it with the run's name
        problems.append('%s: %s' % (type(error).__name__, error))
    finally:
        viewer.cleanup()
    return problems


class FaultMatrix(unittest.TestCase):
    def test_card_readme_lists_what_the_card_takes(self):
        with open(os.path.join(SOURCE, 'simcard', 'README.md'), encoding='utf-8') as f:
            listed = readme_names(f.read())
        for name, names in catalogue().items():
            with self.subTest(name):
                self.assertEqual(sorted(names), sorted(listed[name]))

    def test_every_injected_fault_and_every_variant(self):
        names = catalogue()
        runs = [(name, {'SIMTV_FAIL': name}) for name in names['fault points'] + BARE_FAILURES]
        runs += [(word, {'SIMTV_VARIANT': word}) for word in names['card variants']]
        with ThreadPoolExecutor(PARALLEL) as pool:
            results = list(pool.map(lambda run: drive(*run), runs))
        for (name, _), problems in zip(runs, results):
            with self.subTest(name):
                self.assertEqual([], problems)


if __name__ == '__main__':
    unittest.main()

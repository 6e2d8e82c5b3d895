"""The video input and the preset channel with the simulated card: what the
viewer routes and tunes at start, the input and preset commands, the audio
route at every start of the graph, and what it keeps at the end."""
import os
import tempfile
import unittest

from viewer import Viewer, ids, screenshot, wait_for

RED, GREEN, BLUE, WHITE, BLACK = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255), (0, 0, 0)
PRESET = ids.ID_CHANNEL_ITEM  # a preset's command is this plus its number
FIRST_FORMAT = ids.ID_VIDEO_FORMAT + 1
LINE_IN = ids.ID_SOUND_DEVICE + 1  # the card's devices are listed in the order registered
RGB24_320x240, RGB32_320x240 = 3, 8  # both keep the window's size

PRESETS = ('[Preset Channel]\nCH1=4\nNAME1=ＮＨＫ総合\nCH3=12\nNAME3=テレビ東京\n'
           'CH5=40\nNAME5=放送大学\n')
ROUTED = 'Crossbar.Route output=1 input=3 -> S_OK'
MUTED = 'Crossbar.Route output=1 input=-1 -> S_OK'
LINE_IN_DEVICE = 'device="SimTV Line In"'


def section(viewer, name):
    """One section of the settings file as its bytes stand, header to the next header."""
    with open(viewer.ini, 'rb') as f:
        data = f.read()
    start = data.index(b'[' + name.encode() + b']')
    end = data.find(b'\n[', start)
    return data[start:] if end < 0 else data[start:end + 1]


class TuningTest(unittest.TestCase):
    def run_viewer(self, settings, variant=None, main=''):
        handle, self.journal = tempfile.mkstemp(prefix='narvo-card-', suffix='.log')
        os.close(handle)
        self.addCleanup(os.remove, self.journal)
        env = {'SIMTV_JOURNAL': self.journal}
        if variant:
            env['SIMTV_VARIANT'] = variant
        viewer = Viewer(settings='[MainConfig]\nZoomRateSave=0\n%s[VideoStreamConfig]\nFormatIndex=%d\n%s'
                        % (main, RGB32_320x240, settings), env=env)
        self.addCleanup(viewer.cleanup)
        viewer.start()
        info = viewer.wait_shown()
        self.client = info['client']
        self.assertEqual([320, 240], self.client[2:])
        return viewer

    def lines(self, prefix):
        with open(self.journal, encoding='utf-8') as f:
            return [line.strip() for line in f if line.startswith(prefix)]

    def wait_line(self, line, count=1):
        wait_for(lambda: self.lines(line).count(line) >= count, line)

    def audio_routes(self):
        return self.lines('Crossbar.Route output=1 ')

    def wait_picture(self, source, audio, channel):
        """The card's caption shows that input, audio and channel."""
        bits = [WHITE if channel >> (5 - i) & 1 else BLACK for i in range(6)]
        expected = [source, audio] + bits

        def shows():
            shot = screenshot()
            return [shot.pixel(self.client[0] + 12 + 12 * i, self.client[1] + 12) for i in range(8)] == expected
        wait_for(shows, 'the picture of %s, %s, channel %d' % (source, audio, channel))

    def test_starts_on_the_stored_input_and_preset_and_switches_both_by_command(self):
        viewer = self.run_viewer('[Crossbar]\nVideoConnectSource=2\n' + PRESETS + '[TVTuner]\nSelectChannel=3\n')
        presets = section(viewer, 'Preset Channel')
        self.wait_picture(BLUE, WHITE, 12)
        self.assertEqual(['Crossbar.Route output=0 input=2 -> S_OK'], self.lines('Crossbar.Route output=0'))
        self.assertEqual(['Tuner.put_CountryCode country=81 -> S_OK'], self.lines('Tuner.put_CountryCode'))
        self.assertEqual(['Tuner.put_Channel channel=12 video=-1 audio=-1 -> S_OK'], self.lines('Tuner.put_Channel'))

        viewer.command(PRESET + 5)
        viewer.command(PRESET + 2)   # no such preset
        viewer.command(PRESET + 16)  # beyond the table
        viewer.command(ids.ID_INPUT_VIDEO)
        self.wait_picture(GREEN, WHITE, 40)
        self.assertEqual(['Tuner.put_Channel channel=12 video=-1 audio=-1 -> S_OK',
                          'Tuner.put_Channel channel=40 video=-1 audio=-1 -> S_OK'], self.lines('Tuner.put_Channel'))
        # Switching the input neither restarts the graph nor touches the audio route.
        self.assertEqual([ROUTED], self.audio_routes())

        self.assertEqual(0, viewer.close())
        settings = viewer.settings()
        self.assertEqual('1', settings['Crossbar']['VideoConnectSource'])
        self.assertEqual('5', settings['TVTuner']['SelectChannel'])
        self.assertEqual(presets, section(viewer, 'Preset Channel'))

    def test_every_start_of_the_graph_routes_or_mutes_the_tuner_audio(self):
        viewer = self.run_viewer('[Crossbar]\nVideoConnectSource=1\n' + PRESETS)
        self.wait_picture(GREEN, WHITE, 4)
        self.assertEqual([ROUTED], self.audio_routes())

        viewer.command(ids.ID_AUDIO_MUTE)
        self.wait_line(MUTED)
        self.wait_picture(GREEN, BLACK, 4)

        viewer.command(FIRST_FORMAT + RGB24_320x240)
        self.wait_line(MUTED, 2)
        self.wait_line('StreamConfig.SetFormat subtype=RGB24 width=320 height=240 avgTimePerFrame=666666 -> S_OK')
        self.wait_picture(GREEN, BLACK, 4)

        viewer.command(ids.ID_AUDIO_CARD)
        self.wait_line(ROUTED, 2)
        self.wait_picture(GREEN, WHITE, 4)
        self.assertEqual([ROUTED, MUTED, MUTED, ROUTED], self.audio_routes())
        self.assertEqual(0, viewer.close())
        self.assertEqual('0', viewer.settings()['MainConfig']['MuteAudio'])

    def test_with_the_line_in_device_chosen_formats_audio_paths_and_exit_go_as_before(self):
        # The device now has a capture pin, which the viewer leaves unconnected:
        # the teardowns walk it, every start runs the device with the graph.
        def device(method):
            return 'AudioCapture.%s %s -> S_OK' % (method, LINE_IN_DEVICE)

        viewer = self.run_viewer(PRESETS, main='CaptureAudioDevice=1\nAudioDeviceName=SimTV Line In\n')
        self.wait_picture(RED, WHITE, 4)
        self.wait_line(device('Run'))

        viewer.command(FIRST_FORMAT + RGB24_320x240)
        self.wait_line('StreamConfig.SetFormat subtype=RGB24 width=320 height=240 avgTimePerFrame=666666 -> S_OK')
        self.wait_line(device('Run'), 2)
        self.wait_picture(RED, WHITE, 4)

        viewer.command(ids.ID_AUDIO_MUTE)
        self.wait_line(MUTED)
        self.wait_line(device('LeaveFilterGraph'))
        self.wait_picture(RED, BLACK, 4)
        viewer.command(LINE_IN)
        self.wait_line(ROUTED, 2)
        self.wait_line(device('JoinFilterGraph'), 2)
        self.wait_line(device('Run'), 3)
        self.wait_picture(RED, WHITE, 4)
        viewer.command(ids.ID_AUDIO_CARD)
        self.wait_line(device('LeaveFilterGraph'), 2)
        viewer.command(LINE_IN)
        self.wait_line(device('Run'), 4)
        self.wait_picture(RED, WHITE, 4)

        viewer.command(ids.ID_APP_QUIT)
        self.assertEqual(0, viewer.wait_exit())
        # Stopped with the graph, then let go of.
        self.assertEqual([device('Stop'), device('LeaveFilterGraph')], self.lines('AudioCapture.')[-2:])
        settings = viewer.settings()['MainConfig']
        self.assertEqual(('1', 'SimTV Line In'), (settings['CaptureAudioDevice'], settings['AudioDeviceName']))

    def test_without_a_crossbar_the_input_commands_do_nothing_and_the_stored_input_survives(self):
        viewer = self.run_viewer('[Crossbar]\nVideoConnectSource=2\n' + PRESETS + '[TVTuner]\nSelectChannel=1\n',
                                 variant='NoCrossbar')
        self.wait_picture(RED, WHITE, 4)  # the card's own start-up route
        viewer.command(ids.ID_INPUT_VIDEO)
        viewer.command(ids.ID_INPUT_SVIDEO)
        viewer.command(ids.ID_AUDIO_MUTE)
        viewer.command(PRESET + 3)  # handled after the commands before it
        self.wait_picture(RED, WHITE, 12)
        self.assertEqual([], self.lines('Crossbar.'))
        self.assertEqual(0, viewer.close())
        settings = viewer.settings()
        self.assertEqual('2', settings['Crossbar']['VideoConnectSource'])
        self.assertEqual('3', settings['TVTuner']['SelectChannel'])

    def test_without_a_tuner_the_preset_commands_do_nothing_and_the_stored_preset_survives(self):
        viewer = self.run_viewer('[Crossbar]\nVideoConnectSource=0\n' + PRESETS + '[TVTuner]\nSelectChannel=3\n',
                                 variant='NoTuner')
        self.wait_picture(RED, WHITE, 1)  # the card's own start-up channel
        viewer.command(PRESET + 5)
        viewer.command(PRESET + 1)
        viewer.command(ids.ID_INPUT_SVIDEO)  # handled after the presets
        self.wait_picture(BLUE, WHITE, 1)
        self.assertEqual([], self.lines('Tuner.'))
        self.assertEqual(0, viewer.close())
        settings = viewer.settings()
        self.assertEqual('3', settings['TVTuner']['SelectChannel'])
        self.assertEqual('2', settings['Crossbar']['VideoConnectSource'])


if __name__ == '__main__':
    unittest.main()

"""The viewer with the simulated card: its window, the live picture inside
it, a drag by the body, the commands, and the settings written at the end."""
import os
import tempfile
import time
import unittest

from viewer import Viewer, ids, screenshot, wait_for, xdotool

RED, WHITE, BLACK = (255, 0, 0), (255, 255, 255), (0, 0, 0)
WS_EX_TOPMOST = 0x8
FIRST_FORMAT = ids.ID_VIDEO_FORMAT + 1
# The card's formats in the viewer's order: RGB565 320x240, 640x480, 720x480;
# RGB24 320x240, 352x240 (twice), 640x480, 720x480; RGB32 320x240, 640x480, 720x480.
RGB32_320x240, RGB32_640x480 = 8, 9


def state_block(shot, client, i):
    """The caption's state block i, read at its centre in the client area."""
    return shot.pixel(client[0] + 12 + 12 * i, client[1] + 12)


class ViewerTest(unittest.TestCase):
    def run_viewer(self, settings=None, journal=False):
        env = {}
        if journal:
            handle, self.journal = tempfile.mkstemp(prefix='narvo-card-', suffix='.log')
            os.close(handle)
            self.addCleanup(os.remove, self.journal)
            env['SIMTV_JOURNAL'] = self.journal
        viewer = Viewer(settings=settings, env=env)
        self.addCleanup(viewer.cleanup)
        viewer.start()
        info = viewer.wait_shown()
        return viewer, info

    def journal_lines(self, prefix):
        with open(self.journal, encoding='utf-8') as f:
            return [line.strip() for line in f if line.startswith(prefix)]

    def wait_picture(self, client):
        """The card's live picture shows: its input block is the tuner's red."""
        return wait_for(lambda: (lambda s: s if state_block(s, client, 0) == RED else None)(screenshot()),
                        'the live picture')

    def test_picture_at_the_stored_position_drag_and_close(self):
        viewer, info = self.run_viewer('[MainConfig]\nWindowPosX=60\nWindowPosY=40\nZoomRateSave=0\n'
                                       '[VideoStreamConfig]\nFormatIndex=%d\n' % RGB32_320x240)
        self.assertEqual([60, 40], info['window'][:2])
        client = info['client']
        self.assertEqual([320, 240], client[2:])
        self.assertEqual(1, info['children'], 'the renderer window is a child of the viewer')

        shot = self.wait_picture(client)
        self.assertEqual(WHITE, state_block(shot, client, 1), 'tuner audio routed')
        for bit in range(2, 7):
            self.assertEqual(BLACK, state_block(shot, client, bit), 'channel 1 in binary')
        self.assertEqual(WHITE, state_block(shot, client, 7), 'channel 1 in binary')
        # The picture fills the client area to its far corner.
        self.assertNotEqual(BLACK, shot.pixel(client[0] + 315, client[1] + 235))

        # A left-button drag on the picture moves the window.
        x, y = client[0] + 160, client[1] + 160
        xdotool('mousemove', x, y)
        xdotool('mousedown', 1)
        for step in range(1, 11):
            time.sleep(0.05)
            xdotool('mousemove', x + 10 * step, y + 5 * step)
        xdotool('mouseup', 1)
        moved = wait_for(lambda: (lambda i: i if i and i['window'][:2] == [160, 90] else None)(viewer.info()),
                         'the window to follow the drag')
        self.assertEqual([320, 240], moved['client'][2:])

        self.assertEqual(0, viewer.close())
        settings = viewer.settings()
        self.assertEqual('160', settings['MainConfig']['WindowPosX'])
        self.assertEqual('90', settings['MainConfig']['WindowPosY'])
        self.assertEqual('15', settings['VideoStreamConfig']['FrameRate'])
        self.assertEqual(str(RGB32_320x240), settings['VideoStreamConfig']['FormatIndex'])

    def test_first_run_writes_every_key_in_exit_order(self):
        viewer, info = self.run_viewer()
        self.assertEqual([0, 0], info['window'][:2])
        # With the aspect lock on, the outer height is cut to the format's proportion.
        self.assertEqual(info['window'][2] * 240 // 320, info['window'][3])
        self.assertEqual(320, info['client'][2])
        self.assertLess(info['client'][3], 240)
        self.assertEqual(0, viewer.close())

        text = viewer.settings_text()
        self.assertLess(text.index('[MainConfig]'), text.index('[VideoStreamConfig]'))
        self.assertLess(text.index('[VideoStreamConfig]'), text.index('[TVTuner]'))
        self.assertLess(text.index('[TVTuner]'), text.index('[Crossbar]'))
        self.assertNotIn('[Preset Channel]', text)
        self.assertEqual(['VideoDeviceName', 'MuteAudio', 'CaptureAudioDevice', 'AudioDeviceName',
                          'VideoQuality', 'WindowPosX', 'WindowPosY', 'ZoomRateSave', 'TopMostWindow'],
                         list(viewer.settings()['MainConfig']))
        self.assertEqual({'FrameRate': '15', 'FormatIndex': '0'}, dict(viewer.settings()['VideoStreamConfig']))

    def test_commands_change_what_is_saved(self):
        viewer, info = self.run_viewer('[MainConfig]\nTopMostWindow=1\nZoomRateSave=0\n'
                                       '[VideoStreamConfig]\nFormatIndex=%d\n' % RGB32_320x240, journal=True)
        self.assertTrue(info['exstyle'] & WS_EX_TOPMOST)
        self.wait_picture(info['client'])

        viewer.command(ids.ID_TOPMOST)
        wait_for(lambda: not viewer.info()['exstyle'] & WS_EX_TOPMOST, 'topmost to be switched off')

        viewer.command(ids.ID_FRAMERATE_30)
        wait_for(lambda: self.journal_lines('StreamConfig.SetFormat subtype=RGB32 width=320 height=240 '
                                            'avgTimePerFrame=333333 -> S_OK'), 'the 30 fps format')

        viewer.command(FIRST_FORMAT + RGB32_640x480)
        resized = wait_for(lambda: (lambda i: i if i['client'][2:] == [640, 480] else None)(viewer.info()),
                           'the window to fit the new format')
        self.assertEqual(1, resized['children'])
        self.wait_picture(resized['client'])
        self.assertIn('StreamConfig.SetFormat subtype=RGB32 width=640 height=480 avgTimePerFrame=333333 -> S_OK',
                      self.journal_lines('StreamConfig.SetFormat'))

        viewer.command(ids.ID_KEEP_ASPECT)
        viewer.command(ids.ID_APP_QUIT)
        self.assertEqual(0, viewer.wait_exit())
        settings = viewer.settings()
        self.assertEqual('0', settings['MainConfig']['TopMostWindow'])
        self.assertEqual('1', settings['MainConfig']['ZoomRateSave'])
        self.assertEqual('30', settings['VideoStreamConfig']['FrameRate'])
        self.assertEqual(str(RGB32_640x480), settings['VideoStreamConfig']['FormatIndex'])
        # The card was stopped before the graph let it go.
        filter_calls = self.journal_lines('Filter.')
        self.assertEqual('Filter.Stop -> S_OK', filter_calls[-2])
        self.assertEqual('Filter.LeaveFilterGraph -> S_OK', filter_calls[-1])

    def test_a_format_the_renderer_cannot_draw_leaves_no_stray_window(self):
        # With YUY2 and RGB555 added, the order starts YUY2 320x240, YUY2 720x480,
        # and RGB32 320x240 is 12th.
        viewer = Viewer(settings='[MainConfig]\nZoomRateSave=0\n[VideoStreamConfig]\nFormatIndex=0\n',
                        env={'SIMTV_VARIANT': 'UndrawableFormats'})
        self.addCleanup(viewer.cleanup)
        viewer.start()
        info = viewer.wait_shown()
        self.assertEqual([320, 240], info['client'][2:])
        self.assertIsNone(viewer.info('ActiveMovie Window'), 'the failed renderer shows no window of its own')

        viewer.command(FIRST_FORMAT + 12)
        self.wait_picture(info['client'])
        self.assertIsNone(viewer.info('ActiveMovie Window'))
        self.assertEqual(0, viewer.close())
        self.assertEqual('12', viewer.settings()['VideoStreamConfig']['FormatIndex'])


if __name__ == '__main__':
    unittest.main()

"""Without the card the viewer explains itself and ends, and still keeps its settings."""
import unittest

from viewer import NO_CARD_PREFIX, Viewer


class NoCard(unittest.TestCase):
    def test_error_box_then_exit_with_main_settings_written(self):
        viewer = Viewer(prefix=NO_CARD_PREFIX, settings='[MainConfig]\nVideoQuality=150\nWindowPosX=-40\n'
                        '[VideoStreamConfig]\nFrameRate=20\nFormatIndex=3\n'
                        '[Crossbar]\nVideoConnectSource=2\n[TVTuner]\nSelectChannel=7\n')
        self.addCleanup(viewer.cleanup)
        viewer.start()
        box = viewer.message_box('NarvoTV')
        self.assertEqual('NARVO TV デバイスが見つかりません', box['text'])
        self.assertEqual('none', box['owner'])
        self.assertEqual(0, viewer.wait_exit())

        settings = viewer.settings()
        main = settings['MainConfig']
        self.assertEqual('Narvo TV', main['VideoDeviceName'])
        self.assertEqual('100', main['VideoQuality'])
        self.assertEqual('-40', main['WindowPosX'])
        # The catalogue, crossbar and tuner never read their keys in this run, so they leave them alone.
        self.assertEqual('20', settings['VideoStreamConfig']['FrameRate'])
        self.assertEqual('3', settings['VideoStreamConfig']['FormatIndex'])
        self.assertEqual('2', settings['Crossbar']['VideoConnectSource'])
        self.assertEqual('7', settings['TVTuner']['SelectChannel'])


if __name__ == '__main__':
    unittest.main()

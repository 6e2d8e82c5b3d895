"""The dialog library and the help file through the real viewer: each dialog
opened from its command, filled and closed with its buttons, and its effect
on the card and the settings file; a missing library; the help command's
window; the viewer's manifest as Wine takes it, with Common Controls 6 in its
dialogs."""
import os
import shutil
import tempfile
import unittest

from viewer import BUILD, Viewer, ids, wait_for, xdotool

IDOK, IDCANCEL = 1, 2
VERSION_CAPTION, RATE_CAPTION, PRESET_CAPTION = 'バージョン情報', 'フレームレート', 'チャンネル設定'


class DialogTest(unittest.TestCase):
    def run_viewer(self, settings=None, **options):
        handle, self.journal = tempfile.mkstemp(prefix='narvo-card-', suffix='.log')
        os.close(handle)
        self.addCleanup(os.remove, self.journal)
        env = dict(options.pop('env_extra', {}), SIMTV_JOURNAL=self.journal)
        viewer = Viewer(settings=settings, env=env, **options)
        self.addCleanup(viewer.cleanup)
        viewer.start()
        viewer.wait_shown()
        return viewer

    def journal_lines(self, prefix):
        with open(self.journal, encoding='utf-8') as f:
            return [line.strip() for line in f if line.startswith(prefix)]

    def test_version_dialog_names_the_settings_file_and_closes_with_ok(self):
        viewer = self.run_viewer()
        viewer.command(ids.ID_VERSION_INFO)
        dialog = viewer.dialog(VERSION_CAPTION)
        self.assertEqual('NARVO TV Viewer', dialog['owner'])
        path = dialog['controls'][ids.IDC_SETTINGS_PATH]
        self.assertTrue(path.lower().endswith(
            (os.path.basename(viewer.folder) + '\\NarvoTV.ini').lower()), path)
        self.assertIn('1.', dialog['controls'][ids.IDC_VERSION])
        viewer.press(VERSION_CAPTION, IDOK)
        viewer.dialog_gone(VERSION_CAPTION)
        self.assertEqual(0, viewer.close())

    def refused(self, viewer, caption):
        """Presses Enter in the dialog and returns the refusal it shows."""
        viewer.set_text(caption, ids.IDC_MESSAGE, '')
        xdotool('key', 'Return')
        return wait_for(lambda: viewer.dialog(caption)['controls'][ids.IDC_MESSAGE], 'the refusal')

    def test_custom_frame_rate_reaches_the_card_and_a_cancel_changes_nothing(self):
        viewer = self.run_viewer('[MainConfig]\nZoomRateSave=0\n')
        viewer.command(ids.ID_FRAMERATE_CUSTOM)
        dialog = viewer.dialog(RATE_CAPTION)
        self.assertEqual('15', dialog['controls'][ids.IDC_RATE])
        # The card takes at most 30 frames a second: more is refused in the dialog.
        for typed in ('0', '31', '45'):
            viewer.type_into(RATE_CAPTION, ids.IDC_RATE, typed)
            self.assertEqual('フレームレートは 1 から 30 までの整数で入力してください。',
                             self.refused(viewer, RATE_CAPTION), typed)
            self.assertEqual(typed, viewer.dialog(RATE_CAPTION)['controls'][ids.IDC_RATE])
        viewer.type_into(RATE_CAPTION, ids.IDC_RATE, '30')
        xdotool('key', 'Return')
        viewer.dialog_gone(RATE_CAPTION)
        wait_for(lambda: [line for line in self.journal_lines('StreamConfig.SetFormat')
                          if 'avgTimePerFrame=333333 -> S_OK' in line], 'the 30 fps frame duration')

        viewer.command(ids.ID_FRAMERATE_CUSTOM)
        self.assertEqual('30', viewer.dialog(RATE_CAPTION)['controls'][ids.IDC_RATE])
        set_formats = self.journal_lines('StreamConfig.SetFormat')
        viewer.type_into(RATE_CAPTION, ids.IDC_RATE, '5')
        xdotool('key', 'Escape')
        viewer.dialog_gone(RATE_CAPTION)
        self.assertEqual(0, viewer.close())
        # The card and the settings file agree on the rate.
        self.assertEqual(set_formats, self.journal_lines('StreamConfig.SetFormat'))
        self.assertIn('avgTimePerFrame=333333 -> S_OK', set_formats[-1])
        self.assertEqual('30', viewer.settings()['VideoStreamConfig']['FrameRate'])

    def test_preset_editor_writes_the_file_at_once(self):
        viewer = self.run_viewer('[Preset Channel]\nCH1=1\nNAME1=ＮＨＫ\nCH8=abc\nNAME8=Station\n'
                                 '[TVTuner]\nSelectChannel=1\n')
        viewer.command(ids.ID_CHANNEL_SETUP)
        dialog = viewer.dialog(PRESET_CAPTION)
        controls = dialog['controls']
        self.assertEqual(('1', 'ＮＨＫ'), (controls[ids.IDC_CHANNEL_BASE + 1], controls[ids.IDC_NAME_BASE + 1]))
        self.assertEqual(('abc', 'Station'), (controls[ids.IDC_CHANNEL_BASE + 8], controls[ids.IDC_NAME_BASE + 8]))
        viewer.type_into(PRESET_CAPTION, ids.IDC_CHANNEL_BASE + 2, '63')
        self.assertIn('プリセット 2 のチャンネルは 1 から 62', self.refused(viewer, PRESET_CAPTION))
        viewer.type_into(PRESET_CAPTION, ids.IDC_CHANNEL_BASE + 2, '33')
        viewer.set_text(PRESET_CAPTION, ids.IDC_NAME_BASE + 2, 'テスト局')
        xdotool('key', 'Return')
        viewer.dialog_gone(PRESET_CAPTION)
        stored = viewer.settings()['Preset Channel']
        self.assertEqual(('33', 'テスト局'), (stored['CH2'], stored['NAME2']))
        self.assertEqual(('abc', 'Station'), (stored['CH8'], stored['NAME8']), 'a preset left alone stays')
        self.assertEqual([], self.journal_lines('Tuner.put_Channel channel=33'), 'saving does not tune')

        # A right-click opens the menu at the mouse; its second item is now preset 2.
        client = viewer.info()['client']
        x, y = client[0] + 100, client[1] + 60
        xdotool('mousemove', x, y)
        xdotool('click', 3)
        popup = wait_for(lambda: viewer.popup(), 'the context menu')
        self.assertEqual([x, y], popup[:2])
        xdotool('key', 'Down', 'Down', 'Return')
        wait_for(lambda: self.journal_lines('Tuner.put_Channel channel=33'), 'preset 2 to be tuned')
        self.assertEqual(0, viewer.close())
        self.assertEqual('2', viewer.settings()['TVTuner']['SelectChannel'])

    def test_missing_library_is_reported_in_the_viewers_words(self):
        # Started from another folder that holds a copy, with another copy on
        # the search path: neither is the program's, so neither may be loaded.
        start_folder = tempfile.mkdtemp(prefix='narvo-start-')
        path_folder = tempfile.mkdtemp(prefix='narvo-path-')
        for folder in (start_folder, path_folder):
            self.addCleanup(shutil.rmtree, folder, True)
            shutil.copy(os.path.join(BUILD, 'bin', 'RADO_DU.DLL'), folder)
        viewer = self.run_viewer(companions=('NarvoTV.chm',), cwd=start_folder,
                                 env_extra={'WINEPATH': 'Z:' + path_folder.replace('/', '\\')})
        viewer.command(ids.ID_VERSION_INFO)
        box = viewer.message_box('NarvoTV')
        self.assertEqual('必要なファイルが見つかりません', box['text'])
        self.assertEqual('yes', box['owner'])
        self.assertEqual(0, viewer.close())

    def test_viewer_runs_with_its_manifest_and_its_dialogs_use_common_controls_6(self):
        handle, wine_log = tempfile.mkstemp(prefix='narvo-actctx-', suffix='.log')
        os.close(handle)
        self.addCleanup(os.remove, wine_log)
        viewer = self.run_viewer(wine_log=wine_log, env_extra={'NARVO_WINEDEBUG': 'err+all,+actctx'})
        viewer.command(ids.ID_VERSION_INFO)
        viewer.dialog(VERSION_CAPTION)
        _, said = viewer.wintool('process', 'NARVO TV Viewer')
        modules = [line[len('module '):].lower() for line in said.splitlines() if line.startswith('module ')]
        # The dialog's controls come from the side-by-side Common Controls 6, not the system folder's.
        controls = [m for m in modules if m.endswith('\\comctl32.dll')]
        self.assertTrue(controls, modules)
        self.assertTrue(all('\\winsxs\\' in m and 'microsoft.windows.common-controls' in m and '_6.0.' in m
                            for m in controls), controls)
        viewer.press(VERSION_CAPTION, IDOK)
        viewer.dialog_gone(VERSION_CAPTION)
        self.assertEqual(0, viewer.close())
        with open(wine_log, encoding='utf-8', errors='replace') as f:
            log = f.read()
        # Wine took the whole manifest, DPI awareness included (its own windows
        # report per-monitor awareness with or without one, so the log tells).
        self.assertNotIn('failed to parse manifest', log)
        self.assertRegex(log, r'name=L"NarvoTV\.Viewer" version=1\.\d+\.\d+\.0 arch=L"amd64"')
        self.assertIn('got L"dpiAwareness" L"PerMonitorV2, PerMonitor"', log)

    def test_help_command_opens_the_help_window(self):
        viewer = self.run_viewer()
        viewer.command(ids.ID_HELP_CONTENTS)
        # The window takes its title from the help file.
        wait_for(lambda: viewer.info('NarvoTV ヘルプ'), 'the help window')
        self.assertEqual(0, viewer.close())


if __name__ == '__main__':
    unittest.main()

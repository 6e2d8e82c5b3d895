#!/usr/bin/env python3
"""Writes one portable package of NarvoTV and its symbols (tools/package calls it).
The package's binaries carry no debug information; it goes to SYMBOLS, one
.debug file per binary, each binary linked to its file by a debug link.
The zips are reproducible: entries in a fixed order, each dated
SOURCE_DATE_EPOCH (the commit's time; tools/package sets it), with fixed
permissions.
Usage: package-zip.py SOURCE BUILD ARCH VERSION ZIP SYMBOLS"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

OBJCOPY = {'x64': 'x86_64-w64-mingw32-objcopy', 'x86': 'i686-w64-mingw32-objcopy'}

# Beside the executable when the build made them; the viewer runs without them.
COMPANIONS = ['RADO_DU.DLL', 'NarvoTV.chm']

README = """NarvoTV {version} ({arch})

NarvoTV は、アナログ TV キャプチャカード「Narvo TV」の映像を表示するビューアです。
インストールは要りません。このフォルダをそのまま好きな場所に置いてください。

■ 起動
  NarvoTV.exe をダブルクリックします。カードが見つかると映像が表示されます。
  操作はすべて映像の上で右クリックして出るメニューから行います
  (チャンネル、入力切替、フォーマット、フレームレート、オーディオ、終了など)。
  映像を左ボタンでドラッグするとウィンドウが動きます。

■ 設定
  設定は NarvoTV.exe と同じフォルダの NarvoTV.ini に保存されます
  (終了時に書き込まれます)。書き込みのできるフォルダに置いてください。
  設定を初めに戻すには、終了してから NarvoTV.ini を削除します。

■ カードがないとき (シミュレーション)
  SimCard フォルダには、カードの代わりに試験用の映像を出すシミュレーション
  ドライバ SimTvCard.ax があります。管理者として register.cmd を実行すると
  登録され、unregister.cmd で登録を解除できます。本物のカードと同時に
  登録しないでください。

■ 同梱ファイル
  NarvoTV.exe      ビューア本体 (ほかのランタイムは不要です)
{companions}  README.txt       このファイル
  LICENSE.txt      NarvoTV の使用許諾 (MIT ライセンス)
  THIRD-PARTY-NOTICES.txt
                   実行ファイルに含まれるランタイムの著作権表示
  SimCard\\        シミュレーションドライバと登録用スクリプト
"""

COMPANION_LINES = {
    'RADO_DU.DLL': '  RADO_DU.DLL      ダイアログ (チャンネル設定、フレームレート、バージョン情報)\n',
    'NarvoTV.chm': '  NarvoTV.chm      ヘルプ\n',
}

# regsvr32 /s reports nothing itself; the script says what happened.
REGISTER = """@echo off
rem Registers the simulated capture card. Run as administrator.
regsvr32 /s "%~dp0SimTvCard.ax"
if errorlevel 1 (
  echo SimTvCard.ax を登録できませんでした。管理者として実行してください。
  exit /b 1
)
echo SimTvCard.ax を登録しました。
"""

UNREGISTER = """@echo off
rem Removes the simulated capture card's registration. Run as administrator.
regsvr32 /s /u "%~dp0SimTvCard.ax"
if errorlevel 1 (
  echo SimTvCard.ax の登録を解除できませんでした。削除できない登録情報が残っています。
  echo 管理者として実行してください。
  exit /b 1
)
echo SimTvCard.ax の登録を解除しました。
"""


def windows_text(text, encoding):
    return text.replace('\n', '\r\n').encode(encoding)


def read_text(source, name):
    with open(os.path.join(source, name), encoding='ascii') as text:
        return text.read()


def split_debug(objcopy, binary, work):
    """Returns the stripped copy of binary and its debug file, both in work."""
    name = os.path.basename(binary)
    debug = os.path.join(work, name + '.debug')
    stripped = os.path.join(work, name)
    subprocess.run([objcopy, '--only-keep-debug', binary, debug], check=True)
    # The symbol table goes too: it is most of what is left, and the debug file keeps it.
    # Made from inside work, the link names the file alone, as it lies beside the binary.
    subprocess.run([objcopy, '--strip-all', '--add-gnu-debuglink=' + os.path.basename(debug), os.path.abspath(binary), stripped],
                   check=True, cwd=work)
    return stripped, debug


def entry_date():
    """The one date of every entry: the commit's, not the build's."""
    seconds = int(os.environ.get('SOURCE_DATE_EPOCH', '0'))
    # Zip dates start in 1980 and hold even seconds only.
    seconds = max(seconds, 315532800)
    return time.gmtime(seconds)[:6]


def write_zip(zip_path, top, files, texts=()):
    stamp = entry_date()
    entries = [(name, open(path, 'rb').read()) for name, path in files] + list(texts)
    partial = zip_path + '.part'
    with zipfile.ZipFile(partial, 'w', zipfile.ZIP_DEFLATED) as archive:
        for name, data in sorted(entries):
            info = zipfile.ZipInfo(top + name, stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0
            info.external_attr = 0
            archive.writestr(info, data)
    os.replace(partial, zip_path)


def main():
    source, build, arch, version, zip_path, symbols_path = sys.argv[1:7]
    top = 'NarvoTV-%s-%s/' % (version, arch)
    bin_dir = os.path.join(build, 'bin')
    present = [name for name in COMPANIONS if os.path.isfile(os.path.join(bin_dir, name))]
    files = [('NarvoTV.exe', os.path.join(bin_dir, 'NarvoTV.exe'))]
    files += [(name, os.path.join(bin_dir, name)) for name in present]
    files.append(('SimCard/SimTvCard.ax', os.path.join(build, 'simcard', 'SimTvCard.ax')))
    readme = README.format(version=version, arch=arch,
                           companions=''.join(COMPANION_LINES[name] for name in present))
    texts = [
        # UTF-8 with a byte order mark: Notepad reads it so on every version.
        ('README.txt', b'\xef\xbb\xbf' + windows_text(readme, 'utf-8')),
        # cmd reads scripts in the system's code page.
        ('SimCard/register.cmd', windows_text(REGISTER, 'cp932')),
        ('SimCard/unregister.cmd', windows_text(UNREGISTER, 'cp932')),
        ('LICENSE.txt', windows_text(read_text(source, 'LICENSE'), 'ascii')),
        ('THIRD-PARTY-NOTICES.txt', windows_text(read_text(source, 'THIRD-PARTY-NOTICES.txt'), 'ascii')),
    ]
    work = tempfile.mkdtemp(prefix='narvo-strip-')
    try:
        shipped, debug_files = [], []
        for name, path in files:
            if not name.lower().endswith(('.exe', '.dll', '.ax')):
                shipped.append((name, path))
                continue
            stripped, debug = split_debug(OBJCOPY[arch], path, work)
            shipped.append((name, stripped))
            debug_files.append((os.path.basename(debug), debug))
        write_zip(zip_path, top, shipped, texts)
        write_zip(symbols_path, 'NarvoTV-%s-%s-symbols/' % (version, arch), debug_files)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    main()

#!/usr/bin/python3
"""The built page in headless Chromium, used as a person would, with every host but 127.0.0.1
unreachable: page_test.py SITE LZC [SCREENSHOT]. Its downloads are compared with lzc's bytes."""
import functools
import http.server
import pathlib
import random
import subprocess
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select

site, lzc = pathlib.Path(sys.argv[1]).resolve(), pathlib.Path(sys.argv[2]).resolve()
work = pathlib.Path(tempfile.mkdtemp())
downloads = work / 'downloads'
downloads.mkdir()
requested = []


class Files(http.server.SimpleHTTPRequestHandler):
    def log_message(self, format, *args):
        requested.append(self.path)


server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Files, directory=site))
threading.Thread(target=server.serve_forever, daemon=True).start()
options = webdriver.ChromeOptions()
options.binary_location = '/usr/bin/chromium'
# As root (CI) Chromium runs only without its sandbox; a container's /dev/shm is often small.
for argument in ('--headless=new', '--no-sandbox', '--disable-dev-shm-usage', '--no-proxy-server',
                 '--window-size=560,480', '--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE 127.0.0.1'):
    options.add_argument(argument)
options.add_experimental_option('prefs', {'intl.accept_languages': 'en'})
options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
driver.execute_cdp_cmd('Browser.setDownloadBehavior',
                       {'behavior': 'allow', 'downloadPath': str(downloads)})


def lzc_output(*arguments):
    return subprocess.run([lzc, *arguments], check=True, capture_output=True).stdout


def press(control, picked=None, quality=None):
    """Picks a file, chooses a quality and presses a button; returns the message and the
    downloads, as (name, bytes), taken out of the folder."""
    driver.find_element(By.ID, 'picker').send_keys(str(picked))
    if quality:
        Select(driver.find_element(By.ID, 'cboQuality')).select_by_visible_text(quality)
    driver.find_element(By.ID, control).click()
    for _ in range(600):  # a hang, not speed, ends this wait
        message = driver.find_element(By.ID, 'message').text
        new = [path for path in downloads.iterdir() if path.suffix != '.crdownload']
        if message and (new or 'error' in message):
            taken = [(path.name, path.read_bytes()) for path in new]
            for path in new:
                path.unlink()
            return message, taken
        time.sleep(0.1)
    raise AssertionError(f'{control}: no outcome')


def check(actual, expected):
    if actual != expected:
        driver.quit()
        sys.exit(f'page_test: {actual!r:.300}, expected {expected!r:.300}')


# "Poor" matters: the block recurs 3000 bytes later, beyond its window of 2048.
block = random.Random(7).randbytes(3000)
source = work / 'notes.txt'
source.write_bytes(b'Vellicor ' * 20 + block + block)
expected = lzc_output('-w', '2048', '-c', source)
check(expected != lzc_output('-c', source), True)
(work / 'bad.lzc').write_bytes(bytes([0x00, 0x01, 0x00, 0x01]))
listing = subprocess.run([lzc, '-l', '-'], input=expected, check=True, capture_output=True)
ratio = listing.stdout.split()[-2]

driver.get(f'http://127.0.0.1:{server.server_port}/index.html')
driver.find_element(By.ID, 'txtFile').click()
order = []
for _ in range(4):
    driver.switch_to.active_element.send_keys(Keys.TAB)
    order.append(driver.switch_to.active_element.get_attribute('id'))
check(order, ['cmdFile', 'cmdComp', 'cmdDecomp', 'cboQuality'])
message, downloaded = press('cmdComp', source, 'Poor')
check(downloaded, [('notes.txt.lzc', expected)])
check(message.splitlines()[0], 'Compressed Size: ' + ratio.decode())
if len(sys.argv) > 3:
    driver.save_screenshot(sys.argv[3])
# The last four characters go, whatever they are (a browser would drop a name's final dot).
compressed = work / 'notes.txt_lzc'
compressed.write_bytes(expected)
message, downloaded = press('cmdDecomp', compressed)
check((downloaded, message.splitlines()[0]),
      ([('notes.txt', source.read_bytes())], 'Successfully decompressed'))
message, _ = press('cmdDecomp', work / 'bad.lzc')
check(message.splitlines(), ['An error has occured during (de)compression',
                             'This is not a valid .lzc stream.', 'bad.lzc'])

# German from the browser's language; and the page opened as a file works the same.
agent = driver.execute_script('return navigator.userAgent')
driver.execute_cdp_cmd('Emulation.setUserAgentOverride', {'userAgent': agent, 'acceptLanguage': 'de'})
driver.refresh()
check(driver.find_element(By.ID, 'cmdComp').text, 'komprimieren')
driver.get((site / 'index.html').as_uri())
message, downloaded = press('cmdComp', source, 'Schwach')
check(downloaded, [('notes.txt.lzc', expected)])

check({path.split('?')[0] for path in requested} - {'/' + path.name for path in site.iterdir()}, set())
check([entry['message'] for entry in driver.get_log('browser') if entry['level'] == 'SEVERE'], [])
check(sum(path.stat().st_size for path in site.iterdir()) < 400 * 1024, True)
driver.quit()
print('page: "Poor" gave lzc -w 2048, restored, a bad stream refused, German, from file://')

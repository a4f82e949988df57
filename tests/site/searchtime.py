"""Chromium for the site's pages, and the time from the last key typed into the search box to
the results on screen, as a reader waits for them. Used by browser.py on the hand-made family
and by bench/search.py on a site of 300,000 people."""

import shutil
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

# Kept in the page before typing: the time of each key as the browser took it, and the first
# frame drawn after the list holds links for the whole text typed. A message posted from the
# frame's callback runs once that frame is painted.
WATCH = """
var box = document.getElementById("search"), list = document.getElementById("search-results");
window.searchTimes = {key: 0, shown: 0, wanted: arguments[0]};
box.addEventListener("keydown", function (e) {
    searchTimes.key = e.timeStamp; searchTimes.shown = 0;
}, true);
var after = new MessageChannel();
after.port1.onmessage = function (m) {
    if (!searchTimes.shown && box.value === searchTimes.wanted)
        searchTimes.shown = performance.now();
};
new MutationObserver(function () {
    if (box.value === searchTimes.wanted && list.querySelector("a"))
        requestAnimationFrame(function () { after.port2.postMessage(0); });
}).observe(list, {childList: true});
"""


def start_chromium(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium") or "/usr/bin/chromium"
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                 "--no-first-run", "--disable-background-networking", "--disable-sync",
                 "--disable-component-update", "--window-size=1024,768",
                 "--user-data-dir=" + profile):
        options.add_argument(flag)
    driver = shutil.which("chromedriver") or "/usr/bin/chromedriver"
    return webdriver.Chrome(service=Service(driver), options=options)


# Seconds between keys of a quick typist. From the second key the page fetches the data of the
# first two letters; at the pace of selenium (no pause) the last key comes before it is in.
TYPIST = 0.15


def search_time(driver, typed, pause=0.0, timeout=20):
    """Milliseconds from the last key of `typed` to the first frame showing its results, and
    the names shown, on the page the driver is on; `pause` seconds between keys."""
    driver.execute_script(WATCH, typed)
    box = driver.find_element(By.CSS_SELECTOR, 'input[type="search"]')
    box.clear()
    if pause:
        for key in typed:
            box.send_keys(key)
            time.sleep(pause)
    else:
        box.send_keys(typed)
    times = WebDriverWait(driver, timeout).until(
        lambda d: d.execute_script("return searchTimes.shown ? searchTimes : null"))
    # At once: the list is made again when a smaller data file comes in.
    names = driver.execute_script(
        "return Array.from(document.querySelectorAll('#search-results a'), a => a.textContent)")
    return times["shown"] - times["key"], names

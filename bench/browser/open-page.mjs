// What page-load.mjs and page-profile.mjs share: the page named on the command line, opened in the
// system's Chromium, headless, with a profile of its own, as a visitor opens it.
import {mkdtempSync, rmSync} from "node:fs";
import {tmpdir} from "node:os";
import {join, resolve} from "node:path";
import puppeteer from "puppeteer-core";

export const page = resolve(process.argv[2]);

// Runs measure on a 1280 by 900 tab of a browser of its own, and closes it and its profile after.
export async function inChromium(measure) {
  const profile = mkdtempSync(join(tmpdir(), "reelkeep-page-"));
  const browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    headless: true,
    // A page of many films may take minutes over one step before it is quick.
    protocolTimeout: 1800000,
    userDataDir: profile,
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
           "--disable-component-update", "--disable-sync"],
  });
  try {
    const tab = await browser.newPage();
    await tab.setViewport({width: 1280, height: 900});
    return await measure(tab);
  } finally {
    await browser.close();
    rmSync(profile, {recursive: true, force: true});
  }
}

// Opens the page and returns, once it has loaded, the milliseconds from the start of the navigation
// until the first film was on the screen and until the search field showed. A film counts as shown
// in the first frame that lays it out inside the window: the check runs before each frame.
export async function openPage(tab) {
  await tab.evaluateOnNewDocument(() => {
    const check = () => {
      const film = document.querySelector("article");
      const box = film?.getBoundingClientRect();
      if (box && box.height > 0 && box.top < innerHeight) window.firstFilmShownAt = performance.now();
      else requestAnimationFrame(check);
    };
    requestAnimationFrame(check);
  });
  const start = Date.now();
  const loading = tab.goto(`file://${page}`, {waitUntil: "load", timeout: 600000});
  await tab.waitForSelector("#search", {visible: true, timeout: 600000});
  const searchShown = Date.now() - start;
  await loading;
  await tab.waitForFunction(() => window.firstFilmShownAt !== undefined, {timeout: 600000});
  const firstFilmShown = await tab.evaluate(() => window.firstFilmShownAt);
  return {firstFilmShown: Math.round(firstFilmShown), searchShown};
}

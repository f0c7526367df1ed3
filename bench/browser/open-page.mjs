// What page-load.mjs and page-profile.mjs share: the page named on the command line, opened in the
// system's Chromium, headless, with a profile of its own, as a visitor opens it.
import {mkdtempSync, rmSync} from "node:fs";
import {tmpdir} from "node:os";
import {join, resolve} from "node:path";
import puppeteer from "puppeteer-core";

export const page = resolve(process.argv[2]);
export const word = process.argv[3] ?? "storm";

// Runs measure on a 1280 by 900 tab of a browser of its own, and closes it and its profile after.
export async function inChromium(measure) {
  const profile = mkdtempSync(join(tmpdir(), "reelkeep-page-"));
  const browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    headless: true,
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

// Opens the page and types the word into its search field as soon as the field shows; returns,
// once the page has loaded, the milliseconds until the field showed and until the films were
// filtered.
export async function openAndSearch(tab) {
  const start = Date.now();
  const loading = tab.goto(`file://${page}`, {waitUntil: "load", timeout: 600000});
  await tab.waitForSelector("#search", {visible: true, timeout: 600000});
  const searchShown = Date.now() - start;
  await tab.type("#search", word);
  await tab.waitForFunction(() => document.getElementById("shown").textContent.includes(" of "),
                            {timeout: 600000, polling: 10});
  const searchUsable = Date.now() - start;
  await loading;
  return {searchShown, searchUsable};
}

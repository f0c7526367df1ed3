// Opens a page made by the default templates in headless Chromium and measures what a visitor
// waits for: from the start of the navigation until the search field is shown, and until a word
// typed into it at once has filtered the films; then one more search and one sort on the page.
//   node page-load.mjs PAGE.html [WORD]
// Prints one JSON object of milliseconds.
import {mkdtempSync, rmSync} from "node:fs";
import {tmpdir} from "node:os";
import {join, resolve} from "node:path";
import puppeteer from "puppeteer-core";

const page = resolve(process.argv[2]);
const word = process.argv[3] ?? "storm";
const profile = mkdtempSync(join(tmpdir(), "reelkeep-page-load-"));
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
  const filtered = () => document.getElementById("shown").textContent.includes(" of ");
  const start = Date.now();
  const loading = tab.goto(`file://${page}`, {waitUntil: "load", timeout: 600000});
  await tab.waitForSelector("#search", {visible: true, timeout: 600000});
  const searchShown = Date.now() - start;
  await tab.type("#search", word);
  await tab.waitForFunction(filtered, {timeout: 600000, polling: 10});
  const searchUsable = Date.now() - start;
  await loading;
  const timing = await tab.evaluate(() => performance.getEntriesByType("navigation").at(0).toJSON());
  const timed = async (action) => {
    const before = Date.now();
    await action();
    return Date.now() - before;
  };
  const secondSearch = await timed(async () => {
    await tab.evaluate(() => {
      const search = document.getElementById("search");
      search.value = "winter silver";
      search.dispatchEvent(new Event("input"));
    });
    await tab.waitForFunction(() => location.hash.includes("silver"), {polling: 5});
  });
  const sortByRelease = await timed(async () => {
    await tab.select("#sort", "release");
    await tab.waitForFunction(() => location.hash.includes("release"), {polling: 5});
  });
  console.log(JSON.stringify({
    search_shown_ms: searchShown,
    search_usable_ms: searchUsable,
    dom_content_loaded_ms: Math.round(timing.domContentLoadedEventEnd),
    load_ms: Math.round(timing.loadEventEnd),
    second_search_ms: secondSearch,
    sort_by_release_ms: sortByRelease,
  }));
} finally {
  await browser.close();
  rmSync(profile, {recursive: true, force: true});
}

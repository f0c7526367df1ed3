// The default page as tools and visitors that nobody on this project wrote see it, in Chromium
// driven by puppeteer-core: axe-core's serious and critical violations at a phone's and a
// desktop's width, light and dark; a focused control never under the sticky bar, tabbing either
// way; no sideways scrolling and no value cut off inside a card, whatever the length of a word.
//   node check-page.mjs MODULES SMALL.html MANY.html HOSTILE.html EXTRA.html
// MODULES is the folder whose node_modules holds puppeteer-core and axe-core. Prints one JSON
// list of checks, each with its name and its faults (none when it passed).
import {mkdtempSync, rmSync} from "node:fs";
import {createRequire} from "node:module";
import {tmpdir} from "node:os";
import {join} from "node:path";

const [modules, small, many, hostile, extra] = process.argv.slice(2);
const require = createRequire(join(modules, "node_modules", "noop.js"));
const puppeteer = require("puppeteer-core");
const axeSource = require.resolve("axe-core/axe.min.js");

const Widths = [360, 390, 1280];
const Schemes = ["light", "dark"];

// Opens a page at a width and colour scheme and waits until its script has made it ready.
async function open(browser, page, width, scheme) {
  const tab = await browser.newPage();
  await tab.setViewport({width, height: 800});
  await tab.emulateMediaFeatures([{name: "prefers-color-scheme", value: scheme}]);
  await tab.goto(`file://${page}`, {waitUntil: "load"});
  await tab.waitForFunction(() => !document.getElementById("finder")?.hidden, {timeout: 60000});
  await tab.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve))));
  return tab;
}

// axe-core's violations that it rates serious or critical, one fault for each rule.
async function axeFaults(tab) {
  await tab.addScriptTag({path: axeSource});
  const violations = await tab.evaluate(async () => (await window.axe.run(document, {resultTypes: ["violations"]})).violations
    .map(({id, impact, nodes}) => ({id, impact, targets: nodes.slice(0, 3).map((node) => node.target.join(" "))})));
  return violations.filter((v) => v.impact === "serious" || v.impact === "critical")
    .map((v) => `${v.id} (${v.impact}): ${v.targets.join(", ")}`);
}

// Tabs `steps` times in one direction from the start or the end of the page; a fault for each
// control that gets focus under the sticky bar or outside the window.
async function focusFaults(tab, backwards, steps) {
  await tab.evaluate((backwards) => {
    document.activeElement?.blur();
    scrollTo(0, backwards ? document.documentElement.scrollHeight : 0);
  }, backwards);
  const faults = [];
  for (let step = 1; step <= steps; step += 1) {
    if (backwards) await tab.keyboard.down("Shift");
    await tab.keyboard.press("Tab");
    if (backwards) await tab.keyboard.up("Shift");
    const fault = await tab.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => setTimeout(() => {
      const focused = document.activeElement;
      if (!focused || focused === document.body) return resolve(null);
      const box = focused.getBoundingClientRect();
      const bar = document.getElementById("finder");
      const barBox = bar.getBoundingClientRect();
      const name = `${focused.localName}${focused.id ? "#" + focused.id : ""} "${focused.textContent.trim().slice(0, 30)}"`;
      if (!bar.contains(focused) && box.top < barBox.bottom && box.bottom > barBox.top && getComputedStyle(bar).position === "sticky")
        return resolve(`${name} is under the sticky bar (${Math.round(box.top)} < ${Math.round(barBox.bottom)})`);
      if (box.bottom > innerHeight || box.top < 0) return resolve(`${name} is outside the window (${Math.round(box.top)})`);
      resolve(null);
    }))));
    if (fault) faults.push(`step ${step}: ${fault}`);
  }
  return faults;
}

// Sideways scrolling, and values a card cuts off instead of wrapping.
async function overflowFaults(tab) {
  return tab.evaluate(() => {
    const faults = [];
    const page = document.documentElement;
    if (page.scrollWidth > page.clientWidth) faults.push(`the page is ${page.scrollWidth} pixels wide in ${page.clientWidth}`);
    // On a phone the choices scroll sideways in their row, each no wider than the row.
    const row = document.querySelector(".facets")?.getBoundingClientRect();
    for (const element of document.querySelectorAll(".film *, .facets label, .facets label *, header *")) {
      if (element.offsetParent === null) continue;
      const box = element.getBoundingClientRect();
      const card = element.localName === "label" ? row : element.closest(".film, .facets label, header").getBoundingClientRect();
      if (element.localName === "label" ? box.width > card.width + 1 : box.right > card.right + 1 || box.left < card.left - 1)
        faults.push(`${element.localName}.${element.className} "${element.textContent.slice(0, 20)}" reaches past its box`);
    }
    return faults.slice(0, 5);
  });
}

const checks = [];
const profile = mkdtempSync(join(tmpdir(), "reelkeep-check-page-"));
const browser = await puppeteer.launch({
  executablePath: "/usr/bin/chromium",
  headless: true,
  userDataDir: profile,
  args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
         "--disable-component-update", "--disable-sync"],
});
try {
  for (const [name, page] of [["small page", small], ["hostile fields", hostile], ["extra fields", extra]]) {
    for (const width of [390, 1280]) {
      for (const scheme of Schemes) {
        const tab = await open(browser, page, width, scheme);
        checks.push({name: `axe-core, ${name}, ${width} px, ${scheme}`, faults: await axeFaults(tab)});
        await tab.close();
      }
    }
  }
  for (const width of [390, 1280]) {
    const tab = await open(browser, many, width, "light");
    checks.push({name: `focus not under the bar, tabbing backwards, ${width} px`, faults: await focusFaults(tab, true, 30)});
    checks.push({name: `focus not under the bar, tabbing forwards, ${width} px`, faults: await focusFaults(tab, false, 30)});
    await tab.close();
  }
  for (const width of Widths) {
    const tab = await open(browser, hostile, width, "light");
    checks.push({name: `no sideways scrolling, long words wrap, ${width} px`, faults: await overflowFaults(tab)});
    await tab.close();
  }
} finally {
  await browser.close();
  rmSync(profile, {recursive: true, force: true});
}
console.log(JSON.stringify(checks));

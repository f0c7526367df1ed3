// Opens a page made by the default templates in headless Chromium and measures what a visitor
// waits for: from the start of the navigation until the search field is shown, and until a word
// typed into it at once has filtered the films; then one more search and one sort on the page.
//   node page-load.mjs PAGE.html [WORD]
// Prints one JSON object of milliseconds.
import {inChromium, openAndSearch} from "./open-page.mjs";

await inChromium(async (tab) => {
  const {searchShown, searchUsable} = await openAndSearch(tab);
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
});

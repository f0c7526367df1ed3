// Opens a page made by the default templates in headless Chromium and measures what a visitor
// waits for: from the start of the navigation until the first film is on the screen, the search
// field shows, DOMContentLoaded and load; then, once the page is quiet, how long each input takes
// until its result is on the screen (every keystroke of a search typed letter by letter, clearing
// it, sorts, genre and type choices, "Show more" where the page has it), and the main thread's
// work for each frame while the page scrolls.
//   node page-load.mjs PAGE.html
// Prints one JSON object of milliseconds.
import {inChromium, openPage} from "./open-page.mjs";

const median = (values) => {
  const sorted = values.slice().sort((a, b) => a - b);
  return sorted.length === 0 ? null : sorted.at(Math.floor((sorted.length - 1) / 2));
};
const rounded = (value) => (value === null ? null : Math.round(value * 10) / 10);

// Waits until the main thread has had nothing to do for two idle periods in a row, or for three
// seconds: after some clicks Chromium runs no idle callback at all, however idle the page.
async function quiet(tab) {
  await tab.evaluate(async () => {
    const until = performance.now() + 3000;
    const idle = () => new Promise((resolve) => {
      requestIdleCallback((deadline) => resolve(deadline.timeRemaining()));
      setTimeout(() => resolve(0), until - performance.now());
    });
    for (let calm = 0; calm < 2 && performance.now() < until;) calm = (await idle()) >= 45 ? calm + 1 : 0;
  });
}

// The time from an input until the frame that shows its result has been made, taken after that
// frame's rendering. The page tells that its films have changed with the event "filmsshown" on
// #films; a page without it kept its state in the address as soon as the result was in the page,
// and a check before every frame looks for it there. Either way the time may include one frame
// more than the page took: the frame that showed a result made in a frame's callbacks.
async function timed(tab, key, value, input) {
  await tab.evaluate((key, value) => {
    window.inputAt = undefined;
    let finished = false;
    window.result = new Promise((resolve) => {
      const finish = () => ((finished = true), resolve(performance.now() - window.inputAt));
      document.getElementById("films").addEventListener("filmsshown", () => requestAnimationFrame(() => setTimeout(finish)), {once: true});
      const done = () => window.inputAt !== undefined && (new URLSearchParams(location.hash.slice(1)).get(key) ?? "") === value;
      const check = () => (finished ? null : done() ? setTimeout(finish) : requestAnimationFrame(check));
      requestAnimationFrame(check);
    });
  }, key, value);
  await input();
  return tab.evaluate(() => window.result);
}

async function clickChoice(tab, name, value) {
  const label = await tab.evaluateHandle((name, value) => document.querySelector(`input[name="${name}"][value="${value}"]`).closest("label"), name, value);
  // Puppeteer's click of an element now and then never returns after a few choices; a click of the
  // mouse at the label's middle is what a visitor does anyway.
  await label.evaluate((element) => element.scrollIntoView({block: "nearest"}));
  const box = await label.boundingBox();
  await tab.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
}

await inChromium(async (tab) => {
  const {firstFilmShown, searchShown} = await openPage(tab);
  const timing = await tab.evaluate(() => performance.getEntriesByType("navigation").at(0).toJSON());
  // An input starts at its first event: a key's keydown, a click's click (when the button is
  // released), a choice's input.
  await tab.evaluate(() => {
    for (const type of ["keydown", "click", "input", "change"])
      document.addEventListener(type, (event) => (window.inputAt ??= event.timeStamp), true);
  });
  await quiet(tab);

  const keystrokes = [];
  await tab.focus("#search");
  let typed = "";
  for (const letter of "winter silver") {
    typed += letter;
    keystrokes.push(await timed(tab, "search", typed.trim() === "" ? "" : typed, () => tab.keyboard.press(letter === " " ? "Space" : letter)));
  }
  const clearSearch = await timed(tab, "search", "", async () => {
    await tab.evaluate(() => document.getElementById("search").select());
    await tab.keyboard.press("Backspace");
  });
  // Each sort and choice follows a pause, as a visitor looks at the films before choosing again:
  // what the page leaves for a pause (the address) is not counted in the next input.
  // The sorts by extra fields, and their yes/no choices, where the page has them.
  const extraOrders = await tab.evaluate(() => Array.from(document.getElementById("sort").options).filter((option) => option.dataset.order).map((option) => option.value));
  const extraChoices = await tab.evaluate(() => Array.from(document.querySelectorAll("#facets input"), (input) => input.name).filter((name, i, names) => name !== "genre" && name !== "type" && names.indexOf(name) === i));
  const sorts = {};
  for (const order of ["release", "genre", "time", ...extraOrders, "title"]) {
    await quiet(tab);
    sorts[order] = await timed(tab, "sort", order === "title" ? "" : order, () => tab.select("#sort", order));
  }
  const filters = {};
  const choices = [["genre", "genre", "Drama"], ["type", "type", "DVD"], ["genre_all", "genre", ""], ["type_all", "type", ""]];
  for (const name of extraChoices) choices.push([name, name, "yes"], [`${name}_all`, name, ""]);
  for (const [name, facet, value] of choices) {
    await quiet(tab);
    filters[name] = await timed(tab, facet, value, () => clickChoice(tab, facet, value));
  }
  await quiet(tab);

  // "Show more", where the page has it: the time until the film after the last one shown is laid
  // out. (The page may let go of as many films before, so their number need not grow.)
  let showMore = null;
  if (await tab.$(".steps:not([hidden]) > #more")) {
    showMore = await tab.evaluate(async () => {
      const last = Array.from(document.querySelectorAll("#films > article:not([hidden])")).at(-1);
      const at = performance.now();
      document.getElementById("more").click();
      await new Promise((resolve) => {
        const shown = (film) => film?.localName === "article" && !film.hidden && film.offsetHeight > 0;
        const check = () => (shown(last.nextElementSibling) ? setTimeout(resolve) : requestAnimationFrame(check));
        requestAnimationFrame(check);
      });
      return performance.now() - at;
    });
    await quiet(tab);
  }

  // Each frame scrolls 120 pixels further; its work runs from the frame's start until after its
  // rendering.
  const frames = await tab.evaluate(async () => {
    scrollTo(0, 0);
    const work = new Array();
    for (let frame = 0; frame < 150; frame += 1) {
      const start = await new Promise((resolve) => requestAnimationFrame(() => {
        scrollBy(0, 120);
        resolve(performance.now());
      }));
      work.push(await new Promise((resolve) => setTimeout(() => resolve(performance.now() - start))));
    }
    return work;
  });

  const interactions = [...keystrokes, clearSearch, ...Object.values(sorts), ...Object.values(filters)];
  console.log(JSON.stringify({
    first_film_shown_ms: firstFilmShown,
    search_shown_ms: searchShown,
    dom_content_loaded_ms: Math.round(timing.domContentLoadedEventEnd),
    load_ms: Math.round(timing.loadEventEnd),
    search_keystroke_median_ms: rounded(median(keystrokes)),
    search_keystroke_max_ms: rounded(Math.max(...keystrokes)),
    clear_search_ms: rounded(clearSearch),
    sort_max_ms: rounded(Math.max(...Object.values(sorts))),
    sort_ms: Object.fromEntries(Object.entries(sorts).map(([order, ms]) => [order, rounded(ms)])),
    filter_max_ms: rounded(Math.max(...Object.values(filters))),
    filter_ms: Object.fromEntries(Object.entries(filters).map(([choice, ms]) => [choice, rounded(ms)])),
    show_more_ms: rounded(showMore),
    slowest_input_ms: rounded(Math.max(...interactions)),
    scroll_frame_median_ms: rounded(median(frames)),
    scroll_frame_max_ms: rounded(Math.max(...frames)),
    scroll_frames_over_50_ms: frames.filter((ms) => ms > 50).length,
  }));
});

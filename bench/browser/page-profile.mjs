// Where the time goes while a page made by the default templates opens, as page-load.mjs opens it:
// the browser's trace of the page's main thread, summed by kind of work before DOMContentLoaded,
// in its handler, and in the 1.5 s after.
//   node page-profile.mjs PAGE.html
// Prints one JSON object of milliseconds.
import {inChromium, openPage, page} from "./open-page.mjs";

// The trace's names for the kinds of work.
const kinds = new Map(Object.entries({
  ParseHTML: "parse", UpdateLayoutTree: "style", Layout: "layout", PrePaint: "paint", Paint: "paint",
  Layerize: "paint", IntersectionObserverController: "visibility", RunMicrotasks: "microtasks",
  TimerFire: "script", FunctionCall: "script", EventDispatch: "script", FireAnimationFrame: "script",
  EvaluateScript: "script", MajorGC: "gc", MinorGC: "gc",
}));
const kindOf = (name) => kinds.get(name.split("::").at(0));
await inChromium(async (tab) => {
  await tab.tracing.start({categories: ["devtools.timeline", "blink.user_timing", "v8.execute"]});
  await openPage(tab);
  const events = JSON.parse(Buffer.from(await tab.tracing.stop()).toString()).traceEvents;
  // The page's main thread is the one that parsed it; its DOMContentLoaded is the last there.
  const start = events.find((e) => e.name === "navigationStart" && e.args?.data?.documentLoaderURL === `file://${page}`);
  const ours = (e) => e.pid === start.pid && e.tid === start.tid;
  const loaded = events.filter((e) => ours(e) && e.name === "EventDispatch" && e.args?.data?.type === "DOMContentLoaded").at(-1);
  const thread = events.filter((e) => ours(e) && e.ph === "X" && e.dur !== undefined && kindOf(e.name));
  thread.sort((a, b) => a.ts - b.ts || b.dur - a.dur);
  const after = loaded.ts + loaded.dur;
  const phases = {before_dom_content_loaded: {}, dom_content_loaded_handler: {}, next_1500_ms: {}};
  const phaseOf = (e) => (e.ts < loaded.ts ? phases.before_dom_content_loaded : e.ts < after ? phases.dom_content_loaded_handler
    : e.ts < after + 1500000 ? phases.next_1500_ms : null);
  const add = (e, ms) => {
    const phase = phaseOf(e);
    if (phase) phase[kindOf(e.name)] = (phase[kindOf(e.name)] ?? 0) + ms;
  };
  // Each event's own time, without that of the events inside it.
  const open = new Array();
  for (const e of thread) {
    while (open.length && open.at(-1).ts + open.at(-1).dur <= e.ts) open.pop();
    if (open.length) add(open.at(-1), -e.dur / 1000);
    add(e, e.dur / 1000);
    open.push(e);
  }
  for (const phase of Object.values(phases)) for (const kind in phase) phase[kind] = Math.round(phase[kind]);
  console.log(JSON.stringify({dom_content_loaded_ms: Math.round((loaded.ts - start.ts) / 1000), ...phases}));
});

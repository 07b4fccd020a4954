// YEX's module off the page's thread: curves, averages and cross sections,
// one request at a time, telling the page how many lines it has so far.
// The page holds the tables a user adds or builds; each request brings
// them, so this module computes on the same tables.
"use strict";
importScripts("yex.js");
const ready = createYexModule();

self.onmessage = async (event) => {
  const yex = await ready;
  const { id, kind, request, tables } = event.data;
  for (const t of yex.listTables()) if (!t.shipped) yex.removeTable(t.file);
  for (const t of tables) yex.addTable(t.file, t.bytes);
  request.onProgress = (lines) => self.postMessage({ id, lines });
  const run = kind === "curve" ? yex.curve : kind === "average" ? yex.average : yex.crossSection;
  const result = run(request);
  const transfer = (result.columns || []).map((c) => c.buffer);
  self.postMessage({ id, result }, transfer);
};

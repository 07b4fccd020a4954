// The page's shared state and its plain helpers: messages, the tables kept
// in this browser, the table list, downloads and a form's words and lines.
// Each of the page's scripts adds its functions to YexPage; they call one
// another through it once the module has started.
"use strict";

window.YexPage = (function () {
  const $ = (id) => document.getElementById(id);
  const STORE = "yex.tables";
  const page = {
    $,
    yex: null, // the module, once started
    current: null, // file name of the table on screen
    overlays: [], // further tables drawn on the chart: {file, name, ops}
    formulaShown: null, // the formula a table on screen was built from
    formulaShownFile: null, // and its file
    computed: null, // the request of the result on screen, as address keys
    computeStart: null, // when Compute was pressed, for the benchmark
    resultUrl: null, // the result's download, once made
    resultBytes: null, // the result's text where the page holds it
    resultJob: null, // the worker's job whose result is on screen (null: the page's module)
  };

  // A message in the page's log at the top and, when it concerns a form
  // (`near`, its id), also right below that form, scrolled into view and
  // announced there, so that it is seen where the user is.
  function say(text, kind, near) {
    const box = $("messages");
    const p = document.createElement("p");
    p.className = kind || "info";
    p.textContent = text;
    box.appendChild(p);
    while (box.children.length > 6) box.removeChild(box.firstChild);
    if (!near) return;
    const slot = inlineSlot(near);
    slot.className = "inline-message " + (kind || "info");
    slot.textContent = text;
    slot.hidden = false;
    slot.scrollIntoView({ block: "nearest" });
  }

  function inlineSlot(near) {
    let slot = $(near + "-message");
    if (!slot) {
      slot = document.createElement("p");
      slot.id = near + "-message";
      slot.setAttribute("role", "status");
      slot.setAttribute("aria-live", "polite");
      $(near).insertAdjacentElement("afterend", slot);
    }
    return slot;
  }

  // A section's own messages gone once what they were about succeeds.
  function unsay(section) {
    for (const slot of $(section).querySelectorAll(".inline-message")) slot.hidden = true;
  }

  // ---- tables kept in this browser

  function stored() {
    try {
      return JSON.parse(localStorage.getItem(STORE) || "{}");
    } catch (e) {
      return {};
    }
  }
  function store(file, bytes) {
    try {
      const all = stored();
      if (bytes === null) delete all[file];
      else all[file] = bytes;
      localStorage.setItem(STORE, JSON.stringify(all));
    } catch (e) {
      // Storage may be off (private windows, some file:// pages): the table
      // stays for this visit.
    }
  }

  function fillList(select) {
    const list = $("table-list");
    list.textContent = "";
    for (const t of page.yex.listTables()) {
      const o = document.createElement("option");
      o.value = t.file;
      o.textContent = t.shipped ? t.file : t.file + " (yours)";
      o.dataset.shipped = t.shipped ? "1" : "";
      list.appendChild(o);
    }
    if (select) list.value = select;
  }

  // ---- downloads and a form's text

  // The text's characters are the file's bytes (tables are read as such),
  // so a download gives back exactly the bytes that came in.
  function blobUrl(old, text, type) {
    if (old) URL.revokeObjectURL(old);
    if (text instanceof Uint8Array) return URL.createObjectURL(new Blob([text], { type: type }));
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i) & 0xff;
    return URL.createObjectURL(new Blob([bytes], { type: type }));
  }

  function download(name, url) {
    const a = document.createElement("a");
    a.href = url;
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
  }

  // A field's words (names, energies), split at spaces and commas.
  function words(text) {
    return text.split(/[\s,]+/).filter((w) => w);
  }

  // A box's lines (a compound's or a mixture's entries), blank ones left out.
  function lines(text) {
    return text
      .split(/\r?\n/)
      .map((l) => l.trim())
      .filter((l) => l);
  }

  return Object.assign(page, { say, inlineSlot, unsay, stored, store, fillList, blobUrl, download, words, lines });
})();

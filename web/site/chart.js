// The window's chart on a canvas, from the module's drawing operations,
// with further tables overlaid and a legend.
"use strict";

(function (page) {
  const $ = page.$;

  // The chart's drawing protocol (operation codes, their arguments, the
  // user scale, the curves' colours), from the module at start.
  let CHART = null;
  const CHART_MAX = 525;
  // The colours of further tables on the chart's navy ground, F solid and S
  // dashed; the first table keeps the window's red and yellow.
  const OVERLAY_COLOURS = ["#00e5ff", "#7cfc00", "#ff77ff", "#ffa500", "#ffffff", "#b0a0ff"];
  let chartShown = null; // the last drawing, to draw again at a new width

  function startChart() {
    CHART = page.yex.chartProtocol();
  }

  function colour(rgb) {
    return "#" + (rgb >>> 0).toString(16).padStart(6, "0");
  }

  // The window's chart at the width the page gives it (up to 525 pixels),
  // at the screen's resolution; the overlays' curves (their own drawing's
  // curve operations, recoloured) go in before the frame's masks, as the
  // window's own curves do.
  function drawChart(ops, texts) {
    chartShown = { ops, texts };
    const canvas = $("chart");
    const ratio = window.devicePixelRatio || 1;
    const room = canvas.parentElement.clientWidth || CHART_MAX;
    const CHART_PIXELS = Math.max(200, Math.min(CHART_MAX, Math.floor(room - 4)));
    // Text at the window's point sizes, scaled with the chart.
    const textScale = CHART_PIXELS / CHART_MAX;
    // A band above the chart for the top label's exponent, which rises
    // above the drawing's first row.
    const TOP = Math.ceil(12 * textScale);
    canvas.style.width = CHART_PIXELS + "px";
    canvas.style.height = CHART_PIXELS + TOP + "px";
    canvas.width = Math.round(CHART_PIXELS * ratio);
    canvas.height = Math.round((CHART_PIXELS + TOP) * ratio);
    const g = canvas.getContext("2d");
    g.setTransform(ratio, 0, 0, ratio, 0, TOP * ratio);
    g.lineCap = "square";
    const SCALE = CHART.scale, OP = CHART.ops;
    const px = (x, y) => [((x - SCALE.left) / SCALE.width) * CHART_PIXELS, ((y - SCALE.top) / SCALE.height) * CHART_PIXELS];
    const st = { width: 1, points: 12, fore: "#ffffff", x: 0, y: 0 };
    const font = () => (st.points * 96 * textScale) / 72 + 'px "Times New Roman", "Liberation Serif", Times, serif';
    const line = (x1, y1, x2, y2, rgb) => {
      const a = px(x1, y1), b = px(x2, y2);
      g.strokeStyle = colour(rgb);
      g.lineWidth = st.width;
      g.beginPath();
      g.moveTo(a[0], a[1]);
      g.lineTo(b[0], b[1]);
      g.stroke();
      st.x = x2;
      st.y = y2;
    };
    const rect = (x1, y1, x2, y2) => {
      const a = px(x1, y1), b = px(x2, y2);
      return [Math.min(a[0], b[0]), Math.min(a[1], b[1]), Math.abs(a[0] - b[0]), Math.abs(a[1] - b[1])];
    };
    let overlaid = false;
    const drawOverlays = () => {
      overlaid = true;
      page.overlays.forEach((o, k) => {
        const c = OVERLAY_COLOURS[k % OVERLAY_COLOURS.length];
        const saved = st.width;
        st.width = 2;
        for (let i = 0; i < o.ops.length; ) {
          const op = o.ops[i++];
          const n = CHART.arguments[op];
          if (op === OP.LineTo || op === OP.PSet) {
            const curve = o.ops[i + 2];
            if (curve === CHART.curves.F || curve === CHART.curves.S) {
              g.setLineDash(curve === CHART.curves.S ? [5, 4] : []);
              if (op === OP.LineTo) line(st.x, st.y, o.ops[i], o.ops[i + 1], parseInt(c.slice(1), 16));
              else {
                st.x = o.ops[i];
                st.y = o.ops[i + 1];
              }
            }
          }
          i += n;
        }
        g.setLineDash([]);
        st.width = saved;
      });
    };
    for (let i = 0; i < ops.length; ) {
      const op = ops[i++];
      if (op === OP.FilledBox && !overlaid) drawOverlays();
      switch (op) {
        case OP.Cls:
          g.fillStyle = colour(CHART.background);
          g.fillRect(0, -TOP, CHART_PIXELS, CHART_PIXELS + TOP);
          st.x = st.y = 0;
          break;
        case OP.DrawWidth:
          st.width = Math.max(1, ops[i++]);
          break;
        case OP.Line:
          line(ops[i], ops[i + 1], ops[i + 2], ops[i + 3], ops[i + 4]);
          i += 5;
          break;
        case OP.LineTo:
          line(st.x, st.y, ops[i], ops[i + 1], ops[i + 2]);
          i += 3;
          break;
        case OP.PSet: {
          const c = px(ops[i], ops[i + 1]);
          g.fillStyle = colour(ops[i + 2]);
          g.fillRect(c[0] - st.width / 2, c[1] - st.width / 2, st.width, st.width);
          st.x = ops[i];
          st.y = ops[i + 1];
          i += 3;
          break;
        }
        case OP.Box: {
          const r = rect(ops[i], ops[i + 1], ops[i + 2], ops[i + 3]);
          g.strokeStyle = colour(ops[i + 4]);
          g.lineWidth = st.width;
          g.strokeRect(r[0], r[1], r[2], r[3]);
          st.x = ops[i + 2];
          st.y = ops[i + 3];
          i += 5;
          break;
        }
        case OP.FilledBox: { // the fill covers its outline too
          const r = rect(ops[i], ops[i + 1], ops[i + 2], ops[i + 3]);
          const h = st.width / 2;
          g.fillStyle = colour(ops[i + 4]);
          g.fillRect(r[0] - h, r[1] - h, r[2] + 2 * h, r[3] + 2 * h);
          st.x = ops[i + 2];
          st.y = ops[i + 3];
          i += 5;
          break;
        }
        case OP.FontSize:
          st.points = ops[i++];
          break;
        case OP.ForeColor:
          st.fore = colour(ops[i++]);
          break;
        case OP.TextPos:
          st.x = ops[i];
          st.y = ops[i + 1];
          i += 2;
          break;
        case OP.Print: {
          const text = texts[ops[i]];
          const stay = ops[i + 1] === 1;
          i += 2;
          g.font = font();
          g.fillStyle = st.fore;
          g.textBaseline = "alphabetic";
          const m = g.measureText(text);
          const ascent = m.fontBoundingBoxAscent || st.points;
          const descent = m.fontBoundingBoxDescent || st.points / 4;
          const p = px(st.x, st.y);
          g.fillText(text, p[0], p[1] + ascent);
          if (stay) st.x += (m.width * SCALE.width) / CHART_PIXELS;
          else {
            st.x = SCALE.left;
            st.y += ((ascent + descent) * SCALE.height) / CHART_PIXELS;
          }
          break;
        }
        default:
          throw new Error("unknown drawing operation " + op);
      }
    }
  }

  // The chart's legend and description: the first table as the window
  // draws it, then each overlay's colour.
  function legend(name) {
    const list = $("chart-legend");
    list.textContent = "";
    const item = (text, colour, file) => {
      const li = document.createElement("li");
      const swatch = document.createElement("span");
      swatch.className = "swatch";
      swatch.style.background = colour;
      li.append(swatch, text);
      if (file) {
        const b = document.createElement("button");
        b.type = "button";
        b.textContent = "×";
        b.setAttribute("aria-label", "Take " + text + " off the chart");
        b.addEventListener("click", () => {
          page.overlays = page.overlays.filter((o) => o.file !== file);
          redraw();
          page.remember();
        });
        li.append(b);
      }
      list.appendChild(li);
    };
    item(name + ": F red, S yellow", "linear-gradient(90deg, #ff0000 50%, #ffff00 50%)");
    page.overlays.forEach((o, k) => item(o.name + ": F solid, S dashed", OVERLAY_COLOURS[k % OVERLAY_COLOURS.length], o.file));
    $("chart").setAttribute(
      "aria-label",
      "Log-log chart of F(x) in red and S(x) in yellow of " + name + (page.overlays.length ? ", with " + page.overlays.map((o) => o.name).join(", ") : "")
    );
  }

  function redraw() {
    if (!chartShown) return;
    drawChart(chartShown.ops, chartShown.texts);
    legend($("view-heading").textContent);
  }

  // Adds the tables named in `text` to the chart; false and a message when
  // one is not there.
  function overlay(names) {
    for (const typed of names) {
      const v = page.yex.tableView(typed);
      if (!v.ok) {
        page.say("Compare with: " + v.error, "error");
        return false;
      }
      if (v.file === page.current || page.overlays.some((o) => o.file === v.file)) continue;
      page.overlays.push({ file: v.file, name: v.name, ops: v.chart });
    }
    redraw();
    return true;
  }

  Object.assign(page, { drawChart, legend, redraw, overlay, startChart });
})(window.YexPage);

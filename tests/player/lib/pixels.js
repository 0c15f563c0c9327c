// Measures of a screenshot, or of a rectangle of it given in screenshot pixels.
import { decodePng } from "./png.js";

export { decodePng };

function* pixelsIn(image, area = { x: 0, y: 0, width: image.width, height: image.height }) {
  const x1 = Math.min(image.width, Math.round(area.x + area.width));
  const y1 = Math.min(image.height, Math.round(area.y + area.height));
  for (let y = Math.max(0, Math.round(area.y)); y < y1; y++) {
    for (let x = Math.max(0, Math.round(area.x)); x < x1; x++) yield image.pixel(x, y);
  }
}

const rgb = (key) => [key >> 16, (key >> 8) & 255, key & 255];
const clearlyApart = ([r, g, b], [r0, g0, b0]) => Math.abs(r - r0) + Math.abs(g - g0) + Math.abs(b - b0) > 60;

// How many colours, and which share of the pixels is not (nearly) black.
export function colourStats(image, area) {
  const colours = new Set();
  let lit = 0;
  let count = 0;
  for (const [r, g, b] of pixelsIn(image, area)) {
    colours.add((r << 16) | (g << 8) | b);
    if (r + g + b > 48) lit++;
    count++;
  }
  return { colours: colours.size, litShare: lit / count };
}

// The share of the area's pixels that differ clearly between two images of the same size.
export function differingShare(a, b, area) {
  const first = [...pixelsIn(a, area)];
  let differing = 0;
  let i = 0;
  for (const [r, g, bl] of pixelsIn(b, area)) {
    if (clearlyApart([r, g, bl], first[i++])) differing++;
  }
  return differing / first.length;
}

// The share of the area's pixels that differ clearly from its most common colour, its background:
// how much is drawn on it.
export function inkShare(image, area) {
  const counts = new Map();
  for (const [r, g, b] of pixelsIn(image, area)) {
    const key = (r << 16) | (g << 8) | b;
    counts.set(key, (counts.get(key) ?? 0) + 1);
  }
  const [background] = [...counts].reduce((best, entry) => (entry[1] > best[1] ? entry : best));
  let ink = 0;
  let count = 0;
  for (const [key, n] of counts) {
    if (clearlyApart(rgb(key), rgb(background))) ink += n;
    count += n;
  }
  return ink / count;
}

// Prints the CPU that the full-screen role costs in the emulator at 1024 x 768: the CPU time of
// the browser's processes over a stretch of wall time, as a percentage of one core, with music off
// and on, beside the same figure for an empty movie (what the emulator costs by itself). A
// benchmark: it asserts nothing.
//
//   VELLOMAR_BENCH_SECONDS   length of each measurement (15)
import { execFileSync } from "node:child_process";
import { readdirSync, readFileSync, statSync, writeFileSync } from "node:fs";
import { join } from "node:path";
import { moviePath, shotDir, startBrowser } from "../lib/browser.js";
import { floorMovie } from "./floor-movie.js";

const seconds = Number(process.env.VELLOMAR_BENCH_SECONDS ?? 15);
const ticksPerSecond = Number(execFileSync("getconf", ["CLK_TCK"]).toString());

// [pid, parent pid, user + system ticks] of every process.
function processTable() {
  const rows = [];
  for (const name of readdirSync("/proc")) {
    if (!/^\d+$/.test(name)) continue;
    try {
      const stat = readFileSync(`/proc/${name}/stat`, "latin1");
      // The fields after the command name, which is in parentheses and may hold blanks.
      const fields = stat.slice(stat.lastIndexOf(")") + 2).split(" ");
      rows.push([Number(name), Number(fields[1]), Number(fields[11]) + Number(fields[12])]);
    } catch {
      // The process ended while the table was read.
    }
  }
  return rows;
}

// CPU ticks used so far by the processes below this one: the browser and all its helpers.
function browserTicks() {
  const rows = processTable();
  const below = new Set([process.pid]);
  let ticks = 0;
  for (let grew = true; grew; ) {
    grew = false;
    for (const [pid, parent, used] of rows) {
      if (below.has(parent) && !below.has(pid)) {
        below.add(pid);
        ticks += used;
        grew = true;
      }
    }
  }
  return ticks;
}

async function corePercent(page, wallSeconds) {
  await page.waitForTimeout(3000); // past loading and the first frames
  const ticks = browserTicks();
  const start = process.hrtime.bigint();
  await page.waitForTimeout(wallSeconds * 1000);
  const wall = Number(process.hrtime.bigint() - start) / 1e9;
  return ((browserTicks() - ticks) / ticksPerSecond / wall) * 100;
}

// Percent of one core that the full-screen role of the movie `file` costs with each "music" value.
async function measure(file, musicValues) {
  const session = await startBrowser(file);
  try {
    const results = [];
    for (const music of musicValues) {
      const { page } = await session.open({ routine: "s", music, language: "2" });
      const { frameRate } = await page.evaluate(() => document.getElementById("stage").ruffle().metadata);
      results.push({ music, frameRate, percent: await corePercent(page, seconds) });
      await page.close();
    }
    return results;
  } finally {
    await session.close();
  }
}

const results = await measure(moviePath, ["0", "1"]);
const floorPath = join(shotDir, "floor.swf");
writeFileSync(floorPath, floorMovie(results[0].frameRate));
const [floor] = await measure(floorPath, ["0"]);
console.log(`movie ${moviePath}: ${statSync(moviePath).size} bytes, ${results[0].frameRate} frames/s`);
for (const { music, percent } of results) {
  console.log(`full screen 1024x768, music "${music}": ${percent.toFixed(1)} % of one core over ${seconds} s`);
}
console.log(`floor (an empty movie, same size and rate): ${floor.percent.toFixed(1)} % of one core`);

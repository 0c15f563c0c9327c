// Debian's Chromium, headless, showing one movie per page through the emulator on the Linux
// program's page, with the program's part played by the harness.
import { chromium } from "playwright-core";
import { existsSync, mkdirSync } from "node:fs";
import { dirname, join, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import { hostStandIn } from "./host.js";
import { emulatorDir, serve } from "./server.js";

const repo = resolve(dirname(fileURLToPath(import.meta.url)), "..", "..", "..");

// The movie under test: VELLOMAR_MOVIE, or the one the host build writes.
export const moviePath = process.env.VELLOMAR_MOVIE ?? join(repo, "build", "host", "vellomar.lak");
export const shotDir = join(repo, "build", "player");

// The view of each role, in CSS pixels: the page's stage fills it.
const roleSizes = { s: [1024, 768], p: [152, 112], c: [640, 480] };
// The movie control's design-time settings as each role's form hands them over: the same for
// all, with the right-click menu in the full screen only.
const controlSettings = (routine) => ({
  WMode: "Window", Quality: "High", AllowScriptAccess: "always", Scale: "ShowAll", Play: "true",
  Loop: "true", DeviceFont: "false", EmbedMovie: "false", Menu: routine === "s" ? "true" : "false",
});
const stageWidth = 640;
const stageHeight = 480;

export async function startBrowser(movie = moviePath) {
  if (!existsSync(movie)) throw new Error(`no movie at ${movie} (set VELLOMAR_MOVIE)`);
  if (!existsSync(join(emulatorDir, "ruffle.js"))) {
    throw new Error(`no emulator in ${emulatorDir} (run tools/player/setup.sh)`);
  }
  mkdirSync(shotDir, { recursive: true });
  const server = await serve(movie);
  // The emulator refuses to start under the C locale: it needs a preferred language.
  const browser = await chromium.launch({
    executablePath: "/usr/bin/chromium",
    env: { ...process.env, LANG: "en_US.UTF-8", LANGUAGE: "en_US:en" },
    args: ["--lang=en-US", "--disable-gpu", "--autoplay-policy=no-user-gesture-required"],
  });
  return {
    browser,
    async open(variables) {
      return openMovie(browser, server.url, variables);
    },
    async close() {
      await browser.close();
      await server.close();
    },
  };
}

// Opens the page in a view of the role's size and waits until it tells the host that the movie
// is drawn (or the emulator shows its error panel), then a second more.
// variables: { routine, music, mouse, language }, each optional.
async function openMovie(browser, baseUrl, variables) {
  const [width, height] = roleSizes[variables.routine] ?? roleSizes.s;
  // The page's policy admits only the program's scheme, which Chromium cannot serve, so it is set
  // aside here, and the route below refuses what the policy refuses: any other origin.
  const page = await browser.newPage({ viewport: { width, height }, locale: "en-US", bypassCSP: true });
  const problems = [];
  page.on("pageerror", (error) => problems.push(String(error)));
  const origin = new URL(baseUrl).origin;
  await page.route((url) => url.origin !== origin, (route) => {
    problems.push(`fetched outside the page's origin: ${route.request().url()}`);
    return route.abort("blockedbyclient");
  });
  await page.addInitScript(hostStandIn);
  const query = new URLSearchParams();
  for (const [name, value] of Object.entries(controlSettings(variables.routine))) {
    query.append(`s.${name}`, value);
  }
  for (const [name, value] of Object.entries(variables)) query.append(`v.${name}`, value);
  await page.goto(`${baseUrl}page.html?${query}`);
  await page.waitForFunction(() => {
    const panic = document.getElementById("stage")?.shadowRoot?.querySelector("#panic");
    return panic || window.posted.some(([kind]) => kind === "frame");
  });
  // A second for the first frames to be drawn.
  await page.waitForTimeout(1000);
  return {
    page,
    problems,
    // The emulator's error panel, or null when it shows none.
    async panic() {
      return page.evaluate(() => {
        return document.getElementById("stage").shadowRoot?.querySelector("#panic")?.innerText ?? null;
      });
    },
    async fsCommands() {
      return page.evaluate(() => window.fsCommands);
    },
    // Every message the page has posted to the host, in order.
    async posted() {
      return page.evaluate(() => window.posted);
    },
    // The command that arrives after the `seen` ones, as [command, args].
    async commandAfter(seen) {
      await page.waitForFunction((count) => window.fsCommands.length > count, seen, { timeout: 5000 });
      return page.evaluate((count) => window.fsCommands[count], seen);
    },
    // The loudest sample that the page plays over the next `ms` milliseconds, 0 for silence.
    async loudness(ms) {
      let peak = 0;
      for (const end = Date.now() + ms; Date.now() < end; await page.waitForTimeout(100)) {
        peak = Math.max(peak, await page.evaluate(() => window.audioLevel()));
      }
      return peak;
    },
    // Page pixel of a stage pixel, with the stage scaled to fit and centred (Scale "ShowAll").
    toPage(x, y) {
      const scale = Math.min(width / stageWidth, height / stageHeight);
      return [(width - stageWidth * scale) / 2 + x * scale, (height - stageHeight * scale) / 2 + y * scale];
    },
    // A stage rectangle in page pixels.
    area(x0, y0, x1, y1) {
      const [x, y] = this.toPage(x0, y0);
      const [right, bottom] = this.toPage(x1, y1);
      return { x, y, width: right - x, height: bottom - y };
    },
    async click(x, y) {
      const [px, py] = this.toPage(x, y);
      await page.mouse.click(px, py);
    },
    // Saves a screenshot (a name alone goes into build/player) and returns its PNG bytes.
    async screenshot(file) {
      return page.screenshot({ path: resolve(shotDir, file) });
    },
  };
}

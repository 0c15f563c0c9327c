// Each role of the movie, played by the emulator at its window's size, shows a picture: not the
// emulator's error panel, not an empty stage; the full-screen one sounds only when "music" is "1".
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { startBrowser } from "../lib/browser.js";
import { colourStats, decodePng, differingShare, inkShare } from "../lib/pixels.js";

let session;
before(async () => {
  session = await startBrowser();
});
after(() => session?.close());

async function drawnRole(variables, shot) {
  const movie = await session.open(variables);
  assert.equal(await movie.panic(), null, "the emulator shows its error panel");
  assert.deepEqual(movie.problems, []);
  const image = decodePng(await movie.screenshot(shot));
  return { movie, image };
}

function assertFullScreenPicture(image) {
  const stats = colourStats(image);
  assert.ok(stats.colours >= 16, `only ${stats.colours} colours`);
  assert.ok(stats.litShare >= 0.05, `only ${(stats.litShare * 100).toFixed(2)} % of the screen lit`);
}

test("the full-screen picture is drawn, moves, and is silent with \"music\" 0", async () => {
  const { movie, image } = await drawnRole({ routine: "s", music: "0", language: "2" }, "saver.png");
  assertFullScreenPicture(image);
  assert.equal(await movie.loudness(1500), 0);
  const later = decodePng(await movie.screenshot("saver-later.png"));
  assert.ok(differingShare(image, later) > 0, "the picture stands still");
  await movie.page.close();
});

test("with \"music\" 1 the full-screen role plays its sound, also under an unknown routine", async () => {
  for (const routine of ["s", "x"]) {
    const { movie, image } = await drawnRole({ routine, music: "1" }, `saver-music-${routine}.png`);
    assertFullScreenPicture(image);
    assert.ok(await movie.loudness(1500) > 0.005, `routine "${routine}" plays no sound`);
    await movie.page.close();
  }
});

test("the preview picture is drawn in the small pane", async () => {
  const { movie, image } = await drawnRole({ routine: "p" }, "preview.png");
  const stats = colourStats(image);
  assert.ok(stats.colours >= 8, `only ${stats.colours} colours`);
  assert.ok(stats.litShare >= 0.05, `only ${(stats.litShare * 100).toFixed(2)} % of the pane lit`);
  await movie.page.close();
});

test("the settings screen is drawn", async () => {
  const { movie, image } = await drawnRole({ routine: "c", music: "1", mouse: "5", language: "2" }, "settings.png");
  assert.ok(colourStats(image).colours >= 4, "fewer than 4 colours");
  const ink = inkShare(image);
  assert.ok(ink >= 0.02, `only ${(ink * 100).toFixed(2)} % of the screen drawn on its background`);
  await movie.page.close();
});

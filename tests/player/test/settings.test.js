// The settings screen: its texts follow the language, and real clicks on its switch and its
// sensitivity choices reach the page's FSCommand handler.
import { after, before, test } from "node:test";
import assert from "node:assert/strict";
import { startBrowser } from "../lib/browser.js";
import { decodePng, differingShare, inkShare } from "../lib/pixels.js";

// The screen's fixed layout, in stage pixels: [x0, y0, x1, y1].
const title = [0, 20, 640, 70];
const musicLabel = [40, 140, 380, 190];
const musicSwitch = [400, 140, 560, 190];
const mouseLabel = [40, 220, 600, 260];
const choiceValues = ["1", "3", "5", "10", "25", "32767"];
const choice = (i) => [40 + 95 * i, 280, 40 + 95 * i + 85, 330];
const centre = ([x0, y0, x1, y1]) => [(x0 + x1) / 2, (y0 + y1) / 2];

let session;
before(async () => {
  session = await startBrowser();
});
after(() => session?.close());

async function openSettings(variables, shot) {
  const movie = await session.open({ routine: "c", ...variables });
  assert.equal(await movie.panic(), null, "the emulator shows its error panel");
  assert.deepEqual(await movie.fsCommands(), [], "a command before any click");
  const image = decodePng(await movie.screenshot(shot));
  return { movie, image, at: (rect) => movie.area(...rect) };
}

// Clicks a control; returns the command it sent and the screen after it.
async function clickOn(screen, rect, shot) {
  const seen = (await screen.movie.fsCommands()).length;
  await screen.movie.click(...centre(rect));
  const command = await screen.movie.commandAfter(seen);
  // Off the controls, so that no hover look is in the picture.
  await screen.movie.page.mouse.move(...screen.movie.toPage(630, 470));
  await screen.movie.page.waitForTimeout(300);
  assert.equal((await screen.movie.fsCommands()).length, seen + 1, "one click sent more than one command");
  return { command, image: decodePng(await screen.movie.screenshot(shot)) };
}

test("English and German show their own texts in the title and both labels", async () => {
  const english = await openSettings({ music: "1", mouse: "5", language: "2" }, "settings-english.png");
  const german = await openSettings({ music: "1", mouse: "5", language: "4" }, "settings-german.png");
  for (const [name, rect] of Object.entries({ title, musicLabel, mouseLabel })) {
    for (const { image, at } of [english, german]) {
      assert.ok(inkShare(image, at(rect)) > 0.01, `no text in the ${name}`);
    }
    assert.ok(differingShare(english.image, german.image, english.at(rect)) > 0.005,
      `the ${name} reads the same in both languages`);
  }
  await english.movie.page.close();
  await german.movie.page.close();
});

test("the music switch starts from \"music\", and each click toggles it and sends setmusic", async () => {
  for (const [music, first, second] of [["0", "1", "0"], ["1", "0", "1"], ["", "1", "0"]]) {
    const screen = await openSettings({ music, mouse: "5", language: "2" }, `settings-music-${music || "none"}.png`);
    const toggled = await clickOn(screen, musicSwitch, `settings-music-${music || "none"}-1.png`);
    assert.deepEqual(toggled.command, ["setmusic", first], `opened with music "${music}"`);
    assert.ok(differingShare(screen.image, toggled.image, screen.at(musicSwitch)) > 0.01,
      "the switch shows no new state");
    const back = await clickOn(screen, musicSwitch, `settings-music-${music || "none"}-2.png`);
    assert.deepEqual(back.command, ["setmusic", second]);
    assert.ok(differingShare(screen.image, back.image, screen.at(musicSwitch)) < 0.01,
      "the switch does not show its first state again");
    await screen.movie.page.close();
  }
});

// Only choice `chosen` looks different from the screen where none is chosen.
function assertOnlyChosen(none, image, chosen, when) {
  choiceValues.forEach((value, i) => {
    const share = differingShare(none.image, image, none.at(choice(i)));
    if (i === chosen) assert.ok(share > 0.01, `choice "${value}" is not highlighted ${when}`);
    else assert.ok(share < 0.01, `choice "${value}" looks chosen ${when}`);
  });
}

test("the sensitivity choice starts from \"mouse\", and a click moves the highlight and sends setmouse", async () => {
  const none = await openSettings({ music: "0", mouse: "7", language: "2" }, "settings-mouse-none.png");
  const five = await openSettings({ music: "0", mouse: "5", language: "2" }, "settings-mouse-5.png");
  assertOnlyChosen(none, five.image, 2, "when opened with \"mouse\" 5");
  for (const i of [5, 0, 3]) {
    const clicked = await clickOn(five, choice(i), `settings-mouse-click-${choiceValues[i]}.png`);
    assert.deepEqual(clicked.command, ["setmouse", choiceValues[i]]);
    assertOnlyChosen(none, clicked.image, i, `after a click on "${choiceValues[i]}"`);
  }
  await none.movie.page.close();
  await five.movie.page.close();
});

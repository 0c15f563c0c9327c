// Saves one screenshot per role into the folder given on the command line.
import { mkdirSync } from "node:fs";
import { join, resolve } from "node:path";
import { startBrowser } from "./lib/browser.js";

const folder = resolve(process.argv[2] ?? "screens");
const roles = {
  "saver.png": { routine: "s", music: "0", language: "2" },
  "preview.png": { routine: "p" },
  "settings.png": { routine: "c", music: "1", mouse: "5", language: "2" },
};

mkdirSync(folder, { recursive: true });
const session = await startBrowser();
try {
  for (const [file, variables] of Object.entries(roles)) {
    const movie = await session.open(variables);
    const panic = await movie.panic();
    if (panic) throw new Error(`the emulator failed on ${file}: ${panic}`);
    await movie.screenshot(join(folder, file));
    await movie.page.close();
    console.log(join(folder, file));
  }
} finally {
  await session.close();
}

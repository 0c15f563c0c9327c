// Serves the program's player folder (the shipped page and the emulator) and one movie on
// 127.0.0.1, as the program's own scheme does for its view, so that a browser can play the same
// page; prints the page's address, then serves until it is ended.
//   node tools/linux/serve-player.mjs PLAYER_DIR MOVIE
import { readFileSync } from "node:fs";
import { movieType, serveFiles, underFolder } from "../../tests/player/lib/server.js";

const [playerDir, moviePath] = process.argv.slice(2);

// The two edits a browser needs, and no more: the page's policy names the program's scheme, which
// becomes this origin, and it posts to the program's message handler, which a browser lacks (the
// page would throw on its first post).
const handler =
  "<script>window.webkit = { messageHandlers: { vellomar: { postMessage() {} } } };</script>";
function forBrowser(page) {
  const edited = page
    .replace(/(content-security-policy"\s+content="default-src) vellomar:/i, "$1 'self'")
    .replace("<script>", `${handler}\n<script>`);
  if (!edited.includes("'self'") || !edited.includes(handler)) {
    throw new Error("page.html has changed: update tools/linux/serve-player.mjs");
  }
  return edited;
}

// Checked before serving: a page that no longer takes the edits ends this with the reason.
forBrowser(readFileSync(`${playerDir}/page.html`, "utf8"));
const { url } = await serveFiles((pathname) => {
  if (pathname === "/page.html") return { file: `${playerDir}/page.html`, edit: forBrowser };
  if (pathname === "/movie") return { file: moviePath, type: movieType };
  const file = underFolder(playerDir, pathname.slice(1));
  return file && { file };
});
console.log(`${url}page.html`);

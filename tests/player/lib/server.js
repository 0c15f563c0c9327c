// Serves on 127.0.0.1, at a free port, what the Linux program's scheme serves under its root: the
// page exactly as shipped, the emulator's files under ruffle/ and the movie as "movie", with the
// same content types. The emulator fetches its wasm over http, never from file://.
import { createServer } from "node:http";
import { readFile } from "node:fs/promises";
import { dirname, extname, join, normalize } from "node:path";
import { fileURLToPath } from "node:url";

const repo = join(dirname(fileURLToPath(import.meta.url)), "..", "..", "..");
const pagePath = join(repo, "src", "runtime", "x11", "movie", "page.html");
// Fetched by tools/player/setup.sh from the Linux program's lock file.
export const emulatorDir = join(repo, "build", "player-emulator", "ruffle");
const movieType = "application/x-shockwave-flash";
const types = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript",
  ".wasm": "application/wasm",
};

function fileFor(pathname, moviePath) {
  if (pathname === "/page.html") return pagePath;
  if (pathname === "/movie") return moviePath;
  if (pathname.startsWith("/ruffle/")) {
    const inside = normalize(pathname.slice("/ruffle/".length));
    if (!inside.startsWith("..")) return join(emulatorDir, inside);
  }
  return null;
}

// Resolves to { url, close() }: url is the root, the page's folder.
export function serve(moviePath) {
  const server = createServer(async (request, response) => {
    const { pathname } = new URL(request.url, "http://127.0.0.1");
    const file = fileFor(pathname, moviePath);
    try {
      if (!file) throw new Error("not served");
      const body = await readFile(file);
      const type = pathname === "/movie" ? movieType : types[extname(file)];
      response.writeHead(200, { "content-type": type ?? "application/octet-stream" });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  return new Promise((resolve, reject) => {
    server.once("error", reject);
    server.listen(0, "127.0.0.1", () => {
      resolve({
        url: `http://127.0.0.1:${server.address().port}/`,
        close: () => new Promise((done) => server.close(done)),
      });
    });
  });
}

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
export const movieType = "application/x-shockwave-flash";
const types = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript",
  ".wasm": "application/wasm",
};

// The file that `inside`, a request's path below some prefix, names in `folder`; null when it
// climbs out.
export function underFolder(folder, inside) {
  const path = normalize(inside);
  return path.startsWith("..") ? null : join(folder, path);
}

function fileFor(pathname, moviePath) {
  if (pathname === "/page.html") return { file: pagePath };
  if (pathname === "/movie") return { file: moviePath, type: movieType };
  if (pathname.startsWith("/ruffle/")) {
    const file = underFolder(emulatorDir, pathname.slice("/ruffle/".length));
    if (file) return { file };
  }
  return null;
}

// Serves what route(pathname) names: { file, type?, edit? } (edit(text) rewrites the body), or
// null for a 404. Resolves to { url, close() }: url is the root.
export function serveFiles(route) {
  const server = createServer(async (request, response) => {
    const { pathname } = new URL(request.url, "http://127.0.0.1");
    const found = route(pathname);
    try {
      if (!found) throw new Error("not served");
      let body = await readFile(found.file);
      if (found.edit) body = found.edit(body.toString("utf8"));
      const type = found.type ?? types[extname(found.file)];
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

// The shipped page with the movie at moviePath.
export function serve(moviePath) {
  return serveFiles((pathname) => fileFor(pathname, moviePath));
}

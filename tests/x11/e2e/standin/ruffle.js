// Stand-in for the Flash emulator in the Linux end-to-end tests: a test's copy of the program gets
// this file as player/ruffle/ruffle.js. It plays nothing. It writes a console line per call,
// "stand-in KIND TEXT", which the program passes on to its standard error; fills the stage with the
// colour of the movie's "routine" variable once the movie file has come; and sends the movie
// commands that a test appends to the file "requests" beside it, a line "command<TAB>args" each.
//
// It keeps the emulator's rules that the page relies on:
// - window.RufflePlayer.config, set before this script runs, is kept and read at each load; the
//   load's own options override it. A value outside a setting's documented choices is ignored with
//   a warning, and the default holds.
// - RufflePlayer.newest().createPlayer() gives an element, and element.ruffle() (version 1, the
//   default) its API; any other version throws.
// - load() of an element outside the document is ignored with a warning; options with neither a
//   url nor data reject with a TypeError.
// - It does not start unless the view's preferred language is a valid language tag, nor unless
//   its wasm (here core.wasm beside it, an empty module) compiles as it streams in, which takes
//   the type application/wasm and a page that allows wasm.
// - It starts only with autoplay "on": a screen saver gets no click to start it.
// - A movie that is not served, or is not a Flash file (FWS, CWS or ZWS), is an error: nothing is
//   drawn and no loadeddata event comes.
// - FSCommand reaches the handlers only with allowScriptAccess true and allowNetworking "all";
//   they are called in the order added until one returns true.
(() => {
  const log = (kind, text) => console.log(`stand-in ${kind} ${text}`);
  const warn = (kind, text) => console.warn(`stand-in ${kind} ${text}`);
  const requests = new URL("requests", document.currentScript.src);
  const core = new URL("core.wasm", document.currentScript.src);
  const colours = { s: "rgb(24, 48, 120)", p: "rgb(24, 100, 56)", c: "rgb(120, 32, 64)" };
  const choices = {
    autoplay: ["auto", "on", "off"],
    unmuteOverlay: ["visible", "hidden"],
    contextMenu: ["on", "rightClickOnly", "off", true, false],
    letterbox: ["fullscreen", "off", "on"],
    wmode: ["window", "opaque", "transparent", "direct", "gpu"],
    quality: ["low", "medium", "high", "best", "8x8", "8x8linear", "16x16", "16x16linear"],
    scale: ["showAll", "noBorder", "exactFit", "noScale"],
    allowNetworking: ["all", "internal", "none"],
    preferredRenderer: ["webgpu", "wgpu-webgl", "webgl", "canvas"],
    logLevel: ["error", "warn", "info", "debug", "trace"],
    allowScriptAccess: [true, false],
    splashScreen: [true, false],
    warnOnUnsupportedContent: [true, false],
    showSwfDownload: [true, false],
  };
  const defaults = { autoplay: "auto", allowScriptAccess: false, allowNetworking: "all" };

  function settings(options) {
    const merged = { ...defaults };
    for (const [name, value] of Object.entries({ ...window.RufflePlayer.config, ...options })) {
      if (name === "url" || name === "data" || name === "parameters") continue;
      if (choices[name] && !choices[name].includes(value)) {
        warn("ignored", `${name} ${JSON.stringify(value)}`);
        continue;
      }
      merged[name] = value;
    }
    return merged;
  }

  function isFlash(bytes) {
    const signature = String.fromCharCode(...bytes.slice(0, 3));
    return ["FWS", "CWS", "ZWS"].includes(signature);
  }

  class Player {
    constructor(element) {
      this.element = element;
      this.handlers = [];
      this.config = null;
      this.done = 0;
    }

    addFSCommandHandler(handler) {
      this.handlers.push(handler);
    }

    async load(options) {
      if (!this.element.isConnected) {
        warn("ignored", "load of a player outside the document");
        return;
      }
      if (typeof options === "string") options = { url: options };
      if (!options || (options.url === undefined && options.data === undefined)) {
        throw new TypeError("load needs a url or data");
      }
      Intl.getCanonicalLocales(navigator.language);  // a RangeError for no valid tag
      try {
        await WebAssembly.instantiateStreaming(fetch(core));
      } catch (error) {
        console.error(`stand-in failed ${core.href}: ${error.message}`);
        return;
      }
      this.config = settings(options);
      for (const name of Object.keys(this.config).sort()) {
        log("setting", `${name} ${JSON.stringify(this.config[name])}`);
      }
      const url = new URL(options.url, document.baseURI).href;
      let bytes;
      try {
        const response = await fetch(url);
        if (!response.ok) throw new Error(`status ${response.status}`);
        bytes = new Uint8Array(await response.arrayBuffer());
      } catch (error) {
        console.error(`stand-in failed ${url}: ${error.message}`);
        return;
      }
      if (!isFlash(bytes)) {
        console.error(`stand-in failed ${url}: not a Flash movie`);
        return;
      }
      log("load", `${url} ${bytes.length}`);
      const variables = new URLSearchParams(options.parameters ?? {});
      for (const [name, value] of variables) log("variable", `${name} ${value}`);
      if (this.config.autoplay !== "on") {
        warn("waiting", "for a click to play");
        return;
      }
      this.element.style.background = colours[variables.get("routine")] ?? "rgb(72, 72, 72)";
      log("play", variables.get("routine") ?? "");
      this.element.dispatchEvent(new Event("loadedmetadata"));
      this.element.dispatchEvent(new Event("loadeddata"));
      this.poll();
    }

    async poll() {
      let text;
      try {
        const response = await fetch(`${requests.href}?${Date.now()}`, { cache: "no-store" });
        if (!response.ok) throw new Error(`status ${response.status}`);
        text = await response.text();
      } catch (error) {
        console.error(`stand-in failed ${requests.href}: ${error.message}`);
        return;
      }
      // Only whole lines: a test may be writing the next one.
      const lines = text.split("\n").slice(0, -1);
      for (const line of lines.slice(this.done)) {
        const tab = line.indexOf("\t");
        this.send(tab < 0 ? line : line.slice(0, tab), tab < 0 ? "" : line.slice(tab + 1));
      }
      this.done = Math.max(this.done, lines.length);
      setTimeout(() => this.poll(), 50);
    }

    send(command, args) {
      if (this.config.allowScriptAccess !== true || this.config.allowNetworking !== "all") {
        warn("refused", `${command} ${args}`);
        return;
      }
      log("fscommand", `${command} ${args}`);
      this.handlers.some((handler) => handler(command, args) === true);
    }
  }

  const config = window.RufflePlayer?.config ?? {};
  window.RufflePlayer = {
    config,
    newest() {
      return {
        createPlayer() {
          const element = document.createElement("div");
          const player = new Player(element);
          element.ruffle = (version = 1) => {
            if (version !== 1) throw new Error(`no player API version ${version}`);
            return player;
          };
          return element;
        },
      };
    },
  };
})();

// What the Linux program gives the shipped page in its WebKit view, for Chromium: the message
// handler the page posts to. Runs in each page before the page's own scripts (addInitScript), so
// that the page is served exactly as shipped; playwright hands the page this function's source.
export function hostStandIn() {
  // Every message as the program receives it, and the FSCommands among them as [command, args].
  window.posted = [];
  window.fsCommands = [];
  const vellomar = {
    postMessage(message) {
      // WebKit hands the program a copy and throws on what it cannot copy.
      const copy = structuredClone(message);
      window.posted.push(copy);
      if (copy[0] === "fscommand") window.fsCommands.push(copy.slice(1));
    },
  };
  window.webkit = { messageHandlers: { vellomar } };

  // Everything the emulator sends to the speakers also reaches an analyser, for audioLevel().
  const analysers = new Map();
  const connect = AudioNode.prototype.connect;
  AudioNode.prototype.connect = function (target, ...rest) {
    if (target instanceof AudioDestinationNode) {
      if (!analysers.has(target)) analysers.set(target, target.context.createAnalyser());
      connect.call(this, analysers.get(target));
    }
    return connect.call(this, target, ...rest);
  };
  // The loudest sample now playing, 0 for silence.
  window.audioLevel = () => {
    let peak = 0;
    for (const analyser of analysers.values()) {
      const samples = new Float32Array(analyser.fftSize);
      analyser.getFloatTimeDomainData(samples);
      for (const sample of samples) peak = Math.max(peak, Math.abs(sample));
    }
    return peak;
  };
}

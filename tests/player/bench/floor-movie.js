// The floor of the CPU figure: the smallest movie the emulator can play, a black 640 x 480 stage
// of one frame, at the measured movie's frame rate.

// A SWF RECT of 0..width and 0..height twips, as packed bits.
function rect(width, height) {
  const bits = 1 + Math.max(width, height).toString(2).length;
  const fields = [0, width, 0, height].map((v) => v.toString(2).padStart(bits, "0")).join("");
  const packed = bits.toString(2).padStart(5, "0") + fields;
  const bytes = [];
  for (let at = 0; at < packed.length; at += 8) bytes.push(parseInt(packed.slice(at, at + 8).padEnd(8, "0"), 2));
  return Buffer.from(bytes);
}

export function floorMovie(frameRate) {
  const frame = Buffer.alloc(4);
  frame.writeUInt16LE(Math.round(frameRate * 256), 0);
  frame.writeUInt16LE(1, 2);
  const tags = Buffer.from([
    0x43, 0x02, 0, 0, 0, // SetBackgroundColor black
    0x40, 0x00, // ShowFrame
    0x00, 0x00, // End
  ]);
  const body = Buffer.concat([rect(640 * 20, 480 * 20), frame, tags]);
  const header = Buffer.from("FWS\x08\0\0\0\0", "latin1");
  header.writeUInt32LE(header.length + body.length, 4);
  return Buffer.concat([header, body]);
}

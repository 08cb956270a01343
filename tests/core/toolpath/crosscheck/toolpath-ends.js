// SPDX-License-Identifier: GPL-3.0-or-later
// Prints the end point of every move of the program file named by the first
// argument as the independent interpreter sees it: "X Y Z" in millimetres,
// four decimals, one move per line.
'use strict';
const Toolpath = require('gcode-toolpath');

const lines = [];
const put = (v) => lines.push(`${v.x.toFixed(4)} ${v.y.toFixed(4)} ${v.z.toFixed(4)}`);
const toolpath = new Toolpath({
  position: { x: 0, y: 0, z: 0 },
  addLine: (modal, v1, v2) => put(v2),
  // Arcs come in the axes of their plane (G18: z x y, G19: y z x); put back.
  addArcCurve: (modal, v1, v2) => {
    if (modal.plane === 'G18') put({ x: v2.y, y: v2.z, z: v2.x });
    else if (modal.plane === 'G19') put({ x: v2.z, y: v2.x, z: v2.y });
    else put(v2);
  },
});
toolpath.loadFromFileSync(process.argv[2], () => {});
process.stdout.write(lines.join('\n') + (lines.length ? '\n' : ''));

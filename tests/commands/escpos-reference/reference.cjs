// Prints what two independent ESC/POS encoders emit for the commands the tool
// also sends, one line per case and library: "<case>\t<library>\t<hex>".
//
// Cases (command line arguments):
//   size:W:H   GS ! for width multiplier W and height multiplier H
//   qr:TEXT    QR module size 5, error correction M, store TEXT, print
//   cut        full cut
// Only the command itself is printed, cut out of whatever the library wraps
// around it (initialisation, code-page selection, padding); "absent" when the
// library did not emit it.
'use strict';

const path = require('path');
const modules = path.join(__dirname, 'node_modules');
const EncoderModule = require(path.join(modules, '@point-of-sale/receipt-printer-encoder'));
const ReceiptPrinterEncoder = EncoderModule.default || EncoderModule;
const { ThermalPrinter, PrinterTypes } = require(path.join(modules, 'node-thermal-printer'));

const QR_MODULE_SIZE = [0x1d, 0x28, 0x6b, 0x03, 0x00, 0x31, 0x43];
const QR_PRINT = [0x1d, 0x28, 0x6b, 0x03, 0x00, 0x31, 0x51, 0x30];

function indexOf(bytes, pattern, from = 0) {
  for (let i = from; i + pattern.length <= bytes.length; ++i) {
    if (pattern.every((b, j) => bytes[i + j] === b)) return i;
  }
  return -1;
}

// The command that starts with `head` and is `length` bytes long.
function fixedCommand(bytes, head, length) {
  const at = indexOf(bytes, head);
  return at < 0 || at + length > bytes.length ? null : bytes.slice(at, at + length);
}

// From the QR module size command to the end of the QR print command.
function qrBlock(bytes) {
  const start = indexOf(bytes, QR_MODULE_SIZE);
  if (start < 0) return null;
  const print = indexOf(bytes, QR_PRINT, start);
  return print < 0 ? null : bytes.slice(start, print + QR_PRINT.length);
}

function hex(bytes) {
  if (!bytes) return 'absent';
  return Array.from(bytes, (b) => b.toString(16).toUpperCase().padStart(2, '0')).join(' ');
}

function encoder() {
  return new ReceiptPrinterEncoder({ language: 'esc-pos' });
}

function thermal() {
  return new ThermalPrinter({ type: PrinterTypes.EPSON });
}

function run(spec) {
  const results = [];
  if (spec.startsWith('size:')) {
    const [width, height] = spec.slice(5).split(':').map(Number);
    // The encoder emits GS ! only when the size changes, so it first prints an
    // "A" at 8 x 7 (no case of the tool's); the command wanted follows the "A".
    const e = Array.from(encoder().size(8, 7).text('A').size(width, height).text('B').encode());
    const afterA = e.slice(e.indexOf(0x41) + 1);
    results.push(['receipt-printer-encoder', fixedCommand(afterA, [0x1d, 0x21], 3)]);
    // node-thermal-printer's setTextSize(a, b) puts a in the high nibble (the
    // width in ESC/POS) although it names it the height; only equal
    // multipliers mean the same to both, so only those are asked of it.
    if (width === height) {
      const t = thermal();
      t.setTextSize(width - 1, height - 1);
      results.push(['node-thermal-printer', fixedCommand(Array.from(t.getBuffer()), [0x1d, 0x21], 3)]);
    }
  } else if (spec.startsWith('qr:')) {
    const text = spec.slice(3);
    const e = encoder().qrcode(text, { model: 2, size: 5, errorlevel: 'm' }).encode();
    results.push(['receipt-printer-encoder', qrBlock(Array.from(e))]);
    const t = thermal();
    t.printQR(text, { model: 2, cellSize: 5, correction: 'M' });
    results.push(['node-thermal-printer', qrBlock(Array.from(t.getBuffer()))]);
  } else if (spec === 'cut') {
    const e = encoder().cut('full').encode();
    results.push(['receipt-printer-encoder', fixedCommand(Array.from(e), [0x1d, 0x56], 3)]);
    const t = thermal();
    t.cut({ verticalTabAmount: 0 });
    results.push(['node-thermal-printer', fixedCommand(Array.from(t.getBuffer()), [0x1d, 0x56], 3)]);
  } else {
    throw new Error(`unknown case ${spec}`);
  }
  for (const [library, bytes] of results) console.log(`${spec}\t${library}\t${hex(bytes)}`);
}

process.argv.slice(2).forEach(run);
